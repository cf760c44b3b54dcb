#include "plan/obs_plan.h"


#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

const std::array<const char*, kObsFactors> kObsPlanColumns = {
    "+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1+1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1+1-1+0+0+0+0+0+0+0+0+0+0+0+0+0+0+0+0",
    "+1+1+1+1+1+1+1+1-1-1-1-1-1-1-1-1+1+1+1+1+1+1+1+1-1-1-1-1-1-1-1-1+0+0+1-1+0+0+0+0+0+0+0+0+0+0+0+0+0+0",
    "+1+1+1+1-1-1-1-1+1+1+1+1-1-1-1-1+1+1+1+1-1-1-1-1+1+1+1+1-1-1-1-1+0+0+0+0+1-1+0+0+0+0+0+0+0+0+0+0+0+0",
    "+1+1-1-1+1+1-1-1+1+1-1-1+1+1-1-1+1+1-1-1+1+1-1-1+1+1-1-1+1+1-1-1+0+0+0+0+0+0+1-1+0+0+0+0+0+0+0+0+0+0",
    "+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+0+0+0+0+0+0+0+0+1-1+0+0+0+0+0+0+0+0",
};

namespace {

// The "B5" regression constants: 81/512, 17/512, 1/34, 1/32, 1/2 and 47/512
// of the inverse normal matrix, rounded as the plan has always used them.
constexpr double kB0Y = 0.158206, kBSq = 0.0332, kBLin = 0.0294118, kBProd = 0.03125, kBSqSelf = 0.5,
                 kBSqAll = 0.0917969;

}  // namespace

ObsPlan CreateObsPlan(ObsPlanKind kind) {
  ObsPlan p;
  p.kind = kind;
  p.StarArm = kind == ObsPlanKind::O5 ? 1.596 : 1.0;
  p.SqShift = kind == ObsPlanKind::O5 ? 0.86266 : 0.0;
  auto& X = p.PlanX;
  for (int i = 1; i <= kObsFactors; ++i)
    for (int j = 1; j <= kObsExperiments; ++j) {
      const char* e = kObsPlanColumns[i - 1] + 2 * (j - 1);
      double v = (e[1] - '0') * (e[0] == '-' ? -1.0 : 1.0);
      if (j >= 33 && j <= 42) v *= p.StarArm;
      X[i][j] = v + 0.0;  // no negative zero in the listing
    }
  for (int c = 0; c < 10; ++c)
    for (int j = 1; j <= kObsExperiments; ++j)
      X[6 + c][j] = X[kObsProductPairs[c][1]][j] * X[kObsProductPairs[c][0]][j] + 0.0;
  for (int k = 16; k <= 20; ++k)
    for (int j = 1; j <= kObsExperiments; ++j) X[k][j] = X[k - 15][j] * X[k - 15][j] - p.SqShift;
  for (int k = 1; k <= 20; ++k)
    for (int j = 1; j <= kObsExperiments; ++j) p.ColSS[k] += X[k][j] * X[k][j];
  return p;
}

std::vector<std::string> ObsPlanListingLines(const ObsPlan& p, int PlanNo) {
  auto groups = [](auto value) {
    std::string s;
    auto run = [&](int from, int to) {
      for (int k = from; k <= to; ++k) s += NumberText(value(k));
    };
    run(1, 5);
    s += "       ";
    run(6, 10);
    s += "       ";
    run(11, 15);
    s += "       ";
    run(16, 20);
    return s;
  };
  std::vector<std::string> lines{"", "план № " + std::to_string(PlanNo), "",
                                 "k1...k5               k6...k15           k16...k20 ", ""};
  for (int j = 1; j <= kObsExperiments; ++j) lines.push_back(groups([&](int k) { return p.PlanX[k][j]; }));
  lines.push_back("   ");
  lines.push_back("");
  lines.push_back(groups([&](int k) { return p.ColSS[k]; }));
  return lines;
}

bool WriteObsPlanListing(const ObsPlan& p, int PlanNo, const std::filesystem::path& folder) {
  return WriteTextFile(ResolvePath(folder, kObsPlanListing), ObsPlanListingLines(p, PlanNo));
}

int ObsPlanExperiments(ObsPlanKind kind) { return kind == ObsPlanKind::O5 ? 43 : 42; }

void ObsTestCriterion(const ObsPlan& p, ObsTestY y, ObsValues* Ycrit) {
  for (int j = 1; j <= kObsExperiments; ++j) {
    if (y == ObsTestY::Index) {
      (*Ycrit)[j] = j;
      continue;
    }
    ObsPoint x{};
    for (int i = 1; i <= kObsFactors; ++i) x[i] = p.PlanX[i][j];
    double v = 1.0;
    for (int i = 1; i <= kObsFactors; ++i) v += x[i] + x[i] * x[i];
    for (const auto& pr : kObsProductPairs) v += x[pr[0]] * x[pr[1]];
    (*Ycrit)[j] = v;
  }
}

double ObsFitValue(const ObsCoefficients& b, const ObsPoint& x) {
  double y = b[0];
  for (int i = 1; i <= kObsFactors; ++i) y += b[i] * x[i] + b[15 + i] * x[i] * x[i];
  for (int c = 0; c < 10; ++c) y += b[6 + c] * x[kObsProductPairs[c][0]] * x[kObsProductPairs[c][1]];
  return y;
}

ObsRegression FindObsRegression(const ObsPlan& p, ObsPlanKind kind, const ObsValues& Ycrit, double MK) {
  ObsRegression r;
  const int n = r.NPlanExp = ObsPlanExperiments(kind);
  double SumY = 0.0;
  std::array<double, 21> B{};
  for (int j = 1; j <= n; ++j) {
    SumY += Ycrit[j];
    for (int k = 1; k <= 20; ++k) B[k] += p.PlanX[k][j] * Ycrit[j];
  }
  const double SumSq = B[16] + B[17] + B[18] + B[19] + B[20];
  auto& b = r.b;
  if (kind == ObsPlanKind::O5) {
    for (int k = 1; k <= 20; ++k) b[k] = B[k] / p.ColSS[k];
    b[0] = SumY / n - p.SqShift * (b[16] + b[17] + b[18] + b[19] + b[20]);
  } else {
    b[0] = kB0Y * SumY - kBSq * SumSq;
    for (int k = 1; k <= 5; ++k) b[k] = kBLin * B[k];
    for (int k = 6; k <= 15; ++k) b[k] = kBProd * B[k];
    for (int k = 16; k <= 20; ++k) b[k] = kBSqSelf * B[k] - kBSqAll * SumSq - kBSq * SumY;
  }
  r.YfitMax = -MK;
  for (int j = 1; j <= n; ++j) {
    ObsPoint x{};
    for (int i = 1; i <= kObsFactors; ++i) x[i] = p.PlanX[i][j];
    r.Yfit[j] = ObsFitValue(b, x);
    if (r.Yfit[j] > r.YfitMax) r.YfitMax = r.Yfit[j];
  }
  return r;
}

}  // namespace torvik
