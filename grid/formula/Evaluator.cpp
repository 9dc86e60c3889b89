#include "grid/formula/Evaluator.h"

#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

#include "grid/formula/EngineState.h"
#include "grid/formula/ErrorMessages.h"
#include "grid/formula/NumberText.h"
#include "grid/formula/Parser.h"
#include "grid/formula/Recalc.h"
#include "grid/formula/WorksheetFunctions.h"

namespace formula {

namespace {

constexpr int kMaxTemps = 8;

// Saves the evaluation state on entry and puts it back on exit.
class StateSaver {
public:
    StateSaver() : saved_(std::move(GXGetEvalState())) { GXGetEvalState() = GX_EVAL_STATE{}; }
    ~StateSaver() { GXGetEvalState() = std::move(saved_); }
    const GX_EVAL_STATE& saved() const { return saved_; }

private:
    GX_EVAL_STATE saved_;
};

GXValue Trapped(const GXExprNode* nodes, int index) {
    GX_ENGINE_STATE& engine = GXGetEngineState();
    engine.errorFlag = 0;
    GXValue result;
    try {
        result = GXEvalNode(nodes, index);
    } catch (const GXRaised& e) {
        result = GXValue::Error(e.number, e.context);
    } catch (const std::bad_alloc&) {
        result = GXValue::Error(GX_ERR_OUT_OF_MEMORY);
    }
    if (result.type == GX_VT_ERROR) {
        engine.errorFlag = 1;
    }
    engine.lastError = result.type == GX_VT_ERROR ? result.error : 0;
    return result;
}

bool BlanksAreZero() {
    return GXGetEvalState().sheetPtr && GXCurrentSheet().blanksAreZero;
}

}  // namespace

GX_EVAL_STATE& GXGetEvalState() {
    static GX_EVAL_STATE state;
    return state;
}

void GXRaiseError(int number, const char* context) {
    GX_EVAL_STATE& s = GXGetEvalState();
    s.error = number;
    s.context = context;
    throw GXRaised{number, context};
}

GXEngineSheet& GXCurrentSheet() {
    GXEngineSheet* s = GXGetEvalState().sheetPtr;
    if (s == nullptr) {
        GXRaiseError(GX_ERR_INVALID_CELL_REF);
    }
    return *s;
}

void GXGetEvalCell(int& row, int& col) {
    row = GXGetEvalState().row;
    col = GXGetEvalState().col;
}

GXValue GXEvaluate(int sheet, int row, int col, const GXExprNode* nodes, int root) {
    StateSaver saver;
    GX_EVAL_STATE& s = GXGetEvalState();
    s.sheet = sheet;
    s.sheetPtr = GXGetSheet(sheet);
    s.row = row;
    s.col = col;
    s.active = true;
    return Trapped(nodes, root);
}

GXValue GXEvaluateSub(const GXExprNode* nodes, int index) {
    StateSaver saver;
    GX_EVAL_STATE& s = GXGetEvalState();
    s.sheet = saver.saved().sheet;
    s.sheetPtr = saver.saved().sheetPtr;
    s.row = saver.saved().row;
    s.col = saver.saved().col;
    s.active = true;
    return Trapped(nodes, index);
}

GXValue GXEvaluateArg(const GXValue& v) {
    if (v.type != GX_VT_UNEVALUATED) {
        return v;
    }
    return GXEvaluateSub(v.nodes, v.index);
}

bool GXEvaluateText(int sheet, std::string_view text, int row, int col, GXValue& out) {
    std::string source(text);
    if (source.empty() || source[0] != '=') {
        source.insert(source.begin(), '=');
    }
    GXFormula f;
    if (!GXParseFormula(sheet, source, f)) {
        out = GXValue::Error(GXGetEngineState().lastError);
        return false;
    }
    out = GXEvaluate(sheet, row, col, f.nodes.data(), f.root);
    // The formula dies here: a string result was copied; an unevaluated one cannot survive.
    return out.type != GX_VT_ERROR;
}

GXValue GXReadCell(GXEngineSheet* sheet, int row, int col, bool insideEvaluation) {
    GXEngineCell* cell = sheet ? GXFindCell(*sheet, row, col) : nullptr;
    if (cell != nullptr && cell->kind() == GX_CELL_FORMULA && !cell->has(GX_CF_COMPUTED)) {
        GXRecomputeCell(*sheet, cell);
    }
    if (cell == nullptr || cell->valueKind() == GX_VAL_EMPTY) {
        return sheet && sheet->blanksAreZero ? GXValue::Number(0)
                                             : GXValue::Error(GX_ERR_CELL_ERROR);
    }
    switch (cell->valueKind()) {
        case GX_VAL_NA:
            return GXValue::NA();
        case GX_VAL_ERROR:
            if (insideEvaluation) {
                GXRaiseError(GX_ERR_OPERAND_ERROR);
            }
            return GXValue::Error(GX_ERR_CELL_ERROR);
        case GX_VAL_NUMBER:
            return GXValue::Number(cell->number);
        default:
            return GXValue::String(cell->text);
    }
}

GXValue GXResolveCell(int row, int col) {
    GX_EVAL_STATE& s = GXGetEvalState();
    return GXReadCell(s.sheetPtr, row, col, s.active);
}

bool GXIsBlankCell(GXEngineSheet& sheet, int row, int col) {
    GXEngineCell* cell = GXFindCell(sheet, row, col);
    return cell == nullptr || cell->valueKind() == GX_VAL_EMPTY;
}

double GXValueToNumber(const GXValue& v) {
    switch (v.type) {
        case GX_VT_NUMBER:
            return v.number;
        case GX_VT_ERROR:
            GXRaiseError(v.error, v.context);
        case GX_VT_CELL: {
            GXValue read = GXResolveCell(v.ref.firstRow(), v.ref.firstCol());
            if (read.type == GX_VT_NUMBER) {
                return read.number;
            }
            if (read.type == GX_VT_STRING && read.text.empty() && BlanksAreZero()) {
                return 0;
            }
            GXRaiseError(GX_ERR_NON_NUMERIC);
        }
        default:
            GXRaiseError(GX_ERR_NON_NUMERIC);
    }
}

int32_t GXValueToInt(const GXValue& v) {
    double x = 0;
    switch (v.type) {
        case GX_VT_NUMBER:
            x = v.number;
            break;
        case GX_VT_ERROR:
            GXRaiseError(v.error, v.context);
        case GX_VT_CELL: {
            GXValue read = GXResolveCell(v.ref.firstRow(), v.ref.firstCol());
            x = read.type == GX_VT_NUMBER ? read.number : 0;
            break;
        }
        default:
            GXRaiseError(GX_ERR_NON_NUMERIC);
    }
    if (!(x > -2147483649.0 && x < 4294967296.0)) {
        GXRaiseError(GX_ERR_LARGER_32_BITS);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(x)));
}

double* GXAllocTemp(int rows, int cols) {
    GX_EVAL_STATE& s = GXGetEvalState();
    if (rows < 0 || cols < 0 || s.temps.size() >= kMaxTemps) {
        GXRaiseError(GX_ERR_OUT_OF_MEMORY);
    }
    size_t n = static_cast<size_t>(rows) * static_cast<size_t>(cols);
    s.temps.push_back(std::make_unique<double[]>(n ? n : 1));
    return s.temps.back().get();
}

void GXFreeTemp(double* block) {
    auto& temps = GXGetEvalState().temps;
    for (auto it = temps.begin(); it != temps.end(); ++it) {
        if (it->get() == block) {
            temps.erase(it);
            return;
        }
    }
}

}  // namespace formula
