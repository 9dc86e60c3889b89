// Undo and redo: the grid's command factory, the grouping block command and the commands that
// the editing features record. The lists, the limit, the transaction depth and the undo switch
// live in the parameter object, so grids that share it share their history.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

#include <list>
#include <memory>
#include <string>
#include <vector>

// Commands run in a group as one undo step; the newest command is at the head.
class CGXBlockCmd : public CGXCommand {
public:
    explicit CGXBlockCmd(std::string description = {});
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override { return m_sDescription; }
    std::list<std::unique_ptr<CGXCommand>> m_commands;
    std::string m_sDescription;
};

// Puts saved styles back over a block of cells (null entries: nothing stored there).
class CGXSetStyleRangeCmd : public CGXCommand {
public:
    CGXSetStyleRangeCmd(const CGXRange& range, int styleType,
                        std::vector<std::unique_ptr<CGXStyle>> styles);
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    CGXRange m_range;
    int m_nStyleType;
    std::vector<std::unique_ptr<CGXStyle>> m_styles;
};

// Moves a block of cells back from where a move put them.
class CGXMoveCellsCmd : public CGXCommand {
public:
    CGXMoveCellsCmd(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                    std::unique_ptr<CGXOwnedObject> data);
    bool Execute(CGXGridCore* grid, int ctCmd) override;
    std::string GetDescription() const override;
    CGXRange m_source;
    ROWCOL m_nDestRow, m_nDestCol;
    std::unique_ptr<CGXOwnedObject> m_data;
};

class CGXCommandFactory : public CGXAbstractCommandFactory {
public:
    std::unique_ptr<CGXBlockCmd> CreateBlockCmd(const std::string& description);
    std::unique_ptr<CGXCommand> CreateSetStyleRangeCmd(
        const CGXRange& range, int styleType,
        std::vector<std::unique_ptr<CGXStyle>> styles) override;
    std::unique_ptr<CGXCommand> CreateMoveCellsCmd(const CGXRange& source, ROWCOL destRow,
                                                   ROWCOL destCol,
                                                   std::unique_ptr<CGXOwnedObject> data);

    std::unique_ptr<CGXCommand> CreateSetRowHeightCmd(ROWCOL first, ROWCOL last,
                                                      std::vector<int> sizes) override;
    std::unique_ptr<CGXCommand> CreateSetColWidthCmd(ROWCOL first, ROWCOL last,
                                                     std::vector<int> sizes) override;
    std::unique_ptr<CGXCommand> CreateHideRowsCmd(ROWCOL first, ROWCOL last,
                                                  std::vector<bool> states) override;
    std::unique_ptr<CGXCommand> CreateHideColsCmd(ROWCOL first, ROWCOL last,
                                                  std::vector<bool> states) override;
    std::unique_ptr<CGXCommand> CreateSetDefaultRowHeightCmd(int size) override;
    std::unique_ptr<CGXCommand> CreateSetDefaultColWidthCmd(int size) override;
    std::unique_ptr<CGXCommand> CreateMoveRowsCmd(ROWCOL first, ROWCOL last, ROWCOL dest) override;
    std::unique_ptr<CGXCommand> CreateMoveColsCmd(ROWCOL first, ROWCOL last, ROWCOL dest) override;
    std::unique_ptr<CGXCommand> CreateSetFrozenRowsCmd(ROWCOL frozen, ROWCOL header) override;
    std::unique_ptr<CGXCommand> CreateSetFrozenColsCmd(ROWCOL frozen, ROWCOL header) override;
    bool CreateRemoveRowsUndoData(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                  std::unique_ptr<CGXRowColUndoData>& out) override;
    bool CreateRemoveColsUndoData(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                  std::unique_ptr<CGXRowColUndoData>& out) override;
    std::unique_ptr<CGXCommand> CreateInsertRowsCmd(
        ROWCOL first, ROWCOL count, std::vector<int> sizes,
        std::unique_ptr<CGXRowColUndoData> data) override;
    std::unique_ptr<CGXCommand> CreateInsertColsCmd(
        ROWCOL first, ROWCOL count, std::vector<int> sizes,
        std::unique_ptr<CGXRowColUndoData> data) override;
    std::unique_ptr<CGXCommand> CreateRemoveRowsCmd(ROWCOL first, ROWCOL last) override;
    std::unique_ptr<CGXCommand> CreateRemoveColsCmd(ROWCOL first, ROWCOL last) override;
    bool SetUndoRecording(CGXGridCore* grid, bool on) override;
    void EndUndoStep(CGXGridCore* grid) override;
    void SetUndoPosition(CGXGridCore* grid, ROWCOL row, ROWCOL col) override;

    bool ExecuteCommand(CGXCommand& command, CGXGridCore* grid, int ctCmd);
    void AddCommand(CGXGridCore* grid, std::unique_ptr<CGXCommand> command, int ctCmd) override;
    void RemoveCommand(CGXGridCore* grid, int ctCmd) override;
    bool Undo(CGXGridCore* grid) override;
    bool Redo(CGXGridCore* grid) override;
    bool BeginTrans(CGXGridCore* grid, const char* description) override;
    void CommitTrans(CGXGridCore* grid) override;
    void Rollback(CGXGridCore* grid) override;
    void ShowCellAfterUndo(CGXGridCore* grid, ROWCOL row, ROWCOL col, bool makeCurrent);
    // The menu texts: "Undo %1" / "Redo %1" with the newest command's description; the answer
    // tells whether the command is possible.
    bool GetUndoText(CGXGridCore* grid, std::string* text);
    bool GetRedoText(CGXGridCore* grid, std::string* text);

private:
    CGXGridParam::CommandList* TargetList(CGXGridCore* grid, int ctCmd);
};

// Saves the stored styles of every cell of a cells range, row by row (null where nothing is
// stored), past the grid's counts too. Store type 1 saves what the user typed (a formula's
// text where the cell store computes).
std::vector<std::unique_ptr<CGXStyle>> GXSaveCellStyles(CGXGridCore* grid, const CGXRange& range,
                                                        int styleType = 0);
// TRUE when the grid records undo commands for an operation of this type.
bool GXIsRecordingUndo(CGXGridCore* grid, int ctCmd);
// Stores `styles` over the cells range (modify type copy) and records the command that puts
// back what was there.
bool GXSetStyleRangeUndoable(CGXGridCore* grid, const CGXRange& range,
                             const std::vector<std::unique_ptr<CGXStyle>>& styles, unsigned flags,
                             int ctCmd, int styleType = 0);
// The feature's own string-table texts (menu names, messages), set once when missing.
void GXAddFeatureStrings();
