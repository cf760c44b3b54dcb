#include "observe/de405_theory.h"

#include <array>
#include <cmath>

namespace torvik {

namespace {

constexpr double kHalfSpan = 0.01;  // days each side of the date for the velocity

}  // namespace

ActionResult De405Theory::Evaluate(Model& m, int k, double jd) {
  const UserMessage fail{kJplReadError, kTitle};
  if (k < 1 || k > 9 || !std::isfinite(jd)) return fail;
  const double t0 = jd - kHalfSpan;
  // Reading moves forward one record at most; anything else locates again.
  if (!reader_.IsOpen() || t0 < reader_.T1() || t0 > reader_.T2() + 32.0)
    if (auto r = reader_.Locate(folder_, t0)) return r;
  const std::array<double, 3> sun{m.X[0], m.Y[0], m.Z[0]};
  std::array<std::array<double, 3>, 3> p{};
  const double t[3] = {t0, jd, jd + kHalfSpan};
  for (int i = 0; i < 3; ++i) {
    if (auto r = reader_.Evaluate(m, k, t[i])) {
      m.X[0] = sun[0], m.Y[0] = sun[1], m.Z[0] = sun[2];
      reader_.Close();
      return r;
    }
    p[static_cast<std::size_t>(i)] = {m.X[k] - m.X[0], m.Y[k] - m.Y[0], m.Z[k] - m.Z[0]};
  }
  m.X[0] = sun[0], m.Y[0] = sun[1], m.Z[0] = sun[2];
  m.X[k] = p[1][0], m.Y[k] = p[1][1], m.Z[k] = p[1][2];
  const double dt = 2.0 * kHalfSpan * 86400.0;
  m.VX[k] = (p[2][0] - p[0][0]) / dt;
  m.VY[k] = (p[2][1] - p[0][1]) / dt;
  m.VZ[k] = (p[2][2] - p[0][2]) / dt;
  return std::nullopt;
}

}  // namespace torvik
