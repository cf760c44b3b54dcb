// A workbook that publishes fixed values in its cells (or computes them from
// the input cells with a hook), for proving the cell contract of the tables.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "observe/workbook.h"

namespace torvik::test {

class FakeWorkbook : public Workbook {
 public:
  using Key = std::pair<int, std::string>;
  explicit FakeWorkbook(int sheets) : sheets_(sheets) {}

  int SheetCount() const override { return sheets_; }
  bool SetNumber(int sheet, std::string_view cell, double value) override {
    if (sheet < 1 || sheet > sheets_) return false;
    cells[{sheet, std::string(cell)}].number = value;
    return true;
  }
  bool Recalculate() override {
    ++recalculations;
    if (onRecalculate) onRecalculate(*this);
    return !failRecalculate;
  }
  bool Get(int sheet, std::string_view cell, CellValue* value) const override {
    if (sheet < 1 || sheet > sheets_) return false;
    auto it = cells.find({sheet, std::string(cell)});
    *value = it == cells.end() ? CellValue{} : it->second;
    return true;
  }
  double Number(int sheet, const std::string& cell) const {
    auto it = cells.find({sheet, cell});
    return it == cells.end() ? 0.0 : it->second.number;
  }

  std::map<Key, CellValue> cells;
  std::function<void(FakeWorkbook&)> onRecalculate;
  bool failRecalculate = false;
  int recalculations = 0;

 private:
  int sheets_;
};

}  // namespace torvik::test
