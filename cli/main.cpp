// torvik6-cli: the headless face of Torvik6. Dispatches to the registered
// commands; each declares its options through CLI11 (cli/command.h).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "cli/command.h"
#include "core/paths.h"
#include "model/de405_files.h"

namespace torvik::cli {
namespace {

struct Entry {
  const char* summary;
  DeclareFn declare;
};

std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> r;
  return r;
}

// The help of every command: the usage line first, the description, then one
// line per option with its range and default, e.g.
//   --planet P        watched planet (1..10, default 1)
class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter() { column_width(26); }

  std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
    if (mode == CLI::AppFormatMode::Sub) return make_expanded(app);
    std::stringstream out;
    out << make_usage(app, name);
    if (!app->get_description().empty()) out << "\n" << app->get_description() << "\n";
    out << make_positionals(app) << make_groups(app, mode) << make_subcommands(app, mode);
    if (!app->get_footer().empty()) out << "\n" << app->get_footer() << "\n";
    std::string text = out.str();
    if (text.empty() || text.back() != '\n') text += '\n';
    return text;
  }

  // A subcommand in the list of its parent: the first line of its description.
  std::string make_subcommand(const CLI::App* sub) const override {
    std::stringstream out;
    const std::string d = sub->get_description();
    CLI::detail::format_help(out, sub->get_display_name(), d.substr(0, d.find('\n')), column_width_);
    return out.str();
  }

  std::string make_option_opts(const CLI::Option* opt) const override {
    if (opt->get_type_size() == 0 || opt->get_positional()) return {};
    std::string out = " " + TypeName(opt);
    if (opt->get_expected_max() == CLI::detail::expected_max_vector_size) out += " ...";
    return out;
  }

  std::string make_option_desc(const CLI::Option* opt) const override {
    std::string note = Ranges(opt);
    if (opt->get_required()) note += std::string(note.empty() ? "" : ", ") + "required";
    if (!opt->get_default_str().empty())
      note += std::string(note.empty() ? "" : ", ") + "default " + opt->get_default_str();
    return opt->get_description() + (note.empty() ? "" : " (" + note + ")");
  }

 private:
  // CLI11 joins the validators' descriptions to the type name with ':'.
  static std::string TypeName(const CLI::Option* opt) {
    const std::string t = opt->get_type_name();
    return t.substr(0, t.find(':'));
  }
  static std::string Ranges(const CLI::Option* opt) {
    const std::string t = opt->get_type_name();
    const auto colon = t.find(':');
    if (colon == std::string::npos) return {};
    std::string r = t.substr(colon + 1);
    for (auto& c : r)
      if (c == ':') c = ';';
    return r;
  }
};

std::shared_ptr<CLI::Formatter> Formatter() {
  static auto f = std::make_shared<HelpFormatter>();
  return f;
}

// The list of commands, as CLI11 formats subcommands.
std::string Usage() {
  CLI::App root("Every computation of the screens of Torvik6 on the same code. Commands that touch files\n"
                "take --folder DIR (default ~/Torvik6). Exit status: 0 done, 1 the action failed, 2 bad\n"
                "arguments.",
                "torvik6-cli");
  root.formatter(Formatter());
  root.set_version_flag("--version", "torvik6-cli " TORVIK6_VERSION, "Print the version and exit");
  root.footer("torvik6-cli COMMAND --help describes one command.");
  for (const auto& [name, e] : Registry()) root.add_subcommand(name, e.summary)->group("Commands");
  std::string help = root.help();
  return "Usage: torvik6-cli COMMAND [ARGS...]" + help.substr(help.find('\n'));
}

// "give params, run or fit": the message of a missing subcommand.
std::string GiveSubcommand(const CLI::App& app) {
  const auto subs = app.get_subcommands({});
  std::string list;
  for (std::size_t i = 0; i < subs.size(); ++i)
    list += (i == 0 ? "" : i + 1 == subs.size() ? " or " : ", ") + subs[i]->get_name();
  return "give " + list;
}

std::string Trim(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

}  // namespace

CliCommand::CliCommand(const char* name, const char* summary, DeclareFn declare) {
  Registry()[name] = Entry{summary, declare};
}

int BadArgs(const std::string& command, const std::string& message) {
  std::fprintf(stderr, "torvik6-cli %s: %s\n", command.c_str(), message.c_str());
  return kBadArgs;
}

double ArgNumber(const std::string& text, const std::string& what, double lo, double hi) {
  double v = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, ec] = std::from_chars(first, last, v);
  if (text.empty() || ec != std::errc() || end != last || !std::isfinite(v))
    throw BadOption(what + ": " + (text.empty() ? std::string("an empty value") : text) + " is not a number");
  if (v < lo || v > hi) throw BadOption(what + ": " + text + " is outside " + Trim(lo) + ".." + Trim(hi));
  return v;
}

std::vector<std::string> SplitText(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::size_t a = 0;
  while (true) {
    const std::size_t b = text.find(sep, a);
    out.push_back(text.substr(a, b == std::string::npos ? std::string::npos : b - a));
    if (b == std::string::npos) return out;
    a = b + 1;
  }
}

CLI::Validator Number(double lo, double hi) {
  return CLI::Validator(
      [lo, hi](std::string& text) -> std::string {
        double v = 0;
        try {
          v = ArgNumber(text, "", lo, hi);
        } catch (const BadOption& e) {
          return std::string(e.what()).substr(2);  // without the name: CLI11 puts it before
        }
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        text = buf;
        return {};
      },
      Trim(lo) + ".." + Trim(hi));
}

CLI::Validator Whole(long long lo, long long hi) {
  return CLI::Validator(
      [lo, hi](std::string& text) -> std::string {
        long long v = 0;
        const char* first = text.data();
        const char* last = first + text.size();
        if (first != last && *first == '+') ++first;
        const auto [end, ec] = std::from_chars(first, last, v);
        if (text.empty() || ec != std::errc() || end != last)
          return (text.empty() ? std::string("an empty value") : text) + " is not a whole number";
        if (v < lo || v > hi) return text + " is outside " + std::to_string(lo) + ".." + std::to_string(hi);
        text = std::to_string(v);
        return {};
      },
      std::to_string(lo) + ".." + std::to_string(hi));
}

CLI::Validator OneOf(std::vector<std::string> words) {
  std::string list;
  for (std::size_t i = 0; i < words.size(); ++i)
    list += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
  std::string desc;
  for (const auto& w : words) desc += (desc.empty() ? "" : "|") + w;
  return CLI::Validator(
      [words, list](std::string& text) -> std::string {
        for (const auto& w : words)
          if (text == w) return {};
        return text + " is not " + list;
      },
      desc);
}

CLI::Option* AddFolderOption(CLI::App& app, std::filesystem::path& folder) {
  folder = DefaultProgramFolder();
  return app
      .add_option_function<std::string>(
          "--folder",
          [&folder](const std::string& dir) {
            if (dir.empty()) throw BadOption("--folder: an empty folder name");
            folder = dir;
          },
          "the program folder (default ~/Torvik6)")
      ->type_name("DIR");
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

}  // namespace torvik::cli

int main(int argc, char** argv) {
  using namespace torvik::cli;
  if (argc < 2) {
    std::fprintf(stderr, "%s", Usage().c_str());
    return kBadArgs;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::printf("%s", Usage().c_str());
    return kOk;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::printf("torvik6-cli %s\n", TORVIK6_VERSION);
    return kOk;
  }
  const auto it = Registry().find(argv[1]);
  if (it == Registry().end()) {
    std::fprintf(stderr, "torvik6-cli: unknown command '%s'\n", argv[1]);
    std::fprintf(stderr, "%s", Usage().c_str());
    return kBadArgs;
  }
  const std::string name = argv[1];
  CLI::App app(it->second.summary, "torvik6-cli " + name);
  app.formatter(Formatter());
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  try {
    const Action action = it->second.declare(app);
    std::vector<std::string> args(argv + 2, argv + argc);
    std::reverse(args.begin(), args.end());  // CLI11 takes them from the back
    app.parse(args);
    return action();
  } catch (const CLI::CallForHelp&) {
    std::printf("%s", app.help().c_str());
    return kOk;
  } catch (const CLI::ArgumentMismatch& e) {
    // CLI11 says "--e1: 1 required E:-0.999..0.999 missing".
    const std::string what = e.what();
    const auto colon = what.find(": ");
    if (colon == std::string::npos || what.find(" missing") == std::string::npos) return BadArgs(name, what);
    return BadArgs(name, what.substr(0, colon) + ": the option needs a value");
  } catch (const CLI::RequiredError& e) {
    return BadArgs(name, e.what() == std::string("A subcommand is required") ? GiveSubcommand(app) : e.what());
  } catch (const CLI::ParseError& e) {
    return BadArgs(name, e.what());
  } catch (const BadOption& e) {
    return BadArgs(name, e.what());
  }
}
