// torvik6-cli drift: "Обработать данные " of the statistics screen on an orbit
// file: the drift per hundred years of one element with its limit, as the
// screen's fields show them (up to 15 significant digits), and optionally the
// plot the screen draws.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/textfile.h"
#include "stats/plot_image.h"
#include "stats/statistics.h"

namespace torvik::cli {
namespace {

constexpr const char* kHelp =
    "usage: torvik6-cli drift FILE --element P [options] [--plot OUT.png|OUT.svg|OUT.pdf]\n"
    "\n"
    "Loads the orbit file FILE (any path) as the statistics screen loads a run file and\n"
    "processes it; prints one result per line as NAME VALUE: Drift, Limit (drift units:\n"
    "arcseconds, millionths, thousand km or minutes per 100 years), k0, k1, k2, NCP.\n"
    "  --element P       1 perihelion, 2 node, 3 inclination, 4 eccentricity,\n"
    "                    5 semi-axis, 6 period\n"
    "  --ncoef N         coefficients of the fit, 1..3 (default 2)\n"
    "  --group N         points per group NCP (default 5)\n"
    "  --from I --to J   first and last point (default 1 and the last)\n"
    "  --t0 Y            epoch year (default the year the file starts)\n"
    "  --tyear Y         evaluation year (default 2000)\n"
    "  --sweep           all group sizes, combined by --criterion min|maxmin|sr (default maxmin)\n"
    "  --mx1 --mp --mdp --mx2   the plot scales (defaults 15, 0.1, 10, 25)\n"
    "  --plot OUT        writes the screen's plot as PNG, SVG or PDF, as OUT ends\n";

int RunDrift(const Args& args) {
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  if (args.empty() || args[0].rfind("--", 0) == 0) return BadArgs("drift", "the orbit FILE is missing");
  const std::string file = args[0];
  StatsInputs in;
  const auto element = OptionInt(args, "--element", 1, 6);
  if (!element) return BadArgs("drift", "--element P is required");
  in.p = static_cast<int>(*element);
  in.NCoef = static_cast<int>(OptionInt(args, "--ncoef", 1, 3).value_or(2));
  in.NCP = static_cast<std::int32_t>(OptionInt(args, "--group", 1, 1000000000).value_or(5));
  in.MX1 = OptionNumber(args, "--mx1", 1e-9, 1e9).value_or(in.MX1);
  in.MP = OptionNumber(args, "--mp", 1e-12, 1e12).value_or(in.MP);
  in.MdP = OptionNumber(args, "--mdp", 1e-12, 1e12).value_or(in.MdP);
  in.MX2 = OptionNumber(args, "--mx2", 1e-9, 1e9).value_or(in.MX2);
  in.TYear = OptionNumber(args, "--tyear", -1e6, 1e6).value_or(in.TYear);
  in.sweep = HasFlag(args, "--sweep");
  if (auto c = OptionText(args, "--criterion")) {
    if (*c == "min") in.criterion = Criterion::Min;
    else if (*c == "maxmin") in.criterion = Criterion::MaxMin;
    else if (*c == "sr") in.criterion = Criterion::Sr;
    else throw BadOption("--criterion: " + *c + " is not min, maxmin or sr");
  }
  const auto from = OptionInt(args, "--from", 1, 1000000000);
  const auto to = OptionInt(args, "--to", 1, 1000000000);
  const auto t0 = OptionInt(args, "--t0", -1000000, 1000000);
  const auto plotFile = OptionText(args, "--plot");
  if (plotFile && !ImageFormatOf(*plotFile)) throw BadOption("--plot: " + *plotFile + " does not end in .png, .svg or .pdf");

  Statistics st(Statistics::ModelColours([] {
                  Model m;
                  SetConstants(m);
                  return m;
                }()),
                ".");
  StatsOutcome o = st.LoadRunFileAt(file, file, DataKind::PlanRun, in);  // a large plot is drawn without asking
  if (o.message) return PrintUserMessage(*o.message);
  in.IStart = from ? static_cast<std::int32_t>(*from) : 1;
  in.IEnd = to ? static_cast<std::int32_t>(*to) : *o.fields.IEnd;
  in.T0 = t0 ? static_cast<std::int32_t>(*t0) : *o.fields.T0;
  o = st.ProcessData(in);
  const StatsFields& f = o.fields;
  auto print = [](const char* name, const auto& v) {
    if (v) std::printf("%s %s\n", name, NumberText(static_cast<double>(*v)).c_str());
  };
  print("Drift", f.Drift);
  print("Limit", f.Limit);
  print("k0", f.k0);
  print("k1", f.k1);
  print("k2", f.k2);
  print("NCP", f.NCP);
  std::fflush(stdout);
  int status = kOk;
  if (o.message) status = PrintUserMessage(*o.message);
  if (plotFile) {
    std::string error;
    if (!WritePlotImage(st.plot(), *plotFile, &error)) {
      std::fprintf(stderr, "torvik6-cli drift: %s\n", error.c_str());
      status = kFailed;
    }
  }
  return status;
}

CliCommand reg{"drift", "drift per 100 years of an element of an orbit file, as the statistics screen fits it",
               RunDrift};

}  // namespace
}  // namespace torvik::cli
