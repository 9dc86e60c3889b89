// Logical worksheet functions on three truth values (1 true, 0 false, -1 neither), the type
// tests and the functions that reach outside the value: INIT, FILEEXISTS, MESSAGE and REGEX.
#include <cmath>
#include <cstdio>

#include "grid/formula/EngineState.h"
#include "grid/formula/FunctionArgs.h"
#include "grid/formula/PatternMatcher.h"

namespace formula {

namespace {

enum : int {
    kErrBadPattern = 79,
    kErrTooFew = 159,
    kErrTooMany = 160,
};

int TruthOf(double x) {
    if (!(x < 4294967296.0 && x > -2147483649.0)) {
        return -1;
    }
    int64_t i = static_cast<int64_t>(x);
    return i == 0 ? 0 : i == 1 ? 1 : -1;
}

int CellTruth(int row, int col) {
    double x = 0;
    return GXCellNumber(row, col, x) ? TruthOf(x) : -1;
}

// Calls visit(truth) for every number, cell and cell of a range (row by row).
template <typename Visit>
void ForEachTruth(GXCallFrame& frame, Visit visit) {
    for (int i = 1; i <= frame.count; ++i) {
        const GXValue& v = frame.arg(i);
        switch (v.type) {
            case GX_VT_NUMBER:
                visit(TruthOf(v.number));
                break;
            case GX_VT_ERROR:
                GXRaiseValueError(v);
            case GX_VT_CELL:
                visit(CellTruth(v.ref.firstRow(), v.ref.firstCol()));
                break;
            case GX_VT_RANGE:
                for (GXEngineCell* c : GXRangeCells(v.ref)) {
                    visit(CellTruth(c->row, c->col));
                }
                break;
            default:
                GXFunctionError(GX_ERR_BAD_ARG_TYPE);
        }
    }
}

int AndOf(int a, int b) {
    return a == 0 || b == 0 ? 0 : a == 1 && b == 1 ? 1 : -1;
}
int OrOf(int a, int b) {
    return a == 1 || b == 1 ? 1 : a == 0 && b == 0 ? 0 : -1;
}
int XorOf(int a, int b) {
    return a == -1 || b == -1 ? -1 : a ^ b;
}
int NotOf(int a) {
    return a == -1 ? -1 : 1 - a;
}

template <int (*Combine)(int, int), int Start, bool Negate>
void Logical(GXValue& result, GXCallFrame& frame) {
    int acc = Start;
    ForEachTruth(frame, [&](int v) { acc = Combine(acc, v); });
    result = GXValue::Number(Negate ? NotOf(acc) : acc);
}

void Not(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 1) {
        GXFunctionError(frame.count == 0 ? kErrTooFew : kErrTooMany);
    }
    const GXValue& v = frame.arg(1);
    int truth = -1;
    if (v.type == GX_VT_ERROR) {
        GXRaiseValueError(v);
    } else if (v.type == GX_VT_NUMBER) {
        truth = TruthOf(v.number);
    } else if (v.type == GX_VT_CELL) {
        truth = CellTruth(v.ref.firstRow(), v.ref.firstCol());
    } else {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
    result = GXValue::Number(NotOf(truth));
}

void Init(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    bool iterating = GXCurrentSheet().recalcState & GX_RECALC_ITERATING;
    result = GXEvaluateArg(frame.arg(iterating ? 2 : 1));
}

template <int Type>
void IsType(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    GXValue& v = frame.arg(1);
    if (v.type == GX_VT_RANGE) {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
    GXDereferenceValue(v);
    result = GXValue::Number(v.type == Type ? 1 : 0);
}

void IsError(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    GXValue v = GXEvaluateArg(frame.arg(1));
    bool error = false;
    if (v.type == GX_VT_RANGE) {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    } else if (v.type == GX_VT_CELL) {
        GXEngineCell* cell = GXComputedCell(v.ref.firstRow(), v.ref.firstCol());
        error = cell != nullptr && cell->valueKind() == GX_VAL_ERROR;
    } else {
        error = v.type == GX_VT_ERROR;
    }
    result = GXValue::Number(error ? 1 : 0);
}

void FileExists(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    const std::string& path = GXStringArg(frame, 1);
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f != nullptr) {
        std::fclose(f);
    }
    result = GXValue::Number(f != nullptr ? 1 : 0);
}

// The sheet's message slot takes the text when the flag is set and the slot is free; the
// formula sheet hands it on to the user. There is no speaker to beep on.
void Message(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    double flag = GXNumberArg(frame, 1);
    const std::string& text = GXStringArg(frame, 2);
    if (flag != 0) {
        GXPostMessage(GXCurrentSheet(), text);
    }
    result = GXValue::Number(flag);
}

void Regex(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    const std::string& pattern = GXStringArg(frame, 1);
    const std::string& text = GXStringArg(frame, 2);
    if (RegexCompile(pattern.c_str()) != nullptr) {
        GXFunctionError(kErrBadPattern);
    }
    result = GXValue::Number(RegexExecute(text.c_str()));
}

}  // namespace

void GXRegisterLogicFunctions(GXHandlerRegistry& r) {
    r.Add("AND", Logical<AndOf, 1, false>);
    r.Add("FILEEXISTS", FileExists);
    r.Add("INIT", Init);
    r.Add("ISERROR", IsError);
    r.Add("ISNUMBER", IsType<GX_VT_NUMBER>);
    r.Add("ISSTRING", IsType<GX_VT_STRING>);
    r.Add("MESSAGE", Message);
    r.Add("NAND", Logical<AndOf, 1, true>);
    r.Add("NOR", Logical<OrOf, 0, true>);
    r.Add("NOT", Not);
    r.Add("OR", Logical<OrOf, 0, false>);
    r.Add("REGEX", Regex);
    r.Add("XOR", Logical<XorOf, 0, false>);
}

}  // namespace formula
