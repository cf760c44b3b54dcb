// Fuzz target of the orbit-file reader of the statistics: any bytes as a run
// file. A file is refused or read whole, and what is read is what the writer
// writes again: the written lines read back to the same points and write the
// same lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "stats/points.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool ended = false;
  const auto lines = torvik::SplitTextLines(std::string_view(reinterpret_cast<const char*>(data), size), &ended);
  torvik::PointTable t;
  const bool ok = torvik::ReadRunLines(lines, t) && ended;
  if (t.NPoint != static_cast<std::int32_t>(t.tDay.size()) - 1 || t.tDay.size() != t.Par.size()) __builtin_trap();
  (void)t.Title();
  if (!ok) return 0;
  const auto written = torvik::RunFileLines(t);
  torvik::PointTable back;
  if (!torvik::ReadRunLines(written, back) || back.NPoint != t.NPoint) __builtin_trap();
  if (torvik::RunFileLines(back) != written) __builtin_trap();
  return 0;
}
