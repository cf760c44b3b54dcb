#include "core/kepler.h"

#include <cmath>

namespace torvik {

namespace {

constexpr double kMaxTurns = 1e6;

bool InRange(int k) { return k >= 0 && k < kAnomalySlots; }

}  // namespace

void NormaliseElements(Model& m, int k) {
  if (k < 0 || k >= kBodySlots) return;
  const double p = 2.0 * m.Pi;
  double l = m.AlfaL[k];
  // Turn-by-turn stepping as the stored results were made; a value of more
  // than a million turns (a typing slip) is reduced with fmod instead of
  // looping for ever.
  if (std::fabs(l) > kMaxTurns * p && std::isfinite(l)) l = std::fmod(l, p);
  if (l < p) {
    // Step by whole turns; a non-finite L is left as it is rather than looping.
    while (l <= 0.0 && std::isfinite(l)) l += p;
  } else {
    do {
      l -= p;
    } while (l >= p && std::isfinite(l));
  }
  m.AlfaL[k] = l;
  // Not normalised: may be negative; ElementsToPosition adds one turn.
  m.AnomM[k] = l - m.AlfaP0[k];
}

bool ElementsToPosition(Model& m, int k) {
  if (!InRange(k)) return false;
  if (m.AnomM[k] < 0.0) m.AnomM[k] += 2.0 * m.Pi;
  const double e = m.Eks0[k];
  const double a = m.R0sr[k];
  const double inc = m.Betta0[k];
  const double node = m.AlfaU0[k];
  const double peri = m.AlfaP0[k];
  const double anomM = m.AnomM[k];

  // Fixed-point iteration E = M + e·sin E, at most kKeplerIterations steps.
  double prev = anomM;
  double ecc = anomM;
  for (int n = 1; n <= kKeplerIterations; ++n) {
    ecc = anomM + e * std::sin(prev);
    if (std::fabs(prev - ecc) <= EpsKepler) break;
    prev = ecc;
  }
  m.Eanom = ecc;
  if (!(e > -1.0 && e < 1.0) || !std::isfinite(ecc)) return false;

  // Principal arctangent: v in (−π, π); across E = π it jumps by 2π, which is
  // the same direction, so the position stays continuous.
  const double v = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(ecc / 2.0));
  const double r = (1.0 - e * e) * a / (e * std::cos(v) + 1.0);
  const double u = peri + v - node;
  m.AnomV[k] = v;
  m.Rk[k] = r;
  m.ArgU[k] = u;
  if (!std::isfinite(r) || !std::isfinite(u) || !std::isfinite(inc)) return false;

  const double cu = std::cos(u), su = std::sin(u);
  const double cn = std::cos(node), sn = std::sin(node);
  const double ci = std::cos(inc), si = std::sin(inc);
  m.X[k] = r * (cn * cu - sn * su * ci);
  m.Y[k] = r * (cn * su * ci + sn * cu);
  m.Z[k] = r * su * si;
  return true;
}

bool ElementsToVelocity(Model& m, int k) {
  if (!InRange(k)) return false;
  const double e = m.Eks0[k];
  const double p = m.R0sr[k] * (1.0 - e * e);  // semi-latus rectum, m
  const double r = m.Rk[k];
  const double mu = m.gamma * m.mPl[0];
  if (!(p > 0.0) || r == 0.0 || !(mu >= 0.0)) return false;
  const double v = m.AnomV[k];
  const double u = m.ArgU[k];
  const double node = m.AlfaU0[k];
  const double inc = m.Betta0[k];
  const double s = std::sqrt(mu / p);
  const double vr = s * e * std::sin(v);
  const double vt = s * (1.0 + e * std::cos(v));

  const double cu = std::cos(u), su = std::sin(u);
  const double cn = std::cos(node), sn = std::sin(node);
  const double ci = std::cos(inc), si = std::sin(inc);
  const double vx = vt * (-su * cn - sn * cu * ci) + vr * m.X[k] / r;
  const double vy = vt * (cn * cu * ci - su * sn) + vr * m.Y[k] / r;
  const double vz = vr * m.Z[k] / r + vt * cu * si;
  if (!std::isfinite(vx) || !std::isfinite(vy) || !std::isfinite(vz)) return false;
  m.VX[k] = vx;
  m.VY[k] = vy;
  m.VZ[k] = vz;
  return true;
}

}  // namespace torvik
