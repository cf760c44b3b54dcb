// torvik6-cli params: load a parameter set, compute the initial data, the centre
// of mass and the Sun's velocity, save it, and print the grid of the parameters
// screen.
#include <cstdio>
#include <string>

#include "cli/command.h"
#include "cli/params_print.h"
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

bool ParseDate(const std::string& text, LoadInputs* in) {
  const auto last = text.rfind('.');
  if (last == std::string::npos || last == 0) return false;
  const auto mid = text.rfind('.', last - 1);
  if (mid == std::string::npos || mid == 0) return false;
  in->day = text.substr(0, mid);
  in->month = text.substr(mid + 1, last - mid - 1);
  in->year = text.substr(last + 1);
  return true;
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

  Model m;
  if (auto r = StartUp(m)) return PrintUserMessage(*r);

  LoadInputs in = DateInputs(1601, 1, 1.5);
  std::string date;
  if (FindOption(args, "--date", &date) && !ParseDate(date, &in)) return BadArgs(name, "--date wants D.M.Y");

  bool elementLoad = false;
  std::string load;
  if (FindOption(args, "--load", &load) || !date.empty()) {
    if (load.empty()) load = "jpl";  // a date alone reloads with the default option
    LoadOption option;
    if (load == "jpl") {
      option = LoadOption::Jpl;
    } else if (load == "mox") {
      option = LoadOption::Mox;
    } else if (load == "newcomb") {
      option = LoadOption::Newcomb;
    } else if (load == "file") {
      option = LoadOption::File;
      std::size_t i = 0;
      while (i < args.size() && args[i] != "--load") ++i;
      if (i + 2 >= args.size()) return BadArgs(name, "--load file wants the file number N");
      in.fileNumber = args[i + 2];
    } else {
      return BadArgs(name, "--load wants jpl, mox, newcomb or file N");
    }
    elementLoad = option != LoadOption::File;
    if (auto r = Load(m, option, in, folder)) return PrintUserMessage(*r);
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

  std::string save;
  if (FindOption(args, "--save", &save)) {
    if (auto r = Save(m, save, folder)) return PrintUserMessage(*r);
    std::printf("записан %s\n", ParamFileRelPath(m.NFile).c_str());
  }

  std::string show = "elements";
  FindOption(args, "--show", &show);
  if (show != "elements" && show != "initial") return BadArgs(name, "--show wants elements or initial");

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
