// The screens of the modelling subsystem, registered with the navigator under
// the ids "modelling" and "vgrtest".
#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

#include "core/model.h"
#include "ui/screen.h"

namespace torvik {

void RegisterModelScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder);

// Pictures of the screens at work, after RenderScreens has saved their
// defaults: dir/modelling.png after a 10-year run of Меркурий with the drift
// plot of AlfaP, dir/comparison.png with the imitator comparison of Меркурий
// at JD 2451545 and dir/vgrtest.png after one iteration for Меркурий and
// Венера. Returns the names that could not be saved.
std::vector<std::string> RenderModelScreens(ui::Navigator& nav, const QString& dir,
                                            const std::filesystem::path& folder);

}  // namespace torvik
