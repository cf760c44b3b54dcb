// "Статистическая обработка данных полученных на модели или имитаторе
// Torvik6 - форма 6": the inputs of the drift statistics, the plot seen through
// a 780 × 300 viewport with two scroll bars, and the buttons of the loading,
// processing, drift-file and point-editing operations. Every action reads the
// fields, calls the Qt-free Statistics and paints its plot.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "core/model.h"
#include "stats/statistics.h"
#include "ui/fields.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kStatisticsTitle =
    "Статистическая обработка данных полученных на модели или имитаторе             Torvik6 - форма 6";
inline constexpr int kViewportWidth = 780;
inline constexpr int kViewportHeight = 300;

// The drawing surface: W × H plot centimetres at 24.9 pixels each, painted
// from the plot's items. A mouse press reports the plot x and the button.
class PlotSurface : public QWidget {
  Q_OBJECT

 public:
  PlotSurface(const Plot& plot, QWidget* parent);
  // Pixel size of the plot (W·24.9 × H·24.9, bounded to what a widget can be).
  QSize PlotPixels() const;
  std::function<void(double x, bool left)> onPress;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const Plot& plot_;
};

class StatisticsScreen : public ui::Screen {
  Q_OBJECT

 public:
  StatisticsScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder);

  Statistics& stats() { return stats_; }
  // Sizes the surface from the plot and applies both scroll positions.
  void ApplyPlot();

  // ---- controls (public for the tests) ----
  QWidget* viewport = nullptr;
  PlotSurface* surface = nullptr;
  QScrollBar *hBar = nullptr, *vBar = nullptr;
  ui::NumberField *mx1 = nullptr, *mp = nullptr, *mdp = nullptr, *mx2 = nullptr;
  ui::NumberField *nPoint = nullptr, *ncp = nullptr, *iStart = nullptr, *iEnd = nullptr, *t0 = nullptr,
                  *tYear = nullptr;
  ui::NumberField *k0 = nullptr, *k1 = nullptr, *k2 = nullptr, *k3 = nullptr;
  ui::NumberField *colour = nullptr, *plan = nullptr, *experiment = nullptr;
  ui::NumberField *deleteNo = nullptr, *addDay = nullptr, *addMonth = nullptr, *addYear = nullptr,
                  *addValue = nullptr;
  ui::NumberField *drift = nullptr, *limit = nullptr, *driftInFile = nullptr;
  QLineEdit *firstDay = nullptr, *firstMonth = nullptr, *firstYear = nullptr, *firstValue = nullptr;
  QLineEdit *lastDay = nullptr, *lastMonth = nullptr, *lastYear = nullptr, *lastValue = nullptr;
  QCheckBox *overlay = nullptr, *test = nullptr, *sweep = nullptr;
  ui::OptionGroup *source = nullptr, *imitators = nullptr, *planKind = nullptr, *planet = nullptr,
                  *element = nullptr, *ncoef = nullptr, *criterion = nullptr;
  QPushButton *loadButton = nullptr, *processButton = nullptr, *loadDriftButton = nullptr,
              *replaceButton = nullptr, *deleteButton = nullptr, *addButton = nullptr, *toPlanButton = nullptr,
              *filesButton = nullptr, *closeButton = nullptr;

  void OnLoadRunFile();
  void OnProcess();
  void OnLoadDriftFile();
  void OnReplaceDrift();
  void OnDeletePoint();
  void OnAddPoint();
  void OnPress(double x, bool left);
  // The run just made, when the screen is opened through "К статистике": the
  // source ("модели" with the plan number, or "имитаторе" with its folder
  // NEW, APC, JPL or Mox), the planet and the file number are selected.
  Q_INVOKABLE void SelectRun(bool imitatorRun, const QString& imitatorFolder, int planNo, int planetNo, int fileNo);
  // The listing of the Mox series of the observation plans, read into the
  // point table; shows `message` when the reading failed.
  void ShowListing(const std::vector<std::string>& listing, ActionResult message) {
    Finish(stats_.ShowListing(listing, std::move(message)));
  }

 protected:
  void Build() override;

 private:
  struct Reader;
  StatsInputs Inputs(Reader& r) const;
  void Show(const StatsFields& f);
  void Finish(const StatsOutcome& o);
  void ApplyScroll();

  Model& m_;
  ui::Navigator& nav_;
  Statistics stats_;
};

}  // namespace torvik
