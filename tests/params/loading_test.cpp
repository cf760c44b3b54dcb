#include "params/loading.h"

#include <gtest/gtest.h>

#include "core/calendar.h"
#include "core/units.h"
#include "fixture.h"
#include "params/grid.h"
#include "params/initial.h"

namespace torvik::test {
namespace {

using Loading = StartedModel;

TEST_F(Loading, StartUpState) {
  EXPECT_EQ(m.DateY, 1601);
  EXPECT_EQ(m.DateM, 1);
  EXPECT_EQ(m.DateD, 1.5f);
  EXPECT_EQ(m.JDstart, 2305814.0);  // worked value of the calendar
  EXPECT_EQ(m.JD0, 2451545.0);
  for (int k = 0; k <= 9; ++k) EXPECT_EQ(m.InSys[k], 1) << k;
  EXPECT_EQ(m.InSys[10], 0);
  EXPECT_EQ(m.kPair[0][10], 0);
  EXPECT_EQ(m.kPair[3][5], 1);
  EXPECT_EQ(m.mSol(), 1.98892e30);
  EXPECT_EQ(m.mPl[5], 1.98892e30 / 1047.3486);
  EXPECT_EQ(m.km[0], 1.0);
  for (int k = 1; k <= 10; ++k) {
    EXPECT_GT(m.AlfaL[k], 0.0) << k;
    EXPECT_LE(m.AlfaL[k], 2 * m.Pi) << k;
    // The Kepler solution of the initial data has added one turn to a negative M.
    const double anomM = m.AlfaL[k] - m.AlfaP0[k];
    EXPECT_DOUBLE_EQ(m.AnomM[k], anomM < 0 ? anomM + 2 * m.Pi : anomM) << k;
    EXPECT_DOUBLE_EQ(m.V0sr[k], m.W0sr[k] * m.R0sr[k]) << k;
  }
  EXPECT_EQ(m.R0sr[10], m.Lae * 50.01);  // Ксена's placeholder
  EXPECT_EQ(m.km[10], 9888777);
  EXPECT_EQ(m.AlfaP0[10], m.Pi / 2);
}

// The JPL approximate elements at J2000 (T = 0) as published, shown truncated
// to six decimals: Mercury L0 = 252.25032350°, e = 0.20563593, i = 7.00497902°,
// ϖ = 77.45779628°, Ω = 48.33076593°.
TEST_F(Loading, GridShowsPublishedJ2000Elements) {
  ASSERT_FALSE(Load(m, LoadOption::Jpl, DateInputs(2000, 1, 1.5), folder).has_value());
  const GridTexts t = GridShownTexts(m, GridMode::Elements);
  EXPECT_EQ(t[0][1], "252.250323");
  EXPECT_EQ(t[3][1], "0.205635");
  EXPECT_EQ(t[4][1], "7.004979");
  EXPECT_EQ(t[5][1], "77.457796");
  EXPECT_EQ(t[6][1], "48.330765");
  EXPECT_EQ(t[1][1], "57909.226538");  // 0.38709927 AU of 149597870691 m, metres truncated
  EXPECT_EQ(GridCaptions(GridMode::Elements)[0], std::string("AlfaL, град"));
  EXPECT_EQ(GridCaptions(GridMode::InitialData)[1], std::string("Y, тыс.км "));
  EXPECT_EQ(GridCaptions(GridMode::InitialData)[6], std::string("mSol/mPl"));

  m.X[4] = -1234567.8915;  // truncation toward zero, not floor
  m.VX[4] = -0.0000019;
  const GridTexts s = GridShownTexts(m, GridMode::InitialData);
  EXPECT_EQ(s[0][4], "-1.234567");
  EXPECT_EQ(s[3][4], "-1E-06");
  EXPECT_EQ(s[6][5], "1047.3486");
}

TEST_F(Loading, EpochAndMassesPerOption) {
  const struct {
    LoadOption option;
    double jd0;  // 0: the JD of the typed date
    double mSol, gamma, kmJupiter;
  } cases[] = {
      {LoadOption::Jpl, 2451545.0, 1.98892e30, 6.67259e-11, 1047.3486},
      {LoadOption::Mox, 2451545.0, 1.98892e30, 6.67259e-11, 1047.3486},
      {LoadOption::Newcomb, 0.0, 1.98976e30, 6.67006e-11, 1047.355},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(LoadOptionCaption(c.option));
    ASSERT_FALSE(Load(m, c.option, DateInputs(1750, 6, 15.25), folder).has_value());
    EXPECT_EQ(m.JDstart, DateToJD(1750, 6, 15.25f));
    EXPECT_EQ(m.JD0, c.jd0 == 0.0 ? m.JDstart : c.jd0);
    EXPECT_EQ(m.mSol(), c.mSol);
    EXPECT_EQ(m.gamma, c.gamma);
    EXPECT_EQ(m.km[5], c.kmJupiter);
    EXPECT_EQ(m.mPl[5], c.mSol / c.kmJupiter);
  }
}

TEST_F(Loading, BadDateKeepsWhatWasTyped) {
  LoadInputs in = DateInputs(1700, 3, 1);
  in.day = "1.5x";
  const Model before = m;
  const auto r = Load(m, LoadOption::Jpl, in, folder);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Задайте правильно данные");
  EXPECT_EQ(r->title, "Torvik6");
  EXPECT_EQ(m.DateY, 1700);  // year and month were read before the day
  EXPECT_EQ(m.DateM, 3);
  EXPECT_EQ(m.AlfaL, before.AlfaL);
  EXPECT_EQ(m.JDstart, before.JDstart);
}

LoadInputs ScreenInputs(const Model& m, GridMode mode) {
  LoadInputs in = DateInputs(1601, 1, 1.5);
  in.mSol = "2E+30";
  in.gamma = "6.7e-11";
  in.laeKm = "149597870";
  in.gridMode = mode;
  in.grid = GridShownTexts(m, mode);
  return in;
}

TEST_F(Loading, ScreenLoadKeepsTheOtherHalf) {
  const Model before = m;
  LoadInputs in = ScreenInputs(m, GridMode::Elements);
  in.grid[1][2] = "100000";  // Венера at 1e8 km
  ASSERT_FALSE(Load(m, LoadOption::Screen, in, folder).has_value());
  EXPECT_EQ(m.mSol(), 2e30);
  EXPECT_EQ(m.gamma, 6.7e-11);
  EXPECT_EQ(m.Lae, 149597870000.0);
  EXPECT_EQ(m.R0sr[2], 1e11);
  EXPECT_NEAR(m.Eks0[1], before.Eks0[1], 1e-6);
  EXPECT_EQ(m.X0, before.X0);  // initial data untouched
  EXPECT_EQ(m.VY0, before.VY0);
  EXPECT_EQ(m.km, before.km);
  EXPECT_EQ(m.mPl[5], 2e30 / 1047.3486);

  const Model mid = m;
  in = ScreenInputs(m, GridMode::InitialData);
  in.grid[0][3] = "-42602,5";  // the locale's decimal comma
  ASSERT_FALSE(Load(m, LoadOption::Screen, in, folder).has_value());
  EXPECT_EQ(m.X0[3], -42602.5e6);
  EXPECT_EQ(m.X[3], m.X0[3]);
  EXPECT_EQ(m.R0sr, mid.R0sr);  // elements untouched
  EXPECT_EQ(m.Eks0, mid.Eks0);
}

TEST_F(Loading, ScreenLoadFailures) {
  const Model before = m;
  LoadInputs in = ScreenInputs(m, GridMode::InitialData);
  in.grid[2][4] = "z";  // Марс Z: bodies 0..3 and X, Y of Марс are read first
  in.grid[0][1] = "1";
  in.grid[0][4] = "2";
  in.grid[0][5] = "3";
  auto r = Load(m, LoadOption::Screen, in, folder);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Ошибка чтения данных");
  EXPECT_EQ(r->title, "Torvik6.0");
  EXPECT_EQ(m.X0[1], 1e6);
  EXPECT_EQ(m.X0[4], 2e6);
  EXPECT_EQ(m.X0[5], before.X0[5]);

  in = ScreenInputs(m, GridMode::InitialData);
  in.grid[6][7] = "0";  // km of Уран: the mass division fails
  r = Load(m, LoadOption::Screen, in, folder);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Ошибка чтения данных");
  EXPECT_EQ(m.mPl[6], 2e30 / m.km[6]);  // bodies before Уран completed
}

TEST_F(Loading, DateButtonsAndShownFields) {
  ASSERT_FALSE(JDFieldToDate(m, "2451545").has_value());
  EXPECT_EQ(m.OutY, 2000);
  EXPECT_EQ(m.OutM, 1);
  EXPECT_EQ(m.OutD, 1.5f);
  ASSERT_FALSE(DateFieldsToJD(m, "4", "10", "1582").has_value());
  EXPECT_EQ(m.JD, 2299159.5);  // the last Julian day
  for (const char* bad : {"", "x", "1e300"}) {
    const auto r = JDFieldToDate(m, bad);
    ASSERT_TRUE(r.has_value()) << bad;
    EXPECT_EQ(r->text, "Задайте правильно данные");
    EXPECT_EQ(r->title, "Torvik6");
  }
  EXPECT_TRUE(DateFieldsToJD(m, "1", "1", "3e9").has_value());  // no 32-bit year

  const ShownLoadFields f = ShowLoadFields(m);
  EXPECT_EQ(f.day, "4");
  EXPECT_EQ(f.year, "1582");
  EXPECT_EQ(f.jd, "2305814");  // JDstart of the start-up load, not the converted JD
  EXPECT_EQ(f.mSol, "1.98892E+30");
  EXPECT_EQ(f.gamma, "6.67259E-11");
  EXPECT_EQ(f.laeKm, "149597870.691");
  EXPECT_EQ(f.fileNumber, "1");
  EXPECT_EQ(f.outDay, "1.5");
}

}  // namespace
}  // namespace torvik::test
