// The cell-addressed workbook behind a historic table: the observation run
// writes the date of its step into the table's input cells, lets the workbook
// recalculate and reads the tabular places from its output cells. Sheets are
// numbered from 1 (their position in the workbook), cells are addressed as
// "C6" or "AD61".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace torvik {

// What a cell holds: a number, a text (the "S" of a southern latitude) or
// nothing. An empty cell reads as the number 0 and the empty text. A
// spreadsheet tells a text apart even when it is empty, and an error value
// such as #VALUE!; a place read from either is a fault of the workbook.
enum class CellKind : std::uint8_t { Value, Text, Error };
struct CellValue {
  double number = 0;
  std::string text;
  CellKind kind = CellKind::Value;
};

class Workbook {
 public:
  virtual ~Workbook() = default;

  // Number of worksheets; a reference to a sheet beyond it is a fault of the
  // workbook ("Ошибка вычислений в таблицах").
  virtual int SheetCount() const = 0;
  // Writes a number into a cell of sheet `sheet` (1-based); false when the
  // sheet does not exist.
  virtual bool SetNumber(int sheet, std::string_view cell, double value) = 0;
  // Recomputes every published cell from the input cells; false when the
  // computation failed (the published cells are then unspecified).
  virtual bool Recalculate() = 0;
  // The value of a cell; false when the sheet does not exist.
  virtual bool Get(int sheet, std::string_view cell, CellValue* value) const = 0;
};

// The built-in calculator of a historic table by its table name ("Almagest",
// "AlfonsoTab", …, the names of the "\Tab\" workbooks); nullptr for a name
// the program has no calculator for.
std::unique_ptr<Workbook> MakeTableWorkbook(std::string_view tableName);

}  // namespace torvik
