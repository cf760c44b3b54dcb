// torvik6-cli convert: the coordinate converter's "Задать координаты" and
// "Преобразовать координаты" on the same code.
#include <cstdio>
#include <memory>
#include <optional>
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

struct Options {
  CoordSystem from, to;
  Representation fromRepr = Representation::Polar, toRepr = Representation::Polar;
  std::optional<int> body;
  std::optional<std::string> coords;
  ConverterSettings s;
};

// --date D.M.Y into the fields of the settings.
void DateOption(const std::string& date, ConverterSettings& s) {
  const auto last = date.rfind('.');
  const auto mid = last == std::string::npos || last == 0 ? std::string::npos : date.rfind('.', last - 1);
  if (mid == std::string::npos || mid == 0) throw BadOption("--date wants D.M.Y");
  s.day = date.substr(0, mid);
  s.month = date.substr(mid + 1, last - mid - 1);
  s.year = date.substr(last + 1);
}

int RunConvert(Options& o) {
  const CoordSystem from = o.from, to = o.to;
  const Representation fromRepr = o.fromRepr;
  const auto& body = o.body;
  const auto& coords = o.coords;
  if (body.has_value() == coords.has_value()) return BadArgs(kName, "give either --body K or --coords A,B,C");
  ConverterSettings& s = o.s;
  SourceTexts src;
  if (coords) {
    const std::vector<std::string> v = SplitText(*coords, ',');
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

Action DeclareConvert(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "The coordinate converter: the place of body K at the local date, or the typed\n"
      "coordinates A,B,C (X,Y,Z or L,B,R as REPR says; thousand km and degrees), given in\n"
      "--from, converted to --to. A system is ORIGIN/PLANE/EQUINOX/REPR with ORIGIN\n"
      "helio|geo|topo, PLANE ecl|equ|hor (hor: topo only), EQUINOX date|j2000, REPR\n"
      "polar|cart. Give --body K or --coords A,B,C.\n"
      "Prints jd_ut, delta_t_min, gmst_h, lmst_h, then 'from' and 'to' lines of\n"
      "X Y Z (thousand km) L B (degrees) R (thousand km), and tau_deg (hour angle).");
  app.add_option_function<std::string>(
         "--from", [o](const std::string& t) { ParseSystem("--from", t, &o->from, &o->fromRepr); },
         "the system of the source")
      ->type_name("ORIGIN/PLANE/EQUINOX/REPR")->required();
  app.add_option_function<std::string>(
         "--to", [o](const std::string& t) { ParseSystem("--to", t, &o->to, &o->toRepr); },
         "the system converted to (both representations are printed)")
      ->type_name("ORIGIN/PLANE/EQUINOX/REPR")->required();
  AddOptional(app, "--body", o->body, "0 Солнце, 1..9 the planets, 10 the Moon")
      ->type_name("K")->transform(Whole(0, 10));
  AddOptional(app, "--coords", o->coords, "typed coordinates")->type_name("A,B,C");
  app.add_option_function<std::string>("--date", [o](const std::string& t) { DateOption(t, o->s); },
                                       "local date, day with fraction")
      ->type_name("D.M.Y")->default_str(o->s.day + "." + o->s.month + "." + o->s.year);
  app.add_option_function<double>("--zone", [o](double z) { o->s.zone = ShortestText(z); }, "hours added to UT")
      ->type_name("H")->transform(Number(-24, 24))->default_str(o->s.zone);
  app.add_option_function<double>("--lon", [o](double l) { o->s.obsL = ShortestText(l); },
                                  "longitude of the observer, degrees")
      ->type_name("L")->transform(Number(-360, 360))->default_str(o->s.obsL);
  app.add_option_function<double>("--lat", [o](double b) { o->s.obsB = ShortestText(b); },
                                  "latitude of the observer, degrees")
      ->type_name("B")->transform(Number(-90, 90))->default_str(o->s.obsB);
  app.add_option_function<std::string>(
         "--theory",
         [o](const std::string& t) {
           const char* names[] = {"new0", "jpl0", "apc2", "jpl2"};
           int i = 0;
           while (i < 4 && t != names[i]) ++i;
           o->s.theory = static_cast<ConverterTheory>(i);
         },
         "New0, JPL0 precessed to the date, or APC2/JPL2: the start-up elements of the program")
      ->type_name("T")->check(OneOf({"new0", "jpl0", "apc2", "jpl2"}))->default_str("new0");
  app.add_flag("--et-ut", o->s.etUt, "the theories at ET = UT + ΔT");
  return [o] { return RunConvert(*o); };
}

const CliCommand kConvert{kName, "--from SYS --to SYS (--body K | --coords A,B,C) -> converted coordinates",
                          DeclareConvert};

}  // namespace
}  // namespace torvik::cli
