// The modelling screen and the gravity-speed test screen (offscreen): runs
// driven through the buttons against torvik6-cli run, the step-batch button,
// reversal, stop from a timer during a long run, the plan trigger, the
// messages of bad input, the pictures, and the delay passes handed to the
// engine by the test screen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <ctime>
#include <fstream>
#include <set>
#include <sstream>

#include "core/model.h"
#include "core/paths.h"
#include "model/run.h"
#include "model/run_files.h"
#include "model/screens/modelling.h"
#include "model/screens/register.h"
#include "model/screens/vgrtest.h"
#include "params/screens/parameters.h"
#include "params/screens/register.h"
#include "ui/app.h"
#include "ui/messages.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

constexpr double kKilometre = 1000.0;  // m

std::string ReadBytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::string Today() {
  std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  return RunDateText(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

// The program's screens on a scratch folder, every message captured.
class ModellingTest : public ::testing::Test {
 protected:
  ModellingTest() {
    test::App();
    EXPECT_TRUE(dir.isValid());
    folder = dir.path().toStdString();
    EnsureProgramFolder(folder);
    SetConstants(model);
    RegisterParamsScreens(nav, model, folder);
    RegisterModelScreens(nav, model, folder);
    nav.SetExitAction([this] { ++exits; });
    params = static_cast<ParametersScreen*>(nav.Show("parameters"));
    params->toModelButton->click();
    screen = static_cast<ModellingScreen*>(nav.Find("modelling"));
  }
  ~ModellingTest() override {
    if (screen) screen->exitButton->click();  // a run still active ends here
  }

  void RunToEnd() {
    while (screen->Runner().Active()) QCoreApplication::processEvents();
  }
  // Начать, then Остановить before the next turn: two batches of NOut steps.
  void TwoBatches() {
    screen->startButton->click();
    screen->stopButton->click();
    RunToEnd();
  }
  void CopyDe405Fixture() {
    fs::copy(fs::path(TORVIK6_TEST_DATA) / "de405" / "JPL", folder / "JPL",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }

  QTemporaryDir dir;
  fs::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  ParametersScreen* params = nullptr;
  ModellingScreen* screen = nullptr;
  int exits = 0;
};

std::set<std::string> Captions(const QWidget* w) {
  std::set<std::string> out;
  for (const auto* b : w->findChildren<QAbstractButton*>()) out.insert(b->text().toStdString());
  for (const auto* l : w->findChildren<QLabel*>()) out.insert(l->text().toStdString());
  for (const auto* g : w->findChildren<QGroupBox*>()) out.insert(g->title().toStdString());
  return out;
}

TEST_F(ModellingTest, CaptionsDefaultsAndSizeOfBothScreens) {
  ASSERT_TRUE(screen && screen->isVisible());
  EXPECT_EQ(screen->windowTitle().toStdString(), "Моделирование и имитирование движения планет    Torvik6 - форма 2");
  const auto shown = Captions(screen);
  for (const char* c :
       {"использовать", "модель", "имитатор", "Классика", "ОТО", "New", "APC", "JPL", "Mox", "время идет", "Вперед",
        "Назад", "F=G*m*M/R^", "Vgr = Vsv *", "Найти показатели планеты №", "при +/- Alfa, град=", "Шаг решения, с",
        "/", "с выводом через", "шагов", "Анимация", "эксперимент закончить в", "году", "Траектории ",
        "dEsys, dMsys, %", "Xsol=0", "Записать параметры орбиты планеты ", "в файл №",
        "Записать координаты  X, Y, Z", "X, тыс.км", "Y, тыс.км", "Z, тыс.км", "dAlfaP, сек", "dAlfaU, сек",
        "dBetta, сек", "dEks", "dRsr,тыс.км", "dPeriod, дни", "MdAlfa, сек/см", "Mx, тыс.км/см ", "MT, лет/см",
        "dY, см", "AlfaP, град", "AlfaU, град", "Betta, град", "Eks", "Rsr, тыс.км.", "Period, дни",
        "AlfaP пройден", "AlfaU пройден", "К-во оборотов, шт", "AlfaEklip, град", "дата", "JD=", " dTmod, лет",
        "dTreal, час", "Начать", "Остановить", "Продолжить", "NC0 шагов",
        "Сравнение имитаторов", "Тест Vgr*", "К параметрам", "К статистике", "К плану", "Выход"})
    EXPECT_TRUE(shown.count(c)) << "caption \"" << c << "\"";
  const std::pair<QLineEdit*, const char*> defaults[] = {
      {screen->powRField, "2"},     {screen->vgrField, "1"},       {screen->planetField, "1"},
      {screen->alfaField, "1"},     {screen->stepField, "3600"},   {screen->nRedField, "100"},
      {screen->nOutField, "1000"},  {screen->endYearField, "2001"}, {screen->nFileField, "1"},
      {screen->mdAlfaField, "100"}, {screen->mxField, "10000"},    {screen->mtField, "100"},
      {screen->dYField, "0"}};
  for (const auto& [field, text] : defaults) EXPECT_EQ(field->text().toStdString(), text);
  EXPECT_EQ(screen->useGroup->Selected(), 0);
  EXPECT_EQ(screen->imitatorGroup->Selected(), 2);
  EXPECT_TRUE(screen->watchBox->isChecked() && screen->animationBox->isChecked() && screen->endYearBox->isChecked());
  EXPECT_FALSE(screen->vgrBox->isChecked() || screen->trailsBox->isChecked() || screen->orbitFileBox->isChecked());
  // The picture opens at a scale that shows Mercury's orbit across four fifths of it.
  const double aphelion = model.R0sr[1] * (1 + model.Eks0[1]);
  EXPECT_NEAR(screen->ScaleValue(), aphelion / 8e8, aphelion / 8e8 * 0.01);
  EXPECT_EQ(screen->scaleLabel->text(), "Масштаб = " + ui::FormatNumber(screen->ScaleValue() / 10) + " млн.км/см");
  // The start state set up by the parameters screen.
  EXPECT_EQ(ui::ParseNumber(screen->jdField->text()), model.JDstart);
  EXPECT_EQ(screen->date[2]->text().toStdString(), "1601");

  auto* test = static_cast<VgrTestScreen*>(nav.Get("vgrtest"));
  screen->vgrTestButton->click();
  ASSERT_TRUE(test->isVisible());
  EXPECT_EQ(test->windowTitle().toStdString(), "Тестирование алгоритма учета скорости гравитации    Torvik6");
  const auto testShown = Captions(test);
  for (const char* c :
       {"Солнце", "Ксена", "AlfaL1", "AlfaL2", "X1", "Z2", "VX1", "VZ2", "Vgr=Vsv*", "VXsys", "VYsys", "VZsys",
        "MF, 10^12 Н/см", "К-во итераций для формы эксперимента", "показать по осям", "F12", "F21", "XY", "XZ",
        "L12=L21=", "T12=T21=", "F12=F21=", "L12, тыс.км", "L21, тыс.км", "T12, с", "T21, с", "F12, Н", "F21, Н",
        "FX", "FY", "FZ", "сделано итераций", "F12 - это сила от следа 1-ой планеты действующая на 2-ю",
        "Задать положение 2-х планет", "Первое приближение для покоящейся системы",
        "Сделать 1 итерацию для движущейся системы", "Закрыть форму", "Масштаб = 30 млн.км/см"})
    EXPECT_TRUE(testShown.count(c)) << "caption \"" << c << "\"";
  EXPECT_EQ(test->nIterField->text().toStdString(), "2");
  EXPECT_EQ(test->mfField->text().toStdString(), "20000");

  // Both fit a 1366 × 768 display with their title bar.
  for (QWidget* w : {static_cast<QWidget*>(screen), static_cast<QWidget*>(test)}) {
    const QSize s = w->sizeHint();
    EXPECT_LE(s.width(), 1366) << w->windowTitle().toStdString();
    EXPECT_LE(s.height(), 730) << w->windowTitle().toStdString();
  }
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();

  // Screens this program does not have here say so; Выход ends the program.
  for (QAbstractButton* b : {screen->toStatsButton, screen->toPlanButton}) {
    messages.shown.clear();
    b->click();
    EXPECT_EQ(messages.LastText(), ui::kScreenNotReady) << b->text().toStdString();
  }
  screen->toParamsButton->click();
  EXPECT_TRUE(params->isVisible());
  screen->exitButton->click();
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(screen->isVisible());
}

// Начать, Остановить during the run and Продолжить write the same orbit file
// as one uninterrupted torvik6-cli run with the same inputs.
TEST_F(ModellingTest, StartStopContinueWritesTheOrbitFileOfTheCli) {
  screen->endYearField->setText("1602");
  screen->orbitFileBox->setChecked(true);
  screen->startButton->click();
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
  ASSERT_TRUE(screen->Runner().Active());
  screen->stopButton->click();
  RunToEnd();
  EXPECT_EQ(screen->Run().end(), RunEnd::Stopped);
  EXPECT_LT(screen->Run().currentYear(), 1603);
  screen->continueButton->click();
  RunToEnd();
  EXPECT_EQ(screen->Run().end(), RunEnd::EndYear);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();

  QTemporaryDir cliDir;
  QProcess cli;
  cli.start(TORVIK6_CLI, {"run", "--folder", cliDir.path(), "--to-year", "1602", "--orbit-file", "--run-date",
                          QString::fromStdString(Today()), "--quiet"});
  ASSERT_TRUE(cli.waitForFinished(120000));
  ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
  const std::string rel = "Plan0/Txt1/Torvik1RasB1.txt";
  const std::string mine = ReadBytes(folder / rel), theirs = ReadBytes(fs::path(cliDir.path().toStdString()) / rel);
  ASSERT_GT(mine.size(), 1000u);
  EXPECT_TRUE(mine == theirs) << "the screen's orbit file differs from torvik6-cli's";
}

TEST_F(ModellingTest, StepBatchButtonDoesExactlyNOutStepsAndOneUpdate) {
  TwoBatches();
  ASSERT_EQ(screen->Run().totalSteps(), 2000);
  const int updates = screen->Updates();
  screen->nOutField->setText("250");
  screen->nc0Button->click();
  RunToEnd();
  EXPECT_EQ(screen->Run().totalSteps(), 2250);
  EXPECT_EQ(screen->Updates(), updates + 1);
  EXPECT_EQ(screen->Run().end(), RunEnd::Stopped);
  EXPECT_EQ(static_cast<ui::NumberField*>(screen->jdField)->Number(), model.JD);  // the whole value behind the field
  EXPECT_NEAR(*ui::ParseNumber(screen->jdField->text()), model.JD, 1e-6);
  EXPECT_TRUE(screen->progressLabel->text().endsWith(ui::kStoppedWord)) << screen->progressLabel->text().toStdString();
}

// With a fixed step, 2000 steps forward and 2000 back with "Назад" bring the
// planet back to where it started; the date runs on all the time.
TEST_F(ModellingTest, ContinueWithBackwardReversesTime) {
  screen->watchBox->setChecked(false);
  const double x0 = model.X0[1], y0 = model.Y0[1];
  TwoBatches();
  const double away = std::hypot(model.X[1] - x0, model.Y[1] - y0);
  EXPECT_GT(away, 1e10);
  screen->dirGroup->Select(1);
  screen->continueButton->click();
  screen->stopButton->click();
  RunToEnd();
  EXPECT_EQ(screen->Run().Dir(), -1);
  EXPECT_EQ(screen->Run().totalSteps(), 4000);
  EXPECT_NEAR(screen->Run().tRun(), 0.0, 1e-6);
  EXPECT_NEAR(std::hypot(model.X[1] - x0, model.Y[1] - y0), 0.0, 1 * kKilometre);
  EXPECT_NEAR(model.JD - model.JDstart, 4000 * 3600.0 / 86400.0, 1e-6);
}

TEST_F(ModellingTest, StartMessages) {
  struct Case {
    QLineEdit* field;
    const char* text;
    const char* message;
  } cases[] = {
      {screen->stepField, "шаг", "Задайте правильно данные"},
      {screen->nOutField, "", "Задайте правильно данные"},
      {screen->endYearField, "2001a", "Задайте правильно данные"},
      {screen->stepField, "-3600", "Задайте правильно данные"},
      {screen->planetField, "0", "Для Солнца с № = 0 этот режим не возможен"},
  };
  for (const Case& c : cases) {
    const QString kept = c.field->text();
    c.field->setText(c.text);
    messages.shown.clear();
    screen->startButton->click();
    EXPECT_FALSE(screen->Runner().Active());
    ASSERT_EQ(messages.shown.size(), 1u) << c.text;
    EXPECT_EQ(messages.LastText(), c.message) << c.text;
    EXPECT_EQ(messages.shown.back().title, "Torvik6");
    c.field->setText(kept);
  }
  // The JPL imitator has no DE405 record for 1601.
  CopyDe405Fixture();
  screen->useGroup->Select(1);
  messages.shown.clear();
  screen->startButton->click();
  EXPECT_FALSE(screen->Runner().Active());
  EXPECT_EQ(messages.LastText(), "В файле нет такой даты");
}

// A 100-year run stays responsive: Остановить pressed from a timer during the
// run ends it at the end of the batch under way.
TEST_F(ModellingTest, StopFromATimerEndsALongRunAtTheNextBatch) {
  screen->endYearField->setText("1700");
  std::int64_t atClick = -1;
  QTimer::singleShot(50, screen, [this, &atClick] {
    atClick = screen->Run().totalSteps();
    screen->stopButton->click();
  });
  screen->startButton->click();
  RunToEnd();
  ASSERT_GE(atClick, 0) << "the timer never fired during the run";
  EXPECT_EQ(screen->Run().end(), RunEnd::Stopped);
  EXPECT_LE(screen->Run().totalSteps() - atClick, 1000);
  EXPECT_LT(screen->Run().currentYear(), 1700);
}

// The plan screen's trigger starts a run; its end is told once, after the
// run loop, and the plan number returns to 0. Starts during the run are refused.
TEST_F(ModellingTest, PlanTriggerStartsARunAndItsEndIsToldOnce) {
  int ended = 0;
  QObject::connect(screen, &ModellingScreen::PlanRunEnded, screen, [&] {
    ++ended;
    EXPECT_FALSE(screen->Runner().Active());
  });
  screen->endYearField->setText("1601");
  model.PlanNo = 2;
  screen->TriggerStart("3600");
  ASSERT_TRUE(screen->Runner().Active());
  const std::int64_t steps = screen->Run().totalSteps();
  screen->startButton->click();
  screen->TriggerStart("3601");
  QCoreApplication::processEvents();
  EXPECT_GT(screen->Run().totalSteps(), steps);  // the same run went on
  RunToEnd();
  EXPECT_EQ(screen->Run().end(), RunEnd::EndYear);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(model.PlanNo, 0);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
}

// Erasing the old marks of the bodies in black leaves the grid, the axes and
// the caption lines under them: after a run of Mercury at a scale where it
// crosses the picture, every pixel that the grid or a caption had lit is lit,
// but where a body stands now.
TEST_F(ModellingTest, ErasingTheBodiesKeepsTheGridAndTheCaptions) {
  screen->SetScaleValue(50);  // Mercury's orbit 2 × 12 units across, over the captions at y = −8, −9
  screen->nOutField->setText("50");
  screen->startButton->click();
  screen->stopButton->click();
  RunToEnd();
  const QImage before = screen->picture->Image();
  const auto X1 = model.X, Y1 = model.Y, Z1 = model.Z;
  for (int k = 0; k < 40; ++k) {
    screen->nc0Button->click();
    RunToEnd();
  }
  const QImage& after = screen->picture->Image();
  int lit = 0, lost = 0;
  for (int y = 0; y < before.height(); ++y)
    for (int x = 0; x < before.width(); ++x) {
      if (before.pixelColor(x, y) == QColor(Qt::black)) continue;
      ++lit;
      if (after.pixelColor(x, y) != QColor(Qt::black)) continue;
      // The marks of the first update are erased; a body may stand there now.
      bool marked = false;
      auto near = [&](double bx, double by, double bz) {
        const QPointF p = screen->picture->ToPixel(bx / 5e9, by / 5e9), q = screen->picture->ToPixel(bx / 5e9, bz / 5e9 + 11);
        return std::hypot(p.x() - x, p.y() - y) < 4 || std::hypot(q.x() - x, q.y() - y) < 4;
      };
      for (int b = 0; b <= 10 && !marked; ++b) marked = near(model.X[b], model.Y[b], model.Z[b]) || near(X1[b], Y1[b], Z1[b]);
      lost += !marked;
    }
  ASSERT_GT(lit, 1000);
  EXPECT_LT(lost, 10) << lit;
  // The caption lines still read: their ink where Mercury passed is back.
  const QRect caption = screen->picture->TextRect(-9, -8, "КЛАССИКА").united(screen->picture->TextRect(-9, -9, " VXSys"));
  int inkBefore = 0, inkAfter = 0;
  for (int y = caption.top(); y <= caption.bottom(); ++y)
    for (int x = caption.left(); x <= caption.right(); ++x) {
      inkBefore += before.pixelColor(x, y).lightness() > 150;
      inkAfter += after.pixelColor(x, y).lightness() > 150;
    }
  EXPECT_GT(inkBefore, 20);
  EXPECT_GE(inkAfter, inkBefore - 5);
}

// After one screen update: each body drawn in its colour, at 0.7 of it below
// the ecliptic; the X coordinate plot in red at the left edge.
TEST_F(ModellingTest, AnimationDimsBodiesBelowTheEclipticAndPlotsTheCoordinate) {
  screen->SetScaleValue(3000);
  screen->coordBoxes[0]->setChecked(true);
  screen->mxField->setText("100000");
  TwoBatches();
  const double Mxy = 3e11;
  int checked = 0, below = 0;
  for (int k = 1; k <= 9; ++k) {
    const double x = model.X[k] / Mxy, y = model.Y[k] / Mxy;
    if (std::fabs(x) > 9 || std::fabs(y) > 9) continue;
    bool alone = true;
    for (int j = 0; j <= 9; ++j)
      if (j != k && std::hypot(model.X[j] / Mxy - x, model.Y[j] / Mxy - y) < 0.3) alone = false;
    if (!alone) continue;
    const double b = model.Z[k] < 0 ? 0.7 : 1.0;
    const QColor want(std::lround(model.ColR[k] * b), std::lround(model.ColG[k] * b), std::lround(model.ColB[k] * b));
    EXPECT_EQ(screen->picture->ColourAt(x, y), want) << kBodyNames[k];
    ++checked;
    below += model.Z[k] < 0;
  }
  EXPECT_GE(checked, 2);
  const double t = screen->Run().tMod() / model.sekG / 100 - 10;
  const double y = model.X[1] / 1e6 / 100000;
  bool red = false;
  for (double dx : {0.0, -0.05, 0.05})
    red = red || screen->picture->ColourAt(t + dx, y) == QColor(255, 0, 0);
  EXPECT_TRUE(red) << "no red point at " << t << ", " << y;
}

TEST_F(ModellingTest, ComparisonTableAndTheSunsMessage) {
  CopyDe405Fixture();
  screen->jdField->setText("2451545");
  screen->compareButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  // Light text on the black picture, in its upper half.
  int lit = 0;
  const QImage& img = screen->picture->Image();
  for (int y = 0; y < img.height() / 2; ++y)
    for (int x = 0; x < img.width(); ++x) lit += qGray(img.pixel(x, y)) > 128;
  EXPECT_GT(lit, 2000);
  EXPECT_EQ(model.JD, model.JDstart);  // the run's date is not moved
  screen->planetField->setText("0");
  screen->compareButton->click();
  EXPECT_EQ(messages.LastText(), "Для Солнца нет проверки");
  EXPECT_EQ(messages.shown.back().title, "Torvik6.0");
}

// A click on the overview moves the main picture there.
TEST_F(ModellingTest, OverviewClickPans) {
  screen->SetScaleValue(3000);
  ui::Picture* o = screen->overview;
  const QPointF at(o->width() * 0.75, o->height() * 0.25);  // (1.95, 1.95) of −3.9..3.9
  QMouseEvent press(QEvent::MouseButtonPress, at, o->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(o, &press);
  const double want = 1.95 * 1.8e12 / 3e11;
  EXPECT_NEAR(screen->PanX(), want, 0.1);
  EXPECT_NEAR(screen->PanY(), want, 0.1);
  screen->SetScaleValue(1000);
  EXPECT_EQ(screen->scaleLabel->text().toStdString(), "Масштаб = 100 млн.км/см");
  // One click of the bar changes the scale by the same ratio at any scale.
  for (double v : {1000.0, 10.0}) {
    screen->SetScaleValue(v);
    screen->scaleBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_NEAR(screen->ScaleValue() / v, 1.12, 0.01) << v;
  }
}

TEST_F(ModellingTest, GravityTestIterationGivesTheNextRunItsDelayPasses) {
  screen->vgrTestButton->click();
  auto* test = static_cast<VgrTestScreen*>(nav.Find("vgrtest"));
  ASSERT_TRUE(test);
  for (int k : {1, 2, 3}) test->bodies[k]->setChecked(true);
  test->placeButton->click();
  EXPECT_EQ(messages.LastText(), "Должно быть отмечено только 2 объекта");
  test->bodies[3]->setChecked(false);
  messages.shown.clear();
  test->placeButton->click();
  test->restButton->click();
  test->nIterField->setText("5");
  EXPECT_EQ(model.NIterVgr, 0);
  test->iterateButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(model.NIterVgr, 5);
  EXPECT_EQ(test->doneField->text().toStdString(), "1");

  // The next model run with the finite speed: as a run with NIterVgr = 5
  // (6 passes), unlike one with the default 2.
  const Model before = model;
  screen->watchBox->setChecked(false);
  screen->vgrBox->setChecked(true);
  screen->vgrField->setText("0.001");
  TwoBatches();
  auto reference = [&](std::int16_t passesMinusOne) {
    Model m = before;
    m.NIterVgr = passesMinusOne;
    RunSettings s;
    s.folder = folder;
    s.watch = false;
    s.live.finiteSpeed = true;
    s.VgrFactor = 0.001;
    ModelRun run(m);
    EXPECT_FALSE(run.Start(s));
    run.Batch();
    run.Batch();
    return std::array<double, 3>{m.X[3], m.Y[3], m.Z[3]};
  };
  const auto five = reference(5), two = reference(2);
  EXPECT_EQ(five, (std::array<double, 3>{model.X[3], model.Y[3], model.Z[3]}));
  EXPECT_NE(two, five);
}

// The force of the Sun on the Earth (with the Moon), 3.4–3.75·10^22 N, does not fit the picture at
// the default 2·10^16 N per unit; a larger MF draws it.
TEST_F(ModellingTest, GravityTestAsksForALargerForceScale) {
  auto* test = static_cast<VgrTestScreen*>(nav.Show("vgrtest"));
  test->bodies[0]->setChecked(true);
  test->bodies[3]->setChecked(true);
  test->placeButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  test->restButton->click();
  EXPECT_EQ(messages.LastText(), "Введите правильно данные или увеличьте MF");
  EXPECT_EQ(messages.shown.back().title, "Torvik6");
  messages.shown.clear();
  test->mfField->setText("1e10");
  test->restButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  const double F = ui::ParseNumber(test->restF->text()).value_or(0);
  EXPECT_GT(F, 3.4e22);  // between aphelion and perihelion
  EXPECT_LT(F, 3.75e22);
}

}  // namespace
}  // namespace torvik
