// The optimization screen: the worked test fit to its optimum, the refusals,
// and a series of experiments run through the modelling screen giving the
// orbit files of torvik6-cli plan run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/model.h"
#include "core/paths.h"
#include "model/run_files.h"
#include "model/screens/modelling.h"
#include "model/screens/register.h"
#include "params/screens/parameters.h"
#include "params/screens/register.h"
#include "plan/screens/optimization.h"
#include "plan/screens/register.h"
#include "ui/app.h"
#include "ui/messages.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

class OptimizationTest : public ::testing::Test {
 protected:
  OptimizationTest() {
    test::App();
    folder = dir.path().toStdString();
    EnsureProgramFolder(folder);
    SetConstants(model);
    RegisterParamsScreens(nav, model, folder);
    RegisterModelScreens(nav, model, folder);
    RegisterPlanScreens(nav, model, folder);
    static_cast<ParametersScreen*>(nav.Show("parameters"))->toModelButton->click();
    modelling = static_cast<ModellingScreen*>(nav.Find("modelling"));
    screen = static_cast<OptimizationScreen*>(nav.Show("optimization"));
  }
  ~OptimizationTest() override { modelling->exitButton->click(); }

  QTemporaryDir dir;
  fs::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  ModellingScreen* modelling = nullptr;
  OptimizationScreen* screen = nullptr;
};

TEST_F(OptimizationTest, TestFunctionFitsToItsOptimum) {
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(screen->windowTitle().toStdString(), kOptimizationTitle);
  // Experiment 1 at the default levels shown at opening.
  EXPECT_EQ(screen->natural[1]->text(), "110");
  EXPECT_EQ(screen->natural[4]->text(), "41");
  // Only shown: the system velocity of the next run stays the user's.
  EXPECT_EQ(model.VXsys, 0);
  EXPECT_EQ(screen->runOneButton->text(), "Выполнить один эксперимент плана № 1");

  screen->tests->Select(1);  // "Y(u)=X1+X1^2"
  screen->form->Select(0);   // "Y"
  for (int i = 1; i <= 4; ++i) screen->zero[i]->setText("1"), screen->step[i]->setText("1");
  screen->regressionButton->click();
  screen->optimizeButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_NEAR(screen->Fit().b[1], 3.000002, 1e-6);
  EXPECT_NEAR(*screen->optCoded[1]->Number(), -1.501, 0.0005);
  EXPECT_NEAR(*screen->optCoded[2]->Number(), 0, 1e-9);
  EXPECT_NEAR(*screen->optNatural[1]->Number(), -0.501051, 1e-6);
  EXPECT_TRUE(fs::exists(ResolvePath(folder, ReportRelPath(1))));
  // "дополнительные тесты" takes the choice of the extra tests screen; closing
  // the optimization screen closes that screen and forgets its choice.
  screen->tests->Select(5);
  screen->extraButton->click();
  auto* extra = static_cast<ExtraTestsScreen*>(nav.Find("plantests"));
  ASSERT_TRUE(extra && extra->isVisible());
  extra->tests->Select(0);  // the six pair products: b5 = 1 for x1·x2
  screen->regressionButton->click();
  EXPECT_NEAR(screen->Fit().b[5], 1, 1e-12);
  screen->closeButton->click();
  EXPECT_FALSE(extra->isVisible() || screen->isVisible());
  EXPECT_EQ(extra->Selected(), TestFunction::FullQuadratic);
  screen->Open();
  screen->tests->Select(1);
  screen->regressionButton->click();
  screen->optimizeButton->click();

  screen->sectionsButton->click();
  screen->adoptButton->click();
  EXPECT_EQ(screen->zero[1]->text(), screen->optNatural[1]->text());
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();

  // The refusals: a bad factor field, two planets for a run, the model
  // criterion without drift files.
  screen->step[2]->setText("x");
  screen->regressionButton->click();
  EXPECT_EQ(messages.LastText(), "Введите правильно данные");
  screen->step[2]->setText("1");
  screen->planets[2]->setChecked(true);
  screen->runOneButton->click();
  EXPECT_EQ(messages.LastText(), "Должена быть отмечена одна планата");
  EXPECT_FALSE(modelling->Runner().Active());
  screen->dataUse->Select(1);
  screen->regressionButton->click();
  EXPECT_EQ(messages.LastText(), "Ошибка чтения данных из файла\r\n\\JPL\\TorvikNab.dat");
}

TEST_F(OptimizationTest, SeriesOfThreeGivesTheOrbitFilesOfTheCli) {
  modelling->EnsureBuilt();
  modelling->endYearField->setText("1601");
  screen->expNoField->setText("22");
  screen->runSeriesButton->click();
  QElapsedTimer t;
  t.start();
  while ((modelling->Runner().Active() || screen->expNoField->text() != "25") && t.elapsed() < 120000)
    QCoreApplication::processEvents();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(screen->expNoField->text(), "25");  // no fourth run
  EXPECT_FALSE(modelling->Runner().Active());
  EXPECT_EQ(model.PlanNo, 0);
  EXPECT_FALSE(fs::exists(folder / "Plan1" / "Txt1" / "Torvik1RasB21.txt"));

  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  QTemporaryDir cliDir;
  QProcess cli;
  cli.start(TORVIK6_CLI, {"plan", "run", "--folder", cliDir.path(), "--plan", "1", "--planet", "1", "--from", "22",
                          "--to", "24", "--jobs", "2", "--to-year", "1601", "--run-date",
                          QString::fromStdString(RunDateText(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday))});
  ASSERT_TRUE(cli.waitForFinished(120000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  for (int j = 22; j <= 24; ++j) {
    const std::string rel = "Plan1/Txt1/Torvik1RasB" + std::to_string(j) + ".txt";
    const std::string mine = ReadBytes(folder / rel), theirs = ReadBytes(fs::path(cliDir.path().toStdString()) / rel);
    ASSERT_GT(mine.size(), 1000u) << rel;
    EXPECT_TRUE(mine == theirs) << rel << " of the screen differs from torvik6-cli's";
  }

  // "Остановить" on the modelling screen ends a series after its run.
  screen->expNoField->setText("1");
  screen->runSeriesButton->click();
  ASSERT_TRUE(modelling->Runner().Active());
  modelling->stopButton->click();
  t.restart();
  while (modelling->Runner().Active() && t.elapsed() < 60000) QCoreApplication::processEvents();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(modelling->Runner().Active());
  EXPECT_EQ(screen->expNoField->text().toInt() >= 24, true);
}

}  // namespace
}  // namespace torvik
