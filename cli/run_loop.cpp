#include "cli/run_loop.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/calendar.h"
#include "model/run_view.h"
#include "params/loading.h"
#include "params/startup.h"

namespace torvik::cli {

double Seconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

ActionResult PrepareModel(Model& m, const std::filesystem::path& folder, int paramsNo, RunSettings* s) {
  if (auto r = StartUp(m)) return r;
  s->dataSource = LoadOption::Jpl;
  if (paramsNo >= 0) {
    LoadInputs in = DateInputs(m.DateY, m.DateM, m.DateD);
    in.fileNumber = std::to_string(paramsNo);
    if (auto r = Load(m, LoadOption::File, in, folder)) return r;
    s->dataSource = LoadOption::File;
  }
  return std::nullopt;
}

int DriveRun(Model& m, const RunSettings& s, const RunProgress& p) {
  ModelRun run(m);
  if (auto r = run.Start(s)) return PrintUserMessage(*r);

  const bool quiet = p.quiet;
  const long long steps = p.steps;
  const bool tty = isatty(STDERR_FILENO);
  const auto t0 = std::chrono::steady_clock::now();
  double lastShown = 0;
  ActionResult failure;
  while (run.Running()) {
    if (steps > 0) {
      // A stop request ends the run at the end of the batch it is set before;
      // the batch after this one (its size taken at the update) is cut to
      // what is left.
      const long long left = steps - run.totalSteps() - run.active().NOut;
      if (left <= 0) m.Stop = 1;
      else run.live.NOut = static_cast<std::int32_t>(std::min<long long>(p.nout, left));
    }
    BatchResult r = run.Batch();
    if (r.message) failure = r.message;
    const double wall = Seconds(t0);
    // On a terminal the line is rewritten in place; into a file or a pipe one
    // line per update, at most one a second.
    if (!quiet && (wall - lastShown >= (p.interval > 0 ? p.interval : tty ? 0.5 : 1.0) || !run.Running())) {
      lastShown = wall;
      const torvik::RunProgress q = ProgressOf(run, m, wall);
      double left = q.secondsLeft;
      if (steps > 0) left = wall * (steps - run.totalSteps()) / std::max<double>(run.totalSteps(), 1);
      std::fprintf(stderr, "%s%s%.2f model years, year %d, %.0f steps/s, left %s%s", tty ? "\r" : "", p.label.c_str(),
                   q.years, run.currentYear(), q.stepsPerSecond, DurationText(left).c_str(), tty ? "    " : "\n");
      std::fflush(stderr);
    }
  }
  if (!quiet && tty) std::fprintf(stderr, "\n");
  const double wall = Seconds(t0);

  run.RefreshEnergy();
  // No summary of a run that has gone to infinity or NaN.
  if (!run.SummaryFinite()) return PrintUserMessage(failure ? *failure : UserMessage{kMsgSolveError, kTitle});
  const CalendarDate d = JDToDate(m.JD);
  const char* why = run.end() == RunEnd::EndYear   ? "end year reached"
                    : run.end() == RunEnd::Stopped ? "stopped after the requested steps"
                                                   : "error";
  std::printf("run %s: %s\n", run.modeLabel().c_str(), why);
  std::printf("steps %lld, model years %.4f, date %02d.%02d.%04d (JD %.5f)\n",
              static_cast<long long>(run.totalSteps()), run.tMod() / m.sekG, static_cast<int>(d.day), d.month,
              d.year, m.JD);
  if (s.watch)
    std::printf("revolutions %d, AlfaP %.6f, AlfaU %.6f, Betta %.6f, Eks %.6f, Rsr %.0f km, Period %.6f d\n",
                run.watch().NRev, run.watch().AlfaP, run.watch().AlfaU, run.watch().Betta * m.kUgol,
                run.watch().Eks, run.watch().Rsr / 1000, run.watch().Period);
  if (s.writeOrbit)
    std::printf("orbit records %lld in %s\n", static_cast<long long>(run.recordsWritten()),
                run.orbitFile().string().c_str());
  if (s.live.writeTrace) std::printf("trace %s\n", run.traceFile().string().c_str());
  if (!s.imitatorMode) std::printf("dEsys %.6f %%, dMsys %.6f %%\n", run.dEsysPercent(), run.dMsysPercent());
  std::printf("wall time %.2f s, %.0f steps/s\n", wall, run.totalSteps() / std::max(wall, 1e-9));
  if (failure) return PrintUserMessage(*failure);
  return kOk;
}


}  // namespace torvik::cli
