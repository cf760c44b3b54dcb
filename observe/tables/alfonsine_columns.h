// The equation tables of the Parisian Alfonsine tables as printed: one entry
// per whole degree of the argument, read by linear interpolation as the
// canons teach. Per planet: the equation of centre (entered with the mean
// centre, negative over 0..180), the coefficient ("minuta proportionalia",
// entered with the true centre: negative toward the greatest distance, so
// that it takes the longior column, positive toward the least, the propior
// column), and, entered with the true argument, the longior difference, the
// argument equation at mean distance and the propior difference.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace torvik::tables {

struct AlfonsineRows {
  // Minutes of arc; the coefficient in minutes of proportion (60 = whole).
  std::array<int16_t, 360> centre, coefficient, longior, argument, propior;
};
extern const AlfonsineRows kAlfonsineMercuryRows, kAlfonsineVenusRows, kAlfonsineMarsRows;
// The Sun's equation in seconds of arc for mean centres 0..180; the column
// is odd, its second half the first with the other sign.
extern const std::array<int16_t, 181> kAlfonsineSunRows;

// A column at argument x (degrees, any turn), interpolated between its
// whole-degree entries, in the column's own unit.
inline double ReadAlfonsineRows(const std::array<int16_t, 360>& rows, double x) {
  x -= 360 * std::floor(x / 360);
  if (x >= 360) x = 0;  // a tiny negative x rounds up to a whole turn
  const int i = static_cast<int>(x);
  const double f = x - i;
  return rows[i] + f * (rows[(i + 1) % 360] - rows[i]);
}

}  // namespace torvik::tables
