// The optimum of the five-factor observation regression found four factors
// at a time: one factor is held at its coded optimum, the model is reduced to
// a quadratic in the other four (renumbered 1..4 in increasing index order) and
// its stationary point is found by the elimination of the four-factor plans.
// Each optimization overwrites the report "\Dat\TorvikSLU.txt".
#pragma once

#include <array>
#include <filesystem>
#include <vector>

#include "core/message.h"
#include "plan/obs_plan.h"
#include "plan/obs_planfile.h"
#include "plan/optimize.h"
#include "plan/regression.h"

namespace torvik {

inline constexpr const char* kFourOfFiveReport = "\\Dat\\TorvikSLU.txt";
inline constexpr const char* kMsgSolveFive =
    "Ошибка при решение системы линейных уравнений\r\nсмотрите отчет в файле \\Dat\\TorvikSLU.txt";

// The four-factor model b'0..b'14 of the five-factor coefficients b0, b1..b20
// with factor f (1..5) held at xf. The constant is not reduced; the terms of
// the held factor alone are dropped (they do not move the stationary point).
Coefficients ReduceFourOfFive(const ObsCoefficients& b, int f, double xf);

// What the optimization shows in the plan's fields.
struct FourOfFiveFields {
  std::array<double, 6> coded{};    // Fix(MK·Xopt(i))/MK
  std::array<double, 6> natural{};  // "Rsr" in thousand km, the others in factor units
};

// OptimizeFourOfFive: s.Xopt(1..5) are the coded optimum fields as typed, b0 of
// s.b and s.bSaved(1..20) the model. On success Xopt takes the stationary point
// (the held factor keeps its value), XoptNat(1..5) the natural optimum fields
// and XoptNat(6) = period (the "X6opt" field). Any failure gives
// "Ошибка при решение системы линейных уравнений" … and leaves s unchanged; the
// report keeps the stages written.
ActionResult OptimizeFourOfFive(ObsPlanState& s, int f, double period, const std::filesystem::path& folder,
                                LinearSystem& sys, FourOfFiveFields* fields = nullptr, double MK = 1000000.0);

// "задать X(i)0 = X(i)opt": the zero-level fields for the optimum in memory,
// "Rsr" in thousand km, factors 2..5 truncated to six decimals.
std::array<double, 6> AdoptedZeroLevels(const ObsPlanState& s, double MK = 1000000.0);

// "Все": three passes of f = 5, 4, 3, 2, 1, each starting from the coded
// optimum fields left by the one before; a failed optimization is reported and
// the sweep goes on. Returns the held factor and the result of each of the 15.
struct SweepStep {
  int f;
  ActionResult result;
};
std::vector<SweepStep> OptimizeAll(ObsPlanState& s, double period, const std::filesystem::path& folder,
                                   LinearSystem& sys, FourOfFiveFields* fields = nullptr, double MK = 1000000.0);

}  // namespace torvik
