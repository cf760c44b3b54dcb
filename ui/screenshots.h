// Renders screens to PNG images without a display (offscreen platform).
#pragma once

#include <QSize>
#include <QString>
#include <string>
#include <vector>

#include "ui/screen.h"

namespace torvik::ui {

// Creates (when needed), shows and renders every registered screen to
// dir/<id>.png, then hides it again. Each screen is rendered whole at its
// content's size, or, with a `room`, as it first opens on a display with that
// room (RoomOfDisplay); afterwards the screens are sized for the display's own
// room again. The offscreen platform's warnings about window-manager features
// it lacks are not printed meanwhile. Returns the ids that could not be saved.
std::vector<std::string> RenderScreens(Navigator& nav, const QString& dir, QSize room = QSize());

}  // namespace torvik::ui
