#include <gtest/gtest.h>

#include <cmath>

#include "core/calendar.h"
#include "core/model.h"
#include "core/textfile.h"
#include "params/loading.h"
#include "params/ssvelocity.h"

namespace torvik {
namespace {

constexpr double kMetrePerS = 1e-3;  // in km/s

class SsVelocity : public ::testing::Test {
 protected:
  SsVelocity() { SetConstants(m); }
  Model m;
};

// The grey reference vector: 370 km/s toward α = 171°, β = −11.4° (the CMB
// dipole in ecliptic coordinates) has the components below, computed by hand
// with cos β = 0.980271, cos α = −0.987688, sin α = 0.156434, sin β = −0.197657.
TEST_F(SsVelocity, ReferenceVectorAndItsCaption) {
  VelocityDecomposition d;
  ASSERT_FALSE(DecomposeVelocities(m, {}, "50", &d));
  EXPECT_NEAR(d.reference.vx, -358.2349, 1e-3);
  EXPECT_NEAR(d.reference.vy, 56.7384, 1e-3);
  EXPECT_NEAR(d.reference.vz, -73.1331, 1e-3);
  EXPECT_EQ(ReferenceComponentsText({-358.24899, 56.7, -0.0004}),
            "VX = -358.248      VY = 56.7      VZ = 0");
  // All rows unchecked: the sum is the null vector.
  EXPECT_EQ(d.sum.vx, 0.0);
  EXPECT_EQ(d.sum.vz, 0.0);
}

TEST_F(SsVelocity, ReversedRowAndFailuresKeepTheRowsDone) {
  std::array<VelocityRowInput, kVelocityRows> rows;
  rows[0] = {true, "19.4", "270", "53", false};
  rows[1] = {true, "225", "347", "60", true};
  rows[3] = {true, "635", "x", "-31", false};
  VelocityDecomposition d;
  auto r = DecomposeVelocities(m, rows, "50", &d);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->text, "Введите правильно данные");
  EXPECT_EQ(r->title, "Torvik5");
  ASSERT_TRUE(d.rows[0] && d.rows[1]);
  EXPECT_FALSE(d.rows[3]);
  EXPECT_FALSE(d.complete);
  const Velocity3 plus = DecomposeVelocity(m, 225, 347, 60, 1);
  EXPECT_EQ(d.rows[1]->vx, -plus.vx);
  EXPECT_EQ(d.rows[1]->vz, -plus.vz);
  EXPECT_NEAR(plus.vz, 225 * std::sqrt(3.0) / 2, kMetrePerS);
  // MV divides every drawn component: a scale of 0 or absurd size is refused.
  rows[3].alfa = "172";
  for (const char* mv : {"0", "1e-300", "1e300"}) EXPECT_TRUE(DecomposeVelocities(m, rows, mv, &d)) << mv;
  EXPECT_FALSE(d.rows[0]);
  EXPECT_FALSE(DecomposeVelocities(m, rows, "50", &d));
}

TEST_F(SsVelocity, SystemVelocityAddsToTheInitialVelocities) {
  for (int k = 0; k <= 10; ++k) m.VX0[k] = 100.0 * k;
  ASSERT_FALSE(SetSystemVelocity(m, "1,5", "0", "-2"));
  EXPECT_EQ(m.VX[7], 1500.0 + 700.0);
  EXPECT_EQ(m.VZ[7], -2000.0);
  EXPECT_EQ(m.VX0[7], 700.0);
  ASSERT_FALSE(SetSystemVelocity(m, "0", "0", "0"));
  for (int k = 0; k <= 10; ++k) EXPECT_EQ(m.VX[k], m.VX0[k]);
  EXPECT_TRUE(SetSystemVelocity(m, "0", "", "0"));
  EXPECT_EQ(m.VX[3], m.VX0[3]);  // nothing changed by the failed action
}

TEST(DateButtons, RoundTripAndBadFields) {
  Model m;
  SetConstants(m);
  ASSERT_FALSE(DateFieldsToJD(m, "1.5", "1", "1601"));
  EXPECT_EQ(ShortestText(m.JD), "2305814");
  ASSERT_FALSE(JDFieldToDate(m, "2451545"));
  const ShownLoadFields out = ShowLoadFields(m);
  EXPECT_EQ(out.outYear, "2000");
  EXPECT_EQ(out.outMonth, "1");
  EXPECT_EQ(out.outDay, "1.5");
  struct Bad {
    const char *year, *month, *day;
  };
  // Dates beyond the years -10000..10000 that the calendars and theories serve.
  for (Bad bad : {Bad{"1601", "0", "1"}, Bad{"1601", "13", "1"}, Bad{"", "1", "1"}, Bad{"1e9", "1", "1"},
                  Bad{"10001", "1", "1"}, Bad{"-10001", "12", "31"}, Bad{"2000", "1", "1e30"},
                  Bad{"2000", "1", "33"}, Bad{"2000", "1", "-0.5"}})
    EXPECT_TRUE(DateFieldsToJD(m, bad.day, bad.month, bad.year)) << bad.year << " " << bad.month << " " << bad.day;
  ASSERT_FALSE(DateFieldsToJD(m, "1", "1", "-10000"));
  EXPECT_EQ(m.JD, kMinJD);
  ASSERT_FALSE(DateFieldsToJD(m, "32", "12", "10000"));
  EXPECT_EQ(m.JD, kMaxJD);
  for (const char* bad : {"1e300", "", "5373850.6", "-1931442.6"}) EXPECT_TRUE(JDFieldToDate(m, bad)) << bad;
  ASSERT_FALSE(JDFieldToDate(m, "5373850.5"));
  EXPECT_EQ(m.OutY, 10001);
}

}  // namespace
}  // namespace torvik
