// Lookup and reference worksheet functions: references built from numbers or text, measures
// of ranges, CHOOSE, and the table lookups. Rows count from 1, columns and offsets from 0.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "grid/formula/FunctionArgs.h"

namespace formula {

namespace {

enum : int {
    kErrNotReference = 54,
    kErrOutOfRange = 55,
    kErrColumnOffset = 62,
    kErrNoArguments = 71,
    kErrFirstNumeric = 85,
    kErrBadValue = 97,
    kErrDimensions = 103,
    kErrRangeRef = 112,
    kErrNoMatch = 115,
    kErrBothZero = 135,
    kErrRowOffset = 151,
    kErrSelector = 155,
    kErrTooFew = 159,
    kErrTooMany = 160,
    kErrStringMatchType = 302,
};

bool ValidRow(double r) {
    return r >= 1 && r <= GX_MAX_ROW;
}
bool ValidCol(double c) {
    return c >= 0 && c <= GX_MAX_COL;
}

// A reference result: a cell when it covers one cell, else a range.
GXValue Reference(const GXRangeRef& r) {
    if (r.rowCount() == 1 && r.colCount() == 1) {
        return GXValue::Cell(GXMakeCell(r.firstRow(), r.firstCol()));
    }
    return GXValue::Range(r);
}

void At(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    GXRangeRef ref;
    if (!GXParseRef(GXStringArg(frame, 1), ref) || !GXRangeValid(ref)) {
        GXFunctionError(kErrNotReference);
    }
    result = ref.single() ? GXValue::Cell(ref) : GXValue::Range(ref);
}

void CellRef(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    double col = std::trunc(GXNumberArg(frame, 1));
    double row = std::trunc(GXNumberArg(frame, 2));
    if (!ValidRow(row) || !ValidCol(col)) {
        GXFunctionError(GX_ERR_INVALID_CELL_REF);
    }
    result = GXValue::Cell(GXMakeCell(static_cast<int>(row), static_cast<int>(col)));
}

// The corners stay in the order given.
void RangeRef(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 4);
    double c[4];
    for (int i = 0; i < 4; ++i) {
        c[i] = std::trunc(GXNumberArg(frame, i + 1));
    }
    if (!ValidCol(c[0]) || !ValidRow(c[1]) || !ValidCol(c[2]) || !ValidRow(c[3])) {
        GXFunctionError(kErrRangeRef);
    }
    GXRangeRef r;
    r.setFirstCol(static_cast<int>(c[0]));
    r.setFirstRow(static_cast<int>(c[1]));
    r.setLastCol(static_cast<int>(c[2]));
    r.setLastRow(static_cast<int>(c[3]));
    result = GXValue::Range(r);
}

// A 1-based position along the range, inside it.
int Position(double n, int size) {
    n = std::trunc(n);
    if (!(n >= 1 && n <= size)) {
        GXFunctionError(kErrOutOfRange);
    }
    return static_cast<int>(n) - 1;
}

void Index(GXValue& result, GXCallFrame& frame) {
    if (frame.count > 3) {
        GXFunctionError(kErrTooMany);
    }
    GXRangeRef r = GXRangeArg(frame, 1);
    if (frame.count <= 1) {
        result = Reference(r);
        return;
    }
    if (frame.count == 2) {
        if (r.rowCount() != 1 && r.colCount() != 1) {
            GXFunctionError(GX_ERR_WRONG_ARG_COUNT);
        }
        bool alongRow = r.rowCount() == 1;
        int i = Position(GXNumberArg(frame, 2), alongRow ? r.colCount() : r.rowCount());
        result = alongRow ? Reference(GXMakeRange(r.firstRow(), r.firstCol() + i, r.firstRow(),
                                                  r.firstCol() + i))
                          : Reference(GXMakeRange(r.firstRow() + i, r.firstCol(), r.firstRow() + i,
                                                  r.firstCol()));
        return;
    }
    double row = std::trunc(GXNumberArg(frame, 2));
    double col = std::trunc(GXNumberArg(frame, 3));
    if (row == 0 && col == 0) {
        GXFunctionError(kErrBothZero);
    }
    int r0 = r.firstRow(), r1 = r.lastRow(), c0 = r.firstCol(), c1 = r.lastCol();
    if (row != 0) {
        r0 = r1 = r.firstRow() + Position(row, r.rowCount());
    }
    if (col != 0) {
        c0 = c1 = r.firstCol() + Position(col, r.colCount());
    }
    result = Reference(GXMakeRange(r0, c0, r1, c1));
}

void Intersect(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    GXRangeRef a = GXRangeArg(frame, 1);
    GXRangeRef b = GXRangeArg(frame, 2);
    auto common = GXIntersection(a, b);
    result = common ? Reference(*common) : GXValue::NA();
}

// ROW and COL: the first row or (0-based) column of the reference, or of the cell computed.
template <bool Rows>
void Where(GXValue& result, GXCallFrame& frame) {
    if (frame.count > 1) {
        GXFunctionError(kErrTooMany);
    }
    int row = 0, col = 0;
    GXGetEvalCell(row, col);
    if (frame.count == 1) {
        GXRangeRef r = GXRangeArg(frame, 1);
        row = r.firstRow();
        col = r.firstCol();
    }
    result = GXValue::Number(Rows ? row : col);
}

template <bool Rows>
void Extent(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 1);
    GXRangeRef r = GXRangeArg(frame, 1);
    result = GXValue::Number(Rows ? r.rowCount() : r.colCount());
}

void CellInfo(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 2);
    std::string selector = GXStringArg(frame, 1);
    GXRangeRef r = GXRangeArg(frame, 2);
    const GXValue& ref = frame.arg(2);
    for (char& c : selector) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (selector == "row") {
        result = GXValue::Number(r.firstRow());
    } else if (selector == "col") {
        result = GXValue::Number(r.firstCol());
    } else if (selector == "address") {
        result = GXValue::String(GXRefToText(ref.ref).value_or(""));
    } else if (selector == "contents") {
        result = ref;
    } else if (selector == "type") {
        GXEngineCell* cell = GXComputedCell(r.firstRow(), r.firstCol());
        bool empty = cell == nullptr || cell->valueKind() == GX_VAL_EMPTY;
        result = GXValue::String(empty ? "b" : cell->isText() ? "l" : "v");
    } else {
        GXFunctionError(kErrBadValue);
    }
}

void Na(GXValue& result, GXCallFrame& frame) {
    if (frame.count != 0) {
        GXFunctionError(kErrNoArguments);
    }
    result = GXValue::NA();
}

void Choose(GXValue& result, GXCallFrame& frame) {
    if (frame.count == 0) {
        GXFunctionError(kErrTooFew);
    }
    double selector = std::trunc(GXNumberArg(frame, 1, kErrFirstNumeric));
    if (!(selector >= 0 && selector <= frame.count - 2)) {
        GXFunctionError(kErrSelector);
    }
    result = GXEvaluateArg(frame.arg(static_cast<int>(selector) + 2));
}

// A table cell as the lookups read it: a number, a string, or for an empty or missing cell the
// number 0; anything else (not available) is neither and is passed over.
GXValue TableCell(int row, int col) {
    GXEngineCell* cell = GXComputedCell(row, col);
    if (cell == nullptr) {
        return GXValue::Number(0);
    }
    switch (cell->valueKind()) {
        case GX_VAL_NUMBER:
            return GXValue::Number(cell->number);
        case GX_VAL_LONG_TEXT:
        case GX_VAL_SHORT_TEXT:
            return GXValue::String(cell->text);
        case GX_VAL_ERROR:
            GXFunctionError(GX_ERR_CELL_ERROR);
        case GX_VAL_NA:
            return GXValue::NA();
        default:
            return GXValue::Number(0);
    }
}

// The key cells of a lookup, counted from 0 along the table's first row or column.
struct KeyLine {
    GXRangeRef table;
    bool vertical;
    int used;  // positions that can hold a cell; the rest read as the number 0

    int size() const { return vertical ? table.rowCount() : table.colCount(); }
    GXValue at(int i) const {
        if (i >= used) {
            return GXValue::Number(0);
        }
        return vertical ? TableCell(table.firstRow() + i, table.firstCol())
                        : TableCell(table.firstRow(), table.firstCol() + i);
    }
};

KeyLine MakeKeyLine(const GXRangeRef& table, bool vertical) {
    KeyLine line{table, vertical, 0};
    GXRangeRef bounds;
    if (GXGetBounds(GXCurrentSheet(), bounds)) {
        int end = vertical ? bounds.lastRow() - table.firstRow() + 1
                           : bounds.lastCol() - table.firstCol() + 1;
        line.used = std::clamp(end, 0, line.size());
    }
    return line;
}

// The matching position along the key line. Past the occupied part every position reads as 0,
// so one such position decides for all of them.
int FindKey(const GXValue& key, const KeyLine& line) {
    int size = line.size();
    int limit = std::min(size, line.used + 1);
    for (int i = 0; i < limit; ++i) {
        GXValue v = line.at(i);
        if (key.type == GX_VT_STRING) {
            if (v.type == GX_VT_STRING && v.text == key.text) {
                return i;
            }
            continue;
        }
        if (v.type != GX_VT_NUMBER) {
            continue;
        }
        if (v.number == key.number) {
            return i;
        }
        if (v.number > key.number) {
            if (i == 0) {
                GXFunctionError(kErrNoMatch);
            }
            return i - 1;
        }
    }
    if (key.type == GX_VT_STRING) {
        GXFunctionError(kErrNoMatch);
    }
    return size - 1;
}

template <bool Vertical>
void Lookup(GXValue& result, GXCallFrame& frame) {
    GXRequireArgCount(frame, 3);
    GXValue& key = frame.arg(1);
    if (!GXDereferenceValue(key)) {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
    GXRangeRef table = GXRangeArg(frame, 2);
    double offset = std::trunc(GXNumberArg(frame, 3));
    int across = Vertical ? table.colCount() : table.rowCount();
    if (!(offset >= 0 && offset < across)) {
        GXFunctionError(Vertical ? kErrColumnOffset : kErrRowOffset);
    }
    int i = FindKey(key, MakeKeyLine(table, Vertical));
    int o = static_cast<int>(offset);
    GXValue v = Vertical ? GXValue::Cell(GXMakeCell(table.firstRow() + i, table.firstCol() + o))
                         : GXValue::Cell(GXMakeCell(table.firstRow() + o, table.firstCol() + i));
    GXDereferenceValue(v);
    result = v;
}

// "*" any run of characters, "?" any one, every other character itself; the whole text.
bool Wildcard(std::string_view pattern, std::string_view text) {
    size_t p = 0, t = 0, star = std::string_view::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

int MatchString(const std::string& key, const GXRangeRef& range) {
    int count = 0;
    for (GXEngineCell* cell : GXRangeCells(range)) {
        ++count;
        std::string text;
        if (GXCellString(cell->row, cell->col, text) && Wildcard(key, text)) {
            return count;
        }
    }
    return 0;
}

// Only cells with a number count. An equal value wins at once; otherwise the nearest value
// above (type -1) or below (type 1), the first of equal candidates.
int MatchNumber(double key, const GXRangeRef& range, int type) {
    int count = 0, best = 0;
    double bestValue = 0;
    for (GXEngineCell* cell : GXRangeCells(range)) {
        double x = 0;
        if (!GXCellNumber(cell->row, cell->col, x)) {
            continue;
        }
        ++count;
        if (x == key) {
            return count;
        }
        bool candidate = type < 0 ? x > key : type > 0 && x < key;
        bool better = best == 0 || (type < 0 ? x < bestValue : x > bestValue);
        if (candidate && better) {
            best = count;
            bestValue = x;
        }
    }
    return best;
}

void Match(GXValue& result, GXCallFrame& frame) {
    if (frame.count < 2) {
        GXFunctionError(kErrTooFew);
    }
    if (frame.count > 3) {
        GXFunctionError(kErrTooMany);
    }
    GXValue& key = frame.arg(1);
    if (!GXDereferenceValue(key)) {
        GXFunctionError(GX_ERR_BAD_ARG_TYPE);
    }
    GXRangeRef range = GXRangeArg(frame, 2);
    double type = frame.count == 3 ? GXNumberArg(frame, 3) : 1;
    int sign = (type > 0) - (type < 0);
    if (range.rowCount() != 1 && range.colCount() != 1) {
        GXFunctionError(kErrDimensions);
    }
    if (key.type == GX_VT_STRING) {
        if (sign != 0) {
            GXFunctionError(kErrStringMatchType);
        }
        result = GXValue::Number(MatchString(key.text, range));
        return;
    }
    result = GXValue::Number(MatchNumber(key.number, range, sign));
}

}  // namespace

void GXRegisterLookupFunctions(GXHandlerRegistry& r) {
    r.Add("@", At);
    r.Add("CELLINFO", CellInfo);
    r.Add("CELLREF", CellRef);
    r.Add("CHOOSE", Choose);
    r.Add("COL", Where<false>);
    r.Add("COLS", Extent<false>);
    r.Add("HLOOKUP", Lookup<false>);
    r.Add("INDEX", Index);
    r.Add("INTERSECT", Intersect);
    r.Add("MATCH", Match);
    r.Add("NA", Na);
    r.Add("RANGEREF", RangeRef);
    r.Add("ROW", Where<true>);
    r.Add("ROWS", Extent<true>);
    r.Add("VLOOKUP", Lookup<true>);
}

}  // namespace formula
