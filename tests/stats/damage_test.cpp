// Damaged run and drift files are refused whole: damage made by the test from
// good files (a cut last number, a decimal comma, a repeated line, an extra
// field, a junk record, implausible values), and two edits of one run file at
// once.
#include <gtest/gtest.h>

#include <fstream>

#include "fixture.h"
#include "stats/drift_files.h"
#include "stats/statistics.h"

namespace torvik {
namespace {

using test::ReadBytes;
using test::TempFolder;

void WriteBytes(const test::fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// The bytes with one line (0-based, line ends CR LF) replaced.
std::string WithLine(const std::string& bytes, std::size_t index, const std::string& line) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < index; ++i) at = bytes.find("\r\n", at) + 2;
  const std::size_t end = bytes.find("\r\n", at);
  return bytes.substr(0, at) + line + bytes.substr(end);
}
std::string LineOf(const std::string& bytes, std::size_t index) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < index; ++i) at = bytes.find("\r\n", at) + 2;
  return bytes.substr(at, bytes.find("\r\n", at) - at);
}

struct Damage {
  const char* name;
  std::string bytes;
  bool accepted;
};

TEST(RunFileDamage, EveryDamagedVariantOfTheMercuryFileIsRefused) {
  TempFolder folder("run_damage");
  const std::string good = ReadBytes(test::MercuryFile());
  PointTable ref;
  ASSERT_TRUE(ReadRunFile(test::MercuryFile(), ref));
  const std::string rec = LineOf(good, 10);  // record 6
  auto fields = SplitFields(Cp1251ToUtf8(rec));
  auto record = [&](std::size_t field, const std::string& value) {
    auto f = fields;
    f[field] = value;
    std::string l;
    for (const auto& x : f) l += " " + x;
    return WithLine(good, 10, l);
  };
  std::string crOnly = good;
  for (std::size_t i; (i = crOnly.find("\r\n")) != std::string::npos;) crOnly.erase(i + 1, 1);
  const Damage cases[] = {
      {"sound", good, true},
      {"a blank line at the end", good + "\r\n", true},
      {"CR-only line ends", crOnly, true},
      {"cut inside the last number", good.substr(0, good.size() - 5), false},
      {"last line end missing", good.substr(0, good.size() - 2), false},
      {"junk numeric line appended", good + " 1  2  3  4  5  6  7  8\r\n", false},
      {"decimal comma in a record", record(7, fields[7].substr(0, 5) + "," + fields[7].substr(5)), false},
      {"extra field in a record", WithLine(good, 10, rec + " 7"), false},
      {"field missing in a record", record(7, ""), false},
      {"fraction in a record", record(3, fields[3] + ".5"), false},
      {"eccentricity 1.5", record(5, "1500000"), false},
      {"negative period", record(7, "-87969166"), false},
      {"inclination 200 degrees", record(4, "200000000"), false},
      {"record number going back", record(0, "1"), false},
      {"record line repeated", WithLine(good, 10, rec + "\r\n" + rec), false},
      {"1E+308", record(6, "1E+308"), false},
      {"count line with a third number", WithLine(good, 4, LineOf(good, 4) + " 5"), false},
      {"blank line between records", WithLine(good, 10, ""), false},
  };
  const auto file = folder.path / "Torvik1RasB1.txt";
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(file, c.bytes);
    PointTable t;
    EXPECT_EQ(ReadRunFile(file, t), c.accepted);
    if (c.accepted) {
      ASSERT_EQ(t.NPoint, ref.NPoint);
      EXPECT_EQ(t.Par.back(), ref.Par.back());
    }
  }
}

// Two edits started from one version of a run file: the second is refused
// with the write message, and the file keeps the first.
TEST(RunFileDamage, TwoEditsOfOneFileAtOnceLoseNothingSilently) {
  TempFolder folder("run_race");
  StatsInputs in;
  const auto file = ResolvePath(folder.path, Statistics::RunPathOf(in));
  ASSERT_TRUE(WriteTextFile(file, test::RunLines(2451545.0, test::Series(6, 10.0, [](int i) { return 1.0 + i; }))));
  Statistics a({}, folder.path), b({}, folder.path);
  ASSERT_FALSE(a.LoadRunFile(in).message);
  ASSERT_FALSE(b.LoadRunFile(in).message);
  in.deleteNo = 2;
  ASSERT_FALSE(a.DeletePoint(in).message);
  const std::string afterA = ReadBytes(file);
  in.deleteNo = 3;
  const auto o = b.DeletePoint(in);
  ASSERT_TRUE(o.message);
  EXPECT_EQ(o.message->text, "Ошибка записи данных в файл\r\n" + Statistics::RunPathOf(in));
  EXPECT_EQ(ReadBytes(file), afterA);
  // Its own next edit goes on from the version it wrote.
  ASSERT_FALSE(a.DeletePoint(in).message);
  PointTable t;
  ASSERT_TRUE(ReadRunFile(file, t));
  EXPECT_EQ(t.NPoint, 4);
}

TEST(DriftFileDamage, FixedLayoutRefusesShiftingDamage) {
  TempFolder folder("drift_damage");
  std::array<DriftRow, 11> rows{};
  for (int k = 1; k <= 10; ++k)
    for (int p = 1; p <= 6; ++p) rows[static_cast<std::size_t>(k)][static_cast<std::size_t>(p)] = k * 10.5 + p;
  std::string good;
  for (const auto& l : DriftFileLines(ImitatorDriftHeader("JPL"), rows.data(), 10)) good += Utf8ToCp1251(l) + "\r\n";
  const std::string l7 = LineOf(good, 7);
  const std::size_t comma = l7.rfind('5');
  const Damage cases[] = {
      {"sound", good, true},
      {"a blank line at the end", good + "   \r\n", true},
      {"decimal comma", WithLine(good, 7, l7.substr(0, comma) + "," + l7.substr(comma)), false},
      {"duplicated line", WithLine(good, 7, l7 + "\r\n" + l7), false},
      {"line removed", std::string(good).erase(good.find(l7 + "\r\n"), l7.size() + 2), false},
      {"extra field", WithLine(good, 7, l7 + " 1"), false},
      {"cut inside the last number", good.substr(0, good.size() - 4), false},
      {"1E+308", WithLine(good, 7, " 6  1E+308  1  2  3  4  5"), false},
      {"fraction", WithLine(good, 7, " 6  1.5  1  2  3  4  5"), false},
      {"junk line after the records", good + " 11  1  2  3  4  5  6\r\n", false},
      {"empty file", "", false},
  };
  const auto file = folder.path / "TorvikNab.dat";
  for (const Damage& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(file, c.bytes);
    std::array<DriftRow, 11> read{};
    const int got = ReadDriftFile(file, read.data(), 10, nullptr);
    EXPECT_EQ(got == 10, c.accepted) << got;
    if (c.accepted) {
      EXPECT_EQ(read, rows);
    }
  }
  // The statistics refuse the replacement after a refused load: the drift
  // columns would get shifted values.
  WriteBytes(ResolvePath(folder.path, ImitatorDriftPath("JPL")), WithLine(good, 7, l7 + "\r\n" + l7));
  Statistics st({}, folder.path);
  StatsInputs in;
  in.imitatorSource = true;
  in.imitatorFolder = "JPL";
  EXPECT_TRUE(st.LoadDriftFile(in).message);
  EXPECT_EQ(st.ReplaceDrift(in).message->text, kNoObservedData);

  // Two replacements from one loaded version: the second would put back the
  // first's drift, so it is refused with the write message.
  WriteBytes(ResolvePath(folder.path, ImitatorDriftPath("JPL")), good);
  Statistics a({}, folder.path), b({}, folder.path);
  ASSERT_FALSE(a.LoadDriftFile(in).message);
  ASSERT_FALSE(b.LoadDriftFile(in).message);
  in.computedDrift = 1.5;
  ASSERT_FALSE(a.ReplaceDrift(in).message);
  in.p = 2;
  const auto o = b.ReplaceDrift(in);
  ASSERT_TRUE(o.message);
  EXPECT_EQ(o.message->text, "Ошибка изменения и записи данных в файл\r\n\\JPL\\TorvikNab.dat");
  std::array<DriftRow, 11> read{};
  ASSERT_EQ(ReadDriftFile(ResolvePath(folder.path, ImitatorDriftPath("JPL")), read.data(), 10, nullptr), 10);
  EXPECT_EQ(read[1][1], 1.5);
  EXPECT_EQ(read[1][2], rows[1][2]);
  ASSERT_FALSE(a.ReplaceDrift(in).message);  // its own next replacement goes on
}

}  // namespace
}  // namespace torvik
