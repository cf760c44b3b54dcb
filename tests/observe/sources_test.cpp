// Sources of an observation run: selection and presets, the cells of the
// table workbooks, and the observatory record layout with its skip rules.
#include <gtest/gtest.h>

#include "core/textfile.h"

#include <filesystem>
#include <fstream>

#include "fake_workbook.h"
#include "observe/sources.h"

namespace torvik {
namespace {

using test::FakeWorkbook;

// A source whose workbooks are FakeWorkbooks prepared by `fill`; counts the opens.
struct TableFixture {
  std::map<std::string, std::function<void(FakeWorkbook&)>> fill;
  int opens = 0;
  FakeWorkbook* last = nullptr;
  ObservationSource source{"/nonexistent", [this](std::string_view name) -> std::unique_ptr<Workbook> {
                             ++opens;
                             auto wb = std::make_unique<FakeWorkbook>(11);
                             if (auto it = fill.find(std::string(name)); it != fill.end()) it->second(*wb);
                             last = wb.get();
                             return wb;
                           }};
};

StepDate Date(int y, int m, int day, float h) {
  StepDate d;
  d.CurY = y, d.CurM = static_cast<std::int16_t>(m), d.CurDay = static_cast<std::int16_t>(day);
  d.CurH = h, d.CurD = day + h / 24;
  return d;
}

TEST(TableSource, CellContractAndUnitNotes) {
  TableFixture f;
  f.fill["Almagest"] = [](FakeWorkbook& wb) {
    wb.cells[{6, "AD57"}].number = 123.25;
    wb.cells[{6, "AF30"}].number = 90;  // arcminutes
    wb.cells[{6, "AE30"}].text = "S";
    wb.cells[{8, "AD36"}].number = 30;
  };
  f.fill["AlKhwarizmi"] = [](FakeWorkbook& wb) {
    wb.cells[{1, "C14"}].number = 100;
    wb.cells[{1, "C22"}].number = 2.5;
    wb.cells[{1, "F20"}].number = 7;  // a Sun read must not take it
  };
  f.fill["AlfonsoTab"] = [](FakeWorkbook& wb) {
    wb.cells[{1, "D112"}].number = 200;
    wb.cells[{1, "D39"}].number = 9;
  };
  ASSERT_FALSE(f.source.SelectTable(TableNumber("Almagest")).message);
  SourcePositions pos;
  ASSERT_FALSE(f.source.ReadTablePosition(Date(748, 5, 12, 6.5f), 4, pos));
  EXPECT_DOUBLE_EQ(pos.PosL[4], 123.25);
  EXPECT_DOUBLE_EQ(pos.PosB[4], -1.5);
  EXPECT_DOUBLE_EQ(pos.Ptab, 0);
  // Input cells of sheet 1: year B6, month C6, day D6, hours E6.
  EXPECT_EQ(f.last->Number(1, "B6"), 748);
  EXPECT_EQ(f.last->Number(1, "C6"), 5);
  EXPECT_EQ(f.last->Number(1, "D6"), 12);
  EXPECT_FLOAT_EQ(static_cast<float>(f.last->Number(1, "E6")), 6.5f);
  ASSERT_FALSE(f.source.ReadTablePosition(Date(748, 5, 12, 0), 1, pos));
  EXPECT_DOUBLE_EQ(pos.PosB[1], 0.5);  // Mercury latitude 30' without a sign cell

  ASSERT_FALSE(f.source.SelectTable(TableNumber("AlKhwarizmi")).message);
  ASSERT_FALSE(f.source.ReadTablePosition(Date(800, 1, 1, 0), 0, pos));
  EXPECT_DOUBLE_EQ(pos.PosL[0], 102.5);
  EXPECT_DOUBLE_EQ(pos.PosB[0], 0);
  EXPECT_DOUBLE_EQ(pos.Ptab, 2.5);

  // Jupiter: Ptab is read, the places stay as they were.
  pos.PosL[5] = 11, pos.PosB[5] = 12;
  ASSERT_FALSE(f.source.ReadTablePosition(Date(800, 1, 1, 0), 5, pos));
  EXPECT_EQ(pos.PosL[5], 11);
  EXPECT_EQ(pos.PosB[5], 12);

  // AlfonsoTab: latitude 0 for every body, Ptab only shown.
  ASSERT_FALSE(f.source.SelectTable(TableNumber("AlfonsoTab")).message);
  ASSERT_FALSE(f.source.ReadTablePosition(Date(1200, 1, 1, 0), 4, pos));
  EXPECT_DOUBLE_EQ(pos.PosL[4], 200);
  EXPECT_DOUBLE_EQ(pos.PosB[4], 0);
  EXPECT_DOUBLE_EQ(pos.Ptab, 9);
}

TEST(TableSource, FaultsOfTheWorkbook) {
  TableFixture f;
  ASSERT_FALSE(f.source.SelectTable(TableNumber("Wing")).message);
  SourcePositions pos;
  pos.PosL[4] = 1, pos.PosB[4] = 2;
  f.last->failRecalculate = true;
  const auto fault = f.source.ReadTablePosition(Date(1620, 1, 1, 0), 4, pos);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->text, "Ошибка вычислений в таблицах");
  EXPECT_EQ(fault->title, "Torvik6.0");
  EXPECT_EQ(pos.PosL[4], 1);
  EXPECT_EQ(pos.PosB[4], 2);

  // A workbook with fewer sheets than the table binds does not open.
  ObservationSource small("/x", [](std::string_view) { return std::make_unique<FakeWorkbook>(3); });
  auto r = small.SelectTable(TableNumber("Wing"));
  ASSERT_TRUE(r.message);
  EXPECT_EQ(r.message->text, "Не найден файл\r\n\\Tab\\Wing.xls");
  EXPECT_EQ(r.message->title, "Torvik6");
  EXPECT_TRUE(small.ReadTablePosition(Date(1620, 1, 1, 0), 4, pos));
  // No calculator for the table at all.
  ObservationSource none("/x", [](std::string_view) { return nullptr; });
  r = none.SelectTable(TableNumber("Streete"));
  ASSERT_TRUE(r.message);
  EXPECT_EQ(r.message->text, "Не найден файл\r\n\\Tab\\Streete.xls");
}

TEST(TableSource, SelectionAndPresets) {
  TableFixture f;
  auto a = f.source.SelectTable(1);
  f.source.SelectTable(1);
  EXPECT_EQ(f.opens, 1);  // the open workbook is kept
  EXPECT_EQ(a.presets.calendar, ObsCalendar::Julian);
  EXPECT_EQ(a.presets.dayStart, DayStart::Noon);
  EXPECT_TRUE(a.presets.refraction && a.presets.parallax && a.presets.aberrPl && a.presets.aberrZv);
  EXPECT_FALSE(a.presets.nutation);
  EXPECT_EQ(a.presets.ObsL, 37);
  auto w = f.source.SelectTable(10);
  EXPECT_EQ(f.opens, 2);
  EXPECT_EQ(f.source.name(), "Wing");
  EXPECT_FALSE(w.presets.refraction || w.presets.parallax);
  auto p = f.source.SelectTable(TableNumber("PrutenticTables"));
  EXPECT_EQ(p.presets.dayStart, DayStart::Midnight);
  auto e = f.source.SelectTable(TableNumber("HandyTables"));
  EXPECT_EQ(e.presets.calendar, ObsCalendar::Egyptian);
  EXPECT_EQ(e.presets.timeLabel, "часов, дни от 12.11.323 г. до н.э.");
  f.source.SelectTable(0);
  EXPECT_FALSE(f.source.IsOpen());
  EXPECT_EQ(f.opens, 4);

  auto o = f.source.SelectObservatory(3, 4);  // USNO, Mars; the file is missing here
  EXPECT_EQ(o.presets.calendar, ObsCalendar::Gregorian);
  EXPECT_EQ(o.presets.dayStart, DayStart::Midnight);
  EXPECT_TRUE(o.presets.nutation && o.presets.aberrPl && o.presets.aberrZv);
  EXPECT_FALSE(o.presets.refraction || o.presets.parallax);
  EXPECT_DOUBLE_EQ(o.presets.ObsL, -77.066);
  ASSERT_TRUE(o.message);
  EXPECT_EQ(o.message->text, "Не найден файл\r\n\\Obs\\USNO4.txt");
  EXPECT_EQ(f.source.path().filename(), "USNO4.txt");
}

// A record in the observatory layout (columns 11..82).
std::string Line(const char* year, const char* day, const char* month, const char* time, const char* ra,
                 const char* dec, char timeMark = ' ', char raMark = ' ') {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%-10s%4s %2s %3s %c%-13s      %c%-14s           %-14s", "TEST", year, day, month,
                timeMark, time, raMark, ra, dec);
  return buf;
}

TEST(ObservatoryRecord, LayoutAndSkips) {
  using S = ObservationLine::Status;
  const std::string good = Line("1990", " 5", "Mar", "21 30 00 5000", "13 07 34 50000", "-05 12 36 0000");
  ObservationLine o = ParseObservationLine(good, 2000, 1900);
  ASSERT_EQ(o.status, S::Use);
  EXPECT_EQ(o.year, 1990);
  EXPECT_EQ(o.day, 5);
  EXPECT_EQ(o.month, 3);
  EXPECT_FLOAT_EQ(o.hours, 21.5f + 0.5f / 3600);
  EXPECT_DOUBLE_EQ(o.ra, (13 + 7 / 60.0 + 34.5 / 3600) * 15);
  EXPECT_DOUBLE_EQ(o.dec, -(5 + 12 / 60.0 + 36 / 3600.0));
  struct Case {
    const char* name;
    std::string line;
    S want;
  };
  const Case cases[] = {
      {"RA hours 24", Line("1990", " 5", "Mar", "21 30 00 0000", "24 00 00 00000", "+05 00 00 0000"), S::Skip},
      {"declination 0", Line("1990", " 5", "Mar", "21 30 00 0000", "10 00 00 00000", "+00 00 00 0000"), S::Skip},
      {"declination +90", Line("1990", " 5", "Mar", "21 30 00 0000", "10 00 00 00000", "+90 00 00 0000"), S::Skip},
      {"right ascension 0", Line("1990", " 5", "Mar", "21 30 00 0000", "00 00 00 00000", "+05 00 00 0000"), S::Skip},
      {"marker of the time", Line("1990", " 5", "Mar", "21 30 00 0000", "10 00 00 00000", "+05 00 00 0000", '-'),
       S::Skip},
      {"marker of the place",
       Line("1990", " 5", "Mar", "21 30 00 0000", "10 00 00 00000", "+05 00 00 0000", ' ', '-'), S::Skip},
      {"after the start year", Line("2001", " 5", "Mar", "21 30 00 0000", "10 00 00 00000", "+05 00 00 0000"),
       S::Skip},
      {"before the end year", Line("1899", " 5", "Mar", "21 30 00 0000", "10 00 00 00000", "+05 00 00 0000"),
       S::Skip},
      {"letters in the seconds", Line("1990", " 5", "Mar", "21 30 x0 0000", "10 00 00 00000", "+05 00 00 0000"),
       S::Malformed},
      {"blank line", "", S::Malformed},
      {"truncated after the time", good.substr(0, 40), S::Malformed},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseObservationLine(c.line, 2000, 1900).status, c.want) << c.name;
  // A month name that is not exactly one of the twelve reads as no month.
  EXPECT_EQ(ParseObservationLine(Line("1990", " 5", "mar", "21 30 00 0000", "10 00 00 00000", "+05 00 00 0000"),
                                 2000, 1900)
                .month,
            0);
}

// A field out of its range is a read error like a field that is not a
// number: it would move the time (minute 75, day 45) or the place
// (declination 95°, a fraction of 1e300). The skip rules stay.
TEST(ObservatoryRecord, FieldsOutOfRangeAreReadErrors) {
  using S = ObservationLine::Status;
  const char *day = " 5", *mon = "Mar", *time = "21 30 00 5000", *ra = "13 07 34 50000", *dec = "-05 12 36 0000";
  struct Case {
    const char* name;
    std::string line;
    S want;
  };
  const Case cases[] = {
      {"sound", Line("1990", day, mon, time, ra, dec), S::Use},
      {"day 45", Line("1990", "45", mon, time, ra, dec), S::Malformed},
      {"day 0", Line("1990", " 0", mon, time, ra, dec), S::Malformed},
      {"30 February", Line("1990", "30", "Feb", time, ra, dec), S::Malformed},
      {"29 February of a leap year", Line("1992", "29", "Feb", time, ra, dec), S::Use},
      {"29 February of 1900", Line("1900", "29", "Feb", time, ra, dec), S::Malformed},
      {"hour 25", Line("1990", day, mon, "25 30 00 5000", ra, dec), S::Malformed},
      {"minute 75", Line("1990", day, mon, "21 75 00 5000", ra, dec), S::Malformed},
      {"second 61", Line("1990", day, mon, "21 30 61 5000", ra, dec), S::Malformed},
      {"negative minute", Line("1990", day, mon, "21 -5 00 5000", ra, dec), S::Malformed},
      {"RA minute 60", Line("1990", day, mon, time, "13 60 34 50000", dec), S::Malformed},
      {"RA fraction 1e300", Line("1990", day, mon, time, "13 07 34 1e300", dec), S::Malformed},
      {"RA hours 24 still skipped", Line("1990", day, mon, time, "24 07 34 50000", dec), S::Skip},
      {"declination 95", Line("1990", day, mon, time, ra, "+95 00 00 0000"), S::Malformed},
      {"declination 90 and 1 minute", Line("1990", day, mon, time, ra, "+90 01 00 0000"), S::Malformed},
      {"declination arcminute 61", Line("1990", day, mon, time, ra, "+05 61 00 0000"), S::Malformed},
      {"declination exactly 0 still skipped", Line("1990", day, mon, time, ra, "+00 00 00 0000"), S::Skip},
      {"line cut inside its last field", Line("1990", day, mon, time, ra, dec).substr(0, 80), S::Malformed},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseObservationLine(c.line, 2000, 1900).status, c.want) << c.name;
}

// Columns count the characters of the file (Windows-1251 bytes): a Cyrillic
// letter in column 1 or a note in the ignored columns 59..62 changes nothing,
// and CR-only line ends are line ends.
TEST(ObservatoryRecord, ColumnsCountTheFileCharacters) {
  const std::string good = Line("1990", " 5", "Mar", "21 30 00 5000", "13 07 34 50000", "-05 12 36 0000");
  const ObservationLine ref = ParseObservationLine(good, 2000, 1900);
  ASSERT_EQ(ref.status, ObservationLine::Status::Use);
  std::string cyr = Utf8ToCp1251("С") + good.substr(1);
  std::string note = good;
  note.replace(58, 4, Utf8ToCp1251("прим"));
  for (const std::string& bytes : {cyr + "\r\n" + note + "\r\n", cyr + "\r" + note + "\r"}) {
    const auto lines = SplitByteLines(bytes);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& l : lines) {
      const ObservationLine o = ParseObservationLine(l, 2000, 1900);
      EXPECT_EQ(o.status, ObservationLine::Status::Use) << Cp1251ToUtf8(l);
      EXPECT_EQ(o.ra, ref.ra);
      EXPECT_EQ(o.dec, ref.dec);
      EXPECT_EQ(o.hours, ref.hours);
    }
  }
}

TEST(ObservatoryRecord, ReadNextKeepsTheMonthAndReportsFaults) {
  const auto dir = std::filesystem::temp_directory_path() / "torvik6_obs_source_test";
  std::filesystem::create_directories(dir / "Obs");
  {
    std::ofstream out(dir / "Obs" / "GREN4.txt", std::ios::binary);
    out << Line("1990", " 5", "Apr", "21 30 00 0000", "10 00 00 00000", "+05 00 00 0000") << "\r\n"
        << Line("1990", " 9", "apr", "01 00 00 0000", "11 00 00 00000", "+06 00 00 0000") << "\r\n"
        << Line("1990", "10", "May", "01 00 00 0000", "1x 00 00 00000", "+06 00 00 0000") << "\r\n";
  }
  ObservationSource src(dir);
  src.SwitchKind(SourceKind::Obs, nullptr);
  ASSERT_FALSE(src.SelectObservatory(1, 4).message);
  StepDate d;
  SourcePositions pos;
  UserMessage fail;
  ASSERT_EQ(src.ReadNextObservation(2000, 1900, 4, d, pos, &fail), ObservationSource::ReadStatus::Read);
  EXPECT_EQ(d.CurM, 4);
  ASSERT_EQ(src.ReadNextObservation(2000, 1900, 4, d, pos, &fail), ObservationSource::ReadStatus::Read);
  EXPECT_EQ(d.CurM, 4);  // "apr" keeps April
  EXPECT_EQ(d.CurDay, 9);
  EXPECT_FLOAT_EQ(d.CurD, 9 + 1.0f / 24);
  EXPECT_DOUBLE_EQ(pos.PosL[4], 165);
  ASSERT_EQ(src.ReadNextObservation(2000, 1900, 4, d, pos, &fail), ObservationSource::ReadStatus::Error);
  EXPECT_EQ(fail.text, "Ошибка чтения данных из файла\r\n\\Obs\\GREN4.txt");
  EXPECT_EQ(src.ReadNextObservation(2000, 1900, 4, d, pos, &fail), ObservationSource::ReadStatus::End);
  EXPECT_TRUE(src.ObsEnd());
  // Choosing the open observatory again keeps its position and ObsEnd.
  src.SelectObservatory(1, 4);
  EXPECT_TRUE(src.ObsEnd());
  src.SelectObservatory(0, 4);
  src.SelectObservatory(1, 4);
  EXPECT_FALSE(src.ObsEnd());
  EXPECT_EQ(src.linePosition(), 0u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace torvik
