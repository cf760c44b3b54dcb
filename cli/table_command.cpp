// torvik6-cli table: the tabular place of a body from one of the ten historic
// tables, as the observation reader gets it from the table's cells.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/command.h"
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

int RunTable(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli table NAME --body K --date D.M.Y [--hours H]\n"
        "Prints the tabular longitude L and latitude B (degrees) of body K (0 Sun,\n"
        "1 Mercury, 2 Venus, 4 Mars) and the table's precession Ptab, one per line as\n"
        "NAME VALUE, as the observation run reads them from the table's cells.\n"
        "The date is the table's own: Egyptian years from Nabonassar (Almagest) or\n"
        "Philip (HandyTables), Julian otherwise; local time of the table's meridian,\n"
        "H hours after noon (after midnight for PrutenticTables).\n"
        "Tables: AlBattani AlfonsoTab AlKhwarizmi Almagest HandyTables PrutenticTables\n"
        "RudolphineTables Streete ToledanTables Wing (or the option captions Alfonso,\n"
        "Handy, Prutentic, Rudolphine, Toledan)\n"
        "Example: torvik6-cli table AlfonsoTab --body 4 --date 3.7.1327\n");
    return kOk;
  }
  if (args.empty() || args[0].rfind("--", 0) == 0) return BadArgs("table", "expected NAME first");
  const int index = TableNumber(args[0]);  // the workbook's name or the option's caption
  if (index == 0) return BadArgs("table", "unknown table: " + args[0]);
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--body" || a == "--date" || a == "--hours") {
      ++i;
    } else if (a.rfind("--body=", 0) != 0 && a.rfind("--date=", 0) != 0 && a.rfind("--hours=", 0) != 0) {
      return BadArgs("table", "unknown argument: " + a);
    }
  }
  const auto body = OptionInt(args, "--body", 0, 10);
  if (!body) return BadArgs("table", "missing --body K");
  if (*body == 3 || *body > 4)
    return BadArgs("table", "--body: the tables give only 0 Sun, 1 Mercury, 2 Venus and 4 Mars");
  const auto dateText = OptionText(args, "--date");
  if (!dateText) return BadArgs("table", "missing --date D.M.Y");
  const double hours = OptionNumber(args, "--hours", 0, 24).value_or(0);
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

  // The calculators need no files: the source is opened as the observation run opens it.
  ObservationSource src{std::filesystem::path{}};
  SourcePositions pos;
  const auto b = static_cast<std::size_t>(*body);
  if (!src.SelectTable(index).opened || src.ReadTablePosition(d, *body, pos)) {
    std::fprintf(stderr, "torvik6-cli table: %s\n", kTableFault);
    return kFailed;
  }
  std::printf("L %s\nB %s\nPtab %s\n", NumberText(pos.PosL[b]).c_str(), NumberText(pos.PosB[b]).c_str(),
              NumberText(pos.Ptab).c_str());
  return kOk;
}

const CliCommand kTable{"table", "NAME --body K --date D.M.Y [--hours H] -> tabular L, B, Ptab", RunTable};

}  // namespace
}  // namespace torvik::cli
