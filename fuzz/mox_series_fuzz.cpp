// The reader of the Mox data series \Mox\TorvikNNab.txt on arbitrary bytes: a
// file is refused or read whole, and an accepted file reads back to the
// points that the writer writes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "plan/mox_series.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bool ended = false;
  const auto lines = torvik::SplitTextLines(std::string_view(reinterpret_cast<const char*>(data), size), &ended);
  torvik::PointTable t;
  std::vector<std::string> listing;
  if (!ended || !torvik::ReadMoxLines(lines, t, &listing)) return 0;
  const auto written = torvik::RunFileLines(t);
  torvik::PointTable back;
  if (!torvik::ReadMoxLines(written, back, nullptr) || back.NPoint != t.NPoint) __builtin_trap();
  if (torvik::RunFileLines(back) != written) __builtin_trap();
  return 0;
}
