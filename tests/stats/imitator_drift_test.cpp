// The drift of an element imitator's own orbit, from its first record: the
// perihelion of Mercury from the New imitator against Newcomb's secular
// motion of the perihelion referred to the equinox of date.
#include <gtest/gtest.h>

#include <cmath>

#include "core/calendar.h"
#include "core/kepler.h"
#include "core/theories.h"
#include "fixture.h"
#include "model/imitators.h"
#include "model/run.h"
#include "stats/statistics.h"

namespace torvik {
namespace {

using test::TempFolder;

// As the start-up leaves the model: the JPL J2000 elements of 1.5 January
// 1601 and their positions (the orbit watch of a model run starts from them).
Model StartUpModel() {
  Model m;
  SetConstants(m);
  m.DateY = 1601, m.DateM = 1, m.DateD = 1.5f;
  m.JDstart = m.JD = DateToJD(1601, 1, 1.5f);
  for (int k = 1; k <= 9; ++k) {
    JplElements(m, k);
    NormaliseElements(m, k);
    ElementsToPosition(m, k);
  }
  return m;
}

// Newcomb's tables: the longitude of Mercury's perihelion moves 5599.76" per
// Julian century against the mean equinox of date (5 026" of it precession).
constexpr double kNewcombMercuryPerihelion = 5599.76;  // arcseconds per century

TEST(ElementImitatorRun, NewMercuryDescribesItsOwnOrbitFromTheFirstRecord) {
  TempFolder folder("newrun");
  Model m = StartUpModel();
  const Model loaded = m;
  auto src = MakeImitator(ImitatorKind::New);
  RunSettings s;
  s.folder = folder.path;
  s.imitatorMode = true;
  s.imitator = src.get();
  s.PlanetNo = 1;
  s.endYear = 1620;
  s.writeOrbit = true;
  s.runDate = "10.12.2026";
  ModelRun run(m);
  ASSERT_FALSE(run.Start(s));
  while (run.Running()) ASSERT_FALSE(run.Batch().message);
  // The run left the loaded elements as they were.
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ(m.AlfaP0[k], loaded.AlfaP0[k]) << k;
    EXPECT_EQ(m.Eks0[k], loaded.Eks0[k]) << k;
    EXPECT_EQ(m.AlfaL[k], loaded.AlfaL[k]) << k;
  }

  Statistics st({}, folder.path);
  StatsInputs in;
  in.imitatorSource = true;
  in.imitatorFolder = "NEW";
  auto o = st.LoadRunFile(in);
  ASSERT_FALSE(o.message) << o.message->text;
  const PointTable& t = st.points();
  ASSERT_GT(t.NPoint, 150);
  // Perihelion of date at 1601: 75°53′58.91″ + 5599.76″·T with T from 1900.
  const double T1601 = (t.JDfile + t.tDay[1] - 2415020.0) / 36525.0;
  const double expected = (75 + 53 / 60.0 + 58.91 / 3600) + kNewcombMercuryPerihelion * T1601 / 3600;
  for (int i = 1; i <= 6; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const double T = (t.JDfile + t.tDay[k] - 2415020.0) / 36525.0;
    EXPECT_NEAR(t.Par[k][1], (75 + 53 / 60.0 + 58.91 / 3600) + kNewcombMercuryPerihelion * T / 3600, 0.01)
        << "record " << i;
    EXPECT_NEAR(t.Par[k][6], 87.969, 0.2) << "record " << i;  // no alternating half periods
  }
  EXPECT_NEAR(t.Par[1][1], expected, 0.01);
  // The statistics screen's default fit over all points.
  in.IEnd = *o.fields.IEnd;
  in.T0 = *o.fields.T0;
  o = st.ProcessData(in);
  ASSERT_FALSE(o.message);
  EXPECT_NEAR(*o.fields.Drift, kNewcombMercuryPerihelion, 60);
  RecordProperty("drift", std::to_string(*o.fields.Drift));
}

}  // namespace
}  // namespace torvik
