// Marks the row and column headers of the current cell (drawn flat instead of raised), as the
// properties' "MarkRowHeader" and "MarkColumnHeader" options ask. While a column (row) is being
// resized, its header counts as marked too unless the tracking mask has bit 0x10.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridMarkEditHeaderImp : public CGXAbstractGridMarkEditHeaderImp {
public:
    void MarkEditHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col, int direction,
                        unsigned flags) override;
    bool IsMarkedHeaderCell(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;
};
