// The Ptolemaic tables: Almagest, Handy Tables, al-Battani, al-Khwarizmi,
// the Toledan and the Alfonsine tables. One geometry (models.h), one
// parameter table per table and body; only the frames differ.
#include <array>
#include <cmath>

#include "observe/tables/alfonsine_columns.h"
#include "observe/tables/calculators.h"
#include "observe/tables/models.h"

namespace torvik::tables {
namespace {

// One body of a Ptolemaic table. Mean longitude and mean argument at the
// table's epoch with their daily motions; for Venus and Mercury the mean
// longitude is the mean Sun's, and the Sun has no argument.
struct PtolemaicRow {
  double lonRadix, lonMotion;    // degrees, degrees/day
  double argRadix, argMotion;    // degrees, degrees/day (anomaly)
  double apogee;                 // degrees at the epoch
  PtolemaicPlanet model;         // deferent, e and r in parts of 60
};

constexpr PtolemaicPlanet kNoPlanet{Deferent::kEquant, 0, 0};

// The Almagest's latitude parameters (XIII.3): Mars eccentre 1;0 with its
// northern limit at the apogee, epicycle 2;15; Venus deviation 0;10 north,
// inclination 2;30, slant 3;30; Mercury deviation 0;45 south, inclination
// 6;15, slant 7;0. The senses of the inferior planets' inclination and slant
// are our reading: Venus's toward the north and Mercury's toward the south,
// the pair that follows the planets' observed latitudes (0.6 degree rms over
// AD 137..157 against 2.5..4.4 for the other three).
constexpr PtolemaicLatitude kLatMars{false, Sexa(1), Sexa(2, 15), 0, 0};
constexpr PtolemaicLatitude kLatVenus{true, Sexa(0, 10), Sexa(2, 30), Sexa(3, 30), 0};
constexpr PtolemaicLatitude kLatMercury{true, -Sexa(0, 45), -Sexa(6, 15), -Sexa(7, 0), 0};

// Almagest, epoch Thoth 1 of Nabonassar year 1, noon at Alexandria
// (III.7, IX.4, IX.11, X.4, X.8; Toomer 1984). Apogees of the planets move
// 1 degree in 100 Egyptian years; the Sun's apogee stays at 65;30.
constexpr double kAlmagestApogeeMotion = 1.0 / 36500;
constexpr PtolemaicRow kAlmagestSun{Sexa(330, 45), Sexa(0, 59, 8, 17, 13, 12, 31), 0, 0, Sexa(65, 30),
                                    {Deferent::kEquant, Sexa(2, 30), 0}};
constexpr PtolemaicRow kAlmagestMercury{0, 0, Sexa(21, 55), Sexa(3, 6, 24, 6, 59, 35, 50), Sexa(181, 10),
                                        {Deferent::kCrank, 3, Sexa(22, 30)}};
constexpr PtolemaicRow kAlmagestVenus{0, 0, Sexa(71, 7), Sexa(0, 36, 59, 25, 53, 11, 28), Sexa(46, 10),
                                      {Deferent::kEquant, Sexa(1, 15), Sexa(43, 10)}};
constexpr PtolemaicRow kAlmagestMars{Sexa(3, 32), Sexa(0, 31, 26, 36, 53, 51, 33), Sexa(327, 13),
                                     Sexa(0, 27, 41, 40, 19, 20, 58), Sexa(106, 40),
                                     {Deferent::kEquant, 6, Sexa(39, 30)}};

// Days from the era of Nabonassar to Thoth 1 of Philip year 1 (424 Egyptian years).
constexpr double kPhilipAfterNabonassar = 154760;

double Mean(double radix, double motion, double t) { return Norm360(radix + motion * t); }

// True longitude of a planet from its mean longitude, mean argument and apogee.
double PlanetLongitude(const PtolemaicPlanet& p, double meanLon, double arg, double apogee, bool table) {
  const double kappa = meanLon - apogee;
  return Norm360(meanLon + (table ? PtolemaicEquationTable(p, kappa, arg) : PtolemaicEquationExact(p, kappa, arg)));
}

using MeanPlaces = TableMeans;

// The places of all four bodies from mean places, by one Ptolemaic parameter set.
void TruePlaces(const MeanPlaces& m, double sunE, const PtolemaicPlanet& mercury, const PtolemaicPlanet& venus,
                const PtolemaicPlanet& mars, bool table, bool latitude, TablePlaces* out) {
  out->lon[kSun] = Norm360(m.sun + EccentricEquation(m.sun - m.apogee[kSun], sunE));
  out->lon[kMercury] = PlanetLongitude(mercury, m.sun, m.mercuryArg, m.apogee[kMercury], table);
  out->lon[kVenus] = PlanetLongitude(venus, m.sun, m.venusArg, m.apogee[kVenus], table);
  out->lon[kMars] = PlanetLongitude(mars, m.marsLon, m.marsArg, m.apogee[kMars], table);
  out->lat[kSun] = 0;
  if (latitude) {
    out->lat[kMercury] = PtolemaicLatitudeOf(mercury, kLatMercury, m.sun - m.apogee[kMercury], m.mercuryArg);
    out->lat[kVenus] = PtolemaicLatitudeOf(venus, kLatVenus, m.sun - m.apogee[kVenus], m.venusArg);
    out->lat[kMars] = PtolemaicLatitudeOf(mars, kLatMars, m.marsLon - m.apogee[kMars], m.marsArg);
  }
}

// Mean places t days after a table's epoch from its four rows: the Mars
// argument is the mean Sun less the mean Mars, every apogee is its radix
// shifted by `apogeeShift`.
MeanPlaces RowMeans(const PtolemaicRow& sun, const PtolemaicRow& mercury, const PtolemaicRow& venus,
                    const PtolemaicRow& mars, double t, double apogeeShift) {
  MeanPlaces m;
  m.sun = Mean(sun.lonRadix, sun.lonMotion, t);
  m.mercuryArg = Mean(mercury.argRadix, mercury.argMotion, t);
  m.venusArg = Mean(venus.argRadix, venus.argMotion, t);
  m.marsLon = Mean(mars.lonRadix, mars.lonMotion, t);
  m.marsArg = Norm360(m.sun - m.marsLon);
  m.apogee[kSun] = sun.apogee + apogeeShift;
  m.apogee[kMercury] = mercury.apogee + apogeeShift;
  m.apogee[kVenus] = venus.apogee + apogeeShift;
  m.apogee[kMars] = mars.apogee + apogeeShift;
  return m;
}

// Almagest mean places t days after the era of Nabonassar.
MeanPlaces AlmagestMeans(double t) {
  MeanPlaces m;
  m.sun = Mean(kAlmagestSun.lonRadix, kAlmagestSun.lonMotion, t);
  m.mercuryArg = Mean(kAlmagestMercury.argRadix, kAlmagestMercury.argMotion, t);
  m.venusArg = Mean(kAlmagestVenus.argRadix, kAlmagestVenus.argMotion, t);
  m.marsLon = Mean(kAlmagestMars.lonRadix, kAlmagestMars.lonMotion, t);
  m.marsArg = Mean(kAlmagestMars.argRadix, kAlmagestMars.argMotion, t);
  m.apogee[kSun] = kAlmagestSun.apogee;
  m.apogee[kMercury] = kAlmagestMercury.apogee + kAlmagestApogeeMotion * t;
  m.apogee[kVenus] = kAlmagestVenus.apogee + kAlmagestApogeeMotion * t;
  m.apogee[kMars] = kAlmagestMars.apogee + kAlmagestApogeeMotion * t;
  return m;
}

// --- al-Battani, al-Zij al-Sabi' (ar-Raqqa, c. 900) ---
// Nallino's edition (Opus astronomicum II, Milan 1907). Radices of the Arab
// years: the mean places at the beginning of the Hijra, which al-Battani puts
// on 15 July 622; numerically they are those of noon of 14 July (JD 1948438)
// at ar-Raqqa. Tropical mean motions as the Arab-year tables run: Mars,
// Venus and Mercury from 870 Arab years, the Sun from its rows of AH 1 and
// AH 301 (113;58,4 and 138;36,25 with 291 revolutions between, 300 Arab
// years = 106 310 days). The Roman-year tables move the Sun 20 revolutions
// and 0;11,10,14,35,31,30 in 20 Julian years (7305 days; the year of 365 d
// 5 h 46 m 24 s); by that motion AH 301 would be 138;36,26,45: the Arab-year
// column, a sum of its printed entries, falls 0.17" behind it in every 30
// years, and the Roman tables' Sun of 880 then stands 2.4" above ours.
// Precession 0;0,54,33 a Julian year, uniform (1 degree in 66 years), moving
// the apogees from their places in year 1191 of Dhu 'l-qarnayn (noon of 29
// February 880): Sun 82;17, Mars 126;58, Mercury 201;28; Venus on the Sun's.
// Solar eccentricity 2;4,45. Mars and Mercury on Ptolemy's elements (6/12,
// 39;30; crank 3, 22;30). Venus: the equation of centre on 2;4,45 as the
// equant's eccentricity, the distance columns on Ptolemy's 1;15, epicycle
// 43;10. Latitudes by Ptolemy (Almagest XIII), as al-Battani takes them.
constexpr double kBattaniEpochJD = 1948438;  // noon 14 July 622, ar-Raqqa
constexpr double kBattaniSunMotion = (291 * 360 + Sexa(138, 36, 25) - Sexa(113, 58, 4)) / 106310;
constexpr double kBattaniPrecession = Sexa(0, 0, 54, 33) / 365.25;  // degrees/day
constexpr double kBattaniApogeeEpoch = 2042537 - kBattaniEpochJD;  // noon 29 Feb 880
constexpr double kBattaniSunE = Sexa(2, 4, 45);
constexpr PtolemaicPlanet kBattaniMercury{Deferent::kCrank, 3, Sexa(22, 30)};
constexpr PtolemaicPlanet kBattaniVenus{Deferent::kEquant, Sexa(2, 4, 45) / 2, Sexa(43, 10), Sexa(1, 15)};
constexpr PtolemaicPlanet kBattaniMars{Deferent::kEquant, 6, Sexa(39, 30)};
constexpr PtolemaicRow kBattaniSun{Sexa(113, 58, 4), kBattaniSunMotion, 0, 0, Sexa(82, 17),
                                   {Deferent::kEquant, kBattaniSunE, 0}};
constexpr PtolemaicRow kBattaniMercuryRow{0, 0, Sexa(73, 23), Sexa(3, 6, 24, 7, 39), Sexa(201, 28), kBattaniMercury};
constexpr PtolemaicRow kBattaniVenusRow{0, 0, Sexa(45, 7), Sexa(0, 36, 59, 29, 27), Sexa(82, 17), kBattaniVenus};
constexpr PtolemaicRow kBattaniMarsRow{Sexa(211, 48), Sexa(0, 31, 26, 40, 12), 0, 0, Sexa(126, 58), kBattaniMars};

// --- Toledan Tables (c. 1080) ---
// al-Battani's radices moved to the meridian of Toledo and made sidereal, as
// the ALFA project transcribes them (DISHAS; kanon-api toledan_tables.json,
// radices read in signs of 30 degrees): epoch the same instant, noon of
// 14 July 622 at Toledo. Sidereal motions and apogees fixed among the stars
// (Venus on the Sun's). Tropical = sidereal + the equation of access and
// recess, Thabit's form asin(sin 10;45 sin theta), theta moving
// 0;5,19,14,10,33,30 an Arab year (354 11/30 days). The radix of theta is
// fixed by the radices themselves: the Sun's and Mars's sidereal radices lie
// 0;24 and 0;27 below al-Battani's tropical ones (meridian shift allowed),
// so the equation at the epoch is +0;25 and theta = 2;15. The printed
// argument radix "1,34;2" is not used (read as it stands it gives 10;43 at
// the Hijra). Eccentricities and radii al-Battani's (the Toledan equation
// tables were not at hand); latitudes Ptolemy's.
constexpr double kToledanEpochJD = 1948438;  // noon 14 July 622, Toledo
constexpr PtolemaicRow kToledanSun{Sexa(113, 41, 11), Sexa(0, 59, 8, 11, 28, 27, 30), 0, 0, Sexa(77, 50),
                                   {Deferent::kEquant, kBattaniSunE, 0}};
constexpr PtolemaicRow kToledanMercury{0, 0, Sexa(73, 46, 18), Sexa(3, 6, 24, 7, 39, 31, 26), Sexa(197, 30),
                                       kBattaniMercury};
constexpr PtolemaicRow kToledanVenus{0, 0, Sexa(45, 28, 37), Sexa(0, 36, 59, 29, 27, 29, 29), Sexa(77, 50),
                                     kBattaniVenus};
constexpr PtolemaicRow kToledanMars{Sexa(211, 24, 59), Sexa(0, 31, 26, 32, 15, 17, 1), 0, 0, Sexa(121, 50),
                                    kBattaniMars};
constexpr double kToledanTrepidationRadix = Sexa(2, 15);
constexpr double kArabYear = 354 + 11 / 30.0;
constexpr double kToledanTrepidationMotion = Sexa(0, 5, 19, 14, 10, 33, 30) / kArabYear;  // degrees/day
constexpr double kToledanTrepidationMax = Sexa(10, 45);

// --- al-Khwarizmi, Zij al-Sindhind (Adelard's Latin of Maslama's revision) ---
// Only the solar maximum equation 2;14 is known to us (Neugebauer 1962). The
// rest is a stand-in: the al-Battani frame of mean motions and Ptolemy's
// planetary e and r, referred to the sidereal zero by the Toledan access and
// recess (the trepidation of Maslama's school), which is also the precession
// the reader adds back.
constexpr double kKhwarizmiSunMaxEquation = Sexa(2, 14);

// --- Alfonsine Tables, Parisian version (epoch noon of 1 January AD 1) ---
// Radices and motions as in the ALFA project's transcription (kanon-api,
// DISHAS) and pseusys/alfonsine; Poulle 1984. Tropical mean motions;
// apogees = radix + motion of the eighth sphere (Venus on the Sun's). The
// equations are read in the printed tables (alfonsine_columns.h) by their
// procedure: equation of centre at the mean centre, true argument, argument
// equation at mean distance, coefficient entered with the true centre,
// difference toward the greatest or least distance.
constexpr double kIncarnationJD = 1721424;
constexpr PtolemaicRow kAlfonsineSun{Sexa(278, 21, 0, 30, 28), Sexa(0, 59, 8, 19, 37, 19, 13, 56), 0, 0,
                                     Sexa(71, 25, 23), kNoPlanet};
constexpr PtolemaicRow kAlfonsineMercury{0, 0, Sexa(45, 23, 58), Sexa(3, 6, 24, 7, 42, 40, 52),
                                         Sexa(190, 39, 33, 4), kNoPlanet};
constexpr PtolemaicRow kAlfonsineVenus{0, 0, Sexa(129, 22, 2, 36), Sexa(0, 36, 59, 27, 23, 59, 31),
                                       Sexa(71, 25, 23), kNoPlanet};
constexpr PtolemaicRow kAlfonsineMars{Sexa(41, 25, 29, 43), Sexa(0, 31, 26, 38, 40, 5), 0, 0,
                                      Sexa(115, 12, 13, 4), kNoPlanet};
// Eighth sphere: 360 degrees in 49 000 Julian years (radix 0) plus access and
// recess, argument 360 degrees in 7000 years from 5s 59;12,34 (physical
// signs of 60), equation asin(sin 9° sin theta).
constexpr double kEighthSphereLinear = Sexa(0, 0, 0, 4, 20, 41, 17, 12);
constexpr double kAccessRecessRadix = Sexa(359, 12, 34);
constexpr double kAccessRecessMotion = Sexa(0, 0, 0, 30, 24, 49);
constexpr double kAccessRecessMax = 9;

}  // namespace

TableMeans BattaniMeans(double t) {
  TableMeans m = RowMeans(kBattaniSun, kBattaniMercuryRow, kBattaniVenusRow, kBattaniMarsRow, t,
                          kBattaniPrecession * (t - kBattaniApogeeEpoch));
  return m;
}

TableMeans ToledanMeans(double t) { return RowMeans(kToledanSun, kToledanMercury, kToledanVenus, kToledanMars, t, 0); }

double ToledanAccessRecess(double t) {
  const double theta = kToledanTrepidationRadix + kToledanTrepidationMotion * t;
  return AsinDeg(SinDeg(kToledanTrepidationMax) * SinDeg(theta));
}

TableMeans AlfonsineMeans(double t) {
  return RowMeans(kAlfonsineSun, kAlfonsineMercury, kAlfonsineVenus, kAlfonsineMars, t, AlfonsineEighthSphere(t));
}

double AlfonsineEighthSphere(double t) {
  const double theta = kAccessRecessRadix + kAccessRecessMotion * t;
  return kEighthSphereLinear * t + AsinDeg(SinDeg(kAccessRecessMax) * SinDeg(theta));
}

bool CalcAlmagest(const TableDate& d, TablePlaces* out) {
  double t;
  if (!EgyptianDays(d, &t)) return false;
  TruePlaces(AlmagestMeans(t), kAlmagestSun.model.e, kAlmagestMercury.model, kAlmagestVenus.model,
             kAlmagestMars.model, false, true, out);
  out->ptab = 0;
  return true;
}

// Handy Tables: the Almagest's models and motions from the era of Philip
// (radices carried 154 760 days with the Almagest's motions, not read in the
// Handy Tables), evaluated as tables with interpolation; the Handy Tables'
// revised latitude parameters were not available: the Almagest's are used.
bool CalcHandyTables(const TableDate& d, TablePlaces* out) {
  double t;
  if (!EgyptianDays(d, &t)) return false;
  TruePlaces(AlmagestMeans(t + kPhilipAfterNabonassar), kAlmagestSun.model.e, kAlmagestMercury.model,
             kAlmagestVenus.model, kAlmagestMars.model, true, true, out);
  out->ptab = 0;
  return true;
}

bool CalcAlBattani(const TableDate& d, TablePlaces* out) {
  double jd;
  if (!JulianNoonJD(d, &jd)) return false;
  TruePlaces(BattaniMeans(jd - kBattaniEpochJD), kBattaniSunE, kBattaniMercury, kBattaniVenus, kBattaniMars, true,
             true, out);
  out->ptab = 0;
  return true;
}

bool CalcAlKhwarizmi(const TableDate& d, TablePlaces* out) {
  double jd;
  if (!JulianNoonJD(d, &jd)) return false;
  const double sunE = EccentricForMaxEquation(kKhwarizmiSunMaxEquation);
  TruePlaces(BattaniMeans(jd - kBattaniEpochJD), sunE, kBattaniMercury, kBattaniVenus, kBattaniMars, true, true,
             out);
  out->ptab = ToledanAccessRecess(jd - kToledanEpochJD);
  for (double& l : out->lon) l = Norm360(l - out->ptab);
  return true;
}

bool CalcToledan(const TableDate& d, TablePlaces* out) {
  double jd;
  if (!JulianNoonJD(d, &jd)) return false;
  const double t = jd - kToledanEpochJD;
  TruePlaces(ToledanMeans(t), kToledanSun.model.e, kToledanMercury.model, kToledanVenus.model, kToledanMars.model,
             true, true, out);
  out->ptab = ToledanAccessRecess(t);
  for (double& l : out->lon) l = Norm360(l + out->ptab);
  return true;
}

namespace {

const AlfonsineRows& AlfonsineRowsOf(Body body) {
  return body == kMercury ? kAlfonsineMercuryRows : body == kVenus ? kAlfonsineVenusRows : kAlfonsineMarsRows;
}

double SunColumn(double kappa) {
  const double k = Norm360(kappa);
  const double x = k <= 180 ? k : 360 - k;
  const int i = std::min(179, static_cast<int>(x));
  const double y = kAlfonsineSunRows[i] + (x - i) * (kAlfonsineSunRows[i + 1] - kAlfonsineSunRows[i]);
  return (k <= 180 ? y : -y) / 3600;
}

}  // namespace

TableMaxima AlfonsineColumnMaxima(Body body) {
  TableMaxima m;
  if (body == kSun) {
    for (int16_t v : kAlfonsineSunRows) m.centre = std::max(m.centre, std::abs(v) / 3600.0);
    return m;
  }
  const AlfonsineRows& r = AlfonsineRowsOf(body);
  for (int i = 0; i < 360; ++i) {
    m.centre = std::max(m.centre, std::abs(r.centre[i]) / 60.0);
    m.argument = std::max(m.argument, r.argument[i] / 60.0);
    m.longior = std::max(m.longior, r.longior[i] / 60.0);
    m.propior = std::max(m.propior, r.propior[i] / 60.0);
  }
  return m;
}

double AlfonsineEquation(Body body, double kappa, double alpha) {
  if (body == kSun) return SunColumn(kappa);
  const AlfonsineRows& r = AlfonsineRowsOf(body);
  const double c = ReadAlfonsineRows(r.centre, kappa) / 60;
  const double a = Norm360(alpha - c);  // true argument
  const double k = ReadAlfonsineRows(r.coefficient, kappa + c) / 60;
  const double e = ReadAlfonsineRows(r.argument, a) / 60 +
                   k * ReadAlfonsineRows(k < 0 ? r.longior : r.propior, a) / 60;
  return c + (a <= 180 ? e : -e);
}

bool CalcAlfonsine(const TableDate& d, TablePlaces* out) {
  double jd;
  if (!JulianNoonJD(d, &jd)) return false;
  const double t = jd - kIncarnationJD;
  const double tau = AlfonsineEighthSphere(t);
  const MeanPlaces m = RowMeans(kAlfonsineSun, kAlfonsineMercury, kAlfonsineVenus, kAlfonsineMars, t, tau);
  out->lon[kSun] = Norm360(m.sun + AlfonsineEquation(kSun, m.sun - m.apogee[kSun], 0));
  out->lon[kMercury] = Norm360(m.sun + AlfonsineEquation(kMercury, m.sun - m.apogee[kMercury], m.mercuryArg));
  out->lon[kVenus] = Norm360(m.sun + AlfonsineEquation(kVenus, m.sun - m.apogee[kVenus], m.venusArg));
  out->lon[kMars] = Norm360(m.marsLon + AlfonsineEquation(kMars, m.marsLon - m.apogee[kMars], m.marsArg));
  // The Alfonsine latitudes are not read (the cells give 0).
  for (double& b : out->lat) b = 0;
  out->ptab = tau;
  return true;
}

}  // namespace torvik::tables
