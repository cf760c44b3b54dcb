// torvik6-cli params: load a parameter set, compute the initial data, the centre
// of mass and the Sun's velocity, save it, and print the grid of the parameters
// screen.
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

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

constexpr const char* kHelp =
    "usage: torvik6-cli params [--folder DIR] [--load jpl|mox|newcomb|file N] [--date D.M.Y]\n"
    "                          [--initial | --no-initial] [--vsol0 | --no-vsol0] [--cm] [--cm-origin]\n"
    "                          [--sun-velocity] [--apply-vsol ...] [--save N] [--show elements|initial]\n"
    "\n"
    "Starts as the program does (JPL elements of 1.5.1.1601, initial data with Vsol=0), then:\n"
    "  --load OPTION   loads JPL, Mox or Newcomb elements for --date (default 1.5.1.1601),\n"
    "                  or the parameter file \\torvikN.dat of the program folder (--load file N)\n"
    "  --date D.M.Y    day (with fraction), month, year: 1.5.1.2000 is noon of 1 January 2000\n"
    "  --initial       computes the initial data from the elements; done by default after an\n"
    "                  element load or when --vsol0/--no-vsol0 is given (--no-initial skips it)\n"
    "  --no-vsol0      initial speeds with gamma*(mSol + mPl) instead of gamma*mSol\n"
    "  --cm            prints the centre of mass of the bodies taking part, thousands of km\n"
    "  --cm-origin     moves the centre of mass to the origin\n"
    "  --sun-velocity  gives the Sun the velocity that cancels the planets' momentum\n"
    "  --apply-vsol    adds the Sun's velocity to every planet (once per flag given)\n"
    "  --save N        writes \\torvikN.dat into the program folder\n"
    "  --show MODE     prints the grid as elements (default) or initial data\n"
    "  --folder DIR    the program folder (default ~/Torvik6)\n";

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

int Run(const Args& args) {
  const std::string name = "params";
  if (WantsHelp(args)) {
    std::printf("%s", kHelp);
    return kOk;
  }
  const auto folder = FolderOption(args);
  // Every option is checked before anything is loaded or written.
  LoadInputs in = DateInputs(1601, 1, 1.5);
  const auto date = OptionText(args, "--date");
  if (date) DateOption(*date, &in);
  const auto save = OptionInt(args, "--save", 0, 32767);
  const std::string show = OptionText(args, "--show").value_or("elements");
  if (show != "elements" && show != "initial") throw BadOption("--show: " + show + " is not elements or initial");
  auto load = OptionText(args, "--load");
  if (!load && date) load = "jpl";  // a date alone reloads with the default option
  std::optional<LoadOption> option;
  if (load) {
    if (*load == "jpl") {
      option = LoadOption::Jpl;
    } else if (*load == "mox") {
      option = LoadOption::Mox;
    } else if (*load == "newcomb") {
      option = LoadOption::Newcomb;
    } else if (*load == "file") {
      option = LoadOption::File;
      std::size_t i = 0;
      while (i < args.size() && args[i] != "--load") ++i;
      if (i + 2 >= args.size() || args[i + 2].rfind("--", 0) == 0)
        throw BadOption("--load: file wants the file number N (--load file N)");
      in.fileNumber = std::to_string(static_cast<int>(ArgNumber(args[i + 2], "--load file", 0, 32767)));
      if (in.fileNumber != args[i + 2]) throw BadOption("--load file: " + args[i + 2] + " is not a file number");
    } else {
      throw BadOption("--load: " + *load + " is not jpl, mox, newcomb or file N");
    }
  }
  if (save && !PrepareProgramFolder(name, folder, false)) return kFailed;

  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);
  bool elementLoad = false;
  if (option) {
    elementLoad = *option != LoadOption::File;
    if (auto r = Load(m, *option, in, folder)) return PrintUserMessage(*r);
  }

  const bool vsolGiven = HasFlag(args, "--vsol0") || HasFlag(args, "--no-vsol0");
  if (!HasFlag(args, "--no-initial") && (elementLoad || vsolGiven || HasFlag(args, "--initial"))) {
    InitialDataInputs init{FieldText(m.mSol()), FieldText(m.gamma), !HasFlag(args, "--no-vsol0")};
    if (auto r = ComputeInitialData(m, init)) return PrintUserMessage(*r);
  }
  if (HasFlag(args, "--cm")) {
    if (auto r = FindCentreOfMass(m)) return PrintUserMessage(*r);
    const auto cm = CentreOfMassTexts(m);
    std::printf("ЦМ, тыс.км: %s %s %s\n", cm[0].c_str(), cm[1].c_str(), cm[2].c_str());
  }
  if (HasFlag(args, "--cm-origin"))
    if (auto r = CentreOfMassToOrigin(m)) return PrintUserMessage(*r);
  if (HasFlag(args, "--sun-velocity"))
    if (auto r = FindSunVelocity(m)) return PrintUserMessage(*r);
  for (const auto& a : args)
    if (a == "--apply-vsol")
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

CliCommand reg{"params", "load, compute, save and show a parameter set (parameters screen)", Run};

}  // namespace
}  // namespace torvik::cli
