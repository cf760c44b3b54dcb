// torvik6-cli ellipse: the difference table of the ellipse and eccentric
// comparison on the same code as its screen.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"
#include "core/textfile.h"
#include "tools/ellipse.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "ellipse";

struct Options {
  EllipseInputs in;
  std::string model = "eccentric";
  std::optional<long long> steps;
};

int RunEllipse(Options& o) {
  EllipseInputs& in = o.in;
  const EccentricModel model = o.model == "equant" ? EccentricModel::Equant : EccentricModel::Simple;
  const long long steps = o.steps.value_or(StepsPerPeriod(in));
  EllipseComparison c;
  c.Start(in, model);
  const double kUgol = 180.0 / 3.14159265359;
  std::printf("T AlfaL1 AlfaL2 dAlfa R1 R2 dR\n");
  for (long long i = 0; i < steps; ++i) {
    EllipseStep s;
    if (!c.Step(model, c.Inputs(), &s)) {
      std::fprintf(stderr, "torvik6-cli ellipse: %s\n", kMsgEllipseStepFault);
      return kFailed;
    }
    std::printf("%s %s %s %s %s %s %s\n", ShortestText(s.T).c_str(), ShortestText(s.theta1 * kUgol).c_str(),
                ShortestText(s.theta2 * kUgol).c_str(), NumberText(FixMK(s.dAlfa * kUgol)).c_str(),
                ShortestText(s.r1).c_str(), ShortestText(s.r2).c_str(), NumberText(FixMK(s.dR)).c_str());
  }
  return kOk;
}

Action DeclareEllipse(CLI::App& app) {
  auto o = std::make_shared<Options>();
  EllipseInputs& in = o->in;
  app.description(
      "The ellipse (eccentricity e1) against the simple eccentric or the eccentric with an\n"
      "equant (e2) of the same mean motion W and radius RSR, both from the aphelion\n"
      "direction. One line per step: T (days), AlfaL1, AlfaL2, dAlfa (degrees), R1, R2,\n"
      "dR (thousand km).");
  app.add_option("--e1", in.e1, "eccentricity of the ellipse")
      ->type_name("E")->transform(Number(-0.999, 0.999))->capture_default_str();
  app.add_option("--e2", in.e2, "eccentricity of the eccentric")
      ->type_name("E")->transform(Number(-2, 2))->capture_default_str();
  app.add_option("--model", o->model, "the simple eccentric or the eccentric with an equant")
      ->type_name("M")->check(OneOf({"eccentric", "equant"}))->capture_default_str();
  AddOptional(app, "--steps", o->steps, "steps (default one period)")->type_name("N")->transform(Whole(1, 100000000));
  app.add_option("--a", in.a, "radius RSR, thousand km")
      ->type_name("RSR")->transform(Number(1e-6, 1e12))->capture_default_str();
  app.add_option("--w", in.w, "mean motion W, rad/year")
      ->type_name("W")->transform(Number(1e-9, 1e6))->capture_default_str();
  app.add_option("--step", in.step, "step, days")
      ->type_name("DAYS")->transform(Number(1e-9, 1e9))->capture_default_str();
  return [o] { return RunEllipse(*o); };
}

const CliCommand kEllipse{kName, "[--e1 E --e2 E --model eccentric|equant --steps N] -> difference table",
                          DeclareEllipse};

}  // namespace
}  // namespace torvik::cli
