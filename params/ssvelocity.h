// The velocity of the whole Solar System composed from published velocity
// vectors: each row is a speed V (km/s) and two ecliptic angles α, β
// (degrees), decomposed as VX = s·V·cos β·cos α, VY = s·V·cos β·sin α,
// VZ = s·V·sin β with the row's sign s = ±1.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

inline constexpr const char* kMsgVelocityBadData = "Введите правильно данные";
inline constexpr const char* kVelocityTitle = "Torvik5";
inline constexpr int kVelocityRows = 5;

struct Velocity3 {
  double vx = 0.0, vy = 0.0, vz = 0.0;  // km/s, ecliptic
};

struct VelocityRowDefault {
  const char* caption;  // check box caption, UTF-8
  double v, alfa, betta;
  int r, g, b;          // drawing colour
};
// The five rows with their default speeds, angles and colours.
extern const std::array<VelocityRowDefault, kVelocityRows> kVelocityRowDefaults;

// The reference vector drawn in grey: V = 370 km/s, α = 171°, β = −11.4°.
inline constexpr double kReferenceV = 370.0, kReferenceAlfa = 171.0, kReferenceBetta = -11.4;
inline constexpr const char* kReferenceCaption =
    "справочно   Vsol=370      Alfa=171      Betta=-11,4   (серые линии)";

Velocity3 DecomposeVelocity(const Model& m, double v, double alfaDeg, double bettaDeg, int sign);

struct VelocityRowInput {
  bool on = false;
  std::string v, alfa, betta;  // field texts
  bool minus = false;          // the "--" option of the row
};

struct VelocityDecomposition {
  double mv = 50.0;                                   // km/s per picture unit
  std::array<std::optional<Velocity3>, kVelocityRows> rows;  // checked rows done
  Velocity3 sum;
  Velocity3 reference;
  bool complete = false;  // sums and reference computed
};

// "Разложить по осям отмеченные скорости и просуммировать": the checked rows
// in order 1..5 and their sum. On a field that is not a number (or MV = 0)
// "Введите правильно данные" / "Torvik5"; *out keeps the rows done so far.
ActionResult DecomposeVelocities(const Model& m, const std::array<VelocityRowInput, kVelocityRows>& rows,
                                 const std::string& mvText, VelocityDecomposition* out);

// "VX = " + vx + "      VY = " + vy + "      VZ = " + vz, truncated to three decimals.
std::string ReferenceComponentsText(const Velocity3& v);

// "Задать скорость системе": VXsys, VYsys, VZsys (km/s) from the fields, and
// VX(k) = 1000·VXsys + VX0(k) (likewise y, z) for bodies 0..10; the initial
// data stay. "Введите правильно данные" / "Torvik5" on a bad field, nothing
// changed.
ActionResult SetSystemVelocity(Model& m, const std::string& vx, const std::string& vy, const std::string& vz);

}  // namespace torvik
