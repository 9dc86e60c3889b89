#include "grid/formula/FunctionArgs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "grid/formula/NumberText.h"

namespace formula {

namespace {

GXEngineCell* FindCell(int row, int col) {
    return GXFindCell(GXCurrentSheet(), row, col);
}

}  // namespace

void GXFunctionError(int code) {
    GXRaiseError(code, GXGetEvalState().functionName);
}

void GXRaiseValueError(const GXValue& v) {
    GXRaiseError(v.error, v.context);
}

int32_t GXToInteger(double x) {
    if (!(x < 4294967296.0 && x > -2147483649.0)) {
        GXFunctionError(GX_ERR_INT_PARAM_RANGE);
    }
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(x)));
}

bool GXCellNumber(int row, int col, double& out) {
    GXValue v = GXReadCell(&GXCurrentSheet(), row, col, false);
    GXEngineCell* cell = FindCell(row, col);
    if (cell != nullptr && cell->valueKind() == GX_VAL_ERROR) {
        GXFunctionError(GX_ERR_CELL_ERROR);
    }
    if (cell == nullptr || cell->valueKind() == GX_VAL_EMPTY) {
        return false;
    }
    if (v.type == GX_VT_NUMBER) {
        out = v.number;
        return true;
    }
    if (v.type != GX_VT_STRING) {
        return false;
    }
    size_t i = 0;
    while (i < v.text.size() && v.text[i] == ' ') {
        ++i;
    }
    if (i < v.text.size() && v.text[i] == '-') {
        ++i;
    }
    if (i >= v.text.size() || !std::isdigit(static_cast<unsigned char>(v.text[i]))) {
        return false;
    }
    out = GXStrToD(v.text);
    return true;
}

bool GXCellString(int row, int col, std::string& out) {
    GXEngineCell* cell = FindCell(row, col);
    if (cell != nullptr && cell->kind() == GX_CELL_FORMULA && !cell->has(GX_CF_COMPUTED)) {
        GXReadCell(&GXCurrentSheet(), row, col, false);
    }
    if (cell == nullptr) {
        return false;
    }
    if (cell->valueKind() == GX_VAL_ERROR) {
        GXFunctionError(GX_ERR_CELL_ERROR);
    }
    if (!cell->isText()) {
        return false;
    }
    out = cell->text;
    return true;
}

bool GXDereferenceValue(GXValue& v) {
    switch (v.type) {
        case GX_VT_NUMBER:
        case GX_VT_STRING:
            return true;
        case GX_VT_ERROR:
            GXRaiseValueError(v);
        case GX_VT_CELL: {
            int row = v.ref.firstRow(), col = v.ref.firstCol();
            GXValue read = GXReadCell(&GXCurrentSheet(), row, col, false);
            GXEngineCell* cell = FindCell(row, col);
            if (cell != nullptr && cell->valueKind() == GX_VAL_ERROR) {
                GXFunctionError(GX_ERR_CELL_ERROR);
            }
            if (read.type == GX_VT_NUMBER || read.type == GX_VT_STRING) {
                v = std::move(read);
            } else if (read.type == GX_VT_NA) {
                v = GXValue::NA();
                return false;
            } else {
                v = GXValue::Number(0);  // empty or missing
            }
            return true;
        }
        default:
            return false;
    }
}

double GXNumericArgument(GXCallFrame& frame) {
    if (frame.count != 1) {
        GXFunctionError(GX_ERR_WRONG_ARG_COUNT);
    }
    GXValue& v = frame.arg(1);
    double x = 0;
    switch (v.type) {
        case GX_VT_NUMBER:
            return v.number;
        case GX_VT_CELL:
            return GXCellNumber(v.ref.firstRow(), v.ref.firstCol(), x) ? x : 0;
        case GX_VT_STRING:
            return 0;
        case GX_VT_ERROR:
            GXRaiseValueError(v);
        default:
            GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
}

void GXCopyBounded(std::string& dst, std::string_view src, size_t limit) {
    dst.clear();
    GXAppendBounded(dst, src, limit);
}

void GXAppendBounded(std::string& dst, std::string_view src, size_t limit) {
    if (dst.size() + src.size() + 1 > limit) {
        dst.append(src.substr(0, limit - 1 > dst.size() ? limit - 1 - dst.size() : 0));
        GXFunctionError(GX_ERR_STRING_TOO_LONG);
    }
    dst.append(src);
}

std::vector<GXEngineCell*> GXRangeCells(const GXRangeRef& range) {
    GXRangeRef normal = range;
    GXNormalize(normal);
    return GXCellsRowMajor(GXCurrentSheet(), normal, GX_LIST_VALUES | GX_LIST_FORMULAS);
}

GXEngineCell* GXComputedCell(int row, int col) {
    GXEngineSheet& sheet = GXCurrentSheet();
    GXEngineCell* cell = GXFindCell(sheet, row, col);
    if (cell != nullptr && cell->kind() == GX_CELL_FORMULA && !cell->has(GX_CF_COMPUTED)) {
        GXReadCell(&sheet, row, col, false);
    }
    return cell;
}

void GXRequireArgCount(const GXCallFrame& frame, int n, int code) {
    if (frame.count != n) {
        GXFunctionError(code);
    }
}

double GXNumberArg(GXCallFrame& frame, int i, int code) {
    GXValue& v = frame.arg(i);
    if (!GXDereferenceValue(v) || v.type != GX_VT_NUMBER) {
        GXFunctionError(code);
    }
    return v.number;
}

const std::string& GXStringArg(GXCallFrame& frame, int i, int code) {
    GXValue& v = frame.arg(i);
    if (!GXDereferenceValue(v) || v.type != GX_VT_STRING) {
        GXFunctionError(code);
    }
    return v.text;
}

GXRangeRef GXRangeArg(GXCallFrame& frame, int i, int code) {
    const GXValue& v = frame.arg(i);
    if (v.type == GX_VT_ERROR) {
        GXRaiseValueError(v);
    }
    if (v.type != GX_VT_RANGE && v.type != GX_VT_CELL) {
        GXFunctionError(code);
    }
    GXRangeRef r = v.ref;
    if (v.type == GX_VT_CELL) {
        r.setLastRow(r.firstRow());
        r.setLastCol(r.firstCol());
    }
    r.setFlag(GXRangeRef::kSingle, false);
    GXNormalize(r);
    return r;
}

int GXTruncClamp(double x) {
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    if (std::isnan(x)) {
        return 0;
    }
    return static_cast<int>(std::trunc(std::clamp(x, kMin, kMax)));
}

void GXCheckArgCount(const GXCallFrame& frame, int min, int max, int code) {
    if (frame.count < min || frame.count > max) {
        GXFunctionError(code);
    }
}

}  // namespace formula
