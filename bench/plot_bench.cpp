// Time to write the drift plot of the 400-year Mercury orbit file (perihelion,
// groups of 50, as `torvik6-cli drift FILE --element 1 --group 50 --plot`)
// as PNG, SVG and PDF through Cairo, the file's loading and fit apart, with the
// bytes of each image; the first drawing (font set-up) shown on its own.
// Usage: plot_bench [ORBIT_FILE] [REPEATS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/model.h"
#include "stats/plot_image.h"
#include "stats/statistics.h"

using namespace torvik;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

}  // namespace

int main(int argc, char** argv) {
  const std::string file = argc > 1 ? argv[1] : "tests/data/stats/Torvik1RasB1_400y.txt";
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
  Model m;
  SetConstants(m);
  Statistics st(Statistics::ModelColours(m), ".");
  StatsInputs in;
  in.p = 1;
  in.NCP = 50;
  auto t0 = Clock::now();
  StatsOutcome o = st.LoadRunFileAt(file, file, DataKind::PlanRun, in);
  if (o.message) {
    std::fprintf(stderr, "plot_bench: %s: %s\n", file.c_str(), o.message->text.c_str());
    return 1;
  }
  in.IStart = 1, in.IEnd = *o.fields.IEnd, in.T0 = *o.fields.T0;
  o = st.ProcessData(in);
  std::printf("load and fit: %.3f s, %zu plot items\n", Seconds(t0), st.plot().items.size());
  const auto dir = std::filesystem::temp_directory_path();
  std::string error;
  t0 = Clock::now();
  if (!WritePlotImage(st.plot(), dir / "torvik6_plot_bench.png", &error)) {
    std::fprintf(stderr, "plot_bench: %s\n", error.c_str());
    return 1;
  }
  std::printf("first PNG (with the font set-up): %.3f s\n", Seconds(t0));
  for (const char* ext : {"png", "svg", "pdf"}) {
    const auto out = dir / (std::string("torvik6_plot_bench.") + ext);
    t0 = Clock::now();
    for (int i = 0; i < repeats; ++i)
      if (!WritePlotImage(st.plot(), out, &error)) {
        std::fprintf(stderr, "plot_bench: %s\n", error.c_str());
        return 1;
      }
    std::printf("%s: %.4f s per image, %ju bytes\n", ext, Seconds(t0) / repeats,
                static_cast<std::uintmax_t>(std::filesystem::file_size(out)));
    std::filesystem::remove(out);
  }
  return 0;
}
