// Heliocentric positions and velocities from the DE405 files of the program
// folder, for checking the reduction chain against an independent apparent
// place: the positions are the ephemeris itself, the velocities its central
// difference over ±0.01 day. The files are read forward; a date before the
// current record (or far after it) locates the file again.
#pragma once

#include <filesystem>

#include "core/message.h"
#include "core/model.h"
#include "model/de405.h"

namespace torvik {

class De405Theory {
 public:
  explicit De405Theory(std::filesystem::path folder) : folder_(std::move(folder)) {}
  // Body k (1..9; 3 is the Earth–Moon barycentre) at the Julian date jd (TDB):
  // X, Y, Z(k) heliocentric ecliptic J2000 in metres and VX, VY, VZ(k) in m/s.
  // Other slots are untouched. "В файле нет такой даты" or "Ошибка чтения
  // файлов JPL" (title "Torvik6") when the files do not cover jd.
  ActionResult Evaluate(Model& m, int k, double jd);

 private:
  std::filesystem::path folder_;
  De405Reader reader_;
};

}  // namespace torvik
