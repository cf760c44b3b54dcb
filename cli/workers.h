// The experiments of a plan side by side: each experiment is a worker process
// of this program (/proc/self/exe with the arguments of one experiment), at
// most `jobs` at a time. The workers' stderr lines (their progress) are shown
// as they come; the end of each experiment is announced with its time and the
// time left for the plan. A failed experiment does not stop the others.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace torvik::cli {

struct WorkerResult {
  int j = 0;
  std::string failure;  // empty when the worker ended with status 0
  std::string out;      // its stdout, when kept
  double seconds = 0;   // wall time of the experiment
};

struct WorkerPlan {
  std::string label;  // "plan run": names a failed poll
  int from = 1, to = 1, jobs = 1;
  // The arguments of experiment j after the program name.
  std::function<std::vector<std::string>(int j)> argv;
  bool keepStdout = false;  // else the workers' stdout is discarded
  bool quiet = false;       // neither the workers' stderr nor the end lines
};

// Runs experiments from..to; the results in the order of j. False only when
// the pool itself failed (its message is on stderr); a worker that could not
// start is a failed experiment.
bool RunWorkers(const WorkerPlan& plan, std::vector<WorkerResult>* results, double* wallSeconds);

// The number of cores, at least 1: the default number of workers.
int CoreCount();

}  // namespace torvik::cli
