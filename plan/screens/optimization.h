// "Оптимизация скорости гравитации      Torvik6 - форма 15": the levels of the
// four-factor plan, the runs of its experiments on the modelling screen (one,
// or a series chained through the modelling screen's end-of-run signal), the
// criterion, the regression, the sections and the optimum, shown on a plot
// seen through a 780 × 305 viewport. Every action reads the fields, calls the
// Qt-free plan routines and paints their results. The companion screen
// "Тесты формы скорости гравитации" picks the extra test function.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <array>
#include <filesystem>
#include <optional>

#include "core/model.h"
#include "plan/optimize.h"
#include "plan/plan.h"
#include "plan/planfile.h"
#include "plan/regression.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

class ModellingScreen;

inline constexpr const char* kOptimizationTitle = "Оптимизация скорости гравитации      Torvik6 - форма 15";
inline constexpr const char* kExtraTestsTitle = "Тесты формы скорости гравитации";

class ExtraTestsScreen : public ui::Screen {
  Q_OBJECT

 public:
  ExtraTestsScreen();
  // The chosen extra test; the default when the screen was never built.
  TestFunction Selected() const;
  void Reset();  // back to the default choice

  ui::OptionGroup* tests = nullptr;

 protected:
  void Build() override;
};

class OptimizationScreen : public ui::Screen {
  Q_OBJECT

 public:
  OptimizationScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder);

  void OnLoadParams();
  void OnSaveParams();
  bool OnShowExperiment();
  void OnRunExperiment(bool series);
  void OnNextExperiment();
  void OnShowObservedDrifts();
  void OnShowPlanDrifts();
  void OnFindRegression();
  void OnPlotSections();
  void OnOptimize();
  void OnAdoptOptimum();
  void OnClose();
  void PrepareScreenshot() override;

  const Regression& Fit() const { return reg_; }
  const Optimum& Opt() const { return opt_; }
  const ui::Picture* Plot() const { return picture_; }

  // ---- controls (public for the tests) ----
  QScrollArea* viewport = nullptr;
  ui::NumberField *planField = nullptr, *expNoField = nullptr, *expLastField = nullptr;
  std::array<ui::NumberField*, 5> zero{}, step{}, optCoded{}, optNatural{};  // index 1..4
  std::array<QLineEdit*, 5> natural{};                                      // the " =" fields
  ui::NumberField *mpField = nullptr, *dyField = nullptr;
  QPlainTextEdit* messageField = nullptr;
  // The next steps of the road under the buttons, with the torvik6-cli
  // command that fills the plan's drift file from the orbit files.
  QLabel* hintLabel = nullptr;
  ui::OptionGroup *imitator = nullptr, *tests = nullptr, *dataUse = nullptr, *form = nullptr;
  std::array<QCheckBox*, 7> elements{};  // 1..6
  std::array<QCheckBox*, 11> planets{};  // 1..10
  QPushButton *loadButton = nullptr, *saveButton = nullptr, *showButton = nullptr, *runOneButton = nullptr,
              *runSeriesButton = nullptr, *observedButton = nullptr, *planDriftsButton = nullptr,
              *regressionButton = nullptr, *sectionsButton = nullptr, *optimizeButton = nullptr,
              *adoptButton = nullptr, *extraButton = nullptr, *filesButton = nullptr, *closeButton = nullptr;

 protected:
  void Build() override;

 private:
  std::optional<PlanLevels> Levels() const;
  // A fresh plot of W × H centimetres at `ppc` pixels each, gridded.
  void NewPlot(double W, double H, double ppc);
  void ShowParamsText();  // the loaded plan on a fresh 20 × 10 plot
  void ShowHint();
  void ListDrifts(const std::vector<std::string>& header, const std::vector<std::string>& lines, double top);
  ModellingScreen* Modelling();
  TestFunction SelectedTest() const;

  Model& m_;
  ui::Navigator& nav_;
  std::filesystem::path folder_;
  PlanTables table_;
  PlanParams params_;
  Regression reg_;
  LinearSystem sys_;
  Optimum opt_;
  ui::Picture* picture_ = nullptr;
  double plotH_ = 10.0;
  // The system velocity the user had before this screen's experiments set
  // their own; back in the model when the single run or the series is over
  // or stopped, and whenever the experiment is only shown.
  std::optional<std::array<double, 3>> userVelocity_;
  void KeepUserVelocity();
  void RestoreUserVelocity();
  bool series_ = false;  // the experiment running belongs to a series
  int running_ = 0;      // the experiment started last
};

}  // namespace torvik
