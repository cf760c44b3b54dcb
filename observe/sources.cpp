#include "observe/sources.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/paths.h"
#include "core/textfile.h"
#include "observe/workbook_file.h"

namespace torvik {

namespace {

constexpr const char* kEgyptAlmagest = "часов, дни от 26.2.746 г. до н.э.";
constexpr const char* kEgyptHandy = "часов, дни от 12.11.323 г. до н.э.";
constexpr auto J = ObsCalendar::Julian, E = ObsCalendar::Egyptian;
constexpr auto N12 = DayStart::Noon, N0 = DayStart::Midnight;
constexpr auto None = EgyptianEra::None;

}  // namespace

const std::array<TableInfo, 10> kTables = {{
    {"AlBattani", "AlBattani", 9, 1, 1, 900, 37, 36, J, N12, true, kTableTimeLabel, None},
    {"Alfonso", "AlfonsoTab", 7, 1, 1, 1200, -4, 39.9, J, N12, true, kTableTimeLabel, None},
    {"AlKhwarizmi", "AlKhwarizmi", 9, 1, 1, 800, 44, 33, J, N12, true, kTableTimeLabel, None},
    {"Almagest", "Almagest", 8, 12, 5, 748, 39, 30.97, E, N12, true, kEgyptAlmagest, EgyptianEra::Almagest},
    {"Handy", "HandyTables", 9, 12, 5, 324, 30, 30.97, E, N12, true, kEgyptHandy, EgyptianEra::Handy},
    {"Prutentic", "PrutenticTables", 10, 1, 1, 1600, 13, 50, J, N0, false, kTableTimeLabel, None},
    {"Rudolphine", "RudolphineTables", 11, 1, 1, 1600, 12.5, 55.9, J, N12, false, kTableTimeLabel, None},
    {"Streete", "Streete", 10, 1, 1, 1620, 0, 51.5, J, N12, false, kTableTimeLabel, None},
    {"Toledan", "ToledanTables", 10, 1, 1, 1080, -4, 39.9, J, N12, true, kTableTimeLabel, None},
    {"Wing", "Wing", 10, 1, 1, 1620, 0, 51.5, J, N12, false, kTableTimeLabel, None},
}};

const std::array<ObservatoryInfo, 5> kObservatories = {{
    {"Grinvich", "GREN", 0, 51.477},
    {"Paris", "PARI", 2.337, 48.836},
    {"USNO", "USNO", -77.066, 38.921},
    {"Oxford", "RADC", -1.263, 51.76},
    {"CAPE", "CAPE", 18.477, -33.934},
}};

namespace {

// ---- the cells of each workbook ----

struct Cell {
  int sheet = 0;  // 0: no cell (the value is 0)
  const char* ref = "";
};
struct BodyCells {
  Cell lon, lat;
  double latDivisor = 1;  // 60 when the cell holds arcminutes
  Cell south;             // "S" here negates the latitude
};
struct TableCells {
  const char* name;
  Cell year, month, day, hours;  // input cells (sheet 1)
  Cell ptab;
  BodyCells sun, mercury, venus, mars;
  bool addPtab = false;  // Ptab is added to the longitude read
};

constexpr Cell C(const char* ref) { return {1, ref}; }
constexpr Cell S(int sheet, const char* ref) { return {sheet, ref}; }
constexpr BodyCells B(Cell lon, Cell lat = {}) { return {lon, lat, 1, {}}; }

const TableCells kCells[10] = {
    {"AlBattani", C("D9"), C("C9"), C("B9"), C("F9"), {}, B(C("C14")), B(C("C20"), C("F20")),
     B(C("C19"), C("F19")), B(C("C18"), C("F18"))},
    {"AlfonsoTab", C("D13"), C("C13"), C("B13"), C("F13"), C("D39"), B(C("D46")), B(C("D145")), B(C("D128")),
     B(C("D112"))},
    {"AlKhwarizmi", C("D9"), C("C9"), C("B9"), C("F9"), C("C22"), B(C("C14")), B(C("C20"), C("F20")),
     B(C("C19"), C("F19")), B(C("C18"), C("F18")), true},
    {"Almagest", C("B6"), C("C6"), C("D6"), C("E6"), {}, B(S(2, "N20")), {S(8, "AD61"), S(8, "AD36"), 60, {}},
     {S(7, "AD61"), S(7, "AD36"), 60, {}}, {S(6, "AD57"), S(6, "AF30"), 60, S(6, "AE30")}},
    {"HandyTables", C("C6"), C("D6"), C("E6"), C("F6"), {}, B(S(2, "W37")), B(S(9, "Y50"), S(9, "Y84")),
     B(S(8, "Y50"), S(8, "Y84")), B(S(7, "Y50"), S(7, "Y83"))},
    {"PrutenticTables", C("D9"), C("C9"), C("B9"), C("F9"), S(2, "K19"), B(C("F18")), B(C("F24"), C("I24")),
     B(C("F23"), C("I23")), B(C("F22"), C("I22"))},
    {"RudolphineTables", C("C10"), C("D10"), C("E10"), C("F10"), S(3, "F27"), B(C("C13")), B(C("C19"), C("G19")),
     B(C("C18"), C("G18")), B(C("C17"), C("G17"))},
    {"Streete", C("C14"), C("D14"), C("E14"), C("F14"), C("G20"), B(C("D25")), B(S(9, "S35"), S(9, "S41")),
     B(S(8, "S35"), S(8, "S41")), B(S(7, "S35"), S(7, "S41"))},
    {"ToledanTables", C("D9"), C("C9"), C("B9"), C("F9"), S(2, "F16"), B(C("C14")), B(C("C20"), C("F20")),
     B(C("C19"), C("F19")), B(C("C18"), C("F18"))},
    {"Wing", C("C14"), C("D14"), C("E14"), C("F14"), {}, B(S(3, "P19")), B(S(8, "V51"), S(8, "V52")),
     B(S(7, "V48"), S(7, "V49")), B(S(6, "V48"), S(6, "V49"))},
};

// ---- the observatory record ----

// Columns of one observation, counted from 1 (first, width).
struct Field {
  int first, width;
};
constexpr Field kYear{11, 4}, kDay{16, 2}, kMonth{19, 3}, kTimeMark{23, 1}, kHour{24, 2}, kMinute{27, 2},
    kSecond{30, 2}, kSecond4{33, 4}, kRaMark{43, 1}, kRaHour{44, 2}, kRaMinute{47, 2}, kRaSecond{50, 2},
    kRaSecond5{53, 5}, kDecSign{69, 1}, kDecDegree{70, 2}, kDecMinute{73, 2}, kDecSecond{76, 2}, kDecSecond4{79, 4};

constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string_view Columns(std::string_view line, Field f) {
  const std::size_t at = static_cast<std::size_t>(f.first - 1);
  if (at >= line.size()) return {};
  return line.substr(at, static_cast<std::size_t>(f.width));
}

// A field as a decimal number, surrounding blanks allowed.
bool Number(std::string_view line, Field f, double* v) {
  std::string_view s = Columns(line, f);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (s.empty()) return false;
  auto x = ParseNumber(s);
  if (!x || !std::isfinite(*x)) return false;
  *v = *x;
  return true;
}

std::string RelTablePath(const std::string& name) { return "\\Tab\\" + name + ".xls"; }

}  // namespace

ObservationLine ParseObservationLine(std::string_view line, std::int32_t startY, std::int32_t endY) {
  ObservationLine r;
  r.status = ObservationLine::Status::Malformed;
  double year, day, h, mi, s, s4;
  if (!Number(line, kYear, &year) || std::fabs(year) > 2e9) return r;
  r.year = static_cast<std::int32_t>(std::lround(year));
  r.status = ObservationLine::Status::Skip;
  if (r.year > startY || r.year < endY) return r;
  r.status = ObservationLine::Status::Malformed;
  if (!Number(line, kDay, &day) || std::fabs(day) > 32767) return r;
  r.day = static_cast<std::int16_t>(std::lround(day));
  const std::string_view month = Columns(line, kMonth);
  for (int i = 0; i < 12; ++i)
    if (month == kMonths[i]) r.month = static_cast<std::int16_t>(i + 1);
  r.dated = true;
  r.status = ObservationLine::Status::Skip;
  if (Columns(line, kTimeMark) == "-") return r;
  r.status = ObservationLine::Status::Malformed;
  if (!Number(line, kHour, &h) || !Number(line, kMinute, &mi) || !Number(line, kSecond, &s) ||
      !Number(line, kSecond4, &s4))
    return r;
  r.hours = static_cast<float>(mi / 60 + h + s / 3600 + s4 / 3600 / 10000);
  double rh, rm, rs, rs5;
  if (!Number(line, kRaHour, &rh)) return r;
  r.status = ObservationLine::Status::Skip;
  if (rh > 23 || Columns(line, kRaMark) == "-") return r;
  r.status = ObservationLine::Status::Malformed;
  if (!Number(line, kRaMinute, &rm) || !Number(line, kRaSecond, &rs) || !Number(line, kRaSecond5, &rs5)) return r;
  r.ra = (rm / 60 + rh + rs / 3600 + rs5 / 3600 / 100000) * 360 / 24;
  double dd, dm, ds, ds4;
  if (!Number(line, kDecDegree, &dd) || !Number(line, kDecMinute, &dm) || !Number(line, kDecSecond, &ds) ||
      !Number(line, kDecSecond4, &ds4))
    return r;
  r.dec = dm / 60 + dd + ds / 3600 + ds4 / 3600 / 10000;
  if (Columns(line, kDecSign) == "-") r.dec = -r.dec;
  r.status = r.ra == 0 || r.dec == 0 || r.dec == 90 ? ObservationLine::Status::Skip : ObservationLine::Status::Use;
  return r;
}

ObservationSource::ObservationSource(std::filesystem::path folder, WorkbookFactory factory)
    : folder_(std::move(folder)), factory_(std::move(factory)) {}

ObservationSource::~ObservationSource() {
  workbook_.reset();
  engine_.reset();
}

bool ObservationSource::EngineLost() const { return engine_ && engine_->Lost(); }

const TableInfo* ObservationSource::table() const {
  if (kind_ != SourceKind::Tab || index_ < 1 || index_ > 10 || name_.empty()) return nullptr;
  return &kTables[static_cast<std::size_t>(index_ - 1)];
}

void ObservationSource::CloseWorkbook() {
  // A workbook of the user is closed without saving: the program only reads
  // it. The built-in calculators keep no file.
  workbook_.reset();
  served_.clear();
}

SelectResult ObservationSource::SelectTable(int i) {
  SelectResult r;
  SourcePresets& p = r.presets;
  index_ = i;
  int s = name_.empty() ? 1 : 0;
  p.calendar = ObsCalendar::Julian;
  p.dayStart = DayStart::Noon;
  p.timeLabel = kTableTimeLabel;
  p.aberrPl = p.aberrZv = true;
  p.nutation = false;
  p.refraction = p.parallax = true;
  if (i < 1 || i > 10) {
    s = name_.empty() ? 3 : 2;
    name_.clear();
    index_ = 0;
  } else {
    const TableInfo& t = kTables[static_cast<std::size_t>(i - 1)];
    // A workbook whose office was lost is opened again.
    if (name_ == t.name && kind_ == SourceKind::Tab && !EngineLost()) s = 3;
    name_ = t.name;
    sheetCount_ = t.sheets;
    p.calendar = t.calendar;
    p.dayStart = t.dayStart;
    p.timeLabel = t.timeLabel;
    p.refraction = p.parallax = t.refractionParallax;
    p.hasPlace = true;
    p.ObsL = t.ObsL;
    p.ObsB = t.ObsB;
    p.hasDate = true;
    p.day = t.day;
    p.month = t.month;
    p.year = t.year;
  }
  kind_ = SourceKind::Tab;
  if (s != 3) {
    if (s != 1) CloseWorkbook();
    if (s != 2) {
      path_ = ResolvePath(folder_, RelTablePath(name_));
      std::string rel = RelTablePath(name_);
      const auto file = builtinOnly_ ? std::nullopt : FindTableWorkbook(folder_, name_);
      if (file) {
        path_ = *file;
        rel = "\\Tab\\" + file->filename().string();
        if (!engine_ || engine_->Lost()) engine_ = std::make_unique<SpreadsheetEngine>();
        workbook_ = engine_->Open(*file);
      } else {
        workbook_ = factory_ ? factory_(name_) : nullptr;
      }
      if (!workbook_ || workbook_->SheetCount() < sheetCount_) {
        workbook_.reset();
        r.message = UserMessage{std::string(kNotFound) + "\r\n" + rel, kTitle};
        return r;
      }
      served_ = file ? file->filename().string() : kBuiltinTable;
      obsEnd_ = false;
      r.opened = true;
    }
  }
  return r;
}

bool ObservationSource::OpenObservatoryFile() {
  fileOpen_ = false;
  lines_.clear();
  next_ = 0;
  auto lines = ReadTextFile(path_);
  if (!lines) return false;
  lines_ = std::move(*lines);
  simulated_ = false;
  for (const auto& l : lines_)
    if (l.rfind("SIMULATED", 0) == 0) {
      simulated_ = true;
      break;
    }
  fileOpen_ = true;
  return true;
}

std::optional<ObservationSource::RecordSpan> ObservationSource::Records() const {
  if (!fileOpen_ || kind_ != SourceKind::Obs) return std::nullopt;
  std::optional<RecordSpan> span;
  for (const auto& l : lines_) {
    const ObservationLine o = ParseObservationLine(l, INT32_MAX, INT32_MIN);
    if (o.status != ObservationLine::Status::Use || o.month == 0) continue;
    if (!span) span = RecordSpan{o.year, o.year, o.month, o.hours / 24 + static_cast<float>(o.day)};
    span->firstY = std::min(span->firstY, o.year);
    if (o.year >= span->lastY) {
      span->lastY = o.year;
      span->lastM = o.month;
      span->lastD = o.hours / 24 + static_cast<float>(o.day);
    }
  }
  return span;
}

SelectResult ObservationSource::SelectObservatory(int i, int Npl) {
  SelectResult r;
  SourcePresets& p = r.presets;
  index_ = i;
  int s = name_.empty() ? 1 : 0;
  p.calendar = ObsCalendar::Gregorian;
  p.dayStart = DayStart::Midnight;
  p.timeLabel = kObsTimeLabel;
  p.aberrPl = p.aberrZv = p.nutation = true;
  p.refraction = p.parallax = false;
  std::string code;
  if (i < 1 || i > 5) {
    s = name_.empty() ? 3 : 2;
    name_.clear();
    index_ = 0;
  } else {
    const ObservatoryInfo& o = kObservatories[static_cast<std::size_t>(i - 1)];
    if (name_ == o.code && kind_ == SourceKind::Obs) s = 3;
    name_ = o.code;
    p.hasPlace = true;
    p.ObsL = o.ObsL;
    p.ObsB = o.ObsB;
  }
  kind_ = SourceKind::Obs;
  if (s != 3) {
    if (s != 1) {
      fileOpen_ = false;
      lines_.clear();
    }
    if (s != 2) {
      const std::string rel = "\\Obs\\" + name_ + std::to_string(Npl) + ".txt";
      path_ = ResolvePath(folder_, rel);
      obsEnd_ = false;
      if (!OpenObservatoryFile())
        r.message = UserMessage{std::string(kNotFound) + "\r\n" + rel, kTitle};
      else
        r.opened = true;
    }
  }
  return r;
}

bool ObservationSource::SwitchKind(SourceKind kind, SourcePresets* presets) {
  if (kind == kind_) return false;
  if (kind_ == SourceKind::Obs) {
    fileOpen_ = false;
    lines_.clear();
  } else {
    CloseWorkbook();
  }
  kind_ = kind;
  name_.clear();
  index_ = 0;
  if (presets) {
    presets->dayStart = kind == SourceKind::Tab ? DayStart::Noon : DayStart::Midnight;
    presets->timeLabel = kObsTimeLabel;
  }
  return true;
}

void ObservationSource::CloseSources() {
  fileOpen_ = false;
  lines_.clear();
  CloseWorkbook();
  engine_.reset();
}

bool ObservationSource::Rewind() {
  return OpenObservatoryFile();
}

ActionResult ObservationSource::ReadTablePosition(const StepDate& d, int Npl, SourcePositions& pos) {
  const UserMessage fault{kTableFault, kTitle0};
  const TableCells* cells = nullptr;
  for (const auto& c : kCells)
    if (name_ == c.name) cells = &c;
  if (!workbook_ || !cells) return fault;
  Workbook& wb = *workbook_;
  if (!wb.SetNumber(cells->year.sheet, cells->year.ref, d.CurY) ||
      !wb.SetNumber(cells->month.sheet, cells->month.ref, d.CurM) ||
      !wb.SetNumber(cells->day.sheet, cells->day.ref, d.CurDay) ||
      !wb.SetNumber(cells->hours.sheet, cells->hours.ref, d.CurH) || !wb.Recalculate())
    return fault;
  bool ok = true;
  auto read = [&](Cell c) {
    CellValue v;
    if (c.sheet == 0) return 0.0;
    // A text or an error value where a number belongs is a fault; an empty
    // cell reads as 0.
    if (c.sheet > sheetCount_ || !wb.Get(c.sheet, c.ref, &v) || v.kind != CellKind::Value || !v.text.empty() ||
        !std::isfinite(v.number))
      ok = false;
    return v.number;
  };
  const double ptab = read(cells->ptab);
  if (!ok) return fault;
  pos.Ptab = ptab;
  const BodyCells* body = Npl == 0 ? &cells->sun
                          : Npl == 1 ? &cells->mercury
                          : Npl == 2 ? &cells->venus
                          : Npl == 4 ? &cells->mars
                                     : nullptr;
  if (!body) return std::nullopt;
  double lon = read(body->lon);
  double lat = read(body->lat) / body->latDivisor;
  if (body->south.sheet != 0) {
    CellValue v;
    if (body->south.sheet > sheetCount_ || !wb.Get(body->south.sheet, body->south.ref, &v) ||
        v.kind == CellKind::Error)
      ok = false;
    if (v.text == "S") lat = -lat;
  }
  if (!ok) return fault;
  if (cells->addPtab) lon += ptab;
  pos.PosL[static_cast<std::size_t>(Npl)] = lon;
  pos.PosB[static_cast<std::size_t>(Npl)] = lat;
  return std::nullopt;
}

ObservationSource::ReadStatus ObservationSource::ReadNextObservation(std::int32_t startY, std::int32_t endY,
                                                                     int Npl, StepDate& d, SourcePositions& pos,
                                                                     UserMessage* failure) {
  const bool slot = Npl >= 0 && Npl < 12;
  while (true) {
    if (!fileOpen_ || next_ >= lines_.size()) {
      obsEnd_ = true;
      return ReadStatus::End;
    }
    const std::string& line = lines_[next_++];
    const ObservationLine o = ParseObservationLine(line, startY, endY);
    // The fields read before a skip or a fault stay in the step date.
    if (o.status == ObservationLine::Status::Malformed) {
      if (failure) {
        std::string rel = path_.filename().string();
        *failure = UserMessage{std::string(kObsReadError) + "\r\n" + "\\Obs\\" + rel, kTitle};
      }
      return ReadStatus::Error;
    }
    if (o.dated) {
      d.CurY = o.year;
      d.CurDay = o.day;
      if (o.month != 0) d.CurM = o.month;
    }
    if (o.status == ObservationLine::Status::Skip) continue;
    d.CurH = o.hours;
    d.CurD = o.hours / 24 + o.day;
    if (slot) {
      pos.PosL[static_cast<std::size_t>(Npl)] = o.ra;
      pos.PosB[static_cast<std::size_t>(Npl)] = o.dec;
    }
    return ReadStatus::Read;
  }
}

int TableNumber(std::string_view name) {
  for (std::size_t i = 0; i < kTables.size(); ++i)
    if (name == kTables[i].name || name == kTables[i].caption) return static_cast<int>(i) + 1;
  return 0;
}

int ObservatoryNumber(std::string_view code) {
  for (std::size_t i = 0; i < kObservatories.size(); ++i)
    if (code == kObservatories[i].code || code == kObservatories[i].caption) return static_cast<int>(i) + 1;
  return 0;
}

}  // namespace torvik
