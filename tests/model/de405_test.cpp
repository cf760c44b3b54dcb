// The DE405 reader on a fixture cut from the published files and on the full
// 1960–2060 files made from Debian's table; the Sun against ERFA's Epv00
// (a fit to DE405 good to a few km).
#include "model/de405.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

#include "core/model.h"
#include "tests/model/de405_data.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

constexpr double kMetre = 1.0;
constexpr double kKilometre = 1000.0 * kMetre;
constexpr double kDay = 1.0;
constexpr double kAu = 149597870.7 * kKilometre;

const fs::path kFixture = fs::path(TORVIK6_TEST_DATA) / "de405";

Model NewModel() {
  Model m;
  SetConstants(m);
  return m;
}

// Barycentric Sun from ERFA, rotated like the reader's output (ecliptic by Eps0), metres.
void ErfaSun(const Model& m, double jd, double out[3]) {
  double pvh[2][3], pvb[2][3];
  eraEpv00(jd, 0.0, pvh, pvb);
  double v[3];
  for (int i = 0; i < 3; ++i) v[i] = (pvb[0][i] - pvh[0][i]) * kAu;
  const double c = std::cos(m.Eps0), s = std::sin(m.Eps0);
  out[0] = v[0];
  out[1] = v[1] * c + v[2] * s;
  out[2] = v[2] * c - v[1] * s;
}

void ExpectSunLikeErfa(const Model& m, double jd) {
  double want[3];
  ErfaSun(m, jd, want);
  const double got[3] = {m.X[0], m.Y[0], m.Z[0]};
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(got[i], want[i], 20 * kKilometre)
        << "JD " << jd << " axis " << i << " want " << want[i] << " got " << got[i] << " diff " << got[i] - want[i];
}

fs::path CopyFixture(const std::string& name) {
  fs::path dir = fs::temp_directory_path() / ("torvik6-de405-" + name + "-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy(kFixture, dir, fs::copy_options::recursive);
  return dir;
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }

TEST(De405, RunCrossesFromTheFirstFileIntoTheNextFileOfJpl405) {
  Model m = NewModel();
  De405Reader r;
  ASSERT_FALSE(r.Locate(kFixture, 2451480.0));
  EXPECT_EQ(r.fileYear(), 1980);
  EXPECT_EQ(r.recordNo(), 228);
  EXPECT_EQ(r.T1(), 2451472.5);
  double atEnd[3] = {0, 0, 0};
  for (double jd = 2451480.0; jd <= 2451630.0; jd += 0.125) {
    auto msg = r.Evaluate(m, 1, jd);
    ASSERT_FALSE(msg) << "JD " << jd << ": " << msg->text;
    if (jd == 2451568.5) {  // T2 of the last record of ascp1980.405
      EXPECT_EQ(r.fileYear(), 1980);
      atEnd[0] = m.X[1], atEnd[1] = m.Y[1], atEnd[2] = m.Z[1];
    }
  }
  EXPECT_EQ(r.fileYear(), 2000);
  EXPECT_EQ(r.recordNo(), 3);
  EXPECT_EQ(r.file().parent_path().filename(), "405");
  ExpectSunLikeErfa(m, 2451630.0);

  // The series of the two files join at the boundary (Mercury moves about
  // 2 m in the smallest step of the date there).
  const double after = std::nextafter(2451568.5, 2451600.0);
  De405Reader next;
  ASSERT_FALSE(next.Locate(kFixture, 2451568.5));
  ASSERT_FALSE(next.Evaluate(m, 1, after));
  EXPECT_EQ(next.fileYear(), 2000);
  EXPECT_NEAR(m.X[1], atEnd[0], 5 * kMetre);
  EXPECT_NEAR(m.Y[1], atEnd[1], 5 * kMetre);
  EXPECT_NEAR(m.Z[1], atEnd[2], 5 * kMetre);
}

TEST(De405, PartialSetFindsTheFileThatHoldsTheDate) {
  Model m = NewModel();
  De405Reader r;
  // Only ascp1980.405 (in JPL) and ascp2000.405 (in JPL/405) are there.
  ASSERT_FALSE(r.Locate(kFixture, 2451600.0));
  EXPECT_EQ(r.fileYear(), 2000);
  EXPECT_EQ(r.recordNo(), 2);
  ASSERT_FALSE(r.Evaluate(m, 3, 2451600.0));
  ExpectSunLikeErfa(m, 2451600.0);
  // 27 December 1999 lies in the record that the two files share.
  ASSERT_FALSE(r.Locate(kFixture, 2451539.5));
  EXPECT_EQ(r.fileYear(), 1980);
  EXPECT_EQ(r.recordNo(), 230);
}

TEST(De405, DateBeforeTheFirstRecordHasNoSuchDate) {
  De405Reader r;
  for (double jd : {2451472.0, 2436000.0, 2305000.0, 0.0}) {
    auto msg = r.Locate(kFixture, jd);
    ASSERT_TRUE(msg) << jd;
    EXPECT_EQ(msg->text, "В файле нет такой даты");
    EXPECT_EQ(msg->title, "Torvik6");
    EXPECT_FALSE(r.IsOpen());
  }
  EXPECT_TRUE(r.Locate(kFixture, 2451640.0));  // after the last record of the set
  EXPECT_TRUE(r.Locate(fs::temp_directory_path() / "torvik6-no-such-folder", 2451500.0));
}

TEST(De405, StepsBeyondTheNextRecordBackwardsOrWithoutSeriesFail) {
  Model m = NewModel();
  struct Case {
    const char* what;
    double start, next;
    int body;
  };
  const Case cases[] = {
      {"step of 65 days", 2451473.0, 2451473.0 + 65 * kDay, 1},
      {"backwards", 2451520.0, 2451500.0, 1},
      {"Ксена has no series", 2451520.0, 2451520.0, 10},
  };
  for (const auto& c : cases) {
    De405Reader r;
    ASSERT_FALSE(r.Locate(kFixture, c.start)) << c.what;
    ASSERT_FALSE(r.Evaluate(m, 1, c.start)) << c.what;
    const double x = m.X[1];
    auto msg = r.Evaluate(m, c.body, c.next);
    ASSERT_TRUE(msg) << c.what;
    EXPECT_EQ(msg->text, "Ошибка чтения файлов JPL") << c.what;
    EXPECT_EQ(msg->title, "Torvik6");
    EXPECT_EQ(m.X[1], x) << c.what;
  }
}

TEST(De405, MalformedAndTruncatedFiles) {
  Model m = NewModel();
  // A number that is not one, in the first record: the search fails.
  {
    fs::path dir = CopyFixture("bad");
    fs::path f = dir / "JPL" / "ascp1980.405";
    std::string s = ReadAll(f);
    s.replace(s.find("0.245147250000000000D+07"), 24, "0.24514725000000000xD+07");
    WriteAll(f, s);
    De405Reader r;
    auto msg = r.Locate(dir, 2451480.0);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, "В файле нет такой даты");
    fs::remove_all(dir);
  }
  // The file ends inside record 229: the search finds 228, the run fails later.
  {
    fs::path dir = CopyFixture("cut");
    fs::path f = dir / "JPL" / "ascp1980.405";
    std::string s = ReadAll(f);
    WriteAll(f, s.substr(0, s.find("   229  1018") + 5000));
    De405Reader r;
    ASSERT_FALSE(r.Locate(dir, 2451480.0));
    ASSERT_FALSE(r.Evaluate(m, 2, 2451500.0));
    auto msg = r.Evaluate(m, 2, 2451510.0);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, "Ошибка чтения файлов JPL");
    fs::remove_all(dir);
  }
  // Blank lines and CR LF line ends are read like the published layout.
  {
    fs::path dir = CopyFixture("crlf");
    fs::path f = dir / "JPL" / "ascp1980.405";
    std::string s = ReadAll(f), out = "\r\n";
    for (char ch : s) out += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    WriteAll(f, out);
    De405Reader r, ref;
    ASSERT_FALSE(r.Locate(dir, 2451530.0));
    ASSERT_FALSE(ref.Locate(kFixture, 2451530.0));
    Model m2 = NewModel();
    ASSERT_FALSE(r.Evaluate(m, 4, 2451530.0));
    ASSERT_FALSE(ref.Evaluate(m2, 4, 2451530.0));
    EXPECT_EQ(m.X[4], m2.X[4]);
    fs::remove_all(dir);
  }
}

// Damage of one record (229 of the fixture's ascp1980.405, JD 2451504.5 to
// 2451536.5) that the files' own checks do not see: the record must never give
// a position, neither to a search nor to a run reading on into it.
TEST(De405, DamagedRecordIsNeverEvaluated) {
  using Lines = std::vector<std::string>;
  constexpr std::size_t kHeader = 341;  // index of the header line of record 229
  auto replaceIn = [](std::string& line, const std::string& from, const std::string& to) {
    const auto at = line.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    line.replace(at, from.size(), to);
  };
  const struct {
    const char* what;
    std::function<void(Lines&)> damage;
  } cases[] = {
      {"first date 16 days later",
       [&](Lines& l) { replaceIn(l[kHeader + 1], "0.245150450000000000D+07", "0.245152050000000000D+07"); }},
      {"a coefficient of 1e300",
       [&](Lines& l) { l[kHeader + 258].replace(l[kHeader + 258].find('D'), 4, "D+300"); }},
      {"a coefficient that is not a number", [&](Lines& l) { replaceIn(l[kHeader + 100], " 0.", " NaN"); }},
      {"line 46 repeated, line 304 lost",
       [&](Lines& l) {
         l.erase(l.begin() + kHeader + 303);
         l.insert(l.begin() + kHeader + 45, l[kHeader + 45]);
       }},
      {"coefficient count 1017", [&](Lines& l) { replaceIn(l[kHeader], "1018", "1017"); }},
      {"record number out of order", [&](Lines& l) { replaceIn(l[kHeader], "229", "227"); }},
      {"a line of two numbers", [&](Lines& l) { l[kHeader + 20] = l[kHeader + 20].substr(0, 52); }},
      {"a line of four numbers", [&](Lines& l) { l[kHeader + 20] += " 0.1D+01"; }},
  };
  const std::string good = ReadAll(kFixture / "JPL" / "ascp1980.405");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::path dir = CopyFixture("damage");
    Lines lines;
    std::istringstream in(good);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines[kHeader], "   229  1018");
    c.damage(lines);
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    WriteAll(dir / "JPL" / "ascp1980.405", text);

    De405Reader search;
    auto msg = search.Locate(dir, 2451520.0);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, "В файле нет такой даты");

    Model m = NewModel();
    De405Reader run;
    ASSERT_FALSE(run.Locate(dir, 2451500.0));
    ASSERT_FALSE(run.Evaluate(m, 1, 2451500.0));
    const double x = m.X[1];
    msg = run.Evaluate(m, 1, 2451510.0);
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->text, "Ошибка чтения файлов JPL");
    EXPECT_EQ(m.X[1], x);
    fs::remove_all(dir);
  }
}

// Dates no calendar serves are no date of the files, found without a search.
TEST(De405, AbsurdDatesHaveNoSuchDate) {
  De405Reader r;
  for (double jd : {-1e30, 1e30, 1e300, -1e300, std::nan(""), HUGE_VAL}) {
    auto msg = r.Locate(kFixture, jd);
    ASSERT_TRUE(msg) << jd;
    EXPECT_EQ(msg->text, "В файле нет такой даты");
    EXPECT_GE(De405FileYearOf(jd), -10020);
  }
}

// The full set: every file is found, records are counted as the reader
// expects (229 or 230), and a forward run reads through all five files.
TEST(De405, FullSetReadsForwardThroughAllFiles) {
  const fs::path folder = testing::FullDe405Folder();
  ASSERT_FALSE(folder.empty()) << "cannot make the DE405 files from the casacore table";
  Model m = NewModel();
  De405Reader r;
  ASSERT_FALSE(r.Locate(folder, 2436934.5));  // 1 January 1960
  EXPECT_EQ(r.T1(), 2436912.5);
  int lastYear = 1960;
  double jd = 2436934.5;
  for (; jd <= 2473488.5; jd += 4 * kDay) {  // to the end of the record of 1 January 2060
    auto msg = r.Evaluate(m, 5, jd);
    ASSERT_FALSE(msg) << "JD " << jd;
    lastYear = r.fileYear();
  }
  EXPECT_EQ(lastYear, 2040);
  EXPECT_EQ(r.recordNo(), 230);
  auto msg = r.Evaluate(m, 5, jd);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Ошибка чтения файлов JPL");

  for (double date : {2436934.5, 2440000.25, 2444239.5, 2447000.0, 2451545.0, 2455000.5, 2462000.0, 2473400.0}) {
    ASSERT_FALSE(r.Locate(folder, date)) << date;
    ASSERT_FALSE(r.Evaluate(m, 2, date));
    ExpectSunLikeErfa(m, date);
  }
  EXPECT_TRUE(r.Locate(folder, 2436873.5));  // 1 November 1959
}

TEST(De405, FileYearsAndRecordCounts) {
  EXPECT_EQ(De405FileYearOf(2451544.5), 2000);  // 1 January 2000 0h
  EXPECT_EQ(De405FileYearOf(2451544.4), 1980);
  EXPECT_EQ(De405FileYearOf(2305447.5), 1600);
  EXPECT_EQ(De405FileYearOf(2305000.0), 1580);
  EXPECT_EQ(De405RecordsPerFile(1980), 230);
  EXPECT_EQ(De405RecordsPerFile(2000), 229);
  EXPECT_EQ(De405FileName(1620), "ascp1620.405");
}

}  // namespace
}  // namespace torvik
