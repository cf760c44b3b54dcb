#include "observe/deviation_plot.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace torvik {

namespace {

constexpr Rgb kAxisGrey{120, 120, 120};
constexpr Rgb kLimitGreen{0, 240, 0};

std::uint32_t Key(Rgb c) { return (1u << 24) | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; }

}  // namespace

DeviationPlot::DeviationPlot(DeviationView view) : v_(view) {
  plot_.Size(kDeviationW, kDeviationH);
  Clear();
}

void DeviationPlot::Clear() {
  plot_.Clear();
  pixels_.assign(static_cast<std::size_t>(kDeviationPixelsW) * kDeviationPixelsH, Pixel{});
  stamp_ = 0;
  for (int x = 1; x <= 19; ++x) plot_.Line(x, 0, x, 6, kGridGrey);
  for (int y : {1, 2, 4, 5}) plot_.Line(0, y, 20, y, kGridGrey);
  plot_.Line(0, 3, 20, 3, kAxisGrey);
}

void DeviationPlot::Begin(const ObservationRun& run, SourceKind kind) {
  JDplot_ = run.JDstart();
  direction_ = kind == SourceKind::Tab ? 1.0 : -1.0;
  const ObsSettings& s = run.settings();
  if (s.dRlimit) {
    const double y = s.live.dRmax / v_.MdR + v_.dY;
    plot_.Line(0, y, 20, y, kLimitGreen);
  }
}

void DeviationPlot::Step(const ObservationRun& run, const ObsStepResult& r) {
  if (!r.reduced && !r.rejected) return;
  const double X = (run.JDut() - JDplot_) * direction_ / 365.25 / v_.MT;
  if (v_.theory) {
    if (v_.L) Point(X, run.Lteor() / v_.MAlfa + v_.dY, Rgb{0, 0, 255});
    if (v_.B) Point(X, run.Bteor() / v_.MdAlfa + v_.dY, Rgb{50, 0, 200});
  }
  if (v_.source) {
    if (v_.L) Point(X, run.Lnab() / v_.MAlfa + v_.dY, Rgb{220, 250, 0});
    if (v_.B) Point(X, run.Bnab() / v_.MdAlfa + v_.dY, Rgb{220, 250, 0});
  }
  if (v_.dLdB) {
    Point(X, run.dLpl() / v_.MdAlfa + 3 + v_.dY, Rgb{255, 0, 0});
    Point(X, run.dBpl() / v_.MdAlfa + 3 + v_.dY, Rgb{0, 130, 130});
  }
  if (v_.dR) {
    const double y = run.dRpl() / v_.MdR + v_.dY;
    if (r.rejected) Circle(X, y, 0.15, Rgb{0, 0, 200});
    else Point(X, y, Rgb{0, 0, 200});
  }
  if (v_.dRsr) {
    const double c = run.rows().criterion;
    const double y = run.settings().criterion == ObsCriterion::dR ? c / v_.MdR + v_.dY : c / 3600 / v_.MdAlfa + v_.dY;
    Point(X, y, Rgb{0, 0, 0});
  }
}


std::optional<std::size_t> DeviationPlot::PixelOf(double x, double y) {
  // The pixel as the painters find it.
  const double px = std::floor(x * kDeviationScale.x), py = std::floor((kDeviationH - y) * kDeviationScale.y);
  if (!(px >= 0 && py >= 0 && px < kDeviationPixelsW && py < kDeviationPixelsH)) return std::nullopt;
  return static_cast<std::size_t>(py) * kDeviationPixelsW + static_cast<std::size_t>(px);
}

// A point hides whatever point lay on its pixel: when nothing else was drawn
// there since, the earlier point takes the new colour instead of a new item.
void DeviationPlot::Point(double x, double y, Rgb c) {
  const auto p = PixelOf(x, y);
  if (!p) return;
  Pixel& px = pixels_[*p];
  const std::uint32_t colour = Key(c);
  px.stamp = ++stamp_;
  if (px.point == colour) return;
  if (px.point) {
    plot_.items[px.dotItem].colour = c;
  } else {
    px.dotItem = static_cast<std::uint32_t>(plot_.items.size());
    plot_.Dot(x, y, c);
  }
  px.point = colour;
}

// A circle is left out when the same one is centred on the same pixel and
// nothing was drawn over its square since; it covers the points under it.
void DeviationPlot::Circle(double x, double y, double r, Rgb c) {
  const double fx = std::floor(x * kDeviationScale.x), fy = std::floor((kDeviationH - y) * kDeviationScale.y);
  const double d = std::ceil(r * kDeviationScale.x) + 1;
  if (!(fx + d >= 0 && fy + d >= 0 && fx - d < kDeviationPixelsW && fy - d < kDeviationPixelsH)) return;
  const int x0 = static_cast<int>(std::max(fx - d, 0.0)), x1 = static_cast<int>(std::min(fx + d, kDeviationPixelsW - 1.0));
  const int y0 = static_cast<int>(std::max(fy - d, 0.0)), y1 = static_cast<int>(std::min(fy + d, kDeviationPixelsH - 1.0));
  auto pixel = [&](int px, int py) -> Pixel& {
    return pixels_[static_cast<std::size_t>(py) * kDeviationPixelsW + static_cast<std::size_t>(px)];
  };
  const auto centre = PixelOf(x, y);
  const std::uint32_t colour = Key(c);
  if (centre) {
    const Pixel& at = pixels_[*centre];
    bool same = at.circle == colour;
    for (int py = y0; py <= y1 && same; ++py)
      for (int px = x0; px <= x1 && same; ++px) same = pixel(px, py).stamp <= at.circleStamp;
    if (same) return;
  }
  ++stamp_;
  for (int py = y0; py <= y1; ++py)
    for (int px = x0; px <= x1; ++px) {
      Pixel& q = pixel(px, py);
      q.point = 0;
      q.stamp = stamp_;
    }
  if (centre) {
    pixels_[*centre].circle = colour;
    pixels_[*centre].circleStamp = stamp_;
  }
  plot_.Circle(x, y, r, c);
}

}  // namespace torvik
