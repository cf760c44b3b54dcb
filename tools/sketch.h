// A picture described without a windowing toolkit: the shapes a tool screen
// paints, in the user coordinates ("centimetres") of its picture. The
// computation builds the list, the screen only paints it in order.
#pragma once

#include <string>
#include <vector>

#include "core/colour.h"

namespace torvik {

struct Shape {
  enum Kind { kLine, kCircle, kText, kPoint };
  Kind kind = kLine;
  double x1 = 0.0, y1 = 0.0;  // line start, circle centre, text corner, point
  double x2 = 0.0, y2 = 0.0;  // line end
  double radius = 0.0;        // circle radius in horizontal units
  double aspect = 1.0;        // circle height / width
  Rgb colour;
  std::string text;  // UTF-8
};

class Sketch {
 public:
  void Line(double x1, double y1, double x2, double y2, Rgb c) { Add({Shape::kLine, x1, y1, x2, y2, 0, 1, c, {}}); }
  void Circle(double x, double y, double r, Rgb c, double aspect = 1.0) {
    Add({Shape::kCircle, x, y, 0, 0, r, aspect, c, {}});
  }
  void Text(double x, double y, std::string text, Rgb c) { Add({Shape::kText, x, y, 0, 0, 0, 1, c, std::move(text)}); }
  void Point(double x, double y, Rgb c) { Add({Shape::kPoint, x, y, 0, 0, 0, 1, c, {}}); }

  const std::vector<Shape>& Shapes() const { return shapes_; }
  // False once a shape had a coordinate that is not finite (a scale of 0):
  // that shape and everything after it is dropped.
  bool Ok() const { return ok_; }

 private:
  void Add(Shape s);
  std::vector<Shape> shapes_;
  bool ok_ = true;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kGreen{0, 220, 0};

}  // namespace torvik
