// Coordinate frames and apparent-place corrections: the direction of one body
// seen from another, ecliptic <-> equatorial rotation with the obliquity of
// date, ecliptic precession between two epochs, nutation, ΔT, sidereal time,
// equatorial <-> horizontal unit vectors, a low-precision Moon and refraction.
// Positions are the X, Y, Z arrays of the model (metres, any scale: every
// rotation is linear). T is in Julian centuries of 36525 days from J2000
// unless a routine says otherwise.
#pragma once

#include <array>

#include "core/model.h"

namespace torvik {

using Matrix3 = std::array<std::array<double, 3>, 3>;

// x − trunc(x).
double Frac(double x);
// Frac(x), plus 1 when negative: the result lies in [0, 1).
double FracPos(double x);

// The vector from body a to body b and its angles.
struct RelativePos {
  double dX = 0.0, dY = 0.0, dZ = 0.0;  // b − a, metres
  double Rxy = 0.0;                     // projection on the x–y plane, metres
  double range = 0.0;                   // distance, metres
  double L = 0.0;                       // longitude, degrees in [0, 360)
  double B = 0.0;                       // latitude, degrees
};
// Direction of target b seen from observer a (positions 0..26 of the model).
// Throws std::domain_error when b lies on the z axis through a (Rxy = 0), a
// fault that the calling action reports.
RelativePos RelativePosition(const Model& m, int a, int b);

// Obliquity of the ecliptic of date, radians; T from J2000.
double ObliquityOfDate(double T);
// Rotates Y(k), Z(k) in place from the equator to the ecliptic of date T.
void EquToEcl(Model& m, double T, int k);
// Rotates Y(k), Z(k) in place from the ecliptic of date T to the equator.
void EclToEqu(Model& m, double T, int k);

// Ecliptic precession from the ecliptic and equinox of T0 to those of T1
// (centuries from J2000). Leaves t = T1 − T0 in m.T.
Matrix3 PrecessionMatrix(Model& m, double T0, double T1);
// Same without touching the model.
Matrix3 PrecessionMatrix(double T0, double T1);
// (X, Y, Z)(k) ← prec · (X, Y, Z)(k); k in 0..26.
void ApplyPrecession(Model& m, const Matrix3& prec, int k);

// Adds the nutation in longitude and obliquity of T to the mean equatorial
// vector (x, y, z) in place (any unit), giving the true equator of date.
void NutateEquatorial(double T, double& x, double& y, double& z);

// ET − UT, seconds, for a Julian date (parabola about 1900).
double DeltaT(double jd);
// Greenwich mean sidereal time, hours, not reduced to 0..24; MJD = JD − 2400000.5.
double Gmst(double mjd);

// Unit vector of the horizontal frame into (X, Y, Z)(k) from latitude phi,
// declination delta and hour angle tau (degrees). Altitude = asin(Z),
// azimuth = atan2(Y, X).
void EquToHor(Model& m, int k, double phi, double delta, double tau);
// Unit vector of the equatorial frame into (X, Y, Z)(k) from latitude phi,
// altitude h and azimuth A (degrees). Declination = asin(Z), hour angle =
// atan2(Y, X).
void HorToEqu(Model& m, int k, double phi, double h, double A);

// Low-precision Moon (a few arc minutes): ecliptic of date.
struct MoonPos {
  double lon = 0.0;  // ecliptic longitude, radians in [0, 2π)
  double lat = 0.0;  // ecliptic latitude, radians
};
MoonPos MoonPosition(double T);

// Astronomical refraction at zenith distance z (degrees), in degrees.
double Refraction(double z);

}  // namespace torvik
