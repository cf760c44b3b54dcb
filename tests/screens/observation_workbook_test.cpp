// The observation screen over a user's workbook: the label under "таблицы"
// says which serves the open table, a workbook without its worksheets is
// refused with its path, and "Закрыть форму" ends the office.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../observe/make_workbook.h"
#include "observe/screens/observation.h"
#include "observe/workbook_file.h"
#include "params/startup.h"
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

TEST(ObservationWorkbookScreen, TheLabelNamesWhatServesTheTable) {
  if (!test::HaveOffice()) GTEST_SKIP() << "LibreOffice Calc is not installed (scripts/setup.sh)";
  test::App();
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  for (const char* f : {"Dat", "Obs", "Tab"}) fs::create_directories(folder / f);
  test::MakeWorkbook(folder / "Tab" / "AlBattani.xlsx", 9, "S(1)['C18'] = '=MOD(D9*191+C9*16+B9*0.524,360)'\n");
  test::MakeWorkbook(folder / "Tab" / "Wing.xlsx", 2, "");
  const std::string bytes = Bytes(folder / "Tab" / "AlBattani.xlsx");
  Model model;
  ASSERT_FALSE(StartUp(model));
  ui::Navigator nav;
  ui::CapturedMessages messages;
  ObservationScreen s(model, nav, folder);
  s.Open();
  EXPECT_EQ(s.servedLabel->text(), "");
  s.tableGroup->Option(TableNumber("AlBattani"))->click();
  EXPECT_EQ(s.servedLabel->text(), "AlBattani.xlsx");
  s.planetField->setText("4");
  s.yearsField->setText("1");
  s.dRmaxBox->setChecked(false);  // the workbook's Mars is no real place: accept every step
  s.startButton->click();
  for (int i = 0; i < 100000 && s.Active(); ++i) QCoreApplication::processEvents();
  EXPECT_GT(s.Run().steps(), 50);
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
  const pid_t group = s.Source().engine()->pid();

  s.tableGroup->Option(TableNumber("Wing"))->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.LastText(), "Не найден файл\r\n\\Tab\\Wing.xlsx");
  EXPECT_EQ(messages.shown.back().title, "Torvik6");
  EXPECT_EQ(s.servedLabel->text(), "");
  s.tableGroup->Option(TableNumber("Streete"))->click();
  EXPECT_EQ(s.servedLabel->text(), QString::fromUtf8("встроенная"));
  EXPECT_EQ(Bytes(folder / "Tab" / "AlBattani.xlsx"), bytes);

  EXPECT_TRUE(test::GroupAlive(group));
  s.closeButton->click();
  EXPECT_TRUE(test::GroupEnds(group));
  EXPECT_EQ(s.servedLabel->text(), "");
}

}  // namespace
}  // namespace torvik
