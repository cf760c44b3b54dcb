// "Скорости Солнечной системы       Torvik6": the velocity of the whole Solar
// System composed from up to five published vectors, drawn in two projections
// (x–y below, x–z above), and set as the system velocity of the model.
#pragma once

#include <QLineEdit>
#include <array>

#include "core/model.h"
#include "params/ssvelocity.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kVelocityScreenTitle = "Скорости Солнечной системы       Torvik6";

class VelocityScreen : public ui::Screen {
  Q_OBJECT

 public:
  VelocityScreen(Model& m, ui::Navigator& nav);

  struct Row {
    QCheckBox* on = nullptr;
    QLineEdit *v = nullptr, *alfa = nullptr, *betta = nullptr;
    QLineEdit *vx = nullptr, *vy = nullptr, *vz = nullptr;
    ui::OptionGroup* sign = nullptr;  // "+" (0) or "--" (1)
  };
  std::array<Row, kVelocityRows> rows;
  QLineEdit *vxSum = nullptr, *vySum = nullptr, *vzSum = nullptr;
  QLineEdit *vxSys = nullptr, *vySys = nullptr, *vzSys = nullptr;
  QLineEdit* mvField = nullptr;
  ui::Picture* picture = nullptr;
  QPushButton *decomposeButton = nullptr, *setButton = nullptr, *clearButton = nullptr, *closeButton = nullptr;

  void DrawGrid();

 protected:
  void Build() override;
  void Activated() override;

 private:
  void OnDecompose();
  void OnSetSystemVelocity();
  void DrawVector(const Velocity3& v, double mv, const QColor& colour);

  Model& m_;
  ui::Navigator& nav_;
};

}  // namespace torvik
