// Sources of an observation run: the ten historic tables (cell-addressed
// workbooks, observe/workbook.h) and the five observatories (one text file
// per planet in "\Obs\"). Selecting a source opens it and returns the presets
// that it puts on the observation screen; a run then reads one position per
// step. The screen and `torvik6-cli observe` drive the same object.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/message.h"
#include "observe/obs_calendar.h"
#include "observe/workbook.h"

namespace torvik {

enum class SourceKind : std::uint8_t { Tab, Obs };  // "таблиц", "обсерваторий"

inline constexpr const char* kTableTimeLabel = "часов, дни от 1.1.0 г. н.э.";
inline constexpr const char* kObsTimeLabel = "часов, день от 1.1.0 г. н.э.";
inline constexpr const char* kNotFound = "Не найден файл";
inline constexpr const char* kTableFault = "Ошибка вычислений в таблицах";
inline constexpr const char* kObsReadError = "Ошибка чтения данных из файла";
// What the screen shows when a built-in calculator serves the open table.
inline constexpr const char* kBuiltinTable = "встроенная";

class SpreadsheetEngine;

// One member of the group "таблицы" (index 1..10).
struct TableInfo {
  const char* caption;  // option caption
  const char* name;     // workbook name in "\Tab\"
  int sheets;           // worksheets bound
  float day;            // default date, local day of the table
  int month, year;
  double ObsL, ObsB;    // meridian and latitude of the table, degrees
  ObsCalendar calendar;
  DayStart dayStart;
  bool refractionParallax;
  const char* timeLabel;
  EgyptianEra era;
};
extern const std::array<TableInfo, 10> kTables;

// One member of the group "обсерватория" (index 1..5).
struct ObservatoryInfo {
  const char* caption;
  const char* code;  // file prefix in "\Obs\"
  double ObsL, ObsB;
};
extern const std::array<ObservatoryInfo, 5> kObservatories;

// The number (1-based, in the order above) of the table of this name or
// caption, or of the observatory of this code or caption; 0 for none.
int TableNumber(std::string_view name);
int ObservatoryNumber(std::string_view code);

// What a selection puts on the screen: the option groups, the correction
// boxes and, for a table or an observatory, the place and the default date.
struct SourcePresets {
  ObsCalendar calendar = ObsCalendar::Gregorian;
  DayStart dayStart = DayStart::Midnight;
  std::string timeLabel;
  bool aberrPl = true, aberrZv = true, nutation = false;  // "Аберр. пл.", "Аберр. зв.", "Нутация"
  bool refraction = false, parallax = false;              // "Рефракция", "Параллакс"
  bool hasPlace = false;  // ObsL, ObsB go to "ObsL", "ObsB"
  double ObsL = 0, ObsB = 0;
  bool hasDate = false;   // the default date goes to the day, month and year fields
  float day = 1.5f;
  int month = 1, year = 2000;
};

// The result of a selection: the presets always; a message when the source
// could not be opened (the selection stays as made).
struct SelectResult {
  SourcePresets presets;
  bool opened = false;  // a source was opened: the owner clears the stop request
  ActionResult message;
};

// Positions read per step, per body slot 0..11, degrees.
struct SourcePositions {
  std::array<double, 12> PosL{};
  std::array<double, 12> PosB{};
  double Ptab = 0;
};

// One observatory record, as the layout of the file gives it.
struct ObservationLine {
  enum class Status : std::uint8_t { Use, Skip, Malformed };
  Status status = Status::Skip;
  bool dated = false;  // year, day and month were read (they stay in the step date)
  std::int32_t year = 0;
  std::int16_t day = 0;
  std::int16_t month = 0;  // 0 when the name matches none of the twelve
  float hours = 0;         // time of day, hours
  double ra = 0;           // right ascension, degrees
  double dec = 0;          // declination, degrees
};
// Parses one line. Years above startY or below endY, the "-" markers of
// columns 23 and 43, right-ascension hours above 23 and a right ascension or
// declination of 0 (or a declination of +90) give Skip; a field that is not a
// number gives Malformed. Fields after a skip are not looked at.
ObservationLine ParseObservationLine(std::string_view line, std::int32_t startY, std::int32_t endY);

class ObservationSource {
 public:
  using WorkbookFactory = std::function<std::unique_ptr<Workbook>(std::string_view tableName)>;
  // folder: the program folder. factory: the calculators of the tables. A
  // workbook of the table in "\Tab\" (observe/workbook_file.h) comes first;
  // the spreadsheet engine starts with the first one opened and is kept until
  // CloseSources() or the end of this object.
  explicit ObservationSource(std::filesystem::path folder, WorkbookFactory factory = MakeTableWorkbook);
  ~ObservationSource();
  ObservationSource(const ObservationSource&) = delete;
  ObservationSource& operator=(const ObservationSource&) = delete;

  // The calculators serve even when "\Tab\" holds a workbook of the table.
  void SetBuiltinOnly(bool on) { builtinOnly_ = on; }
  bool builtinOnly() const { return builtinOnly_; }
  // Which serves the open table: the workbook's file name ("Almagest.xlsx"),
  // kBuiltinTable for a calculator, "" when no table is open.
  const std::string& servedBy() const { return served_; }
  // The spreadsheet engine died or hung: the run that reads it ends.
  bool EngineLost() const;
  // nullptr before the first workbook is opened.
  SpreadsheetEngine* engine() const { return engine_.get(); }

  // A click on member i of "таблицы" (0 = none) or "обсерватория"; Npl names
  // the observatory file.
  SelectResult SelectTable(int i);
  SelectResult SelectObservatory(int i, int Npl);
  // The options "таблиц" / "обсерваторий": closes what is open; nothing
  // happens when the kind is already chosen (returns false). Of the presets
  // only the day start and the time label apply.
  bool SwitchKind(SourceKind kind, SourcePresets* presets);
  // "Закрыть форму".
  void CloseSources();

  // One table read for the local date d of the step: writes the date into the
  // input cells, recalculates and reads Ptab and the place of planet Npl. On a
  // workbook fault "Ошибка вычислений в таблицах" (title "Torvik6.0") and the
  // positions keep what they had.
  ActionResult ReadTablePosition(const StepDate& d, int Npl, SourcePositions& pos);

  enum class ReadStatus : std::uint8_t { Read, End, Error };
  // The next usable observatory record between the years endY and startY: sets
  // the date (CurY, CurM, CurDay, CurH, CurD) and PosL, PosB of Npl. End sets
  // ObsEnd. A field that is not a number gives Error with "Ошибка чтения данных
  // из файла" CR LF path (title "Torvik6"); the caller stops the run.
  ReadStatus ReadNextObservation(std::int32_t startY, std::int32_t endY, int Npl, StepDate& d,
                                 SourcePositions& pos, UserMessage* failure);
  // Reopens the observatory file at its start (the end of an observatory run);
  // ObsEnd keeps its value.
  bool Rewind();

  const std::filesystem::path& folder() const { return folder_; }
  SourceKind kind() const { return kind_; }
  const std::string& name() const { return name_; }  // "" when nothing is open
  int index() const { return index_; }
  int sheetCount() const { return sheetCount_; }
  bool ObsEnd() const { return obsEnd_; }
  void ClearObsEnd() { obsEnd_ = false; }
  bool IsOpen() const { return !name_.empty(); }
  // The table's workbook ("\Tab\" + name + ".xls", or the ".xlsx" / ".ods"
  // that serves) or "\Obs\" + code + Npl + ".txt", native path.
  const std::filesystem::path& path() const { return path_; }
  std::size_t lineCount() const { return lines_.size(); }
  std::size_t linePosition() const { return next_; }
  // The current table's row of kTables; nullptr for none or an observatory.
  const TableInfo* table() const;
  // The open observatory file holds records marked "SIMULATED" in columns
  // 1-10 (the sample files of the program).
  bool Simulated() const { return fileOpen_ && simulated_; }
  // The years of the usable records of the open observatory file and the
  // date of its last record; nothing when it holds none.
  struct RecordSpan {
    std::int32_t firstY = 0, lastY = 0;
    std::int16_t lastM = 1;
    float lastD = 1;
  };
  std::optional<RecordSpan> Records() const;

 private:
  void CloseWorkbook();
  bool OpenObservatoryFile();

  std::filesystem::path folder_;
  WorkbookFactory factory_;
  bool builtinOnly_ = false;
  std::string served_;
  std::unique_ptr<SpreadsheetEngine> engine_;  // outlives workbook_
  SourceKind kind_ = SourceKind::Tab;
  std::string name_;
  int index_ = 0;
  int sheetCount_ = 0;
  std::unique_ptr<Workbook> workbook_;
  std::filesystem::path path_;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  bool fileOpen_ = false;
  bool simulated_ = false;
  bool obsEnd_ = false;
};

}  // namespace torvik
