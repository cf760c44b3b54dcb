// torvik6-cli observe: an observation run, its deviation plot on request. The
// options are the observation screen's inputs with its defaults and the
// presets of the chosen source; the results are the running means, one per line.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/fields.h"
#include "core/model.h"
#include "core/paths.h"
#include "core/textfile.h"
#include "model/de405_files.h"
#include "observe/deviation_plot.h"
#include "observe/obs_stats.h"
#include "observe/run.h"
#include "observe/sample_files.h"
#include "observe/sources.h"
#include "params/startup.h"
#include "stats/plot_image.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "observe";

// The options: what is set before the source is opened goes into `s`, what
// overrides the source's presets is kept apart and applied after it.
struct Options {
  std::filesystem::path folder;
  std::optional<std::string> table, observatory;
  int planet = 1;
  ObsSettings s;
  std::optional<ObsCalendar> calendar;
  std::optional<DayStart> dayStart;
  std::optional<ObsDate> start;
  int years = 200;
  bool etUt = false, j2000 = false, noLightTime = false, noAberration = false, noNutation = false;
  bool refraction = false, parallax = false, noMoon = false, noDrLimit = false, stat = false, quiet = false;
  bool builtin = false;
  std::optional<std::string> plotFile;
};

ObsTheory TheoryOf(const std::string& t) {
  if (t == "S" || t == "s") return ObsTheory::S;
  if (t == "de405" || t == "DE405") return ObsTheory::De405;
  return ObsTheory::J;
}

// --start D.M.Y; D may carry a fraction: "1.5.1.2000" is day 1.5 of January 2000.
ObsDate StartOption(const std::string& d) {
  const auto parts = SplitText(d, '.');
  if (parts.size() < 3 || parts.size() > 4) throw BadOption("--start: " + d + " is not D.M.Y");
  const std::string day = parts.size() == 4 ? parts[0] + "." + parts[1] : parts[0];
  const std::size_t m = parts.size() - 2;
  ObsDate date;
  date.day = static_cast<float>(ArgNumber(day, "--start day", -1e4, 1e4));
  date.month = static_cast<std::int32_t>(ArgNumber(parts[m], "--start month", 0, 13));
  date.year = static_cast<std::int32_t>(ArgNumber(parts[m + 1], "--start year", -1e6, 1e6));
  return date;
}

int ObserveCommand(Options& o) {
  const auto& folder = o.folder;
  const auto& table = o.table;
  const auto& observatory = o.observatory;
  if (table.has_value() == observatory.has_value()) return BadArgs(kName, "give --table NAME or --observatory CODE");
  const int planet = o.planet;
  int index = 0;
  if (table && !(index = TableNumber(*table))) return BadArgs(kName, "--table: no table " + *table);
  if (observatory && !(index = ObservatoryNumber(*observatory)))
    return BadArgs(kName, "--observatory: no observatory " + *observatory);
  ObsSettings& s = o.s;
  s.Npl = planet;
  s.dRlimit = !o.noDrLimit;
  const auto& calendar = o.calendar;
  const auto& dayStart = o.dayStart;
  const auto& start = o.start;
  const int years = o.years;

  EnsureProgramFolder(folder);
  // The first start of a folder without observatory files: the samples, once.
  if (observatory && ObservatoryFolderEmpty(folder)) {
    if (!o.quiet)
      std::fprintf(stderr, "torvik6-cli observe: writing the sample observatory files into %s/Obs\n",
                   folder.string().c_str());
    if (!WriteSampleObservatoryFiles(folder))
      std::fprintf(stderr, "torvik6-cli observe: cannot write the sample observatory files into %s/Obs\n",
                   folder.string().c_str());
  }
  if ((s.earth == ObsTheory::De405 || s.planet == ObsTheory::De405) && !EnsureDe405Files(folder))
    std::fprintf(stderr, "torvik6-cli observe: cannot write the DE405 files into %s/JPL\n", folder.string().c_str());
  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);

  ObservationSource src(folder);
  src.SetBuiltinOnly(o.builtin);
  if (auto r = OpenSource(src, table ? SourceKind::Tab : SourceKind::Obs, index, static_cast<int>(planet), s))
    return PrintUserMessage(*r);
  if (calendar) s.calendar.calendar = *calendar;
  if (dayStart) s.calendar.dayStart = *dayStart;
  if (start) s.day = start->day, s.month = start->month, s.year = start->year;
  else if (observatory && FitDateToRecords(src, &s.day, &s.month, &s.year) && !o.quiet)
    std::fprintf(stderr, "torvik6-cli observe: start %s.%d.%d, the last record of %s\n", SingleText(s.day).c_str(),
                 s.month, s.year, src.path().filename().string().c_str());
  s.years = years;
  s.etUt = o.etUt;
  s.j2000 = o.j2000;
  if (o.noLightTime) s.aberrPl = false;
  if (o.noAberration) s.aberrZv = false;
  if (o.noNutation) s.nutation = false;
  if (o.refraction) s.refraction = true;
  if (o.parallax) s.parallax = true;
  if (o.noMoon) s.moon = false;

  ObservationRun run(m, src);
  if (auto r = run.Start(s)) return PrintUserMessage(*r);
  std::optional<DeviationPlot> plot;
  if (o.plotFile) {
    plot.emplace();
    plot->Begin(run, src.kind());
  }

  const bool quiet = o.quiet;
  if (!quiet && table) std::fprintf(stderr, "table %s: %s\n", src.name().c_str(), src.servedBy().c_str());
  const bool tty = isatty(STDERR_FILENO);
  const auto t0 = std::chrono::steady_clock::now();
  double lastShown = -1;
  ActionResult failure, tableFault;
  long long tableFaults = 0;
  double sqL = 0, sqB = 0, maxL = 0, maxB = 0;
  std::optional<ObsStatistics> stats;
  if (o.stat) stats.emplace(s.live.dRmax);
  while (run.Running()) {
    ObsStepResult r = run.Step();
    if (stats && r.reduced) stats->Add(run.dLpl(), run.dBpl(), run.dRpl());
    if (plot) plot->Step(run, r);
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
  // A spreadsheet engine that died or hung ended the run: no means of a part.
  if (src.EngineLost() && tableFault) failure = tableFault;
  // The plot shows the steps made, also those before a failure.
  std::string plotError;
  const bool plotWritten = plot && WritePlotImage(plot->plot(), *o.plotFile, &plotError, kDeviationScale);
  if (plot && !plotWritten) std::fprintf(stderr, "torvik6-cli observe: %s\n", plotError.c_str());
  if (failure) return PrintUserMessage(*failure);
  std::printf("NdR %d\n", run.NdR());
  std::printf("dLsr %.10g\n", run.MeanDL());
  std::printf("dBsr %.10g\n", run.MeanDB());
  std::printf("absdL %.10g\n", run.MeanAbsDL());
  std::printf("absdB %.10g\n", run.MeanAbsDB());
  std::printf("dRsr %.10g\n", run.MeanDR());
  const double n = std::max(run.NdR(), 1);
  std::printf("rmsdL %.10g\nrmsdB %.10g\nmaxdL %.10g\nmaxdB %.10g\n", std::sqrt(sqL / n), std::sqrt(sqB / n), maxL, maxB);
  std::printf("accepted %d\nrejected %d\n", run.NdR(), run.Rejected());
  if (run.Simulated()) std::printf("simulated yes\n");
  for (const auto& f : run.files()) std::printf("file %s\n", f.string().c_str());
  if (const std::string why = run.NoStepReason(); !why.empty()) std::fprintf(stderr, "torvik6-cli observe: %s\n", why.c_str());
  if (run.Simulated()) std::fprintf(stderr, "torvik6-cli observe: %s\n", kSimulatedNote);
  if (stats) {
    const ObsMeans means{run.NdR(), run.MeanAbsDL(), run.MeanAbsDB(), run.MeanDR()};
    if (auto r = WriteStatReport(folder, *stats, planet, src.name(), means)) return PrintUserMessage(*r);
    std::printf("file %s\n", ResolvePath(folder, StatReportRelPath(planet, src.name())).string().c_str());
  }
  if (plotWritten) std::printf("file %s\n", o.plotFile->c_str());
  return plot && !plotWritten ? kFailed : kOk;
}

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  ObsSettings& s = o->s;
  app.description(
      "Runs an observation run as \"Начать\" of the observation screen does, with the\n"
      "screen's defaults and the presets of the source, and prints the means of the\n"
      "accepted steps as NAME VALUE: NdR, dLsr, dBsr, absdL, absdB (degrees), dRsr\n"
      "(thousand km), the root mean square and largest |dL|, |dB| as rmsdL, rmsdB, maxdL,\n"
      "maxdB (degrees), the steps accepted and rejected (dR>=dRmax), \"simulated yes\" when the\n"
      "observatory file's records are marked SIMULATED, then the files written. Give --table\n"
      "NAME or --observatory CODE.");
  AddOptional(app, "--table", o->table,
              "AlBattani, AlfonsoTab, AlKhwarizmi, Almagest, HandyTables, PrutenticTables,\n"
              "RudolphineTables, Streete, ToledanTables, Wing (or the option captions Alfonso, Handy, ...);\n"
              "the workbook DIR\\Tab\\NAME.xls (or .xlsx, .ods) serves when it exists, through\n"
              "LibreOffice Calc, else the built-in calculator")
      ->type_name("NAME");
  app.add_flag("--builtin", o->builtin, "the built-in calculator even when the table's workbook exists");
  AddOptional(app, "--observatory", o->observatory, "GREN, PARI, USNO, RADC or CAPE (file \\Obs\\CODE + P + .txt)")
      ->type_name("CODE");
  app.add_option("--planet", o->planet, "0 Sun, 1 Mercury, 2 Venus, 4 Mars, ...")
      ->type_name("P")->transform(Whole(-1000, 1000))->capture_default_str();
  app.add_option_function<std::string>("--start", [o](const std::string& d) { o->start = StartOption(d); },
                                       "start date (default: the table's, else 1.5.1.2000, or the\n"
                                       "observatory file's last record when it has none that year)")
      ->type_name("D.M.Y");
  app.add_option("--years", o->years, "interval: tables run forward, observatories back")
      ->type_name("N")->transform(Whole(0, 32767))->capture_default_str();
  app.add_option_function<std::string>(
         "--step",
         [o](const std::string& st) {
           const auto parts = SplitText(st, '/');
           if (parts.size() > 2) throw BadOption("--step: " + st + " is not S/DIV");
           o->s.live.Step0 = ArgNumber(parts[0], "--step", 1e-6, 1e6);
           if (parts.size() == 2)
             o->s.live.StepDiv = static_cast<std::int16_t>(ArgNumber(parts[1], "--step divisor", 1, 32767));
         },
         "table step in days and its divisor")
      ->type_name("S/DIV")->default_str(ShortestText(s.live.Step0) + "/" + std::to_string(s.live.StepDiv));
  app.add_option_function<std::string>(
         "--calendar",
         [o](const std::string& c) {
           o->calendar = c == "gregorian" ? ObsCalendar::Gregorian
                         : c == "julian"  ? ObsCalendar::Julian
                                          : ObsCalendar::Egyptian;
         },
         "calendar (default: the source's)")
      ->type_name("C")->check(OneOf({"gregorian", "julian", "egyptian"}));
  app.add_option_function<std::string>(
         "--day-start", [o](const std::string& d) { o->dayStart = d == "0" ? DayStart::Midnight : DayStart::Noon; },
         "day counted from midnight or noon (default: the source's)")
      ->type_name("H")->check(OneOf({"0", "12"}));
  const std::vector<std::string> theories = {"J", "j", "S", "s", "de405", "DE405"};
  app.add_option_function<std::string>("--theory", [o](const std::string& t) { o->s.planet = TheoryOf(t); },
                                       "planet theory")
      ->type_name("T")->check(OneOf(theories))->default_str("J");
  app.add_option_function<std::string>("--earth", [o](const std::string& t) { o->s.earth = TheoryOf(t); },
                                       "Earth theory")
      ->type_name("T")->check(OneOf(theories))->default_str("J");
  app.add_option_function<std::string>(
         "--vsys",
         [o](const std::string& v) {
           const auto parts = SplitText(v, ',');
           if (parts.size() != 3) throw BadOption("--vsys: " + v + " is not VX,VY,VZ");
           o->s.VXsys = ArgNumber(parts[0], "--vsys VX", -1e6, 1e6);
           o->s.VYsys = ArgNumber(parts[1], "--vsys VY", -1e6, 1e6);
           o->s.VZsys = ArgNumber(parts[2], "--vsys VZ", -1e6, 1e6);
         },
         "velocity of the Solar System, km/s")
      ->type_name("VX,VY,VZ");
  app.add_flag("--et-ut", o->etUt, "theories at ephemeris time (\"ET- UT, мин\")");
  app.add_flag("--j2000", o->j2000, "no precession to the date (\"JD\")");
  app.add_flag("--no-light-time", o->noLightTime, "no light time (\"Аберр. пл.\" off)");
  app.add_flag("--no-aberration", o->noAberration, "no aberration of the stars (\"Аберр. зв.\" off)");
  app.add_flag("--no-nutation", o->noNutation, "no nutation");
  app.add_flag("--no-moon", o->noMoon, "the Moon not taken into account");
  app.add_flag("--refraction", o->refraction, "refraction");
  app.add_flag("--parallax", o->parallax, "parallax");
  app.add_flag("--visibility", s.visibility, "horizontal test");
  app.add_option_function<double>("--hmin", [o](double h) { o->s.HminPl = h, o->s.hminPl = true; },
                                  "skip steps with the planet below H degrees")
      ->type_name("H")->transform(Number(-90, 90));
  app.add_option_function<double>("--hmax", [o](double h) { o->s.HmaxSol = h, o->s.hmaxSol = true; },
                                  "skip steps with the Sun above H degrees")
      ->type_name("H")->transform(Number(-90, 90));
  app.add_flag("--solstice", s.solstice, "solstice search (parameter records at the solstices)");
  app.add_option("--dr-max", s.live.dRmax, "steps with dR >= R thousand km are rejected")
      ->type_name("R")->transform(Number(0, 1e12))->capture_default_str();
  app.add_flag("--no-dr-limit", o->noDrLimit, "accept every step");
  app.add_option_function<std::string>(
         "--files",
         [o](const std::string& f) {
           for (const auto& name : SplitText(f, ',')) {
             if (name == "trace") o->s.fileTrace = true;
             else if (name == "param") o->s.fileParam = true;
             else if (name == "bad") o->s.fileBad = true;
             else throw BadOption("--files: " + name + " is not trace, param or bad");
           }
         },
         "trace,param,bad: the files of \\Dat\\")
      ->type_name("LIST");
  app.add_flag("--stat", o->stat,
               "count the deviations in intervals and write \\Dat\\Stat + P + source + .txt (as \"Статистика\" does)");
  app.add_option_function<std::string>(
         "--plot",
         [o](const std::string& f) {
           if (!ImageFormatOf(f)) throw BadOption("--plot: " + f + " does not end in .png, .svg or .pdf");
           o->plotFile = f;
         },
         "writes the screen's deviation plot (dL, dB, dR against time at its default scales)\n"
         "as PNG, SVG or PDF, as OUT ends")
      ->type_name("OUT");
  AddFolderOption(app, o->folder);
  app.add_flag("--quiet", o->quiet, "no progress on stderr");
  return [o] { return ObserveCommand(*o); };
}

CliCommand reg{"observe", "an observation run of a historic table or an observatory file (means of the deviations)",
               Declare};

}  // namespace
}  // namespace torvik::cli
