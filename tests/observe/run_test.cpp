// The observation run: the chain's frames, the deviations, the refraction
// stage (checked with ERFA's hour angle to altitude), the skips, the solstice
// records, the ends of the runs, the step control and the residual files.
#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/calendar.h"
#include "core/frames.h"
#include "core/textfile.h"
#include "fake_workbook.h"
#include "observe/run.h"
#include "params/startup.h"

namespace torvik {
namespace {

using test::FakeWorkbook;

constexpr double arcsecond = 1.0 / 3600;  // degrees

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ObservationRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(StartUp(m));
    dir = std::filesystem::temp_directory_path() /
          ("torvik6_obs_run_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "Dat");
    std::filesystem::create_directories(dir / "Obs");
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  // A table source whose workbook runs `hook` at every recalculation.
  ObservationSource& Table(const char* name, std::function<void(FakeWorkbook&)> hook = {}) {
    src = std::make_unique<ObservationSource>(dir, [hook](std::string_view) {
      auto wb = std::make_unique<FakeWorkbook>(11);
      wb->onRecalculate = hook;
      return wb;
    });
    auto r = src->SelectTable(TableNumber(name));
    EXPECT_FALSE(r.message);
    ApplyPresets(r.presets, s);
    s.calendar.era = kTables[static_cast<std::size_t>(TableNumber(name) - 1)].era;
    return *src;
  }
  // Runs until the run ends; returns the step results.
  std::vector<ObsStepResult> RunAll(ObservationRun& run) {
    std::vector<ObsStepResult> out;
    while (run.Running() && out.size() < 100000) out.push_back(run.Step());
    return out;
  }

  Model m;
  std::filesystem::path dir;
  std::unique_ptr<ObservationSource> src;
  ObsSettings s;
};

TEST_F(ObservationRunTest, AllCorrectionsOffGiveTheGeometricRow) {
  Table("AlBattani");
  s.Npl = 4;
  s.aberrPl = s.aberrZv = s.nutation = s.refraction = s.parallax = false;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  run.OneStep();
  const auto r = run.Step();
  ASSERT_TRUE(r.reduced);
  EXPECT_EQ(r.end, ObsRunEnd::Stopped);
  EXPECT_NEAR(run.rows().theory.a, run.rows().theoryJ2000.a, 2e-6);
  EXPECT_NEAR(run.rows().theory.b, run.rows().theoryJ2000.b, 2e-6);
  // With "JD" on as well the place stays in the J2000 ecliptic: it differs
  // from the row of the date by the general precession since 900.
  s.j2000 = true;
  ObservationRun j(m, *src);
  ASSERT_FALSE(j.Start(s));
  j.OneStep();
  j.Step();
  EXPECT_NEAR(j.rows().theoryJ2000.a - j.Lteor(), j.rows().PrecA, 0.1);
  EXPECT_LT(j.rows().PrecA, -15);
}

TEST_F(ObservationRunTest, DeviationsWrapAtThreeHundredDegrees) {
  double Lteor = 0;
  double offset = 0;
  Table("AlBattani", [&](FakeWorkbook& wb) { wb.cells[{1, "C18"}].number = Lteor - offset; });
  s.Npl = 4;
  s.dRlimit = false;
  {
    ObservationRun first(m, *src);
    ASSERT_FALSE(first.Start(s));
    first.OneStep();
    first.Step();
    Lteor = first.Lteor();
  }
  const struct {
    double offset, want;
  } cases[] = {{359.5, -0.5}, {250, 250}, {-359.5, 0.5}, {-250, -250}, {0.25, 0.25}};
  for (const auto& c : cases) {
    offset = c.offset;
    ObservationRun run(m, *src);
    ASSERT_FALSE(run.Start(s));
    run.OneStep();
    ASSERT_TRUE(run.Step().reduced);
    EXPECT_NEAR(run.dLpl(), c.want, 1e-9) << c.offset;
  }
}

TEST_F(ObservationRunTest, PlanetNumbersWithoutSlotsAndTheEarth) {
  Table("Streete");
  s.Npl = 7;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  const auto r = run.Step();
  ASSERT_TRUE(r.message);
  EXPECT_EQ(r.message->text, "Ошибка решения уравнений");
  EXPECT_EQ(r.message->title, "Torvik6.0");
  EXPECT_EQ(r.end, ObsRunEnd::Error);
  EXPECT_FALSE(run.Running());
  s.Npl = 3;
  const auto refused = run.Start(s);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->text, "Землю не наблюдали");
  EXPECT_EQ(m.Stop, 1);
}

TEST_F(ObservationRunTest, PrutenicGapAroundTheSolstices) {
  Table("PrutenticTables");
  s.Npl = 4;
  s.day = 15, s.month = 6, s.year = 1600;
  s.live.Step0 = 0.5;
  s.years = 1;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  int reduced = 0, gap = 0;
  MonthTable julian = MakeMonthTable(ObsCalendar::Julian);
  for (int i = 0; i < 40; ++i) {
    const StepDate local = run.tableDate();
    const auto r = run.Step();
    // Greenwich date of the step: the local date less ObsL = 13°.
    StepDate g = local;
    g.CurD -= static_cast<float>(13.0 / 360);
    NormaliseDate(ObsCalendar::Julian, julian, g);
    const bool inGap = g.CurM == 6 && g.CurD > 20 && g.CurD < 26;
    gap += inGap;
    reduced += r.reduced;
    EXPECT_NE(r.reduced, inGap) << g.CurD;
  }
  EXPECT_EQ(gap, 12);  // local 20.5 … 26.0 June
  EXPECT_EQ(reduced, 28);
}

TEST_F(ObservationRunTest, SolsticeRecordOncePerEntry) {
  // A Sun whose longitude runs 360° per Julian year, 90° at the 172nd day.
  Table("AlBattani", [](FakeWorkbook& wb) {
    const double jd = DmyToJd({ObsCalendar::Julian, DayStart::Noon, EgyptianEra::None},
                              static_cast<int>(wb.Number(1, "D9")), static_cast<int>(wb.Number(1, "C9")),
                              static_cast<float>(wb.Number(1, "B9") + wb.Number(1, "F9") / 24), 0);
    const double y0 = DmyToJd({ObsCalendar::Julian, DayStart::Noon, EgyptianEra::None}, 900, 1, 1, 0);
    double L = std::fmod(90 + (jd - y0 - 171) * 360 / 365.25, 360.0);
    wb.cells[{1, "C14"}].number = L < 0 ? L + 360 : L;
  });
  s.Npl = 0;
  s.solstice = true;
  s.fileParam = true;
  s.dRlimit = false;
  s.live.Step0 = 1;
  s.live.dRmax = 2;  // half-width of the window, degrees
  s.years = 3;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  RunAll(run);
  EXPECT_EQ(run.end(), ObsRunEnd::EndYear);
  const auto lines = ReadTextFile(dir / "Dat" / "Param_data.txt");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 6u + 3u);  // two header lines with their blanks, one record per solstice
  EXPECT_EQ(SplitFields((*lines)[6])[0], "1");
  EXPECT_EQ(SplitFields((*lines)[8])[0], "3");
  EXPECT_EQ(SplitFields((*lines)[8])[2], "6000");  // June
}

TEST_F(ObservationRunTest, TableRunEndsAtTheEndYearAndStepsOneByOne) {
  Table("AlBattani");
  s.Npl = 2;
  s.live.Step0 = 30;
  s.years = 1;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  run.OneStep();
  run.Step();
  EXPECT_FALSE(run.Running());
  EXPECT_FLOAT_EQ(run.tableDate().CurD, 31);
  run.OneStep();
  run.Step();
  EXPECT_EQ(run.tableDate().CurM, 3);  // 61 January of 900 (a Julian leap year) is 1 March
  EXPECT_FLOAT_EQ(run.tableDate().CurD, 1);
  run.Continue();
  const auto steps = RunAll(run);
  EXPECT_EQ(run.end(), ObsRunEnd::EndYear);
  EXPECT_EQ(steps.size() + 2, 13u);
  EXPECT_EQ(run.rows().date.year, 900);  // the date fields get the start date back
  EXPECT_FLOAT_EQ(run.rows().date.day, 1);
}

TEST_F(ObservationRunTest, SolarSystemVelocityEntersBothAberrations) {
  Table("AlBattani");
  s.Npl = 4;
  auto rows = [&](double vx) {
    s.VXsys = vx;  // km/s
    ObservationRun run(m, *src);
    EXPECT_FALSE(run.Start(s));
    run.OneStep();
    EXPECT_TRUE(run.Step().reduced);
    return run.rows();
  };
  const ObsRows still = rows(0), moving = rows(300);
  // 300 km/s is 0.001 of the speed of light: each row moves by up to 206″ ...
  const double shiftPl = moving.aberrPl.a - still.aberrPl.a, shiftZv = moving.aberrZv.a - still.aberrZv.a;
  EXPECT_GT(std::fabs(shiftPl), 10 * arcsecond);
  EXPECT_LE(std::fabs(shiftPl), 210 * arcsecond);
  // ... in opposite senses, since the planet and the Earth share the motion.
  EXPECT_NEAR(shiftPl + shiftZv, 0, 0.5 * arcsecond);
  EXPECT_DOUBLE_EQ(m.VXsys, 0);  // the model keeps its own km/s value
}

TEST_F(ObservationRunTest, VisibilityAgreesWithErfaAndSkipsLowSteps) {
  Table("AlBattani");
  s.Npl = 2;
  s.visibility = true;
  s.aberrPl = s.aberrZv = s.refraction = s.parallax = false;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  for (int i = 0; i < 20; ++i) {
    run.OneStep();
    ASSERT_TRUE(run.Step().reduced);
    // Geometric place of date (the row "теория J2000") to the horizon with ERFA.
    const double eps = ObliquityOfDate((run.JDut() - 2451545.0) / 36525) * ERFA_DR2D;
    const double L = run.rows().theoryJ2000.a * ERFA_DD2R, B = run.rows().theoryJ2000.b * ERFA_DD2R,
                 e = eps * ERFA_DD2R;
    const double x = std::cos(B) * std::cos(L), y = std::cos(B) * std::sin(L) * std::cos(e) - std::sin(B) * std::sin(e),
                 z = std::cos(B) * std::sin(L) * std::sin(e) + std::sin(B) * std::cos(e);
    const double ra = std::atan2(y, x), dec = std::asin(z);
    const double lst = (Frac(Gmst(run.JDut() - 2400000.5) / 24) * 24 + s.ObsL / 15) * 15 * ERFA_DD2R;
    double az, el;
    eraHd2ae(lst - ra, dec, s.ObsB * ERFA_DD2R, &az, &el);
    // Azimuth from the south through the west, −180..180.
    double A = std::remainder(az * ERFA_DR2D - 180, 360.0);
    if (A <= -180) A += 360;
    EXPECT_NEAR(run.rows().azAlt.b, el * ERFA_DR2D, 1e-5) << i;
    EXPECT_NEAR(std::remainder(run.rows().azAlt.a - A, 360.0), 0, 1e-5) << i;
  }
  s.hminPl = true;
  s.HminPl = 89.9;  // Venus never stands that high at 36°
  ObservationRun low(m, *src);
  ASSERT_FALSE(low.Start(s));
  for (int i = 0; i < 10; ++i) {
    low.OneStep();
    EXPECT_FALSE(low.Step().reduced);
  }
}

// A record in the observatory layout.
std::string Record(int year, int day, const char* month, int hour, const char* ra, const char* dec) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "SIMULATED %4d %2d %s  %02d 00 00 0000       %s           %s", year, day, month,
                hour, ra, dec);
  return buf;
}

TEST_F(ObservationRunTest, RefractionBelowTheHorizon) {
  ASSERT_TRUE(WriteTextFile(dir / "Obs" / "CAPE4.txt",
                            {Record(1990, 5, "Mar", 21, "13 07 34 50000", "-05 12 36 0000")}));
  src = std::make_unique<ObservationSource>(dir);
  src->SwitchKind(SourceKind::Obs, nullptr);
  auto sel = src->SelectObservatory(5, 4);
  ASSERT_FALSE(sel.message);
  ApplyPresets(sel.presets, s);
  s.Npl = 4;
  s.ObsB = 80;  // Mars (declination about −22°) stays between −30° and −10° there
  s.nutation = false;
  s.refraction = true;
  s.dRlimit = false;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  ASSERT_TRUE(run.Step().reduced);
  const double after = run.Lteor(), decAfter = run.Bteor();
  const double before = after + run.rows().refraction.a, decBefore = decAfter + run.rows().refraction.b;
  const double lst = (Frac(Gmst(run.JDut() - 2400000.5) / 24) * 24 + s.ObsL / 15) * 15;
  auto altitude = [&](double ra, double dec) {
    double az, el;
    eraHd2ae((lst - ra) * ERFA_DD2R, dec * ERFA_DD2R, s.ObsB * ERFA_DD2R, &az, &el);
    return el * ERFA_DR2D;
  };
  const double h0 = altitude(before, decBefore), h1 = altitude(after, decAfter);
  ASSERT_LT(h0, -10);
  EXPECT_NEAR(h1 - h0, Refraction(90 - std::fabs(h0)), 1e-5 * arcsecond + 2e-6);
}

TEST_F(ObservationRunTest, ObservatoryRunEndsAtTheEndOfTheFile) {
  ASSERT_TRUE(WriteTextFile(dir / "Obs" / "GREN4.txt",
                            {Record(1980, 5, "Mar", 21, "13 07 34 50000", "-05 12 36 0000"),
                             Record(1985, 5, "Mar", 21, "13 07 34 50000", "-05 12 36 0000"),
                             Record(1990, 5, "Mar", 21, "13 07 34 50000", "-05 12 36 0000"),
                             Record(1990, 6, "Jun", 21, "13 07 34 50000", "-05 12 36 0000")}));
  src = std::make_unique<ObservationSource>(dir);
  src->SwitchKind(SourceKind::Obs, nullptr);
  auto sel = src->SelectObservatory(1, 4);
  ASSERT_FALSE(sel.message);
  ApplyPresets(sel.presets, s);
  s.Npl = 4;
  s.day = 1, s.month = 5, s.year = 1990;  // the June record lies after the start
  s.years = 8;                            // the 1980 record lies before the end year
  s.dRlimit = false;
  s.fileTrace = s.fileParam = s.fileBad = true;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  const auto steps = RunAll(run);
  EXPECT_EQ(run.end(), ObsRunEnd::EndOfFile);
  EXPECT_EQ(run.NdR(), 2);
  const auto again = run.Start(s);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->text, "Надо открыть файл снова");

  // The files: headers and one trace stage set per reduced step.
  const std::string param = ReadBytes(dir / "Dat" / "Param_data.txt");
  const std::string want = Utf8ToCp1251(
      "\r\nпланета  № 4   обсерватория GREN\r\n\r\n\r\n№ п/п, дата наблюдения (день с часами, месяц, год, JD), "
      "долгота, широта, прецессия \r\n\r\n");
  ASSERT_EQ(param.substr(0, want.size()), want);
  const auto rec = SplitFields(param.substr(want.size(), param.find("\r\n", want.size()) - want.size()));
  ASSERT_EQ(rec.size(), 8u);
  EXPECT_EQ(rec[0], "1");
  EXPECT_EQ(rec[1], "5875");   // day 5 at 21 h
  EXPECT_EQ(rec[2], "3000");   // March
  EXPECT_EQ(rec[3], "1985000");
  EXPECT_EQ(rec[5], "196893");  // 13h07m34.5s = 196.89375°
  EXPECT_EQ(rec[6], "-5210");
  const auto trace = ReadTextFile(dir / "Dat" / "Ras_data.txt");
  ASSERT_TRUE(trace);
  EXPECT_EQ((*trace)[4], "дата наблюдения, операция, долгота и широта ");
  EXPECT_EQ((*trace)[6].substr(0, 34), "5.875  3  1985  Ras Gelio Ecl     ");
  EXPECT_EQ(trace->size(), 6u + 2 * 6 * 2);  // six records of two lines per step
  const std::string bad = ReadBytes(dir / "Dat" / "Bad_data.txt");
  EXPECT_NE(bad.find(Utf8ToCp1251("дата наблюдения и отклонения по долготе (сек) широте (сек) и расстоянию (тыс.км.)")),
            std::string::npos);
}

TEST_F(ObservationRunTest, RejectedStepRecord) {
  ASSERT_TRUE(WriteTextFile(dir / "Obs" / "PARI1.txt",
                            {Record(1990, 5, "Mar", 21, "13 07 34 50000", "-05 12 36 0000")}));
  src = std::make_unique<ObservationSource>(dir);
  src->SwitchKind(SourceKind::Obs, nullptr);
  auto sel = src->SelectObservatory(2, 1);
  ApplyPresets(sel.presets, s);
  s.Npl = 1;
  s.fileBad = true;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  const auto r = run.Step();
  ASSERT_TRUE(r.rejected);  // a place far from Mercury
  EXPECT_EQ(run.NdR(), 0);
  const auto lines = ReadTextFile(dir / "Dat" / "Bad_data.txt");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 7u);
  const auto f = SplitFields((*lines)[6]);
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(f[0], "5.875");
  EXPECT_EQ(f[2], "1990");
  EXPECT_DOUBLE_EQ(*ParseNumber(f[3]), Fix(1000 * 3600 * run.dLpl()) / 1000);
  EXPECT_DOUBLE_EQ(*ParseNumber(f[5]), Fix(10 * run.dRpl()) / 10);
  // Print zones of 14 characters.
  EXPECT_EQ((*lines)[6].find(f[1]), 15u);
}

// The date fields of a table in its own calendar and day start: the Egyptian
// era of the Almagest, the Julian calendar and the noon day of the others.
TEST_F(ObservationRunTest, FieldDateInTheCalendarOfTheSource) {
  const struct {
    const char* table;
    double jd;
  } cases[] = {{"Almagest", 1721424.0},          // 12.5.748 of Nabonassar
               {"HandyTables", 1721424.0},       // 12.5.324 of Philip
               {"RudolphineTables", 2305458.0},  // noon of 1.1.1600, Julian
               {"AlBattani", DateToJD(900, 1, 1.5)}};
  for (const auto& c : cases) {
    s = ObsSettings{};
    Table(c.table);
    EXPECT_EQ(FieldJD(s), c.jd) << c.table;
  }
}

// Sidereal time is brought into 0..24 h before 2000 too: the refraction row
// of a table run in 900 is a small correction, not 360° minus one.
TEST_F(ObservationRunTest, SiderealTimeBefore2000) {
  Table("AlBattani", [](FakeWorkbook& wb) { wb.SetNumber(1, "C18", 200.0); });
  s.Npl = 4;
  ASSERT_TRUE(s.refraction);
  s.dRlimit = false;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(run.Step().reduced);
  EXPECT_LT(std::fabs(run.rows().refraction.a), 1.0);
  EXPECT_LT(std::fabs(run.rows().refraction.b), 1.0);
}

// The pictures' vectors: heliocentric ones of step 4 (the Sun at the origin)
// and, for an observatory, the geocentric place rotated to the ecliptic
// (checked with ERFA's equatorial to ecliptic of date).
TEST_F(ObservationRunTest, PictureVectors) {
  ASSERT_TRUE(WriteTextFile(dir / "Obs" / "GREN4.txt",
                            {Record(1990, 5, "Mar", 21, "13 07 34 50000", "-05 12 36 0000")}));
  src = std::make_unique<ObservationSource>(dir);
  src->SwitchKind(SourceKind::Obs, nullptr);
  auto sel = src->SelectObservatory(1, 4);
  ASSERT_FALSE(sel.message);
  ApplyPresets(sel.presets, s);
  s.Npl = 4;
  s.dRlimit = false;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  ASSERT_TRUE(run.Step().reduced);
  const HelioView& h = run.helio();
  ASSERT_TRUE(h.valid);
  auto norm = [](const std::array<double, 3>& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); };
  EXPECT_NEAR(norm(h.earth) / m.Lae, 1.0, 0.02);
  EXPECT_GT(norm(h.planet) / m.Lae, 1.38);
  EXPECT_LT(norm(h.planet) / m.Lae, 1.67);
  const GeoView& g = run.geo();
  ASSERT_TRUE(g.valid);
  // The record's place turned about the equinox by ERFA's obliquity of date.
  const double jd = run.JDut();
  double p[3], rm[3][3], q[3], dl, db;
  eraS2c((13 + 7 / 60.0 + 34.5 / 3600) * 15 * ERFA_DD2R, -(5 + 12 / 60.0 + 36 / 3600.0) * ERFA_DD2R, p);
  eraIr(rm);
  eraRx(eraObl06(jd, 0), rm);
  eraRxp(rm, p, q);
  eraC2s(q, &dl, &db);
  EXPECT_NEAR(std::asin(g.ray[2]) * ERFA_DR2D, db * ERFA_DR2D, 1e-4);
  EXPECT_NEAR(std::atan2(g.ray[1], g.ray[0]) * ERFA_DR2D, dl * ERFA_DR2D, 1e-4);
  EXPECT_GT(norm(g.planet) / m.Lae, 0.37);  // Mars from the Earth
  EXPECT_LT(norm(g.planet) / m.Lae, 2.68);
}

// The end of a run says how many steps it accepted and rejected and why none
// was accepted; records marked SIMULATED are named.
TEST_F(ObservationRunTest, RunSummary) {
  Table("AlBattani");  // the fake workbook gives 0, far from Mars
  s.Npl = 4;
  s.years = 1;
  ObservationRun run(m, *src);
  ASSERT_FALSE(run.Start(s));
  RunAll(run);
  EXPECT_EQ(run.NdR(), 0);
  EXPECT_GT(run.Rejected(), 100);
  EXPECT_NE(run.Summary().find("принято шагов 0, отклонено (dR>=dRmax) " + std::to_string(run.Rejected())),
            std::string::npos);
  EXPECT_NE(run.NoStepReason().find("dR >= dRmax = 200"), std::string::npos) << run.NoStepReason();
  EXPECT_FALSE(run.Simulated());

  ASSERT_TRUE(WriteTextFile(dir / "Obs" / "GREN4.txt",
                            {Record(1980, 5, "Mar", 21, "13 07 34 50000", "-05 12 36 0000"),
                             Record(1990, 6, "Jun", 21, "13 07 34 50000", "-05 12 36 0000")}));
  src = std::make_unique<ObservationSource>(dir);
  src->SwitchKind(SourceKind::Obs, nullptr);
  ApplyPresets(src->SelectObservatory(1, 4).presets, s);
  s.day = 12, s.month = 5, s.year = 748;  // the date of an Almagest run before
  ObservationRun obs(m, *src);
  ASSERT_FALSE(obs.Start(s));
  RunAll(obs);
  EXPECT_EQ(obs.NdR(), 0);
  EXPECT_NE(obs.NoStepReason().find("нет записей"), std::string::npos);
  EXPECT_NE(obs.NoStepReason().find("1980 - 1990"), std::string::npos) << obs.NoStepReason();
  EXPECT_TRUE(obs.Simulated());
  EXPECT_NE(obs.Summary().find(kSimulatedNote), std::string::npos);
  // The date fields move to the last record when they lie outside the file.
  float day = 12;
  std::int32_t month = 5, year = 748;
  ASSERT_TRUE(FitDateToRecords(*src, &day, &month, &year));
  EXPECT_EQ(year, 1990);
  EXPECT_EQ(month, 6);
  EXPECT_FLOAT_EQ(day, 6.875f);
  year = 1985;
  EXPECT_FALSE(FitDateToRecords(*src, &day, &month, &year));
  // Real records are not called simulated.
  ASSERT_TRUE(WriteTextFile(dir / "Obs" / "GREN4.txt", {Record(1990, 6, "Jun", 21, "13 07 34 50000", "-05 12 36 0000").replace(0, 9, "OBSERVED ")}));
  src->SelectObservatory(0, 4);
  src->SelectObservatory(1, 4);
  EXPECT_FALSE(src->Simulated());
}

}  // namespace
}  // namespace torvik
