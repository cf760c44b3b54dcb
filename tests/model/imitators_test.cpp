// The imitators' sources against each other: DE405 (the full 1960–2060 files)
// against the APC library, the comparison table, and the element sources.
#include <gtest/gtest.h>

#include <cmath>

#include "core/model.h"
#include "model/compare.h"
#include "model/imitators.h"
#include "planpos/planety.h"
#include "tests/model/de405_data.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

constexpr double kArcsecond = 1.0 / 3600.0;  // degrees
constexpr double kKilometre = 1.0;           // planety gives km

Model NewModel() {
  Model m;
  SetConstants(m);
  return m;
}

// Heliocentric DE405 L, B (degrees) and R (km) of body k at jd.
void De405Helio(Model& m, const fs::path& folder, int k, double jd, double out[3]) {
  De405Reader r;
  ASSERT_FALSE(r.Locate(folder, jd));
  ASSERT_FALSE(r.Evaluate(m, k, jd));
  const double x = m.X[k] - m.X[0], y = m.Y[k] - m.Y[0], z = m.Z[k] - m.Z[0];
  out[0] = std::atan2(y, x) * 180.0 / M_PI;
  out[1] = std::atan2(z, std::hypot(x, y)) * 180.0 / M_PI;
  out[2] = std::sqrt(x * x + y * y + z * z) / 1000.0;
}

// Agreement of VSOP87 (and Meeus' Pluto) with DE405 over 1960–2060, as
// measured on a 97-day grid: 0.05" for the inner planets, 0.2"–0.4" for
// Jupiter, Saturn and Pluto, 1.7" and 3.1" for Uranus and Neptune, whose
// VSOP87 was fitted to the older DE200. The Earth of the library is the
// Earth, that of DE405 the Earth–Moon barycentre: 4700 km apart, up to 6.5"
// seen from the Sun.
TEST(Apc, AgreesWithDe405From1960To2060) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty());
  Model m = NewModel();
  const double dates[] = {2436934.5, 2441000.25, 2446100.0, 2451545.0, 2455197.5, 2460000.75, 2466000.0, 2473400.0};
  const double tolAngle[10] = {0, 0.1, 0.1, 7.0, 0.1, 0.5, 0.5, 2.5, 4.0, 0.5};  // arcsec
  const double tolR[10] = {0, 20, 20, 5000, 20, 300, 1000, 12000, 20000, 1500};  // km
  for (int k = 1; k <= 9; ++k) {
    for (double jd : dates) {
      if (jd < PlanetyRange(k).first || jd > PlanetyRange(k).last) continue;
      double want[3] = {0, 0, 0}, got[3] = {0, 0, 0};
      De405Helio(m, folder, k, jd, want);
      planety(k, jd, got);
      const double dL = std::remainder(got[0] - want[0], 360.0) * std::cos(want[1] * M_PI / 180.0);
      const double dB = got[1] - want[1];
      EXPECT_LT(std::hypot(dL, dB), tolAngle[k] * kArcsecond)
          << "body " << k << " JD " << jd << " want L " << want[0] << " B " << want[1] << " got L " << got[0] << " B "
          << got[1] << ": " << std::hypot(dL, dB) / kArcsecond << "\"";
      EXPECT_NEAR(got[2], want[2], tolR[k] * kKilometre) << "body " << k << " JD " << jd;
    }
  }
}

// Outside the theory's years planety falls back to the JPL elements.
TEST(Apc, FallsBackToTheJplElementsOutsideTheTheory) {
  Model m = NewModel();
  for (auto [k, jd] : {std::pair{9, 2305447.5}, {9, 2500000.0}, {5, 1721057.5}, {1, 800000.0}}) {
    ASSERT_TRUE(jd < PlanetyRange(k).first || jd > PlanetyRange(k).last);
    m.JD = jd;
    ASSERT_TRUE(JplElementsPosition(m, k));
    double out[3];
    planety(k, jd, out);
    const double r = std::sqrt(m.X[k] * m.X[k] + m.Y[k] * m.Y[k] + m.Z[k] * m.Z[k]);
    EXPECT_NEAR(out[2], r / 1000.0, 1e-6 * r / 1000.0) << k;
    EXPECT_NEAR(std::remainder(out[0] - std::atan2(m.Y[k], m.X[k]) * 180.0 / M_PI, 360.0), 0.0, 1e-9) << k;
  }
  // Ксена: a = 50.01 AU on an almost circular orbit.
  double out[3] = {0, 0, 0};
  planety(10, 2451545.0, out);
  EXPECT_NEAR(out[2], 50.01 * 149597870.691, 0.0011 * 50.01 * 149597870.691);
  // The Sun is at the centre; other indices leave the buffer alone.
  double sun[3] = {1, 2, 3}, none[3] = {7, 8, 9};
  planety(0, 2451545.0, sun);
  planety(11, 2451545.0, none);
  EXPECT_EQ(sun[2], 0.0);
  EXPECT_EQ(none[0], 7.0);
}

TEST(Apc, ImitatorPutsTheSunAtTheOriginAndThePlanetAtLBR) {
  Model m = NewModel();
  m.X[0] = 5.0;
  m.JD = 2451545.0;
  auto imitator = MakeImitator(ImitatorKind::Apc);
  ASSERT_FALSE(imitator->Start(m, fs::path(), 4));
  ASSERT_FALSE(imitator->ImitatePosition(m, 4));
  double out[3];
  planety(4, m.JD, out);
  EXPECT_EQ(m.X[0], 0.0);
  EXPECT_NEAR(std::sqrt(m.X[4] * m.X[4] + m.Y[4] * m.Y[4] + m.Z[4] * m.Z[4]), out[2] * 1000.0, 1.0);
  EXPECT_NEAR(std::asin(m.Z[4] / (out[2] * 1000.0)) * 180.0 / M_PI, out[1], 1e-9);
}

TEST(Compare, TableAtJ2000) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty());
  Model m = NewModel();
  Comparison c;
  ASSERT_FALSE(CompareImitators(m, folder, 1, 2451545.0, c));
  // The ecliptic of date is that of J2000 at J2000.
  EXPECT_DOUBLE_EQ(c.rows[kNewDate].L, c.rows[kNew2000].L);
  EXPECT_DOUBLE_EQ(c.rows[kNewDate].X, c.rows[kNew2000].X);
  // DE405 against the library: within the theory's accuracy.
  EXPECT_LT(std::fabs(c.diffs[1].dL), 0.1);
  EXPECT_LT(std::fabs(c.diffs[1].dB), 0.1);
  // Against the approximate elements: arc seconds to minutes.
  EXPECT_LT(std::fabs(c.diffs[0].dL), 600.0);
  EXPECT_GT(std::fabs(c.diffs[0].dL) + std::fabs(c.diffs[0].dB), 0.01);
  // The barycentric and heliocentric tuples differ by the Sun's offset.
  EXPECT_EQ(m.X[0], 0.0);  // Mox, the last source, leaves the Sun at the origin
  De405Reader r;
  ASSERT_FALSE(r.Locate(folder, 2451545.0));
  ASSERT_FALSE(r.Evaluate(m, 1, 2451545.0));
  EXPECT_NEAR(c.rows[kJplBary].X - c.rows[kJplSun].X, m.X[0] / m.MK, 1e-6);
  EXPECT_NEAR(c.rows[kJplBary].Z - c.rows[kJplSun].Z, m.Z[0] / m.MK, 1e-6);
  EXPECT_EQ(ComparisonLines(c).size(), 33u);
  EXPECT_EQ(ComparisonLines(c)[0], " JD= 2451545    планата № 1");
}

TEST(Compare, Messages) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty());
  Model m = NewModel();
  Comparison c;
  auto sun = CompareImitators(m, folder, 0, 2451545.0, c);
  ASSERT_TRUE(sun);
  EXPECT_EQ(sun->text, "Для Солнца нет проверки");
  EXPECT_EQ(sun->title, "Torvik6.0");
  auto early = CompareImitators(m, folder, 2, 2436000.0, c);
  ASSERT_TRUE(early);
  EXPECT_EQ(early->text, "В файле нет такой даты");
  EXPECT_EQ(early->title, "Torvik6");
  auto xena = CompareImitators(m, folder, 10, 2451545.0, c);  // no DE405 series
  ASSERT_TRUE(xena);
  EXPECT_EQ(xena->text, "Ошибка вычислений");
  EXPECT_EQ(xena->title, "Torvik6.0");
}

// The longitude difference is taken the short way across 0°.
TEST(Compare, LongitudeDifferenceWrapsThroughZero) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty());
  Model m = NewModel();
  Comparison c;
  // Scan for a date at which some source is on either side of 0° (Mercury
  // crosses it every 88 days).
  bool seen = false;
  for (double jd = 2451545.0; jd < 2451545.0 + 100 && !seen; jd += 0.05) {
    ASSERT_FALSE(CompareImitators(m, folder, 1, jd, c));
    for (const auto& d : c.diffs) EXPECT_LT(std::fabs(d.dL), 3600.0) << d.label << " JD " << jd;
    for (int i = 0; i < kCompareRows; ++i)
      for (int j = 0; j < kCompareRows; ++j) seen = seen || std::fabs(c.rows[i].L - c.rows[j].L) > 180.0;
  }
  EXPECT_TRUE(seen);
}

TEST(ElementImitators, SunAtOriginAndPlanetFromTheTheory) {
  Model m = NewModel();
  m.JD = 2440000.5;
  for (ImitatorKind kind : {ImitatorKind::New, ImitatorKind::Mox}) {
    auto im = MakeImitator(kind);
    m.X[0] = m.Y[0] = m.Z[0] = 1e9;
    ASSERT_FALSE(im->Start(m, fs::path(), 2));
    ASSERT_FALSE(im->ImitatePosition(m, 2));
    EXPECT_EQ(m.X[0], 0.0);
    const double r = std::sqrt(m.X[2] * m.X[2] + m.Y[2] * m.Y[2] + m.Z[2] * m.Z[2]);
    EXPECT_NEAR(r / m.Lae, 0.723, 0.01);
  }
}

}  // namespace
}  // namespace torvik
