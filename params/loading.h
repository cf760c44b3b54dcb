// Loading and saving a parameter set from the parameters screen: the five load
// options, the two mass-ratio sets, the Ксена placeholder and the completion
// common to every load (masses, mean speeds, normalised longitudes).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/message.h"
#include "core/model.h"
#include "params/grid.h"

namespace torvik {

enum class LoadOption {
  Newcomb,  // "параметры Ньюкома на заданную дату и эпоху этой даты"
  Jpl,      // "JPL " (the default)
  Mox,      // "Mox на заданную дату для эпохи J2000"
  File,     // "из файла №    или "
  Screen,   // "с экрана"
};

// Caption of an option on the screen, UTF-8, blanks included.
const char* LoadOptionCaption(LoadOption option);

// What the screen's fields give to a load. Texts as typed (the CLI formats its
// numbers into them).
struct LoadInputs {
  std::string day = "1.5";      // day field, with fraction
  std::string month = "1";
  std::string year = "1601";
  std::string fileNumber = "1";  // N of "\torvikN.dat" (option "из файла")
  // Option "с экрана" only:
  std::string mSol;              // "mSol, кг"
  std::string gamma;             // "gamma, н*м^2/кг^2"
  std::string laeKm;             // "Lae, км"
  GridMode gridMode = GridMode::Elements;
  GridTexts grid;                // [row][body] as shown by GridShownTexts
};

// Inputs whose date fields hold the given date.
LoadInputs DateInputs(std::int32_t year, std::int32_t month, double day);

inline constexpr const char* kMsgBadData = "Задайте правильно данные";  // title "Torvik6"
inline constexpr const char* kMsgBadScreenData = "Ошибка чтения данных";  // title "Torvik6.0"

// Mass ratios m(Sun)/m(body) of bodies 0..9 of the JPL/Mox and the Newcomb sets.
extern const std::array<double, 10> kJplMassRatios;
extern const std::array<double, 10> kNewcombMassRatios;
inline constexpr double kJplSunMass = 1.98892e30, kJplGamma = 6.67259e-11;
inline constexpr double kNewcombSunMass = 1.98976e30, kNewcombGamma = 6.67006e-11;

// "Загрузить параметры орбит и (или)  данные ": clears the Sun, reads the date,
// loads by the option and completes. The model is left as far as it got on a
// failure; the message is the option's ("Задайте правильно данные" / "Torvik6",
// "Ошибка чтения файла" / "Torvik6.0", "Ошибка чтения данных" / "Torvik6.0").
ActionResult Load(Model& m, LoadOption option, const LoadInputs& in,
                  const std::filesystem::path& folder);

// "Сохранить параметры и данные в файле №": N from its field text (NFile is
// set), then the file. "Ошибка записи в файл" / "Torvik6.0" on any failure.
ActionResult Save(Model& m, const std::string& fileNumber, const std::filesystem::path& folder);

// "G->J": year, month and day fields into DateY, DateM, DateD (each stored as
// it is read) and JD. "Задайте правильно данные" / "Torvik6" on a bad field,
// a month outside 1..12, a year outside kMinYear..kMaxYear or a day outside 0..32.
ActionResult DateFieldsToJD(Model& m, const std::string& day, const std::string& month, const std::string& year);
// "J->G": the JD field into JD, then OutY, OutM, OutD. Same message when the
// text is not a number or lies outside kMinJD..kMaxJD.
ActionResult JDFieldToDate(Model& m, const std::string& jd);

// What the parameters screen shows in its fields after a load or a date
// conversion: the typed date, JDstart, the masses and Lae in km, the file number.
struct ShownLoadFields {
  std::string day, month, year;  // DateD (as a single), DateM, DateY
  std::string outDay, outMonth, outYear;  // OutD, OutM, OutY of "J->G"
  std::string jd;                // JDstart
  std::string mSol, gamma, laeKm;
  std::string fileNumber;        // NFile
};
ShownLoadFields ShowLoadFields(const Model& m);

// The Ксена placeholder elements of the three element options.
void SetXenaPlaceholder(Model& m);

// The completion of every load, bodies 1..10: mPl = mSol / km, V0sr = W0sr ·
// R0sr, normalised AlfaL and AnomM. False on an arithmetic fault (km = 0, a
// value that is not finite); bodies before the faulty one stay completed.
bool CompleteLoad(Model& m);

// A body as drawn on the parameters picture: centre in picture units
// (X/Mxy, Y/Mxy), circle radius 0.04, the body colour.
struct PictureBody {
  double x = 0.0, y = 0.0;
  int r = 0, g = 0, b = 0;
};
std::array<PictureBody, 11> PictureBodies(const Model& m);

}  // namespace torvik
