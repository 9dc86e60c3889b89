// The argument routines that worksheet-function handlers share (see WorksheetFunctions.h for
// how a handler is written).
#pragma once

#include <string>
#include <string_view>

#include "grid/formula/ErrorMessages.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula {

inline constexpr size_t GX_RESULT_LIMIT = 512;  // bytes of a text result with its terminator

// For one-number functions: exactly one argument (else 165); a number, a cell's number by
// GXCellNumber (0 when none), 0 for a string; an error value raises its error; else 98.
double GXNumericArgument(GXCallFrame& frame);
// A cell reference becomes the cell's value in place (empty or missing: the number 0; an error
// cell raises 60); an error value raises its error. True when the value is now a scalar
// (number or string).
bool GXDereferenceValue(GXValue& v);
// Truncation to 32 bits; x >= 4294967296 or x <= -2147483649 raises 109.
int32_t GXToInteger(double x);
// The number of one cell: a number, or a text that starts (after blanks and one "-") with a
// digit, converted as a C decimal literal. Error cells raise 60. False when no number.
bool GXCellNumber(int row, int col, double& out);
// The text of a text cell; error cells raise 60; false otherwise.
bool GXCellString(int row, int col, std::string& out);
// Copy or append within limit bytes (terminator included); a text that does not fit is cut to
// limit - 1 bytes and 150 is raised.
void GXCopyBounded(std::string& dst, std::string_view src, size_t limit = GX_RESULT_LIMIT);
void GXAppendBounded(std::string& dst, std::string_view src, size_t limit = GX_RESULT_LIMIT);
// Raises code with the running function's name as context. Never returns.
[[noreturn]] void GXFunctionError(int code);
// Raises code unless ok.
inline void GXRequire(bool ok, int code) {
    if (!ok) {
        GXFunctionError(code);
    }
}
// Raises the error a value carries. Never returns.
[[noreturn]] void GXRaiseValueError(const GXValue& v);
// Calls visit(double) for every number of a list argument: numbers, cells and ranges (row by
// row) whose cells GXCellNumber accepts; error values raise; strings are skipped.
template <typename Visit>
void GXForEachListNumber(GXCallFrame& frame, int firstArg, Visit visit);
// The cells of a range that hold something, row by row and within a row by column; a range
// whose corners are given in reverse order counts as its normal form.
std::vector<GXEngineCell*> GXRangeCells(const GXRangeRef& range);
// Raises code (165 by default) unless min <= frame.count <= max.
void GXCheckArgCount(const GXCallFrame& frame, int min, int max, int code = 165);

// Raises `code` unless the call has exactly n arguments.
void GXRequireArgCount(const GXCallFrame& frame, int n, int code = GX_ERR_WRONG_ARG_COUNT);
// Argument i dereferenced (GXDereferenceValue); raises `code` unless it is now a number (98
// "improper argument type" or, in the financial family, 56).
double GXNumberArg(GXCallFrame& frame, int i, int code = GX_ERR_BAD_ARG_TYPE);
// Argument i dereferenced; raises `code` unless it is now a string.
const std::string& GXStringArg(GXCallFrame& frame, int i, int code = GX_ERR_BAD_ARG_TYPE);
// Argument i as a range: a range, or a cell reference as a one-cell range; an error value
// raises its error; any other kind raises `code`.
GXRangeRef GXRangeArg(GXCallFrame& frame, int i, int code = GX_ERR_BAD_ARG_TYPE);
// The cell at (row, col) of the sheet being computed, its formula computed in this pass; null
// when there is no cell.
GXEngineCell* GXComputedCell(int row, int col);
// A number truncated toward zero and clamped to the int range (NaN gives 0), for counts and
// positions whose range the caller checks itself.
int GXTruncClamp(double x);

template <typename Visit>
void GXForEachListNumber(GXCallFrame& frame, int firstArg, Visit visit) {
    for (int i = firstArg; i <= frame.count; ++i) {
        GXValue& v = frame.arg(i);
        double x = 0;
        switch (v.type) {
            case GX_VT_NUMBER:
                visit(v.number);
                break;
            case GX_VT_ERROR:
                GXRaiseValueError(v);
            case GX_VT_CELL:
                if (GXCellNumber(v.ref.firstRow(), v.ref.firstCol(), x)) {
                    visit(x);
                }
                break;
            case GX_VT_RANGE:
                for (GXEngineCell* c : GXRangeCells(v.ref)) {
                    if (GXCellNumber(c->row, c->col, x)) {
                        visit(x);
                    }
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace formula
