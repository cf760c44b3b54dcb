// The plan B4D: experiments and their natural values, the run settings of an
// experiment, the choice of the planet, a chained series, and the plan
// parameter file (golden lines, round trip, malformed input).
#include "plan/plan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

#include "core/paths.h"
#include "core/textfile.h"
#include "params/startup.h"
#include "plan/planfile.h"
#include "temp_folder.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

using testing::TempFolder;

struct ExperimentCase {
  int j;
  double VX, VY, VZ, Vgr;  // km/s, km/s, km/s, Vsv
};

TEST(Plan, ExperimentsWithDefaultLevels) {
  const ExperimentCase cases[] = {
      {1, 110, 220, 330, 41},    // the first corner, all +1
      {2, 110, 220, 330, -39},   // x4 changes fastest
      {9, 90, 220, 330, 41},     // x1 changes slowest
      {16, 90, 180, 270, -39},   // the last corner, all −1
      {17, 110, 200, 300, 1},    // star point: only VX leaves its zero level
      {20, 100, 180, 300, 1},
      {23, 100, 200, 300, 41},
      {24, 100, 200, 300, -39},
  };
  PlanTables t;
  FillB4D(t);
  Model m;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.j);
    ExperimentView v;
    ASSERT_FALSE(ShowExperiment(m, t, PlanLevels{}, c.j, &v));
    EXPECT_DOUBLE_EQ(v.natural[1], c.VX);
    EXPECT_DOUBLE_EQ(v.natural[2], c.VY);
    EXPECT_DOUBLE_EQ(v.natural[3], c.VZ);
    EXPECT_DOUBLE_EQ(v.natural[4], c.Vgr);
    EXPECT_DOUBLE_EQ(m.VXsys, c.VX);
    EXPECT_DOUBLE_EQ(m.VYsys, c.VY);
    EXPECT_DOUBLE_EQ(m.VZsys, c.VZ);
    EXPECT_EQ(v.runOneCaption, "Выполнить один эксперимент плана № " + std::to_string(c.j));
    EXPECT_EQ(v.runSeriesCaption, "Выполнить эксперименты с № " + std::to_string(c.j) + "по №");
  }
}

TEST(Plan, FactorialHalfIsCompleteAndStarPointsAreSingleFactor) {
  PlanTables t;
  FillB4D(t);
  std::set<std::array<int, 4>> corners;
  for (int j = 1; j <= 16; ++j)
    corners.insert({int(t.PlanX[1][j]), int(t.PlanX[2][j]), int(t.PlanX[3][j]), int(t.PlanX[4][j])});
  EXPECT_EQ(corners.size(), 16u);
  for (int j = 17; j <= 24; ++j) {
    const int factor = (j - 17) / 2 + 1, sign = j % 2 ? 1 : -1;
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(t.PlanX[i][j], i == factor ? sign : 0) << "experiment " << j;
  }
  // Products and squares in their columns.
  EXPECT_EQ(t.PlanX[7][2], -1);   // x1x4 of (+1, +1, +1, −1)
  EXPECT_EQ(t.PlanX[14][24], 1);  // x4² of (0, 0, 0, −1)
  EXPECT_EQ(t.PlanX[11][24], 0);
}

TEST(Plan, ShowExperimentRefusesBadInput) {
  PlanTables t;
  FillB4D(t);
  Model m;
  ExperimentView v;
  EXPECT_FALSE(ShowExperiment(m, t, PlanLevels{}, 25, &v));  // after a series: zero levels
  EXPECT_DOUBLE_EQ(v.natural[4], 1.0);
  for (int j : {-1, 44}) EXPECT_EQ(ShowExperiment(m, t, PlanLevels{}, j, &v)->text, kMsgBadFields);
  PlanLevels bad;
  bad.Xstep[2] = std::nan("");
  EXPECT_EQ(ShowExperiment(m, t, bad, 1, &v)->text, kMsgBadFields);
}

TEST(Plan, OnePlanetOnly) {
  std::array<bool, 11> ticked{};
  int p = -1;
  EXPECT_FALSE(PlanPlanet(ticked, &p));
  EXPECT_EQ(p, 0);
  ticked[4] = true;
  EXPECT_FALSE(PlanPlanet(ticked, &p));
  EXPECT_EQ(p, 4);
  ticked[1] = true;
  p = -1;
  auto msg = PlanPlanet(ticked, &p);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Должена быть отмечена одна планата");
  EXPECT_EQ(msg->title, "Torvik6");
  EXPECT_EQ(p, -1);
}

TEST(Plan, SeriesFrom20To24EndsAt25) {
  PlanSeries s{20, 24};
  std::vector<int> runs;
  for (bool go = s.Starts(); go; go = s.Next()) runs.push_back(s.ExpNo);
  EXPECT_EQ(runs, (std::vector<int>{20, 21, 22, 23, 24}));
  EXPECT_EQ(s.ExpNo, 25);
  PlanSeries backwards{5, 3};
  EXPECT_FALSE(backwards.Starts());
  PlanSeries stopped{3, 24};
  stopped.Stop();
  EXPECT_FALSE(stopped.Next());
}

TEST(Plan, ExperimentRunsTheModelIntoItsOrbitFile) {
  TempFolder dir("run");
  Model m;
  ASSERT_FALSE(StartUp(m));
  PlanTables t;
  FillB4D(t);
  ExperimentView v;
  ASSERT_FALSE(ShowExperiment(m, t, PlanLevels{}, 24, &v));
  RunSettings s;
  s.folder = dir.path;
  s.endYear = 1601;
  s.runDate = "10.12.2026";
  s.live.writeTrace = true;
  ExperimentRunSettings(s, t, 3, 24);
  m.PlanNo = 2;
  ModelRun run(m);
  ASSERT_FALSE(run.Start(s));
  while (run.Running()) run.Batch();
  EXPECT_EQ(run.end(), RunEnd::EndYear);
  EXPECT_EQ(run.orbitFile(), ResolvePath(dir.path, "\\Plan2\\Txt3\\Torvik3RasB24.txt"));
  EXPECT_FALSE(fs::exists(run.traceFile()));
  auto lines = ReadTextFile(run.orbitFile());
  ASSERT_TRUE(lines && lines->size() >= 3);
  EXPECT_NE((*lines)[2].find("VXsys=  100   VYsys= 200   VZsys= 300   Vgr= -3900 Vsv / 100"), std::string::npos)
      << (*lines)[2];
}

// ---- the plan parameter file ----

TEST(PlanFile, GoldenLinesOfTheDefaults) {
  PlanParams p;
  p.PlanNo = 3;
  p.Wt[10][6] = 0.25;
  const auto lines = PlanFileLines(p);
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[0], "Уровни варьирования и весовые коэффициенты параметров для плана № ");
  EXPECT_EQ(lines[1], " 3 ");
  EXPECT_EQ(lines[2], " 100000000     10000000 ");
  EXPECT_EQ(lines[5], " 1000000       40000000 ");
  EXPECT_EQ(lines[6], " 1             1             1             1             1             1 ");
  EXPECT_EQ(lines[15], " 1             1             1             1             1             0.25 ");
}

TEST(PlanFile, RoundTripTruncatesToSixDecimals) {
  TempFolder dir("file");
  PlanParams p;
  p.PlanNo = 2;
  p.levels.Xzero = {0, 100.1234567, -3.2500009, 0.29, 1.0000001};
  p.levels.Xstep = {0, 10.9999999, 20, 0.000000999, 40.5};
  p.Wt[3][2] = 0.125;
  p.Wt[7][6] = 3;
  ASSERT_FALSE(WritePlanFile(p, dir.path));
  auto bytes = ReadTextFile(ResolvePath(dir.path, "\\Plan2\\TorvikPlan.dat"));
  ASSERT_TRUE(bytes);
  PlanParams q;
  ASSERT_FALSE(ReadPlanFile(2, dir.path, &q));
  EXPECT_EQ(q.PlanNo, 2);
  const double zero[5] = {0, 100.123456, -3.25, 0.29, 1.0};
  const double step[5] = {0, 10.999999, 20, 0.0, 40.5};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_DOUBLE_EQ(q.levels.Xzero[i], zero[i]) << i;
    EXPECT_DOUBLE_EQ(q.levels.Xstep[i], step[i]) << i;
  }
  EXPECT_EQ(q.Wt, p.Wt);
  // A second save of what was read writes the same file.
  ASSERT_FALSE(WritePlanFile(q, dir.path));
  EXPECT_EQ(ReadTextFile(ResolvePath(dir.path, "\\Plan2\\TorvikPlan.dat")), bytes);
}

TEST(PlanFile, BadFilesKeepThePreviousValues) {
  TempFolder dir("bad");
  auto good = PlanFileLines(PlanParams{});
  auto truncated = good;
  truncated.resize(12);
  auto wordy = good;
  wordy[4] = " 300000000  abc";
  const std::vector<std::vector<std::string>> cases = {{}, {"", ""}, {good[0]}, truncated, wordy};
  for (std::size_t c = 0; c < cases.size(); ++c) {
    PlanParams p;
    p.levels.Xzero[1] = 7;
    auto msg = ReadPlanLines(cases[c], &p);
    ASSERT_TRUE(msg) << "case " << c;
    EXPECT_EQ(msg->text, "Ошибка при чтении данных из файла TorvikPlan.dat");
    EXPECT_EQ(p.levels.Xzero[1], 7) << "case " << c;
  }
  PlanParams p;
  EXPECT_TRUE(ReadPlanFile(9, dir.path, &p));  // no such file
  p.PlanNo = 9;                                // and no folder \Plan9 to write into
  EXPECT_EQ(WritePlanFile(p, dir.path)->text, "Ошибка при записи данных в файл TorvikPlan.dat\r\n\\Plan9\\TorvikPlan.dat");
}

TEST(PlanFile, TextOfTheLoadedPlan) {
  PlanParams p;
  p.levels.Xzero[1] = 100.5;
  const auto t = PlanParamsText(p);
  ASSERT_EQ(t.size(), 2u + 4u + 2u + 10u);
  EXPECT_EQ(t[0], "Уровни варьирования и весовые коэффициенты параметров для плана № 1");
  EXPECT_EQ(t[2], "фактор  1       100.5   10");
  EXPECT_EQ(t[7], "весовые коэффициенты   ");
  EXPECT_EQ(t[8], "планета  1          1    1    1    1    1    1");
}

}  // namespace
}  // namespace torvik
