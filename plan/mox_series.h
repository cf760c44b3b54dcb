// The Mox data series: the natural optimum of an observation plan as a dated
// point of the run file of the imitator Mox, "\Mox\Torvik" + body + "Nab.txt",
// in the orbit-file layout of the statistics (stats/points.h), so that the
// statistics process the observed elements like the records of a model run.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/message.h"
#include "stats/points.h"

namespace torvik {

inline constexpr const char* kMsgMoxNotLoaded = "Данные имитатора Mox не загружены";
inline constexpr const char* kMoxReplaceQuestion = "Точка с такой датой уже есть\r\nЗаменить параметры этой точки?\r\n";

// "\Mox\Torvik" + body + "Nab.txt" with body Npl, or 3 (the Earth) for the Sun.
std::string MoxRunPath(int Npl);

// ShowMoxData: reads the file into the table (DataKind 3, RunPath set) and
// returns the listing: the four header lines, "NP1max=  " + count + "   JD0 =  "
// + JDfile, then one line per point. A missing or malformed file, or more
// records than the count line announces, gives "Ошибка чтения данных из
// файла" CR LF + path; the table then keeps its previous points.
// The reading alone, on the lines of the file: false (the table unchanged)
// on a malformed file or more records than the count line announces.
bool ReadMoxLines(const std::vector<std::string>& lines, PointTable& t, std::vector<std::string>* listing);
ActionResult ShowMoxData(const std::filesystem::path& folder, int Npl, PointTable& t,
                         std::vector<std::string>* listing);

// The date of the new point: the middle of the observation interval,
// JDstart + (EndY − StartY)·365.25/2.
double MoxPointDate(double JDstart, int StartY, int EndY);

// The new values in element order: AlfaP, AlfaU, Betta (degrees), Eks, Rsr
// (thousand km), period (days), i.e. Par(·, 1..6).
using MoxValues = std::array<double, 7>;

// AddMoxPoint: inserts the point of date Dnew in date order (JDfile moves to
// the earliest date), or, when a point has exactly that date, asks `replace`
// and with Yes replaces its values; never a second point of one date. Then
// rewrites RunPath (temporary file + rename) with the header of the Mox
// series for planet Npl. "Данные имитатора Mox не загружены" when the table
// holds no run file; "Ошибка записи данных в файл" CR LF + path when writing
// fails.
ActionResult AddMoxPoint(const std::filesystem::path& folder, int Npl, const MoxValues& v, double Dnew,
                         const std::function<bool()>& replace, PointTable& t);

}  // namespace torvik
