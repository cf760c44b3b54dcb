// Renders screens to PNG images without a display (offscreen platform).
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "ui/screen.h"

namespace torvik::ui {

// Creates (when needed), shows and renders every registered screen to
// dir/<id>.png, then hides it again. Returns the ids that could not be saved.
std::vector<std::string> RenderScreens(Navigator& nav, const QString& dir);

}  // namespace torvik::ui
