#include "core/model.h"

namespace torvik {

const std::array<const char*, 11> kBodyNames = {
    "Солнце", "Меркурий", "Венера", "Земля", "Марс", "Юпитер",
    "Сатурн", "Уран",     "Нептун", "Плутон", "Ксена"};

namespace {

// Body colours (red, green, blue), 0..10.
constexpr int kColours[11][3] = {
    {250, 250, 0}, {0, 255, 0}, {0, 145, 0}, {0, 0, 255}, {255, 0, 0}, {0, 0, 191},
    {0, 191, 0},   {189, 0, 0}, {255, 0, 0}, {0, 0, 255}, {0, 250, 0}};

// Reference sidereal periods, days (0 and 10 are placeholders).
constexpr double kTsid[11] = {4444,    87.96926, 224.7008, 365.2564, 686.9796, 4332.82,
                              10755.7, 30687.15, 60190.03, 90553.02, 99999};

// DE405 record layout: first coefficient (from 1), coefficients per component, days.
constexpr De405Layout kDe405[10] = {
    {753, 11, 16},  // Солнце
    {3, 14, 8},     // Меркурий
    {171, 10, 16},  // Венера
    {231, 13, 16},  // Земля (Earth–Moon barycentre)
    {309, 11, 32},  // Марс
    {342, 8, 32},   // Юпитер
    {366, 7, 32},   // Сатурн
    {387, 6, 32},   // Уран
    {405, 6, 32},   // Нептун
    {423, 6, 32},   // Плутон
};

}  // namespace

void SetConstants(Model& m) {
  m.MK = 1000000.0;
  m.Pi = 3.14159265359;
  m.kUgol = 180.0 / m.Pi;
  m.sekG = 31557600.0;
  m.sekD = 86400.0;
  m.Lae = 149597870691.0;
  m.Vsv = 299792500.0;
  m.Rsol = 695000000.0;
  m.JD1900 = 2415020.0;
  m.JD2000 = 2451545.0;
  m.Eps0 = 23.439280808 / m.kUgol;
  m.nObj = 10;
  m.Mxy = 3e11;
  for (int k = 0; k <= 10; ++k) {
    m.ColR[k] = static_cast<std::int16_t>(kColours[k][0]);
    m.ColG[k] = static_cast<std::int16_t>(kColours[k][1]);
    m.ColB[k] = static_cast<std::int16_t>(kColours[k][2]);
    m.Tsid[k] = kTsid[k];
  }
  for (int k = 0; k < 10; ++k) m.De405[k] = kDe405[k];
}

void SetInSys(Model& m, const std::array<bool, 11>& on) {
  m.InSys.fill(0);
  for (auto& row : m.kPair) row.fill(0);
  for (int k = 0; k <= 10; ++k) m.InSys[k] = on[k] ? 1 : 0;
  for (int i = 0; i <= 10; ++i)
    for (int j = 0; j <= 10; ++j) m.kPair[i][j] = (on[i] && on[j]) ? 1 : 0;
}

}  // namespace torvik
