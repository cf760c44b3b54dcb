// The heliocentric tables: Prutenic (Copernican circles), Rudolphine
// (Kepler's ellipses with the area law), Streete's Astronomia Carolina
// (uniform motion about the empty focus corrected by the variation) and
// Wing (the empty focus without the variation). One orbit per body,
// reduced to the ecliptic and seen from the Earth (models.h).
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

enum class Orbit { kKepler, kStreete, kWing, kCopernican };

struct OrbitModel {
  Orbit kind;
  double d, eps;  // Copernican circle only
};

HelioPlace Place(const OrbitRow& row, const OrbitModel& model, double t) {
  const double m = row.radix + row.motion * t;
  OrbitPoint p;
  switch (model.kind) {
    case Orbit::kKepler: p = KeplerOrbit(m, row.e); break;
    case Orbit::kStreete: p = EmptyFocusOrbit(m, row.e, true); break;
    case Orbit::kWing: p = EmptyFocusOrbit(m, row.e, false); break;
    case Orbit::kCopernican: p = CopernicanOrbit(m, model.d, model.eps); break;
  }
  return ReduceToEcliptic(row.aphelion + p.v, p.r * row.a, row.node, row.incl);
}

// Streete's rows with the two illegible values solved from his examples.
struct StreeteRows {
  OrbitRow earth = kStreeteEarth, mercury = kStreeteMercury, venus = kStreeteVenus, mars = kStreeteMars;
  StreeteRows() {
    const OrbitModel ellipse{Orbit::kStreete, 0, 0};
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
// Copernicus's circles (De revolutionibus; Swerdlow & Neugebauer 1984): the
// Earth on a plain eccentric of 0.0323 (his value for his own time; the
// variation of the eccentricity is left out), Mars on an eccentric of 0.1460
// with an epicyclet of 0.0500 and radius 1/0.6580 of the Earth's; Venus
// (0.7193) and Mercury (0.3573, libration left out) on the equivalent
// eccentric + epicyclet of 3/2 and 1/2 of Streete's eccentricities. Stand-ins:
// mean motions, radices, aphelia and nodes are Streete's (both count from the
// first star of Aries); Reinhold's own radices were not available. Precession:
// Copernicus's mean motion 0;0,50,12,5 per Egyptian year from 5;32 at the
// Incarnation with the nonuniformity 1;10·sin(double anomaly), anomaly 6;45 +
// 0;6,17,24,9 per Egyptian year. Meridian 13 degrees east.
constexpr double kPrutenicEast = 13;
constexpr double kCopernicusEpochJD = 1721423.5;  // midnight opening 1 January AD 1
constexpr double kCopernicusPrecessionRadix = Sexa(5, 32);
constexpr double kCopernicusPrecessionMotion = Sexa(0, 0, 50, 12, 5);  // per Egyptian year
constexpr double kCopernicusAnomalyRadix = Sexa(6, 45);
constexpr double kCopernicusAnomalyMotion = Sexa(0, 6, 17, 24, 9);
constexpr double kCopernicusPrecessionEquation = Sexa(1, 10);
// Per body (Earth, Mercury, Venus, Mars): semi-axis (Earth's = 1), offset of
// the deferent centre and epicyclet radius (units of the semi-axis).
struct CopernicanRow {
  double a, d, eps;
};
constexpr CopernicanRow kPrutenic[4] = {
    {1, 0.0323, 0},
    {0.3573, 1.5 * kStreeteMercury.e, 0.5 * kStreeteMercury.e},
    {0.7193, 1.5 * kStreeteVenus.e, 0.5 * kStreeteVenus.e},
    {1 / 0.6580, 0.1460, 0.0500},
};

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
  const OrbitModel m{kind, 0, 0};
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
  const OrbitModel k{Orbit::kKepler, 0, 0};
  const OrbitModel models[4] = {k, k, k, k};
  const double london = jd - kRudolphineEast / 360;
  GeocentricPlaces(rows, models, london - kStreeteRadixJD, out);
  out->ptab = StreetePrecession(london);
  AddPrecession(out->ptab, out);
  return true;
}

bool CalcPrutenic(const TableDate& d, TablePlaces* out) {
  double jd;
  if (!JulianCivilJD(d, &jd)) return false;
  const StreeteRows& s = Streete();
  OrbitRow rows[4] = {s.earth, s.mercury, s.venus, s.mars};
  OrbitModel models[4];
  for (int b = 0; b < 4; ++b) {
    rows[b].a = kPrutenic[b].a;
    models[b] = {Orbit::kCopernican, kPrutenic[b].d, kPrutenic[b].eps};
  }
  const double london = jd - kPrutenicEast / 360;
  GeocentricPlaces(rows, models, london - kStreeteRadixJD, out);
  const double years = (london - kCopernicusEpochJD) / 365;  // Egyptian years
  const double anomaly = kCopernicusAnomalyRadix + kCopernicusAnomalyMotion * years;
  out->ptab = kCopernicusPrecessionRadix + kCopernicusPrecessionMotion * years +
              kCopernicusPrecessionEquation * SinDeg(2 * anomaly);
  AddPrecession(out->ptab, out);
  return true;
}

}  // namespace torvik::tables
