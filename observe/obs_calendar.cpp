#include "observe/obs_calendar.h"

#include <cmath>

#include "core/calendar.h"

namespace torvik {

namespace {

// Julian day number of day 0.0 of the first month of the Nabonassar era.
constexpr double kNabonassar = 1448272.0;
// The era of the HandyTables starts 424 Egyptian years after Nabonassar.
constexpr int kHandyYears = 424;

// The Gregorian correction B of DateToJD for a date that it treats as Gregorian.
double GregorianShift(std::int32_t year, std::int32_t month) {
  const std::int64_t y = month < 3 ? std::int64_t{year} - 1 : year;
  return static_cast<double>(2 - y / 100 + y / 400);
}

}  // namespace

double DmyToJd(const CalendarSetting& c, std::int32_t year, std::int32_t month, float day, double previousJD) {
  if (c.calendar == ObsCalendar::Egyptian) {
    double d = day;
    if (c.dayStart == DayStart::Midnight) d -= 0.5f;
    const double base = d + 30.0 * (month - 1.0) + kNabonassar;
    if (c.era == EgyptianEra::Almagest) return base + 365.0 * year;
    if (c.era == EgyptianEra::Handy) return base + 365.0 * (year + static_cast<double>(kHandyYears));
    return previousJD;
  }
  const float d = c.dayStart == DayStart::Noon ? day + 0.5f : day;
  const double jd = DateToJD(year, month, d);
  if (c.calendar == ObsCalendar::Gregorian) return jd;
  // DateToJD turns Gregorian above the key 1582.101499 (formed from the shifted day).
  const double key = static_cast<double>(year) + month / 100.0 + static_cast<double>(d) / 10000.0;
  return key > 1582.101499 ? jd - GregorianShift(year, month) : jd;
}

std::optional<ObsDate> JdToDmy(const CalendarSetting& c, double jd, UserMessage* failure) {
  if (c.calendar == ObsCalendar::Egyptian) {
    if (failure) *failure = {"для Египетского календаря\r\nэта функция не работает", kTitle};
    return std::nullopt;
  }
  if (!(std::fabs(jd) <= kMaxAbsJD)) {
    if (failure) *failure = {kWrongDate, kTitle0};
    return std::nullopt;
  }
  ObsDate out;
  if (c.calendar == ObsCalendar::Gregorian) {
    const CalendarDate g = JDToDate(jd);
    out = {g.year, g.month, g.day};
  } else {
    // JDToDate without its Gregorian step: the Julian calendar for every date.
    const double z = std::floor(jd + 0.5), f = jd + 0.5 - z;
    const double b = z + 1524;
    const double cc = std::floor((b - 122.1) / 365.25);
    const double d = std::floor(365.25 * cc);
    const double e = std::floor((b - d) / 30.6001);
    out.day = static_cast<float>(b - d - std::floor(30.6001 * e) + f);
    out.month = static_cast<std::int32_t>(e < 13.5 ? e - 1 : e - 13);
    out.year = static_cast<std::int32_t>(out.month > 2.5 ? cc - 4716 : cc - 4715);
  }
  if (c.dayStart == DayStart::Noon) out.day -= 0.5f;
  return out;
}

MonthTable MakeMonthTable(ObsCalendar c) {
  if (c == ObsCalendar::Egyptian) return {0, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 35, 0};
  return {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31, 0};
}

namespace {

void SetFebruary(ObsCalendar c, MonthTable& months, std::int32_t year) {
  if (c == ObsCalendar::Egyptian) return;
  months[2] = year % 4 == 0 ? 29 : 28;
  if (c == ObsCalendar::Gregorian && year % 100 == 0 && year % 400 != 0) months[2] = 28;
}

}  // namespace

bool NormaliseDate(ObsCalendar c, MonthTable& months, StepDate& d) {
  if (!std::isfinite(d.CurD) || std::fabs(d.CurD) >= 32768.0f || d.CurM < 0 || d.CurM > 13) return false;
  d.CurDay = static_cast<std::int16_t>(std::trunc(d.CurD));
  d.CurH = (d.CurD - d.CurDay) * 24.0f;
  SetFebruary(c, months, d.CurY);
  while (d.CurDay > months[d.CurM]) {
    d.CurDay = static_cast<std::int16_t>(d.CurDay - months[d.CurM]);
    d.CurD = d.CurDay + d.CurH / 24.0f;
    if (++d.CurM > 12) {
      d.CurM = 1;
      ++d.CurY;
      SetFebruary(c, months, d.CurY);
    }
  }
  return true;
}

}  // namespace torvik
