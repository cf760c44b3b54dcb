// The modelling screen "Моделирование и имитирование движения планет
// Torvik6 - форма 2": starts, stops, continues and reverses runs of the model
// or of an imitator (ModelRun, one batch of NOut steps per turn of the event
// loop), shows the measured elements of the watched planet and draws the
// orbits, the side view and the time plots. The plan screen drives it through
// TriggerStart and hears the end of each of its runs from PlanRunEnded.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <array>
#include <chrono>
#include <filesystem>
#include <memory>

#include "core/model.h"
#include "model/imitator.h"
#include "model/run.h"
#include "ui/batch.h"
#include "ui/fields.h"
#include "ui/picture.h"
#include "ui/screen.h"

namespace torvik {

inline constexpr const char* kModellingTitle = "Моделирование и имитирование движения планет    Torvik6 - форма 2";

class ModellingScreen : public ui::Screen {
  Q_OBJECT

 public:
  ModellingScreen(Model& m, ui::Navigator& nav, std::filesystem::path folder);
  ~ModellingScreen() override;

  // The start trigger: the plan screen sets the fields of the run and writes
  // its timer value here; the change of the start field starts the run.
  void TriggerStart(const QString& timerValue);

  // ---- controls (public for the tests and the plan screen) ----
  ui::Picture *picture = nullptr, *overview = nullptr;
  QScrollBar* scaleBar = nullptr;
  QLabel *scaleLabel = nullptr, *progressLabel = nullptr;
  QLabel* nextRunLabel = nullptr;  // the system velocity and Vgr that "Начать" will use
  QLineEdit* startField = nullptr;
  ui::OptionGroup *useGroup = nullptr, *modelGroup = nullptr, *imitatorGroup = nullptr, *dirGroup = nullptr;
  QLineEdit *powRField = nullptr, *vgrField = nullptr, *planetField = nullptr, *alfaField = nullptr,
            *stepField = nullptr, *nRedField = nullptr, *nOutField = nullptr, *endYearField = nullptr,
            *nFileField = nullptr, *mdAlfaField = nullptr, *mxField = nullptr, *mtField = nullptr,
            *dYField = nullptr;
  QCheckBox *vgrBox = nullptr, *watchBox = nullptr, *animationBox = nullptr, *endYearBox = nullptr,
            *trailsBox = nullptr, *energyBox = nullptr, *xsolBox = nullptr, *orbitFileBox = nullptr,
            *traceBox = nullptr;
  std::array<QCheckBox*, 3> coordBoxes{};  // "X, тыс.км", "Y, тыс.км", "Z, тыс.км"
  std::array<QLineEdit*, 3> coordFields{};
  std::array<QCheckBox*, 6> driftBoxes{};  // "dAlfaP, сек" … "dPeriod, дни"
  struct ResultRow {
    QLineEdit *reference = nullptr, *current = nullptr, *drift = nullptr;
  };
  std::array<ResultRow, 6> results{};  // AlfaP, AlfaU, Betta, Eks, Rsr, Period
  std::array<QLineEdit*, 3> periDate{}, nodeDate{}, date{};  // day, month, year
  QLineEdit *jdField = nullptr, *nRevField = nullptr, *alfaEklipField = nullptr, *dTmodField = nullptr,
            *dTrealField = nullptr, *dEsysField = nullptr, *dMsysField = nullptr;
  QPushButton *startButton = nullptr, *stopButton = nullptr, *continueButton = nullptr, *nc0Button = nullptr,
              *compareButton = nullptr, *vgrTestButton = nullptr, *toParamsButton = nullptr,
              *toStatsButton = nullptr, *toPlanButton = nullptr, *exitButton = nullptr;

  // The scale of the orbit picture, the bar's value: 10^8 m per unit. The bar
  // moves through it in equal ratios (a click ×1.12, a page ×1.78), 1..10000.
  double ScaleValue() const;
  void SetScaleValue(double value);

  const ModelRun& Run() const { return run_; }
  const ui::BatchRunner& Runner() const { return runner_; }
  int Updates() const { return updates_; }  // screen updates of all runs so far
  double PanX() const { return panX_; }
  double PanY() const { return panY_; }

 signals:
  // The end of a run started with a plan number k > 0, once per run, with the
  // seconds-of-the-day timer value; emitted after the run loop has ended.
  void PlanRunEnded(const QString& timerValue);
  // "Остановить": a running sequence of plan experiments ends.
  void PlanSequenceStopped();

 protected:
  void Build() override;
  void Activated() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLayout* BuildInputs();
  QLayout* BuildResults();
  void WireActions();

  void OnStart();
  void OnStop();
  void OnContinue();
  void OnStepBatch();
  void OnCompare();
  void Loop();
  bool Turn();
  void ReadLive();
  void ReadScales();
  void ScaleChanged();
  void ShowNextRun();
  void ToStatistics();

  void ShowStartState();
  void ShowDate(const std::array<QLineEdit*, 3>& fields, int year, int month, float day);
  void ShowResults();
  void ScreenUpdate();
  void ShowFields(bool now);
  void PlotExtremum();
  void Redraw();
  void RedrawMain();
  void RedrawOverview();
  void EraseMarks();
  void DrawMarks(bool dimBelowEcliptic);
  void KeepDrawnPositions();
  void EraseMark(double x, double y);
  void PrintCaptions(const QRect& clip = QRect());

  Model& m_;
  ui::Navigator& nav_;
  std::filesystem::path folder_;
  std::unique_ptr<Imitator> imitator_;  // the source of an imitator run; outlives the run's use of it
  ModelRun run_;
  ui::BatchRunner runner_;
  PlotScales scales_;
  double mxy_ = 3e11;             // metres per unit of the main picture
  double panX_ = 0.0, panY_ = 0.0;  // pan point, units of the main picture
  std::array<double, 11> drawnX_{}, drawnY_{}, drawnZ_{};  // last drawn positions, m
  bool xsolDrawn_ = false;        // "Xsol=0" as the last marks were drawn
  bool scaleChosen_ = false;      // the first opening chose the scale from the watched planet
  // The caption lines of the run on the main picture, kept under the erased marks.
  std::array<QString, 2> captions_;
  int updates_ = 0;
  bool planEnded_ = false;
  std::chrono::steady_clock::time_point startTime_, fieldsShownAt_;
  std::chrono::steady_clock::time_point noteUntil_{};  // the run's line tells why a press waits until then
  // What the last screen update has to show in the fields.
  struct UpdateFigures {
    bool due = false;
    double dTmod = 0.0, JD = 0.0, AlfaEklip = 0.0, dEsys = 0.0, dMsys = 0.0;
    CalendarDate date;
    std::array<double, 3> coords{};
    bool energy = false;
  } shown_;
  double workSeconds_ = 0.0;      // time spent inside batches of the current run
  // The start state last shown, to notice a new one set up by the parameters screen.
  double shownJDstart_ = 0.0;
  BodyArray shownX0_{}, shownY0_{}, shownZ0_{};
};

}  // namespace torvik
