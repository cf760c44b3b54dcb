#include "observe/run.h"

#include <cmath>
#include <stdexcept>

#include "core/frames.h"
#include "core/kepler.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "core/theories.h"
#include "observe/residual_files.h"

namespace torvik {

namespace {

constexpr double kMoonOffset = 4672000.0;   // Earth–Moon barycentre to the geocentre, m
constexpr double kEarthRadius = 6378140.0;  // m
constexpr int kObserver = 12, kOrigin = 13, kMoon = 14, kEarthSaved = 23, kPlanetSaved = 20, kHorizontal = 25;

// A fault of the step: reported as "Ошибка решения уравнений".
struct StepFault : std::runtime_error {
  StepFault() : std::runtime_error("step fault") {}
};

void Require(bool ok) {
  if (!ok) throw StepFault();
}

// General precession in longitude from J2000 to T (centuries), radians: the p
// of PrecessionMatrix(0, T).
double GeneralPrecession(double T) {
  const double sec = 5029.0966 * T + 1.11113 * T * T - 0.000006 * T * T * T;
  return sec / 3600.0 * 3.14159265359 / 180.0;
}

// old − new of a row, each truncated to six decimals.
RowPair Change(double oldL, double oldB, double newL, double newB) {
  return {FixMK(oldL - newL), FixMK(oldB - newB)};
}

double Wrap300(double d) {
  if (d > 300) d -= 360;
  if (d < -300) d += 360;
  return d;
}

}  // namespace

void ApplyPresets(const SourcePresets& p, ObsSettings& s) {
  s.calendar.calendar = p.calendar;
  s.calendar.dayStart = p.dayStart;
  s.aberrPl = p.aberrPl;
  s.aberrZv = p.aberrZv;
  s.nutation = p.nutation;
  s.refraction = p.refraction;
  s.parallax = p.parallax;
  if (p.hasPlace) s.ObsL = p.ObsL, s.ObsB = p.ObsB;
  if (p.hasDate) s.day = p.day, s.month = p.month, s.year = p.year;
}

double FieldJD(const CalendarSetting& c, std::int32_t year, std::int32_t month, float day, double previousJD) {
  return Fix(1000 * DmyToJd(c, year, month, day, previousJD)) / 1000;
}

double FieldJD(const ObsSettings& s) { return FieldJD(s.calendar, s.year, s.month, s.day); }

bool FitDateToRecords(const ObservationSource& src, float* day, std::int32_t* month, std::int32_t* year) {
  const auto span = src.Records();
  if (!span || (*year >= span->firstY && *year <= span->lastY)) return false;
  *day = span->lastD;
  *month = span->lastM;
  *year = span->lastY;
  return true;
}

ActionResult OpenSource(ObservationSource& src, SourceKind kind, int index, int planet, ObsSettings& s) {
  SelectResult sel;
  if (kind == SourceKind::Tab) {
    sel = src.SelectTable(index);
  } else {
    src.SwitchKind(SourceKind::Obs, nullptr);
    sel = src.SelectObservatory(index, planet);
  }
  if (sel.message) return sel.message;
  ApplyPresets(sel.presets, s);
  if (kind == SourceKind::Tab) s.calendar.era = kTables[static_cast<std::size_t>(index - 1)].era;
  return std::nullopt;
}

ObservationRun::ObservationRun(Model& m, ObservationSource& source) : m_(m), src_(source) {}

bool ObservationRun::Simulated() const { return started_ && src_.kind() == SourceKind::Obs && src_.Simulated(); }

std::string ObservationRun::NoStepReason() const {
  if (NdR_ > 0) return {};
  if (Nreduced_ == 0) {
    if (src_.kind() == SourceKind::Obs) {
      std::string text = std::string(kNoStepAccepted) + ": в файле нет записей с " + std::to_string(endY_) + " по " +
                         std::to_string(startY_) + " г.";
      if (const auto span = src_.Records())
        text += " (записи файла: " + std::to_string(span->firstY) + " - " + std::to_string(span->lastY) + " гг.)";
      return text;
    }
    return std::string(kNoStepAccepted) + ": ни одного шага в интервале";
  }
  return std::string(kNoStepAccepted) + ": у всех " + std::to_string(Nreduced_) + " шагов dR >= dRmax = " +
         ShortestText(live.dRmax) + " тыс.км";
}

std::string ObservationRun::Summary() const {
  std::string text = "принято шагов " + std::to_string(NdR_) + ", отклонено (dR>=dRmax) " + std::to_string(Rejected());
  if (const std::string why = NoStepReason(); !why.empty()) text += ". " + why;
  if (Simulated()) text += ". " + std::string(kSimulatedNote);
  return text;
}
ObservationRun::~ObservationRun() = default;

double ObservationRun::MeanDL() const { return NdR_ ? sumDL_ / NdR_ : 0.0; }
double ObservationRun::MeanDB() const { return NdR_ ? sumDB_ / NdR_ : 0.0; }
double ObservationRun::MeanAbsDL() const { return NdR_ ? sumAbsDL_ / NdR_ : 0.0; }
double ObservationRun::MeanAbsDB() const { return NdR_ ? sumAbsDB_ / NdR_ : 0.0; }
double ObservationRun::MeanDR() const { return NdR_ ? sumDR_ / NdR_ : 0.0; }

std::vector<std::filesystem::path> ObservationRun::files() const {
  std::vector<std::filesystem::path> out;
  for (int i = 0; i < 3; ++i)
    if (fileOn_[static_cast<std::size_t>(i)]) out.push_back(paths_[static_cast<std::size_t>(i)]);
  return out;
}

ActionResult ObservationRun::Start(const ObsSettings& s) {
  const bool obs = src_.kind() == SourceKind::Obs;
  if (obs && (m_.Stop == 1 || src_.ObsEnd())) return UserMessage{kReopenFile, kTitle0};
  m_.Stop = 1;
  if (!src_.IsOpen()) return UserMessage{obs ? kChooseObservatory : kChooseTable, kTitle0};
  m_.Stop = 0;
  if (s.Npl == 3) {
    m_.Stop = 1;
    return UserMessage{kNoEarth, kTitle0};
  }
  const UserMessage wrong{"Введите правильно данные", kTitle0};
  if (!std::isfinite(s.ObsL) || !std::isfinite(s.ObsB) || !std::isfinite(s.VXsys) || !std::isfinite(s.VYsys) ||
      !std::isfinite(s.VZsys) || !std::isfinite(s.live.Step0) || !std::isfinite(s.live.dRmax) ||
      !std::isfinite(s.day) || s.years < -32768 || s.years > 32767)
    return wrong;
  s_ = s;
  live = s.live;
  // Kept apart from the model's VXsys (km/s), which a later model run reads.
  vsys_ = {s.VXsys * 1000.0, s.VYsys * 1000.0, s.VZsys * 1000.0};
  m_.X[kOrigin] = m_.Y[kOrigin] = m_.Z[kOrigin] = 0.0;
  months_ = MakeMonthTable(s.calendar.calendar);
  cur_ = StepDate{};
  cur_.CurY = s.year;
  cur_.CurM = static_cast<std::int16_t>(s.month);
  cur_.CurD = s.day;
  if (s.month < 0 || s.month > 13 || !NormaliseDate(s.calendar.calendar, months_, cur_)) return wrong;
  startY_ = cur_.CurY, startM_ = cur_.CurM, startD_ = cur_.CurD;
  endY_ = obs ? startY_ - s.years : startY_ + s.years;
  rows_ = ObsRows{};
  rows_.date = {cur_.CurY, cur_.CurM, cur_.CurD};
  m_.JD = DmyToJd(s.calendar, cur_.CurY, cur_.CurM, cur_.CurD, m_.JD);
  rows_.jdUt = Fix(1000 * m_.JD) / 1000;
  JDstart_ = m_.JDstart = m_.JD0 = m_.JD;
  loc_ = cur_;
  NdR_ = Nreduced_ = 0;
  sumAbsDL_ = sumAbsDB_ = sumDL_ = sumDB_ = sumDR_ = sumDRAll_ = sumAbsDLAll_ = 0;
  paramCounter_ = steps_ = 0;
  src_.ClearObsEnd();
  AltPrev_ = 0;
  solsticeFound_ = false;
  StepCur_ = live.Step0;
  if (s.earth == ObsTheory::De405 || s.planet == ObsTheory::De405) {
    de405_ = std::make_unique<De405Theory>(src_.folder());
  }
  const bool on[3] = {s.fileTrace, s.fileParam, s.fileBad};
  const std::filesystem::path& folder = src_.folder();
  for (int i = 0; i < 3; ++i) {
    const auto f = static_cast<ResidualFile>(i);
    fileOn_[static_cast<std::size_t>(i)] = on[i];
    paths_[static_cast<std::size_t>(i)] = ResolvePath(folder, ResidualFileRelPath(f));
    const auto& path = paths_[static_cast<std::size_t>(i)];
    std::error_code ec;
    // A series appends to the files; only a missing one gets its header.
    if (!on[i] || (s.appendFiles && std::filesystem::exists(path, ec))) continue;
    if (!WriteTextFile(path, ResidualFileHeader(f, s.Npl, src_.name())))
      return UserMessage{std::string("Ошибка записи данных в файл\r\n") + ResidualFileRelPath(f), kTitle0};
  }
  started_ = running_ = true;
  end_ = ObsRunEnd::None;
  return std::nullopt;
}

void ObservationRun::RequestStop() { m_.Stop = 1; }

void ObservationRun::Continue() {
  if (!started_) return;
  m_.Stop = 0;
  running_ = true;
  end_ = ObsRunEnd::None;
}

void ObservationRun::OneStep() {
  if (!started_) return;
  m_.Stop = 1;
  running_ = true;
  end_ = ObsRunEnd::None;
}

void ObservationRun::EndRun(ObsRunEnd why, ObsStepResult& r) {
  running_ = false;
  end_ = r.end = why;
  if (why == ObsRunEnd::EndYear || why == ObsRunEnd::EndOfFile) {
    // The date fields get the start date back.
    rows_.date = {startY_, startM_, startD_};
    m_.JD = DmyToJd(s_.calendar, startY_, startM_, startD_, m_.JD);
    rows_.jdUt = Fix(1000 * m_.JD) / 1000;
  }
}

ObsStepResult ObservationRun::Step() {
  ObsStepResult r;
  if (!running_) return r;
  Flow flow;
  try {
    flow = ReduceStep(r);
  } catch (const std::exception&) {
    r.message = UserMessage{kStepFault, kTitle0};
    r.reduced = r.accepted = r.rejected = false;
    EndRun(ObsRunEnd::Error, r);
    return r;
  }
  if (flow != Flow::NoStep) ++steps_;
  // An unreadable observatory line, or a spreadsheet engine that died or hung,
  // ends the run.
  if (r.message && (r.message->text.rfind(kObsReadError, 0) == 0 || src_.EngineLost())) m_.Stop = 1;
  if (m_.Stop == 1) {
    running_ = false;
    end_ = r.end = ObsRunEnd::Stopped;
    return r;
  }
  if (live.pause) r.pauseMs = live.pauseMs;
  if (src_.kind() == SourceKind::Obs) {
    if (src_.ObsEnd()) {
      src_.Rewind();
      EndRun(ObsRunEnd::EndOfFile, r);
    }
  } else if (loc_.CurY >= endY_) {
    EndRun(ObsRunEnd::EndYear, r);
  }
  return r;
}

bool ObservationRun::Theory(int k, ObsTheory t, bool earthOfPlanet, double JDut) {
  Model& m = m_;
  switch (t) {
    case ObsTheory::J: JplElements(m, k); break;
    case ObsTheory::S: MoxElements(m, k); break;
    case ObsTheory::De405: Require(de405_ != nullptr); return !de405_->Evaluate(m, k, JD_).has_value();
    case ObsTheory::P: {
      const PlanTheory& p = s_.plan;
      const double Tp = (JDut - JDstart_) / 36525.0;
      if (earthOfPlanet) {
        m.R0sr[3] = p.earthR0sr, m.Eks0[3] = p.earthEks0, m.Betta0[3] = p.earthBetta0;
        m.AlfaP0[3] = p.earthAlfaP0, m.AlfaU0[3] = p.earthAlfaU0;
        m.AlfaL[3] = p.earthAlfaL0 + Tp * p.earthW0sr;
      } else {
        const auto ks = static_cast<std::size_t>(k);
        m.AlfaL[ks] = p.AlfaL0 / m.kUgol + Tp * p.W0sr;
        m.R0sr[ks] = p.row[0];
        m.Eks0[ks] = p.row[1];
        m.Betta0[ks] = p.row[2] / m.kUgol;
        m.AlfaP0[ks] = p.row[3] / m.kUgol;
        m.AlfaU0[ks] = p.row[4] / m.kUgol;
        m.W0sr[ks] = p.W0sr / 36525.0 / m.sekD;
      }
      break;
    }
  }
  NormaliseElements(m, k);
  return ElementsToPosition(m, k) && ElementsToVelocity(m, k);
}

void ObservationRun::Inset(double y, const char* caption, double L, double B, double dist) {
  inset_.push_back({y, caption});
  inset_.push_back({y - 1, ShortestText(FixMK(L))});
  inset_.push_back({y - 2, ShortestText(FixMK(B))});
  inset_.push_back({y - 3, ShortestText(FixMK(dist / m_.Lae))});
}

void ObservationRun::Append(int file, const std::vector<std::string>& lines) {
  const auto i = static_cast<std::size_t>(file);
  // A record that cannot be appended is a fault of the step.
  if (fileOn_[i]) Require(AppendTextFile(paths_[i], lines));
}

double ObservationRun::Stage(RowPair* row, const char* label, double insetY, const char* caption) {
  const int Npl = s_.Npl;
  const RelativePos rp = RelativePosition(m_, 3, Npl);
  auto& L = pos_.PosL[static_cast<std::size_t>(Npl)];
  auto& B = pos_.PosB[static_cast<std::size_t>(Npl)];
  if (row) *row = Change(L, B, rp.L, rp.B);
  L = rp.L;
  B = rp.B;
  if (s_.fileTrace) {
    if (label) Append(0, TraceRecord(cur_, label, L, B));
    if (caption) Inset(insetY, caption, L, B, rp.range);
  }
  return rp.range;
}

ObservationRun::Flow ObservationRun::ReduceStep(ObsStepResult& r) {
  Model& m = m_;
  const ObsSettings& s = s_;
  const int Npl = s.Npl;
  // Slot 20 + Npl holds the saved planet: bodies 0..6 only.
  Require(Npl >= 0 && Npl <= 6);
  const auto np = static_cast<std::size_t>(Npl);
  const bool obs = src_.kind() == SourceKind::Obs;
  if (s.fileTrace) inset_.clear();
  horizon_.valid = false;
  helio_.valid = geo_.valid = false;

  // ---- 1. time of the step ----
  double JDet = 0;
  if (obs) {
    while (true) {
      UserMessage fail;
      const auto st = src_.ReadNextObservation(startY_, endY_, Npl, cur_, pos_, &fail);
      if (st == ObservationSource::ReadStatus::End) return Flow::NoStep;
      if (st == ObservationSource::ReadStatus::Error) {
        r.message = fail;
        return Flow::NoStep;
      }
      Require(NormaliseDate(s.calendar.calendar, months_, cur_));
      JDet = m.JD = DmyToJd(s.calendar, cur_.CurY, cur_.CurM, cur_.CurD, m.JD);
      const double dT = DeltaT(m.JD);
      rows_.etUtMinutes = FixMK(dT / 60);
      JDut_ = JDet - dT / 86400.0;
      JD_ = s.etUt ? JDet : JDut_;
      rows_.jdUt = Fix(1000 * JDut_) / 1000;
      if (auto d = JdToDmy(s.calendar, rows_.jdUt, nullptr)) rows_.date = *d;
      if (JD_ > JDstart_) continue;
      break;
    }
    Lnab_ = pos_.PosL[np];
    Bnab_ = pos_.PosB[np];
  } else {
    cur_ = loc_;
    cur_.CurD = loc_.CurD - static_cast<float>(s.ObsL / 15 / 24);
    Require(NormaliseDate(s.calendar.calendar, months_, cur_));
    JDut_ = m.JD = DmyToJd(s.calendar, cur_.CurY, cur_.CurM, cur_.CurD, m.JD);
    const double dT = DeltaT(m.JD);
    rows_.etUtMinutes = FixMK(dT / 60);
    JDet = JDut_ + dT / 86400.0;
    JD_ = s.etUt ? JDet : JDut_;
    rows_.jdUt = Fix(1000 * JDut_) / 1000;
    // The Prutenic tables leave out the days about the solstices.
    if (src_.name() == "PrutenticTables" && (cur_.CurM == 6 || cur_.CurM == 12) && cur_.CurD > 20 && cur_.CurD < 26) {
      NextStep();
      return Flow::Skipped;
    }
  }
  m.JD = JD_;
  const double T = T_ = (JD_ - m.JD2000) / 36525.0;

  // ---- 2. heliocentric positions, J2000 ecliptic ----
  m.X[0] = m.Y[0] = m.Z[0] = 0;
  m.VX[0] = vsys_[0], m.VY[0] = vsys_[1], m.VZ[0] = vsys_[2];
  const MoonPos moon = MoonPosition(T);
  m.X[kMoon] = kMoonOffset * std::cos(moon.lat) * std::cos(moon.lon);
  m.Y[kMoon] = kMoonOffset * std::cos(moon.lat) * std::sin(moon.lon);
  m.Z[kMoon] = kMoonOffset * std::sin(moon.lat);
  ApplyPrecession(m, PrecessionMatrix(m, T, 0), kMoon);
  auto addVsys = [&](int k) {
    const auto ks = static_cast<std::size_t>(k);
    m.VX[ks] += vsys_[0], m.VY[ks] += vsys_[1], m.VZ[ks] += vsys_[2];
    if (k == 3 && s.moon) m.X[3] -= m.X[kMoon], m.Y[3] -= m.Y[kMoon], m.Z[3] -= m.Z[kMoon];
  };
  if (Npl != 0) {
    Require(Theory(3, s.earth, true, JDut_));
    addVsys(3);
  }
  const int k = Npl == 0 ? 3 : Npl;
  Require(Theory(k, s.planet, false, JDut_));
  addVsys(k);
  if (s.fileTrace && Npl != 0) {
    const RelativePos h = RelativePosition(m, 0, Npl);
    Append(0, TraceRecord(cur_, kTraceGelio, h.L, h.B));
    Inset(78, "Gelio Ecl  J2000)", h.L, h.B, h.range);
  }

  // ---- 3. sidereal time and observer ----
  // Reduced into 0..24 hours also before 2000, where the sidereal time is negative.
  const double g = Gmst(JDut_ - 2400000.5) / 24;
  const double GST = (g - std::floor(g)) * 24;
  double LSTh = s.ObsL / 15 + GST;
  if (LSTh > 24) LSTh -= 24;
  const double LST = LST_ = LSTh * 15;
  const double phi = s.ObsB / m.kUgol, lst = LST / m.kUgol;
  m.X[kObserver] = kEarthRadius * std::cos(phi) * std::cos(lst);
  m.Y[kObserver] = kEarthRadius * std::cos(phi) * std::sin(lst);
  m.Z[kObserver] = kEarthRadius * std::sin(phi);

  // ---- 4. geometric view of the date ----
  m.X[kEarthSaved] = m.X[3], m.Y[kEarthSaved] = m.Y[3], m.Z[kEarthSaved] = m.Z[3];
  const auto ps = static_cast<std::size_t>(kPlanetSaved + Npl);
  m.X[ps] = m.X[np], m.Y[ps] = m.Y[np], m.Z[ps] = m.Z[np];
  const Matrix3 prec = PrecessionMatrix(m, 0, T);
  {
    PrecA_ = GeneralPrecession(T) * m.kUgol;
    ApplyPrecession(m, prec, 3);
    ApplyPrecession(m, prec, Npl);
    const RelativePos g = RelativePosition(m, 3, Npl);
    rows_.theoryJ2000 = {FixMK(g.L), FixMK(g.B)};
    helio_ = {true, {m.X[3], m.Y[3], m.Z[3]}, {m.X[np], m.Y[np], m.Z[np]}};
  }
  auto geocentric = [&] {
    m.X[np] -= m.X[3], m.Y[np] -= m.Y[3], m.Z[np] -= m.Z[3];
    m.X[0] = -m.X[3], m.Y[0] = -m.Y[3], m.Z[0] = -m.Z[3];
    m.X[3] = m.Y[3] = m.Z[3] = 0;
  };

  // ---- 5. visibility ----
  if (s.visibility) {
    geocentric();
    // Horizontal direction of body b (geocentric, ecliptic of date): azimuth
    // from the south through the west and altitude, degrees; the horizontal
    // vector scaled to the distance replaces the body's vector.
    auto horizontal = [&](int b, double* az, double* alt) {
      EclToEqu(m, T, b);
      const RelativePos q = RelativePosition(m, kOrigin, b);
      double H = LST - q.L;
      if (H < 0) H += 360;
      EquToHor(m, b, s.ObsB, q.B, H);
      const RelativePos h = RelativePosition(m, kOrigin, b);
      *az = h.L, *alt = h.B;
      const auto bs = static_cast<std::size_t>(b);
      const double ca = std::cos(h.B / m.kUgol), a = h.L / m.kUgol;
      m.X[bs] = q.range * ca * std::sin(a);
      m.Y[bs] = q.range * ca * std::cos(a);
      m.Z[bs] = q.range * std::sin(h.B / m.kUgol);
    };
    double AzPl, AltPl;
    horizontal(Npl, &AzPl, &AltPl);
    const double AltRate = (AltPl - AltPrev_) * live.Step0 / StepCur_;
    AltPrev_ = AltPl;
    StepCur_ = live.Step0;
    if ((AltPl > 0 && AltPl + AltRate > s.HminPl) || (AltPl < 0 && std::fabs(AltRate) + AltPl > s.HminPl))
      StepCur_ = live.Step0 / live.StepDiv;
    m.X[kHorizontal] = m.X[np], m.Y[kHorizontal] = m.Y[np], m.Z[kHorizontal] = m.Z[np];
    if (AzPl > 180) AzPl -= 360;
    rows_.azAlt = {FixMK(AzPl), FixMK(AltPl)};
    if (s.hminPl && AltPl < s.HminPl) {
      NextStep();
      return Flow::Skipped;
    }
    horizon_.planet = horizon_.sun = {m.X[np], m.Y[np], m.Z[np]};
    if (Npl != 0) {
      double AzSun, AltSun;
      horizontal(0, &AzSun, &AltSun);
      horizon_.sun = {m.X[0], m.Y[0], m.Z[0]};
      if (AltPl > 0 && AltPl < AltSun) StepCur_ = live.Step0;
      if (s.hmaxSol && AltSun > s.HmaxSol) {
        NextStep();
        return Flow::Skipped;
      }
    }
    horizon_.valid = true;
  }

  // ---- 6. reduction chain ----
  m.X[3] = m.X[kEarthSaved], m.Y[3] = m.Y[kEarthSaved], m.Z[3] = m.Z[kEarthSaved];
  m.X[np] = m.X[ps], m.Y[np] = m.Y[ps], m.Z[np] = m.Z[ps];
  geocentric();
  Dgeo_ = Stage(nullptr, kTraceGeoEcl, 68, "GEO ECL");
  Tau_ = Dgeo_ / m.Vsv;
  if (s.aberrPl) {
    const double G[3] = {m.X[np], m.Y[np], m.Z[np]};
    for (int i = 0; i < 3; ++i) {
      m.X[np] = G[0] - m.VX[np] * Tau_;
      m.Y[np] = G[1] - m.VY[np] * Tau_;
      m.Z[np] = G[2] - m.VZ[np] * Tau_;
      Tau_ = std::sqrt(m.X[np] * m.X[np] + m.Y[np] * m.Y[np] + m.Z[np] * m.Z[np]) / m.Vsv;
    }
    Stage(&rows_.aberrPl, kTraceApl, 63, "GEO ECL Apl");
  }
  if (s.aberrZv) {
    m.X[np] += m.VX[3] * Tau_, m.Y[np] += m.VY[3] * Tau_, m.Z[np] += m.VZ[3] * Tau_;
    Stage(&rows_.aberrZv, kTraceAzv, 58, "GEO ECL  Azv");
  }
  if (!s.j2000) {
    ApplyPrecession(m, prec, Npl);
    Stage(nullptr, nullptr, 0, nullptr);
  }
  EclToEqu(m, T, Npl);
  Stage(nullptr, nullptr, 53, "GEO EQU  ");
  if (s.parallax) {
    m.X[np] -= m.X[kObserver], m.Y[np] -= m.Y[kObserver], m.Z[np] -= m.Z[kObserver];
    Stage(&rows_.parallax, nullptr, 0, nullptr);
  }
  if (s.refraction) {
    double& PosL = pos_.PosL[np];
    double& PosB = pos_.PosB[np];
    double H = LST - PosL;
    if (H < 0) H += 360;
    EquToHor(m, Npl, s.ObsB, PosB, H);
    const RelativePos hor = RelativePosition(m, kOrigin, Npl);
    double h = hor.B;
    if (h > 0) h -= Refraction(90 - std::fabs(h));
    if (h < 0) h += Refraction(90 - std::fabs(h));
    HorToEqu(m, Npl, s.ObsB, h, hor.L);
    const RelativePos equ = RelativePosition(m, kOrigin, Npl);
    double alpha = LST - equ.L;
    if (alpha < 0) alpha += 360;
    const double delta = equ.B;
    rows_.refraction = Change(PosL, PosB, alpha, delta);
    PosL = alpha, PosB = delta;
    const double cd = std::cos(delta / m.kUgol), a = alpha / m.kUgol;
    m.X[np] = Dgeo_ * cd * std::cos(a);
    m.Y[np] = Dgeo_ * cd * std::sin(a);
    m.Z[np] = Dgeo_ * std::sin(delta / m.kUgol);
    if (s.fileTrace) Inset(88, "Geo Equ Ras Ref  ", alpha, delta, Dgeo_);
  }
  if (s.nutation) {
    NutateEquatorial(T, m.X[np], m.Y[np], m.Z[np]);
    Stage(&rows_.nutation, kTraceNut, 48, "GEO EQU  Nut");
  }
  if (!obs) EquToEcl(m, T, Npl);
  {
    const RelativePos t = RelativePosition(m, 3, Npl);
    Lteor_ = t.L, Bteor_ = t.B;
    rows_.theory = {FixMK(Lteor_), FixMK(Bteor_)};
  }
  const double theo[3] = {m.X[np], m.Y[np], m.Z[np]};

  // ---- 7. source position ----
  if (!obs) {
    cur_ = loc_;
    Require(NormaliseDate(s.calendar.calendar, months_, cur_));
    if (auto fault = src_.ReadTablePosition(cur_, Npl, pos_)) r.message = fault;
    Lnab_ = pos_.PosL[np];
    Bnab_ = pos_.PosB[np];
    if (s.showPtab) PrecA_ = pos_.Ptab;
  }
  rows_.PrecA = FixMK(PrecA_);
  {
    // Period of the planet for the plan screen, days; nothing for a body
    // without a mean motion (the Sun).
    const double W = m.W0sr[np];
    double period = 0;
    if (s.planet != ObsTheory::P) {
      if (W != 0) period = 2 * m.Pi / W / m.sekD;
    } else {
      const double w = obs ? s.plan.W0sr : s.plan.W0sr - 5029.1 / 3600 / m.kUgol;
      if (w != 0) period = 2 * m.Pi * 36525 / w;
    }
    rows_.period = FixMK(period);
  }
  {
    const double cb = std::cos(Bnab_ / m.kUgol), l = Lnab_ / m.kUgol;
    m.X[np] = Dgeo_ * cb * std::cos(l);
    m.Y[np] = Dgeo_ * cb * std::sin(l);
    m.Z[np] = Dgeo_ * std::sin(Bnab_ / m.kUgol);
  }
  rows_.source = {FixMK(Lnab_), FixMK(Bnab_)};
  {
    // An observatory's vector is equatorial of the date: rotated to the ecliptic.
    std::array<double, 3> v{m.X[np], m.Y[np], m.Z[np]};
    if (obs) {
      const double e = ObliquityOfDate(T), c = std::cos(e), sn = std::sin(e);
      v = {v[0], v[1] * c + v[2] * sn, v[2] * c - v[1] * sn};
    }
    const double d = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    geo_ = {d > 0, v, d > 0 ? std::array<double, 3>{v[0] / d, v[1] / d, v[2] / d} : std::array<double, 3>{}};
  }
  if (s.fileTrace) Append(0, TraceRecord(cur_, kTraceNab, Lnab_, Bnab_));

  // ---- 8. deviations ----
  dLpl_ = Wrap300(Lteor_ - Lnab_);
  dBpl_ = Wrap300(Bteor_ - Bnab_);
  rows_.deviation = {FixMK(dLpl_), FixMK(dBpl_)};
  {
    const double dx = m.X[np] - theo[0], dy = m.Y[np] - theo[1], dz = m.Z[np] - theo[2];
    dRpl_ = std::sqrt(dx * dx + dy * dy + dz * dz) / 1000000.0;
  }
  rows_.dRpl = FixMK(dRpl_);
  Require(std::isfinite(Lteor_) && std::isfinite(Bteor_) && std::isfinite(Lnab_) && std::isfinite(Bnab_) &&
          std::isfinite(dRpl_));
  r.reduced = true;

  // ---- 9. solstice search ----
  if (s.solstice) {
    const double w = live.dRmax;
    if (Lnab_ < 90 - w || Lnab_ > 90 + w) {
      solsticeFound_ = false;
    } else if (!solsticeFound_) {
      solsticeFound_ = true;
      CalendarSetting julian = s.calendar;
      julian.calendar = ObsCalendar::Julian;
      const auto d = JdToDmy(julian, rows_.jdUt, nullptr);
      Require(d.has_value());
      cur_.CurY = d->year;
      cur_.CurM = static_cast<std::int16_t>(d->month);
      cur_.CurD = d->day + static_cast<float>(s.ObsL / 15 / 24);
      MonthTable julianMonths = MakeMonthTable(ObsCalendar::Julian);
      Require(NormaliseDate(ObsCalendar::Julian, julianMonths, cur_));
      Append(1, {ParamRecord(++paramCounter_, cur_, m.JD, Lnab_, Bnab_, PrecA_)});
    }
  }
  // ---- 10. parameter record ----
  if (s.fileParam && !s.solstice) Append(1, {ParamRecord(++paramCounter_, cur_, m.JD, Lnab_, Bnab_, PrecA_)});

  // ---- 11. acceptance ----
  ++Nreduced_;
  sumDRAll_ += dRpl_;
  sumAbsDLAll_ += std::fabs(dLpl_);
  if (s.dRlimit && dRpl_ >= live.dRmax) {
    r.rejected = true;
    Append(2, {BadRecord(cur_, dLpl_, dBpl_, dRpl_)});
  } else {
    r.accepted = true;
    ++NdR_;
    sumAbsDL_ += std::fabs(dLpl_), sumAbsDB_ += std::fabs(dBpl_);
    sumDL_ += dLpl_, sumDB_ += dBpl_;
    sumDR_ += dRpl_;
    rows_.NdR = NdR_;
    rows_.mean = {FixMK(MeanDL()), FixMK(MeanDB())};
    rows_.absMean = {FixMK(MeanAbsDL()), FixMK(MeanAbsDB())};
    rows_.criterion = FixMK(s.criterion == ObsCriterion::dR ? MeanDR() : sumAbsDL_ * 3600 / NdR_);
  }
  NextStep();
  return Flow::Done;
}

void ObservationRun::NextStep() {
  if (src_.kind() != SourceKind::Tab) return;
  cur_ = loc_;
  if (!s_.visibility) StepCur_ = live.Step0;
  const double w = live.dRmax;
  if (s_.solstice && Lnab_ > 90 - 10 * w && Lnab_ < 90 + w) StepCur_ = live.Step0 / live.StepDiv;
  cur_.CurD = static_cast<float>(cur_.CurD + StepCur_);
  Require(NormaliseDate(s_.calendar.calendar, months_, cur_));
  loc_ = cur_;
  rows_.date = {loc_.CurY, loc_.CurM, loc_.CurD};
}

}  // namespace torvik
