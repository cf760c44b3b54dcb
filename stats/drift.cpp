#include "stats/drift.h"

#include <cmath>

#include "core/textfile.h"

namespace torvik {

Groups GroupMeans(const PointTable& t, int p, int IStart, int IEnd, int NCP, double JDe) {
  Groups g;
  double sum = 0.0;
  int n = 0;
  for (int i = IStart; i <= IEnd; ++i) {
    sum += t.Par[static_cast<std::size_t>(i)][static_cast<std::size_t>(p)];
    if (++n < NCP) continue;
    const double tFirst = t.tDay[static_cast<std::size_t>(i - NCP + 1)], tLast = t.tDay[static_cast<std::size_t>(i)];
    g.Yg.push_back(sum / NCP);
    g.Xg.push_back(((t.JDfile - JDe) + tLast / 2 + tFirst / 2) / 36525.0);
    g.tMid.push_back(tFirst / 2 + tLast / 2);
    sum = 0.0;
    n = 0;
  }
  return g;
}

std::optional<Fit> FitGroups(const std::vector<double>& x, const std::vector<double>& y, int NCoef, double d,
                             double ufactor) {
  const auto n = static_cast<double>(x.size());
  if (NCoef < 1 || NCoef > 3 || x.size() <= static_cast<std::size_t>(NCoef)) return std::nullopt;
  double S1 = 0, S2 = 0, S3 = 0, S4 = 0, Sy = 0, Sxy = 0, Sx2y = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double xi = x[i], yi = y[i], x2 = xi * xi;
    S1 += xi;
    S2 += x2;
    S3 += x2 * xi;
    S4 += x2 * x2;
    Sy += yi;
    Sxy += xi * yi;
    Sx2y += x2 * yi;
  }
  Fit f;
  if (NCoef == 1) {
    f.k0 = Sy / n;
  } else if (NCoef == 2) {
    const double D = n * S2 - S1 * S1;
    if (D == 0.0) return std::nullopt;
    f.k0 = (Sy * S2 - Sxy * S1) / D;
    f.k1 = (n * Sxy - Sy * S1) / D;
  } else {
    const double D = n * S2 * S4 + 2 * S1 * S2 * S3 - S2 * S2 * S2 - n * S3 * S3 - S1 * S1 * S4;
    if (D == 0.0) return std::nullopt;
    // Cramer's rule on [[n, S1, S2], [S1, S2, S3], [S2, S3, S4]]·k = (Sy, Sxy, Sx2y).
    const double D0 = Sy * (S2 * S4 - S3 * S3) - S1 * (Sxy * S4 - S3 * Sx2y) + S2 * (Sxy * S3 - S2 * Sx2y);
    const double D1 = n * (Sxy * S4 - S3 * Sx2y) - Sy * (S1 * S4 - S3 * S2) + S2 * (S1 * Sx2y - Sxy * S2);
    const double D2 = n * (S2 * Sx2y - Sxy * S3) - S1 * (S1 * Sx2y - Sxy * S2) + Sy * (S1 * S3 - S2 * S2);
    f.k0 = D0 / D;
    f.k1 = D1 / D;
    f.k2 = D2 / D;
  }
  double SS = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double r = y[i] - f.k0 - f.k1 * x[i] - f.k2 * x[i] * x[i];
    SS += r * r;
  }
  f.Sigma = std::sqrt(SS / (n - NCoef));
  f.A = f.k0 + f.k1 * d + f.k2 * d * d;
  f.Drift = NCoef == 1 ? 0.0 : (f.k1 + 2 * f.k2 * d) * ufactor;
  f.Limit = kKSigma * f.Sigma * ufactor;
  for (double v : {f.k0, f.k1, f.k2, f.Sigma, f.A, f.Drift, f.Limit})
    if (!std::isfinite(v)) return std::nullopt;
  return f;
}

Sweep EvaluateSweep(const std::vector<double>& DriftG, const std::vector<double>& LimitG, int NCPMax) {
  Sweep s;
  double smallest = kStatsMK * kStatsMK;
  for (int g = 1; g <= NCPMax; ++g)
    if (LimitG[static_cast<std::size_t>(g)] < smallest) {
      smallest = LimitG[static_cast<std::size_t>(g)];
      s.best = g;
    }
  if (s.best == 0) s.best = 1;  // every limit at or above MK² (or NaN): the first size
  const auto b = static_cast<std::size_t>(s.best);
  s.BandLo = DriftG[b] - LimitG[b];
  s.BandHi = DriftG[b] + LimitG[b];
  int from = 0;
  for (int g = 2; g <= NCPMax; ++g) {
    const double lo = DriftG[static_cast<std::size_t>(g)] - LimitG[static_cast<std::size_t>(g)];
    const double hi = DriftG[static_cast<std::size_t>(g)] + LimitG[static_cast<std::size_t>(g)];
    if (lo > s.BandHi) {
      s.steps.push_back({g, from, s.BandLo, s.BandHi, true});
      from = g - 1;
      s.BandHi = lo;
    }
    if (hi < s.BandLo) {
      s.steps.push_back({g, from, s.BandLo, s.BandHi, false});
      from = g - 1;
      s.BandLo = hi;
    }
  }
  double sd = 0, sl = 0;
  for (int g = 1; g <= NCPMax; ++g) {
    sd += DriftG[static_cast<std::size_t>(g)];
    sl += LimitG[static_cast<std::size_t>(g)];
  }
  s.Md = sd / NCPMax;
  s.Ml = sl / NCPMax;
  double ss = 0;
  for (int g = 1; g <= NCPMax; ++g) ss += (DriftG[static_cast<std::size_t>(g)] - s.Md) * (DriftG[static_cast<std::size_t>(g)] - s.Md);
  s.Sd = NCPMax > 1 ? std::sqrt(ss / (NCPMax - 1)) : NAN;
  return s;
}

std::pair<double, double> CriterionValues(const Sweep& s, const std::vector<double>& DriftG,
                                          const std::vector<double>& LimitG, Criterion c) {
  switch (c) {
    case Criterion::Min:
      return {FixMK(DriftG[static_cast<std::size_t>(s.best)]), FixMK(LimitG[static_cast<std::size_t>(s.best)])};
    case Criterion::MaxMin:
      return {FixMK((s.BandHi + s.BandLo) / 2), FixMK((s.BandHi - s.BandLo) / 2)};
    case Criterion::Sr:
      return {FixMK(s.Md), FixMK(s.Ml)};
  }
  return {0.0, 0.0};
}

}  // namespace torvik
