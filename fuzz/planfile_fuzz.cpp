// The reader of the plan parameter file \PlanK\TorvikPlan.dat on arbitrary
// bytes: a file is refused or read whole, and an accepted file reads back to
// the values that the writer writes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "plan/planfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  bool ended = false;
  const auto lines = torvik::SplitTextLines(std::string_view(reinterpret_cast<const char*>(data), size), &ended);
  torvik::PlanParams p;
  if (!ended || torvik::ReadPlanLines(lines, &p)) return 0;
  const auto written = torvik::PlanFileLines(p);
  torvik::PlanParams back;
  if (torvik::ReadPlanLines(written, &back)) __builtin_trap();
  if (torvik::PlanFileLines(back) != written) __builtin_trap();
  return 0;
}
