// The operations of the statistics screen without the screen: loading a run
// file into the point table, the test series, the processing with or without
// the sweep, the drift files, deleting and adding points and the point
// selection. Every operation reads a StatsInputs (the screen's fields, already
// parsed), draws into `plot` and returns the fields it changed and the message
// to show. The screen and torvik6-cli drive the same object.
//
//   Statistics st(colours, folder);
//   st.ask = [](const UserMessage& q) { return yes_or_no(q); };
//   StatsOutcome o = st.LoadRunFile(in);   // then st.ProcessData(in) ...
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <vector>
#include <string>

#include "core/calendar.h"
#include "core/message.h"
#include "core/model.h"
#include "stats/drift.h"
#include "stats/drift_files.h"
#include "stats/plot.h"
#include "stats/points.h"

namespace torvik {

// The inputs of the screen with their defaults at opening.
struct StatsInputs {
  // Which file: source "на" ("имитаторе" or "модели"), imitator folder, plan kind.
  bool imitatorSource = false;
  std::string imitatorFolder = "JPL";  // "NEW", "APC", "JPL", "Mox"
  char planLetter = 'B';               // 'B' for "B4D", 'O' for "O4K"
  int plan = 1;                        // "план №"
  int experiment = 1;                  // "эксперимент №"
  int planet = 1;                      // "для планеты" 1..10
  int p = 1;                           // "по параметру" 1..6
  // Scales.
  double MX1 = 15, MP = 0.1, MdP = 10, MX2 = 25;
  // Processing.
  std::int32_t NPoint = 25;  // "точек в выборке" (length of the test series)
  std::int32_t NCP = 5;
  std::int32_t IStart = 1, IEnd = 25;
  std::int32_t T0 = 1600;    // "год начала"
  double TYear = 2000;       // "год точки"
  double k0 = 1, k1 = 2, k2 = 0, k3 = 1;
  int NCoef = 2;
  bool test = false;
  bool sweep = false;
  Criterion criterion = Criterion::MaxMin;
  bool overlay = false;
  int colour = 11;           // 0..13
  // Point editing.
  std::int32_t deleteNo = 2;
  float addDay = 1.5f;
  std::int32_t addMonth = 1, addYear = 1601;
  double addValue = 0;
  double computedDrift = 0;  // "рассчитанное смещение"
};

// Fields an operation wrote (unset = unchanged).
struct StatsFields {
  std::optional<double> Drift, Limit, k0, k1, k2;
  std::optional<std::int32_t> NCP, NPoint, IStart, IEnd, T0;
  std::optional<double> MX1, MP;
  std::optional<double> driftInFile;          // "смещение в файле (сек, ед.*10^6, тыс.км., мин)"
  std::optional<double> firstValue, lastValue;  // the two "параметр" fields
  std::optional<CalendarDate> firstDate, lastDate;
};

struct StatsOutcome {
  StatsFields fields;
  ActionResult message;
};

// Messages of the processing and of the point selection.
inline constexpr const char* kProcessingError = "Ошибка при обработке данных";
inline constexpr const char* kPointNotFound = "Не могу найти эту точку";
inline constexpr const char* kNotPrimaryData = "У Вас не загружены первичные данные";
// "Первичные данные должны быть" CR LF "разбиты минимум на" + mMin + "группы".
UserMessage TooFewGroupsMessage(int mMin);
// The question before a plot of W × H ≥ 3000 plot cm².
UserMessage LargePlotQuestion();
// The question when an added point's date is already present.
UserMessage SameDateQuestion();
inline constexpr double kLargePlot = 3000.0;

class Statistics {
 public:
  // `colours`: RGB of the colour numbers 0..13 (the model's colour table).
  Statistics(const std::array<Rgb, 14>& colours, std::filesystem::path folder);
  // The colour table of the model.
  static std::array<Rgb, 14> ModelColours(const Model& m);

  // Yes/No questions (large plot, replacing a point); without it the answer is Yes.
  std::function<bool(const UserMessage&)> ask;

  // Relative path of the run file the selections name.
  static std::string RunPathOf(const StatsInputs& in);

  // "Загрузить данные вычислительного эксперимента полученные".
  StatsOutcome LoadRunFile(const StatsInputs& in);
  // The same for a file given by its own path (torvik6-cli); relPath names it in messages.
  StatsOutcome LoadRunFileAt(const std::filesystem::path& file, const std::string& relPath, DataKind kind,
                             const StatsInputs& in);
  // "Обработать данные ".
  StatsOutcome ProcessData(const StatsInputs& in);
  // "Загрузить значения смещений в файле". A drift file that is not there yet
  // is created first as a file of zeros in its layout (CreateMissingDriftFile);
  // a damaged one is refused and left as it is.
  StatsOutcome LoadDriftFile(const StatsInputs& in);
  // "Изменить это смещение на рассчитанное".
  StatsOutcome ReplaceDrift(const StatsInputs& in);
  // "Удалить точку №" and "Добавить в файл точку от": only into a run file
  // that the last load read completely (else "У Вас не загружены первичные
  // данные"), or the rewrite would drop the records after a bad one.
  StatsOutcome DeletePoint(const StatsInputs& in);
  // "Добавить в файл точку от".
  StatsOutcome AddPoint(const StatsInputs& in);
  // A mouse press on the plot at plot x: the nearest point becomes the first
  // (left button) or the last (right button) selected point.
  StatsOutcome SelectPoint(double x, bool left, const StatsInputs& in);

  // The point table itself, for the Mox series of the observation plans,
  // which reads and extends it in place.
  PointTable& table() { return t_; }
  // The listing of a Mox series read into the table: the plot 35 × 20 cleared,
  // the header lines from (2, 19) down, the point lines below them at x = 1,
  // and the selection over all points.
  StatsOutcome ShowListing(const std::vector<std::string>& listing, ActionResult message);

  // ---- state (read only for the screen) ----
  const PointTable& points() const { return t_; }
  const DriftTables& drifts() const { return d_; }
  const Plot& plot() const { return plot_; }
  Plot& plot() { return plot_; }
  int selectedPoint() const { return selected_; }
  double ParMin() const { return ParMin_; }
  double ParMax() const { return ParMax_; }
  double DriftRef() const { return DriftRef_; }
  const std::vector<double>& DriftG() const { return DriftG_; }
  const std::vector<double>& LimitG() const { return LimitG_; }
  std::optional<Fit> lastFit() const { return fit_; }
  std::optional<Sweep> lastSweep() const { return sweep_; }

 private:
  std::filesystem::path Resolve(const std::string& rel) const;
  Rgb Colour(int c) const;
  void Extremes(int p);
  void ShowRange(int p, StatsFields& f) const;
  bool SizePlot(double w, double h, bool askLarge);
  void DrawRun(const StatsInputs& in, int p, std::int32_t first, std::int32_t last, bool title);
  void GenerateTestSeries(StatsInputs& in, StatsFields& f);
  bool RunLoaded(StatsOutcome& out) const;
  ActionResult Rewrite(PointTable t);
  double PlotX(double tDay, double mx1) const { return tDay / 365.25 / mx1 + 1; }

  std::array<Rgb, 14> colours_;
  std::filesystem::path folder_;
  PointTable t_;
  DriftTables d_;
  Plot plot_;
  double ParMin_ = 0, ParMax_ = 0;
  double JDe_ = 0;
  double DriftRef_ = 0;
  int loadedP_ = 1;  // the element selected when the data were loaded
  int selected_ = 0;
  std::vector<double> DriftG_, LimitG_;
  std::optional<Fit> fit_;
  std::optional<Sweep> sweep_;
  bool runComplete_ = false;  // the last run-file load read the whole file
  std::string driftPath_;  // the drift file of the last complete load; replacements write only there
  std::optional<FileStamp> driftStamp_;  // and only over the version loaded (or written) last
  std::mt19937 rng_{20011};
};

}  // namespace torvik
