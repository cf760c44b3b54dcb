// The program folder and the relative paths that the system composes with
// backslashes ("\Plan0\Txt1\Torvik1RasB1.txt", "\JPL\405\ascp1620.405").
#pragma once

#include <filesystem>
#include <string_view>

namespace torvik {

// Default program folder: ~/Torvik6.
std::filesystem::path DefaultProgramFolder();

// A relative path of the system ("\torvik1.dat", "XYZ\a.txt") as a native path
// under the program folder. Both "\" and "/" separate components.
std::filesystem::path ResolvePath(const std::filesystem::path& folder, std::string_view rel);

// Creates the standard sub-folders when missing: Plan0..Plan3 (each with
// Txt1..Txt10), XYZ, NEW, APC, Mox, JPL, JPL/405, Tab, Tab/Plan, Obs, Obs/Plan,
// Dat, Other, Arhiv. Returns false when the tree cannot be created.
bool EnsureProgramFolder(const std::filesystem::path& folder);

}  // namespace torvik
