#include "params/orbitcheck.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/units.h"
#include "fixture.h"
#include "core/fields.h"
#include "params/initial.h"

namespace torvik::test {
namespace {

using OrbitCheckTest = StartedModel;

// Runs batches until `perihelia` perihelia are seen (or the step budget ends).
void RunUntil(OrbitCheck& c, Model& m, int perihelia, long long maxSteps) {
  while (c.Running() && c.Values().perihelia < perihelia && c.StepsDone() < maxSteps)
    ASSERT_FALSE(c.RunBatch(m).has_value());
}

double AngleGap(double a, double b) {  // degrees, through 0/360
  const double d = std::fmod(std::fabs(a - b), 360.0);
  return std::fmin(d, 360.0 - d);
}

TEST_F(OrbitCheckTest, MercuryTwoRevolutions) {
  OrbitCheck c;
  ASSERT_FALSE(c.Start(m, OrbitCheckInputs{}).has_value());
  EXPECT_EQ(c.Fields().alfaPDrift, "0");
  RunUntil(c, m, 1, 200000);
  // The first perihelion counts from t = 0: part of a revolution only.
  EXPECT_LT(c.Values().period, 0.9 * m.Tsid[1]);
  RunUntil(c, m, 2, 200000);
  ASSERT_EQ(c.Values().perihelia, 2);
  const auto& v = c.Values();
  EXPECT_NEAR(v.period, m.Tsid[1], 0.1 * day) << "want " << m.Tsid[1] << " got " << v.period;
  EXPECT_NEAR(v.eks, m.Eks0[1], 1e-4) << "want " << m.Eks0[1] << " got " << v.eks;
  // Two-body motion keeps the perihelion and node where the elements put them.
  EXPECT_LT(AngleGap(v.alfaP, m.AlfaP0[1] * m.kUgol), 0.01);
  EXPECT_LT(AngleGap(v.alfaU, m.AlfaU0[1] * m.kUgol), 0.1);  // half an hour's motion
  EXPECT_GE(v.nodes, 1);
  EXPECT_NEAR(v.rsr, m.R0sr[1], 1e-6 * m.R0sr[1]);
  EXPECT_EQ(m.Rk[1], v.rsr);
  EXPECT_EQ(c.Fields().periodNote, "(справочно 87.96926 дней)");
  // Display truncations toward zero.
  EXPECT_EQ(c.Fields().period, FieldText(std::trunc(1e6 * v.period) / 1e6));
  EXPECT_EQ(c.Fields().rsr, FieldText(std::trunc(v.rsr * 100 / 1e6) / 100));
  EXPECT_EQ(c.Fields().alfaPDrift,
            FieldText(std::trunc((v.alfaP - m.AlfaP0[1] * m.kUgol) * 36000000) / 10000));  // arc seconds
  // RK4 with one-hour steps keeps the energy to well below a millionth of a per cent.
  EXPECT_LT(std::fabs(c.Values().dEsys), 1e-6);
  EXPECT_FALSE(c.Fields().dT.empty());
}

TEST_F(OrbitCheckTest, SunHasNoCheck) {
  const Model before = m;
  OrbitCheck c;
  OrbitCheckInputs in;
  in.body = 0;
  const auto r = c.Start(m, in);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Для Солнца нет проверки");
  EXPECT_EQ(r->title, "Torvik4.0");
  EXPECT_FALSE(c.Started());
  EXPECT_EQ(m.X, before.X);
  EXPECT_EQ(m.VX, before.VX);
}

TEST_F(OrbitCheckTest, BadFieldsAreRefused) {
  const char* bad[][2] = {{"nc0", "0"}, {"nc0", "40000"}, {"h0", "0"}, {"nRed", "0"}, {"dAlfa", "?"}};
  for (const auto& b : bad) {
    OrbitCheckInputs in;
    if (std::string(b[0]) == "nc0") in.nc0 = b[1];
    if (std::string(b[0]) == "h0") in.h0 = b[1];
    if (std::string(b[0]) == "nRed") in.nRed = b[1];
    if (std::string(b[0]) == "dAlfa") in.dAlfa = b[1];
    OrbitCheck c;
    const auto r = c.Start(m, in);
    ASSERT_TRUE(r.has_value()) << b[0] << "=" << b[1];
    EXPECT_EQ(r->text, "Задайте правильно данные");
    EXPECT_EQ(r->title, "Torvik6");
    EXPECT_FALSE(c.Running());
  }
}

TEST_F(OrbitCheckTest, StopContinueAndNC0Steps) {
  OrbitCheckInputs in;
  in.nc0 = "500";
  OrbitCheck straight, paused;
  ASSERT_FALSE(straight.Start(m, in).has_value());
  for (int i = 0; i < 3; ++i) ASSERT_FALSE(straight.RunBatch(m).has_value());
  const auto want = straight.State();

  ASSERT_FALSE(paused.Start(m, in).has_value());
  ASSERT_FALSE(paused.RunBatch(m).has_value());
  OrbitCheck::RequestStop(m);
  ASSERT_FALSE(paused.RunBatch(m).has_value());  // ends at its update
  EXPECT_FALSE(paused.Running());
  EXPECT_EQ(paused.StepsDone(), 1000);
  EXPECT_FALSE(paused.RunBatch(m).has_value());  // idle: nothing happens
  EXPECT_EQ(paused.StepsDone(), 1000);
  paused.Continue(m);
  EXPECT_EQ(m.Stop, 0);
  ASSERT_TRUE(paused.Running());
  ASSERT_FALSE(paused.RunBatch(m).has_value());
  EXPECT_EQ(paused.State(), want);  // resumed exactly where it stopped

  // "сделать NC0 шагов" with NC0 = 1: one step and one update.
  int updates = 0, steps = 0;
  paused.SetHooks({[&](const OrbitCheck&) { ++steps; }, nullptr, [&](const OrbitCheck&) { ++updates; }});
  ASSERT_FALSE(paused.PrepareNC0Steps(m, "1").has_value());
  ASSERT_FALSE(paused.RunBatch(m).has_value());
  EXPECT_EQ(steps, 1);
  EXPECT_EQ(updates, 1);
  EXPECT_FALSE(paused.Running());
  EXPECT_EQ(paused.StepsDone(), 1501);
  EXPECT_EQ(m.X[1], paused.State()[3]);  // the model follows the check for drawing

  OrbitCheck never;
  never.Continue(m);  // nothing to continue before a start
  EXPECT_FALSE(never.Running());
}

TEST_F(OrbitCheckTest, ZeroInclinationHasNoNode) {
  m.Betta0[4] = 0.0;
  ASSERT_FALSE(ComputeInitialData(m, InitialDataInputs{FieldText(m.mSol()), FieldText(m.gamma), true}).has_value());
  OrbitCheckInputs in;
  in.body = 4;
  in.h0 = "36000";
  OrbitCheck c;
  ASSERT_FALSE(c.Start(m, in).has_value());
  RunUntil(c, m, 3, 100000);
  EXPECT_EQ(c.Values().perihelia, 3);
  EXPECT_EQ(c.Values().nodes, 0);
  EXPECT_EQ(c.Fields().alfaU, "");
  EXPECT_EQ(c.Fields().alfaUDrift, "0");
  EXPECT_NEAR(c.Values().period, m.Tsid[4], 0.5 * day);
}

TEST_F(OrbitCheckTest, LongitudesStraddlingZero) {
  // Started at perihelion at λ, the ascending node lies at λ − 90°. Венера from
  // λ = 90° has its node at 0°, Меркурий from λ = 0° its perihelion: the samples
  // around them straddle 0°/360° and need the −180° correction, and the drifts
  // from the start values are counted through 0°/360°.
  const struct {
    int body;
    const char* lambda;
  } cases[] = {{2, "90"}, {1, "0"}};
  for (const auto& t : cases) {
    SCOPED_TRACE(kBodyNames[t.body]);
    Model w = m;
    OrbitCheckInputs in;
    in.body = t.body;
    in.atPerihelion = true;
    in.lambda = t.lambda;
    OrbitCheck c;
    ASSERT_FALSE(c.Start(w, in).has_value());
    const double speed = std::hypot(w.VX[t.body], w.VY[t.body]);
    const double e = w.Eks0[t.body], a = w.R0sr[t.body];
    EXPECT_NEAR(speed * speed, w.gamma * w.mSol() * (1 + e) / ((1 - e) * a), 1e-9 * speed * speed);
    RunUntil(c, w, 1, 100000);
    const double lambda = *ParseFieldNumber(t.lambda);
    ASSERT_GE(c.Values().nodes, 1);
    // The node is the mean of two hourly samples: good to half an hour's motion.
    EXPECT_LT(AngleGap(c.Values().alfaU, lambda - 90), 0.1) << c.Values().alfaU;
    // Started exactly at perihelion, the first one seen is a whole revolution later.
    EXPECT_NEAR(c.Values().period, w.Tsid[t.body], 0.5 * day);
    EXPECT_LT(AngleGap(c.Values().alfaP, lambda), 0.01) << c.Values().alfaP;
    const auto driftP = ParseFieldNumber(c.Fields().alfaPDrift);
    const auto driftU = ParseFieldNumber(c.Fields().alfaUDrift);
    ASSERT_TRUE(driftP && driftU);
    EXPECT_LT(std::fabs(*driftP), 0.01 * 3600) << "arc seconds";
    EXPECT_LT(std::fabs(*driftU), 0.1 * 3600) << "arc seconds";
  }

  // A circular orbit can be started at perihelion as well.
  m.Eks0[2] = 0.0;
  OrbitCheckInputs in;
  in.body = 2;
  in.atPerihelion = true;
  in.lambda = "90";
  OrbitCheck c;
  EXPECT_FALSE(c.Start(m, in).has_value());
  EXPECT_NEAR(std::hypot(m.VX[2], m.VY[2]), std::sqrt(m.gamma * m.mSol() / m.R0sr[2]), 1e-9);
}

TEST_F(OrbitCheckTest, FaultEndsTheLoopAndKeepsTheLastState) {
  // At rest in the Sun's field the start energy is zero: dEsys divides by it.
  m.VX0[3] = m.VY0[3] = m.VZ0[3] = 0.0;
  OrbitCheckInputs in;
  in.body = 3;
  in.nc0 = "10";
  OrbitCheck c;
  ASSERT_FALSE(c.Start(m, in).has_value());
  const auto r = c.RunBatch(m);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Ошибка решения уравнений");
  EXPECT_EQ(r->title, "Torvik6.0");
  EXPECT_FALSE(c.Running());
  for (double x : c.State()) EXPECT_TRUE(std::isfinite(x));
}

}  // namespace
}  // namespace torvik::test
