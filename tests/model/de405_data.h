// The full DE405 files (1960–2060) for the tests, written once into the build
// tree from Debian's DE405 table by the same code as the program's first start.
#pragma once

#include <filesystem>
#include <system_error>

#include "model/de405_files.h"

namespace torvik::testing {

// Program folder holding JPL/ascp1960.405 and JPL/405/ascp1980..2040.405;
// empty when the files cannot be made.
inline std::filesystem::path FullDe405Folder() {
  std::error_code ec;
  auto dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / "de405-data";
  if (ec || !EnsureDe405Files(dir)) return {};
  return dir;
}

}  // namespace torvik::testing
