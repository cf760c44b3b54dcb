#include "observe/residual_files.h"

#include "core/textfile.h"

namespace torvik {

const char* ResidualFileRelPath(ResidualFile f) {
  switch (f) {
    case ResidualFile::Trace: return "\\Dat\\Ras_data.txt";
    case ResidualFile::Param: return "\\Dat\\Param_data.txt";
    case ResidualFile::Bad: break;
  }
  return "\\Dat\\Bad_data.txt";
}

std::vector<std::string> ResidualFileHeader(ResidualFile f, int Npl, const std::string& sourceName) {
  std::string second;
  switch (f) {
    case ResidualFile::Trace: second = "дата наблюдения, операция, долгота и широта "; break;
    case ResidualFile::Param:
      second = "№ п/п, дата наблюдения (день с часами, месяц, год, JD), долгота, широта, прецессия ";
      break;
    case ResidualFile::Bad:
      second = std::string("дата наблюдения и ") + "отклонения по долготе (сек) широте (сек) и расстоянию (тыс.км.)";
      break;
  }
  return {"", "планета  № " + std::to_string(Npl) + "   обсерватория " + sourceName, "", "", second, ""};
}

std::vector<std::string> TraceRecord(const StepDate& d, const char* label, double L, double B) {
  return {SingleText(d.CurD) + "  " + std::to_string(d.CurM) + "  " + std::to_string(d.CurY) + label +
              ShortestText(Fix(1000 * L) / 1000) + "  " + ShortestText(Fix(1000 * B) / 1000),
          ""};
}

std::string ParamRecord(std::int64_t counter, const StepDate& d, double JD, double Lnab, double Bnab, double PrecA) {
  PrintLine p;
  p.Num(static_cast<double>(counter))
      .Num(Fix(1000.0 * static_cast<double>(d.CurD)))
      .Num(1000.0 * d.CurM)
      .Num(1000.0 * d.CurY)
      .Num(Fix(1000 * JD))
      .Num(Fix(1000 * Lnab))
      .Num(Fix(1000 * Bnab))
      .Num(Fix(1000 * PrecA));
  return p.str();
}

std::string BadRecord(const StepDate& d, double dLpl, double dBpl, double dRpl) {
  PrintLine p;
  p.Single(d.CurD)
      .Num(d.CurM)
      .Num(d.CurY)
      .Num(Fix(1000 * 3600 * dLpl) / 1000)
      .Num(Fix(1000 * 3600 * dBpl) / 1000)
      .Num(Fix(10 * dRpl) / 10);
  return p.str();
}

}  // namespace torvik
