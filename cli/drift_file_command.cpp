// torvik6-cli drift-file: shows the imitator or plan drift file and replaces
// one drift in it, as "Загрузить значения смещений в файле" and "Изменить это
// смещение на рассчитанное" of the statistics screen do.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/stats_selection.h"
#include "core/textfile.h"

namespace torvik::cli {
namespace {

constexpr const char* kHelp =
    "usage: torvik6-cli drift-file show|set [--folder DIR] (--imitator FOLDER | --plan K [--kind B4D|O4K])\n"
    "                                  [--planet P] [--experiment E] [--element P] [--value V]\n"
    "\n"
    "show  prints the records of the drift file: the imitator file \\FOLDER\\TorvikNab.dat\n"
    "      (FOLDER NEW, APC, JPL, Mox or Other; one line per planet) or the plan file\n"
    "      \\PlanK\\TorvikPRasB.dat (RasO for O4K; one line per experiment): the record\n"
    "      number and the six drifts per 100 years.\n"
    "set   replaces the drift of the planet (and, for a plan file, the experiment) and\n"
    "      element by V (truncated to 10^-6 in the file) and rewrites the file.\n"
    "Defaults are the screen's: plan 1, B4D, planet 1, experiment 1, element 1.\n";

int RunDriftFile(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  if (args.empty() || (args[0] != "show" && args[0] != "set")) return BadArgs("drift-file", "show or set is missing");
  StatsInputs in;
  ReadStatsSelection(args, in, true);
  const auto value = OptionNumber(args, "--value", -1e12, 1e12);
  if (args[0] == "set" && !value) return BadArgs("drift-file", "set needs --value V");
  Statistics st({}, FolderOption(args));
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

CliCommand reg{"drift-file", "show or replace drifts of the imitator and plan drift files", RunDriftFile};

}  // namespace
}  // namespace torvik::cli
