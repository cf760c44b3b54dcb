// The four-factor Box plan B4D of the gravity-speed optimization: its coded
// table, the natural values of the factors, the display of one experiment and
// the settings of the modelling run that performs it.
//
// Factors (natural units): X1 = VXsys, X2 = VYsys, X3 = VZsys (km/s) and
// X4 = Vgr in units of Vsv. A coded level x of factor i stands for the natural
// value Xzero(i) + x·Xstep(i).
#pragma once

#include <array>
#include <string>

#include "core/message.h"
#include "core/model.h"
#include "model/run.h"

namespace torvik {

inline constexpr int kPlanColumns = 21;      // PlanX columns 0..20
inline constexpr int kPlanExperiments = 44;  // experiments 0..43
inline constexpr int kB4DExperiments = 24;   // experiments 1..24 of B4D
inline constexpr int kFactors = 4;

// The stored plan matrix of B4D: one text column per factor of two-character
// signed entries ("+1", "-1", "+0"); entry j is characters 2j − 1 and 2j.
extern const std::array<const char*, kFactors> kB4DColumns;

// PlanX(column, experiment): columns 1..4 x1..x4; 5..10 the products x1x2,
// x1x3, x1x4, x2x3, x2x4, x3x4; 11..14 the squares x1² … x4².
// PlanU(experiment, factor 1..4): natural values of the experiments.
struct PlanTables {
  std::array<std::array<double, kPlanExperiments>, kPlanColumns> PlanX{};
  std::array<std::array<double, 6>, kPlanExperiments> PlanU{};
};

// Factor pair (i, k) of product column 5..10, in the column order.
inline constexpr int kProductPairs[6][2] = {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};

// Fills PlanX with B4D (experiments 1..24; the rest stays 0).
void FillB4D(PlanTables& t);

// Zero levels and intervals of the four factors (index 1..4), with the
// optimization screen's defaults.
struct PlanLevels {
  std::array<double, 5> Xzero{0, 100, 200, 300, 1};
  std::array<double, 5> Xstep{0, 10, 20, 30, 40};
};

// PlanU(j, i) = PlanX(i, j)·Xstep(i) + Xzero(i) for i = 1..4.
void NaturalValues(PlanTables& t, const PlanLevels& lv, int j);

inline constexpr const char* kMsgBadFields = "Введите правильно данные";
inline constexpr const char* kMsgOnePlanet = "Должена быть отмечена одна планата";
// A run of the modelling screen is going on: an experiment started now would
// not run (and its number would be lost), so it is refused.
inline constexpr const char* kMsgRunActive =
    "На форме моделирования идет расчет\r\nОстановите его или дождитесь его окончания";

// What "Показать параметры эксперимента №" shows.
struct ExperimentView {
  std::string runOneCaption;     // "Выполнить один эксперимент плана № " + j
  std::string runSeriesCaption;  // "Выполнить эксперименты с № " + j + "по №"
  std::array<double, 5> natural{};  // the " =" fields, factors 1..4
};

// ShowExperiment for j = ExpNo: the natural values of experiment j, the
// Solar-System velocity of the model set to X1..X3 (km/s) and the captions of
// the run buttons. X4 goes to the modelling run (ExperimentRunSettings).
// "Введите правильно данные" when j is outside the plan table or a level is
// not finite.
ActionResult ShowExperiment(Model& m, PlanTables& t, const PlanLevels& lv, int j, ExperimentView* view);

// The planet of a plan run: the one ticked in "и использовать планеты"
// (index 1..10), 0 when none is. Two or more: "Должена быть отмечена одна планата".
ActionResult PlanPlanet(const std::array<bool, 11>& ticked, int* planet);

// The modelling screen as a plan experiment sets it: "модель", planet p
// watched, orbit file on, file number j, "Vgr = Vsv *" on with X4 of the
// experiment, the end year on (its year unchanged), energy and coordinate
// trace off. The other inputs of `s` (step, NRed, NOut, Alfa, PowR, variant,
// direction) stay as the screen has them. The caller sets PlanNo.
void ExperimentRunSettings(RunSettings& s, const PlanTables& t, int planet, int j);

// A series "Выполнить эксперименты с № j по № ExpLast" chained through the
// end-of-run signal of the modelling screen.
struct PlanSeries {
  int ExpNo = 1;    // "Показать параметры эксперимента №"
  int ExpLast = 24; // "Выполнить эксперименты с № 0 по №"
  // RunSeries starts the run only when ExpLast ≥ ExpNo.
  bool Starts() const { return ExpLast >= ExpNo; }
  // NextExperiment: a run ended; the next experiment, and whether it starts.
  bool Next() {
    ++ExpNo;
    return Starts();
  }
  // "Остановить" on the modelling screen: no further run follows.
  void Stop() { ExpNo = ExpLast; }
};

}  // namespace torvik
