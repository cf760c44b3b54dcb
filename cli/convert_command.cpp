// torvik6-cli convert: the coordinate converter's "Задать координаты" and
// "Преобразовать координаты" on the same code.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/model.h"
#include "core/textfile.h"
#include "params/startup.h"
#include "tools/converter.h"

namespace torvik::cli {
namespace {

constexpr const char* kName = "convert";

// ORIGIN/PLANE/EQUINOX/REPR, e.g. geo/equ/date/polar.
void ParseSystem(const std::string& option, const std::string& text, CoordSystem* sys, Representation* repr) {
  std::vector<std::string> part;
  std::size_t start = 0;
  for (std::size_t slash; (slash = text.find('/', start)) != std::string::npos; start = slash + 1)
    part.push_back(text.substr(start, slash - start));
  part.push_back(text.substr(start));
  auto pick = [&](const std::string& word, std::initializer_list<const char*> names) {
    int i = 0;
    for (const char* n : names) {
      if (word == n) return i;
      ++i;
    }
    throw BadOption(option + ": " + word + " is none of the known words (see --help)");
  };
  if (part.size() != 4) throw BadOption(option + ": " + text + " is not ORIGIN/PLANE/EQUINOX/REPR");
  sys->origin = static_cast<Origin>(pick(part[0], {"helio", "geo", "topo"}));
  sys->plane = static_cast<Plane>(pick(part[1], {"ecl", "equ", "hor"}));
  sys->equinox = static_cast<Equinox>(pick(part[2], {"date", "j2000"}));
  *repr = static_cast<Representation>(pick(part[3], {"polar", "cart"}));
}

void Print(const char* name, const Coordinates& c) {
  std::printf("%s %s %s %s %s %s %s\n", name, NumberText(c.X).c_str(), NumberText(c.Y).c_str(),
              NumberText(c.Z).c_str(), NumberText(c.L).c_str(), NumberText(c.B).c_str(), NumberText(c.R).c_str());
}

int RunConvert(const Args& args) {
  if (WantsHelp(args)) {
    std::printf(
        "usage: torvik6-cli convert --from ORIGIN/PLANE/EQUINOX/REPR --to ORIGIN/PLANE/EQUINOX/REPR\n"
        "         (--body K | --coords A,B,C) [--date D.M.Y] [--zone H] [--lon L] [--lat B]\n"
        "         [--theory new0|jpl0|apc2|jpl2] [--et-ut]\n"
        "The coordinate converter: the place of body K (0 Солнце, 1..9 planets, 10 the Moon)\n"
        "at the local date, or the typed coordinates A,B,C (X,Y,Z or L,B,R as REPR says;\n"
        "thousand km and degrees), given in --from, converted to --to.\n"
        "  ORIGIN helio|geo|topo   PLANE ecl|equ|hor (hor: topo only)   EQUINOX date|j2000\n"
        "  REPR polar|cart\n"
        "  --date D.M.Y   local date, day with fraction (default 1.5.1.2000)\n"
        "  --zone H       hours added to UT (default 3); --lon, --lat the observer (44.5, 48.7)\n"
        "  --theory       New0 (default), JPL0 precessed to the date, or APC2/JPL2: the\n"
        "                 start-up elements of the program as they stand\n"
        "  --et-ut        the theories at ET = UT + ΔT\n"
        "Prints jd_ut, delta_t_min, gmst_h, lmst_h, then 'from' and 'to' lines of\n"
        "X Y Z (thousand km) L B (degrees) R (thousand km), and tau_deg (hour angle).\n");
    return kOk;
  }
  if (auto bad = UnknownArgument(
          args, {"--from", "--to", "--body", "--coords", "--date", "--zone", "--lon", "--lat", "--theory"}, {"--et-ut"}))
    return BadArgs(kName, "unknown argument " + *bad);
  const auto fromText = OptionText(args, "--from"), toText = OptionText(args, "--to");
  if (!fromText || !toText) return BadArgs(kName, "--from and --to are needed");
  CoordSystem from, to;
  Representation fromRepr, toRepr;
  ParseSystem("--from", *fromText, &from, &fromRepr);
  ParseSystem("--to", *toText, &to, &toRepr);
  (void)toRepr;  // both representations are printed
  const auto body = OptionInt(args, "--body", 0, 10);
  const auto coords = OptionText(args, "--coords");
  if (body.has_value() == coords.has_value()) return BadArgs(kName, "give either --body K or --coords A,B,C");

  ConverterSettings s;
  if (const auto date = OptionText(args, "--date")) {
    const auto last = date->rfind('.');
    const auto mid = last == std::string::npos || last == 0 ? std::string::npos : date->rfind('.', last - 1);
    if (mid == std::string::npos || mid == 0) return BadArgs(kName, "--date wants D.M.Y");
    s.day = date->substr(0, mid);
    s.month = date->substr(mid + 1, last - mid - 1);
    s.year = date->substr(last + 1);
  }
  if (auto z = OptionNumber(args, "--zone", -24, 24)) s.zone = ShortestText(*z);
  if (auto l = OptionNumber(args, "--lon", -360, 360)) s.obsL = ShortestText(*l);
  if (auto b = OptionNumber(args, "--lat", -90, 90)) s.obsB = ShortestText(*b);
  s.etUt = HasFlag(args, "--et-ut");
  if (const auto t = OptionText(args, "--theory")) {
    const char* names[] = {"new0", "jpl0", "apc2", "jpl2"};
    int i = 0;
    while (i < 4 && *t != names[i]) ++i;
    if (i == 4) throw BadOption("--theory: " + *t + " is none of new0, jpl0, apc2, jpl2");
    s.theory = static_cast<ConverterTheory>(i);
  }
  SourceTexts src;
  if (coords) {
    std::vector<std::string> v;
    std::size_t start = 0;
    for (std::size_t comma; (comma = coords->find(',', start)) != std::string::npos; start = comma + 1)
      v.push_back(coords->substr(start, comma - start));
    v.push_back(coords->substr(start));
    if (v.size() != 3) return BadArgs(kName, "--coords wants three numbers A,B,C");
    for (const std::string& x : v) ArgNumber(x, "--coords", -1e300, 1e300);
    if (fromRepr == Representation::Polar)
      src.l = v[0], src.b = v[1], src.r = v[2];
    else
      src.x = v[0], src.y = v[1], src.z = v[2];
  }

  Model m;
  SetConstants(m);
  if (s.theory == ConverterTheory::Apc2 || s.theory == ConverterTheory::Jpl2) StartUp(m);
  ConverterContext ctx;
  Coordinates source;
  const int object = body ? (*body == 10 ? kObjectMoon : static_cast<int>(*body)) : kObjectTyped;
  if (auto r = SetObjectCoordinates(m, s, object, from, fromRepr, src, &ctx, &source)) {
    std::fprintf(stderr, "torvik6-cli convert: %s\n", r->text.c_str());
    return kFailed;
  }
  // The source as the fields show it, in the representation that is read.
  const double shown[] = {source.X, source.Y, source.Z, source.L, source.B, source.R};
  SourceTexts fields;
  std::string* f[] = {&fields.x, &fields.y, &fields.z, &fields.l, &fields.b, &fields.r};
  for (int i = 0; i < 6; ++i) *f[i] = ShortestText(shown[i]);
  Conversion c;
  if (auto r = ConvertCoordinates(ctx, from, to, fromRepr, fields, &c)) {
    std::fprintf(stderr, "torvik6-cli convert: %s\n", r->text.c_str());
    return kFailed;
  }
  std::printf("jd_ut %s\n", NumberText(ctx.jdUT).c_str());
  std::printf("delta_t_min %s\n", NumberText(FixMK(ctx.deltaT / 60.0)).c_str());
  std::printf("gmst_h %s\n", NumberText(FixMK(ctx.gmst)).c_str());
  std::printf("lmst_h %s\n", NumberText(FixMK(ctx.lmst)).c_str());
  Print("from", source);
  Print("to", c.shown);
  std::printf("tau_deg %s\n", NumberText(FixMK(c.tau)).c_str());
  return kOk;
}

const CliCommand kConvert{kName, "--from SYS --to SYS (--body K | --coords A,B,C) -> converted coordinates",
                          RunConvert};

}  // namespace
}  // namespace torvik::cli
