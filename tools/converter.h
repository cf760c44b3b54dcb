// The coordinate converter: the place of the Sun, a planet or the Moon for a
// date and an observer, in any origin (heliocentric, geocentric,
// topocentric), reference plane (ecliptic, equator, horizon), equinox (of the
// date or J2000) and representation (polar or Cartesian), and the conversion
// of such coordinates into any other combination. Every conversion passes
// through the heliocentric ecliptic of the date, so the vector does not depend
// on the path. Also sidereal time and hour angle, date <-> JD with a time
// zone, and an angle converter. Fields show thousand km and degrees.
#pragma once

#include <array>
#include <string>

#include "core/calendar.h"
#include "core/message.h"
#include "core/model.h"
#include "tools/sketch.h"

namespace torvik {

inline constexpr const char* kConverterTitle = "Torvik6 - Преобразователь координат";
inline constexpr const char* kMsgBadSource = "Введите правильно исходные координаты";
inline constexpr const char* kMsgConverterBadData = "Введите правильно данные";
inline constexpr const char* kMsgBadDays = "Введите правильно к-во дней";
inline constexpr const char* kMsgBadDate = "Введите правильно дату";
inline constexpr const char* kMsgBadJD = "Введите правильно юлианскую дату";
inline constexpr const char* kMsgHorizonSource = "ГОРизонтальные координаты\nзадаются только ТОПОцентрические";
inline constexpr const char* kMsgHorizonTarget =
    "Преобразование в ГОРизонтальные координаты\nпроизводится только в ТОПОцентрические";

enum class ConverterTheory { New0, Jpl0, Apc2, Jpl2 };
enum class Origin { Heliocentric, Geocentric, Topocentric };
enum class Plane { Ecliptic, Equator, Horizon };
enum class Equinox { OfDate, J2000 };
enum class Representation { Polar, Cartesian };

// Objects of the option group: bodies 0..9, then the Moon and typed coordinates.
inline constexpr int kObjectMoon = 10;
inline constexpr int kObjectTyped = 11;

inline constexpr double kEarthRadius = 6378140.0;     // m
inline constexpr double kMoonDistance = 384400000.0;  // m
inline constexpr double kEarthFromBarycentre = 4672000.0;  // m, toward the anti-Moon

// A combination of origin, plane and equinox. The horizon belongs to the
// topocentric origin only and is always of the date.
struct CoordSystem {
  Origin origin = Origin::Heliocentric;
  Plane plane = Plane::Ecliptic;
  Equinox equinox = Equinox::OfDate;
};

struct Vec3 {
  double x = 0.0, y = 0.0, z = 0.0;
};

// The date, time and observer of the last "Задать координаты".
struct ConverterContext {
  double jdUT = 0.0;    // Julian date of the UT date
  double deltaT = 0.0;  // ET − UT, s
  double jd = 0.0;      // date of the theories (JD_ET with the ET−UT box, else JD_UT)
  double T = 0.0;       // (jd − J2000) / 36525
  double gmst = 0.0;    // hours, 0..24
  double lmst = 0.0;    // hours, 0..24
  double obsL = 0.0, obsB = 0.0;  // observer longitude (east) and latitude, degrees
  Vec3 earth;     // heliocentric ecliptic of date, m
  Vec3 observer;  // heliocentric ecliptic of date, m
};

// What "Задать координаты" reads besides the object and the system.
struct ConverterSettings {
  std::string day = "1.5", month = "1", year = "2000";  // local time
  std::string zone = "3";                              // hours added to UT
  std::string obsL = "44.5", obsB = "48.7";            // degrees
  bool etUt = false;  // "Учесть в теории при расчете координат ET- UT, минут"
  ConverterTheory theory = ConverterTheory::New0;
};

// Coordinates as the fields show them (truncated to six decimals): X, Y, Z
// and R in thousand km, L and B in degrees.
struct Coordinates {
  double X = 0.0, Y = 0.0, Z = 0.0, L = 0.0, B = 0.0, R = 0.0;
};

// The source fields as typed.
struct SourceTexts {
  std::string x = "1000000", y = "0", z = "1000";
  std::string l = "45", b = "10", r = "1000000";
};

// "G->J": DateD = day − zone/24 (DateY, DateM, DateD and JD of the model),
// the UT Julian date in *jdUT. "Введите правильно дату" / "Torvik6.0".
ActionResult ConverterDateToJD(Model& m, const ConverterSettings& s, double* jdUT);
// "J->G": the local date of a UT Julian date (JD of the model set, OutY, OutM,
// OutD the UT date). "Введите правильно юлианскую дату" / "Torvik6.0".
ActionResult ConverterJDToDate(Model& m, const std::string& jd, const std::string& zone, CalendarDate* local);

// "Задать координаты": the time (JD, ΔT, GMST, LMST), the Earth and the
// observer of the date, then the object's coordinates in `sys`. With the
// typed object the source fields are read in `repr` and returned as they
// are (both representations). Writes the Earth (3), the object (its slot,
// the Moon in 10), the observer's offset (12), the observer (13) and the
// origin (15) of the model.
ActionResult SetObjectCoordinates(Model& m, const ConverterSettings& s, int object, CoordSystem sys,
                                  Representation repr, const SourceTexts& typed, ConverterContext* ctx,
                                  Coordinates* out);

// The result of "Преобразовать координаты", and the vectors of the picture
// (target frame, m).
struct Conversion {
  Coordinates shown;
  Vec3 object, sun, earth, observer;
  double tau = 0.0;  // hour angle LMST·15 − α, degrees in [0, 360)
};
// Converts the source fields (read in `repr`) from `from` to `to`.
ActionResult ConvertCoordinates(const ConverterContext& ctx, CoordSystem from, CoordSystem to, Representation repr,
                                const SourceTexts& src, Conversion* out);

// The vector of a system brought to the heliocentric ecliptic of the date and
// back; `tau` (when given) receives the hour angle of the equatorial
// direction, degrees. Metres in, metres out.
Vec3 ToEclipticOfDate(const ConverterContext& ctx, CoordSystem sys, Vec3 v);
Vec3 FromEclipticOfDate(const ConverterContext& ctx, CoordSystem sys, Vec3 v, double* tau = nullptr);

// A vector (any unit) as polar angles: L in [0°, 360°), B, and the length.
// The zero vector gives (0, 0, 0), a vector along z gives B = ±90°, L = 0.
Coordinates Shown(Vec3 thousandKm);
Vec3 FromPolar(double Ldeg, double Bdeg, double r);

// "Пересчитать координаты для JD = JD + ": the local date fields of the UT
// Julian date jdUT + days. "Введите правильно к-во дней" on a bad number.
ActionResult AdvanceDate(ConverterSettings* s, double jdUT, const std::string& days);

// The picture: the Sun, the Earth, the observer and the object of the
// target frame at (x, y) / scale; axes through the origin.
Sketch DrawConversion(const Conversion& c, double scale);

// ---- angle tool ----
enum class AngleUnit { Hms, Dms, Degrees, Radians };
// "Считать угол ": hours–minutes–seconds or degrees–minutes–seconds from the
// three fields, degrees or radians from the decimal field; `minus` is the
// "--" sign option. The angle in degrees; "Введите правильно данные".
ActionResult ReadAngle(AngleUnit unit, bool minus, const std::array<std::string, 3>& parts,
                       const std::string& decimal, double* degrees);
// "Преобразовать угол": the angle in a unit. For h-m-s and d-m-s the three
// parts (the sign on the first one) and the decimal hours or degrees; for
// degrees and radians the decimal value alone.
struct AngleShown {
  bool negative = false;
  double parts[3] = {};  // whole hours/degrees, whole minutes, seconds to 1e-6 (≥ 0)
  double decimal = 0.0;  // in the unit (hours for h-m-s)
};
AngleShown ShowAngle(double degrees, AngleUnit unit);

}  // namespace torvik
