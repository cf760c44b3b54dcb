// An observation run without its drawing: each step takes the date of the
// next table step or the next observatory record, computes the place of the
// planet from the element theories through the chain of corrections, takes the
// place from the source and forms the deviations dLpl, dBpl (degrees) and dRpl
// (thousand km), the running means and the records of the three "\Dat\" files.
// The run never loops on its own: the owner calls Step() once per turn of its
// event loop while Running(). The observation screen and `torvik6-cli
// observe` drive the same object.
//
//   ObservationSource src(folder);
//   src.SelectObservatory(1, 4);            // GREN, Mars
//   ObservationRun run(model, src);
//   if (auto msg = run.Start(settings)) show(*msg);
//   while (run.Running()) { auto r = run.Step(); if (r.message) show(*r.message); }
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/message.h"
#include "core/model.h"
#include "observe/de405_theory.h"
#include "observe/obs_calendar.h"
#include "observe/sources.h"

namespace torvik {

// Theories of the frames "Земля" and "планета"; De405 is the checking source
// of torvik6-cli (heliocentric positions and velocities of the DE405 files).
enum class ObsTheory : std::uint8_t { J, S, P, De405 };
enum class ObsCriterion : std::uint8_t { dR, dL };  // frame "критерий"

inline constexpr const char* kStepFault = "Ошибка решения уравнений";
inline constexpr const char* kReopenFile = "Надо открыть файл снова";
inline constexpr const char* kNoEarth = "Землю не наблюдали";
inline constexpr const char* kChooseTable = "Выберете имитатор";
inline constexpr const char* kChooseObservatory = "Выберете обсерваторию";
inline constexpr const char* kNoStepAccepted = "Ни один шаг не принят";
inline constexpr const char* kSimulatedNote = "Записи файла помечены SIMULATED: это смоделированные места, не наблюдения";
// How a file read to its end is opened again (the line beside the refusal).
inline constexpr const char* kReopenHint = "выберите другую обсерваторию (или никакую), затем эту снова";

// Elements of theory "P", as the plan screen hands them over: the planet's
// mean longitude at the run start and mean motion, the current experiment row
// (R0sr in metres, Eks0, then Betta0, AlfaP0, AlfaU0 in degrees), and the
// Earth's elements (radians, metres) with its mean motion.
struct PlanTheory {
  double AlfaL0 = 0;                // planet, degrees at the run start
  double W0sr = 0;                  // planet, radians per Julian century
  std::array<double, 5> row{};      // R0sr, Eks0, Betta0, AlfaP0, AlfaU0
  double earthAlfaL0 = 0;           // radians at the run start
  double earthW0sr = 0;             // radians per Julian century
  double earthR0sr = 149597870691.0, earthEks0 = 0, earthBetta0 = 0, earthAlfaP0 = 0, earthAlfaU0 = 0;
};

// Fields that the run reads again before every next step.
struct ObsLive {
  double Step0 = 3.31;          // "шаг для таблиц, дни"
  std::int16_t StepDiv = 10;    // after "/"
  double dRmax = 200;           // "dR<dRmax =", thousand km (degrees for the solstice search)
  bool pause = false;           // "пауза"
  int pauseMs = 1000;
};

// Inputs of the observation screen read at "Начать", with its defaults.
struct ObsSettings {
  int Npl = 1;                        // "для планеты №"
  float day = 1.5f;                   // date fields
  std::int32_t month = 1, year = 2000;
  int years = 200;                    // "на интервале" … "лет"
  CalendarSetting calendar;           // "календарь", day start, era of the table
  double ObsL = 0, ObsB = 0;          // degrees
  double VXsys = 0, VYsys = 0, VZsys = 0;  // km/s as typed
  double HminPl = 0, HmaxSol = 0;     // degrees
  bool aberrPl = true;                // "Аберр. пл."
  bool aberrZv = true;                // "Аберр. зв."
  bool nutation = true;               // "Нутация"
  bool refraction = false;            // "Рефракция"
  bool parallax = false;              // "Параллакс"
  bool etUt = false;                  // "ET- UT, мин"
  bool j2000 = false;                 // "JD"
  bool moon = true;                   // "Учесть Луну "
  bool visibility = false;            // "Видимость"
  bool hminPl = false;                // "HminPl"
  bool hmaxSol = false;               // "HmaxSol"
  bool solstice = false;              // "Солнцестоян"
  bool dRlimit = true;                // "dR<dRmax ="
  bool fileTrace = false;             // "File Отладка"
  bool fileParam = false;             // "File Param"
  bool fileBad = false;               // "File dR>dRmax"
  bool showPtab = false;              // "P,град"
  // The experiments of a series append to the files of "\Dat\" (a missing
  // file gets its header first) instead of writing them anew.
  bool appendFiles = false;
  ObsTheory earth = ObsTheory::J;
  ObsTheory planet = ObsTheory::J;
  ObsCriterion criterion = ObsCriterion::dR;
  PlanTheory plan;
  ObsLive live;
};

// Applies the presets of a source selection to the settings.
void ApplyPresets(const SourcePresets& p, ObsSettings& s);

// The Julian date of the date fields in the source's calendar and day start,
// as "JD (UT)" shows it (three decimals): DMY->JD of the observation screen
// and the template plan of `torvik6-cli observe-plan run`.
double FieldJD(const CalendarSetting& c, std::int32_t year, std::int32_t month, float day, double previousJD = 0);
double FieldJD(const ObsSettings& s);

// A date that lies outside the years of the open observatory file's records
// moves to the date of its last record; true when it moved.
bool FitDateToRecords(const ObservationSource& src, float* day, std::int32_t* month, std::int32_t* year);

// Opens table or observatory number `index` (1-based, in the order of
// kTables / kObservatories) for body `planet` and applies its presets, and a
// table's Egyptian era, to the settings; the selection's message on failure.
ActionResult OpenSource(ObservationSource& src, SourceKind kind, int index, int planet, ObsSettings& s);

// An angle pair of a screen row, truncated to six decimals.
struct RowPair {
  double a = 0, b = 0;
};

// What the screen shows after a step.
struct ObsRows {
  double etUtMinutes = 0;     // "ET- UT, мин"
  double jdUt = 0;            // "JD (UT)"
  ObsDate date;               // day, month and year fields
  RowPair theoryJ2000;        // "теория J2000": geometric, ecliptic of date
  RowPair azAlt;              // "Азимут,Высота"
  RowPair aberrPl, aberrZv, parallax, refraction, nutation;  // old − new
  RowPair theory, source, deviation;  // Lteor/Bteor, Lnab/Bnab, dLpl/dBpl
  double dRpl = 0;            // thousand km
  RowPair mean, absMean;      // "средние dL, dB", "Abs(dL), Abs(dB)"
  std::int32_t NdR = 0;       // "NdR, шт"
  double criterion = 0;       // beside "dRsr,тыс.км"
  double PrecA = 0;           // beside "P,град"
  double period = 0;          // days (plan screen)
};

// A line of the trace inset of the heliocentric picture, at x = 1.
struct InsetLine {
  double y;
  std::string text;
};

// Horizontal vectors of the step's visibility test (metres, scaled to the
// distance): x toward the west, y toward the south, z toward the zenith.
// Valid only when the visibility test ran and kept the step.
struct HorizonView {
  bool valid = false;
  std::array<double, 3> planet{}, sun{};
};

// The heliocentric vectors of step 4 (ecliptic of the date, metres; the Sun
// at the origin) for the picture "ГЕЛИО ЭКЛ".
struct HelioView {
  bool valid = false;
  std::array<double, 3> earth{}, planet{};
};

// The geocentric ecliptic view "ГЕО ЭКЛ": the planet at the source's place
// (metres) and the unit direction of that place; an observatory's
// equatorial vectors are rotated to the ecliptic of the date first.
struct GeoView {
  bool valid = false;
  std::array<double, 3> planet{}, ray{};
};

enum class ObsRunEnd : std::uint8_t { None, Stopped, EndYear, EndOfFile, Error };

struct ObsStepResult {
  bool reduced = false;   // the chain ran to the deviations
  bool accepted = false;  // counted in the means
  bool rejected = false;  // dRpl ≥ dRmax
  ObsRunEnd end = ObsRunEnd::None;
  int pauseMs = 0;        // the owner sleeps this long before the next step ("пауза")
  ActionResult message;   // shown by the owner; a step fault also ends the run
};

class ObservationRun {
 public:
  ObservationRun(Model& m, ObservationSource& source);
  ~ObservationRun();
  ObservationRun(const ObservationRun&) = delete;
  ObservationRun& operator=(const ObservationRun&) = delete;

  // "Начать": checks the source and the planet, fills the month table, sets the
  // start date and JDstart, clears the sums and writes the file headers.
  // Performs no step.
  ActionResult Start(const ObsSettings& s);
  // One step (ReduceStep) and the end tests of the run loop.
  ObsStepResult Step();
  // "Остановить": Stop = 1; the run ends after its current step.
  void RequestStop();
  // "Продолжить": Stop = 0; the loop goes on from the current date.
  void Continue();
  // "Сделать 1 шаг": Stop = 1 and exactly one step by the next Step().
  void OneStep();

  bool Running() const { return running_; }
  bool Started() const { return started_; }
  ObsRunEnd end() const { return end_; }

  // Fields the owner may change at any time; taken before the next step.
  ObsLive live;

  // ---- state for the screen (read only) ----
  const ObsSettings& settings() const { return s_; }
  const ObsRows& rows() const { return rows_; }
  const std::vector<InsetLine>& inset() const { return inset_; }
  const HorizonView& horizon() const { return horizon_; }
  const HelioView& helio() const { return helio_; }
  const GeoView& geo() const { return geo_; }
  const StepDate& stepDate() const { return cur_; }   // date of the step just made
  const StepDate& tableDate() const { return loc_; }  // local date of the next table step
  std::int32_t StartY() const { return startY_; }
  std::int32_t EndY() const { return endY_; }
  double JDut() const { return JDut_; }
  double JDstart() const { return JDstart_; }
  double Lteor() const { return Lteor_; }
  double Bteor() const { return Bteor_; }
  double Lnab() const { return Lnab_; }
  double Bnab() const { return Bnab_; }
  double dLpl() const { return dLpl_; }
  double dBpl() const { return dBpl_; }
  double dRpl() const { return dRpl_; }
  double StepCur() const { return StepCur_; }
  std::int64_t steps() const { return steps_; }
  // Means of the accepted steps: dL, dB, |dL|, |dB| (degrees), dR (thousand km).
  double MeanDL() const;
  double MeanDB() const;
  double MeanAbsDL() const;
  double MeanAbsDB() const;
  double MeanDR() const;
  std::int32_t NdR() const { return NdR_; }
  // Steps that reached the deviations and were rejected by dR<dRmax.
  std::int32_t Rejected() const { return Nreduced_ - NdR_; }
  // True when the observatory file holds records marked "SIMULATED".
  bool Simulated() const;
  // The line of the run's end: the accepted and rejected steps, why no step
  // was accepted, and a note on simulated records.
  std::string Summary() const;
  // Why no step was accepted; "" when some were.
  std::string NoStepReason() const;
  // The means of dR and |dL| over every step that reached the deviations,
  // rejected ones included.
  double MeanDRReduced() const { return Nreduced_ ? sumDRAll_ / Nreduced_ : 0.0; }
  double MeanAbsDLReduced() const { return Nreduced_ ? sumAbsDLAll_ / Nreduced_ : 0.0; }
  // The files of the run (native paths), empty when not enabled.
  std::vector<std::filesystem::path> files() const;

 private:
  enum class Flow : std::uint8_t { Done, Skipped, NoStep };
  Flow ReduceStep(ObsStepResult& r);
  void NextStep();
  bool Theory(int k, ObsTheory t, bool earthOfPlanet, double JDut);
  double Stage(RowPair* row, const char* label, double insetY, const char* caption);
  void Inset(double y, const char* caption, double L, double B, double dist);
  void Append(int file, const std::vector<std::string>& lines);
  void EndRun(ObsRunEnd why, ObsStepResult& r);

  Model& m_;
  ObservationSource& src_;
  ObsSettings s_;
  ObsRows rows_;
  std::vector<InsetLine> inset_;
  HorizonView horizon_;
  HelioView helio_;
  GeoView geo_;
  MonthTable months_{};
  StepDate cur_, loc_;
  SourcePositions pos_;
  std::unique_ptr<De405Theory> de405_;
  bool started_ = false, running_ = false;
  ObsRunEnd end_ = ObsRunEnd::None;
  std::int32_t startY_ = 0, endY_ = 0;
  std::int16_t startM_ = 1;
  float startD_ = 1;
  double JDstart_ = 0, JDut_ = 0, JD_ = 0, T_ = 0, LST_ = 0, Dgeo_ = 0, Tau_ = 0;
  double Lteor_ = 0, Bteor_ = 0, Lnab_ = 0, Bnab_ = 0, dLpl_ = 0, dBpl_ = 0, dRpl_ = 0, PrecA_ = 0;
  double StepCur_ = 3.31, AltPrev_ = 0;
  bool solsticeFound_ = false;
  std::int32_t NdR_ = 0, Nreduced_ = 0;
  double sumDRAll_ = 0, sumAbsDLAll_ = 0;
  double sumAbsDL_ = 0, sumAbsDB_ = 0, sumDL_ = 0, sumDB_ = 0, sumDR_ = 0;
  std::int64_t paramCounter_ = 0, steps_ = 0;
  std::array<std::filesystem::path, 3> paths_;
  std::array<bool, 3> fileOn_{};
  std::array<double, 3> vsys_{};  // velocity of the Solar System, m/s
};

}  // namespace torvik
