#include "params/loading.h"

#include <cmath>

#include "core/calendar.h"
#include "core/kepler.h"
#include "core/textfile.h"
#include "core/theories.h"
#include "core/fields.h"
#include "params/paramfile.h"

namespace torvik {

// m(Sun)/m(body), bodies 0..9.
const std::array<double, 10> kJplMassRatios = {
    1, 6023600, 408523.71, 328900.5614, 3098708, 1047.3486, 3497.898, 22902.98, 19412.24, 135200000};
const std::array<double, 10> kNewcombMassRatios = {
    1, 6000000, 408000, 329390, 3093500, 1047.355, 3501.6, 22869, 19700, 15408856};

namespace {

UserMessage BadData() { return UserMessage{kMsgBadData, kTitle}; }
UserMessage BadScreenData() { return UserMessage{kMsgBadScreenData, kTitle0}; }

bool AllFinite(const Model& m, int k) {
  for (double v : {m.AlfaL[k], m.R0sr[k], m.W0sr[k], m.Eks0[k], m.Betta0[k], m.AlfaP0[k], m.AlfaU0[k]})
    if (!std::isfinite(v)) return false;
  return true;
}

ActionResult LoadElements(Model& m, LoadOption option) {
  const bool newcomb = option == LoadOption::Newcomb;
  m.mSol() = newcomb ? kNewcombSunMass : kJplSunMass;
  m.gamma = newcomb ? kNewcombGamma : kJplGamma;
  m.JD0 = newcomb ? m.JDstart : m.JD2000;
  const auto& ratios = newcomb ? kNewcombMassRatios : kJplMassRatios;
  for (int k = 0; k < 10; ++k) m.km[k] = ratios[k];
  for (int k = 1; k <= 9; ++k) {
    switch (option) {
      case LoadOption::Jpl: JplElements(m, k); break;
      case LoadOption::Mox: MoxElements(m, k); break;
      default: NewcombElements(m, k); break;
    }
    if (!AllFinite(m, k)) return BadData();
  }
  SetXenaPlaceholder(m);
  return std::nullopt;
}

ActionResult LoadScreen(Model& m, const LoadInputs& in) {
  auto v = ParseFieldNumber(in.mSol);
  if (!v) return BadScreenData();
  m.mSol() = *v;
  if (!(v = ParseFieldNumber(in.gamma))) return BadScreenData();
  m.gamma = *v;
  if (!(v = ParseFieldNumber(in.laeKm))) return BadScreenData();
  m.Lae = *v * 1000.0;
  for (int k = 0; k < kGridColumns; ++k) {
    for (int r = 0; r < kGridRows; ++r) {
      if (!(v = ParseFieldNumber(in.grid[r][k]))) return BadScreenData();
      const double x = *v;
      if (in.gridMode == GridMode::Elements) {
        switch (r) {
          case 0: m.AlfaL[k] = x / m.kUgol; break;
          case 1: m.R0sr[k] = x * m.MK; break;  // thousands of km
          case 2: m.W0sr[k] = x / m.sekG; break;  // rad/year
          case 3: m.Eks0[k] = x; break;
          case 4: m.Betta0[k] = x / m.kUgol; break;
          case 5: m.AlfaP0[k] = x / m.kUgol; break;
          default: m.AlfaU0[k] = x / m.kUgol; break;
        }
      } else {
        switch (r) {
          case 0: m.X0[k] = m.X[k] = x * m.MK; break;  // thousands of km
          case 1: m.Y0[k] = m.Y[k] = x * m.MK; break;
          case 2: m.Z0[k] = m.Z[k] = x * m.MK; break;
          case 3: m.VX0[k] = m.VX[k] = x; break;
          case 4: m.VY0[k] = m.VY[k] = x; break;
          case 5: m.VZ0[k] = m.VZ[k] = x; break;
          default: m.km[k] = x; break;
        }
      }
    }
  }
  return std::nullopt;
}

}  // namespace

const char* LoadOptionCaption(LoadOption option) {
  switch (option) {
    case LoadOption::Newcomb: return "параметры Ньюкома на заданную дату и эпоху этой даты";
    case LoadOption::Jpl: return "JPL ";
    case LoadOption::Mox: return "Mox на заданную дату для эпохи J2000";
    case LoadOption::File: return "из файла №    или ";
    case LoadOption::Screen: return "с экрана";
  }
  return "";
}

LoadInputs DateInputs(std::int32_t year, std::int32_t month, double day) {
  LoadInputs in;
  in.year = std::to_string(year);
  in.month = std::to_string(month);
  in.day = ShortestText(day);
  return in;
}

ActionResult DateFieldsToJD(Model& m, const std::string& day, const std::string& month,
                            const std::string& year) {
  // Only dates that the calendars and the theories serve (core/calendar.h).
  auto y = ParseFieldInt32(year);
  if (!y || *y < kMinYear || *y > kMaxYear) return BadData();
  m.DateY = *y;
  auto mo = ParseFieldInt32(month);
  if (!mo || *mo < 1 || *mo > 12) return BadData();
  m.DateM = *mo;
  auto d = ParseFieldNumber(day);
  if (!d || !DateInRange(*y, *mo, *d)) return BadData();
  m.DateD = static_cast<float>(*d);
  DateToJD(m);
  return std::nullopt;
}

ActionResult JDFieldToDate(Model& m, const std::string& jd) {
  auto v = ParseFieldNumber(jd);
  if (!v || !JDInRange(*v)) return BadData();
  m.JD = *v;
  if (!JDToDate(m)) return BadData();
  return std::nullopt;
}

ShownLoadFields ShowLoadFields(const Model& m) {
  ShownLoadFields f;
  f.day = SingleText(m.DateD);
  f.month = std::to_string(m.DateM);
  f.year = std::to_string(m.DateY);
  f.outDay = SingleText(m.OutD);
  f.outMonth = std::to_string(m.OutM);
  f.outYear = std::to_string(m.OutY);
  f.jd = FieldText(m.JDstart);
  f.mSol = FieldText(m.mSol());
  f.gamma = FieldText(m.gamma);
  f.laeKm = FieldText(m.Lae / 1000);
  f.fileNumber = std::to_string(m.NFile);
  return f;
}

void SetXenaPlaceholder(Model& m) {
  constexpr int k = 10;
  m.AlfaL[k] = 0.01;
  m.W0sr[k] = 0.00001 / 86400.0;
  m.km[k] = 9888777;
  m.Eks0[k] = 0.001;
  m.Betta0[k] = 0.01;
  m.AlfaU0[k] = 0.01;
  m.AlfaP0[k] = m.Pi / 2.0;
  m.Aae[k] = 50.01;
  m.R0sr[k] = m.Lae * 50.01;
}

bool CompleteLoad(Model& m) {
  for (int k = 1; k <= 10; ++k) {
    if (m.km[k] == 0.0) return false;
    const double mass = m.mSol() / m.km[k];
    const double speed = m.W0sr[k] * m.R0sr[k];
    if (!std::isfinite(mass) || !std::isfinite(speed) || !std::isfinite(m.AlfaL[k])) return false;
    m.mPl[k] = mass;
    m.V0sr[k] = speed;
    NormaliseElements(m, k);
  }
  return true;
}

ActionResult Load(Model& m, LoadOption option, const LoadInputs& in, const std::filesystem::path& folder) {
  // The Sun sits at rest in the origin of the heliocentric elements.
  m.R0sr[0] = m.W0sr[0] = m.Eks0[0] = m.AlfaU0[0] = m.AlfaP0[0] = m.Betta0[0] = 0.0;
  m.X[0] = m.Y[0] = m.Z[0] = m.VX[0] = m.VY[0] = m.VZ[0] = 0.0;
  m.X[11] = m.Y[11] = m.Z[11] = 0.0;

  if (auto r = DateFieldsToJD(m, in.day, in.month, in.year)) return r;
  m.JDstart = m.JD;
  m.JD0 = m.JDstart;

  ActionResult r;
  UserMessage fault = BadData();
  switch (option) {
    case LoadOption::File: {
      auto n = ParseFieldInt16(in.fileNumber);
      if (!n) return UserMessage{kMsgFileRead, kTitle0};
      m.NFile = *n;
      fault = UserMessage{std::string(kMsgFileRead) + "\r\n" + ParamFileRelPath(*n), kTitle0};
      r = ReadParamFile(m, folder, *n);
      break;
    }
    case LoadOption::Screen:
      fault = BadScreenData();
      r = LoadScreen(m, in);
      break;
    default:
      r = LoadElements(m, option);
      break;
  }
  if (r) return r;
  if (!CompleteLoad(m)) return fault;
  return std::nullopt;
}

ActionResult Save(Model& m, const std::string& fileNumber, const std::filesystem::path& folder) {
  auto n = ParseFieldInt16(fileNumber);
  if (!n) return UserMessage{kMsgFileWrite, kTitle0};
  m.NFile = *n;
  return WriteParamFile(m, folder, *n);
}

std::array<PictureBody, 11> PictureBodies(const Model& m) {
  std::array<PictureBody, 11> b{};
  for (int k = 0; k <= 10; ++k)
    b[k] = PictureBody{m.X[k] / m.Mxy, m.Y[k] / m.Mxy, m.ColR[k], m.ColG[k], m.ColB[k]};
  return b;
}

}  // namespace torvik
