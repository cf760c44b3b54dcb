#include "core/textfile.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <atomic>
#include <thread>

namespace torvik {
namespace {

namespace fs = std::filesystem;

// printf "%.15G" in the C locale: the reference of the printed-number form.
std::string PrintfG15(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15G", v);
  return buf;
}

TEST(TextFile, PrintedNumbers) {
  const struct {
    double v;
    const char* want;
  } cases[] = {
      {0.0, " 0 "},          {-0.0, " 0 "},         {-0.5, "-0.5 "},
      {1.5, " 1.5 "},        {1e15, " 1E+15 "},     {2451545.0, " 2451545 "},
      {-7.0, "-7 "},         {1e-5, " 1E-05 "},     {0.0001, " 0.0001 "},
      {1.0 / 3, " 0.333333333333333 "},             {123456789012345.0, " 123456789012345 "},
      {1234567890123456.0, " 1.23456789012346E+15 "}, {-2.5e100, "-2.5E+100 "},
  };
  for (const auto& c : cases) EXPECT_EQ(PrintNumber(c.v), c.want) << "value " << c.v;
}

TEST(TextFile, NumberTextIsPrintfG15) {
  std::mt19937_64 rng(20261210);
  std::uniform_real_distribution<double> mant(-10.0, 10.0);
  std::uniform_int_distribution<int> exp10(-30, 30);
  for (int i = 0; i < 20000; ++i) {
    const double v = mant(rng) * std::pow(10.0, exp10(rng));
    ASSERT_EQ(NumberText(v), PrintfG15(v)) << "value " << v;
  }
  for (int i = -100000; i <= 100000; i += 7) ASSERT_EQ(NumberText(i / 8.0), PrintfG15(i / 8.0));
}

TEST(TextFile, NumbersIgnoreTheLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
    GTEST_SKIP() << "no locale with a decimal comma installed";
  EXPECT_EQ(NumberText(-0.5), "-0.5");
  EXPECT_EQ(ShortestText(2451545.5), "2451545.5");
  EXPECT_EQ(FormatPattern(12.345, "000.00"), "012.35");
  EXPECT_EQ(ParseNumber("1.5"), 1.5);
  EXPECT_FALSE(ParseNumber("1,5").has_value());
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TextFile, ShortestTextReadsBack) {
  EXPECT_EQ(ShortestText(0.1), "0.1");
  EXPECT_EQ(ShortestText(2451545.5), "2451545.5");
  EXPECT_EQ(ShortestText(100000.0), "100000");
  EXPECT_EQ(ShortestText(-0.5), "-0.5");
  EXPECT_EQ(ShortestText(1e15), "1E+15");
  EXPECT_EQ(ShortestText(0.0), "0");
  EXPECT_EQ(SingleText(4.81f), "4.81");
  EXPECT_EQ(SingleText(15.0f), "15");
  EXPECT_EQ(SingleText(1.0000001f), "1");
  EXPECT_EQ(SingleText(16777216.0f), "1.677722E+07");
  EXPECT_EQ(PrintSingle(-0.25f), "-0.25 ");
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mant(-10.0, 10.0);
  std::uniform_int_distribution<int> exp10(-300, 300);
  for (int i = 0; i < 20000; ++i) {
    const double v = mant(rng) * std::pow(10.0, exp10(rng));
    const auto back = ParseNumber(ShortestText(v));
    ASSERT_TRUE(back.has_value()) << ShortestText(v);
    ASSERT_EQ(*back, v) << ShortestText(v);
  }
}

TEST(TextFile, DigitPatterns) {
  const struct {
    double v;
    const char* pattern;
    const char* want;
  } cases[] = {
      {2.5, "0", "3"},  // half away from zero
      {0.0, "0", "0"},
      {-0.5, "0", "-1"},
      {1.5, "0", "2"},
      {1e15, "0", "1000000000000000"},
      {7.0, "00", "07"},
      {12345.0, "00", "12345"},
      {5.0, "0000", "0005"},
      {12.345, "000.00", "012.35"},  // rounded on the decimal text, not the binary value
      {1.005, "000.00", "001.01"},
      {99.995, "00.00", "100.00"},
      {-0.001, "000.00", "000.00"},  // no "-0"
      {-3.14159265359, "0000.0000", "-0003.1416"},
      {2451545.123456, "000000000.000", "002451545.123"},
      {0.0005, "000000000.000", "000000000.001"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatPattern(c.v, c.pattern), c.want) << "value " << c.v << " pattern " << c.pattern;
}

TEST(TextFile, FixTruncatesTowardZero) {
  EXPECT_EQ(Fix(2.7), 2.0);
  EXPECT_EQ(Fix(-2.7), -2.0);
  EXPECT_NEAR(FixMK(1.23456789), 1.234567, 1e-15);
  EXPECT_NEAR(FixMK(-1.23456789), -1.234567, 1e-15);
  EXPECT_EQ(FixMK(2.5, 100.0), 2.5);
}

TEST(TextFile, PrintZones) {
  // (first item, column where the next item starts, 1-based)
  const struct {
    std::size_t length;
    std::size_t next;
  } cases[] = {{0, 15}, {1, 15}, {13, 15}, {14, 29}, {15, 29}, {27, 29}, {28, 43}};
  for (const auto& c : cases) {
    PrintLine line;
    line.Text(std::string(c.length, 'a')).Text("X");
    EXPECT_EQ(line.str().find('X') + 1, c.next) << "item of " << c.length << " characters";
  }
  PrintLine nums;
  nums.Num(1.5).Num(-2).Text("Меркурий").Num(0);
  // Cyrillic counts by characters: "Меркурий" (8 letters) starts at column 29.
  EXPECT_EQ(nums.str(), " 1.5          -2            Меркурий       0 ");
}

TEST(TextFile, SplitAndParseFields) {
  EXPECT_EQ(SplitFields("  1.5, 2 ,,3\t-.5  "), (std::vector<std::string>{"1.5", "2", "3", "-.5"}));
  EXPECT_TRUE(SplitFields("  ,  ").empty());
  const struct {
    const char* text;
    double want;
  } good[] = {{".5", 0.5},         {"-.5", -0.5},    {"+.5", 0.5},          {"1E+15", 1e15},
              {"1e-3", 1e-3},      {"12", 12.0},     {" 7.25 ", 7.25},      {"0.2436912500000000D+07", 2436912.5},
              {"-0.1d-02", -1e-3}, {"3.", 3.0},      {"1.5E2", 150.0}};
  for (const auto& c : good) {
    const auto v = ParseNumber(c.text);
    ASSERT_TRUE(v.has_value()) << c.text;
    EXPECT_EQ(*v, c.want) << c.text;
  }
  for (const char* bad : {"", "abc", "1.2.3", "1e", "inf", "nan", "-inf", "0x10", "1,5", "--5", "+-5", "1e400",
                          "5abc", ".", "-", "E5", "1 2"})
    EXPECT_FALSE(ParseNumber(bad).has_value()) << '"' << bad << '"';
}

TEST(TextFile, Windows1251EveryCyrillicLetter) {
  std::string utf8, want;
  for (char32_t cp = 0x0410; cp <= 0x044F; ++cp) {  // А..я
    utf8 += static_cast<char>(0xC0 | (cp >> 6));
    utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    want += static_cast<char>(0xC0 + (cp - 0x0410));
  }
  utf8 += "Ёё";
  want += "\xA8\xB8";
  EXPECT_EQ(Utf8ToCp1251(utf8), want);
  EXPECT_EQ(Cp1251ToUtf8(want), utf8);
  EXPECT_EQ(Utf8ToCp1251("Ксена 中 x"), "\xCA\xF1\xE5\xED\xE0 ? x");  // unmappable -> '?'
}

TEST(TextFile, Windows1251TableMatchesIconv) {
  iconv_t cd = iconv_open("UTF-8", "CP1251");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (int b = 0x80; b <= 0xFF; ++b) {
    if (b == 0x98) continue;  // unassigned
    char in[1] = {static_cast<char>(b)};
    char out[8] = {};
    char* ip = in;
    char* op = out;
    std::size_t il = 1, ol = sizeof out;
    ASSERT_NE(iconv(cd, &ip, &il, &op, &ol), static_cast<std::size_t>(-1)) << std::hex << b;
    const std::string ref(out, sizeof out - ol);
    EXPECT_EQ(Cp1251ToUtf8(std::string(1, static_cast<char>(b))), ref) << "byte 0x" << std::hex << b;
    EXPECT_EQ(Utf8ToCp1251(ref), std::string(1, static_cast<char>(b))) << "byte 0x" << std::hex << b;
  }
  iconv_close(cd);
}

class TextFileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("torvik6-textfile-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  static std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  fs::path dir_;
};

TEST_F(TextFileIo, WriteAppendReadGolden) {
  const fs::path f = dir_ / "a.txt";
  ASSERT_TRUE(WriteTextFile(f, {"Земля", PrintLine().Num(1.5).Text("x").str()}));
  EXPECT_EQ(Bytes(f), "\xC7\xE5\xEC\xEB\xFF\r\n 1.5          x\r\n");
  ASSERT_TRUE(WriteTextFile(f, {"new"}));  // whole-file rewrite replaces
  ASSERT_TRUE(AppendTextFile(f, {"ё 2"}));
  EXPECT_EQ(Bytes(f), "new\r\n\xB8 2\r\n");
  const auto lines = ReadTextFile(f);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (std::vector<std::string>{"new", "ё 2"}));
  for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().filename(), "a.txt");  // no temp left
}

TEST_F(TextFileIo, FailuresLeaveFilesIntact) {
  EXPECT_FALSE(WriteTextFile(dir_ / "missing" / "a.txt", {"x"}));
  EXPECT_FALSE(AppendTextFile(dir_ / "missing" / "a.txt", {"x"}));
  EXPECT_FALSE(ReadTextFile(dir_ / "missing.txt").has_value());
  EXPECT_FALSE(ReadTextFile(dir_).has_value());
  fs::create_directories(dir_ / "sub" / "keep");
  EXPECT_FALSE(WriteTextFile(dir_ / "sub", {"x"}));  // a folder in the way
  EXPECT_TRUE(fs::is_directory(dir_ / "sub" / "keep"));
  EXPECT_FALSE(fs::exists(dir_ / "sub.tmp~"));
}

TEST_F(TextFileIo, ReadsBareLineFeedsAndUnterminatedLastLine) {
  const fs::path f = dir_ / "b.txt";
  std::ofstream(f, std::ios::binary) << "a\r\nb\n\r\nc";
  EXPECT_EQ(*ReadTextFile(f), (std::vector<std::string>{"a", "b", "", "c"}));
}

TEST_F(TextFileIo, CarriageReturnsAloneEndLinesToo) {
  const fs::path f = dir_ / "cr.txt";
  bool ended = false;
  std::ofstream(f, std::ios::binary) << "a\rb\r\rc\r";
  EXPECT_EQ(*ReadTextFile(f, &ended), (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_TRUE(ended);
  std::ofstream(f, std::ios::binary | std::ios::trunc) << "a\r\nb";
  EXPECT_EQ(*ReadTextFile(f, &ended), (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(ended);
  // The lines as the file holds them, for column-counted records.
  EXPECT_EQ(SplitByteLines("\xD1x\r\ny"), (std::vector<std::string>{"\xD1x", "y"}));
}

// A rewrite keeps the mode of the file it replaces, refuses a file without
// write permission and leaves no temporary file.
TEST_F(TextFileIo, RewriteKeepsTheModeAndRefusesReadOnlyFiles) {
  const fs::path f = dir_ / "m.txt";
  ASSERT_TRUE(WriteTextFile(f, {"one"}));
  fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(WriteTextFile(f, {"two"}));
  EXPECT_EQ(fs::status(f).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::permissions(f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_FALSE(WriteTextFile(f, {"three"}));
  EXPECT_EQ(Bytes(f), "two\r\n");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

// The rewrite of a file read before checks that it is still that file: of two
// edits started from one version, the second is refused, not lost silently.
TEST_F(TextFileIo, RewriteOfAFileChangedSinceItWasReadIsRefused) {
  const fs::path f = dir_ / "s.txt";
  ASSERT_TRUE(WriteTextFile(f, {"base"}));
  FileStamp a, b;
  ASSERT_TRUE(ReadTextFile(f, nullptr, &a));
  ASSERT_TRUE(ReadTextFile(f, nullptr, &b));
  EXPECT_TRUE(WriteTextFile(f, {"first edit"}, a));
  EXPECT_FALSE(WriteTextFile(f, {"second edit"}, b));
  EXPECT_EQ(*ReadTextFile(f), std::vector<std::string>{"first edit"});
  EXPECT_TRUE(WriteTextFile(f, {"second edit"}, StampOf(f)));
  fs::remove(f);
  EXPECT_FALSE(WriteTextFile(f, {"gone"}, b));
}

// Rewrites of one file from several threads at once: every one succeeds
// through a temporary file of its own, and the file is always one whole
// version.
TEST_F(TextFileIo, ConcurrentRewritesNeverMix) {
  const fs::path f = dir_ / "c.txt";
  std::vector<std::string> big(2000, std::string(60, 'x'));
  ASSERT_TRUE(WriteTextFile(f, big));
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int k = 0; k < 4; ++k)
    threads.emplace_back([&, k] {
      std::vector<std::string> mine(2000, std::string(60, static_cast<char>('a' + k)));
      for (int r = 0; r < 10; ++r)
        if (!WriteTextFile(f, mine)) ++failures;
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures, 0);
  const auto lines = *ReadTextFile(f);
  ASSERT_EQ(lines.size(), 2000u);
  for (const auto& l : lines) EXPECT_EQ(l, lines.front());
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

// A full disk (here: the file size limit of the process): an append is all or
// nothing, a rewrite fails and keeps the old file.
TEST_F(TextFileIo, FullDiskKeepsWholeRecords) {
  const fs::path f = dir_ / "full.txt";
  ASSERT_TRUE(WriteTextFile(f, {"record 1"}));
  const auto before = Bytes(f);
  struct sigaction ignore {}, old {};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &old), 0);
  rlimit lim{}, saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  lim = saved;
  lim.rlim_cur = static_cast<rlim_t>(before.size() + 20);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lim), 0);
  const bool appended = AppendTextFile(f, {std::string(100, 'y')});
  const bool rewritten = WriteTextFile(f, {std::string(100, 'z')});
  const bool small = AppendTextFile(f, {"r2"});
  setrlimit(RLIMIT_FSIZE, &saved);
  sigaction(SIGXFSZ, &old, nullptr);
  EXPECT_FALSE(appended);
  EXPECT_FALSE(rewritten);
  EXPECT_TRUE(small);
  EXPECT_EQ(Bytes(f), before + "r2\r\n");
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(FieldReader, FieldsAcrossLines) {
  FieldReader r({"Заголовок файла", "1, 2.5 .5", "", "0.2436912500000000D+07 -1E+15", "7 8 9", "tail"});
  EXPECT_EQ(r.NextLine(), "Заголовок файла");
  EXPECT_EQ(r.NextNumber(), 1.0);
  EXPECT_EQ(r.NextNumber(), 2.5);
  EXPECT_EQ(r.NextNumber(), 0.5);
  EXPECT_EQ(r.NextNumber(), 2436912.5);  // the blank line gives no field
  EXPECT_EQ(r.NextNumber(), -1e15);
  r.SkipLine();  // the line was finished by its last field: nothing more skipped
  EXPECT_EQ(r.NextNumber(), 7.0);
  EXPECT_EQ(r.NextLine(), "8 9");  // the rest of a partly read line
  EXPECT_FALSE(r.AtEnd());
  EXPECT_EQ(r.NextLine(), "tail");
  EXPECT_TRUE(r.AtEnd());
  EXPECT_FALSE(r.NextNumber().has_value());
  EXPECT_EQ(r.LastField(), "");
}

TEST(FieldReader, MalformedFieldIsAnError) {
  FieldReader r({"1.5 1.2x 3"});
  EXPECT_EQ(r.NextNumber(), 1.5);
  EXPECT_FALSE(r.NextNumber().has_value());  // never a silent 0
  EXPECT_EQ(r.LastField(), "1.2x");
  EXPECT_EQ(r.NextNumber(), 3.0);
}

}  // namespace
}  // namespace torvik
