#include "planpos/planety.h"

#include <array>
#include <cmath>
#include <numbers>

#include "core/kepler.h"
#include "core/model.h"
#include "core/theories.h"

// After the model: libnova defines JD2000 as a macro.
#include <erfa.h>
#include <libnova/libnova.h>
#undef JD2000

namespace torvik {

namespace {

constexpr double kAuKm = 149597870.691;  // DE405's astronomical unit, km
constexpr double kJ2000 = 2451545.0;
constexpr double kDegPerRad = 180.0 / 3.14159265358979323846;
// Obliquity of the J2000 ecliptic used to turn Plan94's equatorial output
// into the base of the fit (any small error of it is absorbed by the fit).
constexpr double kEps2000 = 84381.406 / 3600.0 / kDegPerRad;

using HelioFn = void (*)(double, ln_helio_posn*);

// Per body: the theory, its range (Julian dates), and the fit of the theory's
// difference from Plan94: window length (days) and number of nodes. The
// Earth's window is short because its difference from Plan94's Earth–Moon
// barycentre carries the month.
struct BodyTheory {
  HelioFn fn;
  double first, last;
  double window;
  int nodes;
};
constexpr double kYear = 365.25;
const BodyTheory kTheory[10] = {
    {nullptr, 0, 0, 0, 0},
    {ln_get_mercury_helio_coords, kJ2000 - 2000 * kYear, kJ2000 + 2000 * kYear, 32, 10},
    {ln_get_venus_helio_coords, kJ2000 - 2000 * kYear, kJ2000 + 2000 * kYear, 32, 8},
    {ln_get_earth_helio_coords, kJ2000 - 2000 * kYear, kJ2000 + 2000 * kYear, 8, 10},
    {ln_get_mars_helio_coords, kJ2000 - 2000 * kYear, kJ2000 + 2000 * kYear, 32, 8},
    {ln_get_jupiter_helio_coords, kJ2000 - 1000 * kYear, kJ2000 + 1000 * kYear, 64, 8},
    {ln_get_saturn_helio_coords, kJ2000 - 1000 * kYear, kJ2000 + 1000 * kYear, 64, 8},
    {ln_get_uranus_helio_coords, kJ2000 - 3000 * kYear, kJ2000 + 3000 * kYear, 64, 8},
    {ln_get_neptune_helio_coords, kJ2000 - 3000 * kYear, kJ2000 + 3000 * kYear, 64, 8},
    {ln_get_pluto_helio_coords, 2409177.5, 2488069.5, 0, 0},  // 1 January 1885 – 31 December 2099
};
constexpr int kMaxNodes = 16;

// Heliocentric ecliptic J2000 rectangular position, AU, of the theory.
void Theory(int k, double jd, double v[3]) {
  ln_helio_posn p;
  kTheory[k].fn(jd, &p);
  const double L = p.L / kDegPerRad, B = p.B / kDegPerRad;
  v[0] = p.R * std::cos(B) * std::cos(L);
  v[1] = p.R * std::cos(B) * std::sin(L);
  v[2] = p.R * std::sin(B);
}

// Plan94, rotated to the ecliptic J2000, AU.
void Base(int k, double jd, double v[3]) {
  double pv[2][3];
  eraPlan94(jd, 0.0, k, pv);  // a status 1 (far from J2000) still gives a position
  const double c = std::cos(kEps2000), s = std::sin(kEps2000);
  v[0] = pv[0][0];
  v[1] = pv[0][1] * c + pv[0][2] * s;
  v[2] = pv[0][2] * c - pv[0][1] * s;
}

// The Chebyshev fit of (theory − Plan94) over the current window of a body.
struct Fit {
  bool valid = false;
  double start = 0.0;  // first Julian date of the window
  std::array<std::array<double, kMaxNodes>, 3> c{};
};
Fit gFits[9];

void BuildFit(int k, double start, Fit& f) {
  const BodyTheory& t = kTheory[k];
  const int n = t.nodes;
  double values[kMaxNodes][3];
  for (int i = 0; i < n; ++i) {
    const double x = std::cos(std::numbers::pi * (i + 0.5) / n);
    const double jd = start + (x + 1.0) * 0.5 * t.window;
    double a[3], b[3];
    Theory(k, jd, a);
    Base(k, jd, b);
    for (int c = 0; c < 3; ++c) values[i][c] = a[c] - b[c];
  }
  for (int c = 0; c < 3; ++c)
    for (int j = 0; j < n; ++j) {
      double s = 0.0;
      for (int i = 0; i < n; ++i) s += values[i][c] * std::cos(std::numbers::pi * j * (i + 0.5) / n);
      f.c[c][j] = (j == 0 ? 1.0 : 2.0) * s / n;
    }
  f.start = start;
  f.valid = true;
}

void Fitted(int k, double jd, double v[3]) {
  const BodyTheory& t = kTheory[k];
  const double start = kJ2000 + std::floor((jd - kJ2000) / t.window) * t.window;
  Fit& f = gFits[k];
  if (!f.valid || f.start != start) BuildFit(k, start, f);
  const double x = 2.0 * (jd - start) / t.window - 1.0;
  Base(k, jd, v);
  for (int c = 0; c < 3; ++c) {
    // Clenshaw's recurrence.
    double b1 = 0.0, b2 = 0.0;
    for (int j = t.nodes - 1; j >= 1; --j) {
      const double b0 = 2.0 * x * b1 - b2 + f.c[c][j];
      b2 = b1;
      b1 = b0;
    }
    v[c] += x * b1 - b2 + f.c[c][0];
  }
}

void ToSpherical(const double v[3], double au, double* out) {
  const double rxy = std::hypot(v[0], v[1]);
  double L = std::atan2(v[1], v[0]) * kDegPerRad;
  if (L < 0.0) L += 360.0;
  out[0] = L;
  out[1] = std::atan2(v[2], rxy) * kDegPerRad;
  out[2] = std::sqrt(rxy * rxy + v[2] * v[2]) * au;
}

// Heliocentric ecliptic J2000 position of the JPL elements (1..9) or of the
// placeholder elements of Ксена (10), metres.
void Elements(int k, double jd, double v[3]) {
  static Model m = [] {
    Model x;
    SetConstants(x);
    return x;
  }();
  m.JD = jd;
  if (k == 10) {
    m.Lae = 149597870691.0;
    m.Aae[10] = 50.01;
    m.R0sr[10] = m.Lae * 50.01;
    m.W0sr[10] = 0.00001 / 86400.0;
    m.AlfaL[10] = 0.01 + m.W0sr[10] * (jd - kJ2000) * 86400.0;
    m.Eks0[10] = 0.001;
    m.Betta0[10] = 0.01;
    m.AlfaU0[10] = 0.01;
    m.AlfaP0[10] = m.Pi / 2.0;
  } else {
    JplElements(m, k);
  }
  NormaliseElements(m, k);
  ElementsToPosition(m, k);
  v[0] = m.X[k];
  v[1] = m.Y[k];
  v[2] = m.Z[k];
}

}  // namespace

TheoryRange PlanetyRange(int planet) {
  if (planet < 1 || planet > 9) return {};
  return {kTheory[planet].first, kTheory[planet].last};
}

void PlanetyDirect(int planet, double jd, double* out) {
  if (planet < 1 || planet > 9) return;
  double v[3];
  Theory(planet, jd, v);
  ToSpherical(v, kAuKm, out);
}

void planety(std::int32_t planet, double jd, double* out) {
  if (planet == 0) {
    out[0] = out[1] = out[2] = 0.0;
    return;
  }
  if (planet < 1 || planet > 10 || !std::isfinite(jd)) return;
  double v[3];
  if (planet == 10 || jd < kTheory[planet].first || jd > kTheory[planet].last) {
    Elements(planet, jd, v);
    ToSpherical(v, 0.001, out);
    return;
  }
  if (planet == 9) {
    Theory(9, jd, v);
  } else {
    Fitted(planet, jd, v);
  }
  ToSpherical(v, kAuKm, out);
}

}  // namespace torvik
