// Recalculation: changed ranges mark formulas stale, dependencies are brought up to date
// depth-first (iteratively, so long chains need no deep stack), pass stamps decide what must be
// recomputed, cycles are detected and may be iterated, constraints are checked and counted.
#pragma once

#include "grid/formula/CellStore.h"

namespace formula {

// Returns 0 when manual recalculation is on (the changed ranges are discarded), else 1.
int GXRecalc(int sheet);
// A recalculation with manual recalculation off for its duration and marked forced.
int GXRecalcAll(int sheet);
void GXAddChangedRange(int sheet, const GXRangeRef& range);
void GXAddChangedRange(GXEngineSheet& sheet, const GXRangeRef& range);
void GXClearChangedRanges(int sheet);
// Brings a formula cell up to date in the current pass (dependencies first).
void GXRecomputeCell(GXEngineSheet& sheet, GXEngineCell* cell);
// Evaluates the cell's formula and stores the result when it differs.
void GXComputeCell(GXEngineSheet& sheet, GXEngineCell* cell);
// Evaluates the cell's constraint; true when it is violated.
bool GXCheckConstraint(GXEngineSheet& sheet, GXEngineCell* cell);
// One pass; returns the number of constraint violations counted (0 when not counted).
int GXRecalcPass(GXEngineSheet& sheet);

}  // namespace formula
