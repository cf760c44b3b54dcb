// torvik6-cli drift-file: shows the imitator or plan drift file and replaces
// one drift in it, as "Загрузить значения смещений в файле" and "Изменить это
// смещение на рассчитанное" of the statistics screen do.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/stats_selection.h"
#include "core/textfile.h"

namespace torvik::cli {
namespace {

struct Options {
  std::string action;
  StatsInputs in;
  std::optional<double> value;
  std::filesystem::path folder;
};

int RunDriftFile(Options& opt) {
  StatsInputs& in = opt.in;
  const auto& value = opt.value;
  const bool set = opt.action == "set";
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

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.require_subcommand(1);
  CLI::App* show = app.add_subcommand("show", "prints the records of the drift file");
  show->description(
      "prints the records of the drift file\n"
      "Prints the records of the drift file: the imitator file \\FOLDER\\TorvikNab.dat\n"
      "(FOLDER NEW, APC, JPL, Mox or Other; one line per planet) or the plan file\n"
      "\\PlanK\\TorvikPRasB.dat (RasO for O4K; one line per experiment): the record number\n"
      "and the six drifts per 100 years.");
  CLI::App* set = app.add_subcommand("set", "replaces one drift and rewrites the file");
  set->description(
      "replaces one drift and rewrites the file\n"
      "Replaces the drift of the planet (and, for a plan file, the experiment) and element by\n"
      "V (truncated to 10^-6 in the file), rewrites the file and prints its records.");
  for (CLI::App* sub : {show, set}) {
    AddStatsSelection(*sub, o->in, true);
    AddFolderOption(*sub, o->folder);
  }
  AddOptional(*set, "--value", o->value, "the new drift")
      ->type_name("V")->required()->transform(Number(-1e12, 1e12));
  return [o, set] {
    o->action = set->parsed() ? "set" : "show";
    return RunDriftFile(*o);
  };
}

CliCommand reg{"drift-file", "show or replace drifts of the imitator and plan drift files", Declare};

}  // namespace
}  // namespace torvik::cli
