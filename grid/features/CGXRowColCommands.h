// The commands that undo inserting and removing rows and columns. Undoing a removal inserts the
// rows (columns) again with their old sizes and the cells the removal saved; undoing an
// insertion removes them. Each records its own reverse, so undo and redo alternate. A command
// is described by the action it undoes: the one an insertion records reads "Insert Rows".
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXRowColUndoData.h"

#include <memory>
#include <string>
#include <vector>

class CGXInsertRowsCmd : public CGXCommand {
public:
    CGXInsertRowsCmd(ROWCOL first, ROWCOL count, std::vector<int> sizes,
                     std::unique_ptr<CGXRowColUndoData> data)
        : m_nFirst(first), m_nCount(count), m_sizes(std::move(sizes)), m_data(std::move(data)) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    ROWCOL m_nFirst, m_nCount;
    std::vector<int> m_sizes;  // pixels, -1 for the default; empty keeps the defaults
    std::unique_ptr<CGXRowColUndoData> m_data;

protected:
    const int* Sizes() const { return m_sizes.size() >= m_nCount ? m_sizes.data() : nullptr; }
};

class CGXInsertColsCmd : public CGXInsertRowsCmd {
public:
    using CGXInsertRowsCmd::CGXInsertRowsCmd;
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
};

class CGXRemoveRowsCmd : public CGXCommand {
public:
    CGXRemoveRowsCmd(ROWCOL first, ROWCOL last) : m_nFirst(first), m_nLast(last) {}
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    ROWCOL m_nFirst, m_nLast;
};

class CGXRemoveColsCmd : public CGXRemoveRowsCmd {
public:
    using CGXRemoveRowsCmd::CGXRemoveRowsCmd;
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
};

// Saves what removing rows (columns) first..last destroys: every stored cell style of them,
// headers included, and their row (column) styles. A removal too large for the undo buffer
// (2^31 - 1 cells, or more than 32767 lines either way) asks first: OK goes on without saving,
// Cancel answers FALSE; so does a user abort.
bool GXSaveRemovedRows(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                       std::unique_ptr<CGXRowColUndoData>& out);
bool GXSaveRemovedCols(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                       std::unique_ptr<CGXRowColUndoData>& out);
