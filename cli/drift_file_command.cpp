// torvik6-cli drift-file: shows the imitator or plan drift file, replaces one
// drift in it, as "Загрузить значения смещений в файле" and "Изменить это
// смещение на рассчитанное" of the statistics screen do, and fills it from the
// orbit files of the plan's experiments or of the imitator (FillDrifts).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/stats_selection.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "stats/drift_fill.h"

namespace torvik::cli {
namespace {

struct Options {
  std::string action;
  StatsInputs in;
  std::optional<double> value;
  std::filesystem::path folder;
  // fill
  DriftFill fill;
  std::string element = "1";
  std::optional<int> from, to, t0, pointsFrom, pointsTo;
};

int RunDriftFile(Options& opt) {
  StatsInputs& in = opt.in;
  const auto& value = opt.value;
  const bool set = opt.action == "set";
  const std::string rel = in.imitatorSource ? ImitatorDriftPath(in.imitatorFolder)
                                            : PlanDriftPath(in.plan, in.planet, in.planLetter);
  std::error_code ec;
  if (!set && !std::filesystem::exists(ResolvePath(opt.folder, rel), ec))
    return PrintUserMessage(ReadErrorMessage(rel));  // a look creates nothing
  if (set && !PrepareProgramFolder("drift-file", opt.folder, false)) return kFailed;
  Statistics st({}, opt.folder);
  StatsOutcome o = st.LoadDriftFile(in);
  if (o.message) return PrintUserMessage(*o.message);
  if (set) {
    in.computedDrift = *value;
    o = st.ReplaceDrift(in);
    if (o.message) return PrintUserMessage(*o.message);
    o = st.LoadDriftFile(in);
    if (o.message) return PrintUserMessage(*o.message);
  }
  const int n = in.imitatorSource ? kImitatorDriftRecords : ExperimentCount(in.planLetter);
  for (int i = 1; i <= n; ++i) {
    const DriftRow& row = in.imitatorSource ? st.drifts().DriftNab[static_cast<std::size_t>(i)]
                                            : st.drifts().DriftRas[static_cast<std::size_t>(in.planet)][static_cast<std::size_t>(i)];
    std::printf("%d", i);
    for (int p = 1; p <= 6; ++p) std::printf(" %s", ShortestText(row[static_cast<std::size_t>(p)]).c_str());
    std::printf("\n");
  }
  return kOk;
}

// drift-file fill.
int RunFill(Options& opt) {
  DriftFill& f = opt.fill;
  if (opt.element == "all") {
    f.elements = {1, 2, 3, 4, 5, 6};
  } else {
    f.elements = {static_cast<int>(*ParseNumber(opt.element))};
  }
  const int n = ExperimentCount(f.planLetter);
  f.from = opt.from.value_or(1);
  f.to = opt.to.value_or(n);
  if (f.from > n || f.to > n) return BadArgs("drift-file", "the plan has experiments 1.." + std::to_string(n));
  if (f.from > f.to) return BadArgs("drift-file", "--from is after --to");
  if (opt.t0) f.fit.T0 = *opt.t0, f.ownT0 = true;
  f.pointsFrom = opt.pointsFrom.value_or(0);
  f.pointsTo = opt.pointsTo.value_or(0);
  if (!PrepareProgramFolder("drift-file", opt.folder, false)) return kFailed;

  const DriftFillResult r = FillDrifts(opt.folder, f);
  std::printf("%s\n", r.driftPath.c_str());
  std::string lastSkipped;
  for (const DriftFillRow& row : r.rows) {
    if (row.written) {
      std::printf("%d %s %d %s %s\n", row.experiment, row.runPath.c_str(), row.element,
                  NumberText(row.drift).c_str(), NumberText(row.limit).c_str());
    } else if (row.failure && row.runPath != lastSkipped) {
      std::printf("%d %s skipped\n", row.experiment, row.runPath.c_str());
      std::fflush(stdout);
      PrintUserMessage(*row.failure);
      lastSkipped = row.runPath;
    }
  }
  std::fflush(stdout);
  if (r.failure) return PrintUserMessage(*r.failure);
  return r.skipped ? kFailed : kOk;
}

void DeclareFill(CLI::App& fill, Options& o) {
  DriftFill& f = o.fill;
  fill.add_option_function<std::string>(
          "--imitator",
          [&f](const std::string& folder) {
            f.imitator = true;
            f.imitatorFolder = folder;
          },
          "the imitator's orbit file \\FOLDER\\TorvikPNab.txt into \\FOLDER\\TorvikNab.dat")
      ->type_name("FOLDER")->check(OneOf({"NEW", "APC", "JPL", "Mox"}));
  fill.add_option("--plan", f.plan, "plan number")->type_name("K")->transform(Whole(0, 32767))->capture_default_str();
  fill.add_option_function<std::string>("--kind", [&f](const std::string& k) { f.planLetter = k[0]; },
                                        "the plan's kind")
      ->type_name("B4D|O4K")->check(OneOf({"B4D", "O4K"}))->default_str("B4D");
  fill.add_option("--planet", f.planet, "planet")->type_name("P")->transform(Whole(1, 10))->capture_default_str();
  fill.add_option("--element", o.element, "element, 1 perihelion … 6 period, or all")
      ->type_name("P|all")->check(OneOf({"1", "2", "3", "4", "5", "6", "all"}))->capture_default_str();
  AddOptional(fill, "--from", o.from, "first experiment (default 1)")->type_name("I")->transform(Whole(1, 25));
  AddOptional(fill, "--to", o.to, "last experiment (default 24, 25 for O4K)")->type_name("J")->transform(Whole(1, 25));
  f.fit.NCoef = 2;
  fill.add_option("--ncoef", f.fit.NCoef, "coefficients of the fit")
      ->type_name("N")->transform(Whole(1, 3))->capture_default_str();
  fill.add_option("--group", f.fit.NCP, "points per group NCP")
      ->type_name("N")->transform(Whole(1, 1000000000))->capture_default_str();
  AddOptional(fill, "--t0", o.t0, "epoch year (default the year each file starts)")
      ->type_name("Y")->transform(Whole(-1000000, 1000000));
  fill.add_option("--tyear", f.fit.TYear, "evaluation year")
      ->type_name("Y")->transform(Number(-1e6, 1e6))->capture_default_str();
  fill.add_flag("--sweep", f.fit.sweep, "all group sizes, combined by --criterion");
  fill.add_option_function<std::string>(
          "--criterion",
          [&f](const std::string& c) {
            f.fit.criterion = c == "min" ? Criterion::Min : c == "sr" ? Criterion::Sr : Criterion::MaxMin;
          },
          "how the sweep combines the group sizes")
      ->type_name("C")->check(OneOf({"min", "maxmin", "sr"}))->default_str("maxmin");
  AddOptional(fill, "--points-from", o.pointsFrom, "first point of each file (default 1)")
      ->type_name("I")->transform(Whole(1, 1000000000));
  AddOptional(fill, "--points-to", o.pointsTo, "last point of each file (default the last)")
      ->type_name("J")->transform(Whole(1, 1000000000));
  AddFolderOption(fill, o.folder);
}

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.require_subcommand(1);
  CLI::App* show = app.add_subcommand("show", "prints the records of the drift file");
  show->description(
      "prints the records of the drift file\n"
      "Prints the records of the drift file: the imitator file \\FOLDER\\TorvikNab.dat\n"
      "(FOLDER NEW, APC, JPL, Mox or Other; one line per planet) or the plan file\n"
      "\\PlanK\\TorvikPRasB.dat (RasO for O4K; one line per experiment): the record number\n"
      "and the six drifts per 100 years. A file that is not there is not made.");
  CLI::App* set = app.add_subcommand("set", "replaces one drift and rewrites the file");
  set->description(
      "replaces one drift and rewrites the file\n"
      "Replaces the drift of the planet (and, for a plan file, the experiment) and element by\n"
      "V (truncated to 10^-6 in the file), rewrites the file and prints its records. A drift\n"
      "file that is not there yet is made first with zeros in its layout; a damaged one is\n"
      "refused and never overwritten.");
  CLI::App* fill = app.add_subcommand("fill", "writes the drifts of the orbit files into the drift file");
  fill->description(
      "writes the drifts of the orbit files into the drift file\n"
      "For each experiment I..J of the plan (\\PlanK\\TxtP\\TorvikPRasBI.txt into\n"
      "\\PlanK\\TorvikPRasB.dat) or for the imitator's file, and each element: the file is\n"
      "loaded and processed as the statistics screen does with its fit options, and the\n"
      "drift replaced as \"Изменить это смещение на рассчитанное\" does. Prints one line per\n"
      "file and element: experiment, orbit file, element, drift, limit. A missing or damaged\n"
      "orbit file is named on stderr and skipped; the exit status is then 1. A drift file\n"
      "that is not there yet is made with zeros; a damaged one is refused.");
  for (CLI::App* sub : {show, set}) {
    AddStatsSelection(*sub, o->in, true);
    AddFolderOption(*sub, o->folder);
  }
  AddOptional(*set, "--value", o->value, "the new drift")
      ->type_name("V")->required()->transform(Number(-1e12, 1e12));
  DeclareFill(*fill, *o);
  return [o, set, fill] {
    if (fill->parsed()) return RunFill(*o);
    o->action = set->parsed() ? "set" : "show";
    return RunDriftFile(*o);
  };
}

CliCommand reg{"drift-file", "show, replace, or fill from the orbit files, the drifts of the imitator and plan drift files",
               Declare};

}  // namespace
}  // namespace torvik::cli
