#include "params/dateconvert.h"

#include <cmath>

#include "core/calendar.h"
#include "core/textfile.h"
#include "params/fields.h"

namespace torvik {

namespace {

ActionResult BadData() { return UserMessage{kMsgBadDateData, kTitle}; }

// Years far outside any table or ephemeris only overflow the day count.
constexpr double kMaxAbsYear = 1e6;

}  // namespace

ActionResult GregorianToJulian(Model& m, const DateFieldTexts& in, std::string* jdText) {
  auto year = ParseFieldInt32(in.year);
  if (!year || std::fabs(*year) > kMaxAbsYear) return BadData();
  m.DateY = *year;
  auto month = ParseFieldInt32(in.month);
  if (!month || *month < 1 || *month > 12) return BadData();
  m.DateM = *month;
  auto day = ParseFieldNumber(in.day);
  if (!day || std::fabs(*day) > 1e4) return BadData();
  m.DateD = static_cast<float>(*day);
  DateToJD(m);
  if (!std::isfinite(m.JD)) return BadData();
  if (jdText) *jdText = ShortestText(m.JD);
  return std::nullopt;
}

ActionResult JulianToGregorian(Model& m, const std::string& jdField, DateFieldTexts* out) {
  auto jd = ParseFieldNumber(jdField);
  if (!jd) return BadData();
  m.JD = *jd;
  if (!JDToDate(m)) return BadData();
  if (out) *out = DateFieldTexts{std::to_string(m.OutY), std::to_string(m.OutM), SingleText(m.OutD)};
  return std::nullopt;
}

}  // namespace torvik
