// The file selections of the statistics screen as options of the drift-file
// and points commands: --imitator FOLDER (the imitator files) or --plan K
// (the plan files, --kind B4D|O4K), with --planet P and --experiment E.
#pragma once

#include <string>
#include <vector>

#include "cli/command.h"
#include "stats/statistics.h"

namespace torvik::cli {

// Declares the selection options on `app`, filling `in` (which lives as long
// as the parse); `otherFolder` admits the imitator folder Other.
inline void AddStatsSelection(CLI::App& app, StatsInputs& in, bool otherFolder) {
  std::vector<std::string> folders = {"NEW", "APC", "JPL", "Mox"};
  if (otherFolder) folders.push_back("Other");
  app.add_option_function<std::string>(
         "--imitator",
         [&in](const std::string& f) {
           in.imitatorSource = true;
           in.imitatorFolder = f;
         },
         "the imitator files \\FOLDER\\ instead of the plan files")
      ->type_name("FOLDER")->check(OneOf(folders));
  app.add_option("--plan", in.plan, "plan number")->type_name("K")->transform(Whole(0, 32767))->capture_default_str();
  app.add_option_function<std::string>("--kind", [&in](const std::string& k) { in.planLetter = k[0]; },
                                       "the plan's kind")
      ->type_name("B4D|O4K")->check(OneOf({"B4D", "O4K"}))->default_str("B4D");
  app.add_option("--planet", in.planet, "planet")->type_name("P")->transform(Whole(1, 10))->capture_default_str();
  app.add_option("--experiment", in.experiment, "experiment")
      ->type_name("E")->transform(Whole(1, 32767))->capture_default_str();
  app.add_option("--element", in.p, "element, 1 perihelion … 6 period")
      ->type_name("P")->transform(Whole(1, 6))->capture_default_str();
}

}  // namespace torvik::cli
