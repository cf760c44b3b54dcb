// The observation screen offscreen: the source groups, the refusals of the run
// start, a table run driven by its buttons against the same run without the
// screen, the end of an observatory file, the time origin of the deviation
// plot, the statistics button, the horizontal view and the trace inset.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../observe/fake_workbook.h"
#include "core/textfile.h"
#include "observe/screens/observation.h"
#include "params/startup.h"
#include "ui/app.h"
#include "ui/batch.h"
#include "ui/messages.h"

namespace torvik {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Record(int year, int day, const char* month, int hour) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "SIMULATED %4d %2d %s  %02d 00 00 0000       %s           %s", year, day, month, hour,
                "13 07 34 50000", "-05 12 36 0000");
  return buf;
}

// A workbook that logs its opening and its release.
class LoggedWorkbook : public test::FakeWorkbook {
 public:
  LoggedWorkbook(std::string name, std::vector<std::string>& log) : FakeWorkbook(11), name_(std::move(name)), log_(log) {
    log_.push_back("open " + name_);
  }
  ~LoggedWorkbook() override { log_.push_back("close " + name_); }

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

class ObservationScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    ASSERT_FALSE(StartUp(model));
    folder = dir.path().toStdString();
    for (const char* f : {"Dat", "Obs", "Tab"}) fs::create_directories(folder / f);
  }
  // The screen over the real tables, or over logged fake workbooks.
  ObservationScreen& Open(bool fake = false) {
    ObservationSource::WorkbookFactory factory = MakeTableWorkbook;
    if (fake)
      factory = [this](std::string_view name) { return std::make_unique<LoggedWorkbook>(std::string(name), log); };
    screen = std::make_unique<ObservationScreen>(model, nav, folder, factory);
    screen->Open();
    return *screen;
  }
  void Finish() {
    for (int i = 0; i < 100000 && screen->Active(); ++i) QCoreApplication::processEvents();
    ASSERT_FALSE(screen->Active());
  }

  QTemporaryDir dir;
  fs::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  std::vector<std::string> log;
  std::unique_ptr<ObservationScreen> screen;
};

TEST_F(ObservationScreenTest, ATableOpensOnceAndIsReleasedBeforeTheNext) {
  ObservationScreen& s = Open(true);
  s.tableGroup->Option(TableNumber("AlBattani"))->click();
  s.tableGroup->Option(TableNumber("AlBattani"))->click();
  EXPECT_EQ(log, std::vector<std::string>{"open AlBattani"});
  // The presets of the table: its place, date and calendar.
  EXPECT_EQ(s.obsLField->text(), "37");
  EXPECT_EQ(s.yearField->text(), "900");
  EXPECT_EQ(s.calendarGroup->Selected(), 1);
  EXPECT_EQ(s.dayStartGroup->Selected(), 1);
  s.tableGroup->Option(TableNumber("Wing"))->click();
  EXPECT_EQ(log, (std::vector<std::string>{"open AlBattani", "close AlBattani", "open Wing"}));
  // Observatories: the table is released and the groups swap.
  s.dataGroup->Option(1)->click();
  EXPECT_EQ(log.back(), "close Wing");
  EXPECT_FALSE(s.tableGroup->isEnabled());
  EXPECT_TRUE(s.obsGroup->isEnabled());
  EXPECT_EQ(s.dayStartGroup->Selected(), 0);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ObservationScreenTest, RunStartRefusals) {
  ObservationScreen& s = Open(true);
  s.startButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.LastText(), "Выберете имитатор");
  s.tableGroup->Option(1)->click();
  s.planetField->setText("3");
  s.startButton->click();
  EXPECT_EQ(messages.LastText(), "Землю не наблюдали");
  EXPECT_EQ(messages.shown.back().title, "Torvik6.0");
  EXPECT_EQ(model.Stop, 1);
  s.planetField->setText("x");
  s.startButton->click();
  EXPECT_EQ(messages.LastText(), "Введите правильно данные");
  EXPECT_FALSE(s.Active());
}

// The run of the screen, stopped, continued and stepped, ends with the means
// and the files of the same run without the screen.
TEST_F(ObservationScreenTest, ATableRunDrivenByItsButtonsEqualsTheRunWithoutTheScreen) {
  ObservationScreen& s = Open();
  s.tableGroup->Option(TableNumber("Almagest"))->click();
  s.planetField->setText("4");
  s.yearsField->setText("10");
  for (QCheckBox* b : {s.fileTraceBox, s.fileParamBox, s.fileBadBox}) b->setChecked(true);
  s.startButton->click();
  ASSERT_TRUE(s.Active());
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  s.stopButton->click();
  const auto stoppedAt = s.Run().steps();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(s.Run().steps(), stoppedAt);
  s.stepButton->click();
  EXPECT_EQ(s.Run().steps(), stoppedAt + 1);
  const auto date = s.Run().tableDate();
  s.stepButton->click();
  EXPECT_EQ(s.Run().steps(), stoppedAt + 2);
  EXPECT_NE(s.Run().tableDate().CurD, date.CurD);  // the next step continues from there
  EXPECT_FALSE(s.Active());
  s.continueButton->click();
  Finish();
  EXPECT_EQ(s.Run().end(), ObsRunEnd::EndYear);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();

  const fs::path other = folder / "headless";
  fs::create_directories(other / "Dat");
  Model m2;
  ASSERT_FALSE(StartUp(m2));
  ObservationSource src(other);
  const auto sel = src.SelectTable(TableNumber("Almagest"));
  ASSERT_FALSE(sel.message);
  ObsSettings set;
  ApplyPresets(sel.presets, set);
  set.calendar.era = EgyptianEra::Almagest;
  set.Npl = 4;
  set.years = 10;
  set.fileTrace = set.fileParam = set.fileBad = true;
  ObservationRun run(m2, src);
  ASSERT_FALSE(run.Start(set));
  while (run.Running()) run.Step();
  EXPECT_EQ(s.Run().steps(), run.steps());
  EXPECT_EQ(s.Run().NdR(), run.NdR());
  EXPECT_EQ(s.Run().MeanDL(), run.MeanDL());
  EXPECT_EQ(s.Run().MeanDB(), run.MeanDB());
  EXPECT_EQ(s.Run().MeanDR(), run.MeanDR());
  for (const char* f : {"Ras_data.txt", "Param_data.txt", "Bad_data.txt"}) {
    SCOPED_TRACE(f);
    const std::string a = Bytes(folder / "Dat" / f);
    EXPECT_GT(a.size(), 100u);
    EXPECT_EQ(a, Bytes(other / "Dat" / f));
  }
  // The date fields get the start date back.
  EXPECT_EQ(s.yearField->text(), "748");
}

TEST_F(ObservationScreenTest, AnObservatoryFileReadToItsEndMustBeChosenAgain) {
  for (const char* f : {"GREN4.txt", "PARI4.txt"})
    ASSERT_TRUE(WriteTextFile(folder / "Obs" / f, {Record(1985, 5, "Mar", 21), Record(1990, 5, "Mar", 21)}));
  ObservationScreen& s = Open();
  s.planetField->setText("4");
  s.dataGroup->Option(1)->click();
  s.obsGroup->Option(1)->click();
  s.dRmaxBox->setChecked(false);
  const auto start = [&s] {
    s.dayField->setText("1");
    s.monthField->setText("5");
    s.yearField->setText("1990");
    s.startButton->click();
  };
  start();
  Finish();
  EXPECT_EQ(s.Run().end(), ObsRunEnd::EndOfFile);
  EXPECT_EQ(s.Run().NdR(), 2);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  start();
  EXPECT_EQ(messages.LastText(), "Надо открыть файл снова");
  s.obsGroup->Option(1)->click();  // the member already chosen: nothing reopens
  start();
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.LastText(), "Надо открыть файл снова");
  s.obsGroup->Option(2)->click();
  s.obsGroup->Option(1)->click();
  messages.shown.clear();
  start();
  Finish();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(s.Run().NdR(), 2);
}

TEST_F(ObservationScreenTest, ClearingThePicturesMovesTheTimeOrigin) {
  ObservationScreen& s = Open();
  s.tableGroup->Option(TableNumber("Almagest"))->click();
  s.planetField->setText("4");
  s.startButton->click();
  const double start = s.JDplot();
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
  s.clearButton->click();
  EXPECT_GT(s.JDplot(), start);
  EXPECT_EQ(s.JDplot(), s.Run().JDut());
  s.stopButton->click();
}

TEST_F(ObservationScreenTest, StatisticsDrawsAndWritesOnlyWithCounting) {
  ObservationScreen& s = Open();
  s.tableGroup->Option(TableNumber("Almagest"))->click();
  s.planetField->setText("4");
  s.yearsField->setText("1");
  s.statButton->click();  // nothing counted yet
  EXPECT_EQ(messages.LastText(), "Введите правильно масштаб");
  s.statBox->setChecked(true);
  s.startButton->click();
  Finish();
  ASSERT_EQ(s.Run().NdR(), 0);  // every step beyond dRmax
  s.statButton->click();
  EXPECT_EQ(messages.LastText(), "Введите правильно масштаб");
  const fs::path report = folder / "Dat" / "Stat4Almagest.txt";
  EXPECT_FALSE(fs::exists(report));

  s.dRmaxBox->setChecked(false);
  s.startButton->click();
  Finish();
  ASSERT_GT(s.Run().NdR(), 0);
  messages.shown.clear();
  s.statButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  const auto lines = ReadTextFile(report);
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->size(), 25u);
  EXPECT_EQ((*lines)[23], "                 общее количество точек  " + std::to_string(s.Run().NdR()));
  // The counts of the run: every reduced step lies in one interval of each row.
  double total = 0;
  for (int i = 41; i <= 59; ++i) total += s.Statistics()->Count[static_cast<std::size_t>(i)];
  EXPECT_EQ(total, static_cast<double>(s.Run().NdR()));

  fs::remove(report);
  s.statBox->setChecked(false);
  s.statButton->click();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(fs::exists(report));
  s.mdRField->setText("0");
  s.statButton->click();
  EXPECT_EQ(messages.LastText(), "Введите правильно масштаб");
  // The scale is read as an integer: 2,5 is rounded, not refused.
  messages.shown.clear();
  s.mdRField->setText("2,5");
  s.helioPicture->Clear();
  s.statButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  // The |dB| curve is drawn in the part of the heliocentric picture that is seen.
  const QRect seen(QPoint(s.helioFrame->horizontalScrollBar()->value(), s.helioFrame->verticalScrollBar()->value()),
                   s.helioFrame->viewport()->size());
  const QImage& img = s.helioPicture->Image();
  int inside = 0, outside = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixelColor(x, y) == QColor(Qt::black)) (seen.contains(x, y) ? inside : outside) += 1;
  EXPECT_GT(inside, 20);
  EXPECT_EQ(outside, 0);
}

// A stopped run keeps its progress line, with the date of its step as a date
// and the word that it was stopped.
TEST_F(ObservationScreenTest, TheProgressLineOfAStoppedRunStays) {
  ObservationScreen& s = Open();
  s.tableGroup->Option(TableNumber("Almagest"))->click();
  s.planetField->setText("4");
  s.yearsField->setText("10");
  s.startButton->click();
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
  s.stopButton->click();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  const std::string line = s.progressLabel->text().toStdString();
  EXPECT_TRUE(s.progressLabel->text().endsWith(ui::kStoppedWord)) << line;
  EXPECT_TRUE(QRegularExpression("^дата \\d\\d\\.\\d\\d\\.-?\\d+,").match(s.progressLabel->text()).hasMatch()) << line;
}

// A step with "ТОПО ГОР" chosen draws the horizon view from the run's
// horizontal vectors instead of the geocentric one.
TEST_F(ObservationScreenTest, TheHorizonViewIsDrawnFromTheVisibilityTest) {
  ObservationScreen& s = Open();
  s.tableGroup->Option(TableNumber("Almagest"))->click();
  s.planetField->setText("4");
  s.visibilityBox->setChecked(true);
  s.viewGroup->Option(1)->click();
  s.scaleBar->setValue(1000);
  s.startButton->click();
  s.stepButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  ASSERT_TRUE(s.Run().horizon().valid);
  const QColor blue(0, 0, 255), earth(model.ColR[3], model.ColG[3], model.ColB[3]);
  EXPECT_EQ(s.obsPicture->ColourAt(0, 4), blue);   // observer above the horizon line
  EXPECT_EQ(s.obsPicture->ColourAt(0, -7), blue);  // observer of the plan
  EXPECT_EQ(s.obsPicture->ColourAt(0, -6), QColor(0, 200, 0));  // the ray starts at the observer
  EXPECT_EQ(s.obsPicture->ColourAt(-5, 6), blue);  // horizon
  EXPECT_NE(s.obsPicture->ColourAt(0, 0), earth);  // no geocentric Earth
  // The planet in elevation, at 100 million km per unit.
  const auto& p = s.Run().horizon().planet;
  EXPECT_EQ(s.obsPicture->ColourAt(p[0] / 1e11, p[2] / 1e11 + 6), QColor(240, 240, 0));
  s.stopButton->click();
}

// With "File Отладка" on, every stage's caption and values are printed in the
// heliocentric picture at x = 1.
TEST_F(ObservationScreenTest, TheTraceInsetIsPrintedInTheHeliocentricPicture) {
  ObservationScreen& s = Open();
  s.tableGroup->Option(TableNumber("Almagest"))->click();
  s.planetField->setText("4");
  s.fileTraceBox->setChecked(true);
  s.startButton->click();
  s.stepButton->click();
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  const auto& inset = s.Run().inset();
  ASSERT_GE(inset.size(), 16u);  // heliocentric, GEO ECL, Apl, Azv, nutation: four lines each
  EXPECT_EQ(inset.front().text, "Gelio Ecl  J2000)");
  const QImage& img = s.helioPicture->Image();
  for (const InsetLine& l : inset) {
    const QRect r = s.helioPicture->TextRect(1, l.y, QString::fromStdString(l.text)).intersected(img.rect());
    int ink = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) ink += img.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(ink, 0) << l.text;
  }
  s.stopButton->click();
}

// A missing observatory file is reported, never made up; a run over the
// date fields of another source says which years the file holds; a run that
// accepts no step says why; the run's line tells how to open a file again.
TEST_F(ObservationScreenTest, ObservatoryFilesAreNeverMadeUp) {
  ObservationScreen& s = Open();
  s.planetField->setText("4");
  s.dataGroup->Option(1)->click();
  s.obsGroup->Option(2)->click();
  EXPECT_EQ(messages.LastText(), "Не найден файл\r\n\\Obs\\PARI4.txt");
  EXPECT_FALSE(fs::exists(folder / "Obs" / "PARI4.txt"));
  EXPECT_TRUE(fs::is_empty(folder / "Obs"));

  ASSERT_TRUE(WriteTextFile(folder / "Obs" / "GREN4.txt", {Record(1985, 5, "Mar", 21), Record(1990, 5, "Mar", 21)}));
  s.yearField->setText("748");  // the date of a table run before
  messages.shown.clear();
  s.obsGroup->Option(1)->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(s.yearField->text(), "1990");
  EXPECT_EQ(s.monthField->text(), "3");
  EXPECT_TRUE(s.runLabel->text().contains("1985 - 1990")) << s.runLabel->text().toStdString();
  EXPECT_TRUE(s.runLabel->text().contains("SIMULATED"));
  // Every step rejected: the end of the run says so.
  s.startButton->click();
  Finish();
  ASSERT_EQ(s.Run().NdR(), 0);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.LastText().find("Ни один шаг не принят: у всех 2 шагов dR >= dRmax"), std::string::npos)
      << messages.LastText();
  EXPECT_TRUE(s.runLabel->text().startsWith(QString::fromUtf8("принято шагов 0, отклонено (dR>=dRmax) 2")))
      << s.runLabel->text().toStdString();
  s.startButton->click();
  EXPECT_EQ(messages.LastText(), "Надо открыть файл снова");
  EXPECT_TRUE(s.runLabel->text().contains(QString::fromUtf8(kReopenHint)));
}

// The plot scales are taken at every step; the day field of a step shows
// its single-precision day by the six-decimal rule.
TEST_F(ObservationScreenTest, ScalesAtEveryStepAndTheDayWithoutFloatNoise) {
  ObservationScreen& s = Open(true);
  s.tableGroup->Option(TableNumber("Almagest"))->click();
  s.planetField->setText("4");
  s.dRmaxBox->setChecked(false);
  s.dRBox->setChecked(true);
  s.startButton->click();
  s.stopButton->click();
  s.stepButton->click();
  const double dR = s.Run().dRpl();
  ASSERT_GT(dR, 0);
  s.mdRField->setText(ui::FormatNumber(dR / 2));
  s.dYField->setText("1");
  s.stepButton->click();
  const double X = (s.Run().JDut() - s.JDplot()) / 365.25 / 10;
  EXPECT_EQ(s.devPicture->ColourAt(X, s.Run().dRpl() / (dR / 2) + 1), QColor(0, 0, 200));
  for (int i = 0; i < 5; ++i) s.stepButton->click();
  const QString day = s.dayField->text();
  EXPECT_LE(day.size(), 9) << day.toStdString();  // "15.31", never "15.3100004196167"
  EXPECT_EQ(ui::ParseNumber(day).value(), FixMK(std::strtod(SingleText(s.Run().rows().date.day).c_str(), nullptr)));
}

}  // namespace
}  // namespace torvik
