#include "observe/obs_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

namespace {

// The value zero-padded to `digits` integer digits, rounded to `decimals`.
std::string Format(double v, int digits, int decimals) {
  char buf[64];
  const int width = digits + (decimals > 0 ? decimals + 1 : 0);
  std::snprintf(buf, sizeof buf, "%0*.*f", width, decimals, v);
  return buf;
}

std::string Mean(double v) { return NumberText(Fix(1000000.0 * v) / 1000000.0); }

}  // namespace

ObsStatistics::ObsStatistics(double dRmax) {
  for (int i = 0; i <= 18; ++i) {
    Edge[static_cast<std::size_t>(i)] = i / 3600.0;
    Edge[static_cast<std::size_t>(i + 20)] = i / 14400.0;
    Edge[static_cast<std::size_t>(i + 40)] = i * dRmax / 18.0;
  }
  Edge[19] = 1e6;
  Edge[39] = 1e6;
  Edge[59] = 1e12;
}

void ObsStatistics::Add(double dLpl, double dBpl, double dRpl) {
  const double v[3] = {std::fabs(dLpl), std::fabs(dBpl), dRpl};
  for (std::size_t g = 0; g < 3; ++g)
    for (std::size_t i = 20 * g + 1; i <= 20 * g + 19; ++i)
      if (Edge[i - 1] < v[g] && v[g] < Edge[i]) Count[i] += 1;
}

std::string StatReportRelPath(int Npl, const std::string& sourceName) {
  return "\\Dat\\Stat" + std::to_string(Npl) + sourceName + ".txt";
}

std::vector<std::string> StatReport(const ObsStatistics& s, int Npl, const std::string& sourceName, const ObsMeans& m) {
  const auto& E = s.Edge;
  const auto& C = s.Count;
  std::vector<std::string> out;
  out.push_back("статистика данных  " + sourceName + "  по планете " + std::to_string(Npl));
  out.push_back("интервалы dL и dB в угловых секундах dR в тыс.км.)");
  out.push_back("");
  for (std::size_t i = 1; i <= 18; ++i) {
    out.push_back(Format(3600 * E[i - 1], 2, 0) + "..." + Format(3600 * E[i], 2, 0) + "   " + Format(C[i], 4, 0) +
                  "        " + Format(3600 * E[i + 19], 1, 2) + "..." + Format(3600 * E[i + 20], 1, 2) + "   " +
                  Format(C[i + 20], 4, 0) + "        " + Format(E[i + 39], 3, 2) + "..." + Format(E[i + 40], 3, 2) +
                  "   " + Format(C[i + 40], 4, 0));
  }
  out.push_back(Format(3600 * E[18], 2, 0) + "...     " + Format(C[19], 4, 0) + "        " + Format(3600 * E[38], 1, 2) +
                "...       " + Format(C[39], 4, 0) + "        " + Format(E[58], 3, 2) + "...         " +
                Format(C[59], 4, 0));
  out.push_back("");
  out.push_back("                 общее количество точек  " + std::to_string(m.NdR));
  out.push_back("dLsr= " + Mean(3600 * m.absDL) + " секунд   dBsr= " + Mean(3600 * m.absDB) + " секунд   dRsr= " +
                Mean(m.dR) + " тыс. км.");
  return out;
}

ActionResult WriteStatReport(const std::filesystem::path& folder, const ObsStatistics& s, int Npl,
                             const std::string& sourceName, const ObsMeans& m) {
  const UserMessage wrong{kWrongScale, kTitle0};
  if (m.NdR <= 0) return wrong;
  if (!WriteTextFile(ResolvePath(folder, StatReportRelPath(Npl, sourceName)), StatReport(s, Npl, sourceName, m)))
    return wrong;
  return std::nullopt;
}

std::vector<std::array<double, 2>> StatPolyline(const ObsStatistics& s, StatCurve c, double S) {
  std::vector<std::array<double, 2>> pts;
  const int first = c == StatCurve::dL ? 0 : c == StatCurve::dB ? 20 : 40;
  for (int i = first; i < first + 20; ++i) {
    const double n = s.Count[static_cast<std::size_t>(i)];
    const double y = c == StatCurve::dL ? 3 * n / S - 10 : c == StatCurve::dB ? 3 * n / S : n / S;
    pts.push_back({static_cast<double>(i - first - (c == StatCurve::dL ? 10 : 0)), y});
  }
  return pts;
}

std::vector<std::array<double, 2>> StatPolylineWithin(const ObsStatistics& s, StatCurve c, double S, double bottom,
                                                      double top) {
  auto pts = StatPolyline(s, c, S);
  const double zero = c == StatCurve::dL ? -10 : 0;
  double highest = 0;
  for (const auto& p : pts) highest = std::max(highest, std::fabs(p[1] - zero));
  const double room = top - bottom;
  const double k = highest > room && highest > 0 ? room / highest : 1.0;
  for (auto& p : pts) p[1] = bottom + (p[1] - zero) * k;
  return pts;
}

}  // namespace torvik
