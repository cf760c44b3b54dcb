// torvik6-cli drift-file: shows the imitator or plan drift file, replaces one
// drift in it, as "Загрузить значения смещений в файле" and "Изменить это
// смещение на рассчитанное" of the statistics screen do, and fills it from the
// orbit files of the plan's experiments or of the imitator (FillDrifts).
#include <cstdio>
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

constexpr const char* kHelp =
    "usage: torvik6-cli drift-file show|set [--folder DIR] (--imitator FOLDER | --plan K [--kind B4D|O4K])\n"
    "                                  [--planet P] [--experiment E] [--element P] [--value V]\n"
    "       torvik6-cli drift-file fill [--folder DIR] (--imitator FOLDER | --plan K [--kind B4D|O4K]\n"
    "                                  [--from I --to J]) [--planet P] [--element P|all] [fit options]\n"
    "\n"
    "show  prints the records of the drift file: the imitator file \\FOLDER\\TorvikNab.dat\n"
    "      (FOLDER NEW, APC, JPL, Mox or Other; one line per planet) or the plan file\n"
    "      \\PlanK\\TorvikPRasB.dat (RasO for O4K; one line per experiment): the record\n"
    "      number and the six drifts per 100 years.\n"
    "set   replaces the drift of the planet (and, for a plan file, the experiment) and\n"
    "      element by V (truncated to 10^-6 in the file) and rewrites the file.\n"
    "fill  writes the drift of each orbit file into the drift file: of the imitator\n"
    "      file \\FOLDER\\TorvikPNab.txt (FOLDER NEW, APC, JPL or Mox), or of the plan\n"
    "      experiments I..J (default 1 to 24, 25 for O4K) \\PlanK\\TxtP\\TorvikPRasBI.txt;\n"
    "      each file loaded and processed as the statistics screen does, the drift\n"
    "      replaced as \"Изменить это смещение на рассчитанное\" does. Prints one line per\n"
    "      file and element: experiment, orbit file, element, drift, limit. A missing or\n"
    "      damaged orbit file is named on stderr and skipped; the exit status is then 1.\n"
    "      Fit options (the screen's defaults): --ncoef N (2), --group N (5), --t0 Y (the\n"
    "      year the file starts), --tyear Y (2000), --sweep with --criterion\n"
    "      min|maxmin|sr (maxmin), --points-from I --points-to J (all points).\n"
    "A drift file that is not there yet is created with zeros in its layout (show, set,\n"
    "fill); a damaged one is refused and never overwritten.\n"
    "Defaults are the screen's: plan 1, B4D, planet 1, experiment 1, element 1.\n";

// drift-file fill.
int RunFill(const Args& all) {
  // "--element all" is not a number: taken out before the common selection.
  Args args;
  std::vector<int> elements;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if ((all[i] == "--element" && i + 1 < all.size() && all[i + 1] == "all") || all[i] == "--element=all") {
      elements = {1, 2, 3, 4, 5, 6};
      if (all[i] == "--element") ++i;
      continue;
    }
    args.push_back(all[i]);
  }
  if (auto bad = UnknownArgument(Args(args.begin() + 1, args.end()),
                                 {"--folder", "--imitator", "--plan", "--kind", "--planet", "--element", "--from", "--to",
                                  "--ncoef", "--group", "--t0", "--tyear", "--criterion", "--points-from",
                                  "--points-to"},
                                 {"--sweep"}))
    return BadArgs("drift-file", "unknown argument " + *bad);
  StatsInputs sel;
  ReadStatsSelection(args, sel, false);
  if (elements.empty()) elements = {sel.p};
  DriftFill f;
  f.imitator = sel.imitatorSource;
  f.imitatorFolder = sel.imitatorFolder;
  f.plan = sel.plan;
  f.planLetter = sel.planLetter;
  f.planet = sel.planet;
  f.elements = elements;
  const int n = ExperimentCount(sel.planLetter);
  f.from = static_cast<int>(OptionInt(args, "--from", 1, n).value_or(1));
  f.to = static_cast<int>(OptionInt(args, "--to", 1, n).value_or(n));
  if (f.from > f.to) return BadArgs("drift-file", "--from is after --to");
  f.fit.NCoef = static_cast<int>(OptionInt(args, "--ncoef", 1, 3).value_or(f.fit.NCoef));
  f.fit.NCP = static_cast<std::int32_t>(OptionInt(args, "--group", 1, 1000000000).value_or(f.fit.NCP));
  f.fit.TYear = OptionNumber(args, "--tyear", -1e6, 1e6).value_or(f.fit.TYear);
  if (auto t0 = OptionInt(args, "--t0", -1000000, 1000000)) f.fit.T0 = static_cast<std::int32_t>(*t0), f.ownT0 = true;
  f.fit.sweep = HasFlag(args, "--sweep");
  if (auto c = OptionText(args, "--criterion")) {
    if (*c == "min") f.fit.criterion = Criterion::Min;
    else if (*c == "maxmin") f.fit.criterion = Criterion::MaxMin;
    else if (*c == "sr") f.fit.criterion = Criterion::Sr;
    else throw BadOption("--criterion: " + *c + " is not min, maxmin or sr");
  }
  f.pointsFrom = static_cast<int>(OptionInt(args, "--points-from", 1, 1000000000).value_or(0));
  f.pointsTo = static_cast<int>(OptionInt(args, "--points-to", 1, 1000000000).value_or(0));

  const auto folder = FolderOption(args);
  if (!PrepareProgramFolder("drift-file", folder, false)) return kFailed;
  const DriftFillResult r = FillDrifts(folder, f);
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

int RunDriftFile(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  if (!args.empty() && args[0] == "fill") return RunFill(args);
  if (args.empty() || (args[0] != "show" && args[0] != "set")) return BadArgs("drift-file", "show, set or fill is missing");
  StatsInputs in;
  ReadStatsSelection(args, in, true);
  const auto value = OptionNumber(args, "--value", -1e12, 1e12);
  if (args[0] == "set" && !value) return BadArgs("drift-file", "set needs --value V");
  const auto folder = FolderOption(args);
  const std::string rel = in.imitatorSource ? ImitatorDriftPath(in.imitatorFolder)
                                            : PlanDriftPath(in.plan, in.planet, in.planLetter);
  std::error_code ec;
  if (args[0] == "show" && !std::filesystem::exists(ResolvePath(folder, rel), ec))
    return PrintUserMessage(ReadErrorMessage(rel));  // a look creates nothing
  if (args[0] == "set" && !PrepareProgramFolder("drift-file", folder, false)) return kFailed;
  Statistics st({}, folder);
  StatsOutcome o = st.LoadDriftFile(in);
  if (o.message) return PrintUserMessage(*o.message);
  if (args[0] == "set") {
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

CliCommand reg{"drift-file", "show, replace or fill from the orbit files the drifts of the imitator and plan drift files", RunDriftFile};

}  // namespace
}  // namespace torvik::cli
