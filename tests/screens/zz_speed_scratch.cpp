#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include "core/paths.h"
#include "model/screens/modelling.h"
#include "model/screens/register.h"
#include "params/screens/register.h"
#include "ui/app.h"
#include "ui/messages.h"
namespace torvik {
TEST(ScratchSpeed, ScreenRun) {
  test::App();
  QTemporaryDir dir;
  std::filesystem::path folder = dir.path().toStdString();
  EnsureProgramFolder(folder);
  ui::CapturedMessages messages;
  Model model; SetConstants(model);
  ui::Navigator nav; nav.SetExitAction([]{});
  RegisterParamsScreens(nav, model, folder); RegisterModelScreens(nav, model, folder);
  nav.Show("parameters");
  auto* s = static_cast<ModellingScreen*>(nav.Show("modelling"));
  s->endYearField->setText(qEnvironmentVariable("END_YEAR", "1630"));
  if (qEnvironmentVariableIsSet("NOANIM")) s->animationBox->setChecked(false);
  if (qEnvironmentVariableIsSet("HIDE")) s->hide();
  auto t0 = std::chrono::steady_clock::now();
  s->startButton->click();
  while (s->Runner().Active()) QCoreApplication::processEvents();
  double w = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("screen: %lld steps in %.2f s wall = %.0f steps/s; %s\n", (long long)s->Run().totalSteps(), w, s->Run().totalSteps() / w, s->progressLabel->text().toStdString().c_str());
}
}
