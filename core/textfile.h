// Text-file conventions shared by every writer and reader of the system:
// 14-character print zones, printed numbers, digit patterns, fixed-point
// truncation, free-format field reading, CR LF line ends and Windows-1251.
// Numbers in files always use "." as the decimal separator, whatever the
// locale: the readers split fields at commas.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace torvik {

inline constexpr int kPrintZone = 14;

// Fix: truncation toward zero.
double Fix(double v);
// Display form of a value: Fix(MK·v)/MK, six decimals truncated toward zero.
double FixMK(double v, double MK = 1000000.0);

// A number as a print list writes it: a leading blank (or its minus sign), the
// digits, one trailing blank. Integer-valued doubles print without a decimal
// point; other values in general format with up to 15 significant digits.
std::string PrintNumber(double v);
// The number's digits alone, without the blanks ("-0.5", "1E+15", "2451545").
std::string NumberText(double v);
// The shortest decimal text that reads back to the same double, for composed
// lines (" JD= " + ShortestText(jd)).
std::string ShortestText(double v);
// A digit pattern such as "0", "00", "0000", "000.00", "000000000.000":
// zero-filled to the pattern's integer digits and rounded to its decimals.
std::string FormatPattern(double v, std::string_view pattern);

// A line of print-list items laid out in 14-character zones.
class PrintLine {
 public:
  PrintLine& Text(std::string_view s);  // a text item, written unchanged
  PrintLine& Num(double v);             // a number item (PrintNumber)
  const std::string& str() const { return line_; }

 private:
  void NextZone();
  std::string line_;
  bool first_ = true;
};

// Splits a line into fields at blanks, commas and the line end (tabs count as
// blanks; empty fields between separators are dropped).
std::vector<std::string> SplitFields(std::string_view line);

// Free-format number: accepts ".5", "-.5", "1E+15", "1e-3", Fortran
// "0.2436912500000000D+07", a leading "+". Anything else is std::nullopt.
std::optional<double> ParseNumber(std::string_view field);

// Windows-1251 <-> UTF-8.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view cp1251);

// Writes lines (UTF-8 in memory) as a Windows-1251 text file with CR LF line
// ends. The file is written beside the target and renamed over it, so a
// failed write leaves the old file intact. Returns false on any failure.
bool WriteTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines);
// Appends lines (UTF-8) to a Windows-1251 file with CR LF; opens, appends, closes.
bool AppendTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines);
// Reads a Windows-1251 text file into UTF-8 lines without their CR LF (a bare
// LF also ends a line). std::nullopt when the file cannot be read.
std::optional<std::vector<std::string>> ReadTextFile(const std::filesystem::path& path);

// Reads records of numeric fields in the free format of the readers, the way
// the BASIC-style INPUT# statement does: fields continue across line ends.
class FieldReader {
 public:
  explicit FieldReader(std::vector<std::string> lines);
  // Next field of any kind; std::nullopt at the end of the data.
  std::optional<std::string> NextField();
  // Next field as a number; std::nullopt at the end or when it is not a number.
  std::optional<double> NextNumber();
  // Drops the rest of the current line.
  void SkipLine();
  // Reads the whole next line as one text item (LINE INPUT).
  std::optional<std::string> NextLine();
  bool AtEnd() const;
  std::size_t LineIndex() const { return line_; }

 private:
  void Refill();
  std::vector<std::string> lines_;
  std::size_t line_ = 0;
  std::vector<std::string> pending_;
  std::size_t pos_ = 0;
  bool loaded_ = false;
};

}  // namespace torvik
