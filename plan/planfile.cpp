#include "plan/planfile.h"

#include <cmath>

#include "core/fields.h"
#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

PlanWeights UnitWeights() {
  PlanWeights w{};
  for (int p = 1; p <= 10; ++p)
    for (int e = 1; e <= 6; ++e) w[p][e] = 1.0;
  return w;
}

std::string PlanFileRelPath(int plan) { return "\\Plan" + std::to_string(plan) + "\\TorvikPlan.dat"; }

std::vector<std::string> PlanFileLines(const PlanParams& p, double MK) {
  std::vector<std::string> lines{kPlanFileTitle, PrintLine().Num(p.PlanNo).str()};
  for (int i = 1; i <= kFactors; ++i)
    lines.push_back(PrintLine().Num(FixNear(MK * p.levels.Xzero[i])).Num(FixNear(MK * p.levels.Xstep[i])).str());
  for (int planet = 1; planet <= 10; ++planet) {
    PrintLine l;
    for (int e = 1; e <= 6; ++e) l.Num(p.Wt[planet][e]);
    lines.push_back(l.str());
  }
  return lines;
}

ActionResult WritePlanFile(const PlanParams& p, const std::filesystem::path& folder, double MK) {
  const auto lines = PlanFileLines(p, MK);
  // The message names the file with its path: "\Plan" + k + "\TorvikPlan.dat".
  const UserMessage fail{std::string(kMsgPlanFileWrite) + "\r\n" + PlanFileRelPath(p.PlanNo), kTitle};
  for (int i = 1; i <= kFactors; ++i)
    if (!std::isfinite(MK * p.levels.Xzero[i]) || !std::isfinite(MK * p.levels.Xstep[i])) return fail;
  if (!WriteTextFile(ResolvePath(folder, PlanFileRelPath(p.PlanNo)), lines)) return fail;
  return std::nullopt;
}

ActionResult ReadPlanLines(const std::vector<std::string>& lines, PlanParams* out, double MK) {
  const UserMessage fail{kMsgPlanFileRead, kTitle};
  // Sixteen lines (blank lines may follow), each number line with its count
  // of fields: a decimal comma, an extra field or a repeated line changes a
  // count, and a value beyond any plausible size is refused.
  std::size_t n = lines.size();
  while (n > 16 && lines[n - 1].find_first_not_of(" \t") == std::string::npos) --n;
  if (n != 16) return fail;
  std::vector<double> v;
  auto line = [&](std::size_t index, std::size_t count) {
    const auto f = SplitFields(lines[index]);
    if (f.size() != count) return false;
    v.clear();
    for (const auto& field : f) {
      const auto x = ParseNumber(field);
      if (!x || !(std::fabs(*x) <= kPlanFileMaxValue)) return false;
      v.push_back(*x);
    }
    return true;
  };
  PlanParams p;
  if (!line(1, 1) || std::fabs(v[0]) > 32767 || v[0] != std::trunc(v[0])) return fail;
  p.PlanNo = static_cast<std::int16_t>(v[0]);
  for (int i = 1; i <= kFactors; ++i) {
    if (!line(static_cast<std::size_t>(i) + 1, 2)) return fail;
    p.levels.Xzero[i] = v[0] / MK;
    p.levels.Xstep[i] = v[1] / MK;
  }
  for (int planet = 1; planet <= 10; ++planet) {
    if (!line(static_cast<std::size_t>(planet) + 5, 6)) return fail;
    for (int e = 1; e <= 6; ++e) p.Wt[planet][e] = v[static_cast<std::size_t>(e - 1)];
  }
  *out = p;
  return std::nullopt;
}

ActionResult ReadPlanFile(int plan, const std::filesystem::path& folder, PlanParams* p, double MK) {
  bool ended = false;
  auto lines = ReadTextFile(ResolvePath(folder, PlanFileRelPath(plan)), &ended);
  // A file cut inside its last number has no line end after it.
  const UserMessage fail{std::string(kMsgPlanFileRead) + "\r\n" + PlanFileRelPath(plan), kTitle};
  if (!lines || !ended || ReadPlanLines(*lines, p, MK)) return fail;
  return std::nullopt;
}

std::vector<std::string> PlanParamsText(const PlanParams& p) {
  std::vector<std::string> t{kPlanFileTitle + std::to_string(p.PlanNo), "нулевые уровни и интервалы варьирования   "};
  for (int i = 1; i <= kFactors; ++i)
    t.push_back("фактор  " + std::to_string(i) + "       " + ShortestText(p.levels.Xzero[i]) + "   " +
                ShortestText(p.levels.Xstep[i]));
  t.emplace_back();
  t.emplace_back("весовые коэффициенты   ");
  for (int planet = 1; planet <= 10; ++planet) {
    std::string line = "планета  " + std::to_string(planet) + "          " + ShortestText(p.Wt[planet][1]);
    for (int e = 2; e <= 6; ++e) line += "    " + ShortestText(p.Wt[planet][e]);
    t.push_back(line);
  }
  return t;
}

}  // namespace torvik
