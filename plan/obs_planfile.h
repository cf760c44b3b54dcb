// The state of an observation plan and its file, one per source, planet and
// plan number: "\" + SourceKind + "\Plan\" + SourceName + Npl + "_" + PlanNo +
// ".dat" (\Tab\Plan\AlBattani4_2.dat). CR LF, Windows-1251, numbers in
// 14-character print zones, every multiplied value truncated toward zero.
//
//   line 1      "план № " + PlanNo + " по планете № " + Npl + " для " + SourceName
//   line 2      "Нулевые уровни и интервалы варьирования параметров"
//   line 3      Xzero(1), Xstep(1) in whole kilometres
//   lines 4..7  i = 2..5: Fix(MK·Xzero(i)), Fix(MK·Xstep(i))
//   line 8      Fix(MK·AlfaL0(Npl)), Fix(MK·W0sr(Npl))
//   line 9      "Параметры орбиты Земли"
//   line 10     R0sr(3) in whole kilometres, then Fix(MK·v) of Eks0, Betta0,
//               AlfaP0, AlfaU0, AlfaL0, W0sr of the Earth
//   line 11     "Скорость Солнечной системы по осям X Y Z"
//   line 12     VXsys, VYsys, VZsys in whole m/s
//   line 13     kObsPlanHead13
//   lines 14..56  e, Fix(1000·PlanX(1..5, e)), Fix(MK·Ycrit(e)), Fix(MK·Yfit(e))
//   line 57     kObsPlanHead57
//   lines 58..78  c, Fix(MK·b(c)), c = 0..20
//   line 79     kObsPlanHead79
//   lines 80..85  i, Fix(MK·Xopt(i)) (0 for i = 6), Fix(MK·XoptNat(i))
//   line 86     "Начальная дата оптимизации и год окончания "
//   line 87     Fix(MK·StartD), StartM, StartY, EndY
//
// The leading number of a record is read and not used for indexing.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/model.h"
#include "plan/obs_plan.h"

namespace torvik {

inline constexpr const char* kObsPlanHead13 =
    "№ эксперимента  закодированные уровни и экспериментальное и расчетное значение критерия ";
inline constexpr const char* kObsPlanHead57 = "№ коэффициента и его значение для закодированного уравнения регрессии";
inline constexpr const char* kObsPlanHead79 = "Закодированные и раскодированные оптимальные значения параметров";
inline constexpr const char* kTemplateTitle = "шаблон файла данных";
inline constexpr const char* kMsgPlanRead = "Ошибка чтения данных из файла";
inline constexpr const char* kMsgPlanWrite = "Ошибка при записи данных в файл";
inline constexpr const char* kMsgTemplate = "Ошибка при расчете параметров по JPL0";

// Everything that defines an observation plan apart from its coded table's
// construction. Angles in degrees, mean motions in radians per 100 years,
// R0sr and Xzero(1), Xstep(1) in metres, velocities in m/s.
struct ObsPlanState {
  std::int16_t PlanNo = 1;
  int Npl = 1;
  std::string PlanTitle;
  std::array<double, 6> Xzero{}, Xstep{};  // factors 1..5
  double AlfaL0 = 0, W0sr = 0;             // the observed planet
  double earthR0sr = 0, earthEks0 = 0, earthBetta0 = 0, earthAlfaP0 = 0, earthAlfaU0 = 0, earthAlfaL0 = 0,
         earthW0sr = 0;
  double VXsys = 0, VYsys = 0, VZsys = 0;
  std::array<std::array<double, kObsExperiments + 1>, kObsFactors + 1> PlanX{};  // (factor, experiment)
  ObsValues Ycrit{}, Yfit{};
  ObsCoefficients b{}, bSaved{};
  std::array<double, 7> Xopt{}, XoptNat{};  // 1..6; XoptNat(1) thousand km, XoptNat(6) period in days
  float StartD = 1;
  std::int16_t StartM = 1, StartY = 2000, EndY = 2000;
};

// "\" + kind + "\Plan\" + name + Npl + "_" + PlanNo + ".dat".
std::string ObsPlanRelPath(const std::string& sourceKind, const std::string& sourceName, int Npl, int PlanNo);

std::vector<std::string> ObsPlanFileLines(const ObsPlanState& s, const std::string& sourceName, double MK = 1000000.0);
// SavePlan: temporary file + rename. "Ошибка при записи данных в файл" CR LF +
// the relative path on failure (a missing \Tab\Plan folder included).
ActionResult WriteObsPlanFile(const ObsPlanState& s, const std::string& sourceKind, const std::string& sourceName,
                              const std::filesystem::path& folder, double MK = 1000000.0);
// LoadPlan "из файла": *s changes only when the whole file is good; a missing,
// short or malformed file gives "Ошибка чтения данных из файла" CR LF + the
// relative path. PlanNo and Npl stay as given; bSaved = b.
ActionResult ReadObsPlanLines(const std::vector<std::string>& lines, ObsPlanState* s, double MK = 1000000.0);
ActionResult ReadObsPlanFile(const std::string& sourceKind, const std::string& sourceName,
                             const std::filesystem::path& folder, ObsPlanState* s, double MK = 1000000.0);

// LoadPlan "из шаблона": the zero levels from the approximate J2000 elements
// of the planet (the Earth's for the Sun, Npl = 0) at JD, intervals 5000
// thousand km, 0.02, 1°, 10°, 10°; the Earth's plan orbit; placeholders
// Ycrit = Yfit = e, b = c, Xopt = 0, no velocity. PlanX, XoptNat and EndY
// stay. Start date = date. Uses (and changes) the element tables of `m`.
// "Ошибка при расчете параметров по JPL0" when an element is not finite.
ActionResult ObsPlanTemplate(Model& m, double JD, float day, std::int16_t month, std::int16_t year,
                             ObsPlanState* s);

// The plan as the plan screen's fields hold it after showing it and reading
// it back: the zero levels, the planet's AlfaL0 and W0sr, the Earth's orbit
// and the coded optimum truncated to six decimals (R0sr and Xzero(1), shown
// in thousand km, to whole metres), the intervals as they are. `torvik6-cli observe-plan run` runs exactly the plan the screen runs.
void AsPlanFields(ObsPlanState* s, double MK = 1000000.0);

}  // namespace torvik
