// Orbit determination on small synthetic orbits: two-body ellipses sampled at
// a fixed rate (no integration), so that the measured elements can be checked
// against the ellipse that produced the samples.
#include "model/orbit_watch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "synthetic.h"

namespace torvik {
namespace {

constexpr double kDegree = 1.0;
constexpr double arcsecond = kDegree / 3600.0;
constexpr double kDeg = 3.14159265358979323846 / 180.0;

// ---- windows ----

struct WindowCase {
  const char* name;
  double centre, Alfa, L;
  bool inside;
};

TEST(LonWindow, ContainsTable) {
  const WindowCase cases[] = {
      {"middle", 100, 1, 100, true},
      {"lower end included", 100, 1, 99, true},
      {"upper end included", 100, 1, 101, true},
      {"just outside", 100, 1, 101.0001, false},
      {"wraps: just below 360", 0.5, 1, 359.6, true},
      {"wraps: just above 0", 0.5, 1, 1.4, true},
      {"wraps: opposite side", 0.5, 1, 180, false},
      {"upper end at 360 without wrap", 359, 1, 358, true},
      {"centre above 360 (aphelion of a late perihelion)", 400, 1, 40.5, true},
      {"centre above 360: far side", 400, 1, 20, false},
      {"centre below 0", -0.5, 1, 359, true},
      {"Alfa 180 covers everything", 100, 180, 279, true},
      {"Alfa 200 covers everything", 100, 200, 0, true},
  };
  for (const auto& c : cases) {
    LonWindow w = CentredWindow(c.centre, c.Alfa);
    EXPECT_EQ(InWindow(w, c.L, c.Alfa), c.inside)
        << c.name << ": window (" << w.lower << ", " << w.upper << "), L = " << c.L;
  }
}

// ---- a planet on a fixed ellipse ----

struct Ellipse {
  double a, e, inc, node, peri;  // m, –, rad
  double n;                       // mean motion, rad/s
};

// Samples the ellipse at mean longitude L0 + n·t into body 1 (Sun at rest at
// the origin) and runs Observe until tEnd or until the callback says stop.
struct Sampler {
  Model m;
  OrbitWatch w;
  Ellipse el;
  double L0;
  double t = 0;
  std::vector<double> extremaT;  // times of the extrema handled

  Sampler(const Ellipse& e, double L0deg) : el(e), L0(L0deg * kDeg) {
    m.Eks0[1] = e.e;
    m.R0sr[1] = e.a;
    m.AlfaP0[1] = e.peri;
    m.AlfaU0[1] = e.node;
    m.Betta0[1] = e.inc;
    m.Tsid[1] = 2 * 3.14159265358979 / e.n / 86400;
    Place();
    w.Reset();
    w.Start(m, 1, 1.0);
  }
  void Place() {
    double r[3], v[3];
    testing::EllipseState(el.a, el.e, el.inc, el.node, el.peri, L0 + el.n * t, 1.0, r, v);
    m.X[1] = r[0], m.Y[1] = r[1], m.Z[1] = r[2];
  }
  // Runs for the given time with hMain and NRed; the step follows Observe.
  void Run(double duration, double hMain, double NRed) {
    double h = hMain;
    const double end = t + duration;
    while (t < end) {
      t += h;
      Place();
      double next = w.Observe(m, t, hMain, NRed);
      if (w.event == WatchEvent::FirstExtremum || w.event == WatchEvent::Extremum) extremaT.push_back(t);
      h = next;
    }
  }
};

constexpr double kAU = 1.495978707e11;
constexpr double kDay = 86400;

Ellipse MercuryLike(double periDeg, double nodeDeg, double incDeg) {
  const double a = 0.387 * kAU;
  return Ellipse{a, 0.2056, incDeg * kDeg, nodeDeg * kDeg, periDeg * kDeg,
                 2 * 3.14159265358979 / (87.969 * kDay)};
}

double AngleDiff(double a, double b) {
  double d = std::fmod(a - b + 540.0, 360.0) - 180.0;
  return std::fabs(d);
}

TEST(OrbitWatch, MeasuresTheEllipseThatMadeTheSamples) {
  Sampler s(MercuryLike(77.46, 48.33, 7.0), 200.0);
  s.Run(3 * 87.969 * kDay, 3600, 100);
  ASSERT_GE(s.w.NRev, 3);
  // The perihelion measured in the orbit plane is ϖ; node and inclination too.
  EXPECT_LT(AngleDiff(s.w.AlfaP, 77.46), 20 * arcsecond) << "AlfaP " << s.w.AlfaP;
  EXPECT_LT(AngleDiff(s.w.AlfaU, 48.33), 60 * arcsecond) << "AlfaU " << s.w.AlfaU;
  EXPECT_NEAR(s.w.Betta / kDeg, 7.0, 1 * arcsecond);
  EXPECT_NEAR(s.w.Eks, 0.2056, 1e-6);
  EXPECT_NEAR(s.w.Rsr / (0.387 * kAU), 1.0, 1e-7);
  EXPECT_NEAR(s.w.Period, 87.969, 0.01);
}

TEST(OrbitWatch, StartInsidePerihelionWindowIsNotMeasured) {
  // Mean longitude just before perihelion: the planet starts in WinP with the
  // detector disarmed, so that passage is skipped and the aphelion comes first.
  Sampler s(MercuryLike(77.46, 48.33, 7.0), 77.0);
  ASSERT_TRUE(InWindow(s.w.WinP, std::atan2(s.m.Y[1], s.m.X[1]) / kDeg, 1.0));
  s.Run(30 * kDay, 3600, 100);
  EXPECT_EQ(s.w.NRev, 0) << "no extremum in the first 30 days";
  s.Run(30 * kDay, 3600, 100);
  ASSERT_EQ(s.extremaT.size(), 1u);
  EXPECT_EQ(s.w.InPeriWin, 0) << "the first extremum handled is the aphelion";
  EXPECT_EQ(s.w.NRev, 1);
}

TEST(OrbitWatch, PerihelionStraddlingZeroLongitude) {
  // Zero inclination: the samples around perihelion have longitudes 359.x and
  // 0.x; the mean is corrected by −180, and no node is ever found.
  Sampler s(MercuryLike(0.0, 48.33, 0.0), 200.0);
  s.Run(2.5 * 87.969 * kDay, 3600, 100);
  ASSERT_GE(s.w.NRev, 2);
  EXPECT_LT(AngleDiff(s.w.AlfaP, 0.0), 20 * arcsecond) << "AlfaP " << s.w.AlfaP;
  EXPECT_EQ(s.w.AlfaU, 48.33 * kDeg * s.m.kUgol) << "no node: AlfaU keeps its start value";
  EXPECT_EQ(s.w.Betta, 0.0);
}

TEST(OrbitWatch, QuarterFromTheNodeSkipsTheReduction) {
  // Two samples placed symmetrically about longitude 90° (AlfaU = 0): their
  // mean is exactly 90, so dLam = 90 and AlfaP stays in the ecliptic even with
  // an inclined orbit, while 60° is reduced to the orbit plane.
  for (double centre : {90.0, 60.0}) {
    Model m;
    m.Eks0[1] = 0.2, m.R0sr[1] = 1e11, m.AlfaP0[1] = centre * kDeg, m.AlfaU0[1] = 0.0;
    m.Betta0[1] = 0.0, m.Tsid[1] = 100;
    OrbitWatch w;
    w.Reset();
    auto put = [&](double Ldeg, double r, double z) {
      m.X[1] = r * std::cos(Ldeg * kDeg), m.Y[1] = r * std::sin(Ldeg * kDeg), m.Z[1] = z;
    };
    // The latitude stays on one side of the ecliptic: no node on the way.
    put(centre - 30, 1.2e11, 1e10);  // outside: arms the detector
    w.Start(m, 1, 1.0);
    w.Observe(m, 0, 3600, 100);
    put(centre - 0.5, 1.0e11, 1e10);  // inside WinP, closer: still approaching
    w.Observe(m, 36, 3600, 100);
    ASSERT_EQ(w.ExtState, 1);
    // Mirror image of the previous sample about the centre line, a little
    // farther (by z): the extremum was passed at the previous sample.
    double x = m.X[1], y = m.Y[1];
    if (centre == 90.0) {
      m.X[1] = -x;
    } else {
      double c2 = std::cos(2 * centre * kDeg), s2 = std::sin(2 * centre * kDeg);
      m.X[1] = c2 * x + s2 * y, m.Y[1] = s2 * x - c2 * y;
    }
    m.Z[1] = 1.01e10;
    w.Observe(m, 72, 3600, 100);
    // At dLam = ±90 even the first passage goes on as a later detection.
    ASSERT_EQ(w.event, centre == 90.0 ? WatchEvent::Extremum : WatchEvent::FirstExtremum) << centre;
    if (centre == 90.0)
      EXPECT_EQ(w.AlfaP, 90.0) << "no reduction at dLam = 90";
    else
      EXPECT_GT(AngleDiff(w.AlfaP, centre), 100 * arcsecond) << "reduced: " << w.AlfaP;
  }
}

TEST(OrbitWatch, StepShrinksOnlyInsideWindows) {
  Sampler s(MercuryLike(77.46, 48.33, 7.0), 200.0);
  int reduced = 0, total = 0;
  double h = 3600;
  for (int n = 0; n < 5000; ++n) {
    s.t += h;
    s.Place();
    h = s.w.Observe(s.m, s.t, 3600, 100);
    ++total;
    if (h == 36) ++reduced;
    else ASSERT_EQ(h, 3600);
  }
  EXPECT_GT(reduced, 0);
  EXPECT_LT(reduced, total);
  // Alfa ≥ 180: every window is the whole circle, the step is always reduced
  // while an extremum is being tracked.
  EXPECT_TRUE(InWindow(CentredWindow(10, 180), 190, 180));
}

}  // namespace
}  // namespace torvik
