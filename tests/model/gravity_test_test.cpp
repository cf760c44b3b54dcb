// The gravity-speed test against closed forms: placing a body on its orbit
// (perihelion and aphelion distances, vis-viva speed), the forces of the
// system at rest (Newton's law, the force pointing at the source), and the
// delay iteration of the moving system, whose fixed point for a velocity along
// the joining line is the retarded distance L / (1 ∓ v/Vgr).
#include "model/gravity_test.h"

#include <gtest/gtest.h>

#include <cmath>

#include "params/startup.h"

namespace torvik {
namespace {

constexpr double kMetre = 1.0;
constexpr double kMetrePerSecond = 1.0;

Model StartUpModel() {
  Model m;
  EXPECT_FALSE(StartUp(m));
  return m;
}

double Norm(const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

std::array<bool, 11> Ticked(std::initializer_list<int> bodies) {
  std::array<bool, 11> t{};
  for (int k : bodies) t[k] = true;
  return t;
}

TEST(GravitySpeedTest, ExactlyTwoBodiesMustBeTicked) {
  const Model m = StartUpModel();
  for (auto bodies : {Ticked({}), Ticked({3}), Ticked({1, 2, 3}), Ticked({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})}) {
    GravitySpeedTest t;
    auto msg = t.Place(m, bodies, 0, 90);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, "Должно быть отмечено только 2 объекта");
    EXPECT_EQ(msg->title, "Torvik6");
    EXPECT_EQ(t.body1, -1);
  }
}

// A mean longitude equal to the longitude of perihelion puts the body at
// perihelion, 180° further at aphelion; the speed follows vis-viva with the
// Sun's mass alone. The Sun, when chosen, stays at the origin at rest.
TEST(GravitySpeedTest, PlacesTheBodiesOnTheirOrbits) {
  const Model m = StartUpModel();
  const double GM = m.gamma * m.mPl[0];
  struct Case {
    int a, b;
    double turnA, turnB;  // degrees past the perihelion
  } cases[] = {{1, 2, 0, 180}, {3, 5, 180, 0}, {0, 4, 0, 0}};
  for (const Case& c : cases) {
    GravitySpeedTest t;
    const double kDeg = m.kUgol;
    const double lonA = m.AlfaP0[c.a] * kDeg + c.turnA, lonB = m.AlfaP0[c.b] * kDeg + c.turnB;
    ASSERT_FALSE(t.Place(m, Ticked({c.b, c.a}), lonA, lonB));
    EXPECT_EQ(t.body1, c.a);
    EXPECT_EQ(t.body2, c.b);
    const std::pair<int, double> placed[] = {{c.a, c.turnA}, {c.b, c.turnB}};
    for (int n = 0; n < 2; ++n) {
      const auto [k, turn] = placed[n];
      const Vec3& X = n == 0 ? t.X1 : t.X2;
      const Vec3& V = n == 0 ? t.V1 : t.V2;
      if (k == 0) {
        EXPECT_EQ(Norm(X), 0.0);
        EXPECT_EQ(Norm(V), 0.0);
        continue;
      }
      const double a = m.R0sr[k], e = m.Eks0[k];
      const double r = turn == 0 ? a * (1 - e) : a * (1 + e);
      EXPECT_NEAR(Norm(X), r, 1e-9 * r) << "body " << k;
      const double v = std::sqrt(GM * (2 / r - 1 / a));
      EXPECT_NEAR(Norm(V), v, 1e-9 * v) << "body " << k;
    }
  }
}

// Two bodies at a known separation: L, T = L / Vgr and Newton's force for
// both directions, each pointing from the receiver to the source.
TEST(GravitySpeedTest, FirstApproximationIsNewtonsLawForTheSystemAtRest) {
  const Model m = StartUpModel();
  GravitySpeedTest t;
  ASSERT_FALSE(t.Place(m, Ticked({3, 5}), 0, 90));
  const Vec3 X1{1.2e11, -0.4e11, 3e9}, X2{-5e11, 6e11, -1e10};
  ASSERT_FALSE(t.FirstApproximation(m, X1, X2, 0.5));
  const Vec3 d{X2[0] - X1[0], X2[1] - X1[1], X2[2] - X1[2]};
  const double L = Norm(d), F = m.gamma * m.mPl[3] * m.mPl[5] / (L * L);
  for (const PairQuantities* q : {&t.p12, &t.p21}) {
    EXPECT_NEAR(q->Rij, L, 1e-15 * L);
    EXPECT_NEAR(q->Tdel, L / (0.5 * m.Vsv), 1e-12);
    EXPECT_NEAR(q->Fij, F, 1e-14 * F);
  }
  // On body 2 toward body 1, on body 1 toward body 2.
  const double fx = -F * d[0] / L, fy = -F * d[1] / L, fz = -F * d[2] / L;
  EXPECT_NEAR(t.p12.FXij, fx, 1e-12 * F);
  EXPECT_NEAR(t.p12.FYij, fy, 1e-12 * F);
  EXPECT_NEAR(t.p12.FZij, fz, 1e-12 * F);
  EXPECT_NEAR(t.p21.FXij, -fx, 1e-12 * F);
  EXPECT_NEAR(t.p21.FYij, -fy, 1e-12 * F);
  EXPECT_NEAR(t.p21.FZij, -fz, 1e-12 * F);
  EXPECT_EQ(t.iterations, 0);
}

// Body 1 at the origin, body 2 at distance L on the x axis, both moving with
// the system at v along x. The trace of the source lies at X − T·v: the first
// iteration gives L + T·v and L − T·v (the engine's correction, X + T·v,
// would give the reverse), and the fixed point is L / (1 ∓ v/Vgr).
TEST(GravitySpeedTest, IterationConvergesToTheRetardedDistances) {
  Model m = StartUpModel();
  GravitySpeedTest t;
  ASSERT_FALSE(t.Place(m, Ticked({3, 4}), 0, 0));
  const double L = 2e11, VgrFactor = 0.001, v = 100.0;  // km/s
  const double Vgr = VgrFactor * m.Vsv, beta = v * 1000 / Vgr;
  ASSERT_FALSE(t.FirstApproximation(m, Vec3{0, 0, 0}, Vec3{L, 0, 0}, VgrFactor));
  const Vec3 zero{0, 0, 0}, vsys{v, 0, 0};
  ASSERT_FALSE(t.Iterate(m, zero, zero, vsys, 0));
  const double T = L / Vgr;
  EXPECT_NEAR(t.p12.Rij, L + T * v * 1000, 1e-3 * kMetre);
  EXPECT_NEAR(t.p21.Rij, L - T * v * 1000, 1e-3 * kMetre);
  EXPECT_NEAR(t.Xr1[0], -T * v * 1000, 1e-3 * kMetre);
  for (int n = 0; n < 60; ++n) ASSERT_FALSE(t.Iterate(m, zero, zero, vsys, 0));
  EXPECT_NEAR(t.p12.Rij, L / (1 - beta), 1e-6 * L);
  EXPECT_NEAR(t.p21.Rij, L / (1 + beta), 1e-6 * L);
  EXPECT_NEAR(t.p12.Fij, m.gamma * m.mPl[3] * m.mPl[4] * std::pow(1 - beta, 2) / (L * L), 1e-5 * t.p12.Fij);
  EXPECT_EQ(t.iterations, 61);
  EXPECT_EQ(t.V1[0], v * 1000 * kMetrePerSecond);
}

// With every velocity zero the iteration keeps the values of the system at
// rest; a |dX| under 1000 m is held at 1000 m with its sign.
TEST(GravitySpeedTest, RestValuesAtZeroVelocityAndTheDxClamp) {
  Model m = StartUpModel();
  GravitySpeedTest t;
  ASSERT_FALSE(t.Place(m, Ticked({1, 2}), 0, 90));
  const Vec3 zero{0, 0, 0};
  const Vec3 X1{3e10, 4e10, 1e9}, X2{-7e10, 1e10, -2e9};
  ASSERT_FALSE(t.FirstApproximation(m, X1, X2, 1));
  const PairQuantities rest = t.p12;
  ASSERT_FALSE(t.Iterate(m, zero, zero, zero, 0));
  EXPECT_DOUBLE_EQ(t.p12.Rij, rest.Rij);
  EXPECT_DOUBLE_EQ(t.p21.Rij, rest.Rij);
  EXPECT_DOUBLE_EQ(t.p12.Fij, t.p21.Fij);
  EXPECT_DOUBLE_EQ(t.p12.Tdel, rest.Tdel);

  ASSERT_FALSE(t.FirstApproximation(m, Vec3{0, 0, 0}, Vec3{400, 1e9, 0}, 1));
  EXPECT_EQ(t.p12.dX, 400.0);  // the first approximation is not clamped
  ASSERT_FALSE(t.Iterate(m, zero, zero, zero, 0));
  EXPECT_EQ(t.p12.dX, 1000.0);
  EXPECT_EQ(t.p21.dX, -1000.0);
  EXPECT_DOUBLE_EQ(t.p12.Rij, std::sqrt(1e6 + 1e18));
}

TEST(GravitySpeedTest, IterationSetsTheEnginesDelayPassesOnlyWhenItSucceeds) {
  Model m = StartUpModel();
  GravitySpeedTest t;
  ASSERT_FALSE(t.Place(m, Ticked({1, 2}), 0, 90));
  const Vec3 zero{0, 0, 0};
  // Before the first approximation there is no speed of gravity: a fault.
  auto msg = t.Iterate(m, zero, zero, zero, 5);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Введите правильно данные или увеличьте MF");
  EXPECT_EQ(msg->title, "Torvik5");
  EXPECT_EQ(m.NIterVgr, 0);
  msg = t.FirstApproximation(m, t.X1, t.X2, 0);  // Vgr = 0
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->title, "Torvik6");
  ASSERT_FALSE(t.FirstApproximation(m, t.X1, t.X2, 1));
  ASSERT_FALSE(t.Iterate(m, zero, zero, zero, 5));
  EXPECT_EQ(m.NIterVgr, 5);
}

}  // namespace
}  // namespace torvik
