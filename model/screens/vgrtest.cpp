#include "model/screens/vgrtest.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <cmath>

#include "core/fields.h"
#include "core/textfile.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr int kPicturePx = 440;      // −10..10 both ways
constexpr double kMaxPixel = 32767;  // a line beyond this does not fit the picture
const QColor kAxis(180, 180, 180);
const QColor kForce12(220, 0, 0), kForce21(0, 0, 220);

QLineEdit* Field(int width = 110) {
  auto* f = new ui::NumberField;
  f->setFixedWidth(width);
  return f;
}

QLineEdit* Output(int width = 110) {
  auto* f = Field(width);
  f->setReadOnly(true);
  return f;
}

void Show(QLineEdit* f, double v) {
  f->setText(ui::FormatNumber(v));
  f->setCursorPosition(0);
}

// Three fields as one vector, or nothing when one of them is not a number.
std::optional<Vec3> Read(QLineEdit* const* f, double scale) {
  Vec3 v;
  for (int c = 0; c < 3; ++c) {
    auto x = ui::ParseNumber(f[c]->text());
    if (!x) return std::nullopt;
    v[c] = *x * scale;
  }
  return v;
}

}  // namespace

VgrTestScreen::VgrTestScreen(Model& m) : ui::Screen(kVgrTestTitle), m_(m) {}

void VgrTestScreen::Build() {
  auto* root = new QHBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);

  auto* left = new QVBoxLayout;
  root->addLayout(left);
  picture = new ui::Picture(kPicturePx, kPicturePx);
  picture->SetScale(-10, 10, 10, -10);
  left->addWidget(picture);
  scaleBar = new QScrollBar(Qt::Horizontal);
  scaleBar->setRange(1, 10000);
  scaleBar->setSingleStep(10);
  scaleBar->setPageStep(100);
  scaleBar->setValue(300);
  left->addWidget(scaleBar);
  scaleLabel = new QLabel;
  left->addWidget(scaleLabel);
  left->addWidget(new QLabel("F12 - это сила от следа 1-ой планеты действующая на 2-ю"));
  left->addStretch();

  auto* right = new QVBoxLayout;
  root->addLayout(right);
  auto* boxes = new QGridLayout;
  boxes->setVerticalSpacing(0);
  for (int k = 0; k <= 10; ++k) {
    bodies[k] = ui::MakeCheck(QString::fromUtf8(kBodyNames[k]), false);
    boxes->addWidget(bodies[k], k % 6, k / 6);
  }
  right->addLayout(boxes);

  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  right->addLayout(g);
  int row = 0;
  g->addWidget(new QLabel("AlfaL1"), row, 0);
  g->addWidget(alfaL1Field = Field(), row, 1);
  g->addWidget(new QLabel("AlfaL2"), row, 2);
  g->addWidget(alfaL2Field = Field(), row++, 3);
  placeButton = ui::MakeButton("Задать положение 2-х планет");
  g->addWidget(placeButton, row++, 0, 1, 6);
  const char* axes[] = {"X", "Y", "Z"};
  auto block = [&](std::array<QLineEdit*, 6>& fields, const char* prefix, bool output) {
    for (int n = 0; n < 2; ++n) {
      for (int c = 0; c < 3; ++c) {
        const QString caption = QString(prefix) + axes[c] + QString::number(n + 1);
        g->addWidget(new QLabel(caption), row, 2 * c, Qt::AlignRight);
        g->addWidget(fields[3 * n + c] = output ? Output() : Field(), row, 2 * c + 1);
      }
      ++row;
    }
  };
  block(positions, "", false);
  block(velocities, "V", false);
  g->addWidget(new QLabel("Vgr=Vsv*"), row, 0, Qt::AlignRight);
  g->addWidget(vgrField = Field(), row, 1);
  g->addWidget(new QLabel("MF, 10^12 Н/см"), row, 2, 1, 2, Qt::AlignRight);
  g->addWidget(mfField = Field(), row++, 4);
  const char* sys[] = {"VXsys", "VYsys", "VZsys"};
  for (int c = 0; c < 3; ++c) {
    g->addWidget(new QLabel(sys[c]), row, 2 * c, Qt::AlignRight);
    g->addWidget(vsys[c] = Field(), row, 2 * c + 1);
  }
  ++row;
  restButton = ui::MakeButton("Первое приближение для покоящейся системы");
  g->addWidget(restButton, row++, 0, 1, 6);
  g->addWidget(new QLabel("L12=L21="), row, 0, Qt::AlignRight);
  g->addWidget(restL = Output(), row, 1);
  g->addWidget(new QLabel("T12=T21="), row, 2, Qt::AlignRight);
  g->addWidget(restT = Output(), row, 3);
  g->addWidget(new QLabel("F12=F21="), row, 4, Qt::AlignRight);
  g->addWidget(restF = Output(), row++, 5);
  g->addWidget(new QLabel("К-во итераций для формы эксперимента"), row, 0, 1, 4, Qt::AlignRight);
  g->addWidget(nIterField = Field(), row++, 4);
  iterateButton = ui::MakeButton("Сделать 1 итерацию для движущейся системы");
  g->addWidget(iterateButton, row++, 0, 1, 6);
  const std::pair<const char*, QLineEdit**> pairs[] = {{"L12, тыс.км", &l12}, {"T12, с", &t12}, {"F12, Н", &f12},
                                                       {"L21, тыс.км", &l21}, {"T21, с", &t21}, {"F21, Н", &f21}};
  for (int i = 0; i < 6; ++i) {
    g->addWidget(new QLabel(pairs[i].first), row + i / 3, 2 * (i % 3), Qt::AlignRight);
    g->addWidget(*pairs[i].second = Output(), row + i / 3, 2 * (i % 3) + 1);
  }
  row += 2;
  block(retarded, "", true);
  forceGroup = new ui::OptionGroup("показать по осям", {"F12", "F21"}, 0, Qt::Horizontal);
  g->addWidget(forceGroup, row, 0, 1, 2);
  g->addWidget(new QLabel("FX"), row, 2, Qt::AlignRight);
  g->addWidget(fx = Output(), row, 3);
  g->addWidget(new QLabel("FY"), row, 4, Qt::AlignRight);
  g->addWidget(fy = Output(), row++, 5);
  planeGroup = new ui::OptionGroup(QString(), {"XY", "XZ"}, 0, Qt::Horizontal);
  g->addWidget(planeGroup, row, 0, 1, 2);
  g->addWidget(new QLabel("FZ"), row, 2, Qt::AlignRight);
  g->addWidget(fz = Output(), row, 3);
  g->addWidget(new QLabel("сделано итераций"), row, 4, Qt::AlignRight);
  g->addWidget(doneField = Output(), row++, 5);
  closeButton = ui::MakeButton("Закрыть форму");
  right->addWidget(closeButton, 0, Qt::AlignRight);
  right->addStretch();

  alfaL1Field->setText("0");
  alfaL2Field->setText("90");
  vgrField->setText("1");
  mfField->setText("20000");
  nIterField->setText("2");
  Show(vsys[0], m_.VXsys);
  Show(vsys[1], m_.VYsys);
  Show(vsys[2], m_.VZsys);

  connect(placeButton, &QPushButton::clicked, this, [this] { OnPlace(); });
  connect(restButton, &QPushButton::clicked, this, [this] { OnRest(); });
  connect(iterateButton, &QPushButton::clicked, this, [this] { OnIterate(); });
  connect(forceGroup, &ui::OptionGroup::Changed, this, [this] { ShowComponents(); });
  connect(planeGroup, &ui::OptionGroup::Changed, this, [this] { Draw(); });
  connect(scaleBar, &QScrollBar::valueChanged, this, [this] { ScaleChanged(); });
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
  ScaleChanged();
}

void VgrTestScreen::OnPlace() {
  const UserMessage bad{kMsgPlaceData, kTitle};
  std::array<bool, 11> ticked{};
  for (int k = 0; k <= 10; ++k) ticked[k] = bodies[k]->isChecked();
  auto a1 = ui::ParseNumber(alfaL1Field->text()), a2 = ui::ParseNumber(alfaL2Field->text());
  ActionResult r = a1 && a2 ? test_.Place(m_, ticked, *a1, *a2) : ActionResult(bad);
  if (!r) {
    for (int c = 0; c < 3; ++c) {
      Show(positions[c], test_.X1[c] / m_.MK);
      Show(positions[3 + c], test_.X2[c] / m_.MK);
      Show(velocities[c], Fix(test_.V1[c] * 1000.0) / m_.MK);
      Show(velocities[3 + c], Fix(test_.V2[c] * 1000.0) / m_.MK);
    }
    forcesShown_ = false;  // the forces of the former places do not belong to the new ones
    Draw();
  }
  ui::Report(r);
}

void VgrTestScreen::OnRest() {
  const UserMessage bad{kMsgForceData, kTitle};
  auto x1 = Read(&positions[0], m_.MK), x2 = Read(&positions[3], m_.MK);
  auto vgr = ui::ParseNumber(vgrField->text()), mf = ui::ParseNumber(mfField->text());
  ActionResult r = x1 && x2 && vgr && mf && *mf != 0.0 ? test_.FirstApproximation(m_, *x1, *x2, *vgr) : bad;
  if (!r) {
    MF_ = *mf * 1e12;
    Show(restL, test_.p12.Rij / m_.MK);
    Show(restT, test_.p12.Tdel);
    Show(restF, test_.p12.Fij);
    Show(doneField, test_.iterations);
    ShowComponents();
    forcesShown_ = true;
    if (!Draw()) r = bad;
  }
  ui::Report(r);
}

void VgrTestScreen::OnIterate() {
  const UserMessage bad{kMsgForceData, kTitleIteration};
  auto v1 = Read(&velocities[0], 1.0), v2 = Read(&velocities[3], 1.0), vs = Read(vsys.data(), 1.0);
  auto n = ParseFieldInt16(nIterField->text().toStdString());
  ActionResult r = v1 && v2 && vs && n && *n >= 0 ? test_.Iterate(m_, *v1, *v2, *vs, *n) : bad;
  if (!r) {
    Show(l12, test_.p12.Rij / m_.MK);
    Show(l21, test_.p21.Rij / m_.MK);
    Show(t12, test_.p12.Tdel);
    Show(t21, test_.p21.Tdel);
    Show(f12, test_.p12.Fij);
    Show(f21, test_.p21.Fij);
    for (int c = 0; c < 3; ++c) {
      Show(retarded[c], test_.Xr1[c] / m_.MK);
      Show(retarded[3 + c], test_.Xr2[c] / m_.MK);
    }
    ShowComponents();
    Show(doneField, test_.iterations);
    forcesShown_ = true;
    if (!Draw()) r = bad;
  }
  ui::Report(r);
}

void VgrTestScreen::ShowComponents() {
  const PairQuantities& q = forceGroup->Selected() == 1 ? test_.p21 : test_.p12;
  Show(fx, q.FXij);
  Show(fy, q.FYij);
  Show(fz, q.FZij);
}

bool VgrTestScreen::Draw() {
  picture->Clear();
  picture->Line(-10, 0, 10, 0, kAxis);
  picture->Line(0, -10, 0, 10, kAxis);
  if (test_.body1 < 0) return true;
  const int v = planeGroup->Selected() == 1 ? 2 : 1;  // the vertical axis: Y or Z
  struct Mark {
    const Vec3& at;
    int body;
    const PairQuantities& force;  // the force this body receives
    QColor colour;
  };
  const Mark marks[] = {{test_.X1, test_.body1, test_.p21, kForce21}, {test_.X2, test_.body2, test_.p12, kForce12}};
  for (const Mark& k : marks) {
    const double x = k.at[0] / mxy_, y = k.at[v] / mxy_;
    const double fv = v == 1 ? k.force.FYij : k.force.FZij;
    const double x2 = x + k.force.FXij / MF_, y2 = y + fv / MF_;
    const QPointF end = picture->ToPixel(x2, y2);
    picture->Circle(x, y, 0.15, QColor(m_.ColR[k.body], m_.ColG[k.body], m_.ColB[k.body]), 1.0, true);
    if (!forcesShown_) continue;
    if (!std::isfinite(x2) || !std::isfinite(y2) || std::fabs(end.x()) > kMaxPixel || std::fabs(end.y()) > kMaxPixel)
      return false;
    picture->Line(x, y, x2, y2, k.colour);
  }
  return true;
}

void VgrTestScreen::ScaleChanged() {
  const int value = scaleBar->value();
  mxy_ = value * 1e8;
  scaleLabel->setText("Масштаб = " + ui::FormatNumber(value / 10.0) + " млн.км/см");
  Draw();
}

}  // namespace torvik
