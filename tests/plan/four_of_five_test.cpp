// Optimization of the five-factor model four factors at a time: the reduction
// table, the worked all-ones case, a singular model, and the sweep "Все".
#include "plan/four_of_five.h"

#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/textfile.h"
#include "temp_folder.h"

namespace torvik {
namespace {

ObsCoefficients Numbered() {
  ObsCoefficients b{};
  for (int k = 0; k <= 20; ++k) b[k] = k;
  return b;
}

TEST(FourOfFive, ReductionTable) {
  // b_k = k makes every entry name its source coefficient.
  struct Case {
    int f;
    double xf;
    Coefficients want;
  } cases[] = {
      {1, 0, {0, 2, 3, 4, 5, 10, 11, 12, 13, 14, 15, 17, 18, 19, 20}},
      {3, 2, {0, 1 + 7 * 2, 2 + 10 * 2, 4 + 13 * 2, 5 + 14 * 2, 6, 8, 9, 11, 12, 15, 16, 17, 19, 20}},
      {5, -1, {0, 1 - 9, 2 - 12, 3 - 14, 4 - 15, 6, 7, 8, 10, 11, 13, 16, 17, 18, 19}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReduceFourOfFive(Numbered(), c.f, c.xf), c.want) << c.f;
}

ObsPlanState AllOnes() {
  ObsPlanState s;
  s.b.fill(1.0);
  s.bSaved.fill(1.0);
  s.Xzero = {0, 2e11, 0.1, 2, 300, 50};
  s.Xstep = {0, 5e9, 0.02, 1, 10, 10};
  return s;
}

TEST(FourOfFive, AllOnesHeldAtZeroGivesMinusOneFifth) {
  testing::TempFolder tmp("four_of_five");
  ObsPlanState s = AllOnes();
  s.Xopt = {0, 0.3, 0.3, 0.3, 0.3, 0, 0};
  LinearSystem sys;
  FourOfFiveFields shown;
  ASSERT_FALSE(OptimizeFourOfFive(s, 5, 686.98, tmp.path, sys, &shown));
  // The reduced system: rows (1, 2, 1, 1, 1) … (1, 1, 1, 1, 2).
  EXPECT_EQ(sys.ASlu[1], (std::array<double, 5>{1, 2, 1, 1, 1}));
  EXPECT_EQ(sys.ASlu[4], (std::array<double, 5>{1, 1, 1, 1, 2}));
  for (int i = 1; i <= 4; ++i) EXPECT_NEAR(s.Xopt[i], -0.2, 1e-15) << i;
  EXPECT_EQ(s.Xopt[5], 0);
  EXPECT_EQ(shown.coded[1], -0.2);
  EXPECT_EQ(s.XoptNat[1], 199000);  // thousand km: 2e11 − 0.2·5e9 metres
  EXPECT_NEAR(s.XoptNat[4], 298, 1e-9);
  EXPECT_EQ(s.XoptNat[6], 686.98);
  EXPECT_EQ(AdoptedZeroLevels(s), (std::array<double, 6>{0, 199000, 0.096, 1.8, 298, 50}));
  ObsPlanState zero = s;
  zero.Xopt.fill(0);
  EXPECT_EQ(AdoptedZeroLevels(zero), (std::array<double, 6>{0, 200000, 0.1, 2, 300, 50}));

  auto report = ReadTextFile(ResolvePath(tmp.path, kFourOfFiveReport));
  ASSERT_TRUE(report);
  EXPECT_EQ(report->front(), "коэффициенты уравнениях регрессии для 5-и факторов");
  EXPECT_EQ((*report)[report->size() - 3], "оптимальные значения параметров");
  EXPECT_EQ(report->back(), PrintLine().Num(s.Xopt[1]).Num(s.Xopt[2]).Num(s.Xopt[3]).Num(s.Xopt[4]).Num(0).str());
}

TEST(FourOfFive, SingularModelEndsWithTheMessageAndKeepsTheOptimum) {
  testing::TempFolder tmp("four_of_five_singular");
  ObsPlanState s = AllOnes();
  for (int k = 6; k <= 20; ++k) s.bSaved[k] = 0;
  s.bSaved[9] = 3;   // x1x5 and x5² stay: factor 5 is held, they vanish
  s.bSaved[20] = 3;
  s.Xopt = {0, 0.5, 0.5, 0.5, 0.5, 0.5, 0};
  const auto before = s;
  LinearSystem sys;
  auto msg = OptimizeFourOfFive(s, 5, 1, tmp.path, sys);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, kMsgSolveFive);
  EXPECT_EQ(s.Xopt, before.Xopt);
  EXPECT_EQ(s.XoptNat, before.XoptNat);
  // The report holds the coefficients and the starting equations.
  auto report = ReadTextFile(ResolvePath(tmp.path, kFourOfFiveReport));
  ASSERT_TRUE(report);
  EXPECT_GT(report->size(), 12u);
}

TEST(FourOfFive, SweepHoldsEachFactorThreeTimesEndingWithFactorOne) {
  testing::TempFolder tmp("four_of_five_all");
  ObsPlanState s = AllOnes();
  LinearSystem sys;
  const auto steps = OptimizeAll(s, 1, tmp.path, sys);
  ASSERT_EQ(steps.size(), 15u);
  for (std::size_t n = 0; n < steps.size(); ++n) {
    EXPECT_EQ(steps[n].f, 5 - static_cast<int>(n % 5));
    EXPECT_FALSE(steps[n].result);
  }
  // The coordinate-wise search approaches the stationary point of the full
  // model, x_i = −1/6 for all five.
  for (int i = 1; i <= 5; ++i) EXPECT_NEAR(s.Xopt[i], -1.0 / 6, 0.02) << i;
}

}  // namespace
}  // namespace torvik
