#include "stats/drift_files.h"

#include <cmath>
#include <system_error>

#include "core/textfile.h"
#include "stats/points.h"

namespace torvik {

int ExperimentCount(char letter) { return letter == 'O' ? 25 : 24; }

std::string ImitatorDriftPath(const std::string& folder) { return "\\" + folder + "\\TorvikNab.dat"; }

std::string PlanDriftPath(int plan, int planet, char letter) {
  return "\\Plan" + std::to_string(plan) + "\\Torvik" + std::to_string(planet) + "Ras" + std::string(1, letter) +
         ".dat";
}

std::vector<std::string> ImitatorDriftHeader(const std::string& folder) {
  return {"Обработанные данные  \\" + folder + "  по всем планетам",
          "№ планеты      перигелий    восхождение    наклон     эксцентриситет   полуось       период"};
}

std::vector<std::string> PlanDriftHeader(int plan, int planet) {
  return {"Обработанные данные расчета для плана Бокса № " + std::to_string(plan) + "  по планете № " +
              std::to_string(planet),
          "№ эксперимента  перигелий   восхождение     наклон    эксцентриситет    полуось        период"};
}

std::vector<std::string> DriftFileLines(const std::vector<std::string>& header, const DriftRow* rows, int n) {
  std::vector<std::string> out = header;
  for (int i = 1; i <= n; ++i) {
    PrintLine line;
    line.Num(i);
    for (int p = 1; p <= 6; ++p) line.Num(FixStored(kStatsMK * rows[i][static_cast<std::size_t>(p)]));
    out.push_back(line.str());
  }
  return out;
}

int ReadDriftLines(const std::vector<std::string>& lines, DriftRow* rows, int n, std::vector<std::string>* header) {
  if (n < 0) return 0;
  const auto count = static_cast<std::size_t>(n);
  for (std::size_t h = 0; h < 2; ++h) {
    if (h >= lines.size()) return 0;
    if (header) header->push_back(lines[h]);
  }
  // Exactly n record lines of seven whole numbers each: a decimal comma or an
  // extra field changes the count of a line, a repeated line the count of
  // lines, and either would shift every value after it.
  for (std::size_t i = 1; i <= count; ++i) {
    if (i + 1 >= lines.size()) return static_cast<int>(i) - 1;
    const auto f = SplitFields(lines[i + 1]);
    if (f.size() != 7) return static_cast<int>(i) - 1;
    DriftRow row{};
    for (std::size_t p = 0; p < 7; ++p) {
      const auto v = ParseNumber(f[p]);
      if (!v || !(std::fabs(*v) <= kMaxDriftValue) || *v != std::trunc(*v)) return static_cast<int>(i) - 1;
      if (p > 0) row[p] = *v / kStatsMK;  // the record number is not used as an index
    }
    rows[i] = row;
  }
  // Nothing but blank lines after the last record.
  for (std::size_t i = count + 2; i < lines.size(); ++i)
    if (lines[i].find_first_not_of(" \t") != std::string::npos) return n - 1;
  return n;
}

int ReadDriftFile(const std::filesystem::path& file, DriftRow* rows, int n, std::vector<std::string>* header,
                  FileStamp* stamp) {
  bool ended = false;
  auto lines = ReadTextFile(file, &ended, stamp);
  if (!lines) return -1;
  const int got = ReadDriftLines(*lines, rows, n, header);
  // A file cut inside its last number has no line end after it.
  return got == n && !ended ? n - 1 : got;
}

DriftFileState CreateMissingDriftFile(const std::filesystem::path& file, const std::vector<std::string>& header,
                                      int n) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec) || ec) return ec ? DriftFileState::Failed : DriftFileState::Present;
  const std::vector<DriftRow> zeros(static_cast<std::size_t>(n) + 1, DriftRow{});
  return WriteTextFile(file, DriftFileLines(header, zeros.data(), n)) ? DriftFileState::Created
                                                                      : DriftFileState::Failed;
}

UserMessage DriftWriteErrorMessage(const std::string& relPath) {
  return {"Ошибка изменения и записи данных в файл\r\n" + relPath, kTitle};
}

}  // namespace torvik
