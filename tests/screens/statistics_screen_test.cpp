// The statistics screen offscreen: a model run's orbit file loaded, processed
// with and without the sweep, points selected with both mouse buttons, deleted
// and added, a plan drift file loaded and a drift replaced in it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cmath>
#include <filesystem>

#include "core/model.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "stats/screens/register.h"
#include "stats/screens/statistics.h"
#include "ui/app.h"
#include "ui/messages.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

class StatisticsScreenTest : public ::testing::Test {
 protected:
  StatisticsScreenTest() {
    test::App();
    folder = dir.path().toStdString();
    for (const char* f : {"Plan1/Txt1", "JPL"}) fs::create_directories(folder / f);
    // A three-year Mercury run of the model, as experiment 1 of plan 1.
    fs::copy_file(fs::path(TORVIK6_TEST_DATA) / "model" / "Torvik1RasB1.txt", RunFile());
    SetConstants(model);
    RegisterStatsScreens(nav, model, folder);
    screen = static_cast<StatisticsScreen*>(nav.Show("statistics"));
  }
  fs::path RunFile() const { return ResolvePath(folder, "\\Plan1\\Txt1\\Torvik1RasB1.txt"); }
  static double Number(const QLineEdit* f) { return ui::ParseNumber(f->text()).value_or(NAN); }
  int Records() const { return static_cast<int>(ReadTextFile(RunFile())->size()) - 5; }
  // Presses a mouse button on the surface at plot x (plot cm).
  void Press(double x, Qt::MouseButton button) {
    const QPointF at(x * kPlotPixelsPerCm, 10);
    QMouseEvent press(QEvent::MouseButtonPress, at, screen->surface->mapToGlobal(at), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(screen->surface, &press);
  }
  // Pixels of the colour in the surface as painted.
  int Count(const QColor& c) {
    const QImage image = screen->surface->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == c;
    return n;
  }

  QTemporaryDir dir;
  fs::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  StatisticsScreen* screen = nullptr;
};

TEST_F(StatisticsScreenTest, OpensWithItsDefaults) {
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->windowTitle().toStdString(), kStatisticsTitle);
  EXPECT_EQ(screen->viewport->size(), QSize(780, 300));
  EXPECT_EQ(screen->vBar->value(), 100);
  EXPECT_EQ(screen->hBar->value(), 0);
  const std::pair<QLineEdit*, double> defaults[] = {
      {screen->mx1, 15}, {screen->mp, 0.1}, {screen->mdp, 10}, {screen->mx2, 25}, {screen->nPoint, 25},
      {screen->ncp, 5}, {screen->iStart, 1}, {screen->iEnd, 25}, {screen->t0, 1600}, {screen->tYear, 2000},
      {screen->k0, 1}, {screen->k1, 2}, {screen->k2, 0}, {screen->k3, 1}, {screen->colour, 11},
      {screen->plan, 1}, {screen->experiment, 1}, {screen->deleteNo, 2}, {screen->addDay, 1.5},
      {screen->addMonth, 1}, {screen->addYear, 1601}, {screen->addValue, 0}, {screen->drift, 0}};
  for (auto [field, want] : defaults) EXPECT_EQ(Number(field), want);
  EXPECT_EQ(screen->source->Selected(), 1);
  EXPECT_EQ(screen->imitators->Selected(), 2);
  EXPECT_EQ(screen->ncoef->Selected(), 1);
  EXPECT_EQ(screen->criterion->Selected(), 1);
  EXPECT_FALSE(screen->overlay->isChecked() || screen->test->isChecked() || screen->sweep->isChecked());
  EXPECT_LE(screen->sizeHint().width(), 1366);
  EXPECT_LE(screen->sizeHint().height(), 740);
}

TEST_F(StatisticsScreenTest, LoadsProcessesAndSweepsARunFile) {
  screen->loadButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(Number(screen->nPoint), 25);  // the records, not the count line's 34
  EXPECT_EQ(Number(screen->iEnd), 25);
  EXPECT_EQ(Number(screen->t0), 1601);
  EXPECT_EQ(Number(screen->firstValue), 77.458587);
  EXPECT_EQ(screen->firstYear->text(), "1601");
  // Three years: W = t/365.24/15 + 3 plot cm, at 24.9 px each.
  const double W = screen->stats().points().tDay[25] / 365.24 / 15 + 3;
  EXPECT_EQ(screen->surface->width(), static_cast<int>(std::ceil(W * 24.9)));
  // The vertical bar at 100 shows the bottom of the surface (time labels, zero level).
  EXPECT_EQ(screen->surface->y() + screen->surface->height(), 300 - 4);

  // A quarter of a year per plot cm shows the three years across the viewport.
  screen->mx1->setText("0,25");
  screen->loadButton->click();
  screen->t0->setText("1601");
  screen->ncp->setText("4");
  screen->processButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  const double drift = Number(screen->drift);
  EXPECT_TRUE(std::isfinite(drift));
  EXPECT_GT(Number(screen->limit), 0);
  EXPECT_GT(Count(QColor(0, 235, 0)), 100);  // group borders and the fit band

  screen->sweep->setChecked(true);
  screen->criterion->Select(0);
  screen->processButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(Number(screen->ncp), 8);  // every size up to Fix(25 / 3)
  const double best = Number(screen->drift);
  EXPECT_EQ(best, std::trunc(best * 1e6) / 1e6);

  screen->ncp->setText("20");  // too few groups for two coefficients
  screen->processButton->click();
  EXPECT_EQ(messages.LastText(), "Первичные данные должны быть\r\nразбиты минимум на3группы");
  screen->mx1->setText("abc");
  screen->processButton->click();
  EXPECT_EQ(messages.LastText(), kProcessingError);
}

TEST_F(StatisticsScreenTest, MouseButtonsSelectTheFirstAndLastPoints) {
  screen->processButton->click();  // nothing loaded: the default range is beyond the table
  EXPECT_EQ(messages.LastText(), kProcessingError);
  Press(2, Qt::LeftButton);
  EXPECT_EQ(messages.LastText(), kPointNotFound);
  screen->loadButton->click();
  const auto& t = screen->stats().points();
  auto xOf = [&](int i) { return t.tDay[static_cast<std::size_t>(i)] / 365.25 / 15 + 1; };
  Press(xOf(5), Qt::LeftButton);
  Press(xOf(20), Qt::RightButton);
  EXPECT_EQ(Number(screen->iStart), 5);
  EXPECT_EQ(Number(screen->iEnd), 20);
  EXPECT_EQ(Number(screen->firstValue), t.Par[5][1]);
  EXPECT_EQ(Number(screen->lastValue), t.Par[20][1]);
  Press(0, Qt::LeftButton);  // left of every point: the first
  EXPECT_EQ(Number(screen->iStart), 1);
  EXPECT_EQ(Number(screen->firstValue), t.Par[1][1]);
}

TEST_F(StatisticsScreenTest, DeletesAndAddsPointsOfTheLoadedFile) {
  screen->deleteButton->click();
  EXPECT_EQ(messages.LastText(), kNotPrimaryData);
  screen->loadButton->click();
  screen->deleteNo->setText("2");
  screen->addDay->setText("abc");  // a field the deletion does not use
  screen->deleteButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(Records(), 24);
  screen->addButton->click();
  EXPECT_EQ(messages.LastText(), "Ошибка записи данных в файл\r\n\\Plan1\\Txt1\\Torvik1RasB1.txt");
  messages.shown.pop_back();
  screen->addDay->setText("1,5");
  // A point at 1.5 January 1601, before the first record: it becomes point 1.
  screen->addValue->setText("77,5");
  screen->addButton->click();
  ASSERT_EQ(messages.shown.size(), 1u) << messages.LastText();
  EXPECT_EQ(Records(), 25);
  const auto lines = *ReadTextFile(RunFile());
  EXPECT_EQ(SplitFields(lines[4]), (std::vector<std::string>{"25", "230581400"}));
  EXPECT_EQ(SplitFields(lines[5]),
            (std::vector<std::string>{"1", "0", "77500000", "0", "0", "0", "0", "0"}));
}

TEST_F(StatisticsScreenTest, OverlayDrawsTheNewPointsInTheirColourOverTheOldPlot) {
  auto colour = [&](int c) { return QColor(model.ColR[c], model.ColG[c], model.ColB[c]); };
  ASSERT_NE(colour(3), colour(11));
  screen->mx1->setText("0,25");  // the three years across the viewport
  screen->loadButton->click();
  const int before = Count(colour(11));
  ASSERT_GT(before, 0);
  ASSERT_EQ(Count(colour(3)), 0);
  screen->overlay->setChecked(true);
  screen->colour->setText("3");
  screen->element->Select(1);  // the node, drawn over the perihelion plot
  screen->loadButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_GT(Count(colour(3)), 0);
  // The first points stay (the flat node series covers a fifth of them).
  EXPECT_GE(Count(colour(11)), before * 3 / 4);
  screen->colour->setText("14");    // colour numbers are 0..13
  screen->loadButton->click();
  EXPECT_EQ(messages.LastText(), "Ошибка чтения данных из файла\r\n\\Plan1\\Txt1\\Torvik1RasB1.txt");
}

TEST_F(StatisticsScreenTest, AskBeforeAVeryLargePlot) {
  messages.answer = false;
  screen->mp->setText("0,00001");
  screen->loadButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.LastText(), "Вы действительно хотите\r\nтакой большой график.\r\nЕсли Да, то придется подождать");
  EXPECT_EQ(screen->stats().points().NPoint, 25);  // the points are loaded all the same
  EXPECT_EQ(screen->stats().plot().W, 35);         // the plot is not resized
}

TEST_F(StatisticsScreenTest, ReplacesADriftOfAPlanDriftFile) {
  std::array<DriftRow, kMaxExperiments + 1> rows{};
  rows[1][1] = 500.25;
  const auto file = ResolvePath(folder, PlanDriftPath(1, 1, 'B'));
  ASSERT_TRUE(WriteTextFile(file, DriftFileLines(PlanDriftHeader(1, 1), rows.data(), 24)));
  screen->loadDriftButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(Number(screen->driftInFile), 500.25);
  EXPECT_EQ(screen->stats().plot().W, 35);
  screen->drift->setText("-1,2500006");
  screen->source->Select(0);  // the imitator source while a plan drift file is loaded
  screen->replaceButton->click();
  EXPECT_EQ(messages.LastText(), "У Вас не загружены данные наблюдений");
  screen->source->Select(1);
  screen->replaceButton->click();
  ASSERT_EQ(messages.shown.size(), 1u) << messages.LastText();
  EXPECT_EQ(SplitFields((*ReadTextFile(file))[2])[1], "-1250000");
  screen->loadDriftButton->click();
  EXPECT_EQ(Number(screen->driftInFile), -1.25);
}

}  // namespace
}  // namespace torvik
