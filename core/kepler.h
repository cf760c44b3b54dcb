// Orbital elements of body k -> heliocentric position and velocity in the
// ecliptic frame of the elements (metres, metres per second). Call in the order
// NormaliseElements, ElementsToPosition, ElementsToVelocity. Bodies 0..11.
#pragma once

#include "core/model.h"

namespace torvik {

inline constexpr double EpsKepler = 1e-10;  // Kepler iteration tolerance, rad

// Brings AlfaL(k) into (0, 2·Pi] and sets AnomM(k) = AlfaL(k) − AlfaP0(k).
void NormaliseElements(Model& m, int k);
// Solves Kepler's equation; sets Eanom, AnomV(k), Rk(k), ArgU(k) and X, Y, Z(k).
void ElementsToPosition(Model& m, int k);
// Two-body velocity with the Sun's mass only; needs ElementsToPosition(k) first.
void ElementsToVelocity(Model& m, int k);

}  // namespace torvik
