#include "tools/sketch.h"

#include <cmath>

namespace torvik {

void Sketch::Add(Shape s) {
  if (!ok_) return;
  if (!std::isfinite(s.x1) || !std::isfinite(s.y1) || !std::isfinite(s.x2) || !std::isfinite(s.y2) ||
      !std::isfinite(s.radius) || !std::isfinite(s.aspect)) {
    ok_ = false;
    return;
  }
  shapes_.push_back(std::move(s));
}

}  // namespace torvik
