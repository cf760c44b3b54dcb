#include "model/run_files.h"

#include <cmath>
#include <limits>

#include "core/textfile.h"

namespace torvik {

namespace {

std::string Plain(double v) { return ShortestText(v); }
std::string Int(int v) { return std::to_string(v); }

std::string StepsLine(const RunHeader& h) {
  return "основной шаг решения " + Plain(h.hMain) +
         " сек    шаг вблизи перигелия и угла восхождения уменьшен в " + Plain(h.NRed) + " раз  ";
}

}  // namespace

std::string InitialDataSuffix(LoadOption s) {
  switch (s) {
    case LoadOption::Newcomb: return "NEW";
    case LoadOption::Jpl: return " JPL";
    case LoadOption::Mox: return "";
    case LoadOption::File: return " FILE";
    case LoadOption::Screen: return " SCREEN";
  }
  return "";
}

std::string ModelModeLabel(bool oto, LoadOption s) {
  std::string label = oto ? "OTO  " : "КЛАССИКА  ";
  return label + InitialDataSuffix(s);
}

std::string ImitatorModeLabel(ImitatorKind k) {
  switch (k) {
    case ImitatorKind::New: return "NEW_0";
    case ImitatorKind::Apc: return "APC_2";
    case ImitatorKind::Jpl: return "JPL_DE405 ";
    case ImitatorKind::Mox: return "Mox_0";
  }
  return "";
}

std::string ImitatorFolder(ImitatorKind k) {
  switch (k) {
    case ImitatorKind::New: return "NEW";
    case ImitatorKind::Apc: return "APC";
    case ImitatorKind::Jpl: return "JPL";
    case ImitatorKind::Mox: return "Mox";
  }
  return "";
}

std::string TracePath(int planet, int fileNo) {
  return "\\XYZ\\torvik" + Int(planet) + "XYZ" + Int(fileNo) + ".txt";
}

std::string ModelOrbitPath(int plan, int planet, int fileNo) {
  return "\\Plan" + Int(plan) + "\\Txt" + Int(planet) + "\\Torvik" + Int(planet) + "RasB" + Int(fileNo) + ".txt";
}

std::string ImitatorOrbitPath(ImitatorKind k, int planet) {
  std::string path = "\\";
  path += ImitatorFolder(k);
  path += "\\Torvik" + Int(planet) + "Nab.txt";
  return path;
}

double GravityFigure(bool finiteSpeed, double Vgr, double Vsv) {
  return (finiteSpeed ? 1.0 : 0.0) * 100.0 * Vgr / Vsv;
}

std::optional<std::int32_t> EstimateRecordCount(double Vsv, double Vgr, int endYear, int DateY,
                                                double Tsid) {
  const double years = static_cast<double>(endYear) - static_cast<double>(DateY);  // no 32-bit overflow
  double v = Fix((Vsv / Vgr + 1.1) * 2.0 * years * 365.25 / Tsid);
  if (!std::isfinite(v) || v < std::numeric_limits<std::int32_t>::min() ||
      v > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(v);
}

std::string RunDateText(int year, int month, int day) {
  return FormatPattern(day, "00") + "." + FormatPattern(month, "00") + "." + FormatPattern(year, "0000");
}

std::string StartDateText(const Model& m) {
  return FormatPattern(m.DateD, "00") + "." + FormatPattern(m.DateM, "00") + "." + FormatPattern(m.DateY, "0000");
}

std::vector<std::string> TraceHeaderLines(const RunHeader& h) {
  return {
      "",
      "эксперимент для объекта № " + Int(h.planet) + " выполнен  " + h.runDate +
          " плоскость эклиптики в эпоху J2000    начало " + h.startDate,
      StepsLine(h),
      h.modeLabel + "        VXsys=  " + Plain(h.VXsys) + "   VYsys= " + Plain(h.VYsys) + "   VZsys= " +
          Plain(h.VZsys) + "    скорость гравитаци Vgr= " + Plain(h.G) + " Vsv / 100 ",
      "время в секундах/1000000     X, Y, Z и Rpl в тыс. км     VX, VY, VZ и Vpl в м/с    ",
      "",
  };
}

std::vector<std::string> OrbitHeaderLines(const RunHeader& h) {
  return {
      "эксперимент № " + Int(h.fileNo) + " для объекта № " + Int(h.planet) + " от  " + h.runDate +
          " плоскость эклиптики в эпоху J2000 начало " + h.startDate,
      StepsLine(h),
      h.modeLabel + "          VXsys=  " + Plain(h.VXsys) + "   VYsys= " + Plain(h.VYsys) + "   VZsys= " +
          Plain(h.VZsys) + "   Vgr= " + Plain(h.G) + " Vsv / 100 ",
      " № замера     прошло дней   перигелий     восхождение     наклон      эксцентриситет        полуось        период",
      PrintLine().Num(h.NRecEst).Num(Fix(100.0 * h.JDstart)).str(),
  };
}

std::string TraceRecordLine(const TraceRecord& r, const Model& m) {
  const char* big = "000000000.000";
  const char* speed = "0000000.000";
  return FormatPattern(r.date.day, "00.000") + "." + FormatPattern(r.date.month, "00") + "." +
         FormatPattern(r.date.year, "0000") + "____T= " + FormatPattern(r.tRun / m.MK, big) +
         "____X= " + FormatPattern(r.X / m.MK, big) + "____Y= " + FormatPattern(r.Y / m.MK, big) +
         "____Z= " + FormatPattern(r.Z / m.MK, big) + "____Rpl= " + FormatPattern(r.Rpl / m.MK, big) +
         "____VX= " + FormatPattern(r.VX, speed) + "____VY= " + FormatPattern(r.VY, speed) +
         "____VZ= " + FormatPattern(r.VZ, speed) + "____Vpl= " + FormatPattern(r.Vpl, speed) +
         "____Esys= " + FormatPattern(r.Esys / m.MK, big);
}

std::string OrbitRecordLine(const OrbitRecord& r, const Model& m) {
  return PrintLine()
      .Num(r.NRev)
      .Num(Fix(r.tRun * 100.0 / m.sekD))
      .Num(Fix(r.AlfaP * m.MK))
      .Num(Fix(r.AlfaU * m.MK))
      .Num(Fix(r.Betta * m.kUgol * m.MK))
      .Num(Fix(r.Eks * m.MK))
      .Num(Fix(r.Rsr))
      .Num(Fix(r.Period * m.MK))
      .str();
}

bool WriteTraceHeader(const std::filesystem::path& file, const RunHeader& h) {
  return WriteTextFile(file, TraceHeaderLines(h));
}

bool WriteOrbitHeader(const std::filesystem::path& file, const RunHeader& h) {
  return WriteTextFile(file, OrbitHeaderLines(h));
}

bool WriteTraceRecord(const std::filesystem::path& file, const TraceRecord& r, const Model& m) {
  return AppendTextFile(file, {TraceRecordLine(r, m)});
}

bool WriteOrbitRecord(const std::filesystem::path& file, const OrbitRecord& r, const Model& m) {
  return AppendTextFile(file, {OrbitRecordLine(r, m)});
}

}  // namespace torvik
