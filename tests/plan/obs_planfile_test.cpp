// The observation plan file: its lines, the round trip with its truncations,
// damaged files, and the template plan from the approximate J2000 elements.
#include "plan/obs_planfile.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/paths.h"
#include "core/textfile.h"
#include "core/theories.h"
#include "temp_folder.h"

namespace torvik {
namespace {

ObsPlanState Sample() {
  ObsPlanState s;
  s.PlanNo = 2;
  s.Npl = 4;
  s.Xzero = {0, 227939123456.7, 0.09341239, 1.84969142, 336.0563719, 49.5578539};
  s.Xstep = {0, 5000e6, 0.02, 1, 10, 10};
  s.AlfaL0 = 355.4532999;
  s.W0sr = 334.06130667;
  s.earthR0sr = 149598261150.4;
  s.earthEks0 = 0.01671123;
  s.earthAlfaP0 = 102.93768193;
  s.earthAlfaU0 = -11.26064;
  s.earthAlfaL0 = 100.46457166;
  s.earthW0sr = 628.30758;
  s.VXsys = 30000.9;
  s.VYsys = -12.7;
  const ObsPlan p = CreateObsPlan(ObsPlanKind::O5);
  for (int i = 1; i <= 5; ++i)
    for (int e = 1; e <= 43; ++e) s.PlanX[i][e] = p.PlanX[i][e];
  for (int e = 1; e <= 43; ++e) s.Ycrit[e] = s.Yfit[e] = 1000.0 / 3 + e;
  for (int c = 0; c <= 20; ++c) s.b[c] = -c / 7.0;
  for (int i = 1; i <= 5; ++i) s.Xopt[i] = i / 3.0;
  s.XoptNat = {0, 227939.5, 0.0934, 1.85, 336.1, 49.6, 686.98};
  s.StartD = 1.5f;
  s.StartM = 3;
  s.StartY = 1600;
  s.EndY = 1700;
  return s;
}

TEST(ObsPlanFile, RoundTripTruncatesAsTheFileStores) {
  testing::TempFolder tmp("obs_planfile");
  const ObsPlanState s = Sample();
  ASSERT_FALSE(WriteObsPlanFile(s, "Tab", "AlBattani", tmp.path));
  const auto path = ResolvePath(tmp.path, "\\Tab\\Plan\\AlBattani4_2.dat");
  auto lines = ReadTextFile(path);
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 87u);
  EXPECT_EQ((*lines)[0], "план № 2 по планете № 4 для AlBattani");
  EXPECT_EQ((*lines)[2], " 227939123     5000000 ");
  EXPECT_EQ((*lines)[11], " 30000        -12            0 ");
  EXPECT_EQ((*lines)[13].substr(0, 28), " 1             1000         ");
  EXPECT_EQ((*lines)[86], " 1500000       3             1600          1700 ");

  ObsPlanState r;
  r.PlanNo = 2;
  r.Npl = 4;
  ASSERT_FALSE(ReadObsPlanFile("Tab", "AlBattani", tmp.path, &r));
  EXPECT_EQ(r.PlanTitle, (*lines)[0]);
  EXPECT_EQ(r.Xzero[1], 227939123000.0);  // whole kilometres
  EXPECT_EQ(r.Xstep[1], 5000e6);
  EXPECT_NEAR(r.Xzero[2], 0.093412, 1e-15);
  EXPECT_NEAR(r.AlfaL0, 355.453299, 1e-12);  // truncated, not rounded
  EXPECT_NEAR(r.earthAlfaU0, -11.26064, 1e-12);  // toward zero
  EXPECT_EQ(r.earthR0sr, 149598261000.0);
  EXPECT_EQ(r.VXsys, 30000);
  EXPECT_EQ(r.VYsys, -12);
  EXPECT_NEAR(r.PlanX[1][33], 1.596, 1e-15);
  EXPECT_NEAR(r.Ycrit[1], 334.333333, 1e-9);
  EXPECT_NEAR(r.b[20], -2.857142, 1e-9);
  EXPECT_EQ(r.bSaved[20], r.b[20]);
  EXPECT_EQ(r.Xopt[6], 0);
  EXPECT_NEAR(r.XoptNat[6], 686.98, 1e-9);
  EXPECT_EQ(r.StartD, 1.5f);
  EXPECT_EQ(r.StartY, 1600);
  EXPECT_EQ(r.EndY, 1700);
  // A loaded plan saves to the same file.
  EXPECT_EQ(ObsPlanFileLines(r, "AlBattani"), *lines);
}

TEST(ObsPlanFile, DamagedFilesLeaveTheStateAlone) {
  testing::TempFolder tmp("obs_planfile_bad");
  const auto good = ObsPlanFileLines(Sample(), "GREN");
  auto cut = good;
  cut.resize(60);
  auto bad = good;
  bad[40] = " 27 x 1";
  for (const auto& lines : {std::vector<std::string>{}, cut, bad}) {
    ObsPlanState s;
    s.PlanTitle = "old";
    EXPECT_TRUE(ReadObsPlanLines(lines, &s));
    EXPECT_EQ(s.PlanTitle, "old");
  }
  ObsPlanState s;
  s.Npl = 3;
  s.PlanNo = 9;
  auto msg = ReadObsPlanFile("Obs", "GREN", tmp.path, &s);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Ошибка чтения данных из файла\r\n\\Obs\\Plan\\GREN3_9.dat");
  // A missing folder is a write failure.
  std::filesystem::remove_all(tmp.path / "Obs");
  msg = WriteObsPlanFile(s, "Obs", "GREN", tmp.path);
  ASSERT_TRUE(msg);
  EXPECT_EQ(msg->text, "Ошибка при записи данных в файл\r\n\\Obs\\Plan\\GREN3_9.dat");
}

TEST(ObsPlanFile, TemplateFromApproximateElements) {
  Model m;
  ObsPlanState sun;
  sun.Npl = 0;
  sun.EndY = 1234;
  sun.PlanX[1][1] = 7;
  ASSERT_FALSE(ObsPlanTemplate(m, 2451545.0, 1.5f, 1, 2000, &sun));
  Model e;
  e.JD = 2451545.0;
  JplElements(e, 3);
  EXPECT_EQ(sun.PlanTitle, "шаблон файла данных");
  EXPECT_EQ(sun.Xzero[1], e.R0sr[3]);
  EXPECT_EQ(sun.Xzero[2], e.Eks0[3]);
  EXPECT_EQ(sun.Xzero[4], e.kUgol * e.AlfaP0[3]);
  EXPECT_EQ(sun.Xzero[5], sun.earthAlfaU0);
  EXPECT_EQ(sun.Xstep, (std::array<double, 6>{0, 5e9, 0.02, 1, 10, 10}));
  EXPECT_EQ(sun.EndY, 1234);  // kept
  EXPECT_EQ(sun.PlanX[1][1], 7);
  EXPECT_EQ(sun.Ycrit[43], 43);
  EXPECT_EQ(sun.b[20], 20);
  EXPECT_NEAR(sun.earthW0sr, 628.3, 0.1);  // radians per century

  // Far before J2000 the mean longitude of Mercury is negative; the plan's
  // AlfaL0 stays in [0, 360).
  for (int k : {1, 4}) {
    ObsPlanState s;
    s.Npl = k;
    ASSERT_FALSE(ObsPlanTemplate(m, 1000000.5, 1, 1, -2000, &s));
    ASSERT_LT(m.AlfaL[k], 0) << k;
    EXPECT_GE(s.AlfaL0, 0);
    EXPECT_LT(s.AlfaL0, 360);
    const double deg = std::fmod(m.AlfaL[k] * m.kUgol, 360.0) + 360.0;
    EXPECT_NEAR(s.AlfaL0, deg, 1e-6) << k;
  }
  ObsPlanState bad;
  bad.Npl = 11;
  EXPECT_TRUE(ObsPlanTemplate(m, 2451545.0, 1, 1, 2000, &bad));
}

}  // namespace
}  // namespace torvik
