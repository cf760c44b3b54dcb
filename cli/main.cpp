// torvik6-cli: the headless face of Torvik6. Dispatches to the registered commands.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "cli/command.h"
#include "core/paths.h"
#include "model/de405_files.h"

namespace torvik::cli {
namespace {

struct Entry {
  const char* summary;
  CommandFn fn;
};

std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> r;
  return r;
}

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage: torvik6-cli COMMAND [ARGS...]   (torvik6-cli COMMAND --help)\n\ncommands:\n");
  for (const auto& [name, e] : Registry()) std::fprintf(out, "  %-12s %s\n", name.c_str(), e.summary);
}

}  // namespace

CliCommand::CliCommand(const char* name, const char* summary, CommandFn fn) {
  Registry()[name] = Entry{summary, fn};
}

int BadArgs(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "torvik6-cli %s: %s\n", command.c_str(), message.c_str());
  return kBadArgs;
}

bool WantsHelp(const Args& args) {
  for (const auto& a : args)
    if (a == "--help" || a == "-h") return true;
  return false;
}

bool FindOption(const Args& args, const std::string& name, std::string* value) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      if (i + 1 >= args.size()) return false;
      *value = args[i + 1];
      return true;
    }
    if (args[i].rfind(name + "=", 0) == 0) {
      *value = args[i].substr(name.size() + 1);
      return true;
    }
  }
  return false;
}

bool HasFlag(const Args& args, const std::string& name) {
  for (const auto& a : args)
    if (a == name) return true;
  return false;
}

std::filesystem::path FolderOption(const Args& args) {
  const auto v = OptionText(args, "--folder");
  if (!v) return DefaultProgramFolder();
  if (v->empty()) throw BadOption("--folder: an empty folder name");
  return std::filesystem::path(*v);
}

bool PrepareProgramFolder(const std::string& command, const std::filesystem::path& folder, bool de405) {
  if (!EnsureProgramFolder(folder)) {
    std::fprintf(stderr, "torvik6-cli %s: cannot create the program folder %s\n", command.c_str(),
                 folder.string().c_str());
    return false;
  }
  if (!de405 || HaveDe405Files(folder)) return true;
  std::fprintf(stderr, "torvik6-cli %s: writing the DE405 files into %s/JPL (a few seconds)\n", command.c_str(),
               folder.string().c_str());
  std::fflush(stderr);
  if (EnsureDe405Files(folder)) return true;
  std::fprintf(stderr, "torvik6-cli %s: cannot write the DE405 files into %s/JPL\n", command.c_str(),
               folder.string().c_str());
  return false;
}

std::optional<std::string> OptionText(const Args& args, const std::string& name) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      if (i + 1 >= args.size()) throw BadOption(name + ": the option needs a value");
      return args[i + 1];
    }
    if (args[i].rfind(name + "=", 0) == 0) return args[i].substr(name.size() + 1);
  }
  return std::nullopt;
}

std::optional<std::string> UnknownArgument(const Args& args, std::initializer_list<const char*> options,
                                           std::initializer_list<const char*> flags) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    bool known = false;
    for (const char* f : flags) known = known || args[i] == f;
    for (const char* n : options) {
      if (args[i] == n) {
        known = true;
        ++i;
        break;
      }
      known = known || args[i].rfind(std::string(n) + "=", 0) == 0;
    }
    if (!known) return args[i];
  }
  return std::nullopt;
}

double ArgNumber(const std::string& text, const std::string& what, double lo, double hi) {
  double v = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, v);
  if (text.empty() || ec != std::errc() || end != last || !std::isfinite(v))
    throw BadOption(what + ": " + (text.empty() ? std::string("an empty value") : text) + " is not a number");
  if (v < lo || v > hi) {
    char range[96];
    std::snprintf(range, sizeof range, " is outside %.10g..%.10g", lo, hi);
    throw BadOption(what + ": " + text + range);
  }
  return v;
}

std::optional<double> OptionNumber(const Args& args, const std::string& name, double lo, double hi) {
  const auto text = OptionText(args, name);
  if (!text) return std::nullopt;
  return ArgNumber(*text, name, lo, hi);
}

std::optional<long long> OptionInt(const Args& args, const std::string& name, long long lo, long long hi) {
  const auto text = OptionText(args, name);
  if (!text) return std::nullopt;
  long long v = 0;
  const char* first = text->data();
  const char* last = first + text->size();
  if (first != last && *first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, v);
  if (text->empty() || ec != std::errc() || end != last)
    throw BadOption(name + ": " + *text + " is not a whole number");
  if (v < lo || v > hi)
    throw BadOption(name + ": " + *text + " is outside " + std::to_string(lo) + ".." + std::to_string(hi));
  return v;
}

}  // namespace torvik::cli

int main(int argc, char** argv) {
  using namespace torvik::cli;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage(argc < 2 ? stderr : stdout);
    return argc < 2 ? kBadArgs : kOk;
  }
  auto it = Registry().find(argv[1]);
  if (it == Registry().end()) {
    std::fprintf(stderr, "torvik6-cli: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return kBadArgs;
  }
  Args args(argv + 2, argv + argc);
  try {
    return it->second.fn(args);
  } catch (const BadOption& e) {
    return BadArgs(argv[1], e.what());
  }
}
