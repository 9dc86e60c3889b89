#include "grid/features/CGXGridFindReplaceImp.h"

#include "framework/base/TextCase.h"
#include "framework/dialogs/FindReplaceDialog.h"
#include "framework/persist/StringTable.h"
#include "framework/window/WindowStyles.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXStyle.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXCommandFactory.h"

#include <algorithm>

namespace {

constexpr unsigned kSearchingText = 20157;   // "Searching values ..."
constexpr unsigned kReplacingText = 20155;   // "Replacing values ..."
constexpr unsigned kReplaceAllText = 20156;  // "Replace All"

// The cell the last search stopped at: searching again from the current position passes it.
struct LastMatch {
    CGXGridCore* grid = nullptr;
    ROWCOL row = 0, col = 0;
};
LastMatch& Last() {
    static LastMatch last;
    return last;
}

// Progress of a search or replacement row by row: each row adds 100; once the wait has passed
// the share done is shown and the user may abort. TRUE when the user aborted.
class RowProgress {
public:
    RowProgress(CGXLongOperation& op, ROWCOL rows) : op_(op), rows_(rows) {}
    bool Step() {
        counter_ += 100;
        if (!op_.CheckProgress())
            return false;
        CGXLongOperation::SetPercentDone(
            static_cast<int>(std::min<std::uint64_t>(100, counter_ / (std::uint64_t(rows_) + 1))));
        bool abort = false;
        op_.CheckProgressCanAbort(abort);
        return abort;
    }

private:
    CGXLongOperation& op_;
    ROWCOL rows_;
    std::uint64_t counter_ = 0;
};

// Stores a cell's new value, recording first the command that puts the old cell back.
void StoreValue(CGXGridCore* grid, ROWCOL row, ROWCOL col, const std::string& value,
                unsigned flags) {
    const CGXRange cell(row, col);
    if (GXIsRecordingUndo(grid, 0))
        grid->AddCommand(
            std::make_unique<CGXSetStyleRangeCmd>(cell, 0, GXSaveCellStyles(grid, cell)), 0);
    grid->SetValueRange(cell, value, gxOverride, flags, 1);
}

bool IsEnabled(const CGXStyle& style) {
    return !style.GetIncludeEnabled() || style.GetEnabled();
}

}  // namespace

// --- the find state ----------------------------------------------------------------------------

CGXFindReplaceSettings::~CGXFindReplaceSettings() = default;

CGXFindReplaceSettings& CGXFindReplaceSettings::Get() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pFindReplaceSettings)
        state.m_pFindReplaceSettings = std::make_unique<CGXFindReplaceSettings>();
    return static_cast<CGXFindReplaceSettings&>(*state.m_pFindReplaceSettings);
}

void CGXFindReplaceSettings::PrepareSearchText() {
    compareText = fw::DecodeUtf8(findText);
    if (!matchCase)
        compareText = fw::UpperCodePoints(compareText);
}

// --- matching in one cell ----------------------------------------------------------------------

std::u32string CGXGridFindReplaceImp::CellText(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                               const CGXStyle& style) {
    std::string text;
    CGXControl* control = grid->GetRegisteredControl(style.GetControl());
    if (!control || !control->GetControlText(text, row, col, nullptr, style))
        text = style.GetValue();
    std::u32string points = fw::DecodeUtf8(text);
    return CGXFindReplaceSettings::Get().matchCase ? points : fw::UpperCodePoints(points);
}

bool CGXGridFindReplaceImp::FindInCell(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                       bool fromCurrentPos, bool setCurrentCell) {
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    if (s.compareText.empty() || (!fromCurrentPos && grid->IsCurrentCell(row, col)))
        return false;
    std::unique_ptr<CGXStyle> style = grid->CreateStyle();
    grid->ComposeStyleRowCol(row, col, style.get());
    const bool found = CellText(grid, row, col, *style).find(s.compareText) != std::u32string::npos;
    grid->RecycleStyle(std::move(style));
    if (found) {
        Last() = {grid, row, col};
        if (setCurrentCell)
            grid->SetCurrentCell(row, col);
    }
    return found;
}

bool CGXGridFindReplaceImp::ReplaceInCell(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    if (s.compareText.empty())
        return false;
    std::unique_ptr<CGXStyle> style = grid->CreateStyle();
    grid->ComposeStyleRowCol(row, col, style.get());
    const bool enabled = IsEnabled(*style);
    std::string own;
    CGXControl* control = grid->GetRegisteredControl(style->GetControl());
    if (!control || !control->GetControlText(own, row, col, nullptr, *style))
        own = style->GetValue();
    grid->RecycleStyle(std::move(style));
    if (!enabled)
        return false;
    // The new text grows as it needs: a long cell text is replaced whole, however long it gets.
    const std::u32string source = fw::DecodeUtf8(own);
    const std::u32string searched = s.matchCase ? source : fw::UpperCodePoints(source);
    const std::u32string replacement = fw::DecodeUtf8(s.replaceText);
    std::u32string result;
    std::size_t from = 0;
    bool any = false;
    // Matching goes on after each match, so a replacement is never searched again.
    for (std::size_t at = searched.find(s.compareText); at != std::u32string::npos;
         at = searched.find(s.compareText, from)) {
        result.append(source, from, at - from).append(replacement);
        from = at + s.compareText.size();
        any = true;
    }
    if (!any)
        return false;
    result.append(source, from, std::u32string::npos);
    StoreValue(grid, row, col, fw::EncodeUtf8(result), 0);
    return true;
}

bool CGXGridFindReplaceImp::ReplaceFirstInCell(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    std::unique_ptr<CGXStyle> style = grid->CreateStyle();
    grid->ComposeStyleRowCol(row, col, style.get());
    std::string own;
    CGXControl* control = grid->GetRegisteredControl(style->GetControl());
    if (!control || !control->GetControlText(own, row, col, nullptr, *style))
        own = style->GetValue();
    grid->RecycleStyle(std::move(style));
    std::u32string source = fw::DecodeUtf8(own);
    const std::u32string searched = s.matchCase ? source : fw::UpperCodePoints(source);
    const std::size_t at =
        s.compareText.empty() ? std::u32string::npos : searched.find(s.compareText);
    if (at == std::u32string::npos)
        return false;
    source.replace(at, s.compareText.size(), fw::DecodeUtf8(s.replaceText));
    StoreValue(grid, row, col, fw::EncodeUtf8(source), GX_UPDATENOW);
    return true;
}

// --- searching ---------------------------------------------------------------------------------

bool CGXGridFindReplaceImp::FindFrom(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                     bool setCurrentCell) {
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    const ROWCOL rows = grid->GetRowCount();
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(kSearchingText));
    RowProgress progress(op, rows);
    for (ROWCOL r = row; r >= 1 && r <= rows; r = s.down ? r + 1 : r - 1) {
        std::unique_ptr<CGXStyle> style = grid->CreateStyle();
        grid->ComposeStyleRowCol(r, col, style.get());
        const bool enabled = IsEnabled(*style);
        grid->RecycleStyle(std::move(style));
        if (enabled && FindInCell(grid, r, col, false, setCurrentCell))
            return true;
        if (progress.Step())
            return false;
    }
    return false;
}

bool CGXGridFindReplaceImp::FindNext(CGXGridCore* grid, bool setCurrentCell) {
    ROWCOL row = 0, col = 0;
    if (!grid->GetCurrentCell(row, col))
        return false;
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    // The current cell first, unless the last search stopped there.
    const LastMatch last = Last();
    const bool stoppedHere = last.grid == grid && last.row == row && last.col == col;
    if (!stoppedHere && FindInCell(grid, row, col, true, setCurrentCell))
        return true;
    if (FindFrom(grid, row, col, setCurrentCell))
        return true;
    grid->OnTextNotFound(s.findText);
    return false;
}

bool CGXGridFindReplaceImp::Find(CGXGridCore* grid, const std::string& text, bool down,
                                 bool matchCase) {
    if (grid->GetRowCount() == 0 || grid->GetColCount() == 0)
        return false;
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    if (text != s.findText || matchCase != s.matchCase)
        Last() = {};
    s.findText = text;
    s.matchCase = matchCase;
    s.down = down;
    s.PrepareSearchText();
    return FindNext(grid, true);
}

void CGXGridFindReplaceImp::Replace(CGXGridCore* grid, const std::string& find, bool down,
                                    bool matchCase, const std::string& replacement) {
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    s.findText = find;
    s.replaceText = replacement;
    s.down = down;
    s.matchCase = matchCase;
    s.PrepareSearchText();
    ROWCOL row = 0, col = 0;
    if (!grid->GetCurrentCell(row, col))
        return;
    bool found = false;
    if (ReplaceFirstInCell(grid, row, col)) {
        Last() = {grid, row, col};
        found = FindInCell(grid, row, col, true, true) || FindFrom(grid, row, col, true);
    } else {
        found = FindFrom(grid, row, col, true);
    }
    if (!found)
        grid->OnTextNotFound(s.findText);
}

void CGXGridFindReplaceImp::ReplaceAll(CGXGridCore* grid, const std::string& find,
                                       const std::string& replacement, bool matchCase) {
    ROWCOL row = 0, col = 0;
    if (grid->GetRowCount() == 0 || grid->GetColCount() == 0 || !grid->GetCurrentCell(row, col))
        return;
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    s.findText = find;
    s.replaceText = replacement;
    s.matchCase = matchCase;
    s.down = true;
    s.PrepareSearchText();

    const ROWCOL rows = grid->GetRowCount();
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(kReplacingText));
    CGXLongOperation::SetCanRollback(true);
    const bool transaction =
        s.transaction && grid->BeginTrans(fw::LoadString(kReplaceAllText).c_str());
    RowProgress progress(op, rows - row + 1);
    bool replaced = false;
    bool aborted = false;
    for (ROWCOL r = row; r <= rows && !aborted; ++r) {
        replaced = ReplaceInCell(grid, r, col) || replaced;
        aborted = progress.Step();
    }
    CGXLongOperation::SetPercentDone(0);
    if (aborted && !transaction) {
        grid->Redraw();
        return;  // cancelled: what was replaced stays, nothing more is reported
    }
    if (!aborted || !CGXLongOperation::GetRollbackConfirmedState()) {
        if (!replaced)
            grid->OnTextNotFound(s.findText);
        if (transaction)
            grid->CommitTrans();
    } else {
        grid->Rollback();
    }
    grid->Redraw();
}

// --- the dialog --------------------------------------------------------------------------------

void CGXGridFindReplaceImp::ShowDialog(CGXGridCore* grid, bool findOnly) {
    const ROWCOL rows = grid->GetRowCount();
    const ROWCOL cols = grid->GetColCount();
    if (rows == 0 || cols == 0)
        return;
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    s.ownerGrid = grid;
    ROWCOL row = 0, col = 0;
    if (grid->GetCurrentCell(row, col))
        grid->ScrollCellInView(row, col);
    else
        grid->SetCurrentCell(std::min(grid->GetTopRow(), rows), std::min(grid->GetLeftCol(), cols));
    std::string initial = s.findText;
    if (CGXControl* control = grid->GetCurrentCellControl(); control && control->IsActive()) {
        std::string selected;
        control->GetSelectedText(selected);
        if (!selected.empty())
            initial = selected;
    }
    if (s.dialog && s.dialog->IsCreated() && s.findOnly == findOnly) {
        s.dialog->ShowWindow(fw::SW_SHOW);
        s.dialog->SetFocus();
        return;
    }
    if (s.dialog && s.dialog->IsCreated())
        s.dialog->DestroyWindow();
    s.dialog = std::make_unique<fw::FindReplaceDialog>();
    s.findOnly = findOnly;
    const fw::DWORD flags = (s.down ? fw::FR_DOWN : 0) | (s.matchCase ? fw::FR_MATCHCASE : 0);
    if (!s.dialog->Create(findOnly, initial, s.replaceText, flags, grid->GridWnd()))
        s.dialog.reset();
}

void CGXGridFindReplaceImp::OnDialogNotify(CGXGridCore* grid, void* dialog) {
    CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
    if (s.ownerGrid && s.ownerGrid != grid) {
        s.ownerGrid->OnFindReplace(dialog);
        return;
    }
    auto* d = static_cast<fw::FindReplaceDialog*>(dialog);
    if (d->IsTerminating())
        return;  // the window is gone; the object is replaced when a dialog is asked for again
    if (d->FindNext())
        grid->OnFindNext(d->GetFindString(), d->SearchDown(), d->MatchCase());
    else if (d->ReplaceCurrent())
        grid->OnReplaceSel(d->GetFindString(), d->SearchDown(), d->MatchCase(),
                           d->GetReplaceString());
    else if (d->ReplaceAll())
        grid->OnReplaceAll(d->GetFindString(), d->GetReplaceString(), d->MatchCase());
}

void CGXGridCore::InstallFindReplaceImp() {
    if (GetFeatureSlot(14))
        return;
    SetFeatureSlot(14, AddOwnedObject(std::make_unique<CGXGridFindReplaceImp>()));
}
