// The optimization screen ("optimization", shown by "К плану" of the
// modelling and statistics screens) and its extra tests screen ("plantests").
#pragma once

#include <filesystem>

#include "core/model.h"
#include "ui/screen.h"

namespace torvik {

void RegisterPlanScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder);

}  // namespace torvik
