// Shared pieces of the statistics tests: a scratch program folder, small run
// files written from a table of rows, and the 400-year Mercury orbit file.
#pragma once

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/textfile.h"
#include "stats/points.h"

namespace torvik::test {

namespace fs = std::filesystem;

inline constexpr double kArcsecond = 1.0;  // drift units of the angles: arcseconds per 100 years

struct TempFolder {
  fs::path path;
  explicit TempFolder(const std::string& name) {
    path = fs::temp_directory_path() / ("torvik6_stats_" + name + "_" + std::to_string(::getpid()));
    fs::remove_all(path);
    // Only the folders these tests use (the whole standard tree is slow to make on a busy disk).
    for (const char* f : {"Plan1/Txt1", "NEW", "APC", "JPL"}) fs::create_directories(path / f);
  }
  ~TempFolder() { fs::remove_all(path); }
};

inline std::string ReadBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// One record of a small run file: days after the start and the six elements
// in stored units (degrees, pure number, thousand km, days).
struct Row {
  double t;
  std::array<double, 6> v;
};

// The lines of a run file with the given count line, start JD and records
// (written by the program's own writer, numbered 1..n).
inline std::vector<std::string> RunLines(double JDstart, const std::vector<Row>& rows, int count = -1) {
  PointTable t;
  t.header = {"эксперимент № 1 для объекта № 1 от  10.12.2026", "основной шаг решения 3600 сек",
              "КЛАССИКА   JPL          VXsys=  0,5", " № замера     прошло дней   перигелий"};
  t.JDfile = JDstart;
  for (const Row& r : rows) t.Add(r.t, {0, r.v[0], r.v[1], r.v[2], r.v[3], r.v[4], r.v[5]});
  auto lines = RunFileLines(t);
  if (count >= 0) lines[4] = PrintLine().Num(count).Num(Fix(100 * JDstart)).str();
  return lines;
}

// Rows with perihelion value f(i) at t = i·step days, i = 1..n (other elements fixed).
template <typename F>
std::vector<Row> Series(int n, double step, F f) {
  std::vector<Row> rows;
  for (int i = 1; i <= n; ++i) rows.push_back({i * step, {f(i), 48.5, 7.0, 0.2056, 57909.0, 87.97}});
  return rows;
}

inline fs::path MercuryFile() { return fs::path(TORVIK6_TEST_DATA) / "stats" / "Torvik1RasB1_400y.txt"; }

}  // namespace torvik::test
