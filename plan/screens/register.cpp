#include "plan/screens/register.h"

#include <memory>

#include "plan/screens/optimization.h"

namespace torvik {

void RegisterPlanScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder) {
  nav.Register("optimization", [&m, &nav, folder] { return std::make_unique<OptimizationScreen>(m, nav, folder); });
  nav.Register("plantests", [] { return std::make_unique<ExtraTestsScreen>(); });
}

}  // namespace torvik
