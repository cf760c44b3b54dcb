// Reading orbit files into the point table and writing them back.
#include "stats/points.h"

#include <gtest/gtest.h>

#include "fixture.h"
#include "stats/statistics.h"

namespace torvik {
namespace {

using test::Row;
using test::RunLines;
using test::Series;

TEST(RunFileRead, RecordsAreReadToTheEndWhateverTheCountLineSays) {
  const auto rows = Series(25, 10.0, [](int i) { return 77.0 + i * 1e-6; });
  for (int count : {0, 10, 25, 1000000000}) {
    PointTable t;
    EXPECT_TRUE(ReadRunLines(RunLines(2451545.0, rows, count), t)) << count;
    EXPECT_EQ(t.NPoint, 25) << count;
    EXPECT_DOUBLE_EQ(t.JDfile, 2451545.0);
    EXPECT_DOUBLE_EQ(t.tDay[25], 250.0);
    EXPECT_DOUBLE_EQ(t.Par[25][1], 77.000025);
    EXPECT_DOUBLE_EQ(t.Par[25][5], 57909.0);  // metres / MK = thousand km
  }
}

TEST(RunFileRead, MalformedInputKeepsThePointsReadSoFar) {
  const auto good = RunLines(2451545.0, Series(5, 10.0, [](int) { return 1.0; }));
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    bool ok;
    int points;
  };
  auto with = [&](std::size_t at, const std::string& line) {
    auto l = good;
    l[at] = line;
    return l;
  };
  auto cut = [&](std::size_t n) { return std::vector<std::string>(good.begin(), good.begin() + static_cast<long>(n)); };
  auto plus = [&](const std::string& line) {
    auto l = good;
    l.push_back(line);
    return l;
  };
  const Case cases[] = {
      {"sound", good, true, 5},
      {"trailing blank lines", plus(""), true, 5},
      {"bad number in record 3", with(7, " 3  2000  1x5  2  3  4  5  6"), false, 2},
      {"record 5 cut short", with(9, " 5  5000  1000000  2"), false, 4},
      {"extra half record", plus(" 6  6000  7"), false, 5},
      {"only the header", cut(4), false, 0},
      {"bad count line", with(4, " many 245154500"), false, 0},
      {"empty file", {}, false, 0},
  };
  for (const Case& c : cases) {
    PointTable t;
    EXPECT_EQ(ReadRunLines(c.lines, t), c.ok) << c.name;
    EXPECT_EQ(t.NPoint, c.points) << c.name;
    EXPECT_EQ(t.tDay.size(), static_cast<std::size_t>(t.NPoint) + 1) << c.name;
  }
}

TEST(RunFileRead, HeaderLinesAreKeptWholeAndTheTitleIsFifteenCharacters) {
  PointTable t;
  ASSERT_TRUE(ReadRunLines(RunLines(2451545.0, Series(3, 1.0, [](int) { return 1.0; })), t));
  EXPECT_EQ(t.header[2], "КЛАССИКА   JPL          VXsys=  0,5");  // the decimal comma does not split it
  EXPECT_EQ(t.Title(), "КЛАССИКА   JPL ");
  PointTable missing;
  EXPECT_FALSE(ReadRunFile(test::fs::path("/nonexistent/Torvik1RasB1.txt"), missing));
  EXPECT_EQ(missing.NPoint, 0);
}

// A file read and written again keeps every time and element to the unit of
// its last digit (the values pass through value / 10^6 · 10^6).
TEST(RunFileRead, ABackwardRunLoadsAndAZeroScaleDoesNot) {
  test::TempFolder folder("backward");
  Statistics st({}, folder.path);
  StatsInputs in;
  WriteTextFile(ResolvePath(folder.path, Statistics::RunPathOf(in)),
                RunLines(2451545.0, Series(25, -100.0, [](int i) { return 77.0 - i * 1e-4; })));
  auto o = st.LoadRunFile(in);
  ASSERT_FALSE(o.message);
  EXPECT_EQ(st.plot().W, 3);
  in.IEnd = 25;
  EXPECT_FALSE(st.ProcessData(in).message);
  in.MP = 0;
  EXPECT_EQ(st.LoadRunFile(in).message->text, "Ошибка чтения данных из файла\r\n\\Plan1\\Txt1\\Torvik1RasB1.txt");
  EXPECT_EQ(st.points().NPoint, 25);  // the points stay
}

TEST(RunFileWrite, RewritingTheMercuryFileKeepsEveryValue) {
  auto original = ReadTextFile(test::MercuryFile());
  ASSERT_TRUE(original);
  PointTable t;
  ASSERT_TRUE(ReadRunLines(*original, t));
  EXPECT_EQ(t.NPoint, 3320);
  const auto written = RunFileLines(t);
  ASSERT_EQ(written.size(), original->size());
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(written[i], (*original)[i]);
  EXPECT_EQ(SplitFields(written[4])[1], SplitFields((*original)[4])[1]);
  EXPECT_EQ(SplitFields(written[4])[0], "3320");
  for (std::size_t i = 5; i < written.size(); ++i) {
    auto a = SplitFields(written[i]), b = SplitFields((*original)[i]);
    ASSERT_EQ(a.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(a.begin() + 1, a.end()), std::vector<std::string>(b.begin() + 1, b.end()))
        << "line " << i + 1;
  }
}

TEST(Stored, UnitsAndPaths) {
  // Drift units: arcseconds, millionths, thousand km, minutes per 100 years.
  const double factors[] = {0, 3600, 3600, 3600, 1e6, 1, 1440};
  for (int p = 1; p <= 6; ++p) EXPECT_EQ(UFactor(p), factors[p]) << p;
  EXPECT_EQ(PlanRunPath(1, 3, 'B', 5), "\\Plan1\\Txt3\\Torvik3RasB5.txt");
  EXPECT_EQ(PlanRunPath(12, 10, 'O', 25), "\\Plan12\\Txt10\\Torvik10RasO25.txt");
  EXPECT_EQ(ImitatorRunPath("Mox", 4), "\\Mox\\Torvik4Nab.txt");
  // Truncation toward zero, except values that are an integer up to rounding.
  EXPECT_EQ(FixStored(1e6 * -1.2500006), -1250000);
  EXPECT_EQ(FixStored(-1250000.6), -1250000);
  EXPECT_EQ(FixStored(1e6 * (123457 / 1e6)), 123457);
  EXPECT_EQ(FixStored(100 * ((2305814.0 + 1234.56) - 2305900.0)), 114856);
}

}  // namespace
}  // namespace torvik
