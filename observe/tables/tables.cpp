// The built-in calculators of the historic tables, by table name: each one a
// workbook whose input cells take the date of a step and whose output cells
// give the tabular places where the observation run reads them. Cells the run
// does not read stay empty.
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "observe/tables/calculators.h"
#include "observe/workbook.h"

namespace torvik {
namespace {

using tables::TableDate;
using tables::TablePlaces;

struct Cell {
  int sheet = 0;  // 0: the table has no such cell
  const char* ref = "";
};

enum class LatitudeForm {
  kDegrees,
  kArcminutes,  // the cell holds arcminutes; Mars's magnitude with "S"/"N" in `side`
};

// Where a table keeps its date, precession and places (worksheets from 1).
struct Layout {
  const char* name;
  int sheets;
  Cell year, month, day, hours;
  Cell ptab;
  std::array<Cell, 4> lon;  // Sun, Mercury, Venus, Mars
  std::array<Cell, 4> lat;  // sheet 0: not published
  LatitudeForm latitude;
  Cell side;                // Mars's "S" or "N" (arcminute form)
  tables::Calculator calc;
};

constexpr Cell N{};  // no cell

const std::array<Layout, 10> kLayouts = {{
    {"AlBattani", 9, {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, N,
     {{{1, "C14"}, {1, "C20"}, {1, "C19"}, {1, "C18"}}}, {{N, {1, "F20"}, {1, "F19"}, {1, "F18"}}},
     LatitudeForm::kDegrees, N, tables::CalcAlBattani},
    {"AlfonsoTab", 7, {1, "D13"}, {1, "C13"}, {1, "B13"}, {1, "F13"}, {1, "D39"},
     {{{1, "D46"}, {1, "D145"}, {1, "D128"}, {1, "D112"}}}, {{N, N, N, N}}, LatitudeForm::kDegrees, N,
     tables::CalcAlfonsine},
    {"AlKhwarizmi", 9, {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, {1, "C22"},
     {{{1, "C14"}, {1, "C20"}, {1, "C19"}, {1, "C18"}}}, {{N, {1, "F20"}, {1, "F19"}, {1, "F18"}}},
     LatitudeForm::kDegrees, N, tables::CalcAlKhwarizmi},
    {"Almagest", 8, {1, "B6"}, {1, "C6"}, {1, "D6"}, {1, "E6"}, N,
     {{{2, "N20"}, {8, "AD61"}, {7, "AD61"}, {6, "AD57"}}}, {{N, {8, "AD36"}, {7, "AD36"}, {6, "AF30"}}},
     LatitudeForm::kArcminutes, {6, "AE30"}, tables::CalcAlmagest},
    {"HandyTables", 9, {1, "C6"}, {1, "D6"}, {1, "E6"}, {1, "F6"}, N,
     {{{2, "W37"}, {9, "Y50"}, {8, "Y50"}, {7, "Y50"}}}, {{N, {9, "Y84"}, {8, "Y84"}, {7, "Y83"}}},
     LatitudeForm::kDegrees, N, tables::CalcHandyTables},
    {"PrutenticTables", 10, {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, {2, "K19"},
     {{{1, "F18"}, {1, "F24"}, {1, "F23"}, {1, "F22"}}}, {{N, {1, "I24"}, {1, "I23"}, {1, "I22"}}},
     LatitudeForm::kDegrees, N, tables::CalcPrutenic},
    {"RudolphineTables", 11, {1, "C10"}, {1, "D10"}, {1, "E10"}, {1, "F10"}, {3, "F27"},
     {{{1, "C13"}, {1, "C19"}, {1, "C18"}, {1, "C17"}}}, {{N, {1, "G19"}, {1, "G18"}, {1, "G17"}}},
     LatitudeForm::kDegrees, N, tables::CalcRudolphine},
    {"Streete", 10, {1, "C14"}, {1, "D14"}, {1, "E14"}, {1, "F14"}, {1, "G20"},
     {{{1, "D25"}, {9, "S35"}, {8, "S35"}, {7, "S35"}}}, {{N, {9, "S41"}, {8, "S41"}, {7, "S41"}}},
     LatitudeForm::kDegrees, N, tables::CalcStreete},
    {"ToledanTables", 10, {1, "D9"}, {1, "C9"}, {1, "B9"}, {1, "F9"}, {2, "F16"},
     {{{1, "C14"}, {1, "C20"}, {1, "C19"}, {1, "C18"}}}, {{N, {1, "F20"}, {1, "F19"}, {1, "F18"}}},
     LatitudeForm::kDegrees, N, tables::CalcToledan},
    {"Wing", 10, {1, "C14"}, {1, "D14"}, {1, "E14"}, {1, "F14"}, N,
     {{{3, "P19"}, {8, "V51"}, {7, "V48"}, {6, "V48"}}}, {{N, {8, "V52"}, {7, "V49"}, {6, "V49"}}},
     LatitudeForm::kDegrees, N, tables::CalcWing},
}};

// "C6", "ad61": one to three column letters then a row number without a
// leading zero; packed with the sheet into one key. 0 when malformed.
std::uint64_t CellKey(int sheet, std::string_view ref) {
  std::uint64_t column = 0, row = 0;
  std::size_t i = 0;
  for (; i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])); ++i)
    column = column * 26 + static_cast<std::uint64_t>(std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
  const std::size_t letters = i;
  if (letters == 0 || letters > 3 || i == ref.size() || ref[i] == '0' || ref.size() - letters > 7) return 0;
  for (; i < ref.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(ref[i]))) return 0;
    row = row * 10 + static_cast<std::uint64_t>(ref[i] - '0');
  }
  return static_cast<std::uint64_t>(sheet) << 48 | column << 32 | row;
}

class TableWorkbook final : public Workbook {
 public:
  explicit TableWorkbook(const Layout& layout) : layout_(layout) {}

  int SheetCount() const override { return layout_.sheets; }

  bool SetNumber(int sheet, std::string_view cell, double value) override {
    const std::uint64_t key = CellKey(sheet, cell);
    if (!HasSheet(sheet) || key == 0) return false;
    Put(key, CellValue{value, {}});
    return true;
  }

  bool Recalculate() override {
    TableDate date{Number(layout_.year), Number(layout_.month), Number(layout_.day), Number(layout_.hours)};
    TablePlaces places;
    bool ok = layout_.calc(date, &places) && std::isfinite(places.ptab);
    for (std::size_t b = 0; b < 4; ++b) ok = ok && std::isfinite(places.lon[b]) && std::isfinite(places.lat[b]);
    if (!ok) {
      ClearOutputs();
      return false;
    }
    Publish(layout_.ptab, places.ptab);
    for (std::size_t b = 0; b < 4; ++b) {
      Publish(layout_.lon[b], places.lon[b]);
      if (layout_.latitude == LatitudeForm::kDegrees) {
        Publish(layout_.lat[b], places.lat[b]);
      } else if (b == tables::kMars) {
        Publish(layout_.lat[b], std::fabs(places.lat[b]) * 60);
        Put(Key(layout_.side), CellValue{0, places.lat[b] < 0 ? "S" : "N"});
      } else {
        Publish(layout_.lat[b], places.lat[b] * 60);
      }
    }
    return true;
  }

  bool Get(int sheet, std::string_view cell, CellValue* value) const override {
    if (!HasSheet(sheet)) return false;
    const CellValue* v = Find(CellKey(sheet, cell));
    *value = v ? *v : CellValue{};
    return true;
  }

 private:
  bool HasSheet(int sheet) const { return sheet >= 1 && sheet <= layout_.sheets; }
  static std::uint64_t Key(const Cell& c) { return c.sheet == 0 ? 0 : CellKey(c.sheet, c.ref); }

  // A workbook holds a few dozen cells at most: a flat list is quickest.
  const CellValue* Find(std::uint64_t key) const {
    if (key == 0) return nullptr;
    for (const auto& [k, v] : cells_)
      if (k == key) return &v;
    return nullptr;
  }
  void Put(std::uint64_t key, CellValue v) {
    for (auto& [k, old] : cells_)
      if (k == key) {
        old = std::move(v);
        return;
      }
    cells_.emplace_back(key, std::move(v));
  }
  double Number(const Cell& c) const {
    const CellValue* v = Find(Key(c));
    return v ? v->number : 0.0;
  }
  void Publish(const Cell& c, double v) {
    if (c.sheet != 0) Put(Key(c), CellValue{v, {}});
  }
  void ClearOutputs() {
    auto drop = [this](const Cell& c) {
      const std::uint64_t key = Key(c);
      std::erase_if(cells_, [key](const auto& kv) { return kv.first == key; });
    };
    drop(layout_.ptab);
    drop(layout_.side);
    for (const Cell& c : layout_.lon) drop(c);
    for (const Cell& c : layout_.lat) drop(c);
  }

  const Layout& layout_;
  std::vector<std::pair<std::uint64_t, CellValue>> cells_;
};

}  // namespace

std::unique_ptr<Workbook> MakeTableWorkbook(std::string_view tableName) {
  for (const Layout& l : kLayouts)
    if (tableName == l.name) return std::make_unique<TableWorkbook>(l);
  return nullptr;
}

}  // namespace torvik
