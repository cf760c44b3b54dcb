// Steps per second of an observation run: an observatory run over a century of
// simulated Mars records (written by scripts/make-obs.py into a scratch folder)
// and a table run of 200 years at 3.31 days behind a workbook that answers at
// once, so that the figure is the cost of the reduction step itself.
// Usage: observe_bench [FOLDER]
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "observe/run.h"
#include "observe/sample_files.h"
#include "params/startup.h"

namespace {

// A workbook whose every cell holds a fixed place.
class ConstantWorkbook : public torvik::Workbook {
 public:
  int SheetCount() const override { return 11; }
  bool SetNumber(int, std::string_view, double) override { return true; }
  bool Recalculate() override { return true; }
  bool Get(int, std::string_view, torvik::CellValue* v) const override {
    v->number = 120.5;
    v->text.clear();
    return true;
  }
};

double Run(torvik::Model& m, torvik::ObservationSource& src, torvik::ObsSettings s, long long* steps) {
  torvik::ObservationRun run(m, src);
  if (auto r = run.Start(s)) {
    std::fprintf(stderr, "start: %s\n", r->text.c_str());
    return 0;
  }
  const auto t0 = std::chrono::steady_clock::now();
  while (run.Running()) run.Step();
  *steps = run.steps();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace torvik;
  const std::filesystem::path folder =
      argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "torvik6_observe_bench";
  std::filesystem::create_directories(folder / "Dat");
  if (!EnsureObservatoryFile(folder, "GREN", 4)) {
    std::fprintf(stderr, "observe_bench: cannot write %s/Obs/GREN4.txt\n", folder.string().c_str());
    return 1;
  }
  Model m;
  if (StartUp(m)) return 1;

  ObservationSource obs(folder);
  obs.SwitchKind(SourceKind::Obs, nullptr);
  ObsSettings s;
  ApplyPresets(obs.SelectObservatory(1, 4).presets, s);
  s.Npl = 4, s.day = 31, s.month = 12, s.year = 2059, s.years = 100;
  long long steps = 0;
  double t = Run(m, obs, s, &steps);
  std::printf("observatory run GREN Mars 1960-2059: %lld steps in %.3f s, %.0f steps/s\n", steps, t, steps / t);

  ObservationSource tab(folder, [](std::string_view) { return std::make_unique<ConstantWorkbook>(); });
  ObsSettings ts;
  ApplyPresets(tab.SelectTable(7).presets, ts);  // RudolphineTables
  ts.Npl = 4, ts.years = 200;
  t = Run(m, tab, ts, &steps);
  std::printf("table run Rudolphine Mars 200 years at 3.31 d: %lld steps in %.3f s, %.0f steps/s\n", steps, t,
              steps / t);
  ts.fileTrace = ts.fileParam = ts.fileBad = true;
  t = Run(m, tab, ts, &steps);
  std::printf("the same with the three files: %lld steps in %.3f s, %.0f steps/s\n", steps, t, steps / t);
  return 0;
}
