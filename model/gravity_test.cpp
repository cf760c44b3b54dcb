#include "model/gravity_test.h"

#include <cmath>

#include "core/kepler.h"

namespace torvik {

namespace {

constexpr double kMinDX = 1000.0;  // m

bool Finite(const Vec3& v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); }

bool Finite(const PairQuantities& q) {
  for (double v : {q.dX, q.dY, q.dZ, q.Rxy, q.Rij, q.Tdel, q.Fij, q.FXij, q.FYij, q.FZij})
    if (!std::isfinite(v)) return false;
  return true;
}

// Distance, delay and force of a pair from its differences; the inverse square
// of the distance whatever the engine's exponent.
void Complete(PairQuantities& q, double massProduct, double gamma, double Vgr) {
  q.Rxy = std::sqrt(q.dY * q.dY + q.dX * q.dX);
  q.Rij = std::sqrt(q.dZ * q.dZ + q.Rxy * q.Rxy);
  q.Tdel = q.Rij / Vgr;
  q.Fij = gamma * massProduct / q.Rij / q.Rij;
  SplitForce(q);
}

// One retarded pair: receiver at `to`, source's trace at `from`. A pair whose
// dX is exactly 0 keeps its quantities.
void Retarded(PairQuantities& q, const Vec3& to, const Vec3& from, double massProduct, double gamma,
              double Vgr) {
  const double dX = to[0] - from[0];
  if (dX == 0.0) return;
  q.dX = std::fabs(dX) < kMinDX ? std::copysign(kMinDX, dX) : dX;
  q.dY = to[1] - from[1];
  q.dZ = to[2] - from[2];
  Complete(q, massProduct, gamma, Vgr);
}

}  // namespace

void SplitForce(PairQuantities& q) {
  q.AlfaZ = std::atan(std::fabs(q.dZ) / q.Rxy);
  q.AlfaXY = std::fabs(std::atan(q.dY / q.dX));
  q.FXij = std::cos(q.AlfaXY) * q.Fij * std::cos(q.AlfaZ);
  if (q.dX > 0) q.FXij = -q.FXij;
  q.FYij = std::sin(q.AlfaXY) * q.Fij * std::cos(q.AlfaZ);
  if (q.dY > 0) q.FYij = -q.FYij;
  q.FZij = std::sin(q.AlfaZ) * q.Fij;
  if (q.dZ > 0) q.FZij = -q.FZij;
}

ActionResult GravitySpeedTest::Place(const Model& m, const std::array<bool, 11>& ticked, double AlfaL1,
                                     double AlfaL2) {
  int chosen[2] = {-1, -1}, count = 0;
  for (int k = 0; k <= 10; ++k)
    if (ticked[k]) {
      if (count < 2) chosen[count] = k;
      ++count;
    }
  if (count != 2) return UserMessage{kMsgTwoBodies, kTitle};

  // The elements of the model with the mean longitude replaced, solved on a copy.
  Model w = m;
  Vec3 pos[2], vel[2];
  const double lon[2] = {AlfaL1, AlfaL2};
  for (int n = 0; n < 2; ++n) {
    const int k = chosen[n];
    if (k == 0) {
      pos[n] = vel[n] = Vec3{0.0, 0.0, 0.0};
      continue;
    }
    w.AnomM[k] = lon[n] / w.kUgol - w.AlfaP0[k];
    if (w.AnomM[k] < 0.0) w.AnomM[k] += 2.0 * w.Pi;
    if (!ElementsToPosition(w, k) || !ElementsToVelocity(w, k)) return UserMessage{kMsgPlaceData, kTitle};
    pos[n] = {w.X[k], w.Y[k], w.Z[k]};
    vel[n] = {w.VX[k], w.VY[k], w.VZ[k]};
    if (!Finite(pos[n]) || !Finite(vel[n])) return UserMessage{kMsgPlaceData, kTitle};
  }
  body1 = chosen[0];
  body2 = chosen[1];
  X1 = Xr1 = pos[0];
  X2 = Xr2 = pos[1];
  V1 = vel[0];
  V2 = vel[1];
  return std::nullopt;
}

ActionResult GravitySpeedTest::FirstApproximation(const Model& m, const Vec3& x1, const Vec3& x2,
                                                  double VgrFactor) {
  const UserMessage failed{kMsgForceData, kTitle};
  if (body1 < 0 || body2 < 0) return failed;
  const double vgr = VgrFactor * m.Vsv;
  const double massProduct = m.mPl[body1] * m.mPl[body2];
  PairQuantities a, b;
  a.dX = x2[0] - x1[0], a.dY = x2[1] - x1[1], a.dZ = x2[2] - x1[2];
  b.dX = -a.dX, b.dY = -a.dY, b.dZ = -a.dZ;
  Complete(a, massProduct, m.gamma, vgr);
  Complete(b, massProduct, m.gamma, vgr);
  if (!Finite(a) || !Finite(b) || !(vgr > 0.0)) return failed;
  X1 = Xr1 = x1;
  X2 = Xr2 = x2;
  p12 = a;
  p21 = b;
  Vgr = vgr;
  iterations = 0;
  return std::nullopt;
}

ActionResult GravitySpeedTest::Iterate(Model& m, const Vec3& v1, const Vec3& v2, const Vec3& vsys,
                                       std::int16_t NIterVgr) {
  const UserMessage failed{kMsgForceData, kTitleIteration};
  if (body1 < 0 || body2 < 0 || !(Vgr > 0.0)) return failed;
  Vec3 u1, u2, r1, r2;
  for (int c = 0; c < 3; ++c) {
    u1[c] = (v1[c] + vsys[c]) * 1000.0;
    u2[c] = (v2[c] + vsys[c]) * 1000.0;
    // Each body as the other one sees it: where it was one delay ago.
    r1[c] = X1[c] - p12.Tdel * u1[c];
    r2[c] = X2[c] - p21.Tdel * u2[c];
  }
  PairQuantities a = p12, b = p21;
  const double massProduct = m.mPl[body1] * m.mPl[body2];
  Retarded(a, X2, r1, massProduct, m.gamma, Vgr);
  Retarded(b, X1, r2, massProduct, m.gamma, Vgr);
  if (!Finite(a) || !Finite(b) || !Finite(r1) || !Finite(r2)) return failed;
  V1 = u1;
  V2 = u2;
  Xr1 = r1;
  Xr2 = r2;
  p12 = a;
  p21 = b;
  ++iterations;
  m.NIterVgr = NIterVgr;
  return std::nullopt;
}

}  // namespace torvik
