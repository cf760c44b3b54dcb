#include "plan/drift_source.h"

#include "core/paths.h"
#include "stats/drift_files.h"

namespace torvik {

namespace {

UserMessage ReadError(const std::string& rel) { return UserMessage{std::string(kMsgDriftRead) + "\r\n" + rel, kTitle}; }

}  // namespace

std::string ImitatorFolderOf(const std::string& option) { return option == "New" ? "NEW" : option; }

DriftSource StatsDriftSource() {
  DriftSource src;
  src.readObserved = [](const std::filesystem::path& folder, const std::string& imitatorFolder,
                        ObservedDrifts* nab) -> ActionResult {
    const std::string rel = ImitatorDriftPath(ImitatorFolderOf(imitatorFolder));
    std::array<DriftRow, kImitatorDriftRecords + 1> rows{};
    if (ReadDriftFile(ResolvePath(folder, rel), rows.data(), kImitatorDriftRecords, nullptr) !=
        kImitatorDriftRecords)
      return ReadError(rel);
    for (int p = 1; p <= kImitatorDriftRecords; ++p) (*nab)[p] = rows[p];
    return std::nullopt;
  };
  src.readPlan = [](const std::filesystem::path& folder, int plan, int planet, PlanDrifts* ras) -> ActionResult {
    const std::string rel = PlanDriftPath(plan, planet, 'B');
    std::array<DriftRow, kB4DExperiments + 1> rows{};
    if (ReadDriftFile(ResolvePath(folder, rel), rows.data(), kB4DExperiments, nullptr) != kB4DExperiments)
      return ReadError(rel);
    for (int j = 1; j <= kB4DExperiments; ++j)
      for (int e = 1; e <= 6; ++e) (*ras)[e][j] = rows[j][e];
    return std::nullopt;
  };
  return src;
}

}  // namespace torvik
