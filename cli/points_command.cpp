// torvik6-cli points: deletes or adds a point of a run file as "Удалить точку №"
// and "Добавить в файл точку от" of the statistics screen do.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "cli/stats_selection.h"

namespace torvik::cli {
namespace {

struct Options {
  StatsInputs in;
  bool replace = false;
  std::filesystem::path folder;
};

int RunPoints(Options& opt, bool del) {
  StatsInputs& in = opt.in;
  Statistics st({}, opt.folder);
  const bool replace = opt.replace;
  st.ask = [replace](const UserMessage& q) { return q.text != SameDateQuestion().text || replace; };
  StatsOutcome o = st.LoadRunFile(in);
  if (o.message) return PrintUserMessage(*o.message);
  o = del ? st.DeletePoint(in) : st.AddPoint(in);
  if (o.message) return PrintUserMessage(*o.message);
  std::printf("%d points in %s\n", st.points().NPoint, st.points().RunPath.c_str());
  return kOk;
}

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  StatsInputs& in = o->in;
  app.description(
      "Rewrites a run file: the plan-experiment file \\PlanK\\TxtP\\TorvikPRasBE.txt (--plan K\n"
      "--experiment E [--kind B4D|O4K]) or the imitator file \\FOLDER\\TorvikPNab.txt\n"
      "(--imitator NEW|APC|JPL|Mox), planet --planet P.");
  app.require_subcommand(1);
  CLI::App* del = app.add_subcommand("delete", "removes point N\nRemoves point N (1 moves the start date).");
  del->add_option("N", in.deleteNo, "the point")->required()->transform(Whole(1, 2000000000));
  CLI::App* add = app.add_subcommand(
      "add",
      "inserts a point\n"
      "Inserts a point at the date (day with fraction) with VALUE in element P (the others 0);\n"
      "when a point has that date already, --replace sets its element instead (without it the\n"
      "file is written unchanged)");
  add->add_option("DAY", in.addDay, "day with fraction")->required()->transform(Number(0, 32));
  add->add_option("MONTH", in.addMonth, "month")->required()->transform(Whole(1, 12));
  add->add_option("YEAR", in.addYear, "year")->required()->transform(Whole(-1000000, 1000000));
  add->add_option("VALUE", in.addValue, "the value")->required()->transform(Number(-1e12, 1e12));
  add->add_flag("--replace", o->replace, "replaces the element of a point of the same date");
  for (CLI::App* sub : {del, add}) {
    AddStatsSelection(*sub, in, false);
    AddFolderOption(*sub, o->folder);
  }
  return [o, del] { return RunPoints(*o, del->parsed()); };
}

CliCommand reg{"points", "delete or add a point of a run file as the statistics screen does", Declare};

}  // namespace
}  // namespace torvik::cli
