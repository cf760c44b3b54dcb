#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <set>

#include "core/model.h"
#include "core/paths.h"
#include "params/screens/parameters.h"
#include "params/screens/register.h"
#include "params/screens/velocity.h"
#include "tools/helptext.h"
#include "tools/screens/register.h"
#include "ui/app.h"
#include "ui/messages.h"
#include "ui/screenshots.h"

namespace torvik {
namespace {

constexpr double kDegree = 1.0;
constexpr double kMicroDegree = 1e-6 * kDegree;
constexpr double kKmPerS = 1.0;

// The program as the application builds it, on a scratch folder, with every
// message captured.
class ScreensTest : public ::testing::Test {
 protected:
  ScreensTest() {
    test::App();
    EXPECT_TRUE(dir.isValid());
    folder = dir.path().toStdString();
    EnsureProgramFolder(folder);
    SetConstants(model);
    RegisterParamsScreens(nav, model, folder);
    RegisterToolsScreens(nav);
    nav.SetExitAction([this] { ++exits; });
    params = static_cast<ParametersScreen*>(nav.Show("parameters"));
  }

  double Cell(int row, int body) const {
    auto v = ui::ParseNumber(params->grid->item(row, body)->text());
    EXPECT_TRUE(v) << "cell " << row << "," << body << " \"" << params->grid->item(row, body)->text().toStdString()
                   << "\"";
    return v.value_or(NAN);
  }
  static double Field(const QLineEdit* f) {
    auto v = ui::ParseNumber(f->text());
    EXPECT_TRUE(v) << "field \"" << f->text().toStdString() << "\"";
    return v.value_or(NAN);
  }
  // Runs the event loop until the orbit check's batches are over (or the limit).
  void RunEvents(int turns) {
    for (int i = 0; i < turns && params->Runner().Active(); ++i) QCoreApplication::processEvents();
  }
  // True when a pixel within `radiusPx` of (x, y) has the colour.
  static bool ColourNear(const ui::Picture& p, double x, double y, const QColor& c, int radiusPx = 3) {
    QPointF at = p.ToPixel(x, y);
    for (int dy = -radiusPx; dy <= radiusPx; ++dy)
      for (int dx = -radiusPx; dx <= radiusPx; ++dx) {
        int px = static_cast<int>(at.x()) + dx, py = static_cast<int>(at.y()) + dy;
        if (p.Image().valid(px, py) && p.Image().pixelColor(px, py) == c) return true;
      }
    return false;
  }

  QTemporaryDir dir;
  std::filesystem::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  ParametersScreen* params = nullptr;
  int exits = 0;
};

// Mean elements at 1.5 January 1601 (JD 2305814, T = −3.98989 centuries)
// from the published JPL approximate elements (Standish, table for
// 1800–2050): value at J2000 and rate per century.
struct JplRow {
  int body;
  double a0, aDot;  // AU
  double e0, eDot;
  double i0, iDot;  // degrees
  double l0, lDot;
  double p0, pDot;  // longitude of perihelion
  double n0, nDot;  // node
};
constexpr JplRow kMars = {4,           1.52371034,  0.00001847,   0.09339410, 0.00007882, 1.84969142,  -0.00813131,
                          -4.55343205, 19140.30268499, -23.94362959, 0.44441088, 49.55953891, -0.29257343};
constexpr JplRow kJupiter = {5,          5.20288700,  -0.00011607, 0.04838624, -0.00013253, 1.30439695, -0.00183714,
                             34.39644051, 3034.74612775, 14.72847983, 0.21252668, 100.47390909, 0.20469106};

double Wrap360(double deg) { return deg - 360.0 * std::floor(deg / 360.0); }

TEST_F(ScreensTest, StartUpShowsTheJplElementsOf1601AndDrawsThePlanets) {
  EXPECT_EQ(params->windowTitle().toStdString(), "Параметры объектов и начальные данные  Torvik6 - форма 1");
  EXPECT_EQ(Field(params->jdField), 2305814.0);
  EXPECT_EQ(params->loadGroup->Selected(), 1);  // "JPL "
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  const double T = (2305814.0 - 2451545.0) / 36525.0;
  const double au = 149597870.691;  // thousand km... in km; the grid shows thousands of km
  for (const JplRow& r : {kMars, kJupiter}) {
    struct Want {
      int row;
      double value, tol;
    } wants[] = {
        {0, Wrap360(r.l0 + r.lDot * T), 2 * kMicroDegree},
        {1, (r.a0 + r.aDot * T) * au / 1000.0, 1e-3},  // thousand km, to a metre
        {3, r.e0 + r.eDot * T, 2e-6},
        {4, r.i0 + r.iDot * T, 2 * kMicroDegree},
        {5, Wrap360(r.p0 + r.pDot * T), 2 * kMicroDegree},
        {6, Wrap360(r.n0 + r.nDot * T), 2 * kMicroDegree},
    };
    for (const Want& w : wants) {
      const double got = Cell(w.row, r.body);
      EXPECT_NEAR(got, w.value, w.tol) << "body " << r.body << " row " << w.row << " want " << w.value << " got "
                                       << got << " diff " << got - w.value;
    }
  }
  // Every planet is drawn in its colour where its position falls (300 million km per unit).
  EXPECT_EQ(model.Mxy, 3e11);
  for (int k = 1; k <= 9; ++k) {
    const double x = model.X[k] / model.Mxy, y = model.Y[k] / model.Mxy;
    if (std::fabs(x) > 7 || std::fabs(y) > 7) continue;
    EXPECT_TRUE(ColourNear(*params->picture, x, y, QColor(model.ColR[k], model.ColG[k], model.ColB[k])))
        << kBodyNames[k] << " not drawn at " << x << ", " << y;
  }
  EXPECT_EQ(params->scaleLabel->text().toStdString(), "Масштаб изображения=300млн.км/см");
}

TEST_F(ScreensTest, DisplayModeRelabelsAndRefillsTheRows) {
  const char* elements[] = {"AlfaL, град", "R0sr, тыс.км", "W0sr, рад/год", "Eks",
                            "Betta, град", "AlfaP, град",  "AlfaU, град"};
  const char* initial[] = {"X, тыс.км", "Y, тыс.км ", "Z, тыс.км", "VX, м/с", "VY, м/с", "VZ, м/с", "mSol/mPl"};
  for (int r = 0; r < 7; ++r)
    EXPECT_EQ(params->grid->verticalHeaderItem(r)->text().toStdString(), elements[r]);
  params->modeGroup->Option(1)->click();
  for (int r = 0; r < 7; ++r)
    EXPECT_EQ(params->grid->verticalHeaderItem(r)->text().toStdString(), initial[r]);
  // The Earth at about 1 AU from the Sun, moving at about 30 km/s; Jupiter's mass ratio.
  const double r = std::hypot(Cell(0, 3), Cell(1, 3), Cell(2, 3));
  EXPECT_NEAR(r, 149597.87, 2600.0);
  EXPECT_NEAR(std::hypot(Cell(3, 3), Cell(4, 3), Cell(5, 3)), 29780.0, 600.0);
  EXPECT_EQ(Cell(6, 5), 1047.3486);
  params->modeGroup->Option(0)->click();
  EXPECT_EQ(params->grid->verticalHeaderItem(0)->text().toStdString(), elements[0]);
}

TEST_F(ScreensTest, ScreenLoadWithANonNumericCellReportsTheReadError) {
  params->loadGroup->Option(4)->click();  // "с экрана"
  ASSERT_EQ(params->SelectedLoadOption(), LoadOption::Screen);
  params->grid->item(2, 4)->setText("abc");
  params->loadButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Ошибка чтения данных");
  EXPECT_EQ(messages.shown[0].title, "Torvik6.0");
  // A non-numeric date field fails an element load with its own message.
  params->loadGroup->Option(1)->click();
  params->yearField->setText("x");
  params->loadButton->click();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].text, "Задайте правильно данные");
  EXPECT_EQ(messages.shown[1].title, "Torvik6");
}

TEST_F(ScreensTest, DecimalCommaOfTheLocaleShownAndReadBack) {
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  params->modeGroup->Option(1)->click();
  EXPECT_TRUE(params->grid->item(0, 3)->text().contains(',')) << params->grid->item(0, 3)->text().toStdString();
  std::vector<double> shown;
  for (int r = 0; r < 7; ++r) shown.push_back(Cell(r, 3));
  params->loadGroup->Option(4)->click();  // "с экрана": the grid as shown goes back into the model
  params->loadButton->click();
  QLocale::setDefault(QLocale::c());
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  for (int r = 0; r < 7; ++r) EXPECT_NEAR(Cell(r, 3), shown[r], 2e-6 * std::fabs(shown[r])) << "row " << r;
}

TEST_F(ScreensTest, DateButtonsRoundTripJ2000) {
  params->yearField->setText("2000");
  params->monthField->setText("1");
  params->dayField->setText("1,5");  // the decimal comma of a Russian user
  params->gjButton->click();
  EXPECT_EQ(Field(params->jdField), 2451545.0);
  params->yearField->clear();
  params->monthField->clear();
  params->dayField->clear();
  params->jdField->setText("2451545");
  params->jgButton->click();
  EXPECT_EQ(params->yearField->text().toStdString(), "2000");
  EXPECT_EQ(params->monthField->text().toStdString(), "1");
  EXPECT_EQ(Field(params->dayField), 1.5);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  params->jdField->setText("JD");
  params->jgButton->click();
  params->monthField->setText("13");
  params->gjButton->click();
  ASSERT_EQ(messages.shown.size(), 2u);
  for (const auto& m : messages.shown) {
    EXPECT_EQ(m.text, "Задайте правильно данные");
    EXPECT_EQ(m.title, "Torvik6");
  }
}

TEST_F(ScreensTest, SaveAndLoadAFileThroughTheButtons) {
  params->modeGroup->Option(1)->click();
  std::vector<QString> saved;
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 11; ++c) saved.push_back(params->grid->item(r, c)->text());
  params->fileField->setText("7");
  params->saveButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  ASSERT_TRUE(std::filesystem::exists(ResolvePath(folder, "\\torvik7.dat")));

  // Other data in the model, then the file back.
  params->loadGroup->Option(0)->click();  // Newcomb
  params->yearField->setText("1900");
  params->loadButton->click();
  params->initialButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_NE(params->grid->item(0, 3)->text(), saved[3]);
  params->loadGroup->Option(3)->click();  // "из файла №    или "
  params->loadButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(params->yearField->text().toStdString(), "1601");
  EXPECT_EQ(Field(params->jdField), 2305814.0);
  // Positions to 1 km, velocities to 1 µm/s and mass ratios to 0.001 come back.
  for (int r = 0; r < 7; ++r)
    for (int c = 0; c < 11; ++c) {
      const double want = ui::ParseNumber(saved[r * 11 + c]).value_or(NAN), got = Cell(r, c);
      const double tol = r < 3 ? 1e-3 : r < 6 ? 1e-6 : 1e-3 * std::fabs(want) + 1e-3;
      EXPECT_NEAR(got, want, tol) << "row " << r << " body " << c << " diff " << got - want;
    }

  // A missing file: its own message, nothing else changed.
  params->fileField->setText("99");
  params->loadButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text.rfind("Ошибка чтения файла", 0), 0u) << messages.shown[0].text;
  EXPECT_EQ(messages.shown[0].title, "Torvik6.0");
}

TEST_F(ScreensTest, OrbitCheckStartsStopsAndContinuesThroughTheButtons) {
  params->nc0Field->setText("200");
  params->trajectories->setChecked(true);
  params->scaleBar->setValue(300);  // 30 million km per unit: Mercury's orbit about 2 units across
  params->bodyGroup->Option(1)->click();  // Меркурий
  params->checkButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_TRUE(params->Runner().Active());
  EXPECT_EQ(params->Check().StepsDone(), 200);  // the first batch runs in the handler
  params->checkButton->click();  // a second start restarts the check between batches
  EXPECT_EQ(params->Check().StepsDone(), 0);
  EXPECT_TRUE(params->Runner().Active());
  EXPECT_TRUE(messages.shown.empty());
  QCoreApplication::processEvents();  // the running loop goes on with the new check
  EXPECT_EQ(params->Check().StepsDone(), 200);
  const auto p1 = params->Check().State();
  QCoreApplication::processEvents();  // one more batch
  EXPECT_EQ(params->Check().StepsDone(), 400);
  const auto p2 = params->Check().State();
  {
    // Halfway between two screen updates only the trajectory marks Mercury's path.
    const double r = std::hypot(p1[3], p1[4]), mx = (p1[3] + p2[3]) / 2, my = (p1[4] + p2[4]) / 2;
    const double k = r / std::hypot(mx, my) / model.Mxy;
    EXPECT_TRUE(ColourNear(*params->picture, mx * k, my * k, QColor(0, 255, 0), 3));
  }
  RunEvents(40);  // the user interface answers between batches
  const long long beforeStop = params->Check().StepsDone();
  EXPECT_GT(beforeStop, 200);
  EXPECT_EQ(beforeStop % 200, 0);
  params->stopButton->click();
  RunEvents(5);
  EXPECT_FALSE(params->Runner().Active());
  EXPECT_EQ(params->Check().StepsDone(), beforeStop + 200);  // ends at the next screen update
  EXPECT_FALSE(params->dTField->text().isEmpty());

  // Continue until Mercury has passed its perihelion (88 days), then stop again.
  params->continueButton->click();
  EXPECT_TRUE(params->Runner().Active());
  for (int i = 0; i < 400 && params->periodField->text().isEmpty(); ++i) QCoreApplication::processEvents();
  params->stopButton->click();
  RunEvents(5);
  EXPECT_FALSE(params->Runner().Active());
  ASSERT_FALSE(params->periodField->text().isEmpty());
  EXPECT_NEAR(Field(params->eksField), 0.2056, 0.002);
  EXPECT_NEAR(Field(params->rsrField), 57909.0, 60.0);  // thousand km
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();

  // "сделать NC0 шагов" with NC0 = 1: one step and one update.
  params->nc0Field->setText("1");
  const long long before = params->Check().StepsDone();
  params->nc0Button->click();
  RunEvents(5);
  EXPECT_EQ(params->Check().StepsDone(), before + 1);
  EXPECT_FALSE(params->Runner().Active());

  // The Sun has no check.
  params->bodyGroup->Option(0)->click();
  params->checkButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Для Солнца нет проверки");
  EXPECT_EQ(messages.shown[0].title, "Torvik4.0");
}

TEST_F(ScreensTest, ScaleBarRescalesThePicture) {
  params->scaleBar->setValue(1);
  EXPECT_EQ(model.Mxy, 1e8);
  EXPECT_EQ(params->scaleLabel->text().toStdString(), "Масштаб изображения=0.1 млн.км/см");
  params->scaleBar->setValue(3000);
  EXPECT_EQ(params->scaleLabel->text().toStdString(), "Масштаб изображения=300 млн.км/см");
}

TEST_F(ScreensTest, BodyCheckBoxesSetTheSystem) {
  params->inSys[0]->setChecked(false);
  EXPECT_EQ(model.InSys[0], 0);
  EXPECT_EQ(model.kPair[0][3], 0);
  EXPECT_EQ(model.kPair[3][5], 1);
  params->inSys[10]->setChecked(true);
  EXPECT_EQ(model.InSys[10], 1);
}

TEST_F(ScreensTest, CentreOfMassShownAndMovedToTheOrigin) {
  params->cmBox->setChecked(true);
  params->cmFindButton->click();
  const double x = Field(params->lmaxField);
  EXPECT_GT(std::fabs(x) + std::fabs(Field(params->lminField)), 100.0);  // thousand km: Jupiter pulls it out
  // The blue cross reaches one picture unit to each side of the centre of mass.
  const double cx = model.X[11] / model.Mxy, cy = model.Y[11] / model.Mxy;
  EXPECT_TRUE(ColourNear(*params->picture, cx, cy + 0.9, QColor(0, 0, 250), 1));
  EXPECT_TRUE(ColourNear(*params->picture, cx - 0.9, cy, QColor(0, 0, 250), 1));
  params->cmOriginButton->click();
  EXPECT_EQ(params->Mode(), GridMode::InitialData);
  params->cmFindButton->click();
  for (QLineEdit* f : {params->lmaxField, params->lminField, params->vmaxField}) EXPECT_NEAR(Field(f), 0.0, 1e-3);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
}

TEST_F(ScreensTest, VelocityDecompositionWithAReversedRow) {
  params->velocityButton->click();
  auto* v = static_cast<VelocityScreen*>(nav.Find("velocity"));
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->isVisible());
  EXPECT_EQ(v->windowTitle().toStdString(), "Скорости Солнечной системы       Torvik6");
  for (int i = 0; i < 5; ++i) v->rows[i].on->setChecked(i == 0 || i == 2);
  v->rows[0].sign->Option(1)->click();  // "--"
  EXPECT_EQ(v->rows[0].sign->Option(1)->text().toStdString(), "--");
  v->decomposeButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  // Row 1 reversed: 19.4 km/s toward α = 270°, β = 53° becomes (0, +11.675, −15.494).
  const double c53 = std::cos(53 * M_PI / 180), s53 = std::sin(53 * M_PI / 180);
  const double want1[3] = {0.0, 19.4 * c53, -19.4 * s53};
  const double c28 = std::cos(28 * M_PI / 180), s28 = std::sin(28 * M_PI / 180), c33 = std::cos(33 * M_PI / 180);
  const double want3[3] = {105 * c33 * c28, 105 * c33 * s28, 105 * std::sin(33 * M_PI / 180)};
  QLineEdit* got1[3] = {v->rows[0].vx, v->rows[0].vy, v->rows[0].vz};
  QLineEdit* got3[3] = {v->rows[2].vx, v->rows[2].vy, v->rows[2].vz};
  QLineEdit* sum[3] = {v->vxSum, v->vySum, v->vzSum};
  for (int c = 0; c < 3; ++c) {
    EXPECT_NEAR(Field(got1[c]), want1[c], 1e-6 * kKmPerS) << "row 1 component " << c;
    EXPECT_NEAR(Field(got3[c]), want3[c], 1e-6 * kKmPerS) << "row 3 component " << c;
    EXPECT_NEAR(Field(sum[c]), want1[c] + want3[c], 1e-6 * kKmPerS) << "sum component " << c;
  }
  EXPECT_TRUE(v->rows[1].vx->text().isEmpty());  // unchecked rows are not computed
  // The reversed x–y segment of row 1 ends at (0, 11.675/50 − 5), in its colour.
  EXPECT_TRUE(ColourNear(*v->picture, 0.0, want1[1] / 50 - 5, QColor(200, 0, 0), 2));

  // A bad field: the message of this screen.
  v->rows[2].alfa->setText("2 8");
  v->decomposeButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Введите правильно данные");
  EXPECT_EQ(messages.shown[0].title, "Torvik5");

  // The system velocity goes into every current velocity and the parameters
  // screen shows the initial data.
  v->vxSys->setText("10");
  v->vySys->setText("-20,5");
  v->vzSys->setText("0");
  v->setButton->click();
  EXPECT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(model.VXsys, 10.0);
  for (int k = 0; k <= 10; ++k) {
    EXPECT_EQ(model.VX[k], 10000.0 + model.VX0[k]);
    EXPECT_EQ(model.VY[k], -20500.0 + model.VY0[k]);
    EXPECT_EQ(model.VZ[k], model.VZ0[k]);
  }
  EXPECT_EQ(params->Mode(), GridMode::InitialData);
  EXPECT_FALSE(params->triggerField->text().isEmpty());
  v->closeButton->click();
  EXPECT_FALSE(v->isVisible());
}

TEST_F(ScreensTest, NavigationAndExit) {
  params->toModelButton->click();
  params->toObserveButton->click();
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, ui::kScreenNotReady);
  params->aboutButton->click();
  params->notationButton->click();
  auto* help = static_cast<HelpScreen*>(nav.Find("help"));
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->windowTitle().toStdString(), "Справка по кнопкам  программы Torvik6");
  EXPECT_EQ(nav.Find("notation")->windowTitle().toStdString(), "Система координат в программе Torvik6");
  EXPECT_EQ(nav.Get("files")->windowTitle().toStdString(), "Файловая система программы Torvik6");
  params->exitButton->click();
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(params->isVisible());
  EXPECT_FALSE(help->isVisible());
}

TEST_F(ScreensTest, HelpTextHasEverySectionAndEveryButtonOfTheParametersScreen) {
  auto* help = static_cast<HelpScreen*>(nav.Get("help"));
  help->EnsureBuilt();
  const std::string text = help->text->toPlainText().toStdString();
  size_t at = 0;
  for (const std::string& section : HelpSections()) {
    size_t found = text.find("\n" + section + "\n", at);
    ASSERT_NE(found, std::string::npos) << "section missing or out of order: " << section;
    at = found + 1;
  }
  for (QPushButton* b : params->findChildren<QPushButton*>()) {
    // Built with append: GCC 12 misreports "-" + std::string under -O3 (-Wrestrict).
    std::string line(1, '-');
    line.append(b->text().trimmed().toStdString());
    EXPECT_NE(text.find(line), std::string::npos) << "no help line for \"" << b->text().toStdString() << "\"";
  }
}

TEST_F(ScreensTest, CaptionsOfTheParametersScreenAreExact) {
  std::set<std::string> buttons, checks, options;
  for (auto* b : params->findChildren<QPushButton*>()) buttons.insert(b->text().toStdString());
  for (auto* b : params->findChildren<QCheckBox*>()) checks.insert(b->text().toStdString());
  for (auto* b : params->findChildren<QRadioButton*>()) options.insert(b->text().toStdString());
  for (const char* want :
       {"Загрузить параметры орбит и (или)  данные ", "Сохранить параметры и данные в файле №",
        "Рассчитать по загруженным параметрам начальные данные для планет ", "Найти координаты ЦМ системы",
        "ЦМ системы в начало координат", "Найти по полученным данным планет скорость Солнца Vsol",
        "Учесть для планет Vsol ", "Проверить параметры орбиты и ошибку их определения", "Остановить",
        "Продолжить ", "сделать NC0 шагов", "G->J", "J->G", "К моделированию", "К наблюдениям",
        "Задать скорость Солнечной системы* ", "Обозначения*", "About*", "Выход"})
    EXPECT_EQ(buttons.count(want), 1u) << "button \"" << want << "\"";
  EXPECT_EQ(buttons.size(), 19u);
  for (const char* want : {"Vsol=0", "ЦМ", "траектории", "AlfaP0=AlfaEklip=", "Солнце", "Ксена"})
    EXPECT_EQ(checks.count(want), 1u) << "check box \"" << want << "\"";
  for (const char* want : {"параметры Ньюкома на заданную дату и эпоху этой даты", "JPL ",
                           "Mox на заданную дату для эпохи J2000", "из файла №    или ", "с экрана",
                           "параметры объектов", "начальные данные", "Меркурий"})
    EXPECT_EQ(options.count(want), 1u) << "option \"" << want << "\"";
  EXPECT_EQ(params->modeGroup->title().toStdString(), "Показавать на экране или загружать с экрана");
  EXPECT_TRUE(params->vsol0->isChecked());
  EXPECT_FALSE(params->cmBox->isChecked());
  EXPECT_FALSE(params->trajectories->isChecked());
  EXPECT_EQ(params->bodyGroup->Selected(), 1);
  EXPECT_EQ(params->scaleBar->minimum(), 1);
  EXPECT_EQ(params->scaleBar->maximum(), 10000);
}

TEST_F(ScreensTest, ScreenshotsOfEveryScreen) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  EXPECT_TRUE(ui::RenderScreens(nav, out.path()).empty());
  for (const char* id : {"parameters", "velocity", "help", "notation", "files"}) {
    QImage image(QDir(out.path()).filePath(QString(id) + ".png"));
    EXPECT_FALSE(image.isNull()) << id;
    EXPECT_GT(image.width(), 300) << id;
  }
  EXPECT_TRUE(params->isVisible());  // a shown screen stays shown
}

}  // namespace
}  // namespace torvik
