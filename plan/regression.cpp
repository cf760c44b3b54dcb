#include "plan/regression.h"

#include <algorithm>
#include <cmath>

namespace torvik {

const std::array<TestInfo, 10> kTests = {{
    {TestFunction::U, "Y(u)=u", "u", 0},
    {TestFunction::X1PlusX1Sq, "Y(u)=X1+X1^2", "x1+x1^2", 2},
    {TestFunction::Sum, "Y(u) = X1 + X2 + X3 + X4 ", "sum", 4},
    {TestFunction::Product, "Y(u) = X1 * X2 * X3 * X4", "product", 1},
    {TestFunction::RatioX4Sq, "Y(u) = X1* X2 * X3 / X4^2", "ratio", 1},
    {TestFunction::PairProducts, "Y(u) = X1*X2 + X1*X3 + X1*X4 + X2*X3 + X2*X4 + X3*X4", "pairs", 6},
    {TestFunction::X1SqX2Sq, "Y(u)= X1^2 * X2^2", "x1^2*x2^2", 1},
    {TestFunction::SumSquares, "Y(u)= X1^2 + X2^2 + X3^2 + X4^2", "squares", 4},
    {TestFunction::FullQuadratic,
     "Y(u) = X1 + X2 + X3 + X4 + X1^2 + X2^2 + X3^2 + X4^2 +        + X1*X2 + X1*X3 + X1*X4 + X2*X3 + X2*X4 + "
     "X3*X4",
     "full", 14},
    {TestFunction::SumWithX4, "Y(u)= X1 + X2 + X3 + X4 + X1*X4 + X2*X4 + X3*X4 + X4^2", "sum+x4", 8},
}};

const TestInfo& TestInfoOf(TestFunction f) {
  for (const auto& t : kTests)
    if (t.f == f) return t;
  return kTests[4];
}

double TestValue(TestFunction f, int j, const CodedPoint& X) {
  const double x1 = X[1], x2 = X[2], x3 = X[3], x4 = X[4];
  const double sum = x1 + x2 + x3 + x4;
  const double squares = x1 * x1 + x2 * x2 + x3 * x3 + x4 * x4;
  const double pairs = x1 * x2 + x1 * x3 + x1 * x4 + x2 * x3 + x2 * x4 + x3 * x4;
  switch (f) {
    case TestFunction::U: return j;
    case TestFunction::X1PlusX1Sq: return x1 + x1 * x1;
    case TestFunction::Sum: return sum;
    case TestFunction::Product: return x1 * x2 * x3 * x4;
    case TestFunction::RatioX4Sq: return x1 * x2 * x3 / (x4 * x4);
    case TestFunction::PairProducts: return pairs;
    case TestFunction::X1SqX2Sq: return x1 * x1 * x2 * x2;
    case TestFunction::SumSquares: return squares;
    case TestFunction::FullQuadratic: return sum + squares + pairs;
    case TestFunction::SumWithX4: return sum + x1 * x4 + x2 * x4 + x3 * x4 + x4 * x4;
  }
  return 0.0;
}

namespace {

UserMessage Processing() { return UserMessage{kMsgProcessing, kTitle}; }

double Form(CriterionForm form, double relative) {
  return form == CriterionForm::dY2 ? relative * relative : relative;
}

}  // namespace

ActionResult TestCriterion(PlanTables& t, const PlanLevels& lv, TestFunction f, CriterionForm form,
                           PlanValues* Ycrit) {
  const double target = TestInfoOf(f).YTarget;
  for (int j = 1; j <= kB4DExperiments; ++j) {
    NaturalValues(t, lv, j);
    CodedPoint X{0, t.PlanU[j][1], t.PlanU[j][2], t.PlanU[j][3], t.PlanU[j][4]};
    const double y = TestValue(f, j, X);
    double c = y;
    if (f != TestFunction::U && form != CriterionForm::Y) c = Form(form, std::fabs(y - target) / target);
    if (!std::isfinite(c)) return Processing();
    (*Ycrit)[j] = c;
  }
  return std::nullopt;
}

ActionResult DriftCriterion(const ObservedDrifts& nab, const std::array<PlanDrifts, 11>& ras,
                            const DriftSelection& sel, const PlanWeights& Wt, PlanValues* Ycrit) {
  for (int j = 1; j <= kB4DExperiments; ++j) {
    double sum = 0.0;
    for (int p = 1; p <= 10; ++p) {
      if (!sel.planets[p]) continue;
      for (int e = 1; e <= 6; ++e) {
        if (!sel.elements[e]) continue;
        const double r = ras[p][e][j];
        if (sel.form == CriterionForm::Y) {
          sum += r;
          continue;
        }
        const double n = nab[p][e];
        if (n == 0.0) return Processing();
        sum += Form(sel.form, std::fabs((r - n) / n) * Wt[p][e]);
      }
    }
    if (!std::isfinite(sum)) return Processing();
    (*Ycrit)[j] = sum;
  }
  return std::nullopt;
}

ActionResult ModelCriterion(const DriftSource& src, const std::filesystem::path& folder,
                            const std::string& imitatorFolder, int plan, const DriftSelection& sel,
                            const PlanWeights& Wt, PlanValues* Ycrit) {
  ObservedDrifts nab{};
  if (!src.readObserved || !src.readPlan) return Processing();
  if (auto msg = src.readObserved(folder, imitatorFolder, &nab)) return msg;
  std::array<PlanDrifts, 11> ras{};
  for (int p = 1; p <= 10; ++p)
    if (sel.planets[p])
      if (auto msg = src.readPlan(folder, plan, p, &ras[p])) return msg;
  return DriftCriterion(nab, ras, sel, Wt, Ycrit);
}

double FitValue(const Coefficients& b, const CodedPoint& x) {
  double y = b[0];
  for (int i = 1; i <= kFactors; ++i) y += b[i] * x[i];
  for (int c = 0; c < 6; ++c) y += b[5 + c] * x[kProductPairs[c][0]] * x[kProductPairs[c][1]];
  for (int i = 1; i <= kFactors; ++i) y += b[10 + i] * x[i] * x[i];
  return y;
}

Regression FindRegression(const PlanTables& t, const PlanValues& Ycrit) {
  double SumY = 0.0;
  std::array<double, 15> B{};
  for (int j = 1; j <= kB4DExperiments; ++j) {
    SumY += Ycrit[j];
    for (int c = 1; c <= 14; ++c) B[c] += t.PlanX[c][j] * Ycrit[j];
  }
  const double SumSq = B[11] + B[12] + B[13] + B[14];
  Regression r;
  r.b[0] = 0.22917 * SumY - 0.0625 * SumSq;
  for (int c = 1; c <= 4; ++c) r.b[c] = 0.0555556 * B[c];
  for (int c = 5; c <= 10; ++c) r.b[c] = 0.0625 * B[c];
  for (int c = 11; c <= 14; ++c) r.b[c] = 0.5 * B[c] - 0.10417 * SumSq - 0.0625 * SumY;
  for (int j = 1; j <= kB4DExperiments; ++j) {
    CodedPoint x{0, t.PlanX[1][j], t.PlanX[2][j], t.PlanX[3][j], t.PlanX[4][j]};
    r.Yfit[j] = FitValue(r.b, x);
  }
  const auto first = r.Yfit.begin() + 1;
  r.YfitMin = *std::min_element(first, r.Yfit.end());
  r.YfitMax = *std::max_element(first, r.Yfit.end());
  r.MP = (r.YfitMax - r.YfitMin) / 10.0;
  return r;
}

ActionResult PlotSections(const Coefficients& b, const CodedPoint& base, double YfitMin, double MP, double dy,
                          Sections* out) {
  const UserMessage fail{kMsgSections, kTitle};
  if (!(MP != 0.0) || !std::isfinite(MP)) return fail;
  for (int i = 1; i <= kFactors; ++i)
    for (int u = 0; u <= 16; ++u) {
      CodedPoint x = base;
      x[i] = u / 8.0 - 1.0;
      const double y = (FitValue(b, x) - YfitMin) / MP + dy;
      if (!std::isfinite(y)) return fail;
      (*out)[i][u] = PlotPoint{5.0 * (i - 1) + 1.0 + u / 4.0, y};
    }
  return std::nullopt;
}

}  // namespace torvik
