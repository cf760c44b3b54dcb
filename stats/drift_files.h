// The drift files between the statistics and the optimization: drifts per
// hundred years in drift units (arcseconds, millionths, thousand km, minutes),
// stored as Fix(MK · drift).
//
// Imitator drift file "\" + folder + "\TorvikNab.dat" (folder NEW, APC, JPL, Mox, Other):
//   line 1   "Обработанные данные  \NEW  по всем планетам"
//   line 2   column titles
//   3..12    planet 1..10, then Fix(MK·DriftNab(planet, p)) for p = 1..6
// Plan drift file "\Plan" + plan + "\Torvik" + planet + "Ras" + B|O + ".dat":
//   line 1   "Обработанные данные расчета для плана Бокса № " + plan + "  по планете № " + planet
//   line 2   column titles
//   3..      experiment 1..NExp (24 for B4D, 25 for O4K), then Fix(MK·DriftRas(planet, p, e)), p = 1..6
// All number lines are print lines in 14-character zones. Readers skip the two
// header lines and take the records in file order (the leading number is not
// an index).
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"

namespace torvik {

inline constexpr int kImitatorDriftRecords = 10;
inline constexpr int kMaxExperiments = 25;

// NExp of a plan kind: 24 for "B4D" (letter 'B'), 25 for "O4K" ('O').
int ExperimentCount(char letter);

// One record's six drifts, index p = 1..6 (0 unused).
using DriftRow = std::array<double, 7>;

struct DriftTables {
  std::array<DriftRow, 11> DriftNab{};                                        // planet 1..10
  std::array<std::array<DriftRow, kMaxExperiments + 1>, 11> DriftRas{};  // planet, experiment 1..25
};

std::string ImitatorDriftPath(const std::string& folder);  // "\NEW\TorvikNab.dat"
std::string PlanDriftPath(int plan, int planet, char letter);  // "\Plan1\Torvik3RasB.dat"

std::vector<std::string> ImitatorDriftHeader(const std::string& folder);
std::vector<std::string> PlanDriftHeader(int plan, int planet);

// The whole file: the two header lines and one record per row (rows[1..n]).
std::vector<std::string> DriftFileLines(const std::vector<std::string>& header, const DriftRow* rows, int n);

// Reads the two header lines (into `header` when given) and up to n records
// into rows[1..n], each value divided by MK. Returns the number of complete
// records (n when the file is sound; fewer after a bad number, a missing header
// line or the end of the data; −1 when the file cannot be read). The values
// read so far stay in rows.
int ReadDriftLines(const std::vector<std::string>& lines, DriftRow* rows, int n, std::vector<std::string>* header);
int ReadDriftFile(const std::filesystem::path& file, DriftRow* rows, int n, std::vector<std::string>* header);

// A drift file the program keeps and that is not there yet is a file of zeros
// in its own layout: the header and n records of zeros. CreateMissingDriftFile
// writes it when (and only when) no file of that name exists; a file that
// exists, sound or damaged, is never touched.
enum class DriftFileState { Present, Created, Failed };
DriftFileState CreateMissingDriftFile(const std::filesystem::path& file, const std::vector<std::string>& header, int n);

// "Ошибка изменения и записи данных в файл" CR LF + path.
UserMessage DriftWriteErrorMessage(const std::string& relPath);
// The refusals of a replacement without the matching drift file loaded.
inline constexpr const char* kNoObservedData = "У Вас не загружены данные наблюдений";
inline constexpr const char* kNoComputedData = "У Вас не загружены расчетные данные";

}  // namespace torvik
