#include "model/de405_files.h"

#include <string>
#include <system_error>

#include "core/paths.h"
#include "core/scripts.h"
#include "model/de405.h"

namespace torvik {

namespace {

constexpr int kFirstYear = 1960, kLastYear = 2040;

}  // namespace

bool HaveDe405Files(const std::filesystem::path& folder) {
  std::error_code ec;
  for (int year = kFirstYear; year <= kLastYear; year += 20) {
    const std::string rel = std::string(year == kFirstYear ? "\\JPL\\" : "\\JPL\\405\\") + De405FileName(year);
    if (!std::filesystem::is_regular_file(ResolvePath(folder, rel), ec)) return false;
  }
  return true;
}

bool EnsureDe405Files(const std::filesystem::path& folder) {
  if (HaveDe405Files(folder)) return true;
  return RunDataScript("make-de405.py", TORVIK6_DE405_SCRIPT, {folder.string()}) && HaveDe405Files(folder);
}

}  // namespace torvik
