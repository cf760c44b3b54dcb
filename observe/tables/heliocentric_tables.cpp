// The heliocentric tables: Prutenic (Copernican circles), Rudolphine
// (Kepler's ellipses with the area law), Streete's Astronomia Carolina
// (uniform motion about the empty focus corrected by the variation) and
// Wing (the empty focus without the variation). One orbit per body,
// reduced to the ecliptic and seen from the Earth (models.h).
#include <cmath>

#include "observe/tables/calculators.h"
#include "observe/tables/models.h"

namespace torvik::tables {
namespace {

// One body of a heliocentric table, longitudes sidereal (from the first star
// of Aries), the aphelion and node fixed among the stars.
struct OrbitRow {
  double aphelion;  // degrees
  double e;         // focal distance / semi-axis
  double a;         // semi-axis, Earth's = 1
  double radix;     // mean anomaly from the aphelion at the radix, degrees
  double motion;    // degrees per day
  double node, incl;
};

// Streete, Astronomia Carolina (London 1661), pp. 12-23, 39-40, 56-59: radix
// 1660 December 31, noon at London; motions in 20 Julian years (7305 days);
// eccentricities and semi-axes in his parts of 100 000.
constexpr double kStreeteRadixJD = 2327738;
constexpr double kTwentyYears = 7305;
constexpr OrbitRow kStreeteEarth{Sexa(248, 20), 1732 / 100000.0, 1, Sexa(193, 40, 19),
                                 (19 * 360 + Sexa(359, 53, 1)) / kTwentyYears, 0, 0};
// Mars: the node reads "1s 17;40" in the copy we had; Streete's own worked
// example of 1634 May 29 (latitude 0;40 N at heliocentric 6s 3;55) needs 0s 17;40.
constexpr OrbitRow kStreeteMars{Sexa(121, 12), 14100 / 152369.0, 1.52369, Sexa(122, 8, 45),
                                (10 * 360 + Sexa(228, 4, 24)) / kTwentyYears, Sexa(17, 40), Sexa(1, 53)};
// Venus: the aphelion, the node and the inclination are illegible or damaged
// in the copy (the node reads "1s 13;16"); the radix reads 7s 28;45,40, but
// his worked example's value for 1621, 7s 21;42,10, plus forty years of his
// motion gives 7s 28;48,40, which we take. From the worked example of 1639
// November 24 (p. 76: mean anomaly 4s 9;49,13 gives heliocentric 1s 14;11,22
// with latitude 0;4,4 S) the aphelion and the node are solved, with Kepler's
// inclination 3;22.
constexpr OrbitRow kStreeteVenus{0, 517 / 72333.0, 0.72333, Sexa(238, 48, 40),
                                 (32 * 360 + Sexa(183, 33, 15)) / kTwentyYears, 0, Sexa(3, 22)};
constexpr double kVenusExampleAnomaly = Sexa(129, 49, 13), kVenusExampleHelio = Sexa(44, 11, 22);
constexpr double kVenusExampleLatitude = -Sexa(0, 4, 4);
// Mercury: the radix is illegible; it is solved from the heliocentric place
// 1s 8;14,53 of Streete's worked example of 1636 August 24, 16h 23m (p. 77),
// with his aphelion 7s 13;48 and his 20-year motion 83 rev + 0s 14;50.
constexpr OrbitRow kStreeteMercury{Sexa(223, 48), 7970 / 38710.0, 0.38710, 0,
                                   (83 * 360 + Sexa(14, 50)) / kTwentyYears, Sexa(15, 42), Sexa(6, 54)};
constexpr double kMercuryExampleJD = 2318843 + (16 + 23 / 60.0) / 24;
constexpr double kMercuryExampleHelio = Sexa(38, 14, 53);
// Precession: 28;24,0 at the radix, 48" per Julian year (his worked values
// 27;24,27 for 1586 July 26 and 28;4,31 for 1636 August 24 follow from it).
constexpr double kStreetePrecessionRadix = Sexa(28, 24);
constexpr double kStreetePrecessionMotion = 48 / 3600.0 / 365.25;

enum class Orbit { kKepler, kStreete, kWing };

struct OrbitModel {
  Orbit kind;
};

HelioPlace Place(const OrbitRow& row, const OrbitModel& model, double t) {
  const double m = row.radix + row.motion * t;
  OrbitPoint p;
  switch (model.kind) {
    case Orbit::kKepler: p = KeplerOrbit(m, row.e); break;
    case Orbit::kStreete: p = EmptyFocusOrbit(m, row.e, true); break;
    case Orbit::kWing: p = EmptyFocusOrbit(m, row.e, false); break;
  }
  return ReduceToEcliptic(row.aphelion + p.v, p.r * row.a, row.node, row.incl);
}

// Streete's rows with the two illegible values solved from his examples.
struct StreeteRows {
  OrbitRow earth = kStreeteEarth, mercury = kStreeteMercury, venus = kStreeteVenus, mars = kStreeteMars;
  StreeteRows() {
    const OrbitModel ellipse{Orbit::kStreete};
    venus.node = kVenusExampleHelio - AsinDeg(SinDeg(kVenusExampleLatitude) / SinDeg(venus.incl));
    OrbitRow v = venus;
    v.radix = kVenusExampleAnomaly;
    v.motion = 0;
    for (int i = 0; i < 5; ++i) v.aphelion += Norm180(kVenusExampleHelio - Place(v, ellipse, 0).l);
    venus.aphelion = Norm360(v.aphelion);
    OrbitRow m = mercury;
    const double t = kMercuryExampleJD - kStreeteRadixJD;
    for (int i = 0; i < 20; ++i) m.radix += Norm180(kMercuryExampleHelio - Place(m, ellipse, t).l);
    mercury.radix = Norm360(m.radix);
  }
};
const StreeteRows& Streete() {
  static const StreeteRows rows;
  return rows;
}

double StreetePrecession(double londonJD) {
  return kStreetePrecessionRadix + kStreetePrecessionMotion * (londonJD - kStreeteRadixJD);
}

// The geocentric places of a heliocentric table t days after Streete's radix,
// sidereal; the caller adds its precession.
void GeocentricPlaces(const OrbitRow rows[4], const OrbitModel models[4], double t, TablePlaces* out) {
  const HelioPlace earth = Place(rows[0], models[0], t);
  out->lon[kSun] = Norm360(earth.l + 180);
  out->lat[kSun] = 0;
  for (int b : {kMercury, kVenus, kMars}) {
    const GeoPlace g = HelioToGeo(Place(rows[b], models[b], t), earth);
    out->lon[b] = g.l;
    out->lat[b] = g.b;
  }
}

void AddPrecession(double p, TablePlaces* out) {
  for (double& l : out->lon) l = Norm360(l + p);
}

// Days after Streete's radix for a table whose clock keeps the meridian
// `east` degrees east of London.
double StreeteDays(double localJD, double east) { return localJD - east / 360 - kStreeteRadixJD; }

// --- Prutenic Tables (Reinhold 1551) ---
// Reinhold's own radices (Koenigsberg) were not found: the table is
// Copernicus's parameters in Reinhold's frame (day from midnight, the preset
// meridian 13 degrees east carried to Copernicus's meridian of Cracow), all
// from De revolutionibus (Nuremberg 1543). Sidereal longitudes from the
// first star of Aries; tropical = sidereal + true precession. Motions per
// Egyptian year of 365 days from the midnight opening 1 January AD 1.
constexpr double kPrutenicEast = 13;
constexpr double kCracowEast = 19.94;
constexpr double kCopernicusEpochJD = 1721423.5;  // midnight opening 1 January AD 1
// Precession (III.6-11): mean 5;32 at Christ + 0;0,50,12,5 a year; the
// simple anomaly 6;45 + 0;6,17,24,9 a year (3434 years), the equation of
// the equinoxes -1;10 sin(2 x simple anomaly) (slowest at the start of the
// anomaly, 64 BC; his 1515 equinox needs 27;15).
constexpr double kPrecessionRadix = Sexa(5, 32), kPrecessionMotion = Sexa(0, 0, 50, 12, 5);
constexpr double kSimpleAnomalyRadix = Sexa(6, 45), kSimpleAnomalyMotion = Sexa(0, 6, 17, 24, 9);
constexpr double kEquinoxEquation = Sexa(1, 10);
// Sun/Earth (III.16-24): simple mean Sun 272;31 + 359;44,49,7,4 a year;
// anomaly 211;14 + 359;44,24,46,50 (mean apogee = mean Sun less anomaly,
// 61;17 at Christ, moving 0;0,24,20,14 a year). The centre of the Earth's
// orbit turns with the simple anomaly on a circle of 48 about a point 369
// from the Sun (eccentricity 417 ... 321 of 10 000), pulling the apogee by
// atan(48 sin / (369 + 48 cos)) backward (1515: 323, 2;6,30).
constexpr double kSunRadix = Sexa(272, 31), kSunMotion = Sexa(359, 44, 49, 7, 4);
constexpr double kSunAnomalyRadix = Sexa(211, 14), kSunAnomalyMotion = Sexa(359, 44, 24, 46, 50);
constexpr double kEarthCentreDistance = 369, kEarthCentreCircle = 48;  // parts of 10 000
// Mars (V.16-19): commutation (mean Sun less mean Mars) 238;22 at Christ and
// 177;4 at 1523 February 22, 7 h before noon, which with 713 revolutions
// gives its daily motion (his mean longitude then, 136;16, comes out 136;20);
// apogee of the eccentre 119;40 then and 108;50 in Ptolemy's time (AD 139),
// moving uniformly between them; deferent centre 1460 from the centre of the
// Earth's orbit, epicyclet 500 (deferent 10 000), Earth's orbit 6580 in
// these parts.
constexpr double kMarsCommutationRadix = Sexa(238, 22);
constexpr double kMars1523Days = 555962.208333, kMars1523Commutation = Sexa(177, 4);
constexpr double kMarsMotion = (kMars1523Commutation - kMarsCommutationRadix + 713 * 360.0) / kMars1523Days;
constexpr double kMarsApogee1523 = Sexa(119, 40), kMarsApogeePtolemy = Sexa(108, 50);
constexpr double kPtolemyMarsDays = 50586;  // AD 139 July 1, from the epoch
constexpr double kMarsApogeeMotion = (kMarsApogee1523 - kMarsApogeePtolemy) / (kMars1523Days - kPtolemyMarsDays);
constexpr double kMarsDeferent = 0.1460, kMarsEpicyclet = 0.0500, kMarsRadius = 1 / 0.6580;
// Venus (V.20-24): commutation (heliocentric less mean Sun) 126;45 at
// Christ + 225;1,45,3,40 a year; apsides fixed at 48;20 sidereal; orbit
// 7193; its centre on a circle of 104 about a point 246 from the centre of
// the Earth's orbit toward the apogee (Copernicus's own time; 312 in
// Ptolemy's), turning twice a year, nearest when the Earth is on the
// apsidal line.
constexpr double kVenusCommutationRadix = Sexa(126, 45), kVenusCommutationMotion = Sexa(225, 1, 45, 3, 40);
constexpr double kVenusApogee = Sexa(48, 20), kVenusRadius = 0.7193;
constexpr double kVenusCentre = 0.0246, kVenusCentreCircle = 0.0104;
// Mercury (V.25-31): commutation 46;24 at Christ, 109;38 at 1504 March 18,
// 7.5 h after noon (the interval 1504 Egyptian years 87 days 48 day-minutes),
// which gives the daily motion (the printed Canon value was not read);
// apogee 211;30 then, moving 28;10 in 1768 Egyptian years 200 days; orbit
// centre on a circle of 212 about a point 736 from the centre of the
// Earth's orbit, twice a year, farthest when the Earth is on the apsidal
// line; radius 3763 - 190 cos(2 x the Earth's distance from that line).
constexpr double kMercuryCommutationRadix = Sexa(46, 24), kMercury1504Commutation = Sexa(109, 38);
constexpr double kMercury1504Days = 1504 * 365 + 87 + 48 / 60.0;
constexpr double kMercuryMotion =
    (kMercury1504Commutation - kMercuryCommutationRadix + 4738 * 360.0) / kMercury1504Days;
constexpr double kMercuryApogee1504 = Sexa(211, 30);
constexpr double kMercuryApogeeMotion = Sexa(28, 10) / (1768 * 365 + 200.0);  // degrees/day
constexpr double kMercuryCentre = 0.0736, kMercuryCentreCircle = 0.0212;
constexpr double kMercuryRadius = 0.3763, kMercuryLibration = 0.0190;

struct Vec {
  double x, y, z;
};
Vec Unit(double lon, double r = 1) { return {r * std::cos(lon * kDegree), r * std::sin(lon * kDegree), 0}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
// A point at heliocentric (from `centre`) longitude lon in an orbit plane of
// node `node` and inclination `incl`, distance r.
Vec InOrbit(Vec centre, double lon, double r, double node, double incl) {
  const HelioPlace h = ReduceToEcliptic(lon, r, node, incl);
  const double c = std::cos(h.b * kDegree);
  return centre + Vec{r * c * std::cos(h.l * kDegree), r * c * std::sin(h.l * kDegree), r * std::sin(h.b * kDegree)};
}
GeoPlace Seen(Vec p, Vec earth) {
  const double x = p.x - earth.x, y = p.y - earth.y, z = p.z - earth.z;
  return {Norm360(std::atan2(y, x) / kDegree), std::atan2(z, std::hypot(x, y)) / kDegree};
}
// --- Rudolphine Tables (Kepler 1627) ---
// Kepler's ellipses with the area law; eccentricities Earth 0.01800, Mars
// 0.09264 (Astronomia nova ch. 42), Venus 0.00692, Mercury 0.21000; semi-axes
// Mars 1.52350, Venus 0.72414, Mercury 0.38806; inclinations Mars 1;50,30,
// Venus 3;22, Mercury 6;54. Stand-ins: radices, motions, aphelia, nodes and
// precession are Streete's (the Rudolphine ones were not available). Meridian
// 12.5 degrees east.
constexpr double kRudolphineEast = 12.5;
// Per body (Earth, Mercury, Venus, Mars): eccentricity, semi-axis, inclination.
struct KeplerRow {
  double e, a, incl;
};
constexpr KeplerRow kRudolphine[4] = {
    {0.01800, 1, 0},
    {0.21000, 0.38806, Sexa(6, 54)},
    {0.00692, 0.72414, Sexa(3, 22)},
    {0.09264, 1.52350, Sexa(1, 50, 30)},
};

// --- Wing, Astronomia Britannica (1669) ---
// Uniform motion about the empty focus without a correction (Boulliau's
// "alternative to the area rule" as far as the literature describes Wing);
// every parameter is Streete's stand-in. No precession cell: the longitudes
// carry Streete's precession. Meridian of London.

// Streete's tables and Wing's variant: his rows on the London meridian.
bool StreeteOrbits(const TableDate& d, Orbit kind, TablePlaces* out) {
  double jd;
  if (!JulianNoonJD(d, &jd)) return false;
  const StreeteRows& s = Streete();
  const OrbitRow rows[4] = {s.earth, s.mercury, s.venus, s.mars};
  const OrbitModel m{kind};
  const OrbitModel models[4] = {m, m, m, m};
  GeocentricPlaces(rows, models, StreeteDays(jd, 0), out);
  out->ptab = StreetePrecession(jd);
  AddPrecession(out->ptab, out);
  return true;
}

}  // namespace

bool CalcStreete(const TableDate& d, TablePlaces* out) { return StreeteOrbits(d, Orbit::kStreete, out); }

bool CalcWing(const TableDate& d, TablePlaces* out) {
  if (!StreeteOrbits(d, Orbit::kWing, out)) return false;
  out->ptab = 0;  // Wing has no precession cell
  return true;
}

bool CalcRudolphine(const TableDate& d, TablePlaces* out) {
  double jd;
  if (!JulianNoonJD(d, &jd)) return false;
  const StreeteRows& s = Streete();
  OrbitRow rows[4] = {s.earth, s.mercury, s.venus, s.mars};
  for (int b = 0; b < 4; ++b) {
    rows[b].e = kRudolphine[b].e;
    rows[b].a = kRudolphine[b].a;
    rows[b].incl = kRudolphine[b].incl;
  }
  const OrbitModel k{Orbit::kKepler};
  const OrbitModel models[4] = {k, k, k, k};
  const double london = jd - kRudolphineEast / 360;
  GeocentricPlaces(rows, models, london - kStreeteRadixJD, out);
  out->ptab = StreetePrecession(london);
  AddPrecession(out->ptab, out);
  return true;
}

CopernicanMeans CopernicusAt(double t) {
  const double years = t / 365;  // Egyptian years
  CopernicanMeans c;
  c.meanPrecession = kPrecessionRadix + kPrecessionMotion * years;
  c.simpleAnomaly = Norm360(kSimpleAnomalyRadix + kSimpleAnomalyMotion * years);
  c.truePrecession = c.meanPrecession - kEquinoxEquation * SinDeg(2 * c.simpleAnomaly);
  c.meanSun = Norm360(kSunRadix + kSunMotion * years);
  c.meanApogee = Norm360(c.meanSun - kSunAnomalyRadix - kSunAnomalyMotion * years);
  const double cs = std::cos(c.simpleAnomaly * kDegree), sn = std::sin(c.simpleAnomaly * kDegree);
  const double d = kEarthCentreDistance, k = kEarthCentreCircle;
  c.eccentricity = std::sqrt(d * d + k * k + 2 * d * k * cs);
  c.trueApogee = Norm360(c.meanApogee - std::atan2(k * sn, d + k * cs) / kDegree);
  c.sun = Norm360(c.meanSun + EccentricEquation(c.meanSun - c.trueApogee, c.eccentricity * 60 / 10000));
  c.venusCommutation = Norm360(kVenusCommutationRadix + kVenusCommutationMotion * years);
  c.mercuryCommutation = Norm360(kMercuryCommutationRadix + kMercuryMotion * t);
  c.mercuryApogee = Norm360(kMercuryApogee1504 + kMercuryApogeeMotion * (t - kMercury1504Days));
  c.marsCommutation = Norm360(kMarsCommutationRadix + kMarsMotion * t);
  c.marsLon = Norm360(c.meanSun - c.marsCommutation);
  c.marsApogee = Norm360(kMarsApogee1523 + kMarsApogeeMotion * (t - kMars1523Days));
  return c;
}

bool CalcPrutenic(const TableDate& d, TablePlaces* out) {
  double jd;
  if (!JulianCivilJD(d, &jd)) return false;
  const double t = jd + (kCracowEast - kPrutenicEast) / 360 - kCopernicusEpochJD;
  const CopernicanMeans c = CopernicusAt(t);
  // Origin at the Sun; unit the radius of the Earth's orbit. The centre of
  // that orbit stands toward the Earth's aphelion, and the Earth moves
  // uniformly about it, opposite the mean Sun.
  const Vec centre = Unit(c.trueApogee + 180, c.eccentricity / 10000);
  const Vec earth = centre + Unit(c.meanSun + 180);
  // Latitudes: Copernicus's theory (book VI) was not read; Streete's nodes
  // and inclinations stand in.
  const StreeteRows& s = Streete();
  // Mars: eccentre with its epicyclet, about the centre of the Earth's orbit.
  const OrbitPoint mp = CopernicanOrbit(c.marsLon - c.marsApogee, kMarsDeferent, kMarsEpicyclet);
  const Vec mars = InOrbit(centre, c.marsApogee + mp.v, mp.r * kMarsRadius, s.mars.node, s.mars.incl);
  // Venus and Mercury: the orbit centre turning twice a year on its small
  // circle; phi = the mean Sun's distance from the planet's apsidal line.
  // The sense of the turning is the one that makes the device Ptolemy's
  // equant and crank to first order in e (the centre at 3/2 e with a circle
  // of e/2 at twice the mean centre: Venus 312 and 104 in Ptolemy's time).
  const double phiV = c.meanSun - kVenusApogee;
  const Vec venusCentre = centre + Unit(kVenusApogee, kVenusCentre) + Unit(kVenusApogee + 2 * phiV + 180, kVenusCentreCircle);
  const Vec venus = InOrbit(venusCentre, c.meanSun + c.venusCommutation, kVenusRadius, s.venus.node, s.venus.incl);
  const double phiM = c.meanSun - c.mercuryApogee;
  const Vec mercuryCentre =
      centre + Unit(c.mercuryApogee, kMercuryCentre) + Unit(c.mercuryApogee + 2 * phiM, kMercuryCentreCircle);
  const double rM = kMercuryRadius - kMercuryLibration * std::cos(2 * phiM * kDegree);
  const Vec mercury = InOrbit(mercuryCentre, c.meanSun + c.mercuryCommutation, rM, s.mercury.node, s.mercury.incl);
  out->lon[kSun] = c.sun;
  out->lat[kSun] = 0;
  const Vec planets[4] = {{}, mercury, venus, mars};
  for (int b : {kMercury, kVenus, kMars}) {
    const GeoPlace g = Seen(planets[b], earth);
    out->lon[b] = g.l;
    out->lat[b] = g.b;
  }
  out->ptab = c.truePrecession;
  AddPrecession(out->ptab, out);
  return true;
}

}  // namespace torvik::tables
