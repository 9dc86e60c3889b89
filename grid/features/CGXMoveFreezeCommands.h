// The commands that undo moved rows and columns and changed frozen counts.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

#include <string>

// Moves the block now at first..last back to start at `dest`.
class CGXMoveRowsCmd : public CGXCommand {
public:
    CGXMoveRowsCmd(ROWCOL first, ROWCOL last, ROWCOL dest)
        : m_nFirst(first), m_nLast(last), m_nDest(dest) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    ROWCOL m_nFirst, m_nLast, m_nDest;
};

class CGXMoveColsCmd : public CGXMoveRowsCmd {
public:
    using CGXMoveRowsCmd::CGXMoveRowsCmd;
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
};

class CGXSetFrozenRowsCmd : public CGXCommand {
public:
    CGXSetFrozenRowsCmd(ROWCOL frozen, ROWCOL header) : m_nFrozen(frozen), m_nHeader(header) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    ROWCOL m_nFrozen, m_nHeader;
};

class CGXSetFrozenColsCmd : public CGXSetFrozenRowsCmd {
public:
    using CGXSetFrozenRowsCmd::CGXSetFrozenRowsCmd;
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
};
