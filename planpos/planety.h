// The planetary-position library of the APC imitator: the contract of
// PlanposDLL3.dll's planety over planetary theories that Debian ships.
//
//   body 1..8  VSOP87 (libnova), heliocentric ecliptic and equinox J2000
//              (FK5), Earth = the Earth itself; within each body's range below
//   body 9     Meeus' Pluto series (libnova), 1885–2099
//   outside    the JPL approximate J2000 elements (JplElements) and the Kepler
//              solution, heliocentric ecliptic J2000
//   body 10    Ксена: its placeholder elements (L = 0.01 rad at J2000, n =
//              0.00001 rad/day, a = 50.01 AU, e = 0.001, i = Ω = 0.01 rad,
//              ϖ = π/2) and the Kepler solution
//
// VSOP87 is sampled at Chebyshev nodes over fixed windows of a few days and
// the fit is evaluated, so that a run of small steps pays for one theory
// evaluation per node instead of one per step; the fit adds less than
// 0.001″. The caches and libnova itself keep static state: call from one
// thread only.
#pragma once

#include <cstdint>

namespace torvik {

// Position of body planet (1..10) at Julian date jd (TT): out[0] longitude
// L and out[1] latitude B in degrees, out[2] distance R in kilometres,
// heliocentric ecliptic J2000. Body 0 gives 0, 0, 0; other indices leave out
// untouched.
void planety(std::int32_t planet, double jd, double* out);

// First and last Julian date of the theory of a body (bodies 1..9); outside
// them planety falls back to the JPL elements.
struct TheoryRange {
  double first = 0.0, last = 0.0;
};
TheoryRange PlanetyRange(int planet);

// The theory itself at jd without the Chebyshev fit (bodies 1..9, within
// PlanetyRange): L, B degrees, R kilometres. For checks and benchmarks.
void PlanetyDirect(int planet, double jd, double* out);

}  // namespace torvik
