#include "stats/plot.h"

#include <cmath>

#include "core/textfile.h"

namespace torvik {

void Plot::Grid() {
  // Verticals x = u up to W − 1 and horizontals y = v up to H, both rounded;
  // labels: time u − 1 along the bottom, element v − 1 on the left, drift v − 5
  // on the right (the drift diagram's zero line y = 5 reads 0).
  // A surface of absurd size (a tiny scale) gets at most kMaxGridLines lines each way.
  constexpr double kMaxGridLines = 5000;
  const double uMax = std::fmin(std::round(W - 1), kMaxGridLines), vMax = std::fmin(std::round(H), kMaxGridLines);
  for (double u = 0; u <= uMax; ++u) {
    Line(u, 0, u, H, kGridGrey);
    Text(u, 0.5, NumberText(u - 1));
  }
  for (double v = 0; v <= vMax; ++v) {
    Line(0, v, W, v, kGridGrey);
    Text(0, v + 0.5, NumberText(v - 1));
    Text(W - 1, v + 0.5, NumberText(v - 5));
  }
  Line(0, 5, W, 5, kZeroGrey);
  Text(0.1, H, "Alfa");
  Text(W - 2, H, "dAlfa");
}

void Plot::Line(double x1, double y1, double x2, double y2, Rgb c) {
  items.push_back({PlotItem::Kind::Line, x1, y1, x2, y2, 0, c, {}});
}

void Plot::Dot(double x, double y, Rgb c) { items.push_back({PlotItem::Kind::Dot, x, y, x, y, 0, c, {}}); }

void Plot::Circle(double x, double y, double r, Rgb c) {
  items.push_back({PlotItem::Kind::Circle, x, y, x, y, r, c, {}});
}

void Plot::Text(double x, double y, std::string text, Rgb c) {
  items.push_back({PlotItem::Kind::Text, x, y, x, y, 0, c, std::move(text)});
}

}  // namespace torvik
