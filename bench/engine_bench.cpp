// Steps per second of the N-body engine (11 bodies, RK4, h = 3600 s) in the
// literal angle form and in the engine's vector form without and with the
// delay correction (processor time), and the time of a whole 100-year run
// from the start-up data with Mercury watched and its orbit file written,
// against the bare stepping of as many steps.
//
//   engine_bench [--steps N] [--years Y] [--folder DIR]
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/model.h"
#include "core/paths.h"
#include "model/engine.h"
#include "model/run.h"
#include "params/startup.h"
#include "tests/model/literal_engine.h"
#include "tests/model/synthetic.h"

using namespace torvik;
using Clock = std::chrono::steady_clock;

// Processor time of this process, s: steadier than the wall clock on a
// machine shared with other work.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

namespace {

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

// Keeps the optimiser from dropping the work.
volatile double g_sink = 0;

double BenchLiteral(long steps) {
  Model m;
  testing::FillSyntheticSystem(m);
  Engine e(m);
  e.InitRunState(+1);
  StateVector s = e.StateVec;
  literal::LiteralEngine lit;
  double c0 = CpuSeconds();
  for (long n = 0; n < steps; ++n) lit.StepRK4(m, s, 3600.0, m.Vsv, false, 2.0);
  double t = CpuSeconds() - c0;
  g_sink = s[1];
  return steps / t;
}

double BenchEngine(long steps, bool delay, int NIterVgr) {
  Model m;
  testing::FillSyntheticSystem(m);
  m.NIterVgr = static_cast<std::int16_t>(NIterVgr);
  m.VXsys = 30.0;
  Engine e(m);
  e.params.finiteSpeed = delay;
  e.InitRunState(+1);
  double c0 = CpuSeconds();
  for (long n = 0; n < steps; ++n) e.StepRK4(3600.0);
  double t = CpuSeconds() - c0;
  g_sink = e.StateVec[1];
  return steps / t;
}

}  // namespace

int main(int argc, char** argv) {
  long steps = 200000;
  int years = 100;
  std::filesystem::path folder = std::filesystem::temp_directory_path() / "torvik6_bench";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--steps")) steps = std::atol(argv[i + 1]);
    if (!std::strcmp(argv[i], "--years")) years = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--folder")) folder = argv[i + 1];
  }

  double lit = BenchLiteral(steps / 10);
  double plain = BenchEngine(steps, false, 0);
  double d0 = BenchEngine(steps, true, 0);
  double d2 = BenchEngine(steps, true, 2);
  std::printf("literal angle form          %10.0f steps/s\n", lit);
  std::printf("engine, no delay            %10.0f steps/s  (%.1fx literal)\n", plain, plain / lit);
  std::printf("engine, delay NIterVgr = 0  %10.0f steps/s\n", d0);
  std::printf("engine, delay NIterVgr = 2  %10.0f steps/s\n", d2);
  std::fflush(stdout);

  // A whole run from the start-up data (JPL elements of 1.5.1.1601): Mercury
  // watched, windows of ±1° at hMain/100, orbit file written.
  EnsureProgramFolder(folder);
  Model m;
  if (auto msg = StartUp(m)) {
    std::printf("start-up failed: %s\n", msg->text.c_str());
    return 1;
  }
  ModelRun run(m);
  RunSettings s;
  s.folder = folder;
  s.PlanetNo = 1;
  s.endYear = m.DateY + years - 1;
  s.writeOrbit = true;
  s.runDate = "01.01.2000";
  if (auto msg = run.Start(s)) {
    std::printf("run did not start: %s\n", msg->text.c_str());
    return 1;
  }
  auto t0 = Clock::now();
  double c0 = CpuSeconds();
  while (run.Running()) {
    BatchResult r = run.Batch();
    if (r.message) {
      std::printf("run failed: %s\n", r.message->text.c_str());
      return 1;
    }
  }
  double wall = Seconds(t0), cpu = CpuSeconds() - c0;

  // The bare engine on the same state for the same number of steps.
  Model bare;
  StartUp(bare);
  Engine e(bare);
  e.InitRunState(+1);
  c0 = CpuSeconds();
  for (std::int64_t n = 0; n < run.totalSteps(); ++n) e.StepRK4(3600.0);
  double bareCpu = CpuSeconds() - c0;
  g_sink = e.StateVec[1];
  std::printf("%d-year Mercury run: %lld steps, %lld records; %.2f s processor (%.2f s wall), "
              "bare stepping %.2f s processor: ratio %.2f\n",
              years, static_cast<long long>(run.totalSteps()), static_cast<long long>(run.recordsWritten()),
              cpu, wall, bareCpu, cpu / bareCpu);
  return 0;
}
