// The experiment series of an observation plan: one observation run per
// experiment first..last, the planet's orbit taken from the experiment's
// natural values through theory "P", each run's criterion stored as Ycrit of
// its experiment. Like the run itself the series never loops on its own: the
// owner calls Step() once per turn of its event loop while Running().
//
//   ObsExperimentSeries series(model, source);
//   if (auto msg = series.Start(settings, state, 1, 43)) show(*msg);
//   while (series.Running()) if (auto msg = series.Step()) show(*msg);
#pragma once

#include <memory>

#include "core/message.h"
#include "core/model.h"
#include "observe/run.h"
#include "observe/sources.h"
#include "plan/obs_planfile.h"

namespace torvik {

// The elements of theory "P" for experiment e (1..43) of the plan:
// R0sr, Eks0, Betta0, AlfaP0, AlfaU0 = Xzero(a) + PlanX(a, e)·Xstep(a), the
// planet's AlfaL0 and W0sr, and the Earth's plan orbit in radians.
PlanTheory PlanTheoryOf(const ObsPlanState& st, int e, const Model& m);

// The criterion of a finished run as the series stores it: the mean dR
// (thousand km) or the mean |dL| in seconds of arc of the accepted steps;
// when every step was rejected (dR ≥ dRmax), the mean over the rejected
// steps, so that such an orbit never looks like the best fit; 0 when no step
// reached the deviations.
double RunCriterion(const ObservationRun& run);

class ObsExperimentSeries {
 public:
  ObsExperimentSeries(Model& m, ObservationSource& src) : m_(m), src_(src) {}

  // Runs experiments max(first, 1) .. min(last, 43) with the settings of
  // "Начать"; the orbit follows the plan only when s.planet is ObsTheory::P.
  // Every experiment covers the same interval from the settings' start date;
  // the steps of every experiment append to the files of "\Dat\".
  // A first number above the last runs nothing. The message of a run that
  // cannot start ends the series.
  ActionResult Start(const ObsSettings& s, ObsPlanState& st, int first, int last);
  // One step of the current run. When the run ends, its criterion goes to
  // Ycrit(ExpCur) and the next experiment starts with the next Step (so that
  // the ended run can still be read); a fault inside a step ends only that
  // experiment's run (its message is returned).
  ActionResult Step();
  // "Остановить": the current run ends after its step and no further
  // experiment starts.
  void RequestStop();
  // "Остановить" between two steps: the current run ends here with the steps
  // made so far, its criterion is stored and the series ends.
  void StopNow();
  // "Продолжить" after a stop: the stopped run goes on from its step (or the
  // next experiment starts) and the series after it; false when nothing is
  // left to run.
  bool Continue();
  // "Сделать 1 шаг" after a stop: as Continue, for one step.
  bool OneStep();
  // The series was stopped (not run to its end).
  bool Stopped() const { return stopped_ && !running_; }

  bool Running() const { return running_; }
  int ExpCur() const { return exp_; }
  // True after the step that ended the run of ExpCur().
  bool ExperimentEnded() const { return ended_ || !running_; }
  const ObservationRun* run() const { return run_.get(); }
  // What the last step left (for painting).
  const ObsStepResult& lastStep() const { return step_; }

 private:
  ActionResult StartExperiment();
  void Finish();

  Model& m_;
  ObservationSource& src_;
  ObsSettings s_;
  ObsPlanState* st_ = nullptr;
  std::unique_ptr<ObservationRun> run_;
  ObsStepResult step_;
  int exp_ = 0, last_ = 0;
  bool running_ = false, stopped_ = false, ended_ = false, oneStep_ = false;
};

}  // namespace torvik
