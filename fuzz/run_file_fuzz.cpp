// Fuzz target of the orbit-file reader of the statistics: any bytes as a run
// file, read into the point table and written back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "stats/points.h"

namespace {

// The lines of the bytes as ReadTextFile gives them (CR LF or LF, Windows-1251).
std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(torvik::Cp1251ToUtf8(line));
      line.clear();
    } else {
      line += static_cast<char>(data[i]);
    }
  }
  if (!line.empty()) lines.push_back(torvik::Cp1251ToUtf8(line));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  torvik::PointTable t;
  torvik::ReadRunLines(Lines(data, size), t);
  if (t.NPoint != static_cast<std::int32_t>(t.tDay.size()) - 1 || t.tDay.size() != t.Par.size()) __builtin_trap();
  (void)t.Title();
  torvik::PointTable back;
  torvik::ReadRunLines(torvik::RunFileLines(t), back);
  return 0;
}
