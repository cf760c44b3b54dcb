// The printed numbers of an orbit file's records (after its five header lines).
#pragma once

#include <filesystem>
#include <vector>

#include "core/textfile.h"

namespace torvik::test {

inline std::vector<std::vector<double>> OrbitRecords(const std::filesystem::path& orbitFile) {
  std::vector<std::vector<double>> out;
  auto lines = ReadTextFile(orbitFile);
  if (!lines) return out;
  for (std::size_t i = 5; i < lines->size(); ++i) {
    std::vector<double> row;
    for (const auto& f : SplitFields((*lines)[i])) row.push_back(*ParseNumber(f));
    out.push_back(row);
  }
  return out;
}

}  // namespace torvik::test
