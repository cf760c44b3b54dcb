#include "observe/sample_files.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "core/paths.h"
#include "observe/sources.h"

extern char** environ;

namespace torvik {

namespace {

constexpr int kBodies[] = {0, 1, 2, 4};

std::filesystem::path ScriptPath() {
  std::error_code ec;
  // Beside the build tree first (the executables live in build/ or build/tests/).
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    for (auto dir = exe.parent_path(); !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
      auto p = dir / "scripts" / "make-obs.py";
      if (std::filesystem::exists(p, ec)) return p;
    }
  }
  return TORVIK6_OBS_SCRIPT;
}

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

bool MakeObservatoryFiles(const std::filesystem::path& folder, const std::vector<std::string>& args) {
  std::vector<std::string> words = {"/usr/bin/python3", ScriptPath().string(), folder.string()};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool EnsureObservatoryFiles(const std::filesystem::path& folder) {
  return HaveObservatoryFiles(folder) || (MakeObservatoryFiles(folder, {}) && HaveObservatoryFiles(folder));
}

bool EnsureObservatoryFile(const std::filesystem::path& folder, const std::string& code, int body) {
  const std::string name = code + std::to_string(body);
  std::error_code ec;
  const auto path = ResolvePath(folder, "\\Obs\\" + name + ".txt");
  if (std::filesystem::is_regular_file(path, ec)) return true;
  return MakeObservatoryFiles(folder, {"--only", name}) && std::filesystem::is_regular_file(path, ec);
}

}  // namespace torvik
