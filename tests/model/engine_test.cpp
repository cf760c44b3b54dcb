// The N-body engine: the vector form of the force against the literal angle
// construction, conservation over a century, time reversal, the delay
// correction, excluded bodies, the "ОТО" variant and floating-point faults.
#include "model/engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "literal_engine.h"
#include "params/startup.h"
#include "synthetic.h"

namespace torvik {
namespace {

using testing::FillSyntheticSystem;

constexpr double metre = 1.0;
constexpr double kilometre = 1000.0 * metre;
constexpr double kHour = 3600.0;

#ifdef TORVIK6_SANITIZED
constexpr int kCenturyYears = 5;  // sanitizers slow the stepping twentyfold
#else
constexpr int kCenturyYears = 100;
#endif

double Norm3(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

// Total energy (kinetic plus every pair potential) and the z angular momentum
// about the origin of all included bodies: the true invariants of the system.
struct Invariants {
  double E = 0, Lz = 0;
};
Invariants TrueInvariants(const Model& m, const StateVector& s) {
  Invariants r;
  for (int i = 0; i < kEngineBodies; ++i) {
    if (!m.InSys[i]) continue;
    double vx = s[StateVX(i)], vy = s[StateVY(i)], vz = s[StateVZ(i)];
    r.E += 0.5 * m.mPl[i] * (vx * vx + vy * vy + vz * vz);
    r.Lz += m.mPl[i] * (s[StateX(i)] * vy - s[StateY(i)] * vx);
    for (int j = i + 1; j < kEngineBodies; ++j) {
      if (!m.InSys[j]) continue;
      double R = Norm3(s[StateX(j)] - s[StateX(i)], s[StateY(j)] - s[StateY(i)],
                       s[StateZ(j)] - s[StateZ(i)]);
      r.E -= m.gamma * m.mPl[i] * m.mPl[j] / R;
    }
  }
  return r;
}

// ---- vector form against the literal transcription ----

struct FormCase {
  const char* name;
  bool finiteSpeed;
  int NIterVgr;
  double PowR;
  double VgrFactor;
  bool alternate = false;  // switch the finite speed on and off between evaluations
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

class VectorForm : public ::testing::TestWithParam<FormCase> {};

TEST_P(VectorForm, AgreesWithLiteralAngleForm) {
  const FormCase& c = GetParam();
  Model m;
  FillSyntheticSystem(m);
  m.NIterVgr = static_cast<std::int16_t>(c.NIterVgr);
  Engine e(m);
  e.params.finiteSpeed = c.finiteSpeed;
  e.params.PowR = c.PowR;
  e.params.Vgr = c.VgrFactor * m.Vsv;
  e.InitRunState(+1);
  literal::LiteralEngine lit;
  StateVector rate{};

  std::mt19937_64 rng(20240611);
  std::uniform_real_distribution<double> pos(-6e12, 6e12), vel(-6e4, 6e4);
  for (int trial = 0; trial < 40; ++trial) {
    StateVector s{};
    for (int k = 0; k < kEngineBodies; ++k) {
      s[StateX(k)] = pos(rng), s[StateY(k)] = pos(rng), s[StateZ(k)] = pos(rng) / 10;
      s[StateVX(k)] = vel(rng), s[StateVY(k)] = vel(rng), s[StateVZ(k)] = vel(rng) / 10;
    }
    if (trial % 5 == 3) {
      // Bodies 3 and 5 share their x and neither moves along x: dX of both
      // ordered pairs is exactly 0, with or without the delay correction, and
      // both forms keep the previous force of the pair.
      s[StateX(5)] = s[StateX(3)];
      s[StateVX(3)] = s[StateVX(5)] = 0.0;
    }
    const bool on = c.alternate ? trial % 2 == 0 : c.finiteSpeed;
    e.params.finiteSpeed = on;
    e.StateVec = s;
    e.Derivatives();
    lit.Derivatives(m, s, rate, e.params.Vgr, on, c.PowR);
    for (int j = 0; j < kEngineBodies; ++j) {
      double wx = rate[StateVX(j)], wy = rate[StateVY(j)], wz = rate[StateVZ(j)];
      double gx = e.RateVec[StateVX(j)], gy = e.RateVec[StateVY(j)], gz = e.RateVec[StateVZ(j)];
      double want = Norm3(wx, wy, wz), diff = Norm3(gx - wx, gy - wy, gz - wz);
      EXPECT_LE(diff, 1e-12 * want) << c.name << " trial " << trial << " body " << j << ": want |a| "
                                    << want << " m/s², got diff " << diff;
      EXPECT_EQ(e.RateVec[StateX(j)], s[StateVX(j)]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, VectorForm,
    ::testing::Values(FormCase{"no delay", false, 0, 2.0, 1.0},
                      FormCase{"no delay, PowR 2.3", false, 0, 2.3, 1.0},
                      FormCase{"delay, NIterVgr 0", true, 0, 2.0, 1.0},
                      FormCase{"delay, NIterVgr 2, Vgr 0.01 Vsv", true, 2, 2.0, 0.01},
                      FormCase{"delay, NIterVgr 1, PowR 1.9", true, 1, 1.9, 0.5},
                      FormCase{"delay switched on and off", true, 0, 2.0, 0.2, true}),
    [](const ::testing::TestParamInfo<FormCase>& i) { return "case" + std::to_string(i.index); });

TEST(Engine, RungeKuttaStepMatchesLiteralStep) {
  Model m;
  FillSyntheticSystem(m);
  Engine e(m);
  e.params.finiteSpeed = true;
  m.NIterVgr = 1;
  m.VXsys = 30;  // km/s, so the delay correction matters
  e.InitRunState(+1);
  literal::LiteralEngine lit;
  StateVector s = e.StateVec;
  for (int step = 0; step < 50; ++step) {
    ASSERT_TRUE(e.StepRK4(kHour));
    lit.StepRK4(m, s, kHour, e.params.Vgr, true, 2.0);
  }
  for (int k = 0; k <= 9; ++k) {
    double d = Norm3(e.StateVec[StateX(k)] - s[StateX(k)], e.StateVec[StateY(k)] - s[StateY(k)],
                     e.StateVec[StateZ(k)] - s[StateZ(k)]);
    EXPECT_LT(d, 1 * metre) << "body " << k << " differs by " << d << " m";
  }
}

// ---- physics ----

TEST(Engine, CenturyConservesEnergyAndMomentum) {
  // The start-up data of the program: JPL elements of 1.5.1.1601 and their
  // initial data.
  Model m;
  ASSERT_FALSE(StartUp(m));
  Engine e(m);
  e.InitRunState(+1);
  Invariants start = TrueInvariants(m, e.StateVec);
  const long steps = static_cast<long>(kCenturyYears * 365.25 * 24);
  for (long n = 0; n < steps; ++n) ASSERT_TRUE(e.StepRK4(kHour)) << "step " << n;
  Invariants end = TrueInvariants(m, e.StateVec);
  e.EnergyMomentum();
  double dE = (end.E - start.E) / std::fabs(start.E), dL = (end.Lz - start.Lz) / std::fabs(start.Lz);
  double dEsys = (e.Esys - e.Esys0) * 100 / e.Esys0, dMsys = (e.Msys - e.Msys0) * 100 / e.Msys0;
  std::printf("[ figures  ] %d years, h = 3600 s: total energy %.3e, total Lz %.3e (relative); "
              "screen dEsys %.6f %%, dMsys %.6f %%\n",
              kCenturyYears, dE, dL, dEsys, dMsys);
  // RK4 at one hour (2112 steps per Mercury orbit) leaves about 1e-13 of the
  // total energy and 1e-14 of the angular momentum per century.
  EXPECT_LT(std::fabs(dE), 1e-11) << "total energy drift " << dE;
  EXPECT_LT(std::fabs(dL), 1e-12) << "angular momentum drift " << dL;
  // The screen's figures count the Sun–planet terms only, heliocentric, so
  // they swing with the planets' mutual perturbations (the Sun's reflex
  // motion with Jupiter's period): a few hundredths of a percent.
  EXPECT_LT(std::fabs(dEsys), 0.1);
  EXPECT_LT(std::fabs(dMsys), 0.1);
}

TEST(Engine, ReversingReturnsBodiesToTheirStart) {
  Model m;
  FillSyntheticSystem(m);
  Engine e(m);
  e.InitRunState(+1);
  StateVector start = e.StateVec;
  const int steps = 24 * 365 * 2;  // two years, eight Mercury orbits
  for (int n = 0; n < steps; ++n) ASSERT_TRUE(e.StepRK4(kHour));
  double M0 = e.Msys0;
  e.ReverseTime();
  EXPECT_EQ(e.Msys0, -M0);
  for (int n = 0; n < steps; ++n) ASSERT_TRUE(e.StepRK4(kHour));
  for (int k = 0; k <= 9; ++k) {
    double d = Norm3(e.StateVec[StateX(k)] - start[StateX(k)], e.StateVec[StateY(k)] - start[StateY(k)],
                     e.StateVec[StateZ(k)] - start[StateZ(k)]);
    double dv = Norm3(e.StateVec[StateVX(k)] + start[StateVX(k)], e.StateVec[StateVY(k)] + start[StateVY(k)],
                      e.StateVec[StateVZ(k)] + start[StateVZ(k)]);
    EXPECT_LT(d, 1 * kilometre) << "body " << k << " is " << d << " m from its start";
    EXPECT_LT(dv, 1e-3) << "body " << k << " velocity off by " << dv << " m/s";
  }
}

TEST(Engine, DelayCorrection) {
  Model m;
  FillSyntheticSystem(m);
  // All velocities zero: the correction moves nobody, bit for bit.
  for (int k = 0; k <= 10; ++k) m.VX0[k] = m.VY0[k] = m.VZ0[k] = 0.0;
  Engine e(m);
  e.InitRunState(+1);
  e.Derivatives();
  StateVector instant = e.RateVec;
  e.params.finiteSpeed = true;
  e.Derivatives();
  EXPECT_EQ(e.RateVec, instant);

  // A uniform system velocity displaces every acting body by its velocity
  // times the delay; the Sun's pull on Mercury changes measurably.
  m.VXsys = 300.0;  // km/s
  e.InitRunState(+1);
  e.Derivatives();
  double dax = e.RateVec[StateVX(1)] - instant[StateVX(1)];
  double day = e.RateVec[StateVY(1)] - instant[StateVY(1)];
  double a = Norm3(instant[StateVX(1)], instant[StateVY(1)], instant[StateVZ(1)]);
  EXPECT_GT(Norm3(dax, day, 0), 1e-5 * a);

  // With the switch off the system velocity does not change the forces.
  e.params.finiteSpeed = false;
  e.Derivatives();
  EXPECT_EQ(e.RateVec[StateVX(1)], instant[StateVX(1)]);
}

TEST(Engine, ExcludedBodyStaysAndExertsNothing) {
  Model m;
  FillSyntheticSystem(m);
  m.InSys[5] = 0;  // Jupiter out
  for (int k = 0; k <= 10; ++k) m.kPair[5][k] = m.kPair[k][5] = 0;
  Engine e(m);
  e.InitRunState(+1);
  for (int n = 0; n < 500; ++n) ASSERT_TRUE(e.StepRK4(kHour));
  EXPECT_EQ(m.X[5], m.X0[5]);
  EXPECT_EQ(m.Y[5], m.Y0[5]);
  EXPECT_EQ(m.VX[5], 0.0);

  Model m2;
  FillSyntheticSystem(m2);
  m2.InSys[5] = 0;
  m2.mPl[5] = 0.0;  // massless but paired: same motion of the others
  Engine e2(m2);
  e2.InitRunState(+1);
  for (int n = 0; n < 500; ++n) ASSERT_TRUE(e2.StepRK4(kHour));
  EXPECT_NEAR(m.X[3], m2.X[3], 1e-6 * metre);
}

TEST(Engine, OtoVariantReusesTheLastDerivative) {
  Model m;
  FillSyntheticSystem(m);
  Engine e(m);
  e.params.oto = true;
  e.InitRunState(+1);
  StateVector start = e.StateVec;
  ASSERT_TRUE(e.StepRK4(kHour));  // nothing evaluated yet: RateVec is zero
  EXPECT_EQ(e.StateVec, start);

  e.params.oto = false;
  ASSERT_TRUE(e.StepRK4(kHour));
  StateVector rate = e.RateVec, before = e.StateVec;
  e.params.oto = true;
  ASSERT_TRUE(e.StepRK4(kHour));
  EXPECT_EQ(e.RateVec, rate);
  for (int n = 0; n < kStateUsed; ++n)
    EXPECT_NEAR(e.StateVec[n], before[n] + kHour * rate[n], 1e-15 * std::fabs(before[n]) + 1e-12);
}

TEST(Engine, FloatingFaultLeavesTheLastGoodState) {
  Model m;
  FillSyntheticSystem(m);
  Engine e(m);
  e.params.finiteSpeed = true;
  e.params.Vgr = 0.0;
  e.InitRunState(+1);
  StateVector start = e.StateVec;
  EXPECT_FALSE(e.StepRK4(kHour));
  EXPECT_EQ(e.StateVec, start);
  EXPECT_EQ(m.X[1], m.X0[1]);
}

TEST(Engine, InitRunStateAddsSystemVelocityAndDirection) {
  Model m;
  FillSyntheticSystem(m);
  m.VXsys = 20, m.VYsys = -5, m.VZsys = 1;  // km/s
  Engine e(m);
  e.InitRunState(-1);
  EXPECT_EQ(e.StateVec[StateVX(1)], -(20000 + m.VX0[1]));
  EXPECT_EQ(e.StateVec[StateVY(3)], -(-5000 + m.VY0[3]));
  EXPECT_EQ(e.StateVec[StateVZ(10)], 0.0);  // Ксена excluded: at rest
  EXPECT_EQ(e.Rpl0[0], 0.0);
  EXPECT_DOUBLE_EQ(e.Rpl0[5], Norm3(m.X0[5], m.Y0[5], m.Z0[5]));
  e.EnergyMomentum();
  EXPECT_DOUBLE_EQ(e.Esys, e.Esys0);
  EXPECT_DOUBLE_EQ(e.Msys, e.Msys0);
}

}  // namespace
}  // namespace torvik
