#include "core/kepler.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/theories.h"
#include "units.h"

namespace torvik {
namespace {

using test::metre;

// A model with one body in slot 1: Mercury-like elements.
Model Body(double e, double L, double a = 5.79e10) {
  Model m;
  SetConstants(m);
  m.gamma = 6.67259e-11;
  m.mPl[0] = 1.98892e30;
  m.Eks0[1] = e;
  m.R0sr[1] = a;
  m.Betta0[1] = 7.0 / m.kUgol;
  m.AlfaP0[1] = 77.0 / m.kUgol;
  m.AlfaU0[1] = 48.0 / m.kUgol;
  m.AlfaL[1] = L;
  return m;
}

struct Vec {
  double x, y, z;
};

// Independent two-body position: Newton's method on Kepler's equation and the
// perifocal-to-ecliptic rotation (ω = ϖ − Ω).
Vec ReferencePosition(double a, double e, double inc, double node, double peri, double M) {
  double E = M;
  for (int n = 0; n < 50; ++n) E -= (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
  const double xp = a * (std::cos(E) - e);
  const double yp = a * std::sqrt(1 - e * e) * std::sin(E);
  const double w = peri - node;
  const double cw = std::cos(w), sw = std::sin(w), cn = std::cos(node), sn = std::sin(node);
  const double ci = std::cos(inc), si = std::sin(inc);
  return {(cw * cn - sw * sn * ci) * xp + (-sw * cn - cw * sn * ci) * yp,
          (cw * sn + sw * cn * ci) * xp + (-sw * sn + cw * cn * ci) * yp, (sw * si) * xp + (cw * si) * yp};
}

TEST(Kepler, NormaliseElements) {
  Model m;
  SetConstants(m);
  const double p = 2 * m.Pi;
  struct {
    double L, want;
  } cases[] = {{10 * p + 0.1, 0.1}, {0.0, p}, {-0.5, p - 0.5}, {p, 0.0}, {-3 * p - 0.25, p - 0.25}, {1.0, 1.0}};
  for (const auto& c : cases) {
    m.AlfaL[2] = c.L;
    m.AlfaP0[2] = 0.3;
    NormaliseElements(m, 2);
    EXPECT_NEAR(m.AlfaL[2], c.want, 1e-12) << "L = " << c.L;
    EXPECT_EQ(m.AnomM[2], m.AlfaL[2] - 0.3);  // mean anomaly not normalised
  }
  // A typing slip of 1e20 rad ends promptly inside one turn.
  m.AlfaL[2] = 1e20;
  NormaliseElements(m, 2);
  EXPECT_GE(m.AlfaL[2], 0.0);
  EXPECT_LT(m.AlfaL[2], p);
}

TEST(Kepler, PositionMatchesIndependentSolution) {
  for (double e : {0.0, 0.0167, 0.2056, 0.25}) {
    for (double L = 0.05; L < 6.3; L += 0.37) {
      Model m = Body(e, L);
      NormaliseElements(m, 1);
      ASSERT_TRUE(ElementsToPosition(m, 1));
      const Vec r = ReferencePosition(m.R0sr[1], e, m.Betta0[1], m.AlfaU0[1], m.AlfaP0[1], L - m.AlfaP0[1]);
      EXPECT_NEAR(m.X[1], r.x, 1 * metre) << "e=" << e << " L=" << L;
      EXPECT_NEAR(m.Y[1], r.y, 1 * metre) << "e=" << e << " L=" << L;
      EXPECT_NEAR(m.Z[1], r.z, 1 * metre) << "e=" << e << " L=" << L;
      EXPECT_NEAR(m.Rk[1], std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z), 1 * metre);
    }
  }
}

TEST(Kepler, CircularOrbit) {
  Model m = Body(0.0, 80.0 / 57.29577951308232);
  NormaliseElements(m, 1);
  ASSERT_TRUE(ElementsToPosition(m, 1));
  ASSERT_TRUE(ElementsToVelocity(m, 1));
  EXPECT_DOUBLE_EQ(m.Eanom, m.AnomM[1]);
  EXPECT_NEAR(m.AnomV[1], m.AnomM[1], 1e-15);
  EXPECT_DOUBLE_EQ(m.Rk[1], m.R0sr[1]);
  const double v = std::sqrt(m.VX[1] * m.VX[1] + m.VY[1] * m.VY[1] + m.VZ[1] * m.VZ[1]);
  EXPECT_NEAR(v, std::sqrt(m.gamma * m.mPl[0] / m.R0sr[1]), 1e-9);
  // Velocity perpendicular to the radius.
  EXPECT_NEAR((m.VX[1] * m.X[1] + m.VY[1] * m.Y[1] + m.VZ[1] * m.Z[1]) / (v * m.Rk[1]), 0.0, 1e-14);
}

TEST(Kepler, NegativeMeanAnomalyShiftsOnce) {
  Model m = Body(0.2, 0.0);
  m.AlfaL[1] = m.AlfaP0[1] - 1e-3;  // L just below ϖ
  NormaliseElements(m, 1);
  ASSERT_LT(m.AnomM[1], 0.0);
  ASSERT_TRUE(ElementsToPosition(m, 1));
  EXPECT_NEAR(m.AnomM[1], 2 * m.Pi - 1e-3, 1e-15);  // stored back
  const Vec r = ReferencePosition(m.R0sr[1], 0.2, m.Betta0[1], m.AlfaU0[1], m.AlfaP0[1], -1e-3);
  EXPECT_NEAR(m.X[1], r.x, 1 * metre);
  EXPECT_NEAR(m.Y[1], r.y, 1 * metre);
  EXPECT_NEAR(m.Z[1], r.z, 1 * metre);
}

TEST(Kepler, ContinuousAcrossAphelion) {
  // E = π: tan(E/2) is huge and v jumps from +π to −π; the position must
  // follow the orbit on both sides.
  const double e = 0.2056;
  const double pi = Body(e, 0.0).Pi;  // the model's 11-digit pi
  for (double dm : {-1e-6, -1e-9, 0.0, 1e-9, 1e-6}) {
    Model m = Body(e, 0.0);
    m.AnomM[1] = pi + dm;
    ASSERT_TRUE(ElementsToPosition(m, 1));
    if (dm < 0) {
      EXPECT_GT(m.AnomV[1], 3.14);
    }
    if (dm > 0) {
      EXPECT_LT(m.AnomV[1], -3.14);
    }
    const Vec r = ReferencePosition(m.R0sr[1], e, m.Betta0[1], m.AlfaU0[1], m.AlfaP0[1], pi + dm);
    EXPECT_NEAR(m.X[1], r.x, 1 * metre) << "M = pi + " << dm;
    EXPECT_NEAR(m.Y[1], r.y, 1 * metre) << "M = pi + " << dm;
    EXPECT_NEAR(m.Z[1], r.z, 1 * metre) << "M = pi + " << dm;
  }
}

TEST(Kepler, VelocityIsTheTimeDerivativeOfPosition) {
  // Central difference of positions one minute apart, at the two-body mean
  // motion n = sqrt(GM/a³) that the velocity formula assumes.
  for (double e : {0.0167, 0.2056}) {
    for (double L : {0.3, 2.0, 4.4}) {
      Model m = Body(e, L);
      const double n = std::sqrt(m.gamma * m.mPl[0] / std::pow(m.R0sr[1], 3));
      const double dt = 60.0;
      Vec pos[2];
      for (int s = 0; s < 2; ++s) {
        Model q = Body(e, L + (s == 0 ? -1 : 1) * n * dt);
        NormaliseElements(q, 1);
        ASSERT_TRUE(ElementsToPosition(q, 1));
        pos[s] = {q.X[1], q.Y[1], q.Z[1]};
      }
      NormaliseElements(m, 1);
      ASSERT_TRUE(ElementsToPosition(m, 1));
      ASSERT_TRUE(ElementsToVelocity(m, 1));
      EXPECT_NEAR(m.VX[1], (pos[1].x - pos[0].x) / (2 * dt), 1e-3) << "e=" << e << " L=" << L;
      EXPECT_NEAR(m.VY[1], (pos[1].y - pos[0].y) / (2 * dt), 1e-3) << "e=" << e << " L=" << L;
      EXPECT_NEAR(m.VZ[1], (pos[1].z - pos[0].z) / (2 * dt), 1e-3) << "e=" << e << " L=" << L;
    }
  }
}

TEST(Kepler, FaultsAreReported) {
  Model m = Body(1.0, 1.0);  // parabolic: sqrt((1+e)/(1−e)) is invalid
  NormaliseElements(m, 1);
  m.X[1] = 123.0;
  EXPECT_FALSE(ElementsToPosition(m, 1));
  EXPECT_EQ(m.X[1], 123.0);  // the position is not written

  Model z = Body(0.1, 1.0, 0.0);  // a = 0: p = 0 and r = 0
  NormaliseElements(z, 1);
  EXPECT_TRUE(ElementsToPosition(z, 1));
  z.VX[1] = 7.0;
  EXPECT_FALSE(ElementsToVelocity(z, 1));
  EXPECT_EQ(z.VX[1], 7.0);

  Model s = Body(0.1, 1.0);
  EXPECT_FALSE(ElementsToPosition(s, kAnomalySlots));  // AnomV has slots 0..11 only
  EXPECT_FALSE(ElementsToVelocity(s, -1));
}

}  // namespace
}  // namespace torvik
