// The statistics screen's part of the road tests, in a unit of its own: the
// statistics' plot types and the tool screens' sketch types share names and
// cannot meet in one file that includes every screen.
#pragma once

#include <string>

namespace torvik::ui {
class Screen;
}

namespace torvik::test {

// What the statistics screen has selected.
struct StatsSelection {
  std::string plan, experiment;
  int source = -1;    // 0 "имитаторе", 1 "модели"
  int imitator = -1;  // 0 New, 1 APC, 2 JPL, 3 Mox
  int planet = -1;    // 0 Меркурий …
};
StatsSelection SelectionOf(ui::Screen* statistics);

// "Загрузить данные вычислительного эксперимента полученные", "Обработать
// данные " with groups of `group` points, "Загрузить значения смещений в
// файле" and "Изменить это смещение на рассчитанное"; returns the computed drift.
double DriftIntoFile(ui::Screen* statistics, int group);

// The model source with plan and experiment numbers.
void SelectPlanExperiment(ui::Screen* statistics, int plan, int experiment);

// "К плану".
void StatsToPlan(ui::Screen* statistics);

}  // namespace torvik::test
