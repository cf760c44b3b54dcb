// torvik6-cli params: load a parameter set, compute the initial data, the centre
// of mass and the Sun's velocity, save it, and print the grid of the parameters
// screen.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/params_print.h"
#include "core/calendar.h"
#include "core/model.h"
#include "core/fields.h"
#include "params/grid.h"
#include "params/initial.h"
#include "params/loading.h"
#include "params/paramfile.h"
#include "params/startup.h"

namespace torvik::cli {
namespace {

// --date D.M.Y: a day (with fraction) 0..32, a month 1..12 and a year of the
// calendars' range, in the fields of a load.
void DateOption(const std::string& text, LoadInputs* in) {
  const auto bad = [&] {
    return BadOption("--date: " + text + " is not a date D.M.Y (day 0..32, month 1..12, year " +
                     std::to_string(kMinYear) + ".." + std::to_string(kMaxYear) + ")");
  };
  const auto last = text.rfind('.');
  if (last == std::string::npos || last == 0) throw bad();
  const auto mid = text.rfind('.', last - 1);
  if (mid == std::string::npos || mid == 0) throw bad();
  try {
    const double day = ArgNumber(text.substr(0, mid), "--date", 0, 32);
    const double month = ArgNumber(text.substr(mid + 1, last - mid - 1), "--date", 1, 12);
    const double year = ArgNumber(text.substr(last + 1), "--date", kMinYear, kMaxYear);
    if (month != std::trunc(month) || year != std::trunc(year)) throw bad();
    *in = DateInputs(static_cast<std::int32_t>(year), static_cast<std::int32_t>(month), day);
  } catch (const BadOption&) {
    throw bad();
  }
}

void PrintGrid(const Model& m, GridMode mode) {
  const auto& captions = GridCaptions(mode);
  const GridTexts texts = GridShownTexts(m, mode);
  std::string head = Pad(mode == GridMode::Elements ? kGridModeElements : kGridModeInitialData, 16);
  for (int k = 0; k < kGridColumns; ++k) head += Pad(kBodyNames[k], 18, true);
  std::printf("%s\n", head.c_str());
  for (int r = 0; r < kGridRows; ++r) {
    std::string line = Pad(captions[r], 16);
    for (int k = 0; k < kGridColumns; ++k) line += Pad(texts[r][k], 18, true);
    std::printf("%s\n", line.c_str());
  }
}

struct Options {
  std::filesystem::path folder;
  LoadInputs in = DateInputs(1601, 1, 1.5);
  bool dateGiven = false;
  std::optional<LoadOption> option;
  std::optional<int> save;
  std::string show = "elements";
  bool initial = false, noInitial = false, vsol0 = false, noVsol0 = false;
  bool cm = false, cmOrigin = false, sunVelocity = false;
  std::int64_t applyVsol = 0;
};

// --load jpl|mox|newcomb|file N.
void LoadOptionOf(const std::vector<std::string>& v, Options& o) {
  const std::string& load = v[0];
  if (load == "file") {
    if (v.size() < 2) throw BadOption("--load: file wants the file number N (--load file N)");
    o.in.fileNumber = std::to_string(static_cast<int>(ArgNumber(v[1], "--load file", 0, 32767)));
    if (o.in.fileNumber != v[1]) throw BadOption("--load file: " + v[1] + " is not a file number");
    o.option = LoadOption::File;
    return;
  }
  if (v.size() > 1) throw BadOption("--load: " + load + " takes no file number");
  if (load == "jpl") o.option = LoadOption::Jpl;
  else if (load == "mox") o.option = LoadOption::Mox;
  else if (load == "newcomb") o.option = LoadOption::Newcomb;
  else throw BadOption("--load: " + load + " is not jpl, mox, newcomb or file N");
}

int Run(Options& o) {
  const std::string name = "params";
  const auto& folder = o.folder;
  LoadInputs& in = o.in;
  if (!o.option && o.dateGiven) o.option = LoadOption::Jpl;  // a date alone reloads with the default option
  const auto& option = o.option;
  const auto& save = o.save;
  const std::string& show = o.show;
  if (save && !PrepareProgramFolder(name, folder, false)) return kFailed;

  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);
  bool elementLoad = false;
  if (option) {
    elementLoad = *option != LoadOption::File;
    if (auto r = Load(m, *option, in, folder)) return PrintUserMessage(*r);
  }

  const bool vsolGiven = o.vsol0 || o.noVsol0;
  if (!o.noInitial && (elementLoad || vsolGiven || o.initial)) {
    InitialDataInputs init{FieldText(m.mSol()), FieldText(m.gamma), !o.noVsol0};
    if (auto r = ComputeInitialData(m, init)) return PrintUserMessage(*r);
  }
  if (o.cm) {
    if (auto r = FindCentreOfMass(m)) return PrintUserMessage(*r);
    const auto cm = CentreOfMassTexts(m);
    std::printf("ЦМ, тыс.км: %s %s %s\n", cm[0].c_str(), cm[1].c_str(), cm[2].c_str());
  }
  if (o.cmOrigin)
    if (auto r = CentreOfMassToOrigin(m)) return PrintUserMessage(*r);
  if (o.sunVelocity)
    if (auto r = FindSunVelocity(m)) return PrintUserMessage(*r);
  for (std::int64_t i = 0; i < o.applyVsol; ++i)
    if (auto r = ApplySunVelocity(m)) return PrintUserMessage(*r);

  if (save) {
    if (auto r = Save(m, std::to_string(*save), folder)) return PrintUserMessage(*r);
    std::printf("записан %s\n", ParamFileRelPath(m.NFile).c_str());
  }

  const ShownLoadFields f = ShowLoadFields(m);
  std::printf("дата %s.%s.%s  JD %s  JD0 %s\n", f.day.c_str(), f.month.c_str(), f.year.c_str(), f.jd.c_str(),
              FieldText(m.JD0).c_str());
  std::printf("mSol, кг %s  gamma, н*м^2/кг^2 %s  Lae, км %s\n", f.mSol.c_str(), f.gamma.c_str(), f.laeKm.c_str());
  PrintGrid(m, show == "initial" ? GridMode::InitialData : GridMode::Elements);
  return kOk;
}

Action Declare(CLI::App& app) {
  auto o = std::make_shared<Options>();
  app.description(
      "Starts as the program does (JPL elements of 1.5.1.1601, initial data with Vsol=0),\n"
      "then loads, computes, saves and prints the grid of the parameters screen.");
  AddFolderOption(app, o->folder);
  app.add_option_function<std::vector<std::string>>(
         "--load", [o](const std::vector<std::string>& v) { LoadOptionOf(v, *o); },
         "loads JPL, Mox or Newcomb elements for --date, or the parameter file \\torvikN.dat of\n"
         "the program folder (--load file N)")
      ->type_name("jpl|mox|newcomb|file N")->expected(1, 2);
  app.add_option_function<std::string>("--date",
                                       [o](const std::string& t) {
                                         DateOption(t, &o->in);
                                         o->dateGiven = true;
                                       },
                                       "day (with fraction), month, year: 1.5.1.2000 is noon of 1 January 2000")
      ->type_name("D.M.Y")->default_str("1.5.1.1601");
  app.add_flag("--initial", o->initial,
               "computes the initial data from the elements; done by default after an element load\n"
               "or when --vsol0/--no-vsol0 is given");
  app.add_flag("--no-initial", o->noInitial, "skips the initial data");
  app.add_flag("--vsol0", o->vsol0, "initial speeds with gamma*mSol (\"Vsol=0\")");
  app.add_flag("--no-vsol0", o->noVsol0, "initial speeds with gamma*(mSol + mPl) instead of gamma*mSol");
  app.add_flag("--cm", o->cm, "prints the centre of mass of the bodies taking part, thousands of km");
  app.add_flag("--cm-origin", o->cmOrigin, "moves the centre of mass to the origin");
  app.add_flag("--sun-velocity", o->sunVelocity, "gives the Sun the velocity that cancels the planets' momentum");
  app.add_flag_function("--apply-vsol", [o](std::int64_t n) { o->applyVsol = n; },
                        "adds the Sun's velocity to every planet (once per flag given)");
  AddOptional(app, "--save", o->save, "writes \\torvikN.dat into the program folder")
      ->type_name("N")->transform(Whole(0, 32767));
  app.add_option("--show", o->show, "prints the grid as elements or initial data")
      ->type_name("MODE")->check(OneOf({"elements", "initial"}))->capture_default_str();
  return [o] { return Run(*o); };
}

CliCommand reg{"params", "load, compute, save and show a parameter set (parameters screen)", Declare};

}  // namespace
}  // namespace torvik::cli
