// torvik6-cli run: a run of the modelling screen without its pictures. The
// options are the screen's inputs with the screen's defaults; the files
// written are the screen's. Progress goes to stderr, the summary to stdout.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
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

struct Options {
  std::filesystem::path folder;
  RunSettings s;
  int planet = 1;
  std::int32_t nout = 1000;
  int toYear = 2001;
  std::int16_t fileNo = 1;
  std::int16_t plan = 0;
  std::optional<int> paramsNo;
  long long steps = 0;
  double vsys[3] = {0, 0, 0};
  std::string imitator;
  bool noWatch = false, backward = false, quiet = false;
};

// --vsys VX,VY,VZ: three speeds below the speed of light, km/s.
void VsysOption(const std::string& text, double vsys[3]) {
  const auto parts = SplitText(text, ',');
  if (parts.size() != 3) throw BadOption("--vsys: " + text + " is not VX,VY,VZ");
  for (int i = 0; i < 3; ++i) vsys[i] = ArgNumber(parts[static_cast<std::size_t>(i)], "--vsys", -3e5, 3e5);
}

int RunCommand(Options& o) {
  const auto& folder = o.folder;
  RunSettings& s = o.s;
  s.folder = folder;
  const int planet = o.planet;
  const std::int32_t nout = o.nout;
  const int toYear = o.toYear;
  const long long steps = o.steps;
  const auto& paramsNo = o.paramsNo;
  const double* vsys = o.vsys;
  std::unique_ptr<Imitator> imitator;
  if (!o.imitator.empty()) {
    imitator = MakeImitator(o.imitator == "new"   ? ImitatorKind::New
                            : o.imitator == "apc" ? ImitatorKind::Apc
                            : o.imitator == "jpl" ? ImitatorKind::Jpl
                                                  : ImitatorKind::Mox);
    s.imitatorMode = true;
    s.imitator = imitator.get();
  }
  s.PlanetNo = planet;
  s.watch = !o.noWatch;
  s.endYearOn = toYear != 0;
  s.endYear = toYear;
  s.Dir = o.backward ? -1 : 1;
  s.live.NFile = o.fileNo;
  // A batch never passes the requested step count: the run stops at exactly N.
  s.live.NOut = steps > 0 ? static_cast<std::int32_t>(std::min<long long>(nout, steps)) : nout;
  if (!s.endYearOn && steps <= 0) return BadArgs(kName, "--to-year 0 needs --steps N");

  Model m;
  if (auto r = PrepareModel(m, folder, paramsNo.value_or(-1), &s)) return PrintUserMessage(*r);
  // The run ends when the year of the date reaches the end year + 1: an end
  // year before the start year would end it at its first step.
  if (s.endYearOn && s.endYear < m.DateY)
    throw BadOption("--to-year: " + std::to_string(s.endYear) + " is before the start year " +
                    std::to_string(m.DateY));
  // The inputs are good: now the standard folders, as the program creates them
  // at its start, and the DE405 files of the JPL imitator when missing.
  if (!PrepareProgramFolder(kName, folder, imitator && imitator->Kind() == ImitatorKind::Jpl)) return kFailed;
  m.VXsys = vsys[0], m.VYsys = vsys[1], m.VZsys = vsys[2];
  m.PlanNo = o.plan;

  RunProgress progress;
  progress.quiet = o.quiet;
  progress.steps = steps;
  progress.nout = nout;
  return DriveRun(m, s, progress);
}

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  RunSettings& s = o->s;
  app.description(
      "Runs the N-body model (or an imitator) from the start-up data (JPL elements of\n"
      "1.5.1.1601 with their initial data) or from the parameter file \\torvikN.dat, as\n"
      "\"Начать\" of the modelling screen does, until the end year. Defaults are the screen's.");
  AddFolderOption(app, o->folder);
  AddOptional(app, "--params", o->paramsNo, "start from the parameter file \\torvikN.dat")
      ->type_name("N")->transform(Whole(0, 32767));
  app.add_option("--planet", o->planet, "watched planet (\"Найти показатели планеты №\")")
      ->type_name("P")->transform(Whole(0, 10))->capture_default_str();
  app.add_flag("--no-watch", o->noWatch, "no orbit determination: the step stays --step");
  app.add_option("--step", s.live.hMain, "main step hMain, s")
      ->type_name("S")->transform(Number(1e-3, kMaxRunStep))->capture_default_str();
  app.add_option("--nred", s.live.NRed, "step reduction near the extrema and nodes")
      ->type_name("R")->transform(Number(1, kMaxStepReduction))->capture_default_str();
  app.add_option("--nout", o->nout, "steps per batch / screen update")
      ->type_name("N")->transform(Whole(1, kMaxNOut))->capture_default_str();
  app.add_option("--alfa", s.Alfa, "half-width of the windows, degrees")
      ->type_name("A")->transform(Number(0, 180))->capture_default_str();
  app.add_option("--to-year", o->toYear,
                 "end the run when the year reaches Y + 1 (not before the start year); 0: no end year")
      ->type_name("Y")->transform(Whole(kMinYear, kMaxYear))->capture_default_str();
  app.add_option("--steps", o->steps, "stop after exactly N steps")
      ->type_name("N")->transform(Whole(1, 1000000000000LL));
  app.add_option_function<double>("--vgr",
                                  [o](double v) {
                                    o->s.live.finiteSpeed = true;
                                    o->s.VgrFactor = v;
                                  },
                                  "finite speed of gravity on, Vgr = X * Vsv")
      ->type_name("X")->transform(Number(1e-6, 1e9));
  app.add_option("--powr", s.PowR, "exponent of the distance in the force law")
      ->type_name("P")->transform(Number(-10, 10))->capture_default_str();
  app.add_option_function<std::string>("--vsys", [o](const std::string& t) { VsysOption(t, o->vsys); },
                                       "velocity of the Solar System, km/s")
      ->type_name("VX,VY,VZ");
  app.add_flag("--backward", o->backward, "time runs backward (\"Назад\")");
  app.add_flag("--oto", s.oto, "variant \"ОТО\" of the model");
  app.add_option("--imitator", o->imitator, "run an imitator instead of the model")
      ->type_name("KIND")->check(OneOf({"new", "apc", "jpl", "mox"}));
  app.add_option("--file", o->fileNo, "file number (\"в файл №\")")
      ->type_name("N")->transform(Whole(0, 32767))->capture_default_str();
  app.add_option("--plan", o->plan, "plan number: the orbit file goes to \\PlanK")
      ->type_name("K")->transform(Whole(0, 32767))->capture_default_str();
  app.add_flag("--orbit-file", s.writeOrbit,
               "write the orbit file (\\PlanK\\TxtP\\TorvikPRasBN.txt or the imitator's)");
  app.add_flag("--trace", s.live.writeTrace, "write the coordinate trace \\XYZ\\torvikPXYZN.txt at every batch");
  app.add_flag("--energy", s.live.energy, "compute dEsys, dMsys at every batch");
  app.add_option("--run-date", s.runDate, "run date printed in the headers (default today, DD.MM.YYYY)")
      ->type_name("D");
  app.add_flag("--quiet", o->quiet, "no progress on stderr");
  return [o] { return RunCommand(*o); };
}

CliCommand reg{"run", "run the model or an imitator as the modelling screen does (files, progress)", Declare};

}  // namespace
}  // namespace torvik::cli
