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
// point; other values in general format with up to 15 significant digits
// (printf "%.15G" in the C locale): " 0 ", "-0.5 ", " 1.5 ", " 1E+15 ",
// " 1E-05 ". A fraction keeps its leading zero ("0.5", not BASIC's ".5").
std::string PrintNumber(double v);
// The number's digits alone, without the blanks ("-0.5", "1E+15", "2451545").
std::string NumberText(double v);
// The shortest decimal text that reads back to the same double, for composed
// lines (" JD= " + ShortestText(jd)).
std::string ShortestText(double v);
// A single-precision value (the day of a date, DateD, OutD) as BASIC prints a
// Single: up to 7 significant digits, "%.7G" in the C locale (4.81f -> "4.81",
// 16777216 -> "1.677722E+07").
std::string SingleText(float v);
// SingleText with the blanks of a printed number (" 4.81 ", "-0.25 ").
std::string PrintSingle(float v);
// A digit pattern such as "0", "00", "0000", "000.00", "000000000.000":
// zero-filled to the pattern's integer digits and rounded to its decimals.
std::string FormatPattern(double v, std::string_view pattern);

// A line of print-list items laid out in 14-character zones. Items start at
// columns 1, 15, 29, …; an item that fills or passes its zone pushes the next
// one to the following boundary, so items never run together. Columns count
// characters, not UTF-8 bytes.
class PrintLine {
 public:
  PrintLine& Text(std::string_view s);  // a text item, written unchanged
  PrintLine& Num(double v);             // a number item (PrintNumber)
  PrintLine& Single(float v);           // a single-precision number item (PrintSingle)
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

// What identifies one version of a file: a rewrite makes a new file, so
// another rewrite in between changes the stamp of the path.
struct FileStamp {
  std::uint64_t dev = 0, ino = 0;
  std::int64_t size = 0, mtimeNs = 0, ctimeNs = 0;
  bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at path; std::nullopt when there is none.
std::optional<FileStamp> StampOf(const std::filesystem::path& path);

// Writes lines (UTF-8 in memory) as a Windows-1251 text file with CR LF line
// ends. The file is written to a temporary file of its own beside the target
// and renamed over it, so a failed write leaves the old file intact; the new
// file keeps the mode of the old one. Rewrites of files of one folder never
// interleave (they hold a lock on the folder). Returns false on any failure:
// the folder cannot be written, the disk is full, the file exists without
// write permission, or `expected` is given and the file is no longer the one
// that was read (another rewrite came in between).
bool WriteTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines,
                   const std::optional<FileStamp>& expected = std::nullopt);
// Appends lines (UTF-8) to a Windows-1251 file with CR LF; opens, appends,
// closes. All the lines or none: after a failed write (a full disk) the file
// is cut back to its old length.
bool AppendTextFile(const std::filesystem::path& path, const std::vector<std::string>& lines);
// Reads a Windows-1251 text file into UTF-8 lines without their line ends
// (CR LF, a bare LF or a bare CR). std::nullopt when the file cannot be read.
// When lastLineEnded is given it tells whether the last line has its line end
// (true for an empty file): a file cut inside its last line has none. When
// stamp is given it receives the stamp of the file read.
std::optional<std::vector<std::string>> ReadTextFile(const std::filesystem::path& path,
                                                     bool* lastLineEnded = nullptr, FileStamp* stamp = nullptr);
// The same on the bytes of a file already in memory.
std::vector<std::string> SplitTextLines(std::string_view cp1251, bool* lastLineEnded = nullptr);
// The lines of the bytes as they stand in the file (Windows-1251, no
// conversion), for readers that count columns in the file's characters.
std::vector<std::string> SplitByteLines(std::string_view bytes, bool* lastLineEnded = nullptr);
// The bytes of a regular file; std::nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, FileStamp* stamp = nullptr);

// Reads records of numeric fields in the free format of the readers, the way
// the BASIC-style INPUT# statement does: fields continue across line ends and
// blank lines give no field. Reading the last field of a line finishes that
// line: a following NextLine returns the next line, and SkipLine then only
// steps past the finished line.
class FieldReader {
 public:
  explicit FieldReader(std::vector<std::string> lines);
  // Next field of any kind; std::nullopt at the end of the data.
  std::optional<std::string> NextField();
  // Next field as a number; std::nullopt at the end or when it is not a number
  // (LastField() then holds the offending text, empty at the end of the data).
  std::optional<double> NextNumber();
  // The text of the field read last.
  const std::string& LastField() const { return last_; }
  // Drops the rest of the current line (the whole line when none of it was read).
  void SkipLine();
  // Reads the next line as one text item (LINE INPUT); after some fields of a
  // line were read, the rest of that line.
  std::optional<std::string> NextLine();
  bool AtEnd() const;
  std::size_t LineIndex() const { return line_; }

 private:
  void Refill();
  std::vector<std::string> lines_;
  std::size_t line_ = 0;
  std::vector<std::string> pending_;
  std::vector<std::size_t> ends_;  // offset just past each pending field
  std::size_t pos_ = 0;
  std::string last_;
  bool loaded_ = false;
};

}  // namespace torvik
