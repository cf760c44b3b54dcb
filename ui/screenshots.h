// Renders screens to PNG images without a display (offscreen platform).
#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <string>
#include <vector>

#include "ui/screen.h"

namespace torvik::ui {

// While it lives, the offscreen platform's warnings about window-manager
// features it lacks ("This plugin does not support raise()") are not printed.
class QuietPlatform {
 public:
  QuietPlatform();
  ~QuietPlatform();
  QuietPlatform(const QuietPlatform&) = delete;
  QuietPlatform& operator=(const QuietPlatform&) = delete;

 private:
  QtMessageHandler restore_;
};

// Creates (when needed), shows and renders every registered screen to
// dir/<id>.png, then hides it again. Each screen is rendered whole at its
// content's size, or, with a `room`, as it first opens on a display with that
// room (RoomOfDisplay); afterwards the screens are sized for the display's own
// room again. `prepare`, when given, is called with each screen after it is
// shown and its own PrepareScreenshot() ran, before it is grabbed (the program
// uses it for data too slow to make in the screen tests). The offscreen
// platform's warnings about window-manager features it lacks are not printed
// meanwhile. Returns the ids that could not be saved.
using PrepareScreenshot = std::function<void(const std::string& id, Screen* screen)>;
std::vector<std::string> RenderScreens(Navigator& nav, const QString& dir, QSize room = QSize(),
                                       const PrepareScreenshot& prepare = {});

}  // namespace torvik::ui
