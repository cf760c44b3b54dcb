// torvik6-cli table: the tabular place of a body from one of the ten historic
// tables, as the observation reader gets it from the table's cells.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/textfile.h"
#include "observe/sources.h"

namespace torvik::cli {
namespace {

// "D.M.Y" with whole numbers; the year may be negative (astronomical).
bool ParseDate(const std::string& text, double date[3]) {
  std::size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const std::size_t dot = i < 2 ? text.find('.', start) : text.size();
    if (dot == std::string::npos) return false;
    const auto v = ParseNumber(text.substr(start, dot - start));
    if (!v || *v != std::trunc(*v)) return false;
    date[i] = *v;
    start = dot + 1;
  }
  return true;
}

struct Options {
  std::string name;
  int body = 0;
  std::string date;
  double hours = 0;
  std::filesystem::path folder;
  bool builtin = false;
};

int RunTable(const Options& o) {
  const int index = TableNumber(o.name);  // the workbook's name or the option's caption
  if (index == 0) return BadArgs("table", "unknown table: " + o.name);
  const std::optional<int> body = o.body;
  if (*body == 3 || *body > 4)
    return BadArgs("table", "--body: the tables give only 0 Sun, 1 Mercury, 2 Venus and 4 Mars");
  const std::optional<std::string> dateText = o.date;
  const double hours = o.hours;
  double dmy[3];
  if (!ParseDate(*dateText, dmy) || dmy[0] < 1 || dmy[0] > 35 || dmy[1] < 1 || dmy[1] > 12 ||
      std::fabs(dmy[2]) > 100000)
    return BadArgs("table", "--date: " + *dateText + " is not D.M.Y (day 1..35, month 1..12)");
  StepDate d;
  d.CurY = static_cast<std::int32_t>(dmy[2]);
  d.CurM = static_cast<std::int16_t>(dmy[1]);
  d.CurDay = static_cast<std::int16_t>(dmy[0]);
  d.CurH = static_cast<float>(hours);
  d.CurD = static_cast<float>(dmy[0] + hours / 24);

  // The source is opened as the observation run opens it: the workbook of
  // the program folder first, else the calculator.
  ObservationSource src{o.folder};
  src.SetBuiltinOnly(o.builtin);
  SourcePositions pos;
  const auto b = static_cast<std::size_t>(*body);
  const SelectResult selected = src.SelectTable(index);
  if (selected.message) return PrintUserMessage(*selected.message);
  if (src.servedBy() != kBuiltinTable) std::fprintf(stderr, "torvik6-cli table: %s\n", src.servedBy().c_str());
  if (!selected.opened || src.ReadTablePosition(d, *body, pos)) {
    std::fprintf(stderr, "torvik6-cli table: %s\n", kTableFault);
    return kFailed;
  }
  std::printf("L %s\nB %s\nPtab %s\n", NumberText(pos.PosL[b]).c_str(), NumberText(pos.PosB[b]).c_str(),
              NumberText(pos.Ptab).c_str());
  return kOk;
}

Action DeclareTable(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "Prints the tabular longitude L and latitude B (degrees) of body K and the table's\n"
      "precession Ptab, one per line as NAME VALUE, as the observation run reads them from\n"
      "the table's cells. The date is the table's own: Egyptian years from Nabonassar\n"
      "(Almagest) or Philip (HandyTables), Julian otherwise; local time of the table's\n"
      "meridian, H hours after noon (after midnight for PrutenticTables).\n"
      "The table's workbook DIR\\Tab\\NAME.xls (or .xlsx, .ods) serves when it exists,\n"
      "through LibreOffice Calc; otherwise, or with --builtin, the built-in calculator.\n"
      "A workbook that served is named on stderr.\n"
      "Example: torvik6-cli table AlfonsoTab --body 4 --date 3.7.1327");
  app.add_option("NAME", o->name,
                 "AlBattani AlfonsoTab AlKhwarizmi Almagest HandyTables PrutenticTables\n"
                 "RudolphineTables Streete ToledanTables Wing (or the option captions\n"
                 "Alfonso, Handy, Prutentic, Rudolphine, Toledan)")
      ->required();
  app.add_option("--body", o->body, "0 Sun, 1 Mercury, 2 Venus, 4 Mars")
      ->type_name("K")->required()->transform(Whole(0, 10));
  app.add_option("--date", o->date, "the table's date")->type_name("D.M.Y")->required();
  app.add_option("--hours", o->hours, "hours after noon")
      ->type_name("H")->transform(Number(0, 24))->capture_default_str();
  AddFolderOption(app, o->folder);
  app.add_flag("--builtin", o->builtin, "the built-in calculator even when the table's workbook exists");
  return [o] { return RunTable(*o); };
}

const CliCommand kTable{"table", "NAME --body K --date D.M.Y [--hours H] [--folder DIR] -> tabular L, B, Ptab",
                        DeclareTable};

}  // namespace
}  // namespace torvik::cli
