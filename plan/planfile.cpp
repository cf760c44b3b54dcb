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
  for (int i = 1; i <= kFactors; ++i)
    if (!std::isfinite(MK * p.levels.Xzero[i]) || !std::isfinite(MK * p.levels.Xstep[i]))
      return UserMessage{kMsgPlanFileWrite, kTitle};
  if (!WriteTextFile(ResolvePath(folder, PlanFileRelPath(p.PlanNo)), lines))
    return UserMessage{kMsgPlanFileWrite, kTitle};
  return std::nullopt;
}

ActionResult ReadPlanLines(const std::vector<std::string>& lines, PlanParams* out, double MK) {
  const UserMessage fail{kMsgPlanFileRead, kTitle};
  FieldReader r(lines);
  if (!r.NextLine()) return fail;
  PlanParams p;
  auto number = [&](double* v) {
    auto x = r.NextNumber();
    if (!x || !std::isfinite(*x)) return false;
    *v = *x;
    return true;
  };
  double plan = 0;
  if (!number(&plan) || std::fabs(plan) > 32767) return fail;
  p.PlanNo = static_cast<std::int16_t>(std::nearbyint(plan));
  for (int i = 1; i <= kFactors; ++i) {
    if (!number(&p.levels.Xzero[i]) || !number(&p.levels.Xstep[i])) return fail;
    p.levels.Xzero[i] /= MK;
    p.levels.Xstep[i] /= MK;
  }
  for (int planet = 1; planet <= 10; ++planet)
    for (int e = 1; e <= 6; ++e)
      if (!number(&p.Wt[planet][e])) return fail;
  *out = p;
  return std::nullopt;
}

ActionResult ReadPlanFile(int plan, const std::filesystem::path& folder, PlanParams* p, double MK) {
  auto lines = ReadTextFile(ResolvePath(folder, PlanFileRelPath(plan)));
  if (!lines) return UserMessage{kMsgPlanFileRead, kTitle};
  return ReadPlanLines(*lines, p, MK);
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
