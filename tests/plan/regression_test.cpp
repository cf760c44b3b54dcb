// The criterion, the closed-form regression of B4D against an exact least-
// squares fit, the worked test cases of the optimization and its report.
#include "plan/regression.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "core/paths.h"
#include "core/textfile.h"
#include "plan/optimize.h"
#include "temp_folder.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

using testing::TempFolder;

PlanTables B4D() {
  PlanTables t;
  FillB4D(t);
  return t;
}

// Zero levels 1 and intervals 1: natural X = 1 + x.
PlanLevels Ones() {
  PlanLevels lv;
  lv.Xzero = {0, 1, 1, 1, 1};
  lv.Xstep = {0, 1, 1, 1, 1};
  return lv;
}

// Exact least squares of the 15 terms over the 24 experiments by Gauss-Jordan
// elimination of the normal equations, written independently of the plan's
// closed form.
Coefficients ExactFit(const PlanTables& t, const PlanValues& y) {
  double N[15][16] = {};
  for (int j = 1; j <= 24; ++j) {
    double row[15] = {1};
    for (int c = 1; c <= 14; ++c) row[c] = t.PlanX[c][j];
    for (int r = 0; r < 15; ++r) {
      for (int c = 0; c < 15; ++c) N[r][c] += row[r] * row[c];
      N[r][15] += row[r] * y[j];
    }
  }
  for (int p = 0; p < 15; ++p) {
    int best = p;
    for (int r = p + 1; r < 15; ++r)
      if (std::fabs(N[r][p]) > std::fabs(N[best][p])) best = r;
    std::swap(N[p], N[best]);
    for (int r = 0; r < 15; ++r) {
      if (r == p) continue;
      const double f = N[r][p] / N[p][p];
      for (int c = p; c < 16; ++c) N[r][c] -= f * N[p][c];
    }
  }
  Coefficients b;
  for (int r = 0; r < 15; ++r) b[r] = N[r][15] / N[r][r];
  return b;
}

TEST(Regression, RoundedClosedFormFollowsTheExactFit) {
  const PlanTables t = B4D();
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-50.0, 150.0);
  for (int trial = 0; trial < 5; ++trial) {
    PlanValues y{};
    double sumY = 0, sumSq = 0;
    for (int j = 1; j <= 24; ++j) {
      y[j] = u(rng);
      sumY += y[j];
      for (int i = 11; i <= 14; ++i) sumSq += t.PlanX[i][j] * y[j];
    }
    const Coefficients exact = ExactFit(t, y);
    const Regression r = FindRegression(t, y);
    // The constants are rounded to about 3.4e-6 in the sums they multiply.
    const double tol = 4e-6 * (std::fabs(sumY) + std::fabs(sumSq)) + 1e-12;
    for (int c = 0; c < 15; ++c)
      EXPECT_NEAR(r.b[c], exact[c], tol) << "trial " << trial << " b" << c;
  }
}

TEST(Regression, FittedValuesAndScale) {
  const PlanTables t = B4D();
  // A quadratic surface the plan can represent is reproduced.
  const Coefficients want = {5, 1, -2, 0.5, 3, 0.25, -1, 2, 0.75, -0.5, 1.5, 2, -3, 0.5, 1};
  PlanValues y{};
  for (int j = 1; j <= 24; ++j) y[j] = FitValue(want, {0, t.PlanX[1][j], t.PlanX[2][j], t.PlanX[3][j], t.PlanX[4][j]});
  const Regression r = FindRegression(t, y);
  double lo = 1e300, hi = -1e300;
  for (int j = 1; j <= 24; ++j) {
    EXPECT_NEAR(r.Yfit[j], y[j], 1e-2) << j;
    lo = std::min(lo, r.Yfit[j]), hi = std::max(hi, r.Yfit[j]);
  }
  EXPECT_EQ(r.YfitMin, lo);
  EXPECT_EQ(r.YfitMax, hi);
  EXPECT_DOUBLE_EQ(r.MP, (hi - lo) / 10);
  // Extremes come from the fitted values even far below −MK.
  for (int j = 1; j <= 24; ++j) y[j] -= 1e8;
  EXPECT_LT(FindRegression(t, y).YfitMax, -9e7);
}

TEST(Criterion, TestFunctionsAtTheirTargets) {
  PlanTables t = B4D();
  PlanLevels lv;
  lv.Xzero = {0, 2, 2, 2, 2};
  lv.Xstep = {0, 1, 1, 1, 1};
  // With "dY" the criterion vanishes exactly where the test function equals
  // YTarget, the value at natural factors 1: here the all-(−1) corner, 16.
  for (const auto& info : kTests) {
    if (info.f == TestFunction::U) continue;
    SCOPED_TRACE(info.caption);
    EXPECT_DOUBLE_EQ(TestValue(info.f, 0, {0, 1, 1, 1, 1}), info.YTarget);
    PlanValues y{};
    ASSERT_FALSE(TestCriterion(t, lv, info.f, CriterionForm::dY, &y));
    PlanValues y2{};
    ASSERT_FALSE(TestCriterion(t, lv, info.f, CriterionForm::dY2, &y2));
    for (int j = 1; j <= 24; ++j) {
      CodedPoint X{0, t.PlanU[j][1], t.PlanU[j][2], t.PlanU[j][3], t.PlanU[j][4]};
      const double f = TestValue(info.f, j, X);
      EXPECT_EQ(y[j] == 0.0, f == info.YTarget) << j;
      if (j == 16) {
        EXPECT_EQ(y[j], 0.0);
      }
      EXPECT_DOUBLE_EQ(y2[j], y[j] * y[j]);
    }
  }
  // Zero levels 0, intervals 1: X = x, so "X1+X1^2" hits its target 2 at x1 = +1
  // and X1·X2·X3·X4 = 1 at the all-(+1) corner only.
  lv.Xzero = {0, 0, 0, 0, 0};
  PlanValues y{};
  ASSERT_FALSE(TestCriterion(t, lv, TestFunction::X1PlusX1Sq, CriterionForm::dY, &y));
  for (int j = 1; j <= 24; ++j) EXPECT_EQ(y[j] == 0, t.PlanX[1][j] == 1) << j;
  ASSERT_FALSE(TestCriterion(t, lv, TestFunction::Product, CriterionForm::dY, &y));
  EXPECT_EQ(y[1], 0);
  EXPECT_EQ(y[16], 0);  // (−1)^4 = 1 as well
  EXPECT_EQ(y[2], 2);
  // "Y(u)=u" ignores the form; X1·X2·X3/X4² at X4 = 0 is an arithmetic failure.
  ASSERT_FALSE(TestCriterion(t, lv, TestFunction::U, CriterionForm::dY2, &y));
  EXPECT_EQ(y[24], 24);
  EXPECT_EQ(TestCriterion(t, lv, TestFunction::RatioX4Sq, CriterionForm::Y, &y)->text, "Ошибка при обработке данных");
}

TEST(Criterion, DriftsOfTwoPlanetsAndTwoElements) {
  ObservedDrifts nab{};
  std::array<PlanDrifts, 11> ras{};
  nab[1][1] = 2, nab[1][4] = -4, nab[3][1] = 10, nab[3][4] = 0.5;
  for (int j = 1; j <= 24; ++j) {
    ras[1][1][j] = 2 + j, ras[1][4][j] = -4, ras[3][1][j] = 10 - j, ras[3][4][j] = 1;
    ras[2][1][j] = 1e9;  // a planet not ticked
  }
  DriftSelection sel;
  sel.planets[1] = sel.planets[3] = true;
  sel.elements[1] = sel.elements[4] = true;
  PlanWeights Wt = UnitWeights();
  Wt[3][1] = 2;
  struct Case {
    CriterionForm form;
    double want7;  // the criterion of experiment 7
  } cases[] = {
      {CriterionForm::Y, 9 + -4 + 3 + 1},                              // the four drifts
      {CriterionForm::dY, 3.5 + 0 + 0.7 * 2 + 1},                      // |Δ/observed|·Wt
      {CriterionForm::dY2, 3.5 * 3.5 + 0 + 1.4 * 1.4 + 1},             // squared terms
  };
  for (const auto& c : cases) {
    sel.form = c.form;
    PlanValues y{};
    ASSERT_FALSE(DriftCriterion(nab, ras, sel, Wt, &y));
    EXPECT_DOUBLE_EQ(y[7], c.want7) << int(c.form);
  }
  // An observed drift of 0 cannot be divided by.
  nab[3][4] = 0;
  PlanValues y{};
  EXPECT_FALSE(DriftCriterion(nab, ras, {sel.planets, sel.elements, CriterionForm::Y}, Wt, &y));
  EXPECT_EQ(DriftCriterion(nab, ras, sel, Wt, &y)->text, "Ошибка при обработке данных");
}

TEST(Criterion, ModelCriterionReadsTheObservedFileThenThePlanFileOfEachPlanet) {
  std::vector<std::string> calls;
  DriftSource src;
  src.readObserved = [&](const fs::path&, const std::string& folder, ObservedDrifts* nab) -> ActionResult {
    calls.push_back("observed " + folder);
    (*nab)[5][2] = 1;
    return std::nullopt;
  };
  src.readPlan = [&](const fs::path&, int plan, int planet, PlanDrifts* ras) -> ActionResult {
    calls.push_back("plan " + std::to_string(plan) + " planet " + std::to_string(planet));
    if (planet == 6) return UserMessage{"Ошибка чтения данных из файла\r\n\\Plan4\\Torvik6RasB.dat", kTitle};
    for (int j = 1; j <= 24; ++j) (*ras)[2][j] = 3;
    return std::nullopt;
  };
  DriftSelection sel;
  sel.planets[5] = true;
  sel.elements[2] = true;
  PlanValues y{};
  ASSERT_FALSE(ModelCriterion(src, "/x", "APC", 4, sel, UnitWeights(), &y));
  EXPECT_EQ(y[24], 2);
  sel.planets[6] = true;
  EXPECT_EQ(ModelCriterion(src, "/x", "APC", 4, sel, UnitWeights(), &y)->text,
            "Ошибка чтения данных из файла\r\n\\Plan4\\Torvik6RasB.dat");
  EXPECT_EQ(calls, (std::vector<std::string>{"observed APC", "plan 4 planet 5", "observed APC", "plan 4 planet 5",
                                             "plan 4 planet 6"}));
}

// ---- optimization ----

struct Fitted {
  Regression r;
  Optimum opt;
  ActionResult msg;
  std::vector<std::string> report;
};

Fitted FitTest(TestFunction f, const fs::path& folder) {
  PlanTables t = B4D();
  const PlanLevels lv = Ones();
  PlanValues y{};
  EXPECT_FALSE(TestCriterion(t, lv, f, CriterionForm::Y, &y));
  Fitted out;
  out.r = FindRegression(t, y);
  LinearSystem sys;
  out.msg = Optimize(out.r.b, lv, 1, folder, sys, &out.opt);
  if (auto lines = ReadTextFile(ResolvePath(folder, "\\Plan1\\TorvikSLU.dat"))) out.report = *lines;
  return out;
}

TEST(Optimize, X1PlusX1SquaredHasItsMinimumNearMinusOneAndAHalf) {
  TempFolder dir("x1");
  const Fitted f = FitTest(TestFunction::X1PlusX1Sq, dir.path);
  ASSERT_FALSE(f.msg);
  // Y = 2 + 3x1 + x1²: the rounded constants shift the coefficients slightly.
  EXPECT_NEAR(f.r.b[0], 2.00022, 1e-9);
  EXPECT_NEAR(f.r.b[1], 3.0000024, 1e-9);
  EXPECT_NEAR(f.r.b[11], 0.9993, 1e-9);
  for (int c : {12, 13, 14}) EXPECT_NEAR(f.r.b[c], -0.0007, 1e-9) << c;
  for (int c : {2, 3, 4, 5, 6, 7, 8, 9, 10}) EXPECT_EQ(f.r.b[c], 0) << c;
  EXPECT_NEAR(f.opt.Xopt[1], -1.501, 5e-4);
  for (int i : {2, 3, 4}) EXPECT_EQ(f.opt.Xopt[i], 0) << i;
  EXPECT_NEAR(f.opt.XoptNat[1], -0.501, 5e-4);
  EXPECT_EQ(f.opt.XoptNat[2], 1);
  EXPECT_NEAR(f.opt.Yopt, 2.00022 - 3.0000024 * 3.0000024 / (4 * 0.9993), 1e-6);

  // The report: the starting rows, the three stages and the optimum.
  ASSERT_EQ(f.report.size(), 2u + 4 + 2 + 1 + 3 + 1 + 1 + 2 + 1 + 1 + 1 + 1 + 1);
  EXPECT_EQ(f.report[0],
            "номер уравнения и коэффициенты при свободном члене и X1,X2,X3,X4 в четырех начальных линейных уравнениях");
  EXPECT_EQ(SplitFields(f.report[2]), (std::vector<std::string>{"1", "3.000002", "1.9986", "0", "0", "0"}));
  const auto row2 = SplitFields(f.report[3]);  // (b2, b5, 2·b12, b8, b9)
  ASSERT_EQ(row2.size(), 6u);
  EXPECT_EQ(row2[0], "2");
  EXPECT_NEAR(*ParseNumber(row2[3]), -0.0014, 1.01e-6);
  EXPECT_EQ(SplitFields(f.report[8]), (std::vector<std::string>{"0", "0", "0"}));  // multipliers of x1
  EXPECT_EQ(SplitFields(f.report[9])[0], "5");
  EXPECT_EQ(f.report[19], "оптимальные значения параметров");
  const auto x = SplitFields(f.report[20]);
  ASSERT_EQ(x.size(), 4u);
  EXPECT_NEAR(*ParseNumber(x[0]), f.opt.Xopt[1], 1e-12);
}

TEST(Optimize, SumOfFactorsLiesFarOutsideThePlan) {
  TempFolder dir("sum");
  const Fitted f = FitTest(TestFunction::Sum, dir.path);
  ASSERT_FALSE(f.msg);
  EXPECT_NEAR(f.r.b[0], 4.0003, 1e-4);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_NEAR(f.r.b[i], 1, 1e-5) << i;
    EXPECT_NEAR(f.r.b[10 + i], -0.00096, 1e-5) << i;
    EXPECT_NEAR(f.opt.Xopt[i], 521, 1) << i;
  }
}

TEST(Optimize, StationaryPointOfAGeneralSurface) {
  TempFolder dir("general");
  const Coefficients b = {1, 0.5, -1, 2, 0.3, 0.2, -0.1, 0.4, 0.3, -0.2, 0.1, 3, 2.5, 4, 3.5};
  LinearSystem sys;
  Optimum o;
  ASSERT_FALSE(Optimize(b, PlanLevels{}, 1, dir.path, sys, &o));
  // The gradient of the fitted surface vanishes there (central differences).
  for (int i = 1; i <= 4; ++i) {
    CodedPoint a = o.Xopt, c = o.Xopt;
    a[i] -= 1e-5, c[i] += 1e-5;
    EXPECT_NEAR((FitValue(b, c) - FitValue(b, a)) / 2e-5, 0, 1e-6) << i;
  }
  for (int i = 1; i <= 4; ++i) {
    PlanLevels lv;
    EXPECT_EQ(o.XoptNat[i], Fix(1e6 * (lv.Xstep[i] * o.Xopt[i] + lv.Xzero[i])) / 1e6);
  }
  PlanLevels lv;
  AdoptOptimum(o, lv);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(lv.Xzero[i], o.XoptNat[i]);
  EXPECT_EQ(lv.Xstep, PlanLevels{}.Xstep);
}

TEST(Optimize, ZeroPivotReportsTheStagesDone) {
  TempFolder dir("pivot");
  const Coefficients base = {1, 0.5, -1, 2, 0.3, 0, 0, 0, 0, 0, 0, 3, 2.5, 4, 3.5};
  struct Case {
    const char* name;
    int zero;             // coefficient set to 0
    std::size_t lines;    // report lines written before the failure
  } cases[] = {
      {"x1 pivot", 11, 6},                  // header and the starting rows
      {"x2 pivot", 12, 6 + 6},              // + elimination of x1
      {"x3 pivot", 13, 6 + 6 + 4},          // + elimination of x2
      {"x4 in the last equation", 14, 6 + 6 + 4 + 3},
  };
  for (const auto& c : cases) {
    Coefficients b = base;
    b[c.zero] = 0;
    LinearSystem sys;
    Optimum o;
    o.Yopt = 123;
    auto msg = Optimize(b, PlanLevels{}, 3, dir.path, sys, &o);
    ASSERT_TRUE(msg) << c.name;
    EXPECT_EQ(msg->text,
              "Ошибка при решение системы линейных уравнений\r\nсмотрите отчет в файле \\Plan(номер плана)\\TorvikSLU.dat");
    EXPECT_EQ(o.Yopt, 123);
    auto report = ReadTextFile(ResolvePath(dir.path, "\\Plan3\\TorvikSLU.dat"));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->size(), c.lines) << c.name;
  }
  // A plan folder that does not exist: nothing can be reported.
  LinearSystem sys;
  Optimum o;
  EXPECT_TRUE(Optimize(base, PlanLevels{}, 77, dir.path, sys, &o));
}

TEST(Sections, FourSectionsSideBySide) {
  const Coefficients b = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};  // 1 + x1 + x1²
  Sections s;
  ASSERT_FALSE(PlotSections(b, {0, 0.5, 0, 0, 0}, 0.0, 0.5, 1.0, &s));
  EXPECT_DOUBLE_EQ(s[1][0].x, 1);
  EXPECT_DOUBLE_EQ(s[1][16].x, 5);
  EXPECT_DOUBLE_EQ(s[4][0].x, 16);
  EXPECT_DOUBLE_EQ(s[1][0].y, 1 / 0.5 + 1);        // x1 = −1: Y = 1
  EXPECT_DOUBLE_EQ(s[1][16].y, 3 / 0.5 + 1);       // x1 = +1: Y = 3
  EXPECT_DOUBLE_EQ(s[2][3].y, 1.75 / 0.5 + 1);     // x1 held at 0.5
  EXPECT_EQ(PlotSections(b, {}, 0.0, 0.0, 1.0, &s)->text,
            "Ошибка при построение графиков\r\nПопробуйте увеличить масштаб");
}

}  // namespace
}  // namespace torvik
