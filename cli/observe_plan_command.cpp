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

constexpr const char* kHelp =
    "usage: torvik6-cli observe-plan run (--table NAME | --observatory CODE) --planet P --plan O5|B5\n"
    "                                    [--from I --to J] [--jobs N] [options]\n"
    "       torvik6-cli observe-plan optimize (--table NAME | --observatory CODE) --planet P\n"
    "                                    --hold K|all [options]\n"
    "\n"
    "observe-plan run\n"
    "  Builds the template plan of the planet from the approximate J2000 elements at\n"
    "  the start date, runs one observation run per experiment I..J (default 1..43)\n"
    "  with the planet's and the Earth's orbits of the plan (theory P), prints\n"
    "  \"exp J CRITERION\" per experiment and the coefficients \"bK VALUE\" of the\n"
    "  regression, and writes the listing \\Dat\\Plan.txt.\n"
    "  --table NAME         a historic table (AlBattani, Almagest, ...)\n"
    "  --observatory CODE   GREN, PARI, USNO, RADC or CAPE\n"
    "  --planet P           0 Sun, 1 Mercury, 2 Venus, 4 Mars, ...\n"
    "  --plan O5|B5         the plan (B5 fits experiments 1..42)\n"
    "  --start D.M.Y        start date (default: the table's, else 1.1.2000)\n"
    "  --years N            interval in years (default 200)\n"
    "  --step DAYS          table step in days (default 3.31)\n"
    "  --criterion dR|dL    mean dR (thousand km) or mean |dL| (arcsec), default dR\n"
    "  --dr-max R           steps with dR >= R thousand km are rejected (default 200)\n"
    "  --no-dr-limit        accept every step (an experiment far off the observations\n"
    "                       then still has its criterion)\n"
    "  --jobs N             N worker processes run the experiments side by side\n"
    "                       (default: the number of cores; 1 runs them one after\n"
    "                       another in this process); the results are the same.\n"
    "                       A failed experiment does not stop the others, but then\n"
    "                       nothing is fitted or saved and the exit status is 1.\n"
    "                       An experiment fails when its run reports an error or\n"
    "                       reduces no step. A partial series (--from/--to short\n"
    "                       of the plan) prints its criteria but is not fitted;\n"
    "                       with --save it exits with status 1.\n"
    "  --plan-no K          plan number (default 1)\n"
    "  --save               also write the plan file \\Tab|Obs\\Plan\\NAME + P + _K.dat\n"
    "  --folder DIR         program folder (default ~/Torvik6)\n"
    "  --quiet              no progress on stderr\n"
    "\n"
    "observe-plan optimize\n"
    "  Reads the plan file \\Tab|Obs\\Plan\\NAME + P + _K.dat (as run --save writes it),\n"
    "  finds the optimum of its regression four factors at a time (\"Оптимизировать\n"
    "  4-е фактора из 5-и без отмеченного\", or \"Все\": three sweeps holding 5, 4, 3,\n"
    "  2, 1), writes the report \\Dat\\TorvikSLU.txt and prints the coded and the\n"
    "  natural optimum (Rsr thousand km, Eks, Betta, AlfaP, AlfaU degrees, period).\n"
    "  --hold K|all         the factor held at its coded optimum (1..5), or all\n"
    "  --plan-no K          plan number (default 1)\n"
    "  --start-opt A,B,C,D,E  the coded optimum to start from (default: the file's)\n"
    "  --period DAYS        the planet's period shown as X6opt (default: the file's)\n"
    "  --save               write the optimum back into the plan file\n"
    "  --folder DIR         program folder (default ~/Torvik6)\n";

// The source of a plan, a table of kTables or an observatory of
// kObservatories, and the observed planet.
struct PlanSource {
  bool table = false;
  int index = 0;     // 1-based
  std::string name;  // the table's workbook name or the observatory code
  int planet = 0;
  std::string kind() const { return table ? "Tab" : "Obs"; }
};

// --table NAME or --observatory CODE and --planet P; nullopt (with the message
// printed) when neither or both sources, an unknown one or no planet is given.
std::optional<PlanSource> SourceOption(const Args& args) {
  const auto table = OptionText(args, "--table");
  const auto observatory = OptionText(args, "--observatory");
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
  const auto planet = OptionInt(args, "--planet", 0, 9);
  if (!planet || *planet == 3) {
    BadArgs(kName, "give --planet P (0..9, not 3)");
    return std::nullopt;
  }
  src.planet = static_cast<int>(*planet);
  return src;
}

// ---- observe-plan run ----

// The options that make one experiment what it is: handed unchanged to the
// worker processes.
constexpr const char* kExperimentOptions[] = {"--table", "--observatory", "--planet",  "--plan",    "--start",
                                              "--years", "--step",        "--criterion", "--plan-no", "--dr-max"};

int RunSeries(const Args& args) {
  if (auto u = UnknownArgument(args, {"--table", "--observatory", "--planet", "--plan", "--from", "--to", "--start",
                                      "--years", "--step", "--criterion", "--plan-no", "--dr-max", "--jobs",
                                      "--experiment", "--folder"},
                               {"run", "--save", "--quiet", "--no-dr-limit"}))
    return BadArgs(kName, "unknown argument " + *u);
  const auto folder = FolderOption(args);
  const auto source = SourceOption(args);
  if (!source) return kBadArgs;
  const auto kindText = OptionText(args, "--plan");
  if (!kindText || (*kindText != "O5" && *kindText != "B5")) return BadArgs(kName, "give --plan O5 or B5");
  const ObsPlanKind kind = *kindText == "O5" ? ObsPlanKind::O5 : ObsPlanKind::B5;
  int first = static_cast<int>(OptionInt(args, "--from", 1, kObsExperiments).value_or(1));
  int last = static_cast<int>(OptionInt(args, "--to", 1, kObsExperiments).value_or(kObsExperiments));
  if (first > last) return BadArgs(kName, "--from after --to");
  // A worker process: experiment J alone, its criterion on stdout.
  const auto experiment = OptionInt(args, "--experiment", 1, kObsExperiments);
  if (experiment) first = last = static_cast<int>(*experiment);
  const int jobs = static_cast<int>(OptionInt(args, "--jobs", 1, 1024).value_or(CoreCount()));
  const int years = static_cast<int>(OptionInt(args, "--years", 0, 32767).value_or(200));
  const int planNo = static_cast<int>(OptionInt(args, "--plan-no", 0, 32767).value_or(1));
  const auto step = OptionNumber(args, "--step", 1e-6, 1e6);
  const auto dRmax = OptionNumber(args, "--dr-max", 0, 1e12);
  ObsCriterion criterion = ObsCriterion::dR;
  if (auto c = OptionText(args, "--criterion")) {
    if (*c == "dL") criterion = ObsCriterion::dL;
    else if (*c != "dR") throw BadOption("--criterion: " + *c + " is not dR or dL");
  }
  std::optional<ObsDate> start;
  if (auto d = OptionText(args, "--start")) {
    const auto a = d->find('.'), b = d->rfind('.');
    if (a == std::string::npos || a == b) throw BadOption("--start: " + *d + " is not D.M.Y");
    ObsDate date;
    date.day = static_cast<float>(ArgNumber(d->substr(0, a), "--start day", 1, 32));
    date.month = static_cast<std::int32_t>(ArgNumber(d->substr(a + 1, b - a - 1), "--start month", 1, 12));
    date.year = static_cast<std::int32_t>(ArgNumber(d->substr(b + 1), "--start year", -4000, 4000));
    start = date;
  }

  // The workers find the folder and the observatory file ready.
  if (!experiment && !PrepareProgramFolder(kName, folder, false)) return kFailed;
  const int p = source->planet;
  if (!source->table && !experiment) EnsureObservatoryFile(folder, source->name, p);
  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);
  ObservationSource src(folder);
  ObsSettings s;
  if (auto r = OpenSource(src, source->table ? SourceKind::Tab : SourceKind::Obs, source->index, p, s))
    return PrintUserMessage(*r);
  if (start) s.day = start->day, s.month = start->month, s.year = start->year;
  if (step) s.live.Step0 = *step;
  if (dRmax) s.live.dRmax = *dRmax;
  s.dRlimit = !HasFlag(args, "--no-dr-limit");
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
  if (auto r = ObsPlanTemplate(work, DateToJD(s.year, s.month, s.day), s.day, static_cast<std::int16_t>(s.month),
                               static_cast<std::int16_t>(s.year), &st))
    return PrintUserMessage(*r);
  for (int i = 1; i <= kObsFactors; ++i)
    for (int e = 1; e <= kObsExperiments; ++e) st.PlanX[i][e] = plan.PlanX[i][e];
  // The year the runs end, as the run start sets it: tables run forward,
  // observatories back.
  st.EndY = static_cast<std::int16_t>(source->table ? s.year + years : s.year - years);

  const bool quiet = HasFlag(args, "--quiet");
  const bool tty = isatty(STDERR_FILENO);
  if (experiment || jobs == 1) {
    // The series in this process, as the screen runs it.
    ObsExperimentSeries series(m, src);
    if (auto r = series.Start(s, st, first, last)) return PrintUserMessage(*r);
    int shown = 0;
    auto t0 = std::chrono::steady_clock::now();
    // A run that fails stops at its first message: one message per
    // experiment, not one per step.
    int told = 0;
    while (series.Running()) {
      if (auto r = series.Step())
        if (told != series.ExpCur()) {
          told = series.ExpCur();
          if (experiment) PrintUserMessage(*r);
          else {
            std::fprintf(stderr, "experiment %d: ", told);
            PrintUserMessage(*r);
          }
        }
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
      // A failed experiment has no criterion: the parent fits nothing.
      if (series.Failed(first)) {
        // Its message (the last line the parent keeps) says why; a run
        // without one reduced nothing.
        if (!told) std::fprintf(stderr, "torvik6-cli %s: experiment %d reduced no step\n", kName, first);
        return kFailed;
      }
      // In full precision: the parent fits exactly what the series would.
      std::printf("%.17g\n", st.Ycrit[first]);
      return kOk;
    }
    if (const int failed = series.FailedCount()) {
      std::string list;
      for (int e = first; e <= last; ++e)
        if (series.Failed(e)) list += (list.empty() ? "" : " ") + std::to_string(e);
      std::fprintf(stderr, "torvik6-cli %s: %d of %d experiments failed (%s); nothing fitted or saved\n", kName,
                   failed, last - first + 1, list.c_str());
      return kFailed;
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
      for (const char* o : kExperimentOptions)
        if (auto v = OptionText(args, o)) argv.insert(argv.end(), {o, *v});
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
      std::fprintf(stderr, "torvik6-cli %s: %d of %d experiments failed; nothing fitted or saved\n", kName, failed,
                   last - first + 1);
      return kFailed;
    }
  }
  for (int e = first; e <= last; ++e) std::printf("exp %d %.10g\n", e, st.Ycrit[e]);
  // The regression needs every experiment of the plan: a partial series
  // would fit the template's placeholders of the others.
  const int needed = ObsPlanExperiments(kind);
  if (first > 1 || last < needed) {
    if (HasFlag(args, "--save")) {
      std::fprintf(stderr,
                   "torvik6-cli %s: experiments %d..%d of the plan's 1..%d: a partial series is not fitted or saved\n",
                   kName, first, last, needed);
      return kFailed;
    }
    std::fprintf(stderr, "torvik6-cli %s: experiments %d..%d of the plan's 1..%d: no regression of a partial series\n",
                 kName, first, last, needed);
    return kOk;
  }
  const ObsRegression r = FindObsRegression(plan, kind, st.Ycrit, m.MK);
  st.b = r.b;
  st.bSaved = r.b;
  st.Yfit = r.Yfit;
  for (int c = 0; c <= 20; ++c) std::printf("b%d %.10g\n", c, r.b[c]);
  if (HasFlag(args, "--save")) {
    if (auto w = WriteObsPlanFile(st, source->kind(), source->name, folder, m.MK)) return PrintUserMessage(*w);
    std::printf("file %s\n",
                ResolvePath(folder, ObsPlanRelPath(source->kind(), source->name, p, planNo)).string().c_str());
  }
  return kOk;
}

// ---- observe-plan optimize ----

int OptimizePlan(const Args& args) {
  if (auto u = UnknownArgument(args, {"--table", "--observatory", "--planet", "--plan-no", "--hold", "--start-opt",
                                      "--period", "--folder"},
                               {"optimize", "--save"}))
    return BadArgs(kName, "unknown argument " + *u);
  const auto folder = FolderOption(args);
  const auto source = SourceOption(args);
  if (!source) return kBadArgs;
  const int planNo = static_cast<int>(OptionInt(args, "--plan-no", 0, 32767).value_or(1));
  const auto holdText = OptionText(args, "--hold");
  if (!holdText) return BadArgs(kName, "give --hold K (1..5) or --hold all");
  const bool all = *holdText == "all";
  int hold = 0;
  if (!all) {
    const double h = ArgNumber(*holdText, "--hold", 1, 5);
    if (h != static_cast<int>(h)) throw BadOption("--hold: " + *holdText + " is not 1..5 or all");
    hold = static_cast<int>(h);
  }
  std::optional<std::array<double, 6>> startOpt;
  if (auto text = OptionText(args, "--start-opt")) {
    std::array<double, 6> x{};
    std::size_t pos = 0;
    for (int i = 1; i <= kObsFactors; ++i) {
      const std::size_t comma = text->find(',', pos);
      if ((i < kObsFactors) != (comma != std::string::npos))
        throw BadOption("--start-opt: wants five numbers A,B,C,D,E");
      x[static_cast<std::size_t>(i)] = ArgNumber(text->substr(pos, comma - pos), "--start-opt", -1e6, 1e6);
      pos = comma + 1;
    }
    startOpt = x;
  }
  const auto period = OptionNumber(args, "--period", 0, 1e12);

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
  if (HasFlag(args, "--save")) {
    if (auto w = WriteObsPlanFile(st, source->kind(), source->name, folder)) return PrintUserMessage(*w);
    std::printf("file %s\n",
                ResolvePath(folder, ObsPlanRelPath(source->kind(), source->name, st.Npl, planNo)).string().c_str());
  }
  return kOk;
}

int ObservePlanCommand(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  if (!args.empty() && args[0] == "run") return RunSeries(args);
  if (!args.empty() && args[0] == "optimize") return OptimizePlan(args);
  return BadArgs(kName, "give run or optimize");
}

CliCommand reg{"observe-plan", "five-factor observation plans: experiment series, regression, four-of-five optimum",
               ObservePlanCommand};

}  // namespace
}  // namespace torvik::cli
