// The one shared model object of Torvik6: bodies, elements, state vectors,
// masses, constants, the current date and the selection settings.
// Created once by the application and handed to every screen and routine by
// reference. Everything inside is SI: metres, metres per second, kilograms,
// seconds, radians; screens and files convert at their edges.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace torvik {

// Body numbering: 0 Солнце, 1 Меркурий … 9 Плутон, 10 Ксена, 11..13 scratch.
inline constexpr int kBodySlots = 14;      // per-body element and velocity arrays 0..13
inline constexpr int kPositionSlots = 27;  // X, Y, Z 0..26 (14..26 free for screens)
inline constexpr int kAnomalySlots = 12;   // AnomV, ArgU 0..11
inline constexpr int kPairSlots = 13;      // kPair 13 × 13

using BodyArray = std::array<double, kBodySlots>;
using PositionArray = std::array<double, kPositionSlots>;

// Russian body names in index order 0..10, UTF-8.
extern const std::array<const char*, 11> kBodyNames;

// One entry of the DE405 record layout: position of the first coefficient in
// the record counted from 1, coefficients per component, days per sub-interval.
struct De405Layout {
  int first = 0;
  int ncoef = 0;
  int days = 0;
};

struct Model {
  // ---- constants (set by SetConstants at start-up) ----
  double MK = 1000000.0;                 // fixed-point multiplier
  double Pi = 3.14159265359;             // the 11-digit pi of every angle normalisation
  double kUgol = 180.0 / 3.14159265359;  // degrees per radian
  double sekG = 31557600.0;              // seconds per Julian year
  double sekD = 86400.0;                 // seconds per day
  double Lae = 149597870691.0;           // astronomical unit, m (rewritten by the theories)
  double Vsv = 299792500.0;              // speed of light of the model, m/s (not 299 792 458)
  double Rsol = 695000000.0;             // radius of the Sun, m
  double JD1900 = 2415020.0;             // epoch of the Newcomb-type theory, days
  double JD2000 = 2451545.0;             // epoch J2000, days
  double Eps0 = 23.439280808 / (180.0 / 3.14159265359);  // obliquity at J2000, rad
  double gamma = 6.67259e-11;            // gravitational constant, N·m²/kg² (set by the loader)
  int nObj = 10;                         // index of the last body

  // ---- orbital elements per body (0..13) ----
  BodyArray AlfaL{};   // mean longitude L, rad
  BodyArray R0sr{};    // semi-major axis a, m
  BodyArray W0sr{};    // mean motion n, rad/s
  BodyArray Eks0{};    // eccentricity
  BodyArray Betta0{};  // inclination to the ecliptic, rad
  BodyArray AlfaP0{};  // longitude of perihelion ϖ, rad
  BodyArray AlfaU0{};  // longitude of the ascending node Ω, rad
  BodyArray Aae{};     // semi-major axis, AU (element theories)
  BodyArray AnomM{};   // mean anomaly M = AlfaL − AlfaP0 after normalisation, rad
  BodyArray V0sr{};    // mean orbital speed W0sr·R0sr, m/s
  BodyArray Tsid{};    // reference sidereal periods, days

  // Scratch results of the Kepler solution (left in the state for the screens).
  BodyArray Rk{};                                 // heliocentric distance, m
  std::array<double, kAnomalySlots> AnomV{};      // true anomaly, rad
  std::array<double, kAnomalySlots> ArgU{};       // argument of latitude, rad
  double Eanom = 0.0;                             // eccentric anomaly of the last solution, rad

  // ---- state vectors ----
  PositionArray X{}, Y{}, Z{};  // current heliocentric-ecliptic (or barycentric) coordinates, m
  BodyArray VX{}, VY{}, VZ{};   // current velocities, m/s
  BodyArray X0{}, Y0{}, Z0{};   // initial coordinates of every run, m
  BodyArray VX0{}, VY0{}, VZ0{};  // initial velocities, m/s; slot 0 is the Sun's velocity

  // Translational velocity of the whole Solar System, km/s.
  double VXsys = 0.0, VYsys = 0.0, VZsys = 0.0;

  // ---- masses ----
  BodyArray km{};   // mass ratio m(Sun)/m(body), km(0) = 1
  BodyArray mPl{};  // mass, kg; mPl(0) = mSol
  double& mSol() { return mPl[0]; }
  double mSol() const { return mPl[0]; }

  // ---- date ----
  std::int32_t DateY = 1601;  // year typed (astronomical numbering)
  std::int32_t DateM = 1;     // month typed
  float DateD = 1.5f;         // day with fraction, single precision
  double JD = 0.0;            // Julian date of the model
  std::int32_t OutY = 0;      // result of the inverse conversion
  std::int32_t OutM = 0;
  float OutD = 0.0f;
  double JDstart = 0.0;       // Julian date of the loaded parameters and initial data
  double JD0 = 0.0;           // epoch of the loaded elements
  double T = 0.0;             // Julian centuries from the epoch of the last theory evaluated

  // ---- selection and display settings ----
  std::array<std::int16_t, kBodySlots> InSys{};  // 1 when the body takes part
  std::array<std::array<std::int16_t, kPairSlots>, kPairSlots> kPair{};  // 1 when both take part
  std::array<std::int16_t, kBodySlots> ColR{}, ColG{}, ColB{};  // drawing colours
  double Mxy = 3e11;          // picture scale, metres per picture unit
  std::int16_t NFile = 1;     // number N of the parameter file \torvikN.dat
  std::int16_t Stop = 0;      // 1 when the user asked a running computation to stop
  std::string sLine;          // buffer for composed file and caption lines

  // Number of extra delay-correction passes of the engine (gravity-speed test).
  std::int16_t NIterVgr = 0;
  // Plan number shared by the plan screens; 0 = no plan run active.
  std::int16_t PlanNo = 0;

  // DE405 record layout per body 0..9 (Ксена has no series).
  std::array<De405Layout, 10> De405{};
};

// Start-up constants: colours, Tsid, the DE405 layout table, nObj, Mxy and the
// physical constants. Leaves elements, state and masses untouched.
void SetConstants(Model& m);

// InSys from the body check boxes, and kPair(i, j) = 1 when both take part.
void SetInSys(Model& m, const std::array<bool, 11>& on);

}  // namespace torvik
