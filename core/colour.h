// The colour of whatever a computation draws: a plot item, a tool picture's
// shape. 8 bits a channel, as the screens and the image files take it.
#pragma once

#include <cstdint>

namespace torvik {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The light grey of the unit grids.
inline constexpr Rgb kGridGrey{200, 200, 200};
// The "colour value 1" of the old palette, RGB (1, 0, 0): practically black.
inline constexpr Rgb kColourOne{1, 0, 0};

}  // namespace torvik
