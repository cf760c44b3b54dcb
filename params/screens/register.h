// The screens of the parameter sets, registered with the navigator under the
// ids "parameters" and "velocity".
#pragma once

#include <filesystem>

#include "core/model.h"
#include "ui/screen.h"

namespace torvik {

void RegisterParamsScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder);

}  // namespace torvik
