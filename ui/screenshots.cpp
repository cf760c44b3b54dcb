#include "ui/screenshots.h"

#include <QCoreApplication>
#include <QDir>
#include <QLayout>
#include <QPixmap>
#include <algorithm>

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
    screen->PrepareScreenshot();
    // Sized by its content, not by the (small) offscreen screen; word-wrapped
    // labels need their height for the chosen width.
    QSize size = screen->sizeHint().expandedTo(screen->minimumSizeHint()).expandedTo(screen->size());
    if (QLayout* layout = screen->layout(); layout && layout->hasHeightForWidth())
      size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
    screen->resize(size);
    QCoreApplication::processEvents();
    const QString path = QDir(dir).filePath(QString::fromStdString(id) + ".png");
    if (!screen->grab().save(path, "PNG")) failed.push_back(id);
    if (!wasVisible) screen->hide();
  }
  return failed;
}

}  // namespace torvik::ui
