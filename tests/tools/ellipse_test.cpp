#include "tools/ellipse.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tools/units.h"

namespace torvik {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double radian = 1.0;
constexpr double thousandKm = test::thousandKm;

EllipseStep RunSteps(EllipseComparison& c, EccentricModel model, long long steps) {
  EllipseStep s;
  for (long long i = 0; i < steps; ++i) EXPECT_TRUE(c.Step(model, c.Inputs(), &s));
  return s;
}

// At T = 0 every body is on the +x axis (the aphelion direction).
TEST(Ellipse, StartOnTheAphelionAxis) {
  struct Case {
    EccentricModel model;
    double r2;
  };
  for (const Case& k : {Case{EccentricModel::Simple, 210000}, Case{EccentricModel::Equant, 180000}}) {
    EllipseComparison c;
    c.Start(EllipseInputs{}, k.model);
    const EllipseStep s = RunSteps(c, k.model, 1);
    EXPECT_EQ(s.T, 0.0);
    EXPECT_NEAR(s.r1, 180000.0, 1e-9 * thousandKm);
    EXPECT_NEAR(s.r2, k.r2, 1e-9 * thousandKm);
    EXPECT_EQ(s.dAlfa, 0.0);
    EXPECT_NEAR(s.dR, 180000.0 - k.r2, 1e-9 * thousandKm);
    EXPECT_NEAR(c.Current()[0].x, 180000.0, 1e-9 * thousandKm);
    EXPECT_NEAR(c.Current()[1].x, k.r2, 1e-9 * thousandKm);
    EXPECT_NEAR(c.T(), 0.1, 1e-15);  // the next step's time
  }
}

// With the defaults (e2 = 2·e1) the first-order terms cancel: over a whole
// period dAlfa = −0.03·sin 2M (simple eccentric) or +0.01·sin 2M (equant),
// zero at every quarter period; longitudes keep growing past 360°.
TEST(Ellipse, LongitudeDifferenceOverAPeriod) {
  struct Case {
    EccentricModel model;
    double amplitude;  // of sin 2M, radians
  };
  const EllipseInputs in;
  const double wDay = in.w / 365.25;
  const long long steps = StepsPerPeriod(in);
  EXPECT_EQ(steps, 3656);  // 365.43 days in steps of 0.1 day, both ends
  for (const Case& k : {Case{EccentricModel::Simple, -0.03}, Case{EccentricModel::Equant, 0.01}}) {
    EllipseComparison c;
    c.Start(in, k.model);
    double largest = 0.0;
    EllipseStep s;
    for (long long i = 0; i < steps; ++i) {
      ASSERT_TRUE(c.Step(k.model, c.Inputs(), &s));
      const double M = s.T * wDay;
      ASSERT_NEAR(s.dAlfa, k.amplitude * std::sin(2 * M), 1e-12 * radian) << "T = " << s.T;
      largest = std::max(largest, std::fabs(s.dAlfa));
    }
    EXPECT_NEAR(largest, std::fabs(k.amplitude), 1e-6);
    EXPECT_GT(s.theta1, 2 * kPi);  // one turn done, not reduced
    EXPECT_GT(s.theta2, 2 * kPi);
  }
  // A quarter period: M = π/2 at T = 91.36 days.
  EllipseInputs quarter = in;
  quarter.step = (kPi / 2) / wDay;
  EllipseComparison c;
  c.Start(quarter, EccentricModel::Simple);
  const EllipseStep s = RunSteps(c, EccentricModel::Simple, 2);
  EXPECT_NEAR(s.dAlfa, 0.0, 1e-12 * radian);
}

TEST(Ellipse, CircularOrbitsAgree) {
  EllipseInputs in;
  in.e1 = in.e2 = 0.0;
  in.step = 7.3;
  for (EccentricModel model : {EccentricModel::Simple, EccentricModel::Equant}) {
    EllipseComparison c;
    c.Start(in, model);
    for (int i = 0; i < 200; ++i) {
      EllipseStep s;
      ASSERT_TRUE(c.Step(model, c.Inputs(), &s));
      EXPECT_EQ(s.dAlfa, 0.0);
      EXPECT_EQ(s.dR, 0.0);
      EXPECT_EQ(s.r1, in.a);
      EXPECT_NEAR(s.theta1, s.T * (in.w / 365.25), 1e-12 * radian);
    }
  }
}

// The series against the exact constructions for small eccentricities (the
// neglected third-order terms stay below e³): Kepler's equation for the
// ellipse, the circle about the eccentric centre, and the circle about the
// half-way centre seen uniformly from the equant.
TEST(Ellipse, SeriesAgreeWithTheExactConstructions) {
  EllipseInputs in;
  in.e1 = 0.01;
  in.e2 = 0.02;
  in.step = 13.0;
  const double a = in.a, e1 = in.e1, e2 = in.e2, wDay = in.w / 365.25;
  const double tolAngle = 2 * e2 * e2 * e2, tolR = 2 * e2 * e2 * e2 * a;
  for (EccentricModel model : {EccentricModel::Simple, EccentricModel::Equant}) {
    EllipseComparison c;
    c.Start(in, model);
    for (int i = 0; i < 60; ++i) {
      EllipseStep s;
      ASSERT_TRUE(c.Step(model, c.Inputs(), &s));
      const double M = s.T * wDay;
      // Ellipse: mean anomaly from the perihelion M + π, the Sun in a focus.
      const double Mp = M + kPi;
      double E = Mp;
      for (int n = 0; n < 50; ++n) E = Mp + e1 * std::sin(E);
      const double v = 2 * std::atan2(std::sqrt(1 + e1) * std::sin(E / 2), std::sqrt(1 - e1) * std::cos(E / 2));
      EXPECT_NEAR(std::remainder(s.theta1 - (v - kPi), 2 * kPi), 0.0, 2 * e1 * e1 * e1);
      EXPECT_NEAR(s.r1, a * (1 - e1 * std::cos(E)), 2 * e1 * e1 * e1 * a);
      double px, py;
      if (model == EccentricModel::Simple) {
        px = e2 * a + a * std::cos(M);
        py = a * std::sin(M);
      } else {
        // From the equant (e2·a, 0) along M to the circle of radius a about (e2·a/2, 0).
        const double ux = std::cos(M), uy = std::sin(M), ox = e2 * a / 2;  // equant − centre
        const double b = ox * ux, t = -b + std::sqrt(b * b - (ox * ox - a * a));
        px = e2 * a + t * ux;
        py = t * uy;
      }
      EXPECT_NEAR(std::remainder(s.theta2 - std::atan2(py, px), 2 * kPi), 0.0, tolAngle) << "M " << M;
      EXPECT_NEAR(s.r2, std::hypot(px, py), tolR) << "M " << M;
    }
  }
}

TEST(Ellipse, FaultsAndMessages) {
  EllipseTexts t;
  t.e1 = "0,2";  // a Russian locale's comma
  EllipseInputs in;
  EXPECT_FALSE(ReadEllipseInputs(t, &in));
  EXPECT_EQ(in.e1, 0.2);
  t.w = "быстро";
  auto r = ReadEllipseInputs(t, &in);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, kMsgEllipseBadData);
  EXPECT_EQ(r->title, kTitle0);
  // The scales and the step are read again after each step.
  EllipseTexts scales;
  scales.step = "0.5";
  scales.mt = "10";
  ASSERT_FALSE(ReadEllipseScales(scales, &in));
  EXPECT_EQ(in.step, 0.5);
  EXPECT_EQ(in.mt, 10.0);
  // An overflow is a fault of the step: nothing advances.
  EllipseInputs huge;
  huge.a = 1e308;
  huge.e1 = 10;
  EllipseComparison c;
  c.Start(huge, EccentricModel::Simple);
  EllipseStep s;
  EXPECT_FALSE(c.Step(EccentricModel::Simple, c.Inputs(), &s));
  EXPECT_EQ(c.T(), 0.0);
  // A scale of 0 is a fault of the drawing only.
  EllipseInputs flat;
  flat.mx = 0;
  c.Start(flat, EccentricModel::Equant);
  ASSERT_TRUE(c.Step(EccentricModel::Equant, c.Inputs(), &s));
  EXPECT_FALSE(c.DrawOrbit(EccentricModel::Equant).Ok());
  EXPECT_TRUE(c.DrawDifferences(s, c.Inputs(), true, true).Ok());
}

// The difference plot: dAlfa in red at (T/MT, dAlfa·kUgol/MdAlfa), dR in blue.
TEST(Ellipse, DifferencePlotPoints) {
  EllipseComparison c;
  c.Start(EllipseInputs{}, EccentricModel::Simple);
  EllipseStep s;
  s.T = 73.05;
  s.dAlfa = -0.01;
  s.dR = 5000;
  const Sketch k = c.DrawDifferences(s, c.Inputs(), true, true);
  ASSERT_EQ(k.Shapes().size(), 2u);
  EXPECT_NEAR(k.Shapes()[0].x1, 2.0, 1e-12);
  EXPECT_NEAR(k.Shapes()[0].y1, -0.01 * 180 / 3.14159265359, 1e-12);
  EXPECT_EQ(k.Shapes()[0].colour.r, 255);
  EXPECT_NEAR(k.Shapes()[1].y1, 0.5, 1e-12);
  EXPECT_EQ(k.Shapes()[1].colour.b, 255);
  EXPECT_TRUE(c.DrawDifferences(s, c.Inputs(), false, false).Shapes().empty());
}

}  // namespace
}  // namespace torvik
