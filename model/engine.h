// The N-body engine: the Sun and the ten further bodies under mutual
// gravitation with an optional finite speed of gravity, advanced by the
// classical fourth-order Runge–Kutta scheme with a fixed step.
//
// Frame and units: the ecliptic coordinates of the model state (heliocentric
// or barycentric as the initial data were left), metres, metres per second,
// seconds. The state vector keeps the fixed 11-body layout that other parts of
// the system read the Sun and the watched planet from:
//   0..10 X, 11..21 Y, 22..32 Z, 33..43 VX, 44..54 VY, 55..65 VZ (slot 66 unused).
// RateVec has the same layout: 0..32 velocities, 33..65 accelerations.
//
// The force of body i on body j is −Fij·d/R with d the (delay-corrected)
// vector from i to j, Fij = kPair·mPl(i)·mPl(j)·gamma / R^PowR. With the finite
// speed on, i is placed at its position advanced by its own velocity over the
// delay R/Vgr, the delay found by NIterVgr + 1 fixed-point passes. A pair whose
// x difference is exactly 0 keeps the force of its previous evaluation.
#pragma once

#include <array>

#include "core/model.h"

// The stepping is built for the plain x86-64 target and also for AVX2, chosen
// at run time (GCC on x86-64). Vector sqrt and division round as the scalar
// ones do and AVX2 alone brings no fused multiply-add: both give the same bits.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define TORVIK_ENGINE_HOT __attribute__((target_clones("avx2", "default")))
#else
#define TORVIK_ENGINE_HOT
#endif

namespace torvik {

inline constexpr int kEngineBodies = 11;  // fixed layout: bodies 0..10
inline constexpr int kStateSlots = 67;    // 0..66, the engine uses 0..65
inline constexpr int kStateUsed = 6 * kEngineBodies;

using StateVector = std::array<double, kStateSlots>;

// Index of a quantity of body k in StateVec / RateVec.
constexpr int StateX(int k) { return k; }
constexpr int StateY(int k) { return kEngineBodies + k; }
constexpr int StateZ(int k) { return 2 * kEngineBodies + k; }
constexpr int StateVX(int k) { return 3 * kEngineBodies + k; }
constexpr int StateVY(int k) { return 4 * kEngineBodies + k; }
constexpr int StateVZ(int k) { return 5 * kEngineBodies + k; }

// Parameters taken at "Начать" (Vgr, PowR, the variant) or re-read at every
// screen update (the finite-speed switch).
struct EngineParams {
  double Vgr = 299792500.0;  // speed of gravity, m/s
  bool finiteSpeed = false;  // check box "Vgr = Vsv *"
  double PowR = 2.0;         // exponent of the distance in the force law
  bool oto = false;          // variant "ОТО": no force evaluation during a step
  int PlanetNo = 1;          // watched planet whose VX, VY, VZ and Vpl a step refreshes
};

class Engine {
 public:
  explicit Engine(Model& m) : m_(m) {}

  EngineParams params;

  // Builds StateVec, Rpl0, Esys0 and Msys0 from X0..VZ0 of the model, with the
  // Solar-System velocity (km/s) added to every included body and all
  // velocities multiplied by Dir (+1 forward, −1 backward). Clears the kept
  // pair forces and RateVec.
  void InitRunState(int Dir);
  // RateVec from StateVec.
  void Derivatives();
  // One step of h seconds; refreshes X, Y, Z, VX, VY, VZ of all bodies and Vpl
  // of the watched planet in the model. Returns false on a floating-point
  // fault (a non-finite state), in which case StateVec is back at the start
  // of the step.
  bool StepRK4(double h);
  // Esys (J) and Msys (kg·m²/s) of the current state; Sun–body potential
  // counted from the start distances Rpl0.
  void EnergyMomentum();
  // Negates every velocity of StateVec and Msys0 ("Продолжить" with the other
  // direction).
  void ReverseTime();
  // Imitator runs: Rpl0 = 1, Esys0 = Msys0 = 1.
  void InitImitator();

  StateVector StateVec{};
  StateVector RateVec{};
  BodyArray Rpl0{};       // heliocentric distance at the start, m
  double Esys0 = 1.0;     // energy at the start
  double Msys0 = 1.0;     // angular momentum (z) at the start
  double Esys = 0.0;
  double Msys = 0.0;
  double Vpl = 0.0;       // speed of the watched planet, m/s

  // Prepares the pair coefficients from mPl, gamma and kPair of the model
  // (InitRunState does it; call again after changing them between runs).
  void Prepare();

 private:
  // Bodies padded to 12 so that the loops over the acted-upon body have a
  // trip count the vector units like; slot 11 is a massless dummy far away.
  static constexpr int kPad = 12;
  using PadRow = std::array<double, kPad>;
  using PadMatrix = std::array<PadRow, kPad>;

  // Unordered pairs i < j of the 11 bodies, padded to a multiple of 8.
  static constexpr int kPairLanes = 56;
  // The bodies of Derivatives and StepRK4, built for both targets; called
  // only from this class, so that no other unit needs a resolver of its own.
  TORVIK_ENGINE_HOT void DerivativesHot();
  TORVIK_ENGINE_HOT bool StepHot(double h);
  void UnpackAll();
  // Moves the kept accelerations to the pair lanes (true) or the matrix.
  void KeepInPairs(bool inPairs);

  Model& m_;
  // Acceleration of body j caused by body i, m/s², kept from the last
  // evaluation of the pair (FXij(i, j) / mPl(j)): a pair with dX exactly 0
  // keeps it.
  PadMatrix accX_{}, accY_{}, accZ_{};
  // gamma·mPl(i)·kPair(i, j), m³/s².
  PadMatrix gm_{};
  // Positions of the evaluation, padded.
  PadRow px_{}, py_{}, pz_{};
  // The same kept accelerations per unordered pair (lane rowStart_(i) + j − i − 1)
  // for the pass without delay: on j by i (aij) and on i by j (aji).
  using PairRow = std::array<double, kPairLanes>;
  PairRow aijX_{}, aijY_{}, aijZ_{}, ajiX_{}, ajiY_{}, ajiZ_{};
  PairRow gij_{}, gji_{};
  std::array<int, kEngineBodies> rowStart_{};
  bool keptInPairs_ = false;  // which of the two holds the kept accelerations
  bool symmetric_ = true;  // kPair(i, j) = kPair(j, i)
  StateVector y0_{}, k1_{}, k2_{}, k3_{}, k4_{};
};

}  // namespace torvik
