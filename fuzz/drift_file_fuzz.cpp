// Fuzz target of the drift-file reader: any bytes as an imitator drift file
// (10 records) and as a plan drift file (24 and 25 records). A file is
// refused or read whole, and an accepted file reads back to the values that
// the writer writes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "stats/drift_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  bool ended = false;
  const auto lines = torvik::SplitTextLines(std::string_view(reinterpret_cast<const char*>(data), size), &ended);
  for (int n : {torvik::kImitatorDriftRecords, 24, torvik::kMaxExperiments}) {
    std::vector<torvik::DriftRow> rows(torvik::kMaxExperiments + 1);
    std::vector<std::string> header;
    const int got = torvik::ReadDriftLines(lines, rows.data(), n, &header);
    if (got < 0 || got > n || header.size() > 2) __builtin_trap();
    if (got != n || !ended) continue;
    const auto written = torvik::DriftFileLines(header, rows.data(), n);
    std::vector<torvik::DriftRow> back(torvik::kMaxExperiments + 1);
    if (torvik::ReadDriftLines(written, back.data(), n, nullptr) != n) __builtin_trap();
    if (torvik::DriftFileLines(header, back.data(), n) != written) __builtin_trap();
  }
  return 0;
}
