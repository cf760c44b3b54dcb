// The deviation plot as data: the screen's grid, the dRmax line, the points of
// an observatory run against the time back from its start, a rejected step as
// a circle, and a step drawn again adding nothing.
#include "observe/deviation_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "core/textfile.h"
#include "params/startup.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

std::string Record(int year, int day, const char* month, int hour) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "SIMULATED %4d %2d %s  %02d 00 00 0000       %s           %s", year, day, month, hour,
                "13 07 34 50000", "-05 12 36 0000");
  return buf;
}

long Count(const Plot& p, PlotItem::Kind kind) {
  return std::count_if(p.items.begin(), p.items.end(), [kind](const PlotItem& i) { return i.kind == kind; });
}

class DeviationPlotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(StartUp(m));
    dir = fs::temp_directory_path() /
          ("torvik6_devplot_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir / "Dat");
    fs::create_directories(dir / "Obs");
  }
  void TearDown() override { fs::remove_all(dir); }
  // An observatory source of the records for planet p, the run started on 1.5.1990.
  ObservationRun& Start(int observatory, const char* file, int planet, const std::vector<std::string>& records,
                        bool limit) {
    EXPECT_TRUE(WriteTextFile(dir / "Obs" / file, records));
    src = std::make_unique<ObservationSource>(dir);
    src->SwitchKind(SourceKind::Obs, nullptr);
    auto sel = src->SelectObservatory(observatory, planet);
    EXPECT_FALSE(sel.message);
    ApplyPresets(sel.presets, s);
    s.Npl = planet;
    s.day = 1, s.month = 5, s.year = 1990;
    s.years = 10;
    s.dRlimit = limit;
    run = std::make_unique<ObservationRun>(m, *src);
    EXPECT_FALSE(run->Start(s));
    return *run;
  }

  Model m;
  fs::path dir;
  std::unique_ptr<ObservationSource> src;
  std::unique_ptr<ObservationRun> run;
  ObsSettings s;
};

TEST_F(DeviationPlotTest, PointsOfAnObservatoryRunCountBackFromItsStart) {
  ObservationRun& r = Start(1, "GREN4.txt", 4, {Record(1985, 5, "Mar", 21), Record(1982, 6, "Jun", 21)}, false);
  DeviationView view;  // scales that keep the far places of the records inside
  view.MdAlfa = 200;
  view.MdR = 1e6;
  view.dY = 0.5;
  DeviationPlot plot(view);
  // 19 verticals, 4 horizontals and the zero line of dL and dB; no dRmax line without the limit.
  EXPECT_EQ(plot.plot().items.size(), 24u);
  EXPECT_EQ(plot.plot().W, 20);
  EXPECT_EQ(plot.plot().H, 6);
  plot.Begin(r, src->kind());
  EXPECT_EQ(plot.plot().items.size(), 24u);

  for (int step = 0; step < 2; ++step) {
    const ObsStepResult res = r.Step();
    ASSERT_TRUE(res.reduced && res.accepted);
    const std::size_t before = plot.plot().items.size();
    plot.Step(r, res);
    const std::size_t added = plot.plot().items.size() - before;
    // dL and dB, dR and the criterion; on the first step the criterion is dR
    // itself and recolours dR's pixel.
    const auto row = [](double y) { return std::floor((6 - y) * kDeviationScale.y); };
    const bool shared = row((r.dRpl()) / 1e6 + 0.5) == row(r.rows().criterion / 1e6 + 0.5);
    EXPECT_EQ(shared, step == 0);
    EXPECT_EQ(added, shared ? 3u : 4u);
    const PlotItem& dL = plot.plot().items[before];
    EXPECT_EQ(dL.kind, PlotItem::Kind::Dot);
    EXPECT_NEAR(dL.x1, (r.JDstart() - r.JDut()) / 365.25 / 10, 1e-12);
    EXPECT_GT(dL.x1, 0.4);
    EXPECT_DOUBLE_EQ(dL.y1, r.dLpl() / 200 + 3 + 0.5);
    EXPECT_EQ(dL.colour, (Rgb{255, 0, 0}));
    // The same step again lands on the same pixels: nothing new.
    plot.Step(r, res);
    EXPECT_EQ(plot.plot().items.size(), before + added);
  }
  plot.Clear();
  EXPECT_EQ(plot.plot().items.size(), 24u);
}

TEST_F(DeviationPlotTest, ARejectedStepIsACircleAboveTheLimitLine) {
  ObservationRun& r = Start(2, "PARI1.txt", 1, {Record(1990, 5, "Mar", 21)}, true);
  DeviationView view;
  view.MdR = 1e6;  // the far place of the record inside the picture
  DeviationPlot plot(view);
  plot.Begin(r, src->kind());
  ASSERT_EQ(plot.plot().items.size(), 25u);
  const PlotItem& limit = plot.plot().items.back();
  EXPECT_EQ(limit.kind, PlotItem::Kind::Line);
  EXPECT_DOUBLE_EQ(limit.y1, 200 / 1e6);
  const ObsStepResult res = r.Step();
  ASSERT_TRUE(res.rejected);
  plot.Step(r, res);
  ASSERT_EQ(Count(plot.plot(), PlotItem::Kind::Circle), 1);
  const auto circle = std::find_if(plot.plot().items.begin(), plot.plot().items.end(),
                                   [](const PlotItem& i) { return i.kind == PlotItem::Kind::Circle; });
  EXPECT_DOUBLE_EQ(circle->y1, r.dRpl() / 1e6);
  EXPECT_GT(circle->y1, limit.y1);
  EXPECT_EQ(circle->r, 0.15);
  for (int i = 0; i < 3; ++i) plot.Step(r, res);
  EXPECT_EQ(Count(plot.plot(), PlotItem::Kind::Circle), 1);
}

}  // namespace
}  // namespace torvik
