// The data files that the program makes from Debian's packages on its first
// start in a program folder: the DE405 files of the JPL imitator and the
// observatory sample files (only into an empty \Obs folder). They take some seconds to write, so they are made
// on a thread of their own while the first screen is already shown; a screen
// that reads them waits for them with the progress line of Pending().
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

namespace torvik {

class DataPreparation {
 public:
  enum class Data { De405, Observatories };

  DataPreparation() = default;
  DataPreparation(const DataPreparation&) = delete;
  DataPreparation& operator=(const DataPreparation&) = delete;
  // Waits for the thread: the files are never left half-written by the program.
  ~DataPreparation();

  // Starts writing what is missing in `folder` (nothing when all is there).
  // A file that cannot be written is reported on stderr; its reader then
  // reports it missing, as it does for any file.
  void Start(const std::filesystem::path& folder);
  // Empty when the preparation of `data` has ended; otherwise the progress line, e.g. "Подготовка данных DE405…".
  std::string Pending(Data data) const;
  // Blocks until the preparation has ended.
  void Wait();

 private:
  void Prepare(std::filesystem::path folder);

  std::thread thread_;
  std::atomic<bool> de405Done_{true}, obsDone_{true};
};

// The progress lines of the two preparations.
inline constexpr const char* kPreparingDe405 = "Подготовка данных DE405…";
inline constexpr const char* kPreparingObservatories = "Подготовка файлов наблюдений…";

}  // namespace torvik
