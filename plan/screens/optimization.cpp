#include "plan/screens/optimization.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <system_error>

#include "core/paths.h"
#include "core/textfile.h"
#include "model/screens/modelling.h"
#include "plan/drift_source.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr double kPlanPpc = 24.91;   // pixels per plot centimetre, plan and regression
constexpr double kDriftPpc = 24.9;   // drift listings
constexpr double kLine = 0.5;        // plot centimetres per text line

const QColor kRed(250, 0, 0), kBlue(0, 0, 250), kSection(1, 0, 0), kGrid(200, 200, 200);

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString N(double v) { return ui::LocaleText(NumberText(v)); }

ui::NumberField* Number(double v, int width = 70) {
  auto* f = new ui::NumberField(v);
  f->setFixedWidth(width);
  return f;
}

constexpr TestFunction kExtraTests[] = {TestFunction::PairProducts, TestFunction::X1SqX2Sq, TestFunction::SumSquares,
                                        TestFunction::FullQuadratic, TestFunction::SumWithX4};
constexpr int kExtraDefault = 3;

}  // namespace

// ---- extra tests ----

ExtraTestsScreen::ExtraTestsScreen() : ui::Screen(kExtraTestsTitle) {}

void ExtraTestsScreen::Build() {
  auto* root = new QVBoxLayout(this);
  QStringList captions;
  for (TestFunction f : kExtraTests) captions << TestInfoOf(f).caption;
  tests = new ui::OptionGroup("дополнительные тесты многофакторного планирования", captions, kExtraDefault);
  root->addWidget(tests);
}

TestFunction ExtraTestsScreen::Selected() const {
  const int k = tests ? tests->Selected() : kExtraDefault;
  return kExtraTests[k >= 0 && k < 5 ? k : kExtraDefault];
}

void ExtraTestsScreen::Reset() {
  if (tests) tests->Select(kExtraDefault);
}

// ---- optimization ----

OptimizationScreen::OptimizationScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder)
    : ui::Screen(kOptimizationTitle), m_(m), nav_(nav), folder_(std::move(folder)) {}

ModellingScreen* OptimizationScreen::Modelling() { return dynamic_cast<ModellingScreen*>(nav_.Get("modelling")); }

void OptimizationScreen::Build() {
  auto* root = new QHBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  root->addLayout(left);
  root->addLayout(right);

  viewport = new QScrollArea;
  viewport->setFixedSize(780, 305);
  viewport->setWidgetResizable(false);
  left->addWidget(viewport);

  auto* g = new QGridLayout;
  left->addLayout(g);
  loadButton = ui::MakeButton("Загрузить параметры плана №");
  planField = Number(1, 50);
  saveButton = ui::MakeButton("Сохранить параметры плана");
  showButton = ui::MakeButton("Показать параметры эксперимента №");
  expNoField = Number(1, 50);
  runOneButton = ui::MakeButton("Выполнить один эксперимент плана  №0");
  runSeriesButton = ui::MakeButton("Выполнить эксперименты с № 0 по №");
  expLastField = Number(24, 50);
  g->addWidget(loadButton, 0, 0);
  g->addWidget(planField, 0, 1);
  g->addWidget(saveButton, 0, 2);
  g->addWidget(showButton, 1, 0);
  g->addWidget(expNoField, 1, 1);
  g->addWidget(runOneButton, 1, 2);
  g->addWidget(runSeriesButton, 2, 0);
  g->addWidget(expLastField, 2, 1);

  left->addWidget(new QLabel("нулевые уровни, интервалы варьирования и оптимальные значения факторов (параметров)"));
  auto* f = new QGridLayout;
  left->addLayout(f);
  const char* labels[] = {"", "X1=VX, км/с", "X2=VY, км/с", "X3=VZ, км/с", "X4=Vgr, Vsv"};
  const PlanLevels def;
  for (int i = 1; i <= kFactors; ++i) {
    zero[i] = Number(def.Xzero[i]);
    step[i] = Number(def.Xstep[i]);
    natural[i] = new QLineEdit;
    natural[i]->setFixedWidth(80);
    optCoded[i] = Number(0, 110);
    optNatural[i] = Number(0, 90);
    int c = 0;
    f->addWidget(new QLabel(labels[i]), i, c++);
    f->addWidget(zero[i], i, c++);
    f->addWidget(new QLabel("+/-"), i, c++);
    f->addWidget(step[i], i, c++);
    f->addWidget(new QLabel(" ="), i, c++);
    f->addWidget(natural[i], i, c++);
    f->addWidget(new QLabel(QString("X%1opt=").arg(i)), i, c++);
    f->addWidget(optCoded[i], i, c++);
    f->addWidget(optNatural[i], i, c++);
  }
  auto* scales = new QHBoxLayout;
  left->addLayout(scales);
  mpField = Number(1);
  dyField = Number(1);
  scales->addWidget(new QLabel("Масштаб критерия, ед/см"));
  scales->addWidget(mpField);
  scales->addWidget(new QLabel("dY, см"));
  scales->addWidget(dyField);
  scales->addStretch();

  auto* b = new QGridLayout;
  left->addLayout(b);
  observedButton = ui::MakeButton("Показать наблюдаемые вековые смещения параметров орбит планет");
  planDriftsButton = ui::MakeButton("Показать данные многофакторного  планирования ");
  regressionButton = ui::MakeButton("Найти коэффициенты уравнения регрессии при");
  sectionsButton = ui::MakeButton("Построить графики по уравнению регрессии при X0(i) = X(i)opt ");
  optimizeButton = ui::MakeButton("Оптимизировать параметры");
  adoptButton = ui::MakeButton("задать X0(i) = X(i)opt");
  extraButton = ui::MakeButton("Выбрать доп. тест*");
  filesButton = ui::MakeButton("Файлы*");
  closeButton = ui::MakeButton("Закрыть форму");
  b->addWidget(observedButton, 0, 0, 1, 2);
  b->addWidget(planDriftsButton, 0, 2);
  b->addWidget(regressionButton, 1, 0);
  b->addWidget(sectionsButton, 1, 1, 1, 2);
  b->addWidget(optimizeButton, 2, 0);
  b->addWidget(adoptButton, 2, 1);
  b->addWidget(extraButton, 2, 2);
  b->addWidget(filesButton, 3, 1);
  b->addWidget(closeButton, 3, 2);
  hintLabel = new QLabel;
  hintLabel->setWordWrap(true);
  left->addWidget(hintLabel);
  left->addStretch();

  imitator = new ui::OptionGroup("", {"New", "APC", "JPL", "Mox", "Other"}, 2, Qt::Horizontal);
  tests = new ui::OptionGroup("тесты",
                              {TestInfoOf(TestFunction::U).caption, TestInfoOf(TestFunction::X1PlusX1Sq).caption,
                               TestInfoOf(TestFunction::Sum).caption, TestInfoOf(TestFunction::Product).caption,
                               TestInfoOf(TestFunction::RatioX4Sq).caption, "дополнительные тесты"},
                              0);
  dataUse = new ui::OptionGroup("использование данных", {"тестов", "модели"}, 0, Qt::Horizontal);
  form = new ui::OptionGroup("критерий брать как", {"Y", "dY", "dY^2"}, 1, Qt::Horizontal);
  right->addWidget(imitator);
  right->addWidget(tests);
  right->addWidget(dataUse);
  right->addWidget(form);
  auto* ticks = new QHBoxLayout;
  right->addLayout(ticks);
  auto* el = new QGroupBox("для модели критерий по");
  auto* elL = new QVBoxLayout(el);
  const char* elementNames[] = {"", "Перигелию", "Узлу восхождения", "Углу наклона", "Эксцентриситету",
                                "Большой оси эллипса", "Периоду обращения"};
  for (int e = 1; e <= 6; ++e) elL->addWidget(elements[e] = ui::MakeCheck(elementNames[e], e == 1));
  auto* pl = new QGroupBox("и использовать планеты");
  auto* plL = new QGridLayout(pl);
  const char* planetNames[] = {"", "Меркурий", "Венера", "Земля", "Марс", "Юпитер",
                               "Сатурн", "Уран", "Нептун", "Плутон", "Ксена"};
  for (int p = 1; p <= 10; ++p) plL->addWidget(planets[p] = ui::MakeCheck(planetNames[p], p == 1), (p - 1) % 5, (p - 1) / 5);
  ticks->addWidget(el);
  ticks->addWidget(pl);
  messageField = new QPlainTextEdit("Сюда приходят сообщения формы 2 об окончании экспериментов плана");
  messageField->setReadOnly(true);
  messageField->setFixedHeight(60);
  messageField->setToolTip(
      "Сюда форма 2 пишет время окончания эксперимента плана (секунды от полуночи); "
      "по нему начинается следующий эксперимент серии");
  right->addWidget(messageField);
  right->addStretch();

  connect(loadButton, &QPushButton::clicked, this, [this] { OnLoadParams(); });
  connect(saveButton, &QPushButton::clicked, this, [this] { OnSaveParams(); });
  connect(showButton, &QPushButton::clicked, this, [this] { OnShowExperiment(); });
  connect(runOneButton, &QPushButton::clicked, this, [this] { OnRunExperiment(false); });
  connect(runSeriesButton, &QPushButton::clicked, this, [this] { OnRunExperiment(true); });
  connect(observedButton, &QPushButton::clicked, this, [this] { OnShowObservedDrifts(); });
  connect(planDriftsButton, &QPushButton::clicked, this, [this] { OnShowPlanDrifts(); });
  connect(regressionButton, &QPushButton::clicked, this, [this] { OnFindRegression(); });
  connect(sectionsButton, &QPushButton::clicked, this, [this] { OnPlotSections(); });
  connect(optimizeButton, &QPushButton::clicked, this, [this] { OnOptimize(); });
  connect(adoptButton, &QPushButton::clicked, this, [this] { OnAdoptOptimum(); });
  connect(extraButton, &QPushButton::clicked, this, [this] { nav_.Show("plantests"); });
  connect(filesButton, &QPushButton::clicked, this, [this] { nav_.Show("files"); });
  connect(closeButton, &QPushButton::clicked, this, [this] { OnClose(); });
  connect(planField, &QLineEdit::textChanged, this, [this] { ShowHint(); });
  for (int p = 1; p <= 10; ++p) connect(planets[p], &QCheckBox::toggled, this, [this] { ShowHint(); });
  if (auto* ms = Modelling()) {
    connect(ms, &ModellingScreen::PlanRunEnded, this, [this](const QString& timer) {
      messageField->setPlainText(timer);
      // The next experiment starts from the event loop, after the modelling
      // screen has finished with the run that ended.
      QTimer::singleShot(0, this, [this] { OnNextExperiment(); });
    });
    connect(ms, &ModellingScreen::PlanSequenceStopped, this, [this] {
      m_.PlanNo = 0;
      expNoField->setText(expLastField->text());
      series_ = false;
      RestoreUserVelocity();
    });
  }

  // At opening: the plan table, plan 1 and its first experiment.
  // A fresh program folder has no plan file yet: the defaults stand, as
  // with torvik6-cli plan, without a message at every opening.
  FillB4D(table_);
  std::error_code ec;
  if (std::filesystem::exists(ResolvePath(folder_, PlanFileRelPath(1)), ec)) {
    OnLoadParams();
  } else {
    ShowParamsText();
  }
  OnShowExperiment();
  ShowHint();
}

void OptimizationScreen::ShowHint() {
  const int plan = planField->Integer(0, 32767).value_or(1);
  int planet = 1;
  for (int p = 1; p <= 10; ++p)
    if (planets[p]->isChecked()) {
      planet = p;
      break;
    }
  hintLabel->setText(QString("Дальше: «%3» — серия прогонов модели; затем файл орбиты "
                             "каждого эксперимента — в файл смещений плана:  torvik6-cli drift-file fill --plan %1 "
                             "--planet %2 --element all  (или по одному: форма 6, «Изменить это смещение на "
                             "рассчитанное»); затем «Найти коэффициенты уравнения регрессии при» и «Оптимизировать "
                             "параметры».")
                         .arg(plan)
                         .arg(planet)
                         .arg(runSeriesButton->text().trimmed()));
  hintLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

std::optional<PlanLevels> OptimizationScreen::Levels() const {
  PlanLevels lv;
  for (int i = 1; i <= kFactors; ++i) {
    const auto z = zero[i]->Number(), s = step[i]->Number();
    if (!z || !s) return std::nullopt;
    lv.Xzero[i] = *z, lv.Xstep[i] = *s;
  }
  return lv;
}

void OptimizationScreen::NewPlot(double W, double H, double ppc) {
  const int w = static_cast<int>(std::lround(W * ppc)), h = static_cast<int>(std::lround(H * ppc));
  if (!picture_ || picture_->width() != w || picture_->height() != h) {
    picture_ = new ui::Picture(w, h);
    picture_->setFixedSize(w, h);
    viewport->setWidget(picture_);  // the old picture goes with it
  }
  plotH_ = H;
  picture_->SetScale(0, H, W, 0);
  picture_->Clear();
  for (int u = 0; u <= static_cast<int>(std::lround(W - 1)); ++u) {
    picture_->Line(u, 0, u, H, kGrid);
    picture_->Text(u, 0.5, QString::number(u));
  }
  for (int v = 0; v <= static_cast<int>(std::lround(H)); ++v) picture_->Line(0, v, W, v, kGrid);
  // A fresh plot is seen from its left edge and its bottom (the x axis).
  auto* v = viewport->verticalScrollBar();
  viewport->horizontalScrollBar()->setValue(0);
  v->setValue(v->maximum());
  QTimer::singleShot(0, v, [v] { v->setValue(v->maximum()); });
}

void OptimizationScreen::OnLoadParams() {
  const auto plan = planField->Integer(0, 32767);
  if (!plan) {
    ui::Messages().Show({kMsgBadFields, kTitle});
    return;
  }
  if (!ui::Report(ReadPlanFile(*plan, folder_, &params_))) return;
  planField->SetNumber(params_.PlanNo);
  for (int i = 1; i <= kFactors; ++i) {
    zero[i]->SetNumber(params_.levels.Xzero[i]);
    step[i]->SetNumber(params_.levels.Xstep[i]);
  }
  ShowParamsText();
}

void OptimizationScreen::ShowParamsText() {
  QStringList text;
  for (const auto& line : PlanParamsText(params_)) text << ui::LocaleText(line);
  // The listing ends above the row of the axis labels (the plot grows when it must).
  const double lineUnits = QFontMetrics(font()).lineSpacing() / kPlanPpc;
  const double H = std::max(10.0, std::ceil(text.size() * lineUnits + 1.2));
  NewPlot(20, H, kPlanPpc);
  picture_->Text(1.6, H, text.join('\n'));
}

void OptimizationScreen::OnSaveParams() {
  const auto plan = planField->Integer(0, 32767);
  const auto lv = Levels();
  if (!plan || !lv) {
    ui::Messages().Show({kMsgBadFields, kTitle});
    return;
  }
  params_.PlanNo = static_cast<std::int16_t>(*plan);
  params_.levels = *lv;
  std::error_code ec;
  std::filesystem::create_directories(ResolvePath(folder_, "\\Plan" + std::to_string(*plan)), ec);
  ui::Report(WritePlanFile(params_, folder_));
}

bool OptimizationScreen::OnShowExperiment() {
  const auto lv = Levels();
  const auto j = expNoField->Integer(-1000000, 1000000);
  if (!lv || !j) {
    ui::Messages().Show({kMsgBadFields, kTitle});
    return false;
  }
  ExperimentView view;
  const std::array<double, 3> before{m_.VXsys, m_.VYsys, m_.VZsys};
  const ActionResult shown = ShowExperiment(m_, table_, *lv, *j, &view);
  // Only an experiment about to run keeps its velocity in the model.
  if (!userVelocity_) m_.VXsys = before[0], m_.VYsys = before[1], m_.VZsys = before[2];
  if (!ui::Report(shown)) return false;
  runOneButton->setText(Q(view.runOneCaption));
  runSeriesButton->setText(Q(view.runSeriesCaption));
  for (int i = 1; i <= kFactors; ++i) {
    natural[i]->setText(ui::FormatNumber(view.natural[i]));
    natural[i]->setCursorPosition(0);
  }
  return true;
}

void OptimizationScreen::KeepUserVelocity() {
  if (!userVelocity_) userVelocity_ = std::array<double, 3>{m_.VXsys, m_.VYsys, m_.VZsys};
}

void OptimizationScreen::RestoreUserVelocity() {
  if (!userVelocity_) return;
  m_.VXsys = (*userVelocity_)[0], m_.VYsys = (*userVelocity_)[1], m_.VZsys = (*userVelocity_)[2];
  userVelocity_.reset();
}

void OptimizationScreen::OnRunExperiment(bool series) {
  // One run at a time: while another run is active the modelling screen
  // would ignore the start, and the experiment would be skipped unseen.
  if (auto* active = Modelling(); active && active->Runner().Active()) {
    ui::Messages().Show({kMsgRunActive, kTitle});
    if (series_) {
      series_ = false;
      RestoreUserVelocity();
    }
    return;
  }
  std::array<bool, 11> ticked{};
  for (int p = 1; p <= 10; ++p) ticked[p] = planets[p]->isChecked();
  int planet = 0;
  if (!ui::Report(PlanPlanet(ticked, &planet))) return;
  auto* ms = Modelling();
  const auto plan = planField->Integer(0, 32767);
  if (!ms || !plan) {
    ui::Messages().Show({kMsgBadFields, kTitle});
    return;
  }
  ms->EnsureBuilt();
  ms->useGroup->Select(0);
  ms->planetField->setText(QString::number(planet));
  ms->animationBox->setChecked(false);
  ms->watchBox->setChecked(true);
  ms->orbitFileBox->setChecked(true);
  m_.PlanNo = static_cast<std::int16_t>(*plan);
  KeepUserVelocity();
  if (!OnShowExperiment()) {
    m_.PlanNo = 0;
    RestoreUserVelocity();
    return;
  }
  const int j = *expNoField->Integer(-1000000, 1000000);
  ms->nFileField->setText(QString::number(j));
  ms->vgrField->setText(N(table_.PlanU[static_cast<std::size_t>(j)][4]));
  ms->vgrBox->setChecked(true);
  ms->endYearBox->setChecked(true);
  ms->xsolBox->setChecked(false);
  ms->energyBox->setChecked(false);
  ms->traceBox->setChecked(false);
  ms->Open();
  series_ = series;
  if (series) {
    const auto last = expLastField->Integer(-1000000, 1000000);
    if (!last) {
      ui::Messages().Show({kMsgBadFields, kTitle});
      series_ = false;
    }
    if (!series_ || *last < j) {
      m_.PlanNo = 0;
      series_ = false;
      RestoreUserVelocity();
      return;
    }
  }
  running_ = j;
  // The start field changes even when two runs start within one second.
  ms->startField->clear();
  ms->TriggerStart(QString::number(QTime(0, 0).secsTo(QTime::currentTime())));
  if (!ms->Runner().Active()) {  // the start was refused with its message: no run will end
    m_.PlanNo = 0;
    series_ = false;
    RestoreUserVelocity();
  }
}

void OptimizationScreen::OnNextExperiment() {
  if (!series_) {  // a single experiment ends by itself
    RestoreUserVelocity();
    return;
  }
  const auto j = expNoField->Integer(-1000000, 1000000);
  if (!j) {
    series_ = false;
    RestoreUserVelocity();
    return;
  }
  expNoField->SetNumber(*j + 1);
  OnRunExperiment(true);
}

void OptimizationScreen::ListDrifts(const std::vector<std::string>& header, const std::vector<std::string>& lines,
                                    double top) {
  double y = top;
  for (const auto& h : header) picture_->Text(1.6, y, Q(h)), y -= kLine;
  for (const auto& l : lines) picture_->Text(0.5, y, ui::LocaleText(l)), y -= kLine;
}

void OptimizationScreen::OnShowObservedDrifts() {
  NewPlot(35, 20, kDriftPpc);
  const auto list = ListObservedDrifts(folder_, imitator->Option(imitator->Selected())->text().toStdString());
  ListDrifts(list.header, list.lines, 10.5);
  ui::Report(list.failure);
}

void OptimizationScreen::OnShowPlanDrifts() {
  std::array<bool, 11> ticked{};
  for (int p = 1; p <= 10; ++p) ticked[p] = planets[p]->isChecked();
  int planet = 0;
  if (!ui::Report(PlanPlanet(ticked, &planet))) return;
  const auto plan = planField->Integer(0, 32767);
  if (!plan) {
    ui::Messages().Show({kMsgBadFields, kTitle});
    return;
  }
  NewPlot(35, 20, kDriftPpc);
  const auto list = ListPlanDrifts(folder_, *plan, planet);
  ListDrifts(list.header, list.lines, 15.5);
  ui::Report(list.failure);
}

TestFunction OptimizationScreen::SelectedTest() const {
  const TestFunction main[] = {TestFunction::U, TestFunction::X1PlusX1Sq, TestFunction::Sum, TestFunction::Product,
                               TestFunction::RatioX4Sq};
  const int k = tests->Selected();
  if (k == 5) {
    auto* extra = dynamic_cast<ExtraTestsScreen*>(nav_.Find("plantests"));
    return extra ? extra->Selected() : kExtraTests[kExtraDefault];
  }
  return k >= 0 && k < 5 ? main[k] : TestFunction::RatioX4Sq;
}

void OptimizationScreen::OnFindRegression() {
  const auto lv = Levels();
  const auto plan = planField->Integer(0, 32767);
  if (!lv || !plan) {
    ui::Messages().Show({kMsgBadFields, kTitle});
    return;
  }
  const CriterionForm forms[] = {CriterionForm::Y, CriterionForm::dY, CriterionForm::dY2};
  const CriterionForm cf = forms[std::max(0, form->Selected())];
  PlanValues Ycrit{};
  ActionResult failed;
  if (dataUse->Selected() == 1) {
    DriftSelection sel;
    sel.form = cf;
    for (int p = 1; p <= 10; ++p) sel.planets[p] = planets[p]->isChecked();
    for (int e = 1; e <= 6; ++e) sel.elements[e] = elements[e]->isChecked();
    failed = ModelCriterion(StatsDriftSource(), folder_, imitator->Option(imitator->Selected())->text().toStdString(),
                            *plan, sel, params_.Wt, &Ycrit);
  } else {
    failed = TestCriterion(table_, *lv, SelectedTest(), cf, &Ycrit);
  }
  if (!ui::Report(failed)) return;

  const double H = 25;
  NewPlot(30, H, kPlanPpc);
  reg_ = FindRegression(table_, Ycrit);
  for (int j = 1; j <= kB4DExperiments; ++j) {
    const double y = H - (j - 1) / 2.0;
    for (int i = 1; i <= kFactors; ++i) picture_->Text(i, y, N(Fix(100 * table_.PlanX[i][j]) / 100));
    picture_->Text(6, y, QString::number(j));
    picture_->Text(7, y, N(Fix(1000 * Ycrit[j]) / 1000));
    picture_->Text(11, y, N(Fix(1000 * reg_.Yfit[j]) / 1000));
  }
  for (int c = 0; c <= 14; ++c) picture_->Text(16, H - c / 2.0, N(reg_.b[c]));
  mpField->SetNumber(reg_.MP);
  if (reg_.MP > 0) {
    for (int j = 1; j <= kB4DExperiments; ++j) {
      picture_->Circle(j, (Ycrit[j] - reg_.YfitMin) / reg_.MP + 1, 0.1, kRed);
      picture_->Circle(j, (reg_.Yfit[j] - reg_.YfitMin) / reg_.MP + 1, 0.2, kBlue);
    }
  }
}

void OptimizationScreen::OnPlotSections() {
  const auto mp = mpField->Number(), dy = dyField->Number();
  CodedPoint base{};
  bool good = mp && dy;
  for (int i = 1; i <= kFactors && good; ++i) {
    const auto x = optCoded[i]->Number();
    good = x.has_value();
    if (good) base[i] = *x;
  }
  Sections out{};
  const ActionResult r = good ? PlotSections(reg_.b, base, reg_.YfitMin, *mp, *dy, &out)
                              : ActionResult(UserMessage{kMsgSections, kTitle});
  if (!ui::Report(r)) return;
  if (!picture_) NewPlot(30, 25, kPlanPpc);
  for (int i = 1; i <= kFactors; ++i)
    for (const auto& p : out[static_cast<std::size_t>(i)]) picture_->Circle(p.x, p.y, 0.1, kSection);
}

void OptimizationScreen::OnOptimize() {
  const auto lv = Levels();
  const auto plan = planField->Integer(0, 32767);
  if (!lv || !plan) {
    ui::Messages().Show({kMsgBadFields, kTitle});
    return;
  }
  std::error_code ec;
  std::filesystem::create_directories(ResolvePath(folder_, "\\Plan" + std::to_string(*plan)), ec);
  const ActionResult r = Optimize(reg_.b, *lv, *plan, folder_, sys_, &opt_);
  if (!ui::Report(r)) return;
  if (!picture_) NewPlot(30, 25, kPlanPpc);
  for (int i = 1; i <= kFactors; ++i) {
    picture_->Text(16, 15.5 - i / 2.0, N(opt_.Xopt[i]));
    optCoded[i]->SetNumber(opt_.Xopt[i]);
    optNatural[i]->SetNumber(opt_.XoptNat[i]);
  }
  picture_->Text(16, 12.5, "Yopt= " + N(opt_.Yopt));
}

void OptimizationScreen::OnAdoptOptimum() {
  for (int i = 1; i <= kFactors; ++i) zero[i]->setText(optNatural[i]->text());
}

void OptimizationScreen::OnClose() {
  if (auto* extra = dynamic_cast<ExtraTestsScreen*>(nav_.Find("plantests"))) {
    extra->Reset();
    extra->hide();
  }
  hide();
}

void OptimizationScreen::PrepareScreenshot() {
  // The built-in test X1 + X1² over levels 1 ± 1, fitted and optimized.
  tests->Select(1);
  dataUse->Select(0);
  form->Select(0);
  for (int i = 1; i <= kFactors; ++i) zero[i]->SetNumber(1), step[i]->SetNumber(1);
  ui::CapturedMessages quiet;
  OnFindRegression();
  OnOptimize();
  OnPlotSections();
  QCoreApplication::processEvents();
}

}  // namespace torvik
