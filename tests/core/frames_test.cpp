// Frames and corrections against ERFA and against the worked values of the
// routines' own tables.
#include "core/frames.h"

#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace torvik {
namespace {

constexpr double kDegree = 1.0;                // angles below are in degrees unless named
constexpr double kArcsecond = kDegree / 3600.0;
constexpr double kArcminute = 60.0 * kArcsecond;
constexpr double kHour = 1.0;
constexpr double kSecondOfTime = kHour / 3600.0;
constexpr double kRadToDeg = 180.0 / ERFA_DPI;

// Angle between two rotation matrices, degrees: the largest element difference
// is the rotation angle to first order.
double MatrixDifference(const Matrix3& a, const double b[3][3]) {
  double worst = 0.0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) worst = std::max(worst, std::fabs(a[i][j] - b[i][j]));
  return worst * kRadToDeg;
}

double AngleDiff(double a, double b) {  // degrees, folded into (−180, 180]
  double d = std::fmod(a - b, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d <= -180.0) d += 360.0;
  return d;
}

TEST(Frames, GmstAtJ2000NoonIsTheWorkedValue) {
  EXPECT_NEAR(Gmst(51544.5), 18.6973746, 1e-7 * kHour);
}

TEST(Frames, GmstAgreesWithErfaGmst82) {
  for (double mjd : {15020.0, 40000.25, 51544.5, 60000.8, 73000.125}) {
    double erfa = eraGmst82(2400000.5, mjd) * kRadToDeg / 15.0;
    double got = std::fmod(Gmst(mjd), 24.0);
    if (got < 0) got += 24.0;
    double d = got - erfa;
    EXPECT_NEAR(d, 0.0, 1e-3 * kSecondOfTime) << "MJD " << mjd << " want " << erfa << " got " << got;
  }
}

// Ecliptic precession of the ecliptic of T0 to that of T1 from ERFA: the
// IAU 1976 equatorial precession between the two ecliptics of the IAU 1980
// obliquity (the same Lieske theory, another formulation), and the long-term
// model of Vondrák (2011), whose precession rate is 0.30"/century slower.
void ErfaEclipticPrecession(bool iau1976, double T0, double T1, double out[3][3]) {
  auto fromJ2000 = [iau1976](double T, double r[3][3]) {
    if (!iau1976) {
      double e0[3][3], e1[3][3], e0t[3][3];
      eraLtecm(2000.0, e0);
      eraLtecm(2000.0 + 100.0 * T, e1);
      eraTr(e0, e0t);
      eraRxr(e1, e0t, r);
      return;
    }
    double p[3][3], toEcl[3][3], fromEcl[3][3], t[3][3];
    eraPmat76(ERFA_DJ00, 36525.0 * T, p);
    eraIr(toEcl);
    eraRx(eraObl80(ERFA_DJ00, 36525.0 * T), toEcl);
    eraIr(fromEcl);
    eraRx(-eraObl80(ERFA_DJ00, 0.0), fromEcl);
    eraRxr(p, fromEcl, t);
    eraRxr(toEcl, t, r);
  };
  double a[3][3], b[3][3], bt[3][3];
  fromJ2000(T1, a);
  fromJ2000(T0, b);
  eraTr(b, bt);
  eraRxr(a, bt, out);
}

TEST(Frames, PrecessionMatrixAgreesWithErfaOverFiveCenturies) {
  const double pairs[][2] = {{0, 1}, {0, -1}, {0, 3}, {0, -3}, {0, 5}, {0, -5}, {-4, -3.2}, {0.6, -0.4}, {2, 5}};
  for (const auto& pr : pairs) {
    const double T0 = pr[0], T1 = pr[1];
    const Matrix3 got = PrecessionMatrix(T0, T1);
    double iau76[3][3], longTerm[3][3];
    ErfaEclipticPrecession(true, T0, T1, iau76);
    ErfaEclipticPrecession(false, T0, T1, longTerm);
    double d76 = MatrixDifference(got, iau76), dlt = MatrixDifference(got, longTerm);
    EXPECT_LT(d76, 0.01 * kArcsecond) << T0 << " -> " << T1 << ": IAU 1976 difference " << d76 / kArcsecond << "\"";
    double allowed = 0.35 * kArcsecond * std::fabs(T1 - T0) + 0.05 * kArcsecond;
    EXPECT_LT(dlt, allowed) << T0 << " -> " << T1 << ": long-term difference " << dlt / kArcsecond << "\" allowed "
                            << allowed / kArcsecond << "\"";
  }
}

TEST(Frames, PrecessionOverZeroIntervalIsIdentityAndLeavesIntervalInT) {
  Model m;
  m.X[20] = 1.0e11;
  m.Y[20] = -2.0e11;
  m.Z[20] = 3.0e9;
  Matrix3 p = PrecessionMatrix(m, 0.37, 0.37);
  ApplyPrecession(m, p, 20);
  EXPECT_DOUBLE_EQ(m.X[20], 1.0e11);
  EXPECT_DOUBLE_EQ(m.Y[20], -2.0e11);
  EXPECT_DOUBLE_EQ(m.Z[20], 3.0e9);
  PrecessionMatrix(m, 0.25, -0.5);
  EXPECT_DOUBLE_EQ(m.T, -0.75);
}

TEST(Frames, EclipticEquatorRotationRoundTripsAndUsesTheObliquityOfDate) {
  Model m;
  for (double T : {-3.0, 0.0, 0.6}) {
    m.X[3] = 0.3e11, m.Y[3] = 1.4e11, m.Z[3] = -0.2e11;
    EclToEqu(m, T, 3);
    // Ecliptic pole (0, 0, 1) becomes (0, −sin ε, cos ε) on the equator.
    Model pole;
    pole.Z[0] = 1.0;
    EclToEqu(pole, T, 0);
    double eps = std::atan2(-pole.Y[0], pole.Z[0]) * kRadToDeg;
    double want = eraObl06(ERFA_DJ00, 36525.0 * T) * kRadToDeg;
    EXPECT_NEAR(eps, want, 0.1 * kArcsecond) << "T " << T;
    EquToEcl(m, T, 3);
    EXPECT_NEAR(m.Y[3], 1.4e11, 1e-4);
    EXPECT_NEAR(m.Z[3], -0.2e11, 1e-4);
    EXPECT_EQ(m.X[3], 0.3e11);
  }
}

// The five-term nutation against IAU 2000A: mean equator -> true equator.
TEST(Frames, NutationAgreesWithIau2000AToAnArcsecond) {
  for (double T : {-0.6, -0.13, 0.0, 0.21, 0.5}) {
    double n[3][3];
    eraNum06a(ERFA_DJ00, 36525.0 * T, n);
    const double v[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& u : v) {
      double x = u[0], y = u[1], z = u[2];
      NutateEquatorial(T, x, y, z);
      for (int i = 0; i < 3; ++i) {
        double want = n[i][0] * u[0] + n[i][1] * u[1] + n[i][2] * u[2];
        double got = i == 0 ? x : i == 1 ? y : z;
        EXPECT_NEAR(got, want, 1.0 * kArcsecond / kRadToDeg) << "T " << T << " row " << i;
      }
    }
  }
}

// The low-precision Moon against ERFA's Moon98, on the ecliptic of date.
TEST(Frames, MoonAgreesWithErfaMoon98ToAFewArcminutes) {
  for (double T : {-0.9, -0.25, 0.0, 0.0137, 0.2, 0.55}) {
    double pv[2][3], ecm[3][3], ecl[3];
    const double tt = 36525.0 * T;
    eraMoon98(ERFA_DJ00, tt, pv);
    eraEcm06(ERFA_DJ00, tt, ecm);
    eraRxp(ecm, pv[0], ecl);
    double lon, lat;
    eraC2s(ecl, &lon, &lat);
    MoonPos got = MoonPosition(T);
    EXPECT_GE(got.lon, 0.0);
    EXPECT_LT(got.lon, 2.0 * ERFA_DPI);
    EXPECT_NEAR(AngleDiff(got.lon * kRadToDeg, lon * kRadToDeg), 0.0, 5.0 * kArcminute) << "T " << T;
    EXPECT_NEAR(got.lat * kRadToDeg, lat * kRadToDeg, 3.0 * kArcminute) << "T " << T;
  }
}

// Horizontal unit vectors against ERFA's hour angle -> azimuth, elevation.
// The system counts azimuth from the south through the west.
TEST(Frames, HorizontalFrameAgreesWithErfaAndRoundTrips) {
  struct Case {
    double phi, delta, tau;
  };
  const Case cases[] = {{55.75, 20.0, 30.0}, {-33.9, -60.0, 250.0}, {0.0, 10.0, 90.0}, {89.0, 45.0, 180.0}};
  for (const auto& c : cases) {
    Model m;
    EquToHor(m, 14, c.phi, c.delta, c.tau);
    double h = std::asin(m.Z[14]) * kRadToDeg, A = std::atan2(m.Y[14], m.X[14]) * kRadToDeg;
    double az, el;
    eraHd2ae(c.tau / kRadToDeg, c.delta / kRadToDeg, c.phi / kRadToDeg, &az, &el);
    EXPECT_NEAR(h, el * kRadToDeg, 1e-9 * kDegree);
    EXPECT_NEAR(AngleDiff(A, az * kRadToDeg + 180.0), 0.0, 1e-9 * kDegree);
    HorToEqu(m, 15, c.phi, h, A);
    EXPECT_NEAR(std::asin(m.Z[15]) * kRadToDeg, c.delta, 1e-9 * kDegree);
    EXPECT_NEAR(AngleDiff(std::atan2(m.Y[15], m.X[15]) * kRadToDeg, c.tau), 0.0, 1e-9 * kDegree);
  }
}

TEST(Frames, RefractionWorkedValuesAndContinuousSegments) {
  EXPECT_NEAR(Refraction(45.0), (57.1 - 0.0208) / 3600.0, 1e-12);
  EXPECT_NEAR(Refraction(90.0), 2040.0 / 3600.0, 1e-12);
  EXPECT_NEAR(Refraction(90.0), 0.5667, 0.0001);
  EXPECT_EQ(Refraction(0.0), 0.0);
  // The half-degree segments join without steps (the table's values are
  // rounded to 0.01").
  for (double z : {86.0, 86.5, 87.0, 87.5, 88.0, 88.5, 89.0, 89.5}) {
    double below = Refraction(z), above = Refraction(z + 1e-9);
    EXPECT_NEAR(above, below, 0.05 * kArcsecond) << "z " << z;
  }
  EXPECT_NEAR(Refraction(91.0) - Refraction(90.0), 504.0 / 3600.0, 1e-9);
}

TEST(Frames, RelativePositionQuadrantsAndAxes) {
  struct Case {
    double dx, dy, dz, L, B;
  };
  const Case cases[] = {
      {0, 2, 0, 90, 0},   {0, -2, 0, 270, 0}, {3, 0, 0, 0, 0},    {-3, 0, 0, 180, 0},
      {1, 1, 0, 45, 0},   {-1, 1, 0, 135, 0}, {-1, -1, 0, 225, 0}, {1, -1, 0, 315, 0},
      {1, 0, 1, 0, 45},   {0, 1, -1, 90, -45},
  };
  for (const auto& c : cases) {
    Model m;
    m.X[15] = 5e10, m.Y[15] = -7e10, m.Z[15] = 1e9;
    m.X[2] = m.X[15] + c.dx * 1e10, m.Y[2] = m.Y[15] + c.dy * 1e10, m.Z[2] = m.Z[15] + c.dz * 1e10;
    RelativePos r = RelativePosition(m, 15, 2);
    EXPECT_NEAR(r.L, c.L, 1e-9) << c.dx << "," << c.dy;
    EXPECT_NEAR(r.B, c.B, 1e-9) << c.dx << "," << c.dy << "," << c.dz;
    EXPECT_NEAR(r.range, 1e10 * std::sqrt(c.dx * c.dx + c.dy * c.dy + c.dz * c.dz), 1e-3);
  }
  Model m;
  m.Z[1] = 1e10;
  EXPECT_THROW(RelativePosition(m, 0, 1), std::domain_error);
}

TEST(Frames, FracAndFracPos) {
  EXPECT_DOUBLE_EQ(Frac(2.25), 0.25);
  EXPECT_DOUBLE_EQ(Frac(-2.25), -0.25);
  EXPECT_DOUBLE_EQ(FracPos(-2.25), 0.75);
  EXPECT_DOUBLE_EQ(FracPos(3.0), 0.0);
}

}  // namespace
}  // namespace torvik
