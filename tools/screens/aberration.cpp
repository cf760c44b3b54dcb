#include "tools/screens/aberration.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/textfile.h"
#include "tools/screens/studies.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr int kPicturePx = 400;  // −10..10 both ways
constexpr const char* kIterateCaption =
    "Расчет наблюдаемых координат планеты в движущейся Солнечной системе (одна итерация) при заданной скорости "
    "Солнечной системы";

}  // namespace

AberrationScreen::AberrationScreen(Model& m)
    : ui::Screen(kAberrationTitle), shared_(m), work_(std::make_unique<Model>(m)), m_(*work_) {}

void AberrationScreen::Build() {
  auto* root = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  root->addLayout(top);

  auto* left = new QVBoxLayout;
  top->addLayout(left);
  picture = new ui::Picture(kPicturePx, kPicturePx);
  picture->SetScale(-10, 10, 10, -10);
  left->addWidget(picture);
  scaleBar = new QScrollBar(Qt::Horizontal);
  scaleBar->setRange(1, 10000);
  scaleBar->setPageStep(100);
  scaleBar->setValue(300);
  left->addWidget(scaleBar);
  scaleLabel = new QLabel;
  left->addWidget(scaleLabel);
  auto* pictureRow = new QHBoxLayout;
  planeGroup = new ui::OptionGroup("плоскость", {"XY", "XZ"}, 0, Qt::Horizontal);
  pictureRow->addWidget(planeGroup);
  clearButton = ui::MakeButton("Очистить рисунок");
  pictureRow->addWidget(clearButton);
  left->addLayout(pictureRow);
  left->addStretch();

  auto* right = new QVBoxLayout;
  top->addLayout(right, 1);
  auto* bodyGrid = new QGridLayout;
  right->addLayout(bodyGrid);
  for (int k = 0; k < 10; ++k) {
    bodies[k] = ui::MakeCheck(QString::fromUtf8(kBodyNames[k]), k == 4);
    bodyGrid->addWidget(bodies[k], k / 5, k % 5);
  }
  const AberrationTexts d;
  auto* in = new QGridLayout;
  right->addLayout(in);
  theoryBox = ui::MakeCheck("задавать GelioL для JD=", d.theoryLongitudes);
  in->addWidget(theoryBox, 0, 0, 1, 2);
  in->addWidget(jdField = study::Field(ui::LocaleText(d.jd), 110), 0, 2);
  in->addWidget(new QLabel("GelioL3"), 1, 0);
  in->addWidget(gelioL3Field = study::Field(ui::LocaleText(d.gelioL3), 90), 1, 1);
  in->addWidget(new QLabel("GelioLpl"), 1, 2);
  in->addWidget(gelioLplField = study::Field(ui::LocaleText(d.gelioLpl), 90), 1, 3);
  in->addWidget(new QLabel("скорость света Vsv уменьшить в "), 2, 0, 1, 2);
  in->addWidget(slowdownField = study::Field(ui::LocaleText(d.slowdown), 90), 2, 2);
  in->addWidget(new QLabel("раз"), 2, 3);
  in->addWidget(new QLabel("VXsys"), 3, 0);
  in->addWidget(new QLabel("VYsys"), 3, 1);
  in->addWidget(new QLabel("VZsys"), 3, 2);
  in->addWidget(vxField = study::Field(ui::LocaleText(d.vx), 90), 4, 0);
  in->addWidget(vyField = study::Field(ui::LocaleText(d.vy), 90), 4, 1);
  in->addWidget(vzField = study::Field(ui::LocaleText(d.vz), 90), 4, 2);
  findButton = ui::MakeButton("Найти параметры Земли и объекта наблюдения ");
  right->addWidget(findButton);

  // The state blocks: captions above, one row per body.
  auto* blocks = new QGridLayout;
  blocks->setVerticalSpacing(2);
  right->addLayout(blocks);
  const char* axes[] = {"X", "Y", "Z", "VX", "VY", "VZ"};
  auto row = [&](int r, const char* suffix, std::array<QLineEdit*, 6>& fields) {
    for (int c = 0; c < 6; ++c) {
      blocks->addWidget(new QLabel(QString(axes[c]) + suffix), r, c);
      blocks->addWidget(fields[c] = study::Field(QString(), 100, true), r + 1, c);
    }
  };
  row(0, "3", earthFields);
  row(2, "pl", bodyFields);
  blocks->addWidget(new QLabel("все координаты в тыс.км, а скорости в км/с"), 4, 0, 1, 6);
  blocks->addWidget(new QLabel("S"), 5, 0, Qt::AlignRight);
  blocks->addWidget(sField = study::Field(QString(), 100, true), 5, 1);
  blocks->addWidget(new QLabel("T=S/Vsv, с"), 5, 2, Qt::AlignRight);
  blocks->addWidget(tField = study::Field(QString(), 100, true), 5, 3);
  row(6, "pl", retardedFields);

  auto* angles = new QGridLayout;
  angles->setVerticalSpacing(2);
  right->addLayout(angles);
  const char* captions[] = {"Реальные  L и  B, град",
                            "Планетная аберрация Apl",
                            "Зездная аберрация Azv",
                            "Суммарная аберрация",
                            "Наблюдаемые  L и  B",
                            "Упрощенный расчет L и B (только по координатам)"};
  for (int i = 0; i < 6; ++i) {
    angles->addWidget(new QLabel(captions[i]), i, 0);
    angles->addWidget(angleFields[i][0] = study::Field(QString(), 120, true), i, 1);
    angles->addWidget(angleFields[i][1] = study::Field(QString(), 120, true), i, 2);
  }
  angles->addWidget(new QLabel("сделано итераций"), 6, 0);
  angles->addWidget(iterationsField = study::Field("0", 60, true), 6, 1);
  closeButton = ui::MakeButton("Закрыть форму");
  angles->addWidget(closeButton, 6, 2);
  right->addStretch();

  iterateButton = ui::MakeButton(kIterateCaption);
  root->addWidget(iterateButton);

  connect(findButton, &QPushButton::clicked, this, [this] { OnFind(); });
  connect(iterateButton, &QPushButton::clicked, this, [this] { OnIterate(); });
  connect(clearButton, &QPushButton::clicked, this, [this] { ClearPicture(); });
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
  connect(scaleBar, &QScrollBar::valueChanged, this, [this] { ScaleChanged(); });
  ScaleChanged();
  ClearPicture();
}

void AberrationScreen::ScaleChanged() {
  scaleLabel->setText("Масштаб = " + ui::FormatNumber(scaleBar->value() / 10.0) + " млн.км/см");
}

void AberrationScreen::ClearPicture() {
  picture->Clear();
  picture->Line(-10, 0, 10, 0, QColor(200, 200, 200));
  picture->Line(0, -10, 0, 10, QColor(200, 200, 200));
}

void AberrationScreen::Draw(bool afterIteration) {
  study::Paint(picture, study_.Draw(planeGroup->Selected() == 1, scaleBar->value() * 1e8, afterIteration));
}

void AberrationScreen::OnFind() {
  *work_ = shared_;
  bool ticked[10];
  for (int k = 0; k < 10; ++k) ticked[k] = bodies[k]->isChecked();
  AberrationTexts t;
  t.jd = jdField->text().toStdString();
  t.theoryLongitudes = theoryBox->isChecked();
  t.gelioL3 = gelioL3Field->text().toStdString();
  t.gelioLpl = gelioLplField->text().toStdString();
  t.slowdown = slowdownField->text().toStdString();
  if (!ui::Report(study_.FindGeometry(m_, ticked, t))) return;
  const AberrationResult& r = study_.Result();
  for (int i = 0; i < 6; ++i) {
    const double scale = i < 3 ? m_.MK : m_.MK / 1000.0;  // thousand km and km/s
    study::Show(earthFields[i], r.earth[i] / scale);
    study::Show(bodyFields[i], r.body[i] / scale);
  }
  study::Show(angleFields[0][0], FixMK(r.real.L, m_.MK));
  study::Show(angleFields[0][1], FixMK(r.real.B, m_.MK));
  study::Show(sField, r.S / m_.MK);
  study::Show(tField, r.Tdel);
  study::Show(iterationsField, 0);
  Draw(false);
}

void AberrationScreen::OnIterate() {
  if (!ui::Report(study_.Iterate(m_, vxField->text().toStdString(), vyField->text().toStdString(),
                                 vzField->text().toStdString())))
    return;
  const AberrationResult& r = study_.Result();
  for (int i = 0; i < 6; ++i) study::Show(retardedFields[i], r.retarded[i] / (i < 3 ? m_.MK : 1000.0));
  const Direction* pairs[] = {&r.real, &r.planetary, &r.stellar, &r.total, &r.observed, &r.simplified};
  for (int i = 0; i < 6; ++i) {
    study::Show(angleFields[i][0], FixMK(pairs[i]->L, m_.MK));
    study::Show(angleFields[i][1], FixMK(pairs[i]->B, m_.MK));
  }
  study::Show(sField, r.S / m_.MK);
  study::Show(tField, r.Tdel);
  study::Show(iterationsField, r.iterations);
  Draw(true);
}

void AberrationScreen::PrepareScreenshot() {
  OnFind();
  for (int i = 0; i < 3; ++i) OnIterate();
}

}  // namespace torvik
