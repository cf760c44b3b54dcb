// torvik6-cli drift: "Обработать данные " of the statistics screen on an orbit
// file: the drift per hundred years of one element with its limit, as the
// screen's fields show them (up to 15 significant digits), and optionally the
// plot the screen draws.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/textfile.h"
#include "stats/plot_image.h"
#include "stats/statistics.h"

namespace torvik::cli {
namespace {

struct Options {
  std::string file;
  StatsInputs in;
  std::optional<std::int32_t> from, to, t0;
  std::optional<std::string> plotFile;
};

int RunDrift(Options& o) {
  const std::string& file = o.file;
  StatsInputs& in = o.in;
  const auto& from = o.from;
  const auto& to = o.to;
  const auto& t0 = o.t0;
  const auto& plotFile = o.plotFile;
  Statistics st(Statistics::ModelColours([] {
                  Model m;
                  SetConstants(m);
                  return m;
                }()),
                ".");
  StatsOutcome so = st.LoadRunFileAt(file, file, DataKind::PlanRun, in);  // a large plot is drawn without asking
  if (so.message) return PrintUserMessage(*so.message);
  in.IStart = from.value_or(1);
  in.IEnd = to.value_or(*so.fields.IEnd);
  in.T0 = t0.value_or(*so.fields.T0);
  so = st.ProcessData(in);
  const StatsFields& f = so.fields;
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
  if (so.message) status = PrintUserMessage(*so.message);
  if (plotFile) {
    std::string error;
    if (!WritePlotImage(st.plot(), *plotFile, &error)) {
      std::fprintf(stderr, "torvik6-cli drift: %s\n", error.c_str());
      status = kFailed;
    }
  }
  return status;
}

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  StatsInputs& in = o->in;
  app.description(
      "Loads the orbit file FILE (any path) as the statistics screen loads a run file and\n"
      "processes it; prints one result per line as NAME VALUE: Drift, Limit (drift units:\n"
      "arcseconds, millionths, thousand km or minutes per 100 years), k0, k1, k2, NCP.");
  app.add_option("FILE", o->file, "the orbit file")->required();
  app.add_option("--element", in.p, "1 perihelion, 2 node, 3 inclination, 4 eccentricity, 5 semi-axis, 6 period")
      ->type_name("P")->required()->transform(Whole(1, 6));
  in.NCoef = 2;
  app.add_option("--ncoef", in.NCoef, "coefficients of the fit")
      ->type_name("N")->transform(Whole(1, 3))->capture_default_str();
  app.add_option("--group", in.NCP, "points per group NCP")
      ->type_name("N")->transform(Whole(1, 1000000000))->capture_default_str();
  AddOptional(app, "--from", o->from, "first point (default 1)")->type_name("I")->transform(Whole(1, 1000000000));
  AddOptional(app, "--to", o->to, "last point (default the last)")->type_name("J")->transform(Whole(1, 1000000000));
  AddOptional(app, "--t0", o->t0, "epoch year (default the year the file starts)")
      ->type_name("Y")->transform(Whole(-1000000, 1000000));
  app.add_option("--tyear", in.TYear, "evaluation year")
      ->type_name("Y")->transform(Number(-1e6, 1e6))->capture_default_str();
  app.add_flag("--sweep", in.sweep, "all group sizes, combined by --criterion");
  app.add_option_function<std::string>(
         "--criterion",
         [o](const std::string& c) {
           o->in.criterion = c == "min" ? Criterion::Min : c == "sr" ? Criterion::Sr : Criterion::MaxMin;
         },
         "how the sweep combines the group sizes")
      ->type_name("C")->check(OneOf({"min", "maxmin", "sr"}))->default_str("maxmin");
  app.add_option("--mx1", in.MX1, "plot scale MX1")->type_name("S")->transform(Number(1e-9, 1e9))->capture_default_str();
  app.add_option("--mp", in.MP, "plot scale MP")->type_name("S")->transform(Number(1e-12, 1e12))->capture_default_str();
  app.add_option("--mdp", in.MdP, "plot scale MdP")->type_name("S")->transform(Number(1e-12, 1e12))->capture_default_str();
  app.add_option("--mx2", in.MX2, "plot scale MX2")->type_name("S")->transform(Number(1e-9, 1e9))->capture_default_str();
  app.add_option_function<std::string>(
         "--plot",
         [o](const std::string& f) {
           if (!ImageFormatOf(f)) throw BadOption("--plot: " + f + " does not end in .png, .svg or .pdf");
           o->plotFile = f;
         },
         "writes the screen's plot as PNG, SVG or PDF, as OUT ends")
      ->type_name("OUT");
  return [o] { return RunDrift(*o); };
}

CliCommand reg{"drift", "drift per 100 years of an element of an orbit file, as the statistics screen fits it",
               Declare};

}  // namespace
}  // namespace torvik::cli
