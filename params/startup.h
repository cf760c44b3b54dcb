// The start-up of the program before the parameters screen is shown: the
// constants, bodies 0..9 taking part (Ксена not), the date 1.5 January 1601,
// the JPL J2000 elements of that date and the initial data with "Vsol=0".
#pragma once

#include "core/message.h"
#include "core/model.h"

namespace torvik {

ActionResult StartUp(Model& m);

}  // namespace torvik
