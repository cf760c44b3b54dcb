// The five-factor plans of the observation experiments, "B5" (Box, star arm 1)
// and "O5" (orthogonal, star arm 1.596, squares shifted by 0.86266): the coded
// table, its listing "\Dat\Plan.txt" and the full quadratic regression of a
// criterion on the five coded factors.
//
// Factors: x1 = R0sr (metres), x2 = Eks0, x3 = Betta0, x4 = AlfaP0,
// x5 = AlfaU0 (degrees) of the observed planet; the coded level x of factor i
// stands for Xzero(i) + x·Xstep(i).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"

namespace torvik {

inline constexpr int kObsFactors = 5;
inline constexpr int kObsExperiments = 43;  // 1..32 factorial, 33..42 star, 43 centre

enum class ObsPlanKind : std::uint8_t { B5, O5 };

// One text column per factor of two-character signed entries, 50 entries
// (44..50 are zeros and never read).
extern const std::array<const char*, kObsFactors> kObsPlanColumns;

// Factor pair (i, k) of product column 6..15, in the column order.
inline constexpr int kObsProductPairs[10][2] = {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 3},
                                                {2, 4}, {2, 5}, {3, 4}, {3, 5}, {4, 5}};

using ObsValues = std::array<double, kObsExperiments + 1>;  // experiment 1..43
using ObsCoefficients = std::array<double, 21>;             // b0..b20
using ObsPoint = std::array<double, kObsFactors + 1>;       // x1..x5 at index 1..5

// PlanX(column 0..20, experiment 0..43): columns 1..5 the levels, 6..15 the
// products in kObsProductPairs order, 16..20 the squares minus SqShift.
// ColSS(k): Σ over experiments 1..43 of PlanX(k, j)², whatever the kind.
struct ObsPlan {
  ObsPlanKind kind = ObsPlanKind::O5;
  double StarArm = 1.596, SqShift = 0.86266;
  std::array<std::array<double, kObsExperiments + 1>, 21> PlanX{};
  std::array<double, 21> ColSS{};
};

// CreatePlan without its screen: the table and the column sums.
ObsPlan CreateObsPlan(ObsPlanKind kind);

// "\Dat\Plan.txt".
inline constexpr const char* kObsPlanListing = "\\Dat\\Plan.txt";
// The listing, 51 lines: the table in four groups of columns (1..5, 6..15,
// 16..20) whose numbers run together, then the column sums.
std::vector<std::string> ObsPlanListingLines(const ObsPlan& p, int PlanNo);
// False when the file cannot be written.
bool WriteObsPlanListing(const ObsPlan& p, int PlanNo, const std::filesystem::path& folder);

// Experiments that take part in the regression: 42 for "B5" (the centre is
// listed but not used), 43 for "O5".
int ObsPlanExperiments(ObsPlanKind kind);

// The test criteria "Y(i)=i" and "Y(i)=func" (1 + Σx + Σ pair products + Σx²).
enum class ObsTestY : std::uint8_t { Index, Func };
void ObsTestCriterion(const ObsPlan& p, ObsTestY y, ObsValues* Ycrit);

// The fitted model at the coded point x.
double ObsFitValue(const ObsCoefficients& b, const ObsPoint& x);

struct ObsRegression {
  ObsCoefficients b{};
  ObsValues Yfit{};
  double YfitMax = 0.0;  // from −MK over the used experiments
  int NPlanExp = 0;
};

// FindObsRegression: `kind` is the plan type selected now, which may differ
// from the one the table was created with; "O5" divides by the column sums and
// uses the square shift of the table as created, "B5" uses the rounded rows of
// its inverse normal matrix.
ObsRegression FindObsRegression(const ObsPlan& p, ObsPlanKind kind, const ObsValues& Ycrit, double MK = 1000000.0);

}  // namespace torvik
