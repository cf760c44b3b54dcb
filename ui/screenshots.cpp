#include "ui/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QtGlobal>

namespace torvik::ui {

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform cannot pass size hints to, or raise, a window it does
// not show; it says so once per screen.
void DropUnsupportedFeatureWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support "))) return;
  if (previousHandler) previousHandler(type, context, message);
}

// Sets the room of the display for as long as it lives.
class Room {
 public:
  explicit Room(QSize room) : set_(!room.isEmpty()) {
    if (set_) SetScreenRoom(room);
  }
  ~Room() {
    if (set_) SetScreenRoom(QSize());
  }
  Room(const Room&) = delete;
  Room& operator=(const Room&) = delete;

 private:
  bool set_;
};

}  // namespace

// Nested filters keep the handler from before the outermost one.
QuietPlatform::QuietPlatform() : restore_(qInstallMessageHandler(DropUnsupportedFeatureWarnings)) {
  if (restore_ != DropUnsupportedFeatureWarnings) previousHandler = restore_;
}
QuietPlatform::~QuietPlatform() { qInstallMessageHandler(restore_); }

std::vector<std::string> RenderScreens(Navigator& nav, const QString& dir, QSize room,
                                       const PrepareScreenshot& prepare) {
  QuietPlatform quiet;
  // Whole screens open as on a display larger than any of them.
  Room display(room.isEmpty() ? QSize(1 << 14, 1 << 14) : room);
  std::vector<std::string> failed;
  QDir().mkpath(dir);
  for (const std::string& id : nav.Ids()) {
    Screen* screen = nav.Get(id);
    if (!screen) {
      failed.push_back(id);
      continue;
    }
    const bool wasVisible = screen->isVisible();
    screen->Open();
    screen->PrepareScreenshot();
    if (prepare) prepare(id, screen);
    // A screen opened before keeps its size, within the room.
    screen->resize(room.isEmpty() ? screen->ContentSize().expandedTo(screen->size()) : screen->size().boundedTo(room));
    QCoreApplication::processEvents();
    const QString path = QDir(dir).filePath(QString::fromStdString(id) + ".png");
    if (!screen->grab().save(path, "PNG")) failed.push_back(id);
    if (!wasVisible) screen->hide();
  }
  return failed;
}

}  // namespace torvik::ui
