// torvik6-cli ellipse: the difference table of the ellipse and eccentric
// comparison on the same code as its screen.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "core/textfile.h"
#include "tools/ellipse.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "ellipse";

int RunEllipse(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli ellipse [--e1 E] [--e2 E] [--model eccentric|equant] [--steps N]\n"
        "                           [--a RSR] [--w W] [--step DAYS]\n"
        "The ellipse (eccentricity e1, default 0.2) against the simple eccentric or the\n"
        "eccentric with an equant (e2, default 0.4) of the same mean motion W (rad/year,\n"
        "default 6.28) and radius RSR (thousand km, default 150000), both from the\n"
        "aphelion direction. One line per step of DAYS (default 0.1), N steps (default\n"
        "one period): T (days), AlfaL1, AlfaL2, dAlfa (degrees), R1, R2, dR (thousand km).\n");
    return kOk;
  }
  if (auto bad = UnknownArgument(args, {"--e1", "--e2", "--model", "--steps", "--a", "--w", "--step"}))
    return BadArgs(kName, "unknown argument " + *bad);
  EllipseInputs in;
  if (auto v = OptionNumber(args, "--e1", -0.999, 0.999)) in.e1 = *v;
  if (auto v = OptionNumber(args, "--e2", -2, 2)) in.e2 = *v;
  if (auto v = OptionNumber(args, "--a", 1e-6, 1e12)) in.a = *v;
  if (auto v = OptionNumber(args, "--w", 1e-9, 1e6)) in.w = *v;
  if (auto v = OptionNumber(args, "--step", 1e-9, 1e9)) in.step = *v;
  EccentricModel model = EccentricModel::Simple;
  if (auto t = OptionText(args, "--model")) {
    if (*t == "equant")
      model = EccentricModel::Equant;
    else if (*t != "eccentric")
      throw BadOption("--model: " + *t + " is neither eccentric nor equant");
  }
  const long long steps = OptionInt(args, "--steps", 1, 100000000).value_or(StepsPerPeriod(in));
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

const CliCommand kEllipse{kName, "[--e1 E --e2 E --model eccentric|equant --steps N] -> difference table",
                          RunEllipse};

}  // namespace
}  // namespace torvik::cli
