// The commands that undo size and hiding changes of rows and columns. Each calls the grid
// operation again with the sizes or states from before the change (update flags 2).
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

#include <string>
#include <vector>

// Old sizes per row (column), pixels, -1 where it had no size of its own.
class CGXSetRowHeightCmd : public CGXCommand {
public:
    CGXSetRowHeightCmd(ROWCOL first, ROWCOL last, std::vector<int> sizes)
        : m_nFirst(first), m_nLast(last), m_sizes(std::move(sizes)) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    ROWCOL m_nFirst, m_nLast;
    std::vector<int> m_sizes;
};

class CGXSetColWidthCmd : public CGXSetRowHeightCmd {
public:
    using CGXSetRowHeightCmd::CGXSetRowHeightCmd;
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
};

class CGXHideRowsCmd : public CGXCommand {
public:
    CGXHideRowsCmd(ROWCOL first, ROWCOL last, std::vector<bool> states)
        : m_nFirst(first), m_nLast(last), m_states(std::move(states)) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    ROWCOL m_nFirst, m_nLast;
    std::vector<bool> m_states;

protected:
    std::unique_ptr<bool[]> StatesArray() const;
};

class CGXHideColsCmd : public CGXHideRowsCmd {
public:
    using CGXHideRowsCmd::CGXHideRowsCmd;
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
};

class CGXSetDefaultRowHeightCmd : public CGXCommand {
public:
    explicit CGXSetDefaultRowHeightCmd(int size) : m_nSize(size) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    int m_nSize;
};

class CGXSetDefaultColWidthCmd : public CGXSetDefaultRowHeightCmd {
public:
    using CGXSetDefaultRowHeightCmd::CGXSetDefaultRowHeightCmd;
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
};

// The command texts (string ids 20158 to 20161, 20170, 20171), set once when missing.
void GXAddSizeCommandStrings();
