// Storing values and formulas into engine cells and reading them back.
#pragma once

#include <string>
#include <string_view>

#include "grid/formula/CellStore.h"
#include "grid/formula/Value.h"

namespace formula {

// Each setter returns 1, or 0 for a row outside 1..0x7FFFFF, a column outside 0..4095 or a
// refused text; it takes over the old cell's style and replaces the old cell.
// A formula refused by the parser leaves the old cell and records the error in the engine state.
int GXSetFormula(int sheet, int row, int col, std::string_view text,
                 const GXCellValue* precomputed = nullptr);
int GXSetNumber(int sheet, int row, int col, double value);
// The text is stored as typed; more than 511 characters are refused (error 150).
int GXSetText(int sheet, int row, int col, std::string_view text);
void GXStoreValue(GXEngineCell& cell, const GXCellValue& value);
// The cell's value (a formula not yet computed in this pass is computed first); null and an
// empty value when there is no cell.
GXEngineCell* GXGetCellValue(int sheet, int row, int col, GXCellValue& value);
// The display text: "Cycle!", "#N/A", "Error!", "%.14g" (or the style's number format), the
// text, "Value?", or "" for an empty cell.
std::string GXGetCellText(GXEngineSheet& sheet, GXEngineCell& cell);
std::string GXGetCellText(int sheet, int row, int col);

// For array functions, inside an evaluation: writes a rows x cols block of values from the
// formula's own cell on (row-major; element 0 is the formula's own value and is not written).
// Each written cell holds its number and a formula that refers to the anchor ("=v\\A1"), so
// clearing one recomputes the block. A block that would pass the sheet's edge raises 112
// before anything is written.
void GXWriteMatrixResult(int rows, int cols, const double* values);

}  // namespace formula
