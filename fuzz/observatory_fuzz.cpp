// The reader of the observatory files: every line of the input through the
// record layout, with the year window of a run; a usable record must carry a
// finite place inside the ranges the layout allows.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "observe/sources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const torvik::ObservationLine o = torvik::ParseObservationLine(line, 2100, 1700);
    if (o.status == torvik::ObservationLine::Status::Use) {
      if (!std::isfinite(o.ra) || !std::isfinite(o.dec) || o.ra == 0 || o.dec == 0 || o.year > 2100 ||
          o.year < 1700 || o.month < 0 || o.month > 12)
        std::abort();
    }
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return 0;
}
