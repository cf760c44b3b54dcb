// An ephemeris source that stands in for the engine in an imitator run: at the
// Julian date of each step it places the Sun and the watched planet in the
// model state, and the run feeds those positions to the orbit determination.
// The run steps the date exactly as a model run does (JD += h / sekD per step,
// forward whatever the chosen direction) and writes the orbit records into the
// imitator's own folder.
#pragma once

#include <filesystem>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

// The four sources of the option group "имитатор".
enum class ImitatorKind { New, Apc, Jpl, Mox };

class Imitator {
 public:
  virtual ~Imitator() = default;

  // Which source this is; gives the mode label and the folder of the orbit
  // file ("NEW_0" in \NEW, "APC_2" in \APC, "JPL_DE405 " in \JPL, "Mox_0" in \Mox).
  virtual ImitatorKind Kind() const = 0;

  // At "Начать", after the start date is set (m.JD = m.JDstart) and before the
  // first step; folder is the program folder. The JPL source finds the record
  // of m.JDstart here. A message ("В файле нет такой даты", title "Torvik6")
  // means that no run starts.
  virtual ActionResult Start(Model& m, const std::filesystem::path& folder, int planet) = 0;

  // Once per step, for m.JD: writes X, Y, Z (metres, ecliptic J2000) of the
  // Sun (index 0) and of planet; heliocentric sources leave the Sun at the
  // origin. Velocities are not touched. A message ("Ошибка чтения файлов JPL",
  // title "Torvik6") ends the run at this step, before its positions are used.
  virtual ActionResult ImitatePosition(Model& m, int planet) = 0;

  // The source's own orbital elements of the planet at m.JD, written into
  // `m` (a copy of the model that the caller owns) together with the planet's
  // position, for the start of the orbit determination: its windows then open
  // where this source's orbit has its perihelion, aphelion and nodes, and the
  // first records describe the source's orbit. False when the source has no
  // elements of its own (the loaded elements are used).
  virtual bool StartElements(Model& m, int planet) {
    (void)m;
    (void)planet;
    return false;
  }

  // When the run is over for good: before the next run starts and when the run
  // object goes away. "Остановить" and "Продолжить" keep the source as it is
  // (a continued JPL run reads on from the open DE405 file). Must be safe to
  // call more than once.
  virtual void Finish() {}
};

}  // namespace torvik
