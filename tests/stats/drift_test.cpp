// Processing of a series: groups, fits of 1, 2 and 3 coefficients, the drift and
// its limit, the sweep and its criteria; checked against a least-squares line
// written out independently and against the perihelion advance of Mercury.
#include "stats/drift.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/calendar.h"
#include "fixture.h"
#include "stats/statistics.h"

namespace torvik {
namespace {

using test::kArcsecond;
using test::Series;
using test::TempFolder;

// A Statistics object with the series loaded as the plan run file of the inputs.
struct Loaded {
  TempFolder folder;
  Statistics st{{}, folder.path};
  StatsInputs in;
  explicit Loaded(const std::vector<test::Row>& rows, double JDstart = 2451545.0) : folder("drift") {
    WriteTextFile(ResolvePath(folder.path, Statistics::RunPathOf(in)), test::RunLines(JDstart, rows));
    auto o = st.LoadRunFile(in);
    EXPECT_FALSE(o.message) << o.message->text;
    in.IEnd = st.points().NPoint;
  }
};

// The ordinary least-squares line y = a + b·x about the means, written
// independently of the normal-equation sums of the fit.
struct Line {
  double a, b;
};
Line LeastSquares(const std::vector<double>& x, const std::vector<double>& y) {
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < x.size(); ++i) mx += x[i], my += y[i];
  mx /= x.size(), my /= y.size();
  double sxy = 0, sxx = 0;
  for (std::size_t i = 0; i < x.size(); ++i) sxy += (x[i] - mx) * (y[i] - my), sxx += (x[i] - mx) * (x[i] - mx);
  return {my - sxy / sxx * mx, sxy / sxx};
}

TEST(Drift, MercuryPerihelionIsTheLeastSquaresLineAndTheNewtonianAdvance) {
  PointTable t;
  ASSERT_TRUE(ReadRunFile(test::MercuryFile(), t));
  const double JDe = DateToJD(1601, 1, 1.5f);
  const Groups g = GroupMeans(t, 1, 1, t.NPoint, 50, JDe);
  ASSERT_EQ(g.Xg.size(), 3320u / 50);
  const auto fit = FitGroups(g.Xg, g.Yg, 2, (2000.0 - 1601) / 100, UFactor(1));
  ASSERT_TRUE(fit);
  const Line ols = LeastSquares(g.Xg, g.Yg);
  EXPECT_NEAR(fit->k1, ols.b, 1e-9 * std::fabs(ols.b));
  EXPECT_NEAR(fit->k0, ols.a, 1e-9 * std::fabs(ols.a));
  EXPECT_DOUBLE_EQ(fit->Drift, fit->k1 * 3600);
  // The planets turn Mercury's perihelion by about 532″ a century (Newtonian
  // part of the observed 574″ in a fixed frame; Clemence 1947).
  EXPECT_NEAR(fit->Drift, 532 * kArcsecond, 6 * kArcsecond);
  EXPECT_GT(fit->Limit, 0);
  EXPECT_LT(fit->Limit, 20 * kArcsecond);
}

TEST(Drift, TestSeriesWithoutNoiseGivesThreeThousandSixHundredTimesK1) {
  for (int ncoef : {2, 3}) {
    TempFolder folder("series");
    Statistics st({}, folder.path);
    StatsInputs in;
    in.test = true;
    in.k0 = 1, in.k1 = 2, in.k2 = 0, in.k3 = 0;
    in.NCoef = ncoef;
    auto o = st.ProcessData(in);
    ASSERT_FALSE(o.message) << o.message->text;
    EXPECT_NEAR(*o.fields.Drift, 3600 * in.k1, 1e-8) << ncoef;
    EXPECT_NEAR(st.lastFit()->Sigma, 0, 1e-12);
    EXPECT_EQ(*o.fields.T0, 0);
    EXPECT_EQ(*o.fields.MX1, 100);
    EXPECT_EQ(st.plot().W, 29.5);
    EXPECT_EQ(st.points().kind, DataKind::None);  // nothing for the point editing to write
  }
}

TEST(Drift, ExactQuadraticIsRecoveredAndItsDriftIsTheSlopeAtTheEvaluationYear) {
  // y = 3 − 0.5·x + 0.25·x² with x in centuries after 1600.
  const double JD1600 = DateToJD(1600, 1, 1.5f);
  auto rows = Series(30, 3652.5, [&](int i) {
    const double x = i * 3652.5 / 36525;
    return 3 - 0.5 * x + 0.25 * x * x;
  });
  Loaded l(rows, JD1600);
  l.in.NCoef = 3, l.in.NCP = 1, l.in.T0 = 1600, l.in.TYear = 1800;
  auto o = l.st.ProcessData(l.in);
  ASSERT_FALSE(o.message);
  EXPECT_NEAR(*o.fields.k0, 3, 1e-9);
  EXPECT_NEAR(*o.fields.k1, -0.5, 1e-9);
  EXPECT_NEAR(*o.fields.k2, 0.25, 1e-9);
  EXPECT_NEAR(*o.fields.Drift, (-0.5 + 2 * 0.25 * 2) * 3600, 1e-6);
}

TEST(Drift, ScaleOfEachElementAndTheOneCoefficientFit) {
  // Linear rise of 1e-4 per century in every element, with a zig-zag so that
  // the limit is not zero.
  auto rows = Series(40, 365.25 * 10, [](int) { return 0.0; });
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (auto& v : rows[i].v) v = 0.5 + 1e-4 * (i + 1) / 10 + ((i % 2) ? 2e-6 : -2e-6);
  Loaded l(rows);
  const double factors[] = {3600, 3600, 3600, 1e6, 1, 1440};
  for (int p = 1; p <= 6; ++p) {
    l.in.p = p;
    ASSERT_FALSE(l.st.LoadRunFile(l.in).message);
    l.in.NCoef = 2, l.in.NCP = 2;
    auto o = l.st.ProcessData(l.in);
    EXPECT_NEAR(*o.fields.Drift, 1e-4 * factors[p - 1], 1e-9 * factors[p - 1]) << p;
    l.in.NCoef = 1;
    o = l.st.ProcessData(l.in);
    EXPECT_EQ(*o.fields.Drift, 0) << p;
    EXPECT_GT(*o.fields.Limit, 0) << p;
  }
}

TEST(Drift, GroupsAndTheMinimumGroupCount) {
  Loaded l(Series(25, 10, [](int i) { return i * 0.01; }));
  struct Case {
    int NCP, NCoef;
    const char* message;  // nullptr: processed
  } cases[] = {
      {5, 2, nullptr},
      {10, 2, "Первичные данные должны быть\r\nразбиты минимум на3группы"},
      {7, 3, "Первичные данные должны быть\r\nразбиты минимум на4группы"},
      {12, 1, nullptr},
      {13, 1, "Первичные данные должны быть\r\nразбиты минимум на2группы"},
  };
  for (const Case& c : cases) {
    l.in.NCP = c.NCP, l.in.NCoef = c.NCoef;
    auto o = l.st.ProcessData(l.in);
    EXPECT_EQ(o.message ? o.message->text : "", c.message ? c.message : "") << c.NCP << " " << c.NCoef;
    EXPECT_EQ(o.message.has_value(), !o.fields.Drift.has_value());
  }
  EXPECT_EQ(GroupMeans(l.st.points(), 1, 1, 25, 5, 0).Yg.size(), 5u);
  // Out-of-range points and group sizes are processing errors.
  for (auto [from, to, ncp] : {std::array{0, 25, 5}, {1, 26, 5}, {5, 5, 1}, {1, 25, 0}}) {
    l.in.IStart = from, l.in.IEnd = to, l.in.NCP = ncp, l.in.NCoef = 2;
    EXPECT_EQ(l.st.ProcessData(l.in).message->text, kProcessingError);
  }
}

TEST(Drift, PointsAfterTheLastCompleteGroupAreLeftOut) {
  auto rows = Series(23, 100, [](int i) { return 10 + i * 0.001; });
  auto wild = rows;
  for (int i = 20; i < 23; ++i) wild[static_cast<std::size_t>(i)].v[0] = 1000;
  Loaded a(rows), b(wild);
  a.in.NCP = b.in.NCP = 5;
  auto oa = a.st.ProcessData(a.in), ob = b.st.ProcessData(b.in);
  ASSERT_FALSE(oa.message);
  EXPECT_EQ(*oa.fields.Drift, *ob.fields.Drift);
  EXPECT_EQ(*oa.fields.Limit, *ob.fields.Limit);
  EXPECT_EQ(GroupMeans(a.st.points(), 1, 1, 23, 5, 0).Yg.size(), 4u);
}

TEST(Sweep, SmallestLimitWinsAndTiesGoToTheSmallerSize) {
  //                      g:  0   1    2    3    4    5    6    7    8
  std::vector<double> drift{0, 10, 11, 12, 13, 14, 15, 16, 17};
  std::vector<double> limit{0, 5, 4, 2, 3, 6, 7, 2, 9};
  const Sweep s = EvaluateSweep(drift, limit, 8);
  EXPECT_EQ(s.best, 3);
  EXPECT_EQ(CriterionValues(s, drift, limit, Criterion::Min), std::make_pair(12.0, 2.0));
}

TEST(Sweep, BandRisesToTheLowerEndOfAnIntervalAboveIt) {
  // Best size 1: [9, 11]. Size 2 [14, 20] lies above: BandHi becomes 14, not
  // 20. Size 3 [2, 4] lies below: BandLo becomes 4. Size 4 overlaps: no change.
  std::vector<double> drift{0, 10, 17, 3, 10};
  std::vector<double> limit{0, 1, 3, 1, 5};
  const Sweep s = EvaluateSweep(drift, limit, 4);
  EXPECT_EQ(s.best, 1);
  EXPECT_EQ(s.BandHi, 14);
  EXPECT_EQ(s.BandLo, 4);
  ASSERT_EQ(s.steps.size(), 2u);
  EXPECT_TRUE(s.steps[0].upper);
  EXPECT_EQ(s.steps[1].g, 3);
  EXPECT_EQ(CriterionValues(s, drift, limit, Criterion::MaxMin), std::make_pair(9.0, 5.0));
  EXPECT_EQ(CriterionValues(s, drift, limit, Criterion::Sr), std::make_pair(10.0, 2.5));
  EXPECT_NEAR(s.Sd, std::sqrt((0 + 49 + 49 + 0) / 3.0), 1e-12);
}

TEST(Sweep, OverTheSeriesFillsEveryGroupSizeAndTruncatesTheFields) {
  Loaded l(Series(24, 30, [](int i) { return 5 + i * 1e-3 + ((i * 7) % 5) * 1e-4; }));
  l.in.sweep = true;
  for (Criterion c : {Criterion::Min, Criterion::MaxMin, Criterion::Sr}) {
    l.in.criterion = c;
    auto o = l.st.ProcessData(l.in);
    ASSERT_FALSE(o.message);
    EXPECT_EQ(*o.fields.NCP, 8);  // NCPMax = Fix(24 / 3)
    const auto [drift, limit] = CriterionValues(*l.st.lastSweep(), l.st.DriftG(), l.st.LimitG(), c);
    EXPECT_EQ(*o.fields.Drift, drift);
    EXPECT_EQ(*o.fields.Limit, limit);
    EXPECT_EQ(std::trunc(drift * 1e6), drift * 1e6);
  }
  // A sweep over one group size has no spread of drifts.
  l.in.IEnd = 5, l.in.NCP = 1;
  auto o = l.st.ProcessData(l.in);
  EXPECT_EQ(o.message->text, kProcessingError);
  EXPECT_TRUE(o.fields.Drift);  // written before the failure
}

// The sweep over every group size of the real file agrees with the single fit.
TEST(Sweep, MercuryFileOverEveryGroupSize) {
  TempFolder folder("sweep");
  test::fs::copy_file(test::MercuryFile(), ResolvePath(folder.path, "\\Plan1\\Txt1\\Torvik1RasB1.txt"));
  Statistics st({}, folder.path);
  StatsInputs in;
  ASSERT_FALSE(st.LoadRunFile(in).message);
  in.IEnd = st.points().NPoint, in.T0 = 1601, in.sweep = true;
  for (Criterion c : {Criterion::Min, Criterion::MaxMin, Criterion::Sr}) {
    in.criterion = c;
    auto o = st.ProcessData(in);
    ASSERT_FALSE(o.message);
    EXPECT_EQ(*o.fields.NCP, 1106);  // Fix(3320 / 3)
    EXPECT_NEAR(*o.fields.Drift, 529.6 * kArcsecond, 0.5 * kArcsecond);
  }
}

}  // namespace
}  // namespace torvik
