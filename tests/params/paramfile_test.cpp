#include "params/paramfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "core/textfile.h"
#include "core/units.h"
#include "fixture.h"
#include "params/loading.h"

namespace torvik::test {
namespace {

using ParamFile = StartedModel;

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

std::vector<std::string> FieldsOfLine(const Model& m, int line) {
  return SplitFields(ParamFileLines(m).at(static_cast<std::size_t>(line)));
}

// Loads file N into a model that starts from the start-up state.
ActionResult LoadFile(Model& into, const std::filesystem::path& folder, int n) {
  LoadInputs in = DateInputs(2000, 1, 1.5);
  in.fileNumber = std::to_string(n);
  return Load(into, LoadOption::File, in, folder);
}

TEST_F(ParamFile, HeaderLinesAndZones) {
  const auto lines = ParamFileLines(m);
  ASSERT_EQ(lines.size(), 15u);
  // Numbers in 14-character zones with their blanks, then the text unchanged.
  EXPECT_EQ(lines[0], std::string(" 1.5          ") + " 1            " + " 1601         " + kParamFileLine1Text);
  EXPECT_EQ(lines[1], kParamFileLine2Text);
  // mSol / 1e25 is 198891.99999999997 in doubles: the file must still say 198892.
  EXPECT_EQ(lines[2], "198892        667259        149597870691");
  EXPECT_EQ(lines[3], kParamFileLine4Text);
  EXPECT_EQ(lines[4].substr(0, 14), "00            ");
  EXPECT_EQ(lines[14].substr(0, 2), "10");
  for (int k = 0; k <= 10; ++k) EXPECT_EQ(FieldsOfLine(m, 4 + k).size(), 15u) << "body " << k;

  m.DateD = 1.1f;  // a single prints with its own 7 digits
  EXPECT_EQ(ParamFileLines(m)[0].substr(0, 14), " 1.1          ");
}

TEST_F(ParamFile, ColumnRoundingAndTruncation) {
  const struct {
    double metres;
    const char* truncatedKm;  // columns 9 and 11
    const char* roundedKm;    // column 10
  } cases[] = {
      {-1700.7, "-1", "-2"}, {1700.7, "1", "2"}, {999.9, "0", "1"},
      {-999.9, "0", "-1"},   {2499.9, "2", "2"}, {0.4, "0", "0"},
  };
  for (const auto& c : cases) {
    m.X[4] = m.Y[4] = m.Z[4] = c.metres;
    const auto f = FieldsOfLine(m, 4 + 4);
    EXPECT_EQ(f[8], c.truncatedKm) << c.metres << " m, column 9";
    EXPECT_EQ(f[9], c.roundedKm) << c.metres << " m, column 10";
    EXPECT_EQ(f[10], c.truncatedKm) << c.metres << " m, column 11";
  }
  m.R0sr[4] = 227936637499.6;  // column 3: metres truncated, rounded to km
  EXPECT_EQ(FieldsOfLine(m, 8)[2], "227936637");
  m.R0sr[4] = 227936637500.4;
  EXPECT_EQ(FieldsOfLine(m, 8)[2], "227936638");
  m.VX[4] = -0.0000019;  // µm/s truncated toward zero
  EXPECT_EQ(FieldsOfLine(m, 8)[11], "-1");
  m.km[4] = 3098708;
  EXPECT_EQ(FieldsOfLine(m, 8)[14], "3098708000");
}

TEST_F(ParamFile, SaveLoadRestoresToTheFileResolution) {
  m.X[11] = 5;  // not part of the file
  ASSERT_FALSE(Save(m, "3", folder).has_value());
  EXPECT_EQ(m.NFile, 3);
  const std::string bytes = ReadBytes(folder / "torvik3.dat");
  EXPECT_NE(bytes.find("\r\n"), std::string::npos);
  EXPECT_EQ(bytes.find("\r\n\r\n"), std::string::npos);
  EXPECT_NE(bytes.find(Utf8ToCp1251("№ объкта")), std::string::npos);  // Windows-1251 header
  EXPECT_EQ(bytes.find("№"), std::string::npos);

  Model back;
  ASSERT_FALSE(StartUp(back).has_value());
  back.Lae = 1;
  for (int k = 0; k <= 10; ++k) back.X[k] = back.VX[k] = back.R0sr[k] = 0;
  ASSERT_FALSE(LoadFile(back, folder, 3).has_value());

  const double microDegree = 1e-6 * degree;
  const double microRadPerYear = 1e-6 / m.sekG;  // rad/s
  EXPECT_EQ(back.DateY, 1601);
  EXPECT_EQ(back.DateM, 1);
  EXPECT_EQ(back.DateD, 1.5f);
  EXPECT_EQ(back.JDstart, 2305814.0);
  EXPECT_EQ(back.JD0, back.JDstart);  // the file's elements are of its date
  EXPECT_NEAR(back.Lae, m.Lae, 1 * metre);
  EXPECT_DOUBLE_EQ(back.mSol(), 1.98892e30) << "the Sun's mass must survive the trunc of mSol/1e25";
  EXPECT_DOUBLE_EQ(back.gamma, 6.67259e-11);
  for (int k = 0; k <= 10; ++k) {
    SCOPED_TRACE("body " + std::to_string(k));
    // AlfaL is compared after both sides are normalised into (0, 2π].
    EXPECT_NEAR(back.AlfaL[k], m.AlfaL[k], microDegree);
    EXPECT_NEAR(back.R0sr[k], m.R0sr[k], 0.5 * kilometre + 1e-3);
    EXPECT_NEAR(back.W0sr[k], m.W0sr[k], microRadPerYear);
    EXPECT_NEAR(back.Eks0[k], m.Eks0[k], 1e-6);
    EXPECT_NEAR(back.Betta0[k], m.Betta0[k], microDegree);
    EXPECT_NEAR(back.AlfaP0[k], m.AlfaP0[k], microDegree);
    EXPECT_NEAR(back.AlfaU0[k], m.AlfaU0[k], microDegree);
    EXPECT_NEAR(back.X0[k], m.X[k], 1 * kilometre);
    EXPECT_NEAR(back.Y0[k], m.Y[k], 0.5 * kilometre + 1e-3);
    EXPECT_NEAR(back.Z0[k], m.Z[k], 1 * kilometre);
    EXPECT_EQ(back.X[k], back.X0[k]);
    EXPECT_NEAR(back.VX0[k], m.VX[k], 1e-6);
    EXPECT_NEAR(back.VY0[k], m.VY[k], 1e-6);
    EXPECT_NEAR(back.VZ0[k], m.VZ[k], 1e-6);
    EXPECT_EQ(back.VZ[k], back.VZ0[k]);
    EXPECT_NEAR(back.km[k], m.km[k], 1e-3);
    if (k >= 1) {
      EXPECT_DOUBLE_EQ(back.mPl[k], back.mSol() / back.km[k]);
    }
  }

  // Saving what was loaded gives the same file again: no unit is lost on the way.
  ASSERT_FALSE(Save(back, "4", folder).has_value());
  EXPECT_EQ(ReadBytes(folder / "torvik4.dat"), bytes);
}

TEST_F(ParamFile, SwappedBodyLinesSwapTheBodies) {
  auto lines = ParamFileLines(m);
  std::swap(lines[5], lines[6]);  // Меркурий and Венера, numbers 01 and 02 kept
  ASSERT_TRUE(WriteTextFile(folder / "torvik5.dat", lines));
  Model back = m;
  ASSERT_FALSE(LoadFile(back, folder, 5).has_value());
  EXPECT_NEAR(back.R0sr[1], m.R0sr[2], 1 * kilometre);
  EXPECT_NEAR(back.R0sr[2], m.R0sr[1], 1 * kilometre);
  EXPECT_NEAR(back.X0[1], m.X[2], 1 * kilometre);
  EXPECT_NEAR(back.km[1], m.km[2], 1e-3);
}

TEST_F(ParamFile, BrokenFilesReportAndKeepWhatWasRead) {
  const auto good = ParamFileLines(m);
  auto truncated = good;
  truncated.resize(9);  // bodies 0..4 only
  auto shortLine = good;
  shortLine[7] = shortLine[7].substr(0, shortLine[7].rfind(' '));  // body 3 loses its km
  auto text = good;
  {
    auto f = SplitFields(text[7]);
    f[4] = "abc";  // body 3, column 5 (Eks0)
    std::string line;
    for (const auto& s : f) line += s + " ";
    text[7] = line;
  }
  const struct {
    const char* name;
    const std::vector<std::string>* lines;
    int complete;       // bodies 0..complete are fully read
    int untouched;      // this body's state is never reached
    bool r0srOfBody3;   // the fault comes after R0sr of body 3
  } cases[] = {
      {"short file", &truncated, 4, 5, true},
      {"short body line", &shortLine, 2, 3, false},
      {"non-numeric field", &text, 2, 3, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WriteTextFile(folder / "torvik6.dat", *c.lines));
    Model back;
    ASSERT_FALSE(StartUp(back).has_value());
    for (int k = 0; k <= 10; ++k) back.R0sr[k] = back.X0[k] = 0;
    const auto r = LoadFile(back, folder, 6);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->text, "Ошибка чтения файла\r\n\\torvik6.dat");
    EXPECT_EQ(r->title, "Torvik6.0");
    EXPECT_EQ(back.DateY, 1601);  // the file's date, read first
    for (int k = 1; k <= c.complete; ++k) EXPECT_NEAR(back.X0[k], m.X[k], 1 * kilometre) << "body " << k;
    EXPECT_EQ(back.X0[c.untouched], 0.0);
    EXPECT_NEAR(back.R0sr[3], c.r0srOfBody3 ? m.R0sr[3] : 0.0, 1 * kilometre);
  }

  Model back = m;
  const auto r = LoadFile(back, folder, 7);  // no such file
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->text, "Ошибка чтения файла\r\n\\torvik7.dat");
  EXPECT_EQ(r->title, "Torvik6.0");
  EXPECT_EQ(back.DateY, 2000);  // the date of the screen was taken before the file
  EXPECT_EQ(back.R0sr[3], m.R0sr[3]);
}

// Files damaged in ways that once loaded as some other parameter set: a
// number outside any date, a shifted body, a decimal comma, a cut last line.
TEST_F(ParamFile, DamagedFilesAreReadErrors) {
  const std::filesystem::path data = std::filesystem::path(TORVIK6_TEST_DATA) / "params";
  for (const char* name : {"R03", "R04", "R07", "R08", "R09", "R10", "R11", "R12"}) {
    SCOPED_TRACE(name);
    std::filesystem::copy_file(data / (std::string(name) + ".dat"), folder / "torvik7.dat",
                               std::filesystem::copy_options::overwrite_existing);
    Model back = m;
    const auto r = LoadFile(back, folder, 7);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->text, "Ошибка чтения файла\r\n\\torvik7.dat");
  }
  // The same damage made here from a good file: an extra blank line at the
  // end, a fraction in an integer column.
  auto extra = ParamFileLines(m);
  extra.emplace_back("");
  auto fraction = ParamFileLines(m);
  fraction[6] = fraction[6].substr(0, fraction[6].rfind(' ')) + " 1.5";
  for (const auto* lines : {&extra, &fraction}) {
    ASSERT_TRUE(WriteTextFile(folder / "torvik8.dat", *lines));
    Model back = m;
    EXPECT_TRUE(LoadFile(back, folder, 8).has_value());
  }
}

TEST_F(ParamFile, SaveFailures) {
  const auto bad = Save(m, "x", folder);
  ASSERT_TRUE(bad.has_value());
  EXPECT_EQ(bad->text, "Ошибка записи в файл");
  EXPECT_EQ(bad->title, "Torvik6.0");

  ASSERT_TRUE(WriteTextFile(folder / "torvik2.dat", {"old"}));
  const auto missing = Save(m, "2", folder / "no" / "such");
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->text, "Ошибка записи в файл\r\n\\torvik2.dat");

  m.X[3] = std::nan("");  // an unwritable value leaves the old file intact
  const auto nan = Save(m, "2", folder);
  ASSERT_TRUE(nan.has_value());
  EXPECT_EQ(ReadBytes(folder / "torvik2.dat"), "old\r\n");
}

}  // namespace
}  // namespace torvik::test
