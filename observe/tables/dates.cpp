// Day counts of the tables' input cells.
#include <cmath>

#include "observe/tables/calculators.h"

namespace torvik::tables {
namespace {

// Years beyond this are no table date (and would lose the day fraction).
constexpr double kMaxYear = 1e6;

bool Plain(const TableDate& d, int lastMonth) {
  if (!std::isfinite(d.year) || !std::isfinite(d.month) || !std::isfinite(d.day) || !std::isfinite(d.hours))
    return false;
  if (std::fabs(d.year) > kMaxYear || std::fabs(d.day) > 1e6 || std::fabs(d.hours) > 1e6) return false;
  const double m = std::trunc(d.month);
  return m >= 1 && m <= lastMonth;
}

}  // namespace

bool EgyptianDays(const TableDate& d, double* days) {
  if (!Plain(d, 13)) return false;
  // Twelve months of 30 days and five epagomenal days; a year of 365 days.
  *days = 365 * (std::trunc(d.year) - 1) + 30 * (std::trunc(d.month) - 1) + (d.day - 1) + d.hours / 24;
  return true;
}

bool JulianNoonJD(const TableDate& d, double* jd) {
  if (!Plain(d, 12)) return false;
  double y = std::trunc(d.year), m = std::trunc(d.month);
  if (m <= 2) y -= 1, m += 12;
  // Julian Day number of the date at noon, then the hours after noon.
  *jd = std::floor(365.25 * (y + 4716)) + std::floor(30.6001 * (m + 1)) + d.day - 1524 + d.hours / 24;
  return true;
}

bool JulianCivilJD(const TableDate& d, double* jd) {
  if (!JulianNoonJD(d, jd)) return false;
  *jd -= 0.5;
  return true;
}

}  // namespace torvik::tables
