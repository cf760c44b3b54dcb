// Commands of torvik6-cli. Each command lives in its own file and registers
// itself with a static CliCommand object. Its declare function gets the
// CLI::App of the command (CLI11), declares every option there once, with
// type, range, default and help text, and returns the action that runs after
// a successful parse. --help is generated from the declaration; an unknown
// option or a malformed value prints "torvik6-cli COMMAND: ..." and exits 2.
//
//   struct Options {
//     int planet = 1;                       // the default, shown by --help
//     std::optional<double> vgr;            // absent unless given
//     std::string theory = "jpl";
//     bool quiet = false;
//     std::filesystem::path folder;
//   };
//
//   int Run(const Options& o) { ...; return kOk; }
//
//   Action Declare(CLI::App& app) {
//     auto o = std::make_shared<Options>();
//     app.description("What the command does, in a sentence or a paragraph.");
//     app.add_option("--planet", o->planet, "watched planet")
//         ->type_name("P")->transform(Whole(1, 10))->capture_default_str();
//     AddOptional(app, "--vgr", o->vgr, "finite speed of gravity, Vgr = X * Vsv")
//         ->type_name("X")->transform(Number(1e-6, 1e9));
//     app.add_option("--theory", o->theory, "the theory")
//         ->type_name("T")->check(OneOf({"newcomb", "jpl", "mox"}))->capture_default_str();
//     app.add_flag("--quiet", o->quiet, "no progress on stderr");
//     AddFolderOption(app, o->folder);
//     return [o] { return Run(*o); };
//   }
//
//   CliCommand reg{"name", "one line for torvik6-cli --help", Declare};
//
// Numbers always go through ->transform(Number(lo, hi)) or
// ->transform(Whole(lo, hi)): they check the text ("." as the decimal
// separator, finite, within lo..hi) and hand CLI11 the number in the form it
// reads exactly. A value with a syntax of its own (D.M.Y, A,B,C) is parsed by
// an add_option_function<std::string> callback that throws BadOption; that
// too happens while the arguments are parsed, before any action. Positional
// arguments are options without dashes: app.add_option("FILE", o->file, "...")
// ->required(). Both "--name VALUE" and "--name=VALUE" work; an option given
// twice takes its last value.
//
// A verb with options of its own (drift-file show|set, points delete|add,
// plan params|run|fit, observe-plan run|optimize) is a CLI11 subcommand; the
// first line of its description is its line in the parent's --help:
//
//   app.require_subcommand(1);  // "torvik6-cli drift-file: give show or set"
//   CLI::App* set = app.add_subcommand("set", "replaces one drift\nThe longer text of set --help.");
//   AddOptional(*set, "--value", o->value, "the new drift")->required()->transform(Number(-1e12, 1e12));
//   return [o, set] { return set->parsed() ? Set(*o) : Show(*o); };
#pragma once

#include <CLI/CLI.hpp>

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace torvik::cli {

// The action of a command after its arguments are parsed: the exit status.
using Action = std::function<int()>;
using DeclareFn = Action (*)(CLI::App& app);

struct CliCommand {
  CliCommand(const char* name, const char* summary, DeclareFn declare);
};

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadArgs = 2;

// Prints "torvik6-cli NAME: MESSAGE" on stderr and returns kBadArgs.
int BadArgs(const std::string& command, const std::string& message);

// A malformed option value. The dispatcher prints "torvik6-cli COMMAND: " +
// what() on stderr and exits with kBadArgs, so a command (or an option's
// callback) can simply let it pass.
struct BadOption : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Validators. Number: a plain number ("." as the decimal separator, finite)
// within lo..hi, e.g. "--step: abc is not a number", "--e1: 2 is outside
// -0.999..0.999". Whole: the same for a whole number. Both rewrite the text
// so that CLI11 converts it exactly (no octal "010", no long-double rounding):
// use them with ->transform(). OneOf: one of the words, with ->check().
CLI::Validator Number(double lo, double hi);
CLI::Validator Whole(long long lo, long long hi);
CLI::Validator OneOf(std::vector<std::string> words);

// An option whose absence matters: `value` stays std::nullopt unless given.
template <class T>
CLI::Option* AddOptional(CLI::App& app, const std::string& name, std::optional<T>& value,
                         const std::string& help) {
  return app.add_option_function<T>(name, [&value](const T& v) { value = v; }, help);
}

// --folder DIR: the program folder; `folder` is set to the default ~/Torvik6
// until given. An empty DIR (it would mean the current directory) is refused.
CLI::Option* AddFolderOption(CLI::App& app, std::filesystem::path& folder);

// What a command that writes does first, as the program does at its start:
// creates the standard folder tree of the program folder and, when de405 is
// set, the DE405 files (a few seconds, announced on stderr). On failure prints
// why ("torvik6-cli COMMAND: ...") and returns false.
bool PrepareProgramFolder(const std::string& command, const std::filesystem::path& folder, bool de405);

// A whole argument, or a part of one ("3600" of "3600/100"), as a number; `what`
// names it in the message. Throws BadOption.
double ArgNumber(const std::string& text, const std::string& what, double lo, double hi);

// The text split at every `sep` ("A,B,C" -> A, B, C; "" -> one empty part).
std::vector<std::string> SplitText(const std::string& text, char sep);

}  // namespace torvik::cli
