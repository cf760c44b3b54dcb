// Imitator runs of the modelling run object with the real sources: the JPL
// imitator over the DE405 files (fixture and the full 1960–2060 set) and the
// APC library over a century.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>

#include <unistd.h>

#include "core/calendar.h"
#include "core/kepler.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "core/theories.h"
#include "model/imitators.h"
#include "model/run.h"
#include "tests/model/de405_data.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

constexpr double kSecond = 1.0;
constexpr double kDay = 86400.0 * kSecond;

struct Folder {
  fs::path path;
  explicit Folder(const char* name) {
    path = fs::temp_directory_path() / (std::string("torvik6_imitator_") + name + "_" + std::to_string(::getpid()));
    fs::remove_all(path);
    EnsureProgramFolder(path);
  }
  ~Folder() { fs::remove_all(path); }
};

Model StartModel(int year, int month, float day) {
  Model m;
  SetConstants(m);
  m.DateY = year, m.DateM = month, m.DateD = day;
  m.JDstart = DateToJD(year, month, day);
  m.JD = m.JDstart;
  // As the parameters screen leaves it: the JPL elements of the start date and
  // their positions, from which the orbit watch takes its windows.
  for (int k = 1; k <= 9; ++k) {
    JplElements(m, k);
    NormaliseElements(m, k);
    ElementsToPosition(m, k);
  }
  return m;
}

RunSettings ImitatorSettings(const fs::path& folder, Imitator& src, int planet, int endYear) {
  RunSettings s;
  s.folder = folder;
  s.imitatorMode = true;
  s.imitator = &src;
  s.PlanetNo = planet;
  s.endYear = endYear;
  s.writeOrbit = true;
  s.runDate = "10.12.2026";
  return s;
}

std::vector<std::vector<double>> Records(const fs::path& orbitFile) {
  std::vector<std::vector<double>> out;
  auto lines = ReadTextFile(orbitFile);
  if (!lines) return out;
  for (std::size_t i = 5; i < lines->size(); ++i) {
    std::vector<double> row;
    for (const auto& f : SplitFields((*lines)[i])) row.push_back(ParseNumber(f).value_or(std::nan("")));
    out.push_back(row);
  }
  return out;
}

// A run from 1999 crosses from ascp1980.405 (JPL) into ascp2000.405
// (JPL/405) and stops with the read error where the fixture ends.
TEST(JplImitatorRun, CrossesIntoTheNextFileAndStopsWhereTheFilesEnd) {
  Folder dir("cross");
  fs::copy(fs::path(TORVIK6_TEST_DATA) / "de405" / "JPL", dir.path / "JPL",
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  Model m = StartModel(1999, 11, 1.0f);
  JplImitator src;
  ModelRun run(m);
  ASSERT_FALSE(run.Start(ImitatorSettings(dir.path, src, 3, 2001)));
  EXPECT_EQ(run.modeLabel(), "JPL_DE405 ");
  EXPECT_EQ(src.reader().fileYear(), 1980);
  ActionResult last;
  while (run.Running()) {
    BatchResult r = run.Batch();
    if (r.message) {
      last = r.message;
      EXPECT_EQ(src.reader().fileYear(), 2000);
    }
  }
  ASSERT_TRUE(last);
  EXPECT_EQ(last->text, "Ошибка чтения файлов JPL");
  EXPECT_EQ(last->title, "Torvik6");
  EXPECT_GT(m.JD, 2451632.5 - 1.0);  // the last record of the fixture ends at 2451632.5
  EXPECT_LE(m.JD, 2451632.5 + 1.0);
  EXPECT_TRUE(fs::exists(dir.path / "JPL" / "Torvik3Nab.txt"));
}

TEST(JplImitatorRun, StartBeforeTheFirstRecordHasNoSuchDate) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty());
  Model m = StartModel(1959, 11, 1.0f);
  JplImitator src;
  ModelRun run(m);
  RunSettings s = ImitatorSettings(folder, src, 1, 1961);
  s.writeOrbit = false;
  auto msg = run.Start(s);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "В файле нет такой даты");
  EXPECT_EQ(msg->title, "Torvik6");
  EXPECT_FALSE(run.Running());
}

TEST(JplImitatorRun, StepLongerThanARecordFails) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty());
  Model m = StartModel(1970, 1, 1.0f);
  JplImitator src;
  ModelRun run(m);
  RunSettings s = ImitatorSettings(folder, src, 5, 2050);
  s.writeOrbit = false;
  s.watch = false;
  s.live.hMain = 40 * kDay;
  s.live.NOut = 1;
  ASSERT_FALSE(run.Start(s));
  int batches = 0;
  ActionResult last;
  while (run.Running() && batches < 100) {
    ++batches;
    if (auto r = run.Batch(); r.message) last = r.message;
  }
  ASSERT_TRUE(last);
  EXPECT_EQ(last->text, "Ошибка чтения файлов JPL");
  EXPECT_LE(batches, 33);  // 8 days further into each record per step
}

// A century of Mercury from DE405: the orbit file in \JPL, in seconds.
TEST(JplImitatorRun, MercuryFrom1960To2059) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty());
  Model m = StartModel(1960, 1, 1.5f);
  JplImitator src;
  ModelRun run(m);
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_FALSE(run.Start(ImitatorSettings(folder, src, 1, 2058)));
  int updates = 0;
  while (run.Running()) {
    BatchResult r = run.Batch();
    ASSERT_FALSE(r.message) << r.message->text << " at JD " << m.JD;
    updates += r.updated;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(run.end(), RunEnd::EndYear);
  EXPECT_EQ(run.currentYear(), 2059);
  EXPECT_GT(updates, 100);
  EXPECT_LT(seconds, 60.0);
  RecordProperty("seconds", std::to_string(seconds));
  EXPECT_EQ(run.orbitFile(), ResolvePath(folder, "\\JPL\\Torvik1Nab.txt"));
  auto rec = Records(run.orbitFile());
  // Two records per revolution of 88 days over 99 years.
  EXPECT_NEAR(static_cast<double>(rec.size()), 2.0 * 99 * 365.25 / 87.969, 6.0);
  // Perihelion longitude about 77.4° (J2000) moving 5.6"/year.
  ASSERT_FALSE(rec.empty());
  for (const auto& r : rec) EXPECT_NEAR(r[2] / 1e6, 77.46, 0.2);
}

// A century of Mercury from the APC library finishes well within a minute.
TEST(ApcImitatorRun, MercuryCentury) {
  Folder dir("apc");
  Model m = StartModel(1950, 1, 1.5f);
  auto src = MakeImitator(ImitatorKind::Apc);
  ModelRun run(m);
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_FALSE(run.Start(ImitatorSettings(dir.path, *src, 1, 2049)));
  while (run.Running()) {
    BatchResult r = run.Batch();
    ASSERT_FALSE(r.message) << r.message->text;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(seconds, 60.0);
  RecordProperty("seconds", std::to_string(seconds));
  auto rec = Records(dir.path / "APC" / "Torvik1Nab.txt");
  EXPECT_NEAR(static_cast<double>(rec.size()), 2.0 * 100 * 365.25 / 87.969, 6.0);
}

}  // namespace
}  // namespace torvik
