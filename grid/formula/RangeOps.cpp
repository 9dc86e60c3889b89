#include "grid/formula/RangeOps.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "grid/formula/EngineState.h"
#include "grid/formula/Recalc.h"

namespace formula {

namespace {

// A rectangle of plain coordinates; unlike GXRangeRef it may lie partly outside the sheet.
struct Rect {
    long r0, c0, r1, c1;
    bool contains(long r, long c) const { return r >= r0 && r <= r1 && c >= c0 && c <= c1; }
    bool contains(const GXRangeRef& ref) const {
        return contains(ref.firstRow(), ref.firstCol()) && contains(ref.lastRow(), ref.lastCol());
    }
};

Rect RectOf(const GXRangeRef& r) {
    return {r.firstRow(), r.firstCol(), r.lastRow(), r.lastCol()};
}

bool OnSheet(long row, long col) {
    return row >= 1 && row <= GX_MAX_ROW && col >= 0 && col <= GX_MAX_COL;
}

// Sets a corner; coordinates off the sheet make the reference invalid.
void SetCorner(GXRangeRef& ref, bool second, long row, long col) {
    int r = (row >= 1 && row <= GX_MAX_ROW) ? static_cast<int>(row) : 0;
    int c = (col >= 0 && col <= GX_MAX_COL) ? static_cast<int>(col) : 0x1000;
    if (second) {
        ref.setLastRow(r);
        ref.setLastCol(c);
    } else {
        ref.setFirstRow(r);
        ref.setFirstCol(c);
    }
}

void MakeErrorLiteral(GXExprNode& n) {
    n.kind = GX_NODE_OPERATOR;
    n.op = GX_OP_ERROR;
    n.left = n.right = -1;
}

// Calls fn(ref) -> bool (changed) for every cell and range node; invalid results become the
// error literal. Returns whether anything changed.
template <typename Fn>
bool RewriteReferences(GXFormula& f, Fn fn) {
    f.dependencies.Forget();
    bool changed = false;
    for (GXExprNode& n : f.nodes) {
        if (n.kind != GX_NODE_CELL && n.kind != GX_NODE_RANGE) {
            continue;
        }
        if (fn(n.ref)) {
            changed = true;
            if (n.ref.single()) {
                n.ref.setLastRow(n.ref.firstRow());
                n.ref.setLastCol(n.ref.firstCol());
            }
            if (GXRangeValid(n.ref)) {
                GXNormalize(n.ref);
            } else {
                MakeErrorLiteral(n);
            }
        }
    }
    return changed;
}

bool IsNumberThenCell(const GXEngineCell& c) {
    return c.formula && c.formula->nodes.size() >= 2 &&
           c.formula->nodes[0].kind == GX_NODE_NUMBER && c.formula->nodes[1].kind == GX_NODE_CELL;
}

void KeepOrFree(GXEngineSheet& s, GXEngineCell* cell) {
    if (s.undoRecording) {
        s.undoCells.push_back(cell);
    } else {
        GXFreeCell(cell);
    }
}

void LinkAt(GXEngineSheet& s, GXEngineCell* cell, long row, long col) {
    if (!OnSheet(row, col)) {
        GXFreeCell(cell);
        return;
    }
    cell->row = static_cast<int>(row);
    cell->col = static_cast<int>(col);
    GXRemoveCellAt(s, cell->row, cell->col);
    GXLinkCell(s, cell);
}

std::vector<GXEngineCell*> LinkedCells(GXCellList& list) {
    std::vector<GXEngineCell*> cells;
    GXListIterator it(list);
    while (GXEngineCell* c = it.Next()) {
        if (c->has(GX_CF_LINKED)) {
            cells.push_back(c);
        }
    }
    return cells;
}

std::vector<GXEngineCell*> CellsIn(GXEngineSheet& s, const Rect& r, int mask) {
    if (r.r0 > GX_MAX_ROW || r.c0 > GX_MAX_COL) {
        return {};
    }
    GXRangeRef ref =
        GXMakeRange(static_cast<int>(std::max(1L, r.r0)), static_cast<int>(std::max(0L, r.c0)),
                    static_cast<int>(std::min<long>(GX_MAX_ROW, r.r1)),
                    static_cast<int>(std::min<long>(GX_MAX_COL, r.c1)));
    std::vector<GXEngineCell*> cells;
    GXRangeIterator it(s, ref, mask);
    while (GXEngineCell* c = it.Next()) {
        cells.push_back(c);
    }
    return cells;
}

// How the references of formulas follow a moved block.
enum class RefMode {
    kWhole,    // a reference wholly inside the block moves
    kCorners,  // each corner inside the block moves (rows or columns shifted by an insert)
};

struct Move {
    Rect src;
    Rect dst;
    long dr, dc;
    bool keepNames;
    RefMode mode;
};

// Moves each name corner that lies in the block; rows stay 1..max, columns at most 4095.
void MoveNames(GXEngineSheet& s, const Move& m) {
    for (auto& name : s.names) {
        GXRangeRef& r = name->ref;
        auto shift = [&](bool second) {
            long row = second ? r.lastRow() : r.firstRow();
            long col = second ? r.lastCol() : r.firstCol();
            if (!m.src.contains(row, col)) {
                return;
            }
            row = std::clamp<long>(row + m.dr, 1, GX_MAX_ROW);
            col = std::clamp<long>(col + m.dc, 0, GX_MAX_COL);
            SetCorner(r, second, row, col);
        };
        shift(false);
        shift(true);
        if (r.single()) {
            r.setLastRow(r.firstRow());
            r.setLastCol(r.firstCol());
        }
        GXNormalize(r);
    }
}

// Rewrites one reference for the move; sets touchesDst when it reaches into overwritten data.
bool MoveReference(const Move& m, GXRangeRef& ref, bool& touchesDst) {
    bool first = m.src.contains(ref.firstRow(), ref.firstCol());
    bool second = m.src.contains(ref.lastRow(), ref.lastCol());
    if (m.mode == RefMode::kWhole && !(first && second)) {
        touchesDst = touchesDst || m.dst.contains(ref.firstRow(), ref.firstCol()) ||
                     m.dst.contains(ref.lastRow(), ref.lastCol());
        return false;
    }
    if (!first && !second) {
        return false;
    }
    GXRangeRef moved = ref;
    if (first) {
        SetCorner(moved, false, ref.firstRow() + m.dr, ref.firstCol() + m.dc);
    }
    if (second) {
        SetCorner(moved, true, ref.lastRow() + m.dr, ref.lastCol() + m.dc);
    }
    ref = moved;
    return true;
}

void MoveBlock(GXEngineSheet& s, const Move& m) {
    GXDeferGuard defer(s, GX_LIST_ALL);
    if (!m.keepNames) {
        MoveNames(s, m);
    }
    std::vector<GXEngineCell*> moving, overwritten;
    auto collect = [&](GXEngineCell* c) {
        bool inSrc = m.src.contains(c->row, c->col);
        GXUnlinkCell(s, c);
        c->set(GX_CF_CHANGED);
        if (inSrc) {
            moving.push_back(c);
            if (s.keepPlaceholders && !m.dst.contains(c->row, c->col)) {
                GXAddPlaceholder(s, c->row, c->col)->set(GX_CF_CHANGED);
            }
        } else {
            overwritten.push_back(c);
        }
    };
    std::vector<GXEngineCell*> values = CellsIn(s, m.src, GX_LIST_VALUES);
    for (GXEngineCell* c : CellsIn(s, m.dst, GX_LIST_VALUES)) {
        if (!m.src.contains(c->row, c->col)) {
            values.push_back(c);
        }
    }
    for (GXEngineCell* c : values) {
        collect(c);
    }
    for (GXEngineCell* c : LinkedCells(s.formulas)) {
        bool inSrc = m.src.contains(c->row, c->col);
        bool inDst = m.dst.contains(c->row, c->col);
        if (inDst && !inSrc && IsNumberThenCell(*c)) {
            GXAddChangedRange(s, c->formula->nodes[1].ref);
        }
        if (!m.keepNames) {
            std::optional<GXFormula> before;
            if (s.undoRecording) {
                before = *c->formula;
            }
            bool touchesDst = false;
            if (RewriteReferences(*c->formula, [&](GXRangeRef& ref) {
                    return MoveReference(m, ref, touchesDst);
                })) {
                c->set(GX_CF_STALE);
            }
            if (touchesDst && s.undoRecording) {
                GXEngineCell* copy = GXCopyCell(s.formulas, *c);
                *copy->formula = std::move(*before);
                s.undoCells.push_back(copy);
            }
        }
        if (inSrc || inDst) {
            collect(c);
        }
    }
    for (GXEngineCell* c : overwritten) {
        KeepOrFree(s, c);
    }
    for (GXEngineCell* c : moving) {
        LinkAt(s, c, c->row + m.dr, c->col + m.dc);
    }
    s.contentsChanged = true;
}

Move MakeMove(const GXRangeRef& source, long destRow, long destCol, bool keepNames, RefMode mode) {
    Rect src = RectOf(source);
    long dr = destRow - src.r0, dc = destCol - src.c0;
    Rect dst{src.r0 + dr, src.c0 + dc, std::min<long>(src.r1 + dr, GX_MAX_ROW),
             std::min<long>(src.c1 + dc, GX_MAX_COL)};
    return {src, dst, dr, dc, keepNames, mode};
}

}  // namespace

bool GXClearRange(int sheetNo, const GXRangeRef& range) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    GXRangeRef r = range;
    if (s == nullptr || !GXClipToBounds(*s, r)) {
        return false;
    }
    GXDeferGuard defer(*s, GX_LIST_ALL);
    for (GXEngineCell* c : CellsIn(*s, RectOf(r), GX_LIST_VALUES | GX_LIST_FORMULAS)) {
        if (IsNumberThenCell(*c)) {
            GXAddChangedRange(*s, c->formula->nodes[1].ref);
        }
        GXUnlinkCell(*s, c);
        if (s->keepPlaceholders) {
            GXAddPlaceholder(*s, c->row, c->col)->set(GX_CF_CHANGED);
        }
        KeepOrFree(*s, c);
    }
    if (s->undoRecording) {
        s->lastCleared = r;
        s->lastClearedFlag = true;
    }
    GXAddChangedRange(*s, r);
    return true;
}

void GXMoveCells(int sheetNo, const GXRangeRef& source, int destRow, int destCol, bool keepNames) {
    if (GXEngineSheet* s = GXGetSheet(sheetNo)) {
        MoveBlock(*s, MakeMove(source, destRow, destCol, keepNames, RefMode::kWhole));
    }
}

void GXCopyCells(int sheetNo, const GXRangeRef& source, int destRow, int destCol, bool noRecalc) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    GXRangeRef src = source;
    if (s == nullptr || !GXClipToBounds(*s, src)) {
        return;
    }
    long dr = destRow - source.firstRow(), dc = destCol - source.firstCol();
    std::vector<GXEngineCell*> copies;
    {
        GXDeferGuard defer(*s, GX_LIST_ALL);
        for (GXEngineCell* c : CellsIn(*s, RectOf(src), GX_LIST_ALL)) {
            GXEngineCell* copy = GXCloneCell(GXCellListOf(c), *c);
            copy->set(GX_CF_CHANGED);
            if (copy->formula && RewriteReferences(*copy->formula, [&](GXRangeRef& ref) {
                    GXRangeRef moved = ref;
                    SetCorner(moved, false, ref.firstRow() + (ref.absFirstRow() ? 0 : dr),
                              ref.firstCol() + (ref.absFirstCol() ? 0 : dc));
                    SetCorner(moved, true, ref.lastRow() + (ref.absLastRow() ? 0 : dr),
                              ref.lastCol() + (ref.absLastCol() ? 0 : dc));
                    bool changed = moved.r0 != ref.r0 || moved.r1 != ref.r1 || moved.c != ref.c;
                    ref = moved;
                    return changed;
                })) {
                copy->set(GX_CF_STALE);
            }
            copies.push_back(copy);
        }
        Rect dst{destRow, destCol, src.lastRow() + dr, src.lastCol() + dc};
        for (GXEngineCell* c : CellsIn(*s, dst, GX_LIST_ALL)) {
            GXDiscardCell(*s, c);
        }
        for (GXEngineCell* c : copies) {
            LinkAt(*s, c, c->row + dr, c->col + dc);
        }
        s->contentsChanged = true;
    }
    if (!noRecalc) {
        GXAddChangedRange(*s, src);
        GXAddChangedRange(
            *s, GXMakeRange(destRow, destCol, std::min<long>(src.lastRow() + dr, GX_MAX_ROW),
                            std::min<long>(src.lastCol() + dc, GX_MAX_COL)));
        GXRecalc(sheetNo);
    }
}

namespace {

// Shifts everything from `first` on by count lines (rows or columns); count may be negative.
void Shift(GXEngineSheet& s, bool rows, long first, long count) {
    GX_ENGINE_STATE& engine = GXGetEngineState();
    engine.shifting = 1;
    bool keep = s.keepPlaceholders;
    s.keepPlaceholders = false;
    GXRangeRef source = rows ? GXMakeRange(static_cast<int>(first), 0, GX_MAX_ROW, GX_MAX_COL)
                             : GXMakeRange(1, static_cast<int>(first), GX_MAX_ROW, GX_MAX_COL);
    long destRow = rows ? first + count : 1;
    long destCol = rows ? 0 : first + count;
    MoveBlock(s, MakeMove(source, destRow, destCol, false, RefMode::kCorners));
    s.keepPlaceholders = keep;
    engine.shifting = 0;
}

bool ValidLine(bool rows, int line) {
    return rows ? (line >= 1 && line <= GX_MAX_ROW) : (line >= 0 && line <= GX_MAX_COL);
}

void Insert(int sheetNo, bool rows, int first, int count) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    if (s != nullptr && count > 0 && ValidLine(rows, first)) {
        Shift(*s, rows, first, count);
    }
}

void Remove(int sheetNo, bool rows, int first, int count) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    if (s == nullptr || count <= 0 || !ValidLine(rows, first)) {
        return;
    }
    int last = std::min(first + count - 1, rows ? GX_MAX_ROW : GX_MAX_COL);
    bool keep = s->keepPlaceholders;
    bool recording = s->undoRecording;
    s->keepPlaceholders = false;
    if (rows) {
        s->undoRecording = false;
    }
    GXClearRange(sheetNo, rows ? GXMakeRange(first, 0, last, GX_MAX_COL)
                               : GXMakeRange(1, first, GX_MAX_ROW, last));
    s->keepPlaceholders = keep;
    if (rows) {
        s->undoRecording = true;
    }
    if (last < (rows ? GX_MAX_ROW : GX_MAX_COL)) {
        Shift(*s, rows, last + 1, first - (last + 1));
    }
    s->undoRecording = recording;
}

}  // namespace

namespace {

// The line a reference coordinate moves to when lines from..to move to start at dest;
// references are moved as a whole by their first coordinate.
long MovedLine(long first, long from, long to, long dest, long p) {
    long len = to - from + 1;
    if (first >= from && first <= to) {
        return p + dest - from;
    }
    if (dest < from && first >= dest && first < from) {
        return p + len;
    }
    if (dest > to && first > to && first < dest + len) {
        return p - len;
    }
    return p;
}

// Where a line of the span goes.
long MappedLine(long from, long to, long dest, long p) {
    long len = to - from + 1;
    if (p >= from && p <= to) {
        return dest + (p - from);
    }
    return dest < from ? p + len : p - len;
}

// Rewrites every formula reference and name with fn(first, p) -> new p, per coordinate.
template <typename Fn>
void RewriteAll(GXEngineSheet& s, bool rows, Fn fn) {
    auto apply = [&](GXRangeRef& ref) {
        GXRangeRef moved = ref;
        if (rows) {
            long first = ref.firstRow();
            SetCorner(moved, false, fn(first, ref.firstRow()), ref.firstCol());
            SetCorner(moved, true, fn(first, ref.lastRow()), ref.lastCol());
        } else {
            long first = ref.firstCol();
            SetCorner(moved, false, ref.firstRow(), fn(first, ref.firstCol()));
            SetCorner(moved, true, ref.lastRow(), fn(first, ref.lastCol()));
        }
        bool changed = moved.r0 != ref.r0 || moved.r1 != ref.r1 || moved.c != ref.c;
        ref = moved;
        return changed;
    };
    for (GXEngineCell* c : LinkedCells(s.formulas)) {
        if (RewriteReferences(*c->formula, apply)) {
            c->set(GX_CF_STALE);
        }
    }
    for (GXEngineCell* c : LinkedCells(s.values)) {
        if (c->formula) {
            RewriteReferences(*c->formula, apply);
        }
    }
    for (auto& name : s.names) {
        if (apply(name->ref) && !GXRangeValid(name->ref)) {
            GXRangeRef& r = name->ref;
            r = GXMakeRange(std::clamp(r.firstRow(), 1, GX_MAX_ROW), r.firstCol() & 0xFFF,
                            std::clamp(r.lastRow(), 1, GX_MAX_ROW), r.lastCol() & 0xFFF);
        }
        GXNormalize(name->ref);
    }
}

// Unlinks the cells of the lines [lo, hi], gives each its new line and links them again.
template <typename Map>
void Reposition(GXEngineSheet& s, bool rows, long lo, long hi, Map map) {
    Rect span = rows ? Rect{lo, 0, hi, GX_MAX_COL} : Rect{1, lo, GX_MAX_ROW, hi};
    std::vector<GXEngineCell*> cells = CellsIn(s, span, GX_LIST_VALUES | GX_LIST_FORMULAS);
    for (GXEngineCell* c : cells) {
        GXUnlinkCell(s, c);
        c->set(GX_CF_CHANGED);
    }
    for (GXEngineCell* c : cells) {
        long row = rows ? map(c->row) : c->row;
        long col = rows ? c->col : map(c->col);
        LinkAt(s, c, row, col);
    }
}

}  // namespace

void GXMoveRowsOrCols(int sheetNo, bool rows, int from, int to, int dest) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    int max = rows ? GX_MAX_ROW : GX_MAX_COL;
    if (s == nullptr || from > to || !ValidLine(rows, from) || to > max || !ValidLine(rows, dest) ||
        dest + (to - from) > max || dest == from) {
        return;
    }
    GXDeferGuard defer(*s, GX_LIST_ALL);
    RewriteAll(*s, rows, [&](long first, long p) { return MovedLine(first, from, to, dest, p); });
    long lo = std::min(from, dest), hi = std::max<long>(to, to + dest - from);
    Reposition(*s, rows, lo, hi, [&](long p) { return MappedLine(from, to, dest, p); });
    s->contentsChanged = true;
}

void GXSortMove(int sheetNo, bool rows, const GXRangeRef& range, std::span<const int> order,
                bool wholeLines) {
    GXEngineSheet* s = GXGetSheet(sheetNo);
    long first = rows ? range.firstRow() : range.firstCol();
    long last = rows ? range.lastRow() : range.lastCol();
    if (s == nullptr || static_cast<long>(order.size()) != last - first + 1) {
        return;
    }
    std::vector<long> inverse(order.size(), -1);
    for (size_t i = 0; i < order.size(); ++i) {
        if (order[i] < 0 || static_cast<size_t>(order[i]) >= order.size() ||
            inverse[static_cast<size_t>(order[i])] >= 0) {
            return;  // not a permutation
        }
        inverse[static_cast<size_t>(order[i])] = static_cast<long>(i);
    }
    auto map = [&](long p) { return first + inverse[static_cast<size_t>(p - first)]; };
    GXDeferGuard defer(*s, GX_LIST_ALL);
    Rect area = RectOf(range);
    if (wholeLines) {
        area = rows ? Rect{first, 0, last, GX_MAX_COL} : Rect{1, first, GX_MAX_ROW, last};
    }
    // References to one line of the range move with that line.
    for (GXEngineCell* c : LinkedCells(s->formulas)) {
        if (RewriteReferences(*c->formula, [&](GXRangeRef& ref) {
                long a = rows ? ref.firstRow() : ref.firstCol();
                long b = rows ? ref.lastRow() : ref.lastCol();
                if (a != b || a < first || a > last) {
                    return false;
                }
                if (!wholeLines &&
                    !(rows ? ref.firstCol() >= area.c0 && ref.lastCol() <= area.c1
                           : ref.firstRow() >= area.r0 && ref.lastRow() <= area.r1)) {
                    return false;
                }
                long to = map(a);
                if (rows) {
                    ref.setFirstRow(static_cast<int>(to));
                    ref.setLastRow(static_cast<int>(to));
                } else {
                    ref.setFirstCol(static_cast<int>(to));
                    ref.setLastCol(static_cast<int>(to));
                }
                return true;
            })) {
            c->set(GX_CF_STALE);
        }
    }
    std::vector<GXEngineCell*> cells = CellsIn(*s, area, GX_LIST_VALUES | GX_LIST_FORMULAS);
    for (GXEngineCell* c : cells) {
        GXUnlinkCell(*s, c);
        c->set(GX_CF_CHANGED);
    }
    for (GXEngineCell* c : cells) {
        LinkAt(*s, c, rows ? map(c->row) : c->row, rows ? c->col : map(c->col));
    }
    s->contentsChanged = true;
}

void GXInsertRows(int sheet, int row, int count) {
    Insert(sheet, true, row, count);
}
void GXInsertCols(int sheet, int col, int count) {
    Insert(sheet, false, col, count);
}
void GXRemoveRows(int sheet, int row, int count) {
    Remove(sheet, true, row, count);
}
void GXRemoveCols(int sheet, int col, int count) {
    Remove(sheet, false, col, count);
}

}  // namespace formula
