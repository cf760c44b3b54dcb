#include "model/de405_files.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "core/paths.h"
#include "model/de405.h"

extern char** environ;

namespace torvik {

namespace {

constexpr int kFirstYear = 1960, kLastYear = 2040;

std::filesystem::path ScriptPath() {
  std::error_code ec;
  // Beside the build tree first (the executables live in build/ or build/tests/).
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    for (auto dir = exe.parent_path(); !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
      auto p = dir / "scripts" / "make-de405.py";
      if (std::filesystem::exists(p, ec)) return p;
    }
  }
  return TORVIK6_DE405_SCRIPT;
}

}  // namespace

bool HaveDe405Files(const std::filesystem::path& folder) {
  std::error_code ec;
  for (int year = kFirstYear; year <= kLastYear; year += 20) {
    const std::string rel = std::string(year == kFirstYear ? "\\JPL\\" : "\\JPL\\405\\") + De405FileName(year);
    if (!std::filesystem::is_regular_file(ResolvePath(folder, rel), ec)) return false;
  }
  return true;
}

bool EnsureDe405Files(const std::filesystem::path& folder) {
  if (HaveDe405Files(folder)) return true;
  const std::string python = "/usr/bin/python3", script = ScriptPath().string(), dir = folder.string();
  char* argv[] = {const_cast<char*>(python.c_str()), const_cast<char*>(script.c_str()),
                  const_cast<char*>(dir.c_str()), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, python.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && HaveDe405Files(folder);
}

}  // namespace torvik
