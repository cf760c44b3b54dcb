// "Компоненты аберрации (обратный отсчет) Torvik6": the true geometry of the
// Earth and one body, then one light-time iteration per press with the
// planetary, stellar and total aberration in a moving Solar System.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <array>
#include <memory>

#include "core/model.h"
#include "tools/aberration.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

class AberrationScreen : public ui::Screen {
  Q_OBJECT

 public:
  explicit AberrationScreen(Model& m);

  std::array<QCheckBox*, 10> bodies{};
  QCheckBox* theoryBox = nullptr;
  QLineEdit *jdField = nullptr, *gelioL3Field = nullptr, *gelioLplField = nullptr, *slowdownField = nullptr,
            *vxField = nullptr, *vyField = nullptr, *vzField = nullptr;
  std::array<QLineEdit*, 6> earthFields{}, bodyFields{}, retardedFields{};  // X, Y, Z, VX, VY, VZ
  QLineEdit *sField = nullptr, *tField = nullptr, *iterationsField = nullptr;
  // (L, B) pairs: real, planetary, stellar, total, observed, simplified.
  std::array<std::array<QLineEdit*, 2>, 6> angleFields{};
  ui::OptionGroup* planeGroup = nullptr;
  QScrollBar* scaleBar = nullptr;
  QLabel* scaleLabel = nullptr;
  ui::Picture* picture = nullptr;
  QPushButton *findButton = nullptr, *iterateButton = nullptr, *clearButton = nullptr, *closeButton = nullptr;

  const AberrationStudy& Study() const { return study_; }
  // The geometry of the defaults and three iterations (for the screenshot).
  void PrepareScreenshot() override;

 protected:
  void Build() override;

 private:
  void OnFind();
  void OnIterate();
  void Draw(bool afterIteration);
  void ClearPicture();
  void ScaleChanged();

  // The study works on its own copy of the model, taken afresh at each
  // computation of the object: the shared model, where the next run starts,
  // never sees its dates, elements and state vectors.
  Model& shared_;
  std::unique_ptr<Model> work_;
  Model& m_;  // = *work_
  AberrationStudy study_;
};

}  // namespace torvik
