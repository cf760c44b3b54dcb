// The drift files of the statistics as the source of the model criterion:
// the imitator drift file "\" + folder + "\TorvikNab.dat" (ten records) and
// the plan drift file "\Plan" + plan + "\Torvik" + planet + "RasB.dat"
// (24 records). The plan criterion always reads the "B" file, whatever plan
// kind the statistics screen was last set to.
#pragma once

#include <string>
#include <vector>

#include "plan/regression.h"

namespace torvik {

// The imitator folder of the option caption ("New" → "NEW"; "APC", "JPL",
// "Mox", "Other" as they are).
std::string ImitatorFolderOf(const std::string& option);

// Readers over stats/drift_files: a missing, short or malformed file gives
// "Ошибка чтения данных из файла" CR LF + relative path.
DriftSource StatsDriftSource();

}  // namespace torvik

namespace torvik {

// What "Показать наблюдаемые вековые смещения параметров орбит планет" and
// "Показать данные многофакторного  планирования " list: the two header
// lines and one text line per record read; `failure` when the file is
// missing or short (the records read so far are listed).
struct DriftListing {
  std::vector<std::string> header, lines;
  ActionResult failure;
};
DriftListing ListObservedDrifts(const std::filesystem::path& folder, const std::string& imitatorOption);
DriftListing ListPlanDrifts(const std::filesystem::path& folder, int plan, int planet);

}  // namespace torvik
