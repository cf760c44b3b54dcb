// The five-factor plans B5 and O5: their listing lines, the column sums and
// the regression with its constants on the test criteria.
#include "plan/obs_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "core/paths.h"
#include "core/textfile.h"
#include "temp_folder.h"

namespace torvik {
namespace {

std::string Times(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

TEST(ObsPlan, ListingOfExperimentsAndSums) {
  const std::string gap = "       ";
  struct Case {
    ObsPlanKind kind;
    std::string e1, e33, e43, sums;
  } cases[] = {
      {ObsPlanKind::O5, "11111" + gap + "11111" + gap + "11111" + gap + Times("0.13734", 5),
       "1.5960000" + gap + "00000" + gap + "00000" + gap + "1.684556" + Times("-0.86266", 4),
       "00000" + gap + "00000" + gap + "00000" + gap + Times("-0.86266", 5),
       Times("37.094432", 5) + gap + Times("32", 5) + gap + Times("32", 5) + gap + Times("12.976691133872", 5)},
      {ObsPlanKind::B5, "11111" + gap + "11111" + gap + "11111" + gap + "11111",
       "10000" + gap + "00000" + gap + "00000" + gap + "10000", "00000" + gap + "00000" + gap + "00000" + gap + "00000",
       Times("34", 5) + gap + Times("32", 5) + gap + Times("32", 5) + gap + Times("34", 5)},
  };
  for (const auto& c : cases) {
    const auto lines = ObsPlanListingLines(CreateObsPlan(c.kind), 7);
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines[1], "план № 7");
    EXPECT_EQ(lines[3], "k1...k5               k6...k15           k16...k20 ");
    EXPECT_EQ(lines[5], c.e1);
    EXPECT_EQ(lines[5 + 32], c.e33);
    EXPECT_EQ(lines[5 + 42], c.e43);
    EXPECT_EQ(lines[48], "   ");
    EXPECT_EQ(lines[50], c.sums);
  }
  // The star point 34 lies on the negative arm; no "-0" among its products.
  EXPECT_EQ(ObsPlanListingLines(CreateObsPlan(ObsPlanKind::O5), 1)[5 + 33].substr(0, 30),
            "-1.5960000       00000       0");

  testing::TempFolder tmp("obs_listing");
  ASSERT_TRUE(WriteObsPlanListing(CreateObsPlan(ObsPlanKind::B5), 2, tmp.path));
  auto back = ReadTextFile(ResolvePath(tmp.path, kObsPlanListing));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->size(), 51u);
}

TEST(ObsPlan, RegressionOnTestCriteria) {
  struct Case {
    ObsPlanKind kind;
    ObsTestY y;
    double b0, lin, prod, sq, tol;
  } cases[] = {
      {ObsPlanKind::O5, ObsTestY::Func, 0.99982, 1.0, 1.0, 1.00004, 1e-5},
      {ObsPlanKind::B5, ObsTestY::Func, 1.00367, 1.000001, 1.0, 1.00064, 1e-5},
  };
  for (const auto& c : cases) {
    const ObsPlan p = CreateObsPlan(c.kind);
    ObsValues Y{};
    ObsTestCriterion(p, c.y, &Y);
    const auto r = FindObsRegression(p, c.kind, Y);
    EXPECT_NEAR(r.b[0], c.b0, c.tol);
    for (int k = 1; k <= 5; ++k) EXPECT_NEAR(r.b[k], c.lin, 1e-6) << k;
    for (int k = 6; k <= 15; ++k) EXPECT_NEAR(r.b[k], c.prod, 1e-12) << k;
    for (int k = 16; k <= 20; ++k) EXPECT_NEAR(r.b[k], c.sq, c.tol) << k;
    EXPECT_EQ(r.NPlanExp, c.kind == ObsPlanKind::O5 ? 43 : 42);
  }

  const ObsPlan b5 = CreateObsPlan(ObsPlanKind::B5);
  ObsValues Y{};
  ObsTestCriterion(b5, ObsTestY::Index, &Y);
  const auto r = FindObsRegression(b5, ObsPlanKind::B5, Y);
  EXPECT_NEAR(r.b[0], 42.762, 5e-4);
  EXPECT_NEAR(r.b[1], -7.5588, 5e-5);
  for (int k = 6; k <= 15; ++k) EXPECT_EQ(r.b[k], 0.0) << k;
  // YfitMax is the largest fitted value of the used experiments.
  double mx = -1e300;
  for (int j = 1; j <= 42; ++j) mx = std::max(mx, r.Yfit[j]);
  EXPECT_EQ(r.YfitMax, mx);

  // B5: the centre is listed but outside every sum.
  ObsValues Y2 = Y;
  Y2[43] = 1e6;
  EXPECT_EQ(FindObsRegression(b5, ObsPlanKind::B5, Y2).b, r.b);
  // O5 uses it.
  const ObsPlan o5 = CreateObsPlan(ObsPlanKind::O5);
  EXPECT_NE(FindObsRegression(o5, ObsPlanKind::O5, Y2).b[0], FindObsRegression(o5, ObsPlanKind::O5, Y).b[0]);
}

}  // namespace
}  // namespace torvik

#include "plan/obs_report.h"

namespace torvik {
namespace {

TEST(ObsPlanReport, ItemsAndTheirRows) {
  ObsPlanState s;
  s.Npl = 4;
  s.Xzero = {0, 227939123456.7, 0.0934123999, 1.85, 336.05, 49.55};
  s.Xstep = {0, 5e9, 0.02, 1, 10, 10};
  s.W0sr = 334.061306678;
  s.VXsys = -30000.9;
  s.b[20] = -2.8571429;
  s.Ycrit[43] = 1.23456789;
  s.PlanX[1][33] = 1.596;
  s.StartD = 1.5f;
  s.StartM = 3;
  s.StartY = 1600;
  s.EndY = 1701;
  const auto items = ObsPlanReport(s, "план № 2");
  auto find = [&](double x, double r) {
    for (const auto& it : items)
      if (it.x == x && it.y == 120 - r) return it.text;
    return std::string("<none>");
  };
  EXPECT_EQ(find(0, 0), "план № 2");
  EXPECT_EQ(find(1, 3), "X1       227939.123456          5000");
  EXPECT_EQ(find(1, 4), "X2             0.093412          0.02");
  EXPECT_EQ(find(0, 9), "    W0sr(4)     334.06130667");
  EXPECT_EQ(find(0, 21), "-30  0  0 ");
  EXPECT_EQ(find(2, 25 + 33), " 1.59 ");
  EXPECT_EQ(find(8.5, 25 + 43), " 1.234567 ");
  EXPECT_EQ(find(1, 91), "b20  =  -2.857142");
  EXPECT_EQ(find(0, 101), "Данные оптимизированы с 1.5.3.1600 по 1701");
  EXPECT_EQ(find(0, 102), "Год этой точки = 1650.5");
}

}  // namespace
}  // namespace torvik
