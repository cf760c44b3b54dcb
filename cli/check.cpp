// torvik6-cli check: the two-body orbit check of the parameters screen on the
// start-up data, printing the result fields after each perihelion and at the end.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/model.h"
#include "core/fields.h"
#include "core/textfile.h"
#include "params/orbitcheck.h"
#include "params/startup.h"

namespace torvik::cli {
namespace {

constexpr const char* kHelp =
    "usage: torvik6-cli check --planet K [--steps N] [--nc0 N] [--step H/NRed] [--dalfa D]\n"
    "                         [--at-perihelion LAMBDA] [--sun-moves] [--folder DIR]\n"
    "\n"
    "Integrates Sun + body K (1 Меркурий … 10 Ксена; 0 is the Sun, which has no check) from the\n"
    "start-up initial data (JPL elements of 1.5.1.1601) and measures its orbit.\n"
    "  --steps N             steps in all, rounded up to whole batches of NC0 (default 10000)\n"
    "  --nc0 N               steps per screen update (default 1000)\n"
    "  --step H/NRed         main step H seconds and the divisor of the fine step (default 3600/100)\n"
    "  --dalfa D             half-width of the perihelion window, degrees (default 1)\n"
    "  --at-perihelion L     starts the body at perihelion at ecliptic longitude L, degrees\n"
    "  --sun-moves           the Sun moves too (\"Vsol=0\" unchecked)\n"
    "  --folder DIR          the program folder (default ~/Torvik6)\n";

void PrintPerihelion(const OrbitCheck& c) {
  const auto& f = c.Fields();
  std::printf(
      "перигелий %d, t = %s сут: Период обращения %s %s  Эксцентриситет Eks %s  Перигелий AlfaP %s "
      "(+/-, сек %s)  Rsr %s  Vsr %s  Wsr %s\n",
      c.Values().perihelia, FieldText(c.Time() / 86400).c_str(), f.period.c_str(), f.periodNote.c_str(),
      f.eks.c_str(), f.alfaP.c_str(), f.alfaPDrift.c_str(), f.rsr.c_str(), f.vsr.c_str(), f.wsr.c_str());
}

void PrintFields(const OrbitCheck& c) {
  const auto& f = c.Fields();
  const std::pair<const char*, const std::string*> rows[] = {
      {"Период обращения", &f.period},     {"справочно", &f.periodNote},
      {"Эксцентриситет Eks", &f.eks},      {"Перигелий AlfaP", &f.alfaP},
      {"+/-, сек", &f.alfaPDrift},         {"Восход. узел AlfaU", &f.alfaU},
      {"+/- ,сек", &f.alfaUDrift},         {"Wsr = Vsr / Rsr", &f.wsr},
      {"Rsr=(Lmax+Lmin)/2", &f.rsr},       {"Lmin ", &f.lmin},
      {"Lmax ", &f.lmax},                  {"Vsr=(Vmax+Vmin)/2", &f.vsr},
      {"Vmin", &f.vmin},                   {"Vmax", &f.vmax},
      {"Угол наклона Betta", &f.betta},    {"dEsys, %", &f.dEsys},
      {"dT,лет", &f.dT},                   {"AlfaP0=AlfaEklip=", &f.alfaEklip},
  };
  std::printf("шагов %lld, t = %s сут\n", c.StepsDone(), FieldText(c.Time() / 86400).c_str());
  for (const auto& [caption, text] : rows) std::printf("%s %s\n", Pad(caption, 20).c_str(), text->c_str());
}

int Run(const Args& args) {
  const std::string name = "check";
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  OrbitCheckInputs in;
  const auto body = OptionInt(args, "--planet", 0, 10);
  const long long steps = OptionInt(args, "--steps", 1, 1000000000000LL).value_or(10000);
  if (const auto nc0 = OptionInt(args, "--nc0", 1, 32767)) in.nc0 = std::to_string(*nc0);
  if (const auto step = OptionText(args, "--step")) {
    const auto slash = step->find('/');
    in.h0 = ShortestText(ArgNumber(step->substr(0, slash), "--step", 1e-3, kMaxCheckStep));
    if (slash != std::string::npos)
      in.nRed = ShortestText(ArgNumber(step->substr(slash + 1), "--step", 1e-3, kMaxCheckReduction));
  }
  if (const auto d = OptionNumber(args, "--dalfa", 0, 180)) in.dAlfa = ShortestText(*d);
  if (const auto l = OptionNumber(args, "--at-perihelion", -360, 360)) {
    in.atPerihelion = true;
    in.lambda = ShortestText(*l);
  }
  in.vsol0 = !HasFlag(args, "--sun-moves");
  if (!body) return BadArgs(name, "--planet K is required");
  in.body = static_cast<int>(*body);
  (void)FolderOption(args);  // the start-up data need no file

  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);
  OrbitCheck check;
  check.SetHooks({nullptr, PrintPerihelion, nullptr});
  if (auto r = check.Start(m, in)) return PrintUserMessage(*r);
  while (check.Running() && check.StepsDone() < steps)
    if (auto r = check.RunBatch(m)) {
      PrintFields(check);
      return PrintUserMessage(*r);
    }
  PrintFields(check);
  return kOk;
}

CliCommand reg{"check", "two-body orbit check of one planet (parameters screen)", Run};

}  // namespace
}  // namespace torvik::cli
