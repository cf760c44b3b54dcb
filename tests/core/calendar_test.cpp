#include "core/calendar.h"

#include <gtest/gtest.h>

#include <cmath>

#include "units.h"

namespace torvik {
namespace {

using test::second;

struct DateCase {
  int year, month;
  float day;
  double jd;
};

// Meeus, "Astronomical Algorithms", 2nd ed., chapter 7: examples 7.a–7.c and
// the table of Julian dates (Gregorian from 1582 October 15, Julian before,
// astronomical year numbering).
constexpr DateCase kMeeus[] = {
    {1957, 10, 4.81f, 2436116.31}, {333, 1, 27.5f, 1842713.0},   {2000, 1, 1.5f, 2451545.0},
    {1999, 1, 1.0f, 2451179.5},    {1987, 1, 27.0f, 2446822.5},  {1987, 6, 19.5f, 2446966.0},
    {1988, 1, 27.0f, 2447187.5},   {1988, 6, 19.5f, 2447332.0},  {1900, 1, 1.0f, 2415020.5},
    {1600, 1, 1.0f, 2305447.5},    {1600, 12, 31.0f, 2305812.5}, {837, 4, 10.3f, 2026871.8},
    {-123, 12, 31.0f, 1676496.5},  {-122, 1, 1.0f, 1676497.5},   {-1000, 7, 12.5f, 1356001.0},
    {-1000, 2, 29.0f, 1355866.5},  {-1001, 8, 17.9f, 1355671.4}, {-4712, 1, 1.5f, 0.0},
    {-584, 5, 28.63f, 1507900.13},
    // The calendar change: Julian 4 October 1582 is followed by Gregorian 15 October.
    {1582, 10, 4.0f, 2299159.5},   {1582, 10, 15.0f, 2299160.5},
    // The start-up date of the parameters screen.
    {1601, 1, 1.5f, 2305814.0},
};

// The day is single precision: 10.3f is off by ~4e-7 day; allow 1 s.
constexpr double kDayTolerance = 1.0 * second;

TEST(Calendar, MeeusDatesToJD) {
  for (const auto& c : kMeeus) {
    const double got = DateToJD(c.year, c.month, c.day);
    EXPECT_NEAR(got, c.jd, kDayTolerance) << c.year << "-" << c.month << "-" << c.day << ": want " << c.jd
                                          << " got " << got << " diff " << got - c.jd;
  }
}

TEST(Calendar, MeeusJDsToDates) {
  for (const auto& c : kMeeus) {
    const CalendarDate d = JDToDate(c.jd);
    EXPECT_EQ(d.year, c.year) << "JD " << c.jd;
    EXPECT_EQ(d.month, c.month) << "JD " << c.jd;
    EXPECT_NEAR(d.day, c.day, kDayTolerance) << "JD " << c.jd << ": want day " << c.day << " got " << d.day;
  }
}

TEST(Calendar, October1582Change) {
  // 5..14 October 1582 do not exist in the Gregorian calendar: they are taken as
  // Julian dates, ten days after the Julian 4 October.
  EXPECT_DOUBLE_EQ(DateToJD(1582, 10, 10.0f), 2299165.5);
  // Key 1582.1014990 (day 14.99f is just below 14.99): still Julian.
  EXPECT_NEAR(DateToJD(1582, 10, 14.99f), 2299170.49, kDayTolerance);
  // JD 2299160.4 has Z = 2299160: no Gregorian correction, 4.9 October.
  CalendarDate d = JDToDate(2299160.4);
  EXPECT_EQ(d.year, 1582);
  EXPECT_EQ(d.month, 10);
  EXPECT_NEAR(d.day, 4.9, kDayTolerance);
  d = JDToDate(2299160.5);
  EXPECT_EQ(d.month, 10);
  EXPECT_EQ(d.day, 15.0f);
}

TEST(Calendar, ModelFieldsKeepTypedDate) {
  Model m;
  m.DateY = 2000;
  m.DateM = 1;
  m.DateD = 1.5f;
  DateToJD(m);
  EXPECT_EQ(m.JD, 2451545.0);
  m.JD = 2305814.0;
  EXPECT_TRUE(JDToDate(m));
  EXPECT_EQ(m.OutY, 1601);
  EXPECT_EQ(m.OutM, 1);
  EXPECT_EQ(m.OutD, 1.5f);  // a fraction of 0.5 in the JD gives a whole day number + 0.5
  EXPECT_EQ(m.DateY, 2000);  // the typed date is not overwritten
  EXPECT_EQ(m.DateD, 1.5f);
  // A JD with no 32-bit year is refused, the previous result kept.
  for (double bad : {1e300, -2e11, std::nan("")}) {
    m.JD = bad;
    EXPECT_FALSE(JDToDate(m)) << bad;
    EXPECT_EQ(m.OutY, 1601);
  }
}

bool IsLeap(int y) {
  if (y < 1582) return y % 4 == 0;  // Julian, also for negative years
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

TEST(Calendar, RoundTripDateJDDate) {
  constexpr float kDays[] = {1.0f, 1.25f, 9.5f, 15.75f, 28.0f};
  int failures = 0;
  double lastJD = -1e9;
  for (int y = -4712; y <= 3000; ++y) {
    for (int mo = 1; mo <= 12; ++mo) {
      const int monthDays[] = {31, IsLeap(y) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      const float last = static_cast<float>(monthDays[mo - 1]) + 0.875f;
      for (float dd : {kDays[0], kDays[1], kDays[2], kDays[3], kDays[4], last}) {
        if (y == 1582 && mo == 10 && dd >= 5.0f && dd < 15.0f) continue;  // no such days
        const double jd = DateToJD(y, mo, dd);
        const CalendarDate back = JDToDate(jd);
        if (back.year != y || back.month != mo || std::abs(back.day - dd) > kDayTolerance || jd <= lastJD) {
          if (++failures <= 5)
            ADD_FAILURE() << y << "-" << mo << "-" << dd << " -> JD " << jd << " -> " << back.year << "-"
                          << back.month << "-" << back.day;
        }
        lastJD = jd;
      }
    }
  }
  EXPECT_EQ(failures, 0);
}

TEST(Calendar, RoundTripJDDateJD) {
  // Every 0.7 day from JD 0 to the year 3000: date and back within the
  // single-precision day.
  int failures = 0;
  for (double jd = 0.0; jd < 2817000.0; jd += 0.7) {
    const CalendarDate d = JDToDate(jd);
    const double back = DateToJD(d.year, d.month, d.day);
    if (std::abs(back - jd) > 4.0 * second && ++failures <= 5)
      ADD_FAILURE() << "JD " << jd << " -> " << d.year << "-" << d.month << "-" << d.day << " -> " << back;
  }
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace torvik
