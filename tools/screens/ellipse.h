// "Эллипс и эксцентр (сравнение) - Torvik6 ": the ellipse body against the
// simple eccentric or the eccentric with an equant, one step per turn of the
// event loop, drawn in the orbit picture and in the difference plot.
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/model.h"
#include "tools/ellipse.h"
#include "ui/batch.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

class EllipseScreen : public ui::Screen {
  Q_OBJECT

 public:
  explicit EllipseScreen(Model& m);

  // Inputs (Text1..Text6, Text8..Text10) and outputs (Text11..Text17).
  QLineEdit *aField = nullptr, *e1Field = nullptr, *e2Field = nullptr, *wField = nullptr, *stepField = nullptr,
            *mxField = nullptr, *mtField = nullptr, *mdAlfaField = nullptr, *mdRField = nullptr;
  QLineEdit *alfa1Field = nullptr, *alfa2Field = nullptr, *r1Field = nullptr, *r2Field = nullptr,
            *dAlfaField = nullptr, *dRField = nullptr, *tField = nullptr;
  ui::OptionGroup* modelGroup = nullptr;
  QCheckBox *dAlfaBox = nullptr, *dRBox = nullptr;
  QPushButton *startButton = nullptr, *stopButton = nullptr, *continueButton = nullptr, *stepButton = nullptr,
              *clearButton = nullptr, *closeButton = nullptr;
  ui::Picture *orbitPicture = nullptr, *diffPicture = nullptr;

  const EllipseComparison& Comparison() const { return comparison_; }
  const ui::BatchRunner& Runner() const { return runner_; }
  EccentricModel SelectedModel() const;
  // One period of the fields' inputs, run at once (for the screenshot).
  void PrepareScreenshot() override;

 protected:
  void Build() override;

 private:
  EllipseTexts Texts() const;
  void OnStart();
  void RunLoop();
  bool StepOnce();
  void ClearPictures();

  Model& m_;
  EllipseComparison comparison_;
  EllipseInputs scales_;  // the step and the plot scales as last read
  ui::BatchRunner runner_;
};

}  // namespace torvik
