#include "tools/aberration.h"

#include <cmath>
#include <optional>
#include <stdexcept>

#include "core/fields.h"
#include "core/frames.h"
#include "core/kepler.h"
#include "core/theories.h"

namespace torvik {

namespace {

constexpr int kEarth = 3;
constexpr int kScratch = 10;

// Angle differences of two directions, the longitude one brought into
// (−180°, 180°] so that a pair on both sides of 0° gives a small difference.
Direction Minus(const Direction& a, const Direction& b) {
  double dL = a.L - b.L;
  while (dL > 180.0) dL -= 360.0;
  while (dL <= -180.0) dL += 360.0;
  return Direction{dL, a.B - b.B};
}

Direction Plus(const Direction& a, const Direction& b) { return Direction{a.L + b.L, a.B + b.B}; }

// Elements of the date, optionally with a typed mean longitude, to position
// and velocity.
bool PlaceBody(Model& m, int k, std::optional<double> longitudeDeg) {
  NewcombElements(m, k);
  if (longitudeDeg) m.AlfaL[k] = *longitudeDeg / m.kUgol;
  NormaliseElements(m, k);
  return ElementsToPosition(m, k) && ElementsToVelocity(m, k);
}

void Copy(const Model& m, int k, double (&out)[6]) {
  out[0] = m.X[k];
  out[1] = m.Y[k];
  out[2] = m.Z[k];
  out[3] = m.VX[k];
  out[4] = m.VY[k];
  out[5] = m.VZ[k];
}

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

}  // namespace

ActionResult AberrationStudy::FindGeometry(Model& m, const bool (&ticked)[10], const AberrationTexts& t) {
  const UserMessage bad{kMsgAberrationBadData, kTitle};
  int count = 0, p = -1;
  for (int k = 0; k < 10; ++k)
    if (ticked[k]) {
      ++count;
      p = k;
    }
  // None ticked is refused as well: there is nothing to look at.
  if (count != 1) return UserMessage{kMsgOneObject, kTitle};
  auto n = ParseFieldNumber(t.slowdown);
  auto jd = ParseFieldNumber(t.jd);
  if (!n || !jd || *n <= 0.0) return bad;
  std::optional<double> l3, lpl;
  if (!t.theoryLongitudes) {
    l3 = ParseFieldNumber(t.gelioL3);
    lpl = ParseFieldNumber(t.gelioLpl);
    if (!l3 || !lpl) return bad;
  }
  hasGeometry_ = false;
  p_ = p;
  c_ = m.Vsv / *n;
  m.JDstart = m.JD = *jd;
  if (!PlaceBody(m, kEarth, l3)) return bad;
  m.X[0] = m.Y[0] = m.Z[0] = 0.0;
  m.VX[0] = m.VY[0] = m.VZ[0] = 0.0;
  if (p != 0 && p != kEarth && !PlaceBody(m, p, lpl)) return bad;
  for (int k : {kEarth, p}) {
    m.X0[k] = m.X[k];
    m.Y0[k] = m.Y[k];
    m.Z0[k] = m.Z[k];
    m.VX0[k] = m.VX[k];
    m.VY0[k] = m.VY[k];
    m.VZ0[k] = m.VZ[k];
  }
  r_ = AberrationResult{};
  Copy(m, kEarth, r_.earth);
  Copy(m, p, r_.body);
  try {
    const RelativePos d = RelativePosition(m, kEarth, p);
    r_.real = Direction{d.L, d.B};
    r_.S = d.range;
  } catch (const std::domain_error&) {
    return bad;  // the Earth itself, or a body straight above the Earth's pole
  }
  r_.Tdel = r_.S / c_;
  if (!AllFinite({r_.S, r_.Tdel})) return bad;
  hasGeometry_ = true;
  return std::nullopt;
}

ActionResult AberrationStudy::Iterate(Model& m, const std::string& vxText, const std::string& vyText,
                                      const std::string& vzText) {
  const UserMessage bad{kMsgAberrationBadVelocity, kTitle};
  auto vx = ParseFieldNumber(vxText), vy = ParseFieldNumber(vyText), vz = ParseFieldNumber(vzText);
  if (!vx || !vy || !vz || !hasGeometry_) return bad;
  const int p = p_;
  const double c = c_;
  // Velocities in the moving system.
  const double sys[3] = {*vx * 1000.0, *vy * 1000.0, *vz * 1000.0};
  m.VX[kEarth] = sys[0] + m.VX0[kEarth];
  m.VY[kEarth] = sys[1] + m.VY0[kEarth];
  m.VZ[kEarth] = sys[2] + m.VZ0[kEarth];
  m.VX[p] = sys[0] + m.VX0[p];
  m.VY[p] = sys[1] + m.VY0[p];
  m.VZ[p] = sys[2] + m.VZ0[p];
  // The body where it was one light time (of the previous iteration) ago.
  m.X[kEarth] = m.X0[kEarth];
  m.Y[kEarth] = m.Y0[kEarth];
  m.Z[kEarth] = m.Z0[kEarth];
  m.X[p] = m.X0[p] - r_.Tdel * m.VX[p];
  m.Y[p] = m.Y0[p] - r_.Tdel * m.VY[p];
  m.Z[p] = m.Z0[p] - r_.Tdel * m.VZ[p];
  AberrationResult r = r_;
  Copy(m, p, r.retarded);
  Copy(m, kEarth, r.earthMoving);
  Direction retarded;
  try {
    const RelativePos d = RelativePosition(m, kEarth, p);
    retarded = Direction{d.L, d.B};
    r.S = d.range;
    r.Tdel = d.range / c;
    r.planetary = Minus(r.real, retarded);
    // The observer displaced by its own velocity over the light path.
    const double s = d.range;
    displaced_[0] = m.X[kEarth] - s * m.VX[kEarth] / c;
    displaced_[1] = m.Y[kEarth] - s * m.VY[kEarth] / c;
    displaced_[2] = m.Z[kEarth] - s * m.VZ[kEarth] / c;
    m.X[kEarth] = displaced_[0];
    m.Y[kEarth] = displaced_[1];
    m.Z[kEarth] = displaced_[2];
    const RelativePos o = RelativePosition(m, kEarth, p);
    r.observed = Direction{o.L, o.B};
    m.X[kEarth] = m.X0[kEarth];
    m.Y[kEarth] = m.Y0[kEarth];
    m.Z[kEarth] = m.Z0[kEarth];
    r.stellar = Minus(retarded, r.observed);
    r.total = Plus(r.planetary, r.stellar);
    // The same displacement put on the body instead of the observer.
    m.X[kScratch] = m.X[p] + s * m.VX[kEarth] / c;
    m.Y[kScratch] = m.Y[p] + s * m.VY[kEarth] / c;
    m.Z[kScratch] = m.Z[p] + s * m.VZ[kEarth] / c;
    const RelativePos q = RelativePosition(m, kEarth, kScratch);
    r.simplified = Direction{q.L, q.B};
  } catch (const std::domain_error&) {
    m.X[kEarth] = m.X0[kEarth];
    m.Y[kEarth] = m.Y0[kEarth];
    m.Z[kEarth] = m.Z0[kEarth];
    return bad;
  }
  if (!AllFinite({r.S, r.Tdel, r.observed.L, r.observed.B, r.simplified.L, r.simplified.B})) return bad;
  ++r.iterations;
  r_ = r;
  return std::nullopt;
}

Sketch AberrationStudy::Draw(bool xz, double mxy, bool afterIteration) const {
  Sketch k;
  auto second = [xz](const double* v) { return xz ? v[2] : v[1]; };
  auto body = [&](const double* v, double radius, Rgb colour) {
    k.Circle(v[0] / mxy, second(v) / mxy, radius, colour);
  };
  auto sight = [&](const double* from, const double* to, Rgb colour) {
    k.Line(from[0] / mxy, second(from) / mxy, to[0] / mxy, second(to) / mxy, colour);
  };
  auto arrow = [&](const double* v, Rgb colour) {
    const double x = v[0] / mxy, y = second(v) / mxy;
    k.Line(x, y, x + v[3] / 10000.0, y + second(v + 3) / 10000.0, colour);
  };
  const double sun[6] = {};
  body(sun, 0.2, Rgb{250, 200, 0});
  body(r_.earth, 0.12, kBlue);
  body(r_.body, 0.12, kRed);
  sight(r_.earth, r_.body, kGridGrey);
  if (!afterIteration) return k;
  arrow(r_.earthMoving, kBlue);
  body(r_.retarded, 0.08, Rgb{255, 128, 0});
  arrow(r_.retarded, Rgb{255, 128, 0});
  sight(r_.earth, r_.retarded, Rgb{255, 128, 0});
  body(displaced_, 0.08, Rgb{0, 160, 0});
  sight(displaced_, r_.retarded, Rgb{0, 160, 0});
  return k;
}

}  // namespace torvik
