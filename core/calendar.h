// Calendar date <-> Julian date. Julian calendar up to 4 October 1582,
// Gregorian from 15 October 1582; astronomical year numbering (year 0 exists).
// The day carries its fraction in single precision, as the model stores it.
#pragma once

#include <cstdint>

#include "core/model.h"

namespace torvik {

struct CalendarDate {
  std::int32_t year = 0;   // astronomical numbering
  std::int32_t month = 1;  // 1..12
  float day = 1.0f;        // day of the month with fraction (1.5 = noon of the 1st)
};

// Julian dates beyond ±1e11 days (or not finite) have no date with a 32-bit year.
inline constexpr double kMaxAbsJD = 1e11;

// The dates every calendar and theory of the system can serve: years
// kMinYear..kMaxYear, Julian dates from 1 January kMinYear 0h to 1 January
// kMaxYear + 1 0h. Every date, year or Julian date that enters from a field, a
// file or an option is checked against them where it enters, so that no day
// count or year arithmetic behind them can overflow.
inline constexpr std::int32_t kMinYear = -10000, kMaxYear = 10000;
inline constexpr double kMinJD = -1931442.5, kMaxJD = 5373850.5;
// Year in kMinYear..kMaxYear, month 1..12, day 0..32 (the day may carry a
// fraction and a time-zone shift), and a Julian date in kMinJD..kMaxJD.
bool DateInRange(std::int32_t year, std::int32_t month, double day);
// kMinJD <= jd <= kMaxJD (false for NaN).
bool JDInRange(double jd);

// Julian date (days) of a calendar date.
double DateToJD(std::int32_t year, std::int32_t month, float day);
// Calendar date of a Julian date; the day fraction is single precision.
// A JD outside ±kMaxAbsJD or not finite gives month 0 and a NaN day.
CalendarDate JDToDate(double jd);

// Model-field forms: DateY, DateM, DateD -> JD, and JD -> OutY, OutM, OutD.
void DateToJD(Model& m);
// False, with OutY, OutM, OutD unchanged, when JD has no date (the caller
// reports it as a wrong Julian date).
bool JDToDate(Model& m);

}  // namespace torvik
