// A program folder with its standard sub-folders under the temporary
// directory, removed at the end of the test.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/paths.h"

namespace torvik::testing {

struct TempFolder {
  std::filesystem::path path;
  explicit TempFolder(const char* name) {
    path = std::filesystem::temp_directory_path() /
           (std::string("torvik6_plan_") + name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(path);
    EnsureProgramFolder(path);
  }
  ~TempFolder() { std::filesystem::remove_all(path); }
};

}  // namespace torvik::testing
