// The part of `torvik6-cli run` that other commands reuse: the model prepared
// as the program starts, and a run driven to its end with progress on stderr
// and the summary on stdout.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "core/message.h"
#include "core/model.h"
#include "model/run.h"

namespace torvik::cli {

// Seconds since t0 (durations print with DurationText of model/run_view.h).
double Seconds(std::chrono::steady_clock::time_point t0);

// The start-up data (JPL elements of 1.5.1.1601 with their initial data), or
// the parameter file \torvikN.dat when paramsNo ≥ 0; sets s->dataSource.
ActionResult PrepareModel(Model& m, const std::filesystem::path& folder, int paramsNo, RunSettings* s);

struct RunProgress {
  bool quiet = false;      // no progress lines
  std::string label;       // put before every progress line ("experiment 3: ")
  double interval = 0.0;   // seconds between progress lines; 0: 0.5 on a terminal, else 1
  long long steps = 0;     // stop after exactly this many steps; 0: no limit
  std::int32_t nout = 1000;  // steps per batch (the last batch is cut to what is left)
};

// Starts the run and drives it to its end. Returns the exit status: 0 when it
// ran to its end, 1 with the message on stderr when it could not start or
// ended on an error.
int DriveRun(Model& m, const RunSettings& s, const RunProgress& p);

}  // namespace torvik::cli
