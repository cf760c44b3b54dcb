#include "model/compare.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

#include "core/frames.h"
#include "core/textfile.h"
#include "model/de405.h"
#include "model/imitators.h"
#include "planpos/planety.h"

namespace torvik {

namespace {

// Scratch slots for the direction from the centre of a frame.
constexpr int kOriginSlot = 25, kPointSlot = 26;

// Tuple of a point (metres) seen from a centre (metres).
CompareTuple Tuple(Model& m, const char* label, const double centre[3], const double point[3]) {
  m.X[kOriginSlot] = centre[0], m.Y[kOriginSlot] = centre[1], m.Z[kOriginSlot] = centre[2];
  m.X[kPointSlot] = point[0], m.Y[kPointSlot] = point[1], m.Z[kPointSlot] = point[2];
  const RelativePos r = RelativePosition(m, kOriginSlot, kPointSlot);  // throws when Rxy = 0
  CompareTuple t;
  t.label = label;
  t.X = point[0] / m.MK;
  t.Y = point[1] / m.MK;
  t.Z = point[2] / m.MK;
  t.L = r.L;
  t.B = r.B;
  t.R = r.range / m.MK;
  return t;
}

// The planet of the model seen from the Sun of the model.
CompareTuple Heliocentric(Model& m, const char* label, int p) {
  const double sun[3] = {m.X[0], m.Y[0], m.Z[0]};
  const double point[3] = {m.X[p] - sun[0], m.Y[p] - sun[1], m.Z[p] - sun[2]};
  const double origin[3] = {0.0, 0.0, 0.0};
  return Tuple(m, label, origin, point);
}

CompareDiff Diff(const char* label, const CompareTuple& a, const CompareTuple& b) {
  CompareDiff d;
  d.label = label;
  // The longitudes wrap through 0°: the difference is taken the short way.
  d.dL = std::remainder(a.L - b.L, 360.0) * 3600.0;
  d.dB = (a.B - b.B) * 3600.0;
  d.dR = a.R - b.R;
  d.dX = a.X - b.X;
  d.dY = a.Y - b.Y;
  d.dZ = a.Z - b.Z;
  return d;
}

bool Finite(const Comparison& c) {
  for (const auto& t : c.rows)
    for (double v : {t.X, t.Y, t.Z, t.L, t.B, t.R})
      if (!std::isfinite(v)) return false;
  return true;
}

std::string Padded(std::string s, std::size_t width) {
  // Width in characters of the UTF-8 text.
  std::size_t chars = 0;
  for (unsigned char ch : s) chars += (ch & 0xC0) != 0x80;
  if (chars < width) s.append(width - chars, ' ');
  return s;
}

// Columns of the table: the label in 27 characters, each value right-aligned
// in 14 (wider values keep one blank before them), so that the table reads in
// a monospaced font.
constexpr std::size_t kLabelWidth = 27, kValueWidth = 14;

std::string RightAligned(const std::string& s) {
  std::size_t chars = 0;
  for (unsigned char ch : s) chars += (ch & 0xC0) != 0x80;
  const std::size_t width = std::max(kValueWidth, chars + 1);
  return std::string(width - chars, ' ') + s;
}

std::string Heading(const char* a, const char* b, const char* c) {
  return Padded("", kLabelWidth) + RightAligned(a) + RightAligned(b) + RightAligned(c);
}

std::string Row(const char* label, std::initializer_list<double> values, double MK) {
  std::string line = Padded(label, kLabelWidth);
  for (double v : values) line += RightAligned(NumberText(FixMK(v, MK)));
  return line;
}

}  // namespace

ActionResult CompareImitators(Model& shared, const std::filesystem::path& folder, int planet, double jd,
                              Comparison& out) {
  if (planet == 0) return UserMessage{"Для Солнца нет проверки", kTitle0};
  // The sources write the planet's elements, T and the scratch slots: they
  // work on a copy, and only the positions of the Sun and the planet (and the
  // date) go back to the shared model, so the next run starts where it did.
  auto work = std::make_unique<Model>(shared);
  Model& m = *work;
  auto keepPositions = [&shared, &m, planet] {
    for (int k : {0, planet}) shared.X[k] = m.X[k], shared.Y[k] = m.Y[k], shared.Z[k] = m.Z[k];
    shared.JD = m.JD;
  };
  const UserMessage failed{"Ошибка вычислений", kTitle0};
  if (planet < 1 || planet > 10) return failed;
  try {
    Comparison c;
    c.JD = jd;
    c.planet = planet;
    m.JD = jd;

    De405Reader reader;
    if (auto msg = reader.Locate(folder, jd)) return msg;
    if (reader.Evaluate(m, planet, jd)) return failed;
    const double origin[3] = {0.0, 0.0, 0.0};
    const double bary[3] = {m.X[planet], m.Y[planet], m.Z[planet]};
    c.rows[kJplBary] = Tuple(m, "JPL2_2000_Bary", origin, bary);
    c.rows[kJplSun] = Heliocentric(m, "JPL2_2000_Sun", planet);
    reader.Close();

    if (!JplElementsPosition(m, planet)) return failed;
    c.rows[kJpl0] = Heliocentric(m, "JPL0_2000", planet);

    // planety's L, B, R as they come; X, Y, Z from them.
    double apc[3] = {0.0, 0.0, 0.0};
    planety(planet, jd, apc);
    ApcPosition(m, planet);
    CompareTuple& a = c.rows[kApc];
    a.label = "APC2_2000";
    a.L = apc[0];
    a.B = apc[1];
    a.R = apc[2] / 1000.0;
    const double L = a.L / m.kUgol, B = a.B / m.kUgol;
    a.X = a.R * std::cos(B) * std::cos(L);
    a.Y = a.R * std::cos(B) * std::sin(L);
    a.Z = a.R * std::sin(B);

    if (!NewcombPosition(m, planet)) return failed;
    c.rows[kNewDate] = Heliocentric(m, "New0_JD", planet);
    const double T = (jd - 2451545.0) / 36525.0;
    ApplyPrecession(m, PrecessionMatrix(m, T, 0.0), planet);
    c.rows[kNew2000] = Heliocentric(m, "New0_JD-->2000", planet);

    if (!MoxPosition(m, planet)) return failed;
    c.rows[kMox] = Heliocentric(m, "Mox0_J2000", planet);
    keepPositions();
    if (!Finite(c)) return failed;

    const auto& r = c.rows;
    c.diffs = {Diff("JPL2_2000 - JPL0_2000", r[kJplSun], r[kJpl0]),
               Diff("JPL2_2000 - APC2_2000", r[kJplSun], r[kApc]),
               Diff("JPL2_2000 - New0_JD-->2000", r[kJplSun], r[kNew2000]),
               Diff("APC2_2000 - JPL0_2000", r[kApc], r[kJpl0]),
               Diff("APC2_2000 - New0_JD-->2000", r[kApc], r[kNew2000]),
               Diff("JPL0_2000 - New0_JD-->2000", r[kJpl0], r[kNew2000]),
               Diff("JPL2_2000 - Mox0_2000", r[kJplSun], r[kMox])};
    out = c;
    return std::nullopt;
  } catch (const std::exception&) {
    return failed;
  }
}

std::vector<std::string> ComparisonLines(const Comparison& c) {
  const double MK = 1000000.0;
  std::vector<std::string> lines;
  lines.push_back(" JD= " + ShortestText(c.JD) + "    планата № " + std::to_string(c.planet));
  lines.push_back(Heading("L, град", "B, град", "R, тыс. км."));
  for (const auto& t : c.rows) lines.push_back(Row(t.label, {t.L, t.B, t.R}, MK));
  lines.push_back(Heading("dL, сек", "dB, сек", "dR, тыс. км."));
  for (const auto& d : c.diffs) lines.push_back(Row(d.label, {d.dL, d.dB, d.dR}, MK));
  lines.push_back(Heading("X", "Y", "Z"));
  for (const auto& t : c.rows) lines.push_back(Row(t.label, {t.X, t.Y, t.Z}, MK));
  lines.push_back(Heading("dX", "dY", "dZ"));
  for (const auto& d : c.diffs) lines.push_back(Row(d.label, {d.dX, d.dY, d.dZ}, MK));
  return lines;
}

ActionResult ImitatorPosition(Model& m, const std::string& source, int planet, double jd,
                              const std::filesystem::path& folder, SourcePosition& out) {
  const UserMessage failed{"Ошибка вычислений", kTitle0};
  if (planet < 1 || planet > 10) return failed;
  m.JD = jd;
  if (source == "jpl") {
    De405Reader reader;
    if (auto msg = reader.Locate(folder, jd)) return msg;
    if (auto msg = reader.Evaluate(m, planet, jd)) return msg;
  } else if (source == "apc") {
    ApcPosition(m, planet);
  } else {
    const bool ok = source == "new"   ? NewcombPosition(m, planet)
                    : source == "mox" ? MoxPosition(m, planet)
                                      : JplElementsPosition(m, planet);
    if (!ok) return failed;
  }
  try {
    const CompareTuple t = Heliocentric(m, "", planet);
    out = {m.X[planet] - m.X[0], m.Y[planet] - m.Y[0], m.Z[planet] - m.Z[0], t.L, t.B, t.R};
  } catch (const std::exception&) {
    return failed;
  }
  return std::nullopt;
}

}  // namespace torvik
