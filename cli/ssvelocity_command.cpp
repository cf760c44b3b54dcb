// torvik6-cli ssvelocity: the velocity of the Solar System composed from the
// published vectors of the Solar-System velocity screen, on the same code.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "core/model.h"
#include "core/textfile.h"
#include "params/ssvelocity.h"

namespace torvik::cli {
namespace {

void PrintVelocity(const char* name, const Velocity3& v) {
  std::printf("%-10s %s %s %s\n", name, NumberText(v.vx).c_str(), NumberText(v.vy).c_str(),
              NumberText(v.vz).c_str());
}

int RunSsVelocity(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli ssvelocity [ROW...] [--mv MV]\n"
        "Decomposes the checked rows of the Solar-System velocity screen into VX, VY,\n"
        "VZ (km/s, ecliptic) and sums them. ROW is 1..5, or 1-..5- for the row with\n"
        "the \"--\" sign; the rows keep their published V, Alfa, Betta. Prints one\n"
        "line per row, the sum and the grey reference vector (370, 171, -11.4).\n");
    return kOk;
  }
  std::array<VelocityRowInput, kVelocityRows> rows;
  for (int i = 0; i < kVelocityRows; ++i) {
    const VelocityRowDefault& d = kVelocityRowDefaults[static_cast<std::size_t>(i)];
    rows[static_cast<std::size_t>(i)] =
        VelocityRowInput{false, ShortestText(d.v), ShortestText(d.alfa), ShortestText(d.betta), false};
  }
  std::string mv = "50";
  for (std::size_t a = 0; a < args.size(); ++a) {
    const std::string& arg = args[a];
    if (arg == "--mv") {
      if (a + 1 >= args.size()) throw BadOption("--mv: the option needs a value");
      mv = ShortestText(ArgNumber(args[++a], "--mv", 1e-6, 1e6));
      continue;
    }
    const bool minus = arg.size() == 2 && arg[1] == '-';
    if ((arg.size() != 1 && !minus) || arg[0] < '1' || arg[0] > '5')
      return BadArgs("ssvelocity", "ROW is 1..5 or 1-..5-: " + arg);
    auto& row = rows[static_cast<std::size_t>(arg[0] - '1')];
    row.on = true;
    row.minus = minus;
  }
  Model m;
  SetConstants(m);
  VelocityDecomposition d;
  if (auto r = DecomposeVelocities(m, rows, mv, &d)) {
    std::fprintf(stderr, "torvik6-cli ssvelocity: %s\n", r->text.c_str());
    return kFailed;
  }
  for (int i = 0; i < kVelocityRows; ++i)
    if (d.rows[static_cast<std::size_t>(i)]) {
      const std::string name = "row " + std::to_string(i + 1);
      PrintVelocity(name.c_str(), *d.rows[static_cast<std::size_t>(i)]);
    }
  PrintVelocity("sum", d.sum);
  std::printf("%s\n", ReferenceComponentsText(d.reference).c_str());
  return kOk;
}

const CliCommand kSsVelocity{"ssvelocity", "[ROW...] -> Solar-System velocity from the published vectors",
                             RunSsVelocity};

}  // namespace
}  // namespace torvik::cli
