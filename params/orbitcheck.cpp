#include "params/orbitcheck.h"

#include <cmath>

#include "core/textfile.h"
#include "core/fields.h"
#include "params/loading.h"

namespace torvik {

namespace {

constexpr double kSecondsPerDay = 86400.0;
// Longitude pairs further apart than this straddle 0°/360°.
constexpr double kWrapJump = 5.0;  // degrees

UserMessage BadData() { return UserMessage{kMsgBadData, kTitle}; }

// Ecliptic longitude of (dx, dy) in degrees, 0..360, by the quadrant rule of the
// frames routines (90° or 270° on the y axis).
double LongitudeDeg(double dx, double dy, double kUgol) {
  double l = dy < 0 ? 270.0 : 90.0;
  if (dx != 0.0) {
    l = std::atan(dy / dx) * kUgol;
    if (dx >= 0 && dy < 0) l += 360.0;
    if (dx < 0) l += 180.0;
  }
  return l;
}

// Mean of two successive longitudes, corrected when they straddle 0°/360°.
double MidLongitude(double prev, double cur) {
  double l = (prev + cur) / 2.0;
  if (std::fabs(cur - prev) > kWrapJump) l -= 180.0;
  return l;
}

double Wrap360(double deg) {
  double r = std::fmod(deg, 360.0);
  if (r < 0) r += 360.0;
  return r;
}

// Drift of a longitude from its start value, degrees in −180..180: a perihelion
// that moves from 0.0001° to 359.9999° has drifted by −0.0002°, not by 359.9998°.
double DriftDeg(double now, double start) {
  double d = std::fmod(now - start, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d < -180.0) d += 360.0;
  return d;
}

double Norm3(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

}  // namespace

ActionResult OrbitCheck::Start(Model& m, const OrbitCheckInputs& in) {
  const int j = in.body;
  if (j == 0) return UserMessage{kMsgSunNoCheck, kMsgSunNoCheckTitle};
  if (j < 1 || j > 10) return BadData();

  m.X[0] = m.X0[0], m.Y[0] = m.Y0[0], m.Z[0] = m.Z0[0];
  m.VX[0] = m.VX0[0], m.VY[0] = m.VY0[0], m.VZ[0] = m.VZ0[0];
  m.X[j] = m.X0[j], m.Y[j] = m.Y0[j], m.Z[j] = m.Z0[j];
  m.VX[j] = m.VX0[j], m.VY[j] = m.VY0[j], m.VZ[j] = m.VZ0[j];

  double alfaPStart = m.kUgol * m.AlfaP0[j];
  double alfaUStart = m.kUgol * m.AlfaU0[j];
  const double e = m.Eks0[j], a = m.R0sr[j], incl = m.Betta0[j];
  const double gm0 = m.gamma * m.mPl[0];
  if (in.atPerihelion) {
    auto lambda = ParseFieldNumber(in.lambda);
    if (!lambda) return BadData();
    alfaPStart = *lambda;
    alfaUStart = *lambda - 90.0;
    if (alfaUStart >= 360.0) alfaUStart -= 360.0;
    const double rp = (1.0 - e) * a, ra = (1.0 + e) * a;
    // Vis-viva at perihelion, sqrt(2·μ·(1/rp − 1/ra) / (1 − rp²/ra²)), in the
    // equal form that stays defined for a circular orbit (rp = ra).
    const double vp = std::sqrt(2.0 * gm0 * ra / (rp * (ra + rp)));
    const double l = *lambda / m.kUgol;
    const double x = rp * std::cos(l) * std::cos(incl) + m.X[0];
    const double y = rp * std::sin(l) * std::cos(incl) + m.Y[0];
    const double z = rp * std::sin(incl) + m.Z[0];
    const double vx = -vp * std::sin(l) + m.VX[0], vy = vp * std::cos(l) + m.VY[0];
    for (double v : {x, y, z, vx, vy})
      if (!std::isfinite(v)) return BadData();
    m.X[j] = x, m.Y[j] = y, m.Z[j] = z;
    m.VX[j] = vx, m.VY[j] = vy, m.VZ[j] = m.VZ[0];
  }

  auto nc0 = ParseFieldInt16(in.nc0);
  auto h0 = ParseFieldNumber(in.h0);
  auto nRed = ParseFieldNumber(in.nRed);
  auto dAlfa = ParseFieldNumber(in.dAlfa);
  // A count below 1 would never reach the screen update, and a step or divisor
  // of zero or below would never advance the time: such a check would not end.
  // A step beyond four months or a divisor beyond a million measure nothing.
  if (!nc0 || *nc0 < 1 || !h0 || !(*h0 > 0) || *h0 > kMaxCheckStep || !nRed || !(*nRed > 0) ||
      *nRed > kMaxCheckReduction || !dAlfa)
    return BadData();

  State12 s = {m.X[0], m.Y[0], m.Z[0], m.X[j], m.Y[j], m.Z[j],
               m.VX[0], m.VY[0], m.VZ[0], m.VX[j], m.VY[j], m.VZ[j]};
  const double r0 = Norm3(s[3] - s[0], s[4] - s[1], s[5] - s[2]);
  const double vj = Norm3(s[9], s[10], s[11]);
  const double e0 = 0.5 * m.mPl[j] * vj * vj + 0.5 * m.mPl[0] * Norm3(s[6], s[7], s[8]) * Norm3(s[6], s[7], s[8]);
  if (!(r0 > 0) || !std::isfinite(r0) || !std::isfinite(e0) || !std::isfinite(gm0)) return BadData();

  body_ = j;
  s_ = s;
  m0_ = m.mPl[0];
  mj_ = m.mPl[j];
  gm0_ = gm0;
  gmj_ = m.gamma * m.mPl[j];
  coupling_ = in.vsol0 ? 0.0 : 1.0;
  r0_ = r0;
  e0_ = e0;
  lmin_ = (1.0 - e) * a;
  lmax_ = (1.0 + e) * a;
  // The speed extremes start from the start speed: a zero minimum would never
  // be undercut and would survive every restart (2·0).
  vmin_ = vmax_ = vj;
  t_ = 0.0;
  tPerihelion_ = 0.0;
  bettaMax_ = incl;
  m.Stop = 0;
  detector_ = 0;
  approaching_ = false;
  dAlfa_ = *dAlfa;
  alfaPStart_ = alfaPStart;
  alfaUStart_ = alfaUStart;
  alfaU_ = alfaUStart;  // the node until one is measured
  CentreWindow(alfaPStart);
  nc0_ = *nc0;
  h0_ = *h0;
  nRed_ = *nRed;
  h_ = h0_;
  counter_ = 0;
  steps_ = 0;
  lPrev_ = LongitudeDeg(s[3] - s[0], s[4] - s[1], m.kUgol);
  zPrev_ = s[5] - s[2];
  rPrev_ = r0;
  values_ = OrbitCheckValues{};
  values_.longitude = lPrev_;
  fields_.alfaPDrift = "0";
  fields_.alfaUDrift = "0";
  started_ = running_ = true;
  return std::nullopt;
}

OrbitCheck::State12 OrbitCheck::Derivative(const State12& s) const {
  const double dx = s[3] - s[0], dy = s[4] - s[1], dz = s[5] - s[2];
  const double r = Norm3(dx, dy, dz);
  const double r3 = r * r * r;
  // gamma·m0·mj/R² along the line of the bodies: the planet falls toward the
  // Sun, the Sun (when it moves) toward the planet.
  const double ap = -gm0_ / r3, as = coupling_ * gmj_ / r3;
  return {s[6], s[7], s[8], s[9], s[10], s[11], as * dx, as * dy, as * dz, ap * dx, ap * dy, ap * dz};
}

void OrbitCheck::CentreWindow(double c) {
  c = Wrap360(c);
  winLow_ = c - dAlfa_;
  winHigh_ = c + dAlfa_;
  // Each end into 0..360; an upper end of exactly 360 stays 360 so that the
  // window [358, 360] keeps its non-wrapping form.
  if (winLow_ < 0) winLow_ += 360.0;
  if (winHigh_ > 360.0) winHigh_ -= 360.0;
}

bool OrbitCheck::InWindow(double l) const {
  if (360.0 - 2.0 * dAlfa_ >= winLow_) return winLow_ <= l && l <= winHigh_;
  return l <= winHigh_ || l >= winLow_;  // the window wraps through 0°
}

ActionResult OrbitCheck::RunBatch(Model& m) {
  if (!running_) return std::nullopt;
  for (;;) {
    const double h = h_;
    auto add = [](const State12& a, const State12& d, double f) {
      State12 r;
      for (int i = 0; i < 12; ++i) r[i] = a[i] + f * d[i];
      return r;
    };
    const State12 k1 = Derivative(s_);
    const State12 k2 = Derivative(add(s_, k1, h / 2));
    const State12 k3 = Derivative(add(s_, k2, h / 2));
    const State12 k4 = Derivative(add(s_, k3, h));
    State12 next;
    bool finite = true;
    for (int i = 0; i < 12; ++i) {
      next[i] = s_[i] + h * (k1[i] + 2 * k2[i] + 2 * k3[i] + k4[i]) / 6;
      finite = finite && std::isfinite(next[i]);
    }
    if (!finite) {
      running_ = false;
      return UserMessage{kMsgSolveError, kTitle0};
    }
    s_ = next;
    t_ += h;
    ++steps_;
    const int j = body_;
    m.X[0] = s_[0], m.Y[0] = s_[1], m.Z[0] = s_[2];
    m.X[j] = s_[3], m.Y[j] = s_[4], m.Z[j] = s_[5];
    m.VX[0] = s_[6], m.VY[0] = s_[7], m.VZ[0] = s_[8];
    m.VX[j] = s_[9], m.VY[j] = s_[10], m.VZ[j] = s_[11];
    AfterStep(m);
    if (hooks_.afterStep) hooks_.afterStep(*this);
    if (++counter_ >= nc0_) {
      counter_ = 0;
      if (!Update(m)) {
        running_ = false;
        return UserMessage{kMsgSolveError, kTitle0};
      }
      if (hooks_.atUpdate) hooks_.atUpdate(*this);
      if (m.Stop == 1) running_ = false;
      return std::nullopt;
    }
  }
}

void OrbitCheck::AfterStep(Model& m) {
  const double dx = s_[3] - s_[0], dy = s_[4] - s_[1], dz = s_[5] - s_[2];
  const double l = LongitudeDeg(dx, dy, m.kUgol);
  const double rxy = std::hypot(dx, dy);
  const double r = Norm3(dx, dy, dz);
  const double v = Norm3(s_[9], s_[10], s_[11]);
  bettaMax_ = std::fmax(bettaMax_, std::fabs(std::atan(dz / rxy)));
  lmin_ = std::fmin(lmin_, r);
  lmax_ = std::fmax(lmax_, r);
  vmin_ = std::fmin(vmin_, v);
  vmax_ = std::fmax(vmax_, v);
  values_.longitude = l;

  // Ascending node: z crosses from below (or from 0) to above the ecliptic. An
  // orbit in the ecliptic never crosses, and the field keeps its text.
  if (dz > 0 && zPrev_ <= 0) {
    alfaU_ = MidLongitude(lPrev_, l);
    fields_.alfaU = FieldText(Fix(alfaU_ * 10000) / 10000);
    fields_.alfaUDrift = FieldText(Fix(DriftDeg(alfaU_, alfaUStart_) * 36000000) / 10000);  // arc seconds
    values_.alfaU = alfaU_;
    ++values_.nodes;
  }

  // Perihelion window: the fine step inside; the perihelion is the last sample
  // before the distance grows again after it has been seen to fall, reported
  // once per passage (state 2 until the planet leaves the window).
  if (InWindow(l)) {
    h_ = h0_ / nRed_;
    if (detector_ == 0) {
      detector_ = 1;
      approaching_ = false;
    }
    if (detector_ == 1) {
      if (r < rPrev_) {
        approaching_ = true;
      } else if (r > rPrev_ && approaching_) {
        detector_ = 2;
        Perihelion(m, l);
      }
    }
  } else {
    h_ = h0_;
    detector_ = 0;
  }
  lPrev_ = l;
  zPrev_ = dz;
  rPrev_ = r;
}

void OrbitCheck::Perihelion(Model& m, double l) {
  const double mk = m.MK;
  double alfaP = MidLongitude(lPrev_, l);
  // From the ecliptic longitude to the longitude in the orbit plane, counted
  // from the node: tan ω = tan dλ / cos i.
  double dl = alfaP - alfaU_;
  while (dl > 180.0) dl -= 360.0;
  while (dl < -180.0) dl += 360.0;
  double w = dl;
  if (std::fabs(dl) != 90.0) {
    w = std::fabs(std::atan(std::tan(dl / m.kUgol) / std::cos(bettaMax_)) * m.kUgol);
    if (std::fabs(dl) > 90.0) w = 180.0 - w;
    if (dl < 0) w = -w;
  }
  alfaP = Wrap360(alfaU_ + w);

  const double period = (t_ - tPerihelion_) / kSecondsPerDay;
  tPerihelion_ = t_;
  const double rsr = (lmax_ + lmin_) / 2.0;
  m.Rk[body_] = rsr;
  const double eks = 1.0 - lmin_ / rsr;
  const double vsum = vmax_ + vmin_;

  fields_.period = FieldText(Fix(mk * period) / mk);
  fields_.periodNote = "(справочно " + ShortestText(m.Tsid[body_]) + " дней)";
  fields_.eks = FieldText(Fix(mk * eks) / mk);
  fields_.vsr = FieldText(Fix(vsum * 100 / 2) / 100);
  fields_.rsr = FieldText(Fix(rsr * 100 / mk) / 100);
  fields_.alfaP = FieldText(Fix(mk * alfaP) / mk);
  fields_.wsr = FieldText(Fix(vsum * m.sekG * mk / 2 / rsr) / mk);
  fields_.alfaPDrift = FieldText(Fix(DriftDeg(alfaP, alfaPStart_) * 36000000) / 10000);  // arc seconds

  values_.period = period;
  values_.eks = eks;
  values_.alfaP = alfaP;
  values_.rsr = rsr;
  values_.vsr = vsum / 2;
  values_.wsr = vsum * m.sekG / 2 / rsr;
  values_.lmin = lmin_;
  values_.lmax = lmax_;
  values_.vmin = vmin_;
  values_.vmax = vmax_;
  values_.bettaMax = bettaMax_;
  ++values_.perihelia;

  // The next revolution starts its extremes from values that it will surely pass.
  lmin_ *= 2;
  lmax_ /= 2;
  vmin_ *= 2;
  vmax_ /= 2;
  bettaMax_ = 0;
  CentreWindow(alfaP);
  if (hooks_.atPerihelion) hooks_.atPerihelion(*this);
}

bool OrbitCheck::Update(Model& m) {
  const double mk = m.MK;
  const double r = Norm3(s_[3] - s_[0], s_[4] - s_[1], s_[5] - s_[2]);
  const double vj = Norm3(s_[9], s_[10], s_[11]), v0 = Norm3(s_[6], s_[7], s_[8]);
  const double energy = m.gamma * m0_ * mj_ * (1 / r0_ - 1 / r) + 0.5 * mj_ * vj * vj + 0.5 * m0_ * v0 * v0;
  const double dEsys = 100 * (energy - e0_) / e0_;
  if (!std::isfinite(dEsys)) return false;
  values_.dEsys = dEsys;
  fields_.dEsys = FieldText(Fix(dEsys * 1e13) / 1e13);
  fields_.lmax = FieldText(Fix(lmax_ * 100 / mk) / 100);
  fields_.lmin = FieldText(Fix(lmin_ * 100 / mk) / 100);
  fields_.vmax = FieldText(Fix(vmax_ * 100) / 100);
  fields_.vmin = FieldText(Fix(vmin_ * 100) / 100);
  fields_.betta = FieldText(Fix(mk * bettaMax_ * m.kUgol) / mk);
  fields_.alfaEklip = FieldText(values_.longitude);
  fields_.dT = FieldText(Fix(t_ * 100 / m.sekG) / 100);
  return true;
}

void OrbitCheck::Continue(Model& m) {
  if (!started_) return;
  m.Stop = 0;
  running_ = true;
}

ActionResult OrbitCheck::PrepareNC0Steps(Model& m, const std::string& nc0) {
  m.Stop = 1;
  counter_ = 0;
  auto n = ParseFieldInt16(nc0);
  if (!n || *n < 1) return BadData();
  nc0_ = *n;
  running_ = started_;
  return std::nullopt;
}

}  // namespace torvik
