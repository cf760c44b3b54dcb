// The two-body orbit check of the parameters screen: Sun + one planet from the
// initial data, integrated by fourth-order Runge–Kutta with a finer step inside
// the perihelion window, measuring period, eccentricity, mean distance and
// speed, perihelion and node longitudes, inclination and their drifts.
//
// A run is resumable: Start builds the state, then every RunBatch performs
// steps up to the next screen update (NC0 steps) and returns; the caller yields
// to its event loop between batches while Running() is true. Stop/Continue and
// "сделать NC0 шагов" act on the model's Stop flag as the buttons do.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

inline constexpr const char* kMsgSunNoCheck = "Для Солнца нет проверки";
inline constexpr const char* kMsgSunNoCheckTitle = "Torvik4.0";

// Largest step (s) and step divisor of the check; larger ones are "Задайте
// правильно данные".
inline constexpr double kMaxCheckStep = 1e7, kMaxCheckReduction = 1e6;

struct OrbitCheckInputs {
  int body = 1;                   // option row Солнце … Ксена (0..10)
  std::string nc0 = "1000";       // "NC0, шагов"
  std::string h0 = "3600";        // "Шаг решения уравнений,с", s
  std::string nRed = "100";       // the divisor after "/"
  std::string dAlfa = "1";        // "+/-dAlfa, град"
  bool atPerihelion = false;      // check box "AlfaP0=AlfaEklip="
  std::string lambda;             // its field, ecliptic longitude in degrees
  bool vsol0 = true;              // "Vsol=0": the Sun held fixed
};

// The result fields as the screen shows them; a field not yet measured keeps
// its previous text (empty at first).
struct OrbitCheckFields {
  std::string period;      // "Период обращения", days
  std::string periodNote;  // "(справочно " + Tsid + " дней)"
  std::string eks;         // "Эксцентриситет Eks"
  std::string alfaP;       // "Перигелий AlfaP", degrees
  std::string alfaPDrift;  // "+/-" beside it, arc seconds
  std::string alfaU;       // "Восход. узел AlfaU", degrees
  std::string alfaUDrift;  // "+/-" beside it, arc seconds
  std::string wsr;         // "Wsr = Vsr / Rsr", rad/year
  std::string rsr;         // "Rsr=(Lmax+Lmin)/2", thousand km
  std::string lmin, lmax;  // "Lmin ", "Lmax ", thousand km
  std::string vsr;         // "Vsr=(Vmax+Vmin)/2", m/s
  std::string vmin, vmax;  // "Vmin", "Vmax", m/s
  std::string betta;       // "Угол наклона Betta", degrees
  std::string dEsys;       // "dEsys, %"
  std::string dT;          // "dT,лет", years
  std::string alfaEklip;   // "AlfaP0=AlfaEklip=" field: the current longitude L, degrees
};

// The measured values behind the fields (SI and degrees, untruncated).
struct OrbitCheckValues {
  double period = 0.0;       // days, from the last perihelion
  double eks = 0.0;
  double alfaP = 0.0;        // degrees, reduced to the orbit plane
  double alfaU = 0.0;        // degrees
  double rsr = 0.0;          // m
  double vsr = 0.0;          // m/s
  double wsr = 0.0;          // rad/year
  double lmin = 0.0, lmax = 0.0;  // m
  double vmin = 0.0, vmax = 0.0;  // m/s
  double bettaMax = 0.0;     // rad
  double dEsys = 0.0;        // percent
  double longitude = 0.0;    // current L, degrees 0..360
  int perihelia = 0;         // perihelia seen since Start
  int nodes = 0;             // ascending nodes seen since Start
};

class OrbitCheck {
 public:
  // Called after every step, at every perihelion (after its fields are set)
  // and at every screen update (after its fields are set); for drawing.
  struct Hooks {
    std::function<void(const OrbitCheck&)> afterStep;
    std::function<void(const OrbitCheck&)> atPerihelion;
    std::function<void(const OrbitCheck&)> atUpdate;
  };

  void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

  // "Проверить параметры орбиты и ошибку их определения": builds the start
  // state from X0..VZ0 of the Sun and the body, sets Stop = 0 and makes the
  // check running. The Sun gives "Для Солнца нет проверки" / "Torvik4.0" and
  // changes nothing; bad fields give "Задайте правильно данные" / "Torvik6".
  ActionResult Start(Model& m, const OrbitCheckInputs& in);
  // One pass of the loop: steps until the step counter reaches NC0, then the
  // screen update; Running() turns false when Stop = 1 is seen there or on a
  // fault ("Ошибка решения уравнений" / "Torvik6.0", the last good state kept).
  ActionResult RunBatch(Model& m);
  bool Running() const { return running_; }
  bool Started() const { return started_; }

  // "Остановить": Stop = 1; the loop ends at its next update.
  static void RequestStop(Model& m) { m.Stop = 1; }
  // "Продолжить ": Stop = 0 and running again from the current state (nothing
  // happens before a successful Start).
  void Continue(Model& m);
  // "сделать NC0 шагов": Stop = 1, the step counter reset and NC0 read again,
  // so the next RunBatch performs exactly NC0 steps and ends the loop.
  ActionResult PrepareNC0Steps(Model& m, const std::string& nc0);

  const OrbitCheckFields& Fields() const { return fields_; }
  const OrbitCheckValues& Values() const { return values_; }
  int Body() const { return body_; }
  double Time() const { return t_; }          // s since Start
  double Step() const { return h_; }          // current step, s
  long long StepsDone() const { return steps_; }
  std::int16_t Nc0() const { return nc0_; }
  // Current positions (m) and velocities (m/s): 0..2 Sun x, y, z; 3..5 planet;
  // 6..8 Sun vx, vy, vz; 9..11 planet.
  const std::array<double, 12>& State() const { return s_; }

 private:
  using State12 = std::array<double, 12>;
  State12 Derivative(const State12& s) const;
  bool InWindow(double l) const;
  void CentreWindow(double c);
  void AfterStep(Model& m);
  void Perihelion(Model& m, double l);
  bool Update(Model& m);  // false when the energy check is not finite

  Hooks hooks_;
  OrbitCheckFields fields_;
  OrbitCheckValues values_;
  State12 s_{};
  int body_ = 1;
  bool started_ = false, running_ = false;
  double gm0_ = 0.0, gmj_ = 0.0;     // gamma·mSol, gamma·mPl(j)
  double m0_ = 0.0, mj_ = 0.0;       // kg
  double coupling_ = 0.0;            // 1 when the Sun moves
  double t_ = 0.0, h_ = 0.0, h0_ = 0.0, nRed_ = 1.0, dAlfa_ = 1.0;
  double lmin_ = 0.0, lmax_ = 0.0, vmin_ = 0.0, vmax_ = 0.0, bettaMax_ = 0.0;
  double lPrev_ = 0.0, zPrev_ = 0.0, rPrev_ = 0.0;
  double winLow_ = 0.0, winHigh_ = 0.0;
  std::int16_t detector_ = 0;        // 0 outside the window, 1 tracking, 2 taken
  bool approaching_ = false;         // the distance fell inside the window
  double tPerihelion_ = 0.0;
  double alfaPStart_ = 0.0, alfaUStart_ = 0.0, alfaU_ = 0.0;  // degrees
  double e0_ = 0.0, r0_ = 0.0;
  std::int16_t counter_ = 0, nc0_ = 1000;
  long long steps_ = 0;
};

}  // namespace torvik
