#include "model/engine.h"

#include <cmath>

namespace torvik {

namespace {

constexpr int n1 = kEngineBodies;
// Position of the dummy body 11: far from everything, so that its distances
// are finite and non-zero; it has no mass and feels nothing that is used.
constexpr double kFarAway = 1e30;

}  // namespace

void Engine::Prepare() {
  for (int i = 0; i < kPad; ++i)
    for (int j = 0; j < kPad; ++j) {
      bool real = i < n1 && j < n1 && i != j;
      gm_[i][j] = real ? m_.kPair[i][j] * m_.gamma * m_.mPl[i] : 0.0;
    }
  px_[n1] = py_[n1] = pz_[n1] = kFarAway;
  symmetric_ = true;
  for (int i = 0; i < n1; ++i)
    for (int j = 0; j < n1; ++j) symmetric_ = symmetric_ && m_.kPair[i][j] == m_.kPair[j][i];
  for (int i = 0, p = 0; i < n1; ++i) {
    rowStart_[i] = p;
    for (int j = i + 1; j < n1; ++j, ++p) gij_[p] = gm_[i][j], gji_[p] = gm_[j][i];
  }
  gij_[kPairLanes - 1] = gji_[kPairLanes - 1] = 0.0;
}

void Engine::InitRunState(int Dir) {
  Model& m = m_;
  for (int k = 0; k <= m.nObj && k < n1; ++k) {
    m.X[k] = m.X0[k];
    m.Y[k] = m.Y0[k];
    m.Z[k] = m.Z0[k];
    // The system velocity is in km/s; an excluded body starts and stays at rest.
    m.VX[k] = (m.VXsys * 1000.0 + m.VX0[k]) * m.InSys[k] * Dir;
    m.VY[k] = (m.VYsys * 1000.0 + m.VY0[k]) * m.InSys[k] * Dir;
    m.VZ[k] = (m.VZsys * 1000.0 + m.VZ0[k]) * m.InSys[k] * Dir;
  }
  Esys0 = 0.0;
  Msys0 = 0.0;
  StateVec.fill(0.0);
  for (int k = 0; k <= m.nObj && k < n1; ++k) {
    StateVec[StateX(k)] = m.X[k];
    StateVec[StateY(k)] = m.Y[k];
    StateVec[StateZ(k)] = m.Z[k];
    StateVec[StateVX(k)] = m.VX[k];
    StateVec[StateVY(k)] = m.VY[k];
    StateVec[StateVZ(k)] = m.VZ[k];
    double dX = m.X[k] - m.X[0], dY = m.Y[k] - m.Y[0], dZ = m.Z[k] - m.Z[0];
    Rpl0[k] = std::sqrt(dY * dY + dX * dX + dZ * dZ);
    double V2 = m.VX[k] * m.VX[k] + m.VY[k] * m.VY[k] + m.VZ[k] * m.VZ[k];
    Msys0 += ((m.VY[k] - m.VY[0]) * dX - (m.VX[k] - m.VX[0]) * dY) * m.InSys[k] * m.mPl[k];
    Esys0 += V2 * m.InSys[k] * m.mPl[k] / 2.0;
  }
  Esys = Esys0;
  Msys = Msys0;
  RateVec.fill(0.0);
  for (auto* a : {&accX_, &accY_, &accZ_})
    for (auto& row : *a) row.fill(0.0);
  for (auto* a : {&aijX_, &aijY_, &aijZ_, &ajiX_, &ajiY_, &ajiZ_}) a->fill(0.0);
  keptInPairs_ = false;
  Prepare();
}

void Engine::InitImitator() {
  Rpl0.fill(1.0);
  Esys0 = Msys0 = 1.0;
}

namespace {

#define TORVIK_HOT TORVIK_ENGINE_HOT

constexpr int kPad = 12;
constexpr int kLanes = kPad * kPad;

// s = 1/R^(PowR+1) from r2 = R², for n lanes.
TORVIK_HOT void InverseDistancePower(const double* __restrict r2, double* __restrict s, int n,
                                     double PowR) {
  if (PowR == 2.0) {
    for (int k = 0; k < n; ++k) s[k] = 1.0 / (r2[k] * std::sqrt(r2[k]));
  } else {
    for (int k = 0; k < n; ++k) {
      double R = std::sqrt(r2[k]);
      s[k] = 1.0 / (std::pow(R, PowR) * R);
    }
  }
}

// Delay-corrected differences of every ordered pair (lane i·12 + j): the
// acting body i is placed at its position advanced by its own velocity over
// the delay R/Vgr; the delay starts from the instantaneous distance and is
// iterated passes times. Leaves the corrected dx, dy, dz and R².
TORVIK_HOT void DelayedDifferences(const double* __restrict px, const double* __restrict py,
                                   const double* __restrict pz,
                                   const double* __restrict vx, const double* __restrict vy,
                                   const double* __restrict vz, int passes,
                                   double invVgr, double* __restrict dx, double* __restrict dy,
                                   double* __restrict dz, double* __restrict r2) {
  alignas(64) double x0[kPad], y0[kPad], z0[kPad], T[kPad];
  for (int i = 0; i < kPad; ++i) {
    const double xi = px[i], yi = py[i], zi = pz[i];
    const double vxi = vx[i], vyi = vy[i], vzi = vz[i];
    double* X = dx + i * kPad;
    double* Y = dy + i * kPad;
    double* Z = dz + i * kPad;
    double* Q = r2 + i * kPad;
    for (int j = 0; j < kPad; ++j) {
      x0[j] = px[j] - xi, y0[j] = py[j] - yi, z0[j] = pz[j] - zi;
      X[j] = x0[j], Y[j] = y0[j], Z[j] = z0[j];
      Q[j] = x0[j] * x0[j] + y0[j] * y0[j] + z0[j] * z0[j];
    }
    for (int pass = 0; pass < passes; ++pass) {
      for (int j = 0; j < kPad; ++j) T[j] = std::sqrt(Q[j]) * invVgr;
      for (int j = 0; j < kPad; ++j) {
        X[j] = x0[j] - T[j] * vxi;
        Y[j] = y0[j] - T[j] * vyi;
        Z[j] = z0[j] - T[j] * vzi;
        Q[j] = X[j] * X[j] + Y[j] * Y[j] + Z[j] * Z[j];
      }
    }
  }
}

// Accelerations of both bodies of each unordered pair i < j (lane k) without
// delay: on j −gij·d/R^(PowR+1), on i +gji·d/R^(PowR+1), d = X(j) − X(i). A
// pair with dX exactly 0 keeps both of its last accelerations.
struct PairLanes {
  const double *dx, *dy, *dz, *s, *gij, *gji;
  double *aijX, *aijY, *aijZ, *ajiX, *ajiY, *ajiZ;
};
TORVIK_HOT void PairAccelerations(const PairLanes& L, int n) {
  const double* __restrict dx = L.dx;
  const double* __restrict dy = L.dy;
  const double* __restrict dz = L.dz;
  const double* __restrict s = L.s;
  const double* __restrict gij = L.gij;
  const double* __restrict gji = L.gji;
  double* __restrict aijX = L.aijX;
  double* __restrict aijY = L.aijY;
  double* __restrict aijZ = L.aijZ;
  double* __restrict ajiX = L.ajiX;
  double* __restrict ajiY = L.ajiY;
  double* __restrict ajiZ = L.ajiZ;
  for (int k = 0; k < n; ++k) {
    const bool keep = dx[k] == 0.0;
    const double tij = gij[k] * s[k], tji = gji[k] * s[k];
    aijX[k] = keep ? aijX[k] : -tij * dx[k];
    aijY[k] = keep ? aijY[k] : -tij * dy[k];
    aijZ[k] = keep ? aijZ[k] : -tij * dz[k];
    ajiX[k] = keep ? ajiX[k] : tji * dx[k];
    ajiY[k] = keep ? ajiY[k] : tji * dy[k];
    ajiZ[k] = keep ? ajiZ[k] : tji * dz[k];
  }
}

}  // namespace

void Engine::KeepInPairs(bool inPairs) {
  if (inPairs == keptInPairs_) return;
  for (int i = 0; i < n1; ++i)
    for (int j = i + 1; j < n1; ++j) {
      const int k = rowStart_[i] + j - i - 1;
      if (inPairs) {
        aijX_[k] = accX_[i][j], aijY_[k] = accY_[i][j], aijZ_[k] = accZ_[i][j];
        ajiX_[k] = accX_[j][i], ajiY_[k] = accY_[j][i], ajiZ_[k] = accZ_[j][i];
      } else {
        accX_[i][j] = aijX_[k], accY_[i][j] = aijY_[k], accZ_[i][j] = aijZ_[k];
        accX_[j][i] = ajiX_[k], accY_[j][i] = ajiY_[k], accZ_[j][i] = ajiZ_[k];
      }
    }
  keptInPairs_ = inPairs;
}

void Engine::Derivatives() { DerivativesHot(); }

void Engine::DerivativesHot() {
  for (int k = 0; k < n1; ++k) {
    px_[k] = StateVec[StateX(k)];
    py_[k] = StateVec[StateY(k)];
    pz_[k] = StateVec[StateZ(k)];
  }
  alignas(64) PadRow ax, ay, az;
  for (int j = 0; j < kPad; ++j) ax[j] = ay[j] = az[j] = 0.0;
  if (params.finiteSpeed || !symmetric_) {
    // Every ordered pair on its own: the delay differs between i→j and j→i.
    KeepInPairs(false);
    alignas(64) std::array<double, kLanes> dx, dy, dz, r2, s;
    alignas(64) PadRow vx{}, vy{}, vz{};
    for (int k = 0; k < n1; ++k) {
      vx[k] = StateVec[StateVX(k)];
      vy[k] = StateVec[StateVY(k)];
      vz[k] = StateVec[StateVZ(k)];
    }
    const int passes = params.finiteSpeed ? m_.NIterVgr + 1 : 0;
    DelayedDifferences(px_.data(), py_.data(), pz_.data(), vx.data(), vy.data(), vz.data(), passes,
                       1.0 / params.Vgr, dx.data(), dy.data(), dz.data(), r2.data());
    InverseDistancePower(r2.data(), s.data(), kLanes, params.PowR);
    for (int i = 0; i < n1; ++i) {
      const int o = i * kPad;
      PadRow& kx = accX_[i];
      PadRow& ky = accY_[i];
      PadRow& kz = accZ_[i];
      for (int j = 0; j < kPad; ++j) {
        // A pair with dX exactly 0 (among them i = j) keeps its last
        // acceleration; −gamma·mPl(i)·d/R^(PowR+1) is −Fij·d/R over mPl(j).
        const double g = gm_[i][j] * s[o + j];
        const bool keep = dx[o + j] == 0.0;
        kx[j] = keep ? kx[j] : -g * dx[o + j];
        ky[j] = keep ? ky[j] : -g * dy[o + j];
        kz[j] = keep ? kz[j] : -g * dz[o + j];
      }
      // Sums over the acting bodies in index order for every j.
      for (int j = 0; j < kPad; ++j) {
        ax[j] += kx[j];
        ay[j] += ky[j];
        az[j] += kz[j];
      }
    }
  } else {
    // No delay and kPair symmetric: each unordered pair once. Row i of the
    // lanes holds the pairs (i, i+1..10).
    KeepInPairs(true);
    alignas(64) std::array<double, kPairLanes> dx, dy, dz, r2, s;
    // The padding lane: a massless pair at unit distance.
    dx[kPairLanes - 1] = 1.0, dy[kPairLanes - 1] = dz[kPairLanes - 1] = 0.0;
    for (int i = 0; i < n1 - 1; ++i) {
      const double xi = px_[i], yi = py_[i], zi = pz_[i];
      const int o = rowStart_[i] - i - 1;
      for (int j = i + 1; j < n1; ++j) {
        dx[o + j] = px_[j] - xi;
        dy[o + j] = py_[j] - yi;
        dz[o + j] = pz_[j] - zi;
      }
    }
    for (int k = 0; k < kPairLanes; ++k) r2[k] = dx[k] * dx[k] + dy[k] * dy[k] + dz[k] * dz[k];
    InverseDistancePower(r2.data(), s.data(), kPairLanes, params.PowR);
    PairAccelerations(PairLanes{dx.data(), dy.data(), dz.data(), s.data(), gij_.data(), gji_.data(),
                                aijX_.data(), aijY_.data(), aijZ_.data(), ajiX_.data(), ajiY_.data(),
                                ajiZ_.data()},
                      kPairLanes);
    // Sums over the acting bodies in index order for every j: the pairs
    // (i, j) with i < j arrive row by row, then j's own row gives i > j.
    for (int i = 0; i < n1 - 1; ++i) {
      const int o = rowStart_[i] - i - 1;
      for (int j = i + 1; j < n1; ++j) {
        ax[j] += aijX_[o + j];
        ay[j] += aijY_[o + j];
        az[j] += aijZ_[o + j];
      }
      double sx = ax[i], sy = ay[i], sz = az[i];
      for (int j = i + 1; j < n1; ++j) {
        sx += ajiX_[o + j];
        sy += ajiY_[o + j];
        sz += ajiZ_[o + j];
      }
      ax[i] = sx, ay[i] = sy, az[i] = sz;
    }
  }
  for (int n = 0; n < 3 * n1; ++n) RateVec[n] = StateVec[3 * n1 + n];
  for (int j = 0; j < n1; ++j) {
    RateVec[StateVX(j)] = ax[j];
    RateVec[StateVY(j)] = ay[j];
    RateVec[StateVZ(j)] = az[j];
  }
}

bool Engine::StepRK4(double h) { return StepHot(h); }

bool Engine::StepHot(double h) {
  for (int n = 0; n < kStateUsed; ++n) y0_[n] = StateVec[n];
  // "ОТО": the stages reuse the derivative of the last evaluation.
  const bool eval = !params.oto;
  if (eval) DerivativesHot();
  for (int n = 0; n < kStateUsed; ++n) {
    k1_[n] = h * RateVec[n];
    StateVec[n] = y0_[n] + k1_[n] / 2.0;
  }
  if (eval) DerivativesHot();
  for (int n = 0; n < kStateUsed; ++n) {
    k2_[n] = h * RateVec[n];
    StateVec[n] = y0_[n] + k2_[n] / 2.0;
  }
  if (eval) DerivativesHot();
  for (int n = 0; n < kStateUsed; ++n) {
    k3_[n] = h * RateVec[n];
    StateVec[n] = y0_[n] + k3_[n];
  }
  if (eval) DerivativesHot();
  double check = 0.0;
  for (int n = 0; n < kStateUsed; ++n) {
    k4_[n] = h * RateVec[n];
    StateVec[n] = y0_[n] + (k1_[n] + 2.0 * k2_[n] + 2.0 * k3_[n] + k4_[n]) / 6.0;
    check += StateVec[n] * 0.0;  // NaN or ±Inf anywhere makes this NaN
  }
  if (!(check == 0.0)) {
    StateVec = y0_;
    UnpackAll();
    return false;
  }
  UnpackAll();
  return true;
}

void Engine::UnpackAll() {
  Model& m = m_;
  for (int k = 0; k < n1; ++k) {
    m.X[k] = StateVec[StateX(k)];
    m.Y[k] = StateVec[StateY(k)];
    m.Z[k] = StateVec[StateZ(k)];
    m.VX[k] = StateVec[StateVX(k)];
    m.VY[k] = StateVec[StateVY(k)];
    m.VZ[k] = StateVec[StateVZ(k)];
  }
  const int p = params.PlanetNo;
  if (p >= 0 && p < n1) Vpl = std::sqrt(m.VX[p] * m.VX[p] + m.VY[p] * m.VY[p] + m.VZ[p] * m.VZ[p]);
}

void Engine::EnergyMomentum() {
  Model& m = m_;
  UnpackAll();
  Msys = 0.0;
  double V0 = m.VX[0] * m.VX[0] + m.VY[0] * m.VY[0] + m.VZ[0] * m.VZ[0];
  Esys = m.InSys[0] * m.mPl[0] * V0 / 2.0;
  for (int k = 1; k <= m.nObj && k < n1; ++k) {
    double dX = m.X[k] - m.X[0], dY = m.Y[k] - m.Y[0], dZ = m.Z[k] - m.Z[0];
    double R = std::sqrt(dX * dX + dY * dY + dZ * dZ);
    double V2 = m.VX[k] * m.VX[k] + m.VY[k] * m.VY[k] + m.VZ[k] * m.VZ[k];
    Msys += ((m.VY[k] - m.VY[0]) * dX - (m.VX[k] - m.VX[0]) * dY) * m.InSys[k] * m.mPl[k];
    // An excluded body contributes nothing (InSys = 0), even at Rpl0 = 0.
    if (m.InSys[k] != 0)
      Esys += (1.0 / Rpl0[k] - 1.0 / R) * m.InSys[k] * m.gamma * m.mPl[0] * m.mPl[k] +
              V2 * m.InSys[k] * m.mPl[k] / 2.0;
  }
}

void Engine::ReverseTime() {
  for (int n = 3 * n1; n < kStateUsed; ++n) StateVec[n] = -StateVec[n];
  Msys0 = -Msys0;
}

}  // namespace torvik
