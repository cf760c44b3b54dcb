#include "plan/optimize.h"

#include <cmath>

#include "core/paths.h"
#include "core/textfile.h"

namespace torvik {

namespace {

constexpr const char* kStart1 =
    "номер уравнения и коэффициенты при свободном члене и X1,X2,X3,X4 в четырех начальных линейных уравнениях";
constexpr const char* kStart2 = "т.е. в уравнениях полученных после взятия первой производной от уравнения регрессии по X1,X2,X3,X4";
constexpr const char* kStage1a =
    "в первой строке коэффициенты пропорциональности на которые умножалось первое уравнение при суммировании с "
    "остальными,";
constexpr const char* kStage1b =
    "а потом номер уравнения и коэффициенты при свободном члене и X2,X3,X4 в трех оставшихся линейных уравнениях "
    "после суммирования";
constexpr const char* kStage2 = "номер уравнения и коэффициенты при свободном члене и X3,X4 в двух оставшихся линейных уравнениях";
constexpr const char* kStage3 = "номер уравнения и коэффициенты при свободном члене и X4 в одном оставшемся линейном уравнении";
constexpr const char* kResult = "оптимальные значения параметров";

int Sgn(double v) { return (v > 0) - (v < 0); }

// −a/p as the absolute quotient made negative when both have the same sign;
// std::nullopt for a zero pivot or a quotient that is not finite.
std::optional<double> Multiplier(double a, double p) {
  if (p == 0.0) return std::nullopt;
  double m = std::fabs(a / p);
  if (Sgn(a) == Sgn(p)) m = -m;
  if (!std::isfinite(m)) return std::nullopt;
  return m;
}

}  // namespace

std::string ReportRelPath(int plan) { return "\\Plan" + std::to_string(plan) + "\\TorvikSLU.dat"; }

bool SolveStationary(const Coefficients& b, LinearSystem& sys, const StageSink& stage, bool blankAfterHeadings,
                     CodedPoint* out, double MK) {
  auto& A = sys.ASlu;
  auto shown = [&](double v) { return Fix(MK * v) / MK; };
  auto row = [&](int r) {
    PrintLine l;
    l.Num(r);
    for (int c = 0; c <= 4; ++c) l.Num(shown(A[r][c]));
    return l.str();
  };
  auto finite = [&](int r) {
    for (double v : A[r])
      if (!std::isfinite(v)) return false;
    return true;
  };
  auto heading = [&](std::vector<std::string> h) {
    if (blankAfterHeadings) h.push_back("");
    return h;
  };

  // The starting equations ∂Y/∂x_i = 0.
  for (int r = 1; r <= 4; ++r) A[r].fill(0.0);
  for (int i = 1; i <= kFactors; ++i) {
    A[i][0] = b[i];
    A[i][i] = 2.0 * b[10 + i];
  }
  for (int c = 0; c < 6; ++c) {
    const int i = kProductPairs[c][0], k = kProductPairs[c][1];
    A[i][k] = A[k][i] = b[5 + c];
  }
  std::vector<std::string> lines = heading({kStart1, kStart2});
  for (int r = 1; r <= 4; ++r) lines.push_back(row(r));
  if (!stage(lines)) return false;

  // Elimination of x1: rows 5..7 = rows 2..4 + m·row 1.
  lines = heading({kStage1a, kStage1b});
  {
    std::array<double, 3> m{};
    for (int k = 2; k <= 4; ++k) {
      auto q = Multiplier(A[k][1], A[1][1]);
      if (!q) return false;
      m[k - 2] = *q;
    }
    for (int k = 2; k <= 4; ++k)
      for (int c = 0; c <= 4; ++c) A[k + 3][c] = A[k][c] + m[k - 2] * A[1][c];
    lines.push_back(PrintLine().Num(shown(m[0])).Num(shown(m[1])).Num(shown(m[2])).str());
    for (int r = 5; r <= 7; ++r) {
      if (!finite(r)) return false;
      lines.push_back(row(r));
    }
  }
  if (!stage(lines)) return false;

  // Elimination of x2: rows 8, 9 = rows 6, 7 + m·row 5 in columns 0, 2, 3, 4.
  lines = heading({kStage2});
  {
    auto m1 = Multiplier(A[6][2], A[5][2]);
    auto m2 = Multiplier(A[7][2], A[5][2]);
    if (!m1 || !m2) return false;
    for (int c : {0, 2, 3, 4}) {
      A[8][c] = A[6][c] + *m1 * A[5][c];
      A[9][c] = A[7][c] + *m2 * A[5][c];
    }
    lines.push_back(PrintLine().Num(shown(*m1)).Num(shown(*m2)).str());
    for (int r = 8; r <= 9; ++r) {
      if (!finite(r)) return false;
      lines.push_back(row(r));
    }
  }
  if (!stage(lines)) return false;

  // Elimination of x3: row 10 = row 9 + m·row 8 in columns 0, 3, 4.
  lines = heading({kStage3});
  {
    auto m = Multiplier(A[9][3], A[8][3]);
    if (!m) return false;
    for (int c : {0, 3, 4}) A[10][c] = A[9][c] + *m * A[8][c];
    if (!finite(10)) return false;
    lines.push_back(PrintLine().Num(shown(*m)).str());
    lines.push_back(row(10));
  }
  if (!stage(lines)) return false;

  // Back substitution.
  if (A[10][4] == 0.0) return false;
  CodedPoint x{};
  x[4] = -A[10][0] / A[10][4];
  x[3] = -(A[8][4] * x[4] + A[8][0]) / A[8][3];
  x[2] = -(A[5][3] * x[3] + A[5][0] + A[5][4] * x[4]) / A[5][2];
  x[1] = -(A[1][2] * x[2] + A[1][0] + A[1][3] * x[3] + A[1][4] * x[4]) / A[1][1];
  for (int i = 1; i <= 4; ++i)
    if (!std::isfinite(x[i])) return false;
  *out = x;
  return true;
}

ActionResult Optimize(const Coefficients& b, const PlanLevels& lv, int PlanNo, const std::filesystem::path& folder,
                      LinearSystem& sys, Optimum* out, double MK) {
  const UserMessage fail{kMsgSolve, kTitle};
  // A report that cannot be written is no fault of the solution: its
  // message names the file.
  const UserMessage writeFail{"Ошибка записи данных в файл\r\n" + ReportRelPath(PlanNo), kTitle};
  const auto path = ResolvePath(folder, ReportRelPath(PlanNo));
  bool first = true, written = true;
  const StageSink stage = [&](const std::vector<std::string>& lines) {
    const bool ok = first ? WriteTextFile(path, lines) : AppendTextFile(path, lines);
    first = false;
    if (!ok) written = false;
    return ok;
  };
  CodedPoint x{};
  if (!SolveStationary(b, sys, stage, false, &x, MK)) return written ? fail : writeFail;
  if (!AppendTextFile(path, {kResult, PrintLine().Num(x[1]).Num(x[2]).Num(x[3]).Num(x[4]).str()})) return writeFail;

  Optimum o;
  o.Xopt = x;
  for (int i = 1; i <= kFactors; ++i) o.XoptNat[i] = Fix(MK * (lv.Xstep[i] * x[i] + lv.Xzero[i])) / MK;
  o.Yopt = FitValue(b, x);
  *out = o;
  return std::nullopt;
}

void AdoptOptimum(const Optimum& opt, PlanLevels& lv) {
  for (int i = 1; i <= kFactors; ++i) lv.Xzero[i] = opt.XoptNat[i];
}

}  // namespace torvik
