// The commands that undo a sort: they put the rows (columns) of the sorted range back in the
// order they had, through the grid's MoveDataRows (MoveDataCols).
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRange.h"

#include <string>
#include <vector>

class CGXMoveDataRowsCmd : public CGXCommand {
public:
    CGXMoveDataRowsCmd(std::vector<ROWCOL> order, const CGXRange& range)
        : m_order(std::move(order)), m_range(range) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    std::vector<ROWCOL> m_order;
    CGXRange m_range;
};

class CGXMoveDataColsCmd : public CGXCommand {
public:
    CGXMoveDataColsCmd(std::vector<ROWCOL> order, const CGXRange& range)
        : m_order(std::move(order)), m_range(range) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    std::vector<ROWCOL> m_order;
    CGXRange m_range;
};
