// The reader of the plan parameter file \PlanK\TorvikPlan.dat on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "plan/planfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(torvik::Cp1251ToUtf8(line));
    start = end + 1;
  }
  torvik::PlanParams p;
  if (!torvik::ReadPlanLines(lines, &p)) torvik::PlanFileLines(p);
  return 0;
}
