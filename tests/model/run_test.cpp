// Runs of the modelling screen without drawing: the orbit file against a
// fixture, the record numbering, run control (batches, stop, continue with a
// change of direction, end year, plan notification) and the imitator mode.
#include "model/run.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <functional>
#include <string_view>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include <unistd.h>

#include "core/calendar.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "orbit_records.h"
#include "synthetic.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;
using testing::FillSyntheticSystem;

constexpr double kDay = 86400.0;

struct TempFolder {
  fs::path path;
  explicit TempFolder(const char* name, bool standard = true) {
    path = fs::temp_directory_path() / (std::string("torvik6_run_") + name + "_" + std::to_string(::getpid()));
    fs::remove_all(path);
    fs::create_directories(path);
    if (standard) EnsureProgramFolder(path);
  }
  ~TempFolder() { fs::remove_all(path); }
};

std::string ReadBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

RunSettings MercurySettings(const fs::path& folder, int years) {
  RunSettings s;
  s.folder = folder;
  s.PlanetNo = 1;
  s.endYear = 1601 + years - 1;
  s.writeOrbit = true;
  s.runDate = "10.12.2026";
  return s;
}

// Text of the digit pattern: "0" a digit, "." itself; a leading minus allowed.
bool FitsPattern(std::string_view text, std::string_view pattern) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  if (text.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (pattern[i] == '0' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != pattern[i])
      return false;
  return true;
}

// The text right after `prefix` in `line` is a short date "dd.MM.yyyy".
bool ShortDateAfter(const std::string& line, const std::string& prefix) {
  auto at = line.find(prefix);
  return at != std::string::npos && FitsPattern(std::string_view(line).substr(at + prefix.size(), 10), "00.00.0000");
}

void RunToEnd(ModelRun& run) {
  while (run.Running()) {
    BatchResult r = run.Batch();
    ASSERT_FALSE(r.message) << r.message->text;
  }
}

// ---- the orbit file ----

TEST(RunFiles, MercuryOrbitFileMatchesFixture) {
  TempFolder dir("fixture");
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  ASSERT_FALSE(run.Start(MercurySettings(dir.path, 3)));
  RunToEnd(run);
  EXPECT_EQ(run.end(), RunEnd::EndYear);
  const fs::path file = dir.path / "Plan0" / "Txt1" / "Torvik1RasB1.txt";
  ASSERT_EQ(run.orbitFile(), ResolvePath(dir.path, "\\Plan0\\Txt1\\Torvik1RasB1.txt"));
  std::string got = ReadBytes(file);
  std::string want = ReadBytes(fs::path(TORVIK6_TEST_DATA) / "model" / "Torvik1RasB1.txt");
  // The run date is the one field a real run cannot fix; here it is given.
  EXPECT_FALSE(want.empty());
  EXPECT_EQ(got, want);
  if (got != want) {
    fs::copy_file(file, fs::temp_directory_path() / "Torvik1RasB1.got.txt",
                  fs::copy_options::overwrite_existing);
  }
}

TEST(RunFiles, RunDateIsTodayInShortFormat) {
  TempFolder dir("today");
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  RunSettings s = MercurySettings(dir.path, 1);
  s.runDate.clear();
  s.live.writeTrace = true;
  ASSERT_FALSE(run.Start(s));
  auto lines = ReadTextFile(run.orbitFile());
  ASSERT_TRUE(lines);
  EXPECT_TRUE(ShortDateAfter((*lines)[0], " от  ")) << (*lines)[0];
  auto trace = ReadTextFile(run.traceFile());
  ASSERT_TRUE(trace);
  ASSERT_EQ(trace->size(), 6u);
  EXPECT_EQ((*trace)[0], "");
  EXPECT_EQ((*trace)[1].rfind("эксперимент для объекта № 1 выполнен  ", 0), 0u);
  EXPECT_TRUE(ShortDateAfter((*trace)[1], "выполнен  ")) << (*trace)[1];
  EXPECT_EQ((*trace)[5], "");
}

TEST(RunFiles, RecordsStartAtNRevTwoAndComeInPairs) {
  TempFolder dir("nrev");
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  std::vector<int> kinds;  // 1 perihelion, 0 aphelion, per later extremum
  run.onExtremum = [&](const ModelRun& r) { kinds.push_back(r.watch().InPeriWin); };
  ASSERT_FALSE(run.Start(MercurySettings(dir.path, 3)));
  RunToEnd(run);
  auto rec = test::OrbitRecords(run.orbitFile());
  ASSERT_GE(rec.size(), 20u);
  EXPECT_EQ(rec[0][0], 2);
  // Every record of a perihelion has the NRev of the aphelion after it.
  const std::size_t skip = kinds.size() - rec.size();  // later extrema while NRev was 1
  for (std::size_t i = 0; i + 1 < rec.size(); ++i) {
    if (kinds[skip + i] == 1) {
      EXPECT_EQ(kinds[skip + i + 1], 0);
      EXPECT_EQ(rec[i][0], rec[i + 1][0]) << "record " << i;
    } else if (i > 0) {
      EXPECT_EQ(rec[i + 1][0], rec[i][0] + 1) << "record " << i;
    }
  }
  for (const auto& r : rec) {
    EXPECT_GT(r[1], 0);               // forward: days × 100 grow
    EXPECT_NEAR(r[5] / 1e6, 0.2056, 0.002);  // eccentricity
    EXPECT_NEAR(r[7] / 1e6, 87.97, 0.2);     // period, days
  }
}

TEST(RunFiles, BackwardRunWritesNegativeDays) {
  TempFolder dir("back");
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  RunSettings s = MercurySettings(dir.path, 1);
  s.Dir = -1;
  s.endYear = 1601;
  ASSERT_FALSE(run.Start(s));
  RunToEnd(run);
  auto rec = test::OrbitRecords(run.orbitFile());
  ASSERT_FALSE(rec.empty());
  for (const auto& r : rec) EXPECT_LT(r[1], 0);
  // The end-year test follows JD, which grows whatever the direction.
  EXPECT_EQ(run.end(), RunEnd::EndYear);
  EXPECT_GE(run.currentYear(), 1602);
}

// A folder that cannot take the files: the message names the file whose
// write failed.
TEST(RunFiles, UnwritableFolderNamesTheFile) {
  TempFolder dir("bare", /*standard=*/false);  // no Plan0\Txt1, no XYZ
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  auto msg = run.Start(MercurySettings(dir.path, 1));
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Ошибка записи данных в файл\r\n\\Plan0\\Txt1\\Torvik1RasB1.txt");
  EXPECT_EQ(msg->title, "Torvik6");
  EXPECT_FALSE(run.Running());

  RunSettings s = MercurySettings(dir.path, 1);
  s.writeOrbit = false;
  s.live.writeTrace = true;
  msg = run.Start(s);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text.rfind("Ошибка записи данных в файл\r\n\\XYZ\\", 0), 0u) << msg->text;
}

TEST(RunFiles, StartRefusals) {
  TempFolder dir("refuse");
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  RunSettings s = MercurySettings(dir.path, 1);
  s.PlanetNo = 0;
  auto msg = run.Start(s);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Для Солнца с № = 0 этот режим не возможен");
  s.PlanetNo = 1;
  s.live.hMain = 0;
  msg = run.Start(s);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Задайте правильно данные");
  // Vgr = 0 cannot size the orbit file.
  s.live.hMain = 3600;
  s.VgrFactor = 0;
  msg = run.Start(s);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Задайте правильно данные");
  // Without the orbit file the run starts, and the first step fails.
  s.writeOrbit = false;
  s.live.finiteSpeed = true;
  ASSERT_FALSE(run.Start(s));
  BatchResult r = run.Batch();
  ASSERT_TRUE(r.message);
  EXPECT_EQ(r.message->text, "Ошибка решения уравнений");
  EXPECT_EQ(r.end, RunEnd::Error);
}

// Values that would overflow the year arithmetic or carry the date beyond
// every calendar are refused at "Начать".
TEST(RunFiles, StartRefusesValuesBeyondTheirRanges) {
  TempFolder dir("ranges");
  const struct {
    const char* what;
    std::function<void(RunSettings&, Model&)> set;
  } cases[] = {
      {"end year 2147483647", [](RunSettings& s, Model&) { s.endYear = 2147483647; }},
      {"end year -2147483648", [](RunSettings& s, Model&) { s.endYear = -2147483647 - 1; }},
      {"main step 1e20 s", [](RunSettings& s, Model&) { s.live.hMain = 1e20; }},
      {"step reduction 0.5", [](RunSettings& s, Model&) { s.live.NRed = 0.5; }},
      {"NOut 2147483647", [](RunSettings& s, Model&) { s.live.NOut = 2147483647; }},
      {"start year 2147483647", [](RunSettings&, Model& m) { m.DateY = 2147483647; }},
      {"start day 1e30", [](RunSettings&, Model& m) { m.DateD = 1e30f; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Model m;
    FillSyntheticSystem(m);
    RunSettings s = MercurySettings(dir.path, 1);
    c.set(s, m);
    ModelRun run(m);
    auto msg = run.Start(s);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, "Задайте правильно данные");
    EXPECT_FALSE(run.Running());
  }
  EXPECT_FALSE(EstimateRecordCount(299792500.0, 299792500.0, 2147483647, -2147483647 - 1, 87.96926));
}

TEST(RunFiles, HeaderTexts) {
  RunHeader h;
  h.planet = 3, h.fileNo = 5, h.runDate = "01.02.2003", h.startDate = "02.01.1601";
  h.hMain = 3600, h.NRed = 100, h.modeLabel = ModelModeLabel(false, LoadOption::Newcomb);
  h.VXsys = 20, h.VYsys = -1.5, h.VZsys = 0, h.G = GravityFigure(false, 2 * 299792500.0, 299792500.0);
  h.NRecEst = 1234, h.JDstart = 2305814.0;
  auto l = OrbitHeaderLines(h);
  ASSERT_EQ(l.size(), 5u);
  EXPECT_EQ(l[0], "эксперимент № 5 для объекта № 3 от  01.02.2003 плоскость эклиптики в эпоху J2000 начало 02.01.1601");
  EXPECT_EQ(l[2], "КЛАССИКА  NEW          VXsys=  20   VYsys= -1.5   VZsys= 0   Vgr= 0 Vsv / 100 ");
  EXPECT_EQ(l[4], " 1234          230581400 ");
  EXPECT_EQ(ModelOrbitPath(1, 3, 5), "\\Plan1\\Txt3\\Torvik3RasB5.txt");
  EXPECT_EQ(TracePath(3, 5), "\\XYZ\\torvik3XYZ5.txt");
  EXPECT_EQ(ImitatorOrbitPath(ImitatorKind::Jpl, 4), "\\JPL\\Torvik4Nab.txt");
  EXPECT_EQ(ModelModeLabel(true, LoadOption::Jpl), "OTO   JPL");
  EXPECT_EQ(ModelModeLabel(false, LoadOption::Mox), "КЛАССИКА  ");
  EXPECT_EQ(GravityFigure(true, 2 * 299792500.0, 299792500.0), 200);
  // NRecEst with Vgr = Vsv over 400 years of Mercury.
  EXPECT_EQ(EstimateRecordCount(299792500.0, 299792500.0, 2001, 1601, 87.96926), 6975);
}

// ---- run control ----

TEST(RunControl, BatchesStopContinueAndReverse) {
  TempFolder dir("control");
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  RunSettings s = MercurySettings(dir.path, 50);
  s.writeOrbit = false;
  s.watch = false;  // every step is hMain, so the way back retraces the way out
  s.live.NOut = 500;
  s.live.writeTrace = true;
  int updates = 0;
  run.onUpdate = [&](const ModelRun&) { ++updates; };
  ASSERT_FALSE(run.Start(s));
  const double x0 = m.X[1], y0 = m.Y[1];

  BatchResult r = run.Batch();
  EXPECT_EQ(r.steps, 500);
  EXPECT_TRUE(r.updated);
  EXPECT_TRUE(run.Running());

  // "Остановить" takes effect at the next screen update.
  run.RequestStop();
  r = run.Batch();
  EXPECT_EQ(r.end, RunEnd::Stopped);
  EXPECT_FALSE(run.Running());
  const double tMod = run.tMod(), tRun = run.tRun(), JD = m.JD;
  const std::int64_t forward = run.totalSteps();

  // "NC0 шагов": exactly NOut steps and one update, then it stops.
  run.live.NOut = 700;
  run.StepBatch();
  r = run.Batch();
  EXPECT_EQ(r.steps, 700);
  EXPECT_EQ(r.end, RunEnd::Stopped);
  EXPECT_EQ(updates, 3);

  // "Продолжить" with "Назад": the batch keeps the NOut in force (700);
  // tMod grows, tRun runs back, JD still grows.
  run.Continue(-1);
  EXPECT_EQ(run.Dir(), -1);
  run.RequestStop();
  r = run.Batch();
  EXPECT_EQ(r.steps, 700);
  EXPECT_GT(run.tMod(), tMod);
  EXPECT_LT(run.tRun(), tRun + 700 * 3600.0);
  EXPECT_GT(m.JD, JD);
  run.live.NOut = 1000;
  run.StepBatch();
  r = run.Batch();
  EXPECT_EQ(r.steps, 1000);
  EXPECT_EQ(run.totalSteps(), forward + 700 + 700 + 1000);
  // Back where it started: 1700 steps out, 1700 back.
  EXPECT_EQ(run.tRun(), 0.0);
  EXPECT_EQ(run.tMod(), 3400 * 3600.0);
  EXPECT_LT(std::hypot(m.X[1] - x0, m.Y[1] - y0), 10.0) << "metres from the start";

  // The trace: header, then one record per update.
  auto trace = ReadTextFile(run.traceFile());
  ASSERT_TRUE(trace);
  EXPECT_EQ(trace->size(), 6u + 5u);
  // The date "dd.ddd" "." "MM" "." "yyyy", then the labelled fields.
  const std::string& last = trace->back();
  EXPECT_TRUE(FitsPattern(last.substr(0, 14), "00.000.00.0000")) << last;
  const char* labels[] = {"T= ", "X= ", "Y= ", "Z= ", "Rpl= ", "VX= ", "VY= ", "VZ= ", "Vpl= ", "Esys= "};
  std::size_t at = 14;
  for (int i = 0; i < 10; ++i) {
    const std::string label = std::string("____") + labels[i];
    ASSERT_EQ(last.compare(at, label.size(), label), 0) << "field " << i << " of " << last;
    at += label.size();
    std::size_t next = last.find("____", at);
    std::string value = last.substr(at, next == std::string::npos ? std::string::npos : next - at);
    if (i < 9) {
      EXPECT_TRUE(FitsPattern(value, i >= 5 ? "0000000.000" : "000000000.000")) << labels[i] << value;
    }
    at = next;
  }
}

TEST(RunControl, WatchOffKeepsTheMainStep) {
  Model m;
  FillSyntheticSystem(m);
  ModelRun run(m);
  RunSettings s;
  s.watch = false;
  s.live.NOut = 2000;
  s.live.energy = true;
  ASSERT_FALSE(run.Start(s));
  run.RequestStop();
  BatchResult r = run.Batch();
  EXPECT_EQ(r.steps, 2000);
  EXPECT_EQ(run.tMod(), 2000 * 3600.0);
  EXPECT_EQ(run.watch().NRev, 0);
  EXPECT_LT(std::fabs(run.dEsysPercent()), 0.01);
  EXPECT_LT(std::fabs(run.dMsysPercent()), 0.01);
}

TEST(RunControl, PlanIsNotifiedOnceAtTheEnd) {
  TempFolder dir("plan");
  Model m;
  FillSyntheticSystem(m);
  m.PlanNo = 2;
  ModelRun run(m);
  int calls = 0;
  run.onPlanEnd = [&](const ModelRun&) { ++calls; };
  RunSettings s = MercurySettings(dir.path, 1);
  ASSERT_FALSE(run.Start(s));
  EXPECT_EQ(run.orbitFile(), ResolvePath(dir.path, "\\Plan2\\Txt1\\Torvik1RasB1.txt"));
  RunToEnd(run);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(m.PlanNo, 0);
  run.Continue(1);  // past the end year: ends at once, no second notice
  RunToEnd(run);
  EXPECT_EQ(calls, 1);
}

// ---- imitator mode ----

// A heliocentric source on a fixed Mercury-like ellipse.
class EllipseImitator : public Imitator {
 public:
  ImitatorKind Kind() const override { return ImitatorKind::New; }
  ActionResult Start(Model&, const fs::path&, int) override {
    ++starts;
    return std::nullopt;
  }
  ActionResult ImitatePosition(Model& m, int p) override {
    if (failAfter >= 0 && calls >= failAfter) return UserMessage{"Ошибка чтения файлов JPL", kTitle};
    ++calls;
    lastJD = m.JD;
    const double L = (252.25 + 4.0923 * (m.JD - 2305814.0)) / 57.29577951308232;
    double r[3], v[3];
    testing::EllipseState(0.387 * 1.495978707e11, 0.2056, 7.0 / 57.29577951308232, 48.33 / 57.29577951308232,
                          77.46 / 57.29577951308232, L, 1.0, r, v);
    m.X[0] = m.Y[0] = m.Z[0] = 0.0;
    m.X[p] = r[0], m.Y[p] = r[1], m.Z[p] = r[2];
    if (nanAfter >= 0 && calls > nanAfter) m.X[p] = std::nan("");
    return std::nullopt;
  }
  void Finish() override { ++finishes; }
  int starts = 0, calls = 0, finishes = 0, failAfter = -1, nanAfter = -1;
  double lastJD = 0;
};

TEST(RunImitator, SamplesTheSourceAndWritesItsFolder) {
  TempFolder dir("imitator");
  Model m;
  FillSyntheticSystem(m);
  EllipseImitator src;
  {
    ModelRun run(m);
    RunSettings s = MercurySettings(dir.path, 2);
    s.imitatorMode = true;
    s.imitator = &src;
    ASSERT_FALSE(run.Start(s));
    EXPECT_EQ(run.modeLabel(), "NEW_0");
    EXPECT_EQ(run.orbitFile(), ResolvePath(dir.path, "\\NEW\\Torvik1Nab.txt"));
    RunToEnd(run);
    EXPECT_EQ(src.starts, 1);
    EXPECT_EQ(src.calls, run.totalSteps());
    auto rec = test::OrbitRecords(run.orbitFile());
    ASSERT_GE(rec.size(), 10u);
    for (const auto& r : rec) EXPECT_NEAR(r[2] / 1e6, 77.46, 0.01);  // AlfaP, degrees
    auto lines = ReadTextFile(run.orbitFile());
    EXPECT_EQ((*lines)[2].substr(0, 15), "NEW_0          ");
    EXPECT_EQ(src.finishes, 0);
  }
  EXPECT_EQ(src.finishes, 1);  // the run object went away

  // A read error ends the run at once with the source's message.
  src.failAfter = src.calls + 10;
  ModelRun run(m);
  RunSettings s = MercurySettings(dir.path, 2);
  s.imitatorMode = true;
  s.imitator = &src;
  ASSERT_FALSE(run.Start(s));
  BatchResult r = run.Batch();
  EXPECT_EQ(r.steps, 10);
  ASSERT_TRUE(r.message);
  EXPECT_EQ(r.message->text, "Ошибка чтения файлов JPL");
  EXPECT_FALSE(run.Running());
}

// No run goes on, or ends as a success, once its state or its date has left
// the finite numbers or the calendars.
TEST(RunControl, NonFiniteStateOrDateEndsTheRunWithAnError) {
  TempFolder dir("nonfinite");
  const struct {
    const char* what;
    bool imitator;
    std::function<void(RunSettings&, Model&, EllipseImitator&)> set;
  } cases[] = {
      {"a velocity of 1e300", false, [](RunSettings&, Model& m, EllipseImitator&) { m.VX[3] = m.VX0[3] = 1e300; }},
      {"a source giving NaN", true, [](RunSettings&, Model&, EllipseImitator& src) { src.nanAfter = 5; }},
      {"a date beyond the year 10000", true,
       [](RunSettings& s, Model& m, EllipseImitator&) {
         m.DateY = 10000, m.DateM = 12, m.DateD = 31;
         DateToJD(m);
         m.JDstart = m.JD;
         s.endYearOn = false;
         s.live.hMain = 1e7;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Model m;
    FillSyntheticSystem(m);
    EllipseImitator src;
    RunSettings s = MercurySettings(dir.path, 2);
    s.writeOrbit = false;
    if (c.imitator) s.imitatorMode = true, s.imitator = &src;
    c.set(s, m, src);
    ModelRun run(m);
    // The run is refused at "Начать" or ends at its first steps.
    ActionResult msg = run.Start(s);
    while (!msg && run.Running()) msg = run.Batch().message;
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, "Ошибка решения уравнений");
    EXPECT_FALSE(run.Running());
    EXPECT_LT(run.totalSteps(), 100);
  }
}

}  // namespace
}  // namespace torvik
