// The deviation plot of the observation screen as data: dL and dB (degrees),
// dR (thousand km) and the running criterion of every step against the time
// since the run's start, on the screen's grid of 20 x 6 units (540 x 170
// pixels, y upward, the zero line of dL and dB at y = 3). The screen paints the
// same picture step by step; torvik6-cli observe --plot draws the collected
// plot into a file (stats/plot_image.h).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "observe/run.h"
#include "stats/plot.h"

namespace torvik {

// The scales and check boxes under the screen's picture, with their defaults.
struct DeviationView {
  double MT = 10;      // "МТ, лет/см"
  double MAlfa = 90;   // "MAlfa, град/см"
  double MdAlfa = 1;   // "MdAlfa, град/см"
  double MdR = 50;     // "MdR,тыс.км/см"
  double dY = 0;       // "dY, см"
  bool theory = false, source = false;  // "теория вид.", "набл. вид."
  bool dLdB = true, L = true, B = false, dR = true, dRsr = true;
};

inline constexpr double kDeviationW = 20, kDeviationH = 6;
inline constexpr int kDeviationPixelsW = 540, kDeviationPixelsH = 170;
// Pixels per unit of the screen's picture.
inline constexpr PlotScale kDeviationScale{kDeviationPixelsW / kDeviationW, kDeviationPixelsH / kDeviationH};

class DeviationPlot {
 public:
  explicit DeviationPlot(DeviationView view = {});

  // The empty picture: the grid and the zero line of dL and dB.
  void Clear();
  // What a run start adds: the line of dRmax when the limit is on. Time then
  // counts from the run's start, forward for a table, backward for an
  // observatory's records.
  void Begin(const ObservationRun& run, SourceKind kind);
  // The points of a step that reached the deviations (a rejected dR as a circle).
  // A point outside the picture is left out, one on the pixel of an earlier
  // point recolours it (the picture stays the same): a long run keeps a few
  // items per pixel at most.
  void Step(const ObservationRun& run, const ObsStepResult& r);

  const Plot& plot() const { return plot_; }

 private:
  // What was drawn last on a pixel of the picture; colours as 1 + RGB, 0 none.
  struct Pixel {
    std::uint32_t point = 0;        // the last point on it, unless covered since
    std::uint32_t dotItem = 0;      // and its item
    std::uint32_t stamp = 0;        // when something was last drawn on it
    std::uint32_t circle = 0;       // the last circle centred on it
    std::uint32_t circleStamp = 0;  // and when
  };
  static std::optional<std::size_t> PixelOf(double x, double y);
  void Point(double x, double y, Rgb c);
  void Circle(double x, double y, double r, Rgb c);

  DeviationView v_;
  Plot plot_;
  double JDplot_ = 0, direction_ = 1;
  std::vector<Pixel> pixels_;
  std::uint32_t stamp_ = 0;
};

}  // namespace torvik
