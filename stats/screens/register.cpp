#include "stats/screens/register.h"

#include <QCoreApplication>
#include <memory>
#include <system_error>

#include "core/paths.h"
#include "model/run.h"
#include "params/startup.h"
#include "stats/screens/statistics.h"

namespace torvik {

void RegisterStatsScreens(ui::Navigator& nav, Model& m, const std::filesystem::path& folder) {
  nav.Register("statistics", [&m, &nav, folder] { return std::make_unique<StatisticsScreen>(m, nav, folder); });
}

void PrepareStatisticsScreenshot(ui::Screen* screen, const std::filesystem::path& folder) {
  auto* st = dynamic_cast<StatisticsScreen*>(screen);
  if (!st) return;
  const std::string rel = ModelOrbitPath(0, 1, 1);
  std::error_code ec;
  if (!std::filesystem::exists(ResolvePath(folder, rel), ec)) {
    // A model of its own: the shared one keeps the state the other screens show.
    auto m = std::make_unique<Model>();
    SetConstants(*m);
    if (StartUp(*m)) return;
    RunSettings s;
    s.folder = folder;
    s.writeOrbit = true;
    s.endYear = 2000;
    s.runDate = "10.12.2026";
    ModelRun run(*m);
    if (run.Start(s)) return;
    while (run.Running()) run.Batch();
  }
  st->plan->SetNumber(0);
  st->mp->SetNumber(0.05);  // the 0.6° of four centuries over the viewport's height
  st->OnLoadRunFile();
  st->ncp->SetNumber(50);
  st->OnProcess();
  st->hBar->setValue(0);
  st->vBar->setValue(100);
  QCoreApplication::processEvents();
}

}  // namespace torvik
