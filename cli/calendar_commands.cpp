// torvik6-cli jd / date: calendar date <-> Julian date (Julian calendar up to
// 4 October 1582, Gregorian from 15 October 1582, astronomical years).
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "cli/command.h"
#include "core/calendar.h"
#include "core/textfile.h"

namespace torvik::cli {
namespace {

// The arguments are positional numbers with "." as the decimal separator;
// negative years are positional too ("-100" is no option).
struct JdOptions {
  double year = 0, month = 0, day = 0;
};

Action DeclareJd(CLI::App& app) {
  auto o = std::make_shared<JdOptions>();
  app.description(
      "Prints the Julian date of a calendar date. Julian calendar up to 1582-10-04,\n"
      "Gregorian from 1582-10-15.");
  app.add_option("YEAR", o->year, "astronomical year, 0 = 1 BC")
      ->required()->transform(Number(kMinYear, kMaxYear));
  app.add_option("MONTH", o->month, "month")->required()->transform(Number(1, 12));
  app.add_option("DAY", o->day, "day with fraction, 1.5 = noon of the 1st")->required()->transform(Number(0, 32));
  return [o] {
    if (o->year != std::trunc(o->year)) throw BadOption("YEAR: " + ShortestText(o->year) + " is not a whole number");
    if (o->month != std::trunc(o->month))
      throw BadOption("MONTH: " + ShortestText(o->month) + " is not a whole number");
    const double jd = DateToJD(static_cast<std::int32_t>(o->year), static_cast<std::int32_t>(o->month),
                               static_cast<float>(o->day));
    std::printf("%s\n", NumberText(jd).c_str());
    return kOk;
  };
}

Action DeclareDate(CLI::App& app) {
  auto jd = std::make_shared<double>(0.0);
  app.description(
      "Prints the calendar date of a Julian date (the years -10000..10000) as YEAR MONTH DAY\n"
      "on one line; the day carries its fraction in single precision.");
  app.add_option("JD", *jd, "Julian date")->required()->transform(Number(kMinJD, kMaxJD));
  return [jd] {
    const CalendarDate d = JDToDate(*jd);
    std::printf("%d %d %s\n", d.year, d.month, SingleText(d.day).c_str());
    return kOk;
  };
}

const CliCommand kJd{"jd", "YEAR MONTH DAY -> Julian date", DeclareJd};
const CliCommand kDate{"date", "JD -> YEAR MONTH DAY", DeclareDate};

}  // namespace
}  // namespace torvik::cli
