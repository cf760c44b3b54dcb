#include "stats/drift_files.h"

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
  FieldReader in(lines);
  for (int h = 0; h < 2; ++h) {
    auto line = in.NextLine();
    if (!line) return 0;
    if (header) header->push_back(*line);
  }
  for (int i = 1; i <= n; ++i) {
    if (!in.NextNumber()) return i - 1;  // the record number, not used as an index
    for (int p = 1; p <= 6; ++p) {
      auto v = in.NextNumber();
      if (!v) return i - 1;
      rows[i][static_cast<std::size_t>(p)] = *v / kStatsMK;
    }
  }
  return n;
}

int ReadDriftFile(const std::filesystem::path& file, DriftRow* rows, int n, std::vector<std::string>* header) {
  auto lines = ReadTextFile(file);
  if (!lines) return -1;
  return ReadDriftLines(*lines, rows, n, header);
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
