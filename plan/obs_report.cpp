#include "plan/obs_report.h"

#include "core/textfile.h"

namespace torvik {

std::vector<ReportItem> ObsPlanReport(const ObsPlanState& s, const std::string& title, double MK) {
  std::vector<ReportItem> out;
  auto at = [&](double x, double r, std::string t) { out.push_back({x, 120 - r, std::move(t)}); };
  auto T = [](double v) { return NumberText(v); };
  auto trunc6 = [&](double v) { return Fix(MK * v) / MK; };
  auto P = [](double v) { return PrintNumber(v); };
  const std::string npl = std::to_string(s.Npl);

  at(0, 0, title);
  at(0, 2, "Нулевые уровни и интервалы варьирования");
  at(1, 3, std::string("X1       ") + T(Fix(s.Xzero[1]) / MK) + "          " + T(Fix(s.Xstep[1]) / MK));
  for (int i = 2; i <= 5; ++i)
    at(1, 2 + i, std::string("X") + std::to_string(i) + "             " + T(trunc6(s.Xzero[i])) + "          " + T(s.Xstep[i]));
  at(1, 8, std::string("AlfaL0(") + npl + ")   " + T(trunc6(s.AlfaL0)));
  at(0, 9, std::string("    W0sr(") + npl + ")     " + T(Fix(100 * MK * s.W0sr) / MK / 100));
  at(0, 11, "параметры орбиты Земли в плане (в теории)");
  at(1, 12, std::string("R0sr(3)      ") + T(Fix(s.earthR0sr) / MK));
  const std::pair<const char*, double> earth[] = {{"    Eks0(3)      ", s.earthEks0},
                                                  {"    Betta0(3)    ", s.earthBetta0},
                                                  {"    AlfaP0(3)    ", s.earthAlfaP0},
                                                  {"    AlfaU0(3)    ", s.earthAlfaU0},
                                                  {"    AlfaL0(3)    ", s.earthAlfaL0}};
  for (int n = 0; n < 5; ++n) at(0, 13 + n, std::string(earth[n].first) + T(trunc6(earth[n].second)));
  at(0, 18, std::string("    W0sr(3)       ") + T(Fix(100 * MK * s.earthW0sr) / MK / 100));
  at(0, 20, "Скорость Солнечной системы по осям X Y Z");
  at(0, 21, P(Fix(s.VXsys) / 1000) + P(Fix(s.VYsys) / 1000) + P(Fix(s.VZsys) / 1000));
  at(0, 23, "Номер эксперимента, уровни и значение");
  at(0, 24, "критерия (экспериментальное и расчетное)");
  for (int j = 1; j <= kObsExperiments; ++j) {
    at(0, 25 + j, P(j));
    for (int i = 1; i <= kObsFactors; ++i) at(1 + i, 25 + j, P(Fix(100 * s.PlanX[i][j]) / 100));
    at(8.5, 25 + j, P(trunc6(s.Ycrit[j])));
    at(14.5, 25 + j, P(trunc6(s.Yfit[j])));
  }
  at(0, 70, "Номер коэффициента и его значение");
  for (int c = 0; c <= 20; ++c) at(1, 71 + c, std::string("b") + std::to_string(c) + "  =  " + T(trunc6(s.b[c])));
  at(0, 93, "Оптимальные значения параметров");
  for (int k = 1; k <= 6; ++k)
    at(1, 93 + k, P(k) + P(trunc6(k == 6 ? 0.0 : s.Xopt[k])) + P(trunc6(s.XoptNat[k])));
  at(0, 101, std::string("Данные оптимизированы с ") + SingleText(s.StartD) + "." + std::to_string(s.StartM) + "." +
                 std::to_string(s.StartY) + " по " + std::to_string(s.EndY));
  at(0, 102, std::string("Год этой точки = ") + T((s.StartY + s.EndY) / 2.0));
  return out;
}

}  // namespace torvik
