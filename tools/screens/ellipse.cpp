#include "tools/screens/ellipse.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/fields.h"
#include "core/textfile.h"
#include "tools/screens/studies.h"
#include "ui/messages.h"

namespace torvik {

namespace {

// Orbit picture −10..14 × −10..10 and difference plot 0..16 × −4..4, 18 px per unit.
constexpr int kUnitPx = 18;

}  // namespace

EllipseScreen::EllipseScreen(Model& m) : ui::Screen(kEllipseTitle), m_(m) {}

EccentricModel EllipseScreen::SelectedModel() const {
  return modelGroup->Selected() == 1 ? EccentricModel::Equant : EccentricModel::Simple;
}

void EllipseScreen::Build() {
  auto* root = new QHBoxLayout(this);
  auto* pictures = new QVBoxLayout;
  root->addLayout(pictures);
  orbitPicture = new ui::Picture(24 * kUnitPx, 20 * kUnitPx);
  orbitPicture->SetScale(-10, 10, 14, -10);
  diffPicture = new ui::Picture(16 * kUnitPx, 8 * kUnitPx);
  diffPicture->SetScale(0, 4, 16, -4);
  pictures->addWidget(orbitPicture);
  pictures->addWidget(diffPicture, 0, Qt::AlignLeft);
  pictures->addStretch();

  auto* right = new QVBoxLayout;
  root->addLayout(right);
  auto* g = new QGridLayout;
  right->addLayout(g);
  int row = 0;
  const EllipseTexts d;
  auto input = [&](const char* caption, QLineEdit*& field, const std::string& value) {
    g->addWidget(new QLabel(caption), row, 0);
    field = study::Field(ui::LocaleText(value), 110);
    g->addWidget(field, row++, 1);
  };
  input("Rsr, тыс.км.", aField, d.a);
  input("Eks1 (эллипс)", e1Field, d.e1);
  input("Eks2 (эксцентр)", e2Field, d.e2);
  input("W, рад/год", wField, d.w);
  input("шаг, дни", stepField, d.step);
  input("Mx, тыс.км./см", mxField, d.mx);
  input("МТ, дней/см", mtField, d.mt);
  input("MdAlfa, град/см", mdAlfaField, d.mdAlfa);
  input("MdR, тыс.км./см", mdRField, d.mdR);
  modelGroup = new ui::OptionGroup("траектория", {"простой эксцентр", "эксцентр с эквантом"}, 0);
  right->addWidget(modelGroup);

  auto* out = new QGridLayout;
  right->addLayout(out);
  row = 0;
  auto output = [&](QWidget* caption, QLineEdit*& field) {
    out->addWidget(caption, row, 0);
    field = study::Field(QString(), 150, true);
    out->addWidget(field, row++, 1);
  };
  output(new QLabel("AlfaL1, град"), alfa1Field);
  output(new QLabel("AlfaL2, град"), alfa2Field);
  output(dAlfaBox = ui::MakeCheck("dAlfa, град", true), dAlfaField);
  output(new QLabel("R1, тыс.км."), r1Field);
  output(new QLabel("R2, тыс.км."), r2Field);
  output(dRBox = ui::MakeCheck("dR, тыс.км.", false), dRField);
  output(new QLabel("T, дни"), tField);

  startButton = ui::MakeButton("Начать расчет");
  stopButton = ui::MakeButton("Остановить");
  continueButton = ui::MakeButton("Продолжить");
  stepButton = ui::MakeButton("Сделать 1 шаг");
  clearButton = ui::MakeButton("Очистить рисунки");
  closeButton = ui::MakeButton("Закрыть форму");
  auto* buttons = new QGridLayout;
  right->addLayout(buttons);
  buttons->addWidget(startButton, 0, 0, 1, 2);
  buttons->addWidget(stopButton, 1, 0);
  buttons->addWidget(continueButton, 1, 1);
  buttons->addWidget(stepButton, 2, 0);
  buttons->addWidget(clearButton, 2, 1);
  buttons->addWidget(closeButton, 3, 0, 1, 2);
  right->addStretch();

  connect(startButton, &QPushButton::clicked, this, [this] { OnStart(); });
  connect(stopButton, &QPushButton::clicked, this, [this] { m_.Stop = 1; });
  connect(continueButton, &QPushButton::clicked, this, [this] {
    m_.Stop = 0;
    RunLoop();
  });
  connect(stepButton, &QPushButton::clicked, this, [this] {
    m_.Stop = 1;
    RunLoop();
  });
  connect(clearButton, &QPushButton::clicked, this, [this] { ClearPictures(); });
  connect(closeButton, &QPushButton::clicked, this, [this] {
    runner_.Cancel();
    hide();
  });
  ClearPictures();
}

EllipseTexts EllipseScreen::Texts() const {
  auto t = [](const QLineEdit* f) { return f->text().toStdString(); };
  EllipseTexts x;
  x.a = t(aField);
  x.e1 = t(e1Field);
  x.e2 = t(e2Field);
  x.w = t(wField);
  x.step = t(stepField);
  x.mx = t(mxField);
  x.mt = t(mtField);
  x.mdAlfa = t(mdAlfaField);
  x.mdR = t(mdRField);
  return x;
}

void EllipseScreen::ClearPictures() {
  orbitPicture->Clear();
  study::Paint(orbitPicture, OrbitGrid());
  diffPicture->Clear();
  study::Paint(diffPicture, DifferenceGrid());
}

void EllipseScreen::OnStart() {
  EllipseInputs in;
  if (!ui::Report(ReadEllipseInputs(Texts(), &in))) return;
  runner_.Cancel();
  comparison_.Start(in, SelectedModel());
  scales_ = in;
  m_.Stop = 0;
  RunLoop();
}

void EllipseScreen::RunLoop() {
  // "Продолжить" and "Сделать 1 шаг" before any start begin from T = 0.
  if (!comparison_.Started()) {
    EllipseInputs in;
    if (!ui::Report(ReadEllipseInputs(Texts(), &in))) return;
    comparison_.Start(in, SelectedModel());
    scales_ = in;
  }
  runner_.Start([this] { return StepOnce(); }, [this] { return m_.Stop == 1; });
}

bool EllipseScreen::StepOnce() {
  const EccentricModel model = SelectedModel();
  EllipseStep s;
  if (!comparison_.Step(model, scales_, &s)) {
    ui::Messages().Show(UserMessage{kMsgEllipseStepFault, kTitle0});
    return false;
  }
  const double kUgol = m_.kUgol;
  study::Show(alfa1Field, DegreesIn360(s.theta1 * kUgol));
  study::Show(alfa2Field, DegreesIn360(s.theta2 * kUgol));
  study::Show(dAlfaField, FixMK(s.dAlfa * kUgol, m_.MK));
  study::Show(r1Field, s.r1);
  study::Show(r2Field, s.r2);
  study::Show(dRField, FixMK(s.dR, m_.MK));
  const Sketch orbit = comparison_.DrawOrbit(model);
  study::Paint(orbitPicture, orbit);
  const Sketch diff = comparison_.DrawDifferences(s, scales_, dAlfaBox->isChecked(), dRBox->isChecked());
  study::Paint(diffPicture, diff);
  study::Show(tField, comparison_.T());
  bool more = true;
  if (!orbit.Ok() || !diff.Ok()) {
    // Shown once: the run stops rather than repeat the box at every step.
    ui::Messages().Show(UserMessage{kMsgEllipseDrawFault, kTitle0});
    more = false;
  }
  if (!ui::Report(ReadEllipseScales(Texts(), &scales_))) more = false;
  return more;
}

void EllipseScreen::PrepareScreenshot() {
  EllipseInputs in;
  if (ReadEllipseInputs(Texts(), &in)) return;
  runner_.Cancel();
  comparison_.Start(in, SelectedModel());
  scales_ = in;
  for (long long i = StepsPerPeriod(in); i > 0; --i)
    if (!StepOnce()) break;
}

}  // namespace torvik
