#include "core/fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/textfile.h"

namespace torvik {

std::optional<double> ParseFieldNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty()) return std::nullopt;
  // A Russian locale types "1,5"; files never reach this reader.
  std::string s(text);
  if (s.find('.') == std::string::npos) {
    if (auto c = s.find(','); c != std::string::npos && s.find(',', c + 1) == std::string::npos) s[c] = '.';
  }
  auto v = ParseNumber(s);
  if (!v || !std::isfinite(*v)) return std::nullopt;
  return v;
}

namespace {

template <typename Int>
std::optional<Int> ParseFieldInt(std::string_view text) {
  auto v = ParseFieldNumber(text);
  if (!v) return std::nullopt;
  const double r = std::nearbyint(*v);  // half to even in the default rounding mode
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max()))
    return std::nullopt;
  return static_cast<Int>(r);
}

}  // namespace

std::optional<std::int32_t> ParseFieldInt32(std::string_view text) { return ParseFieldInt<std::int32_t>(text); }
std::optional<std::int16_t> ParseFieldInt16(std::string_view text) { return ParseFieldInt<std::int16_t>(text); }

std::string FieldText(double v) { return NumberText(v); }

namespace {

std::string Shortest(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string();
}

}  // namespace

std::string DisplayNumberText(double v) {
  if (!std::isfinite(v)) return Shortest(v);
  if (v == 0) return "0";
  const double a = std::fabs(v);
  if (a < 1e-6 || a >= 1e15) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6e", v);
    return Shortest(std::strtod(buf, nullptr));
  }
  const double s = v * 1e6, r = std::nearbyint(s);
  // Float noise: a thousandth of the last digit, or the last bits of a large value.
  const double noise = std::fmax(1e-3, 4 * std::numeric_limits<double>::epsilon() * std::fabs(s));
  const double shown = std::fabs(s - r) <= noise ? r : std::trunc(s);
  if (shown == 0) return "0";
  return Shortest(shown / 1e6);
}

double DegreesIn360(double degrees) {
  if (!std::isfinite(degrees)) return degrees;
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  return d >= 360.0 ? 0.0 : d;
}

double FixNear(double x) {
  const double r = std::nearbyint(x);
  if (std::fabs(x - r) <= 1e-12 * std::fmax(1.0, std::fabs(x))) return r;
  return std::trunc(x);
}

}  // namespace torvik
