// What the modelling screen shows of a run: the result fields of the watched
// planet against the orbit file that the same run wrote, the progress
// figures, and the columns of the comparison table.
#include "model/run_view.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "core/paths.h"
#include "core/textfile.h"
#include "orbit_records.h"
#include "model/compare.h"
#include "model/run.h"
#include "params/startup.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

struct Folder {
  fs::path path = fs::temp_directory_path() / ("torvik6_view_" + std::to_string(::getpid()));
  Folder() {
    fs::remove_all(path);
    fs::create_directories(path);
    EnsureProgramFolder(path);
  }
  ~Folder() { fs::remove_all(path); }
};

// Two years of Меркурий from the start-up data. The references of AlfaU,
// Betta, Eks and Rsr are those of the extremum at which NRev becomes 2 (the
// first record), the reference period that of the last extremum measured while
// NRev was 2 (the third record), and the current values those of the last record.
TEST(WatchFields, AgreeWithTheOrbitFileOfTheSameRun) {
  Folder folder;
  Model m;
  ASSERT_FALSE(StartUp(m));
  RunSettings s;
  s.folder = folder.path;
  s.endYear = 1602;
  s.writeOrbit = true;
  s.runDate = "10.12.2026";
  ModelRun run(m);
  ASSERT_FALSE(run.Start(s));
  const WatchFields& f = run.fields();
  EXPECT_EQ(f.rows[kRowAlfaP].reference, m.kUgol * m.AlfaP0[1]);
  EXPECT_EQ(f.rows[kRowRsr].reference, m.R0sr[1] / m.MK);
  EXPECT_EQ(f.rows[kRowPeriod].reference, m.Tsid[1]);
  EXPECT_EQ(f.rows[kRowAlfaP].current, 0.0);
  EXPECT_EQ(f.perihelionDate.year, 1601);
  while (run.Running()) run.Batch();

  const auto rec = test::OrbitRecords(run.orbitFile());
  ASSERT_GE(rec.size(), 10u);
  // Columns: NRev, tRun, AlfaP, AlfaU, Betta (degrees × 10^6), Eks (× 10^6), Rsr (m), Period (days × 10^6).
  const auto& first = rec.front();
  const auto& third = rec[2];
  const auto& last = rec.back();
  const auto near = [](double got, double want) { EXPECT_NEAR(got, want, 1e-12 * std::fabs(want)) << "want " << want; };
  near(f.rows[kRowAlfaU].reference, first[3] / 1e6);
  near(f.rows[kRowBetta].reference, first[4] / 1e6);
  near(f.rows[kRowEks].reference, first[5] / 1e6);
  near(f.rows[kRowRsr].reference, first[6] / 1e6);
  near(f.rows[kRowPeriod].reference, third[7] / 1e6);
  near(f.rows[kRowAlfaP].current, last[2] / 1e6);
  near(f.rows[kRowBetta].current, last[4] / 1e6);
  near(f.rows[kRowEks].current, last[5] / 1e6);
  near(f.rows[kRowRsr].current, last[6] / 1e6);
  near(f.rows[kRowPeriod].current, last[7] / 1e6);
  EXPECT_EQ(f.NRev, static_cast<int>(last[0]));
  // Drifts against the references, truncated to six decimals.
  EXPECT_NEAR(f.rows[kRowRsr].drift, (last[6] - first[6]) / 1e6, 1.001e-6);
  EXPECT_NEAR(f.rows[kRowEks].drift, (last[5] - first[5]) / 1e6, 1.001e-6);
  // The last perihelion lies within the last two months of the run.
  EXPECT_EQ(f.perihelionDate.year, 1602);
  EXPECT_GE(f.perihelionDate.month, 10);
}

TEST(RunProgress, YearsRateAndTimeLeftToTheEndYear) {
  Folder folder;
  Model m;
  ASSERT_FALSE(StartUp(m));
  RunSettings s;
  s.folder = folder.path;
  s.endYear = 1610;  // 1.0 January 1611 is 3651.5 days after 1.5 January 1601 (Julian)
  ModelRun run(m);
  ASSERT_FALSE(run.Start(s));
  while (run.Running() && m.JD - m.JDstart < 365.25) run.Batch();
  const double done = m.JD - m.JDstart;
  const RunProgress p = ProgressOf(run, m, 2.0);
  EXPECT_NEAR(p.years, run.tMod() / m.sekG, 1e-12);
  EXPECT_DOUBLE_EQ(p.stepsPerSecond, run.totalSteps() / 2.0);
  EXPECT_NEAR(p.secondsLeft, 2.0 * (3651.5 - done) / done, 1e-9);
  while (run.Running()) run.Batch();
  EXPECT_EQ(ProgressOf(run, m, 5.0).secondsLeft, 0.0);
}

// The comparison table reads in a monospaced font: every value of a row
// ends in the column of its heading, a wide value keeps a blank before it.
TEST(ComparisonLines, ValuesEndUnderTheirHeadings) {
  Comparison c;
  c.JD = 2451545;
  c.planet = 9;
  for (auto& t : c.rows) t = CompareTuple{"JPL0_2000", -4512345678.123456, 2.5, -0.25, 359.999999, -17.1, 7.5e6};
  for (auto& d : c.diffs) d = CompareDiff{"JPL2_2000 - New0_JD-->2000", 1e-5, -3.25, 0.0, 1, 2, 3};
  const auto lines = ComparisonLines(c);
  ASSERT_EQ(lines.size(), 33u);
  auto chars = [](const std::string& s) {
    std::size_t n = 0;
    for (unsigned char ch : s) n += (ch & 0xC0) != 0x80;
    return n;
  };
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    // Rows 18..24 hold X = −4512345678.12346, four characters wider than its column.
    const bool wide = i >= 18 && i <= 24;
    EXPECT_EQ(chars(l), 27u + 3 * 14 + (wide ? 4 : 0)) << l;
    if (wide) {
      EXPECT_EQ(l.substr(27, 18), " -4512345678.12346") << l;
    }
  }
  EXPECT_EQ(lines[2], "JPL0_2000                      359.999999         -17.1       7500000");
}

}  // namespace
}  // namespace torvik
