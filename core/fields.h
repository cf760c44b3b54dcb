// Reading the text fields of the screens: numbers typed by the user
// (a blank-padded decimal, "." or the locale's "," as separator, exponents) and
// the display form of a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace torvik {

// A number typed in a field; std::nullopt when the text is empty, not a number
// or not finite.
std::optional<double> ParseFieldNumber(std::string_view text);
// A 32-bit or 16-bit integer field: the number rounded half to even (as the
// integer conversion of a typed field does); std::nullopt when it is not
// a number or out of range.
std::optional<std::int32_t> ParseFieldInt32(std::string_view text);
std::optional<std::int16_t> ParseFieldInt16(std::string_view text);

// Text of a value as a screen field shows it (digits alone, "." decimal point).
std::string FieldText(double v);

// The display rule of the screens' number fields ("." decimal point): a value
// truncated toward zero to six decimals, Fix(MK·v)/MK, where a value within
// float noise of six decimals (574.6000000000621, −276.00000000001,
// 2.9999999999) is that value; no "-0". A value below a millionth or of 10^15
// and more keeps its shortest text at seven significant digits ("6.672e-11").
std::string DisplayNumberText(double v);

// An angle in degrees brought into [0, 360) (578.24 → 218.24, −10 → 350).
double DegreesIn360(double degrees);

// Truncation toward zero for fixed-point files and truncated displays, except
// that a value within 1e-12 (relative) of an integer is that integer: a value
// read back from a fixed-point integer (198892 · 1e25 / 1e25 =
// 198891.99999999997) must give the same integer again, or every save of a
// loaded set would lose one unit in the last place of the file.
double FixNear(double x);

}  // namespace torvik
