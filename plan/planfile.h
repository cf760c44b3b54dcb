// The plan parameter file "\Plan" + PlanNo + "\TorvikPlan.dat": the zero
// levels and intervals of the four factors and the weights of the criterion.
// CR LF, Windows-1251, items in 14-character print zones.
//
//   line 1      kPlanFileTitle (text only)
//   line 2      the plan number (printed integer)
//   lines 3..6  factor i = 1..4: Fix(MK·Xzero(i)), Fix(MK·Xstep(i))
//   lines 7..16 planet 1..10: Wt(planet, 1) … Wt(planet, 6), printed numbers
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"
#include "plan/plan.h"

namespace torvik {

inline constexpr const char* kPlanFileTitle = "Уровни варьирования и весовые коэффициенты параметров для плана № ";
inline constexpr const char* kMsgPlanFileRead = "Ошибка при чтении данных из файла TorvikPlan.dat";
inline constexpr const char* kMsgPlanFileWrite = "Ошибка при записи данных в файл TorvikPlan.dat";

// No number of the file is larger: a zero level of 1e9 (× MK), a weight of 1e15.
inline constexpr double kPlanFileMaxValue = 1e15;

// Weights Wt(planet 1..10, element 1..6) of the criterion ("весовые коэффициенты").
using PlanWeights = std::array<std::array<double, 7>, 11>;

// Weights 1 for every planet and element: the values in memory before any plan
// file was read (with 0 the "dY" criterion of an unread plan would vanish).
PlanWeights UnitWeights();

struct PlanParams {
  std::int16_t PlanNo = 1;
  PlanLevels levels;
  PlanWeights Wt = UnitWeights();
};

// "\Plan" + k + "\TorvikPlan.dat".
std::string PlanFileRelPath(int plan);

std::vector<std::string> PlanFileLines(const PlanParams& p, double MK = 1000000.0);
// SavePlanParams: writes the file of p.PlanNo (temp file + rename).
// "Ошибка при записи данных в файл TorvikPlan.dat" on failure.
ActionResult WritePlanFile(const PlanParams& p, const std::filesystem::path& folder, double MK = 1000000.0);
// LoadPlanParams: reads the file of plan `plan` into *p only when the whole
// file is good (its sixteen lines, each with its count of numbers no larger
// than kPlanFileMaxValue, the last one ended), so a failed read leaves the
// previous values;
// "Ошибка при чтении данных из файла TorvikPlan.dat" otherwise.
ActionResult ReadPlanFile(int plan, const std::filesystem::path& folder, PlanParams* p, double MK = 1000000.0);
ActionResult ReadPlanLines(const std::vector<std::string>& lines, PlanParams* p, double MK = 1000000.0);

// The text LoadPlanParams prints on the plot, one line per element.
std::vector<std::string> PlanParamsText(const PlanParams& p);

}  // namespace torvik
