#include "tools/converter.h"

#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/units.h"

namespace torvik {
namespace {

using test::arcminute;
using test::arcsecond;
using test::degree;
using test::secondOfTime;

constexpr double kRadToDeg = 180.0 / ERFA_DPI;

std::string Text(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

// Settings for a UT date (zone 0) at an observer.
ConverterSettings AtUT(int year, int month, double day, double lon = 44.5, double lat = 48.7) {
  ConverterSettings s;
  s.year = std::to_string(year);
  s.month = std::to_string(month);
  s.day = Text(day);
  s.zone = "0";
  s.obsL = Text(lon);
  s.obsB = Text(lat);
  return s;
}

double AngleDiff(double a, double b) { return std::remainder(a - b, 360.0); }

const CoordSystem kGeoEquDate{Origin::Geocentric, Plane::Equator, Equinox::OfDate};

class ConverterTest : public ::testing::Test {
 protected:
  ConverterTest() { SetConstants(m); }
  // "Задать координаты" of an object in a system; fails the test on a message.
  Coordinates Set(const ConverterSettings& s, int object, CoordSystem sys,
                  Representation repr = Representation::Polar, const SourceTexts& typed = {}) {
    Coordinates c;
    auto r = SetObjectCoordinates(m, s, object, sys, repr, typed, &ctx, &c);
    EXPECT_FALSE(r) << r->text;
    return c;
  }
  Model m;
  ConverterContext ctx;
};

// The equatorial place of the date (mean equator and equinox, geometric) of
// the Sun and of Mars against ERFA: the Earth from eraEpv00, Mars from
// eraPlan94, both rotated by the IAU 2006 precession-bias matrix of the date.
// The converter uses mean Keplerian elements without perturbations, so the
// agreement is that of the theories: about 10″ for the Sun, and for Mars up
// to 1.6′ at the close opposition of 2003 (about 0.5′ heliocentric, enlarged
// by the small distance).
TEST_F(ConverterTest, EquatorialPlaceOfSunAndMarsAgreesWithErfa) {
  struct Case {
    int year, month;
    double day;
    ConverterTheory theory;
    double sunTol, marsTol;  // degrees
  };
  const Case cases[] = {
      {1900, 1, 0.5, ConverterTheory::New0, 15 * arcsecond, 2 * arcminute},
      {1987, 4, 10.8, ConverterTheory::New0, 15 * arcsecond, 2 * arcminute},
      {2000, 1, 1.5, ConverterTheory::New0, 15 * arcsecond, 2 * arcminute},
      {2026, 12, 10.25, ConverterTheory::New0, 15 * arcsecond, 2 * arcminute},
      {2003, 8, 27.4, ConverterTheory::New0, 15 * arcsecond, 2 * arcminute},  // Mars at opposition
      {1987, 4, 10.8, ConverterTheory::Jpl0, 15 * arcsecond, 2 * arcminute},
      {2026, 12, 10.25, ConverterTheory::Jpl0, 15 * arcsecond, 2 * arcminute},
  };
  for (const Case& k : cases) {
    ConverterSettings s = AtUT(k.year, k.month, k.day);
    s.theory = k.theory;
    const Coordinates sun = Set(s, 0, kGeoEquDate);
    const Coordinates mars = Set(s, 4, kGeoEquDate);
    // ERFA at the converter's own theory date, taken as TT.
    double pvh[2][3], pvb[2][3], pm[2][3], rbp[3][3];
    eraEpv00(ctx.jd, 0.0, pvh, pvb);
    eraPlan94(ctx.jd, 0.0, 4, pm);
    eraPmat06(ctx.jd, 0.0, rbp);
    double toSun[3], toMars[3], sunDate[3], marsDate[3];
    for (int i = 0; i < 3; ++i) {
      toSun[i] = -pvh[0][i];
      toMars[i] = pm[0][i] - pvh[0][i];
    }
    eraRxp(rbp, toSun, sunDate);
    eraRxp(rbp, toMars, marsDate);
    double ra, dec;
    const std::string at = std::to_string(k.year) + "-" + std::to_string(k.month) + "-" + std::to_string(k.day) +
                           (k.theory == ConverterTheory::New0 ? " New0" : " JPL0");
    eraC2s(sunDate, &ra, &dec);
    EXPECT_NEAR(AngleDiff(sun.L, eraAnp(ra) * kRadToDeg) * std::cos(dec), 0.0, k.sunTol) << at << " Sun RA";
    EXPECT_NEAR(sun.B - dec * kRadToDeg, 0.0, k.sunTol) << at << " Sun Dec";
    EXPECT_NEAR(sun.R / (eraPm(sunDate) * ERFA_DAU / 1e6), 1.0, 1e-4) << at << " Sun distance";
    eraC2s(marsDate, &ra, &dec);
    EXPECT_NEAR(AngleDiff(mars.L, eraAnp(ra) * kRadToDeg) * std::cos(dec), 0.0, k.marsTol) << at << " Mars RA";
    EXPECT_NEAR(mars.B - dec * kRadToDeg, 0.0, k.marsTol) << at << " Mars Dec";
  }
}

// Sidereal time against ERFA's GMST (IAU 1982) to 0.1 s, east and west of
// Greenwich, and the hour angle of the shown right ascension.
TEST_F(ConverterTest, SiderealTimeAndHourAngleAgreeWithErfa) {
  struct Case {
    int year, month;
    double day, lon;
  };
  const Case cases[] = {{2000, 1, 1.375, 44.5},   {1987, 4, 10.80625, -77.065556}, {1957, 10, 4.81, 63.3},
                        {2026, 12, 10.9, 179.9}, {1601, 1, 1.5, -0.5}};
  for (const Case& k : cases) {
    const Coordinates sun = Set(AtUT(k.year, k.month, k.day, k.lon), 0, kGeoEquDate);
    const double gmst = eraGmst82(ctx.jdUT, 0.0) * kRadToDeg / 15.0;
    double lmst = std::fmod(gmst + k.lon / 15.0 + 48.0, 24.0);
    EXPECT_NEAR(std::remainder(ctx.gmst - gmst, 24.0), 0.0, 0.1 * secondOfTime) << k.year << " GMST";
    EXPECT_NEAR(std::remainder(ctx.lmst - lmst, 24.0), 0.0, 0.1 * secondOfTime) << k.year << " LMST";
    EXPECT_GE(ctx.lmst, 0.0);
    EXPECT_LT(ctx.lmst, 24.0);
    Conversion c;
    SourceTexts src;
    src.l = Text(sun.L), src.b = Text(sun.B), src.r = Text(sun.R);
    ASSERT_FALSE(ConvertCoordinates(ctx, kGeoEquDate, kGeoEquDate, Representation::Polar, src, &c));
    EXPECT_NEAR(AngleDiff(c.tau, lmst * 15.0 - sun.L), 0.0, 1.5 * arcsecond) << k.year << " TAU";
  }
}

// Meeus, Astronomical Algorithms (2nd ed.), example 12.b: the mean sidereal
// time at Greenwich on 1987 April 10, 19h21m00s UT is 8h34m57.0896s.
TEST_F(ConverterTest, MeanSiderealTimeOfMeeusExample12b) {
  Set(AtUT(1987, 4, 10 + (19 + 21 / 60.0) / 24.0), 0, kGeoEquDate);
  EXPECT_NEAR(ctx.gmst, 8 + 34 / 60.0 + 57.0896 / 3600.0, 0.1 * secondOfTime);
}

// Meeus, example 13.b: Venus at α = 23h09m16.641s, δ = −6°43′11.61″ seen from
// Washington (77°03′56″ W, 38°55′17″ N) on 1987 April 10, 19h21m00s UT is at
// hour angle 64.352133°, azimuth 68.0337° (from the south, westward) and
// altitude 15.1249°. The place is apparent, so the book uses the apparent
// sidereal time 8h34m56.853s; the converter's is mean, and the test gives it
// the book's value. The book's hour angle takes the longitude as 5h08m15.7s.
TEST_F(ConverterTest, HorizontalPlaceOfMeeusExample13b) {
  const double lon = -(5 + 8 / 60.0 + 15.7 / 3600.0) * 15.0, lat = 38 + 55 / 60.0 + 17 / 3600.0;
  const CoordSystem topoEqu{Origin::Topocentric, Plane::Equator, Equinox::OfDate};
  const CoordSystem topoHor{Origin::Topocentric, Plane::Horizon, Equinox::OfDate};
  SourceTexts venus;
  double alfa = 0.0, delta = 0.0;
  ASSERT_FALSE(ReadAngle(AngleUnit::Hms, false, {"23", "9", "16.641"}, "", &alfa));
  ASSERT_FALSE(ReadAngle(AngleUnit::Dms, true, {"6", "43", "11.61"}, "", &delta));
  venus.l = Text(alfa);
  venus.b = Text(delta);
  venus.r = "100000";  // 1e8 km
  Set(AtUT(1987, 4, 10 + (19 + 21 / 60.0) / 24.0, lon, lat), kObjectTyped, topoEqu, Representation::Polar, venus);
  ctx.lmst = 8 + 34 / 60.0 + 56.853 / 3600.0 + lon / 15.0;
  Conversion c;
  ASSERT_FALSE(ConvertCoordinates(ctx, topoEqu, topoHor, Representation::Polar, venus, &c));
  EXPECT_NEAR(c.shown.L, 68.0337, 0.00005);
  EXPECT_NEAR(c.shown.B, 15.1249, 0.00005);
  EXPECT_NEAR(AngleDiff(c.tau, 64.352133), 0.0, 0.0000005);
  EXPECT_NEAR(c.shown.R, 100000.0, 1e-6);
}

// Every valid combination converted directly to every other gives the same
// vector as the way through a third one, and a combination into itself
// returns the input.
TEST_F(ConverterTest, ConversionDoesNotDependOnThePath) {
  Set(AtUT(1987, 4, 10.8, -77.07, 38.92), kObjectTyped, CoordSystem{});
  std::vector<CoordSystem> all;
  for (Origin o : {Origin::Heliocentric, Origin::Geocentric, Origin::Topocentric})
    for (Plane p : {Plane::Ecliptic, Plane::Equator, Plane::Horizon})
      for (Equinox e : {Equinox::OfDate, Equinox::J2000})
        if (p != Plane::Horizon || o == Origin::Topocentric) all.push_back(CoordSystem{o, p, e});
  const Vec3 start{123456789e3, -98765432e3, 1234567e3};  // m
  auto close = [](Vec3 a, Vec3 b) {
    const double d = std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
    return d <= 1e-6 * std::hypot(a.x, a.y, a.z) * 1e-6 + 1e-3;  // a millimetre
  };
  for (const CoordSystem& a : all) {
    const Vec3 v = FromEclipticOfDate(ctx, a, start);  // a vector given in system a
    for (const CoordSystem& b : all) {
      const Vec3 direct = FromEclipticOfDate(ctx, b, ToEclipticOfDate(ctx, a, v));
      for (const CoordSystem& c : all) {
        const Vec3 viaC = FromEclipticOfDate(ctx, c, ToEclipticOfDate(ctx, a, v));
        const Vec3 twoSteps = FromEclipticOfDate(ctx, b, ToEclipticOfDate(ctx, c, viaC));
        ASSERT_TRUE(close(direct, twoSteps));
      }
    }
    EXPECT_TRUE(close(FromEclipticOfDate(ctx, a, ToEclipticOfDate(ctx, a, v)), v));
  }
  // Through the fields: a heliocentric ecliptic source into the same system.
  SourceTexts src;
  Conversion c;
  ASSERT_FALSE(ConvertCoordinates(ctx, CoordSystem{}, CoordSystem{}, Representation::Cartesian, src, &c));
  EXPECT_EQ(c.shown.X, 1000000.0);
  EXPECT_EQ(c.shown.Y, 0.0);
  EXPECT_EQ(c.shown.Z, 1000.0);
  ASSERT_FALSE(ConvertCoordinates(ctx, CoordSystem{}, CoordSystem{}, Representation::Polar, src, &c));
  EXPECT_NEAR(c.shown.L, 45.0, 1e-6);
  EXPECT_NEAR(c.shown.B, 10.0, 1e-6);
  EXPECT_NEAR(c.shown.R, 1000000.0, 1e-6);
}

// Horizontal coordinates belong to the topocentric system: asked for
// otherwise, a message and no change.
TEST_F(ConverterTest, HorizonOnlyTopocentric) {
  const Coordinates before = Set(AtUT(2000, 1, 1.5), 4, CoordSystem{});
  const Model saved = m;
  for (Origin o : {Origin::Heliocentric, Origin::Geocentric}) {
    Coordinates c{1, 2, 3, 4, 5, 6};
    ConverterContext untouched = ctx;
    auto r = SetObjectCoordinates(m, AtUT(2010, 1, 1.5), 4, CoordSystem{o, Plane::Horizon, Equinox::OfDate},
                                  Representation::Polar, {}, &untouched, &c);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, kMsgHorizonSource);
    EXPECT_EQ(r->title, kTitle0);
    EXPECT_EQ(c.X, 1.0);
    EXPECT_EQ(untouched.jd, ctx.jd);
    EXPECT_EQ(m.JD, saved.JD);
    EXPECT_EQ(m.X, saved.X);
    Conversion conv;
    conv.tau = 7;
    r = ConvertCoordinates(ctx, CoordSystem{}, CoordSystem{o, Plane::Horizon, Equinox::OfDate},
                           Representation::Polar, {}, &conv);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, kMsgHorizonTarget);
    EXPECT_EQ(conv.tau, 7.0);
  }
  (void)before;
}

// The default date 1.5 January 2000 local time in zone 3 is 1.375 January UT;
// J->G shows the local date again.
TEST_F(ConverterTest, TimeZone) {
  double jd = 0;
  ASSERT_FALSE(ConverterDateToJD(m, ConverterSettings{}, &jd));
  EXPECT_EQ(m.DateD, 1.375f);
  EXPECT_EQ(m.DateM, 1);
  EXPECT_EQ(m.DateY, 2000);
  EXPECT_EQ(jd, 2451544.875);
  CalendarDate local;
  ASSERT_FALSE(ConverterJDToDate(m, "2451544.875", "3", &local));
  EXPECT_EQ(local.year, 2000);
  EXPECT_EQ(local.month, 1);
  EXPECT_EQ(local.day, 1.5f);
  EXPECT_EQ(m.OutD, 1.375f);  // the model keeps the UT date
  // Across a month end: 31 December 22h UT is 1 January 1h in zone 3.
  ASSERT_FALSE(ConverterJDToDate(m, "2451544.4166666667", "3", &local));
  EXPECT_EQ(local.year, 2000);
  EXPECT_EQ(local.month, 1);
  EXPECT_NEAR(local.day, 1.0 + 1.0 / 24.0, 1e-6);
  // Pressing "Пересчитать" by 31 days moves the local date fields.
  ConverterSettings s;
  ASSERT_FALSE(AdvanceDate(&s, 2451544.875, "31"));
  EXPECT_EQ(s.day, "1.5");
  EXPECT_EQ(s.month, "2");
  EXPECT_EQ(s.year, "2000");
}

TEST_F(ConverterTest, Messages) {
  struct Case {
    const char* what;
    ActionResult r;
    const char* text;
  };
  ConverterSettings badDay, badZone, badObs;
  badDay.day = "x";
  badZone.zone = "";
  badObs.obsB = "север";
  ConverterSettings month13;
  month13.month = "13";
  SourceTexts badSource;
  badSource.r = "1e";
  double jd = 0, deg = 0;
  CalendarDate local;
  Coordinates c;
  Conversion conv;
  ConverterSettings s;
  const Case cases[] = {
      {"G->J day", ConverterDateToJD(m, badDay, &jd), kMsgBadDate},
      {"G->J month 13", ConverterDateToJD(m, month13, &jd), kMsgBadDate},
      {"J->G", ConverterJDToDate(m, "2451545,5,", "3", &local), kMsgBadJD},
      {"J->G zone", ConverterJDToDate(m, "2451545", "три", &local), kMsgBadJD},
      {"set zone", SetObjectCoordinates(m, badZone, 4, {}, Representation::Polar, {}, &ctx, &c), kMsgConverterBadData},
      {"set observer", SetObjectCoordinates(m, badObs, 4, {}, Representation::Polar, {}, &ctx, &c),
       kMsgConverterBadData},
      {"set typed", SetObjectCoordinates(m, {}, kObjectTyped, {}, Representation::Polar, badSource, &ctx, &c),
       kMsgBadSource},
      {"convert", ConvertCoordinates(ctx, {}, {}, Representation::Polar, badSource, &conv), kMsgBadSource},
      {"days", AdvanceDate(&s, 2451545, "5,25 дня"), kMsgBadDays},
      {"angle", ReadAngle(AngleUnit::Dms, false, {"1", "", "0"}, "0", &deg), kMsgConverterBadData},
      {"angle decimal", ReadAngle(AngleUnit::Radians, false, {"1", "2", "3"}, "pi", &deg), kMsgConverterBadData},
  };
  for (const Case& k : cases) {
    ASSERT_TRUE(k.r) << k.what;
    EXPECT_EQ(k.r->text, k.text) << k.what;
    EXPECT_EQ(k.r->title, kTitle0) << k.what;
  }
}

// With the ET−UT box the theories run ΔT later: the Moon moves on by about
// ΔT times its mean motion (13.176°/day), the Sun hardly.
TEST_F(ConverterTest, EtMinusUtMovesTheMoon) {
  const CoordSystem geoEcl{Origin::Geocentric, Plane::Ecliptic, Equinox::OfDate};
  ConverterSettings s;
  const Coordinates ut = Set(s, kObjectMoon, geoEcl);
  const double deltaT = ctx.deltaT;
  EXPECT_NEAR(deltaT, 24.35 + 72.32 * 0.99998 + 29.95 * 0.99998 * 0.99998, 0.01);
  s.etUt = true;
  const Coordinates et = Set(s, kObjectMoon, geoEcl);
  EXPECT_EQ(ctx.jd, ctx.jdUT + deltaT / 86400.0);
  const double mean = 1336.855225 * 360.0 / 36525.0 * deltaT / 86400.0;  // degrees
  EXPECT_NEAR(AngleDiff(et.L, ut.L), mean, 0.25 * mean);
  EXPECT_NEAR(et.R, 384.4, 1e-6);  // the Moon's fixed distance from the Earth, thousand km
  EXPECT_NEAR(ut.R, 384.4, 1e-6);
}

// The angle tool: readings and the other units (Meeus' Venus of example 13.b).
TEST(AngleTool, ReadAndShow) {
  struct Case {
    AngleUnit unit;
    bool minus;
    std::array<std::string, 3> parts;
    std::string decimal;
    double degrees;
  };
  const Case cases[] = {
      {AngleUnit::Hms, false, {"23", "9", "16.641"}, "", 347.3193375},
      {AngleUnit::Dms, true, {"6", "43", "11.61"}, "", -6.719891666666667},
      {AngleUnit::Degrees, false, {"", "", ""}, "-0.5", -0.5},
      {AngleUnit::Radians, true, {"", "", ""}, "3.14159265359", -180.0},
      {AngleUnit::Dms, false, {"0", "30", "0"}, "", 0.5},
  };
  for (const Case& k : cases) {
    double deg = 0;
    ASSERT_FALSE(ReadAngle(k.unit, k.minus, k.parts, k.decimal, &deg));
    EXPECT_NEAR(deg, k.degrees, 1e-12);
  }
  AngleShown h = ShowAngle(347.3193375, AngleUnit::Hms);
  EXPECT_FALSE(h.negative);
  EXPECT_EQ(h.parts[0], 23.0);
  EXPECT_EQ(h.parts[1], 9.0);
  EXPECT_NEAR(h.parts[2], 16.641, 1e-9);
  AngleShown d = ShowAngle(-6.719891666666667, AngleUnit::Dms);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(d.parts[0], 6.0);
  EXPECT_EQ(d.parts[1], 43.0);
  EXPECT_NEAR(d.parts[2], 11.61, 1e-9);
  EXPECT_NEAR(ShowAngle(-180.0, AngleUnit::Radians).decimal, -3.14159265359, 1e-12);
  EXPECT_NEAR(ShowAngle(-0.5, AngleUnit::Dms).parts[1], 30.0, 1e-12);
  // Just below a whole degree the seconds carry instead of showing 60″.
  AngleShown carry = ShowAngle(1.0 - 1e-13, AngleUnit::Dms);
  EXPECT_EQ(carry.parts[0], 1.0);
  EXPECT_EQ(carry.parts[1], 0.0);
  EXPECT_EQ(carry.parts[2], 0.0);
}

// Polar angles of awkward vectors: the axes and the origin.
TEST(ConverterShown, PolarOfAxesAndOrigin) {
  struct Case {
    Vec3 v;
    double L, B, R;
  };
  const Case cases[] = {{{0, 0, 0}, 0, 0, 0},      {{0, 0, -2}, 0, -90, 2},  {{0, 1, 0}, 90, 0, 1},
                        {{0, -1, 0}, 270, 0, 1},   {{-1, 0, 0}, 180, 0, 1},  {{1, -1e-9, 0}, 360 - 5.7e-8, 0, 1}};
  for (const Case& k : cases) {
    const Coordinates c = Shown(k.v);
    EXPECT_NEAR(c.L, k.L, 2e-6);
    EXPECT_NEAR(c.B, k.B, 1e-6);
    EXPECT_NEAR(c.R, k.R, 1e-6);
  }
}

}  // namespace
}  // namespace torvik
