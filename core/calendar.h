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
