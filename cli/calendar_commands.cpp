// torvik6-cli jd / date: calendar date <-> Julian date (Julian calendar up to
// 4 October 1582, Gregorian from 15 October 1582, astronomical years).
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

#include "cli/command.h"
#include "core/calendar.h"
#include "core/textfile.h"

namespace torvik::cli {
namespace {

// Arguments are numbers with "." as the decimal separator; negative years are
// positional too, so only --help is an option here.
std::optional<std::int32_t> Integer(const std::string& arg) {
  const auto v = ParseNumber(arg);
  if (!v || *v != std::trunc(*v) || std::fabs(*v) > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

int RunJd(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli jd YEAR MONTH DAY\n"
        "Prints the Julian date of a calendar date. YEAR is astronomical (0 = 1 BC,\n"
        "negative allowed), MONTH 1..12, DAY with fraction (1.5 = noon of the 1st).\n"
        "Julian calendar up to 1582-10-04, Gregorian from 1582-10-15.\n");
    return kOk;
  }
  if (args.size() != 3) return BadArgs("jd", "expected YEAR MONTH DAY");
  const auto year = Integer(args[0]);
  const auto month = Integer(args[1]);
  const auto day = ParseNumber(args[2]);
  if (!year) return BadArgs("jd", "YEAR is not a whole number: " + args[0]);
  if (!month || *month < 1 || *month > 12) return BadArgs("jd", "MONTH is not 1..12: " + args[1]);
  if (!day || *day < 0 || *day >= 32) return BadArgs("jd", "DAY is not a day of the month: " + args[2]);
  std::printf("%s\n", NumberText(DateToJD(*year, *month, static_cast<float>(*day))).c_str());
  return kOk;
}

int RunDate(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli date JD\n"
        "Prints the calendar date of a Julian date as YEAR MONTH DAY on one line; the\n"
        "day carries its fraction in single precision.\n");
    return kOk;
  }
  if (args.size() != 1) return BadArgs("date", "expected JD");
  const auto jd = ParseNumber(args[0]);
  if (!jd || std::fabs(*jd) > kMaxAbsJD) return BadArgs("date", "JD is not a number in -1e11..1e11: " + args[0]);
  const CalendarDate d = JDToDate(*jd);
  std::printf("%d %d %s\n", d.year, d.month, SingleText(d.day).c_str());
  return kOk;
}

const CliCommand kJd{"jd", "YEAR MONTH DAY -> Julian date", RunJd};
const CliCommand kDate{"date", "JD -> YEAR MONTH DAY", RunDate};

}  // namespace
}  // namespace torvik::cli
