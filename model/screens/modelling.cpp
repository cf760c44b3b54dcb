#include "model/screens/modelling.h"

#include <QEvent>
#include <QSignalBlocker>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QTime>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/fields.h"
#include "core/textfile.h"
#include "model/compare.h"
#include "model/de405.h"
#include "model/de405_files.h"
#include "model/imitators.h"
#include "params/screens/parameters.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr double kOverviewScale = 1.8e12;  // metres per unit of the overview
constexpr double kOverviewHalf = 3.9;      // the overview spans −3.9..3.9 both ways
const QColor kGrid(70, 70, 70);
const QColor kAxis(100, 100, 100);
const QColor kText(230, 230, 230);
// The logarithmic scale bar: position p shows the scale 10^(p / 1000).
constexpr int kScaleSteps = 1000;  // positions per factor of ten
constexpr double kMarkRadius = 0.06;
constexpr const char* kCompareDuringRun = "Сравнение имитаторов - после остановки расчета";
constexpr const char* kNoteGap = "  |  ";
const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kGreen(0, 250, 0);

QLineEdit* Output(int width = 96) {
  auto* f = new QLineEdit;
  f->setReadOnly(true);
  f->setFixedWidth(width);
  return f;
}

QLineEdit* Input(double value, int width = 60) {
  auto* f = new ui::NumberField(value);
  f->setFixedWidth(width);
  f->setCursorPosition(0);
  return f;
}

// A number in an output field, shown from its first digit.
void Show(QLineEdit* f, double v) { ui::ShowNumber(f, v); }

QLabel* Caption(const QString& text) { return new QLabel(text); }

// Pixels per unit of the main picture from the size of the display (at least
// 1366 × 728 is assumed), so that the screen fits 1366 × 768 and grows on a
// larger display.
int UnitPixels() {
  QSize available(1366, 728);
  if (const QScreen* s = QGuiApplication::primaryScreen()) available = available.expandedTo(s->availableGeometry().size());
  return std::clamp(std::min((available.height() - 130) / 22, (available.width() - 920) / 20), 20, 40);
}

QString RussianDuration(double s) {
  if (!std::isfinite(s) || s < 0) return "?";
  if (s < 120) return QString::number(std::lround(s)) + " с";
  if (s < 7200) return ui::FormatNumber(std::round(s / 6.0) / 10.0) + " мин";
  return ui::FormatNumber(std::round(s / 360.0) / 10.0) + " ч";
}

}  // namespace

ModellingScreen::ModellingScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder)
    : ui::Screen(kModellingTitle), m_(m), nav_(nav), folder_(std::move(folder)), run_(m) {
  run_.onUpdate = [this](const ModelRun&) { ScreenUpdate(); };
  run_.onExtremum = [this](const ModelRun&) { PlotExtremum(); };
  run_.onPlanEnd = [this](const ModelRun&) { planEnded_ = true; };
  connect(&runner_, &ui::BatchRunner::Finished, this, [this] {
    ShowFields(true);
    if (!planEnded_) return;
    planEnded_ = false;
    emit PlanRunEnded(QString::number(QTime(0, 0).secsTo(QTime::currentTime())));
  });
}

ModellingScreen::~ModellingScreen() { runner_.Cancel(); }

void ModellingScreen::Build() {
  auto* root = new QHBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  root->setSpacing(8);

  const int u = UnitPixels();
  auto* left = new QVBoxLayout;
  root->addLayout(left);
  picture = new ui::Picture(20 * u, 22 * u);
  picture->SetBackground(Qt::black);
  left->addWidget(picture);
  auto* scaleRow = new QHBoxLayout;
  scaleLabel = Caption("Масштаб орбит = 300 млн. км/см");
  startField = new QLineEdit;
  startField->setFixedWidth(70);
  ui::SetFieldNote(startField, "Пуск от формы плана: время (секунды от полуночи), записанное формой 5; "
                               "его запись начинает эксперимент");
  scaleRow->addWidget(scaleLabel);
  scaleRow->addStretch();
  scaleRow->addWidget(startField);
  left->addLayout(scaleRow);
  scaleBar = new QScrollBar(Qt::Horizontal);
  scaleBar->setRange(0, 4 * kScaleSteps);  // 1..10000
  scaleBar->setSingleStep(kScaleSteps / 20);
  scaleBar->setPageStep(kScaleSteps / 4);
  scaleBar->setValue(static_cast<int>(std::lround(std::log10(3000.0) * kScaleSteps)));
  left->addWidget(scaleBar);
  progressLabel = Caption(QString());
  left->addWidget(progressLabel);
  nextRunLabel = Caption(QString());
  nextRunLabel->setWordWrap(true);
  left->addWidget(nextRunLabel);
  left->addStretch();

  auto* middle = new QVBoxLayout;
  root->addLayout(middle);
  overview = new ui::Picture(10 * u, 10 * u);
  overview->SetBackground(Qt::black);
  overview->installEventFilter(this);
  overview->setCursor(Qt::CrossCursor);
  middle->addWidget(overview, 0, Qt::AlignHCenter);
  middle->addLayout(BuildInputs());
  middle->addStretch();

  auto* right = new QVBoxLayout;
  root->addLayout(right);
  right->addLayout(BuildResults());
  right->addStretch();

  WireActions();
  ShowStartState();
}

QLayout* ModellingScreen::BuildInputs() {
  auto* v = new QVBoxLayout;
  v->setSpacing(2);
  useGroup = new ui::OptionGroup("использовать", {"модель", "имитатор"}, 0, Qt::Horizontal);
  modelGroup = new ui::OptionGroup("модель", {"Классика", "ОТО"}, 0, Qt::Horizontal);
  imitatorGroup = new ui::OptionGroup("имитатор", {"New", "APC", "JPL", "Mox"}, 2, Qt::Horizontal);
  dirGroup = new ui::OptionGroup("время идет", {"Вперед", "Назад"}, 0, Qt::Horizontal);
  for (QWidget* group : {useGroup, modelGroup, imitatorGroup, dirGroup}) v->addWidget(group);

  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  v->addLayout(g);
  int row = 0;
  powRField = Input(2);
  g->addWidget(Caption("F=G*m*M/R^"), row, 0);
  g->addWidget(powRField, row++, 1);
  vgrBox = ui::MakeCheck("Vgr = Vsv *", false);
  vgrField = Input(1);
  g->addWidget(vgrBox, row, 0);
  g->addWidget(vgrField, row++, 1);
  watchBox = ui::MakeCheck("Найти показатели планеты №", true);
  planetField = Input(1);
  g->addWidget(watchBox, row, 0);
  g->addWidget(planetField, row++, 1);
  alfaField = Input(1);
  g->addWidget(Caption("при +/- Alfa, град="), row, 0);
  g->addWidget(alfaField, row++, 1);
  stepField = Input(3600);
  nRedField = Input(100, 45);
  auto* stepRow = new QHBoxLayout;
  stepRow->addWidget(stepField);
  stepRow->addWidget(Caption("/"));
  stepRow->addWidget(nRedField);
  stepRow->addStretch();
  g->addWidget(Caption("Шаг решения, с"), row, 0);
  g->addLayout(stepRow, row++, 1);
  nOutField = Input(1000);
  auto* outRow = new QHBoxLayout;
  outRow->addWidget(nOutField);
  outRow->addWidget(Caption("шагов"));
  outRow->addStretch();
  g->addWidget(Caption("с выводом через"), row, 0);
  g->addLayout(outRow, row++, 1);
  endYearBox = ui::MakeCheck("эксперимент закончить в", true);
  endYearField = Input(2001);
  auto* endRow = new QHBoxLayout;
  endRow->addWidget(endYearField);
  endRow->addWidget(Caption("году"));
  endRow->addStretch();
  g->addWidget(endYearBox, row, 0);
  g->addLayout(endRow, row++, 1);

  return v;
}

QLayout* ModellingScreen::BuildResults() {
  auto* v = new QVBoxLayout;
  v->setSpacing(3);
  auto* g = new QGridLayout;
  g->setVerticalSpacing(2);
  g->setHorizontalSpacing(4);
  v->addLayout(g);
  const char* names[] = {"AlfaP, град", "AlfaU, град", "Betta, град", "Eks", "Rsr, тыс.км.", "Period, дни"};
  const char* drifts[] = {"dAlfaP, сек", "dAlfaU, сек", "dBetta, сек", "dEks", "dRsr,тыс.км", "dPeriod, дни"};
  for (int r = 0; r < 6; ++r) {
    g->addWidget(Caption(names[r]), r, 0);
    g->addWidget(results[r].reference = Output(), r, 1);
    g->addWidget(results[r].current = Output(), r, 2);
    g->addWidget(driftBoxes[r] = ui::MakeCheck(drifts[r], false), r, 3);
    g->addWidget(results[r].drift = Output(), r, 4);
  }
  int row = 6;
  auto dateRow = [&](const QString& caption, std::array<QLineEdit*, 3>& fields) {
    auto* h = new QHBoxLayout;
    h->setSpacing(2);
    fields = {Output(44), Output(30), Output(48)};
    for (QLineEdit* f : fields) h->addWidget(f);
    h->addStretch();
    g->addWidget(Caption(caption), row, 0);
    g->addLayout(h, row, 1, 1, 2);
  };
  dateRow("AlfaP пройден", periDate);
  g->addWidget(Caption("К-во оборотов, шт"), row, 3);
  g->addWidget(nRevField = Output(), row++, 4);
  dateRow("AlfaU пройден", nodeDate);
  g->addWidget(Caption("AlfaEklip, град"), row, 3);
  g->addWidget(alfaEklipField = Output(), row++, 4);
  dateRow("дата", date);
  g->addWidget(Caption("JD="), row, 3, Qt::AlignRight);
  g->addWidget(jdField = new ui::NumberField, row++, 4);
  jdField->setFixedWidth(92);

  const char* coords[] = {"X, тыс.км", "Y, тыс.км", "Z, тыс.км"};
  for (int c = 0; c < 3; ++c) {
    coordBoxes[c] = ui::MakeCheck(coords[c], false);
    coordFields[c] = Output();
  }
  g->addWidget(coordBoxes[0], row, 0);
  g->addWidget(coordFields[0], row, 1);
  g->addWidget(Caption(" dTmod, лет"), row, 3);
  g->addWidget(dTmodField = Output(), row++, 4);
  g->addWidget(coordBoxes[1], row, 0);
  g->addWidget(coordFields[1], row, 1);
  g->addWidget(Caption("dTreal, час"), row, 3);
  g->addWidget(dTrealField = Output(), row++, 4);
  g->addWidget(coordBoxes[2], row, 0);
  g->addWidget(coordFields[2], row, 1);
  energyBox = ui::MakeCheck("dEsys, dMsys, %", false);
  g->addWidget(energyBox, row, 2, 1, 2, Qt::AlignRight);
  auto* energy = new QHBoxLayout;
  energy->setSpacing(2);
  energy->addWidget(dEsysField = Output(60));
  energy->addWidget(dMsysField = Output(60));
  g->addLayout(energy, row++, 4);

  auto* scales = new QHBoxLayout;
  scales->setSpacing(4);
  scales->addWidget(Caption("MdAlfa, сек/см"));
  scales->addWidget(mdAlfaField = Input(100, 50));
  scales->addWidget(Caption("Mx, тыс.км/см "));
  scales->addWidget(mxField = Input(10000, 55));
  scales->addWidget(Caption("MT, лет/см"));
  scales->addWidget(mtField = Input(100, 45));
  scales->addWidget(Caption("dY, см"));
  scales->addWidget(dYField = Input(0, 40));
  scales->addStretch();
  v->addLayout(scales);

  auto* checks = new QHBoxLayout;
  animationBox = ui::MakeCheck("Анимация", true);
  trailsBox = ui::MakeCheck("Траектории ", false);
  xsolBox = ui::MakeCheck("Xsol=0", false);
  checks->addWidget(animationBox);
  checks->addWidget(trailsBox);
  checks->addWidget(xsolBox);
  checks->addStretch();
  v->addLayout(checks);

  auto* files = new QGridLayout;
  files->setVerticalSpacing(2);
  orbitFileBox = ui::MakeCheck("Записать параметры орбиты планеты ", false);
  nFileField = Input(1, 45);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(Caption("в файл №"));
  fileRow->addWidget(nFileField);
  fileRow->addStretch();
  traceBox = ui::MakeCheck("Записать координаты  X, Y, Z", false);
  files->addWidget(orbitFileBox, 0, 0, 1, 2);
  files->addWidget(traceBox, 1, 0);
  files->addLayout(fileRow, 1, 1);
  v->addLayout(files);

  auto* buttons = new QGridLayout;
  buttons->setVerticalSpacing(3);
  startButton = ui::MakeButton("Начать");
  stopButton = ui::MakeButton("Остановить");
  continueButton = ui::MakeButton("Продолжить");
  nc0Button = ui::MakeButton("NC0 шагов");
  compareButton = ui::MakeButton("Сравнение имитаторов");
  vgrTestButton = ui::MakeButton("Тест Vgr*");
  toParamsButton = ui::MakeButton("К параметрам");
  toStatsButton = ui::MakeButton("К статистике");
  toPlanButton = ui::MakeButton("К плану");
  exitButton = ui::MakeButton("Выход");
  buttons->addWidget(startButton, 0, 0);
  buttons->addWidget(stopButton, 0, 1);
  buttons->addWidget(continueButton, 0, 2);
  buttons->addWidget(nc0Button, 0, 3);
  buttons->addWidget(compareButton, 1, 0, 1, 2);
  buttons->addWidget(vgrTestButton, 1, 2);
  buttons->addWidget(toParamsButton, 2, 0);
  buttons->addWidget(toStatsButton, 2, 1);
  buttons->addWidget(toPlanButton, 2, 2);
  buttons->addWidget(exitButton, 2, 3);
  v->addSpacing(6);
  v->addLayout(buttons);
  return v;
}

void ModellingScreen::WireActions() {
  connect(startButton, &QPushButton::clicked, this, [this] { OnStart(); });
  connect(stopButton, &QPushButton::clicked, this, [this] { OnStop(); });
  connect(continueButton, &QPushButton::clicked, this, [this] { OnContinue(); });
  connect(nc0Button, &QPushButton::clicked, this, [this] { OnStepBatch(); });
  connect(compareButton, &QPushButton::clicked, this, [this] { OnCompare(); });
  connect(vgrTestButton, &QPushButton::clicked, this, [this] { nav_.Show("vgrtest"); });
  connect(toParamsButton, &QPushButton::clicked, this, [this] { nav_.Show("parameters"); });
  connect(toStatsButton, &QPushButton::clicked, this, [this] { ToStatistics(); });
  connect(vgrField, &QLineEdit::textChanged, this, [this] { ShowNextRun(); });
  connect(vgrBox, &QCheckBox::toggled, this, [this] { ShowNextRun(); });
  connect(toPlanButton, &QPushButton::clicked, this, [this] { nav_.Show("optimization"); });
  connect(exitButton, &QPushButton::clicked, this, [this] {
    run_.RequestStop();
    runner_.Cancel();
    nav_.CloseAll();
  });
  connect(startField, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!text.isEmpty()) OnStart();
  });
  connect(scaleBar, &QScrollBar::valueChanged, this, [this] { ScaleChanged(); });
}

void ModellingScreen::TriggerStart(const QString& timerValue) {
  EnsureBuilt();
  startField->setText(timerValue);
}

// What a run started now takes from the model and the fields: the
// Solar-System velocity (km/s) and the gravity speed.
void ModellingScreen::ShowNextRun() {
  if (!nextRunLabel) return;
  QString vgr = "Vgr = бесконечность";
  if (vgrBox->isChecked()) vgr = "Vgr = Vsv * " + vgrField->text();
  nextRunLabel->setText(ui::LocaleText("Для расчета: VXsys = " + ShortestText(m_.VXsys) + "   VYsys = " +
                                       ShortestText(m_.VYsys) + "   VZsys = " + ShortestText(m_.VZsys) +
                                       " км/с,   ") +
                        vgr);
}

// "К статистике": after a run with an orbit file the statistics screen
// opens on that file (plan, planet and file number, or the imitator).
void ModellingScreen::ToStatistics() {
  ui::Screen* st = nav_.Show("statistics");
  if (!st || !run_.Started() || !run_.settings().writeOrbit) return;
  const RunSettings& s = run_.settings();
  const bool imitator = s.imitatorMode && s.imitator;
  const QString folder = imitator ? QString::fromStdString(ImitatorFolder(s.imitator->Kind())) : QString();
  QMetaObject::invokeMethod(st, "SelectRun", Q_ARG(bool, imitator), Q_ARG(QString, folder), Q_ARG(int, run_.planNo()),
                            Q_ARG(int, s.PlanetNo), Q_ARG(int, run_.active().NFile));
}

void ModellingScreen::Activated() {
  ShowNextRun();
  // A new start state set up on the parameters screen is shown; a run that
  // is active or paused keeps its pictures.
  if (runner_.Active() || run_.Started()) return;
  if (m_.JDstart != shownJDstart_ || m_.X0 != shownX0_ || m_.Y0 != shownY0_ || m_.Z0 != shownZ0_) ShowStartState();
}

// The state when the screen is loaded: every body at its initial position,
// both pictures drawn, the start date in the three groups of date fields.
void ModellingScreen::ShowStartState() {
  for (int k = 0; k <= 10; ++k) m_.X[k] = m_.X0[k], m_.Y[k] = m_.Y0[k], m_.Z[k] = m_.Z0[k];
  KeepDrawnPositions();
  shownJDstart_ = m_.JDstart;
  shownX0_ = m_.X0, shownY0_ = m_.Y0, shownZ0_ = m_.Z0;
  if (!scaleChosen_) {
    // The watched planet's orbit, aphelion to aphelion, across four fifths of the picture.
    scaleChosen_ = true;
    const auto p = ParseFieldInt32(planetField->text().toStdString()).value_or(1);
    if (p >= 1 && p <= 10 && m_.R0sr[p] > 0) {
      const double aphelion = m_.R0sr[p] * (1 + std::fabs(m_.Eks0[p]));
      const QSignalBlocker quiet(scaleBar);
      SetScaleValue(aphelion / 8 / 1e8);
      scaleLabel->setText("Масштаб = " + ui::FormatNumber(ScaleValue() / 10.0) + " млн.км/см");
    }
  }
  mxy_ = ScaleValue() * 1e8;
  ReadScales();
  for (auto* d : {&periDate, &nodeDate, &date}) ShowDate(*d, m_.DateY, m_.DateM, m_.DateD);
  Show(jdField, m_.JDstart);
  Redraw();
}

void ModellingScreen::ShowDate(const std::array<QLineEdit*, 3>& fields, int year, int month, float day) {
  fields[0]->setText(ui::LocaleText(SingleText(day)));
  fields[1]->setText(QString::number(month));
  fields[2]->setText(QString::number(year));
  for (QLineEdit* f : fields) f->setCursorPosition(0);
}

void ModellingScreen::OnStart() {
  if (runner_.Active()) return;  // one run at a time; the active one goes on
  const bool imitatorMode = useGroup->Selected() == 1;
  const int Dir = dirGroup->Selected() == 1 ? -1 : 1;
  EraseMarks();
  if (m_.PlanNo > 0) RedrawMain();

  const UserMessage bad{kMsgBadData, kTitle};
  RunSettings s;
  s.folder = folder_;
  s.imitatorMode = imitatorMode;
  s.oto = modelGroup->Selected() == 1;
  s.Dir = Dir;
  s.live.finiteSpeed = vgrBox->isChecked();
  s.watch = watchBox->isChecked();
  s.endYearOn = endYearBox->isChecked();
  s.writeOrbit = orbitFileBox->isChecked();
  s.live.energy = energyBox->isChecked();
  s.live.writeTrace = traceBox->isChecked();
  auto planet = ParseFieldInt32(planetField->text().toStdString());
  auto dY = ui::ParseNumber(dYField->text());
  auto hMain = ui::ParseNumber(stepField->text());
  auto NOut = ParseFieldInt32(nOutField->text().toStdString());
  auto NRed = ui::ParseNumber(nRedField->text());
  auto vgr = ui::ParseNumber(vgrField->text());
  auto mdAlfa = ui::ParseNumber(mdAlfaField->text());
  auto mt = ui::ParseNumber(mtField->text());
  auto mx = ui::ParseNumber(mxField->text());
  auto NFile = ParseFieldInt16(nFileField->text().toStdString());
  auto endYear = ParseFieldInt32(endYearField->text().toStdString());
  auto powR = ui::ParseNumber(powRField->text());
  auto alfa = ui::ParseNumber(alfaField->text());
  if (!planet || !dY || !hMain || !NOut || !NRed || !vgr || !mdAlfa || !mt || !mx || !NFile || !endYear || !powR ||
      !alfa || *endYear > 1000000 || *endYear < -1000000) {
    ui::Messages().Show(bad);
    return;
  }
  s.PlanetNo = *planet;
  s.live.hMain = *hMain;
  s.live.NOut = *NOut;
  s.live.NRed = *NRed;
  s.VgrFactor = *vgr;
  s.live.NFile = *NFile;
  s.endYear = *endYear;
  s.PowR = *powR;
  s.Alfa = *alfa;
  scales_ = PlotScales{*mdAlfa, *mx, *mt, *dY};
  if (auto* params = dynamic_cast<ParametersScreen*>(nav_.Find("parameters")))
    s.dataSource = params->SelectedLoadOption();

  // The source of an imitator run; the previous one stays alive until the
  // run has let it go.
  std::unique_ptr<Imitator> source;
  if (imitatorMode) {
    const ImitatorKind kinds[] = {ImitatorKind::New, ImitatorKind::Apc, ImitatorKind::Jpl, ImitatorKind::Mox};
    source = MakeImitator(kinds[std::clamp(imitatorGroup->Selected(), 0, 3)]);
    s.imitator = source.get();
  }
  planEnded_ = false;
  const ActionResult started = run_.Start(s);
  imitator_ = std::move(source);
  if (started) {
    ui::Report(started);
    return;
  }

  // The last drawn positions are the start positions.
  KeepDrawnPositions();
  for (auto* d : {&periDate, &nodeDate, &date}) ShowDate(*d, m_.DateY, m_.DateM, m_.DateD);
  Show(jdField, m_.JD0);
  ShowResults();
  RedrawOverview();
  const double f = s.live.finiteSpeed ? 1.0 : 0.0;
  captions_[0] = QString::fromStdString(run_.modeLabel()) + "      План №    " + QString::number(m_.PlanNo) +
                 "       Эксперимент №    " + QString::number(s.live.NFile);
  captions_[1] = ui::LocaleText(" VXSys = " + ShortestText(m_.VXsys) + "    VYSys = " + ShortestText(m_.VYsys) +
                                "    VZSys = " + ShortestText(m_.VZsys) + "   Vgr = " +
                                ShortestText(f * run_.Vgr() / 1000.0) + "   (км/с)");
  PrintCaptions();
  startTime_ = std::chrono::steady_clock::now();
  workSeconds_ = 0.0;
  Loop();
}

void ModellingScreen::OnStop() {
  run_.RequestStop();
  emit PlanSequenceStopped();
}

void ModellingScreen::OnContinue() {
  ReadLive();
  run_.Continue(dirGroup->Selected() == 1 ? -1 : 1);
  Loop();
}

void ModellingScreen::OnStepBatch() {
  ReadLive();
  run_.StepBatch();
  Loop();
}

void ModellingScreen::Loop() {
  if (!runner_.Active() && run_.Running()) runner_.Start([this] { return Turn(); });
}

// One batch of NOut steps (one screen update), then the fields.
bool ModellingScreen::Turn() {
  ReadLive();
  const auto t0 = std::chrono::steady_clock::now();
  BatchResult r = run_.Batch();
  const auto t1 = std::chrono::steady_clock::now();
  workSeconds_ += std::chrono::duration<double>(t1 - t0).count();
  ShowFields(!run_.Running());
  if (r.message) ui::Report(r.message);
  return run_.Running();
}

// The fields read again at every screen update; a value that is not usable
// keeps the one in force.
void ModellingScreen::ReadLive() {
  LiveSettings& l = run_.live;
  if (auto v = ui::ParseNumber(stepField->text())) l.hMain = *v;
  if (auto v = ui::ParseNumber(nRedField->text())) l.NRed = *v;
  if (auto v = ParseFieldInt32(nOutField->text().toStdString()); v && *v >= 1) l.NOut = *v;
  if (auto v = ParseFieldInt16(nFileField->text().toStdString())) l.NFile = *v;
  l.finiteSpeed = vgrBox->isChecked();
  l.energy = energyBox->isChecked();
  l.writeTrace = traceBox->isChecked();
}

void ModellingScreen::ReadScales() {
  if (auto v = ui::ParseNumber(mdAlfaField->text())) scales_.MdAlfa = *v;
  if (auto v = ui::ParseNumber(mxField->text())) scales_.Mx = *v;
  if (auto v = ui::ParseNumber(mtField->text())) scales_.MT = *v;
  if (auto v = ui::ParseNumber(dYField->text())) scales_.dYplot = *v;
}

void ModellingScreen::ShowResults() {
  const WatchFields& w = run_.fields();
  for (int r = 0; r < kWatchRows; ++r) {
    Show(results[r].reference, w.rows[r].reference);
    Show(results[r].current, w.rows[r].current);
    Show(results[r].drift, w.rows[r].drift);
  }
  ShowDate(periDate, w.perihelionDate.year, w.perihelionDate.month, w.perihelionDate.day);
  ShowDate(nodeDate, w.nodeDate.year, w.nodeDate.month, w.nodeDate.day);
  Show(nRevField, w.NRev);
}

// Every NOut steps: model time, date, coordinates and their plots, the
// animation and the energy, then the scales read again.
void ModellingScreen::ScreenUpdate() {
  ++updates_;
  const int p = run_.settings().PlanetNo;
  UpdateFigures& f = shown_;
  f.due = true;
  f.dTmod = ShownModelYears(m_, run_.tMod(), run_.h());
  f.date = run_.currentDate();
  f.JD = m_.JD;
  f.AlfaEklip = ShownAlfaEklip(run_.watch().AlfaEklip);
  f.energy = run_.active().energy && !run_.settings().imitatorMode;
  f.dEsys = run_.dEsysPercent();
  f.dMsys = run_.dMsysPercent();
  if (p >= 0 && p <= 10) {
    const double coords[] = {m_.X[p], m_.Y[p], m_.Z[p]};
    const QColor colours[] = {kRed, kBlue, kGreen};
    const double x = TimePlotX(m_, run_.tMod(), scales_);
    for (int c = 0; c < 3; ++c) {
      f.coords[c] = coords[c] / m_.MK;
      if (coordBoxes[c]->isChecked()) picture->Point(x, CoordinatePlotY(m_, coords[c], scales_), colours[c]);
    }
  }
  if (animationBox->isChecked()) {
    if (!trailsBox->isChecked()) EraseMarks();
    KeepDrawnPositions();
    DrawMarks(true);
  }
  ReadScales();
}

// The fields of the last screen update. A display shows a few dozen frames a
// second, so while a run goes on they are written at most every 40 ms: the
// repainting of the fields after every batch would cost more than the batch.
void ModellingScreen::ShowFields(bool now) {
  const auto t = std::chrono::steady_clock::now();
  if (!now && t - fieldsShownAt_ < std::chrono::milliseconds(40)) return;
  fieldsShownAt_ = t;
  UpdateFigures& f = shown_;
  if (f.due) {
    f.due = false;
    Show(dTmodField, f.dTmod);
    ShowDate(date, f.date.year, f.date.month, f.date.day);
    Show(jdField, f.JD);
    Show(alfaEklipField, f.AlfaEklip);
    for (int c = 0; c < 3; ++c) Show(coordFields[c], f.coords[c]);
    if (f.energy) {
      Show(dEsysField, f.dEsys);
      Show(dMsysField, f.dMsys);
    }
  }
  Show(dTrealField, ShownRealHours(std::chrono::duration<double>(t - startTime_).count()));
  ShowResults();
  const RunProgress p = ProgressOf(run_, m_, workSeconds_);
  // A run that "Остановить" ended says so instead of the time left.
  const bool stopped = !run_.Running() && run_.end() == RunEnd::Stopped;
  progressLabel->setText(ui::LocaleText(FormatPattern(p.years, "0.00")) + " лет модели,  " +
                         QString::number(std::lround(p.stepsPerSecond)) + " шагов/с,  " +
                         (stopped ? QString(ui::kStoppedWord) : "до конца " + RussianDuration(p.secondsLeft)) +
                         (t < noteUntil_ ? QString(kNoteGap) + kCompareDuringRun : QString()));
}

void ModellingScreen::PlotExtremum() {
  const int p = run_.settings().PlanetNo;
  const QColor colour(m_.ColR[p], m_.ColG[p], m_.ColB[p]);
  const double x = TimePlotX(m_, run_.tMod(), scales_);
  const DriftPlot kinds[] = {DriftPlot::AlfaP, DriftPlot::AlfaU, DriftPlot::Betta,
                             DriftPlot::Eks,   DriftPlot::Rsr,   DriftPlot::Period};
  for (int k = 0; k < 6; ++k)
    if (driftBoxes[k]->isChecked()) picture->Point(x, DriftPlotY(kinds[k], run_.watch(), m_, scales_), colour);
}

void ModellingScreen::KeepDrawnPositions() {
  for (int k = 0; k <= 10; ++k) drawnX_[k] = m_.X[k], drawnY_[k] = m_.Y[k], drawnZ_[k] = m_.Z[k];
  xsolDrawn_ = xsolBox->isChecked();
}

// The last marks in black: both views of the main picture and the overview.
void ModellingScreen::EraseMarks() {
  const double f = xsolDrawn_ ? 1.0 : 0.0;
  for (int k = 0; k <= m_.nObj && k <= 10; ++k) {
    const double x = drawnX_[k] - f * drawnX_[0], y = drawnY_[k] - f * drawnY_[0], z = drawnZ_[k] - f * drawnZ_[0];
    EraseMark(x / mxy_, y / mxy_);
    EraseMark(x / mxy_, z / mxy_ + 11);
    overview->Circle(x / kOverviewScale, y / kOverviewScale, 0.04, Qt::black, 1.0, true);
  }
}

// A mark of the main picture in black, then the grid, the axes and the
// caption lines that ran under it.
void ModellingScreen::EraseMark(double x, double y) {
  picture->Circle(x, y, kMarkRadius, Qt::black, 1.0, true);
  const double r = kMarkRadius + 0.05;
  const QRect hole = QRectF(picture->ToPixel(x - r, y + r), picture->ToPixel(x + r, y - r)).toAlignedRect();
  if (!QRect(QPoint(0, 0), picture->size()).intersects(hole)) return;
  for (int gx = static_cast<int>(std::ceil(x - r)); gx <= static_cast<int>(std::floor(x + r)); ++gx) {
    if (gx < -10 + panX_ - 1 || gx > 10 + panX_ + 1) continue;
    picture->Line(gx, std::max(y - r, -10.0), gx, std::min(y + r, 12.0), gx == 0 ? kAxis : kGrid);
  }
  for (int gy = static_cast<int>(std::ceil(y - r)); gy <= static_cast<int>(std::floor(y + r)); ++gy) {
    if (gy < -10 || gy > 12) continue;
    const bool axis = gy == 0 || gy == 11 || gy == scales_.dYplot;
    picture->Line(std::max(x - r, -10.0), gy, std::min(x + r, 10.0), gy, axis ? kAxis : kGrid);
  }
  if (std::fabs(y - scales_.dYplot) <= r) picture->Line(x - r, scales_.dYplot, x + r, scales_.dYplot, kAxis);
  PrintCaptions(hole);
}

void ModellingScreen::PrintCaptions(const QRect& clip) {
  const double rows[] = {-8, -9};
  for (int i = 0; i < 2; ++i) {
    if (captions_[i].isEmpty()) continue;
    if (!clip.isNull() && !picture->TextRect(-9, rows[i], captions_[i]).intersects(clip)) continue;
    picture->Text(-9, rows[i], captions_[i], kText, clip);
  }
}

// The last drawn positions in the colours of the bodies, dimmed to 0.7 below
// the ecliptic when asked.
void ModellingScreen::DrawMarks(bool dimBelowEcliptic) {
  const double f = xsolDrawn_ ? 1.0 : 0.0;
  for (int k = 0; k <= m_.nObj && k <= 10; ++k) {
    const double b = dimBelowEcliptic && drawnZ_[k] < 0 ? 0.7 : 1.0;
    const QColor c(static_cast<int>(std::lround(m_.ColR[k] * b)), static_cast<int>(std::lround(m_.ColG[k] * b)),
                   static_cast<int>(std::lround(m_.ColB[k] * b)));
    const double x = drawnX_[k] - f * drawnX_[0], y = drawnY_[k] - f * drawnY_[0], z = drawnZ_[k] - f * drawnZ_[0];
    picture->Circle(x / mxy_, y / mxy_, 0.06, c, 1.0, true);
    picture->Circle(x / mxy_, z / mxy_ + 11, 0.06, c, 1.0, true);
    overview->Circle(x / kOverviewScale, y / kOverviewScale, 0.04, c, 1.0, true);
  }
}

void ModellingScreen::Redraw() {
  RedrawMain();
  RedrawOverview();
}

void ModellingScreen::RedrawMain() {
  picture->Clear();
  picture->SetScale(panX_ - 10, panY_ + 12, panX_ + 10, panY_ - 10);
  for (int x = -10; x <= 10; ++x) picture->Line(x, -10, x, 12, kGrid);
  for (int y = -10; y <= 12; ++y) picture->Line(-10, y, 10, y, kGrid);
  for (double y : {scales_.dYplot, 0.0, 11.0}) picture->Line(-10, y, 10, y, kAxis);
  picture->Line(0, 12, 0, -10, kAxis);
  PrintCaptions();
  const double f = xsolDrawn_ ? 1.0 : 0.0;
  for (int k = 0; k <= m_.nObj && k <= 10; ++k) {
    const QColor c(m_.ColR[k], m_.ColG[k], m_.ColB[k]);
    const double x = drawnX_[k] - f * drawnX_[0], y = drawnY_[k] - f * drawnY_[0], z = drawnZ_[k] - f * drawnZ_[0];
    picture->Circle(x / mxy_, y / mxy_, 0.06, c, 1.0, true);
    picture->Circle(x / mxy_, z / mxy_ + 11, 0.06, c, 1.0, true);
  }
}

void ModellingScreen::RedrawOverview() {
  overview->Clear();
  overview->SetScale(-kOverviewHalf, kOverviewHalf, kOverviewHalf, -kOverviewHalf);
  overview->Line(-5, 0, 5, 0, kAxis);
  overview->Line(0, 4, 0, -4, kAxis);
  const double f = xsolDrawn_ ? 1.0 : 0.0;
  for (int k = 0; k <= m_.nObj && k <= 10; ++k) {
    const double x = drawnX_[k] - f * drawnX_[0], y = drawnY_[k] - f * drawnY_[0];
    overview->Circle(x / kOverviewScale, y / kOverviewScale, 0.04, QColor(m_.ColR[k], m_.ColG[k], m_.ColB[k]), 1.0,
                     true);
  }
  // The part of the plane that the main picture covers.
  const double k = mxy_ / kOverviewScale;
  const double l = (panX_ - 10) * k, r = (panX_ + 10) * k, t = (panY_ + 12) * k, b = (panY_ - 10) * k;
  const QColor grey(160, 160, 160);
  overview->Line(l, t, r, t, grey);
  overview->Line(r, t, r, b, grey);
  overview->Line(r, b, l, b, grey);
  overview->Line(l, b, l, t, grey);
}

double ModellingScreen::ScaleValue() const {
  const double v = std::pow(10.0, static_cast<double>(scaleBar->value()) / kScaleSteps);
  // Three significant digits: the caption shows a round value.
  const double unit = std::pow(10.0, std::floor(std::log10(v)) - 2);
  return std::round(v / unit) * unit;
}

void ModellingScreen::SetScaleValue(double value) {
  if (!(value > 0)) return;
  scaleBar->setValue(static_cast<int>(std::lround(std::log10(value) * kScaleSteps)));
}

void ModellingScreen::ScaleChanged() {
  const double value = ScaleValue();
  mxy_ = value * 1e8;
  scaleLabel->setText("Масштаб = " + ui::FormatNumber(value / 10.0) + " млн.км/см");
  Redraw();
}

bool ModellingScreen::eventFilter(QObject* watched, QEvent* event) {
  if (watched == overview && event->type() == QEvent::MouseButtonPress) {
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() == Qt::LeftButton) {
      const QPointF at = e->position();
      const double span = 2 * kOverviewHalf;
      const double x = -kOverviewHalf + at.x() / overview->width() * span;
      const double y = kOverviewHalf - at.y() / overview->height() * span;
      panX_ = x * kOverviewScale / mxy_;
      panY_ = y * kOverviewScale / mxy_;
      Redraw();
      return true;
    }
  }
  return ui::Screen::eventFilter(watched, event);
}

void ModellingScreen::OnCompare() {
  if (runner_.Active()) {
    // The comparison moves the Sun and the planet of the model: not during a run.
    // The run's line says so for a few seconds.
    noteUntil_ = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    progressLabel->setText(progressLabel->text().section(kNoteGap, 0, 0) + kNoteGap + kCompareDuringRun);
    return;
  }
  const UserMessage failed{"Ошибка вычислений", kTitle0};
  auto planet = ParseFieldInt32(planetField->text().toStdString());
  if (!planet) {
    ui::Messages().Show(failed);
    return;
  }
  const double jd = ui::ParseNumber(jdField->text()).value_or(m_.JD);
  const double keptJD = m_.JD;
  Comparison c;
  const ActionResult r = CompareImitators(m_, folder_, *planet, jd, c);
  m_.JD = keptJD;
  if (r) {
    // Outside the DE405 files the message gives the span they cover.
    UserMessage shown = *r;
    if (shown.text == kNoSuchDate && !(jd >= kDe405FilesFirstJD && jd <= kDe405FilesLastJD)) {
      const CalendarDate a = JDToDate(kDe405FilesFirstJD), b = JDToDate(kDe405FilesLastJD);
      shown.text += "\r\n" + std::string("файлы DE405: JD ") + NumberText(kDe405FilesFirstJD) + " .. " +
                    NumberText(kDe405FilesLastJD) + " (" + std::to_string(static_cast<int>(a.day)) + "." +
                    std::to_string(a.month) + "." + std::to_string(a.year) + " .. " +
                    std::to_string(static_cast<int>(b.day)) + "." + std::to_string(b.month) + "." +
                    std::to_string(b.year) + ")";
    }
    ui::Report(shown);
    return;
  }
  // The table from the top of the picture in the largest monospaced font that
  // holds its longest line.
  const auto lines = ComparisonLines(c);
  QString longest;
  for (const auto& l : lines) {
    const QString text = QString::fromStdString(l);
    if (text.size() > longest.size()) longest = text;
  }
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (int px = 14; px >= 6; --px) {
    mono.setPixelSize(px);
    if (QFontMetrics(mono).horizontalAdvance(longest) <= picture->width() - 6) break;
  }
  const QFont kept = picture->font();
  picture->setFont(mono);
  picture->Clear();
  const double unitPx = picture->height() / 22.0;
  const double lineHeight = std::min(QFontMetrics(mono).height() + 2.0, picture->height() / (lines.size() + 4.0)) / unitPx;
  double y = panY_ + 12 - 0.2;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    picture->Text(panX_ - 10 + 3.0 / unitPx, y, ui::LocaleText(lines[i]), kText);
    y -= lineHeight;
    if (i == 0 || i == 16) y -= lineHeight;  // the title and the half of the angles stand apart
  }
  picture->setFont(kept);
}

}  // namespace torvik
