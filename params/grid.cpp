#include "params/grid.h"

#include "core/fields.h"

namespace torvik {

namespace {

constexpr std::array<const char*, kGridRows> kElementCaptions = {
    "AlfaL, град", "R0sr, тыс.км", "W0sr, рад/год", "Eks", "Betta, град", "AlfaP, град", "AlfaU, град"};
constexpr std::array<const char*, kGridRows> kInitialCaptions = {
    "X, тыс.км", "Y, тыс.км ", "Z, тыс.км", "VX, м/с", "VY, м/с", "VZ, м/с", "mSol/mPl"};

}  // namespace

const std::array<const char*, kGridRows>& GridCaptions(GridMode mode) {
  return mode == GridMode::Elements ? kElementCaptions : kInitialCaptions;
}

GridValues GridShownValues(const Model& m, GridMode mode) {
  GridValues v{};
  const double mk = m.MK;
  // Six decimals of the screen unit: degrees, thousands of km, rad/year, m/s.
  auto shown = [mk](double screenValue) { return FixNear(mk * screenValue) / mk; };
  for (int k = 0; k < kGridColumns; ++k) {
    if (mode == GridMode::Elements) {
      v[0][k] = shown(DegreesIn360(m.AlfaL[k] * m.kUgol));  // longitudes within [0, 360)
      v[1][k] = FixNear(m.R0sr[k]) / mk;  // metres truncated, shown in thousands of km
      v[2][k] = shown(m.W0sr[k] * m.sekG);
      v[3][k] = shown(m.Eks0[k]);
      v[4][k] = shown(m.Betta0[k] * m.kUgol);
      v[5][k] = shown(DegreesIn360(m.AlfaP0[k] * m.kUgol));
      v[6][k] = shown(DegreesIn360(m.AlfaU0[k] * m.kUgol));
    } else {
      v[0][k] = FixNear(m.X[k]) / mk;
      v[1][k] = FixNear(m.Y[k]) / mk;
      v[2][k] = FixNear(m.Z[k]) / mk;
      v[3][k] = shown(m.VX[k]);
      v[4][k] = shown(m.VY[k]);
      v[5][k] = shown(m.VZ[k]);
      v[6][k] = shown(m.km[k]);
    }
  }
  return v;
}

GridTexts GridShownTexts(const Model& m, GridMode mode) {
  const GridValues v = GridShownValues(m, mode);
  GridTexts t;
  for (int r = 0; r < kGridRows; ++r)
    for (int k = 0; k < kGridColumns; ++k) t[r][k] = FieldText(v[r][k]);
  return t;
}

}  // namespace torvik
