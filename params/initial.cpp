#include "params/initial.h"

#include <cmath>

#include "core/kepler.h"
#include "core/textfile.h"
#include "core/fields.h"
#include "params/loading.h"

namespace torvik {

namespace {

UserMessage Failure() { return UserMessage{kMsgError, kTitle}; }

bool Finite3(double a, double b, double c) { return std::isfinite(a) && std::isfinite(b) && std::isfinite(c); }

// Centre of mass of the initial positions of the bodies taking part into slot
// 11; false when their total mass is zero or the result is not finite.
bool CentreOfMass(Model& m) {
  double mass = 0.0, sx = 0.0, sy = 0.0, sz = 0.0;
  for (int k = 0; k <= 10; ++k) {
    const double w = m.InSys[k] * m.mPl[k];
    mass += w;
    sx += w * m.X0[k];
    sy += w * m.Y0[k];
    sz += w * m.Z0[k];
  }
  if (mass == 0.0) return false;
  const double x = sx / mass, y = sy / mass, z = sz / mass;
  if (!Finite3(x, y, z)) return false;
  m.X[11] = x;
  m.Y[11] = y;
  m.Z[11] = z;
  return true;
}

}  // namespace

ActionResult ComputeInitialData(Model& m, const InitialDataInputs& in) {
  const UserMessage bad{kMsgBadData, kTitle};
  auto v = ParseFieldNumber(in.mSol);
  if (!v) return bad;
  m.mSol() = *v;
  if (!(v = ParseFieldNumber(in.gamma))) return bad;
  m.gamma = *v;

  m.X0[0] = m.Y0[0] = m.Z0[0] = m.VX0[0] = m.VY0[0] = m.VZ0[0] = 0.0;
  m.X[0] = m.Y[0] = m.Z[0] = m.VX[0] = m.VY[0] = m.VZ[0] = 0.0;

  // Positions of all bodies first, then the velocities: a fault in the second
  // pass leaves every position in place.
  for (int k = 1; k <= 10; ++k) {
    if (!ElementsToPosition(m, k)) return bad;  // e outside (−1, 1): nothing written
    m.X0[k] = m.X[k];
    m.Y0[k] = m.Y[k];
    m.Z0[k] = m.Z[k];
  }
  for (int k = 1; k <= 10; ++k) {
    const double e = m.Eks0[k];
    const double p = (1.0 - e * e) * m.R0sr[k];  // semi-latus rectum, m
    const double v = m.AnomV[k], u = m.ArgU[k], r = m.Rk[k];
    const double i = m.Betta0[k], node = m.AlfaU0[k];
    const double mu = in.vsol0 ? m.gamma * m.mPl[0] : m.gamma * (m.mPl[k] + m.mPl[0]);
    const double q = std::sqrt(mu / p);
    const double vr = q * e * std::sin(v);
    const double vt = q * (1.0 + e * std::cos(v));
    const double vx = (-std::sin(u) * std::cos(node) - std::sin(node) * std::cos(u) * std::cos(i)) * vt +
                      vr * m.X0[k] / r;
    const double vy = (std::cos(node) * std::cos(u) * std::cos(i) - std::sin(u) * std::sin(node)) * vt +
                      vr * m.Y0[k] / r;
    const double vz = vr * m.Z0[k] / r + vt * std::cos(u) * std::sin(i);
    if (!Finite3(vx, vy, vz)) return bad;
    m.VX0[k] = m.VX[k] = vx;
    m.VY0[k] = m.VY[k] = vy;
    m.VZ0[k] = m.VZ[k] = vz;
  }
  return std::nullopt;
}

ActionResult FindCentreOfMass(Model& m) {
  if (!CentreOfMass(m)) return Failure();
  return std::nullopt;
}

std::array<std::string, 3> CentreOfMassTexts(const Model& m) {
  return {FieldText(Fix(m.X[11]) / m.MK), FieldText(Fix(m.Y[11]) / m.MK), FieldText(Fix(m.Z[11]) / m.MK)};
}

ActionResult CentreOfMassToOrigin(Model& m) {
  if (!CentreOfMass(m)) return Failure();
  for (int k = 0; k <= 10; ++k) {  // bodies left out of the model move too
    m.X[k] = m.X0[k] = m.X0[k] - m.X[11];
    m.Y[k] = m.Y0[k] = m.Y0[k] - m.Y[11];
    m.Z[k] = m.Z0[k] = m.Z0[k] - m.Z[11];
  }
  m.X[11] = m.Y[11] = m.Z[11] = 0.0;
  return std::nullopt;
}

ActionResult FindSunVelocity(Model& m) {
  double px = 0.0, py = 0.0, pz = 0.0;
  for (int k = 1; k <= 10; ++k) {
    const double w = m.InSys[k] * m.mPl[k];
    px += w * m.VX0[k];
    py += w * m.VY0[k];
    pz += w * m.VZ0[k];
  }
  if (m.mPl[0] == 0.0) return Failure();
  const double vx = -px / m.mPl[0], vy = -py / m.mPl[0], vz = -pz / m.mPl[0];
  if (!Finite3(vx, vy, vz)) return Failure();
  m.VX0[0] = m.VX[0] = vx;
  m.VY0[0] = m.VY[0] = vy;
  m.VZ0[0] = m.VZ[0] = vz;
  return std::nullopt;
}

ActionResult ApplySunVelocity(Model& m) {
  if (!Finite3(m.VX[0], m.VY[0], m.VZ[0])) return Failure();
  for (int k = 1; k <= 10; ++k) {  // every planet, taking part or not
    m.VX[k] = m.VX0[k] = m.VX0[k] + m.VX[0];
    m.VY[k] = m.VY0[k] = m.VY0[k] + m.VY[0];
    m.VZ[k] = m.VZ0[k] = m.VZ0[k] + m.VZ[0];
  }
  return std::nullopt;
}

PictureCross CentreOfMassCross(const Model& m) { return PictureCross{m.X[11] / m.Mxy, m.Y[11] / m.Mxy}; }

}  // namespace torvik
