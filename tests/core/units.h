// Named tolerances of the core tests.
#pragma once

namespace torvik::test {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double day = 1.0;                              // days
inline constexpr double second = day / 86400.0;                 // days
inline constexpr double degree = kPi / 180.0;                   // radians
inline constexpr double arcminute = degree / 60.0;              // radians
inline constexpr double arcsecond = degree / 3600.0;            // radians
inline constexpr double metre = 1.0;                            // metres
inline constexpr double kilometre = 1000.0 * metre;             // metres
inline constexpr double au = 149597870700.0 * metre;            // metres (IAU 2012)

}  // namespace torvik::test
