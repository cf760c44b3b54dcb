// Filling a drift file from its orbit files, as the statistics screen does it
// one file at a time: for every experiment of a plan (or for the imitator's
// own orbit file) and every element chosen, "Загрузить данные вычислительного
// эксперимента полученные", "Обработать данные " with the screen's fit
// options, "Загрузить значения смещений в файле" and "Изменить это смещение на
// рассчитанное". The drift file is created (zeros) when it is not there yet
// and is written only through the screen's own replacement; an orbit file
// that is missing or damaged is named and skipped.
//
//   DriftFill f;
//   f.plan = 1; f.planet = 1; f.elements = {1};
//   DriftFillResult r = FillDrifts(folder, f);
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"
#include "stats/statistics.h"

namespace torvik {

struct DriftFill {
  bool imitator = false;             // the imitator file instead of a plan file
  std::string imitatorFolder = "JPL";  // "NEW", "APC", "JPL", "Mox"
  int plan = 1;
  char planLetter = 'B';
  int planet = 1;
  std::vector<int> elements{1};      // 1..6
  int from = 1, to = 24;             // experiments of a plan file
  // The fit: NCoef, NCP, TYear, sweep and criterion as the screen has them.
  // IStart, IEnd and T0 come from each file as its load sets them, unless
  // pointsFrom / pointsTo / t0 are given.
  StatsInputs fit;
  int pointsFrom = 0, pointsTo = 0;  // 0: the first and the last point
  bool ownT0 = false;
};

// One drift written (or the reason an orbit file was skipped).
struct DriftFillRow {
  int experiment = 0;  // 0 for the imitator file
  std::string runPath;
  int element = 0;
  double drift = 0.0, limit = 0.0;
  bool written = false;
  ActionResult failure;  // why nothing was written for this file and element
};

struct DriftFillResult {
  std::string driftPath;           // the drift file filled
  std::vector<DriftFillRow> rows;  // in the order written
  int skipped = 0;                 // rows not written
  ActionResult failure;            // the drift file itself could not be loaded or written
};

DriftFillResult FillDrifts(const std::filesystem::path& folder, const DriftFill& f);

}  // namespace torvik
