#include "observe/screens/observation.h"

#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "observe/workbook_file.h"
#include "plan/obs_report.h"
#include "core/fields.h"
#include "core/textfile.h"
#include "ui/batch.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr int kObsPx = 220;        // −10..10 both ways
constexpr int kHelioW = 180;       // outer heliocentric picture, pixels
constexpr int kHelioH = 240;
// The inner picture, 0..20 across and 0..120 up, is twice as wide as
// the outer one (scrolled across, the Sun in the middle), so that the plan
// report's columns, one unit apart, can be read.
constexpr int kInnerW = kHelioW * 2;
constexpr int kInnerH = kInnerW * 6;
constexpr int kDevW = 540, kDevH = 170;  // 0..20 across, 0..6 up
const QColor kGrid(200, 200, 200), kAxis(120, 120, 120), kWhite(255, 255, 255);
const QColor kSunFill(240, 240, 0);

ui::NumberField* Field(double v, int width = 62) {
  auto* f = new ui::NumberField(v);
  f->setFixedWidth(width);
  return f;
}

QLineEdit* Output(int width = 68) {
  auto* f = new QLineEdit;
  f->setReadOnly(true);
  f->setFixedWidth(width);
  return f;
}

void Show(QLineEdit* f, double v) {
  f->setText(ui::FormatNumber(v));
  f->setCursorPosition(0);
}

// A single-precision value (the day of a date) by the six-decimal rule, from
// its own shortest text: 15.31 and not 15.3100004196167.
void ShowSingle(QLineEdit* f, float v) {
  const double d = std::strtod(SingleText(v).c_str(), nullptr);
  Show(f, FixMK(d));
}

void Show(const std::array<QLineEdit*, 2>& f, const RowPair& p) {
  Show(f[0], p.a);
  Show(f[1], p.b);
}

QLabel* Label(const char* text) { return new QLabel(QString::fromUtf8(text)); }

QColor BodyColour(const Model& m, int k) { return QColor(m.ColR[k], m.ColG[k], m.ColB[k]); }

}  // namespace

ObservationScreen::ObservationScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder,
                                     ObservationSource::WorkbookFactory factory)
    : ui::Screen(QString::fromUtf8(kObservationTitle)),
      m_(m),
      nav_(nav),
      folder_(std::move(folder)),
      src_(folder_, std::move(factory)),
      run_(std::make_unique<ObservationRun>(m_, src_)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, [this] { Turn(); });
}

ObservationScreen::~ObservationScreen() = default;

void ObservationScreen::BuildInputs(QGridLayout* g) {
  int r = 0;
  g->addWidget(Label("для планеты №"), r, 0);
  g->addWidget(planetField = Field(1, 40), r, 1);
  g->addWidget(Label("на интервале"), r, 2);
  g->addWidget(yearsField = Field(200, 50), r, 3);
  g->addWidget(Label("лет"), r++, 4);
  g->addWidget(Label("DMY"), r, 0);
  auto* dmy = new QHBoxLayout;
  dmy->addWidget(dayField = Field(1.5, 50));
  dmy->addWidget(monthField = Field(1, 36));
  dmy->addWidget(yearField = Field(2000, 50));
  g->addLayout(dmy, r, 1, 1, 3);
  g->addWidget(dmyToJdButton = ui::MakeButton("DMY->JD"), r++, 4);
  g->addWidget(Label("JD (UT)"), r, 0);
  g->addWidget(jdField = Field(2451545, 100), r, 1, 1, 2);
  g->addWidget(jdToDmyButton = ui::MakeButton("JD->DMY"), r, 3, 1, 1);
  g->addWidget(jd0Button = ui::MakeButton("задать JD = JD0"), r++, 4);
  g->addWidget(Label("шаг для таблиц, дни"), r, 0, 1, 2);
  g->addWidget(stepField = Field(3.31, 50), r, 2);
  g->addWidget(Label("/"), r, 3, Qt::AlignRight);
  g->addWidget(stepDivField = Field(10, 40), r++, 4);
  hminBox = ui::MakeCheck("HminPl", false);
  hmaxBox = ui::MakeCheck("HmaxSol", false);
  g->addWidget(hminBox, r, 0);
  g->addWidget(hminField = Field(0, 40), r, 1);
  g->addWidget(hmaxBox, r, 2);
  g->addWidget(hmaxField = Field(0, 40), r++, 3);
  g->addWidget(Label("ObsL"), r, 0);
  g->addWidget(obsLField = Field(0), r, 1);
  g->addWidget(Label("ObsB"), r, 2);
  g->addWidget(obsBField = Field(0), r++, 3);
  const char* sys[] = {"VXsys", "VYsys", "VZsys"};
  auto* v = new QHBoxLayout;
  for (int c = 0; c < 3; ++c) {
    v->addWidget(Label(sys[c]));
    v->addWidget(vsys[static_cast<std::size_t>(c)] = Field(0, 44));
  }
  g->addLayout(v, r++, 0, 1, 5);
  precBox = ui::MakeCheck("P,град", false);
  pauseBox = ui::MakeCheck("пауза", false);
  g->addWidget(precBox, r, 0);
  g->addWidget(precField = Output(70), r, 1);
  g->addWidget(pauseBox, r, 2);
  g->addWidget(pauseField = Field(1000, 50), r++, 3);
  dRmaxBox = ui::MakeCheck("dR<dRmax =", true);
  etUtBox = ui::MakeCheck("ET- UT, мин", false);
  g->addWidget(dRmaxBox, r, 0);
  g->addWidget(dRmaxField = Field(200, 50), r, 1);
  g->addWidget(etUtBox, r, 2);
  g->addWidget(etUtField = Output(60), r++, 3);
}

void ObservationScreen::Build() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(4, 4, 4, 4);
  root->setSpacing(2);
  auto* top = new QHBoxLayout;
  root->addLayout(top);

  // Pictures: observation and heliocentric, the scale bar below them.
  auto* pics = new QVBoxLayout;
  top->addLayout(pics);
  pics->addWidget(Label("ГЕЛИО ЭКЛ система координат"), 0, Qt::AlignRight);
  auto* pictureRow = new QHBoxLayout;
  pics->addLayout(pictureRow);
  obsPicture = new ui::Picture(kObsPx, kObsPx);
  obsPicture->SetScale(-10, 10, 10, -10);
  pictureRow->addWidget(obsPicture);
  auto* helioBox = new QVBoxLayout;
  helioBox->setSpacing(0);
  helioFrame = new QScrollArea;
  helioFrame->setFrameShape(QFrame::NoFrame);
  helioFrame->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  helioFrame->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  helioFrame->setFixedSize(kHelioW, kHelioH);
  helioPicture = new ui::Picture(kInnerW, kInnerH);
  helioPicture->SetScale(0, 120, 20, 0);
  QFont small = helioPicture->font();
  small.setPixelSize(10);  // the trace inset and the report print a line per unit (18 pixels)
  small.setStyleStrategy(QFont::NoAntialias);  // so that white text erases it
  helioPicture->setFont(small);
  helioFrame->setWidget(helioPicture);
  helioBox->addWidget(helioFrame);
  pictureRow->addLayout(helioBox);
  helioBar = new QScrollBar(Qt::Vertical);
  helioBar->setRange(0, 200);
  helioBar->setValue(90);
  helioBar->setFixedHeight(kHelioH);
  pictureRow->addWidget(helioBar);
  scaleBar = new QScrollBar(Qt::Horizontal);
  scaleBar->setRange(1, 10000);
  scaleBar->setSingleStep(10);
  scaleBar->setPageStep(100);
  scaleBar->setValue(100);
  pics->addWidget(scaleBar);
  scaleLabel = new QLabel;
  pics->addWidget(scaleLabel);
  auto* drawBoxes = new QGridLayout;
  drawBoxes->setVerticalSpacing(0);
  raysBox = ui::MakeCheck("лучи", true);
  trailsBox = ui::MakeCheck("траектории", false);
  viewGroup = new ui::OptionGroup("наблюденя", {"ГЕО ЭКЛ", "ТОПО ГОР"}, 0, Qt::Horizontal);
  drawBoxes->addWidget(raysBox, 0, 0);
  drawBoxes->addWidget(trailsBox, 0, 1);
  drawBoxes->addWidget(viewGroup, 1, 0, 1, 2);
  pics->addLayout(drawBoxes);
  pics->addStretch();

  // Inputs and sources.
  auto* inputs = new QGridLayout;
  inputs->setVerticalSpacing(1);
  inputs->setHorizontalSpacing(3);
  BuildInputs(inputs);
  auto* middle = new QVBoxLayout;
  middle->addLayout(inputs);
  auto* groups = new QHBoxLayout;
  dataGroup = new ui::OptionGroup("данные", {"таблиц", "обсерваторий"}, 0);
  calendarGroup = new ui::OptionGroup("календарь", {"Григорианский", "Юлианский ", "Египетский"}, 0);
  auto* dayStart = new QVBoxLayout;
  dayStart->addWidget(Label("время от"));
  dayStartGroup = new ui::OptionGroup(QString(), {"0", "12"}, 0, Qt::Horizontal);
  dayStart->addWidget(dayStartGroup);
  groups->addWidget(dataGroup);
  groups->addWidget(calendarGroup);
  groups->addLayout(dayStart);
  middle->addLayout(groups);
  timeLabel = new QLabel(QString::fromUtf8(kObsTimeLabel));
  middle->addWidget(timeLabel);
  auto* theories = new QHBoxLayout;
  earthGroup = new ui::OptionGroup("Земля", {"J", "S", "P"}, 0, Qt::Horizontal);
  planetGroup = new ui::OptionGroup("планета", {"J", "S", "P"}, 0, Qt::Horizontal);
  theories->addWidget(earthGroup);
  theories->addWidget(planetGroup);
  middle->addLayout(theories);
  middle->addStretch();
  top->addLayout(middle);

  QStringList tables{""}, observatories{""};
  for (const TableInfo& t : kTables) tables << QString::fromUtf8(t.caption);
  for (const ObservatoryInfo& o : kObservatories) observatories << QString::fromUtf8(o.caption);
  auto* sources = new QVBoxLayout;
  tableGroup = new ui::OptionGroup("таблицы", tables, 0);
  tableGroup->layout()->setSpacing(0);
  obsGroup = new ui::OptionGroup("обсерватория", observatories, 0);
  obsGroup->layout()->setSpacing(0);
  obsGroup->setEnabled(false);
  sources->addWidget(tableGroup);
  servedLabel = new QLabel;
  sources->addWidget(servedLabel);
  sources->addWidget(obsGroup);
  sources->addStretch();
  top->addLayout(sources);

  // Corrections and results.
  auto* out = new QGridLayout;
  out->setVerticalSpacing(1);
  out->setHorizontalSpacing(3);
  int r = 0;
  aberrPlBox = ui::MakeCheck("Аберр. пл.", true);
  aberrZvBox = ui::MakeCheck("Аберр. зв.", true);
  nutationBox = ui::MakeCheck("Нутация", true);
  refractionBox = ui::MakeCheck("Рефракция", false);
  parallaxBox = ui::MakeCheck("Параллакс", false);
  out->addWidget(Label("теория J2000"), r, 0);
  out->addWidget(j2000[0] = Output(), r, 1);
  out->addWidget(j2000[1] = Output(), r++, 2);
  out->addWidget(Label("Азимут,Высота"), r, 0);
  out->addWidget(azAlt[0] = Output(), r, 1);
  out->addWidget(azAlt[1] = Output(), r++, 2);
  QCheckBox* rowBoxes[] = {nutationBox, refractionBox, parallaxBox, aberrPlBox, aberrZvBox};
  for (std::size_t i = 0; i < 5; ++i) {
    out->addWidget(rowBoxes[i], r, 0);
    out->addWidget(corrections[i][0] = Output(), r, 1);
    out->addWidget(corrections[i][1] = Output(), r++, 2);
  }
  for (auto* row : {&theoryRow, &sourceRow, &deviationRow}) {
    out->addWidget((*row)[0] = Output(), r, 1);
    out->addWidget((*row)[1] = Output(), r++, 2);
  }
  out->addWidget(Label("средние dL, dB"), r, 0);
  out->addWidget(means[0] = Output(), r, 1);
  out->addWidget(means[1] = Output(), r++, 2);
  out->addWidget(Label("Abs(dL), Abs(dB)"), r, 0);
  out->addWidget(absMeans[0] = Output(), r, 1);
  out->addWidget(absMeans[1] = Output(), r++, 2);
  out->addWidget(Label("dR, тыс.км"), r, 0);
  out->addWidget(dRField = Output(), r++, 1);
  out->addWidget(Label("NdR, шт"), r, 0);
  out->addWidget(ndRField = Output(), r++, 1);
  auto* boxes = new QGridLayout;
  boxes->setVerticalSpacing(0);
  jdBox = ui::MakeCheck("JD", false);
  moonBox = ui::MakeCheck("Учесть Луну ", true);
  visibilityBox = ui::MakeCheck("Видимость", false);
  solsticeBox = ui::MakeCheck("Солнцестоян", false);
  fileTraceBox = ui::MakeCheck("File Отладка", false);
  fileParamBox = ui::MakeCheck("File Param", false);
  fileBadBox = ui::MakeCheck("File dR>dRmax", false);
  QCheckBox* more[] = {jdBox, moonBox, visibilityBox, solsticeBox, fileTraceBox, fileParamBox, fileBadBox};
  for (int i = 0; i < 7; ++i) boxes->addWidget(more[i], i / 2, i % 2);
  auto* right = new QVBoxLayout;
  right->addLayout(out);
  runLabel = new QLabel;
  runLabel->setWordWrap(true);
  runLabel->setMaximumWidth(300);
  right->addWidget(runLabel);
  right->addLayout(boxes);
  right->addStretch();
  top->addLayout(right);

  // The deviation plot and its controls; the buttons.
  auto* bottom = new QHBoxLayout;
  root->addLayout(bottom);
  auto* plot = new QVBoxLayout;
  devPicture = new ui::Picture(kDevW, kDevH);
  devPicture->SetScale(0, 6, 20, 0);
  plot->addWidget(devPicture);
  progressLabel = new QLabel;
  plot->addWidget(progressLabel);
  bottom->addLayout(plot);
  auto* scales = new QGridLayout;
  scales->setVerticalSpacing(1);
  scales->setHorizontalSpacing(3);
  r = 0;
  const std::pair<const char*, std::pair<QLineEdit**, double>> scaleFields[] = {
      {"МТ, лет/см", {&mtField, 10}},       {"MAlfa, град/см", {&mAlfaField, 90}}, {"MdAlfa, град/см", {&mdAlfaField, 1}},
      {"MdR,тыс.км/см", {&mdRField, 50}}, {"dY, см", {&dYField, 0}}};
  for (const auto& [caption, f] : scaleFields) {
    scales->addWidget(Label(caption), r, 0);
    scales->addWidget(*f.first = Field(f.second, 50), r++, 1);
  }
  theoryViewBox = ui::MakeCheck("теория вид.", false);
  sourceViewBox = ui::MakeCheck("набл. вид.", false);
  dLdBBox = ui::MakeCheck("dL, dB, град", true);
  lBox = ui::MakeCheck("L", true);
  bBox = ui::MakeCheck("B", false);
  dRBox = ui::MakeCheck("dR, тыс.км.", true);
  dRsrBox = ui::MakeCheck("dRsr,тыс.км", true);
  yiBox = ui::MakeCheck("Y(i)=i", false);
  yFuncBox = ui::MakeCheck("Y(i)=func", false);
  QCheckBox* plotBoxes[] = {theoryViewBox, sourceViewBox, dLdBBox, lBox, bBox, dRBox, yiBox, yFuncBox};
  auto* plotGrid = new QGridLayout;
  plotGrid->setVerticalSpacing(0);
  for (int i = 0; i < 8; ++i) plotGrid->addWidget(plotBoxes[i], i / 2, i % 2);
  plotGrid->addWidget(dRsrBox, 4, 0);
  plotGrid->addWidget(criterionField = Output(70), 4, 1);
  auto* plotControls = new QVBoxLayout;
  plotControls->addLayout(scales);
  bottom->addLayout(plotControls);
  bottom->addLayout(plotGrid);

  auto* buttons = new QGridLayout;
  buttons->setVerticalSpacing(1);
  startButton = ui::MakeButton("Начать");
  stopButton = ui::MakeButton("Остановить");
  continueButton = ui::MakeButton("Продолжить");
  stepButton = ui::MakeButton("Сделать 1 шаг");
  clearButton = ui::MakeButton("Очистить рисунки");
  statButton = ui::MakeButton("Статистика");
  statBox = ui::MakeCheck("", false);
  experimentsButton = ui::MakeButton("Выполнить эксперименты с");
  planButton = ui::MakeButton("Создать план* ");
  coeffButton = ui::MakeButton("Найти коэффициенты уравнения");
  graphsButton = ui::MakeButton("Построить графики по ур-ю");
  aberrationButton = ui::MakeButton("Aберрация*");
  converterButton = ui::MakeButton("Координаты*");
  ellipseButton = ui::MakeButton("Эллипс*");
  closeButton = ui::MakeButton("Закрыть форму");
  criterionGroup = new ui::OptionGroup("критерий", {"dR", "dL"}, 0, Qt::Horizontal);
  planGroup = new ui::OptionGroup("план ", {"O5", "B5"}, 0, Qt::Horizontal);
  buttons->addWidget(startButton, 0, 0);
  buttons->addWidget(stopButton, 0, 1);
  buttons->addWidget(continueButton, 1, 0);
  buttons->addWidget(stepButton, 1, 1);
  buttons->addWidget(clearButton, 2, 0);
  auto* stat = new QHBoxLayout;
  stat->addWidget(statButton);
  stat->addWidget(statBox);
  buttons->addLayout(stat, 2, 1);
  auto* exp = new QHBoxLayout;
  exp->addWidget(experimentsButton);
  exp->addWidget(expFromField = Field(1, 36));
  exp->addWidget(Label("по"));
  exp->addWidget(expToField = Field(43, 36));
  buttons->addLayout(exp, 3, 0, 1, 2);
  buttons->addWidget(planButton, 4, 0);
  buttons->addWidget(coeffButton, 4, 1);
  buttons->addWidget(graphsButton, 5, 0);
  buttons->addWidget(aberrationButton, 5, 1);
  buttons->addWidget(converterButton, 6, 0);
  buttons->addWidget(ellipseButton, 6, 1);
  buttons->addWidget(criterionGroup, 7, 0);
  buttons->addWidget(planGroup, 7, 1);
  buttons->addWidget(closeButton, 8, 1);
  bottom->addLayout(buttons);
  bottom->addStretch();

  connect(tableGroup, &ui::OptionGroup::Changed, this, [this](int i) { OnTable(i); });
  connect(obsGroup, &ui::OptionGroup::Changed, this, [this](int i) { OnObservatory(i); });
  connect(dataGroup, &ui::OptionGroup::Changed, this, [this](int k) { OnDataKind(k); });
  connect(startButton, &QPushButton::clicked, this, [this] { OnStart(); });
  connect(stopButton, &QPushButton::clicked, this, [this] { OnStop(); });
  connect(continueButton, &QPushButton::clicked, this, [this] { OnContinue(); });
  connect(stepButton, &QPushButton::clicked, this, [this] { OnOneStep(); });
  connect(clearButton, &QPushButton::clicked, this, [this] {
    ClearPictures();
    JDplot_ = run_->Started() ? run_->JDut() : m_.JD;
  });
  connect(dmyToJdButton, &QPushButton::clicked, this, [this] { OnDmyToJd(); });
  connect(jdToDmyButton, &QPushButton::clicked, this, [this] { OnJdToDmy(); });
  connect(jd0Button, &QPushButton::clicked, this, [this] { OnJd0(); });
  connect(experimentsButton, &QPushButton::clicked, this, [this] { RunExperiments(); });
  connect(planButton, &QPushButton::clicked, this, [this] { CreatePlan(); });
  connect(coeffButton, &QPushButton::clicked, this, [this] { FindRegression(); });
  connect(graphsButton, &QPushButton::clicked, this, [this] { PlotSections(); });
  connect(statButton, &QPushButton::clicked, this, [this] { OnStatistics(); });
  connect(aberrationButton, &QPushButton::clicked, this, [this] { nav_.Show("aberration"); });
  connect(converterButton, &QPushButton::clicked, this, [this] { nav_.Show("converter"); });
  connect(ellipseButton, &QPushButton::clicked, this, [this] { nav_.Show("ellipse"); });
  connect(closeButton, &QPushButton::clicked, this, [this] { OnClose(); });
  connect(scaleBar, &QScrollBar::valueChanged, this, [this] { ScaleChanged(); });
  connect(helioBar, &QScrollBar::valueChanged, this, [this] { HelioScrolled(); });
  connect(helioBar, &QScrollBar::sliderMoved, this, [this] { HelioScrolled(); });
  for (QLineEdit* f : {stepField, stepDivField, dRmaxField, pauseField}) connect(f, &QLineEdit::editingFinished, this, [this] { ReadLive(); });
  connect(pauseBox, &QCheckBox::toggled, this, [this] { ReadLive(); });

  ScaleChanged();
  HelioScrolled();
  // The Sun in the middle of the outer picture, once its scroll range is known.
  connect(helioFrame->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
    if (!helioCentred_ && max > 0) {
      helioCentred_ = true;
      helioFrame->horizontalScrollBar()->setValue(max / 2);
    }
  });
  ClearPictures();
  AttachPlanScreen();
}

// The plan screen works on this screen's planet, date, velocity and source;
// the plan is created, the plan screen shown and plan 1 loaded into it.
void ObservationScreen::AttachPlanScreen() {
  planScreen_ = static_cast<ObsPlanScreen*>(nav_.Get("obsplan"));
  if (!planScreen_) return;
  ObsPlanLink link;
  link.planet = planetField;
  link.day = dayField;
  link.month = monthField;
  link.year = yearField;
  link.jd = jdField;
  link.vsys = vsys;
  link.source = [this]() -> std::optional<std::pair<std::string, std::string>> {
    if (!src_.IsOpen()) return std::nullopt;
    return std::make_pair(std::string(src_.kind() == SourceKind::Obs ? "Obs" : "Tab"), src_.name());
  };
  link.JDstart = [this] { return Cur().Started() ? Cur().JDstart() : m_.JDstart; };
  link.dateTrigger = [this] { OnDmyToJd(); };
  link.reportTrigger = [this] {
    planTitle_ = planScreen_->state().PlanTitle;
    ShowPlanReport();
  };
  planScreen_->Attach(std::move(link));
  CreatePlan();
  planScreen_->planNoField->setText("1");
  planScreen_->LoadPlan();
}

// ---- sources ----

void ObservationScreen::ApplyPresets(const SourcePresets& p) {
  calendarGroup->Select(static_cast<int>(p.calendar));
  dayStartGroup->Select(p.dayStart == DayStart::Noon ? 1 : 0);
  timeLabel->setText(QString::fromStdString(p.timeLabel));
  aberrPlBox->setChecked(p.aberrPl);
  aberrZvBox->setChecked(p.aberrZv);
  nutationBox->setChecked(p.nutation);
  refractionBox->setChecked(p.refraction);
  parallaxBox->setChecked(p.parallax);
  if (p.hasPlace) {
    Show(obsLField, p.ObsL);
    Show(obsBField, p.ObsB);
  }
  if (p.hasDate) {
    ShowSingle(dayField, p.day);
    Show(monthField, p.month);
    Show(yearField, p.year);
  }
}

void ObservationScreen::ShowServed() { servedLabel->setText(QString::fromStdString(src_.servedBy())); }

void ObservationScreen::OnTable(int i) {
  // Opening a workbook may start LibreOffice: a few seconds.
  const bool wait = i >= 1 && i <= 10 && !src_.builtinOnly() &&
                    FindTableWorkbook(folder_, kTables[static_cast<std::size_t>(i - 1)].name);
  if (wait) QApplication::setOverrideCursor(Qt::WaitCursor);
  const SelectResult r = src_.SelectTable(i);
  if (wait) QApplication::restoreOverrideCursor();
  ApplyPresets(r.presets);
  ShowServed();
  if (r.opened) m_.Stop = 0;
  runLabel->clear();
  ui::Report(r.message);
  FollowSource();
}

// A template plan follows the date of the source just chosen.
void ObservationScreen::FollowSource() {
  if (planScreen_ && src_.IsOpen()) planScreen_->FollowDate();
}

void ObservationScreen::OnObservatory(int i) {
  const auto Npl = static_cast<ui::NumberField*>(planetField)->Integer(-1000, 1000);
  const int planet = Npl.value_or(1);
  const SelectResult r = src_.SelectObservatory(i, planet);
  ApplyPresets(r.presets);
  if (r.opened) m_.Stop = 0;
  runLabel->clear();
  if (src_.IsOpen() && !r.message) {
    // A date outside the file's records moves to its last record.
    const auto d = ui::ParseNumber(dayField->text()), mo = ui::ParseNumber(monthField->text()),
               y = ui::ParseNumber(yearField->text());
    float day = d ? static_cast<float>(*d) : 0;
    std::int32_t month = mo ? static_cast<std::int32_t>(std::lround(*mo)) : 0;
    std::int32_t year = y && std::fabs(*y) < 1e7 ? static_cast<std::int32_t>(std::lround(*y)) : INT32_MIN;
    if (FitDateToRecords(src_, &day, &month, &year)) {
      ShowSingle(dayField, day);
      Show(monthField, month);
      Show(yearField, year);
      OnDmyToJd();
      if (const auto span = src_.Records())
        runLabel->setText(QString::fromUtf8("записи файла: %1 - %2 гг.; дата - последняя запись")
                              .arg(span->firstY)
                              .arg(span->lastY));
    }
    if (src_.Simulated()) runLabel->setText(runLabel->text() + (runLabel->text().isEmpty() ? "" : "; ") +
                                            QString::fromUtf8(kSimulatedNote));
  }
  ui::Report(r.message);
  FollowSource();
}

void ObservationScreen::OnDataKind(int k) {
  SourcePresets p;
  const SourceKind kind = k == 1 ? SourceKind::Obs : SourceKind::Tab;
  if (!src_.SwitchKind(kind, &p)) return;
  ShowServed();
  tableGroup->blockSignals(true);
  obsGroup->blockSignals(true);
  tableGroup->Select(0);
  obsGroup->Select(0);
  tableGroup->blockSignals(false);
  obsGroup->blockSignals(false);
  tableGroup->setEnabled(kind == SourceKind::Tab);
  obsGroup->setEnabled(kind == SourceKind::Obs);
  dayStartGroup->Select(p.dayStart == DayStart::Noon ? 1 : 0);
  timeLabel->setText(QString::fromStdString(p.timeLabel));
}

// ---- run ----

CalendarSetting ObservationScreen::Calendar() const {
  CalendarSetting c;
  c.calendar = static_cast<ObsCalendar>(calendarGroup->Selected());
  c.dayStart = dayStartGroup->Selected() == 1 ? DayStart::Noon : DayStart::Midnight;
  const TableInfo* t = src_.table();
  c.era = t ? t->era : EgyptianEra::None;
  return c;
}

std::optional<ObsSettings> ObservationScreen::ReadSettings() {
  ObsSettings s;
  auto num = [](QLineEdit* f) { return ui::ParseNumber(f->text()); };
  const auto Npl = num(planetField), day = num(dayField), month = num(monthField), year = num(yearField);
  const auto years = num(yearsField), step = num(stepField), div = num(stepDivField), pause = num(pauseField);
  const auto dRmax = num(dRmaxField), hmin = num(hminField), hmax = num(hmaxField), L = num(obsLField),
             B = num(obsBField);
  const auto vx = num(vsys[0]), vy = num(vsys[1]), vz = num(vsys[2]);
  const auto mt = num(mtField), ma = num(mAlfaField), mda = num(mdAlfaField), mdr = num(mdRField), dy = num(dYField);
  for (const auto& v : {Npl, day, month, year, years, step, div, pause, dRmax, hmin, hmax, L, B, vx, vy, vz, mt, ma,
                        mda, mdr, dy})
    if (!v) return std::nullopt;
  if (std::fabs(*Npl) > 1000 || std::fabs(*month) > 1e6 || std::fabs(*year) > 1e7 || std::fabs(*years) > 32767 ||
      *div < 1 || *div > 32767 || *pause < 0 || *pause > 1e7 || *mt == 0 || *ma == 0 || *mda == 0 || *mdr == 0)
    return std::nullopt;
  s.Npl = static_cast<int>(std::lround(*Npl));
  s.day = static_cast<float>(*day);
  s.month = static_cast<std::int32_t>(std::lround(*month));
  s.year = static_cast<std::int32_t>(std::lround(*year));
  s.years = static_cast<int>(std::lround(*years));
  s.calendar = Calendar();
  s.ObsL = *L, s.ObsB = *B;
  s.VXsys = *vx, s.VYsys = *vy, s.VZsys = *vz;
  s.HminPl = *hmin, s.HmaxSol = *hmax;
  s.aberrPl = aberrPlBox->isChecked();
  s.aberrZv = aberrZvBox->isChecked();
  s.nutation = nutationBox->isChecked();
  s.refraction = refractionBox->isChecked();
  s.parallax = parallaxBox->isChecked();
  s.etUt = etUtBox->isChecked();
  s.j2000 = jdBox->isChecked();
  s.moon = moonBox->isChecked();
  s.visibility = visibilityBox->isChecked();
  s.hminPl = hminBox->isChecked();
  s.hmaxSol = hmaxBox->isChecked();
  s.solstice = solsticeBox->isChecked();
  s.dRlimit = dRmaxBox->isChecked();
  s.fileTrace = fileTraceBox->isChecked();
  s.fileParam = fileParamBox->isChecked();
  s.fileBad = fileBadBox->isChecked();
  s.showPtab = precBox->isChecked();
  s.earth = static_cast<ObsTheory>(earthGroup->Selected());
  s.planet = static_cast<ObsTheory>(planetGroup->Selected());
  s.criterion = criterionGroup->Selected() == 1 ? ObsCriterion::dL : ObsCriterion::dR;
  s.live.Step0 = *step;
  s.live.StepDiv = static_cast<std::int16_t>(std::lround(*div));
  s.live.dRmax = *dRmax;
  s.live.pause = pauseBox->isChecked();
  s.live.pauseMs = static_cast<int>(*pause);
  MT_ = *mt, MAlfa_ = *ma, MdAlfa_ = *mda, MdR_ = *mdr, dY_ = *dy;
  return s;
}

// The plot scales, read again at every step (they may change during a run);
// a field that does not hold a number or holds 0 keeps the former scale.
void ObservationScreen::ReadScales() {
  auto scale = [](QLineEdit* f, double* v, bool zeroOk) {
    if (const auto x = ui::ParseNumber(f->text()); x && (zeroOk || *x != 0)) *v = *x;
  };
  scale(mtField, &MT_, false);
  scale(mAlfaField, &MAlfa_, false);
  scale(mdAlfaField, &MdAlfa_, false);
  scale(mdRField, &MdR_, false);
  scale(dYField, &dY_, true);
}

// The fields that a run takes again before its next step; a field that does
// not hold a number keeps the former value.
void ObservationScreen::ReadLive() {
  ObsLive& l = run_->live;
  if (auto v = ui::ParseNumber(stepField->text())) l.Step0 = *v;
  if (auto v = ui::ParseNumber(stepDivField->text()); v && *v >= 1 && *v <= 32767)
    l.StepDiv = static_cast<std::int16_t>(std::lround(*v));
  if (auto v = ui::ParseNumber(dRmaxField->text())) l.dRmax = *v;
  if (auto v = ui::ParseNumber(pauseField->text()); v && *v >= 0 && *v <= 1e7) l.pauseMs = static_cast<int>(*v);
  l.pause = pauseBox->isChecked();
}

void ObservationScreen::OnStart() {
  if (timer_.isActive()) return;  // one run at a time
  auto s = ReadSettings();
  if (!s) {
    ui::Messages().Show(UserMessage{"Введите правильно данные", kTitle0});
    return;
  }
  // The plan screen's fields go into the plan: with theory "P" the planet
  // follows the zero levels and the Earth the plan's orbit.
  if (planScreen_) {
    planScreen_->ReadPlanFields();
    s->plan = PlanTheoryOf(planScreen_->state(), 0, m_);
  }
  seriesMode_ = false;
  const ActionResult refused = run_->Start(*s);
  if (refused && refused->text == kReopenFile) runLabel->setText(QString::fromUtf8(kReopenFile) + ": " + QString::fromUtf8(kReopenHint));
  else runLabel->setText(run_->Simulated() && !refused ? QString::fromUtf8(kSimulatedNote) : QString());
  if (!ui::Report(refused)) return;
  if (planScreen_) planScreen_->SetRunDates(s->day, s->month, s->year, run_->EndY());
  BeginPainting(*s);
  timer_.start(0);
}

// What every run start does to the pictures and the progress.
void ObservationScreen::BeginPainting(const ObsSettings& s) {
  JDplot_ = Cur().JDstart();
  helioBar->setValue(90);
  helioPrev_ = {};
  geoPrev_ = {};
  topoPrev_ = {};
  insetPrev_.clear();
  if (dRmaxBox->isChecked()) {
    const double y = s.live.dRmax / MdR_ + dY_;
    devPicture->Line(0, y, 20, y, QColor(0, 240, 0));
  }
  if (statBox->isChecked()) stats_.emplace(s.live.dRmax);
  runStartMs_ = QDateTime::currentMSecsSinceEpoch();
  runStartSteps_ = 0;
  period_ = 0;
  ShowRows();
}

void ObservationScreen::OnStop() {
  timer_.stop();
  // The line keeps the date reached and says that the run was stopped.
  if (!progressLabel->text().isEmpty() && !progressLabel->text().endsWith(ui::kStoppedWord))
    progressLabel->setText(progressLabel->text() + ", " + ui::kStoppedWord);
  if (SeriesRunning()) {
    series_->StopNow();
    NoteFailedExperiments();
    ShowRows();  // the date fields keep the stopped run's date
    if (series_->run()) runLabel->setText(QString::fromStdString(series_->run()->Summary()));
    ShowPlanReport();
    Show(expFromField, series_->ExpCur());
    return;
  }
  run_->RequestStop();
  if (run_->Started()) {
    ShowRows();
    runLabel->setText(QString::fromStdString(run_->Summary()));
  }
}

void ObservationScreen::OnContinue() {
  if (timer_.isActive()) return;
  if (seriesMode_) {
    if (series_ && series_->Continue()) {
      runStartMs_ = QDateTime::currentMSecsSinceEpoch();
      runStartSteps_ = series_->run()->steps();
      timer_.start(0);
    }
    return;
  }
  if (!run_->Started()) return;
  ReadLive();
  run_->Continue();
  runStartMs_ = QDateTime::currentMSecsSinceEpoch();
  runStartSteps_ = run_->steps();
  timer_.start(0);
}

void ObservationScreen::OnOneStep() {
  if (seriesMode_) {
    timer_.stop();
    if (series_ && series_->OneStep()) SeriesTurn();
    return;
  }
  if (!run_->Started()) return;
  timer_.stop();
  ReadLive();
  run_->OneStep();
  Turn();
}

void ObservationScreen::Turn() {
  if (seriesMode_) return SeriesTurn();
  if (!run_->Running()) return;
  ReadLive();
  ReadScales();
  const ObsStepResult r = run_->Step();
  AfterStep(r);
  if (run_->Running()) timer_.start(r.pauseMs);
  else if (!progressLabel->text().endsWith(ui::kStoppedWord)) progressLabel->clear();
  ui::Report(r.message);
  if (!run_->Running()) EndOfRun(r.end == ObsRunEnd::EndYear || r.end == ObsRunEnd::EndOfFile);
}

// The line of a finished run; a run that ran to its end without accepting a
// step also says why in a message.
void ObservationScreen::EndOfRun(bool plain) {
  const ObservationRun& run = Cur();
  runLabel->setText(QString::fromStdString(run.Summary()));
  if (plain && !seriesMode_ && run.NdR() == 0) ui::Messages().Show(UserMessage{run.NoStepReason(), kTitle0});
}

// Counting, painting, the fields, the planet's period on the plan screen and
// the progress line after a step of the run on the screen.
void ObservationScreen::AfterStep(const ObsStepResult& r) {
  const ObservationRun& run = Cur();
  if (r.reduced && stats_ && statBox->isChecked()) stats_->Add(run.dLpl(), run.dBpl(), run.dRpl());
  Paint(r);
  // While the run goes on without a pause the fields are refreshed at most
  // every 40 ms (some thirty fields per step would cost more than the step).
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  const bool show = !run.Running() || r.pauseMs > 0 || now - rowsShownMs_ >= 40;
  if (show) {
    rowsShownMs_ = now;
    ShowRows();
  }
  if (r.reduced) period_ = run.rows().period;
  if (show && period_ > 0 && planScreen_) planScreen_->SetPeriod(period_);
  if (!run.Running()) return;
  // Progress: the date reached, steps per second and the time left.
  const double secs = std::max(1e-3, (now - runStartMs_) / 1000.0);
  const double rate = static_cast<double>(run.steps() - runStartSteps_) / secs;
  const StepDate& d = run.stepDate();
  // The date of the step as a date: day, two-digit month, year ("17.07.774").
  const int day = static_cast<int>(std::floor(d.CurD));
  QString text = QString("дата %1.%2.%3, шагов в секунду %4")
                     .arg(day, 2, 10, QChar('0'))
                     .arg(d.CurM, 2, 10, QChar('0'))
                     .arg(d.CurY)
                     .arg(rate, 0, 'f', 1);
  if (seriesMode_) text = QString("эксперимент %1, ").arg(series_->ExpCur()) + text;
  if (src_.kind() == SourceKind::Tab && rate > 0 && run.StepCur() > 0) {
    const double daysLeft = (run.EndY() - d.CurY) * 365.25;
    text += QString(", осталось %1 с").arg(std::max(0.0, daysLeft / run.StepCur() / rate), 0, 'f', 0);
  } else if (src_.lineCount() > 0 && rate > 0) {
    text += QString(", осталось %1 с").arg(static_cast<double>(src_.lineCount() - src_.linePosition()) / rate, 0, 'f', 0);
  }
  if (show) progressLabel->setText(text);
}

// ---- experiments ----

void ObservationScreen::CreatePlan() {
  plan_ = CreateObsPlan(planGroup->Selected() == 1 ? ObsPlanKind::B5 : ObsPlanKind::O5);
  planTitle_.clear();
  if (!planScreen_) return;
  ObsPlanState& st = planScreen_->state();
  for (int i = 1; i <= kObsFactors; ++i)
    for (int e = 1; e <= kObsExperiments; ++e) st.PlanX[i][e] = plan_.PlanX[i][e];
  // The listing is for reading only; a folder that cannot take it stops nothing.
  WriteObsPlanListing(plan_, st.PlanNo, folder_);
  planScreen_->Open();
}

void ObservationScreen::RunExperiments() {
  if (timer_.isActive() || !planScreen_) return;
  auto s = ReadSettings();
  const auto first = static_cast<ui::NumberField*>(expFromField)->Integer(-32768, 32767);
  const auto last = static_cast<ui::NumberField*>(expToField)->Integer(-32768, 32767);
  if (!s || !first || !last) {
    ui::Messages().Show(UserMessage{"Введите правильно данные", kTitle0});
    return;
  }
  if (!PlanFitsDate(*s)) return;
  planScreen_->ReadPlanFields();
  ObsPlanState& st = planScreen_->state();
  series_ = std::make_unique<ObsExperimentSeries>(m_, src_);
  seriesMode_ = true;
  seriesStart_ = *s;
  for (int e = std::max(*first, 1); e <= std::min(*last, kObsExperiments); ++e)
    failedExp_[static_cast<std::size_t>(e)] = false;
  if (!ui::Report(series_->Start(*s, st, *first, *last))) return;
  if (!series_->Running()) return EndSeries();  // a reversed series runs nothing
  planScreen_->SetRunDates(s->day, s->month, s->year, series_->run()->EndY());
  Show(expFromField, series_->ExpCur());
  BeginPainting(*s);
  timer_.start(0);
}

// Before a series: a template plan is rebuilt for the date of the fields; a
// plan of another date (loaded from its file) is run only when the user
// agrees.
bool ObservationScreen::PlanFitsDate(const ObsSettings& s) {
  if (planScreen_->FollowDate()) return true;
  const ObsDate p = planScreen_->PlanDate();
  if (p.year == s.year && p.month == s.month && p.day == s.day) return true;
  const std::string question = "План составлен для даты " + SingleText(p.day) + "." + std::to_string(p.month) + "." +
                               std::to_string(p.year) + ", а дата наблюдений " + SingleText(s.day) + "." +
                               std::to_string(s.month) + "." + std::to_string(s.year) +
                               ". Выполнить эксперименты с этим планом?";
  return ui::Messages().Ask(UserMessage{question, kTitle0});
}

void ObservationScreen::SeriesTurn() {
  if (!series_->Running()) return;
  ReadScales();
  const ActionResult message = series_->Step();
  const ObsStepResult& r = series_->lastStep();
  Show(expFromField, series_->ExpCur());
  AfterStep(r);
  if (series_->ExperimentEnded()) {
    ShowPlanReport();
    if (series_->run()) runLabel->setText(QString::fromStdString(series_->run()->Summary()));
  }
  if (series_->Running()) timer_.start(r.pauseMs);
  ui::Report(message);
  if (!series_->Running() && !series_->Stopped()) EndSeries();
}

// The end of a series that was not stopped: the start date back in the date
// fields, the first experiment 1.
void ObservationScreen::EndSeries() {
  progressLabel->clear();
  NoteFailedExperiments();
  ShowSingle(dayField, seriesStart_.day);
  Show(monthField, seriesStart_.month);
  Show(yearField, seriesStart_.year);
  Show(expFromField, 1);
  OnDmyToJd();
}

void ObservationScreen::NoteFailedExperiments() {
  if (!series_) return;
  std::string list;
  for (int e = 1; e <= kObsExperiments; ++e)
    if (series_->Failed(e)) {
      failedExp_[static_cast<std::size_t>(e)] = true;
      list += (list.empty() ? "" : ", ") + std::to_string(e);
    }
  if (!list.empty())
    ui::Messages().Show(
        UserMessage{"Эксперименты № " + list + " не выполнены\r\nрегрессия по ним не рассчитывается", kTitle0});
}

void ObservationScreen::FindRegression() {
  if (!planScreen_) return;
  ObsPlanState& st = planScreen_->state();
  if (!yFuncBox->isChecked() && !yiBox->isChecked()) {
    std::string list;
    for (int e = 1; e <= kObsExperiments; ++e)
      if (failedExp_[static_cast<std::size_t>(e)]) list += (list.empty() ? "" : ", ") + std::to_string(e);
    if (!list.empty()) {
      ui::Messages().Show(UserMessage{"Эксперименты № " + list + " не выполнены\r\nрегрессия не рассчитана", kTitle0});
      return;
    }
  }
  if (yFuncBox->isChecked()) ObsTestCriterion(plan_, ObsTestY::Func, &st.Ycrit);
  else if (yiBox->isChecked()) ObsTestCriterion(plan_, ObsTestY::Index, &st.Ycrit);
  const ObsPlanKind kind = planGroup->Selected() == 1 ? ObsPlanKind::B5 : ObsPlanKind::O5;
  const ObsRegression r = FindObsRegression(plan_, kind, st.Ycrit, m_.MK);
  st.b = r.b;
  for (int c = 1; c <= 20; ++c) st.bSaved[c] = r.b[c];
  st.Yfit = r.Yfit;
  ShowPlanReport();
  // Fitted (red) and experimental (black) criterion of each experiment.
  const QColor red(250, 0, 0), black(0, 0, 1);
  obsPicture->Text(-9, -9, QString::fromUtf8("расчет"));
  obsPicture->Circle(-9.5, -9.5, 0.2, red, 1.0, true);
  obsPicture->Text(-9, -8, QString::fromUtf8("эксперимент"));
  obsPicture->Circle(-9.5, -8.5, 0.1, black, 1.0, true);
  if (r.YfitMax != 0 && std::isfinite(r.YfitMax))
    for (int j = 1; j <= r.NPlanExp; ++j) {
      const double x = j / 2.2 - 10;
      obsPicture->Circle(x, 20 * r.Yfit[j] / r.YfitMax - 10, 0.2, red, 1.0, true);
      obsPicture->Circle(x, 20 * st.Ycrit[j] / r.YfitMax - 10, 0.1, black, 1.0, true);
    }
  obsPicture->update();
}

void ObservationScreen::PlotSections() {
  if (!planScreen_) return;
  const auto scale = ui::ParseNumber(mdRField->text()), offset = ui::ParseNumber(dYField->text());
  const auto base = planScreen_->CodedOptimum();
  if (!scale || *scale == 0 || !offset || !base) {
    ui::Messages().Show(UserMessage{"Введите правильно данные", kTitle0});
    return;
  }
  const ObsCoefficients& b = planScreen_->state().b;
  devPicture->Text(2, 6,
                   "Rsr                        Eks                          Betta"
                   "                     AlfaP                         AlfaU");
  for (int i = 1; i <= kObsFactors; ++i) {
    ObsPoint x = *base;
    for (int u = 0; u <= 8; ++u) {
      x[static_cast<std::size_t>(i)] = u / 4.0 - 1;
      const double Y = ObsFitValue(b, x);
      devPicture->Circle(4 * (i - 1) + u / 2.0, Y / *scale + *offset, 0.1, BodyColour(m_, i + 1));
    }
    devPicture->Line(4 * (i - 1), 6, 4 * (i - 1), 0, QColor(0, 0, 1));
  }
  devPicture->update();
}

// The plan report on the inner heliocentric picture, cleared first.
void ObservationScreen::ShowPlanReport() {
  if (!planScreen_) return;
  ClearHelio();
  ObsPlanState st = planScreen_->state();
  double* v[] = {&st.VXsys, &st.VYsys, &st.VZsys};
  for (std::size_t i = 0; i < 3; ++i)
    if (const auto x = ui::ParseNumber(vsys[i]->text())) *v[i] = *x * 1000;
  for (const ReportItem& item : ObsPlanReport(st, planTitle_, m_.MK))
    helioPicture->Text(item.x, item.y, QString::fromStdString(item.text));
  helioPicture->update();
}

void ObservationScreen::ShowRows() {
  const ObsRows& w = Cur().rows();
  Show(etUtField, w.etUtMinutes);
  Show(jdField, w.jdUt);
  ShowSingle(dayField, w.date.day);
  Show(monthField, w.date.month);
  Show(yearField, w.date.year);
  Show(j2000, w.theoryJ2000);
  Show(azAlt, w.azAlt);
  Show(corrections[0], w.nutation);
  Show(corrections[1], w.refraction);
  Show(corrections[2], w.parallax);
  Show(corrections[3], w.aberrPl);
  Show(corrections[4], w.aberrZv);
  Show(theoryRow, w.theory);
  Show(sourceRow, w.source);
  Show(deviationRow, w.deviation);
  Show(means, w.mean);
  Show(absMeans, w.absMean);
  Show(dRField, w.dRpl);
  Show(ndRField, w.NdR);
  Show(criterionField, w.criterion);
  Show(precField, w.PrecA);
}

// ---- pictures ----

void ObservationScreen::ClearPictures() {
  ClearGrids();
  devPicture->Clear();
  for (int x = 1; x <= 19; ++x) devPicture->Line(x, 0, x, 6, kGrid);
  for (int y : {1, 2, 4, 5}) devPicture->Line(0, y, 20, y, kGrid);
  devPicture->Line(0, 3, 20, 3, kAxis);
}

// The observation and the heliocentric pictures (a new scale leaves the
// deviation plot as it is).
void ObservationScreen::ClearGrids() {
  obsPicture->Clear();
  for (int v = -8; v <= 8; v += 2) {
    obsPicture->Line(v, -10, v, 10, kGrid);
    obsPicture->Line(-10, v, 10, v, kGrid);
  }
  obsPicture->Line(0, -10, 0, 10, kAxis);
  obsPicture->Line(-10, 0, 10, 0, kAxis);
  geoPrev_ = {};
  topoPrev_ = {};
  ClearHelio();
}

void ObservationScreen::ClearHelio() {
  helioPicture->Clear();
  for (int v = 2; v < 20; v += 2) helioPicture->Line(v, 0, v, 120, kGrid);
  for (int v = 2; v < 120; v += 2) helioPicture->Line(0, v, 20, v, kGrid);
  helioPrev_ = {};
  insetPrev_.clear();
}

void ObservationScreen::ScaleChanged() {
  const int v = scaleBar->value();
  Mxy_ = v * 1e8;
  scaleLabel->setText("Масштаб = " + ui::FormatNumber(v / 10.0) + " млн.км/см");
  if (obsPicture) ClearGrids();
}

void ObservationScreen::HelioScrolled() {
  const int top = (kInnerH - helioFrame->viewport()->height()) * helioBar->value() / 200;
  helioFrame->verticalScrollBar()->setValue(top);
}

void ObservationScreen::Paint(const ObsStepResult& r) {
  if (!r.reduced && !r.rejected) return;
  const int Npl = Cur().settings().Npl;
  const bool rays = raysBox->isChecked(), trails = trailsBox->isChecked();
  // Heliocentric picture: the Sun, the Earth and the planet in plan and side
  // view, from the heliocentric vectors of the step (the Sun in the middle).
  const HelioView& hv = Cur().helio();
  const int bodies[3] = {0, 3, Npl};
  for (std::size_t i = 0; i < 3; ++i) {
    const int k = bodies[i];
    if (k < 0 || k > 10 || !hv.valid) continue;
    const std::array<double, 3> zero{};
    const std::array<double, 3>& v = i == 0 ? zero : i == 1 ? hv.earth : hv.planet;
    const double x = v[0] / Mxy_, y = v[1] / Mxy_, z = v[2] / Mxy_;
    const double rad = i == 0 ? 0.5 : 0.2;
    Drawn& prev = helioPrev_[i];
    if (!trails && prev.valid) {
      helioPicture->Circle(10 + prev.x, 10 + prev.y, rad, kWhite, 1.0, true);
      helioPicture->Circle(10 + prev.x, 21 + prev.z, rad, kWhite, 1.0, true);
      if (rays && i > 0) {
        helioPicture->Line(10, 10, 10 + prev.x, 10 + prev.y, kWhite);
        helioPicture->Line(10, 21, 10 + prev.x, 21 + prev.z, kWhite);
      }
    }
    const QColor c = i == 0 ? kSunFill : BodyColour(m_, k);
    if (rays && i > 0) {
      helioPicture->Line(10, 10, 10 + x, 10 + y, c);
      helioPicture->Line(10, 21, 10 + x, 21 + z, c);
    }
    helioPicture->Circle(10 + x, 10 + y, rad, c, 1.0, true);
    helioPicture->Circle(10 + x, 21 + z, rad, c, 1.0, true);
    prev = {true, x, y, z};
  }
  // Observation picture in the chosen view; the trace inset of the step.
  if (viewGroup->Selected() == 0) PaintGeo(Npl, rays, trails);
  else PaintHorizon(rays, trails);
  if (Cur().settings().fileTrace) PaintInset();
  // Deviation plot.
  const double D = src_.kind() == SourceKind::Tab ? 1.0 : -1.0;
  const double X = (Cur().JDut() - JDplot_) * D / 365.25 / MT_;
  if (theoryViewBox->isChecked()) {
    if (lBox->isChecked()) devPicture->Point(X, Cur().Lteor() / MAlfa_ + dY_, QColor(0, 0, 255));
    if (bBox->isChecked()) devPicture->Point(X, Cur().Bteor() / MdAlfa_ + dY_, QColor(50, 0, 200));
  }
  if (sourceViewBox->isChecked()) {
    if (lBox->isChecked()) devPicture->Point(X, Cur().Lnab() / MAlfa_ + dY_, QColor(220, 250, 0));
    if (bBox->isChecked()) devPicture->Point(X, Cur().Bnab() / MdAlfa_ + dY_, QColor(220, 250, 0));
  }
  if (dLdBBox->isChecked()) {
    devPicture->Point(X, Cur().dLpl() / MdAlfa_ + 3 + dY_, QColor(255, 0, 0));
    devPicture->Point(X, Cur().dBpl() / MdAlfa_ + 3 + dY_, QColor(0, 130, 130));
  }
  if (dRBox->isChecked()) {
    const double y = Cur().dRpl() / MdR_ + dY_;
    if (r.rejected) devPicture->Circle(X, y, 0.15, QColor(0, 0, 200));
    else devPicture->Point(X, y, QColor(0, 0, 200));
  }
  if (dRsrBox->isChecked()) {
    const double c = Cur().rows().criterion;
    const double y = Cur().settings().criterion == ObsCriterion::dR ? c / MdR_ + dY_ : c / 3600 / MdAlfa_ + dY_;
    devPicture->Point(X, y, Qt::black);
  }
  obsPicture->update();
  helioPicture->update();
  devPicture->update();
}

// Geocentric ecliptic view: the planet and the Earth in plan (about 0, 0) and
// side view (about 0, 11), the rays toward the place of the source.
void ObservationScreen::PaintGeo(int Npl, bool rays, bool trails) {
  if (Npl < 0 || Npl > 10) return;
  const GeoView& g = Cur().geo();
  if (!g.valid) return;
  const double x = g.planet[0] / Mxy_, y = g.planet[1] / Mxy_, z = g.planet[2] / Mxy_;
  const double rx = 20 * g.ray[0], ry = 20 * g.ray[1], rz = 20 * g.ray[2];
  if (!trails && geoPrev_[0].valid) {
    obsPicture->Circle(geoPrev_[0].x, geoPrev_[0].y, 0.2, kWhite, 1.0, true);
    obsPicture->Circle(geoPrev_[0].x, geoPrev_[0].z + 11, 0.2, kWhite, 1.0, true);
  }
  if (rays && geoPrev_[1].valid) {
    obsPicture->Line(0, 0, geoPrev_[1].x, geoPrev_[1].y, kWhite);
    obsPicture->Line(0, 11, geoPrev_[1].x, 11 + geoPrev_[1].z, kWhite);
  }
  if (rays) {
    obsPicture->Line(0, 0, rx, ry, BodyColour(m_, Npl));
    obsPicture->Line(0, 11, rx, 11 + rz, BodyColour(m_, Npl));
    geoPrev_[1] = {true, rx, ry, rz};
  }
  obsPicture->Circle(0, 0, 0.2, BodyColour(m_, 3), 1.0, true);
  obsPicture->Circle(x, y, 0.2, BodyColour(m_, Npl), 1.0, true);
  obsPicture->Circle(x, z + 11, 0.2, BodyColour(m_, Npl), 1.0, true);
  geoPrev_[0] = {true, x, y, z};
}

// Topocentric horizontal view: the elevation above the horizon line (y = 6)
// and the plan about the observer (0, −6), west to the right, south up.
void ObservationScreen::PaintHorizon(bool rays, bool trails) {
  const HorizonView& h = Cur().horizon();
  if (!h.valid) return;  // drawn only by a step that passed the visibility test
  const QColor blue(0, 0, 255), green(0, 200, 0);
  if (!trails)
    for (const Drawn& d : topoPrev_) {
      if (!d.valid) continue;
      obsPicture->Circle(d.x, d.z + 6, 0.5, kWhite, 1.0, true);
      obsPicture->Circle(d.x, d.y - 6, 0.5, kWhite, 1.0, true);
    }
  if (rays && topoPrev_[0].valid) obsPicture->Line(0, -6, topoPrev_[0].x, topoPrev_[0].y - 6, kWhite);
  // "Юг" heads the picture: its upper edge is y = 10.
  obsPicture->Text(0.5, 10, QString::fromUtf8("Юг"));
  obsPicture->Text(-10, 6, QString::fromUtf8("горизонт"));
  obsPicture->Text(-10, -6, QString::fromUtf8("Восток"));
  // "Запад" from x = 7, moved left as far as it would run over the edge.
  const QString west = QString::fromUtf8("Запад");
  const double unitPx = obsPicture->ToPixel(1, 0).x() - obsPicture->ToPixel(0, 0).x();
  const double overflow = obsPicture->TextRect(7, -6, west).right() + 1 - obsPicture->ToPixel(10, -6).x();
  obsPicture->Text(7 - std::max(0.0, overflow) / unitPx, -6, west);
  obsPicture->Line(-10, 6, 10, 6, blue);
  obsPicture->Circle(0, 4, 2, blue, 1.0, true);
  obsPicture->Circle(0, -6, 2, blue, 1.0, true);
  const std::array<double, 3>* vectors[2] = {&h.planet, &h.sun};
  for (std::size_t i = 0; i < 2; ++i) {
    const auto& v = *vectors[i];
    const Drawn d{true, v[0] / Mxy_, v[1] / Mxy_, v[2] / Mxy_};
    obsPicture->Circle(d.x, d.z + 6, 0.5, kSunFill, 1.0, true);
    obsPicture->Circle(d.x, d.y - 6, 0.5, kSunFill, 1.0, true);
    topoPrev_[i] = d;
  }
  if (rays) obsPicture->Line(0, -6, topoPrev_[0].x, topoPrev_[0].y - 6, green);
}

// The trace of the step's stages printed in the heliocentric picture at x = 1;
// the texts of the previous step are first drawn over in white.
void ObservationScreen::PaintInset() {
  for (const InsetLine& l : insetPrev_) helioPicture->Text(1, l.y, QString::fromStdString(l.text), kWhite);
  insetPrev_ = Cur().inset();
  for (const InsetLine& l : insetPrev_) helioPicture->Text(1, l.y, QString::fromStdString(l.text));
}

// ---- dates ----

void ObservationScreen::OnDmyToJd() {
  const auto d = ui::ParseNumber(dayField->text()), mo = ui::ParseNumber(monthField->text()),
             y = ui::ParseNumber(yearField->text());
  if (!d || !mo || !y || std::fabs(*mo) > 1e6 || std::fabs(*y) > 1e7 || std::fabs(*d) > 1e7) {
    ui::Messages().Show(UserMessage{kWrongDate, kTitle0});
    return;
  }
  m_.JD = FieldJD(Calendar(), static_cast<std::int32_t>(std::lround(*y)), static_cast<std::int32_t>(std::lround(*mo)),
                  static_cast<float>(*d), m_.JD);
  Show(jdField, m_.JD);
}

void ObservationScreen::OnJdToDmy() {
  const auto jd = ui::ParseNumber(jdField->text());
  UserMessage failure;
  const auto date = jd ? JdToDmy(Calendar(), *jd, &failure) : std::nullopt;
  if (!date) {
    ui::Messages().Show(jd ? failure : UserMessage{kWrongDate, kTitle0});
    return;
  }
  m_.JD = *jd;
  Show(dayField, date->day);
  Show(monthField, date->month);
  Show(yearField, date->year);
}

void ObservationScreen::OnJd0() {
  if (run_->Started()) {
    ShowSingle(dayField, run_->settings().day);
    Show(monthField, run_->settings().month);
    Show(yearField, run_->settings().year);
  }
  OnDmyToJd();
}

void ObservationScreen::OnClose() {
  OnStop();
  src_.CloseSources();
  ShowServed();
  tableGroup->blockSignals(true);
  obsGroup->blockSignals(true);
  tableGroup->Select(0);
  obsGroup->Select(0);
  tableGroup->blockSignals(false);
  obsGroup->blockSignals(false);
  if (planScreen_) planScreen_->hide();
  hide();
}

void ObservationScreen::OnStatistics() {
  // The scale is read as a 32-bit integer: "2,5" is rounded.
  const auto S = ParseFieldInt32(mdRField->text().toStdString());
  const UserMessage wrong{kWrongScale, kTitle0};
  if (!S || *S == 0 || !stats_) {
    ui::Messages().Show(wrong);
    return;
  }
  // Each distribution within the part of its picture that is seen, with its
  // caption above it.
  // x = left + k·x of the curve (0..19 or −10..9).
  const auto draw = [S, this](ui::Picture* p, StatCurve c, double bottom, double top, double left = 0, double k = 1) {
    const auto pts = StatPolylineWithin(*stats_, c, *S, bottom, top);
    auto X = [&](double x) { return left + k * x; };
    for (std::size_t i = 1; i < pts.size(); ++i)
      p->Line(X(pts[i - 1][0]), pts[i - 1][1], X(pts[i][0]), pts[i][1], Qt::black);
    p->update();
  };
  obsPicture->Text(0, 8, "dLpl");
  draw(obsPicture, StatCurve::dL, -9.8, 7);
  // The heliocentric picture is seen through its frame (18 pixels a unit),
  // both ways.
  const double unitPx = helioPicture->height() / 120.0;
  const double seenTop = 120 - helioFrame->verticalScrollBar()->value() / unitPx;
  const double seenBottom = seenTop - helioFrame->viewport()->height() / unitPx;
  const double seenLeft = helioFrame->horizontalScrollBar()->value() / unitPx;
  const double seenWidth = helioFrame->viewport()->width() / unitPx;
  helioPicture->Text(seenLeft + 0.45 * seenWidth, seenTop - 0.3, "dBpl");
  draw(helioPicture, StatCurve::dB, seenBottom + 0.3, seenTop - 1.5, seenLeft + 0.2, (seenWidth - 0.4) / 19);
  devPicture->Text(10, 5, "dRpl");
  draw(devPicture, StatCurve::dR, 0.05, 4.2);
  if (!statBox->isChecked()) return;
  const ObsMeans means{Cur().NdR(), Cur().MeanAbsDL(), Cur().MeanAbsDB(), Cur().MeanDR()};
  ui::Report(WriteStatReport(folder_, *stats_, Cur().settings().Npl, src_.name(), means));
}

void ObservationScreen::PrepareScreenshot() {}

}  // namespace torvik
