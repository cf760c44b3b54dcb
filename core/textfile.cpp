#include "core/textfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace torvik {

namespace {

// ---------------------------------------------------------------------------
// Decimal digits of a finite, non-zero |v|: digits without trailing zeros and
// the decimal exponent of the first digit (v = d.ddd × 10^exp).
struct Decimal {
  std::string digits;
  int exp = 0;
};

// precision < 0: the shortest digits that read back to the same double;
// otherwise rounded to precision significant digits.
Decimal DecimalDigits(double v, int precision) {
  std::array<char, 64> buf{};
  const double a = std::fabs(v);
  auto res = precision < 0 ? std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific)
                           : std::to_chars(buf.data(), buf.data() + buf.size(), a, std::chars_format::scientific,
                                           precision - 1);
  const std::string_view s(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  const std::size_t epos = s.find('e');
  Decimal d;
  for (char c : s.substr(0, epos))
    if (c != '.') d.digits += c;
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  std::string_view ex = s.substr(epos + 1);
  if (!ex.empty() && ex.front() == '+') ex.remove_prefix(1);
  std::from_chars(ex.data(), ex.data() + ex.size(), d.exp);
  return d;
}

// The general format of BASIC's print and of printf "%.15G" (a Single: "%.7G"):
// plain decimals for exponents −4..digits−1, else d.dddE±XX. No leading zero
// is dropped: 0.5 is written "0.5", not ".5" (the readers accept both).
std::string LayOut(const Decimal& d, bool negative, int digits = 15) {
  std::string out = negative ? "-" : "";
  const std::string& g = d.digits;
  if (d.exp < -4 || d.exp >= digits) {
    out.push_back(g[0]);
    if (g.size() > 1) {
      out.push_back('.');
      out.append(g, 1);
    }
    char ex[16];
    std::snprintf(ex, sizeof ex, "E%c%02d", d.exp < 0 ? '-' : '+', std::abs(d.exp));
    out.append(ex);
  } else if (d.exp < 0) {
    out.append("0.");
    out.append(static_cast<std::size_t>(-d.exp - 1), '0');
    out.append(g);
  } else {
    const auto intDigits = static_cast<std::size_t>(d.exp + 1);
    out.append(g, 0, intDigits);
    if (g.size() <= intDigits) {
      out.append(intDigits - g.size(), '0');
    } else {
      out.push_back('.');
      out.append(g, intDigits);
    }
  }
  return out;
}

// A printed number: a leading blank where there is no minus sign, one trailing blank.
std::string WithBlanks(const std::string& t) { return (t[0] == '-' ? t : " " + t) + " "; }

std::string NonFinite(double v) { return std::isnan(v) ? "NaN" : (v < 0 ? "-Inf" : "Inf"); }

// Number of characters (code points) of a UTF-8 string.
std::size_t Columns(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// ---------------------------------------------------------------------------
// Windows-1251, bytes 0x80..0xFF as Unicode code points (0x98 is unassigned).
constexpr std::array<char16_t, 128> kCp1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8 (A8 = Ё)
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8 (B8 = ё)
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0 А..
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8 ..Я
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0 а..
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8 ..я
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char ToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<char>(cp);
  if (cp != 0xFFFD)
    for (std::size_t i = 0; i < kCp1251.size(); ++i)
      if (kCp1251[i] == cp) return static_cast<char>(0x80 + i);
  return '?';
}

// Fields of a line with the offset just past each one.
struct Field {
  std::string text;
  std::size_t end = 0;
};

bool IsSeparator(char c) { return c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n'; }

std::vector<Field> SplitWithEnds(std::string_view line) {
  std::vector<Field> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSeparator(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsSeparator(line[i])) ++i;
    if (i > start) out.push_back({std::string(line.substr(start, i - start)), i});
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------

double Fix(double v) { return std::trunc(v); }

double FixMK(double v, double MK) { return std::trunc(MK * v) / MK; }

std::string NumberText(double v) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (v == 0.0) return "0";  // also −0
  return LayOut(DecimalDigits(v, 15), v < 0);
}

std::string PrintNumber(double v) { return WithBlanks(NumberText(v)); }

std::string ShortestText(double v) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (v == 0.0) return "0";
  return LayOut(DecimalDigits(v, -1), v < 0);
}

std::string SingleText(float v) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (v == 0.0f) return "0";
  return LayOut(DecimalDigits(static_cast<double>(v), 7), v < 0, 7);
}

std::string PrintSingle(float v) { return WithBlanks(SingleText(v)); }

std::string FormatPattern(double v, std::string_view pattern) {
  if (!std::isfinite(v)) return NonFinite(v);
  const std::size_t dot = pattern.find('.');
  const std::size_t width = dot == std::string_view::npos ? pattern.size() : dot;
  const std::size_t decimals = dot == std::string_view::npos ? 0 : pattern.size() - dot - 1;

  // Round the 15-digit decimal text, not the binary value, half away from
  // zero: 1.005 with "0.00" gives "1.01", 2.5 with "0" gives "3".
  std::string intPart = "0", frac;
  if (v != 0.0) {
    const Decimal d = DecimalDigits(v, 15);
    if (d.exp >= 0) {
      const auto n = static_cast<std::size_t>(d.exp + 1);
      intPart = d.digits.substr(0, std::min(n, d.digits.size()));
      intPart.append(n - intPart.size(), '0');
      if (d.digits.size() > n) frac = d.digits.substr(n);
    } else {
      frac = std::string(static_cast<std::size_t>(-d.exp - 1), '0') + d.digits;
    }
  }
  bool roundUp = false;
  if (frac.size() > decimals) {
    roundUp = frac[decimals] >= '5';
    frac.resize(decimals);
  }
  frac.append(decimals - frac.size(), '0');
  std::string all = intPart + frac;
  if (roundUp) {
    std::size_t i = all.size();
    while (i > 0 && all[i - 1] == '9') all[--i] = '0';
    if (i == 0)
      all.insert(all.begin(), '1');
    else
      ++all[i - 1];
  }
  intPart = all.substr(0, all.size() - decimals);
  frac = all.substr(all.size() - decimals);
  const std::size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? "" : intPart.substr(nz);
  if (intPart.size() < width) intPart.insert(0, width - intPart.size(), '0');
  const bool zero = all.find_first_not_of('0') == std::string::npos;
  std::string out = (v < 0 && !zero) ? "-" : "";
  out += intPart;
  if (decimals > 0) out += "." + frac;
  return out;
}

// ---------------------------------------------------------------------------

// A print zone ends where the next begins; an item that reaches or passes the
// end of its zone pushes the next item to the following boundary, so two items
// never run together (a 14-character text is followed by the item at column 29).
void PrintLine::NextZone() {
  const std::size_t col = Columns(line_);  // characters so far, 0-based column
  const std::size_t next = (col / kPrintZone + 1) * kPrintZone;
  line_.append(next - col, ' ');
}

PrintLine& PrintLine::Text(std::string_view s) {
  if (!first_) NextZone();
  first_ = false;
  line_ += s;
  return *this;
}

PrintLine& PrintLine::Num(double v) { return Text(PrintNumber(v)); }

PrintLine& PrintLine::Single(float v) { return Text(PrintSingle(v)); }

// ---------------------------------------------------------------------------

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> out;
  for (auto& f : SplitWithEnds(line)) out.push_back(std::move(f.text));
  return out;
}

std::optional<double> ParseNumber(std::string_view field) {
  while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
  bool negative = false;
  if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  // Only a plain decimal mantissa with an optional E or Fortran D exponent;
  // from_chars alone would also take "inf", "nan" and hex forms.
  if (field.empty() || !(std::isdigit(static_cast<unsigned char>(field.front())) || field.front() == '.'))
    return std::nullopt;
  std::string s(field);
  for (char& c : s) {
    if (c == 'D' || c == 'd') c = 'E';
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == 'E' || c == 'e' || c == '+' || c == '-'))
      return std::nullopt;
  }
  double v = 0.0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return negative ? -v : v;
}

// ---------------------------------------------------------------------------

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (unsigned char c : cp1251) {
    if (c < 0x80)
      out += static_cast<char>(c);
    else
      AppendUtf8(out, kCp1251[c - 0x80]);
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    char32_t cp = 0;
    if (c < 0x80) {
      cp = c;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      extra = 3;
    } else {
      out += '?';  // stray continuation or invalid lead byte
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (int n = 0; n < extra; ++n, ++j) {
      if (j >= utf8.size() || (static_cast<unsigned char>(utf8[j]) & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[j]) & 0x3F);
    }
    out += ok ? ToCp1251(cp) : '?';
    i = j;
  }
  return out;
}

// ---------------------------------------------------------------------------

namespace {

std::string FileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& l : lines) {
    bytes += Utf8ToCp1251(l);
    bytes += "\r\n";
  }
  return bytes;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

FileStamp StampOfStat(const struct stat& st) {
  FileStamp s;
  s.dev = static_cast<std::uint64_t>(st.st_dev);
  s.ino = static_cast<std::uint64_t>(st.st_ino);
  s.size = static_cast<std::int64_t>(st.st_size);
  s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  s.ctimeNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return s;
}

// The exclusive lock on a folder for the time of one rewrite.
class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& dir) {
    fd_ = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (::flock(fd_, LOCK_EX) != 0)
      if (errno != EINTR) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// A new file of its own beside `path`: path + "." + a unique suffix + "~".
int CreateTemporary(const std::filesystem::path& path, std::filesystem::path* tmp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.%x~", static_cast<long>(::getpid()), counter++,
                  static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    *tmp = path;
    *tmp += suffix;
    const int fd = ::open(tmp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::optional<FileStamp> StampOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return StampOfStat(st);
}

bool WriteTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                   const std::optional<FileStamp>& expected) {
  FolderLock lock(path.parent_path());
  if (!lock.ok()) return false;
  struct stat old {};
  const bool exists = ::stat(path.c_str(), &old) == 0;
  if (exists) {
    // A file without write permission is not replaced, nor one that changed
    // since it was read.
    if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) return false;
    if (expected && !(StampOfStat(old) == *expected)) return false;
  } else if (expected) {
    return false;  // the file read is gone
  }
  std::filesystem::path tmp;
  const int fd = CreateTemporary(path, &tmp);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, FileBytes(lines));
  if (ok && exists) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  if (::close(fd) != 0) ok = false;
  if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
    ::unlink(tmp.c_str());
    return false;
  }
  return true;
}

bool AppendTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0;
  if (ok && !WriteAll(fd, FileBytes(lines))) {
    // Nothing of a record that did not fit: the file ends after its last
    // complete record.
    while (::ftruncate(fd, st.st_size) != 0 && errno == EINTR) {
    }
    ok = false;
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

std::vector<std::string> SplitByteLines(std::string_view bytes, bool* lastLineEnded) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    // A line ends at CR LF, at a bare LF or at a bare CR.
    const std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, end - start));
    start = end + 1;
    if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  if (lastLineEnded) *lastLineEnded = bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
  return lines;
}

std::vector<std::string> SplitTextLines(std::string_view bytes, bool* lastLineEnded) {
  auto lines = SplitByteLines(bytes, lastLineEnded);
  for (auto& l : lines) l = Cp1251ToUtf8(l);
  return lines;
}

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, FileStamp* stamp) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  if (stamp) *stamp = StampOfStat(st);
  std::string bytes;
  char buf[65536];
  while (true) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

std::optional<std::vector<std::string>> ReadTextFile(const std::filesystem::path& path, bool* lastLineEnded,
                                                     FileStamp* stamp) {
  auto bytes = ReadFileBytes(path, stamp);
  if (!bytes) return std::nullopt;
  return SplitTextLines(*bytes, lastLineEnded);
}

// ---------------------------------------------------------------------------

FieldReader::FieldReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}

void FieldReader::Refill() {
  pending_.clear();
  ends_.clear();
  for (auto& f : SplitWithEnds(lines_[line_])) {
    pending_.push_back(std::move(f.text));
    ends_.push_back(f.end);
  }
  pos_ = 0;
  loaded_ = true;
}

std::optional<std::string> FieldReader::NextField() {
  while (line_ < lines_.size()) {
    if (!loaded_) Refill();
    if (pos_ < pending_.size()) {
      last_ = pending_[pos_++];
      return last_;
    }
    ++line_;  // this line is used up (blank lines give no field)
    loaded_ = false;
  }
  return std::nullopt;
}

std::optional<double> FieldReader::NextNumber() {
  last_.clear();
  const auto f = NextField();
  if (!f) return std::nullopt;
  return ParseNumber(*f);
}

void FieldReader::SkipLine() {
  if (line_ >= lines_.size()) return;
  ++line_;
  loaded_ = false;
}

std::optional<std::string> FieldReader::NextLine() {
  if (loaded_ && pos_ >= pending_.size()) {
    // The last field read ended the line, as INPUT# consumes the line end.
    ++line_;
    loaded_ = false;
  }
  if (line_ >= lines_.size()) return std::nullopt;
  std::string rest = lines_[line_];
  if (loaded_ && pos_ > 0) {
    // The rest of a partly read line, without the separators after the last field.
    std::size_t from = ends_[pos_ - 1];
    while (from < rest.size() && IsSeparator(rest[from])) ++from;
    rest = rest.substr(from);
  }
  ++line_;
  loaded_ = false;
  return rest;
}

bool FieldReader::AtEnd() const {
  if (line_ >= lines_.size()) return true;
  return loaded_ && pos_ >= pending_.size() && line_ + 1 >= lines_.size();
}

}  // namespace torvik
