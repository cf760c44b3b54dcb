// A Keplerian ellipse against the circular models of the old tables: one body
// on an ellipse with the Sun in a focus (second-order series in e1), a second
// body with the same mean motion on a simple eccentric or on an eccentric with
// an equant. Both start at the aphelion direction (+x). Lengths in thousand
// km, angles in radians, time in days; longitudes are never reduced to one turn.
#pragma once

#include <array>
#include <string>

#include "core/message.h"
#include "core/model.h"
#include "tools/sketch.h"

namespace torvik {

enum class EccentricModel { Simple, Equant };  // "простой эксцентр", "эксцентр с эквантом"

inline constexpr const char* kEllipseTitle = "Эллипс и эксцентр (сравнение) - Torvik6 ";
inline constexpr const char* kMsgEllipseBadData = "Введите правильно данные";
inline constexpr const char* kMsgEllipseStepFault = "Ошибка при расчете координат";
inline constexpr const char* kMsgEllipseDrawFault = "Ошибка при рисовании";

struct EllipseInputs {
  double a = 150000.0;   // "Rsr, тыс.км."
  double e1 = 0.2;       // "Eks1 (эллипс)"
  double e2 = 0.4;       // "Eks2 (эксцентр)"
  double w = 6.28;       // "W, рад/год"
  double step = 0.1;     // "шаг, дни"
  double mx = 20000.0;   // "Mx, тыс.км./см" (orbit picture, read at the start only)
  double mt = 36.525;    // "МТ, дней/см"
  double mdAlfa = 1.0;   // "MdAlfa, град/см"
  double mdR = 10000.0;  // "MdR, тыс.км./см"
};

// The field texts of the screen (or of the command line), in the order of
// EllipseInputs.
struct EllipseTexts {
  std::string a = "150000", e1 = "0.2", e2 = "0.4", w = "6.28", step = "0.1";
  std::string mx = "20000", mt = "36.525", mdAlfa = "1", mdR = "10000";
};
// Every field a number, else "Введите правильно данные" / "Torvik6.0".
ActionResult ReadEllipseInputs(const EllipseTexts& t, EllipseInputs* out);
// The fields re-read after every step (MT, MdAlfa, MdR and the step); the
// others keep their values from `in`.
ActionResult ReadEllipseScales(const EllipseTexts& t, EllipseInputs* in);

struct EllipseStep {
  double T = 0.0;              // days, of this step
  double theta1 = 0.0, theta2 = 0.0;  // longitudes from the aphelion direction, rad
  double r1 = 0.0, r2 = 0.0;   // distances from the Sun, thousand km
  double dAlfa = 0.0;          // theta1 − theta2, rad
  double dR = 0.0;             // r1 − r2, thousand km
};

// The run of the comparison: T, the four moving points with their previous
// positions and the drawing of each step.
class EllipseComparison {
 public:
  struct Point {
    double x = 0.0, y = 0.0;  // thousand km, Sun at the origin
  };

  // "Начать расчет": fixed points for `model`, previous points at their fixed
  // points, T = 0.
  void Start(const EllipseInputs& in, EccentricModel model);
  bool Started() const { return started_; }

  // One step at the current T with the model selected now; T then advances by
  // the step of `scales` (which also gives the plot scales). Returns false on
  // an arithmetic fault, with nothing advanced.
  bool Step(EccentricModel model, const EllipseInputs& scales, EllipseStep* out);

  // The drawing of the step just made on the orbit picture (erasing the
  // previous positions first), and its points on the difference plot.
  // `Ok()` is false when a coordinate was not finite (a scale of 0).
  Sketch DrawOrbit(EccentricModel model) const;
  Sketch DrawDifferences(const EllipseStep& s, const EllipseInputs& scales, bool dAlfaOn, bool dROn) const;

  double T() const { return T_; }
  const EllipseInputs& Inputs() const { return in_; }
  const std::array<Point, 4>& Current() const { return cur_; }

 private:
  EllipseInputs in_;
  bool started_ = false;
  double T_ = 0.0;          // days
  double wDay_ = 0.0;       // mean motion, rad/day
  double b_ = 0.0;          // semi-minor axis, thousand km
  Point ellipseCentre_, eccentricCentre_, equant_;
  std::array<Point, 4> cur_{};    // this step's points
  std::array<Point, 4> erase_{};  // the points drawn by the step before, erased in white
};

// The grids of the two pictures as "Очистить рисунки" draws them: the orbit
// picture −10..14 × −10..10, the difference plot 0..16 × −4..4.
Sketch OrbitGrid();
Sketch DifferenceGrid();

// One period of the mean motion in steps: enough steps to cover 2π/W years.
long long StepsPerPeriod(const EllipseInputs& in);

}  // namespace torvik
