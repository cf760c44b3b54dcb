// Secular drift of one element: the points from IStart to IEnd are split into
// groups of NCP consecutive points, a polynomial of 1, 2 or 3 coefficients in
// the time from the epoch (centuries) is fitted to the group means by least
// squares, and the drift per hundred years at the evaluation year is its
// derivative there, with the limit KSigma · Sigma, both in drift units. The
// sweep repeats the fit for every group size and combines the results.
#pragma once

#include <optional>
#include <vector>

#include "stats/points.h"

namespace torvik {

inline constexpr double kKSigma = 2.0;

enum class Criterion : int { Min = 0, MaxMin = 1, Sr = 2 };

// Complete groups of NCP points from IStart to IEnd (points after the last
// complete group are left out). Index 0 is group 1.
struct Groups {
  std::vector<double> Xg;     // mid-time, centuries after JDe: ((JDfile − JDe) + (t_first + t_last)/2) / 36525
  std::vector<double> Yg;     // mean of Par(i, p) over the group
  std::vector<double> tMid;   // (t_first + t_last)/2, days after JDfile
};
Groups GroupMeans(const PointTable& t, int p, int IStart, int IEnd, int NCP, double JDe);

struct Fit {
  double k0 = 0.0, k1 = 0.0, k2 = 0.0;  // coefficients beyond NCoef are 0
  double Sigma = 0.0;                   // standard deviation of the means about the fit, stored units
  double A = 0.0;                       // fitted value at d
  double Drift = 0.0;                   // (k1 + 2·k2·d)·UFactor; 0 for one coefficient
  double Limit = 0.0;                   // KSigma·Sigma·UFactor
};
// Least squares through the normal equations (Cramer's rule) at d = (TYear −
// T0)/100 centuries; std::nullopt when there are no more groups than
// coefficients, the determinant is 0 or a result is not finite.
std::optional<Fit> FitGroups(const std::vector<double>& x, const std::vector<double>& y, int NCoef, double d,
                             double ufactor);

// Evaluation of a sweep over the group sizes g = 1..NCPMax (DriftG, LimitG
// indexed by g; index 0 unused).
struct Sweep {
  int best = 0;                  // smallest LimitG, the smallest g on ties ("NCP0")
  double BandLo = 0, BandHi = 0;  // the "maxmin" band after widening
  double Md = 0, Ml = 0;          // means of DriftG and LimitG
  double Sd = 0;                  // standard deviation of DriftG; NaN for NCPMax = 1
  // Each widening of the band, in the order of g: the band [lo, hi] drawn from
  // group size `from` to g − 1 before the change; `upper` when BandHi rose.
  struct Step {
    int g = 0, from = 0;
    double lo = 0, hi = 0;
    bool upper = false;
  };
  std::vector<Step> steps;
};
// Starts from the interval of the best size; for g = 2..NCPMax an interval wholly
// above the band raises BandHi to its lower end, one wholly below lowers BandLo
// to its upper end.
Sweep EvaluateSweep(const std::vector<double>& DriftG, const std::vector<double>& LimitG, int NCPMax);

// The drift and limit the fields show for a criterion: Fix(MK·v)/MK of the
// best size's values, of the band's middle and half-width, or of the means.
std::pair<double, double> CriterionValues(const Sweep& s, const std::vector<double>& DriftG,
                                          const std::vector<double>& LimitG, Criterion c);

}  // namespace torvik
