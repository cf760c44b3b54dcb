#include "core/calendar.h"

#include <cmath>
#include <limits>

namespace torvik {

namespace {

// Dates whose key year + month/100 + day/10000 exceeds this are Gregorian
// (15 October 1582 at 0 h has the key 1582.1015); 5..14 October 1582 stay Julian.
constexpr double kGregorianKey = 1582.101499;

}  // namespace

double DateToJD(std::int32_t year, std::int32_t month, float day) {
  std::int64_t y = year;  // 64-bit: year − 1 and month + 12 cannot overflow
  std::int64_t m = month;
  if (month < 3) {
    y = year - 1;
    m = month + 12;
  }
  double b = 0.0;
  const double key = static_cast<double>(year) + month / 100.0 + static_cast<double>(day) / 10000.0;
  if (key > kGregorianKey) b = static_cast<double>(2 - (y / 100) + (y / 400));
  // January and February of a negative year use the shifted year with the
  // −0.75 adjustment, so that trunc() rounds the way floor() would.
  const double yd = static_cast<double>(y);
  const double c = y < 0 ? std::trunc(365.25 * yd - 0.75) : std::trunc(365.25 * yd);
  const double d = std::floor(30.6001 * static_cast<double>(m + 1));
  return d + c + static_cast<double>(day) + 1720994.5 + b;
}

CalendarDate JDToDate(double jd) {
  if (!(std::fabs(jd) <= kMaxAbsJD)) return {0, 0, std::numeric_limits<float>::quiet_NaN()};
  const double z = std::floor(jd + 0.5);
  const double f = jd + 0.5 - z;
  double a = z;
  if (z > 2299160.0) {
    const double alpha = std::floor((z - 1867216.25) / 36524.25);
    a = z + 1 + alpha - std::trunc(alpha / 4);
  }
  const double b = a + 1524;
  const double c = std::floor((b - 122.1) / 365.25);
  const double d = std::floor(365.25 * c);
  const auto e = static_cast<std::int16_t>(std::floor((b - d) / 30.6001));
  CalendarDate out;
  out.day = static_cast<float>(b - d - std::floor(30.6001 * e) + f);
  out.month = e < 13.5 ? e - 1 : e - 13;
  out.year = static_cast<std::int32_t>(out.month > 2.5 ? c - 4716 : c - 4715);
  return out;
}

bool DateInRange(std::int32_t year, std::int32_t month, double day) {
  return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 0.0 && day <= 32.0 &&
         JDInRange(DateToJD(year, month, static_cast<float>(day)));
}

bool JDInRange(double jd) { return jd >= kMinJD && jd <= kMaxJD; }

void DateToJD(Model& m) { m.JD = DateToJD(m.DateY, m.DateM, m.DateD); }

bool JDToDate(Model& m) {
  const CalendarDate d = JDToDate(m.JD);
  if (d.month == 0) return false;
  m.OutY = d.year;
  m.OutM = d.month;
  m.OutD = d.day;
  return true;
}

}  // namespace torvik
