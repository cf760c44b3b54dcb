// The user's own table workbooks: "\Tab\" + table + ".xls" (or ".xlsx",
// ".ods") evaluated by LibreOffice Calc, headless, behind the same cell
// contract as the built-in calculators (observe/workbook.h).
//
// One SpreadsheetEngine is one office: a small Python launcher
// (observe/workbook_bridge.py, python3-uno) starts soffice.bin with a private
// profile in a temporary folder and puts a cell server inside the office,
// which then answers this program on one socket, one line per request. Both
// processes form their own process group, the only processes ever stopped.
// A request that is not answered in time, or an office that ends, marks the
// engine lost: it is stopped and every later request fails at once.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "observe/workbook.h"

namespace torvik {

// The workbook of a table in the program folder's "\Tab\": the first of
// name + ".xls", ".xlsx", ".ods" that exists; nullopt when none does.
std::optional<std::filesystem::path> FindTableWorkbook(const std::filesystem::path& folder,
                                                       std::string_view tableName);

// One cell of a reply ("E", "N" + number, "T" + %-escaped text, "X" + error
// code); false when the token is malformed.
bool ParseCellToken(std::string_view token, CellValue* value);
// A reply "K" followed by exactly `cells` cell tokens; false otherwise (a
// refusal "F ..." included).
bool ParseCellsReply(std::string_view line, std::size_t cells, std::vector<CellValue>* values);

class SpreadsheetEngine {
 public:
  SpreadsheetEngine();
  ~SpreadsheetEngine();  // Stop()
  SpreadsheetEngine(const SpreadsheetEngine&) = delete;
  SpreadsheetEngine& operator=(const SpreadsheetEngine&) = delete;

  // Starts the office when it does not run (the first start of a new profile
  // takes a few seconds). False, with the reason, when it cannot be started.
  bool Start(std::string* why = nullptr);
  // Closes the office and removes its temporary folder; waits a few seconds,
  // then stops the process group by force.
  void Stop();
  bool Running() const { return pid_ > 0 && !lost_; }
  // The office died or hung since it was started.
  bool Lost() const { return lost_; }

  // Opens a workbook read-only; nullptr, with the reason, when the office
  // cannot open it.
  std::unique_ptr<Workbook> Open(const std::filesystem::path& file, std::string* why = nullptr);

  // One request line and its reply line. False when no reply came within the
  // time allowed (the engine is then lost and stopped) or the office ended.
  bool Request(std::string_view line, std::string* reply, int timeoutMs);
  // Time allowed for one cell request (default 5 s; opening: 60 s).
  void SetRequestTimeout(int ms) { requestMs_ = ms; }
  int requestTimeout() const { return requestMs_; }
  // The launcher's process id, also the process group of the office; 0 when
  // nothing runs.
  pid_t pid() const { return pid_; }

 private:
  bool ReadLine(std::string* line, int timeoutMs);
  void Lose();
  void Reap(int waitMs);

  pid_t pid_ = 0;
  int fd_ = -1;
  bool lost_ = false;
  int requestMs_ = 5000;
  std::string buffer_;
  std::filesystem::path work_;
};

}  // namespace torvik
