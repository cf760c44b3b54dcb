// The reader of an observation plan file \Tab\Plan\NameN_K.dat on arbitrary
// bytes: a file is refused or read whole, and an accepted file reads back to
// the values that the writer writes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "plan/obs_planfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bool ended = false;
  const auto lines = torvik::SplitTextLines(std::string_view(reinterpret_cast<const char*>(data), size), &ended);
  torvik::ObsPlanState s;
  if (!ended || torvik::ReadObsPlanLines(lines, &s)) return 0;
  const auto written = torvik::ObsPlanFileLines(s, "GREN");
  torvik::ObsPlanState back;
  if (torvik::ReadObsPlanLines(written, &back)) __builtin_trap();
  if (torvik::ObsPlanFileLines(back, "GREN") != written) __builtin_trap();
  return 0;
}
