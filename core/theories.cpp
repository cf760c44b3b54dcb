#include "core/theories.h"

namespace torvik {

namespace {

constexpr double kLae = 149597870691.0;  // astronomical unit every theory resets Lae to, m

// ---------------------------------------------------------------------------
// Newcomb-type theory, epoch JD1900, mean ecliptic and equinox of date.
// An angle is deg + min/60 + (s0 + s1·T + s2·T² + s3·T³)/3600 degrees.
struct NewcombAngle {
  double deg, min, s0, s1, s2, s3;
};
struct NewcombRow {
  double Aae;                   // AU
  NewcombAngle L, P, U, I;      // mean longitude, perihelion ϖ, node Ω, inclination
  double e0, e1, e2, e3;        // eccentricity polynomial
  double n0, n1;                // mean motion n0 + n1·T: ″/day for 1..4, rad/day for 5..8
};

// Bodies 1..8 (Меркурий … Нептун). The Earth's node and inclination are not
// polynomials (fixed 355.92499°, 0); their rows are zero and set in code.
// clang-format off
constexpr NewcombRow kNewcomb[9] = {
  {},
  // Aae        L: deg min s0 s1 s2 s3                         ϖ: deg min s0 s1 s2 s3                  Ω: deg min s0 s1 s2 s3                      i: deg min s0 s1 s2 s3             e: e0 e1 e2 e3                                        n
  {0.3870986,  {178, 10, 44.68, 538106654.8,  1.084,   0},       {75, 53, 58.91, 5599.76,  1.061,   0},      {47, 8, 45,     4266.75,   0.626,    0},       {7, 0, 10.37, 6.699,   -0.066,    0},     0.20561421, 0.00002046, -0.00000003,   0,             14732.419738, -1.355e-6},
  {0.72333162, {342, 46, 1.39,  210669162.88, 1.1148,  0},       {130, 9, 49.8, 5068.99,  -3.515,   0},      {75, 46, 46.73, 3239.46,   1.476,    0},       {3, 23, 37.07, 3.621,  -0.0035,   0},     0.00682069, -0.00004774, 0.000000091,  0,             5767.6697692, 2.628e-7},
  {1.00000023, {99, 41, 48.04,  129602768.13, 1.089,   0},       {101, 13, 15,  6189.03,   1.63,    0.012},  {},                                              {},                                     0.01675104, -0.0000418, -0.000000126,  0,             3548.1928323, -1.103e-6},
  {1.5236884,  {293, 44, 51.46, 68910103.83,  1.1184,  0},       {334, 13, 5.53, 6626.73,  0.4675, -0.0043}, {48, 47, 11.19, 2775.57,  -0.005,  -0.0192},    {1, 51, 1.2,  -2.43,    0.0454,   0},     0.0933129,  0.000092064, -0.000000077, 0,             1886.5186207, 4.63e-7},
  {5.202561,   {238, 2, 57.32,  10930687.148, 1.20486, -0.005936}, {12, 43, 15.34, 5795.862, 3.80258, -0.91236}, {99, 26, 36.19, 3637.908, 1.268,    -0.03064},  {1, 18, 31.45, -20.506, 0.014,    0},     0.04833475, 0.00016418, -0.0000004676, -0.0000000017, 0.00145024,   0},
  {9.554747,   {266, 33, 51.76, 4404635.581,  1.16835, -0.021},    {91, 5, 53.38, 7050.297,  2.9749,  0.0166},  {112, 47, 25.4, 3143.5025, -0.54785, -0.0191},   {2, 29, 33.07, -14.108, -0.05576, 0.00016}, 0.05589232, -0.0003455, -0.000000728, 0.00000000074, 0.000582615, 0},
  {19.21814,   {243, 21, 44.66, 1547508.765,  1.13774, -0.002176}, {169, 2, 55.6, 5343.958,  0.8539, -0.00218}, {73, 28, 37.55, 1795.204,  4.722,    0},         {0, 46, 20.87, 2.251,   0.1422,   0},     0.0463444,  -0.00002658, 0.000000077,  0,             0.00020419,   0},
  {30.10957,   {85, 1, 30.63,   791589.291,   1.15374, -0.2176},   {43, 45, 20.2, 5128.468,  1.40694, -0.002176}, {130, 40, 52.89, 3956.166, 0.89952, -0.016984}, {1, 46, 45.27, -34.357, -0.0328,  0},     0.00899704, 0.00000633, -0.000000002,  0,             0.00010412,   0},
};
// clang-format on

constexpr double kNewcombEarthNode = 355.92499;  // degrees, fixed

double NewcombDegrees(const NewcombAngle& a, double t) {
  return a.deg + a.min / 60.0 + (a.s0 + a.s1 * t + a.s2 * t * t + a.s3 * t * t * t) / 3600.0;
}

// Плутон (k = 9) outside the table form; T from JD1900.
struct NewcombPluto {
  double L0, L1;        // rad, rad per century
  double P0, P1;        // degrees
  double U0, U1;        // degrees
  double I0, I1;        // degrees
  double e0, e1;
  double Aae;           // AU
  double n;             // rad/day
};
constexpr NewcombPluto kNewcombPluto = {1.611379,    2.534354,    224.06891629, -0.04062942, 110.30393684, -0.01183482,
                                        17.14001206, 0.00004818, 0.2488273,    0.0000517,   39.517738,    0.00006924};

// ---------------------------------------------------------------------------
// JPL approximate Keplerian elements, epoch J2000, mean ecliptic and equinox
// J2000: each element x0 + x1·T, angles in degrees, T in Julian centuries.
// n is a rounded copy of the L rate, degrees per Julian century.
struct Linear {
  double x0, x1;
  double At(double t) const { return x0 + x1 * t; }
};
struct JplRow {
  Linear a, e, i, L, P, U;  // AU, –, deg, deg, deg (ϖ), deg (Ω)
  double n;                 // deg/century
};

// clang-format off
constexpr JplRow kJpl[10] = {
  {},
  //  a0, a1 (AU)                e0, e1                       i0, i1                        L0, L1                           ϖ0, ϖ1                      Ω0, Ω1                       n
  {{0.38709927, 0.00000037},   {0.20563593, 0.00001906},  {7.00497902, -0.00594749},  {252.2503235, 149472.67411175},  {77.45779628, 0.16047689},  {48.33076593, -0.12534081},  149472.674112},
  {{0.72333566, 0.0000039},    {0.00677672, -0.00004107}, {3.39467605, -0.0007889},   {181.9790995, 58517.81538729},   {131.60246718, 0.00268329}, {76.67984255, -0.27769418},  58517.815387},
  {{1.00000261, 0.00000562},   {0.01671123, -0.00004392}, {-0.00001531, -0.01294668}, {100.46457166, 35999.37244981},  {102.93768193, 0.32327364}, {},                          35999.37245},
  {{1.52371034, 0.00001847},   {0.0933941, 0.00007882},   {1.84969142, -0.00813131},  {-4.55343205, 19140.30268499},   {336.05637041, 0.44441088}, {49.55953891, -0.29257343},  19140.302685},
  {{5.202887, -0.00011607},    {0.04838624, -0.00013253}, {1.30439695, -0.00183714},  {34.39644051, 3034.74612775},    {14.72847983, 0.21252668},  {100.47390909, 0.20469106},  3034.746128},
  {{9.53667594, -0.0012506},   {0.05386179, -0.00050991}, {2.48599187, 0.00193609},   {49.95424423, 1222.49362201},    {92.59887831, -0.41897216}, {113.66242448, -0.28867794}, 1222.493622},
  {{19.18916464, -0.00196176}, {0.04725744, -0.00004397}, {0.77263783, -0.00242939},  {313.23810451, 428.48202785},    {170.9542763, 0.40805281},  {74.01692503, 0.04240589},   428.482028},
  {{30.06992276, 0.00026291},  {0.00859048, 0.00005105},  {1.77004347, 0.00035372},   {-55.12002969, 218.45945325},    {44.96476227, -0.32241464}, {131.78422574, -0.00508664}, 218.459453},
  {{39.48211675, -0.00031596}, {0.2488273, 0.0000517},    {17.14001206, 0.00004818},  {238.92903833, 145.20780515},    {224.06891629, -0.04062942},{110.30393684, -0.01183482}, 145.207805},
};
// clang-format on

constexpr double kJplEarthNode = 6.2120631;  // rad (355.925°), fixed

// ---------------------------------------------------------------------------
// Mox: the J2000 set with the system's own secular rates of Mercury and the
// Earth (the Earth's node becomes a linear function instead of a constant).
constexpr Linear kMoxMercuryE = {0.20563593, -0.0005056};
constexpr Linear kMoxMercuryI = {7.0036, -0.00696};          // deg
constexpr Linear kMoxMercuryP = {77.45779628, 0.12912};      // deg
constexpr Linear kMoxMercuryU = {48.33076593, -0.13569};     // deg
constexpr Linear kMoxEarthE = {0.01671123, -0.00020944};
constexpr Linear kMoxEarthP = {102.93768193, 0.4419};        // deg
constexpr Linear kMoxEarthU = {354.887, -0.024};             // deg

void Reset(Model& m, double epoch) {
  m.Lae = kLae;
  m.T = (m.JD - epoch) / 36525.0;
}

bool IsPlanet(int k) { return k >= 1 && k <= 9; }

// Fills body k from a J2000 row; the Earth's node is left to the caller.
void SetJ2000(Model& m, int k, const JplRow& r) {
  const double t = m.T;
  m.Aae[k] = r.a.At(t);
  m.R0sr[k] = m.Lae * m.Aae[k];
  m.Eks0[k] = r.e.At(t);
  m.Betta0[k] = r.i.At(t) / m.kUgol;
  m.AlfaL[k] = r.L.At(t) / m.kUgol;
  m.AlfaP0[k] = r.P.At(t) / m.kUgol;
  m.AlfaU0[k] = r.U.At(t) / m.kUgol;
  m.W0sr[k] = r.n / m.kUgol / 100.0 / m.sekG;
}

}  // namespace

void NewcombElements(Model& m, int k) {
  Reset(m, m.JD1900);
  if (!IsPlanet(k)) return;
  const double t = m.T;
  if (k == 9) {
    const NewcombPluto& p = kNewcombPluto;
    m.Aae[k] = p.Aae;
    m.R0sr[k] = m.Lae * p.Aae;
    m.AlfaL[k] = p.L0 + p.L1 * t;  // already radians
    m.AlfaP0[k] = (p.P0 + p.P1 * t) / m.kUgol;
    m.AlfaU0[k] = (p.U0 + p.U1 * t) / m.kUgol;
    m.Betta0[k] = (p.I0 + p.I1 * t) / m.kUgol;
    m.Eks0[k] = p.e0 + p.e1 * t;
    m.W0sr[k] = p.n / 86400.0;
    return;
  }
  const NewcombRow& r = kNewcomb[k];
  m.Aae[k] = r.Aae;
  m.R0sr[k] = m.Lae * r.Aae;
  m.AlfaL[k] = NewcombDegrees(r.L, t) / m.kUgol;
  m.AlfaP0[k] = NewcombDegrees(r.P, t) / m.kUgol;
  if (k == 3) {
    m.AlfaU0[k] = kNewcombEarthNode / m.kUgol;
    m.Betta0[k] = 0.0;
  } else {
    m.AlfaU0[k] = NewcombDegrees(r.U, t) / m.kUgol;
    m.Betta0[k] = NewcombDegrees(r.I, t) / m.kUgol;
  }
  m.Eks0[k] = r.e0 + r.e1 * t + r.e2 * t * t + r.e3 * t * t * t;
  const double n = r.n0 + r.n1 * t;
  m.W0sr[k] = k <= 4 ? n / 3600.0 / m.kUgol / 86400.0  // arc seconds per day
                     : n / 86400.0;                    // radians per day
}

void JplElements(Model& m, int k) {
  Reset(m, m.JD2000);
  if (!IsPlanet(k)) return;
  SetJ2000(m, k, kJpl[k]);
  if (k == 3) m.AlfaU0[k] = kJplEarthNode;
}

void MoxElements(Model& m, int k) {
  Reset(m, m.JD2000);
  if (!IsPlanet(k)) return;
  JplRow r = kJpl[k];
  if (k == 1) {
    r.e = kMoxMercuryE;
    r.i = kMoxMercuryI;
    r.P = kMoxMercuryP;
    r.U = kMoxMercuryU;
  } else if (k == 3) {
    r.e = kMoxEarthE;
    r.P = kMoxEarthP;
    r.U = kMoxEarthU;
  }
  SetJ2000(m, k, r);
}

}  // namespace torvik
