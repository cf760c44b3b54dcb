// The experiment series over an observatory run with theory "P": the plan's
// orbits reach the run, the centre of a template plan fits better than a
// corner, the order of stopping, and an empty series.
#include "plan/obs_series.h"

#include <gtest/gtest.h>

#include "core/textfile.h"
#include "observe/residual_files.h"
#include "observe/sample_files.h"
#include "params/startup.h"
#include "temp_folder.h"

namespace torvik {
namespace {

struct SeriesFixture : ::testing::Test {
  void SetUp() override {
    ASSERT_FALSE(StartUp(m));
    ASSERT_TRUE(EnsureObservatoryFile(tmp.path, "GREN", 4));
    src = std::make_unique<ObservationSource>(tmp.path);
    src->SwitchKind(SourceKind::Obs, nullptr);
    auto sel = src->SelectObservatory(1, 4);
    ASSERT_FALSE(sel.message);
    ApplyPresets(sel.presets, s);
    s.Npl = 4;
    s.day = 1, s.month = 1, s.year = 2000;
    s.years = 1;
    s.dRlimit = false;
    s.earth = s.planet = ObsTheory::P;
    st.Npl = 4;
    Model work;
    ASSERT_FALSE(ObsPlanTemplate(work, 2451544.5, 1, 1, 2000, &st));
    const ObsPlan plan = CreateObsPlan(ObsPlanKind::O5);
    for (int i = 1; i <= 5; ++i)
      for (int e = 1; e <= 43; ++e) st.PlanX[i][e] = plan.PlanX[i][e];
    st.Ycrit.fill(-1);
  }
  int RunAll(ObsExperimentSeries& series) {
    int steps = 0;
    while (series.Running() && steps < 1000000) series.Step(), ++steps;
    return steps;
  }

  testing::TempFolder tmp{"obs_series"};
  Model m;
  std::unique_ptr<ObservationSource> src;
  ObsSettings s;
  ObsPlanState st;
};

TEST_F(SeriesFixture, PlanOrbitsReachTheRuns) {
  ObsExperimentSeries series(m, *src);
  ASSERT_FALSE(series.Start(s, st, 1, 2));
  RunAll(series);
  ASSERT_FALSE(series.Start(s, st, 43, 50));  // numbers past 43 have no row
  RunAll(series);
  EXPECT_GT(st.Ycrit[1], 0);
  EXPECT_NE(st.Ycrit[1], st.Ycrit[2]);  // node ±10°
  // The template's centre is the J2000 orbit: it fits far better than a
  // corner 5 million km off.
  EXPECT_LT(st.Ycrit[43], st.Ycrit[1] / 5);
  EXPECT_EQ(st.Ycrit[3], -1);

  // With another theory every experiment repeats the same run.
  s.planet = s.earth = ObsTheory::J;
  ASSERT_FALSE(series.Start(s, st, 1, 2));
  RunAll(series);
  EXPECT_EQ(st.Ycrit[1], st.Ycrit[2]);
}

TEST_F(SeriesFixture, StopEndsTheSeriesAfterTheCurrentRun) {
  ObsExperimentSeries series(m, *src);
  ASSERT_FALSE(series.Start(s, st, 1, 3));
  while (series.Running() && series.ExpCur() < 2) series.Step();
  series.Step();
  series.RequestStop();
  RunAll(series);
  EXPECT_EQ(series.ExpCur(), 2);
  EXPECT_NE(st.Ycrit[2], -1);
  EXPECT_EQ(st.Ycrit[3], -1);

  ASSERT_FALSE(series.Start(s, st, 5, 4));
  EXPECT_FALSE(series.Running());
}

// A corner of the plan whose every step exceeds dRmax keeps a criterion
// above the limit instead of a 0 that would make it the best fit.
TEST_F(SeriesFixture, AllStepsRejectedStillMeasureTheOrbit) {
  s.dRlimit = true;
  s.live.dRmax = 1000;  // thousand km: the centre passes, the corners do not
  ObsExperimentSeries series(m, *src);
  ASSERT_FALSE(series.Start(s, st, 1, 1));
  RunAll(series);
  ASSERT_EQ(series.run()->NdR(), 0);
  EXPECT_GT(st.Ycrit[1], 1000);
  s.criterion = ObsCriterion::dL;
  ASSERT_FALSE(series.Start(s, st, 1, 1));
  RunAll(series);
  EXPECT_GT(st.Ycrit[1], 0);
}

// The residual files of "\Dat\" hold the records of every experiment of a
// series: written with their header once, appended by every run.
TEST_F(SeriesFixture, ResidualFilesKeepEveryExperiment) {
  s.fileParam = s.fileBad = true;
  s.dRlimit = true;
  s.live.dRmax = 1000;  // the corners are rejected
  ObsExperimentSeries series(m, *src);
  ASSERT_FALSE(series.Start(s, st, 1, 3));
  std::int64_t reduced = 0, rejected = 0;
  while (series.Running()) {
    series.Step();
    if (series.ExperimentEnded() && series.run()) reduced += series.run()->NdR() + series.run()->Rejected(), rejected += series.run()->Rejected();
  }
  const auto param = ReadTextFile(tmp.path / "Dat" / "Param_data.txt");
  const auto bad = ReadTextFile(tmp.path / "Dat" / "Bad_data.txt");
  ASSERT_TRUE(param && bad);
  const auto header = ResidualFileHeader(ResidualFile::Param, 4, "GREN").size();
  EXPECT_EQ(static_cast<std::int64_t>(param->size() - header), reduced);
  EXPECT_EQ(static_cast<std::int64_t>(bad->size() - header), rejected);
  EXPECT_GT(rejected, 0);
  // Each experiment numbers its parameter records from 1: three runs.
  int firsts = 0;
  for (std::size_t i = header; i < param->size(); ++i) firsts += SplitFields((*param)[i]).at(0) == "1";
  EXPECT_EQ(firsts, 3);
}

// "Продолжить" and "Сделать 1 шаг" after a stop go on with the stopped run
// and then the experiments after it.
TEST_F(SeriesFixture, ContinueAfterAStop) {
  ObsExperimentSeries series(m, *src);
  ASSERT_FALSE(series.Start(s, st, 1, 2));
  for (int i = 0; i < 5; ++i) series.Step();
  series.StopNow();
  EXPECT_TRUE(series.Stopped());
  const auto steps = series.run()->steps();
  ASSERT_TRUE(series.OneStep());
  series.Step();
  EXPECT_FALSE(series.Running());
  EXPECT_EQ(series.run()->steps(), steps + 1);
  ASSERT_TRUE(series.Continue());
  RunAll(series);
  EXPECT_EQ(series.ExpCur(), 2);
  EXPECT_FALSE(series.Stopped());
  EXPECT_FALSE(series.Continue());  // nothing is left
  // The continued run covered the whole interval: the same criterion as a
  // series without a stop.
  const double y1 = st.Ycrit[1];
  ASSERT_FALSE(series.Start(s, st, 1, 1));
  RunAll(series);
  EXPECT_DOUBLE_EQ(st.Ycrit[1], y1);
}

}  // namespace
}  // namespace torvik
