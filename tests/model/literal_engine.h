// The force evaluation written the way the engine was first described: pair
// matrices indexed (acting i, acted-upon j), the force split into components
// by the angles AlfaXY = |atan(dY/dX)| and AlfaZ = atan(|dZ|/Rxy) with the
// signs taken from the differences, and a real power of the distance. Kept as
// the reference that the vector form of model/engine.cpp must reproduce, and
// as the baseline of the benchmark. Slow on purpose: two atan, four sin/cos
// and a pow per ordered pair.
#pragma once

#include <cmath>

#include "core/model.h"
#include "model/engine.h"

namespace torvik::literal {

struct LiteralEngine {
  static constexpr int n1 = kEngineBodies;
  double dX[16][14]{}, dY[16][14]{}, dZ[16][14]{}, Rxy[16][12]{}, Rij[14][14]{}, Tdel[12][12]{};
  double AlfaXY[14][14]{}, AlfaZ[12][12]{}, Fij[14][14]{}, FXij[14][14]{}, FYij[14][14]{}, FZij[14][14]{};
  double X[n1]{}, Y[n1]{}, Z[n1]{}, VX[n1]{}, VY[n1]{}, VZ[n1]{};

  // RateVec from StateVec; Vgr in m/s, finite-speed switch, PowR, NIterVgr
  // and the masses, gamma and kPair of the model.
  void Derivatives(const Model& m, const StateVector& StateVec, StateVector& RateVec, double Vgr,
                   bool finiteSpeed, double PowR) {
    const int nObj = n1 - 1;
    for (int k = 0; k <= nObj; ++k) {
      X[k] = StateVec[k];
      Y[k] = StateVec[n1 + k];
      Z[k] = StateVec[2 * n1 + k];
      VX[k] = StateVec[3 * n1 + k];
      VY[k] = StateVec[4 * n1 + k];
      VZ[k] = StateVec[5 * n1 + k];
    }
    for (int i = 0; i <= nObj; ++i)
      for (int j = 0; j <= nObj; ++j) {
        if (i == j) continue;
        dX[i][j] = X[j] - X[i];
        dY[i][j] = Y[j] - Y[i];
        dZ[i][j] = Z[j] - Z[i];
        Rxy[i][j] = std::sqrt(dY[i][j] * dY[i][j] + dX[i][j] * dX[i][j]);
        Rij[i][j] = std::sqrt(dZ[i][j] * dZ[i][j] + Rxy[i][j] * Rxy[i][j]);
        Tdel[i][j] = Rij[i][j] / Vgr;
      }
    if (finiteSpeed)
      for (int pass = 0; pass <= m.NIterVgr; ++pass)
        for (int i = 0; i <= nObj; ++i)
          for (int j = 0; j <= nObj; ++j) {
            if (i == j) continue;
            dX[i][j] = X[j] - X[i] - Tdel[i][j] * VX[i];
            dY[i][j] = Y[j] - Y[i] - Tdel[i][j] * VY[i];
            dZ[i][j] = Z[j] - Z[i] - Tdel[i][j] * VZ[i];
            Rxy[i][j] = std::sqrt(dY[i][j] * dY[i][j] + dX[i][j] * dX[i][j]);
            Rij[i][j] = std::sqrt(dZ[i][j] * dZ[i][j] + Rxy[i][j] * Rxy[i][j]);
            Tdel[i][j] = Rij[i][j] / Vgr;
          }
    for (int i = 0; i <= nObj; ++i)
      for (int j = 0; j <= nObj; ++j) {
        if (i == j || dX[i][j] == 0.0) continue;
        Fij[i][j] = m.kPair[i][j] * m.mPl[i] * m.mPl[j] * m.gamma / std::pow(Rij[i][j], PowR);
        AlfaZ[i][j] = std::atan(std::fabs(dZ[i][j]) / Rxy[i][j]);
        AlfaXY[i][j] = std::fabs(std::atan(dY[i][j] / dX[i][j]));
        FXij[i][j] = std::cos(AlfaXY[i][j]) * Fij[i][j] * std::cos(AlfaZ[i][j]);
        if (dX[i][j] > 0) FXij[i][j] = -FXij[i][j];
        FYij[i][j] = std::sin(AlfaXY[i][j]) * Fij[i][j] * std::cos(AlfaZ[i][j]);
        if (dY[i][j] > 0) FYij[i][j] = -FYij[i][j];
        FZij[i][j] = std::sin(AlfaZ[i][j]) * Fij[i][j];
        if (dZ[i][j] > 0) FZij[i][j] = -FZij[i][j];
      }
    for (int n = 0; n <= 32; ++n) RateVec[n] = StateVec[33 + n];
    for (int j = 0; j <= 10; ++j) {
      double AX = 0, AY = 0, AZ = 0;
      for (int i = 0; i <= 10; ++i) {
        if (i == j) continue;
        AX += FXij[i][j] / m.mPl[j];
        AY += FYij[i][j] / m.mPl[j];
        AZ += FZij[i][j] / m.mPl[j];
      }
      RateVec[33 + j] = AX;
      RateVec[44 + j] = AY;
      RateVec[55 + j] = AZ;
    }
  }

  // One classical Runge–Kutta step of h seconds on StateVec.
  void StepRK4(const Model& m, StateVector& StateVec, double h, double Vgr, bool finiteSpeed,
               double PowR) {
    StateVector Y0 = StateVec, K1{}, K2{}, K3{}, K4{}, RateVec{};
    Derivatives(m, StateVec, RateVec, Vgr, finiteSpeed, PowR);
    for (int n = 0; n <= 65; ++n) K1[n] = h * RateVec[n], StateVec[n] = Y0[n] + K1[n] / 2;
    Derivatives(m, StateVec, RateVec, Vgr, finiteSpeed, PowR);
    for (int n = 0; n <= 65; ++n) K2[n] = h * RateVec[n], StateVec[n] = Y0[n] + K2[n] / 2;
    Derivatives(m, StateVec, RateVec, Vgr, finiteSpeed, PowR);
    for (int n = 0; n <= 65; ++n) K3[n] = h * RateVec[n], StateVec[n] = Y0[n] + K3[n];
    Derivatives(m, StateVec, RateVec, Vgr, finiteSpeed, PowR);
    for (int n = 0; n <= 65; ++n) K4[n] = h * RateVec[n];
    for (int n = 0; n <= 65; ++n) StateVec[n] = Y0[n] + (K1[n] + 2 * K2[n] + 2 * K3[n] + K4[n]) / 6;
  }
};

}  // namespace torvik::literal
