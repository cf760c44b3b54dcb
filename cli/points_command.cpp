// torvik6-cli points: deletes or adds a point of a run file as "Удалить точку №"
// and "Добавить в файл точку от" of the statistics screen do.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/stats_selection.h"

namespace torvik::cli {
namespace {

constexpr const char* kHelp =
    "usage: torvik6-cli points delete N [selection] [--folder DIR]\n"
    "       torvik6-cli points add DAY MONTH YEAR VALUE [--element P] [--replace] [selection] [--folder DIR]\n"
    "\n"
    "Rewrites a run file: the plan-experiment file \\PlanK\\TxtP\\TorvikPRasBE.txt (--plan K\n"
    "--experiment E [--kind B4D|O4K]) or the imitator file \\FOLDER\\TorvikPNab.txt\n"
    "(--imitator NEW|APC|JPL|Mox), planet --planet P (defaults: plan 1, B4D, experiment 1,\n"
    "planet 1). delete removes point N (1 moves the start date). add inserts a point at\n"
    "the date (day with fraction) with VALUE in element P (default 1, the others 0); when a\n"
    "point has that date already, --replace sets its element instead (without it the file\n"
    "is written unchanged).\n";

int RunPoints(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  const bool del = !args.empty() && args[0] == "delete", add = !args.empty() && args[0] == "add";
  if (!del && !add) return BadArgs("points", "delete or add is missing");
  if (args.size() < (del ? 2u : 5u)) return BadArgs("points", del ? "delete needs N" : "add needs DAY MONTH YEAR VALUE");
  StatsInputs in;
  ReadStatsSelection(args, in, false);
  if (del) {
    in.deleteNo = static_cast<std::int32_t>(ArgNumber(args[1], "N", 1, 2e9));
  } else {
    in.addDay = static_cast<float>(ArgNumber(args[1], "DAY", 0, 32));
    in.addMonth = static_cast<std::int32_t>(ArgNumber(args[2], "MONTH", 1, 12));
    in.addYear = static_cast<std::int32_t>(ArgNumber(args[3], "YEAR", -1e6, 1e6));
    in.addValue = ArgNumber(args[4], "VALUE", -1e12, 1e12);
  }
  Statistics st({}, FolderOption(args));
  const bool replace = HasFlag(args, "--replace");
  st.ask = [replace](const UserMessage& q) { return q.text != SameDateQuestion().text || replace; };
  StatsOutcome o = st.LoadRunFile(in);
  if (o.message) return PrintUserMessage(*o.message);
  o = del ? st.DeletePoint(in) : st.AddPoint(in);
  if (o.message) return PrintUserMessage(*o.message);
  std::printf("%d points in %s\n", st.points().NPoint, st.points().RunPath.c_str());
  return kOk;
}

CliCommand reg{"points", "delete or add a point of a run file as the statistics screen does", RunPoints};

}  // namespace
}  // namespace torvik::cli
