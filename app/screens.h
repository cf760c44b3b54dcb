// The screens of the program, registered with the navigator in the order of
// the screenshots, on the model and the program folder. The program and the
// screen tests build their navigator with this one function, so that a test
// over "every screen" covers each screen registered here.
#pragma once

#include <filesystem>

#include "core/model.h"
#include "model/screens/register.h"
#include "observe/preparation.h"
#include "observe/screens/register.h"
#include "params/screens/register.h"
#include "plan/screens/register.h"
#include "stats/screens/register.h"
#include "tools/screens/register.h"
#include "ui/messages.h"
#include "ui/screen.h"

namespace torvik {

inline void RegisterScreens(ui::Navigator& nav, Model& model, const std::filesystem::path& folder) {
  ui::SetProgramFolder(folder);
  RegisterParamsScreens(nav, model, folder);
  RegisterModelScreens(nav, model, folder);
  RegisterStatsScreens(nav, model, folder);
  RegisterObserveScreens(nav, model, folder);
  RegisterPlanScreens(nav, model, folder);
  RegisterToolsScreens(nav);
  RegisterStudyScreens(nav, model);
}

// The screens that read the prepared data wait for it: the modelling screen
// (and through it the statistics and plan screens) for the DE405 files, the
// observation screen (and the tools it opens) for those and the observatory files.
inline void WaitForPreparation(ui::Navigator& nav, const DataPreparation& preparation) {
  nav.SetPending("modelling", [&preparation] { return preparation.Pending(DataPreparation::Data::De405); });
  nav.SetPending("observe", [&preparation] { return preparation.Pending(DataPreparation::Data::Observatories); });
}

}  // namespace torvik
