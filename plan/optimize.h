// The stationary point of the fitted quadratic surface: the four equations
// ∂Y/∂x_i = 0 solved by elimination in the order x1, x2, x3 without pivoting
// or row exchange, each stage appended to the report
// "\Plan" + PlanNo + "\TorvikSLU.dat" as it is done. The point is neither
// tested for being a minimum nor limited to the plan range.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/message.h"
#include "plan/plan.h"
#include "plan/regression.h"

namespace torvik {

inline constexpr const char* kMsgSolve =
    "Ошибка при решение системы линейных уравнений\r\nсмотрите отчет в файле \\Plan(номер плана)\\TorvikSLU.dat";

// ASlu(row 1..10, column 0..4): column 0 the free term, 1..4 the coefficients
// of x1..x4. Rows 1..4 are the starting equations, 5..10 come from the
// elimination; rows 5..10 keep their values from the previous optimization
// where a stage does not recompute them, so the table lives with its owner.
struct LinearSystem {
  std::array<std::array<double, 5>, 11> ASlu{};
};

struct Optimum {
  CodedPoint Xopt{};     // "X1opt=" … "X4opt=", coded
  CodedPoint XoptNat{};  // natural, Fix(MK·(Xstep·x + Xzero))/MK
  double Yopt = 0.0;     // the fitted model at Xopt
};

// The elimination alone: fills rows 1..4 of sys from the four-factor model b,
// eliminates x1, x2, x3 and substitutes back. The lines of each stage (its
// heading, multipliers and rows; an empty line after each heading when
// blankAfterHeadings) go to `stage` as soon as the stage is done. False at a
// zero pivot, a value that is not finite or a stage the sink refused; the
// stages done so far have been handed over.
using StageSink = std::function<bool(const std::vector<std::string>&)>;
bool SolveStationary(const Coefficients& b, LinearSystem& sys, const StageSink& stage, bool blankAfterHeadings,
                     CodedPoint* x, double MK = 1000000.0);

// "\Plan" + k + "\TorvikSLU.dat".
std::string ReportRelPath(int plan);

// Optimize: fills rows 1..4 from b, eliminates and substitutes back, writing
// the report stage by stage. A zero pivot, a value that is not finite or a
// report that cannot be written ends it with "Ошибка при решение системы
// линейных уравнений" … and the report holds the stages done.
ActionResult Optimize(const Coefficients& b, const PlanLevels& lv, int PlanNo, const std::filesystem::path& folder,
                      LinearSystem& sys, Optimum* out, double MK = 1000000.0);

// AdoptOptimum, "задать X0(i) = X(i)opt": the natural optimum becomes the
// zero levels of the next plan.
void AdoptOptimum(const Optimum& opt, PlanLevels& lv);

}  // namespace torvik
