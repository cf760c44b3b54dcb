#include "params/screens/parameters.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>

#include "core/textfile.h"
#include "params/initial.h"
#include "params/startup.h"
#include "ui/messages.h"

namespace torvik {

namespace {

constexpr int kPicturePx = 420;  // square, 30 px per picture unit over −7..7
const QColor kAxisGrey(200, 200, 200);
const QColor kCrossBlue(0, 0, 250);

std::string Text(const QLineEdit* field) { return field->text().toStdString(); }

QLineEdit* MakeField(int width, bool readOnly = false) {
  auto* f = new QLineEdit;
  f->setFixedWidth(width);
  f->setReadOnly(readOnly);
  return f;
}

QLabel* Caption(const QString& text) { return new QLabel(text); }

QColor BodyColour(const Model& m, int k) { return QColor(m.ColR[k], m.ColG[k], m.ColB[k]); }

}  // namespace

ParametersScreen::ParametersScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder)
    : ui::Screen(kParametersTitle), m_(m), nav_(nav), folder_(std::move(folder)) {
  OrbitCheck::Hooks hooks;
  hooks.afterStep = [this](const OrbitCheck& c) {
    if (!trajectories || !trajectories->isChecked()) return;
    const auto& s = c.State();
    picture->Point(s[0] / m_.Mxy, s[1] / m_.Mxy, BodyColour(m_, 0));
    picture->Point(s[3] / m_.Mxy, s[4] / m_.Mxy, BodyColour(m_, c.Body()));
  };
  hooks.atUpdate = [this](const OrbitCheck& c) {
    const auto& s = c.State();
    picture->Circle(s[0] / m_.Mxy, s[1] / m_.Mxy, 0.04, BodyColour(m_, 0));
    picture->Circle(s[3] / m_.Mxy, s[4] / m_.Mxy, 0.04, BodyColour(m_, c.Body()));
  };
  check_.SetHooks(std::move(hooks));
}

void ParametersScreen::Build() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  root->setSpacing(4);
  BuildTop(root);
  BuildMiddle(root);
  BuildBottom(root);
  WireActions();
}

void ParametersScreen::BuildTop(QBoxLayout* into) {
  auto* top = new QHBoxLayout;
  into->addLayout(top);

  // Picture and its scale, top left.
  auto* left = new QVBoxLayout;
  top->addLayout(left);
  picture = new ui::Picture(kPicturePx, kPicturePx);
  picture->SetScale(-7, 7, 7, -7);
  left->addWidget(picture);
  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(Caption("масштаб изображения = "));
  scaleBar = new QScrollBar(Qt::Horizontal);
  scaleBar->setRange(1, 10000);
  scaleBar->setPageStep(100);
  scaleBar->setValue(3000);
  scaleRow->addWidget(scaleBar, 1);
  left->addLayout(scaleRow);
  scaleLabel = Caption(QString());
  left->addWidget(scaleLabel);
  left->addStretch();

  // Results and inputs of the orbit check, top right.
  auto* right = new QGroupBox;
  top->addWidget(right, 1);
  auto* g = new QGridLayout(right);
  g->setVerticalSpacing(2);
  int row = 0;
  triggerField = MakeField(80, true);
  g->addWidget(triggerField, row, 0);
  checkButton = ui::MakeButton("Проверить параметры орбиты и ошибку их определения");
  g->addWidget(checkButton, row, 1, 1, 4);
  ++row;

  auto pair = [&](const char* caption, QLineEdit*& field, int r, int c, int width = 130) {
    field = MakeField(width, true);
    g->addWidget(Caption(caption), r, c);
    g->addWidget(field, r, c + 1);
  };
  pair("Период обращения", periodField, row, 0);
  periodNote = Caption(QString());
  g->addWidget(periodNote, row, 2, 1, 2);
  ++row;
  pair("Эксцентриситет Eks", eksField, row, 0);
  pair("Угол наклона Betta", bettaField, row, 2);
  ++row;
  pair("Перигелий AlfaP", alfaPField, row, 0);
  pair("+/-, сек", alfaPDrift, row, 2);
  ++row;
  pair("Восход. узел AlfaU", alfaUField, row, 0);
  pair("+/- ,сек", alfaUDrift, row, 2);
  ++row;
  pair("Wsr = Vsr / Rsr", wsrField, row, 0);
  pair("dEsys, %", dEsysField, row, 2);
  ++row;
  pair("Rsr=(Lmax+Lmin)/2", rsrField, row, 0);
  pair("Vsr=(Vmax+Vmin)/2", vsrField, row, 2);
  ++row;
  pair("Lmin ", lminField, row, 0);
  pair("Vmin", vminField, row, 2);
  ++row;
  pair("Lmax ", lmaxField, row, 0);
  pair("Vmax", vmaxField, row, 2);
  ++row;
  pair("dT,лет", dTField, row, 0);
  g->addWidget(Caption("справочно"), row, 2);
  ++row;

  // Inputs.
  nc0Field = MakeField(80);
  g->addWidget(Caption("NC0, шагов"), row, 0);
  g->addWidget(nc0Field, row, 1);
  dAlfaField = MakeField(80);
  g->addWidget(Caption("+/-dAlfa, град"), row, 2);
  g->addWidget(dAlfaField, row, 3);
  ++row;
  auto* stepRow = new QHBoxLayout;
  h0Field = MakeField(70);
  nRedField = MakeField(50);
  stepRow->addWidget(h0Field);
  stepRow->addWidget(Caption("/"));
  stepRow->addWidget(nRedField);
  stepRow->addStretch();
  g->addWidget(Caption("Шаг решения уравнений,с"), row, 0);
  g->addLayout(stepRow, row, 1);
  atPerihelion = ui::MakeCheck("AlfaP0=AlfaEklip=", false);
  lambdaField = MakeField(130);
  g->addWidget(atPerihelion, row, 2);
  g->addWidget(lambdaField, row, 3);
  ++row;
  auto* checks = new QHBoxLayout;
  vsol0 = ui::MakeCheck("Vsol=0", true);
  cmBox = ui::MakeCheck("ЦМ", false);
  trajectories = ui::MakeCheck("траектории", false);
  checks->addWidget(vsol0);
  checks->addWidget(cmBox);
  checks->addWidget(trajectories);
  checks->addStretch();
  g->addLayout(checks, row, 0, 1, 4);
  ++row;
  auto* runRow = new QHBoxLayout;
  stopButton = ui::MakeButton("Остановить");
  continueButton = ui::MakeButton("Продолжить ");
  nc0Button = ui::MakeButton("сделать NC0 шагов");
  runRow->addWidget(stopButton);
  runRow->addWidget(continueButton);
  runRow->addWidget(nc0Button);
  g->addLayout(runRow, row, 0, 1, 4);
  g->setRowStretch(row + 1, 1);
}

void ParametersScreen::BuildMiddle(QBoxLayout* into) {
  auto* middle = new QHBoxLayout;
  into->addLayout(middle);

  // Date and load.
  auto* loadBox = new QGroupBox;
  auto* lv = new QVBoxLayout(loadBox);
  auto* dateRow = new QHBoxLayout;
  dayField = MakeField(50);
  monthField = MakeField(35);
  yearField = MakeField(55);
  gjButton = ui::MakeButton("G->J");
  dateRow->addWidget(dayField);
  dateRow->addWidget(monthField);
  dateRow->addWidget(yearField);
  dateRow->addWidget(gjButton);
  jdField = MakeField(110);
  jgButton = ui::MakeButton("J->G");
  dateRow->addWidget(jdField);
  dateRow->addWidget(jgButton);
  dateRow->addStretch();
  lv->addLayout(dateRow);
  QStringList options;
  for (LoadOption o : {LoadOption::Newcomb, LoadOption::Jpl, LoadOption::Mox, LoadOption::File, LoadOption::Screen})
    options << QString::fromUtf8(LoadOptionCaption(o));
  loadGroup = new ui::OptionGroup(QString(), options, static_cast<int>(LoadOption::Jpl));
  lv->addWidget(loadGroup);
  loadButton = ui::MakeButton("Загрузить параметры орбит и (или)  данные ");
  lv->addWidget(loadButton);
  auto* saveRow = new QHBoxLayout;
  saveButton = ui::MakeButton("Сохранить параметры и данные в файле №");
  fileField = MakeField(40);
  saveRow->addWidget(saveButton);
  saveRow->addWidget(fileField);
  saveRow->addStretch();
  lv->addLayout(saveRow);
  middle->addWidget(loadBox);

  // Constants and the initial data.
  auto* dataBox = new QGroupBox;
  auto* dv = new QGridLayout(dataBox);
  dv->setVerticalSpacing(2);
  mSolField = MakeField(150);
  gammaField = MakeField(150);
  laeField = MakeField(150);
  dv->addWidget(Caption("mSol, кг"), 0, 0);
  dv->addWidget(mSolField, 0, 1);
  dv->addWidget(Caption("gamma, н*м^2/кг^2"), 1, 0);
  dv->addWidget(gammaField, 1, 1);
  dv->addWidget(Caption("Lae, км"), 2, 0);
  dv->addWidget(laeField, 2, 1);
  initialButton = ui::MakeButton("Рассчитать по загруженным параметрам начальные данные для планет ");
  cmFindButton = ui::MakeButton("Найти координаты ЦМ системы");
  cmOriginButton = ui::MakeButton("ЦМ системы в начало координат");
  vsolFindButton = ui::MakeButton("Найти по полученным данным планет скорость Солнца Vsol");
  vsolApplyButton = ui::MakeButton("Учесть для планет Vsol ");
  dv->addWidget(initialButton, 3, 0, 1, 2);
  dv->addWidget(cmFindButton, 4, 0);
  dv->addWidget(cmOriginButton, 4, 1);
  dv->addWidget(vsolFindButton, 5, 0, 1, 2);
  dv->addWidget(vsolApplyButton, 6, 0, 1, 2);
  middle->addWidget(dataBox);

  // Display mode and navigation.
  auto* navBox = new QGroupBox;
  auto* nv = new QVBoxLayout(navBox);
  modeGroup = new ui::OptionGroup(QString::fromUtf8(kGridModeGroup),
                                  {QString::fromUtf8(kGridModeElements), QString::fromUtf8(kGridModeInitialData)}, 0);
  nv->addWidget(modeGroup);
  toModelButton = ui::MakeButton("К моделированию");
  toObserveButton = ui::MakeButton("К наблюдениям");
  velocityButton = ui::MakeButton("Задать скорость Солнечной системы* ");
  notationButton = ui::MakeButton("Обозначения*");
  aboutButton = ui::MakeButton("About*");
  exitButton = ui::MakeButton("Выход");
  auto* navGrid = new QGridLayout;
  navGrid->addWidget(toModelButton, 0, 0);
  navGrid->addWidget(toObserveButton, 0, 1);
  navGrid->addWidget(velocityButton, 1, 0, 1, 2);
  navGrid->addWidget(notationButton, 2, 0);
  navGrid->addWidget(aboutButton, 2, 1);
  navGrid->addWidget(exitButton, 3, 0, 1, 2);
  nv->addLayout(navGrid);
  nv->addStretch();
  middle->addWidget(navBox);
}

void ParametersScreen::BuildBottom(QBoxLayout* into) {
  auto* sysRow = new QHBoxLayout;
  sysRow->addWidget(Caption("В модели:"));
  for (int k = 0; k <= 10; ++k) {
    inSys[k] = ui::MakeCheck(QString::fromUtf8(kBodyNames[k]), k <= 9);
    sysRow->addWidget(inSys[k]);
  }
  sysRow->addStretch();
  into->addLayout(sysRow);

  grid = new QTableWidget(kGridRows, kGridColumns);
  QStringList bodies;
  for (const char* name : kBodyNames) bodies << QString::fromUtf8(name);
  grid->setHorizontalHeaderLabels(bodies);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  // The Sun's column holds zeros until the centre of mass moves it: its room goes to the planets.
  grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(22);
  grid->setMinimumHeight(22 * (kGridRows + 1) + 6);
  grid->setMaximumHeight(22 * (kGridRows + 1) + 6);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridColumns; ++c) grid->setItem(r, c, new QTableWidgetItem);
  into->addWidget(grid);

  QStringList names;
  for (const char* name : kBodyNames) names << QString::fromUtf8(name);
  bodyGroup = new ui::OptionGroup(QString(), names, 1, Qt::Horizontal);
  into->addWidget(bodyGroup);
}

void ParametersScreen::WireActions() {
  connect(modeGroup, &ui::OptionGroup::Changed, this, [this] { RefreshGrid(); });
  for (auto* box : inSys) connect(box, &QCheckBox::toggled, this, [this] { ReadInSys(); });
  connect(scaleBar, &QScrollBar::valueChanged, this, [this] {
    ScaleChanged(true);
    picture->Clear();
    DrawAxesAndBodies();
  });
  connect(loadButton, &QPushButton::clicked, this, [this] { OnLoad(); });
  connect(saveButton, &QPushButton::clicked, this, [this] { OnSave(); });
  connect(initialButton, &QPushButton::clicked, this, [this] { OnInitialData(); });
  connect(cmFindButton, &QPushButton::clicked, this, [this] {
    auto r = FindCentreOfMass(m_);
    if (!r) {
      DrawCross();
      ShowCentreOfMass();
    }
    ui::Report(r);
  });
  connect(cmOriginButton, &QPushButton::clicked, this, [this] {
    auto r = CentreOfMassToOrigin(m_);
    if (!r) {
      SetMode(GridMode::InitialData);
      DrawCross();
      ShowCentreOfMass();
    }
    ui::Report(r);
  });
  connect(vsolFindButton, &QPushButton::clicked, this, [this] {
    auto r = FindSunVelocity(m_);
    if (!r) SetMode(GridMode::InitialData);
    ui::Report(r);
  });
  connect(vsolApplyButton, &QPushButton::clicked, this, [this] {
    auto r = ApplySunVelocity(m_);
    if (!r) SetMode(GridMode::InitialData);
    ui::Report(r);
  });
  connect(gjButton, &QPushButton::clicked, this, [this] { OnGregorianToJulian(); });
  connect(jgButton, &QPushButton::clicked, this, [this] { OnJulianToGregorian(); });
  connect(checkButton, &QPushButton::clicked, this, [this] { OnCheckStart(); });
  connect(stopButton, &QPushButton::clicked, this, [this] { OrbitCheck::RequestStop(m_); });
  connect(continueButton, &QPushButton::clicked, this, [this] { OnCheckContinue(); });
  connect(nc0Button, &QPushButton::clicked, this, [this] { OnCheckNC0(); });
  connect(toModelButton, &QPushButton::clicked, this, [this] { nav_.Show("modelling"); });
  connect(toObserveButton, &QPushButton::clicked, this, [this] { nav_.Show("observe"); });
  connect(velocityButton, &QPushButton::clicked, this, [this] { nav_.Show("velocity"); });
  connect(notationButton, &QPushButton::clicked, this, [this] { nav_.Show("notation"); });
  connect(aboutButton, &QPushButton::clicked, this, [this] { nav_.Show("help"); });
  connect(exitButton, &QPushButton::clicked, this, [this] {
    runner_.Cancel();
    nav_.CloseAll();
  });
  SetCloseAction([this] { exitButton->click(); });  // closing the start screen ends the program
}

void ParametersScreen::StartUp() {
  EnsureBuilt();
  if (startedUp_) return;
  startedUp_ = true;
  nc0Field->setText("1000");
  h0Field->setText("3600");
  nRedField->setText("100");
  dAlfaField->setText("1");
  fileField->setText("1");
  dayField->setText(ui::FormatNumber(1.5));
  monthField->setText("1");
  yearField->setText("1601");
  auto r = ::torvik::StartUp(m_);
  ReadInSys();
  m_.Mxy = scaleBar->value() * 1e8;
  jdField->setText(ui::FormatNumber(m_.JDstart));
  RefreshConstants();
  RefreshGrid();
  picture->Clear();
  DrawAxesAndBodies();
  ScaleChanged(false);
  ui::Report(r);
}

void ParametersScreen::Activated() {
  ScaleChanged(false);
}

GridMode ParametersScreen::Mode() const {
  return modeGroup->Selected() == 1 ? GridMode::InitialData : GridMode::Elements;
}

void ParametersScreen::SetMode(GridMode mode) {
  modeGroup->Select(mode == GridMode::InitialData ? 1 : 0);
  RefreshGrid();
}

LoadOption ParametersScreen::SelectedLoadOption() const {
  // Anything but the four named options means Newcomb.
  switch (loadGroup->Selected()) {
    case 1: return LoadOption::Jpl;
    case 2: return LoadOption::Mox;
    case 3: return LoadOption::File;
    case 4: return LoadOption::Screen;
    default: return LoadOption::Newcomb;
  }
}

void ParametersScreen::ShowSystemVelocityApplied(const QString& timeOfDay) {
  EnsureBuilt();
  SetMode(GridMode::InitialData);
  triggerField->setText(timeOfDay);
}

void ParametersScreen::RefreshGrid() {
  const GridMode mode = Mode();
  const auto& captions = GridCaptions(mode);
  QStringList rows;
  for (const char* c : captions) rows << QString::fromUtf8(c ? c : "");
  grid->setVerticalHeaderLabels(rows);
  const GridTexts texts = GridShownTexts(m_, mode);
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridColumns; ++c) grid->item(r, c)->setText(ui::LocaleText(texts[r][c]));
}

void ParametersScreen::RefreshConstants() {
  mSolField->setText(ui::FormatNumber(m_.mSol()));
  gammaField->setText(ui::FormatNumber(m_.gamma));
  laeField->setText(ui::FormatNumber(m_.Lae / 1000.0));
}

void ParametersScreen::DrawAxesAndBodies() {
  picture->SetScale(-7, 7, 7, -7);
  picture->Line(-7, 0, 7, 0, kAxisGrey);
  picture->Line(0, -7, 0, 7, kAxisGrey);
  for (const PictureBody& b : PictureBodies(m_)) picture->Circle(b.x, b.y, 0.04, QColor(b.r, b.g, b.b));
}

void ParametersScreen::DrawCross() {
  if (!cmBox->isChecked()) return;
  PictureCross c = CentreOfMassCross(m_);
  picture->Line(c.x, c.y - 1, c.x, c.y + 1, kCrossBlue);
  picture->Line(c.x - 1, c.y, c.x + 1, c.y, kCrossBlue);
}

void ParametersScreen::ShowCentreOfMass() {
  auto t = CentreOfMassTexts(m_);
  lmaxField->setText(ui::LocaleText(t[0]));
  lminField->setText(ui::LocaleText(t[1]));
  vmaxField->setText(ui::LocaleText(t[2]));
}

void ParametersScreen::ShowCheckFields() {
  const OrbitCheckFields& f = check_.Fields();
  const std::pair<QLineEdit*, const std::string*> shown[] = {
      {periodField, &f.period}, {eksField, &f.eks},         {alfaPField, &f.alfaP}, {alfaPDrift, &f.alfaPDrift},
      {alfaUField, &f.alfaU},   {alfaUDrift, &f.alfaUDrift}, {wsrField, &f.wsr},    {rsrField, &f.rsr},
      {lminField, &f.lmin},     {lmaxField, &f.lmax},       {vsrField, &f.vsr},     {vminField, &f.vmin},
      {vmaxField, &f.vmax},     {bettaField, &f.betta},     {dEsysField, &f.dEsys}, {dTField, &f.dT},
      {lambdaField, &f.alfaEklip},
  };
  // A field not measured yet keeps what it shows (the centre of mass, a typed longitude).
  for (const auto& [field, text] : shown)
    if (!text->empty()) field->setText(ui::LocaleText(*text));
  if (!f.periodNote.empty()) periodNote->setText(ui::LocaleText(f.periodNote));
}

void ParametersScreen::ReadInSys() {
  std::array<bool, 11> on{};
  for (int k = 0; k <= 10; ++k) on[k] = inSys[k]->isChecked();
  SetInSys(m_, on);
}

void ParametersScreen::ScaleChanged(bool withBlank) {
  const int pos = scaleBar->value();
  scaleLabel->setText("Масштаб изображения=" + ui::FormatNumber(pos / 10.0) + (withBlank ? " " : "") +
                      "млн.км/см");
  m_.Mxy = pos * 1e8;
}

void ParametersScreen::OnLoad() {
  const LoadOption option = SelectedLoadOption();
  LoadInputs in;
  in.day = Text(dayField);
  in.month = Text(monthField);
  in.year = Text(yearField);
  in.fileNumber = Text(fileField);
  in.mSol = Text(mSolField);
  in.gamma = Text(gammaField);
  in.laeKm = Text(laeField);
  in.gridMode = Mode();
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridColumns; ++c) in.grid[r][c] = grid->item(r, c)->text().toStdString();
  auto result = Load(m_, option, in, folder_);
  if (!result) {
    if (option == LoadOption::File) {
      dayField->setText(ui::LocaleText(SingleText(m_.DateD)));
      monthField->setText(QString::number(m_.DateM));
      yearField->setText(QString::number(m_.DateY));
    }
    jdField->setText(ui::FormatNumber(m_.JDstart));
    RefreshConstants();
    RefreshGrid();
    picture->Clear();
    DrawAxesAndBodies();
  }
  ui::Report(result);
}

void ParametersScreen::OnSave() { ui::Report(Save(m_, Text(fileField), folder_)); }

void ParametersScreen::OnInitialData() {
  auto r = ComputeInitialData(m_, InitialDataInputs{Text(mSolField), Text(gammaField), vsol0->isChecked()});
  RefreshGrid();
  picture->Clear();
  DrawAxesAndBodies();
  ui::Report(r);
}

void ParametersScreen::OnGregorianToJulian() {
  auto r = DateFieldsToJD(m_, Text(dayField), Text(monthField), Text(yearField));
  if (!r) jdField->setText(ui::LocaleText(ShortestText(m_.JD)));
  ui::Report(r);
}

void ParametersScreen::OnJulianToGregorian() {
  auto r = JDFieldToDate(m_, Text(jdField));
  if (!r) {
    const ShownLoadFields f = ShowLoadFields(m_);
    yearField->setText(QString::fromStdString(f.outYear));
    monthField->setText(QString::fromStdString(f.outMonth));
    dayField->setText(ui::LocaleText(f.outDay));
  }
  ui::Report(r);
}

void ParametersScreen::OnCheckStart() {
  // A start while a check runs acts between its batches: the running loop goes
  // on with the new check.
  const bool running = runner_.Active();
  OrbitCheckInputs in;
  in.body = bodyGroup->Selected();
  in.nc0 = Text(nc0Field);
  in.h0 = Text(h0Field);
  in.nRed = Text(nRedField);
  in.dAlfa = Text(dAlfaField);
  in.atPerihelion = atPerihelion->isChecked();
  in.lambda = Text(lambdaField);
  in.vsol0 = vsol0->isChecked();
  auto r = check_.Start(m_, in);
  if (r) {
    ui::Report(r);
    return;
  }
  ShowCheckFields();
  if (!running) RunCheck();
}

void ParametersScreen::OnCheckContinue() {
  check_.Continue(m_);
  if (!runner_.Active() && check_.Running()) RunCheck();
}

void ParametersScreen::OnCheckNC0() {
  auto r = check_.PrepareNC0Steps(m_, Text(nc0Field));
  if (r) {
    ui::Report(r);
    return;
  }
  if (!runner_.Active() && check_.Started()) RunCheck();
}

void ParametersScreen::RunCheck() {
  runner_.Start([this] {
    auto r = check_.RunBatch(m_);
    ShowCheckFields();
    if (r) {
      ui::Report(r);
      return false;
    }
    return check_.Running();
  });
}

}  // namespace torvik
