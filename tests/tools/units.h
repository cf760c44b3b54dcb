// Named tolerances of the tool tests.
#pragma once

namespace torvik::test {

inline constexpr double degree = 1.0;                      // the tools work in degrees
inline constexpr double arcsecond = degree / 3600.0;
inline constexpr double arcminute = degree / 60.0;
inline constexpr double hour = 1.0;                        // sidereal time in hours
inline constexpr double secondOfTime = hour / 3600.0;
inline constexpr double thousandKm = 1.0;                  // the fields' length unit
inline constexpr double metre = thousandKm / 1e6;

}  // namespace torvik::test
