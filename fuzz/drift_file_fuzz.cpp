// Fuzz target of the drift-file reader: any bytes as an imitator drift file
// (10 records) and as a plan drift file (25 records), then written back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textfile.h"
#include "stats/drift_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') lines.emplace_back();
    else if (data[i] != '\r') lines.back() += static_cast<char>(data[i]);
  }
  for (auto& l : lines) l = torvik::Cp1251ToUtf8(l);
  std::vector<torvik::DriftRow> rows(torvik::kMaxExperiments + 1);
  for (int n : {torvik::kImitatorDriftRecords, torvik::kMaxExperiments}) {
    std::vector<std::string> header;
    const int got = torvik::ReadDriftLines(lines, rows.data(), n, &header);
    if (got < 0 || got > n || header.size() > 2) __builtin_trap();
    (void)torvik::DriftFileLines(header, rows.data(), n);
  }
  return 0;
}
