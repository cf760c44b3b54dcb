// The reader of the Mox data series \Mox\TorvikNNab.txt on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "plan/mox_series.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  torvik::PointTable t;
  std::vector<std::string> listing;
  if (torvik::ReadMoxLines(torvik::SplitTextLines(bytes), t, &listing)) torvik::RunFileLines(t);
  return 0;
}
