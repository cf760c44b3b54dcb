#include "model/de405.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "core/calendar.h"
#include "core/paths.h"

namespace torvik {

namespace {

constexpr int kRecordDays = 32;
constexpr int kNumbers = 1020;  // slots 1..1020 of a record
constexpr int kLines = 340;     // lines of three numbers per record
constexpr double kCoefficients = 1018;
// Records start on this grid: T1 of the first record of DE405 (9 December 1599).
constexpr double kGridJD = 2305424.5;
// Largest coefficient of any series, km (Pluto's are about 6e9).
constexpr double kMaxCoefficient = 1e11;

bool IsBlank(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\r'; }

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
  jd = std::isfinite(jd) ? std::clamp(jd, kMinJD, kMaxJD) : 0.0;
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
      haveRecord_ = false;
      return true;
    }
    in_.clear();
  }
  path_.clear();
  return false;
}

bool De405Reader::ReadRecord() {
  // The published layout, line by line: the header "n 1018", then 340 lines of
  // three numbers (blank lines are passed over). Anything else, a repeated
  // line, dates that are not a 32-day record on the DE405 grid continuing the
  // previous one, or a coefficient no body of the ephemeris can have, is a
  // damaged record: it is never evaluated.
  std::string line;
  auto nextLine = [&](std::vector<std::string_view>& tokens) {
    while (std::getline(in_, line)) {
      tokens.clear();
      std::size_t i = 0;
      while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        std::size_t j = i;
        while (j < line.size() && !IsBlank(line[j])) ++j;
        if (j > i) tokens.emplace_back(line.data() + i, j - i);
        i = j;
      }
      if (!tokens.empty()) return true;
    }
    return false;
  };
  std::vector<std::string_view> tokens;
  double n = 0, count = 0;
  if (!nextLine(tokens) || tokens.size() != 2 || !ParseFortran(tokens[0], n) || !ParseFortran(tokens[1], count))
    return false;
  const int expectedNo = haveRecord_ ? recordNo_ + 1 : 0;
  if (count != kCoefficients || n != std::trunc(n) || n < 1 || n > recordsPerFile_ ||
      (expectedNo != 0 && n != expectedNo))
    return false;

  std::array<double, 1022> rec{};
  int slot = 1;
  for (int l = 0; l < kLines; ++l) {
    if (!nextLine(tokens) || tokens.size() != 3) return false;
    for (auto t : tokens) {
      double v;
      if (!ParseFortran(t, v)) return false;
      if (slot > 2 && !(std::fabs(v) <= kMaxCoefficient)) return false;
      rec[slot++] = v;
    }
  }
  // No two lines of a record hold the same three numbers: a repeated line
  // shifts every coefficient after it.
  std::array<int, kLines> order;
  for (int l = 0; l < kLines; ++l) order[l] = 1 + 3 * l;
  auto lineLess = [&](int a, int b) {
    return std::lexicographical_compare(&rec[a], &rec[a] + 3, &rec[b], &rec[b] + 3);
  };
  std::sort(order.begin(), order.end(), lineLess);
  for (int l = 1; l < kLines; ++l)
    if (!lineLess(order[l - 1], order[l])) return false;
  const double t1 = rec[1], t2 = rec[2];
  if (t2 - t1 != kRecordDays || !JDInRange(t1) || std::fmod(t1 - kGridJD, kRecordDays) != 0.0 ||
      (haveRecord_ && t1 != record_[2]))
    return false;
  record_ = rec;
  recordNo_ = static_cast<int>(n);
  haveRecord_ = true;
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
  // Outside the calendars' range there is no file, and no year to compute.
  if (!JDInRange(jd)) return UserMessage{kNoSuchDate, kTitle};
  const int year = De405FileYearOf(jd);
  const Found r = Search(year, jd);
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
    if (recordNo_ >= recordsPerFile_) {
      // The first record of the next file repeats the last one of this file.
      const double previousT1 = T1();
      if (!Open(fileYear_ + 20, false) || !ReadRecord() || T1() != previousT1) return fail;
    }
    if (!ReadRecord() || jd < T1() || jd > T2()) return fail;
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
