// The DE405 files of the program folder: ascp1960.405 in "\JPL\" and
// ascp1980.405 … ascp2040.405 in "\JPL\405\", written on first start from the
// DE405 table that Debian ships for casacore (scripts/make-de405.py).
#pragma once

#include <filesystem>

namespace torvik {

// True when all five files are in place.
bool HaveDe405Files(const std::filesystem::path& folder);
// Writes the missing files (a few seconds); true when all five are then in
// place. Runs /usr/bin/python3 over make-de405.py of the source tree.
bool EnsureDe405Files(const std::filesystem::path& folder);

}  // namespace torvik
