#include "tools/aberration.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/frames.h"
#include "core/kepler.h"
#include "core/theories.h"
#include "tools/units.h"

namespace torvik {
namespace {

using test::arcsecond;
constexpr double kAu = 149597870700.0;  // m

class AberrationTest : public ::testing::Test {
 protected:
  AberrationTest() {
    SetConstants(m);
    m.mPl[0] = 1.98892e30;  // the JPL set's Sun and gravitational constant
    m.gamma = 6.67259e-11;
  }
  void Find(int body, const AberrationTexts& t = {}) {
    bool ticked[10] = {};
    ticked[body] = true;
    auto r = study.FindGeometry(m, ticked, t);
    ASSERT_FALSE(r) << r->text;
  }
  void Iterate(const char* vx = "0", const char* vy = "0", const char* vz = "0") {
    auto r = study.Iterate(m, vx, vy, vz);
    ASSERT_FALSE(r) << r->text;
  }
  Model m;
  AberrationStudy study;
};

// The Sun seen from the Earth: at rest, it has no planetary aberration, and
// its stellar aberration is the annual one, −20.4898″/R in longitude (Meeus,
// Astronomical Algorithms, ch. 25), R the distance in AU.
TEST_F(AberrationTest, SunShowsTheAnnualAberration) {
  for (const char* jd : {"2451545", "2448908.5", "2461000.25"}) {
    AberrationTexts t;
    t.jd = jd;
    Find(0, t);
    Iterate();
    Iterate();
    const AberrationResult& r = study.Result();
    EXPECT_EQ(m.X[0], 0.0);
    EXPECT_EQ(r.planetary.L, 0.0);
    EXPECT_EQ(r.planetary.B, 0.0);
    const double R = r.S / kAu;
    EXPECT_NEAR(-r.total.L, -20.4898 * arcsecond / R, 0.05 * arcsecond) << jd;
    EXPECT_NEAR(r.total.B, 0.0, 0.01 * arcsecond);
  }
}

// With the light time converged, the observed direction is the geocentric
// direction of the body one light time earlier with the Earth also taken
// back one light time (both motions linear over the light time): for Mars,
// with and without a system velocity (a common velocity changes nothing of
// the relative motion).
TEST_F(AberrationTest, ObservedDirectionIsTheRetardedGeometry) {
  struct Case {
    const char* n;
    const char* vx;
    double tol;  // degrees
  };
  for (const Case& k : {Case{"1", "0", 0.001 * arcsecond}, Case{"1", "370", 0.001 * arcsecond}}) {
    AberrationTexts t;
    t.slowdown = k.n;
    Find(4, t);
    for (int i = 0; i < 30; ++i) Iterate(k.vx, "0", "0");
    const AberrationResult& r = study.Result();
    // The same theory 'Tdel' earlier.
    Model g = m;
    g.JD = m.JD - r.Tdel / 86400.0;
    for (int b : {3, 4}) {
      NewcombElements(g, b);
      NormaliseElements(g, b);
      ASSERT_TRUE(ElementsToPosition(g, b));
    }
    const RelativePos want = RelativePosition(g, 3, 4);
    EXPECT_NEAR(std::remainder(r.observed.L - want.L, 360.0), 0.0, k.tol) << "N = " << k.n << " VX = " << k.vx;
    EXPECT_NEAR(r.observed.B - want.B, 0.0, k.tol) << "N = " << k.n << " VX = " << k.vx;
    // The components add up to real minus observed.
    EXPECT_NEAR(r.total.L, std::remainder(r.real.L - r.observed.L, 360.0), 1e-9);
    EXPECT_NEAR(r.total.B, r.real.B - r.observed.B, 1e-9);
  }
}

// Without a system velocity both components are there (the bodies' own
// velocities displace them), and the presses converge.
TEST_F(AberrationTest, ComponentsWithoutSystemVelocityAndConvergence) {
  Find(5);
  const double t0 = study.Result().Tdel;
  EXPECT_NEAR(t0, study.Result().S / m.Vsv, 1e-9);
  double previousTdel = t0, previousStep = INFINITY;
  for (int i = 1; i <= 4; ++i) {
    Iterate();
    const AberrationResult& r = study.Result();
    EXPECT_EQ(r.iterations, i);
    const double step = std::fabs(r.Tdel - previousTdel);
    if (i > 1) {
      EXPECT_LT(step, previousStep * 1e-3) << "iteration " << i;
    }
    previousStep = step;
    previousTdel = r.Tdel;
    EXPECT_GT(std::fabs(r.planetary.L), 1 * arcsecond);
    EXPECT_GT(std::fabs(r.stellar.L), 1 * arcsecond);
  }
  // Jupiter's light time of about 35 to 50 minutes.
  EXPECT_GT(previousTdel, 30 * 60.0);
  EXPECT_LT(previousTdel, 55 * 60.0);
  // The simplified direction puts the observer's displacement on the body.
  const AberrationResult& r = study.Result();
  EXPECT_NEAR(std::remainder(r.simplified.L - r.observed.L, 360.0), 0.0, 0.01 * arcsecond);
  // The Earth's true position is back after each press.
  EXPECT_EQ(m.X[3], m.X0[3]);
  // Light slowed 1000 times: Mars' light time of days still converges.
  AberrationTexts slow;
  slow.slowdown = "1000";
  Find(4, slow);
  previousTdel = study.Result().Tdel;
  previousStep = INFINITY;
  for (int i = 1; i <= 8; ++i) {
    Iterate();
    const double step = std::fabs(study.Result().Tdel - previousTdel);
    EXPECT_LT(step, previousStep * 0.2) << "iteration " << i;
    previousStep = step;
    previousTdel = study.Result().Tdel;
  }
  EXPECT_GT(previousTdel, 86400.0);
}

// Typed mean longitudes replace the theory's when the box is off.
TEST_F(AberrationTest, TypedLongitudes) {
  AberrationTexts t;
  t.theoryLongitudes = false;
  t.gelioL3 = "10";
  t.gelioLpl = "190,5";
  Find(4, t);
  EXPECT_NEAR(m.AlfaL[3] * m.kUgol, 10.0, 1e-9);
  EXPECT_NEAR(m.AlfaL[4] * m.kUgol, 190.5, 1e-9);
  EXPECT_EQ(m.JDstart, 2451545.0);
  EXPECT_EQ(m.X0[4], m.X[4]);
}

TEST_F(AberrationTest, Messages) {
  bool two[10] = {};
  two[2] = two[4] = true;
  bool none[10] = {};
  bool mars[10] = {};
  mars[4] = true;
  AberrationTexts badJd, zeroN;
  badJd.jd = "вчера";
  zeroN.slowdown.assign(1, '0');  // GCC 12 misreports the one-character assignment (-Wrestrict)
  struct Case {
    ActionResult r;
    const char* text;
  };
  const Case cases[] = {
      {study.FindGeometry(m, two, {}), kMsgOneObject},
      {study.FindGeometry(m, none, {}), kMsgOneObject},
      {study.FindGeometry(m, mars, badJd), kMsgAberrationBadData},
      {study.FindGeometry(m, mars, zeroN), kMsgAberrationBadData},
      {study.Iterate(m, "0", "0", "0"), kMsgAberrationBadVelocity},  // no geometry yet
  };
  for (const Case& k : cases) {
    ASSERT_TRUE(k.r);
    EXPECT_EQ(k.r->text, k.text);
    EXPECT_EQ(k.r->title, kTitle);
  }
  ASSERT_FALSE(study.FindGeometry(m, mars, {}));
  auto r = study.Iterate(m, "0", "1e", "0");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, kMsgAberrationBadVelocity);
  EXPECT_EQ(study.Result().iterations, 0);
}

}  // namespace
}  // namespace torvik
