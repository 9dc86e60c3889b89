// The worksheet-function table and its calling convention.
//
// HOW A HANDLER IS WRITTEN AND REGISTERED
//
// The table of all functions (name, argument descriptors, result kind, external number) is in
// FunctionTable.cpp; an entry without a handler raises "function not installed" (166) when a
// formula calls it. Handlers live in grid/formula/functions/<Family>.cpp, one file per family.
// Each such file defines exactly one registration function named after the file:
//
//     // grid/formula/functions/Math.cpp
//     #include "grid/formula/FunctionArgs.h"
//     namespace formula {
//     namespace {
//     void Abs(GXValue& result, GXCallFrame& frame) {
//         result = GXValue::Number(std::fabs(GXNumericArgument(frame)));
//     }
//     }  // namespace
//     void GXRegisterMathFunctions(GXHandlerRegistry& r) { r.Add("ABS", Abs); }
//     }  // namespace formula
//
// The build globs functions/*.cpp and generates the calls of GXRegister<File>Functions, so a
// new family file needs no edit anywhere else. Adding a name that is not in the table, or the
// same name twice, throws std::logic_error when the default set is created (a test catches it).
//
// The handler receives the call frame: frame.count arguments, frame.arg(1) .. frame.arg(count)
// in call order (GXValue, Value.h). Arguments with descriptor kind 1 (number) arrive already
// converted by the evaluator (a cell or text became a number); all others arrive as written:
// numbers, strings, cell references (GX_VT_CELL), ranges, error values, and unevaluated
// arguments (GX_VT_UNEVALUATED, evaluate them with GXEvaluateArg). The handler fills `result`
// completely (GXValue::Number, GXValue::String, GXValue::Range, ...). Errors are raised, never
// returned: GXFunctionError(code) or GXRaiseValueError(value); both unwind by exception to the
// formula's cell. Handlers check their own argument count (165 and the family's codes) and
// kinds, with the shared routines of FunctionArgs.h. String results are limited to 511 bytes
// (GXCopyBounded / GXAppendBounded raise 150). A handler may call the evaluator recursively.
//
// BLANK CELLS. A blank (missing or empty) cell given where a function takes one number, or
// read as a scalar by GXNumericArgument, GXDereferenceValue or GXNumberArg, is the number 0,
// whether or not the sheet's "blank cells count as zero" is on: =ABS(A1), =ROUND(A1,0),
// =IF(A1,1,2) and =LEFT("abc",A1) read 0 like ISNUMBER(A1). List arguments skip blank cells
// (GXCellNumber yields nothing for them), so AVG(A1:A3) averages only what is there. The
// setting governs operators and a formula that is only a reference: with it off, =A1+1 and
// =A1 with A1 blank are errors (128 and 60); with it on they read 0.
//
// LOOPS. A count, period or size taken from an argument never drives a loop unbounded: an
// argument can be 1e308. Handlers count in integers against a limit the arguments cannot
// raise (the calendar's last day, the 511-byte text limit, the range's cells), or use a
// closed form (annuity balances, declining balances), so every formula returns at once.
//
// What the core offers handlers (all usable inside a call):
//   FunctionArgs.h   GXNumericArgument, GXDereferenceValue, GXToInteger, GXCellNumber,
//                    GXCellString, GXCopyBounded, GXAppendBounded, GXFunctionError,
//                    GXRequire, GXRaiseValueError, GXCheckArgCount, GXNumberArg (a scalar that must
//                    be a number), GXForEachListNumber (list arguments), GXRangeCells (the cells of
//                    a range that hold something, row by row).
//   Evaluator.h      GXEvaluateArg (an unevaluated argument, trapped: errors come back as error
//                    values), GXEvaluate(GXGetEvalState().sheet, row, col, nodes, index) to
//                    evaluate at another cell (conditions of CSUM and the like),
//                    GXEvaluateText, GXGetEvalCell, GXCurrentSheet, GXReadCell,
//                    GXAllocTemp/GXFreeTemp, GXGetEvalState().functionName.
//   CellStore.h      GXFindCell, GXCountCells(sheet, GX_LIST_VALUES | GX_LIST_FORMULAS) (the
//                    cell-count bound for arrays read from ranges), the sheet's options
//                    (blanksAreZero, recalcState & GX_RECALC_ITERATING for INIT).
//   CellContents.h   GXWriteMatrixResult (array functions), GXGetCellText (display text).
//   EngineState.h    GXPostMessage (MESSAGE; the slot holds 259 characters).
//   PatternMatcher.h RegexCompile/RegexExecute (REGEX).
//   NumericHelpers.h distributions, calendar, matrices, transforms, GXRandom; after a routine,
//                    GXTakeNumericError() != 0 means raise 86 (or the routine's error).
//   RangeRef.h       GXParseRef, GXRefToText, GXColumnName, GXIntersection.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "grid/formula/Value.h"

namespace formula {

// The arguments of one call, counted from 1.
struct GXCallFrame {
    int count = 0;
    std::vector<GXValue> args;  // args[0] unused
    const struct GXWorksheetFunctionEntry* entry = nullptr;

    GXValue& arg(int i) { return args[static_cast<size_t>(i)]; }
};

using GXFunctionHandler = void (*)(GXValue& result, GXCallFrame& frame);

enum GXArgKind : uint16_t {
    GX_ARG_NUMBER = 1,
    GX_ARG_LIST = 2,
    GX_ARG_TEXT_OPERAND = 3,
    GX_ARG_STRING = 4,
    GX_ARG_RANGE = 7,
    GX_ARG_MATRIX = 8,
    GX_ARG_ANY = 10,
};

enum GXArgFlag : uint32_t {
    GX_ARGF_UNEVALUATED = 1,
    GX_ARGF_OPTIONAL = 2,
    GX_ARGF_REPEATING = 4,
    GX_ARGF_PRESENCE_MASK = 6,  // 0 required, 2 optional, 4 repeating, 6 no argument
};

enum GXResultKind : uint16_t {
    GX_RESULT_NUMBER = 0,
    GX_RESULT_STRING = 3,
    GX_RESULT_CELL = 6,
    GX_RESULT_REFERENCE = 7,
    GX_RESULT_ARRAY = 9,
    GX_RESULT_ANY = 10,
};

struct GXArgDescriptor {
    uint16_t kind = 0;
    uint32_t flags = 0;
};

struct GXWorksheetFunctionEntry {
    const char* name = nullptr;  // upper-case ASCII
    GXFunctionHandler handler = nullptr;
    uint16_t resultKind = 0;
    uint16_t argCount = 0;
    GXArgDescriptor args[9] = {};
    int32_t external = -1;
    int disabled = 0;  // non-zero: calls yield the number 0 without running the handler
};

// Collects the handlers of the family files by name.
class GXHandlerRegistry {
public:
    void Add(std::string_view name, GXFunctionHandler handler);
    const std::map<std::string, GXFunctionHandler, std::less<>>& Handlers() const {
        return handlers_;
    }

private:
    std::map<std::string, GXFunctionHandler, std::less<>> handlers_;
};

class CGXWorksheetFunctions {
public:
    virtual ~CGXWorksheetFunctions() = default;
    // The entry of a name (exact, upper case) or null.
    virtual const GXWorksheetFunctionEntry* LookupFunction(std::string_view name) const = 0;
    // Runs after every call; nothing to do in the default set.
    virtual void PostCall() {}

    // Binary search over entries sorted by name in byte order.
    static const GXWorksheetFunctionEntry* LookupInTable(std::string_view name,
                                                         const GXWorksheetFunctionEntry* first,
                                                         size_t sizeInBytes);
};

class CGXDefaultWorksheetFunctions : public CGXWorksheetFunctions {
public:
    CGXDefaultWorksheetFunctions();
    const GXWorksheetFunctionEntry* LookupFunction(std::string_view name) const override;
    const std::vector<GXWorksheetFunctionEntry>& Table() const { return table_; }

private:
    std::vector<GXWorksheetFunctionEntry> table_;
};

// The built-in table without handlers, sorted by name.
const std::vector<GXWorksheetFunctionEntry>& GXBuiltinFunctionTable();
// Calls every family file's registration function (generated by the build).
void GXRegisterAllFunctionFamilies(GXHandlerRegistry& registry);

// Null when no set is installed, else the set's entry for the name.
const GXWorksheetFunctionEntry* GXLookupWorksheetFunction(std::string_view name);

}  // namespace formula
