// Reader of the JPL DE405 ephemeris in its published ASCII form.
//
// Files "ascp" + year + ".405", one per 20 years (year = 1600, 1620, …): the
// first file of a run in "\JPL\", the files that follow it in "\JPL\405\".
// File YYYY runs from the record holding 1 January YYYY 0h to the record
// holding 1 January YYYY+20, so neighbouring files share one record; files of
// the years 1680, 1760, 1820, 1900, 1980, 2040, 2120, 2180 hold 230 records,
// the others 229. A record of 32 days:
//   header line   record number within the file, coefficient count (1018)
//   340 lines     three numbers each, Fortran D exponents (0.2436912500D+07):
//                 slots 1..1020 = T1, T2 (Julian dates), 1016 Chebyshev
//                 coefficients, two padding zeros
// Per body the layout table Model::De405 gives the slot of the first
// coefficient, the coefficients per component and the days per sub-interval;
// a body's block is sub-interval × component (x, y, z) × coefficient.
// Positions are barycentric, equatorial J2000, kilometres.
//
// The open file is read strictly forward: a run can only move on to the next
// record, never back. A record is used only when it has exactly this layout,
// its number and dates continue the previous record of the file, and its
// coefficients are finite and of a size the ephemeris can have.
#pragma once

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

inline constexpr const char* kNoSuchDate = "В файле нет такой даты";
inline constexpr const char* kJplReadError = "Ошибка чтения файлов JPL";

// Records per file of the 20-year file starting in year: 229 or 230.
int De405RecordsPerFile(int year);
// "ascp" + year + ".405".
std::string De405FileName(int year);
// First year of the 20-year file whose span holds jd (1600 + 20·k), by the
// Gregorian year of jd.
int De405FileYearOf(double jd);

class De405Reader {
 public:
  // LocateDE405: opens the file whose span holds jd ("\JPL\", then "\JPL\405\";
  // the previous or next file when jd falls before or after it) and reads
  // forward to the record holding jd. On failure "В файле нет такой даты"
  // (title "Torvik6") and the reader is closed.
  ActionResult Locate(const std::filesystem::path& folder, double jd);

  // ImitatePosition for jd: moves on to the next record when jd has left the
  // current one (opening the next file in "\JPL\405\" after the last record
  // of a file), then evaluates the Sun into X, Y, Z(0) and the body into
  // X, Y, Z(body): barycentric ecliptic J2000 (rotated with Eps0), metres.
  // "Ошибка чтения файлов JPL" when the files end, jd lies outside the record
  // that follows (a step longer than a record, or backwards), or the body has
  // no series; the model is then untouched.
  ActionResult Evaluate(Model& m, int body, double jd);

  void Close();
  bool IsOpen() const { return in_.is_open(); }

  int fileYear() const { return fileYear_; }
  int recordsPerFile() const { return recordsPerFile_; }
  int recordNo() const { return recordNo_; }
  double T1() const { return record_[1]; }
  double T2() const { return record_[2]; }
  // The file being read (native path).
  const std::filesystem::path& file() const { return path_; }

 private:
  enum class Found { Yes, Before, After, Missing };
  Found Search(int year, double jd);
  bool Open(int year, bool firstFolderJpl);
  bool ReadRecord();
  // Position of body on the current record at jd, equatorial km.
  bool Chebyshev(const De405Layout& lay, double jd, double out[3]) const;

  std::filesystem::path folder_;
  std::filesystem::path path_;
  std::ifstream in_;
  int fileYear_ = 0;
  int recordsPerFile_ = 229;
  int recordNo_ = 0;
  bool haveRecord_ = false;  // a record of the open file has been read
  std::array<double, 1022> record_{};
};

}  // namespace torvik
