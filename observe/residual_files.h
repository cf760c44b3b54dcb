// The three files of an observation run in "\Dat\": the stage trace
// "Ras_data.txt", the parameter records "Param_data.txt" and the rejected
// steps "Bad_data.txt". The run start writes each enabled file anew with its
// two header lines; every record is appended (open, append, close).
//
// Header (both texts surrounded by blank lines):
//   ""  "планета  № " + Npl + "   обсерватория " + source  ""
//   ""  second header line of the file                   ""
// Trace record:     CurD "  " CurM "  " CurY label L "  " B, then a blank line
//                   (L, B truncated to 3 decimals, shortest decimal text)
// Parameter record: counter, Fix(1000·CurD), 1000·CurM, 1000·CurY,
//                   Fix(1000·JD), Fix(1000·Lnab), Fix(1000·Bnab),
//                   Fix(1000·PrecA), in print zones
// Rejected record:  CurD, CurM, CurY, dL and dB in arc seconds (3 decimals),
//                   dR in thousand km (1 decimal), in print zones
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "observe/obs_calendar.h"

namespace torvik {

enum class ResidualFile : std::uint8_t { Trace, Param, Bad };

// "\Dat\Ras_data.txt", "\Dat\Param_data.txt", "\Dat\Bad_data.txt".
const char* ResidualFileRelPath(ResidualFile f);
// The two header lines with their blank lines.
std::vector<std::string> ResidualFileHeader(ResidualFile f, int Npl, const std::string& sourceName);

// Labels of the trace records.
inline constexpr const char* kTraceGelio = "  Ras Gelio Ecl     ";
inline constexpr const char* kTraceGeoEcl = "  Ras GEO ECL       ";
inline constexpr const char* kTraceApl = "  Ras GEO ECL Apl    ";
inline constexpr const char* kTraceAzv = "  Ras GEO ECL Azv    ";
inline constexpr const char* kTraceNut = "  Ras GEO EQU Nut    ";
inline constexpr const char* kTraceNab = "  Nab GEO EQU     ";

std::vector<std::string> TraceRecord(const StepDate& d, const char* label, double L, double B);
std::string ParamRecord(std::int64_t counter, const StepDate& d, double JD, double Lnab, double Bnab, double PrecA);
std::string BadRecord(const StepDate& d, double dLpl, double dBpl, double dRpl);

}  // namespace torvik
