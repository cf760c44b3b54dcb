#include "plan/drift_source.h"

#include "core/paths.h"
#include "core/textfile.h"
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

namespace torvik {

namespace {

// Drift truncated to four decimals, then laid out by the pattern.
std::string D(double v, const char* pattern) { return FormatPattern(Fix(10000.0 * v) / 10000.0, pattern); }

}  // namespace

DriftListing ListObservedDrifts(const std::filesystem::path& folder, const std::string& imitatorOption) {
  DriftListing out;
  const std::string rel = ImitatorDriftPath(ImitatorFolderOf(imitatorOption));
  std::array<DriftRow, kImitatorDriftRecords + 1> rows{};
  const int got = ReadDriftFile(ResolvePath(folder, rel), rows.data(), kImitatorDriftRecords, &out.header);
  for (int k = 1; k <= got; ++k) {
    const DriftRow& v = rows[static_cast<std::size_t>(k)];
    out.lines.push_back(std::to_string(k) + "    dAlfaP100  = " + D(v[1], "0000.0000") + "    dAlfaU100  = " +
                        D(v[2], "0000.0000") + "    dBetta100  = " + D(v[3], "000.00000") + "    dEks100  = " +
                        D(v[4], "000.0000") + "    dRsr100  = " + D(v[5], "0000.0000") + "    dPeriod100  = " +
                        D(v[6], "000.0000"));
  }
  if (got != kImitatorDriftRecords) out.failure = ReadError(rel);
  return out;
}

DriftListing ListPlanDrifts(const std::filesystem::path& folder, int plan, int planet) {
  DriftListing out;
  const std::string rel = PlanDriftPath(plan, planet, 'B');
  std::array<DriftRow, kB4DExperiments + 1> rows{};
  const int got = ReadDriftFile(ResolvePath(folder, rel), rows.data(), kB4DExperiments, &out.header);
  for (int e = 1; e <= got; ++e) {
    const DriftRow& v = rows[static_cast<std::size_t>(e)];
    out.lines.push_back((e <= 9 ? "   " : " ") + std::to_string(e) + "    dAlfaP100  = " +
                        FormatPattern(v[1], "0000.0000") + "    dAlfaU100  = " + FormatPattern(v[2], "0000.0000") +
                        "    dBetta100  = " + FormatPattern(v[3], "000.00000") + "    dEks100  = " +
                        FormatPattern(v[4], "000.00000") + "    dRsr100  = " + FormatPattern(v[5], "0000.0000") +
                        "    dPeriod100  = " + FormatPattern(v[6], "0000.0000"));
  }
  if (got != kB4DExperiments) out.failure = ReadError(rel);
  return out;
}

}  // namespace torvik
