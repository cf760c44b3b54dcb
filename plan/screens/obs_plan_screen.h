// "План эксперименов (наблюдения) Torvik6": the companion of the observation
// screen that holds what defines an observation plan apart from its coded
// table: the zero levels and intervals of the five factors, the planet's mean
// longitude and motion at the start, the Earth's orbit used with the plan and
// the coded and natural optimum. It loads a plan from its file or builds the
// template from the approximate J2000 elements, saves it, runs the
// four-of-five optimization and turns the optimum into a point of the Mox
// series. The plan itself (ObsPlanState) outlives the screen's windows.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "core/model.h"
#include "observe/obs_calendar.h"
#include "plan/four_of_five.h"
#include "plan/obs_planfile.h"
#include "ui/fields.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kObsPlanTitle = "План эксперименов (наблюдения) Torvik6";
inline constexpr const char* kMsgPlanNumbers = "Введите правильно номер плана и планеты";
inline constexpr const char* kMsgPlanFields = "Задайте правильно данные для плана";
inline constexpr const char* kMsgOptimumFields = "Введите правильно оптимальные значения";
inline constexpr const char* kMsgNoSource = "Выберете источник данных";
inline constexpr const char* kMsgNoObsSource = "Выберете источник данных наблюдений";

// What the plan screen uses of the observation screen: its planet, date,
// "JD (UT)" and velocity fields (km/s), the selected source, the start of
// its last run, and its two triggers.
struct ObsPlanLink {
  QLineEdit *planet = nullptr, *day = nullptr, *month = nullptr, *year = nullptr, *jd = nullptr;
  std::array<QLineEdit*, 3> vsys{};
  // SourceKind ("Tab" or "Obs") and SourceName; nothing when no source is chosen.
  std::function<std::optional<std::pair<std::string, std::string>>()> source;
  // Julian date of the start of the last run (JDstart).
  std::function<double()> JDstart;
  std::function<void()> dateTrigger;    // "DMY->JD" of the observation screen
  std::function<void()> reportTrigger;  // the plan report of the observation screen
};

class ObsPlanScreen : public ui::Screen {
  Q_OBJECT

 public:
  // `ensureLink` makes the observation screen exist (it attaches itself)
  // when this screen is used before it.
  ObsPlanScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder, std::function<void()> ensureLink = {});

  void Attach(ObsPlanLink link) { link_ = std::move(link); }
  ObsPlanState& state() { return st_; }

  // ---- operations (also the observation screen's take-over and loading) ----
  // "Загрузить план" from the template or from the file.
  void LoadPlan();
  // "Записать план".
  void SavePlan();
  // The take-over: the fields into the plan; false (with the message shown)
  // at the first field that is not a number, the values read before it kept.
  bool ReadPlanFields();
  // "задать X(i)0 = X(i)opt".
  void AdoptPlanOptimum();
  // "Оптимизировать 4-е фактора из 5-и без отмеченного" and "Все".
  void OptimizeMarked();
  void OptimizeEvery();
  // The two buttons of the Mox frame.
  void ShowMox();
  void AddMox();
  // A plan loaded from the template is built again for the date and the
  // planet of the observation screen when they changed (its velocity fields
  // kept);
  // true when the plan came from the template.
  bool FollowDate();
  // The date the plan's elements are for: the template's date or the start
  // date of the plan file.
  ObsDate PlanDate() const { return planDate_; }
  bool FromTemplate() const { return fromTemplate_; }
  // The planet's period in days, written while a run steps.
  void SetPeriod(double days);
  // The dates of the last run start (the plan's optimization interval).
  void SetRunDates(float day, int month, int year, int endYear);
  // The coded optimum fields, nothing when one is not a number.
  std::optional<ObsPoint> CodedOptimum() const;

  // ---- controls (public for the tests) ----
  ui::NumberField* planNoField = nullptr;
  std::array<ui::NumberField*, 7> earth{};  // Rsr, Eks, Betta, AlfaP, AlfaU, AlfaL0, W0sr of the Earth
  std::array<ui::NumberField*, 7> zero{};   // the five zero levels, the planet's AlfaL0 and W0sr
  std::array<ui::NumberField*, 5> step{}, coded{}, natural{};
  ui::NumberField* x6opt = nullptr;
  ui::OptionGroup *holdGroup = nullptr, *fromGroup = nullptr;
  QLabel* dataLabel = nullptr;
  QPushButton *loadButton = nullptr, *saveButton = nullptr, *adoptButton = nullptr, *optimizeButton = nullptr,
              *allButton = nullptr, *moxShowButton = nullptr, *moxAddButton = nullptr;

 protected:
  void Build() override;

 private:
  bool Linked();
  void Load(bool fromTemplate);
  void ShowPlanFields();
  void ShowOptimum(const FourOfFiveFields& f);
  std::optional<int> Planet() const;

  Model& m_;
  ui::Navigator& nav_;
  std::filesystem::path folder_;
  std::function<void()> ensureLink_;
  ObsPlanLink link_;
  ObsPlanState st_;
  LinearSystem sys_;
  bool fromTemplate_ = false;
  ObsDate planDate_;
  int planNpl_ = -1;  // the planet the plan's elements are for
};

}  // namespace torvik
