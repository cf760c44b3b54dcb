// The criterion of the 24 experiments of B4D and its quadratic regression:
// the built-in test functions of the factor values, the criterion from the
// drifts of the model runs, the closed-form least-squares fit with the plan's
// rounded constants, the fitted values and the one-factor sections.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "core/message.h"
#include "plan/plan.h"
#include "plan/planfile.h"

namespace torvik {

using PlanValues = std::array<double, kB4DExperiments + 1>;  // index 1..24
using Coefficients = std::array<double, 15>;                   // b0..b14
using CodedPoint = std::array<double, 5>;                      // x1..x4 at index 1..4

// "критерий брать как".
enum class CriterionForm { Y, dY, dY2 };

// The test functions of the screen and of the extra tests screen.
enum class TestFunction {
  U,              // "Y(u)=u": the experiment number; no criterion form
  X1PlusX1Sq,     // X1 + X1²
  Sum,            // X1 + X2 + X3 + X4
  Product,        // X1·X2·X3·X4
  RatioX4Sq,      // X1·X2·X3 / X4² (taken when none of the others is selected)
  PairProducts,   // sum of the six pair products
  X1SqX2Sq,       // X1²·X2²
  SumSquares,     // sum of the four squares
  FullQuadratic,  // the 4 factors, 4 squares and 6 pair products
  SumWithX4,      // X1 + X2 + X3 + X4 + X1X4 + X2X4 + X3X4 + X4²
};

struct TestInfo {
  TestFunction f;
  const char* caption;  // option caption of the screens
  const char* name;     // short name of torvik6-cli plan fit --test
  double YTarget;       // value when every natural factor is 1 (0: none)
};
extern const std::array<TestInfo, 10> kTests;
const TestInfo& TestInfoOf(TestFunction f);

// Y(u) of experiment j at the natural values X[1..4].
double TestValue(TestFunction f, int j, const CodedPoint& X);

inline constexpr const char* kMsgProcessing = "Ошибка при обработке данных";
inline constexpr const char* kMsgDriftRead = "Ошибка чтения данных из файла";

// Criterion "тестов": Ycrit(j) from the natural values PlanU(j, ·), which are
// recomputed for j = 1..24 from the levels. "Ошибка при обработке данных" when
// a value is not finite.
ActionResult TestCriterion(PlanTables& t, const PlanLevels& lv, TestFunction f, CriterionForm form, PlanValues* Ycrit);

// Drifts per hundred years of the six elements (index 1..6 as the statistics
// screen numbers them): observed DriftNab(planet, e) from the imitator drift
// file and DriftRas(planet, e, experiment) from the plan drift file.
using ObservedDrifts = std::array<std::array<double, 7>, 11>;
using PlanDrifts = std::array<std::array<double, kB4DExperiments + 1>, 7>;  // (e, j) of one planet

// Readers of the drift files (values already divided by MK). A reader returns
// "Ошибка чтения данных из файла" + CR LF + the relative path on a missing or
// short file. The plan drift reader always reads the "B" file
// "\Plan" + plan + "\Torvik" + planet + "RasB.dat".
struct DriftSource {
  std::function<ActionResult(const std::filesystem::path& folder, const std::string& imitatorFolder,
                             ObservedDrifts* nab)> readObserved;
  std::function<ActionResult(const std::filesystem::path& folder, int plan, int planet, PlanDrifts* ras)>
      readPlan;
};

struct DriftSelection {
  std::array<bool, 11> planets{};   // "и использовать планеты"
  std::array<bool, 7> elements{};   // "для модели критерий по", 1..6
  CriterionForm form = CriterionForm::dY;
};

// Criterion "модели" from drift values given directly: for every experiment
// the sum over the ticked planets and elements of DriftRas ("Y"),
// |(DriftRas − DriftNab)/DriftNab|·Wt ("dY") or its square ("dY^2").
// "Ошибка при обработке данных" for an observed drift of 0 with "dY"/"dY^2" or
// any value that is not finite.
ActionResult DriftCriterion(const ObservedDrifts& nab, const std::array<PlanDrifts, 11>& ras,
                            const DriftSelection& sel, const PlanWeights& Wt, PlanValues* Ycrit);
// The same with the drifts read through `src`: the observed file of
// `imitatorFolder` ("NEW", "APC", "JPL", "Mox", "Other"), then the plan file
// of every ticked planet.
ActionResult ModelCriterion(const DriftSource& src, const std::filesystem::path& folder,
                            const std::string& imitatorFolder, int plan, const DriftSelection& sel,
                            const PlanWeights& Wt, PlanValues* Ycrit);

// The fitted quadratic model at the coded point x.
double FitValue(const Coefficients& b, const CodedPoint& x);

struct Regression {
  Coefficients b{};
  PlanValues Yfit{};
  double YfitMin = 0.0, YfitMax = 0.0;  // over the fitted values
  double MP = 0.0;                      // criterion scale (YfitMax − YfitMin)/10, "Масштаб критерия, ед/см"
};

// Closed-form least squares of B4D with the rounded rows of the inverse
// normal matrix: b0 = 0.22917·ΣY − 0.0625·ΣSq, b1..4 = 0.0555556·B(i),
// b5..10 = 0.0625·B(c), b11..14 = 0.5·B(c) − 0.10417·ΣSq − 0.0625·ΣY, where
// B(c) = Σ PlanX(c, j)·Ycrit(j) and ΣSq = B(11) + … + B(14).
Regression FindRegression(const PlanTables& t, const PlanValues& Ycrit);

// One-factor sections through the coded base point: for factor i = 1..4 and
// u = 0..16, x_i = u/8 − 1 with the others at the base, the plot point
// (5·(i − 1) + 1 + u/4, (Y − YfitMin)/MP + dy).
struct PlotPoint {
  double x = 0.0, y = 0.0;
};
using Sections = std::array<std::array<PlotPoint, 17>, 5>;  // [factor 1..4][u]
inline constexpr const char* kMsgSections = "Ошибка при построение графиков\r\nПопробуйте увеличить масштаб";
ActionResult PlotSections(const Coefficients& b, const CodedPoint& base, double YfitMin, double MP, double dy,
                          Sections* out);

}  // namespace torvik
