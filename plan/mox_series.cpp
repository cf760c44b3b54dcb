#include "plan/mox_series.h"

#include <algorithm>
#include <cmath>

#include "core/calendar.h"
#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

namespace {

constexpr double kLastDate = 2 * 2451545.0;  // beyond every point

}  // namespace

std::string MoxRunPath(int Npl) { return ImitatorRunPath("Mox", Npl == 0 ? 3 : Npl); }

bool ReadMoxLines(const std::vector<std::string>& lines, PointTable& t, std::vector<std::string>* listing) {
  PointTable read;
  read.RunPath = t.RunPath;
  read.kind = t.kind;
  if (lines.size() < 5 || !ReadRunLines(lines, read)) return false;
  const auto count = SplitFields(lines[4]);
  const auto N0 = count.empty() ? std::nullopt : ParseNumber(count[0]);
  if (!N0 || read.NPoint > *N0) return false;
  t = read;
  if (listing) {
    listing->assign(t.header.begin(), t.header.end());
    listing->push_back("NP1max=  " + NumberText(*N0) + "   JD0 =  " + NumberText(t.JDfile));
    for (int i = 1; i <= t.NPoint; ++i) {
      const auto& p = t.Par[static_cast<std::size_t>(i)];
      listing->push_back(std::to_string(i) + "   dT= " + FormatPattern(t.tDay[static_cast<std::size_t>(i)], "0000000.00") +
                         "    AlfaP  = " + FormatPattern(p[1], "0000.0000") + "    AlfaU  = " +
                         FormatPattern(p[2], "0000.0000") + "    Betta  = " + FormatPattern(p[3], "000.00000") +
                         "    Eks  = " + FormatPattern(p[4], "0.000000") + "    Rsr  = " + FormatPattern(p[5], "0000.0000") +
                         "    Period  = " + FormatPattern(p[6], "000.0000"));
    }
  }
  return true;
}

ActionResult ShowMoxData(const std::filesystem::path& folder, int Npl, PointTable& t,
                         std::vector<std::string>* listing) {
  const std::string rel = MoxRunPath(Npl);
  t.RunPath = rel;
  t.kind = DataKind::ImitatorRun;
  const auto file = ResolvePath(folder, rel);
  bool ended = false;
  FileStamp stamp;
  auto lines = ReadTextFile(file, &ended, &stamp);
  // A file cut inside its last record is refused like a malformed one.
  if (!lines || !ended || !ReadMoxLines(*lines, t, listing)) return ReadErrorMessage(rel);
  t.stamp = stamp;
  t.stampFile = file;
  return std::nullopt;
}

double MoxPointDate(double JDstart, int StartY, int EndY) { return JDstart + (EndY - StartY) * 365.25 / 2; }

ActionResult AddMoxPoint(const std::filesystem::path& folder, int Npl, const MoxValues& v, double Dnew,
                         const std::function<bool()>& replace, PointTable& t) {
  if (t.kind != DataKind::ImitatorRun) return UserMessage{kMsgMoxNotLoaded, kTitle};
  const int n = std::min<int>(t.NPoint, static_cast<int>(t.tDay.size()) - 1);  // never past what was read
  std::vector<double> D(static_cast<std::size_t>(n) + 1, 0.0);
  PointTable out = t;
  bool same = false;
  for (int i = 1; i <= n; ++i) {
    D[static_cast<std::size_t>(i)] = t.JDfile + t.tDay[static_cast<std::size_t>(i)];
    if (D[static_cast<std::size_t>(i)] == Dnew) {
      same = true;
      if (replace()) out.Par[static_cast<std::size_t>(i)] = v;
    }
  }
  if (!same) {
    // The first point dated after the new one; points out of order or a date
    // beyond all of them put it last.
    int k = n + 1;
    for (int j = 1; j <= n; ++j)
      if (D[static_cast<std::size_t>(j)] > Dnew) {
        k = j;
        break;
      }
    double JD0 = std::min(kLastDate, Dnew);
    for (int i = 1; i <= n; ++i) JD0 = std::min(JD0, D[static_cast<std::size_t>(i)]);
    out.Reset();
    out.JDfile = JD0;
    for (int j = 1; j <= n + 1; ++j) {
      if (j < k) out.Add(D[static_cast<std::size_t>(j)] - JD0, t.Par[static_cast<std::size_t>(j)]);
      else if (j == k) out.Add(Dnew - JD0, v);
      else out.Add(D[static_cast<std::size_t>(j - 1)] - JD0, t.Par[static_cast<std::size_t>(j - 1)]);
    }
  } else if (n < t.NPoint) {
    out.NPoint = n;
  }
  out.header = {"Обработанные данные наблюдений объекта № " + std::to_string(Npl),
                "по данным таблиц древних астрономов и оптических наблюдений различных обсерваторий т.е.",
                "имитатор Mox     ",
                " № точки     прошло дней   перигелий     восхождение     наклон      эксцентриситет        полуось  "
                "      период"};
  if (!WriteRunFile(ResolvePath(folder, t.RunPath), out)) return RunWriteErrorMessage(t.RunPath);
  t = out;
  return std::nullopt;
}

}  // namespace torvik
