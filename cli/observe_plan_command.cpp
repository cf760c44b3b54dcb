// torvik6-cli observe-plan: the five-factor observation plans without their
// screens. `observe-plan run` is the experiment series over a historic table or
// an observatory file, the planet's orbit varied through theory "P" around the
// template plan of the start date, with the quadratic regression of the
// criterion; its experiments run one after another in this process or side by
// side in worker processes. `observe-plan optimize` finds the optimum of a
// saved plan four factors at a time.
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/workers.h"
#include "core/calendar.h"
#include "core/model.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "observe/sample_files.h"
#include "observe/sources.h"
#include "params/startup.h"
#include "plan/four_of_five.h"
#include "plan/obs_plan.h"
#include "plan/obs_series.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "observe-plan";

// The source of a plan, a table of kTables or an observatory of
// kObservatories, and the observed planet.
struct PlanSource {
  bool table = false;
  int index = 0;     // 1-based
  std::string name;  // the table's workbook name or the observatory code
  int planet = 0;
  std::string kind() const { return table ? "Tab" : "Obs"; }
};

// The options that name the source: --table NAME or --observatory CODE and --planet P.
struct SourceOptions {
  std::optional<std::string> table, observatory;
  std::optional<int> planet;
  std::filesystem::path folder;
};

void AddSourceOptions(CLI::App& app, SourceOptions& o) {
  AddOptional(app, "--table", o.table, "a historic table (AlBattani, Almagest, ...)")->type_name("NAME");
  AddOptional(app, "--observatory", o.observatory, "GREN, PARI, USNO, RADC or CAPE")->type_name("CODE");
  AddOptional(app, "--planet", o.planet, "0 Sun, 1 Mercury, 2 Venus, 4 Mars, ... (not 3)")
      ->type_name("P")->required()->transform(Whole(0, 9));
  AddFolderOption(app, o.folder);
}

// The source of the options; nullopt (with the message printed) when neither
// or both sources, an unknown one or the Earth is given.
std::optional<PlanSource> SourceOf(const SourceOptions& o) {
  const auto& table = o.table;
  const auto& observatory = o.observatory;
  if (table.has_value() == observatory.has_value()) {
    BadArgs(kName, "give --table NAME or --observatory CODE");
    return std::nullopt;
  }
  PlanSource src;
  src.table = table.has_value();
  src.index = table ? TableNumber(*table) : ObservatoryNumber(*observatory);
  if (!src.index) {
    BadArgs(kName, "no source " + (table ? *table : *observatory));
    return std::nullopt;
  }
  src.name = src.table ? kTables[static_cast<std::size_t>(src.index - 1)].name : *observatory;
  if (!o.planet || *o.planet == 3) {
    BadArgs(kName, "give --planet P (0..9, not 3)");
    return std::nullopt;
  }
  src.planet = *o.planet;
  return src;
}

// ---- observe-plan run ----

// The options that make one experiment what it is: handed unchanged to the
// worker processes.
constexpr const char* kExperimentOptions[] = {"--table", "--observatory", "--planet",  "--plan",    "--start",
                                              "--years", "--step",        "--criterion", "--plan-no", "--dr-max"};

struct RunOptions {
  SourceOptions source;
  std::string plan;
  int first = 1, last = kObsExperiments;
  std::optional<int> experiment;
  int jobs = CoreCount(), years = 200, planNo = 1;
  std::optional<double> step, dRmax;
  std::string criterion = "dR";
  std::optional<ObsDate> start;
  bool noDrLimit = false, save = false, quiet = false;
};

// --start D.M.Y.
ObsDate StartOption(const std::string& d) {
  const auto a = d.find('.'), b = d.rfind('.');
  if (a == std::string::npos || a == b) throw BadOption("--start: " + d + " is not D.M.Y");
  ObsDate date;
  date.day = static_cast<float>(ArgNumber(d.substr(0, a), "--start day", 1, 32));
  date.month = static_cast<std::int32_t>(ArgNumber(d.substr(a + 1, b - a - 1), "--start month", 1, 12));
  date.year = static_cast<std::int32_t>(ArgNumber(d.substr(b + 1), "--start year", -4000, 4000));
  return date;
}

int RunSeries(const RunOptions& o, const CLI::App& app) {
  const auto& folder = o.source.folder;
  const auto source = SourceOf(o.source);
  if (!source) return kBadArgs;
  const ObsPlanKind kind = o.plan == "O5" ? ObsPlanKind::O5 : ObsPlanKind::B5;
  int first = o.first, last = o.last;
  if (first > last) return BadArgs(kName, "--from after --to");
  // A worker process: experiment J alone, its criterion on stdout.
  const auto& experiment = o.experiment;
  if (experiment) first = last = *experiment;
  const int jobs = o.jobs, years = o.years, planNo = o.planNo;
  const auto& step = o.step;
  const auto& dRmax = o.dRmax;
  const ObsCriterion criterion = o.criterion == "dL" ? ObsCriterion::dL : ObsCriterion::dR;
  const auto& start = o.start;

  // The workers find the folder and the observatory file ready.
  if (!experiment && !PrepareProgramFolder(kName, folder, false)) return kFailed;
  const int p = source->planet;
  if (!source->table && !experiment && ObservatoryFolderEmpty(folder)) {
    if (!o.quiet)
      std::fprintf(stderr, "torvik6-cli %s: writing the sample observatory files into %s/Obs\n", kName,
                   folder.string().c_str());
    if (!WriteSampleObservatoryFiles(folder))
      std::fprintf(stderr, "torvik6-cli %s: cannot write the sample observatory files\n", kName);
  }
  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);
  ObservationSource src(folder);
  ObsSettings s;
  if (auto r = OpenSource(src, source->table ? SourceKind::Tab : SourceKind::Obs, source->index, p, s))
    return PrintUserMessage(*r);
  if (start) s.day = start->day, s.month = start->month, s.year = start->year;
  else if (!source->table && FitDateToRecords(src, &s.day, &s.month, &s.year) && !experiment && !o.quiet)
    std::fprintf(stderr, "torvik6-cli %s: start %s.%d.%d, the last record of %s\n", kName, SingleText(s.day).c_str(),
                 s.month, s.year, src.path().filename().string().c_str());
  if (step) s.live.Step0 = *step;
  if (dRmax) s.live.dRmax = *dRmax;
  s.dRlimit = !o.noDrLimit;
  s.Npl = p;
  s.years = years;
  s.criterion = criterion;
  s.earth = s.planet = ObsTheory::P;

  const ObsPlan plan = CreateObsPlan(kind);
  if (!experiment && !WriteObsPlanListing(plan, planNo, folder))
    std::fprintf(stderr, "torvik6-cli %s: cannot write %s\n", kName, kObsPlanListing);
  ObsPlanState st;
  st.PlanNo = static_cast<std::int16_t>(planNo);
  st.Npl = p;
  Model work;
  // The template at the date in the source's calendar and day start, as the
  // observation screen's "JD (UT)" gives it, held as the plan screen's fields hold it.
  if (auto r = ObsPlanTemplate(work, FieldJD(s), s.day, static_cast<std::int16_t>(s.month),
                               static_cast<std::int16_t>(s.year), &st))
    return PrintUserMessage(*r);
  AsPlanFields(&st, m.MK);
  for (int i = 1; i <= kObsFactors; ++i)
    for (int e = 1; e <= kObsExperiments; ++e) st.PlanX[i][e] = plan.PlanX[i][e];
  // The year the runs end, as the run start sets it: tables run forward,
  // observatories back.
  st.EndY = static_cast<std::int16_t>(source->table ? s.year + years : s.year - years);

  const bool quiet = o.quiet;
  const bool tty = isatty(STDERR_FILENO);
  if (experiment || jobs == 1) {
    // The series in this process, as the screen runs it.
    ObsExperimentSeries series(m, src);
    if (auto r = series.Start(s, st, first, last)) return PrintUserMessage(*r);
    int shown = 0;
    auto t0 = std::chrono::steady_clock::now();
    while (series.Running()) {
      if (auto r = series.Step()) PrintUserMessage(*r);
      if (quiet) continue;
      if (!experiment && series.ExpCur() != shown) {
        shown = series.ExpCur();
        std::fprintf(stderr, "%sexperiment %d of %d..%d%s", tty ? "\r" : "", shown, first, last, tty ? "   " : "\n");
        std::fflush(stderr);
      } else if (experiment && series.run() && std::chrono::steady_clock::now() - t0 > std::chrono::seconds(5)) {
        // A long experiment in a worker shows where its run is.
        t0 = std::chrono::steady_clock::now();
        std::fprintf(stderr, "experiment %d: year %d\n", first, static_cast<int>(series.run()->stepDate().CurY));
        std::fflush(stderr);
      }
    }
    if (!quiet && tty && !experiment) std::fprintf(stderr, "\n");
    if (experiment) {
      // In full precision: the parent fits exactly what the series would.
      std::printf("%.17g\n", st.Ycrit[first]);
      return kOk;
    }
  } else {
    WorkerPlan wp;
    wp.label = "observe-plan run";
    wp.from = first, wp.to = last, wp.jobs = jobs;
    wp.keepStdout = true;
    wp.quiet = quiet;
    wp.argv = [&](int j) {
      std::vector<std::string> argv = {"observe-plan", "run", "--folder", folder.string(), "--experiment",
                                       std::to_string(j)};
      for (const char* name : kExperimentOptions)
        if (const CLI::Option* opt = app.get_option(name); opt->count() > 0)
          argv.insert(argv.end(), {name, opt->results().back()});
      if (quiet) argv.push_back("--quiet");
      if (!s.dRlimit) argv.push_back("--no-dr-limit");
      return argv;
    };
    std::vector<WorkerResult> results;
    double wall = 0;
    if (!RunWorkers(wp, &results, &wall)) return kFailed;
    int failed = 0;
    for (auto& r : results) {
      char* end = nullptr;
      const double y = std::strtod(r.out.c_str(), &end);
      if (r.failure.empty() && (end == r.out.c_str() || *end != '\n' || end[1] != '\0'))
        r.failure = "no criterion in its output";
      if (!r.failure.empty()) {
        ++failed;
        std::fprintf(stderr, "torvik6-cli %s: experiment %d failed: %s\n", kName, r.j, r.failure.c_str());
        continue;
      }
      st.Ycrit[r.j] = y;
    }
    if (!quiet)
      std::fprintf(stderr, "experiments %d..%d, %d worker processes: wall time %.2f s\n", first, last, jobs, wall);
    if (failed) {
      std::fprintf(stderr, "torvik6-cli %s: %d of %d experiments failed; nothing fitted\n", kName, failed,
                   last - first + 1);
      return kFailed;
    }
  }
  for (int e = first; e <= last; ++e) std::printf("exp %d %.10g\n", e, st.Ycrit[e]);
  const ObsRegression r = FindObsRegression(plan, kind, st.Ycrit, m.MK);
  st.b = r.b;
  st.bSaved = r.b;
  st.Yfit = r.Yfit;
  for (int c = 0; c <= 20; ++c) std::printf("b%d %.10g\n", c, r.b[c]);
  if (o.save) {
    if (auto w = WriteObsPlanFile(st, source->kind(), source->name, folder, m.MK)) return PrintUserMessage(*w);
    std::printf("file %s\n",
                ResolvePath(folder, ObsPlanRelPath(source->kind(), source->name, p, planNo)).string().c_str());
  }
  return kOk;
}

// ---- observe-plan optimize ----

struct OptimizeOptions {
  SourceOptions source;
  int planNo = 1;
  std::string hold;
  std::optional<std::array<double, 6>> startOpt;
  std::optional<double> period;
  bool save = false;
};

// --start-opt A,B,C,D,E into index 1..5.
std::array<double, 6> StartOptOption(const std::string& text) {
  const auto parts = SplitText(text, ',');
  if (parts.size() != kObsFactors) throw BadOption("--start-opt: wants five numbers A,B,C,D,E");
  std::array<double, 6> x{};
  for (int i = 1; i <= kObsFactors; ++i)
    x[static_cast<std::size_t>(i)] = ArgNumber(parts[static_cast<std::size_t>(i - 1)], "--start-opt", -1e6, 1e6);
  return x;
}

int OptimizePlan(const OptimizeOptions& o) {
  const auto& folder = o.source.folder;
  const auto source = SourceOf(o.source);
  if (!source) return kBadArgs;
  const int planNo = o.planNo;
  const bool all = o.hold == "all";
  const int hold = all ? 0 : std::stoi(o.hold);
  const auto& startOpt = o.startOpt;
  const auto& period = o.period;

  if (!PrepareProgramFolder(kName, folder, false)) return kFailed;
  ObsPlanState st;
  st.PlanNo = static_cast<std::int16_t>(planNo);
  st.Npl = source->planet;
  if (auto r = ReadObsPlanFile(source->kind(), source->name, folder, &st)) return PrintUserMessage(*r);
  if (startOpt)
    for (int i = 1; i <= kObsFactors; ++i) st.Xopt[i] = (*startOpt)[static_cast<std::size_t>(i)];
  const double X6opt = period.value_or(st.XoptNat[6]);

  LinearSystem sys;
  int failed = 0;
  if (all) {
    for (const auto& step : OptimizeAll(st, X6opt, folder, sys))
      if (step.result) {
        ++failed;
        std::fprintf(stderr, "holding X%d: ", step.f);
        PrintUserMessage(*step.result);
      }
  } else if (auto r = OptimizeFourOfFive(st, hold, X6opt, folder, sys)) {
    return PrintUserMessage(*r);
  }
  // The coded optimum in full precision, the natural one as the fields show it.
  for (int i = 1; i <= kObsFactors; ++i)
    std::printf("X%dopt= %s   %s\n", i, NumberText(st.Xopt[i]).c_str(), NumberText(st.XoptNat[i]).c_str());
  std::printf("X6opt= %s\n", NumberText(st.XoptNat[6]).c_str());
  std::printf("report %s\n", ResolvePath(folder, kFourOfFiveReport).string().c_str());
  if (failed) {
    std::fprintf(stderr, "torvik6-cli %s: %d of 15 optimizations failed; the plan file is not changed\n", kName,
                 failed);
    return kFailed;
  }
  if (o.save) {
    if (auto w = WriteObsPlanFile(st, source->kind(), source->name, folder)) return PrintUserMessage(*w);
    std::printf("file %s\n",
                ResolvePath(folder, ObsPlanRelPath(source->kind(), source->name, st.Npl, planNo)).string().c_str());
  }
  return kOk;
}

Action Declare(CLI::App& app) {
  auto ro = std::make_shared<RunOptions>();
  auto oo = std::make_shared<OptimizeOptions>();
  app.require_subcommand(1);
  CLI::App* run = app.add_subcommand("run", "the experiment series and its regression");
  run->description(
      "The experiment series and its regression.\n"
      "Builds the template plan of the planet from the approximate J2000 elements at the\n"
      "start date, runs one observation run per experiment I..J with the planet's and the\n"
      "Earth's orbits of the plan (theory P), prints \"exp J CRITERION\" per experiment and\n"
      "the coefficients \"bK VALUE\" of the regression, and writes the listing \\Dat\\Plan.txt.\n"
      "N worker processes run the experiments side by side with the same results as one;\n"
      "a failed experiment does not stop the others, but then nothing is fitted or saved\n"
      "and the exit status is 1.");
  AddSourceOptions(*run, ro->source);
  run->add_option("--plan", ro->plan, "the plan (B5 fits experiments 1..42)")
      ->type_name("O5|B5")->required()->check(OneOf({"O5", "B5"}));
  run->add_option("--from", ro->first, "first experiment")
      ->type_name("I")->transform(Whole(1, kObsExperiments))->capture_default_str();
  run->add_option("--to", ro->last, "last experiment")
      ->type_name("J")->transform(Whole(1, kObsExperiments))->capture_default_str();
  AddOptional(*run, "--experiment", ro->experiment, "experiment J alone, its criterion on stdout (a worker)")
      ->type_name("J")->transform(Whole(1, kObsExperiments));
  run->add_option_function<std::string>("--start", [ro](const std::string& d) { ro->start = StartOption(d); },
                                        "start date in the source's calendar (default: the table's;\n"
                                        "for an observatory 1.5.1.2000, or its file's last record\n"
                                        "when the file holds no record of that year)")
      ->type_name("D.M.Y");
  run->add_option("--years", ro->years, "interval in years")
      ->type_name("N")->transform(Whole(0, 32767))->capture_default_str();
  AddOptional(*run, "--step", ro->step, "table step in days (default 3.31)")
      ->type_name("DAYS")->transform(Number(1e-6, 1e6));
  run->add_option("--criterion", ro->criterion, "mean dR (thousand km) or mean |dL| (arcsec)")
      ->type_name("dR|dL")->check(OneOf({"dR", "dL"}))->capture_default_str();
  AddOptional(*run, "--dr-max", ro->dRmax, "steps with dR >= R thousand km are rejected (default 200)")
      ->type_name("R")->transform(Number(0, 1e12));
  run->add_flag("--no-dr-limit", ro->noDrLimit,
                "accept every step (an experiment far off the observations then still has its criterion)");
  run->add_option("--jobs", ro->jobs, "worker processes; 1 runs the experiments one after another in this process")
      ->type_name("N")->transform(Whole(1, 1024))->default_str("the number of cores");
  run->add_option("--plan-no", ro->planNo, "plan number")
      ->type_name("K")->transform(Whole(0, 32767))->capture_default_str();
  run->add_flag("--save", ro->save, "also write the plan file \\Tab|Obs\\Plan\\NAME + P + _K.dat");
  run->add_flag("--quiet", ro->quiet, "no progress on stderr");

  CLI::App* opt = app.add_subcommand("optimize", "the optimum of a saved plan, four factors at a time");
  opt->description(
      "The optimum of a saved plan, four factors at a time.\n"
      "Reads the plan file \\Tab|Obs\\Plan\\NAME + P + _K.dat (as run --save writes it), finds\n"
      "the optimum of its regression four factors at a time (\"Оптимизировать 4-е фактора из\n"
      "5-и без отмеченного\", or \"Все\": three sweeps holding 5, 4, 3, 2, 1), writes the report\n"
      "\\Dat\\TorvikSLU.txt and prints the coded and the natural optimum (Rsr thousand km, Eks,\n"
      "Betta, AlfaP, AlfaU degrees, period).");
  AddSourceOptions(*opt, oo->source);
  opt->add_option("--hold", oo->hold, "the factor held at its coded optimum, or all")
      ->type_name("K|all")->required()->check(OneOf({"1", "2", "3", "4", "5", "all"}));
  opt->add_option("--plan-no", oo->planNo, "plan number")
      ->type_name("K")->transform(Whole(0, 32767))->capture_default_str();
  opt->add_option_function<std::string>("--start-opt",
                                        [oo](const std::string& t) { oo->startOpt = StartOptOption(t); },
                                        "the coded optimum to start from (default: the file's)")
      ->type_name("A,B,C,D,E");
  AddOptional(*opt, "--period", oo->period, "the planet's period shown as X6opt (default: the file's)")
      ->type_name("DAYS")->transform(Number(0, 1e12));
  opt->add_flag("--save", oo->save, "write the optimum back into the plan file");
  return [ro, oo, run] { return run->parsed() ? RunSeries(*ro, *run) : OptimizePlan(*oo); };
}

CliCommand reg{"observe-plan", "five-factor observation plans: experiment series, regression, four-of-five optimum",
               Declare};

}  // namespace
}  // namespace torvik::cli
