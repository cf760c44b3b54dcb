// The planetary models shared by the historic tables. Only parameters and
// frames differ between the tables; the geometry lives here once.
//
// Ptolemaic distances are in "parts" of a deferent radius of 60; heliocentric
// distances in units of the Earth's mean distance. Angles are degrees.
#pragma once

namespace torvik::tables {

// Sexagesimal a;b,c,d,... degrees. Sexa(0, 59, 8, 17) = 0;59,8,17.
constexpr double Sexa(double a, double b = 0, double c = 0, double d = 0, double e = 0, double f = 0,
                      double g = 0, double h = 0) {
  return a + (b + (c + (d + (e + (f + (g + h / 60) / 60) / 60) / 60) / 60) / 60) / 60;
}

inline constexpr double kDegree = 0.017453292519943295769;  // radians

// Degree-argument trigonometry.
double SinDeg(double deg);
double AsinDeg(double v);  // degrees; the argument clamped to [-1, 1]

double Norm360(double deg);  // into [0, 360)
double Norm180(double deg);  // into (-180, 180]

// --- Ptolemaic geometry (Earth at the origin, x toward the apogee) ---

// Simple eccentric (the Sun): deferent centre at e parts toward the apogee.
// Equation to add to the mean longitude for mean centre kappa (negative for
// kappa in 0..180).
double EccentricEquation(double kappa, double e);
// The eccentricity whose simple eccentric has the greatest equation maxEq.
double EccentricForMaxEquation(double maxEq);

// Where the epicycle centre stands for mean centre kappa (the angle at the
// equant): equation of centre c (true centre = kappa + c) and distance rho
// of the epicycle centre from the Earth (parts), plus its coordinates.
struct EpicycleCentre {
  double c = 0;
  double rho = 60;
  double x = 60, y = 0;
};
enum class Deferent {
  kEquant,  // Venus, Mars: deferent centre at e, equant at 2e
  kCrank,   // Mercury: equant at e, deferent centre turning on a circle of radius e about 2e
};
EpicycleCentre LocateEpicycle(Deferent kind, double kappa, double e);
// Greatest and least distance of the epicycle centre (parts; 60 + e and
// 60 - e for the equant).
double GreatestDistance(Deferent kind, double e);
double LeastDistance(Deferent kind, double e);
// The eccentricity of an equant deferent whose greatest equation of centre is maxEq.
double EquantForMaxEquation(double maxEq);

// Epicycle of radius r: the equation of argument for the true argument alpha
// (counted from the true apogee of the epicycle) at distance rho.
double ArgumentEquation(double alpha, double r, double rho);

// A Ptolemaic planet: deferent kind, eccentricity e and epicycle radius r
// (parts). A table may build its distance columns (interpolation
// coefficient, greatest and least distance) on another eccentricity than its
// equation of centre: distanceE, 0 = the same e.
struct PtolemaicPlanet {
  Deferent kind;
  double e;
  double r;
  double distanceE = 0;
};
// Longitude minus mean longitude: exact geometry.
double PtolemaicEquationExact(const PtolemaicPlanet& p, double kappa, double alpha);
// The same by the table method with interpolation: equation of centre, true
// argument, argument equation at mean distance corrected by the interpolation
// coefficient of the distance toward the greatest ("longior") or least
// ("propior") distance.
double PtolemaicEquationTable(const PtolemaicPlanet& p, double kappa, double alpha);
// Table maxima of a planet (degrees): equation of centre, argument equation at
// mean distance, greatest difference toward the greatest and the least distance.
struct TableMaxima {
  double centre = 0, argument = 0, longior = 0, propior = 0;
};
TableMaxima PtolemaicMaxima(const PtolemaicPlanet& p);

// Latitude theory (Almagest XIII), geometric form. Outer planet: eccentre
// inclined i1 with its northern limit `limit` degrees after the apogee, the
// epicycle's apsidal line tilted i2·cos(distance from the limit) against the
// eccentre (perigee toward the eccentre's side). Inner planet: eccentre
// deviation i1·cos(kappa) about its nodes 90 degrees from the apogee (the
// centre keeps to one side), inclination i2·sin(kappa) of the epicycle's
// apsidal line (greatest at the nodes) and slant i3·cos(kappa) of its
// transverse diameter (greatest at apogee and perigee); negative values turn
// the side.
struct PtolemaicLatitude {
  bool inner;
  double i1, i2, i3;
  double limit;  // outer planets only
};
// Latitude in degrees for mean centre kappa and mean argument alpha.
double PtolemaicLatitudeOf(const PtolemaicPlanet& p, const PtolemaicLatitude& lat, double kappa, double alpha);

// --- Heliocentric orbits (Sun at the origin, x toward the aphelion) ---

// Kepler's ellipse with the area law: true anomaly (from the aphelion) and
// radius (units of a) for mean anomaly m from the aphelion.
struct OrbitPoint {
  double v;  // true anomaly from the aphelion, degrees
  double r;  // distance from the Sun, units of the semi-axis
};
OrbitPoint KeplerOrbit(double m, double e);
// Uniform motion about the empty focus (e = focal distance / a), optionally
// corrected by Streete's variation tan M' = (a/b) tan M.
OrbitPoint EmptyFocusOrbit(double m, double e, bool variation);
// Copernican circle: eccentric of offset d with an epicyclet of radius eps
// turning at twice the mean anomaly (eps = 0: a plain eccentric circle).
OrbitPoint CopernicanOrbit(double m, double d, double eps);

// A heliocentric place reduced to the ecliptic.
struct HelioPlace {
  double l;  // ecliptic longitude, degrees
  double b;  // latitude, degrees
  double r;  // distance, units of the Earth's
};
// Place in the orbit plane (longitude in the orbit = aphelion + v) reduced to
// the ecliptic with the node and inclination.
HelioPlace ReduceToEcliptic(double orbitLongitude, double r, double node, double incl);
// Geocentric longitude and latitude of a planet from its heliocentric place
// and the Earth's (both in the same frame).
struct GeoPlace {
  double l, b;
};
GeoPlace HelioToGeo(const HelioPlace& planet, const HelioPlace& earth);

}  // namespace torvik::tables
