// Drift files and the point editing that rewrites run files.
#include <gtest/gtest.h>

#include "fixture.h"
#include "stats/statistics.h"

namespace torvik {
namespace {

using test::ReadBytes;
using test::Row;
using test::TempFolder;

// A loaded plan-run file of the given rows in a scratch folder; `answer`
// replies to the questions.
struct Editing {
  TempFolder folder{"edit"};
  Statistics st{{}, folder.path};
  StatsInputs in;
  bool answer = true;
  std::vector<UserMessage> asked;
  test::fs::path file;
  Editing(double JDstart, const std::vector<Row>& rows) {
    st.ask = [this](const UserMessage& q) {
      asked.push_back(q);
      return answer;
    };
    file = ResolvePath(folder.path, Statistics::RunPathOf(in));
    WriteTextFile(file, test::RunLines(JDstart, rows));
    EXPECT_FALSE(st.LoadRunFile(in).message);
  }
  std::vector<std::vector<std::string>> Records() const {
    std::vector<std::vector<std::string>> out;
    auto lines = *ReadTextFile(file);
    for (std::size_t i = 4; i < lines.size(); ++i) out.push_back(SplitFields(lines[i]));
    return out;
  }
};

const std::vector<Row> kThree = {{0, {1, 2, 3, 0.5, 5, 6}}, {10, {1.5, 2, 3, 0.5, 5, 6}}, {25.5, {2, 2, 3, 0.5, 5, 6}}};

TEST(DeletePoint, FirstPointMovesTheStartDate) {
  Editing e(2451545.0, kThree);
  e.in.deleteNo = 1;
  ASSERT_FALSE(e.st.DeletePoint(e.in).message);
  const auto r = e.Records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0], (std::vector<std::string>{"2", "245155500"}));
  EXPECT_EQ(r[1], (std::vector<std::string>{"1", "0", "1500000", "2000000", "3000000", "500000", "5000000", "6000000"}));
  EXPECT_EQ(r[2][1], "1550");
  EXPECT_EQ(e.st.points().JDfile, 2451555.0);
}

TEST(DeletePoint, LastPointOnlyShortensTheFile) {
  Editing e(2451545.0, kThree);
  e.in.deleteNo = 3;
  ASSERT_FALSE(e.st.DeletePoint(e.in).message);
  auto before = test::RunLines(2451545.0, kThree);
  auto after = *ReadTextFile(e.file);
  before.pop_back();
  before[4] = " 2             245154500 ";
  EXPECT_EQ(after, before);
}

TEST(DeletePoint, RefusalsWriteNothing) {
  Editing e(2451545.0, kThree);
  const std::string before = ReadBytes(e.file);
  for (int k : {0, 4, -1}) {
    e.in.deleteNo = k;
    EXPECT_EQ(e.st.DeletePoint(e.in).message->text, kPointNotFound) << k;
  }
  EXPECT_EQ(ReadBytes(e.file), before);
  TempFolder other("nodata");
  Statistics fresh({}, other.path);
  EXPECT_EQ(fresh.DeletePoint(e.in).message->text, kNotPrimaryData);
  EXPECT_EQ(fresh.AddPoint(e.in).message->text, kNotPrimaryData);
  // A run file that cannot be replaced: the message with its path.
  test::fs::remove(e.file);
  test::fs::create_directories(e.file / "x");
  e.in.deleteNo = 2;
  auto o = e.st.DeletePoint(e.in);
  EXPECT_EQ(o.message->text, "Ошибка записи данных в файл\r\n\\Plan1\\Txt1\\Torvik1RasB1.txt");
  EXPECT_EQ(e.st.points().NPoint, 3);  // the table still matches the file it came from
}

TEST(AddPoint, EarlierPointBecomesTheFirstAndMovesTheStart) {
  Editing e(2451545.0, kThree);
  e.in.addYear = 1999, e.in.addMonth = 12, e.in.addDay = 22.5f;  // JD 2451535, 10 days earlier
  e.in.addValue = 0.75;
  e.in.p = 2;
  ASSERT_FALSE(e.st.AddPoint(e.in).message);
  const auto r = e.Records();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0], (std::vector<std::string>{"4", "245153500"}));
  // Zeros in the five elements that were not entered.
  EXPECT_EQ(r[1], (std::vector<std::string>{"1", "0", "0", "750000", "0", "0", "0", "0"}));
  EXPECT_EQ(r[2][1], "1000");
  EXPECT_EQ(r[3][1], "2000");
  EXPECT_EQ(r[4][1], "3550");
  EXPECT_EQ(r[4][2], "2000000");
}

TEST(AddPoint, BetweenTwoPointsAndAfterTheLast) {
  Editing e(2451545.0, kThree);
  e.in.addYear = 2000, e.in.addMonth = 1, e.in.addDay = 6.5f;  // 5 days after the start
  ASSERT_FALSE(e.st.AddPoint(e.in).message);
  e.in.addYear = 2001;
  ASSERT_FALSE(e.st.AddPoint(e.in).message);
  const auto r = e.Records();
  ASSERT_EQ(r.size(), 6u);
  EXPECT_EQ(r[0][1], "245154500");
  EXPECT_EQ(r[2][1], "500");
  EXPECT_EQ(r[5][1], "37100");  // 2001-01-06.5 is 371 days after the start
  EXPECT_TRUE(e.asked.empty());
}

TEST(AddPoint, SameDateAsksAndNoLeavesTheContent) {
  Editing e(2451545.0, kThree);
  const std::string before = ReadBytes(e.file);
  e.in.addYear = 2000, e.in.addMonth = 1, e.in.addDay = 11.5f;  // point 2
  e.in.addValue = 9;
  e.answer = false;
  ASSERT_FALSE(e.st.AddPoint(e.in).message);
  ASSERT_EQ(e.asked.size(), 1u);
  EXPECT_EQ(e.asked[0].text, "Точка с такой датой уже есть\r\nЗаменить отмеченный параметр в этой точке?\r\n");
  EXPECT_EQ(ReadBytes(e.file), before);
  e.answer = true;
  ASSERT_FALSE(e.st.AddPoint(e.in).message);
  const auto r = e.Records();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[2][2], "9000000");
  // A date before JD 0 has no place in the table.
  e.in.addYear = -4800;
  EXPECT_EQ(e.st.AddPoint(e.in).message->text, kPointNotFound);
}

TEST(SelectPoint, NearestPointByMidpointsAndNoneExactlyOnAMidpoint) {
  // Points every four years; with MX1 = 4 years/cm a plot cm is 1461 days.
  Editing e(2451545.0, {{0, {1, 2, 3, 0.5, 5, 6}}, {1461, {2, 2, 3, 0.5, 5, 6}}, {2922, {3, 2, 3, 0.5, 5, 6}}});
  e.in.MX1 = 4;
  struct Case {
    double x;
    bool left;
    int want;  // 0: the selection stays
  } cases[] = {{0.2, true, 1}, {1.49, true, 1}, {1.51, false, 2}, {2.49, false, 2}, {2.5, true, 0},
               {1.5, false, 0}, {2.51, true, 3}, {40, false, 3}};
  for (const Case& c : cases) {
    const int before = e.st.selectedPoint();
    auto o = e.st.SelectPoint(c.x, c.left, e.in);
    ASSERT_FALSE(o.message);
    EXPECT_EQ(e.st.selectedPoint(), c.want ? c.want : before) << c.x;
    EXPECT_EQ((c.left ? o.fields.IStart : o.fields.IEnd).value_or(0), c.want) << c.x;
    if (c.want) {
      EXPECT_EQ((c.left ? o.fields.firstValue : o.fields.lastValue).value(), c.want) << c.x;
    }
  }
  EXPECT_EQ(e.st.SelectPoint(1, true, e.in).fields.firstDate->year, 2000);
}

// ---------------------------------------------------------------------------

TEST(DriftFiles, ReplaceInAPlanFileTruncatesAndKeepsTheOtherDrifts) {
  TempFolder folder("plan");
  Statistics st({}, folder.path);
  StatsInputs in;  // plan 1, planet 1, B4D, experiment 1, perihelion
  std::array<DriftRow, kMaxExperiments + 1> rows{};
  for (int e = 1; e <= 24; ++e)
    for (int p = 1; p <= 6; ++p) rows[static_cast<std::size_t>(e)][static_cast<std::size_t>(p)] = e * 10 + p + 0.123457;
  const auto path = ResolvePath(folder.path, PlanDriftPath(1, 1, 'B'));
  ASSERT_TRUE(WriteTextFile(path, DriftFileLines(PlanDriftHeader(1, 1), rows.data(), 24)));
  const auto before = *ReadTextFile(path);
  in.experiment = 3;
  auto o = st.LoadDriftFile(in);
  ASSERT_FALSE(o.message);
  EXPECT_DOUBLE_EQ(*o.fields.driftInFile, 31.123457);
  EXPECT_EQ(st.points().kind, DataKind::PlanDrift);
  in.computedDrift = -1.2500006;
  ASSERT_FALSE(st.ReplaceDrift(in).message);
  auto lines = *ReadTextFile(path);
  ASSERT_EQ(lines.size(), 26u);
  EXPECT_EQ(lines[0], "Обработанные данные расчета для плана Бокса № 1  по планете № 1");
  EXPECT_EQ(lines[4], " 3            -1250000       32123457      33123457      34123457      35123457      36123457 ");
  // The other records are written back unchanged.
  lines[4] = before[4];
  EXPECT_EQ(lines, before);
}

TEST(DriftFiles, ImitatorFileLayoutAndTheRefusals) {
  TempFolder folder("nab");
  Statistics st({}, folder.path);
  StatsInputs in;
  in.imitatorSource = true;
  in.imitatorFolder = "NEW";
  in.planet = 2;
  in.p = 4;
  // Replacing without the file loaded, and with a plan drift file loaded.
  EXPECT_EQ(st.ReplaceDrift(in).message->text, kNoObservedData);
  const auto nab = ResolvePath(folder.path, ImitatorDriftPath("NEW"));
  std::array<DriftRow, 11> rows{};
  rows[2][4] = 12.5;
  ASSERT_TRUE(WriteTextFile(nab, DriftFileLines(ImitatorDriftHeader("NEW"), rows.data(), 10)));
  StatsInputs plan = in;
  plan.imitatorSource = false;
  std::array<DriftRow, kMaxExperiments + 1> planRows{};
  ASSERT_TRUE(WriteTextFile(ResolvePath(folder.path, PlanDriftPath(1, 2, 'B')),
                            DriftFileLines(PlanDriftHeader(1, 2), planRows.data(), 24)));
  ASSERT_FALSE(st.LoadDriftFile(plan).message);
  const std::string before = ReadBytes(nab);
  in.computedDrift = 99;
  EXPECT_EQ(st.ReplaceDrift(in).message->text, kNoObservedData);
  EXPECT_EQ(ReadBytes(nab), before);

  auto o = st.LoadDriftFile(in);
  ASSERT_FALSE(o.message);
  EXPECT_EQ(*o.fields.driftInFile, 12.5);
  ASSERT_FALSE(st.ReplaceDrift(in).message);
  auto lines = *ReadTextFile(nab);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Обработанные данные  \\NEW  по всем планетам");
  EXPECT_EQ(lines[3], " 2             0             0             0             99000000      0             0 ");
  // Another folder selected after the load: its file is not overwritten.
  in.imitatorFolder = "APC";
  EXPECT_EQ(st.ReplaceDrift(in).message->text, kNoObservedData);
  EXPECT_FALSE(test::fs::exists(ResolvePath(folder.path, ImitatorDriftPath("APC"))));
}

TEST(DriftFiles, ReadErrorsNameTheFileAndKeepTheNewKind) {
  TempFolder folder("bad");
  Statistics st({}, folder.path);
  StatsInputs in;
  in.imitatorSource = true;
  in.imitatorFolder = "JPL";
  const auto nab = ResolvePath(folder.path, ImitatorDriftPath("JPL"));
  std::array<DriftRow, 11> rows{};
  rows[1][1] = 5;
  auto lines = DriftFileLines(ImitatorDriftHeader("JPL"), rows.data(), 10);
  lines.resize(7);  // five records of ten
  ASSERT_TRUE(WriteTextFile(nab, lines));
  const std::string damaged = ReadBytes(nab);
  auto o = st.LoadDriftFile(in);
  ASSERT_TRUE(o.message);
  EXPECT_EQ(o.message->text, "Ошибка чтения данных из файла\r\n\\JPL\\TorvikNab.dat");
  EXPECT_EQ(st.points().kind, DataKind::ImitatorDrift);
  EXPECT_EQ(st.drifts().DriftNab[1][1], 5);  // what was read stays
  EXPECT_EQ(ReadBytes(nab), damaged);         // a damaged file is never made anew
  // A replacement after an incomplete load would write the missing planets as zeros.
  EXPECT_EQ(st.ReplaceDrift(in).message->text, kNoObservedData);
  // Records are taken in file order; the leading numbers do not index them.
  lines = DriftFileLines(ImitatorDriftHeader("JPL"), rows.data(), 10);
  lines[2] = " 7  1  2  3  4  5  6";
  DriftRow read[11]{};
  EXPECT_EQ(ReadDriftLines(lines, read, 10, nullptr), 10);
  EXPECT_EQ(read[1][6], 6e-6);
  lines[5] = " 4  1  2  x  4  5  6";
  EXPECT_EQ(ReadDriftLines(lines, read, 10, nullptr), 3);
}

// A drift file that is not there is a file of zeros in its layout, created by
// the load that starts the screen's road; a damaged one is refused and kept.
TEST(DriftFiles, MissingFilesAreCreatedAsZerosDamagedOnesAreRefused) {
  TempFolder folder("create");
  Statistics st({}, folder.path);
  struct Case {
    bool imitator;
    int records;
    const char* rel;
    const char* header;
  };
  const Case cases[] = {
      {false, 24, "\\Plan1\\Torvik1RasB.dat", "Обработанные данные расчета для плана Бокса № 1  по планете № 1"},
      {true, 10, "\\JPL\\TorvikNab.dat", "Обработанные данные  \\JPL  по всем планетам"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rel);
    StatsInputs in;
    in.imitatorSource = c.imitator;
    in.experiment = 3;
    const auto file = ResolvePath(folder.path, c.rel);
    ASSERT_FALSE(test::fs::exists(file));
    auto o = st.LoadDriftFile(in);
    ASSERT_FALSE(o.message) << o.message->text;
    EXPECT_EQ(*o.fields.driftInFile, 0);
    auto lines = *ReadTextFile(file);
    ASSERT_EQ(lines.size(), 2u + static_cast<std::size_t>(c.records));
    EXPECT_EQ(lines[0], c.header);
    EXPECT_EQ(SplitFields(lines.back()), (std::vector<std::string>{std::to_string(c.records), "0", "0", "0", "0", "0", "0"}));
    EXPECT_NE(ReadBytes(file).find("\r\n"), std::string::npos);
    // The replacement of the road goes into the new file.
    in.computedDrift = 42.5;
    ASSERT_FALSE(st.ReplaceDrift(in).message);
    const int record = c.imitator ? 1 : 3;  // planet 1, experiment 3
    EXPECT_EQ(SplitFields((*ReadTextFile(file))[static_cast<std::size_t>(1 + record)])[1], "42500000");
    // A bad number: refused, the file stays byte for byte, no replacement.
    lines = *ReadTextFile(file);
    lines[4] = " 3  1  x  3  4  5  6";
    ASSERT_TRUE(WriteTextFile(file, lines));
    const std::string damaged = ReadBytes(file);
    EXPECT_EQ(st.LoadDriftFile(in).message->text, std::string("Ошибка чтения данных из файла\r\n") + c.rel);
    EXPECT_TRUE(st.ReplaceDrift(in).message);
    EXPECT_EQ(ReadBytes(file), damaged);
  }
  // No folder for the file: the write error, nothing made.
  StatsInputs in;
  in.plan = 7;
  EXPECT_EQ(st.LoadDriftFile(in).message->text, "Ошибка изменения и записи данных в файл\r\n\\Plan7\\Torvik1RasB.dat");
}

// A load cut short by a bad record leaves the first records in the table; an
// edit would rewrite the file without the rest, so it is refused.
TEST(DeletePoint, NoEditAfterAnIncompleteLoad) {
  std::vector<Row> rows;
  for (int i = 0; i < 25; ++i) rows.push_back({i * 44.0, {77 + i * 0.01, 48, 7, 0.2, 57909, 88}});
  Editing e(2451545.0, rows);
  auto lines = *ReadTextFile(e.file);
  const std::string good = lines[4 + 10];
  auto fields = SplitFields(good);  // record 10
  fields[3] = "4x8";
  std::string bad;
  for (const auto& f : fields) bad += " " + f;
  lines[4 + 10] = bad;
  ASSERT_TRUE(WriteTextFile(e.file, lines));
  const std::string before = ReadBytes(e.file);
  ASSERT_TRUE(e.st.LoadRunFile(e.in).message);
  EXPECT_EQ(e.st.points().NPoint, 9);
  e.in.deleteNo = 2;
  EXPECT_EQ(e.st.DeletePoint(e.in).message->text, kNotPrimaryData);
  e.in.addYear = 2001;
  EXPECT_EQ(e.st.AddPoint(e.in).message->text, kNotPrimaryData);
  EXPECT_EQ(ReadBytes(e.file), before);
  // Loaded whole again, the edit goes through.
  lines[4 + 10] = good;
  ASSERT_TRUE(WriteTextFile(e.file, lines));
  ASSERT_FALSE(e.st.LoadRunFile(e.in).message);
  EXPECT_FALSE(e.st.DeletePoint(e.in).message);
  EXPECT_EQ(e.st.points().NPoint, 24);
}

}  // namespace
}  // namespace torvik
