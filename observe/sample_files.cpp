#include "observe/sample_files.h"

#include <string>
#include <system_error>

#include "core/paths.h"
#include "core/scripts.h"
#include "observe/sources.h"

namespace torvik {

namespace {

constexpr int kBodies[] = {0, 1, 2, 4};

}  // namespace

bool HaveObservatoryFiles(const std::filesystem::path& folder) {
  std::error_code ec;
  for (const auto& o : kObservatories)
    for (int body : kBodies) {
      const std::string rel = std::string("\\Obs\\") + o.code + std::to_string(body) + ".txt";
      if (!std::filesystem::is_regular_file(ResolvePath(folder, rel), ec)) return false;
    }
  return true;
}

bool ObservatoryFolderEmpty(const std::filesystem::path& folder) {
  std::error_code ec;
  const auto obs = ResolvePath(folder, "\\Obs");
  if (!std::filesystem::is_directory(obs, ec)) return true;
  for (const auto& e : std::filesystem::directory_iterator(obs, ec))
    if (e.is_regular_file(ec)) return false;
  return true;
}

bool WriteSampleObservatoryFiles(const std::filesystem::path& folder) {
  if (!ObservatoryFolderEmpty(folder)) return true;
  return MakeObservatoryFiles(folder, {}) && HaveObservatoryFiles(folder);
}

bool MakeObservatoryFiles(const std::filesystem::path& folder, const std::vector<std::string>& args) {
  std::vector<std::string> words = {folder.string()};
  words.insert(words.end(), args.begin(), args.end());
  return RunDataScript("make-obs.py", TORVIK6_OBS_SCRIPT, words);
}

bool EnsureObservatoryFile(const std::filesystem::path& folder, const std::string& code, int body) {
  const std::string name = code + std::to_string(body);
  std::error_code ec;
  const auto path = ResolvePath(folder, "\\Obs\\" + name + ".txt");
  if (std::filesystem::is_regular_file(path, ec)) return true;
  return MakeObservatoryFiles(folder, {"--only", name}) && std::filesystem::is_regular_file(path, ec);
}

}  // namespace torvik
