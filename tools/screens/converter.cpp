#include "tools/screens/converter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/textfile.h"
#include "tools/screens/studies.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr int kPicturePx = 350;  // −7..7 both ways, 25 px per unit

std::string Text(const QLineEdit* f) { return f->text().toStdString(); }

QStringList ObjectCaptions() {
  QStringList c;
  for (int k = 0; k < 10; ++k) c << QString::fromUtf8(kBodyNames[k]);
  return c << "Луна" << "с экрана";
}

}  // namespace

ConverterScreen::ConverterScreen(Model& m)
    : ui::Screen(kConverterTitle), shared_(m), work_(std::make_unique<Model>(m)), m_(*work_) {}

void ConverterScreen::Build() {
  auto* root = new QHBoxLayout(this);

  // Picture, scale and the angle tool.
  auto* left = new QVBoxLayout;
  root->addLayout(left);
  picture = new ui::Picture(kPicturePx, kPicturePx);
  picture->SetScale(-7, 7, 7, -7);
  left->addWidget(picture);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(new QLabel("масштаб изображения = "));
  scaleBar = new QScrollBar(Qt::Horizontal);
  scaleBar->setRange(1, 10000);
  scaleBar->setPageStep(100);
  scaleBar->setValue(3000);
  scaleRow->addWidget(scaleBar, 1);
  left->addLayout(scaleRow);
  left->addWidget(scaleLabel = new QLabel);

  angleUnitGroup = new ui::OptionGroup(
      "преобразование углов", {"часы-минуты-секунды", "градусы-минуты-секунды", "градусы", "радианы"}, 1);
  left->addWidget(angleUnitGroup);
  auto* tool = new QGridLayout;
  left->addLayout(tool);
  signGroup = new ui::OptionGroup(QString(), {"+", "--"}, 0, Qt::Horizontal);
  signGroup->setFlat(true);
  tool->addWidget(signGroup, 0, 0, 1, 2);
  for (int i = 0; i < 3; ++i) {
    tool->addWidget(angleIn[i] = study::Field("0", 70), 1, i);
    tool->addWidget(angleOut[i] = study::Field("0", 70, true), 3, i);
  }
  tool->addWidget(angleInDecimal = study::Field("0", 110), 1, 3);
  tool->addWidget(angleOutDecimal = study::Field("0", 110, true), 3, 3);
  readAngleButton = ui::MakeButton("Считать угол ");
  showAngleButton = ui::MakeButton("Преобразовать угол");
  toLongitudeButton = ui::MakeButton("Задать долготу в град.");
  toLatitudeButton = ui::MakeButton("Задать широту в град.");
  tool->addWidget(readAngleButton, 2, 0, 1, 2);
  tool->addWidget(showAngleButton, 2, 2, 1, 2);
  tool->addWidget(toLongitudeButton, 4, 0, 1, 2);
  tool->addWidget(toLatitudeButton, 4, 2, 1, 2);
  left->addStretch();

  // The choices.
  auto* choices = new QVBoxLayout;
  root->addLayout(choices);
  objectGroup = new ui::OptionGroup(QString(), ObjectCaptions(), kObjectMoon);
  choices->addWidget(objectGroup);
  theoryGroup = new ui::OptionGroup("по теории", {"New0", "JPL0", "APC2", "JPL2"}, 0);
  choices->addWidget(theoryGroup);
  choices->addStretch();
  auto* frames = new QVBoxLayout;
  root->addLayout(frames);
  originGroup = new ui::OptionGroup("система координат",
                                    {"гелиоцентрическая", "геоцентрическая", "топоцентрическая"}, 0);
  planeGroup = new ui::OptionGroup("плоскость", {"эклиптики", "экватора", "горизонта"}, 0);
  reprGroup = new ui::OptionGroup(QString(), {"полярные", "декартовы"}, 0);
  equinoxGroup = new ui::OptionGroup("к равноденствию эпохи", {"эпоха даты JD", "J2000"}, 0);
  for (auto* g : {originGroup, planeGroup, reprGroup, equinoxGroup}) frames->addWidget(g);
  frames->addStretch();

  // Coordinates, observer, time.
  auto* right = new QGridLayout;
  right->setVerticalSpacing(3);
  root->addLayout(right, 1);
  const char* captions[] = {"X, тыс.км.", "Y, тыс.км.", "Z, тыс.км.",
                            "L(RA или A), град", "B(Dec или H), град", "R,тыс. км."};
  const SourceTexts defaults;
  const std::string values[] = {defaults.x, defaults.y, defaults.z, defaults.l, defaults.b, defaults.r};
  int row = 0;
  auto block = [&](std::array<QLineEdit*, 6>& fields, bool readOnly) {
    for (int i = 0; i < 3; ++i) {
      right->addWidget(new QLabel(captions[i]), row + i, 0);
      right->addWidget(fields[i] = study::Field(readOnly ? QString() : ui::LocaleText(values[i]), 150, readOnly),
                       row + i, 1);
      right->addWidget(new QLabel(captions[3 + i]), row + i, 2);
      right->addWidget(
          fields[3 + i] = study::Field(readOnly ? QString() : ui::LocaleText(values[3 + i]), 150, readOnly),
          row + i, 3);
    }
    row += 3;
  };
  right->addWidget(new QLabel("исходные координаты объекта"), row++, 0, 1, 4);
  block(source, false);
  setButton = ui::MakeButton("Задать координаты");
  convertButton = ui::MakeButton("Преобразовать координаты");
  right->addWidget(setButton, row, 0, 1, 2);
  right->addWidget(convertButton, row++, 2, 1, 2);
  right->addWidget(new QLabel("преобразованные координаты объекта"), row++, 0, 1, 4);
  block(converted, true);
  copyButton = ui::MakeButton("Показать преобразованные координаты в окошках исходных данных");
  right->addWidget(copyButton, row++, 0, 1, 4);

  const ConverterSettings s;
  auto pair = [&](const char* caption, QLineEdit*& field, const QString& value, int column, bool readOnly) {
    right->addWidget(new QLabel(caption), row, column);
    right->addWidget(field = study::Field(value, 150, readOnly), row, column + 1);
  };
  pair("ObsL, град", obsLField, ui::LocaleText(s.obsL), 0, false);
  pair("ObsB, град", obsBField, ui::LocaleText(s.obsB), 2, false);
  ++row;
  pair("LMST, час", lmstField, QString(), 0, true);
  pair("TAU, град", tauField, QString(), 2, true);
  ++row;
  pair("GMST, час", gmstField, QString(), 0, true);
  pair("часовой пояс", zoneField, ui::LocaleText(s.zone), 2, false);
  ++row;
  auto* date = new QHBoxLayout;
  date->addWidget(dayField = study::Field(ui::LocaleText(s.day), 70));
  date->addWidget(monthField = study::Field(ui::LocaleText(s.month), 40));
  date->addWidget(yearField = study::Field(ui::LocaleText(s.year), 60));
  date->addWidget(gjButton = ui::MakeButton("G->J"));
  date->addWidget(jgButton = ui::MakeButton("J->G"));
  date->addWidget(new QLabel("JD ="));
  date->addWidget(jdField = study::Field(QString(), 130));
  date->addStretch();
  right->addLayout(date, row++, 0, 1, 4);
  etUtBox = ui::MakeCheck("Учесть в теории при расчете координат ET- UT, минут", s.etUt);
  right->addWidget(etUtBox, row, 0, 1, 3);
  right->addWidget(etUtField = study::Field(QString(), 150, true), row++, 3);
  auto* advance = new QHBoxLayout;
  advance->addWidget(advanceButton = ui::MakeButton("Пересчитать координаты для JD = JD + "));
  advance->addWidget(daysField = study::Field(ui::LocaleText("5.25"), 70));
  advance->addWidget(new QLabel("дней"));
  advance->addWidget(clearBox = ui::MakeCheck("с очисткой", false));
  advance->addStretch();
  right->addLayout(advance, row++, 0, 1, 4);
  closeButton = ui::MakeButton("Закрыть форму");
  right->addWidget(closeButton, row++, 3);
  right->setRowStretch(row, 1);

  connect(setButton, &QPushButton::clicked, this, [this] { OnSet(); });
  connect(convertButton, &QPushButton::clicked, this, [this] { OnConvert(); });
  connect(copyButton, &QPushButton::clicked, this, [this] { OnCopy(); });
  connect(advanceButton, &QPushButton::clicked, this, [this] { OnAdvance(); });
  connect(gjButton, &QPushButton::clicked, this, [this] { OnDateToJD(); });
  connect(jgButton, &QPushButton::clicked, this, [this] { OnJDToDate(); });
  connect(readAngleButton, &QPushButton::clicked, this, [this] { OnReadAngle(); });
  connect(showAngleButton, &QPushButton::clicked, this, [this] { OnShowAngle(); });
  connect(toLongitudeButton, &QPushButton::clicked, this, [this] { study::Show(source[3], angle_); });
  connect(toLatitudeButton, &QPushButton::clicked, this, [this] { study::Show(source[4], angle_); });
  connect(closeButton, &QPushButton::clicked, this, [this] { hide(); });
  connect(scaleBar, &QScrollBar::valueChanged, this, [this] {
    ScaleChanged(true);
    Redraw();
  });
  ScaleChanged(false);
  Redraw();
}

void ConverterScreen::Activated() { ScaleChanged(false); }

void ConverterScreen::ScaleChanged(bool withBlank) {
  const int pos = scaleBar->value();
  scaleLabel->setText("Масштаб изображения=" + ui::FormatNumber(pos / 10.0) + (withBlank ? " " : "") +
                      "млн.км/см");
  scale_ = pos * 1e8;
}

CoordSystem ConverterScreen::SelectedSystem() const {
  return CoordSystem{static_cast<Origin>(originGroup->Selected()), static_cast<Plane>(planeGroup->Selected()),
                     static_cast<Equinox>(equinoxGroup->Selected())};
}

Representation ConverterScreen::SelectedRepresentation() const {
  return reprGroup->Selected() == 1 ? Representation::Cartesian : Representation::Polar;
}

ConverterSettings ConverterScreen::Settings() const {
  ConverterSettings s;
  s.day = Text(dayField);
  s.month = Text(monthField);
  s.year = Text(yearField);
  s.zone = Text(zoneField);
  s.obsL = Text(obsLField);
  s.obsB = Text(obsBField);
  s.etUt = etUtBox->isChecked();
  s.theory = static_cast<ConverterTheory>(theoryGroup->Selected());
  return s;
}

SourceTexts ConverterScreen::SourceFields() const {
  return SourceTexts{Text(source[0]), Text(source[1]), Text(source[2]),
                     Text(source[3]), Text(source[4]), Text(source[5])};
}

void ConverterScreen::ShowCoordinates(const std::array<QLineEdit*, 6>& fields, const Coordinates& c) {
  const double v[] = {c.X, c.Y, c.Z, c.L, c.B, c.R};
  for (int i = 0; i < 6; ++i) study::Show(fields[i], v[i]);
}

bool ConverterScreen::OnSet() {
  *work_ = shared_;
  const CoordSystem sys = SelectedSystem();
  ConverterContext ctx;
  Coordinates c;
  if (!ui::Report(SetObjectCoordinates(m_, Settings(), objectGroup->Selected(), sys, SelectedRepresentation(),
                                       SourceFields(), &ctx, &c)))
    return false;
  ctx_ = ctx;
  from_ = sys;
  ShowCoordinates(source, c);
  study::Show(jdField, ctx.jdUT);
  study::Show(etUtField, FixMK(ctx.deltaT / 60.0, m_.MK));
  study::Show(gmstField, FixMK(ctx.gmst, m_.MK));
  study::Show(lmstField, FixMK(ctx.lmst, m_.MK));
  // The source itself in the picture.
  Conversion shown;
  if (!ConvertCoordinates(ctx, sys, sys, SelectedRepresentation(), SourceFields(), &shown)) {
    last_ = shown;
    study::Paint(picture, DrawConversion(shown, scale_));
  }
  return true;
}

bool ConverterScreen::OnConvert() {
  const CoordSystem to = SelectedSystem();
  // Converting before any "Задать координаты": the fields are the source, in
  // the system chosen now, at the date of the fields.
  if (!ctx_) {
    if (to.plane == Plane::Horizon && to.origin != Origin::Topocentric) {
      ui::Messages().Show(UserMessage{kMsgHorizonTarget, kTitle0});
      return false;
    }
    ConverterContext ctx;
    Coordinates c;
    if (!ui::Report(SetObjectCoordinates(m_, Settings(), kObjectTyped, to, SelectedRepresentation(),
                                         SourceFields(), &ctx, &c)))
      return false;
    ctx_ = ctx;
    from_ = to;
  }
  Conversion c;
  if (!ui::Report(ConvertCoordinates(*ctx_, from_, to, SelectedRepresentation(), SourceFields(), &c))) return false;
  ShowCoordinates(converted, c.shown);
  convertedTo_ = to;
  study::Show(tauField, FixMK(c.tau, m_.MK));
  last_ = c;
  study::Paint(picture, DrawConversion(c, scale_));
  return true;
}

void ConverterScreen::OnCopy() {
  for (int i = 0; i < 6; ++i) study::ShowText(source[i], converted[i]->text());
  // The source fields now hold the system the values were converted into,
  // whatever the option groups show since.
  from_ = convertedTo_.value_or(SelectedSystem());
}

void ConverterScreen::OnAdvance() {
  ConverterSettings s = Settings();
  double jdUT = 0.0;
  if (!ui::Report(ConverterDateToJD(m_, s, &jdUT))) return;
  if (!ui::Report(AdvanceDate(&s, jdUT, Text(daysField)))) return;
  study::ShowText(dayField, ui::LocaleText(s.day));
  study::ShowText(monthField, QString::fromStdString(s.month));
  study::ShowText(yearField, QString::fromStdString(s.year));
  if (clearBox->isChecked()) {
    last_.reset();
    Redraw();
  }
  if (OnSet()) OnConvert();
}

void ConverterScreen::OnDateToJD() {
  double jd = 0.0;
  if (ui::Report(ConverterDateToJD(m_, Settings(), &jd))) study::Show(jdField, jd);
}

void ConverterScreen::OnJDToDate() {
  CalendarDate d;
  if (!ui::Report(ConverterJDToDate(m_, Text(jdField), Text(zoneField), &d))) return;
  study::ShowText(dayField, ui::LocaleText(SingleText(d.day)));
  study::Show(monthField, d.month);
  study::Show(yearField, d.year);
}

void ConverterScreen::OnReadAngle() {
  const auto unit = static_cast<AngleUnit>(angleUnitGroup->Selected());
  double deg = 0.0;
  if (!ui::Report(ReadAngle(unit, signGroup->Selected() == 1, {Text(angleIn[0]), Text(angleIn[1]), Text(angleIn[2])},
                            Text(angleInDecimal), &deg)))
    return;
  angle_ = deg;
  if (unit == AngleUnit::Hms || unit == AngleUnit::Dms) study::Show(angleInDecimal, ShowAngle(deg, unit).decimal);
}

void ConverterScreen::OnShowAngle() {
  const auto unit = static_cast<AngleUnit>(angleUnitGroup->Selected());
  const AngleShown a = ShowAngle(angle_, unit);
  if (unit == AngleUnit::Hms || unit == AngleUnit::Dms) {
    study::ShowText(angleOut[0], (a.negative ? "-" : "") + ui::FormatNumber(a.parts[0]));
    study::Show(angleOut[1], a.parts[1]);
    study::Show(angleOut[2], a.parts[2]);
  } else {
    for (QLineEdit* f : angleOut) f->clear();
  }
  study::Show(angleOutDecimal, a.decimal);
}

void ConverterScreen::Redraw() {
  picture->Clear();
  if (last_) {
    study::Paint(picture, DrawConversion(*last_, scale_));
  } else {
    picture->Line(-7, 0, 7, 0, QColor(200, 200, 200));
    picture->Line(0, -7, 0, 7, QColor(200, 200, 200));
  }
}

void ConverterScreen::PrepareScreenshot() {
  if (!OnSet()) return;
  originGroup->Select(1);
  planeGroup->Select(1);
  OnConvert();
}

}  // namespace torvik
