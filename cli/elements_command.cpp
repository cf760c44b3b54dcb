// torvik6-cli elements: mean elements of the planets 1..9 from one theory and
// the heliocentric ecliptic position they give (frame of the theory: ecliptic
// and equinox of date for Newcomb, J2000 for JPL and Mox).
#include <cstdio>
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

int RunElements(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli elements --theory newcomb|jpl|mox --jd JD\n"
        "Prints one line per planet 1..9:\n"
        "  k name a[AU] e i[deg] L[deg] perihelion[deg] node[deg] X[m] Y[m] Z[m]\n"
        "L is brought into one turn; X, Y, Z are heliocentric ecliptic (of date for\n"
        "newcomb, J2000 for jpl and mox).\n");
    return kOk;
  }

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool known = a == "--theory" || a == "--jd";
    const bool knownEq = a.rfind("--theory=", 0) == 0 || a.rfind("--jd=", 0) == 0;
    if (known) {
      ++i;  // its value
    } else if (!knownEq) {
      return BadArgs("elements", "unknown argument: " + a);
    }
  }
  const auto theoryOption = OptionText(args, "--theory");
  if (!theoryOption) return BadArgs("elements", "missing --theory newcomb|jpl|mox");
  const std::string theoryName = *theoryOption;
  Theory theory = nullptr;
  if (theoryName == "newcomb") theory = NewcombElements;
  if (theoryName == "jpl") theory = JplElements;
  if (theoryName == "mox") theory = MoxElements;
  if (!theory) throw BadOption("--theory: " + theoryName + " is not newcomb, jpl or mox");
  const auto jd = OptionNumber(args, "--jd", kMinJD, kMaxJD);
  if (!jd) return BadArgs("elements", "missing --jd JD");

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

const CliCommand kElements{"elements", "--theory newcomb|jpl|mox --jd JD -> elements and X Y Z of planets 1..9",
                           RunElements};

}  // namespace
}  // namespace torvik::cli
