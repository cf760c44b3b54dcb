#include "params/screens/velocity.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTime>
#include <QVBoxLayout>

#include "params/screens/parameters.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr int kPicturePx = 440;  // −10..10 both ways, 22 px per unit
const QColor kGridGrey(200, 200, 200);
const QColor kAxisGrey(160, 160, 160);

QLineEdit* MakeField(double value, bool readOnly) {
  auto* f = new ui::NumberField(value);
  f->setFixedWidth(readOnly ? 120 : 60);  // a sum of km/s to 17 digits, its sign first
  f->setReadOnly(readOnly);
  return f;
}

QLineEdit* MakeOutput() {
  auto* f = MakeField(0, true);
  f->clear();
  return f;
}

void ShowVelocity(const Velocity3& v, QLineEdit* x, QLineEdit* y, QLineEdit* z) {
  x->setText(ui::FormatNumber(v.vx));
  y->setText(ui::FormatNumber(v.vy));
  z->setText(ui::FormatNumber(v.vz));
}

}  // namespace

VelocityScreen::VelocityScreen(Model& m, ui::Navigator& nav)
    : ui::Screen(kVelocityScreenTitle), m_(m), nav_(nav) {}

void VelocityScreen::Build() {
  auto* root = new QHBoxLayout(this);
  picture = new ui::Picture(kPicturePx, kPicturePx);
  picture->SetScale(-10, 10, 10, -10);
  root->addWidget(picture, 0, Qt::AlignTop);

  auto* right = new QVBoxLayout;
  root->addLayout(right);
  right->addWidget(new QLabel("Скорости в км/с,   углы в градусах"));
  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  right->addLayout(g);
  const char* heads[] = {"V", "Alfa", "Betta", "VX", "VY", "VZ"};
  for (int c = 0; c < 6; ++c) g->addWidget(new QLabel(heads[c]), 0, c + 1, Qt::AlignHCenter);
  for (int i = 0; i < kVelocityRows; ++i) {
    const VelocityRowDefault& d = kVelocityRowDefaults[i];
    Row& row = rows[i];
    const int r = 1 + 2 * i;
    row.on = ui::MakeCheck(QString::fromUtf8(d.caption), true);
    g->addWidget(row.on, r, 0, 1, 8);
    g->addWidget(row.v = MakeField(d.v, false), r + 1, 1);
    g->addWidget(row.alfa = MakeField(d.alfa, false), r + 1, 2);
    g->addWidget(row.betta = MakeField(d.betta, false), r + 1, 3);
    g->addWidget(row.vx = MakeOutput(), r + 1, 4);
    g->addWidget(row.vy = MakeOutput(), r + 1, 5);
    g->addWidget(row.vz = MakeOutput(), r + 1, 6);
    row.sign = new ui::OptionGroup(QString(), {"+", "--"}, 0, Qt::Horizontal);
    row.sign->setFlat(true);
    g->addWidget(row.sign, r + 1, 7);
  }
  // Sums (outputs), the system velocity (inputs) and the drawing scale, each
  // field under its own caption.
  int r = 1 + 2 * kVelocityRows;
  auto captions = [&](const char* x, const char* y, const char* z) {
    g->addWidget(new QLabel(x), r, 4, Qt::AlignHCenter);
    g->addWidget(new QLabel(y), r, 5, Qt::AlignHCenter);
    g->addWidget(new QLabel(z), r, 6, Qt::AlignHCenter);
    ++r;
  };
  captions("VXsum", "VYsum", "VZsum");
  g->addWidget(vxSum = MakeField(0, true), r, 4);
  g->addWidget(vySum = MakeField(0, true), r, 5);
  g->addWidget(vzSum = MakeField(0, true), r, 6);
  ++r;
  captions("VXsys", "VYsys", "VZsys");
  g->addWidget(vxSys = MakeField(0, false), r, 4);
  g->addWidget(vySys = MakeField(0, false), r, 5);
  g->addWidget(vzSys = MakeField(0, false), r, 6);
  for (QLineEdit* f : {vxSys, vySys, vzSys}) f->setFixedWidth(120);
  g->addWidget(new QLabel("MV, (км/с)/см"), r, 1, 1, 2, Qt::AlignRight);
  g->addWidget(mvField = MakeField(50, false), r, 3);

  decomposeButton = ui::MakeButton("Разложить по осям отмеченные скорости и просуммировать");
  setButton = ui::MakeButton("Задать скорость системе");
  clearButton = ui::MakeButton("Очистить рисунок");
  closeButton = ui::MakeButton("Закрыть форму");
  right->addWidget(decomposeButton);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(setButton);
  buttons->addWidget(clearButton);
  buttons->addWidget(closeButton);
  right->addLayout(buttons);
  right->addStretch();

  connect(decomposeButton, &QPushButton::clicked, this, [this] { OnDecompose(); });
  connect(setButton, &QPushButton::clicked, this, [this] { OnSetSystemVelocity(); });
  connect(clearButton, &QPushButton::clicked, this, [this] { DrawGrid(); });
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
  DrawGrid();
}

void VelocityScreen::Activated() { DrawGrid(); }

void VelocityScreen::DrawGrid() {
  picture->Clear();
  for (int i = -10; i <= 10; ++i) {
    picture->Line(i, -10, i, 10, kGridGrey);
    picture->Line(-10, i, 10, i, kGridGrey);
  }
  picture->Line(-10, 5, 10, 5, kAxisGrey);
  picture->Line(-10, -5, 10, -5, kAxisGrey);
  picture->Line(0, 10, 0, -10, kAxisGrey);
}

void VelocityScreen::DrawVector(const Velocity3& v, double mv, const QColor& colour) {
  picture->Line(0, -5, v.vx / mv, v.vy / mv - 5, colour);
  picture->Line(0, 5, v.vx / mv, v.vz / mv + 5, colour);
}

void VelocityScreen::OnDecompose() {
  std::array<VelocityRowInput, kVelocityRows> in;
  for (int i = 0; i < kVelocityRows; ++i) {
    in[i].on = rows[i].on->isChecked();
    in[i].v = rows[i].v->text().toStdString();
    in[i].alfa = rows[i].alfa->text().toStdString();
    in[i].betta = rows[i].betta->text().toStdString();
    in[i].minus = rows[i].sign->Selected() == 1;
  }
  VelocityDecomposition d;
  auto r = DecomposeVelocities(m_, in, mvField->text().toStdString(), &d);
  for (int i = 0; i < kVelocityRows; ++i) {
    if (!d.rows[i]) continue;
    ShowVelocity(*d.rows[i], rows[i].vx, rows[i].vy, rows[i].vz);
    const VelocityRowDefault& def = kVelocityRowDefaults[i];
    DrawVector(*d.rows[i], d.mv, QColor(def.r, def.g, def.b));
  }
  if (d.complete) {
    ShowVelocity(d.sum, vxSum, vySum, vzSum);
    DrawVector(d.sum, d.mv, Qt::black);
    DrawVector(d.reference, d.mv, kGridGrey);
    picture->Text(-9.6, -8.2, QString::fromUtf8(kReferenceCaption) + "\n");
    picture->Text(-9.6, -9.2, ui::LocaleText(ReferenceComponentsText(d.reference)));
  }
  ui::Report(r);
}

void VelocityScreen::OnSetSystemVelocity() {
  auto r = SetSystemVelocity(m_, vxSys->text().toStdString(), vySys->text().toStdString(),
                             vzSys->text().toStdString());
  if (!r) {
    if (auto* params = dynamic_cast<ParametersScreen*>(nav_.Find("parameters")))
      params->ShowSystemVelocityApplied(QTime::currentTime().toString("HH:mm:ss"));
  }
  ui::Report(r);
}

}  // namespace torvik
