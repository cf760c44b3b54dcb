#include "road_stats.h"

#include "stats/screens/statistics.h"

namespace torvik::test {

StatsSelection SelectionOf(ui::Screen* s) {
  auto* st = static_cast<StatisticsScreen*>(s);
  StatsSelection out;
  out.plan = st->plan->text().toStdString();
  out.experiment = st->experiment->text().toStdString();
  out.source = st->source->Selected();
  out.imitator = st->imitators->Selected();
  out.planet = st->planet->Selected();
  return out;
}

double DriftIntoFile(ui::Screen* s, int group) {
  auto* st = static_cast<StatisticsScreen*>(s);
  st->ncp->SetNumber(group);
  st->loadButton->click();
  st->processButton->click();
  st->loadDriftButton->click();
  st->replaceButton->click();
  return st->drift->Number().value_or(0.0);
}

void SelectPlanExperiment(ui::Screen* s, int plan, int experiment) {
  auto* st = static_cast<StatisticsScreen*>(s);
  st->source->Select(1);
  st->plan->SetNumber(plan);
  st->experiment->SetNumber(experiment);
}

void StatsToPlan(ui::Screen* s) { static_cast<StatisticsScreen*>(s)->toPlanButton->click(); }

}  // namespace torvik::test
