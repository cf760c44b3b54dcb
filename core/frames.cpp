#include "core/frames.h"

#include <cmath>
#include <stdexcept>

namespace torvik {

namespace {

constexpr double kPi = 3.14159265359;  // the model's 11-digit pi
constexpr double kUgol = 180.0 / kPi;   // degrees per radian
constexpr double kArcsecPerRad = 206264.8062;

double Rad(double deg) { return deg / kUgol; }
double ArcsecToRad(double sec) { return sec / 3600.0 / kUgol; }
// An argument given in revolutions, reduced and turned into radians.
double Revolutions(double rev) { return 2.0 * kPi * FracPos(rev); }

}  // namespace

double Frac(double x) { return x - std::trunc(x); }

double FracPos(double x) {
  double f = Frac(x);
  return f < 0.0 ? f + 1.0 : f;
}

RelativePos RelativePosition(const Model& m, int a, int b) {
  RelativePos r;
  r.dX = m.X[b] - m.X[a];
  r.dY = m.Y[b] - m.Y[a];
  r.dZ = m.Z[b] - m.Z[a];
  r.Rxy = std::sqrt(r.dX * r.dX + r.dY * r.dY);
  r.range = std::sqrt(r.Rxy * r.Rxy + r.dZ * r.dZ);
  if (r.Rxy == 0.0) throw std::domain_error("RelativePosition: target on the z axis of the observer");
  r.L = r.dY < 0.0 ? 270.0 : 90.0;
  if (r.dX != 0.0) {
    r.L = std::atan(r.dY / r.dX) * m.kUgol;
    if (r.dX >= 0.0 && r.dY < 0.0) r.L += 360.0;
    if (r.dX < 0.0) r.L += 180.0;
  }
  r.B = std::atan(r.dZ / r.Rxy) * m.kUgol;
  return r;
}

double ObliquityOfDate(double T) {
  double sec = 46.815 * T + 0.00059 * T * T - 0.001813 * T * T * T;
  return Rad(23.43929111) - ArcsecToRad(sec);
}

void EquToEcl(Model& m, double T, int k) {
  double e = ObliquityOfDate(T), c = std::cos(e), s = std::sin(e);
  double y = m.Y[k], z = m.Z[k];
  m.Y[k] = y * c + z * s;
  m.Z[k] = z * c - y * s;
}

void EclToEqu(Model& m, double T, int k) {
  double e = ObliquityOfDate(T), c = std::cos(e), s = std::sin(e);
  double y = m.Y[k], z = m.Z[k];
  m.Y[k] = y * c - z * s;
  m.Z[k] = z * c + y * s;
}

Matrix3 PrecessionMatrix(double T0, double T1) {
  const double T = T0, t = T1 - T0;
  // Π: longitude of the axis of rotation on the ecliptic of T0; π: angle
  // between the two ecliptics; p: general precession in longitude.
  const double bigPi = Rad(174.876383889) +
                       ArcsecToRad(3289.4789 * T + 0.60622 * T * T - (869.8089 + 0.50491 * T) * t + 0.03536 * t * t);
  const double pi = ArcsecToRad((47.0029 - 0.06603 * T + 0.000598 * T * T) * t +
                                (-0.03302 + 0.000598 * T) * t * t + 0.00006 * t * t * t);
  const double p = ArcsecToRad((5029.0966 + 2.22226 * T - 0.000042 * T * T) * t +
                               (1.11113 - 0.000042 * T) * t * t - 0.000006 * t * t * t);
  const double S = std::sin(p + bigPi), C = std::cos(p + bigPi);
  const double sP = std::sin(bigPi), cP = std::cos(bigPi), sp = std::sin(pi), cp = std::cos(pi);
  Matrix3 r;
  r[0] = {S * cp * sP + cP * C, sP * C - S * cp * cP, -S * sp};
  r[1] = {S * cP - sP * cp * C, cP * cp * C + S * sP, C * sp};
  r[2] = {sP * sp, -cP * sp, cp};
  return r;
}

Matrix3 PrecessionMatrix(Model& m, double T0, double T1) {
  m.T = T1 - T0;
  return PrecessionMatrix(T0, T1);
}

void ApplyPrecession(Model& m, const Matrix3& prec, int k) {
  const double v[3] = {m.X[k], m.Y[k], m.Z[k]};
  double out[3];
  for (int i = 0; i < 3; ++i) out[i] = prec[i][0] * v[0] + prec[i][1] * v[1] + prec[i][2] * v[2];
  m.X[k] = out[0];
  m.Y[k] = out[1];
  m.Z[k] = out[2];
}

void NutateEquatorial(double T, double& x, double& y, double& z) {
  // Mean anomaly of the Sun, elongation of the Moon, argument of latitude of
  // the Moon and longitude of its node.
  const double ls = Revolutions(0.993133 + 99.997306 * T);
  const double D = Revolutions(0.827362 + 1236.853087 * T);
  const double F = Revolutions(0.259089 + 1342.227826 * T);
  const double N = Revolutions(0.347346 - 5.372447 * T);
  const double eps = 0.4090928 - 0.00022696 * T;
  const double dpsi = (-17.2 * std::sin(N) - 1.319 * std::sin(2.0 * (F - D + N)) - 0.227 * std::sin(2.0 * (F + N)) +
                       0.206 * std::sin(2.0 * N) + 0.143 * std::sin(ls)) /
                      kArcsecPerRad;
  const double deps = (0.574 * std::cos(2.0 * (F - D + N)) + 9.203 * std::cos(N) + 0.098 * std::cos(2.0 * (F + N)) -
                       0.09 * std::cos(2.0 * N)) /
                      kArcsecPerRad;
  const double c = dpsi * std::cos(eps), s = dpsi * std::sin(eps);
  const double dx = -(c * y + s * z);
  const double dy = c * x - deps * z;
  const double dz = s * x + deps * y;
  x += dx;
  y += dy;
  z += dz;
}

double DeltaT(double jd) {
  const double T = (jd - 2415020.0) / 36525.0;
  return 24.35 + 72.32 * T + 29.95 * T * T;
}

double Gmst(double mjd) {
  const double day = std::trunc(mjd);
  const double ut = (mjd - day) * 24.0;
  const double T0 = (day - 51544.5) / 36525.0;
  return 6.697374558 + 1.0027379093 * ut + (8640184.812866 * T0 + 0.093104 * T0 * T0 - 0.0000062 * T0 * T0 * T0) / 3600.0;
}

void EquToHor(Model& m, int k, double phi, double delta, double tau) {
  const double f = Rad(phi), d = Rad(delta), t = Rad(tau);
  m.X[k] = std::sin(f) * std::cos(d) * std::cos(t) - std::sin(d) * std::cos(f);
  m.Y[k] = std::cos(d) * std::sin(t);
  m.Z[k] = std::cos(t) * std::cos(d) * std::cos(f) + std::sin(f) * std::sin(d);
}

void HorToEqu(Model& m, int k, double phi, double h, double A) {
  const double f = Rad(phi), hh = Rad(h), a = Rad(A);
  m.X[k] = std::sin(f) * std::cos(hh) * std::cos(a) + std::sin(hh) * std::cos(f);
  m.Y[k] = std::cos(hh) * std::sin(a);
  m.Z[k] = std::sin(f) * std::sin(hh) - std::cos(a) * std::cos(hh) * std::cos(f);
}

MoonPos MoonPosition(double T) {
  const double L0 = FracPos(0.606433 + 1336.855225 * T);  // mean longitude, revolutions
  const double l = Revolutions(0.374897 + 1325.55241 * T);
  const double ls = Revolutions(0.993133 + 99.997361 * T);
  const double D = Revolutions(0.827361 + 1236.853086 * T);
  const double F = Revolutions(0.259086 + 1342.227825 * T);
  const double dL = 22640 * std::sin(l) - 4586 * std::sin(l - 2 * D) + 2370 * std::sin(2 * D) + 769 * std::sin(2 * l) -
                    668 * std::sin(ls) - 412 * std::sin(2 * F) - 212 * std::sin(2 * l - 2 * D) -
                    206 * std::sin(l + ls - 2 * D) + 192 * std::sin(l + 2 * D) - 165 * std::sin(ls - 2 * D) -
                    125 * std::sin(D) - 110 * std::sin(l + ls) + 148 * std::sin(l - ls) - 55 * std::sin(2 * F - 2 * D);
  const double S = F + (dL + 412 * std::sin(2 * F) + 541 * std::sin(ls)) / kArcsecPerRad;
  const double h = F - 2 * D;
  const double N = -526 * std::sin(h) + 44 * std::sin(l + h) - 31 * std::sin(-l + h) - 23 * std::sin(ls + h) +
                   11 * std::sin(-ls + h) - 25 * std::sin(-2 * l + F) + 21 * std::sin(-l + F);
  MoonPos r;
  r.lon = 2.0 * kPi * FracPos(L0 + dL / 1296000.0);
  r.lat = (18520 * std::sin(S) + N) / kArcsecPerRad;
  return r;
}

double Refraction(double z) {
  // Above 86° the tangent formula fails; the table continues it in straight
  // segments of half a degree, the last one linearly beyond the horizon.
  struct Segment {
    double z0, r0, slope;  // start of the segment, refraction there ("), "/half-degree
  };
  static constexpr Segment kLow[] = {{86.0, 755.74, 76.93}, {86.5, 832.67, 92.33}, {87.0, 925, 101},
                                     {87.5, 1026, 121},     {88.0, 1147, 174.5},   {88.5, 1321.5, 214.5},
                                     {89.0, 1536, 252},     {89.5, 1788, 252}};
  double sec;
  if (z <= 86.0) {
    const double t = std::tan(Rad(z));
    sec = 57.1 * t - 0.0208 * t * t * t;
  } else {
    int i = 0;
    while (i + 1 < static_cast<int>(std::size(kLow)) && z > kLow[i + 1].z0) ++i;
    sec = kLow[i].r0 + 2.0 * (z - kLow[i].z0) * kLow[i].slope;
  }
  return sec / 3600.0;
}

}  // namespace torvik
