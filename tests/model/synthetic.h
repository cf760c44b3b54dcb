// A Solar-System-like model state for the engine tests and the benchmark:
// the Sun at the origin at rest and nine planets on two-body ellipses with
// elements close to their J2000 values (heliocentric ecliptic, SI units).
// Independent of the loaders, so the engine can be tested on its own.
#pragma once

#include <cmath>

#include "core/model.h"

namespace torvik::testing {

struct SyntheticElements {
  double aAU, e, iDeg, nodeDeg, periDeg, LDeg, massRatio, TsidDays;
};

// Approximate J2000 mean elements; Ксена (10) stays excluded at rest.
inline constexpr SyntheticElements kSyntheticPlanets[9] = {
    {0.38709927, 0.20563593, 7.00497902, 48.33076593, 77.45779628, 252.25032350, 6023600.0, 87.96926},
    {0.72333566, 0.00677672, 3.39467605, 76.67984255, 131.60246718, 181.97909950, 408523.71, 224.7008},
    {1.00000261, 0.01671123, 0.00001531, 0.0, 102.93768193, 100.46457166, 328900.56, 365.2564},
    {1.52371034, 0.09339410, 1.84969142, 49.55953891, 336.05637041, 355.44656795, 3098708.0, 686.9796},
    {5.20288700, 0.04838624, 1.30439695, 100.47390909, 14.72847983, 34.39644051, 1047.3486, 4332.82},
    {9.53667594, 0.05386179, 2.48599187, 113.66242448, 92.59887831, 49.95424423, 3497.898, 10755.7},
    {19.18916464, 0.04725744, 0.77263783, 74.01692503, 170.95427630, 313.23810451, 22902.98, 30687.15},
    {30.06992276, 0.00859048, 1.77004347, 131.78422574, 44.96476227, 304.87997031, 19412.24, 60190.03},
    {39.48211675, 0.24882730, 17.14001206, 110.30393684, 224.06891629, 238.92903833, 135200000.0, 90553.02},
};

// Heliocentric position and velocity of a two-body ellipse (mu in m³/s²).
inline void EllipseState(double a, double e, double inc, double node, double peri, double L,
                         double mu, double r[3], double v[3]) {
  double M = L - peri, w = peri - node;
  double E = M;
  for (int it = 0; it < 50; ++it) E -= (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
  double cE = std::cos(E), sE = std::sin(E), b = a * std::sqrt(1 - e * e);
  double xo = a * (cE - e), yo = b * sE;
  double n = std::sqrt(mu / (a * a * a)), Edot = n / (1 - e * cE);
  double vxo = -a * sE * Edot, vyo = b * cE * Edot;
  double cw = std::cos(w), sw = std::sin(w), cO = std::cos(node), sO = std::sin(node);
  double ci = std::cos(inc), si = std::sin(inc);
  auto rot = [&](double x, double y, double out[3]) {
    double x1 = cw * x - sw * y, y1 = sw * x + cw * y;
    out[0] = cO * x1 - sO * ci * y1;
    out[1] = sO * x1 + cO * ci * y1;
    out[2] = si * y1;
  };
  rot(xo, yo, r);
  rot(vxo, vyo, v);
}

// Fills masses, gamma, elements, Tsid, InSys/kPair, the date (1.5 Jan 1601,
// JD 2305814.0) and X0..VZ0 from the synthetic elements.
inline void FillSyntheticSystem(Model& m) {
  const double deg = 3.14159265358979323846 / 180.0;
  m.gamma = 6.67259e-11;
  m.mPl.fill(0.0);
  m.mPl[0] = 1.98892e30;
  m.km.fill(0.0);
  m.km[0] = 1.0;
  m.InSys.fill(0);
  for (auto& row : m.kPair) row.fill(0);
  m.X0.fill(0.0), m.Y0.fill(0.0), m.Z0.fill(0.0);
  m.VX0.fill(0.0), m.VY0.fill(0.0), m.VZ0.fill(0.0);
  m.InSys[0] = 1;
  m.Tsid[0] = 4444;
  for (int k = 1; k <= 9; ++k) {
    const auto& p = kSyntheticPlanets[k - 1];
    m.km[k] = p.massRatio;
    m.mPl[k] = m.mPl[0] / p.massRatio;
    m.InSys[k] = 1;
    m.R0sr[k] = p.aAU * m.Lae;
    m.Eks0[k] = p.e;
    m.Betta0[k] = p.iDeg * deg;
    m.AlfaU0[k] = p.nodeDeg * deg;
    m.AlfaP0[k] = p.periDeg * deg;
    m.AlfaL[k] = p.LDeg * deg;
    m.Tsid[k] = p.TsidDays;
    double r[3], v[3];
    EllipseState(m.R0sr[k], p.e, p.iDeg * deg, p.nodeDeg * deg, p.periDeg * deg, p.LDeg * deg,
                 m.gamma * m.mPl[0], r, v);
    m.X0[k] = r[0], m.Y0[k] = r[1], m.Z0[k] = r[2];
    m.VX0[k] = v[0], m.VY0[k] = v[1], m.VZ0[k] = v[2];
  }
  m.Tsid[10] = 99999;
  m.mPl[10] = m.mPl[0] / 1e6;
  m.km[10] = 1e6;
  m.X0[10] = 3e13;
  for (int i = 0; i <= 10; ++i)
    for (int j = 0; j <= 10; ++j) m.kPair[i][j] = (m.InSys[i] && m.InSys[j]) ? 1 : 0;
  m.DateY = 1601;
  m.DateM = 1;
  m.DateD = 1.5f;
  m.JDstart = m.JD = 2305814.0;
  m.VXsys = m.VYsys = m.VZsys = 0.0;
}

}  // namespace torvik::testing
