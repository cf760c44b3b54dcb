#include "stats/points.h"

#include <cmath>

#include "core/textfile.h"

namespace torvik {

void PointTable::Reset() {
  NPoint = 0;
  tDay.assign(1, 0.0);
  Par.assign(1, {});
}

int PointTable::Add(double t, const std::array<double, 7>& par) {
  tDay.push_back(t);
  Par.push_back(par);
  Par.back()[0] = 0.0;
  return ++NPoint;
}

std::string PointTable::HeaderText() const { return header[0] + "\r\n" + header[1] + "\r\n" + header[2] + "\r\n" + header[3]; }

std::string PointTable::Title() const {
  // 15 characters, not bytes: the mode label may be Cyrillic.
  const std::string& h = header[2];
  std::size_t i = 0;
  for (int n = 0; i < h.size(); ++i)
    if ((static_cast<unsigned char>(h[i]) & 0xC0) != 0x80 && n++ == 15) break;
  return h.substr(0, i);
}

double UFactor(int p) {
  if (p < 3.5) return 3600.0;
  if (p == 4) return kStatsMK;
  if (p == 5) return 1.0;
  if (p == 6) return 1440.0;
  return 1.0;
}

double FixStored(double x) {
  const double r = std::nearbyint(x);
  if (std::fabs(x - r) <= std::fmax(1e-6, 1e-12 * std::fabs(x))) return r;
  return std::trunc(x);
}

std::string PlanRunPath(int plan, int planet, char letter, int experiment) {
  return "\\Plan" + std::to_string(plan) + "\\Txt" + std::to_string(planet) + "\\Torvik" + std::to_string(planet) +
         "Ras" + std::string(1, letter) + std::to_string(experiment) + ".txt";
}

std::string ImitatorRunPath(const std::string& folder, int planet) {
  return "\\" + folder + "\\Torvik" + std::to_string(planet) + "Nab.txt";
}

UserMessage ReadErrorMessage(const std::string& relPath) {
  return {"Ошибка чтения данных из файла\r\n" + relPath, kTitle};
}

UserMessage RunWriteErrorMessage(const std::string& relPath) {
  return {"Ошибка записи данных в файл\r\n" + relPath, kTitle};
}

bool ReadRunLines(const std::vector<std::string>& lines, PointTable& t) {
  t.Reset();
  t.JDfile = 0.0;
  t.header = {};
  FieldReader in(lines);
  // The header lines are read whole: the mode line may hold a decimal comma.
  for (auto& h : t.header) {
    auto line = in.NextLine();
    if (!line) return false;
    h = *line;
  }
  const auto count = in.NextNumber();
  const auto start = in.NextNumber();
  if (!count || !start) return false;
  t.JDfile = *start / 100.0;
  while (true) {
    auto number = in.NextNumber();
    if (!number) return in.LastField().empty();  // the end of the data, or a bad number
    std::array<double, 7> par{};
    auto time = in.NextNumber();
    if (!time) return false;
    for (int j = 1; j <= kElementCount; ++j) {
      auto v = in.NextNumber();
      if (!v) return false;
      par[static_cast<std::size_t>(j)] = *v / kStatsMK;
    }
    t.Add(*time / 100.0, par);
  }
}

bool ReadRunFile(const std::filesystem::path& file, PointTable& t) {
  auto lines = ReadTextFile(file);
  if (!lines) {
    t.Reset();
    return false;
  }
  return ReadRunLines(*lines, t);
}

std::vector<std::string> RunFileLines(const PointTable& t) {
  std::vector<std::string> out(t.header.begin(), t.header.end());
  out.push_back(PrintLine().Num(t.NPoint).Num(FixStored(100.0 * t.JDfile)).str());
  for (int i = 1; i <= t.NPoint; ++i) {
    PrintLine line;
    line.Num(i).Num(FixStored(100.0 * t.tDay[static_cast<std::size_t>(i)]));
    for (int j = 1; j <= kElementCount; ++j)
      line.Num(FixStored(kStatsMK * t.Par[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]));
    out.push_back(line.str());
  }
  return out;
}

bool WriteRunFile(const std::filesystem::path& file, const PointTable& t) {
  return WriteTextFile(file, RunFileLines(t));
}

}  // namespace torvik
