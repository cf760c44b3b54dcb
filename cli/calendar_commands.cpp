// torvik6-cli jd / date: calendar date <-> Julian date (Julian calendar up to
// 4 October 1582, Gregorian from 15 October 1582, astronomical years).
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/command.h"
#include "core/calendar.h"
#include "core/textfile.h"

namespace torvik::cli {
namespace {

// Arguments are numbers with "." as the decimal separator; negative years are
// positional too, so only --help is an option here. A whole number of lo..hi.
std::int32_t Whole(const std::string& arg, const char* what, double lo, double hi) {
  const double v = ArgNumber(arg, what, lo, hi);
  if (v != std::trunc(v)) throw BadOption(std::string(what) + ": " + arg + " is not a whole number");
  return static_cast<std::int32_t>(v);
}

int RunJd(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli jd YEAR MONTH DAY\n"
        "Prints the Julian date of a calendar date. YEAR is astronomical (0 = 1 BC,\n"
        "-10000..10000), MONTH 1..12, DAY 0..32 with fraction (1.5 = noon of the 1st).\n"
        "Julian calendar up to 1582-10-04, Gregorian from 1582-10-15.\n");
    return kOk;
  }
  if (args.size() != 3) return BadArgs("jd", "expected YEAR MONTH DAY");
  const auto year = Whole(args[0], "YEAR", kMinYear, kMaxYear);
  const auto month = Whole(args[1], "MONTH", 1, 12);
  const double day = ArgNumber(args[2], "DAY", 0, 32);
  std::printf("%s\n", NumberText(DateToJD(year, month, static_cast<float>(day))).c_str());
  return kOk;
}

int RunDate(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli date JD\n"
        "Prints the calendar date of a Julian date (-1931442.5 .. 5373850.5, the years\n"
        "-10000..10000) as YEAR MONTH DAY on one line; the day carries its fraction in\n"
        "single precision.\n");
    return kOk;
  }
  if (args.size() != 1) return BadArgs("date", "expected JD");
  const CalendarDate d = JDToDate(ArgNumber(args[0], "JD", kMinJD, kMaxJD));
  std::printf("%d %d %s\n", d.year, d.month, SingleText(d.day).c_str());
  return kOk;
}

const CliCommand kJd{"jd", "YEAR MONTH DAY -> Julian date", RunJd};
const CliCommand kDate{"date", "JD -> YEAR MONTH DAY", RunDate};

}  // namespace
}  // namespace torvik::cli
