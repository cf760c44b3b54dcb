// Orbit determination during a run: from the sampled heliocentric positions of
// the watched planet it finds the nodes (AlfaU), the perihelion and aphelion
// passages (AlfaP reduced to the orbit plane, Rsr, Eks, Period) and the largest
// latitude (Betta), and chooses the step: hMain / NRed inside the longitude
// windows around the expected perihelion, aphelion and both nodes, hMain
// elsewhere.
//
// Angles in degrees (BettaMax in radians), distances in metres, times in
// seconds of model time tMod.
#pragma once

#include <cstdint>

#include "core/calendar.h"
#include "core/model.h"

namespace torvik {

// A longitude window (lower, upper), degrees. It wraps through 0° when its
// lower end lies above 360 − 2·Alfa.
struct LonWindow {
  double lower = 0.0;
  double upper = 0.0;
};

// Window centred at c with half-width Alfa.
LonWindow CentredWindow(double c, double Alfa);
// True when the longitude L (degrees) lies in the window; both ends included.
bool InWindow(const LonWindow& w, double L, double Alfa);

// What one Observe call found (besides the step it returns).
enum class WatchEvent : std::uint8_t {
  None,
  FirstExtremum,  // the first perihelion or aphelion passage: references AlfaP1, NRev = 1
  Extremum,       // a later passage: elements and drifts measured
  Fault,          // a floating-point fault while measuring (e.g. Rsr = 0)
};

class OrbitWatch {
 public:
  // The part of the start that every run does (watched or not): ExtState = 2,
  // NodeDone = 0, InPeriWin = 0, NRev = 0, tExt = 0, AlfaEklip = 0.
  void Reset();
  // StartWatch: reads the start position and the elements of PlanetNo from
  // the model; Alfa is the half-width of the windows, degrees. Call after the
  // start state is built. PlanetNo must be 1..10 (the run checks it).
  void Start(const Model& m, int PlanetNo, double Alfa);
  // One step: positions of the step are in m.X, Y, Z; tMod is the model time
  // before this step's bookkeeping (s). Returns the step for the next step (s).
  double Observe(const Model& m, double tMod, double hMain, double NRed);

  // Event of the last Observe call.
  WatchEvent event = WatchEvent::None;
  // The extremum of the last Observe call is due in the orbit file (NRev > 1).
  bool recordDue = false;
  // A node was crossed in the last Observe call (ascending when true).
  bool nodeCrossed = false;
  bool nodeAscending = false;

  int PlanetNo = 1;
  double Alfa = 1.0;
  double AlfaEklip = 0.0, AlfaEklipPrev = 0.0;
  double dZprev = 0.0;
  double Rpl = 0.0, RplPrev = 0.0;
  double BettaMax = 0.0;  // radians
  LonWindow WinP, WinA, WinU, WinD;
  std::int16_t ExtState = 2;
  std::int16_t InPeriWin = 0;
  std::int16_t NodeDone = 0;
  double Rmin = 0.0, Rmax = 0.0;
  double tExt = 0.0;
  std::int32_t NRev = 0;

  double AlfaP = 0.0, AlfaU = 0.0, Eks = 0.0, Rsr = 0.0, Period = 0.0;  // Period in days
  double Betta = 0.0;  // BettaMax at the last extremum (before its reset), radians
  double AlfaP1 = 0.0, AlfaU1 = 0.0, Betta1 = 0.0, Eks1 = 0.0, Rsr1 = 0.0, Period1 = 0.0;

  // Dates shown in "AlfaP пройден" and "AlfaU пройден".
  CalendarDate perihelionDate, nodeDate;

 private:
  void NodeCrossed(const Model& m);
  void ExtremumFound(const Model& m, double tMod);
};

}  // namespace torvik
