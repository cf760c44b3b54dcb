// Renders screens to PNG images without a display (offscreen platform).
#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "ui/screen.h"

namespace torvik::ui {

// Creates (when needed), shows and renders every registered screen to
// dir/<id>.png, then hides it again. Returns the ids that could not be saved.
// `prepare`, when given, is called with each screen after it is shown and
// before it is grabbed (a screen may show some data in its picture).
using PrepareScreenshot = std::function<void(const std::string& id, Screen* screen)>;
std::vector<std::string> RenderScreens(Navigator& nav, const QString& dir, const PrepareScreenshot& prepare = {});

}  // namespace torvik::ui
