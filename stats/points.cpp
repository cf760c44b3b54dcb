#include "stats/points.h"

#include <algorithm>
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

namespace {

// No field of an orbit file is larger: 100 × a Julian date, or a semi-axis in
// metres (6e12 for Pluto), with room to spare.
constexpr double kMaxRunValue = 1e15;

bool Blank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

// The fields of a number line, as whole numbers (the writers truncate every
// value), `count` of them exactly: a decimal comma or a missing field gives
// another count.
bool WholeFields(const std::string& line, std::size_t count, double* out) {
  const auto fields = SplitFields(line);
  if (fields.size() != count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const auto v = ParseNumber(fields[i]);
    if (!v || !(std::fabs(*v) <= kMaxRunValue) || *v != std::trunc(*v)) return false;
    out[i] = *v;
  }
  return true;
}

// A record as an orbit determination can write it: eccentricity 0..1,
// inclination within ±180°, no negative semi-axis or period, a record number
// that does not go back (a perihelion and the following aphelion share
// theirs) and a time other than that of the record before (no two passages,
// and no two points of the point editing, share one date: a repeated line has
// the same). A new point of the point editing has zeros in its other elements.
bool Plausible(const double* f, const double* last) {
  const double e = f[5] / kStatsMK, incl = f[4] / kStatsMK;
  if (last && (f[0] < last[0] || f[1] == last[1])) return false;
  return f[0] >= 0 && e >= 0 && e <= 1 && std::fabs(incl) <= 180 && f[6] >= 0 && f[7] >= 0;
}

}  // namespace

bool ReadRunLines(const std::vector<std::string>& lines, PointTable& t) {
  t.Reset();
  t.JDfile = 0.0;
  t.header = {};
  // The header lines are read whole: the mode line may hold a decimal comma.
  if (lines.size() < 5) {
    for (std::size_t i = 0; i < lines.size(); ++i) t.header[i] = lines[i];
    return false;
  }
  for (std::size_t i = 0; i < 4; ++i) t.header[i] = lines[i];
  double head[2];
  if (!WholeFields(lines[4], 2, head) || head[0] < 0) return false;
  t.JDfile = head[1] / 100.0;
  // Records up to the end; blank lines only after the last one.
  std::size_t end = lines.size();
  while (end > 5 && Blank(lines[end - 1])) --end;
  double f[8], last[8];
  for (std::size_t i = 5; i < end; ++i) {
    if (!WholeFields(lines[i], 8, f) || !Plausible(f, i > 5 ? last : nullptr)) return false;
    std::copy(f, f + 8, last);
    std::array<double, 7> par{};
    for (int j = 1; j <= kElementCount; ++j) par[static_cast<std::size_t>(j)] = f[j + 1] / kStatsMK;
    t.Add(f[1] / 100.0, par);
  }
  return true;
}

bool ReadRunFile(const std::filesystem::path& file, PointTable& t) {
  bool ended = false;
  FileStamp stamp;
  auto lines = ReadTextFile(file, &ended, &stamp);
  if (!lines) {
    t.Reset();
    t.stamp.reset();
    return false;
  }
  // A file cut inside its last record has no line end after it: its last
  // number may have lost digits.
  const bool ok = ReadRunLines(*lines, t) && ended;
  t.stamp = stamp;
  t.stampFile = file;
  return ok;
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

bool WriteRunFile(const std::filesystem::path& file, PointTable& t) {
  // The file read must still be there unchanged: two edits of one file at a
  // time would otherwise lose one of them.
  const auto expected = file == t.stampFile ? t.stamp : std::nullopt;
  if (!WriteTextFile(file, RunFileLines(t), expected)) return false;
  t.stamp = StampOf(file);
  t.stampFile = file;
  return true;
}

}  // namespace torvik
