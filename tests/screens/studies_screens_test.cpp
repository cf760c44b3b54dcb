// The study screens through their controls: the coordinate converter, the
// aberration study and the ellipse comparison (offscreen).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <cmath>

#include "core/model.h"
#include "core/paths.h"
#include "params/screens/register.h"
#include "tools/screens/aberration.h"
#include "tools/screens/converter.h"
#include "tools/screens/ellipse.h"
#include "tools/screens/register.h"
#include "ui/app.h"
#include "ui/messages.h"
#include "ui/screenshots.h"

namespace torvik {
namespace {

constexpr double kUgol = 180.0 / 3.14159265359;

class StudyScreensTest : public ::testing::Test {
 protected:
  StudyScreensTest() {
    test::App();
    EXPECT_TRUE(dir.isValid());
    folder = dir.path().toStdString();
    EnsureProgramFolder(folder);
    SetConstants(model);
    RegisterParamsScreens(nav, model, folder);  // the start-up load: masses and elements
    RegisterStudyScreens(nav, model);
    nav.Get("parameters");
  }
  template <typename S>
  S* Open(const char* id) {
    auto* s = dynamic_cast<S*>(nav.Show(id));
    EXPECT_TRUE(s) << id;
    return s;
  }
  static double Field(const QLineEdit* f) {
    auto v = ui::ParseNumber(f->text());
    EXPECT_TRUE(v) << "field \"" << f->text().toStdString() << "\"";
    return v.value_or(NAN);
  }

  QTemporaryDir dir;
  std::filesystem::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
};

TEST_F(StudyScreensTest, TitlesAndDefaults) {
  auto* c = Open<ConverterScreen>("converter");
  auto* a = Open<AberrationScreen>("aberration");
  auto* e = Open<EllipseScreen>("ellipse");
  EXPECT_EQ(c->windowTitle(), "Torvik6 - Преобразователь координат");
  EXPECT_EQ(a->windowTitle(), "Компоненты аберрации (обратный отсчет) Torvik6");
  EXPECT_EQ(e->windowTitle(), "Эллипс и эксцентр (сравнение) - Torvik6 ");
  EXPECT_EQ(c->objectGroup->Selected(), kObjectMoon);
  EXPECT_EQ(c->angleUnitGroup->Selected(), 1);
  EXPECT_EQ(Field(c->obsLField), 44.5);
  EXPECT_EQ(Field(c->daysField), 5.25);
  EXPECT_EQ(Field(e->e2Field), 0.4);
  EXPECT_EQ(e->modelGroup->Selected(), 0);
  EXPECT_TRUE(e->dAlfaBox->isChecked());
  EXPECT_FALSE(e->dRBox->isChecked());
  EXPECT_TRUE(messages.shown.empty());
}

// "Задать координаты" in one system, "Преобразовать" into another and back
// through "Показать … в окошках исходных данных": the source comes back.
TEST_F(StudyScreensTest, ConverterRoundTripThroughTheButtons) {
  auto* c = Open<ConverterScreen>("converter");
  c->objectGroup->Select(4);  // Марс
  c->setButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(Field(c->jdField), 2451544.875);
  EXPECT_NEAR(Field(c->etUtField), 2.110325, 1e-6);
  const double L = Field(c->source[3]), B = Field(c->source[4]), R = Field(c->source[5]);
  c->originGroup->Select(2);
  c->planeGroup->Select(2);  // topocentric horizontal
  c->convertButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  const double tau = Field(c->tauField);
  EXPECT_GE(tau, 0.0);
  EXPECT_LT(tau, 360.0);
  c->copyButton->click();
  c->originGroup->Select(0);
  c->planeGroup->Select(0);
  c->convertButton->click();
  EXPECT_NEAR(Field(c->converted[3]), L, 2e-6);
  EXPECT_NEAR(Field(c->converted[4]), B, 2e-6);
  EXPECT_NEAR(Field(c->converted[5]), R, 0.01);  // copied angles are truncated to 1e-6°: 5 km at Mars
}

// "Показать …" takes the system the values were converted into, not the
// options chosen since: geocentric equatorial values stay equatorial.
TEST_F(StudyScreensTest, ConverterCopiesInTheSystemConvertedInto) {
  auto* c = Open<ConverterScreen>("converter");
  c->objectGroup->Select(4);  // Марс
  c->setButton->click();
  c->originGroup->Select(1);
  c->planeGroup->Select(1);  // geocentric equatorial
  c->convertButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  const double ra = Field(c->converted[3]), dec = Field(c->converted[4]);
  c->originGroup->Select(2);
  c->planeGroup->Select(2);  // topocentric horizontal chosen, not converted
  c->copyButton->click();
  c->originGroup->Select(1);
  c->planeGroup->Select(1);
  c->convertButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_NEAR(Field(c->converted[3]), ra, 2e-6);
  EXPECT_NEAR(Field(c->converted[4]), dec, 2e-6);
}

TEST_F(StudyScreensTest, ConverterMessagesLeaveTheFields) {
  auto* c = Open<ConverterScreen>("converter");
  const QString x = c->source[0]->text();
  c->planeGroup->Select(2);  // the horizon with the heliocentric system
  c->setButton->click();
  EXPECT_EQ(messages.LastText(), kMsgHorizonSource);
  EXPECT_EQ(c->source[0]->text(), x);
  EXPECT_TRUE(c->jdField->text().isEmpty());
  c->convertButton->click();
  EXPECT_EQ(messages.LastText(), kMsgHorizonTarget);
  c->planeGroup->Select(0);
  c->dayField->setText("первое");
  c->gjButton->click();
  EXPECT_EQ(messages.LastText(), kMsgBadDate);
  c->jdField->setText("J2000");
  c->jgButton->click();
  EXPECT_EQ(messages.LastText(), kMsgBadJD);
  c->jdField->setText("2451545");
  c->jgButton->click();
  EXPECT_EQ(Field(c->dayField), 1.625);  // noon UT is 15 h in zone 3
  c->daysField->setText("много");
  c->advanceButton->click();
  EXPECT_EQ(messages.LastText(), kMsgBadDays);
  EXPECT_EQ(messages.shown.back().title, kTitle0);
}

TEST_F(StudyScreensTest, ConverterAdvancesTheDateAndTheAngleTool) {
  auto* c = Open<ConverterScreen>("converter");
  c->advanceButton->click();  // 1.5 + 5.25 days
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(Field(c->dayField), 6.75);
  EXPECT_EQ(Field(c->jdField), 2451550.125);
  // 23h09m16.641s as h-m-s, shown as d-m-s and given as the longitude.
  c->angleUnitGroup->Select(0);
  c->angleIn[0]->setText("23");
  c->angleIn[1]->setText("9");
  c->angleIn[2]->setText("16,641");
  c->readAngleButton->click();
  EXPECT_NEAR(Field(c->angleInDecimal), 23.154622, 1e-6);
  c->angleUnitGroup->Select(1);
  c->showAngleButton->click();
  EXPECT_EQ(Field(c->angleOut[0]), 347.0);
  EXPECT_EQ(Field(c->angleOut[1]), 19.0);
  EXPECT_NEAR(Field(c->angleOut[2]), 9.615, 1e-6);
  c->toLongitudeButton->click();
  EXPECT_NEAR(Field(c->source[3]), 347.3193375, 1e-6);  // shown to six decimals
}

TEST_F(StudyScreensTest, AberrationPresses) {
  auto* a = Open<AberrationScreen>("aberration");
  a->findButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  for (int i = 0; i < 3; ++i) a->iterateButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(Field(a->iterationsField), 3.0);
  const double real = Field(a->angleFields[0][0]), observed = Field(a->angleFields[4][0]);
  EXPECT_NEAR(Field(a->angleFields[3][0]), real - observed, 2e-6);
  EXPECT_NEAR(Field(a->tField), Field(a->sField) * 1e6 / model.Vsv, 1e-3);
  a->bodies[5]->setChecked(true);  // Марс and Юпитер
  a->findButton->click();
  EXPECT_EQ(messages.LastText(), kMsgOneObject);
  a->vxField->setText("быстро");
  a->iterateButton->click();
  EXPECT_EQ(messages.LastText(), kMsgAberrationBadVelocity);
  EXPECT_EQ(messages.shown.back().title, kTitle);
}

// One step per press of "Сделать 1 шаг"; a run goes on turn after turn until
// "Остановить"; a changed scale applies from the next point.
TEST_F(StudyScreensTest, EllipseRunControl) {
  auto* e = Open<EllipseScreen>("ellipse");
  e->stepButton->click();
  EXPECT_EQ(Field(e->tField), 0.1);
  EXPECT_EQ(Field(e->r1Field), 180000.0);
  EXPECT_EQ(Field(e->dRField), -30000.0);
  EXPECT_FALSE(e->Runner().Active());
  e->stepButton->click();
  EXPECT_NEAR(Field(e->tField), 0.2, 1e-12);
  e->startButton->click();  // from T = 0 again
  EXPECT_EQ(Field(e->tField), 0.1);
  EXPECT_TRUE(e->Runner().Active());
  for (int i = 0; i < 50; ++i) QCoreApplication::processEvents();
  EXPECT_GT(Field(e->tField), 2.0);
  e->mdAlfaField->setText("0,5");
  e->stopButton->click();
  for (int i = 0; i < 5 && e->Runner().Active(); ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(e->Runner().Active());
  const double t = Field(e->tField);
  // The next point lands at (T/MT, dAlfa·kUgol/0.5) in red.
  e->stepButton->click();
  EXPECT_NEAR(Field(e->tField), t + 0.1, 1e-9);
  const double M = t * 6.28 / 365.25;
  const double dAlfa = -0.03 * std::sin(2 * M) * kUgol;
  EXPECT_NEAR(Field(e->dAlfaField), dAlfa, 2e-6);
  EXPECT_EQ(e->diffPicture->ColourAt(t / 36.525, dAlfa / 0.5), QColor(255, 0, 0));
  e->continueButton->click();
  EXPECT_TRUE(e->Runner().Active());
  e->closeButton->click();
  EXPECT_FALSE(e->Runner().Active());
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  // A bad field at the start: a message and nothing runs.
  e->wField->setText("");
  e->startButton->click();
  EXPECT_EQ(messages.LastText(), kMsgEllipseBadData);
  EXPECT_FALSE(e->Runner().Active());
  // A scale of 0: the drawing fails once and the run stops.
  e->wField->setText("6.28");
  e->mxField->setText("0");
  e->startButton->click();
  EXPECT_EQ(messages.LastText(), kMsgEllipseDrawFault);
  EXPECT_FALSE(e->Runner().Active());
}

TEST_F(StudyScreensTest, Screenshots) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  EXPECT_TRUE(ui::RenderScreens(nav, out.path()).empty());
  for (const char* id : {"converter", "aberration", "ellipse"}) {
    QImage image(QDir(out.path()).filePath(QString(id) + ".png"));
    EXPECT_FALSE(image.isNull()) << id;
    EXPECT_LE(image.width(), 1366) << id;
    EXPECT_LE(image.height(), 740) << id;
  }
  auto* a = dynamic_cast<AberrationScreen*>(nav.Find("aberration"));
  auto* e = dynamic_cast<EllipseScreen*>(nav.Find("ellipse"));
  ASSERT_TRUE(a && e);
  EXPECT_EQ(a->Study().Result().iterations, 3);
  EXPECT_GT(e->Comparison().T(), 365.4);  // one period of the defaults
  EXPECT_LT(e->Comparison().T(), 365.7);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
}

}  // namespace
}  // namespace torvik
