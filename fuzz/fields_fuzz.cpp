// The readers of typed text: screen fields (numbers, integers, dates) and the
// free-format fields of the text files. Any text gives a value or a refusal;
// a value is finite, and a date that is accepted has a finite Julian date.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/calendar.h"
#include "core/fields.h"
#include "core/model.h"
#include "core/textfile.h"
#include "params/loading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvik;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto v = ParseFieldNumber(text); v && !std::isfinite(*v)) std::abort();
  if (auto v = ParseNumber(text); v && !std::isfinite(*v)) std::abort();
  (void)ParseFieldInt32(text);
  (void)ParseFieldInt16(text);
  (void)FieldText(FixNear(ParseFieldNumber(text).value_or(0.0)));

  // The text as a file: its lines through the field reader of the readers.
  FieldReader reader(SplitTextLines(text));
  for (int n = 0; n < 64 && !reader.AtEnd(); ++n) {
    if (n % 7 == 3) (void)reader.NextLine();
    else if (n % 11 == 5) reader.SkipLine();
    else (void)reader.NextNumber();
  }

  // The first three fields as the date buttons of the parameters screen read them.
  const auto fields = SplitFields(text.substr(0, 200));
  static Model m = [] {
    Model x;
    SetConstants(x);
    return x;
  }();
  if (fields.size() >= 3 && !DateFieldsToJD(m, fields[0], fields[1], fields[2])) {
    if (!JDInRange(m.JD)) std::abort();
    if (!JDFieldToDate(m, ShortestText(m.JD)) && !(m.OutM >= 1 && m.OutM <= 12)) std::abort();
  }
  if (!fields.empty() && !JDFieldToDate(m, fields[0]) && !(m.OutM >= 1 && m.OutM <= 12)) std::abort();
  return 0;
}
