// torvik6-cli table: the tabular place of a body from one of the ten historic
// tables, as the observation reader gets it from the table's cells.
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "core/textfile.h"
#include "observe/workbook.h"

namespace torvik::cli {
namespace {

// ---- Reading the cells of a table -------------------------------------------
// The few lines of the observation reader this command needs: the input cells,
// the precession cell and each body's longitude and latitude cells, with the
// notes of the cell table (Almagest: latitudes in arcminutes, Mars's side in
// AE30; Alfonsine: latitude 0; al-Khwarizmi: the precession added to the
// longitude). To be replaced by the shared reader of the observation screen.
struct Ref {
  int sheet;
  const char* cell;  // "" = no cell: the value is 0
};
struct TableCells {
  const char* name;
  Ref year, month, day, hours, ptab;
  Ref lon[4], lat[4];  // Sun, Mercury, Venus, Mars
};
constexpr Ref kNone{1, ""};
constexpr TableCells kCells[] = {
    {"AlBattani", {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, kNone,
     {{1, "C14"}, {1, "C20"}, {1, "C19"}, {1, "C18"}}, {kNone, {1, "F20"}, {1, "F19"}, {1, "F18"}}},
    {"AlfonsoTab", {1, "D13"}, {1, "C13"}, {1, "B13"}, {1, "F13"}, {1, "D39"},
     {{1, "D46"}, {1, "D145"}, {1, "D128"}, {1, "D112"}}, {kNone, kNone, kNone, kNone}},
    {"AlKhwarizmi", {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, {1, "C22"},
     {{1, "C14"}, {1, "C20"}, {1, "C19"}, {1, "C18"}}, {kNone, {1, "F20"}, {1, "F19"}, {1, "F18"}}},
    {"Almagest", {1, "B6"}, {1, "C6"}, {1, "D6"}, {1, "E6"}, kNone,
     {{2, "N20"}, {8, "AD61"}, {7, "AD61"}, {6, "AD57"}}, {kNone, {8, "AD36"}, {7, "AD36"}, {6, "AF30"}}},
    {"HandyTables", {1, "C6"}, {1, "D6"}, {1, "E6"}, {1, "F6"}, kNone,
     {{2, "W37"}, {9, "Y50"}, {8, "Y50"}, {7, "Y50"}}, {kNone, {9, "Y84"}, {8, "Y84"}, {7, "Y83"}}},
    {"PrutenticTables", {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, {2, "K19"},
     {{1, "F18"}, {1, "F24"}, {1, "F23"}, {1, "F22"}}, {kNone, {1, "I24"}, {1, "I23"}, {1, "I22"}}},
    {"RudolphineTables", {1, "C10"}, {1, "D10"}, {1, "E10"}, {1, "F10"}, {3, "F27"},
     {{1, "C13"}, {1, "C19"}, {1, "C18"}, {1, "C17"}}, {kNone, {1, "G19"}, {1, "G18"}, {1, "G17"}}},
    {"Streete", {1, "C14"}, {1, "D14"}, {1, "E14"}, {1, "F14"}, {1, "G20"},
     {{1, "D25"}, {9, "S35"}, {8, "S35"}, {7, "S35"}}, {kNone, {9, "S41"}, {8, "S41"}, {7, "S41"}}},
    {"ToledanTables", {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, {2, "F16"},
     {{1, "C14"}, {1, "C20"}, {1, "C19"}, {1, "C18"}}, {kNone, {1, "F20"}, {1, "F19"}, {1, "F18"}}},
    {"Wing", {1, "C14"}, {1, "D14"}, {1, "E14"}, {1, "F14"}, kNone,
     {{3, "P19"}, {8, "V51"}, {7, "V48"}, {6, "V48"}}, {kNone, {8, "V52"}, {7, "V49"}, {6, "V49"}}},
};

struct TableRead {
  double L = 0, B = 0, Ptab = 0;
};

// Writes the date, recalculates and reads; false on any failure of the workbook.
bool ReadTable(Workbook& book, const TableCells& t, int slot, const double date[4], TableRead* out) {
  const Ref in[4] = {t.year, t.month, t.day, t.hours};
  for (int i = 0; i < 4; ++i)
    if (!book.SetNumber(in[i].sheet, in[i].cell, date[i])) return false;
  if (!book.Recalculate()) return false;
  bool ok = true;
  auto get = [&](Ref r) {
    CellValue v;
    if (*r.cell == '\0') return CellValue{};
    ok = ok && book.Get(r.sheet, r.cell, &v);
    return v;
  };
  const std::string_view name = t.name;
  out->Ptab = get(t.ptab).number;
  out->L = get(t.lon[slot]).number + (name == "AlKhwarizmi" ? out->Ptab : 0);
  out->B = get(t.lat[slot]).number;
  if (name == "Almagest") {
    out->B /= 60;
    if (slot == 3 && get({6, "AE30"}).text == "S") out->B = -out->B;
  }
  return ok;
}
// ---- end of the cell reading ------------------------------------------------

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
        "RudolphineTables Streete ToledanTables Wing\n"
        "Example: torvik6-cli table AlfonsoTab --body 4 --date 3.7.1327\n");
    return kOk;
  }
  if (args.empty() || args[0].rfind("--", 0) == 0) return BadArgs("table", "expected NAME first");
  const TableCells* cells = nullptr;
  for (const TableCells& t : kCells)
    if (args[0] == t.name) cells = &t;
  if (!cells) return BadArgs("table", "unknown table: " + args[0]);
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
  const int slot = *body == 0 ? 0 : *body == 1 ? 1 : *body == 2 ? 2 : *body == 4 ? 3 : -1;
  if (slot < 0) return BadArgs("table", "--body: the tables give only 0 Sun, 1 Mercury, 2 Venus and 4 Mars");
  const auto dateText = OptionText(args, "--date");
  if (!dateText) return BadArgs("table", "missing --date D.M.Y");
  double date[4] = {0, 0, 0, OptionNumber(args, "--hours", 0, 24).value_or(0)};
  double dmy[3];
  if (!ParseDate(*dateText, dmy) || dmy[0] < 1 || dmy[0] > 35 || dmy[1] < 1 || dmy[1] > 12 ||
      std::fabs(dmy[2]) > 100000)
    return BadArgs("table", "--date: " + *dateText + " is not D.M.Y (day 1..35, month 1..12)");
  date[0] = dmy[2], date[1] = dmy[1], date[2] = dmy[0];

  auto book = MakeTableWorkbook(cells->name);
  TableRead r;
  if (!book || !ReadTable(*book, *cells, slot, date, &r)) {
    std::fprintf(stderr, "torvik6-cli table: Ошибка вычислений в таблицах\n");
    return kFailed;
  }
  std::printf("L %s\nB %s\nPtab %s\n", NumberText(r.L).c_str(), NumberText(r.B).c_str(), NumberText(r.Ptab).c_str());
  return kOk;
}

const CliCommand kTable{"table", "NAME --body K --date D.M.Y [--hours H] -> tabular L, B, Ptab", RunTable};

}  // namespace
}  // namespace torvik::cli
