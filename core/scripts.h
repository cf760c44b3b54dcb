// The data scripts of the program (scripts/make-*.py), which make data files
// from Debian's packages on first use.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace torvik {

// Runs `python3 SCRIPT ARGS...` and waits for it; true when it exited with 0.
// The script is looked for in the scripts/ folder above the running program
// (the executables live in build/ or build/tests/), else at `installed`.
bool RunDataScript(const std::string& name, const std::filesystem::path& installed,
                   const std::vector<std::string>& args);

}  // namespace torvik
