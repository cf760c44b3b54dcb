// torvik6-cli observe-plan run: the experiment series of a five-factor
// observation plan over a historic table or an observatory file, the planet's
// orbit varied through theory "P" around the template plan of the start date,
// then the quadratic regression of the criterion.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/calendar.h"
#include "core/model.h"
#include "core/paths.h"
#include "observe/sample_files.h"
#include "observe/sources.h"
#include "params/startup.h"
#include "plan/obs_plan.h"
#include "plan/obs_series.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "observe-plan";

constexpr const char* kHelp =
    "usage: torvik6-cli observe-plan run (--table NAME | --observatory CODE) --planet P --plan O5|B5\n"
    "                                    [--from I --to J] [options]\n"
    "\n"
    "Builds the template plan of the planet from the approximate J2000 elements at\n"
    "the start date, runs one observation run per experiment I..J (default 1..43)\n"
    "with the planet's and the Earth's orbits of the plan (theory P), prints\n"
    "\"exp J CRITERION\" per experiment and the coefficients \"bK VALUE\" of the\n"
    "regression, and writes the listing \\Dat\\Plan.txt.\n"
    "  --table NAME         a historic table (AlBattani, Almagest, ...)\n"
    "  --observatory CODE   GREN, PARI, USNO, RADC or CAPE\n"
    "  --planet P           0 Sun, 1 Mercury, 2 Venus, 4 Mars, ...\n"
    "  --plan O5|B5         the plan (B5 fits experiments 1..42)\n"
    "  --start D.M.Y        start date (default: the table's, else 1.1.2000)\n"
    "  --years N            interval in years (default 200)\n"
    "  --criterion dR|dL    mean dR (thousand km) or mean |dL| (arcsec), default dR\n"
    "  --plan-no K          plan number (default 1)\n"
    "  --save               also write the plan file \\Tab|Obs\\Plan\\NAME + P + _K.dat\n"
    "  --folder DIR         program folder (default ~/Torvik6)\n"
    "  --quiet              no progress on stderr\n";

int RunSeries(const Args& args) {
  if (auto u = UnknownArgument(args, {"--table", "--observatory", "--planet", "--plan", "--from", "--to", "--start",
                                      "--years", "--criterion", "--plan-no", "--folder"},
                               {"run", "--save", "--quiet"}))
    return BadArgs(kName, "unknown argument " + *u);
  const auto folder = FolderOption(args);
  const auto table = OptionText(args, "--table");
  const auto observatory = OptionText(args, "--observatory");
  if (table.has_value() == observatory.has_value()) return BadArgs(kName, "give --table NAME or --observatory CODE");
  const auto planet = OptionInt(args, "--planet", 0, 9);
  if (!planet || *planet == 3) return BadArgs(kName, "give --planet P (0..9, not 3)");
  const auto kindText = OptionText(args, "--plan");
  if (!kindText || (*kindText != "O5" && *kindText != "B5")) return BadArgs(kName, "give --plan O5 or B5");
  const ObsPlanKind kind = *kindText == "O5" ? ObsPlanKind::O5 : ObsPlanKind::B5;
  const int first = static_cast<int>(OptionInt(args, "--from", 1, kObsExperiments).value_or(1));
  const int last = static_cast<int>(OptionInt(args, "--to", 1, kObsExperiments).value_or(kObsExperiments));
  if (first > last) return BadArgs(kName, "--from after --to");
  const int years = static_cast<int>(OptionInt(args, "--years", 0, 32767).value_or(200));
  const int planNo = static_cast<int>(OptionInt(args, "--plan-no", 0, 32767).value_or(1));
  ObsCriterion criterion = ObsCriterion::dR;
  if (auto c = OptionText(args, "--criterion")) {
    if (*c == "dL") criterion = ObsCriterion::dL;
    else if (*c != "dR") throw BadOption("--criterion: " + *c + " is not dR or dL");
  }
  std::optional<ObsDate> start;
  if (auto d = OptionText(args, "--start")) {
    const auto a = d->find('.'), b = d->rfind('.');
    if (a == std::string::npos || a == b) throw BadOption("--start: " + *d + " is not D.M.Y");
    ObsDate date;
    date.day = static_cast<float>(ArgNumber(d->substr(0, a), "--start day", 1, 32));
    date.month = static_cast<std::int32_t>(ArgNumber(d->substr(a + 1, b - a - 1), "--start month", 1, 12));
    date.year = static_cast<std::int32_t>(ArgNumber(d->substr(b + 1), "--start year", -4000, 4000));
    start = date;
  }

  int index = 0;
  for (std::size_t i = 0; table && i < kTables.size(); ++i)
    if (*table == kTables[i].name || *table == kTables[i].caption) index = static_cast<int>(i) + 1;
  for (std::size_t i = 0; observatory && i < kObservatories.size(); ++i)
    if (*observatory == kObservatories[i].code) index = static_cast<int>(i) + 1;
  if (!index) return BadArgs(kName, "no source " + (table ? *table : *observatory));

  if (!PrepareProgramFolder(kName, folder, false)) return kFailed;
  const int p = static_cast<int>(*planet);
  if (observatory) EnsureObservatoryFile(folder, *observatory, p);
  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);
  ObservationSource src(folder);
  ObsSettings s;
  if (auto r = OpenSource(src, table ? SourceKind::Tab : SourceKind::Obs, index, p, s)) return PrintUserMessage(*r);
  if (start) s.day = start->day, s.month = start->month, s.year = start->year;
  s.Npl = p;
  s.years = years;
  s.criterion = criterion;
  s.earth = s.planet = ObsTheory::P;

  const ObsPlan plan = CreateObsPlan(kind);
  if (!WriteObsPlanListing(plan, planNo, folder))
    std::fprintf(stderr, "torvik6-cli %s: cannot write %s\n", kName, kObsPlanListing);
  ObsPlanState st;
  st.PlanNo = static_cast<std::int16_t>(planNo);
  st.Npl = p;
  Model work;
  if (auto r = ObsPlanTemplate(work, DateToJD(s.year, s.month, s.day), s.day, static_cast<std::int16_t>(s.month),
                               static_cast<std::int16_t>(s.year), &st))
    return PrintUserMessage(*r);
  for (int i = 1; i <= kObsFactors; ++i)
    for (int e = 1; e <= kObsExperiments; ++e) st.PlanX[i][e] = plan.PlanX[i][e];

  const bool quiet = HasFlag(args, "--quiet");
  const bool tty = isatty(STDERR_FILENO);
  ObsExperimentSeries series(m, src);
  if (auto r = series.Start(s, st, first, last)) return PrintUserMessage(*r);
  int shown = 0;
  while (series.Running()) {
    if (auto r = series.Step()) PrintUserMessage(*r);
    if (!quiet && series.ExpCur() != shown) {
      shown = series.ExpCur();
      std::fprintf(stderr, "%sexperiment %d of %d..%d%s", tty ? "\r" : "", shown, first, last, tty ? "   " : "\n");
      std::fflush(stderr);
    }
  }
  if (!quiet && tty) std::fprintf(stderr, "\n");
  for (int e = first; e <= last; ++e) std::printf("exp %d %.10g\n", e, st.Ycrit[e]);
  const ObsRegression r = FindObsRegression(plan, kind, st.Ycrit, m.MK);
  st.b = r.b;
  st.bSaved = r.b;
  st.Yfit = r.Yfit;
  for (int c = 0; c <= 20; ++c) std::printf("b%d %.10g\n", c, r.b[c]);
  if (HasFlag(args, "--save")) {
    const std::string kindName = table ? "Tab" : "Obs";
    const std::string name = table ? kTables[static_cast<std::size_t>(index - 1)].name : *observatory;
    if (auto w = WriteObsPlanFile(st, kindName, name, folder, m.MK)) return PrintUserMessage(*w);
    std::printf("file %s\n", ResolvePath(folder, ObsPlanRelPath(kindName, name, p, planNo)).string().c_str());
  }
  return kOk;
}

int ObservePlanCommand(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  if (args.empty() || args[0] != "run") return BadArgs(kName, "give run");
  return RunSeries(args);
}

CliCommand reg{"observe-plan", "experiment series of a five-factor observation plan and its regression",
               ObservePlanCommand};

}  // namespace
}  // namespace torvik::cli
