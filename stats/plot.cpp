#include "stats/plot.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "core/textfile.h"

namespace torvik {

namespace {

std::size_t CodePointCount(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// Which cells of the surface something inks: curves, and the texts placed so
// far. Cells of 0.1 plot cm (coarser on a huge surface), counted by a summed
// area table so that a box is tested in constant time.
class Occupancy {
 public:
  Occupancy(double W, double H) : W_(W), H_(H) {
    constexpr double kMaxCells = 4e6;
    cell_ = 0.1;
    const double want = (W / cell_ + 1) * (H / cell_ + 1);
    if (want > kMaxCells) cell_ *= std::sqrt(want / kMaxCells);
    nx_ = static_cast<std::size_t>(std::ceil(W / cell_)) + 1;
    ny_ = static_cast<std::size_t>(std::ceil(H / cell_)) + 1;
    inked_.assign(nx_ * ny_, 0);
  }

  void Dot(double x, double y) {
    if (!(x >= 0 && y >= 0 && x <= W_ && y <= H_)) return;
    inked_[Index(x, y)] = 1;
  }

  void Segment(double x1, double y1, double x2, double y2) {
    if (!Clip(x1, y1, x2, y2)) return;
    const double len = std::hypot(x2 - x1, y2 - y1);
    const auto n = static_cast<std::size_t>(std::min(1e6, std::ceil(len / (cell_ / 2)))) + 1;
    for (std::size_t i = 0; i <= n; ++i) {
      const double t = static_cast<double>(i) / static_cast<double>(n);
      Dot(x1 + (x2 - x1) * t, y1 + (y2 - y1) * t);
    }
  }

  void Circle(double x, double y, double r) {
    if (x + r < 0 || x - r > W_ || y + r < 0 || y - r > H_) return;
    const auto n = static_cast<std::size_t>(std::clamp(std::ceil(2 * M_PI * r / (cell_ / 2)), 8.0, 1e5));
    for (std::size_t i = 0; i < n; ++i) {
      const double a = 2 * M_PI * static_cast<double>(i) / static_cast<double>(n);
      Dot(x + r * std::cos(a), y + r * std::sin(a));
    }
  }

  void Box(const PlotBox& b) {
    const auto [x0, x1, y0, y1] = Cells(b);
    for (std::size_t j = y0; j <= y1; ++j)
      for (std::size_t i = x0; i <= x1; ++i) inked_[j * nx_ + i] = 1;
    summed_.clear();
  }

  bool Free(const PlotBox& b) {
    if (summed_.empty()) Sum();
    const auto [x0, x1, y0, y1] = Cells(b);
    const std::size_t w = nx_ + 1;
    const auto at = [&](std::size_t i, std::size_t j) { return summed_[j * w + i]; };
    return at(x1 + 1, y1 + 1) - at(x0, y1 + 1) - at(x1 + 1, y0) + at(x0, y0) == 0;
  }

 private:
  std::size_t Index(double x, double y) const {
    const auto i = std::min(nx_ - 1, static_cast<std::size_t>(x / cell_));
    const auto j = std::min(ny_ - 1, static_cast<std::size_t>(y / cell_));
    return j * nx_ + i;
  }

  struct Range {
    std::size_t x0, x1, y0, y1;
  };
  Range Cells(const PlotBox& b) const {
    auto c = [&](double v, double hi, std::size_t n) {
      return std::min(n - 1, static_cast<std::size_t>(std::clamp(v, 0.0, hi) / cell_));
    };
    return {c(b.left, W_, nx_), c(b.right, W_, nx_), c(b.bottom, H_, ny_), c(b.top, H_, ny_)};
  }

  void Sum() {
    const std::size_t w = nx_ + 1;
    summed_.assign(w * (ny_ + 1), 0);
    for (std::size_t j = 0; j < ny_; ++j)
      for (std::size_t i = 0; i < nx_; ++i)
        summed_[(j + 1) * w + i + 1] =
            inked_[j * nx_ + i] + summed_[j * w + i + 1] + summed_[(j + 1) * w + i] - summed_[j * w + i];
  }

  // The part of the segment inside the surface (Liang–Barsky); false when none.
  bool Clip(double& x1, double& y1, double& x2, double& y2) const {
    if (!(std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2))) return false;
    double t0 = 0, t1 = 1;
    const double dx = x2 - x1, dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy}, q[4] = {x1, W_ - x1, y1, H_ - y1};
    for (int i = 0; i < 4; ++i) {
      if (p[i] == 0) {
        if (q[i] < 0) return false;
        continue;
      }
      const double r = q[i] / p[i];
      if (p[i] < 0) t0 = std::max(t0, r);
      else t1 = std::min(t1, r);
      if (t0 > t1) return false;
    }
    const double ax = x1 + t0 * dx, ay = y1 + t0 * dy;
    x2 = x1 + t1 * dx, y2 = y1 + t1 * dy;
    x1 = ax, y1 = ay;
    return true;
  }

  double W_, H_, cell_;
  std::size_t nx_ = 0, ny_ = 0;
  std::vector<std::uint8_t> inked_;
  std::vector<std::uint32_t> summed_;
};

// A text too wide for `width` broken at its runs of two or more blanks into
// lines that fit (a piece wider than the surface stays whole).
std::vector<std::string> BreakText(const std::string& text, double width) {
  std::vector<std::string> pieces;
  // A run of blanks before a number joins the number to its name ("Alfa=  0.5").
  auto startsWord = [&](std::size_t i) {
    const std::size_t next = text.find_first_not_of(' ', i);
    return next != std::string::npos && !std::isdigit(static_cast<unsigned char>(text[next])) && text[next] != '-' &&
           text[next] != '.';
  };
  std::size_t start = 0;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == ' ' && text[i + 1] == ' ' && text[i - 1] != ' ' && startsWord(i)) {
      pieces.push_back(text.substr(start, i - start));
      start = i;
    }
  }
  pieces.push_back(text.substr(start));
  std::vector<std::string> lines;
  for (const std::string& p : pieces) {
    if (!lines.empty() && PlotTextWidth(lines.back() + p) <= width) {
      lines.back() += p;
    } else {
      std::string line = lines.empty() ? std::string() : std::string(1, ' ');
      const std::size_t word = lines.empty() ? 0 : std::min(p.find_first_not_of(' '), p.size());
      line.append(p, word, std::string::npos);
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

}  // namespace

double PlotTextWidth(const std::string& utf8) { return static_cast<double>(CodePointCount(utf8)) * kPlotCharWidth; }

PlotBox PlotTextBox(double x, double y, const std::string& utf8) {
  return {x, y - kPlotTextHeight, x + PlotTextWidth(utf8), y};
}

PlotBox PlotTextBox(const PlotItem& text) { return PlotTextBox(text.x1, text.y1, text.text); }

void Plot::Grid() {
  // Verticals x = u up to W − 1 and horizontals y = v up to H, both rounded;
  // labels: time u − 1 along the bottom, element v − 1 on the left, drift v − 5
  // on the right (the drift diagram's zero line y = 5 reads 0). A label of
  // the side axes that would run into a time label or into the captions
  // "Alfa" and "dAlfa" is left out.
  // A surface of absurd size (a tiny scale) gets at most kMaxGridLines lines each way.
  constexpr double kMaxGridLines = 5000;
  const double uMax = std::fmin(std::round(W - 1), kMaxGridLines), vMax = std::fmin(std::round(H), kMaxGridLines);
  std::vector<PlotBox> taken;
  for (double u = 0; u <= uMax; ++u) {
    Line(u, 0, u, H, kGridGrey);
    const std::string label = NumberText(u - 1);
    Text(u, 0.5, label);
    taken.push_back(PlotTextBox(u, 0.5, label));
  }
  taken.push_back(PlotTextBox(0.1, H, "Alfa"));
  taken.push_back(PlotTextBox(W - 2, H, "dAlfa"));
  auto sideLabel = [&](double x, double y, const std::string& label, bool time) {
    const PlotBox b = PlotTextBox(x, y, label);
    // The bottom-left label reads −1 like the time label under it.
    for (const PlotBox& t : taken)
      if (b.Overlaps(t) && !(time && t.left == b.left && t.top == b.top)) return;
    Text(x, y, label);
  };
  for (double v = 0; v <= vMax; ++v) {
    Line(0, v, W, v, kGridGrey);
    sideLabel(0, v + 0.5, NumberText(v - 1), true);
    sideLabel(W - 1, v + 0.5, NumberText(v - 5), false);
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

bool Plot::IsRule(const PlotItem& it) const {
  if (it.kind != PlotItem::Kind::Line) return false;
  const bool vertical = it.x1 == it.x2 && std::fmin(it.y1, it.y2) <= 0 && std::fmax(it.y1, it.y2) >= H;
  const bool horizontal = it.y1 == it.y2 && std::fmin(it.x1, it.x2) <= 0 && std::fmax(it.x1, it.x2) >= W;
  return vertical || horizontal;
}

// The columns of the left and right axis labels.
constexpr double kSideLabels = 1.8;

void Plot::SettleTexts(std::size_t from) {
  if (!(W > 0 && H > 0 && std::isfinite(W) && std::isfinite(H)) || from >= items.size()) return;
  // Texts wider than the surface between its side labels are broken into lines first.
  const double usable = std::max(1.0, W - kSideLabels);
  for (std::size_t i = from; i < items.size(); ++i) {
    if (items[i].kind != PlotItem::Kind::Text || PlotTextWidth(items[i].text) <= usable) continue;
    const std::vector<std::string> lines = BreakText(items[i].text, usable);
    PlotItem proto = items[i];
    items[i].text = lines[0];
    for (std::size_t k = 1; k < lines.size(); ++k) {
      proto.text = lines[k];
      proto.y1 = proto.y2 = items[i].y1 - kPlotTextLine * static_cast<double>(k);
      items.insert(items.begin() + static_cast<std::ptrdiff_t>(i + k), proto);
    }
    i += lines.size() - 1;
  }
  // `ink`: what texts keep clear of (curves and texts); `words`: the texts alone.
  Occupancy ink(W, H), words(W, H);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const PlotItem& it = items[i];
    switch (it.kind) {
      case PlotItem::Kind::Line:
        if (!IsRule(it) && it.colour != kPlotPaper) ink.Segment(it.x1, it.y1, it.x2, it.y2);
        break;
      case PlotItem::Kind::Dot: ink.Dot(it.x1, it.y1); break;
      case PlotItem::Kind::Circle: ink.Circle(it.x1, it.y1, it.r); break;
      case PlotItem::Kind::Text:
        if (i < from) ink.Box(PlotTextBox(it)), words.Box(PlotTextBox(it));
        break;
    }
  }
  // A little room around a text so that it does not touch a curve.
  constexpr double kMargin = 0.05, kStepX = 0.2, kStepY = 0.1;
  auto padded = [&](double x, double y, double w) {
    return PlotBox{x - kMargin, y - kPlotTextHeight - kMargin, x + w + kMargin, y + kMargin};
  };
  std::vector<PlotItem> backed;  // texts set on paper, moved after everything they cover
  std::vector<std::size_t> moved;
  for (std::size_t i = from; i < items.size(); ++i) {
    PlotItem& it = items[i];
    if (it.kind != PlotItem::Kind::Text || !std::isfinite(it.x1) || !std::isfinite(it.y1)) continue;
    const double w = PlotTextWidth(it.text);
    const double xMax = std::max(0.0, W - w), yMin = std::min(kPlotTextHeight, H);
    const double x0 = std::clamp(it.x1, 0.0, xMax), y0 = std::clamp(it.y1, yMin, H);
    // The nearest place, within kReach of the intended one, where `map` is free.
    auto nearest = [&](Occupancy& map, double& bx, double& by) {
      if (map.Free(padded(x0, y0, w))) {
        bx = x0, by = y0;
        return true;
      }
      constexpr double kReach = 25;  // a huge surface is not searched whole
      const double yLo = std::max(yMin, y0 - kReach), yHi = std::min(H, y0 + kReach);
      const auto nxSteps = static_cast<std::size_t>(xMax / kStepX);
      const auto nySteps = static_cast<std::size_t>(std::max(0.0, yHi - yLo) / kStepY);
      double best = std::numeric_limits<double>::infinity();
      for (std::size_t b = 0; b <= nySteps; ++b) {
        const double y = yLo + kStepY * static_cast<double>(b);
        for (std::size_t a = 0; a <= nxSteps + 1; ++a) {
          const double x = a <= nxSteps ? kStepX * static_cast<double>(a) : x0;
          const double d = (x - x0) * (x - x0) + (y - y0) * (y - y0);
          if (d < best && map.Free(padded(x, y, w))) best = d, bx = x, by = y;
        }
      }
      return std::isfinite(best);
    };
    double x = x0, y = y0;
    // Where no place is clear of the curves, the text goes on paper at the
    // nearest place clear of the other texts.
    const bool clear = nearest(ink, x, y);
    if (!clear && !nearest(words, x, y)) x = x0, y = y0;
    it.x1 = it.x2 = x;
    it.y1 = it.y2 = y;
    ink.Box(PlotTextBox(it));
    words.Box(PlotTextBox(it));
    if (!clear) {
      backed.push_back(it);
      moved.push_back(i);
    }
  }
  for (auto k = moved.rbegin(); k != moved.rend(); ++k) items.erase(items.begin() + static_cast<std::ptrdiff_t>(*k));
  for (const PlotItem& t : backed) {
    const PlotBox b = padded(t.x1, t.y1, PlotTextWidth(t.text));
    const double every = 0.5 / kPlotPixelsPerCm;  // two lines a pixel
    for (double y = b.bottom; y <= b.top; y += every) Line(b.left, y, b.right, y, kPlotPaper);
    items.push_back(t);
  }
}

}  // namespace torvik
