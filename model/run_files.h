// The two text files a run leaves in the program folder: the coordinate trace
// of the watched planet (one record per screen update) and the orbit file (one
// record per perihelion and aphelion passage once NRev has reached 2), the
// input of the drift statistics.
//
// Orbit file, model run "\Plan" + k + "\Txt" + p + "\Torvik" + p + "RasB" + n + ".txt",
// imitator run "\NEW\", "\APC\", "\Mox\", "\JPL\" + "Torvik" + p + "Nab.txt":
//   line 1..3  composed header texts (experiment, steps, mode label and speeds)
//   line 4     column titles
//   line 5     printed numbers NRecEst, Fix(100·JDstart)
//   then per record the printed numbers, one line each:
//     NRev | Fix(tRun·100/sekD) | Fix(AlfaP·MK) | Fix(AlfaU·MK) | Fix(Betta·kUgol·MK) |
//     Fix(Eks·MK) | Fix(Rsr) | Fix(Period·MK)
//   (days × 100, degrees × 10^6, metres, days × 10^6).
// Coordinate trace "\XYZ\torvik" + p + "XYZ" + n + ".txt": an empty line, four
// header texts, an empty line, then one composed line per screen update.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/calendar.h"
#include "core/model.h"
#include "model/imitator.h"
#include "params/loading.h"

namespace torvik {

// Suffix of the load option of the parameters screen that gave the initial
// data: "NEW", " JPL", "" (Mox), " FILE", " SCREEN".
std::string InitialDataSuffix(LoadOption s);
// "КЛАССИКА  " or "OTO  " (Latin letters) followed by the suffix.
std::string ModelModeLabel(bool oto, LoadOption s);
// "NEW_0", "APC_2", "JPL_DE405 ", "Mox_0".
std::string ImitatorModeLabel(ImitatorKind k);
// "NEW", "APC", "JPL", "Mox".
std::string ImitatorFolder(ImitatorKind k);

// Relative paths of the system (backslashes; ResolvePath makes them native).
std::string TracePath(int planet, int fileNo);
std::string ModelOrbitPath(int plan, int planet, int fileNo);
std::string ImitatorOrbitPath(ImitatorKind k, int planet);

// Gravity-speed figure of the headers: f·100·Vgr/Vsv, f = 1 with the finite
// speed on, else 0.
double GravityFigure(bool finiteSpeed, double Vgr, double Vsv);
// Estimated record count Fix((Vsv/Vgr + 1.1)·2·(endYear − DateY)·365.25/Tsid);
// std::nullopt when it is not a finite 32-bit integer (e.g. Vgr = 0).
std::optional<std::int32_t> EstimateRecordCount(double Vsv, double Vgr, int endYear, int DateY,
                                                double Tsid);

// The run date in the system's short date format, "dd.MM.yyyy".
std::string RunDateText(int year, int month, int day);
// Start date of the initial data: Format(DateD, "00") . Format(DateM, "00") . Format(DateY, "0000").
std::string StartDateText(const Model& m);

// What both headers print.
struct RunHeader {
  int planet = 1;          // p
  int fileNo = 1;          // n
  std::string runDate;     // RunDateText of the current date
  std::string startDate;   // StartDateText
  double hMain = 3600.0;   // s
  double NRed = 100.0;
  std::string modeLabel;
  double VXsys = 0.0, VYsys = 0.0, VZsys = 0.0;  // km/s
  double G = 0.0;          // GravityFigure
  std::int32_t NRecEst = 0;
  double JDstart = 0.0;    // days
};

std::vector<std::string> TraceHeaderLines(const RunHeader& h);
std::vector<std::string> OrbitHeaderLines(const RunHeader& h);

// One trace line: the date of JD, tRun (s), the position (m), Rpl (m), the
// velocity and Vpl (m/s) of the watched planet and Esys (J).
struct TraceRecord {
  CalendarDate date;
  double tRun = 0.0;
  double X = 0.0, Y = 0.0, Z = 0.0, Rpl = 0.0;
  double VX = 0.0, VY = 0.0, VZ = 0.0, Vpl = 0.0;
  double Esys = 0.0;
};
std::string TraceRecordLine(const TraceRecord& r, const Model& m);

// One orbit record (angles in degrees, Betta in radians, Rsr in metres,
// Period in days, tRun in seconds).
struct OrbitRecord {
  std::int32_t NRev = 0;
  double tRun = 0.0;
  double AlfaP = 0.0, AlfaU = 0.0, Betta = 0.0, Eks = 0.0, Rsr = 0.0, Period = 0.0;
};
std::string OrbitRecordLine(const OrbitRecord& r, const Model& m);

// Writers: the header writers create (truncate) the file, the record writers
// append; each opens and closes the file. False when the folder is missing or
// the file cannot be written (folders are never created).
bool WriteTraceHeader(const std::filesystem::path& file, const RunHeader& h);
bool WriteOrbitHeader(const std::filesystem::path& file, const RunHeader& h);
bool WriteTraceRecord(const std::filesystem::path& file, const TraceRecord& r, const Model& m);
bool WriteOrbitRecord(const std::filesystem::path& file, const OrbitRecord& r, const Model& m);

}  // namespace torvik
