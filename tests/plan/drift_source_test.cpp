// The model criterion over real drift files: a plan drift file whose drifts
// follow 2 + 3·x1 + x1² over the plan fits to the worked optimum of that
// function, from the "B" file even when an "O" file lies beside it.
#include "plan/drift_source.h"

#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/textfile.h"
#include "plan/optimize.h"
#include "stats/drift_files.h"
#include "temp_folder.h"

namespace torvik {
namespace {

using testing::TempFolder;

void WriteDrifts(const std::filesystem::path& folder, const std::string& rel, const std::vector<std::string>& header,
                 const std::vector<DriftRow>& rows) {
  std::filesystem::create_directories(ResolvePath(folder, rel).parent_path());
  ASSERT_TRUE(WriteTextFile(ResolvePath(folder, rel),
                            DriftFileLines(header, rows.data(), static_cast<int>(rows.size()) - 1)));
}

TEST(DriftSource, PlanDriftFileToOptimum) {
  TempFolder tmp("drift_source");
  PlanTables t;
  FillB4D(t);
  std::vector<DriftRow> nab(11), ras(25), other(26);
  for (int p = 1; p <= 10; ++p) nab[p] = {0, 0.5 * p, 1, 1, 1, 1, 1};
  for (int j = 1; j <= 24; ++j) {
    const double x1 = t.PlanX[1][j];
    ras[j] = {0, 2 + 3 * x1 + x1 * x1, 7, 7, 7, 7, 7};
  }
  for (auto& r : other) r = {0, 100, 100, 100, 100, 100, 100};
  WriteDrifts(tmp.path, ImitatorDriftPath("APC"), ImitatorDriftHeader("APC"), nab);
  WriteDrifts(tmp.path, PlanDriftPath(3, 2, 'B'), PlanDriftHeader(3, 2), ras);
  WriteDrifts(tmp.path, PlanDriftPath(3, 2, 'O'), PlanDriftHeader(3, 2), other);

  DriftSelection sel;
  sel.planets[2] = true;
  sel.elements[1] = true;
  sel.form = CriterionForm::Y;
  PlanValues y{};
  ASSERT_FALSE(ModelCriterion(StatsDriftSource(), tmp.path, "APC", 3, sel, UnitWeights(), &y));
  EXPECT_EQ(y[1], 6);   // x1 = +1
  EXPECT_EQ(y[18], 0);  // x1 = −1
  const Regression reg = FindRegression(t, y);
  LinearSystem sys;
  Optimum opt;
  ASSERT_FALSE(Optimize(reg.b, PlanLevels{}, 3, tmp.path, sys, &opt));
  EXPECT_NEAR(opt.Xopt[1], -1.501, 0.0005);
  EXPECT_NEAR(opt.Xopt[2], 0, 1e-9);

  // "dY" against the observed drift 1 of planet 2: |(6 − 1)/1| for experiment 1.
  sel.form = CriterionForm::dY;
  ASSERT_FALSE(ModelCriterion(StatsDriftSource(), tmp.path, "APC", 3, sel, UnitWeights(), &y));
  EXPECT_DOUBLE_EQ(y[1], 5);

  // The listings of the two files, four decimals of the observed drifts.
  const DriftListing observed = ListObservedDrifts(tmp.path, "APC");
  ASSERT_FALSE(observed.failure);
  ASSERT_EQ(observed.lines.size(), 10u);
  EXPECT_EQ(observed.header[0], "Обработанные данные  \\APC  по всем планетам");
  EXPECT_EQ(observed.lines[2], "3    dAlfaP100  = 0001.5000    dAlfaU100  = 0001.0000    dBetta100  = 001.00000"
                               "    dEks100  = 001.0000    dRsr100  = 0001.0000    dPeriod100  = 001.0000");
  const DriftListing plan = ListPlanDrifts(tmp.path, 3, 2);
  ASSERT_FALSE(plan.failure);
  ASSERT_EQ(plan.lines.size(), 24u);
  EXPECT_EQ(plan.lines[17].substr(0, 29), " 18    dAlfaP100  = 0000.0000");
  EXPECT_EQ(ListPlanDrifts(tmp.path, 3, 0).failure->text, "Ошибка чтения данных из файла\r\n\\Plan3\\Torvik0RasB.dat");

  // A missing observed file, a missing plan file, a short plan file.
  struct Case {
    const char* imitator;
    int planet;
    const char* want;
  } cases[] = {
      {"New", 2, "Ошибка чтения данных из файла\r\n\\NEW\\TorvikNab.dat"},
      {"APC", 4, "Ошибка чтения данных из файла\r\n\\Plan3\\Torvik4RasB.dat"},
      {"APC", 5, "Ошибка чтения данных из файла\r\n\\Plan3\\Torvik5RasB.dat"},
  };
  ras.resize(20);
  WriteDrifts(tmp.path, PlanDriftPath(3, 5, 'B'), PlanDriftHeader(3, 5), ras);
  for (const auto& c : cases) {
    DriftSelection s = sel;
    s.planets = {};
    s.planets[static_cast<std::size_t>(c.planet)] = true;
    const auto r = ModelCriterion(StatsDriftSource(), tmp.path, c.imitator, 3, s, UnitWeights(), &y);
    ASSERT_TRUE(r) << c.want;
    EXPECT_EQ(r->text, c.want);
  }
}

}  // namespace
}  // namespace torvik
