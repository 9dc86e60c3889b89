// Values as the evaluator and the worksheet functions pass them around.
#pragma once

#include <cstdint>
#include <string>

#include "grid/formula/Formula.h"
#include "grid/formula/RangeRef.h"

namespace formula {

enum GXValueType : int32_t {
    GX_VT_NUMBER = 0,
    GX_VT_STRING = 1,
    GX_VT_RANGE = 2,
    GX_VT_CELL = 3,         // a single cell, not yet read
    GX_VT_UNEVALUATED = 4,  // an argument handed over as its nodes
    GX_VT_NA = 5,
    GX_VT_ERROR = 6,
};

struct GXValue {
    int32_t type = GX_VT_NUMBER;
    double number = 0;
    std::string text;
    GXRangeRef ref;                     // range or cell
    const GXExprNode* nodes = nullptr;  // unevaluated: the formula's node array
    int16_t index = -1;                 // unevaluated: the argument's root node
    int32_t error = 0;                  // error number (see ErrorMessages.h)
    const char* context = nullptr;      // error context: static text or null

    static GXValue Number(double v) {
        GXValue r;
        r.number = v;
        return r;
    }
    static GXValue String(std::string s) {
        GXValue r;
        r.type = GX_VT_STRING;
        r.text = std::move(s);
        return r;
    }
    static GXValue Range(const GXRangeRef& ref) {
        GXValue r;
        r.type = GX_VT_RANGE;
        r.ref = ref;
        return r;
    }
    static GXValue Cell(const GXRangeRef& ref) {
        GXValue r;
        r.type = GX_VT_CELL;
        r.ref = ref;
        return r;
    }
    static GXValue NA() {
        GXValue r;
        r.type = GX_VT_NA;
        return r;
    }
    static GXValue Error(int number, const char* context = nullptr) {
        GXValue r;
        r.type = GX_VT_ERROR;
        r.error = number;
        r.context = context;
        return r;
    }
};

// A cell's value as handed in and out of the store: kind as GXValueKind (a short text is
// handed out as a long one, 4).
struct GXCellValue {
    int kind = 0;
    double number = 0;
    std::string text;
    int error = 0;
};

}  // namespace formula
