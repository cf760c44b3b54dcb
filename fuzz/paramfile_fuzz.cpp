// The parameter file reader "\torvikN.dat" on any bytes: a file is either
// refused or gives a model whose date lies in the calendars' range and whose
// values are finite; an accepted file is written back and read again.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/calendar.h"
#include "core/model.h"
#include "core/textfile.h"
#include "params/loading.h"
#include "params/paramfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvik;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  bool ended = false;
  const auto lines = SplitTextLines(bytes, &ended);
  Model m;
  SetConstants(m);
  if (!ended || ReadParamLines(m, lines, "\\torvik1.dat")) return 0;
  if (!JDInRange(m.JDstart) || !std::isfinite(m.mSol()) || !std::isfinite(m.Lae)) std::abort();
  for (int k = 0; k <= 10; ++k)
    for (double v : {m.AlfaL[k], m.R0sr[k], m.X0[k], m.VX0[k], m.VZ0[k], m.km[k]})
      if (!std::isfinite(v)) std::abort();
  // What was read is written back in the same format and reads again.
  const auto again = ParamFileLines(m);
  Model back;
  SetConstants(back);
  if (!again.empty() && ReadParamLines(back, again, "\\torvik1.dat")) std::abort();
  (void)CompleteLoad(back);
  return 0;
}
