// The start screens as a new user meets them: every screen on a laptop display
// and on a large one, numbers shown from their first digit, closing windows,
// the file map against the disk, the notation picture, the velocity legend and
// the texts of the messages.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QCoreApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "app/screens.h"
#include "core/fields.h"
#include "core/paths.h"
#include "params/screens/parameters.h"
#include "params/screens/velocity.h"
#include "tools/helptext.h"
#include "tools/screens/help.h"
#include "ui/app.h"
#include "ui/messages.h"
#include "ui/picture.h"
#include "ui/screenshots.h"

namespace torvik {
namespace {

// The program as main() builds it, on a scratch folder, with every message
// captured and the screens sized for a display chosen by the test.
class ProgramScreens : public ::testing::Test {
 protected:
  ProgramScreens() {
    test::App();
    EXPECT_TRUE(dir.isValid());
    folder = dir.path().toStdString();
    EnsureProgramFolder(folder);
    SetConstants(model);
    nav.SetExitAction([this] { ++exits; });
  }
  ~ProgramScreens() override {
    ui::SetScreenRoom(QSize());
    ui::SetProgramFolder({});
  }
  // Registers the screens for a display of the given size.
  void Start(QSize display) {
    ui::SetScreenRoom(ui::RoomOfDisplay(display));
    RegisterScreens(nav, model, folder);
  }
  ParametersScreen* Params() { return static_cast<ParametersScreen*>(nav.Get("parameters")); }

  QTemporaryDir dir;
  std::filesystem::path folder;
  ui::CapturedMessages messages;
  Model model;
  ui::Navigator nav;
  int exits = 0;
};

// The controls a user works with: buttons, fields, check boxes and option
// buttons, scroll bars, tables, text areas and pictures (not the parts inside a table
// or a text area, which scroll themselves).
std::vector<QWidget*> Controls(ui::Screen* s) {
  std::vector<QWidget*> out;
  for (QWidget* w : s->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(s)) continue;
    if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSlider*>(w) &&
        !qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QPlainTextEdit*>(w) && !qobject_cast<ui::Picture*>(w))
      continue;
    bool inner = false;
    for (QWidget* p = w->parentWidget(); p && p != s; p = p->parentWidget())
      if (qobject_cast<QAbstractScrollArea*>(p) && p != s->Scroll()) inner = true;
    if (qobject_cast<QScrollBar*>(w) && w->parentWidget() && w->parentWidget()->parentWidget() == s->Scroll())
      inner = true;  // the screen's own scroll bars
    if (!inner) out.push_back(w);
  }
  return out;
}

std::string Name(const QWidget* w) {
  std::string name = w->metaObject()->className();
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) name += " \"" + b->text().toStdString() + "\"";
  return name;
}

// The part of the widget that is not cut off by its parents or the window.
QRect VisiblePart(QWidget* w, ui::Screen* s) {
  QRect visible(w->mapTo(s, QPoint(0, 0)), w->size());
  for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    visible &= QRect(p->mapTo(s, QPoint(0, 0)), p->size());
    if (p == s) break;
  }
  return visible;
}

TEST_F(ProgramScreens, EveryScreenFitsALaptopDisplayWithEveryControlInReach) {
  const QSize room = ui::RoomOfDisplay(QSize(1366, 768));
  Start(QSize(1366, 768));
  ASSERT_GE(nav.Ids().size(), 5u);
  for (const std::string& id : nav.Ids()) {
    SCOPED_TRACE(id);
    ui::Screen* s = nav.Show(id);
    ASSERT_NE(s, nullptr);
    QCoreApplication::processEvents();
    EXPECT_LE(s->width(), room.width());
    EXPECT_LE(s->height(), room.height());
    ASSERT_NE(s->Scroll(), nullptr);
    // The width fits; a screen taller than the display scrolls up and down.
    EXPECT_EQ(s->Scroll()->horizontalScrollBar()->maximum(), 0);
    const std::vector<QWidget*> controls = Controls(s);
    EXPECT_GT(controls.size(), 0u);
    for (QWidget* w : controls) {
      s->Scroll()->ensureWidgetVisible(w, 0, 0);
      const QRect whole(w->mapTo(s, QPoint(0, 0)), w->size());
      EXPECT_EQ(VisiblePart(w, s), whole) << Name(w) << " cannot be brought wholly into view";
      EXPECT_GT(w->width(), 4) << Name(w);
      EXPECT_GT(w->height(), 4) << Name(w);
      if (auto* field = qobject_cast<QLineEdit*>(w); field && !field->hasFocus()) {
        EXPECT_EQ(field->cursorPosition(), 0) << "field \"" << field->text().toStdString() << "\" is scrolled";
      }
    }
  }
}

TEST_F(ProgramScreens, OnALargeDisplayEveryScreenOpensWhole) {
  Start(QSize(1600, 1200));
  for (const std::string& id : nav.Ids()) {
    SCOPED_TRACE(id);
    ui::Screen* s = nav.Show(id);
    ASSERT_NE(s, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(s->Scroll()->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(s->Scroll()->verticalScrollBar()->maximum(), 0);
    // The room beyond the content goes to the content.
    const QSize before = s->Scroll()->widget()->size();
    s->resize(s->size() + QSize(150, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(s->Scroll()->widget()->size(), before + QSize(150, 100));
  }
}

// On a laptop display every value of the parameters grid, in both display
// modes, is shown whole with its sign; a narrower window elides in the middle.
TEST_F(ProgramScreens, GridCellsShowTheirWholeValues) {
  Start(QSize(1366, 768));
  ParametersScreen* p = Params();
  nav.Show("parameters");
  QCoreApplication::processEvents();
  EXPECT_EQ(p->grid->textElideMode(), Qt::ElideMiddle);
  const QFontMetrics metrics(p->grid->font());
  for (int mode : {0, 1}) {
    p->modeGroup->Option(mode)->click();
    for (int r = 0; r < p->grid->rowCount(); ++r)
      for (int c = 0; c < p->grid->columnCount(); ++c) {
        const QString text = p->grid->item(r, c)->text();
        // The default delegate keeps 3 pixels free on either side of the text.
        EXPECT_LE(metrics.horizontalAdvance(text) + 6, p->grid->columnWidth(c))
            << "mode " << mode << " cell " << r << "," << c << " \"" << text.toStdString() << "\"";
      }
  }
}

TEST_F(ProgramScreens, FieldsShowTheirNumbersFromTheFirstDigit) {
  Start(QSize(1366, 768));
  auto* v = static_cast<VelocityScreen*>(nav.Show("velocity"));
  ASSERT_NE(v, nullptr);
  v->decomposeButton->click();
  ASSERT_TRUE(messages.shown.empty()) << messages.LastText();
  int negative = 0;
  for (QLineEdit* f : {v->rows[3].vx, v->rows[3].vy, v->rows[3].vz, v->vxSum, v->vySum, v->vzSum}) {
    EXPECT_EQ(f->cursorPosition(), 0) << f->text().toStdString();
    EXPECT_EQ(f->toolTip(), f->text());
    negative += f->text().startsWith('-');
  }
  EXPECT_GT(negative, 0);  // the sign is the first thing the field shows
  // A value longer than its field, set by the program and left by the user.
  QLineEdit* f = v->vxSys;
  f->setText("-0.26695269123456789e-12");
  EXPECT_EQ(f->cursorPosition(), 0);
  EXPECT_EQ(f->toolTip().toStdString(), "-0.26695269123456789e-12");
  f->setFocus();
  f->end(false);
  emit f->editingFinished();
  EXPECT_EQ(f->cursorPosition(), 0);
}

// Digits after the decimal separator of a number's mantissa ("574,6000000000621" → 13).
int Decimals(const QString& text) {
  QString m = text.trimmed();
  if (const auto e = m.indexOf(QRegularExpression("[eE]")); e >= 0) m = m.left(e);
  const auto point = m.indexOf(QRegularExpression("[.,]"));
  return point < 0 ? 0 : static_cast<int>(m.size() - point - 1);
}

// Every field of every screen, as the screenshots show them (the study screens
// after their computations), follows the six-decimal display rule.
TEST_F(ProgramScreens, NoFieldShowsMoreThanSixDecimals) {
  Start(QSize(1366, 768));
  for (const std::string& id : nav.Ids()) {
    SCOPED_TRACE(id);
    ui::Screen* s = nav.Show(id);
    ASSERT_NE(s, nullptr);
    s->PrepareScreenshot();
    QCoreApplication::processEvents();
    if (auto* v = qobject_cast<VelocityScreen*>(s)) v->decomposeButton->click();
    for (QLineEdit* f : s->findChildren<QLineEdit*>()) {
      const QString text = f->text();
      if (!ParseFieldNumber(text.toStdString())) continue;
      EXPECT_LE(Decimals(text), 6) << "\"" << text.toStdString() << "\"";
      EXPECT_NE(text.trimmed(), "-0");
    }
  }
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
}

// A window placed partly off the display opens with its frame, title bar
// included, inside the display's available area.
TEST_F(ProgramScreens, EveryScreenOpensInsideTheDisplay) {
  Start(QSize(1366, 768));
  for (const std::string& id : nav.Ids()) {
    SCOPED_TRACE(id);
    ui::Screen* s = nav.Get(id);
    ASSERT_NE(s, nullptr);
    s->hide();
    s->move(5000, 4000);
    nav.Show(id);
    QCoreApplication::processEvents();
    const QRect room = s->screen()->availableGeometry();
    EXPECT_GE(s->frameGeometry().left(), room.left());
    EXPECT_GE(s->frameGeometry().top(), room.top());
    if (s->frameGeometry().width() + 12 <= room.width()) {
      EXPECT_LE(s->frameGeometry().right(), room.right());
    }
    if (s->frameGeometry().height() + 40 <= room.height()) {
      EXPECT_LE(s->frameGeometry().bottom(), room.bottom());
    }
  }
}

TEST(HelpText, NamesTheButtonsOfTheObservationAndPlanScreens) {
  std::string all;
  for (const std::string& l : HelpLines()) all += l + "\n";
  for (const char* b : {"-задать JD = JD0 ", "-Выполнить эксперименты с", "-Найти коэффициенты уравнения ",
                        "-Построить графики по ур-ю ", "-Загрузить план ", "-Записать план ", "-задать X(i)0 = X(i)opt ",
                        "-Оптимизировать 4-е фактора из 5-и без отмеченного ", "-Все ",
                        "-Показать на форме статистики данные имитатора Mox как текст ",
                        "-Добавить оптимальные параметры в файл данных имитатора Mox "})
    EXPECT_NE(all.find(b), std::string::npos) << b;
}

TEST(DisplayRule, SixDecimalsWithoutFloatNoise) {
  const std::pair<double, const char*> cases[] = {
      {574.6000000000621, "574.6"}, {-276.00000000001, "-276"}, {-0.0, "0"},     {2.9999999999, "3"},
      {0.1234567, "0.123456"},      {-0.1234567, "-0.123456"},  {2451545, "2451545"},
      {1.98892e30, "1.98892e+30"},  {6.6725985e-11, "6.672599e-11"}, {1e-7, "1e-07"},
      {0.3 + 1e-17, "0.3"},         {0.30000000000000004, "0.3"}, {123456789.1234567, "123456789.123456"}};
  for (const auto& [v, want] : cases) EXPECT_EQ(DisplayNumberText(v), want) << v;
  const std::pair<double, double> angles[] = {{578.24, 218.24}, {-10, 350}, {360, 0}, {0, 0}, {-720, 0}};
  for (const auto& [a, want] : angles) EXPECT_NEAR(DegreesIn360(a), want, 1e-9) << a;
}

TEST_F(ProgramScreens, ClosingTheStartScreenEndsTheProgramOthersOnlyHide) {
  Start(QSize(1366, 768));
  ParametersScreen* p = Params();
  nav.Show("parameters");
  ui::Screen* velocity = nav.Show("velocity");
  ui::Screen* help = nav.Show("help");
  velocity->close();
  EXPECT_FALSE(velocity->isVisible());
  EXPECT_TRUE(p->isVisible());
  EXPECT_EQ(exits, 0);
  p->close();
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(p->isVisible());
  EXPECT_FALSE(help->isVisible());
}

// Every folder that the program creates is drawn in the file map, and no
// other; the help leads to the map.
TEST_F(ProgramScreens, FileMapShowsTheFoldersOnTheDisk) {
  Start(QSize(1366, 768));
  std::set<std::string> onDisk;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
    if (e.is_directory()) onDisk.insert(std::filesystem::relative(e.path(), folder).generic_string());
  ASSERT_GT(onDisk.size(), 50u);

  auto* help = static_cast<HelpScreen*>(nav.Show("help"));
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->filesButton->text().toStdString(), "Файлы*");
  help->filesButton->click();
  ui::Screen* map = nav.Find("files");
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->isVisible());
  std::set<std::string> drawn;
  std::map<std::string, std::string> captions;
  for (QGroupBox* frame : map->findChildren<QGroupBox*>())
    for (const QString& f : frame->property(kFileMapFolders).toStringList()) {
      drawn.insert(f.toStdString());
      captions[f.toStdString()] = frame->title().toStdString();
    }
  EXPECT_EQ(drawn, onDisk);
  // The captions of the folders, as the program names them.
  EXPECT_EQ(captions["NEW"], "New - имитатор Солнечной системы Ньюкома");
  EXPECT_EQ(captions["Arhiv"], "Arhiv");
  EXPECT_EQ(captions["Other"], "Other - пока свободно *");
  EXPECT_TRUE(messages.shown.empty()) << messages.LastText();
}

// The messages of the screens name a file by its full path with the system's
// separators.
TEST_F(ProgramScreens, MessagesNameTheFullPathOfTheFile) {
  Start(QSize(1366, 768));
  ParametersScreen* p = Params();
  p->loadGroup->Option(3)->click();  // "из файла №    или "
  p->fileField->setText("99");
  p->loadButton->click();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Ошибка чтения файла\r\n" + (folder / "torvik99.dat").string());
  EXPECT_EQ(messages.shown[0].title, "Torvik6.0");
}

std::vector<std::string>* capturedLog = nullptr;

void CaptureLog(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (capturedLog) capturedLog->push_back(message.toStdString());
}

// Screenshots of a laptop display: no warnings of the offscreen platform in
// the output, and no picture larger than the display's room.
TEST_F(ProgramScreens, ScreenshotsKeepTheOutputClean) {
  Start(QSize(1366, 768));
  std::vector<std::string> log;
  capturedLog = &log;
  QtMessageHandler previous = qInstallMessageHandler(CaptureLog);
  QTemporaryDir out;
  const QSize room = ui::RoomOfDisplay(QSize(1366, 768));
  const auto failed = ui::RenderScreens(nav, out.path(), room);
  qWarning("a warning of the program itself");
  qInstallMessageHandler(previous);
  capturedLog = nullptr;
  EXPECT_TRUE(failed.empty());
  ASSERT_EQ(log.size(), 1u) << log.front();
  EXPECT_EQ(log[0], "a warning of the program itself");
  for (const std::string& id : nav.Ids()) {
    const QImage image(QDir(out.path()).filePath(QString::fromStdString(id) + ".png"));
    EXPECT_FALSE(image.isNull()) << id;
    EXPECT_LE(image.width(), room.width()) << id;
    EXPECT_LE(image.height(), room.height()) << id;
  }
}

// The colour that each row's caption names is the colour its lines are drawn in.
TEST(VelocityLegend, CaptionsNameTheColoursDrawn) {
  struct Hue {
    const char* word;
    int from, to;  // hue range, degrees
  } hues[] = {{"красные", 0, 4}, {"алые", 8, 25}, {"синие", 225, 250}, {"голубые", 185, 210}, {"зеленые", 100, 140}};
  std::set<int> seen;
  for (const VelocityRowDefault& row : kVelocityRowDefaults) {
    const std::string caption = row.caption;
    const QColor colour(row.r, row.g, row.b);
    bool named = false;
    for (const Hue& h : hues) {
      if (caption.find(std::string("(") + h.word + " линии)") == std::string::npos) continue;
      named = true;
      EXPECT_GE(colour.hslHue(), h.from) << h.word;
      EXPECT_LE(colour.hslHue(), h.to) << h.word;
      EXPECT_GT(colour.hslSaturation(), 200) << h.word;
    }
    EXPECT_TRUE(named) << caption;
    seen.insert(colour.rgb());
  }
  EXPECT_EQ(seen.size(), kVelocityRowDefaults.size());
}

// No label of the notation picture covers another one or any line or mark.
TEST(NotationPicture, LabelsOverlapNeitherEachOtherNorTheDrawing) {
  test::App();
  ui::Picture drawing(720, 560);
  const std::vector<QRect> labels = DrawNotation(drawing, false);
  ASSERT_GT(labels.size(), 10u);
  const QRect frame = drawing.Image().rect();
  for (std::size_t a = 0; a < labels.size(); ++a) {
    EXPECT_TRUE(frame.contains(labels[a])) << "label " << a << " leaves the picture";
    for (std::size_t b = a + 1; b < labels.size(); ++b)
      EXPECT_FALSE(labels[a].intersects(labels[b])) << "labels " << a << " and " << b << " overlap";
    int inked = 0;
    const QRect inside = labels[a].intersected(frame);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
      for (int x = inside.left(); x <= inside.right(); ++x)
        if (drawing.Image().pixelColor(x, y) != QColor(Qt::white)) ++inked;
    EXPECT_EQ(inked, 0) << "label " << a << " at " << labels[a].x() << "," << labels[a].y() << " lies on the drawing";
  }
}

}  // namespace
}  // namespace torvik
