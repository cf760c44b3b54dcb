// A run of the modelling screen without its drawing: the N-body engine or an
// imitator steps the date, the orbit determination watches one planet and the
// run files are written. The run never loops on its own: the owner calls
// Batch() for one batch of NOut steps (one screen update), serves its own
// events, and calls Batch() again while Running(). The modelling screen and
// `torvik6-cli run` drive the same object.
//
// Typical use:
//   ModelRun run(model);
//   if (auto msg = run.Start(settings)) show(*msg);
//   while (run.Running()) { auto r = run.Batch(); if (r.message) show(*r.message); }
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/message.h"
#include "core/model.h"
#include "model/engine.h"
#include "model/imitator.h"
#include "model/orbit_watch.h"
#include "model/run_files.h"
#include "model/run_view.h"

namespace torvik {


// Bounds of the run fields: a main step of at most kMaxRunStep seconds (some
// four months), a step reduction of 1..kMaxStepReduction, at most kMaxNOut
// steps per screen update. Other values are "Задайте правильно данные".
inline constexpr double kMaxRunStep = 1e7;
inline constexpr double kMaxStepReduction = 1e6;
inline constexpr std::int32_t kMaxNOut = 10000000;

// Fields that the run reads again at every screen update (and at "Начать").
struct LiveSettings {
  double hMain = 3600.0;     // "Шаг решения, с", s
  double NRed = 100.0;       // field after "/"
  std::int32_t NOut = 1000;  // "с выводом через" … "шагов"
  bool finiteSpeed = false;  // check box "Vgr = Vsv *"
  bool energy = false;       // "dEsys, dMsys, %"
  bool writeTrace = false;   // "Записать координаты  X, Y, Z"
  std::int16_t NFile = 1;    // "в файл №"
};

// Inputs of the modelling screen read at "Начать", with the screen's defaults.
struct RunSettings {
  std::filesystem::path folder;  // program folder
  bool imitatorMode = false;     // "использовать": "модель" / "имитатор"
  bool oto = false;              // "модель": "Классика" / "ОТО"
  Imitator* imitator = nullptr;  // the chosen source in imitator mode (not owned)
  int Dir = +1;                  // "Вперед" +1, "Назад" −1
  double PowR = 2.0;             // "F=G*m*M/R^"
  double VgrFactor = 1.0;        // Vgr = VgrFactor·Vsv
  bool watch = true;             // "Найти показатели планеты №"
  int PlanetNo = 1;
  double Alfa = 1.0;             // "при +/- Alfa, град="
  bool endYearOn = true;         // "эксперимент закончить в" … "году"
  int endYear = 2001;
  bool writeOrbit = false;       // "Записать параметры орбиты планеты "
  LoadOption dataSource = LoadOption::Jpl;  // load option of the parameters screen
  std::string runDate;           // run date for the headers; empty = today (RunDateText)
  LiveSettings live;
};

// Why a run is not running.
enum class RunEnd : std::uint8_t {
  None,      // still running
  Stopped,   // Stop was set at a screen update ("Остановить", "NC0 шагов")
  EndYear,   // the year reached the end year + 1
  Error,     // a message ended it
};

struct BatchResult {
  int steps = 0;           // steps done by this call
  bool updated = false;    // a screen update took place
  RunEnd end = RunEnd::None;
  ActionResult message;    // "Ошибка решения уравнений", "Ошибка чтения файлов JPL"
};

class ModelRun {
 public:
  explicit ModelRun(Model& m);
  ~ModelRun();
  ModelRun(const ModelRun&) = delete;
  ModelRun& operator=(const ModelRun&) = delete;

  // "Начать": builds the start state, starts the watch, writes the headers.
  // Performs no step. On failure ("Задайте правильно данные", "Ошибка решения
  // уравнений" for a start state of infinite energy, "Для Солнца с
  // № = 0 этот режим не возможен", "В файле нет такой даты") no run starts.
  ActionResult Start(const RunSettings& s);
  // Steps until the next screen update (NOut steps) or until the run ends.
  // At the update: trace record, energy, the live fields re-read, the update
  // hook; then the run ends if Stop = 1.
  BatchResult Batch();
  // "Остановить": Stop = 1 and the plan number 0; takes effect at the next
  // screen update.
  void RequestStop();
  // "Продолжить": Stop = 0, step counter 0; ReverseTime when Dir differs.
  void Continue(int Dir);
  // "NC0 шагов": Stop = 1, step counter 0, NOut taken from live; the next
  // Batch() does one batch of NOut steps and ends the run.
  void StepBatch();

  // EnergyMomentum now, whatever "dEsys, dMsys, %" says (model runs only).
  void RefreshEnergy();

  bool Running() const { return running_; }
  bool Started() const { return started_; }

  // Fields the owner may change at any time; taken at the next screen update.
  LiveSettings live;

  // Hooks for the screen (all optional).
  std::function<void(const ModelRun&)> onUpdate;    // after each screen update
  std::function<void(const ModelRun&)> onExtremum;  // after each later extremum (drift plots)
  std::function<void(const ModelRun&)> onNode;      // after each node crossing
  // End of a run started with a plan number k > 0 (PlanNo): called once, after
  // which PlanNo = 0.
  std::function<void(const ModelRun&)> onPlanEnd;

  // ---- state for the screen (read only) ----
  const RunSettings& settings() const { return s_; }
  const LiveSettings& active() const { return act_; }  // the live fields in force
  const Engine& engine() const { return engine_; }
  const OrbitWatch& watch() const { return watch_; }
  // The result fields of the watched planet as the screen shows them.
  const WatchFields& fields() const { return fields_; }
  double h() const { return h_; }
  double tMod() const { return tMod_; }   // model time elapsed, s
  double tRun() const { return tRun_; }   // signed model time, s
  int Dir() const { return Dir_; }
  int stepCounter() const { return counter_; }
  std::int64_t totalSteps() const { return totalSteps_; }
  int currentYear() const { return year_; }  // year of the date of the last screen update
  CalendarDate currentDate() const { return date_; }
  double Vgr() const { return engine_.params.Vgr; }
  int planNo() const { return planNo_; }  // PlanNo at the start (0: no plan run)
  std::string modeLabel() const { return modeLabel_; }
  std::int64_t recordsWritten() const { return records_; }
  // Orbit and trace files of the run (native paths; empty when not written).
  const std::filesystem::path& orbitFile() const { return orbitFile_; }
  std::filesystem::path traceFile() const;
  // False when the summary a run reports (the date, the watched orbit, dEsys
  // and dMsys of a model run) is not finite: the run has failed, whatever its
  // steps said. Checked at each screen update; the owner checks it at the end.
  bool SummaryFinite() const;
  // dEsys and dMsys in percent as the screen shows them (after an energy update).
  double dEsysPercent() const;
  double dMsysPercent() const;
  RunEnd end() const { return end_; }

 private:
  bool Step(BatchResult& r);
  bool ScreenUpdate(BatchResult& r);
  void EndRun(RunEnd why, BatchResult& r);
  bool WriteRecord();

  Model& m_;
  Engine engine_;
  OrbitWatch watch_;
  WatchFields fields_;
  RunSettings s_;
  LiveSettings act_;
  bool started_ = false;
  bool running_ = false;
  RunEnd end_ = RunEnd::None;
  int Dir_ = 1;
  int planNo_ = 0;
  double h_ = 3600.0;
  double tMod_ = 0.0, tRun_ = 0.0;
  int counter_ = 0;
  std::int64_t totalSteps_ = 0;
  std::int64_t records_ = 0;
  int year_ = 0;
  CalendarDate date_;
  std::string modeLabel_;
  std::filesystem::path orbitFile_;
};

}  // namespace torvik
