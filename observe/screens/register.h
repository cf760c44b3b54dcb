// The observation screen, registered with the navigator as "observe".
#pragma once

#include <filesystem>

#include "core/model.h"
#include "ui/screen.h"

namespace torvik {

void RegisterObserveScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder);

}  // namespace torvik
