// torvik6-cli compare and position: the watched planet from the ephemeris
// sources of the imitators (DE405, the APC library, the element theories).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/calendar.h"
#include "core/frames.h"
#include "core/model.h"
#include "core/textfile.h"
#include "model/compare.h"
#include "model/de405.h"
#include "model/de405_files.h"
#include "model/imitators.h"
#include "params/startup.h"

namespace torvik::cli {
namespace {

struct Options {
  int planet = 0;
  double jd = 0;
  std::string source;
  std::filesystem::path folder;
};

// --planet K (lo..10), --jd JD (a Julian date of the calendars' range) and --folder DIR.
void PlanetAndJd(CLI::App& app, Options& o, int lo) {
  app.add_option("--planet", o.planet, "planet")->type_name("K")->required()->transform(Whole(lo, 10));
  app.add_option("--jd", o.jd, "Julian date")->type_name("JD")->required()->transform(Number(kMinJD, kMaxJD));
  AddFolderOption(app, o.folder);
}

// "В файле нет такой даты" with the span of the DE405 files the program makes.
int PrintNoSuchDate(const std::string& cmd, const UserMessage& msg, double jd) {
  PrintUserMessage(msg);
  if (msg.text == kNoSuchDate && jd >= kDe405FilesFirstJD && jd <= kDe405FilesLastJD) {
    std::fprintf(stderr, "torvik6-cli %s: the DE405 record of JD %s is missing or damaged\n", cmd.c_str(),
                 NumberText(jd).c_str());
  } else if (msg.text == kNoSuchDate) {
    const CalendarDate a = JDToDate(kDe405FilesFirstJD), b = JDToDate(kDe405FilesLastJD);
    std::fprintf(stderr, "torvik6-cli %s: the DE405 files cover JD %s .. %s (%d.%d.%d .. %d.%d.%d)\n", cmd.c_str(),
                 NumberText(kDe405FilesFirstJD).c_str(), NumberText(kDe405FilesLastJD).c_str(),
                 static_cast<int>(a.day), a.month, a.year, static_cast<int>(b.day), b.month, b.year);
  }
  return kFailed;
}

int RunCompare(const Options& o) {
  const int planet = o.planet;
  const double jd = o.jd;
  const auto& folder = o.folder;
  if (planet != 0 && !PrepareProgramFolder("compare", folder, true)) return kFailed;
  Model m;
  if (auto msg = StartUp(m)) return PrintUserMessage(*msg);
  Comparison c;
  if (auto msg = CompareImitators(m, folder, planet, jd, c)) return PrintNoSuchDate("compare", *msg, jd);
  for (const auto& line : ComparisonLines(c)) std::printf("%s\n", line.c_str());
  return kOk;
}

int RunPosition(const Options& o) {
  const std::string& source = o.source;
  const int planet = o.planet;
  const double jd = o.jd;

  // The model as the program starts it (Ксена gets its placeholder elements).
  Model m;
  if (auto msg = StartUp(m)) return PrintUserMessage(*msg);
  if (source == "jpl" && !PrepareProgramFolder("position", o.folder, true)) return kFailed;
  SourcePosition p;
  if (auto msg = ImitatorPosition(m, source, planet, jd, o.folder, p)) return PrintNoSuchDate("position", *msg, jd);
  std::printf("# X[m] Y[m] Z[m] L[deg] B[deg] R[thousand km]\n");
  for (double v : {p.X, p.Y, p.Z, p.L, p.B}) std::printf("%s ", NumberText(v).c_str());
  std::printf("%s\n", NumberText(p.R).c_str());
  return kOk;
}

Action DeclareCompare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "The imitator comparison: planet K at Julian date JD from DE405 (barycentric and\n"
      "heliocentric), the JPL elements, the APC library, the Newcomb theory (of date and\n"
      "precessed to J2000) and the Mox elements; L, B in degrees, R, X, Y, Z in thousand km,\n"
      "then the differences (dL, dB in arc seconds). DE405 files from DIR/JPL, made there\n"
      "from Debian's DE405 table when missing.");
  PlanetAndJd(app, *o, 0);
  return [o] { return RunCompare(*o); };
}

Action DeclarePosition(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "Heliocentric ecliptic position of planet K at Julian date JD in the source's frame\n"
      "(J2000; the ecliptic of date for new):\n"
      "  X[m] Y[m] Z[m] L[deg] B[deg] R[thousand km]\n"
      "jpl: DE405 (planet minus Sun) from DIR/JPL; apc: the planetary-position library;\n"
      "new, mox, jpl0: the Newcomb, Mox and JPL elements with the Kepler solution.");
  app.add_option("--source", o->source, "the ephemeris source")
      ->type_name("S")->required()->check(OneOf({"jpl", "apc", "new", "mox", "jpl0"}));
  PlanetAndJd(app, *o, 1);
  return [o] { return RunPosition(*o); };
}

const CliCommand kCompare{"compare", "--planet K --jd JD -> the imitator comparison table", DeclareCompare};
const CliCommand kPosition{"position", "--source jpl|apc|new|mox|jpl0 --planet K --jd JD -> X Y Z L B R",
                           DeclarePosition};

}  // namespace
}  // namespace torvik::cli
