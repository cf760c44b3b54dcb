#include "observe/tables/models.h"

#include <algorithm>
#include <cmath>

namespace torvik::tables {
namespace {

constexpr double kDeg = kDegree;

double SinD(double d) { return std::sin(d * kDeg); }
double CosD(double d) { return std::cos(d * kDeg); }
double Atan2D(double y, double x) { return std::atan2(y, x) / kDeg; }
double AsinD(double v) { return std::asin(std::clamp(v, -1.0, 1.0)) / kDeg; }

// Greatest value over the argument of f(alpha), by a scan and a refinement;
// enough for the few table maxima computed at start-up and in tests.
template <class F>
double Greatest(F f) {
  double best = 0, at = 0;
  for (double a = 0; a <= 180; a += 0.5) {
    const double v = f(a);
    if (v > best) best = v, at = a;
  }
  double lo = std::max(0.0, at - 0.5), hi = std::min(180.0, at + 0.5);
  for (int i = 0; i < 60; ++i) {
    const double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
    if (f(a) > f(b)) hi = b; else lo = a;
  }
  return std::max(best, f((lo + hi) / 2));
}

}  // namespace

// The crank's least distance falls near 120 degrees from the apogee and is
// found by a ternary search (the distance is unimodal on 60..180),
// remembered for the few eccentricities in use.
double LeastDistance(Deferent kind, double e) {
  if (kind == Deferent::kEquant) return 60 - e;
  struct Known {
    double e = -1, rho = 0;
  };
  thread_local Known known[4];
  for (const Known& k : known)
    if (k.e == e) return k.rho;
  double lo = 60, hi = 180;
  for (int i = 0; i < 60; ++i) {
    const double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
    if (LocateEpicycle(kind, a, e).rho < LocateEpicycle(kind, b, e).rho) hi = b; else lo = a;
  }
  const double rho = LocateEpicycle(kind, (lo + hi) / 2, e).rho;
  thread_local int next = 0;
  known[next] = {e, rho};
  next = (next + 1) % 4;
  return rho;
}
double GreatestDistance(Deferent kind, double e) { return LocateEpicycle(kind, 0, e).rho; }

double SinDeg(double deg) { return SinD(deg); }
double AsinDeg(double v) { return AsinD(v); }

double Norm360(double deg) {
  double v = std::fmod(deg, 360.0);
  if (v < 0) v += 360.0;
  return v >= 360.0 ? 0.0 : v;
}

double Norm180(double deg) {
  const double v = Norm360(deg);
  return v > 180.0 ? v - 360.0 : v;
}

double EccentricEquation(double kappa, double e) {
  return -Atan2D(e * SinD(kappa), 60 + e * CosD(kappa));
}

double EccentricForMaxEquation(double maxEq) { return 60 * SinD(maxEq); }

EpicycleCentre LocateEpicycle(Deferent kind, double kappa, double e) {
  const double ck = CosD(kappa), sk = SinD(kappa);
  double ex, s;  // the equant on the apsidal line at ex; centre at ex + s·(ck, sk)
  if (kind == Deferent::kEquant) {
    // |E + s·u - D| = 60 with E = (2e, 0), D = (e, 0).
    ex = 2 * e;
    s = -e * ck + std::sqrt(3600 - e * e * sk * sk);
  } else {
    // E = (e, 0); deferent centre F = (2e + e cos k, -e sin k) turning against kappa.
    ex = e;
    const double dx = -e * (1 + ck), dy = e * sk;  // E - F
    const double du = dx * ck + dy * sk;
    s = -du + std::sqrt(du * du - (dx * dx + dy * dy) + 3600);
  }
  EpicycleCentre c;
  c.x = ex + s * ck;
  c.y = s * sk;
  c.rho = std::hypot(c.x, c.y);
  c.c = Norm180(Atan2D(c.y, c.x) - kappa);
  return c;
}

double EquantForMaxEquation(double maxEq) {
  double lo = 0, hi = 30;
  for (int i = 0; i < 80; ++i) {
    const double e = (lo + hi) / 2;
    const double m = Greatest([e](double k) { return -LocateEpicycle(Deferent::kEquant, k, e).c; });
    (m < maxEq ? lo : hi) = e;
  }
  return (lo + hi) / 2;
}

double ArgumentEquation(double alpha, double r, double rho) {
  return Atan2D(r * SinD(alpha), rho + r * CosD(alpha));
}

double PtolemaicEquationExact(const PtolemaicPlanet& p, double kappa, double alpha) {
  const EpicycleCentre c = LocateEpicycle(p.kind, kappa, p.e);
  return c.c + ArgumentEquation(alpha - c.c, p.r, c.rho);
}

double PtolemaicEquationTable(const PtolemaicPlanet& p, double kappa, double alpha) {
  const EpicycleCentre c = LocateEpicycle(p.kind, kappa, p.e);
  const double de = p.distanceE > 0 ? p.distanceE : p.e;
  const double rho = de == p.e ? c.rho : LocateEpicycle(p.kind, kappa, de).rho;
  const double a = alpha - c.c;  // true argument
  const double p0 = ArgumentEquation(a, p.r, 60);
  const double max0 = AsinD(p.r / 60);
  if (rho >= 60) {
    const double far = GreatestDistance(p.kind, de);
    const double k = (max0 - AsinD(p.r / rho)) / (max0 - AsinD(p.r / far));
    return c.c + p0 - k * (p0 - ArgumentEquation(a, p.r, far));
  }
  const double near = LeastDistance(p.kind, de);
  const double k = (AsinD(p.r / rho) - max0) / (AsinD(p.r / near) - max0);
  return c.c + p0 + k * (ArgumentEquation(a, p.r, near) - p0);
}

TableMaxima PtolemaicMaxima(const PtolemaicPlanet& p) {
  TableMaxima m;
  m.centre = Greatest([&](double k) { return std::fabs(LocateEpicycle(p.kind, k, p.e).c); });
  m.argument = AsinD(p.r / 60);
  const double far = GreatestDistance(p.kind, p.e), near = LeastDistance(p.kind, p.e);
  m.longior = Greatest([&](double a) { return ArgumentEquation(a, p.r, 60) - ArgumentEquation(a, p.r, far); });
  m.propior = Greatest([&](double a) { return ArgumentEquation(a, p.r, near) - ArgumentEquation(a, p.r, 60); });
  return m;
}

double PtolemaicLatitudeOf(const PtolemaicPlanet& p, const PtolemaicLatitude& lat, double kappa, double alpha) {
  const EpicycleCentre c = LocateEpicycle(p.kind, kappa, p.e);
  const double a = alpha - c.c;  // argument from the true apogee of the epicycle
  // Axes of the eccentre plane: x toward the reference direction (the
  // northern limit, or the apogee for an inner planet), z its normal.
  const double ref = lat.inner ? 0.0 : lat.limit;
  const double x = c.x * CosD(ref) + c.y * SinD(ref);
  const double y = -c.x * SinD(ref) + c.y * CosD(ref);
  const double ux = x / c.rho, uy = y / c.rho;  // toward the epicycle's apogee
  const double tx = -uy, ty = ux;                // its transverse diameter
  const double w = Atan2D(y, x);                 // distance of the centre from the reference
  double tilt, apsid, slant;
  if (lat.inner) {
    tilt = lat.i1 * CosD(w);
    apsid = lat.i2 * SinD(w);
    slant = lat.i3 * CosD(w);
  } else {
    tilt = lat.i1;
    apsid = -lat.i2 * CosD(w);  // perigee toward the eccentre's own side
    slant = 0;
  }
  const double ra = p.r * CosD(a), rt = p.r * SinD(a);
  const double px = x + ra * ux * CosD(apsid) + rt * tx * CosD(slant);
  const double py = y + ra * uy * CosD(apsid) + rt * ty * CosD(slant);
  const double pz = ra * SinD(apsid) + rt * SinD(slant);
  // The eccentre turns about its line of nodes (the y axis through the Earth).
  const double ex = px * CosD(tilt) - pz * SinD(tilt);
  const double ez = px * SinD(tilt) + pz * CosD(tilt);
  return Atan2D(ez, std::hypot(ex, py));
}

OrbitPoint KeplerOrbit(double m, double e) {
  const double mp = Norm180(m + 180) * kDeg;  // mean anomaly from the perihelion
  double E = mp + e * std::sin(mp);
  for (int i = 0; i < 30; ++i) {
    const double dE = (E - e * std::sin(E) - mp) / (1 - e * std::cos(E));
    E -= dE;
    if (std::fabs(dE) < 1e-15) break;
  }
  const double vx = std::cos(E) - e, vy = std::sqrt(1 - e * e) * std::sin(E);
  return {Norm360(Atan2D(vy, vx) + 180), 1 - e * std::cos(E)};
}

OrbitPoint EmptyFocusOrbit(double m, double e, bool variation) {
  const double mm = variation ? Atan2D(SinD(m) / std::sqrt(1 - e * e), CosD(m)) : m;
  const double d = (1 - e * e) / (1 + e * CosD(mm));  // from the empty focus
  const double x = 2 * e + d * CosD(mm), y = d * SinD(mm);
  return {Norm360(Atan2D(y, x)), std::hypot(x, y)};
}

OrbitPoint CopernicanOrbit(double m, double d, double eps) {
  const double x = d + CosD(m) - eps * CosD(2 * m), y = SinD(m) - eps * SinD(2 * m);
  return {Norm360(Atan2D(y, x)), std::hypot(x, y)};
}

HelioPlace ReduceToEcliptic(double orbitLongitude, double r, double node, double incl) {
  const double u = orbitLongitude - node;
  return {Norm360(node + Atan2D(SinD(u) * CosD(incl), CosD(u))), AsinD(SinD(u) * SinD(incl)), r};
}

GeoPlace HelioToGeo(const HelioPlace& planet, const HelioPlace& earth) {
  auto vec = [](const HelioPlace& h, double out[3]) {
    out[0] = h.r * CosD(h.b) * CosD(h.l);
    out[1] = h.r * CosD(h.b) * SinD(h.l);
    out[2] = h.r * SinD(h.b);
  };
  double p[3], e[3];
  vec(planet, p);
  vec(earth, e);
  const double x = p[0] - e[0], y = p[1] - e[1], z = p[2] - e[2];
  return {Norm360(Atan2D(y, x)), Atan2D(z, std::hypot(x, y))};
}

}  // namespace torvik::tables
