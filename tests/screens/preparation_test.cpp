// The first start on an empty program folder: the parameters screen is shown
// at once while the DE405 and observatory files are written behind it, and the
// screens that read them wait for them without blocking the event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>

#include "app/screens.h"
#include "core/paths.h"
#include "model/de405_files.h"
#include "observe/preparation.h"
#include "observe/sample_files.h"
#include "ui/app.h"
#include "ui/messages.h"

namespace torvik {
namespace {

QString WaitingText(const ui::Navigator& nav, const std::string& id) {
  const QWidget* w = nav.Waiting(id);
  if (!w) return {};
  const auto* line = w->findChild<QLabel*>();
  return line ? line->text() : QString();
}

TEST(FirstStart, ParametersShowAtOnceAndTheDataScreensWaitWithAProgressLine) {
  test::App();
  ui::CapturedMessages messages;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::filesystem::path folder = dir.path().toStdString();
  ASSERT_TRUE(EnsureProgramFolder(folder));

  QElapsedTimer clock;
  clock.start();
  Model model;
  SetConstants(model);
  ui::Navigator nav;
  RegisterScreens(nav, model, folder);
  DataPreparation preparation;
  preparation.Start(folder);
  WaitForPreparation(nav, preparation);
  ui::Screen* params = nav.Show("parameters");
  ASSERT_NE(params, nullptr);
  QCoreApplication::processEvents();
  EXPECT_TRUE(params->isVisible());
  EXPECT_LT(clock.elapsed(), 1000) << "ms until the first screen";

  // The DE405 files take seconds to write: the modelling screen waits.
  ASSERT_EQ(preparation.Pending(DataPreparation::Data::De405), kPreparingDe405);
  EXPECT_EQ(nav.Show("modelling"), nullptr);
  EXPECT_EQ(WaitingText(nav, "modelling"), QString(kPreparingDe405));
  EXPECT_EQ(nav.Show("observe"), nullptr);
  ASSERT_NE(nav.Waiting("observe"), nullptr);

  // The event loop goes on turning meanwhile, and each screen opens when its data are there.
  int turns = 0;
  QElapsedTimer waited;
  waited.start();
  while ((nav.Waiting("modelling") || nav.Waiting("observe")) && waited.elapsed() < 120000) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
    ++turns;
  }
  EXPECT_GT(turns, 50);
  ASSERT_TRUE(nav.Find("modelling"));
  EXPECT_TRUE(nav.Find("modelling")->isVisible());
  EXPECT_TRUE(nav.Find("observe")->isVisible());
  EXPECT_TRUE(HaveDe405Files(folder));
  EXPECT_TRUE(HaveObservatoryFiles(folder));
  EXPECT_EQ(preparation.Pending(DataPreparation::Data::Observatories), "");
  nav.CloseAll();

  // The next start in the same folder has nothing to prepare.
  DataPreparation again;
  again.Start(folder);
  EXPECT_EQ(again.Pending(DataPreparation::Data::De405), "");
  EXPECT_EQ(again.Pending(DataPreparation::Data::Observatories), "");
  // A sample file removed later is not written again.
  again.Wait();
  std::filesystem::remove(folder / "Obs" / "GREN4.txt");
  DataPreparation third;
  third.Start(folder);
  EXPECT_EQ(third.Pending(DataPreparation::Data::Observatories), "");
  third.Wait();
  EXPECT_FALSE(std::filesystem::exists(folder / "Obs" / "GREN4.txt"));
}

}  // namespace
}  // namespace torvik
