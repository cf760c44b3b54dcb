// torvik6-cli observe: an observation run without its pictures. The options
// are the observation screen's inputs with its defaults and the presets of the
// chosen source; the results are the running means, one per line.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/fields.h"
#include "core/model.h"
#include "core/paths.h"
#include "model/de405_files.h"
#include "observe/obs_stats.h"
#include "observe/run.h"
#include "observe/sample_files.h"
#include "observe/sources.h"
#include "params/startup.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "observe";

constexpr const char* kHelp =
    "usage: torvik6-cli observe (--table NAME | --observatory CODE) [options]\n"
    "\n"
    "Runs an observation run as \"Начать\" of the observation screen does, with the\n"
    "screen's defaults and the presets of the source, and prints the means of the\n"
    "accepted steps as NAME VALUE: NdR, dLsr, dBsr, absdL, absdB (degrees), dRsr\n"
    "(thousand km), the root mean square and largest |dL|, |dB| as rmsdL, rmsdB, maxdL,\n"
    "maxdB (degrees), then the files written.\n"
    "  --table NAME         AlBattani, AlfonsoTab, AlKhwarizmi, Almagest, HandyTables,\n"
    "                       PrutenticTables, RudolphineTables, Streete, ToledanTables, Wing\n"
    "                       (or the option captions Alfonso, Handy, ...)\n"
    "  --observatory CODE   GREN, PARI, USNO, RADC or CAPE (file \\Obs\\CODE + P + .txt)\n"
    "  --planet P           0 Sun, 1 Mercury, 2 Venus, 4 Mars, ... (default 1)\n"
    "  --start D.M.Y        start date (default: the table's, else 1.5.1.2000)\n"
    "  --years N            interval: tables run forward, observatories back (default 200)\n"
    "  --step S/DIV         table step in days and its divisor (default 3.31/10)\n"
    "  --calendar C         gregorian, julian or egyptian (default: the source's)\n"
    "  --day-start 0|12     day counted from midnight or noon (default: the source's)\n"
    "  --theory T           planet theory: J, S or de405 (default J)\n"
    "  --earth T            Earth theory: J, S or de405 (default J)\n"
    "  --vsys VX,VY,VZ      velocity of the Solar System, km/s\n"
    "  --et-ut              theories at ephemeris time (\"ET- UT, мин\")\n"
    "  --j2000              no precession to the date (\"JD\")\n"
    "  --no-light-time --no-aberration --no-nutation --no-moon\n"
    "  --refraction --parallax\n"
    "  --visibility [--hmin H] [--hmax H]   horizontal test; --hmin / --hmax skip steps\n"
    "                       with the planet below H or the Sun above H degrees\n"
    "  --solstice           solstice search (parameter records at the solstices)\n"
    "  --dr-max R           steps with dR >= R thousand km are rejected (default 200)\n"
    "  --no-dr-limit        accept every step\n"
    "  --files LIST         trace,param,bad: the files of \\Dat\\\n"
    "  --stat               count the deviations in intervals and write\n"
    "                       \\Dat\\Stat + P + source + .txt (as \"Статистика\" does)\n"
    "  --folder DIR         program folder (default ~/Torvik6)\n"
    "  --quiet              no progress on stderr\n";


ObsTheory TheoryOption(const Args& args, const char* name) {
  const auto t = OptionText(args, name);
  if (!t || *t == "J" || *t == "j") return ObsTheory::J;
  if (*t == "S" || *t == "s") return ObsTheory::S;
  if (*t == "de405" || *t == "DE405") return ObsTheory::De405;
  throw BadOption(std::string(name) + ": " + *t + " is not J, S or de405");
}

// "A,B,C" or "A/B" split at sep.
std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::size_t a = 0;
  while (true) {
    const std::size_t b = text.find(sep, a);
    out.push_back(text.substr(a, b == std::string::npos ? std::string::npos : b - a));
    if (b == std::string::npos) return out;
    a = b + 1;
  }
}

int ObserveCommand(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  const auto folder = FolderOption(args);
  const auto table = OptionText(args, "--table");
  const auto observatory = OptionText(args, "--observatory");
  if (table.has_value() == observatory.has_value()) return BadArgs(kName, "give --table NAME or --observatory CODE");
  const int planet = static_cast<int>(OptionInt(args, "--planet", -1000, 1000).value_or(1));
  int index = 0;
  if (table && !(index = TableNumber(*table))) return BadArgs(kName, "--table: no table " + *table);
  if (observatory && !(index = ObservatoryNumber(*observatory)))
    return BadArgs(kName, "--observatory: no observatory " + *observatory);

  ObsSettings s;
  s.Npl = planet;
  s.earth = TheoryOption(args, "--earth");
  s.planet = TheoryOption(args, "--theory");
  // Everything else is checked before the source is opened.
  std::optional<ObsCalendar> calendar;
  if (auto c = OptionText(args, "--calendar")) {
    if (*c == "gregorian") calendar = ObsCalendar::Gregorian;
    else if (*c == "julian") calendar = ObsCalendar::Julian;
    else if (*c == "egyptian") calendar = ObsCalendar::Egyptian;
    else throw BadOption("--calendar: " + *c + " is not gregorian, julian or egyptian");
  }
  std::optional<DayStart> dayStart;
  if (auto d = OptionText(args, "--day-start")) {
    if (*d == "0") dayStart = DayStart::Midnight;
    else if (*d == "12") dayStart = DayStart::Noon;
    else throw BadOption("--day-start: " + *d + " is not 0 or 12");
  }
  std::optional<ObsDate> start;
  if (auto d = OptionText(args, "--start")) {
    const auto parts = Split(*d, '.');
    if (parts.size() < 3) throw BadOption("--start: " + *d + " is not D.M.Y");
    // D may carry a fraction: "1.5.1.2000" is day 1.5 of January 2000.
    const std::string day = parts.size() == 4 ? parts[0] + "." + parts[1] : parts[0];
    const std::size_t m = parts.size() - 2;
    ObsDate date;
    date.day = static_cast<float>(ArgNumber(day, "--start day", -1e4, 1e4));
    date.month = static_cast<std::int32_t>(ArgNumber(parts[m], "--start month", 0, 13));
    date.year = static_cast<std::int32_t>(ArgNumber(parts[m + 1], "--start year", -1e6, 1e6));
    if (parts.size() > 4) throw BadOption("--start: " + *d + " is not D.M.Y");
    start = date;
  }
  const int years = static_cast<int>(OptionInt(args, "--years", 0, 32767).value_or(200));
  if (auto st = OptionText(args, "--step")) {
    const auto parts = Split(*st, '/');
    s.live.Step0 = ArgNumber(parts[0], "--step", 1e-6, 1e6);
    if (parts.size() > 2) throw BadOption("--step: " + *st + " is not S/DIV");
    if (parts.size() == 2) s.live.StepDiv = static_cast<std::int16_t>(ArgNumber(parts[1], "--step divisor", 1, 32767));
  }
  if (auto v = OptionText(args, "--vsys")) {
    const auto parts = Split(*v, ',');
    if (parts.size() != 3) throw BadOption("--vsys: " + *v + " is not VX,VY,VZ");
    s.VXsys = ArgNumber(parts[0], "--vsys VX", -1e6, 1e6);
    s.VYsys = ArgNumber(parts[1], "--vsys VY", -1e6, 1e6);
    s.VZsys = ArgNumber(parts[2], "--vsys VZ", -1e6, 1e6);
  }
  s.visibility = HasFlag(args, "--visibility");
  if (auto h = OptionNumber(args, "--hmin", -90, 90)) s.HminPl = *h, s.hminPl = true;
  if (auto h = OptionNumber(args, "--hmax", -90, 90)) s.HmaxSol = *h, s.hmaxSol = true;
  s.solstice = HasFlag(args, "--solstice");
  if (auto r = OptionNumber(args, "--dr-max", 0, 1e12)) s.live.dRmax = *r;
  s.dRlimit = !HasFlag(args, "--no-dr-limit");
  if (auto f = OptionText(args, "--files")) {
    for (const auto& name : Split(*f, ',')) {
      if (name == "trace") s.fileTrace = true;
      else if (name == "param") s.fileParam = true;
      else if (name == "bad") s.fileBad = true;
      else throw BadOption("--files: " + name + " is not trace, param or bad");
    }
  }

  EnsureProgramFolder(folder);
  const bool sampleBody = planet == 0 || planet == 1 || planet == 2 || planet == 4;
  if (observatory && sampleBody && !EnsureObservatoryFile(folder, kObservatories[static_cast<std::size_t>(index - 1)].code, planet))
    std::fprintf(stderr, "torvik6-cli observe: cannot write the observatory file into %s/Obs\n",
                 folder.string().c_str());
  if ((s.earth == ObsTheory::De405 || s.planet == ObsTheory::De405) && !EnsureDe405Files(folder))
    std::fprintf(stderr, "torvik6-cli observe: cannot write the DE405 files into %s/JPL\n", folder.string().c_str());
  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);

  ObservationSource src(folder);
  if (auto r = OpenSource(src, table ? SourceKind::Tab : SourceKind::Obs, index, static_cast<int>(planet), s))
    return PrintUserMessage(*r);
  if (calendar) s.calendar.calendar = *calendar;
  if (dayStart) s.calendar.dayStart = *dayStart;
  if (start) s.day = start->day, s.month = start->month, s.year = start->year;
  s.years = years;
  s.etUt = HasFlag(args, "--et-ut");
  s.j2000 = HasFlag(args, "--j2000");
  if (HasFlag(args, "--no-light-time")) s.aberrPl = false;
  if (HasFlag(args, "--no-aberration")) s.aberrZv = false;
  if (HasFlag(args, "--no-nutation")) s.nutation = false;
  if (HasFlag(args, "--refraction")) s.refraction = true;
  if (HasFlag(args, "--parallax")) s.parallax = true;
  if (HasFlag(args, "--no-moon")) s.moon = false;

  ObservationRun run(m, src);
  if (auto r = run.Start(s)) return PrintUserMessage(*r);

  const bool quiet = HasFlag(args, "--quiet");
  const bool tty = isatty(STDERR_FILENO);
  const auto t0 = std::chrono::steady_clock::now();
  double lastShown = -1;
  ActionResult failure, tableFault;
  long long tableFaults = 0;
  double sqL = 0, sqB = 0, maxL = 0, maxB = 0;
  std::optional<ObsStatistics> stats;
  if (HasFlag(args, "--stat")) stats.emplace(s.live.dRmax);
  while (run.Running()) {
    ObsStepResult r = run.Step();
    if (stats && r.reduced) stats->Add(run.dLpl(), run.dBpl(), run.dRpl());
    if (r.accepted) {
      sqL += run.dLpl() * run.dLpl(), sqB += run.dBpl() * run.dBpl();
      maxL = std::max(maxL, std::fabs(run.dLpl())), maxB = std::max(maxB, std::fabs(run.dBpl()));
    }
    if (r.message) {
      if (r.message->text == kTableFault) {
        if (!tableFaults++) tableFault = r.message;
      } else {
        failure = r.message;
      }
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!quiet && (wall - lastShown >= (tty ? 0.5 : 10.0) || !run.Running())) {
      lastShown = wall;
      double done = 0;
      if (src.kind() == SourceKind::Obs)
        done = src.lineCount() ? 100.0 * static_cast<double>(src.linePosition()) / static_cast<double>(src.lineCount()) : 100;
      else if (years > 0)
        done = 100.0 * (run.tableDate().CurY - run.StartY()) / years;
      if (!run.Running()) done = 100;
      std::fprintf(stderr, "%s%.0f%%, %lld steps, NdR %d%s", tty ? "\r" : "", done,
                   static_cast<long long>(run.steps()), run.NdR(), tty ? "    " : "\n");
      std::fflush(stderr);
    }
  }
  if (!quiet && tty) std::fprintf(stderr, "\n");
  if (tableFault) {
    std::fprintf(stderr, "%lld steps: ", tableFaults);
    PrintUserMessage(*tableFault);
  }
  if (failure) return PrintUserMessage(*failure);
  std::printf("NdR %d\n", run.NdR());
  std::printf("dLsr %.10g\n", run.MeanDL());
  std::printf("dBsr %.10g\n", run.MeanDB());
  std::printf("absdL %.10g\n", run.MeanAbsDL());
  std::printf("absdB %.10g\n", run.MeanAbsDB());
  std::printf("dRsr %.10g\n", run.MeanDR());
  const double n = std::max(run.NdR(), 1);
  std::printf("rmsdL %.10g\nrmsdB %.10g\nmaxdL %.10g\nmaxdB %.10g\n", std::sqrt(sqL / n), std::sqrt(sqB / n), maxL, maxB);
  for (const auto& f : run.files()) std::printf("file %s\n", f.string().c_str());
  if (run.NdR() == 0) {
    // Means of no step are no result (an empty file, a file of other years).
    std::fprintf(stderr, "torvik6-cli observe: no step was accepted; nothing reduced\n");
    return kFailed;
  }
  if (stats) {
    const ObsMeans means{run.NdR(), run.MeanAbsDL(), run.MeanAbsDB(), run.MeanDR()};
    if (auto r = WriteStatReport(folder, *stats, planet, src.name(), means)) return PrintUserMessage(*r);
    std::printf("file %s\n", ResolvePath(folder, StatReportRelPath(planet, src.name())).string().c_str());
  }
  return kOk;
}

CliCommand reg{"observe", "an observation run of a historic table or an observatory file (means of the deviations)",
               ObserveCommand};

}  // namespace
}  // namespace torvik::cli
