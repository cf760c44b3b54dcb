#include "core/paths.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace torvik {

std::filesystem::path DefaultProgramFolder() {
  const char* home = std::getenv("HOME");
  std::filesystem::path base = (home && *home) ? std::filesystem::path(home) : std::filesystem::current_path();
  return base / "Torvik6";
}

std::filesystem::path ResolvePath(const std::filesystem::path& folder, std::string_view rel) {
  std::filesystem::path out = folder;
  std::string part;
  for (char c : rel) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) out /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) out /= part;
  return out;
}

bool EnsureProgramFolder(const std::filesystem::path& folder) {
  static const char* const kFolders[] = {"XYZ", "NEW",      "APC", "Mox",      "JPL",   "JPL/405", "Tab",
                                         "Tab/Plan", "Obs", "Obs/Plan", "Dat", "Other", "Arhiv"};
  std::error_code ec;
  auto make = [&](const std::filesystem::path& p) {
    std::filesystem::create_directories(p, ec);
    return !ec && std::filesystem::is_directory(p);
  };
  bool ok = make(folder);
  for (int plan = 0; plan <= 3; ++plan) {
    auto planDir = folder / ("Plan" + std::to_string(plan));
    ok = make(planDir) && ok;
    for (int p = 1; p <= 10; ++p) ok = make(planDir / ("Txt" + std::to_string(p))) && ok;
  }
  for (const char* f : kFolders) ok = make(ResolvePath(folder, f)) && ok;
  return ok;
}

}  // namespace torvik
