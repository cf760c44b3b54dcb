#include "model/orbit_watch.h"

#include <cmath>

namespace torvik {

namespace {

int Sgn(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

}  // namespace

LonWindow CentredWindow(double c, double Alfa) {
  // The aphelion window is centred at AlfaP + 180, which may exceed 360: the
  // centre is brought into 0..360 first, or the window would open up to the
  // whole arc 0..c + Alfa − 360.
  if (c > 360.0) c -= 360.0;
  if (c < 0.0) c += 360.0;
  LonWindow w{c - Alfa, c + Alfa};
  if (w.lower < 0.0) w.lower += 360.0;
  if (w.upper > 360.0) w.upper -= 360.0;
  return w;
}

bool InWindow(const LonWindow& w, double L, double Alfa) {
  if (360.0 - 2.0 * Alfa >= w.lower) return w.lower <= L && L <= w.upper;
  return L <= w.upper || L >= w.lower;  // the window wraps through 0°
}

void OrbitWatch::Reset() {
  ExtState = 2;
  NodeDone = 0;
  InPeriWin = 0;
  NRev = 0;
  tExt = 0.0;
  AlfaEklip = 0.0;
  event = WatchEvent::None;
  recordDue = nodeCrossed = nodeAscending = false;
}

void OrbitWatch::Start(const Model& m, int planet, double alfa) {
  PlanetNo = planet;
  const int p = planet;
  dZprev = m.Z[p] - m.Z[0];
  Rmin = (1.0 - m.Eks0[p]) * m.R0sr[p];
  Rmax = (1.0 + m.Eks0[p]) * m.R0sr[p];
  AlfaP = m.kUgol * m.AlfaP0[p];
  AlfaU = m.kUgol * m.AlfaU0[p];
  BettaMax = Betta = m.Betta0[p];
  Eks = m.Eks0[p];
  Rsr = m.R0sr[p];
  Period = m.Tsid[p];
  Alfa = alfa;
  WinP = CentredWindow(AlfaP, Alfa);
  WinA = CentredWindow(AlfaP + 180.0, Alfa);
  WinU = CentredWindow(AlfaU, Alfa);
  WinD = CentredWindow(AlfaU + 180.0, Alfa);
}

double OrbitWatch::Observe(const Model& m, double tMod, double hMain, double NRed) {
  event = WatchEvent::None;
  recordDue = nodeCrossed = false;
  const int p = PlanetNo;
  const double dX = m.X[p] - m.X[0], dY = m.Y[p] - m.Y[0], dZ = m.Z[p] - m.Z[0];
  const double Rxy = std::sqrt(dX * dX + dY * dY);
  Rpl = std::sqrt(dZ * dZ + Rxy * Rxy);

  const double b = std::fabs(std::atan(dZ / Rxy));  // latitude, rad
  if (b > BettaMax) BettaMax = b;

  AlfaEklipPrev = AlfaEklip;
  if (dX != 0.0) {
    AlfaEklip = std::atan(dY / dX) * m.kUgol;
    if (dX < 0.0)
      AlfaEklip += 180.0;
    else if (dY < 0.0)
      AlfaEklip += 360.0;
  }

  if (Sgn(dZ) != Sgn(dZprev) && NodeDone != 1) NodeCrossed(m);
  dZprev = dZ;

  bool inWindow = true;
  if (InWindow(WinP, AlfaEklip, Alfa)) {
    InPeriWin = 1;
  } else if (InWindow(WinA, AlfaEklip, Alfa)) {
    InPeriWin = 0;
  } else {
    ExtState = 0;
    inWindow = false;
  }

  if (inWindow && ExtState != 2) {
    ExtState = 0;
    if (InPeriWin == 1) {
      if (RplPrev >= Rpl) ExtState = 1, RplPrev = Rpl, Rmin = Rpl;
    } else {
      if (RplPrev <= Rpl) ExtState = 1, RplPrev = Rpl, Rmax = Rpl;
    }
    if (ExtState == 1) {
      NodeDone = 0;  // still approaching the extremum
    } else {
      ExtremumFound(m, tMod);  // passed at the previous sample
    }
    return hMain / NRed;
  }

  // Outside both extremum windows, or inside one already handled.
  RplPrev = Rpl;
  if (NodeDone == 1) return hMain;
  if (InWindow(WinU, AlfaEklip, Alfa) || InWindow(WinD, AlfaEklip, Alfa)) return hMain / NRed;
  return hMain;
}

void OrbitWatch::NodeCrossed(const Model& m) {
  AlfaU = (AlfaEklipPrev + AlfaEklip) / 2.0;
  // Longitudes on both sides of 0°: the plain mean lies opposite.
  if (std::fabs(AlfaEklip - AlfaEklipPrev) > 355.0) AlfaU -= 180.0;
  nodeCrossed = true;
  nodeAscending = Sgn(dZprev) <= 0;
  if (nodeAscending) {
    WinU = CentredWindow(AlfaU, Alfa);
    nodeDate = JDToDate(m.JD);
  } else {
    WinD = CentredWindow(AlfaU, Alfa);
    AlfaU += 180.0;
    if (AlfaU > 360.0) AlfaU -= 360.0;
  }
  NodeDone = 1;
}

void OrbitWatch::ExtremumFound(const Model& m, double tMod) {
  ExtState = 2;
  AlfaP = (AlfaEklipPrev + AlfaEklip) / 2.0;
  if (std::fabs(AlfaEklip - AlfaEklipPrev) > 355.0) AlfaP -= 180.0;
  if (InPeriWin == 0) {  // aphelion: the perihelion lies opposite
    AlfaP += 180.0;
    if (AlfaP > 360.0) AlfaP -= 360.0;
  }

  // Reduction of the ecliptic longitude to the orbit plane, counted from the node.
  double dLam = AlfaP - AlfaU;
  if (dLam > 180.0) dLam -= 360.0;
  if (dLam < -180.0) dLam += 360.0;
  const bool quarter = dLam == 90.0 || dLam == -90.0;
  if (!quarter) {
    double w = std::fabs(std::atan(std::tan(dLam / m.kUgol) / std::cos(BettaMax))) * m.kUgol;
    if (std::fabs(dLam) > 90.0) w = 180.0 - w;
    if (dLam < 0.0) w = -w;
    AlfaP = w + AlfaU;
    if (AlfaP < 0.0) AlfaP += 360.0;
    if (AlfaP > 360.0) AlfaP -= 360.0;
  }

  bool toStep6 = false;
  if (NRev <= 0 && !quarter) {
    // First detection: the reference perihelion.
    tExt = tMod;
    AlfaP1 = AlfaP;
    event = WatchEvent::FirstExtremum;
  } else {
    // Two successive extrema are half a period apart.
    Period = 2.0 * (tMod - tExt) / m.sekD;
    Rsr = (Rmax + Rmin) / 2.0;
    Eks = 1.0 - Rmin / Rsr;
    tExt = tMod;
    if (NRev == 1) {
      AlfaU1 = AlfaU;
      Betta1 = BettaMax;
      Eks1 = Eks;
      Rsr1 = Rsr;
    }
    if (NRev == 2) Period1 = Period;
    Betta = BettaMax;
    event = std::isfinite(Eks) && std::isfinite(Rsr) && std::isfinite(AlfaP) ? WatchEvent::Extremum
                                                                            : WatchEvent::Fault;
    if (InPeriWin == 0) {
      WinA = CentredWindow(AlfaP + 180.0, Alfa);
      toStep6 = true;
    }
  }
  if (!toStep6) {
    NRev = NRev > 0 ? NRev + 1 : 1;
    WinP = CentredWindow(AlfaP, Alfa);
    perihelionDate = JDToDate(m.JD);
  }
  recordDue = NRev > 1;
  Betta = BettaMax;
  BettaMax = 0.0;
  NodeDone = 0;
}

}  // namespace torvik
