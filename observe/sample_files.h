// The observatory files supplied with the program: "\Obs\" + code + body +
// ".txt" for the five observatories and the Sun, Mercury, Venus and Mars,
// written on first start by scripts/make-obs.py (simulated apparent places
// from DE405 and ERFA, marked "SIMULATED" in columns 1-10). A user replaces
// them with real records in the same layout.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace torvik {

// True when all twenty files are in place.
bool HaveObservatoryFiles(const std::filesystem::path& folder);
// Writes the missing files (some seconds); true when all are then in place.
bool EnsureObservatoryFiles(const std::filesystem::path& folder);
// The same for the one file of observatory `code` and body `body`.
bool EnsureObservatoryFile(const std::filesystem::path& folder, const std::string& code, int body);
// Runs make-obs.py over the folder with further arguments ("--noise", "0",
// "--only", "GREN4", "--force"); true when it succeeded.
bool MakeObservatoryFiles(const std::filesystem::path& folder, const std::vector<std::string>& args);

}  // namespace torvik
