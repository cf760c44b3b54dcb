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
// Texts are set 12 pixels high (DejaVu Sans); a character takes at most
// kPlotCharWidth plot cm (the digits and most capitals are 7.6 pixels wide) and
// a text line kPlotTextHeight from its upper edge down.
inline constexpr double kPlotFontPixels = 12;  // about the 9-point font of the screens
inline constexpr double kPlotCharWidth = 8.0 / kPlotPixelsPerCm;
inline constexpr double kPlotTextHeight = 0.5;
// Group borders closer than this many pixels are thinned to every k-th one.
inline constexpr double kPlotMinBorderPixels = 10.0;

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
// The paper under a text that could not be set clear of the curves.
inline constexpr Rgb kPlotPaper{255, 255, 255};

struct PlotItem {
  enum class Kind : std::uint8_t { Line, Dot, Circle, Text };
  Kind kind = Kind::Line;
  double x1 = 0, y1 = 0;  // line start, dot, circle centre, upper-left corner of a text
  double x2 = 0, y2 = 0;  // line end
  double r = 0;           // circle radius, plot cm
  Rgb colour;
  std::string text;       // UTF-8; numbers with "." (the screen shows the locale's separator)
};

// The rectangle a text takes at most, in plot cm: from its upper-left corner
// (x1, y1) kPlotCharWidth per character to the right and kPlotTextHeight down.
struct PlotBox {
  double left = 0, bottom = 0, right = 0, top = 0;
  bool Overlaps(const PlotBox& o) const {
    return left < o.right && o.left < right && bottom < o.top && o.bottom < top;
  }
};
double PlotTextWidth(const std::string& utf8);
PlotBox PlotTextBox(double x, double y, const std::string& utf8);
PlotBox PlotTextBox(const PlotItem& text);

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
  // diagram (y = 5) and, as its last kGridCaptions items, the captions
  // "Alfa" and "dAlfa".
  void Grid();
  static constexpr std::size_t kGridCaptions = 2;

  void Line(double x1, double y1, double x2, double y2, Rgb c);
  void Dot(double x, double y, Rgb c);
  void Circle(double x, double y, double r, Rgb c);
  void Text(double x, double y, std::string text, Rgb c = kPlotBlack);

  // A line across the whole surface (a grid line, a group border, the mark of
  // a selected point): texts may stand on it. Every other line (but the
  // paper under a text), dot and circle is a curve that texts keep clear of.
  bool IsRule(const PlotItem& it) const;
  // Moves every text from items[from] on to the nearest place inside the
  // surface where it crosses no curve and no other text, in order (a text
  // already placed is an obstacle for the next one). A text wider than the
  // surface between its side labels is first broken into lines before the
  // runs of blanks that start a new name. A text for which no such place
  // exists goes to the nearest place clear of the other texts, on paper:
  // lines of kPlotPaper under it, the text moved to the end of the items.
  void SettleTexts(std::size_t from);
};

}  // namespace torvik
