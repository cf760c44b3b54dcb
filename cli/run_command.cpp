// torvik6-cli run: a run of the modelling screen without its pictures. The
// options are the screen's inputs with the screen's defaults; the files
// written are the screen's. Progress goes to stderr, the summary to stdout.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/run_loop.h"
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
  if (auto r = PrepareModel(m, folder, paramsNo ? static_cast<int>(*paramsNo) : -1, &s)) return PrintUserMessage(*r);
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

  RunProgress progress;
  progress.quiet = HasFlag(args, "--quiet");
  progress.steps = steps;
  progress.nout = nout;
  return DriveRun(m, s, progress);
}

CliCommand reg{"run", "run the model or an imitator as the modelling screen does (files, progress)", RunCommand};

}  // namespace
}  // namespace torvik::cli
