#include "params/startup.h"

#include "core/fields.h"
#include "params/initial.h"
#include "params/loading.h"

namespace torvik {

ActionResult StartUp(Model& m) {
  SetConstants(m);
  std::array<bool, 11> on{};
  for (int k = 0; k <= 9; ++k) on[k] = true;  // Ксена stays out
  SetInSys(m, on);
  m.NFile = 1;
  m.Stop = 0;
  // The JPL J2000 elements need no file; the folder is not consulted.
  if (auto r = Load(m, LoadOption::Jpl, DateInputs(1601, 1, 1.5), {})) return r;
  // The initial-data action reads the mass and gamma fields that the load has
  // just filled.
  return ComputeInitialData(m, InitialDataInputs{FieldText(m.mSol()), FieldText(m.gamma), true});
}

}  // namespace torvik
