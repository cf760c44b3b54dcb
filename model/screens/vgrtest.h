// The gravity-speed test screen "Тестирование алгоритма учета скорости
// гравитации    Torvik6": two chosen bodies, their forces for the system at
// rest and one delay iteration for the moving system per press, drawn as
// force vectors; "К-во итераций для формы эксперимента" gives the engine its
// number of delay passes.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <array>

#include "core/model.h"
#include "model/gravity_test.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kVgrTestTitle = "Тестирование алгоритма учета скорости гравитации    Torvik6";

class VgrTestScreen : public ui::Screen {
  Q_OBJECT

 public:
  explicit VgrTestScreen(Model& m);

  // ---- controls (public for the tests) ----
  ui::Picture* picture = nullptr;
  QScrollBar* scaleBar = nullptr;
  QLabel* scaleLabel = nullptr;
  std::array<QCheckBox*, 11> bodies{};
  QLineEdit *alfaL1Field = nullptr, *alfaL2Field = nullptr;
  std::array<QLineEdit*, 6> positions{};   // X1, Y1, Z1, X2, Y2, Z2 (upper block), thousand km
  std::array<QLineEdit*, 6> velocities{};  // VX1, VY1, VZ1, VX2, VY2, VZ2, km/s
  std::array<QLineEdit*, 6> retarded{};    // lower block, thousand km
  std::array<QLineEdit*, 3> vsys{};        // VXsys, VYsys, VZsys, km/s
  QLineEdit *vgrField = nullptr, *mfField = nullptr, *nIterField = nullptr;
  QLineEdit *restL = nullptr, *restT = nullptr, *restF = nullptr;
  QLineEdit *l12 = nullptr, *l21 = nullptr, *t12 = nullptr, *t21 = nullptr, *f12 = nullptr, *f21 = nullptr;
  QLineEdit *fx = nullptr, *fy = nullptr, *fz = nullptr, *doneField = nullptr;
  ui::OptionGroup *forceGroup = nullptr, *planeGroup = nullptr;
  QPushButton *placeButton = nullptr, *restButton = nullptr, *iterateButton = nullptr, *closeButton = nullptr;

  const GravitySpeedTest& Test() const { return test_; }

 protected:
  void Build() override;

 private:
  void OnPlace();
  void OnRest();
  void OnIterate();
  void ShowComponents();
  // Draws the two bodies and their forces; false when a line does not fit the picture.
  bool Draw();
  void ScaleChanged();

  Model& m_;
  GravitySpeedTest test_;
  double mxy_ = 3e10;  // metres per unit of the picture
  double MF_ = 2e16;   // newtons per unit of the picture
  bool forcesShown_ = false;  // the forces belong to the bodies' places
};

}  // namespace torvik
