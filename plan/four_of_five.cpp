#include "plan/four_of_five.h"

#include <cmath>

#include "core/fields.h"
#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

namespace {

// Column 6..15 of the product of factors i and k.
int ProductColumn(int i, int k) {
  if (i > k) std::swap(i, k);
  for (int c = 0; c < 10; ++c)
    if (kObsProductPairs[c][0] == i && kObsProductPairs[c][1] == k) return 6 + c;
  return 0;
}

}  // namespace

Coefficients ReduceFourOfFive(const ObsCoefficients& b, int f, double xf) {
  std::array<int, 5> r{};  // remaining factors at 1..4
  for (int i = 1, n = 0; i <= kObsFactors; ++i)
    if (i != f) r[++n] = i;
  Coefficients q{};
  q[0] = b[0];
  for (int a = 1; a <= 4; ++a) {
    q[a] = b[r[a]] + b[ProductColumn(r[a], f)] * xf;
    q[10 + a] = b[15 + r[a]];
  }
  for (int c = 0; c < 6; ++c) q[5 + c] = b[ProductColumn(r[kProductPairs[c][0]], r[kProductPairs[c][1]])];
  return q;
}

ActionResult OptimizeFourOfFive(ObsPlanState& s, int f, double period, const std::filesystem::path& folder,
                                LinearSystem& sys, FourOfFiveFields* fields, double MK) {
  const UserMessage fail{kMsgSolveFive, kTitle};
  if (f < 1 || f > kObsFactors) return fail;
  // FixNear: a solution of −0.19999999999999998 shows as −0.2, not −0.199999.
  auto shown = [&](double v) { return FixNear(MK * v) / MK; };
  ObsCoefficients b = s.bSaved;
  b[0] = s.b[0];
  const auto path = ResolvePath(folder, kFourOfFiveReport);

  std::vector<std::string> L{"коэффициенты уравнениях регрессии для 5-и факторов", PrintLine().Text("b0").Num(b[0]).str()};
  const char* labels[4] = {"b1...b5", "b6...b10", "b11...b15", "b19...b20"};
  for (int g = 0; g < 4; ++g) {
    PrintLine l;
    l.Text(labels[g]);
    for (int k = 1; k <= 5; ++k) l.Num(shown(b[5 * g + k]));
    L.push_back(l.str());
  }
  const Coefficients q = ReduceFourOfFive(b, f, s.Xopt[f]);
  L.push_back("коэффициенты уравнениях регрессии для оставшихся 4-x факторов");
  auto group = [&](const char* label, int from, int to) {
    PrintLine l;
    l.Text(label);
    for (int k = from; k <= to; ++k) l.Num(shown(q[k]));
    L.push_back(l.str());
  };
  group("b1...b4  ", 1, 4);
  group("b5...b7  ", 5, 7);
  group("b8...b10  ", 8, 10);
  group("b11...b14  ", 11, 14);
  L.push_back("");
  // A report that cannot be written is no fault of the solution: its
  // message names the file.
  const UserMessage writeFail{std::string("Ошибка записи данных в файл\r\n") + kFourOfFiveReport, kTitle};
  if (!WriteTextFile(path, L)) return writeFail;

  bool written = true;
  const StageSink stage = [&](const std::vector<std::string>& lines) {
    const bool ok = AppendTextFile(path, lines);
    if (!ok) written = false;
    return ok;
  };
  CodedPoint x{};
  if (!SolveStationary(q, sys, stage, true, &x, MK)) return written ? fail : writeFail;

  std::array<double, 7> Xopt = s.Xopt;
  for (int i = 1, n = 0; i <= kObsFactors; ++i)
    if (i != f) Xopt[i] = x[++n];
  Xopt[6] = 0;
  PrintLine res;
  for (int i = 1; i <= kObsFactors; ++i) res.Num(Xopt[i]);
  if (!AppendTextFile(path, {"оптимальные значения параметров", "", res.str()})) return writeFail;

  FourOfFiveFields shownFields;
  for (int i = 1; i <= kObsFactors; ++i) {
    shownFields.coded[i] = shown(Xopt[i]);
    const double nat = s.Xstep[i] * Xopt[i] + s.Xzero[i];
    shownFields.natural[i] = i == 1 ? FixNear(nat) / MK : shown(nat);
    if (!std::isfinite(shownFields.natural[i])) return fail;
  }
  s.Xopt = Xopt;
  for (int i = 1; i <= kObsFactors; ++i) s.XoptNat[i] = shownFields.natural[i];
  s.XoptNat[6] = period;
  if (fields) *fields = shownFields;
  return std::nullopt;
}

std::array<double, 6> AdoptedZeroLevels(const ObsPlanState& s, double MK) {
  std::array<double, 6> z{};
  z[1] = FixNear(s.Xstep[1] * s.Xopt[1] + s.Xzero[1]) / MK;
  for (int i = 2; i <= kObsFactors; ++i) z[i] = FixNear(MK * (s.Xstep[i] * s.Xopt[i] + s.Xzero[i])) / MK;
  return z;
}

std::vector<SweepStep> OptimizeAll(ObsPlanState& s, double period, const std::filesystem::path& folder,
                                   LinearSystem& sys, FourOfFiveFields* fields, double MK) {
  std::vector<SweepStep> steps;
  for (int pass = 0; pass < 3; ++pass)
    for (int f = 5; f >= 1; --f) {
      // Each optimization reads the coded optimum fields, which show six decimals.
      for (int i = 1; i <= kObsFactors; ++i) s.Xopt[i] = FixNear(MK * s.Xopt[i]) / MK;
      steps.push_back({f, OptimizeFourOfFive(s, f, period, folder, sys, fields, MK)});
    }
  return steps;
}

}  // namespace torvik
