#include "model/run.h"

#include <cmath>
#include <ctime>
#include <memory>

#include "core/calendar.h"
#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

namespace {

constexpr const char* kMsgSun = "Для Солнца с № = 0 этот режим не возможен";

UserMessage Message(const char* text) { return UserMessage{text, kTitle}; }

bool Finite(double v) { return std::isfinite(v); }

std::string TodayText() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return RunDateText(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

bool ValidLive(const LiveSettings& l) {
  return Finite(l.hMain) && l.hMain > 0 && l.hMain <= kMaxRunStep && Finite(l.NRed) && l.NRed >= 1 &&
         l.NRed <= kMaxStepReduction && l.NOut >= 1 && l.NOut <= kMaxNOut && l.NFile >= 0;
}

}  // namespace

ModelRun::ModelRun(Model& m) : m_(m), engine_(m) {}

ModelRun::~ModelRun() {
  if (s_.imitator) s_.imitator->Finish();
}

ActionResult ModelRun::Start(const RunSettings& s) {
  if (s_.imitator) s_.imitator->Finish();
  running_ = started_ = false;
  end_ = RunEnd::None;
  s_ = s;
  act_ = live = s.live;
  m_.Stop = 0;
  watch_.Reset();
  fields_.Clear(m_);

  // Fields that are not numbers never get here (the screen and the CLI check
  // them); values that would make the run meaningless count as bad data too.
  const bool planetOk = s.PlanetNo >= 0 && s.PlanetNo <= 10;
  if (!ValidLive(act_) || !Finite(s.PowR) || !Finite(s.VgrFactor) || !Finite(s.Alfa) ||
      (s.Dir != 1 && s.Dir != -1) || (s.imitatorMode && !s.imitator) || (!s.watch && !planetOk) ||
      (s.endYearOn && (s.endYear < kMinYear || s.endYear > kMaxYear)) ||
      !DateInRange(m_.DateY, m_.DateM, m_.DateD) || !JDInRange(m_.JDstart))
    return Message(kMsgBadData);

  Dir_ = s.Dir;
  planNo_ = m_.PlanNo;
  engine_.params.Vgr = s.VgrFactor * m_.Vsv;
  engine_.params.finiteSpeed = act_.finiteSpeed;
  engine_.params.PowR = s.PowR;
  engine_.params.oto = s.oto;
  engine_.params.PlanetNo = planetOk ? s.PlanetNo : 1;
  engine_.InitImitator();  // Rpl0 = 1, Esys0 = Msys0 = 1 unless the engine runs
  if (!s.imitatorMode) {
    engine_.InitRunState(Dir_);
    // A state whose energy or momentum is already infinite gives no run.
    if (!Finite(engine_.Esys0) || !Finite(engine_.Msys0)) return Message(kMsgSolveError);
  }

  date_ = CalendarDate{m_.DateY, m_.DateM, m_.DateD};
  year_ = m_.DateY;
  m_.JD = m_.JDstart;
  tMod_ = tRun_ = 0.0;
  h_ = act_.hMain;
  counter_ = 0;
  totalSteps_ = records_ = 0;

  if (s.watch) {
    if (!planetOk || s.PlanetNo < 1) return Message(kMsgSun);
    // An imitator with elements of its own starts the orbit determination
    // from its orbit at the start date, not from the loaded elements (of
    // another theory and frame), whose windows would miss the first passages.
    std::unique_ptr<Model> own;
    if (s.imitatorMode) {
      own = std::make_unique<Model>(m_);
      if (!s.imitator->StartElements(*own, s.PlanetNo)) own.reset();
    }
    const Model& from = own ? *own : m_;
    watch_.Start(from, s.PlanetNo, s.Alfa);
    fields_.Start(watch_, from);
  }

  const int p = s.PlanetNo;
  modeLabel_ = s.imitatorMode ? ImitatorModeLabel(s.imitator->Kind()) : ModelModeLabel(s.oto, s.dataSource);
  const std::string rel = s.imitatorMode ? ImitatorOrbitPath(s.imitator->Kind(), p)
                                         : ModelOrbitPath(m_.PlanNo, p, act_.NFile);
  orbitFile_ = s.writeOrbit ? ResolvePath(s.folder, rel) : std::filesystem::path();
  if (s.imitatorMode)
    if (auto msg = s.imitator->Start(m_, s.folder, p)) return msg;

  RunHeader h;
  h.planet = p;
  h.fileNo = act_.NFile;
  h.runDate = s.runDate.empty() ? TodayText() : s.runDate;
  h.startDate = StartDateText(m_);
  h.hMain = act_.hMain;
  h.NRed = act_.NRed;
  h.modeLabel = modeLabel_;
  h.VXsys = m_.VXsys, h.VYsys = m_.VYsys, h.VZsys = m_.VZsys;
  h.G = GravityFigure(act_.finiteSpeed, engine_.params.Vgr, m_.Vsv);
  h.JDstart = m_.JDstart;
  if (act_.writeTrace && !WriteTraceHeader(traceFile(), h)) return Message(kMsgBadData);
  if (s.writeOrbit) {
    // The estimate uses the field's Vgr even with the finite speed off.
    auto est = EstimateRecordCount(m_.Vsv, engine_.params.Vgr, s.endYear, m_.DateY, m_.Tsid[p]);
    if (!est) return Message(kMsgBadData);
    h.NRecEst = *est;
    if (!WriteOrbitHeader(orbitFile_, h)) return Message(kMsgBadData);
  }
  started_ = running_ = true;
  return std::nullopt;
}

std::filesystem::path ModelRun::traceFile() const {
  return ResolvePath(s_.folder, TracePath(s_.PlanetNo, act_.NFile));
}

void ModelRun::RequestStop() {
  m_.Stop = 1;
  m_.PlanNo = 0;
}

void ModelRun::Continue(int Dir) {
  if (!started_) return;
  m_.Stop = 0;
  counter_ = 0;
  if ((Dir == 1 || Dir == -1) && Dir != Dir_) {
    if (!s_.imitatorMode) engine_.ReverseTime();
    Dir_ = Dir;
  }
  end_ = RunEnd::None;
  running_ = true;
}

void ModelRun::StepBatch() {
  if (!started_) return;
  m_.Stop = 1;
  counter_ = 0;
  if (live.NOut >= 1) act_.NOut = live.NOut;
  end_ = RunEnd::None;
  running_ = true;
}

BatchResult ModelRun::Batch() {
  BatchResult r;
  if (!running_) {
    r.end = end_;
    return r;
  }
  for (;;) {
    if (!Step(r)) return r;
    if (counter_ < act_.NOut) continue;
    if (!ScreenUpdate(r)) return r;
    if (m_.Stop == 1) EndRun(RunEnd::Stopped, r);
    return r;
  }
}

bool ModelRun::Step(BatchResult& r) {
  const double hTaken = h_;
  if (s_.imitatorMode) {
    if (auto msg = s_.imitator->ImitatePosition(m_, s_.PlanetNo)) {
      r.message = msg;
      EndRun(RunEnd::Error, r);
      return false;
    }
  } else if (!engine_.StepRK4(h_)) {
    r.message = Message(kMsgSolveError);
    EndRun(RunEnd::Error, r);
    return false;
  }
  const int p = s_.PlanetNo;
  if (s_.imitatorMode && !(Finite(m_.X[p]) && Finite(m_.Y[p]) && Finite(m_.Z[p]))) {
    r.message = Message(kMsgSolveError);
    EndRun(RunEnd::Error, r);
    return false;
  }

  if (s_.watch) {
    h_ = watch_.Observe(m_, tMod_, act_.hMain, act_.NRed);
    fields_.Update(watch_, m_);
    if (watch_.event == WatchEvent::Fault) {
      r.message = Message(kMsgSolveError);
      EndRun(RunEnd::Error, r);
      return false;
    }
    if (watch_.event == WatchEvent::Extremum && onExtremum) onExtremum(*this);
    if (watch_.nodeCrossed && onNode) onNode(*this);
    if (watch_.recordDue && s_.writeOrbit && !WriteRecord()) {
      r.message = Message(kMsgSolveError);
      EndRun(RunEnd::Error, r);
      return false;
    }
  }

  // The engine has advanced the state by the step it took; an imitator
  // samples at the start of each step, so its clock moves by the step chosen
  // for the next sample.
  const double dt = s_.imitatorMode ? h_ : hTaken;
  ++counter_;
  ++totalSteps_;
  ++r.steps;
  tMod_ += dt;
  tRun_ += Dir_ * dt;
  m_.JD += dt / m_.sekD;
  // A date beyond the calendars has no year to show or to end the run at.
  if (!JDInRange(m_.JD)) {
    r.message = Message(kMsgSolveError);
    EndRun(RunEnd::Error, r);
    return false;
  }
  if (s_.endYearOn && year_ >= s_.endYear + 1) {
    EndRun(RunEnd::EndYear, r);
    return false;
  }
  return true;
}

bool ModelRun::WriteRecord() {
  OrbitRecord rec;
  rec.NRev = watch_.NRev;
  rec.tRun = tRun_;
  rec.AlfaP = watch_.AlfaP;
  rec.AlfaU = watch_.AlfaU;
  rec.Betta = watch_.Betta;
  rec.Eks = watch_.Eks;
  rec.Rsr = watch_.Rsr;
  rec.Period = watch_.Period;
  if (!WriteOrbitRecord(orbitFile_, rec, m_)) return false;
  ++records_;
  return true;
}

bool ModelRun::ScreenUpdate(BatchResult& r) {
  counter_ = 0;
  r.updated = true;
  date_ = JDToDate(m_.JD);
  year_ = date_.year;
  const int p = s_.PlanetNo;
  if (act_.writeTrace) {
    TraceRecord t;
    t.date = date_;
    t.tRun = tRun_;
    t.X = m_.X[p], t.Y = m_.Y[p], t.Z = m_.Z[p];
    t.Rpl = watch_.Rpl;
    t.VX = m_.VX[p], t.VY = m_.VY[p], t.VZ = m_.VZ[p];
    t.Vpl = engine_.Vpl;
    t.Esys = engine_.Esys;
    if (!WriteTraceRecord(traceFile(), t, m_)) {
      r.message = Message(kMsgSolveError);
      EndRun(RunEnd::Error, r);
      return false;
    }
  }
  // The energy of an imitator run means nothing: its state is not integrated.
  if (act_.energy && !s_.imitatorMode) engine_.EnergyMomentum();
  if (!SummaryFinite()) {
    r.message = Message(kMsgSolveError);
    EndRun(RunEnd::Error, r);
    return false;
  }
  // Fields read again at every update; a value that is not usable keeps the old one.
  if (ValidLive(live)) act_ = live;
  engine_.params.finiteSpeed = act_.finiteSpeed;
  if (!s_.watch) h_ = act_.hMain;
  if (onUpdate) onUpdate(*this);
  return true;
}

void ModelRun::EndRun(RunEnd why, BatchResult& r) {
  running_ = false;
  end_ = why;
  r.end = why;
  if (why != RunEnd::Error && m_.PlanNo > 0) {
    if (onPlanEnd) onPlanEnd(*this);
    m_.PlanNo = 0;
  }
}

void ModelRun::RefreshEnergy() {
  if (started_ && !s_.imitatorMode) engine_.EnergyMomentum();
}

bool ModelRun::SummaryFinite() const {
  const bool watchOk = !s_.watch || (Finite(watch_.AlfaP) && Finite(watch_.AlfaU) && Finite(watch_.Betta) &&
                                     Finite(watch_.Eks) && Finite(watch_.Rsr) && Finite(watch_.Period));
  const bool energyOk = s_.imitatorMode || (Finite(dEsysPercent()) && Finite(dMsysPercent()));
  return watchOk && energyOk && Finite(m_.JD);
}

double ModelRun::dEsysPercent() const {
  return Fix((engine_.Esys - engine_.Esys0) * m_.MK * 100.0 / engine_.Esys0) / m_.MK;
}

double ModelRun::dMsysPercent() const {
  return Fix((engine_.Msys - engine_.Msys0) * m_.MK * 100.0 / engine_.Msys0) / m_.MK;
}

}  // namespace torvik
