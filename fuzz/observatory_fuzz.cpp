// The reader of the observatory files: every line of the input (line ends
// CR LF, LF or CR, the bytes as the file holds them) through the record
// layout, with the year window of a run; a usable record must carry a finite
// place and time inside the ranges the layout allows (a field out of its
// range is a read error, never a moved time or place).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/textfile.h"
#include "observe/sources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const std::string& line : torvik::SplitByteLines(std::string_view(reinterpret_cast<const char*>(data), size))) {
    const torvik::ObservationLine o = torvik::ParseObservationLine(line, 2100, 1700);
    if (o.status == torvik::ObservationLine::Status::Use) {
      if (!std::isfinite(o.ra) || !std::isfinite(o.dec) || o.ra <= 0 || o.ra >= 360 || o.dec == 0 ||
          std::fabs(o.dec) > 90 || o.year > 2100 || o.year < 1700 || o.month < 0 || o.month > 12 || o.day < 1 ||
          o.day > 31 || !(o.hours >= 0 && o.hours < 24.01f))
        std::abort();
    }
  }
  return 0;
}
