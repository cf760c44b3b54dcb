#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QLocale>
#include <QTableWidget>
#include <QToolTip>
#include <memory>

#include "ui/app.h"
#include "ui/batch.h"
#include "ui/fields.h"
#include "ui/messages.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik::ui {
namespace {

class UiTest : public ::testing::Test {
 protected:
  UiTest() { test::App(); }  // before any widget member of a derived fixture
  void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

struct ParseCase {
  const char* text;
  std::optional<double> want;
};

TEST_F(UiTest, ParseNumberAcceptsPointOrCommaAndNothingElse) {
  const ParseCase cases[] = {
      {"1.5", 1.5},     {"1,5", 1.5},        {"  -2,25e3 ", -2250.0}, {"+3", 3.0},      {"2451545", 2451545.0},
      {".5", 0.5},      {"1.98892E+30", 1.98892e30},
      {"", std::nullopt},     {"   ", std::nullopt}, {"abc", std::nullopt},  {"1.2.3", std::nullopt},
      {"inf", std::nullopt},  {"nan", std::nullopt}, {"0x10", std::nullopt}, {"1e", std::nullopt},
      {"1 000", std::nullopt}, {"++1", std::nullopt}, {"1e999", std::nullopt}, {"5-", std::nullopt},
  };
  for (const auto& c : cases) {
    auto got = ParseNumber(QString::fromUtf8(c.text));
    EXPECT_EQ(got.has_value(), c.want.has_value()) << "text \"" << c.text << "\"";
    if (got && c.want) {
      EXPECT_EQ(*got, *c.want) << "text \"" << c.text << "\"";
    }
  }
}

TEST_F(UiTest, NumbersShowTheLocaleSeparatorAndReadBack) {
  EXPECT_EQ(FormatNumber(1.5).toStdString(), "1.5");
  EXPECT_EQ(FormatNumber(2451545.0).toStdString(), "2451545");
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  EXPECT_EQ(FormatNumber(1.5).toStdString(), "1,5");
  for (double v : {0.1, -1700.7, 1.98892e30, 6.67259e-11, 149597870.691}) {
    NumberField field(v);
    auto back = field.Number();
    ASSERT_TRUE(back) << field.text().toStdString();
    EXPECT_EQ(*back, v) << "shown as " << field.text().toStdString();
  }
}

TEST_F(UiTest, IntegerFieldRejectsFractionsAndRange) {
  NumberField field;
  field.setText("12");
  EXPECT_EQ(field.Integer(1, 32767), 12);
  field.setText("1,5");
  EXPECT_FALSE(field.Integer(1, 32767));
  field.setText("0");
  EXPECT_FALSE(field.Integer(1, 32767));
  field.setText("40000");
  EXPECT_FALSE(field.Integer(1, 32767));
}

TEST_F(UiTest, CaptionsKeepTheirBlanks) {
  std::unique_ptr<QPushButton> button(MakeButton("Загрузить параметры орбит и (или)  данные "));
  EXPECT_EQ(button->text().toStdString(), "Загрузить параметры орбит и (или)  данные ");
  std::unique_ptr<QCheckBox> box(MakeCheck("Vsol=0", true));
  EXPECT_TRUE(box->isChecked());
}

TEST_F(UiTest, OptionGroupSelectsOneAndSignalsChanges) {
  OptionGroup group("g", {"a", "b", "c"}, 1);
  std::vector<int> changes;
  QObject::connect(&group, &OptionGroup::Changed, [&](int i) { changes.push_back(i); });
  EXPECT_EQ(group.Selected(), 1);
  group.Select(2);
  EXPECT_EQ(group.Selected(), 2);
  EXPECT_FALSE(group.Option(1)->isChecked());
  group.Select(2);  // no move, no signal
  group.Select(7);  // out of range ignored
  EXPECT_EQ(changes, std::vector<int>{2});
}

// Picture: −7..7 both ways, y upward; 140 px, so 10 px per unit.
class PictureTest : public UiTest {
 protected:
  Picture pic{140, 140};
  void SetUp() override { pic.SetScale(-7, 7, 7, -7); }
};

TEST_F(PictureTest, UserCoordinatesPutYUpward) {
  EXPECT_EQ(pic.ToPixel(-7, 7), QPointF(0, 0));
  EXPECT_EQ(pic.ToPixel(0, 0), QPointF(70, 70));
  EXPECT_EQ(pic.ToPixel(1, 2), QPointF(80, 50));
  pic.SetScale(0, 0, 14, 14);  // y downward
  EXPECT_EQ(pic.ToPixel(1, 2), QPointF(10, 20));
  pic.SetScale(1, 1, 1, 2);  // empty range ignored
  EXPECT_EQ(pic.ToPixel(1, 2), QPointF(10, 20));
}

TEST_F(PictureTest, DrawingPersistsUntilCleared) {
  const QColor red(255, 0, 0), blue(0, 0, 255), white(Qt::white);
  pic.Point(3.05, 3.05, red);
  pic.Line(-7, 0, 7, 0, blue);
  EXPECT_EQ(pic.ColourAt(3.05, 3.05), red);
  EXPECT_EQ(pic.ColourAt(-5.05, 0), blue);
  EXPECT_EQ(pic.ColourAt(-5.05, 1), white);
  pic.Point(-3.05, -3.05, blue);  // a second drawing does not wipe the first
  EXPECT_EQ(pic.ColourAt(3.05, 3.05), red);
  pic.Clear();
  EXPECT_EQ(pic.ColourAt(3.05, 3.05), white);
  EXPECT_EQ(pic.ColourAt(-5.05, 0), white);
  EXPECT_FALSE(pic.ColourAt(8, 0).isValid());
  pic.Point(1e30, -1e30, red);  // far outside: ignored, no overflow
  pic.Line(0, 0, 1e300, 1e300, red);
}

TEST_F(PictureTest, CircleWithAspectAndFill) {
  const QColor green(0, 200, 0), white(Qt::white);
  pic.Circle(0, 0, 2, green);  // outline only
  EXPECT_EQ(pic.ColourAt(0.05, 0.05), white);
  EXPECT_EQ(pic.ColourAt(2.05, 0.05), green);
  pic.Clear();
  pic.Circle(0, 0, 3, green, 0.5, true);  // 3 wide, 1.5 high
  EXPECT_EQ(pic.ColourAt(0.05, 0.05), green);
  EXPECT_EQ(pic.ColourAt(2.5, 0.05), green);
  EXPECT_EQ(pic.ColourAt(0.05, 2.5), white);
  pic.Clear();
  pic.Circle(0, 0, 3, green, 2.0, true);  // 1.5 wide, 3 high
  EXPECT_EQ(pic.ColourAt(0.05, 2.5), green);
  EXPECT_EQ(pic.ColourAt(2.5, 0.05), white);
}

TEST_F(PictureTest, TextStartsAtItsUpperLeftCorner) {
  pic.Text(-6, -5, "Масштаб\nсм", Qt::black);
  int inked = 0, inkedOutside = 0;
  for (int y = 0; y < 140; ++y)
    for (int x = 0; x < 140; ++x) {
      if (pic.Image().pixelColor(x, y) == QColor(Qt::white)) continue;
      ++inked;
      if (x < 10 || y < 120) ++inkedOutside;
    }
  EXPECT_GT(inked, 20);
  EXPECT_EQ(inkedOutside, 0);
}

TEST_F(UiTest, BatchesRunOnePerTurnOfTheEventLoop) {
  BatchRunner runner;
  int batches = 0;
  bool stop = false;
  int finished = 0;
  QObject::connect(&runner, &BatchRunner::Finished, [&] { ++finished; });
  ASSERT_TRUE(runner.Start([&] { return ++batches < 100; }, [&] { return stop; }));
  EXPECT_EQ(batches, 1);  // the first batch runs in the handler, the rest later
  EXPECT_TRUE(runner.Active());
  EXPECT_FALSE(runner.Start([&] { return false; }));  // refused quietly while active
  QCoreApplication::processEvents();
  EXPECT_EQ(batches, 2);
  stop = true;  // tested after the next batch
  QCoreApplication::processEvents();
  EXPECT_EQ(batches, 3);
  EXPECT_FALSE(runner.Active());
  EXPECT_EQ(finished, 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(batches, 3);
  stop = false;  // the work itself can end a run
  ASSERT_TRUE(runner.Start([&] { return ++batches < 5; }, [&] { return stop; }));
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(batches, 5);
  EXPECT_FALSE(runner.Active());
}

TEST_F(UiTest, CancelDropsTheScheduledBatch) {
  BatchRunner runner;
  int batches = 0;
  runner.Start([&] { ++batches; return true; });
  runner.Cancel();
  int other = 0;
  runner.Start([&] { return ++other < 3; });  // the old pending turn must not run this twice
  for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(batches, 1);
  EXPECT_EQ(other, 3);
}

class FieldScreen : public Screen {
 public:
  explicit FieldScreen(int* builds) : Screen("Тестовая форма"), builds_(builds) {}
  NumberField* field = nullptr;
  int activations = 0;

 protected:
  void Build() override {
    ++*builds_;
    field = new NumberField(1.5, this);
  }
  void Activated() override { ++activations; }

 private:
  int* builds_;
};

TEST_F(UiTest, ScreensAreCreatedOnceAndKeepTheirFields) {
  Navigator nav;
  int builds = 0, created = 0, exits = 0;
  nav.Register("a", [&] {
    ++created;
    return std::make_unique<FieldScreen>(&builds);
  });
  nav.SetExitAction([&] { ++exits; });
  EXPECT_EQ(nav.Find("a"), nullptr);
  auto* a = static_cast<FieldScreen*>(nav.Show("a"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->windowTitle().toStdString(), "Тестовая форма");
  EXPECT_TRUE(a->isVisible());
  a->field->setText("42");
  a->hide();
  EXPECT_EQ(nav.Show("a"), a);
  EXPECT_EQ(a->field->text().toStdString(), "42");
  EXPECT_EQ(created, 1);
  EXPECT_EQ(builds, 1);
  EXPECT_EQ(a->activations, 2);

  CapturedMessages messages;
  EXPECT_EQ(nav.Show("model"), nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, kScreenNotReady);

  nav.CloseAll();
  EXPECT_FALSE(a->isVisible());
  EXPECT_EQ(exits, 1);
}

// A cell too narrow for its number keeps the sign and the end in view and
// shows the whole number as its tool tip; a cell wide enough shows none.
TEST_F(UiTest, NarrowCellsElideInTheMiddleWithTheWholeValueAsToolTip) {
  QTableWidget table(1, 2);
  table.setItem(0, 0, new QTableWidgetItem("-2871829.106076"));
  table.setItem(0, 1, new QTableWidgetItem("1"));
  ElideCellsInTheMiddle(&table);
  table.setColumnWidth(0, 50);
  table.setColumnWidth(1, 50);
  table.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(table.textElideMode(), Qt::ElideMiddle);
  auto tipAt = [&](int column) {
    const QPoint at = table.visualRect(table.model()->index(0, column)).center();
    QHelpEvent help(QEvent::ToolTip, at, table.viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(table.viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
  };
  EXPECT_EQ(tipAt(1), "");
  EXPECT_EQ(tipAt(0), "-2871829.106076");
}

TEST_F(UiTest, AScreenNotReadySaysWhatToUseMeanwhile) {
  Navigator nav;
  nav.SetMeanwhile("plan", "Пока: torvik6-cli plan");
  CapturedMessages messages;
  EXPECT_EQ(nav.Show("plan"), nullptr);
  EXPECT_EQ(nav.Show("other"), nullptr);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text, std::string(kScreenNotReady) + "\r\nПока: torvik6-cli plan");
  EXPECT_EQ(messages.shown[1].text, kScreenNotReady);
  EXPECT_EQ(messages.shown[1].title, kTitle);
}

// A line of a message that is a relative path becomes the full path under the
// program folder; nothing else changes.
TEST_F(UiTest, MessagesShowFullPaths) {
  const std::filesystem::path folder = "/home/u/Torvik6";
  struct Case {
    const char* text;
    std::string want;
  } cases[] = {
      {"Ошибка чтения файла\r\n\\torvik7.dat", "Ошибка чтения файла\r\n" + (folder / "torvik7.dat").string()},
      {"Ошибка записи в файл\r\n\\Plan0\\Txt3\\Torvik3RasB1.txt",
       "Ошибка записи в файл\r\n" + (folder / "Plan0" / "Txt3" / "Torvik3RasB1.txt").string()},
      {"\\first line stays\r\nsecond", "\\first line stays\r\nsecond"},
      {"Задайте правильно данные", "Задайте правильно данные"},
      {"a\r\n\r\nb\\c", "a\r\n\r\nb\\c"},
  };
  CapturedMessages messages;
  SetProgramFolder(folder);
  for (const Case& c : cases) {
    EXPECT_EQ(ShownText(c.text), c.want) << c.text;
    Messages().Show({c.text, kTitle0});
    EXPECT_EQ(messages.LastText(), c.want);
  }
  SetProgramFolder({});
  EXPECT_EQ(ShownText(cases[0].text), cases[0].text);
}

TEST_F(UiTest, CapturedMessagesRestoreThePreviousService) {
  CapturedMessages outer;
  {
    CapturedMessages inner;
    inner.answer = false;
    EXPECT_FALSE(Messages().Ask({"Удалить?", kTitle}));
    EXPECT_FALSE(Report(UserMessage{"Ошибка", kTitle0}));
    EXPECT_TRUE(Report(std::nullopt));
    EXPECT_EQ(inner.shown.size(), 2u);
    EXPECT_EQ(inner.LastText(), "Ошибка");
  }
  Messages().Show({"x", kTitle});
  EXPECT_EQ(outer.shown.size(), 1u);
}

}  // namespace
}  // namespace torvik::ui
