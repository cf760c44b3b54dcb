// Orbital elements of body k -> heliocentric position and velocity in the
// ecliptic frame of the elements (metres, metres per second). Call in the order
// NormaliseElements, ElementsToPosition, ElementsToVelocity. Bodies 0..11.
#pragma once

#include "core/model.h"

namespace torvik {

inline constexpr double EpsKepler = 1e-10;  // Kepler iteration tolerance, rad
inline constexpr int kKeplerIterations = 99;  // last iterate used when the tolerance is not met

// Brings AlfaL(k) into (0, 2·Pi] and sets AnomM(k) = AlfaL(k) − AlfaP0(k).
void NormaliseElements(Model& m, int k);
// Solves Kepler's equation; sets Eanom, AnomV(k), Rk(k), ArgU(k) and X, Y, Z(k).
// Returns false on a floating-point fault (e outside (−1, 1), a non-finite
// element, k outside 0..11); the values written before the fault stay.
bool ElementsToPosition(Model& m, int k);
// Two-body velocity with the Sun's mass only; needs ElementsToPosition(k) first.
// Returns false on a floating-point fault (p ≤ 0, r = 0, k outside 0..11) and
// then leaves VX, VY, VZ(k) unchanged.
bool ElementsToVelocity(Model& m, int k);

}  // namespace torvik
