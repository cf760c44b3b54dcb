// The ten historic tables as calculators: a date in the table's own calendar
// and day reckoning in, the tabular places of the Sun, Mercury, Venus and
// Mars and the table's precession out. The workbook layer (tables.cpp) puts
// them into the cells the observation run reads.
#pragma once

#include <string_view>

namespace torvik::tables {

// The date as the observation run writes it into the input cells: local time
// of the table's meridian; the day counted from noon for every table but the
// Prutenic one (midnight); Egyptian calendar for "Almagest" and "HandyTables".
struct TableDate {
  double year = 1, month = 1, day = 1, hours = 0;
};

enum Body { kSun = 0, kMercury = 1, kVenus = 2, kMars = 3 };

// Degrees: tropical longitudes (sidereal for "AlKhwarizmi", whose reader adds
// ptab), latitudes (0 for the Sun), and the table's precession.
struct TablePlaces {
  double lon[4] = {0, 0, 0, 0};
  double lat[4] = {0, 0, 0, 0};
  double ptab = 0;
};

// Day counts of the input cells. False when a field cannot be a date
// (not finite, month outside 1..12, or 1..13 in the Egyptian calendar).
bool EgyptianDays(const TableDate& d, double* days);   // days after noon of Thoth 1, year 1
bool JulianNoonJD(const TableDate& d, double* jd);     // Julian calendar, day from noon
bool JulianCivilJD(const TableDate& d, double* jd);    // Julian calendar, day from midnight

using Calculator = bool (*)(const TableDate&, TablePlaces*);

// Ptolemaic tables (ptolemaic_tables.cpp).
bool CalcAlmagest(const TableDate& d, TablePlaces* out);
bool CalcHandyTables(const TableDate& d, TablePlaces* out);
bool CalcAlBattani(const TableDate& d, TablePlaces* out);
bool CalcAlKhwarizmi(const TableDate& d, TablePlaces* out);
bool CalcToledan(const TableDate& d, TablePlaces* out);
bool CalcAlfonsine(const TableDate& d, TablePlaces* out);
// Heliocentric tables (heliocentric_tables.cpp).
bool CalcPrutenic(const TableDate& d, TablePlaces* out);
bool CalcRudolphine(const TableDate& d, TablePlaces* out);
bool CalcStreete(const TableDate& d, TablePlaces* out);
bool CalcWing(const TableDate& d, TablePlaces* out);

// The Alfonsine motion of the eighth sphere at t days after noon of
// 1 January AD 1 (linear 49 000-year term plus access and recess).
double AlfonsineEighthSphere(double t);

// Mean places of a Ptolemaic table (degrees): the mean Sun (= the mean
// longitude of Venus and Mercury), the mean arguments (anomalies) of the
// planets, the mean longitude of Mars and its argument (mean Sun less mean
// Mars), and the apogees of Sun, Mercury, Venus and Mars.
struct TableMeans {
  double sun = 0, mercuryArg = 0, venusArg = 0, marsLon = 0, marsArg = 0;
  double apogee[4] = {0, 0, 0, 0};
};
// al-Battani: t days after noon of 14 July 622 at ar-Raqqa (tropical).
TableMeans BattaniMeans(double t);
// Toledan: t days after noon of 14 July 622 at Toledo (sidereal), and the
// equation of access and recess that makes them tropical.
TableMeans ToledanMeans(double t);
double ToledanAccessRecess(double t);
// Alfonsine: t days after noon of 1 January AD 1 (tropical).
TableMeans AlfonsineMeans(double t);
// The Alfonsine equation (true less mean longitude, degrees) of a body for
// mean centre kappa and mean argument alpha, read in the printed tables by
// their procedure, and the greatest values of those columns (centre,
// argument at mean distance, longior, propior; the Sun has only a centre).
double AlfonsineEquation(Body body, double kappa, double alpha);
struct TableMaxima;
TableMaxima AlfonsineColumnMaxima(Body body);

// Copernicus's mean and true quantities (De revolutionibus III, V) at t days
// after the midnight opening 1 January AD 1, meridian of Cracow. Degrees,
// sidereal (from the first star of Aries) unless said; eccentricity of the
// Earth's orbit in parts of 10 000.
struct CopernicanMeans {
  double meanPrecession = 0, truePrecession = 0, simpleAnomaly = 0;
  double meanSun = 0, sun = 0;                       // simple (sidereal) mean and true Sun
  double meanApogee = 0, trueApogee = 0, eccentricity = 0;
  double venusCommutation = 0, mercuryCommutation = 0, mercuryApogee = 0;
  double marsLon = 0, marsCommutation = 0, marsApogee = 0;
};
CopernicanMeans CopernicusAt(double t);


}  // namespace torvik::tables
