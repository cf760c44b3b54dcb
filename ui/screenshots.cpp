#include "ui/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>

namespace torvik::ui {

std::vector<std::string> RenderScreens(Navigator& nav, const QString& dir) {
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
    screen->adjustSize();
    QCoreApplication::processEvents();
    const QString path = QDir(dir).filePath(QString::fromStdString(id) + ".png");
    if (!screen->grab().save(path, "PNG")) failed.push_back(id);
    if (!wasVisible) screen->hide();
  }
  return failed;
}

}  // namespace torvik::ui
