// The plot as data: the grid with its three axes and the size of a loaded run.
#include "stats/plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

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
  } cases[] = {{0, 0.5, "-1"}, {19.7 - 1, 1.5, "-4"}, {0, 5.5, "4"}, {19.7 - 1, 5.5, "0"},
               {1, 0.5, "0"},  {19, 0.5, "18"},       {0.1, 8.4, "Alfa"}, {19.7 - 2, 8.4, "dAlfa"}};
  for (const Case& c : cases) {
    const PlotItem* t = TextAt(p, c.x, c.y);
    ASSERT_TRUE(t) << c.text;
    EXPECT_EQ(t->text, c.text);
  }
  // The drift axis' "-5" would stand between the time labels 17 and 18, and
  // the left label 7 at y = 8.5 under "Alfa": both are left out.
  EXPECT_FALSE(TextAt(p, 19.7 - 1, 0.5));
  EXPECT_FALSE(TextAt(p, 0, 8.5));
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

// Does a curve (any line other than a rule across the whole surface, a dot or
// a circle's outline) run through the box? Sampled every 0.02 plot cm.
bool CurveCrosses(const Plot& p, const PlotItem& it, const PlotBox& b) {
  auto inside = [&](double x, double y) { return x > b.left && x < b.right && y > b.bottom && y < b.top; };
  switch (it.kind) {
    case PlotItem::Kind::Dot: return inside(it.x1, it.y1);
    case PlotItem::Kind::Circle:
      for (int k = 0; k < 64; ++k)
        if (inside(it.x1 + it.r * std::cos(k * M_PI / 32), it.y1 + it.r * std::sin(k * M_PI / 32))) return true;
      return false;
    case PlotItem::Kind::Line: {
      if (p.IsRule(it) || it.colour == kPlotPaper) return false;
      const double len = std::hypot(it.x2 - it.x1, it.y2 - it.y1);
      if (!std::isfinite(len)) return false;
      const int n = static_cast<int>(std::min(1e5, len / 0.02)) + 1;
      for (int k = 0; k <= n; ++k)
        if (inside(it.x1 + (it.x2 - it.x1) * k / n, it.y1 + (it.y2 - it.y1) * k / n)) return true;
      return false;
    }
    case PlotItem::Kind::Text: return false;
  }
  return false;
}

// Texts of the plot that a curve runs through or that overlap another text,
// or that reach past the surface's right edge. The axis labels at the start of
// the items (the grid but its captions) may have curves run over them.
std::vector<std::string> CrowdedTexts(const Plot& p) {
  Plot grid;
  grid.Size(p.W, p.H);
  grid.Grid();
  const std::size_t labels = grid.items.size() - Plot::kGridCaptions;
  std::vector<std::string> bad;
  for (std::size_t i = 0; i < p.items.size(); ++i) {
    const PlotItem& t = p.items[i];
    if (t.kind != PlotItem::Kind::Text) continue;
    const PlotBox b = PlotTextBox(t);
    if (b.right > p.W + 1e-9) bad.push_back("past the edge: " + t.text);
    // A text on paper covers the curves drawn before it.
    const bool onPaper = std::any_of(p.items.begin(), p.items.end(), [&](const PlotItem& o) {
      return o.kind == PlotItem::Kind::Line && o.colour == kPlotPaper && o.x1 <= b.left && o.x2 >= b.right &&
             o.y1 > b.bottom && o.y1 < b.top;
    });
    for (std::size_t j = onPaper ? i + 1 : 0; j < p.items.size(); ++j) {
      const PlotItem& o = p.items[j];
      if (j != i && o.kind == PlotItem::Kind::Text && j > i && PlotTextBox(o).Overlaps(b) &&
          !(o.text == t.text && o.x1 == t.x1 && o.y1 == t.y1))
        bad.push_back(t.text + " over " + o.text);
      if (i >= labels && CurveCrosses(p, o, b)) {
        bad.push_back("curve through: " + t.text + " at " + std::to_string(t.x1) + "," + std::to_string(t.y1) + " by " +
                      std::to_string(static_cast<int>(o.kind)) + " " + std::to_string(o.x1) + "," + std::to_string(o.y1) +
                      " " + std::to_string(o.x2) + "," + std::to_string(o.y2) + (onPaper ? " paper" : ""));
        break;
      }
    }
  }
  return bad;
}

std::size_t Count(const Plot& p, Rgb c, PlotItem::Kind kind) {
  return static_cast<std::size_t>(std::count_if(p.items.begin(), p.items.end(), [&](const PlotItem& i) {
    return i.kind == kind && i.colour == c;
  }));
}

// 400 years of Mercury's perihelion processed with the screen's defaults
// (groups of 5 over 3 320 records), then with the sweep.
class Plot400Years : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string rel = Statistics::RunPathOf(in);
    std::filesystem::create_directories(ResolvePath(folder.path, rel).parent_path());
    std::filesystem::copy_file(test::MercuryFile(), ResolvePath(folder.path, rel));
    auto o = st.LoadRunFile(in);
    ASSERT_FALSE(o.message);
    in.IStart = 1;
    in.IEnd = *o.fields.IEnd;
    in.T0 = *o.fields.T0;
    ASSERT_GT(in.IEnd, 3000);
  }
  test::TempFolder folder{"plot400"};
  Statistics st{{}, folder.path};
  StatsInputs in;
};

TEST_F(Plot400Years, TextsStandClearOfTheCurvesAndOfEachOther) {
  EXPECT_EQ(CrowdedTexts(st.plot()), std::vector<std::string>{}) << "after loading";
  for (int ncoef : {1, 2, 3}) {
    in.NCoef = ncoef;
    ASSERT_FALSE(st.ProcessData(in).message);
    EXPECT_EQ(CrowdedTexts(st.plot()), std::vector<std::string>{}) << ncoef << " coefficients";
  }
  in.sweep = true;
  in.IEnd = 400;  // a sweep over 133 group sizes
  ASSERT_FALSE(st.ProcessData(in).message);
  EXPECT_EQ(CrowdedTexts(st.plot()), std::vector<std::string>{}) << "sweep";
}

TEST_F(Plot400Years, GroupBordersNeverStandCloserThanTenPixels) {
  ASSERT_FALSE(st.ProcessData(in).message);
  std::vector<double> xs;
  for (const PlotItem& i : st.plot().items)
    if (i.kind == PlotItem::Kind::Line && i.colour == kPlotGreen) xs.push_back(i.x1);
  std::sort(xs.begin(), xs.end());
  // 664 groups of 5 over 26.6 plot cm would be one border every pixel.
  ASSERT_GT(xs.size(), 50u);
  EXPECT_LT(xs.size(), 664u / 5);
  for (std::size_t k = 1; k < xs.size(); ++k) EXPECT_GE((xs[k] - xs[k - 1]) * kPlotPixelsPerCm, kPlotMinBorderPixels - 1e-9);
  // Groups of 100 are 20 pixels apart: every border is drawn.
  in.NCP = 100;
  ASSERT_FALSE(st.ProcessData(in).message);
  EXPECT_EQ(Count(st.plot(), kPlotGreen, PlotItem::Kind::Line), 1u + static_cast<std::size_t>(in.IEnd / 100));
}

TEST_F(Plot400Years, EachProcessingRedrawsTheRunUnlessTheOverlayIsOn) {
  ASSERT_FALSE(st.ProcessData(in).message);
  const std::size_t once = st.plot().items.size();
  const std::size_t means = Count(st.plot(), kColourOne, PlotItem::Kind::Circle);
  ASSERT_FALSE(st.ProcessData(in).message);
  EXPECT_EQ(st.plot().items.size(), once);
  EXPECT_EQ(Count(st.plot(), kColourOne, PlotItem::Kind::Circle), means);
  in.overlay = true;
  ASSERT_FALSE(st.ProcessData(in).message);
  EXPECT_EQ(Count(st.plot(), kColourOne, PlotItem::Kind::Circle), 2 * means);
}

TEST(Plot, AFitLineWiderThanTheSurfaceIsBrokenAtItsBlanks) {
  Plot p;
  p.Size(14, 6);
  p.Grid();
  const std::size_t from = p.items.size();
  p.Text(5.5, 3, " dAlfa100 = 529.611567975116   Alfa = 77.4064329532409  стандарт Alfa=  0.000251453620892");
  p.SettleTexts(from);
  std::string joined;
  std::size_t lines = 0;
  for (std::size_t i = from; i < p.items.size(); ++i, ++lines) joined += p.items[i].text;
  EXPECT_GE(lines, 2u);
  EXPECT_NE(joined.find("dAlfa100 = 529.611567975116"), std::string::npos);
  EXPECT_NE(joined.find("стандарт Alfa=  0.000251453620892"), std::string::npos);
  EXPECT_EQ(CrowdedTexts(p), std::vector<std::string>{});
}

}  // namespace
}  // namespace torvik
