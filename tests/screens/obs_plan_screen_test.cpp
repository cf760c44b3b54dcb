// The observation plan screen with its observation screen, offscreen: plan 1
// loaded at opening, the template, saving and loading through the screens,
// the adopted optimum, the experiment series with its stop and its reversed
// range, the regression and sections buttons, the four-of-five buttons and
// the Mox buttons on the statistics screen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <filesystem>

#include "core/paths.h"
#include "core/textfile.h"
#include "observe/screens/observation.h"
#include "observe/screens/register.h"
#include "params/startup.h"
#include "plan/mox_series.h"
#include "plan/screens/obs_plan_screen.h"
#include "stats/screens/register.h"
#include "stats/screens/statistics.h"
#include "ui/app.h"
#include "ui/messages.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

double Num(const QLineEdit* f) { return ui::ParseNumber(f->text()).value_or(-1e300); }

class ObsPlanScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_FALSE(StartUp(model));
    folder = dir.path().toStdString();
    for (const char* f : {"Dat", "Obs", "Obs/Plan", "Tab", "Tab/Plan", "Mox"}) fs::create_directories(folder / f);
    RegisterStatsScreens(nav, model, folder);
    RegisterObserveScreens(nav, model, folder);
    obs = static_cast<ObservationScreen*>(nav.Get("observe"));
    obs->Open();
    plan = obs->PlanScreen();
  }
  void TearDown() override { nav.CloseAll(); }
  // AlBattani, Mars, a short interval, the planet's orbit from the plan.
  void ShortTableRuns(int years = 1) {
    obs->tableGroup->Option(TableNumber("AlBattani"))->click();
    obs->planetField->setText("4");
    obs->yearsField->setText(QString::number(years));
    obs->stepField->setText("10");
    obs->planetGroup->Select(2);  // "P"
    // The tables are a degree off: every step counts.
    for (QCheckBox* b : {obs->dLdBBox, obs->dRBox, obs->dRsrBox, obs->dRmaxBox}) b->setChecked(false);
    plan->fromGroup->Select(0);
    plan->loadButton->click();  // the template of Mars at the table's date
  }
  void Finish() {
    for (int i = 0; i < 200000 && obs->Active(); ++i) QCoreApplication::processEvents();
    ASSERT_FALSE(obs->Active());
  }

  QTemporaryDir dir;
  fs::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  ObservationScreen* obs = nullptr;
  ObsPlanScreen* plan = nullptr;
};

TEST_F(ObsPlanScreenTest, OpeningLoadsTheTemplatePlanOneAndPrintsTheReport) {
  ASSERT_NE(plan, nullptr);
  EXPECT_TRUE(plan->isVisible());
  EXPECT_EQ(plan->windowTitle(), "План эксперименов (наблюдения) Torvik6");
  EXPECT_EQ(plan->planNoField->text(), "1");
  EXPECT_EQ(plan->state().PlanTitle, "шаблон файла данных");
  // Mercury's J2000 orbit: 57 909 thousand km, e 0.2056; the Earth's beside it.
  EXPECT_NEAR(Num(plan->zero[0]), 57909.2, 0.1);
  EXPECT_NEAR(Num(plan->zero[1]), 0.205635, 1e-6);
  EXPECT_NEAR(Num(plan->earth[0]), 149598.26, 0.01);
  const double intervals[] = {5000, 0.02, 1, 10, 10};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(Num(plan->step[i]), intervals[i]) << i;
  EXPECT_EQ(plan->state().PlanX[1][33], 1.596);  // "O5" created at opening
  EXPECT_TRUE(fs::exists(folder / "Dat" / "Plan.txt"));
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();

  // The Sun's template takes the Earth's elements as its zero levels.
  obs->planetField->setText("0");
  plan->loadButton->click();
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(plan->zero[i]->text(), plan->earth[i]->text()) << i;
  const double L0 = Num(plan->zero[5]);
  EXPECT_GE(L0, 0);
  EXPECT_LT(L0, 360);
}

TEST_F(ObsPlanScreenTest, SavingAndLoadingThroughTheScreens) {
  plan->fromGroup->Select(1);
  plan->loadButton->click();
  EXPECT_EQ(messages.LastText(), "Выберете источник данных");
  plan->saveButton->click();
  EXPECT_EQ(messages.LastText(), "Выберете источник данных наблюдений");
  messages.shown.clear();

  ShortTableRuns();
  obs->vsys[0]->setText("30");
  plan->planNoField->setText("2");
  plan->saveButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  const auto lines = ReadTextFile(folder / "Tab" / "Plan" / "AlBattani4_2.dat");
  ASSERT_TRUE(lines);
  ASSERT_EQ(lines->size(), 87u);
  EXPECT_EQ((*lines)[0], "план № 2 по планете № 4 для AlBattani");
  EXPECT_EQ((*lines)[11].substr(0, 7), " 30000 ");

  // The saved plan comes back with its velocity and the start date of the
  // last run (the template's date here), not the date shown when loading.
  const QString savedZero = plan->zero[3]->text();
  obs->vsys[0]->setText("0");
  obs->yearField->setText("1234");
  plan->zero[3]->setText("1");
  plan->fromGroup->Select(1);
  plan->loadButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(obs->vsys[0]->text(), "30");
  EXPECT_EQ(obs->yearField->text(), QString::number(plan->state().StartY));
  EXPECT_NE(obs->yearField->text(), "1234");
  EXPECT_EQ(plan->zero[3]->text(), savedZero);
  EXPECT_TRUE(plan->dataLabel->text().startsWith(QString::fromUtf8("план для AlBattani с ")));
}

TEST_F(ObsPlanScreenTest, AdoptingACodedOptimumOfZeroKeepsTheZeroLevels) {
  std::array<QString, 5> before;
  for (std::size_t i = 0; i < 5; ++i) before[i] = plan->zero[i]->text();
  ASSERT_TRUE(plan->ReadPlanFields());
  plan->adoptButton->click();
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(plan->zero[i]->text(), before[i]) << i;
  // A coded optimum of 1 moves the perihelion level by its interval.
  plan->coded[3]->setText("1");
  ASSERT_TRUE(plan->ReadPlanFields());
  plan->adoptButton->click();
  EXPECT_NEAR(Num(plan->zero[3]), ui::ParseNumber(before[3]).value() + 10, 1e-6);
  plan->zero[2]->setText("x");
  EXPECT_FALSE(plan->ReadPlanFields());
  EXPECT_EQ(messages.LastText(), "Задайте правильно данные для плана");
}

// A short series restores the start date and the first number 1; each
// experiment's criterion differs because the orbit follows the plan.
TEST_F(ObsPlanScreenTest, ASeriesRunsItsExperimentsAndRestoresTheStart) {
  ShortTableRuns();
  obs->expFromField->setText("1");
  obs->expToField->setText("3");
  const QString year = obs->yearField->text();
  obs->experimentsButton->click();
  ASSERT_TRUE(obs->SeriesRunning());
  Finish();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  const ObsValues& Y = plan->state().Ycrit;
  EXPECT_GT(Y[1], 0);
  EXPECT_NE(Y[1], Y[2]);
  EXPECT_NE(Y[2], Y[3]);
  EXPECT_EQ(Y[4], 4);  // the template's placeholder: not run
  EXPECT_NEAR(Num(plan->x6opt), 687, 1);  // the period of Mars, written while the runs step
  EXPECT_EQ(obs->expFromField->text(), "1");
  EXPECT_EQ(obs->yearField->text(), year);

  // A reversed series runs nothing.
  obs->expFromField->setText("5");
  obs->expToField->setText("3");
  obs->experimentsButton->click();
  EXPECT_FALSE(obs->Active());
  EXPECT_EQ(obs->expFromField->text(), "1");
  EXPECT_EQ(obs->yearField->text(), year);
  EXPECT_EQ(plan->state().Ycrit[5], 5);
}

TEST_F(ObsPlanScreenTest, StopDuringTheFifthExperimentKeepsItsNumberAndDate) {
  ShortTableRuns();
  obs->expFromField->setText("1");
  obs->expToField->setText("10");
  const auto date = [this] { return obs->dayField->text() + "." + obs->monthField->text() + "." + obs->yearField->text(); };
  const QString start = date();
  obs->experimentsButton->click();
  for (int i = 0; i < 400000 && obs->expFromField->text() != "5"; ++i) QCoreApplication::processEvents();
  for (int i = 0; i < 100000 && obs->Run().steps() < 3; ++i) QCoreApplication::processEvents();
  ASSERT_EQ(obs->expFromField->text(), "5");
  obs->stopButton->click();
  EXPECT_FALSE(obs->Active());
  EXPECT_FALSE(obs->SeriesRunning());
  EXPECT_EQ(obs->expFromField->text(), "5");
  EXPECT_NE(date(), start);  // the date of the stopped run
  EXPECT_GT(plan->state().Ycrit[5], 0);
  EXPECT_EQ(plan->state().Ycrit[6], 6);
}

TEST_F(ObsPlanScreenTest, RegressionSectionsAndFourOfFiveThroughTheButtons) {
  // "Y(i)=i" with "B5": b0 ≈ 42.762, b1 ≈ −7.5588.
  obs->planGroup->Select(1);
  obs->planButton->click();
  obs->yiBox->setChecked(true);
  obs->coeffButton->click();
  EXPECT_NEAR(plan->state().b[0], 42.762, 1e-3);
  EXPECT_NEAR(plan->state().b[1], -7.5588, 1e-4);
  EXPECT_EQ(plan->state().bSaved[1], plan->state().b[1]);
  // "Y(i)=func" with "O5" wins over "Y(i)=i": all coefficients near 1.
  obs->planGroup->Select(0);
  obs->planButton->click();
  obs->yFuncBox->setChecked(true);
  obs->coeffButton->click();
  for (int c = 1; c <= 15; ++c) EXPECT_NEAR(plan->state().b[c], 1, 1e-6) << c;
  obs->graphsButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  obs->mdRField->setText("0");
  obs->graphsButton->click();
  EXPECT_EQ(messages.LastText(), "Введите правильно данные");
  messages.shown.clear();

  // The all-ones model with factor 5 held at 0: the other four at −0.2.
  ObsPlanState& st = plan->state();
  st.b.fill(1);
  st.bSaved.fill(1);
  for (auto* f : plan->coded) f->setText("0");
  plan->holdGroup->Select(4);
  plan->optimizeButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(Num(plan->coded[i]), -0.2) << i;
  EXPECT_EQ(Num(plan->coded[4]), 0);
  EXPECT_TRUE(fs::exists(folder / "Dat" / "TorvikSLU.txt"));
  plan->allButton->click();
  EXPECT_EQ(plan->holdGroup->Selected(), 0);
  // A coded field that is not a number: the take-over says so, then the
  // optimization, which does nothing.
  plan->coded[0]->setText("x");
  plan->optimizeButton->click();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, "Задайте правильно данные для плана");
  EXPECT_EQ(messages.shown[1].text, "Введите правильно оптимальные значения");
}

TEST_F(ObsPlanScreenTest, MoxButtonsListAndExtendTheSeries) {
  auto* stats = static_cast<StatisticsScreen*>(nav.Get("statistics"));
  obs->planetField->setText("4");
  plan->moxAddButton->click();
  EXPECT_EQ(messages.LastText(), "Данные имитатора Mox не загружены");
  // A series of two points, 2 000 000.5 and 2 100 000.5.
  const std::vector<std::string> file = {
      "h1", "h2", "имитатор Mox     ", "h4", PrintNumber(2) + PrintNumber(200000050),
      PrintNumber(1) + PrintNumber(0) + PrintNumber(1e6) + PrintNumber(2e6) + PrintNumber(3e6) + PrintNumber(4e5) +
          PrintNumber(2.2e11) + PrintNumber(6.8e8),
      PrintNumber(2) + PrintNumber(1e7) + PrintNumber(1e6) + PrintNumber(2e6) + PrintNumber(3e6) + PrintNumber(4e5) +
          PrintNumber(2.2e11) + PrintNumber(6.8e8)};
  ASSERT_TRUE(WriteTextFile(ResolvePath(folder, MoxRunPath(4)), file));
  messages.shown.clear();
  plan->moxShowButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_TRUE(stats->isVisible());
  EXPECT_EQ(stats->nPoint->text(), "2");
  EXPECT_EQ(stats->iEnd->text(), "2");
  EXPECT_EQ(stats->stats().points().NPoint, 2);
  // The optimum dated in the middle of the last run's interval goes between.
  plan->SetRunDates(1, 1, 1600, 1700);
  for (std::size_t i = 0; i < 5; ++i) plan->natural[i]->setText("1");
  plan->x6opt->setText("687");
  plan->moxAddButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(stats->stats().points().NPoint, 3);
  const auto written = ReadTextFile(ResolvePath(folder, MoxRunPath(4)));
  ASSERT_TRUE(written);
  EXPECT_EQ(written->size(), 8u);
}

// "Продолжить" and "Сделать 1 шаг" after a stopped series go on with it.
TEST_F(ObsPlanScreenTest, ContinueAndOneStepAfterAStoppedSeries) {
  ShortTableRuns();
  obs->expFromField->setText("1");
  obs->expToField->setText("2");
  obs->experimentsButton->click();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  obs->stopButton->click();
  ASSERT_FALSE(obs->SeriesRunning());
  const auto steps = obs->Run().steps();
  obs->stepButton->click();
  EXPECT_EQ(obs->Run().steps(), steps + 1);
  EXPECT_FALSE(obs->Active());
  obs->continueButton->click();
  EXPECT_TRUE(obs->Active());
  Finish();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(obs->expFromField->text(), "1");  // the series ran to its end
  EXPECT_NE(plan->state().Ycrit[2], 2);
}

// A plan loaded from its file for another date: the series asks first.
TEST_F(ObsPlanScreenTest, ASeriesOfAPlanOfAnotherDateAsks) {
  ShortTableRuns();
  plan->saveButton->click();
  plan->fromGroup->Select(1);
  plan->loadButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_FALSE(plan->FromTemplate());
  obs->yearField->setText("950");
  obs->expFromField->setText("1");
  obs->expToField->setText("1");
  messages.answer = false;
  obs->experimentsButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.LastText().find("План составлен для даты 1.1.900"), std::string::npos) << messages.LastText();
  EXPECT_FALSE(obs->Active());
  // A template plan is built again for the new date instead.
  plan->fromGroup->Select(0);
  plan->loadButton->click();
  obs->tableGroup->Option(TableNumber("Almagest"))->click();
  EXPECT_EQ(plan->PlanDate().year, 748);
  EXPECT_EQ(plan->state().PlanTitle, "шаблон файла данных");
}

}  // namespace
}  // namespace torvik
