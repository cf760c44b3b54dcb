// The user's own table workbooks through LibreOffice Calc: the tests make
// their workbooks with python3-openpyxl (real formulas at the cells of each
// table), start the office themselves and check the cell contract, the run
// over a workbook against the same formulas computed here, the failures and
// the office that dies or hangs during a run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fake_workbook.h"
#include "make_workbook.h"
#include "observe/run.h"
#include "observe/sources.h"
#include "observe/workbook_file.h"
#include "params/startup.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;
using test::FakeWorkbook;
using test::GroupAlive;
using test::GroupEnds;
using test::MakeWorkbook;
using test::OfficeOf;

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A fresh folder per test with "\Tab\" and "\Dat\".
fs::path Folder(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("torvik6_workbook_" + name + "_" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "Tab");
  fs::create_directories(dir / "Dat");
  return dir;
}

// ---- an Almagest of Ptolemy's eccentric Sun and equant Mars ----

// The formulas of the workbook below, computed here the same way: the days
// from the Egyptian date, the Sun on its eccentre, Mars on an eccentre with
// the equant and an epicycle; the latitude as arcminutes with "S" / "N".
constexpr const char* kAlmagestCells =
    "S(2)['A1'] = '=(S1!B6-1)*365+(S1!C6-1)*30+S1!D6-1+S1!E6/24'\n"
    "S(2)['A2'] = '=MOD(330.75+0.98564734*A1,360)'\n"
    "S(2)['A3'] = '=RADIANS(A2-65.5)'\n"
    "S(2)['N20'] = '=MOD(A2-DEGREES(ATAN2(1+2.5/60*COS(A3),2.5/60*SIN(A3))),360)'\n"
    "S(6)['A1'] = '=RADIANS(MOD(3.5+0.5240193*S2!A1-115.5,360))'\n"
    "S(6)['A2'] = '=ASIN(0.1*SIN(A1))'\n"
    "S(6)['A3'] = '=A1-A2'\n"
    "S(6)['A4'] = '=A3-ATAN2(1+0.1*COS(A3),0.1*SIN(A3))'\n"
    "S(6)['A5'] = '=RADIANS(S2!A2-3.5-0.5240193*S2!A1)-(A4-A1)'\n"
    "S(6)['AD57'] = '=MOD(115.5+DEGREES(A4+ATAN2(1+39.5/60*COS(A5),39.5/60*SIN(A5))),360)'\n"
    "S(6)['A6'] = '=66*SIN(A3+RADIANS(8.83))'\n"
    "S(6)['AF30'] = '=ABS(A6)'\n"
    "S(6)['AE30'] = '=IF(A6<0,\"S\",\"N\")'\n";

double Deg(double r) { return r * 180 / M_PI; }
double Rad(double d) { return d * M_PI / 180; }
double Mod360(double x) { return x - 360 * std::floor(x / 360); }

void AlmagestFormulas(FakeWorkbook& wb) {
  const double t = (wb.Number(1, "B6") - 1) * 365 + (wb.Number(1, "C6") - 1) * 30 + wb.Number(1, "D6") - 1 +
                   wb.Number(1, "E6") / 24;
  const double lambda = Mod360(330.75 + 0.98564734 * t);
  const double a = Rad(lambda - 65.5);
  wb.cells[{2, "N20"}].number = Mod360(lambda - Deg(std::atan2(2.5 / 60 * std::sin(a), 1 + 2.5 / 60 * std::cos(a))));
  const double M = Rad(Mod360(3.5 + 0.5240193 * t - 115.5));
  const double theta = M - std::asin(0.1 * std::sin(M));
  const double v = theta - std::atan2(0.1 * std::sin(theta), 1 + 0.1 * std::cos(theta));
  const double alpha = Rad(lambda - 3.5 - 0.5240193 * t) - (v - M);
  wb.cells[{6, "AD57"}].number =
      Mod360(115.5 + Deg(v + std::atan2(39.5 / 60 * std::sin(alpha), 1 + 39.5 / 60 * std::cos(alpha))));
  const double lat = 66 * std::sin(theta + Rad(8.83));
  wb.cells[{6, "AF30"}].number = std::fabs(lat);
  wb.cells[{6, "AE30"}].text = lat < 0 ? "S" : "N";
}

struct Trace {
  std::vector<double> L, B;
  std::vector<std::string> files;
  std::string served;
};

// A one-year run of planet Npl over the Almagest of `src` (opened again).
Trace RunAlmagest(ObservationSource& src, int Npl) {
  Model m;
  EXPECT_FALSE(StartUp(m));
  src.SelectTable(0);
  const SelectResult r = src.SelectTable(TableNumber("Almagest"));
  EXPECT_FALSE(r.message) << r.message->text;
  ObsSettings s;
  ApplyPresets(r.presets, s);
  s.calendar.era = EgyptianEra::Almagest;
  s.Npl = Npl;
  s.years = 1;
  s.fileTrace = s.fileParam = s.fileBad = true;
  Trace t;
  t.served = src.servedBy();
  ObservationRun run(m, src);
  EXPECT_FALSE(run.Start(s));
  while (run.Running()) {
    const ObsStepResult step = run.Step();
    EXPECT_FALSE(step.message) << step.message->text;
    if (!step.reduced) continue;
    t.L.push_back(run.Lnab());
    t.B.push_back(run.Bnab());
  }
  for (const auto& f : run.files()) t.files.push_back(ReadBytes(f));
  return t;
}

TEST(TableWorkbooks, AnAlmagestWorkbookRunsAsItsFormulasComputedHere) {
  if (!test::HaveOffice()) GTEST_SKIP() << "LibreOffice Calc is not installed (scripts/setup.sh)";
  const fs::path book = Folder("almagest"), mirror = Folder("mirror");
  MakeWorkbook(book / "Tab" / "Almagest.xlsx", 8, kAlmagestCells);
  const std::string bytes = ReadBytes(book / "Tab" / "Almagest.xlsx");
  auto formulas = [](std::string_view) {
    auto wb = std::make_unique<FakeWorkbook>(8);
    wb->onRecalculate = AlmagestFormulas;
    return wb;
  };
  ObservationSource workbook(book), computed(mirror, formulas);
  for (int Npl : {0, 4}) {
    const Trace calc = RunAlmagest(workbook, Npl);
    const Trace here = RunAlmagest(computed, Npl);
    EXPECT_EQ(calc.served, "Almagest.xlsx");
    EXPECT_EQ(here.served, kBuiltinTable);
    ASSERT_GT(calc.L.size(), 50u);
    ASSERT_EQ(calc.L.size(), here.L.size());
    bool south = false;
    for (std::size_t i = 0; i < calc.L.size(); ++i) {
      ASSERT_NEAR(calc.L[i], here.L[i], 1e-9) << "planet " << Npl << " step " << i;
      ASSERT_NEAR(calc.B[i], here.B[i], 1e-9) << "planet " << Npl << " step " << i;
      south = south || calc.B[i] < 0;
    }
    if (Npl == 4) {
      EXPECT_TRUE(south) << "the run never met a southern latitude";
    } else {
      EXPECT_EQ(calc.B, std::vector<double>(calc.B.size(), 0.0));
    }
    ASSERT_EQ(calc.files.size(), 3u);
    EXPECT_EQ(calc.files, here.files);
  }
  EXPECT_EQ(ReadBytes(book / "Tab" / "Almagest.xlsx"), bytes);
  fs::remove_all(book);
  fs::remove_all(mirror);
}

// ---- the cell contract, the choice of the source and the failures ----

TEST(TableWorkbooks, TheCellContractAndTheFailuresThroughRealWorkbooks) {
  if (!test::HaveOffice()) GTEST_SKIP() << "LibreOffice Calc is not installed (scripts/setup.sh)";
  const fs::path dir = Folder("contract");
  const fs::path tab = dir / "Tab";
  MakeWorkbook(tab / "Almagest.xlsx", 8, "S(6)['AD57'] = 200\nS(6)['AF30'] = '=45*2'\nS(6)['AE30'] = 'S'\n");
  // The Sun at 100 plus Ptab 2.5; Mercury's cells empty; Mars at the year
  // written (read back through the input cell); Venus's latitude a text.
  MakeWorkbook(tab / "AlKhwarizmi.xlsx", 9,
               "S(1)['C14'] = 100\nS(1)['C22'] = '=5/2'\nS(1)['C18'] = '=D9+C9/100'\nS(1)['F18'] = '=B9+F9'\n"
               "S(1)['C19'] = 10\nS(1)['F19'] = 'north'\n");
  // Every AlfonsoTab latitude is 0 whatever the workbook holds; Mars an error.
  MakeWorkbook(tab / "AlfonsoTab.xlsx", 7,
               "S(1)['D39'] = 1.25\nS(1)['D46'] = 280\nS(1)['E46'] = 7\nS(1)['D112'] = '=1/0'\nS(1)['D128'] = 45\n");
  MakeWorkbook(tab / "Wing.xlsx", 3, "S(3)['P19'] = 1\n");  // ten worksheets wanted
  {
    std::ofstream(tab / "Streete.xlsx") << "not a workbook";
  }
  const std::string almagest = ReadBytes(tab / "Almagest.xlsx");
  const std::string khwarizmi = ReadBytes(tab / "AlKhwarizmi.xlsx");

  ObservationSource src(dir);
  StepDate d;
  d.CurY = 850, d.CurM = 3, d.CurDay = 14, d.CurH = 6.5f;

  ASSERT_FALSE(src.SelectTable(TableNumber("Almagest")).message);
  EXPECT_EQ(src.servedBy(), "Almagest.xlsx");
  EXPECT_EQ(src.path(), tab / "Almagest.xlsx");
  SourcePositions pos;
  ASSERT_FALSE(src.ReadTablePosition(d, 4, pos));
  EXPECT_DOUBLE_EQ(pos.PosL[4], 200);
  EXPECT_DOUBLE_EQ(pos.PosB[4], -1.5);  // 90′ south

  // Another table closes the first: the file keeps its bytes.
  ASSERT_FALSE(src.SelectTable(TableNumber("AlKhwarizmi")).message);
  EXPECT_EQ(src.servedBy(), "AlKhwarizmi.xlsx");
  EXPECT_EQ(ReadBytes(tab / "Almagest.xlsx"), almagest);
  pos = SourcePositions{};
  ASSERT_FALSE(src.ReadTablePosition(d, 0, pos));
  EXPECT_DOUBLE_EQ(pos.PosL[0], 102.5);
  EXPECT_DOUBLE_EQ(pos.PosB[0], 0);
  EXPECT_DOUBLE_EQ(pos.Ptab, 2.5);
  ASSERT_FALSE(src.ReadTablePosition(d, 1, pos));  // empty cells: 0 (+ Ptab)
  EXPECT_DOUBLE_EQ(pos.PosL[1], 2.5);
  EXPECT_DOUBLE_EQ(pos.PosB[1], 0);
  ASSERT_FALSE(src.ReadTablePosition(d, 4, pos));  // the input cells and their types
  EXPECT_DOUBLE_EQ(pos.PosL[4], 850 + 0.03 + 2.5);
  EXPECT_DOUBLE_EQ(pos.PosB[4], 14 + 6.5);
  const SourcePositions before = pos;
  ASSERT_FALSE(src.ReadTablePosition(d, 5, pos));  // Jupiter: nothing read
  EXPECT_EQ(pos.PosL, before.PosL);
  EXPECT_EQ(pos.PosB, before.PosB);
  auto fault = src.ReadTablePosition(d, 2, pos);  // a text where a latitude belongs
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->text, kTableFault);
  EXPECT_EQ(fault->title, kTitle0);
  EXPECT_EQ(pos.PosL, before.PosL);
  EXPECT_EQ(pos.PosB, before.PosB);

  ASSERT_FALSE(src.SelectTable(TableNumber("AlfonsoTab")).message);
  pos = SourcePositions{};
  pos.PosB[0] = 9;
  ASSERT_FALSE(src.ReadTablePosition(d, 0, pos));
  EXPECT_DOUBLE_EQ(pos.PosL[0], 280);
  EXPECT_DOUBLE_EQ(pos.PosB[0], 0);
  EXPECT_DOUBLE_EQ(pos.Ptab, 1.25);
  ASSERT_FALSE(src.ReadTablePosition(d, 2, pos));
  EXPECT_DOUBLE_EQ(pos.PosB[2], 0);
  pos.PosL[4] = 7, pos.PosB[4] = 8;
  fault = src.ReadTablePosition(d, 4, pos);  // #DIV/0!
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->text, kTableFault);
  EXPECT_EQ(pos.PosL[4], 7);
  EXPECT_EQ(pos.PosB[4], 8);

  // A workbook without the worksheets of its table, and one the office
  // cannot open: "Не найден файл" and the path; the selection stays.
  for (const char* table : {"Wing", "Streete"}) {
    const SelectResult r = src.SelectTable(TableNumber(table));
    ASSERT_TRUE(r.message) << table;
    EXPECT_EQ(r.message->text, std::string(kNotFound) + "\r\n\\Tab\\" + table + ".xlsx");
    EXPECT_EQ(r.message->title, kTitle);
    EXPECT_EQ(src.name(), table);
    EXPECT_EQ(src.servedBy(), "");
    EXPECT_TRUE(src.ReadTablePosition(d, 0, pos));
  }
  EXPECT_FALSE(src.EngineLost());

  // The calculators on demand, and where no workbook is.
  src.SetBuiltinOnly(true);
  ASSERT_FALSE(src.SelectTable(TableNumber("Almagest")).message);
  EXPECT_EQ(src.servedBy(), kBuiltinTable);
  src.SetBuiltinOnly(false);
  ASSERT_FALSE(src.SelectTable(TableNumber("AlBattani")).message);
  EXPECT_EQ(src.servedBy(), kBuiltinTable);

  // Closing the screen ends the office it started.
  const pid_t group = src.engine()->pid();
  ASSERT_TRUE(GroupAlive(group));
  src.CloseSources();
  EXPECT_TRUE(GroupEnds(group));
  EXPECT_EQ(ReadBytes(tab / "AlKhwarizmi.xlsx"), khwarizmi);
  EXPECT_EQ(ReadBytes(tab / "Almagest.xlsx"), almagest);
  for (const auto& e : fs::directory_iterator(tab))  // no lock file left behind
    EXPECT_EQ(e.path().filename().string().find(".~lock"), std::string::npos) << e.path();
  fs::remove_all(dir);
}

TEST(TableWorkbooks, AnOfficeThatDiesOrHangsEndsTheRun) {
  if (!test::HaveOffice()) GTEST_SKIP() << "LibreOffice Calc is not installed (scripts/setup.sh)";
  const fs::path dir = Folder("killed");
  MakeWorkbook(dir / "Tab" / "AlBattani.xlsx", 9, "S(1)['C18'] = '=MOD(D9*191+C9*16+B9*0.524,360)'\n");
  Model m;
  ASSERT_FALSE(StartUp(m));
  ObservationSource src(dir);
  for (const int signal : {SIGKILL, SIGSTOP}) {
    // The second time the same table starts a new office.
    const SelectResult r = src.SelectTable(TableNumber("AlBattani"));
    ASSERT_FALSE(r.message);
    ASSERT_EQ(src.servedBy(), "AlBattani.xlsx");
    src.engine()->SetRequestTimeout(3000);
    ObsSettings s;
    ApplyPresets(r.presets, s);
    s.Npl = 4;
    s.years = 5;
    s.dRlimit = false;
    ObservationRun run(m, src);
    ASSERT_FALSE(run.Start(s));
    for (int i = 0; i < 5; ++i) ASSERT_FALSE(run.Step().message);
    const pid_t group = src.engine()->pid();
    const pid_t office = OfficeOf(group);
    ASSERT_GT(office, 0);
    kill(office, signal);
    const auto t0 = std::chrono::steady_clock::now();
    ObsStepResult step;
    int steps = 0;
    while (run.Running() && steps++ < 20) step = run.Step();
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_FALSE(run.Running()) << "signal " << signal;
    ASSERT_TRUE(step.message) << "signal " << signal;
    EXPECT_EQ(step.message->text, kTableFault);
    EXPECT_LT(waited, 10.0);
    EXPECT_TRUE(src.EngineLost());
    EXPECT_TRUE(GroupEnds(group));
  }
  fs::remove_all(dir);
}

// ---- the reply reader ----

TEST(TableWorkbooks, RepliesOfTheCellServer) {
  std::vector<CellValue> v;
  ASSERT_TRUE(ParseCellsReply("K N-1.5 E TS X503 T N1e+20", 6, &v));
  EXPECT_EQ(v[0].number, -1.5);
  EXPECT_EQ(v[1].kind, CellKind::Value);
  EXPECT_EQ(v[1].number, 0);
  EXPECT_EQ(v[2].kind, CellKind::Text);
  EXPECT_EQ(v[2].text, "S");
  EXPECT_EQ(v[3].kind, CellKind::Error);
  EXPECT_EQ(v[4].kind, CellKind::Text);
  EXPECT_EQ(v[4].text, "");
  EXPECT_EQ(v[5].number, 1e20);
  ASSERT_TRUE(ParseCellsReply("K T%D0%AE%20x%25", 1, &v));
  EXPECT_EQ(v[0].text, "Ю x%");
  ASSERT_TRUE(ParseCellsReply("K", 0, &v));
  for (const char* bad : {"", "F no cell", "K N1", "K N1 N2 N3", "K  N1 N2", "K N1,5 N2", "K N N2", "K Q1 N2",
                          "K X5a N2", "K E1 N2", "K N1 N2 "})
    EXPECT_FALSE(ParseCellsReply(bad, 2, &v)) << bad;
}

TEST(TableWorkbooks, TheWorkbookOfATableIsXlsThenXlsxThenOds) {
  const fs::path dir = Folder("find");
  EXPECT_FALSE(FindTableWorkbook(dir, "Wing"));
  for (const char* ext : {".ods", ".xlsx", ".xls"}) {
    std::ofstream(dir / "Tab" / (std::string("Wing") + ext)) << "x";
    EXPECT_EQ(FindTableWorkbook(dir, "Wing"), dir / "Tab" / (std::string("Wing") + ext));
  }
  fs::create_directories(dir / "Tab" / "Streete.xls");  // a folder is no workbook
  EXPECT_FALSE(FindTableWorkbook(dir, "Streete"));
  EXPECT_FALSE(FindTableWorkbook({}, "Wing"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace torvik
