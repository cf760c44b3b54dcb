// The Mox data series: insertion by date, the replace question, the header of
// the series, the date of a point and the listing's read failures.
#include "plan/mox_series.h"

#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/textfile.h"
#include "temp_folder.h"

namespace torvik {
namespace {

constexpr MoxValues kNew{0, 336.5, 49.5, 1.85, 0.0934, 227939.1, 686.98};

// A Mox file of planet 4 with points at the given dates.
void WriteMox(const std::filesystem::path& folder, std::vector<double> dates, int count = -1) {
  PointTable t;
  t.header = {"h1", "h2", "имитатор Mox     ", "h4"};
  t.JDfile = dates.front();
  for (std::size_t i = 0; i < dates.size(); ++i) t.Add(dates[i] - t.JDfile, {0, 1.0 + i, 2, 3, 0.5, 1000, 600});
  auto lines = RunFileLines(t);
  if (count >= 0) lines[4] = PrintLine().Num(count).Num(Fix(100 * t.JDfile)).str();
  ASSERT_TRUE(WriteTextFile(ResolvePath(folder, MoxRunPath(4)), lines));
}

TEST(MoxSeries, InsertionByDate) {
  testing::TempFolder tmp("mox");
  struct Case {
    double Dnew;
    int at;
    double JDfile;
  } cases[] = {{2050000.5, 2, 2000000.5}, {1900000.5, 1, 1900000.5}, {2200000.5, 3, 2000000.5}};
  for (const auto& c : cases) {
    WriteMox(tmp.path, {2000000.5, 2100000.5});
    PointTable t;
    std::vector<std::string> listing;
    ASSERT_FALSE(ShowMoxData(tmp.path, 4, t, &listing));
    EXPECT_EQ(listing[4], "NP1max=  2   JD0 =  2000000.5");
    ASSERT_FALSE(AddMoxPoint(tmp.path, 4, kNew, c.Dnew, [] { return true; }, t));
    ASSERT_EQ(t.NPoint, 3);
    EXPECT_EQ(t.JDfile, c.JDfile);
    EXPECT_EQ(t.Par[static_cast<std::size_t>(c.at)], kNew);
    EXPECT_EQ(t.JDfile + t.tDay[static_cast<std::size_t>(c.at)], c.Dnew);
    // The old points keep their dates whatever the start moved to.
    EXPECT_EQ(t.JDfile + t.tDay[c.at == 1 ? 2u : 1u], 2000000.5);
    const auto lines = ReadTextFile(ResolvePath(tmp.path, MoxRunPath(4)));
    ASSERT_TRUE(lines);
    EXPECT_EQ((*lines)[0], "Обработанные данные наблюдений объекта № 4");
    EXPECT_EQ((*lines)[4], PrintLine().Num(3).Num(Fix(100 * c.JDfile)).str());
  }
}

TEST(MoxSeries, SameDateAsksAndNeverAddsASecondPoint) {
  testing::TempFolder tmp("mox_same");
  for (bool yes : {false, true}) {
    WriteMox(tmp.path, {2000000.5, 2100000.5});
    PointTable t;
    ASSERT_FALSE(ShowMoxData(tmp.path, 4, t, nullptr));
    int asked = 0;
    ASSERT_FALSE(AddMoxPoint(tmp.path, 4, kNew, 2100000.5, [&] { return ++asked, yes; }, t));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(t.NPoint, 2);
    EXPECT_EQ(t.Par[2][1], yes ? kNew[1] : 2.0);
    PointTable back;
    ASSERT_FALSE(ShowMoxData(tmp.path, 4, back, nullptr));
    EXPECT_EQ(back.NPoint, 2);
    EXPECT_EQ(back.header[0], "Обработанные данные наблюдений объекта № 4");
  }
}

TEST(MoxSeries, DateOfThePointAndFailures) {
  EXPECT_EQ(MoxPointDate(2305447.5, 1600, 1700), 2323710.0);

  testing::TempFolder tmp("mox_bad");
  PointTable t;
  auto msg = AddMoxPoint(tmp.path, 4, kNew, 2e6, [] { return true; }, t);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, kMsgMoxNotLoaded);

  // Missing file; more records than the count line announces.
  msg = ShowMoxData(tmp.path, 4, t, nullptr);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Ошибка чтения данных из файла\r\n\\Mox\\Torvik4Nab.txt");
  WriteMox(tmp.path, {2000000.5, 2100000.5, 2200000.5}, 2);
  t.Add(5, {});
  EXPECT_TRUE(ShowMoxData(tmp.path, 4, t, nullptr));
  EXPECT_EQ(t.NPoint, 1);  // the previous points stay
  EXPECT_EQ(t.kind, DataKind::ImitatorRun);
  // A larger count (the estimate of a model run) is fine.
  WriteMox(tmp.path, {2000000.5, 2100000.5}, 50);
  std::vector<std::string> listing;
  ASSERT_FALSE(ShowMoxData(tmp.path, 4, t, &listing));
  EXPECT_EQ(t.NPoint, 2);
  EXPECT_EQ(listing[4], "NP1max=  50   JD0 =  2000000.5");
  EXPECT_EQ(listing[6].substr(0, 40), "2   dT= 0100000.00    AlfaP  = 0002.0000");
}

}  // namespace
}  // namespace torvik
