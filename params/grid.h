// The 7 × 11 grid of the parameters screen: column k is body k (0 Солнце …
// 10 Ксена); the rows show the elements or the initial data, each value
// truncated toward zero to six decimals in screen units.
#pragma once

#include <array>
#include <string>

#include "core/model.h"

namespace torvik {

inline constexpr int kGridRows = 7;
inline constexpr int kGridColumns = 11;

enum class GridMode {
  Elements,     // "параметры объектов"
  InitialData,  // "начальные данные"
};

// Captions of the mode option group, UTF-8.
inline constexpr const char* kGridModeElements = "параметры объектов";
inline constexpr const char* kGridModeInitialData = "начальные данные";
inline constexpr const char* kGridModeGroup = "Показавать на экране или загружать с экрана";

using GridTexts = std::array<std::array<std::string, kGridColumns>, kGridRows>;  // [row][body]
using GridValues = std::array<std::array<double, kGridColumns>, kGridRows>;

// Row captions of a mode ("AlfaL, град" … "AlfaU, град" or "X, тыс.км" … "mSol/mPl").
const std::array<const char*, kGridRows>& GridCaptions(GridMode mode);

// Values as shown: thousands of km, degrees, rad/year, m/s, truncated to 1e-6.
GridValues GridShownValues(const Model& m, GridMode mode);
// The same as field texts.
GridTexts GridShownTexts(const Model& m, GridMode mode);

}  // namespace torvik
