// The DE405 files of the program folder: ascp1960.405 in "\JPL\" and
// ascp1980.405 … ascp2040.405 in "\JPL\405\", written on first start from the
// DE405 table that Debian ships for casacore (scripts/make-de405.py).
#pragma once

#include <filesystem>

namespace torvik {

// The span of the five files: T1 of the record of 1 January 1960 to T2 of the
// record of 1 January 2060 (10 December 1959 to 30 January 2060).
inline constexpr double kDe405FilesFirstJD = 2436912.5, kDe405FilesLastJD = 2473488.5;

// True when all five files are in place.
bool HaveDe405Files(const std::filesystem::path& folder);
// Writes the missing files (a few seconds); true when all five are then in
// place. Runs /usr/bin/python3 over make-de405.py of the source tree.
bool EnsureDe405Files(const std::filesystem::path& folder);

}  // namespace torvik
