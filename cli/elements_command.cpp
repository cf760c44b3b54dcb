// torvik6-cli elements: mean elements of the planets 1..9 from one theory and
// the heliocentric ecliptic position they give (frame of the theory: ecliptic
// and equinox of date for Newcomb, J2000 for JPL and Mox).
#include <cstdio>
#include <memory>
#include <string>

#include "cli/command.h"
#include "core/calendar.h"
#include "core/kepler.h"
#include "core/model.h"
#include "core/textfile.h"
#include "core/theories.h"

namespace torvik::cli {
namespace {

using Theory = void (*)(Model&, int);

struct Options {
  std::string theory;
  double jd = 0;
};

int RunElements(const Options& o) {
  const Theory theory = o.theory == "newcomb" ? NewcombElements : o.theory == "jpl" ? JplElements : MoxElements;
  const double* jd = &o.jd;
  Model m;
  SetConstants(m);
  m.JD = *jd;
  std::printf("# k name a[AU] e i[deg] L[deg] perihelion[deg] node[deg] X[m] Y[m] Z[m]\n");
  for (int k = 1; k <= 9; ++k) {
    theory(m, k);
    NormaliseElements(m, k);
    if (!ElementsToPosition(m, k)) {
      std::fprintf(stderr, "torvik6-cli elements: %s: no position for e = %s at JD %s\n", kBodyNames[k],
                   NumberText(m.Eks0[k]).c_str(), NumberText(*jd).c_str());
      return kFailed;
    }
    std::printf("%d %s", k, kBodyNames[k]);
    for (double v : {m.Aae[k], m.Eks0[k], m.Betta0[k] * m.kUgol, m.AlfaL[k] * m.kUgol, m.AlfaP0[k] * m.kUgol,
                     m.AlfaU0[k] * m.kUgol, m.X[k], m.Y[k], m.Z[k]})
      std::printf(" %s", NumberText(v).c_str());
    std::printf("\n");
  }
  return kOk;
}

Action DeclareElements(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "Prints one line per planet 1..9:\n"
      "  k name a[AU] e i[deg] L[deg] perihelion[deg] node[deg] X[m] Y[m] Z[m]\n"
      "L is brought into one turn; X, Y, Z are heliocentric ecliptic (of date for\n"
      "newcomb, J2000 for jpl and mox).");
  app.add_option("--theory", o->theory, "the theory of the mean elements")
      ->type_name("T")->required()->check(OneOf({"newcomb", "jpl", "mox"}));
  app.add_option("--jd", o->jd, "Julian date")->type_name("JD")->required()->transform(Number(kMinJD, kMaxJD));
  return [o] { return RunElements(*o); };
}

const CliCommand kElements{"elements", "--theory newcomb|jpl|mox --jd JD -> elements and X Y Z of planets 1..9",
                           DeclareElements};

}  // namespace
}  // namespace torvik::cli
