// Clearing, copying, moving, inserting, removing and sorting cells: the engine moves its cells
// and rewrites the references inside every formula, so formulas keep pointing at their data.
// References that would leave the sheet become the error literal "??"; cells that would leave
// it are dropped. While undo recording is on, removed cells go to the sheet's undo list.
#pragma once

#include <span>
#include <string_view>

#include "grid/formula/CellStore.h"

namespace formula {

// False when the range does not meet the occupied part of the sheet.
bool GXClearRange(int sheet, const GXRangeRef& range);
// Moves the block to (destRow, destCol); unless keepNames, names and references wholly inside
// the block move with it.
void GXMoveCells(int sheet, const GXRangeRef& source, int destRow, int destCol, bool keepNames);
// Copies the block; relative reference corners move, absolute ones stay. Unless noRecalc, the
// source and destination join the changed ranges and the sheet is recalculated.
void GXCopyCells(int sheet, const GXRangeRef& source, int destRow, int destCol, bool noRecalc);
void GXInsertRows(int sheet, int row, int count);
void GXInsertCols(int sheet, int col, int count);
void GXRemoveRows(int sheet, int row, int count);
void GXRemoveCols(int sheet, int col, int count);
// Moves rows (or columns) from..to before dest.
void GXMoveRowsOrCols(int sheet, bool rows, int from, int to, int dest);
// Reorders the rows (or columns) of a range after a sort: order[i] is the old relative
// position of the new position i. wholeLines: the range spans whole rows (or columns).
void GXSortMove(int sheet, bool rows, const GXRangeRef& range, std::span<const int> order,
                bool wholeLines);

// Names: at most 31 characters, a letter, "_" or "$" first, then letters, digits, "_", "$" or
// "."; a name of the same letters in any case is redefined. False for an invalid name.
bool GXSetRangeName(int sheet, std::string_view name, const GXRangeRef& ref);
// Formulas that used the name get plain references to its range. False when it did not exist.
bool GXDeleteRangeName(int sheet, std::string_view name);

}  // namespace formula
