// The plan parameter file, the observation plan file and the Mox series are
// refused whole when damaged: damage made by the test from files the
// program's own writers write (a decimal comma, a repeated or missing line,
// an extra field, a cut last number, implausible sizes, a junk record).
#include <gtest/gtest.h>

#include <fstream>

#include "core/paths.h"
#include "core/textfile.h"
#include "plan/mox_series.h"
#include "plan/obs_planfile.h"
#include "plan/planfile.h"
#include "temp_folder.h"

namespace torvik {
namespace {

std::string Bytes(const std::vector<std::string>& lines) {
  std::string b;
  for (const auto& l : lines) b += Utf8ToCp1251(l) + "\r\n";
  return b;
}

struct Damage {
  std::string name;
  std::string bytes;
  bool accepted;
};

// The variants of a file of good lines; `at` is a numeric line whose last
// field is at least three digits long.
std::vector<Damage> Variants(const std::vector<std::string>& good, std::size_t at) {
  const std::string g = Bytes(good);
  auto with = [&](std::size_t i, const std::string& line) {
    auto l = good;
    l[i] = line;
    return Bytes(l);
  };
  auto fields = SplitFields(good[at]);
  auto last = [&](const std::string& v) {
    std::string l;
    for (std::size_t i = 0; i + 1 < fields.size(); ++i) l += " " + fields[i];
    return with(at, l + " " + v);
  };
  const std::string& f = fields.back();
  auto dup = good;
  dup.insert(dup.begin() + static_cast<long>(at), good[at]);
  auto removed = good;
  removed.erase(removed.begin() + static_cast<long>(at));
  std::string crOnly = g;
  for (std::size_t i; (i = crOnly.find("\r\n")) != std::string::npos;) crOnly.erase(i + 1, 1);
  return {
      {"sound", g, true},
      {"blank line at the end", g + "\r\n", true},
      {"CR-only line ends", crOnly, true},
      {"decimal comma", last(f.substr(0, f.size() - 2) + "," + f.substr(f.size() - 2)), false},
      {"line repeated", Bytes(dup), false},
      {"line missing", Bytes(removed), false},
      {"extra field", with(at, good[at] + " 5"), false},
      {"field missing", last(""), false},
      {"1E+308", last("1E+308"), false},
      {"text", last("abc"), false},
      {"cut inside the last number", g.substr(0, g.size() - 3), false},
      {"last line end missing", g.substr(0, g.size() - 2), false},
      {"junk line appended", g + " 1  2  3  4  5  6  7  8\r\n", false},
      {"empty file", "", false},
  };
}

void Put(const std::filesystem::path& file, const std::string& bytes) {
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(FileDamage, PlanParameterFile) {
  testing::TempFolder tmp("damage_planfile");
  PlanParams p;
  for (int planet = 1; planet <= 10; ++planet)
    for (int e = 1; e <= 6; ++e) p.Wt[planet][e] = planet * 100 + e + 0.5;
  const auto good = PlanFileLines(p);
  for (const Damage& d : Variants(good, 9)) {
    SCOPED_TRACE(d.name);
    Put(ResolvePath(tmp.path, PlanFileRelPath(1)), d.bytes);
    PlanParams read;
    read.Wt[1][1] = -7;
    const auto msg = ReadPlanFile(1, tmp.path, &read);
    EXPECT_EQ(!msg, d.accepted);
    if (d.accepted) {
      EXPECT_EQ(PlanFileLines(read), good);
    } else {
      EXPECT_EQ(read.Wt[1][1], -7);  // nothing changed
    }
    if (msg) {
      EXPECT_EQ(msg->text, "Ошибка при чтении данных из файла TorvikPlan.dat\r\n\\Plan1\\TorvikPlan.dat");
    }
  }
}

TEST(FileDamage, ObservationPlanFile) {
  testing::TempFolder tmp("damage_obsplan");
  ObsPlanState s;
  s.PlanTitle = "план № 1 по планете № 4 для GREN";
  s.Npl = 4;
  for (int c = 0; c <= 20; ++c) s.b[c] = 1000.5 + c;
  for (int e = 1; e <= 43; ++e) s.Ycrit[e] = s.Yfit[e] = 77.25 + e;
  s.Xzero[1] = 227939100000;
  const auto good = ObsPlanFileLines(s, "GREN");
  for (const Damage& d : Variants(good, 58)) {  // coefficient b1
    SCOPED_TRACE(d.name);
    Put(ResolvePath(tmp.path, ObsPlanRelPath("Obs", "GREN", 4, 1)), d.bytes);
    ObsPlanState read;
    read.Npl = 4;
    read.PlanTitle = "old";
    const auto msg = ReadObsPlanFile("Obs", "GREN", tmp.path, &read);
    EXPECT_EQ(!msg, d.accepted);
    if (d.accepted) {
      EXPECT_EQ(ObsPlanFileLines(read, "GREN"), good);
    } else {
      EXPECT_EQ(read.PlanTitle, "old");
    }
  }
}

TEST(FileDamage, MoxSeries) {
  testing::TempFolder tmp("damage_mox");
  PointTable t;
  t.header = {"Обработанные данные наблюдений объекта № 4", "по данным", "имитатор Mox     ", " № точки"};
  t.JDfile = 2305447.5;
  for (int i = 1; i <= 6; ++i) t.Add(730.5 * i, {0, 336.06 + i, 49.56, 1.85, 0.0934, 227939.1, 686.98});
  const auto good = RunFileLines(t);
  auto variants = Variants(good, 7);
  variants.erase(variants.begin() + 4);  // a repeated record is checked below by its date
  auto dup = good;
  dup.push_back(good.back());
  variants.push_back({"last record repeated", Bytes(dup), false});
  // One record fewer than the count line says is a sound file of five points:
  // the count of a run's file is an estimate.
  for (auto& v : variants)
    if (v.name == "line missing") v.accepted = true;
  for (const Damage& d : variants) {
    SCOPED_TRACE(d.name);
    Put(ResolvePath(tmp.path, MoxRunPath(4)), d.bytes);
    PointTable read;
    const auto msg = ShowMoxData(tmp.path, 4, read, nullptr);
    EXPECT_EQ(!msg, d.accepted);
    if (d.name == "line missing") {
      EXPECT_EQ(read.NPoint, 5);
    } else if (d.accepted) {
      EXPECT_EQ(RunFileLines(read), good);
    } else {
      EXPECT_EQ(read.NPoint, 0);
    }
    if (msg) {
      EXPECT_EQ(msg->text, "Ошибка чтения данных из файла\r\n\\Mox\\Torvik4Nab.txt");
    }
  }
}

}  // namespace
}  // namespace torvik
