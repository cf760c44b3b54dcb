// The observation screen "Обработка первичных данных наблюдений    Torvik6 -
// форма 10": the inputs of an observation run, the source groups (historic
// tables and observatories), the calendar and day-start options, the run
// control and the three pictures. The run itself is the Qt-free
// ObservationRun: the screen reads its fields, hands them over, performs one
// step per turn of the event loop and paints what the step left.
#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/model.h"
#include "observe/obs_stats.h"
#include "observe/run.h"
#include "observe/sources.h"
#include "plan/obs_plan.h"
#include "plan/obs_series.h"
#include "plan/screens/obs_plan_screen.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kObservationTitle = "Обработка первичных данных наблюдений    Torvik6 - форма 10";

class ObservationScreen : public ui::Screen {
  Q_OBJECT

 public:
  ObservationScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder,
                    ObservationSource::WorkbookFactory factory = MakeTableWorkbook);
  ~ObservationScreen() override;

  // ---- controls (public for the tests and the screenshots) ----
  QLineEdit *planetField = nullptr, *dayField = nullptr, *monthField = nullptr, *yearField = nullptr;
  QLineEdit *jdField = nullptr, *yearsField = nullptr, *stepField = nullptr, *stepDivField = nullptr;
  QLineEdit *hminField = nullptr, *hmaxField = nullptr, *obsLField = nullptr, *obsBField = nullptr;
  std::array<QLineEdit*, 3> vsys{};
  QLineEdit *precField = nullptr, *pauseField = nullptr, *dRmaxField = nullptr, *etUtField = nullptr;
  QLineEdit *mtField = nullptr, *mAlfaField = nullptr, *mdAlfaField = nullptr, *mdRField = nullptr, *dYField = nullptr;
  QLineEdit *expFromField = nullptr, *expToField = nullptr;
  // Outputs: "теория J2000", "Азимут,Высота", the five correction rows, theory,
  // source and deviation, the means and their absolute values.
  std::array<QLineEdit*, 2> j2000{}, azAlt{};
  std::array<std::array<QLineEdit*, 2>, 5> corrections{};  // Нутация, Рефракция, Параллакс, Аберр. пл., Аберр. зв.
  std::array<QLineEdit*, 2> theoryRow{}, sourceRow{}, deviationRow{}, means{}, absMeans{};
  QLineEdit *dRField = nullptr, *ndRField = nullptr, *criterionField = nullptr;
  QCheckBox *aberrPlBox = nullptr, *aberrZvBox = nullptr, *nutationBox = nullptr, *refractionBox = nullptr;
  QCheckBox *parallaxBox = nullptr, *etUtBox = nullptr, *jdBox = nullptr, *moonBox = nullptr, *visibilityBox = nullptr;
  QCheckBox *hminBox = nullptr, *hmaxBox = nullptr, *solsticeBox = nullptr, *dRmaxBox = nullptr;
  QCheckBox *fileTraceBox = nullptr, *fileParamBox = nullptr, *fileBadBox = nullptr, *precBox = nullptr;
  QCheckBox *pauseBox = nullptr, *statBox = nullptr;
  QCheckBox *raysBox = nullptr, *trailsBox = nullptr, *theoryViewBox = nullptr, *sourceViewBox = nullptr;
  QCheckBox *dLdBBox = nullptr, *lBox = nullptr, *bBox = nullptr, *dRBox = nullptr, *dRsrBox = nullptr;
  QCheckBox *yiBox = nullptr, *yFuncBox = nullptr;
  ui::OptionGroup *dataGroup = nullptr, *tableGroup = nullptr, *obsGroup = nullptr, *calendarGroup = nullptr;
  ui::OptionGroup *dayStartGroup = nullptr, *viewGroup = nullptr, *earthGroup = nullptr, *planetGroup = nullptr;
  ui::OptionGroup *criterionGroup = nullptr, *planGroup = nullptr;
  QLabel *timeLabel = nullptr, *scaleLabel = nullptr, *progressLabel = nullptr;
  // Under "таблицы": which serves the open table, the workbook's file name or
  // "встроенная"; empty when no table is open.
  QLabel* servedLabel = nullptr;
  // The line of the run beside the results: accepted and rejected steps, why
  // none was accepted, simulated records, how to open a file again.
  QLabel* runLabel = nullptr;
  ui::Picture *obsPicture = nullptr, *helioPicture = nullptr, *devPicture = nullptr;
  QScrollArea* helioFrame = nullptr;  // the outer heliocentric picture
  QScrollBar *scaleBar = nullptr, *helioBar = nullptr;
  QPushButton *startButton = nullptr, *stopButton = nullptr, *continueButton = nullptr, *stepButton = nullptr;
  QPushButton *dmyToJdButton = nullptr, *jdToDmyButton = nullptr, *jd0Button = nullptr, *clearButton = nullptr;
  QPushButton *statButton = nullptr, *experimentsButton = nullptr, *planButton = nullptr, *coeffButton = nullptr;
  QPushButton *graphsButton = nullptr, *aberrationButton = nullptr, *converterButton = nullptr;
  QPushButton *ellipseButton = nullptr, *closeButton = nullptr;

  // The run on the screen: the ordinary run, or the current run of an
  // experiment series.
  const ObservationRun& Run() const { return Cur(); }
  // The coded plan of the experiments ("Создать план* ").
  const ObsPlan& Plan() const { return plan_; }
  // True while a series of experiments runs.
  bool SeriesRunning() const { return series_ && series_->Running(); }
  // The plan screen this screen works with.
  ObsPlanScreen* PlanScreen() const { return planScreen_; }

  // "Создать план* ", "Выполнить эксперименты с", "Найти коэффициенты
  // уравнения", "Построить графики по ур-ю" and the plan report.
  void CreatePlan();
  void RunExperiments();
  void FindRegression();
  void PlotSections();
  void ShowPlanReport();
  const ObservationSource& Source() const { return src_; }
  // True while steps are scheduled.
  bool Active() const { return timer_.isActive(); }
  double JDplot() const { return JDplot_; }
  const std::optional<ObsStatistics>& Statistics() const { return stats_; }

  void PrepareScreenshot() override;

 protected:
  void Build() override;

 private:
  void BuildInputs(QGridLayout* g);
  void OnTable(int i);
  void OnObservatory(int i);
  void OnDataKind(int k);
  void ApplyPresets(const SourcePresets& p);
  void ShowServed();
  std::optional<ObsSettings> ReadSettings();
  void ReadLive();
  void ReadScales();
  void EndOfRun(bool plain);
  void FollowSource();
  bool PlanFitsDate(const ObsSettings& s);
  CalendarSetting Calendar() const;
  void OnStart();
  void OnStop();
  void OnContinue();
  void OnOneStep();
  void Turn();
  void ShowRows();
  void Paint(const ObsStepResult& r);
  void PaintGeo(int Npl, bool rays, bool trails);
  void PaintHorizon(bool rays, bool trails);
  void PaintInset();
  void ClearPictures();
  void ClearGrids();
  void ScaleChanged();
  void HelioScrolled();
  void OnDmyToJd();
  void OnJdToDmy();
  void OnJd0();
  void OnClose();
  void OnStatistics();
  void SeriesTurn();
  void EndSeries();
  void BeginPainting(const ObsSettings& s);
  void AfterStep(const ObsStepResult& r);
  void ClearHelio();
  void AttachPlanScreen();
  const ObservationRun& Cur() const { return seriesMode_ && series_->run() ? *series_->run() : *run_; }

  Model& m_;
  ui::Navigator& nav_;
  std::filesystem::path folder_;
  ObservationSource src_;
  std::unique_ptr<ObservationRun> run_;
  ObsPlan plan_ = CreateObsPlan(ObsPlanKind::O5);
  std::unique_ptr<ObsExperimentSeries> series_;
  bool seriesMode_ = false;       // set by a series, cleared by the next "Начать"
  ObsSettings seriesStart_;       // the start date of the series
  std::string planTitle_;         // the first line of the plan loaded last
  ObsPlanScreen* planScreen_ = nullptr;
  QTimer timer_;
  double Mxy_ = 1e10;    // metres per picture unit
  bool helioCentred_ = false;
  std::optional<ObsStatistics> stats_;  // created by a run start with counting on
  double JDplot_ = 0;    // Julian date of x = 0 in the deviation plot
  double MT_ = 10, MAlfa_ = 90, MdAlfa_ = 1, MdR_ = 50, dY_ = 0;
  qint64 runStartMs_ = 0;
  qint64 rowsShownMs_ = 0;  // when the fields were last refreshed
  double period_ = 0;       // the planet's period of the last reduced step, days
  std::int64_t runStartSteps_ = 0;
  struct Drawn {
    bool valid = false;
    double x = 0, y = 0, z = 0;
  };
  std::array<Drawn, 3> helioPrev_{};  // Sun, Earth, planet
  std::array<Drawn, 2> geoPrev_{};    // planet, ray end
  std::array<Drawn, 2> topoPrev_{};   // planet, Sun (horizontal view)
  std::vector<InsetLine> insetPrev_;  // the trace inset of the last step
};

}  // namespace torvik
