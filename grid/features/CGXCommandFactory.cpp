#include "grid/features/CGXCommandFactory.h"

#include "framework/persist/StringTable.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXMoveFreezeCommands.h"
#include "grid/features/CGXRowColCommands.h"
#include "grid/features/CGXSizeCommands.h"

#include <algorithm>

namespace {

std::string Text(unsigned id) {
    std::string s = fw::LoadString(id);
    return s.empty() ? std::string(" ") : s;
}

std::string Format1(std::string format, const std::string& arg) {
    if (auto at = format.find("%1"); at != std::string::npos)
        format.replace(at, 2, arg);
    return format;
}

}  // namespace

void GXAddFeatureStrings() {
    static constexpr fw::StringEntry kTexts[] = {
        {20082, "Operation is too large for the undo buffer. Do you want to continue?"},
        {20139, "Redoing %1 ..."},
        {20140, "Undoing %1 ..."},
        {20149, "Range too big."},
        {20150, "Cut Data."},
        {20152, "Pasting data from clipboard..."},
        {20153, "Pasting is not possible for multi-area selections."},
        {20154, "Paste."},
        {20167, "Cells"},
        {20174, "Current Cell"},
        {20175, "Clipboard size is different from selected range"},
        {20178, "Copy"},
        {20179, "Move"},
        {20180, "Clear Cells"},
    };
    for (const fw::StringEntry& e : kTexts)
        if (!fw::FindString(e.id))
            fw::SetString(e.id, e.text);
    GXAddSizeCommandStrings();
}

bool GXIsRecordingUndo(CGXGridCore* grid, int ctCmd) {
    return grid->GetCommandFactory() && ctCmd != 1 && grid->GetParam() &&
           grid->GetParam()->IsEnableUndo();
}

std::vector<std::unique_ptr<CGXStyle>> GXSaveCellStyles(CGXGridCore* grid, const CGXRange& range,
                                                        int styleType) {
    std::vector<std::unique_ptr<CGXStyle>> out;
    if (range.top > range.bottom || range.left > range.right)
        return out;
    out.reserve(static_cast<std::size_t>(range.GetHeight()) * range.GetWidth());
    for (ROWCOL row = range.top; row <= range.bottom; ++row) {
        for (ROWCOL col = range.left; col <= range.right; ++col) {
            std::unique_ptr<CGXStyle> s = grid->CreateStyle();
            if (grid->GetStyleRowCol(row, col, *s, gxCopy, styleType)) {
                out.push_back(std::move(s));
            } else {
                grid->RecycleStyle(std::move(s));
                out.push_back(nullptr);
            }
        }
    }
    return out;
}

bool GXSetStyleRangeUndoable(CGXGridCore* grid, const CGXRange& range,
                             const std::vector<std::unique_ptr<CGXStyle>>& styles, unsigned flags,
                             int ctCmd, int styleType) {
    const bool record = GXIsRecordingUndo(grid, ctCmd);
    std::vector<std::unique_ptr<CGXStyle>> old;
    if (record)
        old = GXSaveCellStyles(grid, range, styleType);
    // The store itself runs as a roll-back type so that nothing below records it a second time.
    if (!grid->SetStyleRange(range, nullptr, gxCopy, styleType, &styles, flags, 1))
        return false;
    if (record)
        grid->AddCommand(std::make_unique<CGXSetStyleRangeCmd>(range, styleType, std::move(old)),
                         ctCmd);
    return true;
}

// --- commands ------------------------------------------------------------------------------------

CGXBlockCmd::CGXBlockCmd(std::string description)
    : m_sDescription(description.empty() ? std::string("Block") : std::move(description)) {}

bool CGXBlockCmd::Execute(CGXGridCore* grid, int ctCmd) {
    auto* factory = dynamic_cast<CGXCommandFactory*>(grid->GetCommandFactory());
    CGXGridParam* param = grid->GetParam();
    if (!factory || !param)
        return false;
    CGXLongOperation op;
    if (ctCmd == 3)
        op.SetStatusText(Format1(Text(20139), m_sDescription));
    else if (ctCmd == 2)
        op.SetStatusText(Format1(Text(20140), m_sDescription));
    else
        op.SetStatusText(m_sDescription);

    // The block that collects the reversing commands of this run.
    CGXGridParam::CommandList* newList = nullptr;
    CGXBlockCmd* newBlock = nullptr;
    if (ctCmd == 2 || ctCmd == 3) {
        newList = ctCmd == 2 ? &param->GetRedoList() : &param->GetUndoList();
        auto block = std::make_unique<CGXBlockCmd>(m_sDescription);
        newBlock = block.get();
        newList->push_front(std::move(block));
    }
    const bool wasRunning = grid->m_bBlockCmdRunning;
    grid->m_bBlockCmdRunning = true;
    grid->m_bDeferredCell = false;
    const bool many = m_commands.size() > 1;
    const bool oldLock = param->m_bLockUpdate;
    if (many) {
        param->m_bLockUpdate = true;
        CGXLongOperation::SetStatusLevel(CGXLongOperation::GetLevel());
    }
    bool ok = true;
    std::size_t done = 0;
    for (auto& cmd : m_commands) {
        if (!factory->ExecuteCommand(*cmd, grid, ctCmd)) {
            ok = false;
            break;
        }
        ++done;
        CGXLongOperation::SetPercentDone(
            static_cast<int>(std::min<std::size_t>(100, 100 * done / m_commands.size())));
        op.CheckProgress();
    }
    if (!ok) {
        // Undo what this run did so far, so that the grid matches the lists again: the half-built
        // reversing block runs as a roll-back (recording nothing) and is dropped.
        std::unique_ptr<CGXCommand> reverse;
        if (newBlock) {
            auto it = std::find_if(newList->begin(), newList->end(),
                                   [&](const auto& c) { return c.get() == newBlock; });
            if (it != newList->end()) {
                reverse = std::move(*it);
                newList->erase(it);
            }
        }
        if (reverse)
            for (auto& cmd : static_cast<CGXBlockCmd&>(*reverse).m_commands)
                factory->ExecuteCommand(*cmd, grid, 1);
    }
    if (many) {
        param->m_bLockUpdate = oldLock;
        grid->Redraw(GX_INVALIDATE);
    }
    grid->m_bBlockCmdRunning = wasRunning;
    if (!wasRunning && grid->m_bDeferredCell) {
        grid->m_bDeferredCell = false;
        factory->ShowCellAfterUndo(grid, grid->m_nDeferredRow, grid->m_nDeferredCol,
                                   grid->m_bDeferredMakeCurrent);
    }
    return ok;
}

CGXSetStyleRangeCmd::CGXSetStyleRangeCmd(const CGXRange& range, int styleType,
                                         std::vector<std::unique_ptr<CGXStyle>> styles)
    : m_range(range), m_nStyleType(styleType), m_styles(std::move(styles)) {}

bool CGXSetStyleRangeCmd::Execute(CGXGridCore* grid, int ctCmd) {
    return GXSetStyleRangeUndoable(grid, m_range, m_styles, GX_INVALIDATE, ctCmd, m_nStyleType);
}

std::string CGXSetStyleRangeCmd::GetDescription() const {
    return Text(20167);
}

CGXMoveCellsCmd::CGXMoveCellsCmd(const CGXRange& source, ROWCOL destRow, ROWCOL destCol,
                                 std::unique_ptr<CGXOwnedObject> data)
    : m_source(source), m_nDestRow(destRow), m_nDestCol(destCol), m_data(std::move(data)) {}

bool CGXMoveCellsCmd::Execute(CGXGridCore* grid, int ctCmd) {
    CGXRange now;
    now.SetCells(m_nDestRow, m_nDestCol, m_nDestRow + (m_source.bottom - m_source.top),
                 m_nDestCol + (m_source.right - m_source.left));
    return grid->MoveCells(now, m_source.top, m_source.left, std::move(m_data), GX_INVALIDATE,
                           ctCmd);
}

std::string CGXMoveCellsCmd::GetDescription() const {
    return Text(20179);
}

// --- the factory ---------------------------------------------------------------------------------

std::unique_ptr<CGXBlockCmd> CGXCommandFactory::CreateBlockCmd(const std::string& description) {
    return std::make_unique<CGXBlockCmd>(description);
}

std::unique_ptr<CGXCommand> CGXCommandFactory::CreateSetStyleRangeCmd(
    const CGXRange& range, int styleType, std::vector<std::unique_ptr<CGXStyle>> styles) {
    return std::make_unique<CGXSetStyleRangeCmd>(range, styleType, std::move(styles));
}

std::unique_ptr<CGXCommand> CGXCommandFactory::CreateMoveCellsCmd(
    const CGXRange& source, ROWCOL destRow, ROWCOL destCol, std::unique_ptr<CGXOwnedObject> data) {
    return std::make_unique<CGXMoveCellsCmd>(source, destRow, destCol, std::move(data));
}

std::unique_ptr<CGXCommand> CGXCommandFactory::CreateSetRowHeightCmd(ROWCOL first, ROWCOL last,
                                                                     std::vector<int> sizes) {
    return std::make_unique<CGXSetRowHeightCmd>(first, last, std::move(sizes));
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateSetColWidthCmd(ROWCOL first, ROWCOL last,
                                                                    std::vector<int> sizes) {
    return std::make_unique<CGXSetColWidthCmd>(first, last, std::move(sizes));
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateHideRowsCmd(ROWCOL first, ROWCOL last,
                                                                 std::vector<bool> states) {
    return std::make_unique<CGXHideRowsCmd>(first, last, std::move(states));
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateHideColsCmd(ROWCOL first, ROWCOL last,
                                                                 std::vector<bool> states) {
    return std::make_unique<CGXHideColsCmd>(first, last, std::move(states));
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateSetDefaultRowHeightCmd(int size) {
    return std::make_unique<CGXSetDefaultRowHeightCmd>(size);
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateSetDefaultColWidthCmd(int size) {
    return std::make_unique<CGXSetDefaultColWidthCmd>(size);
}

std::unique_ptr<CGXCommand> CGXCommandFactory::CreateMoveRowsCmd(ROWCOL first, ROWCOL last,
                                                                 ROWCOL dest) {
    return std::make_unique<CGXMoveRowsCmd>(first, last, dest);
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateMoveColsCmd(ROWCOL first, ROWCOL last,
                                                                 ROWCOL dest) {
    return std::make_unique<CGXMoveColsCmd>(first, last, dest);
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateSetFrozenRowsCmd(ROWCOL frozen,
                                                                      ROWCOL header) {
    return std::make_unique<CGXSetFrozenRowsCmd>(frozen, header);
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateSetFrozenColsCmd(ROWCOL frozen,
                                                                      ROWCOL header) {
    return std::make_unique<CGXSetFrozenColsCmd>(frozen, header);
}

bool CGXCommandFactory::CreateRemoveRowsUndoData(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                                 std::unique_ptr<CGXRowColUndoData>& out) {
    return GXSaveRemovedRows(grid, first, last, out);
}
bool CGXCommandFactory::CreateRemoveColsUndoData(CGXGridCore* grid, ROWCOL first, ROWCOL last,
                                                 std::unique_ptr<CGXRowColUndoData>& out) {
    return GXSaveRemovedCols(grid, first, last, out);
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateInsertRowsCmd(
    ROWCOL first, ROWCOL count, std::vector<int> sizes, std::unique_ptr<CGXRowColUndoData> data) {
    return std::make_unique<CGXInsertRowsCmd>(first, count, std::move(sizes), std::move(data));
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateInsertColsCmd(
    ROWCOL first, ROWCOL count, std::vector<int> sizes, std::unique_ptr<CGXRowColUndoData> data) {
    return std::make_unique<CGXInsertColsCmd>(first, count, std::move(sizes), std::move(data));
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateRemoveRowsCmd(ROWCOL first, ROWCOL last) {
    return std::make_unique<CGXRemoveRowsCmd>(first, last);
}
std::unique_ptr<CGXCommand> CGXCommandFactory::CreateRemoveColsCmd(ROWCOL first, ROWCOL last) {
    return std::make_unique<CGXRemoveColsCmd>(first, last);
}

bool CGXCommandFactory::SetUndoRecording(CGXGridCore* grid, bool on) {
    CGXData* data = grid->GetData();
    return data && data->SetUndoSwitch(on);
}

void CGXCommandFactory::EndUndoStep(CGXGridCore* grid) {
    // What the cell store recorded belongs to no command: it goes.
    if (CGXData* data = grid->GetData())
        data->GetUndoInfo();
}

void CGXCommandFactory::SetUndoPosition(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    ShowCellAfterUndo(grid, row, col, false);
}

bool CGXCommandFactory::ExecuteCommand(CGXCommand& command, CGXGridCore* grid, int ctCmd) {
    CGXGridParam* param = grid->GetParam();
    const bool oldLock = param ? param->m_bLockReadOnly : false;
    if (param)
        param->m_bLockReadOnly = false;
    // The store's own saved cells come back first; the command then repeats the grid change.
    if (CGXData* data = param ? param->GetData() : nullptr; data && command.m_pEngineInfo) {
        const bool oldRecording = data->SetUndoSwitch(ctCmd != 1);
        data->UndoEngineCells(command.m_pEngineInfo.get(), true, false);
        data->SetUndoSwitch(oldRecording);
    }
    const bool ok = command.Execute(grid, ctCmd);
    if (param)
        param->m_bLockReadOnly = oldLock;
    return ok;
}

CGXGridParam::CommandList* CGXCommandFactory::TargetList(CGXGridCore* grid, int ctCmd) {
    CGXGridParam* param = grid->GetParam();
    CGXGridParam::CommandList* list =
        ctCmd == 1 || ctCmd == 2 ? &param->GetRedoList() : &param->GetUndoList();
    if ((param->m_nTransactionDepth > 0 || grid->m_bBlockCmdRunning) && !list->empty())
        if (auto* block = dynamic_cast<CGXBlockCmd*>(list->front().get()))
            return &block->m_commands;
    return list;
}

void CGXCommandFactory::AddCommand(CGXGridCore* grid, std::unique_ptr<CGXCommand> command,
                                   int ctCmd) {
    CGXGridParam* param = grid->GetParam();
    if (!param || !command)
        return;
    try {
        if (ctCmd == 0)
            param->EmptyRedoList();
        if (!command->m_pEngineInfo)
            if (CGXData* data = param->GetData())
                command->m_pEngineInfo = data->GetUndoInfo();
        CGXGridParam::CommandList* target = TargetList(grid, ctCmd);
        const bool inBlock = target != &param->GetRedoList() && target != &param->GetUndoList();
        if (!inBlock && target->size() > param->m_nUndoLimit)
            target->pop_back();
        ROWCOL row = 0, col = 0;
        command->m_bCurrentCell = grid->GetCurrentCell(row, col);
        command->m_nRow = row;
        command->m_nCol = col;
        target->push_front(std::move(command));
    } catch (const std::exception&) {
        // The command goes with the exception; the grid stays as it is.
    }
}

void CGXCommandFactory::RemoveCommand(CGXGridCore* grid, int ctCmd) {
    if (!grid->GetParam())
        return;
    CGXGridParam::CommandList* target = TargetList(grid, ctCmd);
    if (!target->empty())
        target->pop_front();
}

bool CGXCommandFactory::Undo(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param)
        return false;
    ROWCOL row = 0, col = 0;
    if (grid->GetCurrentCell(row, col)) {
        CGXControl* control = grid->GetControl(row, col);
        if (control && control->IsActive()) {
            if (!control->OnCancelEditing())
                return false;
            const bool modified = control->GetModify();
            control->Init(row, col);
            control->Refresh();
            control->OnCanceledEditing();
            if (modified)
                return true;
        }
    }
    auto& list = param->GetUndoList();
    if (list.empty())
        return false;
    std::unique_ptr<CGXCommand> cmd = std::move(list.front());
    list.pop_front();
    const bool ok = ExecuteCommand(*cmd, grid, 2);
    if (!ok)
        list.push_front(std::move(cmd));
    grid->Recalc(false);  // a computing cell store brings the dependants up to date
    grid->Redraw(GX_INVALIDATE);
    grid->UpdateScrollbars();
    return ok;
}

bool CGXCommandFactory::Redo(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param)
        return false;
    ROWCOL row = 0, col = 0;
    if (grid->GetCurrentCell(row, col)) {
        CGXControl* control = grid->GetControl(row, col);
        if (control && control->IsActive() && !grid->TransferCurrentCell(true))
            return false;
    }
    auto& list = param->GetRedoList();
    if (list.empty())
        return false;
    std::unique_ptr<CGXCommand> cmd = std::move(list.front());
    list.pop_front();
    const bool ok = ExecuteCommand(*cmd, grid, 3);
    if (ok) {
        if (cmd->m_bCurrentCell)
            ShowCellAfterUndo(grid, cmd->m_nRow, cmd->m_nCol, true);
    } else {
        list.push_front(std::move(cmd));
    }
    grid->Recalc(false);
    grid->Redraw(GX_INVALIDATE);
    grid->UpdateScrollbars();
    return ok;
}

bool CGXCommandFactory::BeginTrans(CGXGridCore* grid, const char* description) {
    CGXGridParam* param = grid->GetParam();
    if (!param || !param->IsEnableUndo())
        return false;
    if (param->m_nTransactionDepth > 0) {
        ++param->m_nTransactionDepth;
        return true;
    }
    grid->m_sTransactionText = description ? description : "";
    auto block = CreateBlockCmd(grid->m_sTransactionText);
    ROWCOL row = 0, col = 0;
    block->m_bCurrentCell = grid->GetCurrentCell(row, col);
    block->m_nRow = row;
    block->m_nCol = col;
    param->GetUndoList().push_front(std::move(block));
    param->m_nTransactionDepth = 1;
    return true;
}

// Closing works whatever the undo switch says now: a transaction opened while undo was on must
// not stay open because undo was switched off inside it.
void CGXCommandFactory::CommitTrans(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param || param->m_nTransactionDepth <= 0)
        return;
    if (--param->m_nTransactionDepth > 0)
        return;
    auto& list = param->GetUndoList();
    if (list.empty())
        return;
    if (auto* block = dynamic_cast<CGXBlockCmd*>(list.front().get());
        block && block->m_commands.empty())
        list.pop_front();
    else if (list.size() > param->m_nUndoLimit)
        list.pop_back();
}

void CGXCommandFactory::Rollback(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param || param->m_nTransactionDepth <= 0)
        return;
    if (--param->m_nTransactionDepth > 0)
        return;
    param->m_nTransactionDepth = 0;
    auto& list = param->GetUndoList();
    if (list.empty())
        return;
    std::unique_ptr<CGXCommand> block = std::move(list.front());
    list.pop_front();
    ExecuteCommand(*block, grid, 1);
    grid->Redraw(GX_INVALIDATE);
    grid->UpdateScrollbars();
}

void CGXCommandFactory::ShowCellAfterUndo(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                          bool makeCurrent) {
    if (grid->m_bBlockCmdRunning) {
        grid->m_bDeferredCell = true;
        grid->m_nDeferredRow = row;
        grid->m_nDeferredCol = col;
        grid->m_bDeferredMakeCurrent = makeCurrent;
        return;
    }
    if (makeCurrent && !grid->IsCurrentCell(row, col))
        grid->SetCurrentCell(row, col, GX_UPDATENOW);
    else
        grid->ScrollCellInView(row, col);
}

bool CGXCommandFactory::GetUndoText(CGXGridCore* grid, std::string* text) {
    CGXGridParam* param = grid->GetParam();
    if (!param)
        return false;
    bool modified = false;
    ROWCOL row = 0, col = 0;
    if (grid->GetCurrentCell(row, col))
        if (CGXControl* c = grid->GetControl(row, col); c && c->IsActive() && c->GetModify())
            modified = true;
    const auto& list = param->GetUndoList();
    const bool possible = modified || !list.empty();
    if (text) {
        std::string arg = modified
                              ? Text(20174)
                              : (list.empty() ? std::string() : list.front()->GetDescription());
        *text = Format1("Undo %1", arg);
    }
    return possible;
}

bool CGXCommandFactory::GetRedoText(CGXGridCore* grid, std::string* text) {
    CGXGridParam* param = grid->GetParam();
    if (!param)
        return false;
    const auto& list = param->GetRedoList();
    if (text)
        *text = Format1("Redo %1", list.empty() ? std::string() : list.front()->GetDescription());
    return !list.empty();
}
