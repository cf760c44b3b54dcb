// The parameter file "\torvik" + N + ".dat": the date, the constants and, per
// body 0..10, the elements, the initial state and the mass ratio in fixed-point
// integers. 15 lines, CR LF, Windows-1251, items in 14-character print zones.
//
//   line 1      DateD DateM DateY (numbers), then kParamFileLine1Text
//   line 2      kParamFileLine2Text
//   line 3      mSol / 1e25, gamma · 1e16, Lae (m), integers
//   line 4      kParamFileLine4Text
//   lines 5..15 body k = 0..10, 15 columns:
//                1 k ("00", read and ignored: the line order gives the body)
//                2 MK·AlfaL·kUgol  µdeg     3 R0sr km (rounded)
//                4 MK·W0sr·sekG  µrad/year  5 MK·Eks0
//                6 MK·Betta0·kUgol µdeg     7 MK·AlfaP0·kUgol µdeg
//                8 MK·AlfaU0·kUgol µdeg     9 X km (truncated)
//               10 Y km (metres truncated, then rounded)   11 Z km (truncated)
//               12..14 MK·VX, VY, VZ  µm/s  15 1000·km
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/model.h"

namespace torvik {

inline constexpr const char* kParamFileLine1Text =
    "               MK=1 000 000         kUgol=180 град/pi       sekG = 31557600 сек";
inline constexpr const char* kParamFileLine2Text = "mSol / 10^25____gamma * 10^16____Lae";
inline constexpr const char* kParamFileLine4Text =
    "№ объкта_MK * AlfaL * kUgol__R0sr / 1000__MK * W0sr * sekG__MK * Eks0__MK * Betta0 * "
    "kUgol__MK * AlfaP0 * kUgol__MK * AlfaU0 * kUgol__X / 1000__Y / 1000__Z / 1000__MK * "
    "VX___MK * VY___MK * VZ_____1000 * km";

inline constexpr int kParamFileLines = 15;
inline constexpr int kParamFileBodyColumns = 15;

// Largest magnitude of a number in the file: 1e15 µm/s, µdeg or km is far
// beyond any body of the system, and every such integer is exact in a double.
inline constexpr double kParamFileMaxValue = 1e15;

inline constexpr const char* kMsgFileRead = "Ошибка чтения файла";
inline constexpr const char* kMsgFileWrite = "Ошибка записи в файл";

// Relative path of file N: "\torvik" + N + ".dat".
std::string ParamFileRelPath(std::int16_t n);

// The 15 lines (UTF-8) that the writer puts into the file for the model's
// date, constants, elements, current state and mass ratios.
std::vector<std::string> ParamFileLines(const Model& m);

// Writes file N under the program folder (temp file + rename). On failure:
// "Ошибка записи в файл" + CR LF + path, title "Torvik6.0".
ActionResult WriteParamFile(const Model& m, const std::filesystem::path& folder, std::int16_t n);

// Reads file N into the model: the date (DateD/M/Y, JD, JDstart, JD0 =
// JDstart), mSol, gamma, Lae, and per body the elements, X = X0 … VZ = VZ0 and
// km. Values are stored as they are read, so on a failure ("Ошибка чтения
// файла" + CR LF + path, title "Torvik6.0") everything before the bad field
// stays. The file must have exactly its 15 lines, the last one with its line
// end; line 3 and the body lines exactly their fields, whole numbers of at
// most kParamFileMaxValue; the date a date of the calendars' range. Masses and normalisation are the loader's completion (loading.h).
ActionResult ReadParamFile(Model& m, const std::filesystem::path& folder, std::int16_t n);
// The same on lines already in memory; `where` is the path shown in a message.
ActionResult ReadParamLines(Model& m, const std::vector<std::string>& lines, const std::string& where);

}  // namespace torvik
