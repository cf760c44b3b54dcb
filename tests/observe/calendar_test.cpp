// Calendars of the observation screen: Egyptian eras, day start, the Julian
// option without the Gregorian correction (Gregorian dates checked against
// ERFA), and the normalisation after a step.
#include <erfa.h>
#include <gtest/gtest.h>

#include "observe/obs_calendar.h"

namespace torvik {
namespace {

constexpr auto G = ObsCalendar::Gregorian, J = ObsCalendar::Julian, E = ObsCalendar::Egyptian;
constexpr auto D0 = DayStart::Midnight, D12 = DayStart::Noon;

struct JdCase {
  const char* name;
  CalendarSetting c;
  int y, m;
  float d;
  double want;
};

TEST(ObsCalendar, DmyToJd) {
  const JdCase cases[] = {
      {"Almagest era, noon day", {E, D12, EgyptianEra::Almagest}, 1, 1, 1, 1448638.0},
      {"Almagest era, midnight day", {E, D0, EgyptianEra::Almagest}, 1, 1, 1, 1448637.5},
      {"Handy era", {E, D12, EgyptianEra::Handy}, 1, 1, 1, 1603398.0},
      {"Almagest default date", {E, D12, EgyptianEra::Almagest}, 748, 5, 12, 1721424.0},
      {"Handy default date", {E, D12, EgyptianEra::Handy}, 324, 5, 12, 1721424.0},
      {"Egyptian without an era keeps JD", {E, D12, EgyptianEra::None}, 1, 1, 1, 777.0},
      {"noon day 1.0 Jan 2000", {G, D12, EgyptianEra::None}, 2000, 1, 1.0f, 2451545.0},
      {"Julian option after 1582: no correction", {J, D0, EgyptianEra::None}, 1582, 10, 15.5f, 2299171.0},
      {"Julian calendar 1.0 Jan 2000", {J, D0, EgyptianEra::None}, 2000, 1, 1.0f, 2451557.5},
      {"Julian option before 1582", {J, D0, EgyptianEra::None}, 1582, 10, 4.0f, 2299159.5},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(DmyToJd(c.c, c.y, c.m, c.d, 777.0), c.want) << c.name;
}

TEST(ObsCalendar, GregorianAgreesWithErfa) {
  const CalendarSetting g{G, D0, EgyptianEra::None}, noon{G, D12, EgyptianEra::None};
  const int dates[][3] = {{1600, 3, 1}, {1700, 2, 28}, {1900, 3, 1}, {1969, 7, 20}, {2000, 2, 29}, {2059, 12, 31}};
  for (const auto& d : dates) {
    double d1, d2;
    ASSERT_EQ(eraCal2jd(d[0], d[1], d[2], &d1, &d2), 0);
    EXPECT_DOUBLE_EQ(DmyToJd(g, d[0], d[1], d[2] + 0.25f, 0), d1 + d2 + 0.25) << d[0] << "-" << d[1];
    EXPECT_DOUBLE_EQ(DmyToJd(noon, d[0], d[1], d[2] + 0.25f, 0), d1 + d2 + 0.75) << d[0] << "-" << d[1];
    int y, m, dd;
    double f;
    ASSERT_EQ(eraJd2cal(d1, d2 + 0.25, &y, &m, &dd, &f), 0);
    const auto back = JdToDmy(g, d1 + d2 + 0.25, nullptr);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->year, y);
    EXPECT_EQ(back->month, m);
    EXPECT_FLOAT_EQ(back->day, static_cast<float>(dd + f));
  }
}

TEST(ObsCalendar, JdToDmy) {
  const auto noon = JdToDmy({G, D12, EgyptianEra::None}, 2451545.0, nullptr);
  ASSERT_TRUE(noon);
  EXPECT_EQ(noon->year, 2000);
  EXPECT_EQ(noon->month, 1);
  EXPECT_FLOAT_EQ(noon->day, 1.0f);
  const auto julian = JdToDmy({J, D0, EgyptianEra::None}, 2451557.5, nullptr);
  ASSERT_TRUE(julian);
  EXPECT_EQ(julian->year, 2000);
  EXPECT_EQ(julian->month, 1);
  EXPECT_FLOAT_EQ(julian->day, 1.0f);
  // The Julian inverse is exact both sides of 1582 and for negative years.
  for (double jd : {1448638.0, 1721424.0, 2299160.5, 2305814.0, 2451545.25})
    for (auto ds : {D0, D12}) {
      const CalendarSetting c{J, ds, EgyptianEra::None};
      const auto d = JdToDmy(c, jd, nullptr);
      ASSERT_TRUE(d);
      EXPECT_NEAR(DmyToJd(c, d->year, d->month, d->day, 0), jd, 1e-6) << jd;
    }
  UserMessage msg;
  EXPECT_FALSE(JdToDmy({E, D12, EgyptianEra::Almagest}, 1721424.0, &msg));
  EXPECT_EQ(msg.text, "для Египетского календаря\r\nэта функция не работает");
  EXPECT_EQ(msg.title, "Torvik6");
  EXPECT_FALSE(JdToDmy({G, D0, EgyptianEra::None}, 1e300, &msg));
  EXPECT_EQ(msg.text, "Введите правильно дату");
}

struct NormCase {
  const char* name;
  ObsCalendar c;
  int y, m;
  float d;
  int wantY, wantM;
  float wantD;
};

TEST(ObsCalendar, Normalise) {
  const NormCase cases[] = {
      {"32.5 January", G, 2001, 1, 32.5f, 2001, 2, 1.5f},
      {"30.0 February 2000", G, 2000, 2, 30.0f, 2000, 3, 1.0f},
      {"29.5 February 1900 Gregorian", G, 1900, 2, 29.5f, 1900, 3, 1.5f},
      {"29.5 February 1900 Julian stays", J, 1900, 2, 29.5f, 1900, 2, 29.5f},
      {"40 December into the new year", J, 1999, 12, 40.25f, 2000, 1, 9.25f},
      {"62 December crosses a leap February", G, 2003, 12, 62.0f, 2004, 1, 31.0f},
      {"Egyptian day 36 of month 12", E, 748, 12, 36.0f, 749, 1, 1.0f},
      {"Egyptian day 31 of month 5", E, 748, 5, 31.5f, 748, 6, 1.5f},
      {"a day below 1 stays", G, 2000, 3, 0.75f, 2000, 3, 0.75f},
      {"month 0 becomes January", G, 2000, 0, 5.0f, 2000, 1, 5.0f},
      {"month 13 becomes January of the next year", G, 2000, 13, 5.0f, 2001, 1, 5.0f},
  };
  for (const auto& c : cases) {
    MonthTable months = MakeMonthTable(c.c);
    StepDate d;
    d.CurY = c.y, d.CurM = static_cast<std::int16_t>(c.m), d.CurD = c.d;
    ASSERT_TRUE(NormaliseDate(c.c, months, d)) << c.name;
    EXPECT_EQ(d.CurY, c.wantY) << c.name;
    EXPECT_EQ(d.CurM, c.wantM) << c.name;
    EXPECT_FLOAT_EQ(d.CurD, c.wantD) << c.name;
    EXPECT_EQ(d.CurDay, static_cast<int>(c.wantD)) << c.name;
  }
  MonthTable months = MakeMonthTable(G);
  StepDate bad;
  bad.CurM = 14;
  EXPECT_FALSE(NormaliseDate(G, months, bad));
  bad.CurM = -1;
  EXPECT_FALSE(NormaliseDate(G, months, bad));
}

}  // namespace
}  // namespace torvik
