#include "params/screens/register.h"

#include "params/screens/parameters.h"
#include "params/screens/velocity.h"

namespace torvik {

void RegisterParamsScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder) {
  nav.Register("parameters", [&m, &nav, folder] {
    auto screen = std::make_unique<ParametersScreen>(m, nav, folder);
    screen->StartUp();  // the start-up runs when the screen is created, before it is shown
    return screen;
  });
  nav.Register("velocity", [&m, &nav] { return std::make_unique<VelocityScreen>(m, nav); });
}

}  // namespace torvik
