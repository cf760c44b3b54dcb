// Initial positions and velocities of the planets from their elements, the
// centre of mass of the bodies taking part, moving it to the origin, and the
// Sun's velocity that cancels the planets' momentum. Body slot 11 of X, Y, Z
// holds the centre of mass (metres). After "ЦМ системы в начало координат",
// "Найти … скорость Солнца Vsol" and "Учесть для планет Vsol " the screen
// switches its grid to "начальные данные"; after the initial data it refreshes
// the grid in its current mode.
#pragma once

#include <array>
#include <string>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

inline constexpr const char* kMsgError = "Ошибка";  // title "Torvik6"

struct InitialDataInputs {
  std::string mSol;   // field "mSol, кг"
  std::string gamma;  // field "gamma, н*м^2/кг^2"
  bool vsol0 = true;  // check box "Vsol=0": μ = gamma·mSol, else gamma·(mSol + mPl(k))
};

// "Рассчитать по загруженным параметрам начальные данные для планет ": the Sun
// at rest in the origin, bodies 1..10 from their elements (X0 = X … VZ0 = VZ).
// "Задайте правильно данные" / "Torvik6" on a failure; bodies done stay.
ActionResult ComputeInitialData(Model& m, const InitialDataInputs& in);

// "Найти координаты ЦМ системы": X(11), Y(11), Z(11) from X0..Z0 and mPl of the
// bodies 0..10 with InSys = 1. "Ошибка" / "Torvik6" when the mass is zero.
ActionResult FindCentreOfMass(Model& m);
// The three result fields of the centre of mass (x, y, z in thousands of km,
// truncated to metres): trunc(X(11))/MK …
std::array<std::string, 3> CentreOfMassTexts(const Model& m);
// "ЦМ системы в начало координат": shifts X0..Z0 (and X..Z) of all bodies 0..10.
ActionResult CentreOfMassToOrigin(Model& m);
// "Найти по полученным данным планет скорость Солнца Vsol": VX0(0) = VX(0) =
// −Σ InSys·mPl·VX0 / mSol over bodies 1..10, likewise y, z.
ActionResult FindSunVelocity(Model& m);
// "Учесть для планет Vsol ": adds the Sun's current velocity to bodies 1..10.
ActionResult ApplySunVelocity(Model& m);

// The centre-of-mass cross (check box "ЦМ"): colour (0, 0, 250), two segments
// of ±1 picture unit about (X(11)/Mxy, Y(11)/Mxy).
struct PictureCross {
  double x = 0.0, y = 0.0;
};
PictureCross CentreOfMassCross(const Model& m);

}  // namespace torvik
