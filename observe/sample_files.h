// The observatory files supplied with the program: "\Obs\" + code + body +
// ".txt" for the five observatories and the Sun, Mercury, Venus and Mars,
// samples written once, into an empty "\Obs\" folder on the first start, by
// scripts/make-obs.py (simulated apparent places from DE405 and ERFA, marked
// "SIMULATED" in columns 1-10). A user replaces them with real records in
// the same layout; a file missing later is never made up again.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace torvik {

// The first start: when "\Obs\" is missing or holds no file, the twenty
// sample files are written into it (some seconds). Nothing happens to an
// "\Obs\" folder that holds any file. False when they could not be written.
bool WriteSampleObservatoryFiles(const std::filesystem::path& folder);
// True when "\Obs\" holds no file.
bool ObservatoryFolderEmpty(const std::filesystem::path& folder);

// For tests and benchmarks. True when all twenty files are in place.
bool HaveObservatoryFiles(const std::filesystem::path& folder);
// The same for the one file of observatory `code` and body `body`.
bool EnsureObservatoryFile(const std::filesystem::path& folder, const std::string& code, int body);
// Runs make-obs.py over the folder with further arguments ("--noise", "0",
// "--only", "GREN4", "--force"); true when it succeeded.
bool MakeObservatoryFiles(const std::filesystem::path& folder, const std::vector<std::string>& args);

}  // namespace torvik
