// The comparison of the imitators ("Сравнение имитаторов"): the watched planet
// at one Julian date from every ephemeris source, and their differences.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

// One source: X, Y, Z (thousand km) and L, B (degrees), R (thousand km) of the
// planet seen from the centre of the source's frame.
struct CompareTuple {
  const char* label = "";
  double X = 0.0, Y = 0.0, Z = 0.0, L = 0.0, B = 0.0, R = 0.0;
};
// First minus second: dL, dB in arc seconds (dL folded into ±180°·3600),
// dR, dX, dY, dZ in thousand km.
struct CompareDiff {
  const char* label = "";
  double dL = 0.0, dB = 0.0, dR = 0.0, dX = 0.0, dY = 0.0, dZ = 0.0;
};

// Row order of the table.
enum CompareRow { kJplBary, kJplSun, kJpl0, kApc, kNewDate, kNew2000, kMox, kCompareRows };

struct Comparison {
  double JD = 0.0;
  int planet = 0;
  std::array<CompareTuple, kCompareRows> rows;
  std::array<CompareDiff, 7> diffs;
};

// CompareImitators for planet at jd (sets m.JD = jd). Leaves the Sun and the
// planet where the last source (Mox) put them; nothing else of the model
// changes (the elements, T and the scratch slots the sources use are those of
// a copy). Messages: "Для Солнца нет
// проверки" (Torvik6.0) for the Sun, "В файле нет такой даты" (Torvik6) when
// the DE405 files do not hold jd, "Ошибка вычислений" (Torvik6.0) otherwise.
ActionResult CompareImitators(Model& m, const std::filesystem::path& folder, int planet, double jd,
                              Comparison& out);

// The table as the screen prints it, one text per line (values Fix(v·MK)/MK)
// in columns for a monospaced font: the title, the heading and seven rows of
// L, B, R, the heading and seven rows of dL, dB, dR, then the same two blocks
// of X, Y, Z and dX, dY, dZ.
std::vector<std::string> ComparisonLines(const Comparison& c);

// A heliocentric place: X, Y, Z in metres, L, B in degrees, R in thousand km.
struct SourcePosition {
  double X = 0.0, Y = 0.0, Z = 0.0, L = 0.0, B = 0.0, R = 0.0;
};
// The planet at jd from one source. Sources: "jpl" (the DE405 files of
// folder), "apc", "new" (Newcomb), "mox" and "jpl0" (the JPL elements). m is
// the model as the program starts it; the source writes its JD, the planet's
// elements and the Sun's and the planet's positions. Messages: those of the
// DE405 files, "Ошибка вычислений" otherwise. "apc" is not for two threads
// at once.
ActionResult ImitatorPosition(Model& m, const std::string& source, int planet, double jd,
                              const std::filesystem::path& folder, SourcePosition& out);

}  // namespace torvik
