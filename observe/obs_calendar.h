// Dates of the observation screen: the Gregorian, Julian and Egyptian civil
// calendars, the day that starts at midnight ("0") or at noon ("12"), the
// conversions of the date fields to a Julian date and back, and the
// normalisation of a step date after a fraction of days has been added.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/message.h"

namespace torvik {

enum class ObsCalendar : std::uint8_t { Gregorian, Julian, Egyptian };  // "Григорианский", "Юлианский ", "Египетский"
enum class DayStart : std::uint8_t { Midnight, Noon };                  // "0", "12"
// The era of an Egyptian date: Nabonassar (26.2.747 BC, "Almagest") or the
// death of Alexander (12.11.324 BC, "HandyTables"); None for any other table.
enum class EgyptianEra : std::uint8_t { None, Almagest, Handy };

struct CalendarSetting {
  ObsCalendar calendar = ObsCalendar::Gregorian;
  DayStart dayStart = DayStart::Midnight;
  EgyptianEra era = EgyptianEra::None;
};

inline constexpr const char* kWrongDate = "Введите правильно дату";

// DMY->JD of the date fields. Egyptian dates count 365-day years of twelve
// 30-day months (the five epagomenal days end month 12) from the era; with
// no era (another table) `previousJD` comes back unchanged. Julian and
// Gregorian dates are those of DateToJD, except that the Julian option never
// applies the Gregorian correction. A noon-based day ("12") is half a day
// later than the civil day of the same number.
double DmyToJd(const CalendarSetting& c, std::int32_t year, std::int32_t month, float day, double previousJD);

struct ObsDate {
  std::int32_t year = 0;
  std::int32_t month = 1;
  float day = 1.0f;  // day with fraction, in the day-start convention
};
// JD->DMY. The Egyptian calendar has no inverse: "для Египетского календаря"
// CR LF "эта функция не работает" (title "Torvik6"). A Julian date beyond
// ±1e11 days gives "Введите правильно дату" (title "Torvik6.0").
std::optional<ObsDate> JdToDmy(const CalendarSetting& c, double jd, UserMessage* failure);

// The date of the current step: year, month, whole day, day with fraction,
// hours of the day.
struct StepDate {
  std::int32_t CurY = 2000;
  std::int16_t CurM = 1;
  std::int16_t CurDay = 1;
  float CurD = 1.0f;
  float CurH = 0.0f;
};

// Days per month 1..12 (slots 0 and 13 hold 0), filled at the run start.
using MonthTable = std::array<std::int16_t, 14>;
MonthTable MakeMonthTable(ObsCalendar c);

// Carries whole days past the end of a month into the next months (and years);
// days below 1 stay as they are. Sets CurDay and CurH from CurD. False (a
// failure of the run) when CurM lies outside 0..13 or the day is not finite.
bool NormaliseDate(ObsCalendar c, MonthTable& months, StepDate& d);

}  // namespace torvik
