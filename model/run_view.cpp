#include "model/run_view.h"

#include <cmath>
#include <cstdio>

#include "core/textfile.h"
#include "model/run.h"

namespace torvik {

void WatchFields::Clear(const Model& m) {
  for (int r : {kRowAlfaP, kRowAlfaU, kRowBetta, kRowEks}) rows[r].drift = 0.0;
  NRev = 0;
  perihelionDate = nodeDate = CalendarDate{m.DateY, m.DateM, m.DateD};
}

void WatchFields::Start(const OrbitWatch& w, const Model& m) {
  const int p = w.PlanetNo;
  rows[kRowAlfaP].reference = m.kUgol * m.AlfaP0[p];
  rows[kRowAlfaU].reference = m.kUgol * m.AlfaU0[p];
  rows[kRowBetta].reference = FixMK(m.kUgol * m.Betta0[p], m.MK);
  rows[kRowEks].reference = FixMK(m.Eks0[p], m.MK);
  rows[kRowRsr].reference = m.R0sr[p] / m.MK;
  rows[kRowPeriod].reference = m.Tsid[p];
  for (WatchRow& r : rows) r.current = 0.0;
}

void WatchFields::Update(const OrbitWatch& w, const Model& m) {
  const double MK = m.MK;
  if (w.nodeCrossed) {
    rows[kRowAlfaU].current = FixMK(w.AlfaU, MK);
    rows[kRowAlfaU].drift = Fix((w.AlfaU - w.AlfaU1) * MK * 3600.0) / MK;
    if (w.nodeAscending) nodeDate = w.nodeDate;
  }
  NRev = w.NRev;
  if (w.event == WatchEvent::FirstExtremum) {
    rows[kRowAlfaP].reference = rows[kRowAlfaP].current = FixMK(w.AlfaP, MK);
    perihelionDate = w.perihelionDate;
    return;
  }
  if (w.event != WatchEvent::Extremum) return;
  // The revolution counter as it was before this extremum: a perihelion
  // counts the next revolution.
  const int before = w.InPeriWin == 1 ? w.NRev - 1 : w.NRev;
  if (before == 1) {
    rows[kRowAlfaU].reference = FixMK(w.AlfaU1, MK);
    rows[kRowBetta].reference = FixMK(m.kUgol * w.Betta1, MK);
    rows[kRowEks].reference = FixMK(w.Eks1, MK);
    rows[kRowRsr].reference = Fix(w.Rsr1) / MK;
  }
  if (before == 2) rows[kRowPeriod].reference = FixMK(w.Period1, MK);
  rows[kRowAlfaP].current = FixMK(w.AlfaP, MK);
  rows[kRowAlfaP].drift = Fix((w.AlfaP - w.AlfaP1) * MK * 3600.0) / MK;
  rows[kRowBetta].current = FixMK(w.Betta * m.kUgol, MK);
  rows[kRowBetta].drift = Fix((w.Betta - w.Betta1) * MK * 3600.0 * m.kUgol) / MK;
  rows[kRowEks].current = FixMK(w.Eks, MK);
  rows[kRowEks].drift = Fix((w.Eks - w.Eks1) * MK) / MK;
  rows[kRowRsr].current = Fix(w.Rsr) / MK;
  rows[kRowRsr].drift = Fix(w.Rsr - w.Rsr1) / MK;
  rows[kRowPeriod].current = FixMK(w.Period, MK);
  rows[kRowPeriod].drift = Fix((w.Period - w.Period1) * MK) / MK;
  if (w.InPeriWin == 1) perihelionDate = w.perihelionDate;
}

double TimePlotX(const Model& m, double tMod, const PlotScales& s) { return tMod / m.sekG / s.MT - 10.0; }

double CoordinatePlotY(const Model& m, double coord, const PlotScales& s) {
  return coord / m.MK / s.Mx + s.dYplot;
}

double DriftPlotY(DriftPlot kind, const OrbitWatch& w, const Model& m, const PlotScales& s) {
  switch (kind) {
    case DriftPlot::AlfaP: return (w.AlfaP - w.AlfaP1) * 3600.0 / s.MdAlfa + s.dYplot;
    case DriftPlot::AlfaU: return (w.AlfaU - w.AlfaU1) * 3600.0 / s.MdAlfa + s.dYplot;
    // Betta holds the largest latitude of the half revolution just measured.
    case DriftPlot::Betta: return (w.Betta - w.Betta1) * m.kUgol * 3600.0 / s.MdAlfa + s.dYplot;
    case DriftPlot::Eks: return (w.Eks - w.Eks1) * s.Mx + s.dYplot;
    case DriftPlot::Rsr: return (w.Rsr - w.Rsr1) / m.MK / s.Mx + s.dYplot;
    case DriftPlot::Period: return (w.Period - w.Period1) + s.dYplot;
  }
  return s.dYplot;
}

double ShownModelYears(const Model& m, double tMod, double h) { return Fix((tMod - h) * 100.0 / m.sekG) / 100.0; }

double ShownRealHours(double seconds) { return Fix(seconds * 1000.0 / 3600.0) / 1000.0; }

double ShownAlfaEklip(double AlfaEklip) { return Fix(AlfaEklip * 1000.0) / 1000.0; }

RunProgress ProgressOf(const ModelRun& run, const Model& m, double wallSeconds) {
  RunProgress p;
  p.years = run.tMod() / m.sekG;
  p.stepsPerSecond = wallSeconds > 0.0 ? static_cast<double>(run.totalSteps()) / wallSeconds : 0.0;
  const RunSettings& s = run.settings();
  if (!run.Running()) {
    p.secondsLeft = 0.0;
  } else if (s.endYearOn && m.JD > m.JDstart) {
    // The date advances with JD whatever the direction of time.
    const double jdEnd = DateToJD(s.endYear + 1, 1, 1.0f);
    p.secondsLeft = std::fmax(0.0, wallSeconds * (jdEnd - m.JD) / (m.JD - m.JDstart));
  }
  return p;
}

std::string DurationText(double s) {
  char buf[32];
  if (!std::isfinite(s) || s < 0) return "?";
  if (s < 120)
    std::snprintf(buf, sizeof buf, "%.0f s", s);
  else if (s < 7200)
    std::snprintf(buf, sizeof buf, "%.1f min", s / 60);
  else
    std::snprintf(buf, sizeof buf, "%.1f h", s / 3600);
  return buf;
}

}  // namespace torvik
