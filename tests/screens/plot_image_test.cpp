// The plot images that torvik6-cli writes against the screens' own pictures:
// the Cairo PNG, decoded by Qt, inks the pixels the statistics surface and the
// observation screen's deviation plot paint, give or take antialiasing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>
#include <filesystem>

#include "core/model.h"
#include "core/paths.h"
#include "observe/deviation_plot.h"
#include "observe/screens/observation.h"
#include "params/startup.h"
#include "stats/plot_image.h"
#include "stats/screens/register.h"
#include "stats/screens/statistics.h"
#include "ui/app.h"
#include "ui/messages.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

QImage Decode(const Plot& plot, PlotScale scale) {
  std::string error;
  const auto png = PlotImageBytes(plot, ImageFormat::Png, scale, &error);
  EXPECT_TRUE(png) << error;
  QImage image;
  if (png) {
    EXPECT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(png->data()), static_cast<int>(png->size()), "PNG"));
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

bool Inked(const QImage& image, int x, int y) { return image.valid(x, y) && image.pixel(x, y) != qRgb(255, 255, 255); }

// The share of the inked pixels of `a` that `b` inks too, within `reach` pixels.
double Covered(const QImage& a, const QImage& b, int reach = 1) {
  long inked = 0, covered = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      if (!Inked(a, x, y)) continue;
      ++inked;
      bool near = false;
      for (int dy = -reach; dy <= reach && !near; ++dy)
        for (int dx = -reach; dx <= reach && !near; ++dx) near = Inked(b, x + dx, y + dy);
      covered += near;
    }
  return inked ? static_cast<double>(covered) / static_cast<double>(inked) : 0.0;
}

// The pixels of exactly colour c in `a`, and the share of them that `b` inks
// mostly in c itself or a neighbour (antialiasing blends an edge with white).
std::pair<long, double> SameColour(const QImage& a, const QImage& b, QRgb c) {
  const auto inkOf = [c](QRgb p) {  // 1 for c, 0 for white
    const double d = std::hypot(qRed(p) - qRed(c), qGreen(p) - qGreen(c), qBlue(p) - qBlue(c));
    const double white = std::hypot(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
    return 1 - d / white;
  };
  long n = 0, same = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != c) continue;
      ++n;
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx) near = b.valid(x + dx, y + dy) && inkOf(b.pixel(x + dx, y + dy)) >= 0.5;
      same += near;
    }
  return {n, n ? static_cast<double>(same) / static_cast<double>(n) : 0.0};
}

TEST(PlotImageScreens, TheDriftPlotInksWhatTheStatisticsSurfacePaints) {
  test::App();
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  fs::create_directories(folder / "Plan1" / "Txt1");
  // 400 years of Mercury: the perihelion in groups of 50.
  fs::copy_file(fs::path(TORVIK6_TEST_DATA) / "stats" / "Torvik1RasB1_400y.txt",
                ResolvePath(folder, "\\Plan1\\Txt1\\Torvik1RasB1.txt"));
  ui::CapturedMessages messages;
  Model model;
  SetConstants(model);
  ui::Navigator nav;
  RegisterStatsScreens(nav, model, folder);
  auto* screen = static_cast<StatisticsScreen*>(nav.Show("statistics"));
  screen->loadButton->click();
  screen->ncp->setText("50");
  screen->processButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();

  const QImage painted = screen->surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage drawn = Decode(screen->stats().plot(), {});
  ASSERT_EQ(drawn.size(), painted.size());
  // The texts come from two font engines; the lines, circles and points agree.
  EXPECT_GT(Covered(painted, drawn), 0.95);
  EXPECT_GT(Covered(drawn, painted), 0.95);
  // The green group borders and fit band and the red period marks land on the same columns and rows.
  for (QRgb c : {qRgb(0, 235, 0), qRgb(255, 0, 0)}) {
    const auto [n, same] = SameColour(painted, drawn, c);
    EXPECT_GT(n, 50);
    EXPECT_GT(same, 0.8) << std::hex << c;
  }
}

TEST(PlotImageScreens, TheDeviationPlotInksWhatTheObservationScreenPaints) {
  test::App();
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  for (const char* f : {"Dat", "Obs", "Tab"}) fs::create_directories(folder / f);
  ui::CapturedMessages messages;
  Model model;
  ASSERT_FALSE(StartUp(model));
  ui::Navigator nav;
  ObservationScreen screen(model, nav, folder, MakeTableWorkbook);
  screen.Open();
  // Ten years of Mercury from the Almagest over the whole width (0.5 years a
  // centimetre), dR at 2 million km a centimetre: the rejected ones as circles.
  screen.tableGroup->Option(TableNumber("Almagest"))->click();
  screen.planetField->setText("1");
  screen.yearsField->setText("10");
  screen.mtField->setText("0.5");
  screen.mdRField->setText("2000");
  screen.startButton->click();
  for (int i = 0; i < 100000 && screen.Active(); ++i) QCoreApplication::processEvents();
  ASSERT_FALSE(screen.Active());
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();

  // The same run without the screen, its plot collected as torvik6-cli observe --plot does.
  Model m2;
  ASSERT_FALSE(StartUp(m2));
  ObservationSource src(folder);
  const auto sel = src.SelectTable(TableNumber("Almagest"));
  ASSERT_FALSE(sel.message);
  ObsSettings set;
  ApplyPresets(sel.presets, set);
  set.calendar.era = EgyptianEra::Almagest;
  set.Npl = 1;
  set.years = 10;
  ObservationRun run(m2, src);
  ASSERT_FALSE(run.Start(set));
  DeviationView view;
  view.MT = 0.5;
  view.MdR = 2000;
  DeviationPlot plot(view);
  plot.Begin(run, src.kind());
  while (run.Running()) plot.Step(run, run.Step());
  EXPECT_EQ(run.steps(), screen.Run().steps());

  const QImage& painted = screen.devPicture->Image();
  const QImage drawn = Decode(plot.plot(), kDeviationScale);
  ASSERT_EQ(drawn.size(), painted.size());
  EXPECT_GT(Covered(painted, drawn), 0.97);
  EXPECT_GT(Covered(drawn, painted), 0.97);
  // The points in their colours: dL red, dB blue-green, dR blue (the rejected
  // ones as circles), the criterion black.
  for (QRgb c : {qRgb(255, 0, 0), qRgb(0, 130, 130), qRgb(0, 0, 200), qRgb(0, 0, 0)}) {
    const auto [n, same] = SameColour(painted, drawn, c);
    EXPECT_GT(n, 20) << std::hex << c;
    EXPECT_GT(same, 0.95) << std::hex << c;
  }
}

}  // namespace
}  // namespace torvik
