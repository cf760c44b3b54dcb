// The observation screen, registered with the navigator as "observe".
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model.h"
#include "ui/screen.h"

namespace torvik {

void RegisterObserveScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder);

// Pictures of the screen at work, after RenderScreens has saved its defaults:
// dir/observation.png after a 50-year run of "Almagest" for Mars with the
// deviation plot, dir/observation-topo.png after two years more in the
// horizontal view with the trace inset, dir/observation-obs.png after a run of Mars over the GREN
// file. Returns the names that could not be saved.
std::vector<std::string> RenderObserveScreens(ui::Navigator& nav, const QString& dir);

}  // namespace torvik
