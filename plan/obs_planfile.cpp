#include "plan/obs_planfile.h"

#include <cmath>

#include "core/fields.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "core/theories.h"

namespace torvik {

std::string ObsPlanRelPath(const std::string& sourceKind, const std::string& sourceName, int Npl, int PlanNo) {
  return "\\" + sourceKind + "\\Plan\\" + sourceName + std::to_string(Npl) + "_" + std::to_string(PlanNo) + ".dat";
}

std::vector<std::string> ObsPlanFileLines(const ObsPlanState& s, const std::string& sourceName, double MK) {
  // FixNear: a value read back from the file saves to the same integer.
  auto mk = [&](double v) { return FixNear(MK * v); };
  std::vector<std::string> L;
  L.push_back("план № " + std::to_string(s.PlanNo) + " по планете № " + std::to_string(s.Npl) + " для " + sourceName);
  L.push_back("Нулевые уровни и интервалы варьирования параметров");
  L.push_back(PrintLine().Num(FixNear(s.Xzero[1] / 1000)).Num(FixNear(s.Xstep[1] / 1000)).str());
  for (int i = 2; i <= 5; ++i) L.push_back(PrintLine().Num(mk(s.Xzero[i])).Num(mk(s.Xstep[i])).str());
  L.push_back(PrintLine().Num(mk(s.AlfaL0)).Num(mk(s.W0sr)).str());
  L.push_back("Параметры орбиты Земли");
  L.push_back(PrintLine()
                  .Num(FixNear(s.earthR0sr / 1000))
                  .Num(mk(s.earthEks0))
                  .Num(mk(s.earthBetta0))
                  .Num(mk(s.earthAlfaP0))
                  .Num(mk(s.earthAlfaU0))
                  .Num(mk(s.earthAlfaL0))
                  .Num(mk(s.earthW0sr))
                  .str());
  L.push_back("Скорость Солнечной системы по осям X Y Z");
  L.push_back(PrintLine().Num(FixNear(s.VXsys)).Num(FixNear(s.VYsys)).Num(FixNear(s.VZsys)).str());
  L.push_back(kObsPlanHead13);
  for (int e = 1; e <= kObsExperiments; ++e) {
    PrintLine l;
    l.Num(e);
    for (int i = 1; i <= kObsFactors; ++i) l.Num(FixNear(1000 * s.PlanX[i][e]));
    L.push_back(l.Num(mk(s.Ycrit[e])).Num(mk(s.Yfit[e])).str());
  }
  L.push_back(kObsPlanHead57);
  for (int c = 0; c <= 20; ++c) L.push_back(PrintLine().Num(c).Num(mk(s.b[c])).str());
  L.push_back(kObsPlanHead79);
  for (int i = 1; i <= 6; ++i) L.push_back(PrintLine().Num(i).Num(i == 6 ? 0.0 : mk(s.Xopt[i])).Num(mk(s.XoptNat[i])).str());
  L.push_back("Начальная дата оптимизации и год окончания ");
  L.push_back(PrintLine().Num(mk(s.StartD)).Num(s.StartM).Num(s.StartY).Num(s.EndY).str());
  return L;
}

ActionResult WriteObsPlanFile(const ObsPlanState& s, const std::string& sourceKind, const std::string& sourceName,
                              const std::filesystem::path& folder, double MK) {
  const std::string rel = ObsPlanRelPath(sourceKind, sourceName, s.Npl, s.PlanNo);
  if (!WriteTextFile(ResolvePath(folder, rel), ObsPlanFileLines(s, sourceName, MK)))
    return UserMessage{std::string(kMsgPlanWrite) + "\r\n" + rel, kTitle};
  return std::nullopt;
}

namespace {

// Reads into a copy; false at the first missing or malformed item.
bool ReadInto(const std::vector<std::string>& lines, ObsPlanState& s, double MK) {
  FieldReader r(lines);
  bool ok = true;
  auto num = [&]() {
    auto v = r.NextNumber();
    if (!v || !std::isfinite(*v)) ok = false;
    return ok ? *v : 0.0;
  };
  auto text = [&]() {
    auto t = r.NextLine();
    if (!t) ok = false;
    return t ? *t : std::string();
  };
  auto int16 = [&]() {
    const double v = num();
    if (std::fabs(v) > 32767) ok = false;
    return ok ? static_cast<std::int16_t>(std::lround(v)) : std::int16_t{0};
  };
  s.PlanTitle = text();
  text();
  for (int i = 1; i <= 5; ++i) {
    s.Xzero[i] = num() / MK;
    s.Xstep[i] = num() / MK;
  }
  s.Xzero[1] *= 1000 * MK;
  s.Xstep[1] *= 1000 * MK;
  s.AlfaL0 = num() / MK;
  s.W0sr = num() / MK;
  text();
  s.earthR0sr = num() * 1000;
  for (double* v : {&s.earthEks0, &s.earthBetta0, &s.earthAlfaP0, &s.earthAlfaU0, &s.earthAlfaL0, &s.earthW0sr})
    *v = num() / MK;
  text();
  s.VXsys = num();
  s.VYsys = num();
  s.VZsys = num();
  text();
  for (int e = 1; e <= kObsExperiments && ok; ++e) {
    num();
    for (int i = 1; i <= kObsFactors; ++i) s.PlanX[i][e] = num() / 1000;
    s.Ycrit[e] = num() / MK;
    s.Yfit[e] = num() / MK;
  }
  text();
  for (int c = 0; c <= 20 && ok; ++c) {
    num();
    s.b[c] = num() / MK;
  }
  text();
  for (int i = 1; i <= 6 && ok; ++i) {
    num();
    s.Xopt[i] = num() / MK;
    s.XoptNat[i] = num() / MK;
  }
  text();
  s.StartD = static_cast<float>(num() / MK);
  s.StartM = int16();
  s.StartY = int16();
  s.EndY = int16();
  return ok;
}

}  // namespace

ActionResult ReadObsPlanLines(const std::vector<std::string>& lines, ObsPlanState* s, double MK) {
  ObsPlanState t = *s;
  if (!ReadInto(lines, t, MK)) return UserMessage{kMsgPlanRead, kTitle};
  for (int c = 1; c <= 20; ++c) t.bSaved[c] = t.b[c];
  *s = t;
  return std::nullopt;
}

ActionResult ReadObsPlanFile(const std::string& sourceKind, const std::string& sourceName,
                             const std::filesystem::path& folder, ObsPlanState* s, double MK) {
  const std::string rel = ObsPlanRelPath(sourceKind, sourceName, s->Npl, s->PlanNo);
  const UserMessage fail{std::string(kMsgPlanRead) + "\r\n" + rel, kTitle};
  auto lines = ReadTextFile(ResolvePath(folder, rel));
  if (!lines || ReadObsPlanLines(*lines, s, MK)) return fail;
  return std::nullopt;
}

namespace {

// The mean longitude of the model in degrees, in [0, 360).
double MeanLongitudeDeg(const Model& m, int k) {
  const double L = m.AlfaL[k];
  double d = m.kUgol * (L - Fix(L / (2 * m.Pi)) * 2 * m.Pi);
  if (d < 0) d += 360;
  if (d >= 360) d -= 360;  // a tiny negative remainder rounds up to 360
  return d;
}

}  // namespace

ActionResult ObsPlanTemplate(Model& m, double JD, float day, std::int16_t month, std::int16_t year,
                             ObsPlanState* out) {
  ObsPlanState s = *out;
  if (s.Npl < 0 || s.Npl > 9) return UserMessage{kMsgTemplate, kTitle};
  const int k = s.Npl == 0 ? 3 : s.Npl;
  m.JD = JD;
  JplElements(m, k);
  s.PlanTitle = kTemplateTitle;
  s.Xzero[1] = m.R0sr[k];
  s.Xstep[1] = 5000 * m.MK;
  s.Xzero[2] = m.Eks0[k];
  s.Xstep[2] = 0.02;
  s.Xzero[3] = m.kUgol * m.Betta0[k];
  s.Xstep[3] = 1;
  s.Xzero[4] = m.kUgol * m.AlfaP0[k];
  s.Xstep[4] = 10;
  s.Xzero[5] = m.kUgol * m.AlfaU0[k];
  s.Xstep[5] = 10;
  s.AlfaL0 = MeanLongitudeDeg(m, k);
  s.W0sr = m.W0sr[k] * 100 * m.sekG;
  JplElements(m, 3);
  s.earthR0sr = m.R0sr[3];
  s.earthEks0 = m.Eks0[3];
  s.earthBetta0 = m.kUgol * m.Betta0[3];
  s.earthAlfaP0 = m.kUgol * m.AlfaP0[3];
  s.earthAlfaU0 = m.kUgol * m.AlfaU0[3];
  s.earthAlfaL0 = MeanLongitudeDeg(m, 3);
  s.earthW0sr = m.W0sr[3] * 100 * m.sekG;
  for (double v : {s.Xzero[1], s.Xzero[2], s.Xzero[3], s.Xzero[4], s.Xzero[5], s.AlfaL0, s.W0sr, s.earthR0sr,
                   s.earthEks0, s.earthBetta0, s.earthAlfaP0, s.earthAlfaU0, s.earthAlfaL0, s.earthW0sr})
    if (!std::isfinite(v)) return UserMessage{kMsgTemplate, kTitle};
  for (int e = 1; e <= kObsExperiments; ++e) s.Ycrit[e] = s.Yfit[e] = e;
  for (int c = 0; c <= 20; ++c) s.b[c] = c;
  for (int c = 1; c <= 20; ++c) s.bSaved[c] = s.b[c];
  for (int i = 1; i <= 5; ++i) s.Xopt[i] = 0;
  s.VXsys = s.VYsys = s.VZsys = 0;
  s.StartD = day;
  s.StartM = month;
  s.StartY = year;
  *out = s;
  return std::nullopt;
}

void AsPlanFields(ObsPlanState* s, double MK) {
  // The same operations as the screen's show (value / MK in thousand km,
  // Fix(MK·v)/MK otherwise) and read (· MK for the distances).
  auto t6 = [MK](double v) { return Fix(MK * v) / MK; };
  s->Xzero[1] = MK * (Fix(s->Xzero[1]) / MK);
  s->Xstep[1] = MK * (s->Xstep[1] / MK);
  for (std::size_t i = 2; i <= 5; ++i) s->Xzero[i] = t6(s->Xzero[i]);
  s->AlfaL0 = t6(s->AlfaL0);
  s->W0sr = t6(s->W0sr);
  s->earthR0sr = MK * (Fix(s->earthR0sr) / MK);
  for (double* v : {&s->earthEks0, &s->earthBetta0, &s->earthAlfaP0, &s->earthAlfaU0, &s->earthAlfaL0, &s->earthW0sr})
    *v = t6(*v);
  for (std::size_t i = 1; i <= 5; ++i) s->Xopt[i] = t6(s->Xopt[i]);
}

}  // namespace torvik
