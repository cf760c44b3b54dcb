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
#include <memory>
#include <optional>
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

// The options of every action: the plan, its levels and the program folder.
struct PlanOptions {
  int plan = 0;
  std::optional<std::array<double, 5>> zero, step;
  fs::path folder;
};

// "A,B,C,D" into index 1..4.
std::array<double, 5> FourNumbers(const std::string& text, const char* name) {
  const auto parts = SplitText(text, ',');
  if (parts.size() != 4) throw BadOption(std::string(name) + ": wants four numbers A,B,C,D");
  std::array<double, 5> v{};
  for (int i = 1; i <= 4; ++i) v[i] = ArgNumber(parts[static_cast<std::size_t>(i - 1)], name, -1e9, 1e9);
  return v;
}

void AddPlanOptions(CLI::App& app, PlanOptions& o) {
  app.add_option("--plan", o.plan, "plan number")->type_name("K")->required()->transform(Whole(0, 32767));
  app.add_option_function<std::string>("--zero", [&o](const std::string& t) { o.zero = FourNumbers(t, "--zero"); },
                                       "zero levels Xzero (default: the plan file's)")
      ->type_name("A,B,C,D");
  app.add_option_function<std::string>("--step", [&o](const std::string& t) { o.step = FourNumbers(t, "--step"); },
                                       "intervals Xstep (default: the plan file's)")
      ->type_name("A,B,C,D");
  AddFolderOption(app, o.folder);
}

// The plan's parameters: its file when present, else the defaults; then the
// overrides of --zero and --step. False (with the message shown) when the file
// exists but cannot be read.
bool LoadPlan(const PlanOptions& o, PlanParams* p) {
  const int plan = o.plan;
  const fs::path& folder = o.folder;
  p->PlanNo = static_cast<std::int16_t>(plan);
  const fs::path file = ResolvePath(folder, PlanFileRelPath(plan));
  if (o.zero && o.step) {
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
  if (o.zero) p->levels.Xzero = *o.zero;
  if (o.step) p->levels.Xstep = *o.step;
  return true;
}

std::string TodayText() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return RunDateText(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

// ---- plan params ----

struct ParamsOptions {
  PlanOptions plan;
  bool save = false;
};

int ParamsCommand(const ParamsOptions& o) {
  const fs::path& folder = o.plan.folder;
  const int plan = o.plan.plan;
  PlanParams p;
  if (!LoadPlan(o.plan, &p)) return kFailed;
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
  if (o.save) {
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
  double hMain = 3600.0, NRed = 100.0;  // the step fields a plan run keeps
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
  s.live.hMain = o.hMain;
  s.live.NRed = o.NRed;
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
    char h[64], n[64];
    std::snprintf(h, sizeof h, "%.17g", o.hMain);
    std::snprintf(n, sizeof n, "%.17g", o.NRed);
    argv.insert(argv.end(), {"--run-step", h, "--nred", n});
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
  for (const auto& r : results)
    if (!r.failure.empty()) std::printf("  experiment %d failed: %s\n", r.j, r.failure.c_str());
  std::printf("orbit files %s\n", ResolvePath(o.folder, "\\Plan" + std::to_string(o.plan) + "\\Txt" +
                                                          std::to_string(o.planet)).string().c_str());
  std::printf("wall time %.2f s, sum of the experiments %.2f s\n", wall, busy);
  return failed == 0 ? kOk : kFailed;
}

struct RunCommandOptions {
  PlanOptions plan;
  int planet = 1, toYear = 2001;
  std::optional<int> paramsNo, experiment;
  std::optional<std::string> runDate;
  int from = 1, to = kB4DExperiments, jobs = CoreCount();
  double hMain = 3600.0, NRed = 100.0;  // the modelling screen's step fields a plan run keeps
};

int RunCommand(const RunCommandOptions& ro) {
  const fs::path& folder = ro.plan.folder;
  const int plan = ro.plan.plan;
  RunOptions o;
  o.folder = folder;
  o.plan = plan;
  o.planet = ro.planet;
  o.toYear = ro.toYear;
  o.paramsNo = ro.paramsNo.value_or(-1);
  o.runDate = ro.runDate ? *ro.runDate : TodayText();
  o.hMain = ro.hMain;
  o.NRed = ro.NRed;
  const auto& experiment = ro.experiment;
  const int from = ro.from, to = ro.to, jobs = ro.jobs;
  if (from > to) return BadArgs(kName, "--from must not exceed --to");

  PlanParams p;
  if (!LoadPlan(ro.plan, &p)) return kFailed;
  o.levels = p.levels;
  // The program's standard folders, and the plan's orbit folder, which only
  // exists beforehand for the plans 0..3.
  EnsureProgramFolder(folder);
  std::error_code ec;
  fs::create_directories(ResolvePath(folder, "\\Plan" + std::to_string(plan) + "\\Txt" + std::to_string(o.planet)),
                         ec);
  if (experiment) return RunExperiment(o, p, *experiment);
  return RunPlan(o, from, to, jobs);
}

// ---- plan fit ----

// "1,3" into ticks at index 1..hi.
template <std::size_t N>
std::array<bool, N> TickList(const std::string& text, const char* name, int hi) {
  std::array<bool, N> ticks{};
  for (const auto& part : SplitText(text, ','))
    ticks[static_cast<std::size_t>(ArgNumber(part, name, 1, hi))] = true;
  return ticks;
}

struct FitOptions {
  PlanOptions plan;
  std::string test;
  std::string form = "dY";
  std::optional<int> adoptTo;
  std::array<bool, 11> planets{false, true};
  std::array<bool, 7> elements{false, true};
  std::string imitator = "JPL";
};

int FitCommand(const FitOptions& o) {
  const fs::path& folder = o.plan.folder;
  const int plan = o.plan.plan;
  const TestInfo* info = nullptr;
  if (!o.test.empty()) {
    for (const auto& t : kTests)
      if (o.test == t.name) info = &t;
    if (!info) return BadArgs(kName, "--test: unknown test function " + o.test);
  }
  const CriterionForm form = o.form == "Y" ? CriterionForm::Y : o.form == "dY" ? CriterionForm::dY : CriterionForm::dY2;
  const auto& adoptTo = o.adoptTo;
  DriftSelection sel;
  sel.form = form;
  sel.planets = o.planets;
  sel.elements = o.elements;
  const std::string imitator = o.imitator;
  PlanParams p;
  if (!LoadPlan(o.plan, &p)) return kFailed;

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

Action Declare(CLI::App& app) {
  auto po = std::make_shared<ParamsOptions>();
  auto ro = std::make_shared<RunCommandOptions>();
  auto fo = std::make_shared<FitOptions>();
  app.description(
      "The four-factor plan B4D of 24 experiments: X1..X3 = VXsys, VYsys, VZsys (km/s),\n"
      "X4 = Vgr/Vsv, each at Xzero + x*Xstep with x = -1, 0, +1. The levels come from\n"
      "\\PlanK\\TorvikPlan.dat (the screen's defaults 100,200,300,1 +/- 10,20,30,40 when it is\n"
      "missing) and may be overridden by --zero and --step.");
  app.require_subcommand(1);

  CLI::App* params = app.add_subcommand("params", "prints the levels and the natural values of the 24 experiments");
  AddPlanOptions(*params, po->plan);
  params->add_flag("--save", po->save, "writes \\PlanK\\TorvikPlan.dat (\"Сохранить параметры плана\")");

  CLI::App* run = app.add_subcommand("run", "runs the experiments as the optimization screen's series does");
  run->description(
      "Runs the experiments as the optimization screen's series does.\n"
      "Runs experiments I..J as the optimization screen's series does: a model run per\n"
      "experiment with VXsys, VYsys, VZsys and Vgr = X4*Vsv of the experiment, planet P\n"
      "watched, until the end year Y, each writing \\PlanK\\TxtP\\TorvikPRasBj.txt. N worker\n"
      "processes run side by side; stderr shows their progress, stdout the summary. A\n"
      "failed experiment does not stop the others; the exit status is 1 when any failed.\n"
      "--experiment J runs experiment J alone in this process (one task of a batch scheduler).");
  AddPlanOptions(*run, ro->plan);
  run->add_option("--planet", ro->planet, "watched planet")
      ->type_name("P")->transform(Whole(1, 10))->capture_default_str();
  run->add_option("--from", ro->from, "first experiment")
      ->type_name("I")->transform(Whole(1, kB4DExperiments))->capture_default_str();
  run->add_option("--to", ro->to, "last experiment")
      ->type_name("J")->transform(Whole(1, kB4DExperiments))->capture_default_str();
  AddOptional(*run, "--experiment", ro->experiment, "runs experiment J alone in this process")
      ->type_name("J")->transform(Whole(1, kB4DExperiments));
  run->add_option("--jobs", ro->jobs, "worker processes")
      ->type_name("N")->transform(Whole(1, 1024))->default_str("the number of cores");
  run->add_option("--to-year", ro->toYear, "end year")
      ->type_name("Y")->transform(Whole(-4000, 100000))->capture_default_str();
  AddOptional(*run, "--params", ro->paramsNo, "start from \\torvikN.dat instead of the start-up data")
      ->type_name("N")->transform(Whole(0, 32767));
  AddOptional(*run, "--run-date", ro->runDate, "run date of the file headers (default today, DD.MM.YYYY)")
      ->type_name("D");
  run->add_option("--run-step", ro->hMain, "the modelling screen's \"Шаг решения, с\"")
      ->type_name("S")->transform(Number(1e-3, kMaxRunStep))->capture_default_str();
  run->add_option("--nred", ro->NRed, "the modelling screen's step reduction \"/\"")
      ->type_name("N")->transform(Number(1, kMaxStepReduction))->capture_default_str();

  CLI::App* fit = app.add_subcommand("fit", "the criterion, the regression and the optimum, with the report");
  fit->description(
      "The criterion, the regression and the optimum, with the report.\n"
      "The criterion of the 24 experiments, the regression, and the optimum, with the report\n"
      "\\PlanK\\TorvikSLU.dat (\"Найти коэффициенты уравнения регрессии при\", \"Оптимизировать\n"
      "параметры\"). The criterion of the model runs compares the plan drift file\n"
      "\\PlanK\\TorvikPRasB.dat of each planet with the observed drifts \\F\\TorvikNab.dat,\n"
      "weighted by the plan file's weights; --test takes a test function of the natural\n"
      "values instead.");
  AddPlanOptions(*fit, fo->plan);
  fit->add_option_function<std::string>(
         "--planet", [fo](const std::string& t) { fo->planets = TickList<11>(t, "--planet", 10); },
         "planets 1..10")
      ->type_name("P[,P2...]")->default_str("1");
  fit->add_option_function<std::string>(
         "--elements", [fo](const std::string& t) { fo->elements = TickList<7>(t, "--elements", 6); },
         "elements 1..6 as the statistics numbers them (1 the perihelion)")
      ->type_name("LIST")->default_str("1");
  fit->add_option("--imitator", fo->imitator, "the observed drifts")
      ->type_name("F")->check(OneOf({"NEW", "New", "APC", "JPL", "Mox", "Other"}))->capture_default_str();
  std::vector<std::string> tests;
  for (const auto& t : kTests) tests.push_back(t.name);
  fit->add_option("--test", fo->test, "a test function instead of the model runs")->type_name("NAME")->check(OneOf(tests));
  fit->add_option("--form", fo->form, "criterion form (not applied to u)")
      ->type_name("F")->check(OneOf({"Y", "dY", "dY^2"}))->capture_default_str();
  AddOptional(*fit, "--adopt-to", fo->adoptTo, "save plan K2 centred on the optimum (\"задать X0(i) = X(i)opt\")")
      ->type_name("K2")->transform(Whole(0, 32767));

  return [po, ro, fo, params, run] {
    if (params->parsed()) return ParamsCommand(*po);
    if (run->parsed()) return RunCommand(*ro);
    return FitCommand(*fo);
  };
}

CliCommand reg{"plan", "four-factor plans: levels, experiments in parallel or one by one, regression and optimum",
               Declare};

}  // namespace
}  // namespace torvik::cli
