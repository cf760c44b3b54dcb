// What the modelling screen shows of a run, computed without the screen: the
// result fields of the watched planet as the orbit determination writes them
// (a reference and a current value and a drift per element, the dates of the
// last perihelion and ascending node), the points of the time plots and the
// progress figures of a long run.
//
// Units as the fields show them: degrees, thousand km, days, arc seconds;
// plot coordinates in units of the picture.
#pragma once

#include <array>
#include <string>

#include "core/calendar.h"
#include "core/model.h"
#include "model/orbit_watch.h"

namespace torvik {

class ModelRun;

// Rows of the result fields, in screen order.
enum WatchRowIndex { kRowAlfaP, kRowAlfaU, kRowBetta, kRowEks, kRowRsr, kRowPeriod, kWatchRows };

// One row: the first field (reference), the second field (current) and the drift field.
struct WatchRow {
  double reference = 0.0;
  double current = 0.0;
  double drift = 0.0;
};

// The fields change only when the orbit determination writes them: at the
// start, at a node crossing and at an extremum.
class WatchFields {
 public:
  // Every start: the four drifts of AlfaP, AlfaU, Betta and Eks to 0, NRev 0,
  // both dates to the start date of the model.
  void Clear(const Model& m);
  // Start of a watched run: the start elements of the planet in the first
  // fields, 0 in the second ones.
  void Start(const OrbitWatch& w, const Model& m);
  // After each Observe of the watch.
  void Update(const OrbitWatch& w, const Model& m);

  std::array<WatchRow, kWatchRows> rows{};
  CalendarDate perihelionDate, nodeDate;  // "AlfaP пройден", "AlfaU пройден"
  int NRev = 0;                           // "К-во оборотов, шт"
};

// Drift plots of the extrema, in the order of their check boxes.
enum class DriftPlot { AlfaP, AlfaU, Betta, Eks, Rsr, Period };

// Scales of the time plots ("MdAlfa, сек/см", "Mx, тыс.км/см ", "MT, лет/см", "dY, см").
struct PlotScales {
  double MdAlfa = 100.0;
  double Mx = 10000.0;
  double MT = 100.0;
  double dYplot = 0.0;
};

// x of a time plot at model time tMod (s): tMod / sekG / MT − 10.
double TimePlotX(const Model& m, double tMod, const PlotScales& s);
// y of a coordinate plot of a coordinate (m): coord / MK / Mx + dYplot.
double CoordinatePlotY(const Model& m, double coord, const PlotScales& s);
// y of a drift plot after a later extremum of the watch.
double DriftPlotY(DriftPlot kind, const OrbitWatch& w, const Model& m, const PlotScales& s);

// " dTmod, лет": Fix((tMod − h)·100 / sekG) / 100.
double ShownModelYears(const Model& m, double tMod, double h);
// "dTreal, час": Fix(seconds·1000 / 3600) / 1000.
double ShownRealHours(double seconds);
// "AlfaEklip, град": Fix(AlfaEklip·1000) / 1000.
double ShownAlfaEklip(double AlfaEklip);

// Progress of a run after wallSeconds of work.
struct RunProgress {
  double years = 0.0;           // model years done
  double stepsPerSecond = 0.0;  // over the whole run so far
  double secondsLeft = -1.0;    // to the end year; negative when unknown
};
RunProgress ProgressOf(const ModelRun& run, const Model& m, double wallSeconds);
// "12 s", "3.5 min", "1.2 h"; "?" for a negative or unknown duration.
std::string DurationText(double seconds);

}  // namespace torvik
