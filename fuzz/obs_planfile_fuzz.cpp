// The reader of an observation plan file \Tab\Plan\NameN_K.dat on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "plan/obs_planfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = torvik::SplitTextLines(bytes);
  torvik::ObsPlanState s;
  if (!torvik::ReadObsPlanLines(lines, &s)) torvik::ObsPlanFileLines(s, "GREN");
  return 0;
}
