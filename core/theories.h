// Mean orbital elements of the planets 1..9 for the model's JD: a Newcomb-type
// theory (epoch 1900, ecliptic and equinox of date), the JPL approximate
// Keplerian elements (epoch J2000) and the Mox variant of the J2000 set.
// Each fills Aae, R0sr, AlfaL, AlfaP0, AlfaU0, Betta0, Eks0, W0sr of body k,
// sets T and resets Lae first; for any k outside 1..9 only Lae and T change.
#pragma once

#include "core/model.h"

namespace torvik {

void NewcombElements(Model& m, int k);
void JplElements(Model& m, int k);
void MoxElements(Model& m, int k);

}  // namespace torvik
