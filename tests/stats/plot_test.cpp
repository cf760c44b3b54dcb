// The plot as data: the grid with its three axes and the size of a loaded run.
#include "stats/plot.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fixture.h"
#include "stats/statistics.h"

namespace torvik {
namespace {

const PlotItem* TextAt(const Plot& p, double x, double y) {
  auto it = std::find_if(p.items.begin(), p.items.end(), [&](const PlotItem& i) {
    return i.kind == PlotItem::Kind::Text && i.x1 == x && i.y1 == y;
  });
  return it == p.items.end() ? nullptr : &*it;
}

TEST(Plot, GridLabelsReadMinusOneOnTheLeftAndMinusFiveOnTheRightAtTheBottom) {
  Plot p;
  p.Size(19.7, 8.4);
  p.Grid();
  struct Case {
    double x, y;
    const char* text;
  } cases[] = {{0, 0.5, "-1"}, {19.7 - 1, 0.5, "-5"}, {0, 5.5, "4"}, {19.7 - 1, 5.5, "0"},
               {1, 0.5, "0"},  {19, 0.5, "18"},       {0.1, 8.4, "Alfa"}, {19.7 - 2, 8.4, "dAlfa"}};
  for (const Case& c : cases) {
    const PlotItem* t = TextAt(p, c.x, c.y);
    ASSERT_TRUE(t) << c.text;
    EXPECT_EQ(t->text, c.text);
  }
  // Verticals u = 0..round(W − 1) = 19, horizontals v = 0..round(H) = 8, and the drift zero line.
  const auto lines = std::count_if(p.items.begin(), p.items.end(), [](const PlotItem& i) { return i.kind == PlotItem::Kind::Line; });
  EXPECT_EQ(lines, 20 + 9 + 1);
  EXPECT_TRUE(std::any_of(p.items.begin(), p.items.end(), [](const PlotItem& i) {
    return i.kind == PlotItem::Kind::Line && i.y1 == 5 && i.y2 == 5 && i.colour == kZeroGrey;
  }));
}

TEST(Plot, ARunOf250YearsIsAbout20CentimetresWideAtFifteenYearsPerCentimetre) {
  test::TempFolder folder("plot");
  Statistics st({}, folder.path);
  StatsInputs in;
  const auto rows = test::Series(251, 365.25, [](int i) { return 77 + i * 1e-3; });  // 250 years after the first point
  std::vector<test::Row> from0 = rows;
  for (auto& r : from0) r.t -= 365.25;
  WriteTextFile(ResolvePath(folder.path, Statistics::RunPathOf(in)), test::RunLines(2305814.0, from0));
  auto o = st.LoadRunFile(in);
  ASSERT_FALSE(o.message);
  EXPECT_NEAR(st.plot().W, 250 * 365.25 / 365.24 / 15 + 3, 1e-12);
  EXPECT_NEAR(st.plot().W, 19.7, 0.05);
  EXPECT_EQ(*o.fields.T0, 1601);
  EXPECT_EQ(o.fields.lastDate->year, 1851);
}

}  // namespace
}  // namespace torvik
