// The statistics screen, registered with the navigator under the id
// "statistics" (the modelling screen's "К статистике" shows it).
#pragma once

#include <filesystem>

#include "core/model.h"
#include "ui/screen.h"

namespace torvik {

void RegisterStatsScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder);

// For the screenshots: a processed 400-year Mercury orbit file on the screen,
// with its fit band. The file is \Plan0\Txt1\Torvik1RasB1.txt of the program
// folder; when it is missing, a run of the model from the start-up data makes
// it (about 20 s).
void PrepareStatisticsScreenshot(ui::Screen* screen, const std::filesystem::path& folder);

}  // namespace torvik
