// The reduction chain against an independent apparent place: observatory files
// written by scripts/make-obs.py without noise (DE405 with ERFA's light time,
// eraAb and eraPnm06a) and reduced with the DE405 positions and velocities in
// place of the element theories, at ephemeris time. What is left is the
// chain's own approximations: its precession and short nutation series, the
// mean Moon distance of the geocentre offset, the first-order aberration.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "model/de405_files.h"
#include "observe/run.h"
#include "observe/sample_files.h"
#include "params/startup.h"

namespace torvik {
namespace {

constexpr double arcsecond = 1.0 / 3600;  // degrees

std::filesystem::path DataFolder() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path() / "de405-data";  // shared with the model tests
}

struct Residuals {
  int n = 0;
  double rmsL = 0, rmsB = 0, maxL = 0, maxB = 0;
};

Residuals Reduce(const std::filesystem::path& folder, int observatory, int Npl) {
  Model m;
  EXPECT_FALSE(StartUp(m));
  ObservationSource src(folder);
  src.SwitchKind(SourceKind::Obs, nullptr);
  const SelectResult sel = src.SelectObservatory(observatory, Npl);
  EXPECT_FALSE(sel.message);
  ObsSettings s;
  ApplyPresets(sel.presets, s);
  s.Npl = Npl;
  s.day = 31, s.month = 12, s.year = 2059;
  s.years = 100;
  s.etUt = true;
  s.earth = s.planet = ObsTheory::De405;
  s.dRlimit = false;
  ObservationRun run(m, src);
  EXPECT_FALSE(run.Start(s));
  Residuals r;
  while (run.Running()) {
    const ObsStepResult step = run.Step();
    EXPECT_FALSE(step.message) << step.message->text;
    if (!step.accepted) continue;
    ++r.n;
    r.rmsL += run.dLpl() * run.dLpl(), r.rmsB += run.dBpl() * run.dBpl();
    r.maxL = std::max(r.maxL, std::fabs(run.dLpl())), r.maxB = std::max(r.maxB, std::fabs(run.dBpl()));
  }
  r.rmsL = std::sqrt(r.rmsL / std::max(r.n, 1)), r.rmsB = std::sqrt(r.rmsB / std::max(r.n, 1));
  return r;
}

TEST(ReductionChain, AgreesWithErfaOverTheDe405Century) {
  const auto folder = DataFolder();
  ASSERT_TRUE(EnsureDe405Files(folder));
  ASSERT_TRUE(MakeObservatoryFiles(folder, {"--noise", "0", "--only", "GREN4,CAPE2", "--force"}));
  const struct {
    int observatory, Npl;
  } cases[] = {{1, 4}, {5, 2}};
  for (const auto& c : cases) {
    const Residuals r = Reduce(folder, c.observatory, c.Npl);
    SCOPED_TRACE(::testing::Message() << kObservatories[static_cast<std::size_t>(c.observatory - 1)].code << c.Npl);
    EXPECT_GT(r.n, 3600);  // 1960..2059 every ten days
    EXPECT_LT(r.rmsL, 0.5 * arcsecond) << r.rmsL / arcsecond << "\"";
    EXPECT_LT(r.rmsB, 0.5 * arcsecond) << r.rmsB / arcsecond << "\"";
    EXPECT_LT(r.maxL, 2 * arcsecond) << r.maxL / arcsecond << "\"";
    EXPECT_LT(r.maxB, 2 * arcsecond) << r.maxB / arcsecond << "\"";
  }
}

}  // namespace
}  // namespace torvik
