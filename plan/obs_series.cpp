#include "plan/obs_series.h"

#include <algorithm>

namespace torvik {

PlanTheory PlanTheoryOf(const ObsPlanState& st, int e, const Model& m) {
  PlanTheory p;
  p.AlfaL0 = st.AlfaL0;
  p.W0sr = st.W0sr;
  for (int a = 1; a <= kObsFactors; ++a) p.row[static_cast<std::size_t>(a - 1)] = st.PlanX[a][e] * st.Xstep[a] + st.Xzero[a];
  p.earthR0sr = st.earthR0sr;
  p.earthEks0 = st.earthEks0;
  p.earthBetta0 = st.earthBetta0 / m.kUgol;
  p.earthAlfaP0 = st.earthAlfaP0 / m.kUgol;
  p.earthAlfaU0 = st.earthAlfaU0 / m.kUgol;
  p.earthAlfaL0 = st.earthAlfaL0 / m.kUgol;
  p.earthW0sr = st.earthW0sr;
  return p;
}

double RunCriterion(const ObservationRun& run) {
  const bool dR = run.settings().criterion == ObsCriterion::dR;
  if (run.NdR() > 0) return dR ? run.MeanDR() : run.MeanAbsDL() * 3600;
  // An orbit so far off that every step was rejected must not look like the
  // best fit: its criterion is the mean over the rejected steps.
  return dR ? run.MeanDRReduced() : run.MeanAbsDLReduced() * 3600;
}

ActionResult ObsExperimentSeries::Start(const ObsSettings& s, ObsPlanState& st, int first, int last) {
  s_ = s;
  // The residual files of "\Dat\" collect the records of every experiment.
  s_.appendFiles = true;
  st_ = &st;
  exp_ = std::max(first, 1);
  last_ = std::min(last, kObsExperiments);
  stopped_ = ended_ = false;
  running_ = exp_ <= last_;
  if (!running_) return std::nullopt;
  return StartExperiment();
}

ActionResult ObsExperimentSeries::StartExperiment() {
  s_.plan = PlanTheoryOf(*st_, exp_, m_);
  // Every experiment reads the observatory file from its start again.
  if (src_.kind() == SourceKind::Obs) {
    src_.ClearObsEnd();
    src_.Rewind();
  }
  m_.Stop = 0;
  run_ = std::make_unique<ObservationRun>(m_, src_);
  if (auto msg = run_->Start(s_)) {
    running_ = false;
    return msg;
  }
  return std::nullopt;
}

ActionResult ObsExperimentSeries::Step() {
  if (!running_) return std::nullopt;
  if (ended_) {
    // The run of the experiment before stays readable until this step.
    ended_ = false;
    ++exp_;
    if (auto msg = StartExperiment()) return msg;
    if (oneStep_) run_->OneStep();
  }
  oneStep_ = false;
  step_ = run_->Step();
  if (run_->Running()) return step_.message;
  Finish();
  return step_.message;
}

void ObsExperimentSeries::Finish() {
  st_->Ycrit[exp_] = RunCriterion(*run_);
  if (stopped_ || exp_ >= last_) running_ = false;
  else ended_ = true;
}

bool ObsExperimentSeries::Continue() {
  if (running_ || !run_ || !stopped_) return false;
  // The run was stopped inside (it still runs or ended by the stop), or the
  // series between two experiments.
  const bool inside = run_->Running() || run_->end() == ObsRunEnd::Stopped;
  if (!ended_ && !inside) return false;
  if (ended_ && exp_ >= last_) return false;
  stopped_ = false;
  running_ = true;
  if (!ended_) run_->Continue();
  return true;
}

bool ObsExperimentSeries::OneStep() {
  if (!Continue()) return false;
  stopped_ = true;  // the series ends again after this step
  oneStep_ = ended_;
  if (!ended_) run_->OneStep();
  return true;
}

void ObsExperimentSeries::RequestStop() {
  stopped_ = true;
  if (ended_) running_ = false;
  if (run_) run_->RequestStop();
}

void ObsExperimentSeries::StopNow() {
  if (!running_) return;
  stopped_ = true;
  if (ended_) {
    running_ = false;
    return;
  }
  run_->RequestStop();
  Finish();
}

}  // namespace torvik
