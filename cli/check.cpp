// torvik6-cli check: the two-body orbit check of the parameters screen on the
// start-up data, printing the result fields after each perihelion and at the end.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
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

struct Options {
  OrbitCheckInputs in;
  int body = 0;
  long long steps = 10000;
  std::optional<double> atPerihelion;
  bool sunMoves = false;
  std::filesystem::path folder;
};

// --step H/NRed: the main step and, after the slash, the divisor of the fine step.
void StepOption(const std::string& step, OrbitCheckInputs& in) {
  const auto slash = step.find('/');
  in.h0 = ShortestText(ArgNumber(step.substr(0, slash), "--step", 1e-3, kMaxCheckStep));
  if (slash != std::string::npos)
    in.nRed = ShortestText(ArgNumber(step.substr(slash + 1), "--step", 1e-3, kMaxCheckReduction));
}

int Run(Options& o) {
  OrbitCheckInputs& in = o.in;
  in.body = o.body;
  if (o.atPerihelion) {
    in.atPerihelion = true;
    in.lambda = ShortestText(*o.atPerihelion);
  }
  in.vsol0 = !o.sunMoves;
  const long long steps = o.steps;
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

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "Integrates Sun + body K from the start-up initial data (JPL elements of 1.5.1.1601)\n"
      "and measures its orbit; prints the results after each perihelion and at the end.");
  app.add_option("--planet", o->body, "body, 1 Меркурий … 10 Ксена (0 is the Sun, which has no check)")
      ->type_name("K")->required()->transform(Whole(0, 10));
  app.add_option("--steps", o->steps, "steps in all, rounded up to whole batches of NC0")
      ->type_name("N")->transform(Whole(1, 1000000000000LL))->capture_default_str();
  app.add_option_function<long long>("--nc0", [o](long long n) { o->in.nc0 = std::to_string(n); },
                                     "steps per screen update")
      ->type_name("N")->default_str(o->in.nc0)->transform(Whole(1, 32767));
  app.add_option_function<std::string>("--step", [o](const std::string& t) { StepOption(t, o->in); },
                                       "main step H seconds and the divisor of the fine step")
      ->type_name("H/NRed")->default_str(o->in.h0 + "/" + o->in.nRed);
  app.add_option_function<double>("--dalfa", [o](double d) { o->in.dAlfa = ShortestText(d); },
                                  "half-width of the perihelion window, degrees")
      ->type_name("D")->default_str(o->in.dAlfa)->transform(Number(0, 180));
  AddOptional(app, "--at-perihelion", o->atPerihelion,
              "starts the body at perihelion at ecliptic longitude L, degrees")
      ->type_name("L")->transform(Number(-360, 360));
  app.add_flag("--sun-moves", o->sunMoves, "the Sun moves too (\"Vsol=0\" unchecked)");
  AddFolderOption(app, o->folder);  // the start-up data need no file
  return [o] { return Run(*o); };
}

CliCommand reg{"check", "two-body orbit check of one planet (parameters screen)", Declare};

}  // namespace
}  // namespace torvik::cli
