// The historic tables: a 200-year run of every table through its cells, one
// step a day (date written, recalculated, the four bodies read), as an
// observation run drives it. Prints the run time and evaluations per second.
// Usage: tables_bench
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>

#include "observe/workbook.h"

int main() {
  struct Table {
    const char* name;
    int sheet;
    const char *year, *month, *day, *hours, *sun;  // input cells and the Sun's cell
    int sunSheet;
    double startYear;
  } tables[] = {
      {"Almagest", 1, "B6", "C6", "D6", "E6", "N20", 2, 748},
      {"HandyTables", 1, "C6", "D6", "E6", "F6", "W37", 2, 324},
      {"AlBattani", 1, "D9", "C9", "B9", "F9", "C14", 1, 900},
      {"AlKhwarizmi", 1, "D9", "C9", "B9", "F9", "C14", 1, 800},
      {"ToledanTables", 1, "D9", "C9", "B9", "F9", "C14", 1, 1080},
      {"AlfonsoTab", 1, "D13", "C13", "B13", "F13", "D46", 1, 1200},
      {"PrutenticTables", 1, "D9", "C9", "B9", "F9", "F18", 1, 1600},
      {"RudolphineTables", 1, "C10", "D10", "E10", "F10", "C13", 1, 1600},
      {"Streete", 1, "C14", "D14", "E14", "F14", "D25", 1, 1620},
      {"Wing", 1, "C14", "D14", "E14", "F14", "P19", 3, 1620},
  };
  const int days = 200 * 365;
  double total = 0, totalCpu = 0;
  for (const auto& t : tables) {
    auto book = torvik::MakeTableWorkbook(t.name);
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    double sum = 0;
    torvik::CellValue v;
    for (int d = 0; d < days; ++d) {
      // The day keeps counting past the month: every calendar of the tables
      // takes it as a day count, as the run's normalisation would fold it.
      book->SetNumber(t.sheet, t.year, t.startYear);
      book->SetNumber(t.sheet, t.month, 1);
      book->SetNumber(t.sheet, t.day, 1 + d);
      book->SetNumber(t.sheet, t.hours, 0);
      if (!book->Recalculate()) return 1;
      book->Get(t.sunSheet, t.sun, &v);
      sum += v.number;
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    total += s;
    totalCpu += cpu;
    std::printf("%-17s 200 years daily: %.3f s (cpu %.3f s), %.0f evaluations/s of cpu (%g)\n", t.name, s, cpu, days / cpu, sum * 0);
  }
  std::printf("all ten tables: %.3f s (cpu %.3f s)\n", total, totalCpu);
  return 0;
}
