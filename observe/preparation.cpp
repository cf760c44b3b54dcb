#include "observe/preparation.h"

#include <cstdio>

#include "model/de405_files.h"
#include "observe/sample_files.h"

namespace torvik {

DataPreparation::~DataPreparation() { Wait(); }

void DataPreparation::Start(const std::filesystem::path& folder) {
  Wait();
  de405Done_ = HaveDe405Files(folder);
  // The samples go only into an \Obs folder that holds no file: a file
  // missing later is never made up.
  obsDone_ = !ObservatoryFolderEmpty(folder);
  if (de405Done_ && obsDone_) return;
  thread_ = std::thread(&DataPreparation::Prepare, this, folder);
}

void DataPreparation::Prepare(std::filesystem::path folder) {
  // One after the other, DE405 first: the modelling screen needs only it.
  if (!de405Done_) {
    if (!EnsureDe405Files(folder))
      std::fprintf(stderr, "torvik6: cannot write the DE405 files into %s\n", (folder / "JPL").string().c_str());
    de405Done_ = true;
  }
  if (!obsDone_) {
    if (!WriteSampleObservatoryFiles(folder))
      std::fprintf(stderr, "torvik6: cannot write the observatory files into %s\n", (folder / "Obs").string().c_str());
    obsDone_ = true;
  }
}

std::string DataPreparation::Pending(Data data) const {
  if (!de405Done_) return kPreparingDe405;
  if (data == Data::Observatories && !obsDone_) return kPreparingObservatories;
  return {};
}

void DataPreparation::Wait() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace torvik
