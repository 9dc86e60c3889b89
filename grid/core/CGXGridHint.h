// One grid change carried to the other views of a document. The changing grid fills it, sends
// it through the document's update of all views (hint number GX_HINT_GRID, so that a view can
// tell a grid hint from other updates) and the receiving grids repeat the change on their
// screen without sending it on. The ids are listed with CGXGridUpdateHintImp.
#pragma once

#include "grid/core/CGXRange.h"
#include "grid/core/GXTypes.h"

#include <cstdint>

class CGXStyle;

// The document-update hint number of grid hints ("GH").
inline constexpr long GX_HINT_GRID = 0x4748;

struct CGXGridHint {
    explicit CGXGridHint(int hintId, std::int32_t hintTarget = 0)
        : id(hintId), target(hintTarget) {}
    int id;
    CGXRange range;
    const CGXStyle* style = nullptr;
    int modifyType = 0;
    ROWCOL row1 = 0, row2 = 0, row3 = 0;
    ROWCOL col1 = 0, col2 = 0, col3 = 0;
    long value = 0;
    // A count, a base-style id, or the result the receivers of a current-cell store combine
    // into the hint (so it changes while the sender only reads the rest).
    mutable long countOrResult = 0;
    const void* object = nullptr;
    unsigned flags = 0;
    std::int32_t target;  // -1: every grid; else only grids of this hint channel
};
