// Distributions of the deviations of an observation run: |dL| in whole arc
// seconds 0..18, |dB| in quarter arc seconds 0..4.5 and dR in eighteen equal
// parts of dRmax, each with an open interval above. A deviation counts in an
// interval only strictly between its edges, so one that lies exactly on an
// edge (or is exactly 0) is counted nowhere. The report "\Dat\Stat" + Npl +
// source + ".txt" lists the counts with the means of the accepted steps.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/message.h"

namespace torvik {

inline constexpr const char* kWrongScale = "Введите правильно масштаб";

struct ObsStatistics {
  // Edge(0..59): 0..18 |dL| in degrees (i/3600), 19 open; 20..38 |dB|
  // ((i − 20)/14400), 39 open; 40..58 dR ((i − 40)·dRmax/18), 59 open.
  std::array<double, 60> Edge{};
  // Count(i) belongs to (Edge(i − 1), Edge(i)); 0, 20, 40 and 60 stay 0.
  std::array<double, 61> Count{};

  explicit ObsStatistics(double dRmax);
  // One step that reached the comparison (degrees, degrees, thousand km).
  void Add(double dLpl, double dBpl, double dRpl);
};

// The means of the accepted steps that close the report.
struct ObsMeans {
  std::int32_t NdR = 0;
  double absDL = 0, absDB = 0;  // mean |dL|, |dB|, degrees
  double dR = 0;                // mean dR, thousand km
};

// "\Dat\Stat" + Npl + source + ".txt".
std::string StatReportRelPath(int Npl, const std::string& sourceName);
// The lines of the report (written with CR LF after each).
std::vector<std::string> StatReport(const ObsStatistics& s, int Npl, const std::string& sourceName, const ObsMeans& m);
// Writes the report into the program folder; "Введите правильно масштаб"
// (title "Torvik6.0") when no step was accepted or the file cannot be written.
ActionResult WriteStatReport(const std::filesystem::path& folder, const ObsStatistics& s, int Npl,
                             const std::string& sourceName, const ObsMeans& m);

// The polyline of one distribution as the pictures draw it, in picture units
// for the scale S: |dL| (i − 10, 3·Count/S − 10), |dB| (i − 20, 3·Count/S),
// dR (i − 40, Count/S).
enum class StatCurve : std::uint8_t { dL, dB, dR };
std::vector<std::array<double, 2>> StatPolyline(const ObsStatistics& s, StatCurve c, double S);
// The same polyline moved and squeezed into the part of its picture that is
// seen, y from `bottom` to `top`: its zero level (−10 for |dL|, 0 for the
// others) on `bottom`, and its heights shrunk so that the highest reaches `top`
// when it would go beyond it.
std::vector<std::array<double, 2>> StatPolylineWithin(const ObsStatistics& s, StatCurve c, double S, double bottom,
                                                      double top);

}  // namespace torvik
