#include "observe/screens/register.h"

#include "observe/screens/observation.h"

namespace torvik {

void RegisterObserveScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder) {
  nav.Register("observe", [&m, &nav, folder] { return std::make_unique<ObservationScreen>(m, nav, folder); });
}

}  // namespace torvik
