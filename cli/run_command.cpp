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
    "  --to-year Y       end the run when the year reaches Y + 1 (default 2001); 0: no end year\n"
    "  --steps N         stop after N steps (rounded up to whole batches)\n"
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

bool Number(const Args& args, const char* name, double* v, std::string* err) {
  std::string text;
  if (!FindOption(args, name, &text)) return true;
  auto x = ParseFieldNumber(text);
  if (!x) {
    *err = std::string(name) + " wants a number";
    return false;
  }
  *v = *x;
  return true;
}

bool Integer(const Args& args, const char* name, std::int32_t* v, std::string* err) {
  std::string text;
  if (!FindOption(args, name, &text)) return true;
  auto x = ParseFieldInt32(text);
  if (!x) {
    *err = std::string(name) + " wants an integer";
    return false;
  }
  *v = *x;
  return true;
}

int RunCommand(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  const auto folder = FolderOption(args);
  RunSettings s;
  s.folder = folder;
  std::string err;
  std::int32_t planet = 1, nout = 1000, toYear = 2001, fileNo = 1, plan = 0, paramsNo = -1;
  double steps = 0;
  if (!Integer(args, "--planet", &planet, &err) || !Number(args, "--step", &s.live.hMain, &err) ||
      !Number(args, "--nred", &s.live.NRed, &err) || !Integer(args, "--nout", &nout, &err) ||
      !Number(args, "--alfa", &s.Alfa, &err) || !Integer(args, "--to-year", &toYear, &err) ||
      !Number(args, "--powr", &s.PowR, &err) || !Integer(args, "--file", &fileNo, &err) ||
      !Integer(args, "--plan", &plan, &err) || !Integer(args, "--params", &paramsNo, &err) ||
      !Number(args, "--steps", &steps, &err))
    return BadArgs(kName, err);
  std::string text;
  if (FindOption(args, "--vgr", &text)) {
    auto x = ParseFieldNumber(text);
    if (!x) return BadArgs(kName, "--vgr wants a number");
    s.live.finiteSpeed = true;
    s.VgrFactor = *x;
  }
  double vsys[3] = {0, 0, 0};
  if (FindOption(args, "--vsys", &text)) {
    std::size_t a = text.find(','), b = a == std::string::npos ? a : text.find(',', a + 1);
    if (b == std::string::npos) return BadArgs(kName, "--vsys wants VX,VY,VZ");
    auto x = ParseFieldNumber(text.substr(0, a)), y = ParseFieldNumber(text.substr(a + 1, b - a - 1)),
         z = ParseFieldNumber(text.substr(b + 1));
    if (!x || !y || !z) return BadArgs(kName, "--vsys wants VX,VY,VZ");
    vsys[0] = *x, vsys[1] = *y, vsys[2] = *z;
  }
  if (nout < 1 || fileNo < 0 || fileNo > 32767 || plan < 0 || plan > 32767 || steps < 0)
    return BadArgs(kName, "--nout, --file, --plan and --steps must be positive");

  std::unique_ptr<Imitator> imitator;
  if (FindOption(args, "--imitator", &text)) {
    ImitatorKind kind;
    if (text == "new") kind = ImitatorKind::New;
    else if (text == "apc") kind = ImitatorKind::Apc;
    else if (text == "jpl") kind = ImitatorKind::Jpl;
    else if (text == "mox") kind = ImitatorKind::Mox;
    else return BadArgs(kName, "--imitator wants new, apc, jpl or mox");
    imitator = MakeImitator(kind);
    s.imitatorMode = true;
    s.imitator = imitator.get();
  }
  s.PlanetNo = planet;
  s.watch = !HasFlag(args, "--no-watch");
  s.live.NOut = nout;
  s.endYearOn = toYear != 0;
  s.endYear = toYear;
  s.Dir = HasFlag(args, "--backward") ? -1 : 1;
  s.oto = HasFlag(args, "--oto");
  s.writeOrbit = HasFlag(args, "--orbit-file");
  s.live.writeTrace = HasFlag(args, "--trace");
  s.live.energy = HasFlag(args, "--energy");
  s.live.NFile = static_cast<std::int16_t>(fileNo);
  FindOption(args, "--run-date", &s.runDate);
  if (!s.endYearOn && steps <= 0) return BadArgs(kName, "--to-year 0 needs --steps N");

  // The program creates its standard folders at start; so does this command.
  EnsureProgramFolder(folder);
  // ... and, for the JPL imitator, its DE405 files.
  if (imitator && imitator->Kind() == ImitatorKind::Jpl && !EnsureDe405Files(folder))
    std::fprintf(stderr, "torvik6-cli run: cannot write the DE405 files into %s/JPL\n", folder.string().c_str());
  Model m;
  if (auto r = PrepareModel(m, folder, paramsNo, &s)) return PrintUserMessage(*r);
  m.VXsys = vsys[0], m.VYsys = vsys[1], m.VZsys = vsys[2];
  m.PlanNo = static_cast<std::int16_t>(plan);

  RunProgress progress;
  progress.quiet = HasFlag(args, "--quiet");
  progress.steps = steps;
  return DriveRun(m, s, progress);
}

CliCommand reg{"run", "run the model or an imitator as the modelling screen does (files, progress)", RunCommand};

}  // namespace
}  // namespace torvik::cli
