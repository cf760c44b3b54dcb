// The reader of the spreadsheet engine's replies: any line against any count
// of cells. An accepted reply gives exactly that many cells, each a number, a
// text or an error value.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "observe/workbook_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::size_t cells = data[0] % 8;
  const std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<torvik::CellValue> values;
  if (torvik::ParseCellsReply(line, cells, &values)) {
    if (values.size() != cells) std::abort();
    for (const auto& v : values)
      if (v.kind != torvik::CellKind::Text && !v.text.empty()) std::abort();
  }
  torvik::CellValue one;
  torvik::ParseCellToken(line, &one);
  return 0;
}
