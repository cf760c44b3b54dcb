#include "tools/converter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "core/fields.h"
#include "core/frames.h"
#include "core/kepler.h"
#include "core/textfile.h"
#include "core/theories.h"

namespace torvik {

namespace {

constexpr int kEarth = 3;
constexpr int kMoonSlot = 10;
constexpr int kOffsetSlot = 12;    // observer's offset from the Earth's centre
constexpr int kObserverSlot = 13;
constexpr int kWork = 14;          // scratch vector of the rotations
constexpr int kOriginSlot = 15;    // (0, 0, 0)
constexpr double kThousandKm = 1e6;  // m

const Model& Constants() {
  static const Model m = [] {
    Model c;
    SetConstants(c);
    return c;
  }();
  return m;
}

double Deg(double rad) { return rad * Constants().kUgol; }
double Rad(double deg) { return deg / Constants().kUgol; }

// The display form of a field value: six decimals, truncated toward zero.
double Shown6(double v) { return FixNear(1e6 * v) / 1e6; }

UserMessage Msg(const char* text) { return UserMessage{text, kTitle0}; }

void Put(Model& m, int k, Vec3 v) {
  m.X[k] = v.x;
  m.Y[k] = v.y;
  m.Z[k] = v.z;
}
Vec3 Get(const Model& m, int k) { return Vec3{m.X[k], m.Y[k], m.Z[k]}; }
Vec3 Add(Vec3 a, Vec3 b) { return Vec3{a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Sub(Vec3 a, Vec3 b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Scale(Vec3 a, double s) { return Vec3{a.x * s, a.y * s, a.z * s}; }
double Length(Vec3 a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

// Rotations with the core's routines on a scratch model: slot kWork.
Vec3 EquatorToEcliptic(double T, Vec3 v) {
  Model s;
  Put(s, kWork, v);
  EquToEcl(s, T, kWork);
  return Get(s, kWork);
}
Vec3 EclipticToEquator(double T, Vec3 v) {
  Model s;
  Put(s, kWork, v);
  EclToEqu(s, T, kWork);
  return Get(s, kWork);
}
// Ecliptic of J2000 -> ecliptic of the date T, and back with the transposed
// (inverse) rotation so that a round trip is exact to rounding.
Vec3 Precess(double T, Vec3 v, bool inverse) {
  Matrix3 p = PrecessionMatrix(0.0, T);
  if (inverse)
    for (int i = 0; i < 3; ++i)
      for (int j = i + 1; j < 3; ++j) std::swap(p[i][j], p[j][i]);
  Model s;
  Put(s, kWork, v);
  ApplyPrecession(s, p, kWork);
  return Get(s, kWork);
}

double EquinoxT(const ConverterContext& ctx, const CoordSystem& sys) {
  return sys.equinox == Equinox::J2000 && sys.plane != Plane::Horizon ? 0.0 : ctx.T;
}

Vec3 OriginOf(const ConverterContext& ctx, Origin o) {
  switch (o) {
    case Origin::Geocentric: return ctx.earth;
    case Origin::Topocentric: return ctx.observer;
    default: return Vec3{};
  }
}

// Horizontal (azimuth from the south through the west, altitude) <->
// equatorial of the date, through the hour angle τ = LMST·15 − α.
Vec3 HorizonToEquator(const ConverterContext& ctx, Vec3 v) {
  const double r = Length(v);
  if (r == 0.0) return v;
  Model s;
  HorToEqu(s, kWork, ctx.obsB, Deg(std::asin(std::clamp(v.z / r, -1.0, 1.0))), Deg(std::atan2(v.y, v.x)));
  const double delta = std::asin(std::clamp(s.Z[kWork], -1.0, 1.0));
  const double tau = std::atan2(s.Y[kWork], s.X[kWork]);
  const double alfa = Rad(ctx.lmst * 15.0) - tau;
  return Scale(FromPolar(Deg(alfa), Deg(delta), 1.0), r);
}

// τ = LMST·15 − α, degrees in [0, 360).
double HourAngle(const ConverterContext& ctx, Vec3 equ) {
  const double tau = std::fmod(ctx.lmst * 15.0 - Deg(std::atan2(equ.y, equ.x)), 360.0);
  return tau < 0.0 ? tau + 360.0 : tau;
}

Vec3 EquatorToHorizon(const ConverterContext& ctx, Vec3 v, double tau) {
  const double r = Length(v);
  if (r == 0.0) return v;
  Model s;
  EquToHor(s, kWork, ctx.obsB, Deg(std::asin(std::clamp(v.z / r, -1.0, 1.0))), tau);
  return Scale(Get(s, kWork), r);
}

std::optional<Vec3> ReadSource(Representation repr, const SourceTexts& t) {
  if (repr == Representation::Polar) {
    auto l = ParseFieldNumber(t.l), b = ParseFieldNumber(t.b), r = ParseFieldNumber(t.r);
    if (!l || !b || !r) return std::nullopt;
    return Scale(FromPolar(*l, *b, *r), kThousandKm);
  }
  auto x = ParseFieldNumber(t.x), y = ParseFieldNumber(t.y), z = ParseFieldNumber(t.z);
  if (!x || !y || !z) return std::nullopt;
  return Vec3{*x * kThousandKm, *y * kThousandKm, *z * kThousandKm};
}

bool HorizonAllowed(const CoordSystem& sys) {
  return sys.plane != Plane::Horizon || sys.origin == Origin::Topocentric;
}

bool Finite(Vec3 v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// The Earth (3) of the chosen theory at m.JD in the ecliptic of the date.
bool PlaceFromTheory(Model& m, ConverterTheory theory, int k, double T) {
  if (theory == ConverterTheory::New0) NewcombElements(m, k);
  if (theory == ConverterTheory::Jpl0) JplElements(m, k);
  // "APC2" and "JPL2" take the elements the model holds.
  NormaliseElements(m, k);
  if (!ElementsToPosition(m, k)) return false;
  if (theory == ConverterTheory::Jpl0) ApplyPrecession(m, PrecessionMatrix(m, 0.0, T), k);
  return true;
}

}  // namespace

Vec3 FromPolar(double Ldeg, double Bdeg, double r) {
  const double L = Rad(Ldeg), B = Rad(Bdeg);
  return Vec3{r * std::cos(B) * std::cos(L), r * std::cos(B) * std::sin(L), r * std::sin(B)};
}

Coordinates Shown(Vec3 v) {
  Coordinates c;
  c.X = Shown6(v.x);
  c.Y = Shown6(v.y);
  c.Z = Shown6(v.z);
  const double rxy = std::sqrt(v.x * v.x + v.y * v.y);
  if (rxy == 0.0) {
    // On the z axis the longitude is undefined: 0, and B = ±90° (0 at the origin).
    c.B = v.z > 0.0 ? 90.0 : (v.z < 0.0 ? -90.0 : 0.0);
    c.R = Shown6(std::fabs(v.z));
    return c;
  }
  Model s;
  Put(s, kOriginSlot, Vec3{});
  Put(s, kWork, v);
  const RelativePos p = RelativePosition(s, kOriginSlot, kWork);
  c.L = Shown6(p.L);
  c.B = Shown6(p.B);
  c.R = Shown6(p.range);
  return c;
}

Vec3 ToEclipticOfDate(const ConverterContext& ctx, CoordSystem sys, Vec3 v) {
  if (sys.plane == Plane::Horizon) v = HorizonToEquator(ctx, v);
  if (sys.plane != Plane::Ecliptic) v = EquatorToEcliptic(EquinoxT(ctx, sys), v);
  if (EquinoxT(ctx, sys) != ctx.T) v = Precess(ctx.T, v, false);
  return Add(v, OriginOf(ctx, sys.origin));
}

Vec3 FromEclipticOfDate(const ConverterContext& ctx, CoordSystem sys, Vec3 v, double* tau) {
  v = Sub(v, OriginOf(ctx, sys.origin));
  const double t = HourAngle(ctx, EclipticToEquator(ctx.T, v));
  if (tau) *tau = t;
  if (sys.plane == Plane::Horizon) return EquatorToHorizon(ctx, EclipticToEquator(ctx.T, v), t);
  if (EquinoxT(ctx, sys) != ctx.T) v = Precess(ctx.T, v, true);
  if (sys.plane == Plane::Equator) v = EclipticToEquator(EquinoxT(ctx, sys), v);
  return v;
}

ActionResult ConverterDateToJD(Model& m, const ConverterSettings& s, double* jdUT) {
  auto day = ParseFieldNumber(s.day), zone = ParseFieldNumber(s.zone);
  auto month = ParseFieldInt32(s.month), year = ParseFieldInt32(s.year);
  if (!day || !zone || !month || !year || *month < 1 || *month > 12 || std::fabs(*year) > 1000000 ||
      std::fabs(*day) > 1e6 || std::fabs(*zone) > 1e6)
    return Msg(kMsgBadDate);
  m.DateY = *year;
  m.DateM = *month;
  m.DateD = static_cast<float>(*day - *zone / 24.0);
  DateToJD(m);
  *jdUT = m.JD;
  return std::nullopt;
}

ActionResult ConverterJDToDate(Model& m, const std::string& jdText, const std::string& zoneText,
                               CalendarDate* local) {
  auto jd = ParseFieldNumber(jdText), zone = ParseFieldNumber(zoneText);
  if (!jd || !zone || std::fabs(*zone) > 1e6 || std::fabs(*jd) > kMaxAbsJD) return Msg(kMsgBadJD);
  m.JD = *jd;
  if (!JDToDate(m)) return Msg(kMsgBadJD);
  // The local date of the shifted JD, so that a zone never shows day 32 or 0.
  *local = JDToDate(*jd + *zone / 24.0);
  return std::nullopt;
}

ActionResult SetObjectCoordinates(Model& m, const ConverterSettings& s, int object, CoordSystem sys,
                                  Representation repr, const SourceTexts& typed, ConverterContext* ctx,
                                  Coordinates* out) {
  if (!HorizonAllowed(sys)) return Msg(kMsgHorizonSource);
  auto obsL = ParseFieldNumber(s.obsL), obsB = ParseFieldNumber(s.obsB);
  if (!obsL || !obsB || object < 0 || object > kObjectTyped) return Msg(kMsgConverterBadData);
  std::optional<Vec3> source;
  if (object == kObjectTyped && !(source = ReadSource(repr, typed))) return Msg(kMsgBadSource);

  ConverterContext c;
  c.obsL = *obsL;
  c.obsB = *obsB;
  if (ConverterDateToJD(m, s, &c.jdUT)) return Msg(kMsgConverterBadData);
  c.deltaT = DeltaT(c.jdUT);
  c.jd = s.etUt ? c.jdUT + c.deltaT / 86400.0 : c.jdUT;
  c.T = (c.jd - m.JD2000) / 36525.0;
  c.gmst = 24.0 * FracPos(Gmst(c.jdUT - 2400000.5) / 24.0);
  c.lmst = c.gmst + c.obsL / 15.0;
  if (c.lmst > 24.0) c.lmst -= 24.0;
  if (c.lmst < 0.0) c.lmst += 24.0;  // western longitudes

  // The Earth: the theory gives the Earth–Moon barycentre.
  m.JD = c.jd;
  if (!PlaceFromTheory(m, s.theory, kEarth, c.T)) return Msg(kMsgConverterBadData);
  const MoonPos moon = MoonPosition(c.T);
  const Vec3 toMoon = FromPolar(Deg(moon.lon), Deg(moon.lat), 1.0);
  c.earth = Sub(Get(m, kEarth), Scale(toMoon, kEarthFromBarycentre));
  Put(m, kEarth, c.earth);
  // The observer on the Earth's surface, equatorial of the date -> ecliptic.
  const double phi = Rad(c.obsB), theta = Rad(c.lmst * 15.0);
  Put(m, kOffsetSlot,
      Vec3{kEarthRadius * std::cos(phi) * std::cos(theta), kEarthRadius * std::cos(phi) * std::sin(theta),
           kEarthRadius * std::sin(phi)});
  EquToEcl(m, c.T, kOffsetSlot);
  c.observer = Add(c.earth, Get(m, kOffsetSlot));
  Put(m, kObserverSlot, c.observer);
  Put(m, kOriginSlot, Vec3{});

  Vec3 v;  // heliocentric ecliptic of date, m
  if (object == kObjectTyped) {
    v = ToEclipticOfDate(c, sys, *source);
  } else if (object == kObjectMoon) {
    v = Add(c.earth, Scale(toMoon, kMoonDistance));
    Put(m, kMoonSlot, v);
  } else if (object == kEarth) {
    v = c.earth;
  } else if (object > 0) {
    if (!PlaceFromTheory(m, s.theory, object, c.T)) return Msg(kMsgConverterBadData);
    v = Get(m, object);
  } else {
    Put(m, 0, Vec3{});
  }
  if (!Finite(v) || !Finite(c.earth) || !std::isfinite(c.lmst)) return Msg(kMsgConverterBadData);
  *ctx = c;
  *out = object == kObjectTyped ? Shown(Scale(*source, 1.0 / kThousandKm))
                                : Shown(Scale(FromEclipticOfDate(c, sys, v), 1.0 / kThousandKm));
  return std::nullopt;
}

ActionResult ConvertCoordinates(const ConverterContext& ctx, CoordSystem from, CoordSystem to, Representation repr,
                                const SourceTexts& src, Conversion* out) {
  if (!HorizonAllowed(to)) return Msg(kMsgHorizonTarget);
  if (!HorizonAllowed(from)) return Msg(kMsgHorizonSource);
  auto source = ReadSource(repr, src);
  if (!source) return Msg(kMsgBadSource);
  Conversion c;
  const Vec3 helio = ToEclipticOfDate(ctx, from, *source);
  c.object = FromEclipticOfDate(ctx, to, helio, &c.tau);
  c.sun = FromEclipticOfDate(ctx, to, Vec3{});
  c.earth = FromEclipticOfDate(ctx, to, ctx.earth);
  c.observer = FromEclipticOfDate(ctx, to, ctx.observer);
  if (!Finite(c.object) || !std::isfinite(c.tau)) return Msg(kMsgBadSource);
  c.shown = Shown(Scale(c.object, 1.0 / kThousandKm));
  *out = c;
  return std::nullopt;
}

ActionResult AdvanceDate(ConverterSettings* s, double jdUT, const std::string& daysText) {
  auto days = ParseFieldNumber(daysText);
  if (!days || std::fabs(*days) > 1e9) return Msg(kMsgBadDays);
  auto zone = ParseFieldNumber(s->zone);
  if (!zone || std::fabs(*zone) > 1e6) return Msg(kMsgConverterBadData);
  const CalendarDate local = JDToDate(jdUT + *days + *zone / 24.0);
  if (local.month == 0) return Msg(kMsgBadDays);
  s->day = SingleText(local.day);
  s->month = std::to_string(local.month);
  s->year = std::to_string(local.year);
  return std::nullopt;
}

Sketch DrawConversion(const Conversion& c, double scale) {
  Sketch k;
  k.Line(-7, 0, 7, 0, kGridGrey);
  k.Line(0, -7, 0, 7, kGridGrey);
  auto mark = [&](Vec3 v, double r, Rgb colour) { k.Circle(v.x / scale, v.y / scale, r, colour); };
  mark(c.sun, 0.1, Rgb{250, 200, 0});
  mark(c.earth, 0.06, kBlue);
  mark(c.observer, 0.03, kGreen);
  k.Line(c.observer.x / scale, c.observer.y / scale, c.object.x / scale, c.object.y / scale, Rgb{255, 170, 170});
  mark(c.object, 0.06, kRed);
  return k;
}

ActionResult ReadAngle(AngleUnit unit, bool minus, const std::array<std::string, 3>& parts,
                       const std::string& decimal, double* degrees) {
  double v = 0.0;
  if (unit == AngleUnit::Hms || unit == AngleUnit::Dms) {
    auto a = ParseFieldNumber(parts[0]), b = ParseFieldNumber(parts[1]), c = ParseFieldNumber(parts[2]);
    if (!a || !b || !c) return Msg(kMsgConverterBadData);
    v = *a + *b / 60.0 + *c / 3600.0;
    if (unit == AngleUnit::Hms) v *= 15.0;
  } else {
    auto d = ParseFieldNumber(decimal);
    if (!d) return Msg(kMsgConverterBadData);
    v = unit == AngleUnit::Radians ? Deg(*d) : *d;
  }
  if (!std::isfinite(v)) return Msg(kMsgConverterBadData);
  *degrees = minus ? -v : v;
  return std::nullopt;
}

AngleShown ShowAngle(double degrees, AngleUnit unit) {
  AngleShown s;
  s.negative = degrees < 0.0;
  const double a = std::fabs(degrees);
  switch (unit) {
    case AngleUnit::Hms:
    case AngleUnit::Dms: {
      const double units = unit == AngleUnit::Hms ? a / 15.0 : a;
      const double micro = units * 3600e6;
      if (micro < 9e18) {
        // Split in whole microseconds, so that 9.615″ never shows as 9.614999″.
        const long long us = std::llround(micro);
        s.parts[0] = static_cast<double>(us / 3600000000LL);
        s.parts[1] = static_cast<double>(us % 3600000000LL / 60000000LL);
        s.parts[2] = static_cast<double>(us % 60000000LL) / 1e6;
      } else {
        s.parts[0] = std::floor(units);
      }
      s.decimal = s.negative ? -units : units;
      break;
    }
    case AngleUnit::Degrees: s.decimal = degrees; break;
    case AngleUnit::Radians: s.decimal = Rad(degrees); break;
  }
  return s;
}

}  // namespace torvik
