// Filling a drift file from the orbit files of a plan or an imitator.
#include <gtest/gtest.h>

#include "fixture.h"
#include "stats/drift_fill.h"

namespace torvik {
namespace {

using test::ReadBytes;
using test::Row;
using test::TempFolder;

// 40 records over ten years: a perihelion that moves `rate` degrees a year.
std::vector<Row> Drifting(double rate) {
  std::vector<Row> rows;
  for (int i = 0; i < 40; ++i) {
    const double t = i * 91.3;
    rows.push_back({t, {77 + rate * t / 365.25, 48, 7, 0.2056 + 1e-6 * i, 57909, 87.97}});
  }
  return rows;
}

TEST(DriftFill, PlanFileTakesEachExperimentsDriftAndSkipsMissingAndDamagedFiles) {
  TempFolder folder("fill");
  const double rates[] = {0, 0.01, 0.02, 0.03, 0.04};
  for (int j : {1, 3, 4}) {
    StatsInputs in;
    in.experiment = j;
    ASSERT_TRUE(WriteTextFile(ResolvePath(folder.path, Statistics::RunPathOf(in)),
                              test::RunLines(2305814.0, Drifting(rates[j]))));
  }
  {  // experiment 4 damaged in its fifth record
    StatsInputs in;
    in.experiment = 4;
    const auto file = ResolvePath(folder.path, Statistics::RunPathOf(in));
    auto lines = *ReadTextFile(file);
    lines[9] = " 5  x";
    ASSERT_TRUE(WriteTextFile(file, lines));
  }
  DriftFill f;
  f.elements = {1, 4};
  f.from = 1;
  f.to = 4;
  const DriftFillResult r = FillDrifts(folder.path, f);
  ASSERT_FALSE(r.failure);
  EXPECT_EQ(r.driftPath, "\\Plan1\\Torvik1RasB.dat");
  ASSERT_EQ(r.rows.size(), 8u);
  EXPECT_EQ(r.skipped, 4);
  for (const DriftFillRow& row : r.rows) {
    SCOPED_TRACE(row.runPath + " element " + std::to_string(row.element));
    const bool present = row.experiment == 1 || row.experiment == 3;
    EXPECT_EQ(row.written, present);
    if (!present) {
      EXPECT_EQ(row.failure->text, "Ошибка чтения данных из файла\r\n" + row.runPath);
      continue;
    }
    // Degrees per year to arcseconds per century; the eccentricity 1e-6 per
    // 91.3 days is 400 millionths per century.
    if (row.element == 1) {
      EXPECT_NEAR(row.drift, rates[row.experiment] * 3600 * 100, 0.1);
    } else {
      EXPECT_NEAR(row.drift, 1e-6 * 36525 / 91.3 * 1e6, 0.01);
    }
  }
  // The file: the drifts of 1 and 3, zeros elsewhere, as the screen writes them.
  const auto lines = *ReadTextFile(ResolvePath(folder.path, r.driftPath));
  ASSERT_EQ(lines.size(), 26u);
  auto stored = [&lines](int record, int e) { return *ParseNumber(SplitFields(lines[1 + record])[e]) / 1e6; };
  EXPECT_NEAR(stored(1, 1), r.rows[0].drift, 1e-6);
  EXPECT_NEAR(stored(1, 4), r.rows[1].drift, 1e-6);
  EXPECT_NEAR(stored(3, 1), 10800, 0.1);
  EXPECT_EQ(SplitFields(lines[3]), (std::vector<std::string>{"2", "0", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(SplitFields(lines[5]), (std::vector<std::string>{"4", "0", "0", "0", "0", "0", "0"}));

  // The screen's road on experiment 3 gives the same file.
  TempFolder screen("fillscreen");
  test::fs::copy(folder.path / "Plan1" / "Txt1", screen.path / "Plan1" / "Txt1",
                 test::fs::copy_options::recursive | test::fs::copy_options::overwrite_existing);
  Statistics st({}, screen.path);
  for (int j : {1, 3})
    for (int e : {1, 4}) {
      StatsInputs in;
      in.experiment = j;
      in.p = e;
      auto o = st.LoadRunFile(in);
      ASSERT_FALSE(o.message);
      in.IEnd = *o.fields.IEnd;
      in.T0 = *o.fields.T0;
      o = st.ProcessData(in);
      ASSERT_FALSE(o.message);
      in.computedDrift = *o.fields.Drift;
      ASSERT_FALSE(st.LoadDriftFile(in).message);
      ASSERT_FALSE(st.ReplaceDrift(in).message);
    }
  EXPECT_EQ(ReadBytes(ResolvePath(screen.path, r.driftPath)), ReadBytes(ResolvePath(folder.path, r.driftPath)));
}

TEST(DriftFill, ImitatorFileAndADamagedDriftFile) {
  TempFolder folder("fillnab");
  StatsInputs in;
  in.imitatorSource = true;
  in.imitatorFolder = "NEW";
  in.planet = 2;
  ASSERT_TRUE(WriteTextFile(ResolvePath(folder.path, Statistics::RunPathOf(in)),
                            test::RunLines(2305814.0, Drifting(0.005))));
  DriftFill f;
  f.imitator = true;
  f.imitatorFolder = "NEW";
  f.planet = 2;
  DriftFillResult r = FillDrifts(folder.path, f);
  ASSERT_FALSE(r.failure);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0].runPath, "\\NEW\\Torvik2Nab.txt");
  EXPECT_NEAR(r.rows[0].drift, 1800, 0.1);
  const auto nab = ResolvePath(folder.path, "\\NEW\\TorvikNab.dat");
  auto lines = *ReadTextFile(nab);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_NEAR(*ParseNumber(SplitFields(lines[3])[1]) / 1e6, r.rows[0].drift, 1e-6);
  // A damaged drift file stops the filling and stays as it was.
  lines[6] = " 5 1 2";
  lines.resize(7);
  ASSERT_TRUE(WriteTextFile(nab, lines));
  const std::string damaged = ReadBytes(nab);
  r = FillDrifts(folder.path, f);
  ASSERT_TRUE(r.failure);
  EXPECT_EQ(r.failure->text, "Ошибка чтения данных из файла\r\n\\NEW\\TorvikNab.dat");
  EXPECT_EQ(ReadBytes(nab), damaged);
}

}  // namespace
}  // namespace torvik
