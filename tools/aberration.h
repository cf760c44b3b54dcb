// The apparent direction from the Earth to one body in a Solar System that
// moves with (VXsys, VYsys, VZsys) and with a light speed reduced N times,
// split into a planetary aberration (the body seen where it was one light
// time earlier) and a stellar aberration (the observer displaced by its own
// velocity over the light time). The light time is found by repeating the
// fixed point T = S(T)/c, one step per iteration. Heliocentric ecliptic of
// date of the Newcomb-type theory; metres, m/s, degrees.
#pragma once

#include <string>

#include "core/message.h"
#include "core/model.h"
#include "tools/sketch.h"

namespace torvik {

inline constexpr const char* kAberrationTitle = "Компоненты аберрации (обратный отсчет) Torvik6";
inline constexpr const char* kMsgOneObject = "Должен быть отмечен только 1 объект";
inline constexpr const char* kMsgAberrationBadData = "Введите правильно данные ";
inline constexpr const char* kMsgAberrationBadVelocity = "Введите правильно скорости";

// The fields of the screen as typed.
struct AberrationTexts {
  std::string jd = "2451545";       // "задавать GelioL для JD="
  bool theoryLongitudes = true;     // its check box: the theory's mean longitudes
  std::string gelioL3 = "100.46";   // "GelioL3", degrees
  std::string gelioLpl = "355.45";  // "GelioLpl", degrees
  std::string slowdown = "1";       // "скорость света Vsv уменьшить в … раз"
  std::string vx = "0", vy = "0", vz = "0";  // "VXsys", "VYsys", "VZsys", km/s
};

struct Direction {
  double L = 0.0, B = 0.0;  // degrees
};

// What the screen shows after algorithm 1 and after each iteration.
struct AberrationResult {
  // True geometry (upper block): metres and m/s.
  double earth[6] = {}, body[6] = {};
  double S = 0.0;     // Earth–body distance, m (of the last step)
  double Tdel = 0.0;  // light time S/c, s
  Direction real;
  // After an iteration (lower block and the angle pairs).
  double retarded[6] = {};  // retarded body position and its velocity in the moving system
  double earthMoving[6] = {};  // the Earth's true position and its velocity in the moving system
  Direction planetary, stellar, total, observed, simplified;
  int iterations = 0;
};

class AberrationStudy {
 public:
  // "Найти параметры Земли и объекта наблюдения ": the bodies ticked (0..9),
  // the texts. Writes JDstart, JD, the elements, positions and velocities of
  // the Earth and the body and their X0..VZ0; the Sun at the origin at rest. Resets the light time to S/c and the iteration count to 0.
  ActionResult FindGeometry(Model& m, const bool (&ticked)[10], const AberrationTexts& t);
  // One iteration of the light time in the moving system, from the geometry
  // of the last FindGeometry; "Введите правильно скорости" on a bad velocity
  // or an arithmetic fault. Body 10 is the scratch point of the simplified
  // direction.
  ActionResult Iterate(Model& m, const std::string& vx, const std::string& vy, const std::string& vz);

  bool HasGeometry() const { return hasGeometry_; }
  int Body() const { return p_; }
  double LightSpeed() const { return c_; }
  const AberrationResult& Result() const { return r_; }

  // The picture: Sun, Earth, body, retarded body and displaced Earth with
  // their lines of sight, in the x–y (xz = false) or x–z projection;
  // positions / mxy, velocity arrows velocity / 10000 per picture unit.
  Sketch Draw(bool xz, double mxy, bool afterIteration) const;

 private:
  AberrationResult r_;
  int p_ = 4;
  double c_ = 0.0;
  bool hasGeometry_ = false;
  double displaced_[3] = {};  // the observer displaced by S·V(3)/c, m
};

}  // namespace torvik
