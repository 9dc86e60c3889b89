// Fuzz target of parse-and-evaluate: the input is up to four formula texts, one a line, put
// into C1, C2, D1 and D2 of a sheet that holds numbers, dates, texts and an error, so the
// formulas can read the data, each other and themselves (cycles). The first byte picks the
// sheet's options. Every formula must parse or be refused, evaluate to a value or an error,
// and show a text, within the runner's per-input time limit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "grid/formula/CellContents.h"
#include "grid/formula/EngineState.h"
#include "grid/formula/Evaluator.h"
#include "grid/formula/Recalc.h"

using namespace formula;

namespace {

void FillData(int sheet) {
    for (int row = 1; row <= 5; ++row) {
        GXSetNumber(sheet, row, 0, row * 250.0 - 700);  // flows: -450, -200, 50, 300, 550
        GXSetNumber(sheet, row, 1, 36892 + row * 91);   // dates from April 2001
    }
    GXSetText(sheet, 6, 0, "abc");
    GXSetText(sheet, 7, 0, " -12.5");
    GXSetFormula(sheet, 8, 0, "=1/0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 2048) {
        return 0;
    }
    GXResetEngineState();
    GXGetEngineState().UseDefaultWorksheetFunctions();
    int sheet = GXCreateSheet();
    uint8_t options = data[0];
    GXSetBlanksAreZero(sheet, options & 1);
    GXSetIterationCount(sheet, (options & 2) ? 10 : 0);
    GXSetConstraintCheck(sheet, (options >> 2) & 1);
    GXSetRecalcMethod(sheet, (options >> 3) & 1);
    FillData(sheet);

    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const int cells[4][2] = {{1, 2}, {2, 2}, {1, 3}, {2, 3}};
    for (const auto& [row, col] : cells) {
        size_t end = rest.find('\n');
        std::string_view text = rest.substr(0, end);
        GXSetFormula(sheet, row, col, text);
        GXValue v;
        GXEvaluateText(sheet, text, 20, 5, v);
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    GXRecalcAll(sheet);
    for (const auto& [row, col] : cells) {
        std::string shown = GXGetCellText(sheet, row, col);
        (void)shown;
    }
    GXResetEngineState();
    return 0;
}
