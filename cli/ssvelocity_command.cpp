// torvik6-cli ssvelocity: the velocity of the Solar System composed from the
// published vectors of the Solar-System velocity screen, on the same code.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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

struct Options {
  std::vector<std::string> rows;
  double mv = 50;
};

int RunSsVelocity(const Options& o) {
  std::array<VelocityRowInput, kVelocityRows> rows;
  for (int i = 0; i < kVelocityRows; ++i) {
    const VelocityRowDefault& d = kVelocityRowDefaults[static_cast<std::size_t>(i)];
    rows[static_cast<std::size_t>(i)] =
        VelocityRowInput{false, ShortestText(d.v), ShortestText(d.alfa), ShortestText(d.betta), false};
  }
  const std::string mv = ShortestText(o.mv);
  for (const std::string& arg : o.rows) {
    auto& row = rows[static_cast<std::size_t>(arg[0] - '1')];
    row.on = true;
    row.minus = arg.size() == 2;
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

Action DeclareSsVelocity(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "Decomposes the checked rows of the Solar-System velocity screen into VX, VY, VZ\n"
      "(km/s, ecliptic) and sums them; the rows keep their published V, Alfa, Betta. Prints\n"
      "one line per row, the sum and the grey reference vector (370, 171, -11.4).");
  app.add_option("ROW", o->rows, "a row 1..5, or 1-..5- for the row with the \"--\" sign")
      ->check(CLI::Validator(
          [](std::string& a) -> std::string {
            const bool minus = a.size() == 2 && a[1] == '-';
            if ((a.size() != 1 && !minus) || a[0] < '1' || a[0] > '5') return a + " is not 1..5 or 1-..5-";
            return {};
          },
          ""));
  app.add_option("--mv", o->mv, "scale MV")->type_name("MV")->transform(Number(1e-6, 1e6))->capture_default_str();
  return [o] { return RunSsVelocity(*o); };
}

const CliCommand kSsVelocity{"ssvelocity", "[ROW...] -> Solar-System velocity from the published vectors",
                             DeclareSsVelocity};

}  // namespace
}  // namespace torvik::cli
