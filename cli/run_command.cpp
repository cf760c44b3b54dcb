// torvik6-cli run: a run of the modelling screen without its pictures. The
// options are the screen's inputs with the screen's defaults; the files
// written are the screen's. Progress goes to stderr, the summary to stdout.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/calendar.h"
#include "core/model.h"
#include "core/paths.h"
#include "model/de405_files.h"
#include "model/imitators.h"
#include "model/run.h"
#include "core/fields.h"
#include "params/loading.h"
#include "params/startup.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "run";

constexpr const char* kHelp =
    "usage: torvik6-cli run [--folder DIR] [--params N] [options]\n"
    "\n"
    "Runs the N-body model (or an imitator) from the start-up data (JPL elements of\n"
    "1.5.1.1601 with their initial data) or from the parameter file \\torvikN.dat, as\n"
    "\"Начать\" of the modelling screen does, until the end year. Defaults are the screen's.\n"
    "  --planet P        watched planet 1..10 (\"Найти показатели планеты №\"), default 1\n"
    "  --no-watch        no orbit determination: the step stays --step\n"
    "  --step S          main step hMain, s (default 3600)\n"
    "  --nred R          step reduction near the extrema and nodes (default 100)\n"
    "  --nout N          steps per batch / screen update (default 1000)\n"
    "  --alfa A          half-width of the windows, degrees (default 1)\n"
    "  --to-year Y       end the run when the year reaches Y + 1 (default 2001; not before the\n"
    "                    start year, -10000..10000); 0: no end year\n"
    "  --steps N         stop after exactly N steps\n"
    "  --vgr X           finite speed of gravity on, Vgr = X * Vsv\n"
    "  --powr P          exponent of the distance in the force law (default 2)\n"
    "  --vsys VX,VY,VZ   velocity of the Solar System, km/s\n"
    "  --backward        time runs backward (\"Назад\")\n"
    "  --oto             variant \"ОТО\" of the model\n"
    "  --imitator KIND   run an imitator instead of the model: new, apc, jpl or mox\n"
    "  --file N          file number (\"в файл №\", default 1)\n"
    "  --plan K          plan number: the orbit file goes to \\PlanK (default 0)\n"
    "  --orbit-file      write the orbit file (\\PlanK\\TxtP\\TorvikPRasBN.txt or the imitator's)\n"
    "  --trace           write the coordinate trace \\XYZ\\torvikPXYZN.txt at every batch\n"
    "  --energy          compute dEsys, dMsys at every batch\n"
    "  --run-date D      run date printed in the headers (default today, DD.MM.YYYY)\n"
    "  --quiet           no progress on stderr\n";

// --vsys VX,VY,VZ: three speeds below the speed of light, km/s.
void VsysOption(const Args& args, double vsys[3]) {
  const auto text = OptionText(args, "--vsys");
  if (!text) return;
  std::size_t from = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t comma = i < 2 ? text->find(',', from) : text->size();
    if (comma == std::string::npos) throw BadOption("--vsys: " + *text + " is not VX,VY,VZ");
    vsys[i] = ArgNumber(text->substr(from, comma - from), "--vsys", -3e5, 3e5);
    from = comma + 1;
  }
}

double Seconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

std::string Duration(double s) {
  char buf[32];
  if (!std::isfinite(s) || s < 0) return "?";
  if (s < 120)
    std::snprintf(buf, sizeof buf, "%.0f s", s);
  else if (s < 7200)
    std::snprintf(buf, sizeof buf, "%.1f min", s / 60);
  else
    std::snprintf(buf, sizeof buf, "%.1f h", s / 3600);
  return buf;
}

int RunCommand(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  const auto folder = FolderOption(args);
  RunSettings s;
  s.folder = folder;
  // Every option is checked before anything is written or computed.
  const auto planet = OptionInt(args, "--planet", 0, 10).value_or(1);
  s.live.hMain = OptionNumber(args, "--step", 1e-3, kMaxRunStep).value_or(s.live.hMain);
  s.live.NRed = OptionNumber(args, "--nred", 1, kMaxStepReduction).value_or(s.live.NRed);
  const auto nout = static_cast<std::int32_t>(OptionInt(args, "--nout", 1, kMaxNOut).value_or(1000));
  s.Alfa = OptionNumber(args, "--alfa", 0, 180).value_or(s.Alfa);
  const auto toYear = OptionInt(args, "--to-year", kMinYear, kMaxYear).value_or(2001);
  s.PowR = OptionNumber(args, "--powr", -10, 10).value_or(s.PowR);
  const auto fileNo = OptionInt(args, "--file", 0, 32767).value_or(1);
  const auto plan = OptionInt(args, "--plan", 0, 32767).value_or(0);
  const auto paramsNo = OptionInt(args, "--params", 0, 32767);
  const long long steps = OptionInt(args, "--steps", 1, 1000000000000LL).value_or(0);
  if (const auto vgr = OptionNumber(args, "--vgr", 1e-6, 1e9)) {
    s.live.finiteSpeed = true;
    s.VgrFactor = *vgr;
  }
  double vsys[3] = {0, 0, 0};
  VsysOption(args, vsys);
  std::unique_ptr<Imitator> imitator;
  if (const auto kind = OptionText(args, "--imitator")) {
    if (*kind == "new") imitator = MakeImitator(ImitatorKind::New);
    else if (*kind == "apc") imitator = MakeImitator(ImitatorKind::Apc);
    else if (*kind == "jpl") imitator = MakeImitator(ImitatorKind::Jpl);
    else if (*kind == "mox") imitator = MakeImitator(ImitatorKind::Mox);
    else throw BadOption("--imitator: " + *kind + " is not new, apc, jpl or mox");
    s.imitatorMode = true;
    s.imitator = imitator.get();
  }
  s.PlanetNo = static_cast<int>(planet);
  s.watch = !HasFlag(args, "--no-watch");
  s.endYearOn = toYear != 0;
  s.endYear = static_cast<int>(toYear);
  s.Dir = HasFlag(args, "--backward") ? -1 : 1;
  s.oto = HasFlag(args, "--oto");
  s.writeOrbit = HasFlag(args, "--orbit-file");
  s.live.writeTrace = HasFlag(args, "--trace");
  s.live.energy = HasFlag(args, "--energy");
  s.live.NFile = static_cast<std::int16_t>(fileNo);
  // A batch never passes the requested step count: the run stops at exactly N.
  s.live.NOut = steps > 0 ? static_cast<std::int32_t>(std::min<long long>(nout, steps)) : nout;
  s.runDate = OptionText(args, "--run-date").value_or("");
  if (!s.endYearOn && steps <= 0) return BadArgs(kName, "--to-year 0 needs --steps N");

  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);
  s.dataSource = LoadOption::Jpl;
  if (paramsNo) {
    LoadInputs in = DateInputs(m.DateY, m.DateM, m.DateD);
    in.fileNumber = std::to_string(*paramsNo);
    if (auto r = Load(m, LoadOption::File, in, folder)) return PrintUserMessage(*r);
    s.dataSource = LoadOption::File;
  }
  // The run ends when the year of the date reaches the end year + 1: an end
  // year before the start year would end it at its first step.
  if (s.endYearOn && s.endYear < m.DateY)
    throw BadOption("--to-year: " + std::to_string(s.endYear) + " is before the start year " +
                    std::to_string(m.DateY));
  // The inputs are good: now the standard folders, as the program creates them
  // at its start, and the DE405 files of the JPL imitator when missing.
  if (!PrepareProgramFolder(kName, folder, imitator && imitator->Kind() == ImitatorKind::Jpl)) return kFailed;
  m.VXsys = vsys[0], m.VYsys = vsys[1], m.VZsys = vsys[2];
  m.PlanNo = static_cast<std::int16_t>(plan);

  ModelRun run(m);
  if (auto r = run.Start(s)) return PrintUserMessage(*r);

  const bool quiet = HasFlag(args, "--quiet");
  const bool tty = isatty(STDERR_FILENO);
  const double jdEnd = s.endYearOn ? DateToJD(s.endYear + 1, 1, 1.0f) : 0.0;
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
      else run.live.NOut = static_cast<std::int32_t>(std::min<long long>(nout, left));
    }
    BatchResult r = run.Batch();
    if (r.message) failure = r.message;
    const double wall = Seconds(t0);
    // On a terminal the line is rewritten in place; into a file or a pipe one
    // line per update, at most one a second.
    if (!quiet && (wall - lastShown >= (tty ? 0.5 : 1.0) || !run.Running())) {
      lastShown = wall;
      const double years = run.tMod() / m.sekG;
      const double rate = run.totalSteps() / std::max(wall, 1e-9);
      double left = NAN;
      if (s.endYearOn && m.JD > m.JDstart) left = wall * (jdEnd - m.JD) / (m.JD - m.JDstart);
      if (!run.Running()) left = 0;
      if (steps > 0) left = wall * (steps - run.totalSteps()) / std::max<double>(run.totalSteps(), 1);
      std::fprintf(stderr, "%s%.2f model years, year %d, %.0f steps/s, left %s%s", tty ? "\r" : "", years,
                   run.currentYear(), rate, Duration(left).c_str(), tty ? "    " : "\n");
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

CliCommand reg{"run", "run the model or an imitator as the modelling screen does (files, progress)", RunCommand};

}  // namespace
}  // namespace torvik::cli
