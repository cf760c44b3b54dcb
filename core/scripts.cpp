#include "core/scripts.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>

extern char** environ;

namespace torvik {

namespace {

std::filesystem::path ScriptPath(const std::string& name, const std::filesystem::path& installed) {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    for (auto dir = exe.parent_path(); !dir.empty() && dir != dir.root_path(); dir = dir.parent_path()) {
      auto p = dir / "scripts" / name;
      if (std::filesystem::exists(p, ec)) return p;
    }
  }
  return installed;
}

}  // namespace

bool RunDataScript(const std::string& name, const std::filesystem::path& installed,
                   const std::vector<std::string>& args) {
  std::vector<std::string> words = {"/usr/bin/python3", ScriptPath(name, installed).string()};
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

}  // namespace torvik
