// Distributions of the deviations: the strict interval edges and the report
// layout of "\Dat\Stat" + Npl + source + ".txt".
#include <gtest/gtest.h>

#include <filesystem>

#include "core/textfile.h"
#include "observe/obs_stats.h"

namespace torvik {
namespace {

constexpr double arcsecond = 1.0 / 3600;

// The single interval a deviation fell into, or -1 when none.
int CountedIn(const ObsStatistics& s, int first) {
  int where = -1;
  for (int i = first; i < first + 20; ++i)
    if (s.Count[static_cast<std::size_t>(i)] != 0) {
      EXPECT_EQ(where, -1) << "counted twice";
      where = i;
    }
  return where;
}

TEST(ObsStatistics, DeviationsCountOnlyStrictlyBetweenTheEdges) {
  struct Case {
    double dL, dB, dR;
    int inL, inB, inR;
  } cases[] = {
      {0.5 * arcsecond, 0.1 * arcsecond, 5, 1, 21, 41},      // first intervals
      {1 * arcsecond, 0.25 * arcsecond, 200.0 / 18, -1, -1, -1},  // exactly on an edge: nowhere
      {0, 0, 0, -1, -1, -1},                                  // zero: nowhere
      {-17.5 * arcsecond, -4.4 * arcsecond, 199, 18, 38, 58}, // negatives by their size
      {25 * arcsecond, 10 * arcsecond, 250, 19, 39, 59},      // the open intervals
      {18 * arcsecond, 4.5 * arcsecond, 200, -1, -1, -1},     // the last closed edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dL / arcsecond);
    ObsStatistics s(200);
    s.Add(c.dL, c.dB, c.dR);
    EXPECT_EQ(CountedIn(s, 0), c.inL);
    EXPECT_EQ(CountedIn(s, 20), c.inB);
    EXPECT_EQ(CountedIn(s, 40), c.inR);
  }
}

TEST(ObsStatistics, ReportLayout) {
  ObsStatistics s(200);
  s.Add(0.5 * arcsecond, 0.1 * arcsecond, 5);
  s.Add(30 * arcsecond, 10 * arcsecond, 300);
  const ObsMeans m{2, 15.25 * arcsecond, 5.05 * arcsecond, 152.5};
  const auto lines = StatReport(s, 4, "GREN", m);
  ASSERT_EQ(lines.size(), 3u + 18 + 1 + 3);
  EXPECT_EQ(lines[0], "статистика данных  GREN  по планете 4");
  EXPECT_EQ(lines[1], "интервалы dL и dB в угловых секундах dR в тыс.км.)");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "00...01   0001        0.00...0.25   0001        000.00...011.11   0001");
  EXPECT_EQ(lines[4], "01...02   0000        0.25...0.50   0000        011.11...022.22   0000");
  EXPECT_EQ(lines[20], "17...18   0000        4.25...4.50   0000        188.89...200.00   0000");
  EXPECT_EQ(lines[21], "18...     0001        4.50...       0001        200.00...         0001");
  EXPECT_EQ(lines[22], "");
  EXPECT_EQ(lines[23], "                 общее количество точек  2");
  EXPECT_EQ(lines[24], "dLsr= 15.25 секунд   dBsr= 5.05 секунд   dRsr= 152.5 тыс. км.");
  EXPECT_EQ(StatReportRelPath(4, "GREN"), "\\Dat\\Stat4GREN.txt");
}

TEST(ObsStatistics, NoAcceptedStepWritesNothing) {
  const auto dir = std::filesystem::temp_directory_path() / "torvik6_obs_stats";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "Dat");
  const ObsStatistics s(200);
  const auto r = WriteStatReport(dir, s, 4, "GREN", ObsMeans{});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, "Введите правильно масштаб");
  EXPECT_EQ(r->title, "Torvik6.0");
  EXPECT_FALSE(std::filesystem::exists(dir / "Dat" / "Stat4GREN.txt"));
  EXPECT_FALSE(WriteStatReport(dir, s, 4, "GREN", ObsMeans{1, 0, 0, 0}));
  const auto text = ReadTextFile(dir / "Dat" / "Stat4GREN.txt");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), 25u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace torvik
