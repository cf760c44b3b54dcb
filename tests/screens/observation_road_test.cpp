// The road of one observation run and its plan from an empty program folder,
// offscreen through the buttons: a run, its statistics, an O5 series of three
// experiments, the regression, the plan file, "Все" and the Mox point, then
// the statistics screen's Mox series; and torvik6-cli along the same road
// giving the same plan file, coefficients and optimum. Once for a table with
// the Egyptian calendar (Almagest) and once for an observatory.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/paths.h"
#include "core/textfile.h"
#include "observe/screens/observation.h"
#include "observe/screens/register.h"
#include "params/startup.h"
#include "plan/mox_series.h"
#include "plan/obs_planfile.h"
#include "plan/screens/obs_plan_screen.h"
#include "stats/screens/register.h"
#include "stats/screens/statistics.h"
#include "ui/app.h"
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

double Num(const QLineEdit* f) { return ui::ParseNumber(f->text()).value_or(-1e300); }

// The CLI's "NAME VALUE" lines.
std::map<std::string, std::string> Values(const QString& out) {
  std::map<std::string, std::string> v;
  for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
    const auto parts = line.split(' ', Qt::SkipEmptyParts);
    if (parts.size() >= 2) v[parts[0].toStdString()] = parts[1].toStdString();
  }
  return v;
}

class ObservationRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::App();
    folder = fs::path(dir.path().toStdString()) / "Torvik6";
    cliFolder = fs::path(dir.path().toStdString()) / "cli";
    ASSERT_TRUE(EnsureProgramFolder(folder));  // what the program does at its start
    ASSERT_FALSE(StartUp(model));
    RegisterStatsScreens(nav, model, folder);
    RegisterObserveScreens(nav, model, folder);
    obs = static_cast<ObservationScreen*>(nav.Get("observe"));
    obs->Open();
    plan = obs->PlanScreen();
    ASSERT_NE(plan, nullptr);
  }
  void TearDown() override { nav.CloseAll(); }
  void Finish() {
    for (int i = 0; i < 400000 && obs->Active(); ++i) QCoreApplication::processEvents();
    ASSERT_FALSE(obs->Active());
  }
  QString Cli(const QStringList& args) {
    QProcess cli;
    cli.start(TORVIK6_CLI, args);
    EXPECT_TRUE(cli.waitForFinished(300000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    return QString::fromUtf8(cli.readAllStandardOutput());
  }

  // The screen's road after the source is chosen; then the CLI's with
  // `source` (--table NAME or --observatory CODE) and the same settings.
  void Road(const QStringList& source, const std::string& kind, const std::string& name, const QStringList& dates) {
    obs->planetField->setText("4");
    obs->stepField->setText("10");
    obs->dRmaxBox->setChecked(false);
    obs->statBox->setChecked(true);
    obs->fileParamBox->setChecked(true);
    // A run and its statistics.
    obs->startButton->click();
    Finish();
    ASSERT_GT(obs->Run().NdR(), 0);
    const std::int64_t firstRun = obs->Run().NdR();
    EXPECT_NE(obs->runLabel->text().toStdString().find("принято шагов " + std::to_string(obs->Run().NdR())),
              std::string::npos);
    obs->statButton->click();
    ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
    EXPECT_TRUE(fs::exists(ResolvePath(folder, StatReportRelPath(4, name))));

    // The O5 series of experiments 1..3 with the orbits of the plan.
    obs->earthGroup->Select(2);
    obs->planetGroup->Select(2);
    obs->expFromField->setText("1");
    obs->expToField->setText("3");
    obs->experimentsButton->click();
    ASSERT_TRUE(obs->SeriesRunning());
    Finish();
    ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
    const std::int64_t steps = obs->Run().NdR();
    const auto param = ReadTextFile(ResolvePath(folder, "\\Dat\\Param_data.txt"));
    ASSERT_TRUE(param);
    std::int64_t records = 0, firsts = 0;
    for (const auto& line : *param) {
      const auto f = SplitFields(line);
      records += f.size() == 8;
      firsts += f.size() == 8 && f[0] == "1";
    }
    EXPECT_EQ(records, 3 * steps + firstRun);  // the run's and every experiment's
    EXPECT_EQ(firsts, 4);
    obs->coeffButton->click();
    plan->saveButton->click();
    plan->allButton->click();
    ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
    // The optimum into the Mox series, which the statistics screen then lists.
    plan->moxShowButton->click();
    messages.shown.clear();  // no series yet: its file cannot be read
    plan->moxAddButton->click();
    ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
    auto* stats = static_cast<StatisticsScreen*>(nav.Get("statistics"));
    plan->moxShowButton->click();
    ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
    EXPECT_EQ(stats->nPoint->text(), "1");

    // torvik6-cli: the same plan file, coefficients and optimum.
    const QString cf = QString::fromStdString(cliFolder.string());
    const QString out = Cli(QStringList{"observe-plan", "run", "--folder", cf} + source + dates +
                            QStringList{"--planet", "4", "--plan", "O5", "--from", "1", "--to", "3", "--step", "10",
                                        "--no-dr-limit", "--jobs", "1", "--save", "--quiet"});
    const std::string rel = ObsPlanRelPath(kind, name, 4, 1);
    const std::string mine = Bytes(ResolvePath(folder, rel)), theirs = Bytes(ResolvePath(cliFolder, rel));
    ASSERT_GT(mine.size(), 1000u);
    EXPECT_TRUE(mine == theirs) << "the screen's plan file differs from torvik6-cli's";
    const auto run = Values(out);
    for (int c = 0; c <= 20; ++c) {
      std::string b = std::to_string(c);
      b.insert(b.begin(), 'b');
      ASSERT_TRUE(run.count(b)) << b;
      EXPECT_NEAR(std::stod(run.at(b)), plan->state().b[static_cast<std::size_t>(c)],
                  1e-9 * (1 + std::fabs(plan->state().b[static_cast<std::size_t>(c)])))
          << b;
    }
    const QString opt = Cli(QStringList{"observe-plan", "optimize", "--folder", cf} + source +
                            QStringList{"--planet", "4", "--hold", "all"});
    const auto o = Values(opt);
    for (int i = 1; i <= 5; ++i) {
      std::string x = std::to_string(i);
      x.insert(x.begin(), 'X');
      x += "opt=";
      ASSERT_TRUE(o.count(x)) << x;
      EXPECT_NEAR(std::stod(o.at(x)), Num(plan->coded[static_cast<std::size_t>(i - 1)]), 2e-6) << x;
    }
  }

  QTemporaryDir dir;
  fs::path folder, cliFolder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  ObservationScreen* obs = nullptr;
  ObsPlanScreen* plan = nullptr;
};

TEST_F(ObservationRoadTest, AlmagestOnTheScreensAndWithTheCli) {
  obs->yearsField->setText("2");
  obs->tableGroup->Option(TableNumber("Almagest"))->click();
  ASSERT_EQ(obs->yearField->text(), "748");
  // The template plan follows the table's date, taken in its Egyptian calendar.
  EXPECT_EQ(Num(obs->jdField), 1721424);
  EXPECT_EQ(plan->PlanDate().year, 748);
  Road({"--table", "Almagest"}, "Tab", "Almagest", {"--years", "2"});
}

TEST_F(ObservationRoadTest, AnObservatoryOnTheScreensAndWithTheCli) {
  // A small file of records (the places need not be real: every step counts).
  std::vector<std::string> records;
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int i = 0; i < 12; ++i) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "OBSERVED  %4d %2d %s  %02d 00 00 0000       %02d 07 34 50000           -05 12 36 0000",
                  1999, 15, months[i], 21, (2 * i) % 24);
    records.push_back(buf);
  }
  for (const fs::path& f : {folder, cliFolder}) {
    ASSERT_TRUE(EnsureProgramFolder(f));
    ASSERT_TRUE(WriteTextFile(ResolvePath(f, "\\Obs\\GREN4.txt"), records));
  }
  obs->yearsField->setText("1");
  obs->planetField->setText("4");
  obs->dataGroup->Option(1)->click();
  obs->obsGroup->Option(1)->click();
  // The date 1.5.1.2000 lies outside the file: it moves to the last record.
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  EXPECT_EQ(obs->yearField->text(), "1999");
  EXPECT_EQ(obs->monthField->text(), "12");
  EXPECT_EQ(obs->dayField->text(), "15" + QString(QLocale().decimalPoint()) + "875");
  EXPECT_EQ(plan->PlanDate().year, 1999);
  // The CLI moves its start date the same way.
  Road({"--observatory", "GREN"}, "Obs", "GREN", {"--years", "1"});
}

}  // namespace
}  // namespace torvik
