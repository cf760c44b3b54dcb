// The gravity-speed test ("Тест Vgr*"): two bodies and their mutual forces
// when gravity propagates with the finite speed Vgr and the whole system moves
// with (VXsys, VYsys, VZsys), followed by hand one fixed-point iteration of the
// delay at a time. The pair quantities are those of the engine: distances,
// delays, force magnitudes and their components by the angles AlfaXY and AlfaZ.
//
// Two differences from the engine are intended: the test places the acting
// body at its retarded position X − T·V (the engine at X + T·V), and it holds
// |dX| at 1000 m at least (the engine only skips an exact zero). The force is
// always the inverse square of the distance.
//
// Units: positions in metres, velocities in metres per second, delays in
// seconds, forces in newtons. Body 1 is the lower index, body 2 the higher.
#pragma once

#include <array>
#include <cstdint>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

inline constexpr const char* kMsgTwoBodies = "Должно быть отмечено только 2 объекта";
inline constexpr const char* kMsgPlaceData = "Введите правильно данные";
inline constexpr const char* kMsgForceData = "Введите правильно данные или увеличьте MF";
// The iteration's message box keeps the title of the earlier version of the program.
inline constexpr const char* kTitleIteration = "Torvik5";

using Vec3 = std::array<double, 3>;

// Quantities of one ordered pair (i acting, j acted upon).
struct PairQuantities {
  double dX = 0.0, dY = 0.0, dZ = 0.0;  // receiver minus (retarded) source, m
  double Rxy = 0.0, Rij = 0.0;          // m
  double Tdel = 0.0;                    // s
  double AlfaXY = 0.0, AlfaZ = 0.0;     // rad
  double Fij = 0.0;                     // N
  double FXij = 0.0, FYij = 0.0, FZij = 0.0;  // on j, N
};

class GravitySpeedTest {
 public:
  // "Задать положение 2-х планет": the two ticked bodies (bodies 0..10) at
  // the mean longitudes AlfaL1, AlfaL2 (degrees) on their orbits of the model
  // state, with their two-body velocities; the Sun at the origin at rest.
  // "Должно быть отмечено только 2 объекта" unless exactly two are ticked.
  ActionResult Place(const Model& m, const std::array<bool, 11>& ticked, double AlfaL1, double AlfaL2);

  // "Первое приближение для покоящейся системы" from the positions of the
  // upper block (m): distance, delay L / Vgr for both directions, force and
  // components; the iteration counter to 0.
  ActionResult FirstApproximation(const Model& m, const Vec3& X1, const Vec3& X2, double VgrFactor);

  // "Сделать 1 итерацию для движущейся системы": velocities of the bodies
  // relative to the system and the system's velocity (km/s); the delays of
  // the previous step give the retarded positions. On success NIterVgr of the
  // model takes NIterVgr.
  ActionResult Iterate(Model& m, const Vec3& V1, const Vec3& V2, const Vec3& Vsys, std::int16_t NIterVgr);

  int body1 = -1, body2 = -1;  // ticked bodies, body1 < body2
  Vec3 X1{}, X2{};             // current positions, m
  Vec3 V1{}, V2{};             // velocities (placing: two-body; iterating: with the system's), m/s
  Vec3 Xr1{}, Xr2{};           // retarded positions, m
  PairQuantities p12, p21;     // (1, 2): force on body 2 from the trace of body 1; (2, 1) the reverse
  double Vgr = 0.0;            // m/s, taken by the first approximation
  int iterations = 0;          // "сделано итераций"
};

// Components of the force Fij on j from a source at d = (dX, dY, dZ) behind
// it, by the angles of the engine: FX = −cos(AlfaXY)·Fij·cos(AlfaZ) when
// dX > 0, and so on; fills AlfaXY, AlfaZ, FXij, FYij, FZij of q.
void SplitForce(PairQuantities& q);

}  // namespace torvik
