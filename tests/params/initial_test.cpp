#include "params/initial.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/units.h"
#include "fixture.h"
#include "core/fields.h"
#include "params/loading.h"

namespace torvik::test {
namespace {

using InitialData = StartedModel;

InitialDataInputs Fields(const Model& m, bool vsol0) {
  return InitialDataInputs{FieldText(m.mSol()), FieldText(m.gamma), vsol0};
}

double Speed(const Model& m, int k) { return std::sqrt(m.VX0[k] * m.VX0[k] + m.VY0[k] * m.VY0[k] + m.VZ0[k] * m.VZ0[k]); }
double Distance(const Model& m, int k) { return std::sqrt(m.X0[k] * m.X0[k] + m.Y0[k] * m.Y0[k] + m.Z0[k] * m.Z0[k]); }

TEST_F(InitialData, CircularSpeedWithAndWithoutVsol0) {
  // A heavy planet (a tenth of the Sun) on a circular orbit of 1 AU.
  m.Eks0[4] = 0.0;
  m.R0sr[4] = au;
  m.km[4] = 10;
  m.mPl[4] = m.mSol() / 10;
  for (bool vsol0 : {true, false}) {
    SCOPED_TRACE(vsol0 ? "Vsol=0" : "Sun moves");
    ASSERT_FALSE(ComputeInitialData(m, Fields(m, vsol0)).has_value());
    const double mu = vsol0 ? m.gamma * m.mSol() : m.gamma * (m.mSol() + m.mPl[4]);
    EXPECT_NEAR(Speed(m, 4), std::sqrt(mu / au), 1e-6) << "m/s";
    EXPECT_NEAR(Distance(m, 4), au, 1e-3 * metre);
    EXPECT_EQ(m.VX[4], m.VX0[4]);
  }
}

TEST_F(InitialData, KeplerInvariantsOfEveryPlanet) {
  // Vis-viva v² = μ(2/r − 1/a) and |r × v| = sqrt(μ·a·(1 − e²)) for the
  // speeds of the start-up ("Vsol=0": μ = gamma·mSol).
  const double mu = m.gamma * m.mSol();
  for (int k = 1; k <= 10; ++k) {
    SCOPED_TRACE("body " + std::to_string(k));
    const double r = Distance(m, k), a = m.R0sr[k], e = m.Eks0[k];
    const double v = Speed(m, k);
    EXPECT_NEAR(v * v / (mu * (2 / r - 1 / a)), 1.0, 1e-12);
    const double hx = m.Y0[k] * m.VZ0[k] - m.Z0[k] * m.VY0[k];
    const double hy = m.Z0[k] * m.VX0[k] - m.X0[k] * m.VZ0[k];
    const double hz = m.X0[k] * m.VY0[k] - m.Y0[k] * m.VX0[k];
    EXPECT_NEAR(std::sqrt(hx * hx + hy * hy + hz * hz) / std::sqrt(mu * a * (1 - e * e)), 1.0, 1e-12);
    // The orbit normal is tilted by the inclination.
    EXPECT_NEAR(std::acos(hz / std::sqrt(hx * hx + hy * hy + hz * hz)), m.Betta0[k], 1e-9);
  }
  EXPECT_EQ(Speed(m, 0), 0.0);
  EXPECT_EQ(Distance(m, 0), 0.0);
}

TEST_F(InitialData, FailuresKeepWhatWasComputed) {
  const Model before = m;
  auto r = ComputeInitialData(m, InitialDataInputs{"много", "6.67e-11", true});
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Задайте правильно данные");
  EXPECT_EQ(r->title, "Torvik6");
  EXPECT_EQ(m.X0, before.X0);

  m.Eks0[6] = 1.0;  // Сатурн on a parabola
  m.X0[4] = m.X0[6] = 1.0;
  r = ComputeInitialData(m, Fields(m, true));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Задайте правильно данные");
  EXPECT_EQ(m.X0[4], before.X0[4]);  // Марс recomputed
  EXPECT_EQ(m.X0[6], 1.0);           // Сатурн not touched
  EXPECT_TRUE(std::isfinite(m.X[6]));
}

TEST_F(InitialData, CentreOfMass) {
  // Only the Sun, displaced, takes part: the centre is the Sun.
  std::array<bool, 11> sunOnly{};
  sunOnly[0] = true;
  SetInSys(m, sunOnly);
  m.X0[0] = 1.5e9;
  m.Y0[0] = -2.5e9;
  m.Z0[0] = 3e6;
  ASSERT_FALSE(FindCentreOfMass(m).has_value());
  EXPECT_EQ(m.X[11], 1.5e9);
  EXPECT_EQ(m.Y[11], -2.5e9);
  const auto texts = CentreOfMassTexts(m);
  EXPECT_EQ(texts[0], "1500");
  EXPECT_EQ(texts[1], "-2500");
  EXPECT_EQ(texts[2], "3");

  // All bodies but Ксена: moving the centre to the origin, then finding it again.
  std::array<bool, 11> planets{};
  for (int k = 0; k <= 9; ++k) planets[k] = true;
  SetInSys(m, planets);
  const double xenaX = m.X0[10];
  ASSERT_FALSE(FindCentreOfMass(m).has_value());
  const double cx = m.X[11];
  EXPECT_GT(std::fabs(cx), 1e8);  // mostly Jupiter's pull, ~ 1e9 m
  ASSERT_FALSE(CentreOfMassToOrigin(m).has_value());
  EXPECT_EQ(m.X[11], 0.0);
  EXPECT_DOUBLE_EQ(m.X0[10], xenaX - cx);  // bodies left out move too
  EXPECT_EQ(m.X[5], m.X0[5]);
  ASSERT_FALSE(FindCentreOfMass(m).has_value());
  EXPECT_NEAR(m.X[11], 0.0, 1e-3 * metre);
  EXPECT_NEAR(m.Y[11], 0.0, 1e-3 * metre);
  EXPECT_NEAR(m.Z[11], 0.0, 1e-3 * metre);

  SetInSys(m, {});
  const auto r = FindCentreOfMass(m);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Ошибка");
  EXPECT_EQ(r->title, "Torvik6");
  EXPECT_TRUE(CentreOfMassToOrigin(m).has_value());
}

TEST_F(InitialData, SunVelocityCancelsMomentumAndAddsOncePerPress) {
  ASSERT_FALSE(FindSunVelocity(m).has_value());
  for (auto p : {&Model::VX0, &Model::VY0, &Model::VZ0}) {
    double total = 0.0, scale = 0.0;
    for (int k = 0; k <= 10; ++k) {
      total += m.InSys[k] * m.mPl[k] * (m.*p)[k];
      scale += std::fabs(m.InSys[k] * m.mPl[k] * (m.*p)[k]);
    }
    EXPECT_NEAR(total / scale, 0.0, 1e-14);
  }
  EXPECT_EQ(m.VX[0], m.VX0[0]);
  EXPECT_GT(std::fabs(m.VX0[0]), 1e-3);  // of order 10 m/s, mostly Jupiter's

  const Model before = m;
  ASSERT_FALSE(ApplySunVelocity(m).has_value());
  ASSERT_FALSE(ApplySunVelocity(m).has_value());
  for (int k = 1; k <= 10; ++k) {  // Ксена too, although it takes no part
    EXPECT_DOUBLE_EQ(m.VX0[k], before.VX0[k] + 2 * before.VX[0]) << k;
    EXPECT_DOUBLE_EQ(m.VZ0[k], before.VZ0[k] + 2 * before.VZ[0]) << k;
    EXPECT_EQ(m.VY[k], m.VY0[k]) << k;
  }
  EXPECT_EQ(m.VX0[0], before.VX0[0]);

  m.mSol() = 0;
  EXPECT_TRUE(FindSunVelocity(m).has_value());
}

}  // namespace
}  // namespace torvik::test
