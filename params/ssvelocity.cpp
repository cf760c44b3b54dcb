#include "params/ssvelocity.h"

#include <cmath>
#include <cstdio>

#include "core/fields.h"

namespace torvik {

// The colour each caption names: scarlet is told from red by its orange cast,
// and light blue (голубой) is drawn light blue.
const std::array<VelocityRowDefault, kVelocityRows> kVelocityRowDefaults = {{
    {"Vsol относительно местной группы звезд MGZ (красные линии)", 19.4, 270, 53, 200, 0, 0},
    {"MGZ относительно центра нашей галактики CG (алые линии)", 225, 347, 60, 255, 60, 0},
    {"CG относительно местной группы галактик MGG (синие линии)", 105, 28, 33, 0, 0, 250},
    {"MGG относительно реликтового излучения (голубые линии)", 635, 172, -31, 0, 170, 255},
    {"CG относительно реликтового излучения (зеленые линии)", 552, 169, -30, 0, 230, 0},
}};

namespace {

ActionResult BadData() { return UserMessage{kMsgVelocityBadData, kVelocityTitle}; }

std::string Truncated3(double v) {
  double t = std::trunc(v * 1000.0) / 1000.0;
  if (t == 0.0) t = 0.0;  // no "-0"
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.3f", t);
  std::string s = buf;
  // Trailing zeros of the fraction are not shown ("-365.2", "57.5").
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

}  // namespace

Velocity3 DecomposeVelocity(const Model& m, double v, double alfaDeg, double bettaDeg, int sign) {
  const double a = alfaDeg / m.kUgol, b = bettaDeg / m.kUgol, s = sign < 0 ? -1.0 : 1.0;
  return Velocity3{s * v * std::cos(b) * std::cos(a), s * v * std::cos(b) * std::sin(a), s * v * std::sin(b)};
}

ActionResult DecomposeVelocities(const Model& m, const std::array<VelocityRowInput, kVelocityRows>& rows,
                                 const std::string& mvText, VelocityDecomposition* out) {
  VelocityDecomposition d;
  auto finish = [&](ActionResult r) {
    if (out) *out = d;
    return r;
  };
  auto mv = ParseFieldNumber(mvText);
  // MV divides every drawn component: a scale near 0 or beyond any speed would
  // put the arrows at infinity.
  if (!mv || !(std::fabs(*mv) >= 1e-6 && std::fabs(*mv) <= 1e9)) return finish(BadData());
  d.mv = *mv;
  for (int i = 0; i < kVelocityRows; ++i) {
    const auto& row = rows[static_cast<std::size_t>(i)];
    if (!row.on) continue;
    auto v = ParseFieldNumber(row.v), a = ParseFieldNumber(row.alfa), b = ParseFieldNumber(row.betta);
    if (!v || !a || !b) return finish(BadData());
    Velocity3 c = DecomposeVelocity(m, *v, *a, *b, row.minus ? -1 : 1);
    d.rows[static_cast<std::size_t>(i)] = c;
    d.sum.vx += c.vx;
    d.sum.vy += c.vy;
    d.sum.vz += c.vz;
  }
  d.reference = DecomposeVelocity(m, kReferenceV, kReferenceAlfa, kReferenceBetta, 1);
  d.complete = true;
  return finish(std::nullopt);
}

std::string ReferenceComponentsText(const Velocity3& v) {
  return "VX = " + Truncated3(v.vx) + "      VY = " + Truncated3(v.vy) + "      VZ = " + Truncated3(v.vz);
}

ActionResult SetSystemVelocity(Model& m, const std::string& vx, const std::string& vy, const std::string& vz) {
  auto x = ParseFieldNumber(vx), y = ParseFieldNumber(vy), z = ParseFieldNumber(vz);
  if (!x || !y || !z) return BadData();
  m.VXsys = *x;
  m.VYsys = *y;
  m.VZsys = *z;
  for (int k = 0; k <= 10; ++k) {
    m.VX[k] = 1000.0 * m.VXsys + m.VX0[k];
    m.VY[k] = 1000.0 * m.VYsys + m.VY0[k];
    m.VZ[k] = 1000.0 * m.VZsys + m.VZ0[k];
  }
  return std::nullopt;
}

}  // namespace torvik
