// The file selections of the statistics screen as options of the drift-file
// and points commands: --imitator FOLDER (the imitator files) or --plan K
// (the plan files, --kind B4D|O4K), with --planet P and --experiment E.
#pragma once

#include <string>

#include "cli/command.h"
#include "stats/statistics.h"

namespace torvik::cli {

// Fills the selections of `in` from the options; throws BadOption.
inline void ReadStatsSelection(const Args& args, StatsInputs& in, bool otherFolder) {
  if (auto f = OptionText(args, "--imitator")) {
    if (*f != "NEW" && *f != "APC" && *f != "JPL" && *f != "Mox" && !(otherFolder && *f == "Other"))
      throw BadOption("--imitator: " + *f + (otherFolder ? " is not NEW, APC, JPL, Mox or Other" : " is not NEW, APC, JPL or Mox"));
    in.imitatorSource = true;
    in.imitatorFolder = *f;
  }
  in.plan = static_cast<int>(OptionInt(args, "--plan", 0, 32767).value_or(in.plan));
  in.planet = static_cast<int>(OptionInt(args, "--planet", 1, 10).value_or(in.planet));
  in.experiment = static_cast<int>(OptionInt(args, "--experiment", 1, 32767).value_or(in.experiment));
  in.p = static_cast<int>(OptionInt(args, "--element", 1, 6).value_or(in.p));
  if (auto k = OptionText(args, "--kind")) {
    if (*k != "B4D" && *k != "O4K") throw BadOption("--kind: " + *k + " is not B4D or O4K");
    in.planLetter = (*k)[0];
  }
}

}  // namespace torvik::cli
