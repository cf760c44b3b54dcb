#include "params/paramfile.h"

#include <cmath>
#include <optional>

#include "core/calendar.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "core/fields.h"

namespace torvik {

namespace {

std::string Int0(double v) { return FormatPattern(v, "0"); }

// Units of the body columns 2..15 in the file.
enum class Unit {
  MicroDegree,      // MK·rad·kUgol
  MicroRadPerYear,  // MK·rad/s·sekG
  Micro,            // MK·value (eccentricity, m/s)
  TruncatedKm,      // metres / 1000 truncated
  RoundedKm,        // metres truncated, then rounded to km by the pattern "0"
  Thousandth,       // 1000·value (mass ratio)
};

constexpr int kValueColumns = kParamFileBodyColumns - 1;  // column 1 is the body number
constexpr Unit kColumnUnit[kValueColumns] = {
    Unit::MicroDegree,  Unit::RoundedKm,   Unit::MicroRadPerYear, Unit::Micro,
    Unit::MicroDegree,  Unit::MicroDegree, Unit::MicroDegree,     Unit::TruncatedKm,
    Unit::RoundedKm,    Unit::TruncatedKm, Unit::Micro,           Unit::Micro,
    Unit::Micro,        Unit::Thousandth};

// Model field of value column c (0 = file column 2, AlfaL … 13 = column 15, km).
template <class M>
auto& ColumnField(M& m, int c, int k) {
  switch (c) {
    case 0: return m.AlfaL[k];
    case 1: return m.R0sr[k];
    case 2: return m.W0sr[k];
    case 3: return m.Eks0[k];
    case 4: return m.Betta0[k];
    case 5: return m.AlfaP0[k];
    case 6: return m.AlfaU0[k];
    case 7: return m.X[k];
    case 8: return m.Y[k];
    case 9: return m.Z[k];
    case 10: return m.VX[k];
    case 11: return m.VY[k];
    case 12: return m.VZ[k];
    default: return m.km[k];
  }
}

// The initial-data copy that a read state column also fills, or null.
double* ColumnInitial(Model& m, int c, int k) {
  switch (c) {
    case 7: return &m.X0[k];
    case 8: return &m.Y0[k];
    case 9: return &m.Z0[k];
    case 10: return &m.VX0[k];
    case 11: return &m.VY0[k];
    case 12: return &m.VZ0[k];
    default: return nullptr;
  }
}

double ToFile(Unit u, double x, const Model& m) {
  switch (u) {
    case Unit::MicroDegree: return FixNear(m.MK * x * m.kUgol);
    case Unit::MicroRadPerYear: return FixNear(m.MK * x * m.sekG);
    case Unit::Micro: return FixNear(m.MK * x);
    case Unit::TruncatedKm: return FixNear(x / 1000.0);
    case Unit::RoundedKm: return FixNear(x) / 1000.0;
    case Unit::Thousandth: return FixNear(x * 1000.0);
  }
  return x;
}

double FromFile(Unit u, double v, const Model& m) {
  switch (u) {
    case Unit::MicroDegree: return v / m.MK / m.kUgol;
    case Unit::MicroRadPerYear: return v / m.MK / m.sekG;
    case Unit::Micro: return v / m.MK;
    case Unit::TruncatedKm:
    case Unit::RoundedKm: return v * 1000.0;
    case Unit::Thousandth: return v / 1000.0;
  }
  return v;
}

std::optional<std::vector<std::string>> BuildLines(const Model& m) {
  std::vector<std::string> lines;
  lines.push_back(PrintLine()
                      .Single(m.DateD)  // 1.1 prints as "1.1", not as the double 1.10000002384
                      .Num(m.DateM)
                      .Num(m.DateY)
                      .Text(kParamFileLine1Text)
                      .str());
  lines.emplace_back(kParamFileLine2Text);
  const double head[3] = {FixNear(m.mSol() / 1e25), FixNear(m.gamma * 1e16), FixNear(m.Lae)};
  PrintLine l3;
  for (double v : head) {
    if (!std::isfinite(v)) return std::nullopt;
    l3.Text(Int0(v));
  }
  lines.push_back(l3.str());
  lines.emplace_back(kParamFileLine4Text);
  for (int k = 0; k <= 10; ++k) {
    PrintLine line;
    line.Text(FormatPattern(k, "00"));
    for (int c = 0; c < kValueColumns; ++c) {
      const double v = ToFile(kColumnUnit[c], ColumnField(m, c, k), m);
      if (!std::isfinite(v)) return std::nullopt;
      line.Text(Int0(v));
    }
    lines.push_back(line.str());
  }
  return lines;
}

UserMessage FileMessage(const char* text, const std::string& where) {
  std::string t = text;
  if (!where.empty()) t += "\r\n" + where;
  return UserMessage{t, kTitle0};
}

}  // namespace

std::string ParamFileRelPath(std::int16_t n) { return "\\torvik" + std::to_string(n) + ".dat"; }

std::vector<std::string> ParamFileLines(const Model& m) {
  auto lines = BuildLines(m);
  return lines ? *lines : std::vector<std::string>{};
}

ActionResult WriteParamFile(const Model& m, const std::filesystem::path& folder, std::int16_t n) {
  const std::string rel = ParamFileRelPath(n);
  auto lines = BuildLines(m);
  if (!lines || !WriteTextFile(ResolvePath(folder, rel), *lines)) return FileMessage(kMsgFileWrite, rel);
  return std::nullopt;
}

ActionResult ReadParamFile(Model& m, const std::filesystem::path& folder, std::int16_t n) {
  const std::string rel = ParamFileRelPath(n);
  bool ended = false;
  auto lines = ReadTextFile(ResolvePath(folder, rel), &ended);
  // A file cut inside its last line would read a shortened last number.
  if (!lines || !ended) return FileMessage(kMsgFileRead, rel);
  return ReadParamLines(m, *lines, rel);
}

ActionResult ReadParamLines(Model& m, const std::vector<std::string>& lines, const std::string& where) {
  const UserMessage fail = FileMessage(kMsgFileRead, where);
  // The fields of line `index`; `count` of them, or at least `count` when the
  // line goes on with text. A decimal comma splits a number into two fields,
  // so an exact count also refuses it.
  std::vector<std::string> fields;
  auto fieldsOf = [&](std::size_t index, std::size_t count, bool exact) {
    if (index >= lines.size()) return false;
    fields = SplitFields(lines[index]);
    return exact ? fields.size() == count : fields.size() >= count;
  };
  // A finite number no larger than any value the writer can put into the file.
  auto num = [&](std::size_t i) -> std::optional<double> {
    auto v = ParseNumber(fields[i]);
    if (!v || !(std::fabs(*v) <= kParamFileMaxValue)) return std::nullopt;
    return v;
  };
  // The writer's integer columns hold whole numbers.
  auto whole = [&](std::size_t i) -> std::optional<double> {
    auto v = num(i);
    if (!v || *v != std::trunc(*v)) return std::nullopt;
    return v;
  };

  // Line 1: day, month, year, then the header text (whose first field is not a
  // number: a fourth number means the date was split by a comma).
  if (!fieldsOf(0, 4, false) || ParseNumber(fields[3])) return fail;
  auto day = num(0);
  auto month = whole(1);
  auto year = whole(2);
  if (!day || !month || !year || std::fabs(*month) > 12 || std::fabs(*year) > kMaxYear - kMinYear ||
      !DateInRange(static_cast<std::int32_t>(*year), static_cast<std::int32_t>(*month), *day))
    return fail;
  m.DateD = static_cast<float>(*day);
  m.DateM = static_cast<std::int32_t>(*month);
  m.DateY = static_cast<std::int32_t>(*year);
  DateToJD(m);
  m.JDstart = m.JD;
  m.JD0 = m.JDstart;

  // Line 3: mSol / 1e25, gamma · 1e16, Lae in metres (line 2 is a caption).
  if (!fieldsOf(2, 3, true)) return fail;
  auto v = whole(0);
  if (!v) return fail;
  m.mSol() = *v * 1e25;
  if (!(v = whole(1))) return fail;
  m.gamma = *v / 1e16;
  if (!(v = whole(2))) return fail;
  m.Lae = *v;

  // Lines 5..15: bodies 0..10 in line order (line 4 is a caption).
  for (int k = 0; k <= 10; ++k) {
    if (!fieldsOf(4 + static_cast<std::size_t>(k), kParamFileBodyColumns, true)) return fail;
    if (!whole(0)) return fail;  // the body number: read, never compared with the line
    for (int c = 0; c < kValueColumns; ++c) {
      auto f = whole(static_cast<std::size_t>(c) + 1);
      if (!f) return fail;
      const double x = FromFile(kColumnUnit[c], *f, m);
      ColumnField(m, c, k) = x;
      if (double* initial = ColumnInitial(m, c, k)) *initial = x;
    }
  }
  // Exactly the lines of the format: a repeated line has shifted every body
  // after it.
  if (lines.size() != kParamFileLines) return fail;
  return std::nullopt;
}

}  // namespace torvik
