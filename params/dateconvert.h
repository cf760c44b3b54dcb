// The date buttons of the parameters screen: "G->J" turns the year, month and
// day fields into a Julian date, "J->G" a Julian date back into them.
#pragma once

#include <string>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

inline constexpr const char* kMsgBadDateData = "Задайте правильно данные";  // title "Torvik6"

struct DateFieldTexts {
  std::string year, month, day;  // day with fraction, e.g. "1.5"
};

// "G->J": DateY, DateM, DateD from the fields, JD computed; *jdText gets the
// JD as the field shows it. "Задайте правильно данные" / "Torvik6" when a
// field is not a number or the date is out of range (the model keeps what
// was read before the bad field).
ActionResult GregorianToJulian(Model& m, const DateFieldTexts& in, std::string* jdText);
// "J->G": JD from its field, OutY, OutM, OutD computed and given as texts.
ActionResult JulianToGregorian(Model& m, const std::string& jdField, DateFieldTexts* out);

}  // namespace torvik
