// Evaluation of compiled formulas. An error inside an evaluation is raised as a C++ exception
// (GXRaised) and caught by the evaluation's trap, which turns it into an error value.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "grid/formula/CellStore.h"
#include "grid/formula/Value.h"

namespace formula {

struct GXCallFrame;

// What GXRaiseError throws; only the evaluator's trap catches it.
struct GXRaised {
    int number;
    const char* context;
};

// The state of the running evaluation; saved and restored around each one, so evaluations nest.
struct GX_EVAL_STATE {
    int sheet = 0;
    GXEngineSheet* sheetPtr = nullptr;
    const char* functionName = nullptr;
    int row = 0;
    int col = 0;
    int error = 0;
    const char* context = nullptr;
    GXCallFrame* frame = nullptr;
    bool active = false;
    std::vector<std::unique_ptr<double[]>> temps;  // at most 8, freed when the evaluation ends
};

GX_EVAL_STATE& GXGetEvalState();

// The trapped evaluation of a formula as if it stood in (row, col) of the sheet.
GXValue GXEvaluate(int sheet, int row, int col, const GXExprNode* nodes, int root);
// The same trap for a node of the running evaluation, keeping its sheet and cell.
GXValue GXEvaluateSub(const GXExprNode* nodes, int index);
// An unevaluated argument (GX_VT_UNEVALUATED) evaluated with the trap.
GXValue GXEvaluateArg(const GXValue& unevaluated);
// One node without a trap: errors propagate to the caller's trap.
GXValue GXEvalNode(const GXExprNode* nodes, int index);
// Parses text ("=" added when missing) and evaluates it in the given cell; false when the text
// does not parse or the result is an error.
bool GXEvaluateText(int sheet, std::string_view text, int row, int col, GXValue& out);

[[noreturn]] void GXRaiseError(int number, const char* context = nullptr);
double GXValueToNumber(const GXValue& v);
int32_t GXValueToInt(const GXValue& v);
// A cell's value: number, string, not available or (outside an evaluation) an error value.
GXValue GXResolveCell(int row, int col);
// The same for any sheet; inside an evaluation an error cell raises 133.
GXValue GXReadCell(GXEngineSheet* sheet, int row, int col, bool insideEvaluation);
// True when the cell is missing or holds nothing (after its formula, if any, is computed).
bool GXIsBlankCell(GXEngineSheet& sheet, int row, int col);
void GXGetEvalCell(int& row, int& col);
GXEngineSheet& GXCurrentSheet();
// A zeroed temporary array of rows x cols doubles, freed when the evaluation ends.
double* GXAllocTemp(int rows, int cols);
void GXFreeTemp(double* block);

}  // namespace formula
