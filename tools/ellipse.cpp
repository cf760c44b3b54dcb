#include "tools/ellipse.h"

#include <cmath>

#include "core/fields.h"

namespace torvik {

namespace {

ActionResult BadData() { return UserMessage{kMsgEllipseBadData, kTitle0}; }

bool Read(const std::string& text, double* out) {
  auto v = ParseFieldNumber(text);
  if (!v) return false;
  *out = *v;
  return true;
}

constexpr double kMarker = 0.1;  // radius of the body markers, picture units
constexpr double kTwoPi = 2.0 * 3.14159265359;

}  // namespace

ActionResult ReadEllipseInputs(const EllipseTexts& t, EllipseInputs* out) {
  EllipseInputs in;
  if (!Read(t.a, &in.a) || !Read(t.e1, &in.e1) || !Read(t.e2, &in.e2) || !Read(t.w, &in.w) ||
      !Read(t.mx, &in.mx) || !Read(t.step, &in.step))
    return BadData();
  if (auto r = ReadEllipseScales(t, &in)) return r;
  *out = in;
  return std::nullopt;
}

ActionResult ReadEllipseScales(const EllipseTexts& t, EllipseInputs* in) {
  EllipseInputs next = *in;
  if (!Read(t.mt, &next.mt) || !Read(t.mdAlfa, &next.mdAlfa) || !Read(t.mdR, &next.mdR) ||
      !Read(t.step, &next.step))
    return BadData();
  *in = next;
  return std::nullopt;
}

void EllipseComparison::Start(const EllipseInputs& in, EccentricModel model) {
  in_ = in;
  const double a = in.a;
  ellipseCentre_ = {in.e1 * a, 0.0};
  eccentricCentre_ = {model == EccentricModel::Equant ? in.e2 * a / 2.0 : in.e2 * a, 0.0};
  equant_ = {in.e2 * a, 0.0};
  b_ = std::sqrt((1.0 - in.e1 * in.e1) * a * a);
  // Nothing drawn yet: the first erase goes over the fixed points (point 3's is the Sun).
  erase_ = {ellipseCentre_, eccentricCentre_, equant_, Point{}};
  cur_ = erase_;
  wDay_ = in.w / 365.25;
  T_ = 0.0;
  started_ = true;
}

bool EllipseComparison::Step(EccentricModel model, const EllipseInputs& scales, EllipseStep* out) {
  const double a = in_.a, e1 = in_.e1, e2 = in_.e2;
  const double M = T_ * wDay_;
  EllipseStep s;
  s.T = T_;
  // Ellipse, angles from the aphelion: the equation of the centre to e².
  s.theta1 = M - (2.0 * e1 * std::sin(M) - 1.25 * e1 * e1 * std::sin(2.0 * M));
  s.r1 = a * (1.0 + e1 * e1 / 2.0 + e1 * std::cos(M) - (e1 * e1 / 2.0) * std::cos(2.0 * M));
  std::array<Point, 4> p = cur_;
  p[0] = {s.r1 * std::cos(s.theta1), s.r1 * std::sin(s.theta1)};
  if (model == EccentricModel::Simple) {
    // Uniform about the eccentric centre e2·a.
    s.theta2 = M - (e2 * std::sin(M) - (e2 * e2 / 2.0) * std::sin(2.0 * M));
    s.r2 = a * (1.0 + e2 * e2 / 4.0 + e2 * std::cos(M) - (e2 * e2 / 4.0) * std::cos(2.0 * M));
    p[3] = {a * std::cos(M), a * std::sin(M)};
  } else {
    // On the circle about e2·a/2, uniform as seen from the equant e2·a.
    s.theta2 = M - (e2 * std::sin(M) - (e2 * e2 / 4.0) * std::sin(2.0 * M));
    s.r2 = a * (1.0 + 3.0 * e2 * e2 / 16.0 + (e2 / 2.0) * std::cos(M) - (3.0 * e2 * e2 / 16.0) * std::cos(2.0 * M));
    p[2] = {a * (e2 + std::cos(M)), a * std::sin(M)};
  }
  p[1] = {s.r2 * std::cos(s.theta2), s.r2 * std::sin(s.theta2)};
  s.dAlfa = s.theta1 - s.theta2;
  s.dR = s.r1 - s.r2;
  const double next = T_ + scales.step;
  for (double v : {s.theta1, s.theta2, s.r1, s.r2, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y, next})
    if (!std::isfinite(v)) return false;
  erase_ = cur_;
  cur_ = p;
  T_ = next;
  in_.step = scales.step;
  in_.mt = scales.mt;
  in_.mdAlfa = scales.mdAlfa;
  in_.mdR = scales.mdR;
  *out = s;
  return true;
}

Sketch EllipseComparison::DrawOrbit(EccentricModel model) const {
  Sketch k;
  const double mx = in_.mx, a = in_.a / mx, off = in_.e2 * in_.a / mx;
  auto at = [mx](const Point& p) { return Point{p.x / mx, p.y / mx}; };
  const Point C = at(eccentricCentre_), E = at(equant_), Ce = at(ellipseCentre_);
  const Point p0 = at(erase_[0]), p1 = at(erase_[1]), p2 = at(erase_[2]), p3 = at(erase_[3]);
  // Erase the moving parts of the step before.
  k.Circle(p0.x, p0.y, kMarker, kWhite);
  k.Circle(p1.x, p1.y, kMarker, kWhite);
  k.Line(0, 0, p0.x, p0.y, kWhite);
  k.Line(0, 0, p1.x, p1.y, kWhite);
  if (model == EccentricModel::Simple) {
    k.Circle(p3.x, p3.y, off, kWhite);
    k.Line(0, 0, 2 * p3.x, 2 * p3.y, kWhite);
    k.Circle(p3.x, p3.y, kMarker, kWhite);
    k.Line(p3.x, p3.y, p3.x + off, p3.y, kWhite);
    k.Line(C.x, C.y, 2 * p1.x - C.x, 2 * p1.y - C.y, kWhite);
  } else {
    k.Line(E.x, E.y, 2 * p2.x - E.x, 2 * p2.y - E.y, kWhite);
    k.Circle(p2.x, p2.y, kMarker, kWhite);
  }
  // The deferent and the captions.
  k.Circle(0, 0, a, kColourOne);
  k.Text(-9, 10, "деферент (эклиптика)", kBlack);
  k.Text(0.5, 10, "эллипс ", kRed);
  // The ellipse and its body.
  const Point q0 = at(cur_[0]), q1 = at(cur_[1]), q2 = at(cur_[2]), q3 = at(cur_[3]);
  k.Circle(Ce.x, Ce.y, a, kRed, b_ / in_.a);
  k.Line(0, 0, q0.x, q0.y, kRed);
  k.Circle(q0.x, q0.y, kMarker, kRed);
  // The eccentric circle and its body.
  k.Circle(C.x, C.y, a, kBlue);
  k.Line(C.x, 10, C.x, -10, kBlue);
  k.Line(0, 0, q1.x, q1.y, kBlue);
  k.Circle(q1.x, q1.y, kMarker, kBlue);
  if (model == EccentricModel::Simple) {
    k.Text(7, 10, "эксцентр", kBlue);
    k.Circle(q3.x, q3.y, off, kColourOne);
    k.Line(0, 0, 2 * q3.x, 2 * q3.y, kColourOne);
    k.Line(q3.x, q3.y, q3.x + off, q3.y, kColourOne);
    k.Circle(q3.x, q3.y, kMarker, kColourOne);
    k.Line(C.x, C.y, 2 * q1.x - C.x, 2 * q1.y - C.y, kBlue);
  } else {
    k.Text(7, 10, "эквант", kGreen);
    k.Text(0.5, 9, "эксцентр", kBlue);
    k.Circle(E.x, E.y, a, kGreen);
    k.Line(E.x, -10, E.x, 10, kGreen);
    k.Line(E.x, E.y, 2 * q2.x - E.x, 2 * q2.y - E.y, kGreen);
    k.Circle(q2.x, q2.y, kMarker, kGreen);
  }
  return k;
}

Sketch EllipseComparison::DrawDifferences(const EllipseStep& s, const EllipseInputs& scales, bool dAlfaOn,
                                          bool dROn) const {
  Sketch k;
  const double kUgol = 180.0 / 3.14159265359;
  if (dAlfaOn) k.Point(s.T / scales.mt, s.dAlfa * kUgol / scales.mdAlfa, kRed);
  if (dROn) k.Point(s.T / scales.mt, s.dR / scales.mdR, kBlue);
  return k;
}

Sketch OrbitGrid() {
  Sketch k;
  for (int x = -10; x <= 14; ++x) k.Line(x, -10, x, 10, kGridGrey);
  for (int y = -10; y <= 10; ++y) k.Line(-10, y, 14, y, kGridGrey);
  k.Line(-10, 0, 14, 0, kColourOne);
  k.Line(0, 10, 0, -10, kColourOne);
  return k;
}

Sketch DifferenceGrid() {
  Sketch k;
  for (int x = 0; x <= 16; ++x) k.Line(x, -4, x, 4, kGridGrey);
  for (int y = -4; y <= 4; ++y) k.Line(0, y, 16, y, kGridGrey);
  k.Line(0, 0, 16, 0, Rgb{120, 120, 120});
  return k;
}

long long StepsPerPeriod(const EllipseInputs& in) {
  if (!(in.w > 0.0) || !(in.step > 0.0)) return 1;
  const double days = kTwoPi / (in.w / 365.25);
  return static_cast<long long>(std::ceil(days / in.step)) + 1;
}

}  // namespace torvik
