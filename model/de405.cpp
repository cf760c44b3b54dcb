#include "model/de405.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "core/paths.h"

namespace torvik {

namespace {

constexpr int kRecordDays = 32;
constexpr int kNumbers = 1020;  // slots 1..1020 of a record

// Julian date of 1 January of a Gregorian year, 0h.
double NewYearJD(long long y) {
  auto floorDiv = [](long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); };
  long long p = y - 1;
  return 1721425.5 + 365.0 * p + floorDiv(p, 4) - floorDiv(p, 100) + floorDiv(p, 400);
}

// A number as the files write it: D or E exponent, optional sign.
bool ParseFortran(std::string_view tok, double& v) {
  char buf[64];
  if (tok.empty() || tok.size() >= sizeof buf) return false;
  std::size_t n = 0;
  for (char c : tok) buf[n++] = (c == 'D' || c == 'd') ? 'E' : c;
  const char* b = buf;
  if (*b == '+') ++b;
  auto [p, ec] = std::from_chars(b, buf + n, v);
  return ec == std::errc() && p == buf + n && std::isfinite(v);
}

}  // namespace

int De405RecordsPerFile(int year) {
  switch (year) {
    case 1680: case 1760: case 1820: case 1900: case 1980: case 2040: case 2120: case 2180:
      return 230;
    default:
      return 229;
  }
}

std::string De405FileName(int year) { return "ascp" + std::to_string(year) + ".405"; }

int De405FileYearOf(double jd) {
  long long y = static_cast<long long>(std::floor((jd - 1721425.5) / 365.2425)) + 1;
  while (NewYearJD(y) > jd) --y;
  while (NewYearJD(y + 1) <= jd) ++y;
  long long k = y - 1600;
  long long block = k >= 0 ? k / 20 : -((-k + 19) / 20);
  return static_cast<int>(1600 + 20 * block);
}

void De405Reader::Close() {
  if (in_.is_open()) in_.close();
  in_.clear();
}

bool De405Reader::Open(int year, bool firstFolderJpl) {
  Close();
  const std::string name = De405FileName(year);
  const std::string jpl = "\\JPL\\" + name, sub = "\\JPL\\405\\" + name;
  for (const std::string& rel : firstFolderJpl ? std::array{jpl, sub} : std::array{sub, jpl}) {
    path_ = ResolvePath(folder_, rel);
    in_.open(path_, std::ios::binary);
    if (in_.is_open()) {
      fileYear_ = year;
      recordsPerFile_ = De405RecordsPerFile(year);
      recordNo_ = 0;
      return true;
    }
    in_.clear();
  }
  path_.clear();
  return false;
}

bool De405Reader::ReadRecord() {
  // Fields are split at blanks, commas and line ends, and a record may wrap
  // its numbers over the lines in any way.
  std::string line;
  int header[2];
  int nHeader = 0, slot = 1;
  std::array<double, 1022> rec{};
  while (slot <= kNumbers) {
    if (!std::getline(in_, line)) return false;
    std::size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == ',' || line[i] == '\t' || line[i] == '\r')) ++i;
      std::size_t j = i;
      while (j < line.size() && !(line[j] == ' ' || line[j] == ',' || line[j] == '\t' || line[j] == '\r')) ++j;
      if (j == i) break;
      std::string_view tok(line.data() + i, j - i);
      i = j;
      if (slot > kNumbers) return false;
      double v;
      if (!ParseFortran(tok, v)) return false;
      if (nHeader < 2) {
        if (v != std::trunc(v) || std::fabs(v) > 1e6) return false;
        header[nHeader++] = static_cast<int>(v);
      } else {
        rec[slot++] = v;
      }
    }
  }
  if (!(rec[2] > rec[1])) return false;
  record_ = rec;
  recordNo_ = header[0];
  return true;
}

De405Reader::Found De405Reader::Search(int year, double jd) {
  if (!Open(year, true)) return Found::Missing;
  for (bool first = true;; first = false) {
    if (!ReadRecord()) break;
    if (jd < T1()) {
      if (first) {
        Close();
        return Found::Before;
      }
      break;  // a gap between records
    }
    if (jd <= T2()) return Found::Yes;
    if (recordNo_ >= recordsPerFile_) {
      Close();
      return Found::After;
    }
  }
  Close();
  return Found::Missing;
}

ActionResult De405Reader::Locate(const std::filesystem::path& folder, double jd) {
  Close();
  folder_ = folder;
  record_.fill(0.0);
  const int year = De405FileYearOf(jd);
  const Found r = std::isfinite(jd) ? Search(year, jd) : Found::Missing;
  if (r == Found::Yes) return std::nullopt;
  if ((r == Found::Before || r == Found::Missing) && Search(year - 20, jd) == Found::Yes) return std::nullopt;
  if ((r == Found::After || r == Found::Missing) && Search(year + 20, jd) == Found::Yes) return std::nullopt;
  Close();
  return UserMessage{kNoSuchDate, kTitle};
}

bool De405Reader::Chebyshev(const De405Layout& lay, double jd, double out[3]) const {
  if (lay.ncoef < 1 || lay.ncoef > 15 || lay.days <= 0 || kRecordDays % lay.days != 0) return false;
  const int nsub = kRecordDays / lay.days;
  if (lay.first < 3 || lay.first + nsub * 3 * lay.ncoef - 1 > kNumbers) return false;
  // Sub-interval of jd; jd = T2 belongs to the last one.
  int i = static_cast<int>(std::floor((jd - T1()) / lay.days));
  if (i < 0 || i > nsub) return false;
  if (i == nsub) i = nsub - 1;
  const double tau = 2.0 * (jd - (T1() + i * lay.days)) / lay.days - 1.0;
  double P[15];
  P[0] = 1.0;
  if (lay.ncoef > 1) P[1] = tau;
  for (int j = 2; j < lay.ncoef; ++j) P[j] = 2.0 * tau * P[j - 1] - P[j - 2];
  const int base = lay.first + i * 3 * lay.ncoef;
  for (int c = 0; c < 3; ++c) {
    double s = 0.0;
    for (int j = 0; j < lay.ncoef; ++j) s += record_[base + c * lay.ncoef + j] * P[j];
    out[c] = s;
  }
  return true;
}

ActionResult De405Reader::Evaluate(Model& m, int body, double jd) {
  const UserMessage fail{kJplReadError, kTitle};
  if (!in_.is_open() || body < 0 || body > 9 || !std::isfinite(jd)) return fail;
  if (jd < T1() || jd > T2()) {
    if (recordNo_ >= recordsPerFile_ && !Open(fileYear_ + 20, false)) return fail;
    // The first record of the next file repeats the last one of this file.
    const double previousT1 = T1();
    do {
      if (!ReadRecord()) return fail;
    } while (T1() == previousT1);
    if (jd < T1() || jd > T2()) return fail;
  }
  double sun[3], planet[3];
  if (!Chebyshev(m.De405[0], jd, sun) || !Chebyshev(m.De405[body], jd, planet)) return fail;
  const double c = std::cos(m.Eps0), s = std::sin(m.Eps0);
  auto store = [&](int k, const double v[3]) {
    m.X[k] = v[0] * 1000.0;
    m.Y[k] = (v[1] * c + v[2] * s) * 1000.0;
    m.Z[k] = (v[2] * c - v[1] * s) * 1000.0;
  };
  store(0, sun);
  store(body, planet);
  return std::nullopt;
}

}  // namespace torvik
