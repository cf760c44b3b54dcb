// Commands of torvik6-cli. Each command lives in its own file and registers
// itself with a static CliCommand object:
//   static CliCommand reg{"jd", "YEAR MONTH DAY -> Julian date", RunJd};
// A command gets its arguments after the command name and returns the exit
// status: 0 on success, 1 when the action failed, 2 on bad arguments.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace torvik::cli {

using Args = std::vector<std::string>;
using CommandFn = int (*)(const Args& args);

struct CliCommand {
  CliCommand(const char* name, const char* summary, CommandFn fn);
};

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadArgs = 2;

// Prints "torvik6-cli NAME: MESSAGE" on stderr and returns kBadArgs.
int BadArgs(const std::string& command, const std::string& message);

// True when args contain --help or -h.
bool WantsHelp(const Args& args);

// Value of "--name VALUE" (or "--name=VALUE"): true and *value set when given.
bool FindOption(const Args& args, const std::string& name, std::string* value);
bool HasFlag(const Args& args, const std::string& name);

// The program folder of "--folder DIR", else the default ~/Torvik6. An empty
// DIR throws BadOption (it would mean the current directory).
std::filesystem::path FolderOption(const Args& args);

// What a command that writes does first, as the program does at its start:
// creates the standard folder tree of the program folder and, when de405 is
// set, the DE405 files (a few seconds, announced on stderr). On failure prints
// why ("torvik6-cli COMMAND: ...") and returns false.
bool PrepareProgramFolder(const std::string& command, const std::filesystem::path& folder, bool de405);

// A malformed option value. The dispatcher prints "torvik6-cli COMMAND: " +
// what() on stderr and exits with kBadArgs, so a command can simply let it pass.
struct BadOption : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Typed options: std::nullopt when the option is absent. A value that is missing,
// not a plain number ("." as the decimal separator, finite) or outside [lo, hi]
// throws BadOption naming the option, e.g. "--step: abc is not a number".
std::optional<std::string> OptionText(const Args& args, const std::string& name);
std::optional<double> OptionNumber(const Args& args, const std::string& name, double lo, double hi);
std::optional<long long> OptionInt(const Args& args, const std::string& name, long long lo, long long hi);
// The first argument that is neither one of `options` (with its value, also
// as "--name=VALUE") nor one of `flags`; std::nullopt when all are known.
std::optional<std::string> UnknownArgument(const Args& args, std::initializer_list<const char*> options,
                                           std::initializer_list<const char*> flags = {});
// A whole argument as a number (positional arguments); `what` names it in the message.
double ArgNumber(const std::string& text, const std::string& what, double lo, double hi);

}  // namespace torvik::cli
