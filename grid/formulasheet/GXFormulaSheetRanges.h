// Grid and engine coordinates: engine row = grid row (at least 1), engine column = grid
// column - 1 (at least 0); back, grid column = engine column + 1.
#pragma once

#include "grid/core/CGXRange.h"
#include "grid/formula/RangeRef.h"

#include <algorithm>

inline int GXEngineRow(ROWCOL row) {
    return static_cast<int>(std::clamp<ROWCOL>(row, 1, formula::GX_MAX_ROW));
}
inline int GXEngineCol(ROWCOL col) {
    return static_cast<int>(std::clamp<ROWCOL>(col, 1, formula::GX_MAX_COL + 1)) - 1;
}
inline ROWCOL GXGridCol(int engineCol) {
    return static_cast<ROWCOL>(engineCol) + 1;
}

// A grid range in engine terms: rows, columns and the table resolved with the counts.
inline formula::GXRangeRef GXEngineRange(const CGXRange& range, ROWCOL rowCount, ROWCOL colCount) {
    CGXRange r = range;
    r.ResolveToCells(1, 1, std::max<ROWCOL>(rowCount, 1), std::max<ROWCOL>(colCount, 1));
    if (r.top == r.bottom && r.left == r.right)
        return formula::GXMakeCell(GXEngineRow(r.top), GXEngineCol(r.left));
    return formula::GXMakeRange(GXEngineRow(r.top), GXEngineCol(r.left), GXEngineRow(r.bottom),
                                GXEngineCol(r.right));
}

inline CGXRange GXGridRange(const formula::GXRangeRef& ref) {
    return CGXRange(static_cast<ROWCOL>(ref.firstRow()), GXGridCol(ref.firstCol()),
                    static_cast<ROWCOL>(ref.lastRow()), GXGridCol(ref.lastCol()));
}

// Sets an engine sheet's undo recording for a scope.
class GXUndoRecordingScope {
public:
    GXUndoRecordingScope(bool& recording, bool on) : recording_(recording), old_(recording) {
        recording_ = on;
    }
    ~GXUndoRecordingScope() { recording_ = old_; }
    GXUndoRecordingScope(const GXUndoRecordingScope&) = delete;
    GXUndoRecordingScope& operator=(const GXUndoRecordingScope&) = delete;

private:
    bool& recording_;
    bool old_;
};
