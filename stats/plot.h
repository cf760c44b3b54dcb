// The plot of the statistics screen as data: a list of lines, dots, circles and
// texts in plot centimetres (x to the right from 0 to W, y upward from 0 to H).
// What is drawn stays until Clear, so overlaid runs share one plot. The screen
// paints the list; stats/plot_image.h draws the same list into a PNG, SVG or
// PDF file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/colour.h"

namespace torvik {

// Pixels per plot centimetre of the screen's drawing surface.
inline constexpr double kPlotPixelsPerCm = 24.9;
// Height of one text line in plot centimetres (the "next line" of printed texts).
inline constexpr double kPlotTextLine = 0.6;

// Pixels per plot unit across and up of the surface a plot is painted on: the
// statistics screen's kPlotPixelsPerCm both ways unless a picture says otherwise.
struct PlotScale {
  double x = kPlotPixelsPerCm;
  double y = kPlotPixelsPerCm;
};

inline constexpr Rgb kZeroGrey{150, 150, 150};
inline constexpr Rgb kPlotRed{255, 0, 0};
inline constexpr Rgb kPlotGreen{0, 235, 0};
inline constexpr Rgb kPlotBlack{0, 0, 0};

struct PlotItem {
  enum class Kind : std::uint8_t { Line, Dot, Circle, Text };
  Kind kind = Kind::Line;
  double x1 = 0, y1 = 0;  // line start, dot, circle centre, upper-left corner of a text
  double x2 = 0, y2 = 0;  // line end
  double r = 0;           // circle radius, plot cm
  Rgb colour;
  std::string text;       // UTF-8; numbers with "." (the screen shows the locale's separator)
};

class Plot {
 public:
  double W = 35.0;  // plot cm
  double H = 20.0;
  std::vector<PlotItem> items;

  // Sets the surface size (plot cm); the items stay.
  void Size(double w, double h) {
    W = w;
    H = h;
  }
  void Clear() { items.clear(); }
  // Light grey unit grid with the axis labels, the zero line of the drift
  // diagram (y = 5) and the captions "Alfa" and "dAlfa".
  void Grid();

  void Line(double x1, double y1, double x2, double y2, Rgb c);
  void Dot(double x, double y, Rgb c);
  void Circle(double x, double y, double r, Rgb c);
  void Text(double x, double y, std::string text, Rgb c = kPlotBlack);
};

}  // namespace torvik
