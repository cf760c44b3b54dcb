// torvik6-cli plan: the four-factor plan of the optimization screen without
// the screen. `plan params` shows and saves the plan's levels, `plan run` runs
// its experiments (side by side in worker processes, or one of them for a
// batch scheduler), `plan fit` computes the criterion, the regression and the
// optimum and writes the report.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/run_loop.h"
#include "cli/workers.h"
#include "model/run_view.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "model/run_files.h"
#include "plan/drift_source.h"
#include "plan/optimize.h"
#include "plan/plan.h"
#include "plan/planfile.h"
#include "plan/regression.h"

namespace torvik::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "plan";

constexpr const char* kHelp =
    "usage: torvik6-cli plan params|run|fit --plan K [options]\n"
    "\n"
    "The four-factor plan B4D of 24 experiments: X1..X3 = VXsys, VYsys, VZsys (km/s),\n"
    "X4 = Vgr/Vsv, each at Xzero + x*Xstep with x = -1, 0, +1. The levels come from\n"
    "\\PlanK\\TorvikPlan.dat (the screen's defaults 100,200,300,1 +/- 10,20,30,40 when it is\n"
    "missing) and may be overridden:\n"
    "  --zero A,B,C,D      zero levels Xzero\n"
    "  --step A,B,C,D      intervals Xstep\n"
    "  --folder DIR        program folder (default ~/Torvik6)\n"
    "\n"
    "plan params --plan K [--save]\n"
    "  prints the levels and the natural values of the 24 experiments; --save writes\n"
    "  \\PlanK\\TorvikPlan.dat (\"Сохранить параметры плана\").\n"
    "\n"
    "plan run --plan K --planet P [--from I --to J] [--jobs N] [--to-year Y] [--params N]\n"
    "  runs experiments I..J (default 1..24) as the optimization screen's series does:\n"
    "  a model run per experiment with VXsys, VYsys, VZsys and Vgr = X4*Vsv of the\n"
    "  experiment, planet P watched, until the end year Y (default 2001), each writing\n"
    "  \\PlanK\\TxtP\\TorvikPRasBj.txt. N worker processes (default: the number of cores)\n"
    "  run side by side; stderr shows their progress, stdout the summary. A failed\n"
    "  experiment does not stop the others; the exit status is 1 when any failed.\n"
    "  --params N          start from \\torvikN.dat instead of the start-up data\n"
    "  --run-date D        run date of the file headers (default today, DD.MM.YYYY)\n"
    "plan run --plan K --planet P --experiment J [...]\n"
    "  runs experiment J alone in this process (one task of a batch scheduler).\n"
    "\n"
    "plan fit --plan K --planet P [--elements LIST] [--imitator F] [--form Y|dY|dY^2]\n"
    "plan fit --plan K --test NAME [--form Y|dY|dY^2]\n"
    "  the criterion of the 24 experiments, the regression, and the optimum, with the\n"
    "  report \\PlanK\\TorvikSLU.dat (\"Найти коэффициенты уравнения регрессии при\",\n"
    "  \"Оптимизировать параметры\"). The criterion of the model runs compares the plan\n"
    "  drift file \\PlanK\\TorvikPRasB.dat of each planet with the observed drifts\n"
    "  \\F\\TorvikNab.dat, weighted by the plan file's weights:\n"
    "  --planet P[,P2...]  planets 1..10 (default 1)\n"
    "  --elements LIST     elements 1..6 as the statistics numbers them (default 1,\n"
    "                      the perihelion)\n"
    "  --imitator F        NEW, APC, JPL, Mox or Other (default JPL)\n"
    "  A test function of the natural values instead:\n"
    "  --test NAME         u, x1+x1^2, sum, product, ratio, pairs, x1^2*x2^2, squares,\n"
    "                      full, sum+x4\n"
    "  --form              criterion form (default dY; not applied to u)\n"
    "  --adopt-to K2       save plan K2 centred on the optimum (\"задать X0(i) = X(i)opt\")\n";

// "A,B,C,D" into index 1..4.
bool FourNumbers(const Args& args, const char* name, std::array<double, 5>* v) {
  const auto text = OptionText(args, name);
  if (!text) return false;
  std::size_t pos = 0;
  for (int i = 1; i <= 4; ++i) {
    const std::size_t comma = text->find(',', pos);
    if ((i < 4) != (comma != std::string::npos)) throw BadOption(std::string(name) + ": wants four numbers A,B,C,D");
    (*v)[i] = ArgNumber(text->substr(pos, comma - pos), name, -1e9, 1e9);
    pos = comma + 1;
  }
  return true;
}

// The plan's parameters: its file when present, else the defaults; then the
// overrides of --zero and --step. False (with the message shown) when the file
// exists but cannot be read.
bool LoadPlan(const Args& args, const fs::path& folder, int plan, PlanParams* p) {
  p->PlanNo = static_cast<std::int16_t>(plan);
  const fs::path file = ResolvePath(folder, PlanFileRelPath(plan));
  const bool levelsGiven = OptionText(args, "--zero") && OptionText(args, "--step");
  if (levelsGiven) {
    // Both levels given: the file is not needed.
  } else if (fs::exists(file)) {
    if (auto r = ReadPlanFile(plan, folder, p)) {
      PrintUserMessage(*r);
      return false;
    }
  } else {
    std::fprintf(stderr, "torvik6-cli plan: no %s, the default levels\n", PlanFileRelPath(plan).c_str());
  }
  p->PlanNo = static_cast<std::int16_t>(plan);
  FourNumbers(args, "--zero", &p->levels.Xzero);
  FourNumbers(args, "--step", &p->levels.Xstep);
  return true;
}

std::string TodayText() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return RunDateText(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

// ---- plan params ----

int ParamsCommand(const Args& args, const fs::path& folder, int plan) {
  PlanParams p;
  if (!LoadPlan(args, folder, plan, &p)) return kFailed;
  for (const auto& line : PlanParamsText(p)) std::printf("%s\n", line.c_str());
  PlanTables t;
  FillB4D(t);
  std::printf("\nexperiment    x1  x2  x3  x4      VX, км/с      VY, км/с      VZ, км/с   Vgr, Vsv\n");
  for (int j = 1; j <= kB4DExperiments; ++j) {
    NaturalValues(t, p.levels, j);
    std::printf("%10d  %+3.0f %+3.0f %+3.0f %+3.0f  %12s  %12s  %12s  %9s\n", j, t.PlanX[1][j], t.PlanX[2][j],
                t.PlanX[3][j], t.PlanX[4][j], NumberText(t.PlanU[j][1]).c_str(), NumberText(t.PlanU[j][2]).c_str(),
                NumberText(t.PlanU[j][3]).c_str(), NumberText(t.PlanU[j][4]).c_str());
  }
  if (HasFlag(args, "--save")) {
    std::error_code ec;
    fs::create_directories(ResolvePath(folder, "\\Plan" + std::to_string(plan)), ec);
    if (auto r = WritePlanFile(p, folder)) return PrintUserMessage(*r);
    std::printf("\nsaved %s\n", PlanFileRelPath(plan).c_str());
  }
  return kOk;
}

// ---- plan run ----

struct RunOptions {
  fs::path folder;
  PlanLevels levels;  // handed to the workers in full precision
  int plan = 0, planet = 1, toYear = 2001, paramsNo = -1;
  std::string runDate;
};

// One experiment in this process, as the screen's series runs it.
int RunExperiment(const RunOptions& o, const PlanParams& p, int j) {
  Model m;
  RunSettings s;
  s.folder = o.folder;
  if (auto r = PrepareModel(m, o.folder, o.paramsNo, &s)) return PrintUserMessage(*r);
  PlanTables t;
  FillB4D(t);
  ExperimentView view;
  if (auto r = ShowExperiment(m, t, p.levels, j, &view)) return PrintUserMessage(*r);
  s.endYear = o.toYear;
  s.runDate = o.runDate;
  ExperimentRunSettings(s, t, o.planet, j);
  m.PlanNo = static_cast<std::int16_t>(o.plan);
  RunProgress progress;
  progress.label = "experiment " + std::to_string(j) + ": ";
  if (!isatty(STDERR_FILENO)) progress.interval = 5.0;
  return DriveRun(m, s, progress);
}

int RunPlan(const RunOptions& o, int from, int to, int jobs) {
  WorkerPlan wp;
  wp.label = "plan run";
  wp.from = from, wp.to = to, wp.jobs = jobs;
  // Each worker is `torvik6-cli plan run ... --experiment j` with the levels
  // in full precision.
  wp.argv = [&o](int j) {
    std::vector<std::string> argv = {"plan", "run", "--folder", o.folder.string(),
                                     "--plan", std::to_string(o.plan), "--planet", std::to_string(o.planet),
                                     "--experiment", std::to_string(j), "--to-year", std::to_string(o.toYear),
                                     "--run-date", o.runDate};
    std::string zero, step;
    for (int i = 1; i <= kFactors; ++i) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%s%.17g", i > 1 ? "," : "", o.levels.Xzero[i]);
      zero += buf;
      std::snprintf(buf, sizeof buf, "%s%.17g", i > 1 ? "," : "", o.levels.Xstep[i]);
      step += buf;
    }
    argv.insert(argv.end(), {"--zero", zero, "--step", step});
    if (o.paramsNo >= 0) argv.insert(argv.end(), {"--params", std::to_string(o.paramsNo)});
    return argv;
  };
  std::vector<WorkerResult> results;
  double wall = 0;
  if (!RunWorkers(wp, &results, &wall)) return kFailed;
  double busy = 0;  // sum of the experiments' wall times, s
  std::size_t failed = 0;
  for (const auto& r : results) busy += r.seconds, failed += !r.failure.empty();
  const int total = to - from + 1;
  std::printf("plan %d, planet %d, experiments %d..%d, %d worker process%s: %d done, %zu failed\n", o.plan,
              o.planet, from, to, jobs, jobs == 1 ? "" : "es", total - static_cast<int>(failed), failed);
  for (const auto& r : results) {
    if (r.failure.empty()) continue;
    std::printf("  experiment %d failed: %s\n", r.j, r.failure.c_str());
    // The orbit file of a failed or killed run ends early: not a result.
    const fs::path orbit = ResolvePath(o.folder, ModelOrbitPath(o.plan, o.planet, r.j));
    std::error_code ec;
    if (fs::exists(orbit, ec)) std::printf("  orbit file %s is incomplete\n", orbit.string().c_str());
  }
  std::printf("orbit files %s\n", ResolvePath(o.folder, "\\Plan" + std::to_string(o.plan) + "\\Txt" +
                                                          std::to_string(o.planet)).string().c_str());
  std::printf("wall time %.2f s, sum of the experiments %.2f s\n", wall, busy);
  return failed == 0 ? kOk : kFailed;
}

int RunCommand(const Args& args, const fs::path& folder, int plan) {
  RunOptions o;
  o.folder = folder;
  o.plan = plan;
  o.planet = static_cast<int>(OptionInt(args, "--planet", 1, 10).value_or(1));
  o.toYear = static_cast<int>(OptionInt(args, "--to-year", -4000, 100000).value_or(2001));
  o.paramsNo = static_cast<int>(OptionInt(args, "--params", 0, 32767).value_or(-1));
  o.runDate = OptionText(args, "--run-date").value_or(TodayText());
  const auto experiment = OptionInt(args, "--experiment", 1, kB4DExperiments);
  const int from = static_cast<int>(OptionInt(args, "--from", 1, kB4DExperiments).value_or(1));
  const int to = static_cast<int>(OptionInt(args, "--to", 1, kB4DExperiments).value_or(kB4DExperiments));
  const int jobs = static_cast<int>(OptionInt(args, "--jobs", 1, 1024).value_or(CoreCount()));
  if (from > to) return BadArgs(kName, "--from must not exceed --to");

  PlanParams p;
  if (!LoadPlan(args, folder, plan, &p)) return kFailed;
  o.levels = p.levels;
  // The program's standard folders, and the plan's orbit folder, which only
  // exists beforehand for the plans 0..3.
  EnsureProgramFolder(folder);
  std::error_code ec;
  fs::create_directories(ResolvePath(folder, "\\Plan" + std::to_string(plan) + "\\Txt" + std::to_string(o.planet)),
                         ec);
  if (experiment) return RunExperiment(o, p, static_cast<int>(*experiment));
  return RunPlan(o, from, to, jobs);
}

// ---- plan fit ----

CriterionForm FormOption(const Args& args) {
  const auto text = OptionText(args, "--form").value_or("dY");
  if (text == "Y") return CriterionForm::Y;
  if (text == "dY") return CriterionForm::dY;
  if (text == "dY^2") return CriterionForm::dY2;
  throw BadOption("--form: wants Y, dY or dY^2");
}

// "1,3" into ticks at index 1..hi.
template <std::size_t N>
std::array<bool, N> TickList(const Args& args, const char* name, int hi, int fallback) {
  std::array<bool, N> ticks{};
  const auto text = OptionText(args, name);
  if (!text) {
    ticks[static_cast<std::size_t>(fallback)] = true;
    return ticks;
  }
  std::size_t pos = 0;
  while (pos <= text->size()) {
    std::size_t comma = text->find(',', pos);
    if (comma == std::string::npos) comma = text->size();
    ticks[static_cast<std::size_t>(ArgNumber(text->substr(pos, comma - pos), name, 1, hi))] = true;
    pos = comma + 1;
  }
  return ticks;
}

int FitCommand(const Args& args, const fs::path& folder, int plan) {
  const auto test = OptionText(args, "--test");
  const TestInfo* info = nullptr;
  if (test) {
    for (const auto& t : kTests)
      if (*test == t.name) info = &t;
    if (!info) return BadArgs(kName, "--test: unknown test function " + *test);
  }
  const CriterionForm form = FormOption(args);
  const auto adoptTo = OptionInt(args, "--adopt-to", 0, 32767);
  DriftSelection sel;
  sel.form = form;
  sel.planets = TickList<11>(args, "--planet", 10, 1);
  sel.elements = TickList<7>(args, "--elements", 6, 1);
  const std::string imitator = OptionText(args, "--imitator").value_or("JPL");
  if (imitator != "NEW" && imitator != "New" && imitator != "APC" && imitator != "JPL" && imitator != "Mox" &&
      imitator != "Other")
    throw BadOption("--imitator: wants NEW, APC, JPL, Mox or Other");
  PlanParams p;
  if (!LoadPlan(args, folder, plan, &p)) return kFailed;

  PlanTables t;
  FillB4D(t);
  PlanValues Ycrit{};
  if (info) {
    if (auto r = TestCriterion(t, p.levels, info->f, form, &Ycrit)) return PrintUserMessage(*r);
  } else if (auto r = ModelCriterion(StatsDriftSource(), folder, imitator, plan, sel, p.Wt, &Ycrit)) {
    return PrintUserMessage(*r);
  }
  const Regression reg = FindRegression(t, Ycrit);
  std::printf("%s %s, criterion %s\n", info ? "test" : "model runs against", info ? info->caption : imitator.c_str(),
              form == CriterionForm::Y ? "Y" : form == CriterionForm::dY ? "dY" : "dY^2");
  std::printf("   j     x1     x2     x3     x4          Ycrit           Yfit\n");
  for (int j = 1; j <= kB4DExperiments; ++j)
    std::printf("%4d %6.2f %6.2f %6.2f %6.2f %14s %14s\n", j, t.PlanX[1][j], t.PlanX[2][j], t.PlanX[3][j],
                t.PlanX[4][j], NumberText(Fix(1000 * Ycrit[j]) / 1000).c_str(),
                NumberText(Fix(1000 * reg.Yfit[j]) / 1000).c_str());
  for (int c = 0; c <= 14; ++c) std::printf("b%-2d = %s\n", c, NumberText(reg.b[c]).c_str());
  std::printf("Масштаб критерия, ед/см = %s\n", NumberText(reg.MP).c_str());

  std::error_code ec;
  fs::create_directories(ResolvePath(folder, "\\Plan" + std::to_string(plan)), ec);
  LinearSystem sys;
  Optimum opt;
  if (auto r = Optimize(reg.b, p.levels, plan, folder, sys, &opt)) return PrintUserMessage(*r);
  for (int i = 1; i <= kFactors; ++i)
    std::printf("X%dopt= %s   %s\n", i, NumberText(opt.Xopt[i]).c_str(), NumberText(opt.XoptNat[i]).c_str());
  std::printf("Yopt= %s\n", NumberText(opt.Yopt).c_str());
  std::printf("report %s\n", ResolvePath(folder, ReportRelPath(plan)).string().c_str());
  if (adoptTo) {
    AdoptOptimum(opt, p.levels);
    p.PlanNo = static_cast<std::int16_t>(*adoptTo);
    fs::create_directories(ResolvePath(folder, "\\Plan" + std::to_string(*adoptTo)), ec);
    if (auto r = WritePlanFile(p, folder)) return PrintUserMessage(*r);
    std::printf("saved %s centred on the optimum\n", PlanFileRelPath(*adoptTo).c_str());
  }
  return kOk;
}

int PlanCommand(const Args& args) {
  if (args.empty() || WantsHelp(args)) {
    std::printf("%s", kHelp);
    return args.empty() ? kBadArgs : kOk;
  }
  const fs::path folder = FolderOption(args);
  const auto plan = OptionInt(args, "--plan", 0, 32767);
  if (!plan) return BadArgs(kName, "--plan K is required");
  const std::string& sub = args[0];
  if (sub == "params") return ParamsCommand(args, folder, static_cast<int>(*plan));
  if (sub == "run") return RunCommand(args, folder, static_cast<int>(*plan));
  if (sub == "fit") return FitCommand(args, folder, static_cast<int>(*plan));
  return BadArgs(kName, "unknown action '" + sub + "' (params, run or fit)");
}

CliCommand reg{"plan", "four-factor plans: levels, experiments in parallel or one by one, regression and optimum",
               PlanCommand};

}  // namespace
}  // namespace torvik::cli
