#include "plan/plan.h"

#include <cmath>

#include "core/textfile.h"

namespace torvik {

const std::array<const char*, kFactors> kB4DColumns = {
    "+1+1+1+1+1+1+1+1-1-1-1-1-1-1-1-1+1-1+0+0+0+0+0+0+0+0+0+0+0+0+0+0+0+0",
    "+1+1+1+1-1-1-1-1+1+1+1+1-1-1-1-1+0+0+1-1+0+0+0+0+0+0+0+0+0+0+0+0+0+0",
    "+1+1-1-1+1+1-1-1+1+1-1-1+1+1-1-1+0+0+0+0+1-1+0+0+0+0+0+0+0+0+0+0+0+0",
    "+1-1+1-1+1-1+1-1+1-1+1-1+1-1+1-1+0+0+0+0+0+0+1-1+0+0+0+0+0+0+0+0+0+0",
};

void FillB4D(PlanTables& t) {
  for (auto& column : t.PlanX) column.fill(0.0);
  for (int j = 1; j <= kB4DExperiments; ++j) {
    for (int i = 1; i <= kFactors; ++i) {
      const std::string_view entry = std::string_view(kB4DColumns[i - 1]).substr(2 * (j - 1), 2);
      t.PlanX[i][j] = ParseNumber(entry).value_or(0.0);
    }
    for (int c = 0; c < 6; ++c) t.PlanX[5 + c][j] = t.PlanX[kProductPairs[c][0]][j] * t.PlanX[kProductPairs[c][1]][j];
    for (int i = 1; i <= kFactors; ++i) t.PlanX[10 + i][j] = t.PlanX[i][j] * t.PlanX[i][j];
  }
}

void NaturalValues(PlanTables& t, const PlanLevels& lv, int j) {
  for (int i = 1; i <= kFactors; ++i) t.PlanU[j][i] = t.PlanX[i][j] * lv.Xstep[i] + lv.Xzero[i];
}

ActionResult ShowExperiment(Model& m, PlanTables& t, const PlanLevels& lv, int j, ExperimentView* view) {
  if (j < 0 || j >= kPlanExperiments) return UserMessage{kMsgBadFields, kTitle};
  for (int i = 1; i <= kFactors; ++i)
    if (!std::isfinite(lv.Xzero[i]) || !std::isfinite(lv.Xstep[i])) return UserMessage{kMsgBadFields, kTitle};
  const std::string n = std::to_string(j);
  view->runOneCaption = "Выполнить один эксперимент плана № " + n;
  view->runSeriesCaption = "Выполнить эксперименты с № " + n + "по №";
  NaturalValues(t, lv, j);
  for (int i = 1; i <= kFactors; ++i) view->natural[i] = t.PlanU[j][i];
  m.VXsys = t.PlanU[j][1];
  m.VYsys = t.PlanU[j][2];
  m.VZsys = t.PlanU[j][3];
  return std::nullopt;
}

ActionResult PlanPlanet(const std::array<bool, 11>& ticked, int* planet) {
  int count = 0, p = 0;
  for (int k = 1; k <= 10; ++k)
    if (ticked[k]) ++count, p = k;
  if (count >= 2) return UserMessage{kMsgOnePlanet, kTitle};
  *planet = p;
  return std::nullopt;
}

void ExperimentRunSettings(RunSettings& s, const PlanTables& t, int planet, int j) {
  s.imitatorMode = false;
  s.imitator = nullptr;
  s.PlanetNo = planet;
  s.watch = true;
  s.writeOrbit = true;
  s.live.NFile = static_cast<std::int16_t>(j);
  s.VgrFactor = t.PlanU[j][4];
  s.live.finiteSpeed = true;
  s.endYearOn = true;
  s.live.energy = false;
  s.live.writeTrace = false;
}

}  // namespace torvik
