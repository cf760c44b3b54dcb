// The point table of the drift statistics: one time series of the six orbital
// elements of one planet, read from an orbit file of a run, and the orbit file
// written back after a point was deleted or added.
//
// Orbit file (written by the runs, see model/run_files.h):
//   lines 1..4  header texts, kept for rewriting the file
//   line 5      count (sizes nothing: the records are read to the end), 100 × JD of the start
//   records     number (ignored), 100 × days after the start, then the six
//               elements × 10^6: perihelion, node, inclination (degrees),
//               eccentricity, semi-axis (metres, i.e. thousand km × 10^6),
//               period (days)
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/textfile.h"

namespace torvik {

inline constexpr int kElementCount = 6;  // columns 1..6 of Par
inline constexpr double kStatsMK = 1000000.0;

// What the statistics hold: nothing, an imitator or plan drift file, an
// imitator or plan-experiment run file.
enum class DataKind : int { None = 0, ImitatorDrift = 1, PlanDrift = 2, ImitatorRun = 3, PlanRun = 4 };

struct PointTable {
  std::int32_t NPoint = 0;
  double JDfile = 0.0;                          // JD of the run start, days
  std::vector<double> tDay{0.0};                // days after JDfile; index 0 unused
  std::vector<std::array<double, 7>> Par{{}};  // elements in stored units; row 0 and column 0 unused
  std::array<std::string, 4> header;            // the four header lines (HeaderText joined by CR LF)
  std::string RunPath;                          // relative path of the loaded file
  DataKind kind = DataKind::None;
  // The version of the file the points were read from (or last written to):
  // a rewrite of stampFile replaces only that version.
  std::optional<FileStamp> stamp;
  std::filesystem::path stampFile;

  // Drops all points (NPoint = 0, one empty slot 0).
  void Reset();
  // Appends a point; returns its index.
  int Add(double t, const std::array<double, 7>& par);
  std::string HeaderText() const;  // h1 CR LF h2 CR LF h3 CR LF h4
  // The plot title: the first 15 characters of h3.
  std::string Title() const;
};

// Stored unit -> drift unit per element p 1..6: 3600 for the angles (p < 3.5),
// MK for the eccentricity, 1 for the semi-axis, 1440 for the period.
double UFactor(int p);

// Relative orbit-file paths: "\Plan" + plan + "\Txt" + planet + "\Torvik" +
// planet + "Ras" + letter + experiment + ".txt" and "\" + folder + "\Torvik" +
// planet + "Nab.txt" (folder "NEW", "APC", "JPL", "Mox").
std::string PlanRunPath(int plan, int planet, char letter, int experiment);
std::string ImitatorRunPath(const std::string& folder, int planet);

// Fix(x) of a value about to be written to a fixed-point file, except that a
// value within 1e-6 (or 1e-12 relative) of an integer is that integer: values
// read back from the file (value / MK) and times shifted to a new start date
// (JD + t − JD') must give their old integers again, or every rewrite of a file
// would lose one unit in the last place of its records.
double FixStored(double x);

// "Ошибка чтения данных из файла" CR LF + path.
UserMessage ReadErrorMessage(const std::string& relPath);
// "Ошибка записи данных в файл" CR LF + path.
UserMessage RunWriteErrorMessage(const std::string& relPath);

// Reads an orbit file's lines into the table (replacing its points, header and
// JDfile; RunPath and kind stay the caller's). The count line does not limit
// the records: every record up to the end is read. The count line has its two
// whole numbers, every record line its eight, and a record holds what a run
// can write (a record number that does not go back, a time other than the
// record before's, eccentricity 0..1, inclination within ±180°, no negative
// semi-axis or period). A missing header
// or count line, a bad number, a short or long record or an implausible one
// ends the reading with false; the points read so far stay.
bool ReadRunLines(const std::vector<std::string>& lines, PointTable& t);
// Reads the file; false when it cannot be read or is malformed (see
// ReadRunLines), or when its last line has no line end (the file was cut).
// Records the stamp of the file read.
bool ReadRunFile(const std::filesystem::path& file, PointTable& t);

// The lines of the orbit file of the table: the header, the count line
// (NPoint, Fix(100·JDfile)) and the records i, Fix(100·tDay(i)),
// Fix(MK·Par(i, 1)) … Fix(MK·Par(i, 6)).
std::vector<std::string> RunFileLines(const PointTable& t);
// Rewrites the file through a temporary file beside it; false on failure (the
// old file then stays as it was), also when the file is the one the table was
// read from and another rewrite has replaced it since. Records the new stamp.
bool WriteRunFile(const std::filesystem::path& file, PointTable& t);

}  // namespace torvik
