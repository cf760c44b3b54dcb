// The start screen "Параметры объектов и начальные данные  Torvik6 - форма 1":
// the 7 × 11 grid of elements or initial data, the picture of the bodies, the
// load, save and initial-data actions, the two-body orbit check and the way to
// the other screens. Every action reads fields, calls the parameter-set
// routines and shows what they left in the model.
#pragma once

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <array>
#include <filesystem>

#include "core/model.h"
#include "params/grid.h"
#include "params/loading.h"
#include "params/orbitcheck.h"
#include "ui/batch.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kParametersTitle = "Параметры объектов и начальные данные  Torvik6 - форма 1";

class ParametersScreen : public ui::Screen {
  Q_OBJECT

 public:
  ParametersScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder);

  // The start-up of the program: field defaults, constants, the JPL elements
  // of 1.5 January 1601 and their initial data, shown. Run once, before the
  // screen is first shown.
  void StartUp();

  GridMode Mode() const;
  void SetMode(GridMode mode);  // relabels and refills the grid
  LoadOption SelectedLoadOption() const;
  // Shows "начальные данные" and writes the time of day into the trigger field.
  void ShowSystemVelocityApplied(const QString& timeOfDay);

  // ---- controls (public for the tests and the other screens) ----
  QTableWidget* grid = nullptr;
  ui::OptionGroup* modeGroup = nullptr;
  ui::OptionGroup* loadGroup = nullptr;
  ui::OptionGroup* bodyGroup = nullptr;  // body of the orbit check
  std::array<QCheckBox*, 11> inSys{};
  ui::Picture* picture = nullptr;
  QScrollBar* scaleBar = nullptr;
  QLabel* scaleLabel = nullptr;
  QLineEdit *dayField = nullptr, *monthField = nullptr, *yearField = nullptr, *jdField = nullptr;
  QLineEdit *fileField = nullptr, *mSolField = nullptr, *gammaField = nullptr, *laeField = nullptr;
  QCheckBox *vsol0 = nullptr, *cmBox = nullptr, *trajectories = nullptr, *atPerihelion = nullptr;
  QLineEdit *nc0Field = nullptr, *h0Field = nullptr, *nRedField = nullptr, *dAlfaField = nullptr,
            *lambdaField = nullptr;
  QLineEdit *triggerField = nullptr;
  QLineEdit *periodField = nullptr, *eksField = nullptr, *alfaPField = nullptr, *alfaPDrift = nullptr,
            *alfaUField = nullptr, *alfaUDrift = nullptr, *wsrField = nullptr, *rsrField = nullptr,
            *lminField = nullptr, *lmaxField = nullptr, *vsrField = nullptr, *vminField = nullptr,
            *vmaxField = nullptr, *bettaField = nullptr, *dEsysField = nullptr, *dTField = nullptr;
  QLabel* periodNote = nullptr;
  QPushButton *loadButton = nullptr, *saveButton = nullptr, *initialButton = nullptr, *cmFindButton = nullptr,
              *cmOriginButton = nullptr, *vsolFindButton = nullptr, *vsolApplyButton = nullptr,
              *checkButton = nullptr, *stopButton = nullptr, *continueButton = nullptr, *nc0Button = nullptr,
              *gjButton = nullptr, *jgButton = nullptr, *toModelButton = nullptr, *toObserveButton = nullptr,
              *velocityButton = nullptr, *notationButton = nullptr, *aboutButton = nullptr, *exitButton = nullptr;

  const OrbitCheck& Check() const { return check_; }
  const ui::BatchRunner& Runner() const { return runner_; }

 protected:
  void Build() override;
  void Activated() override;

 private:
  void BuildTop(QBoxLayout* into);
  void BuildMiddle(QBoxLayout* into);
  void BuildBottom(QBoxLayout* into);
  void WireActions();

  void RefreshGrid();
  void RefreshConstants();
  void DrawAxesAndBodies();
  void DrawCross();
  void ShowCentreOfMass();
  void ShowCheckFields();
  void ReadInSys();
  void ScaleChanged(bool withBlank);

  void OnLoad();
  void OnSave();
  void OnInitialData();
  void OnGregorianToJulian();
  void OnJulianToGregorian();
  void OnCheckStart();
  void OnCheckContinue();
  void OnCheckNC0();
  void RunCheck();

  Model& m_;
  ui::Navigator& nav_;
  std::filesystem::path folder_;
  OrbitCheck check_;
  ui::BatchRunner runner_;
  bool startedUp_ = false;
};

}  // namespace torvik
