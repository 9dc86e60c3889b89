#include "grid/features/CGXGridClipboard.h"

#include "grid/controls/CGXPasswordControl.h"
#include "grid/features/GXUndoOff.h"

#include "framework/dialogs/MessageBox.h"
#include "framework/persist/Archive.h"
#include "framework/persist/Clipboard.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/CGXGridCellBlocks.h"
#include "grid/features/GXStylesClipboardCheck.h"

#include <unistd.h>

#include <algorithm>

namespace {

// The clipboard that Copy or Cut holds open while their helpers add formats to it.
fw::Clipboard* g_openClipboard = nullptr;

class HeldClipboard {
public:
    explicit HeldClipboard(fw::Clipboard& clip) : old_(g_openClipboard) { g_openClipboard = &clip; }
    ~HeldClipboard() { g_openClipboard = old_; }
    HeldClipboard(const HeldClipboard&) = delete;
    HeldClipboard& operator=(const HeldClipboard&) = delete;

private:
    fw::Clipboard* old_;
};

// Runs a function with the held clipboard, or with one opened for the call.
template <class F>
bool WithClipboard(F f) {
    if (g_openClipboard)
        return f(*g_openClipboard);
    fw::Clipboard clip;
    if (!clip.IsOpen())
        return false;
    return f(clip);
}

// Sets the parameter object's drawing lock for a scope.
class DrawLock {
public:
    explicit DrawLock(CGXGridParam* param) : param_(param), old_(param->m_bLockUpdate) {
        param_->m_bLockUpdate = true;
    }
    ~DrawLock() { param_->m_bLockUpdate = old_; }
    DrawLock(const DrawLock&) = delete;
    DrawLock& operator=(const DrawLock&) = delete;

private:
    CGXGridParam* param_;
    bool old_;
};

std::string Separators(const std::string& s) {
    return s.empty() ? std::string("\t") : s;
}

// Every row and column of the spans of a resolved list, in order.
void SpanIndices(CGXGridCore* grid, const CGXRangeList& cells, std::vector<ROWCOL>& rows,
                 std::vector<ROWCOL>& cols) {
    std::vector<ROWCOL> f, l;
    cells.GetRowSpans(grid->GetRowCount(), f, l, false);
    for (std::size_t i = 0; i < f.size(); ++i)
        for (ROWCOL r = f[i]; r <= l[i] && r != GX_INVALID; ++r) rows.push_back(r);
    f.clear();
    l.clear();
    cells.GetColSpans(grid->GetColCount(), f, l, false);
    for (std::size_t i = 0; i < f.size(); ++i)
        for (ROWCOL c = f[i]; c <= l[i] && c != GX_INVALID; ++c) cols.push_back(c);
}

bool IsStylesAvailable() {
    const unsigned format = GXGetLibraryState().m_nClipboardFormat;
    return format && fw::Clipboard::IsFormatAvailable(format);
}

void SetPercent(std::uint64_t done, std::uint64_t total) {
    CGXLongOperation::SetPercentDone(
        total ? static_cast<int>(std::min<std::uint64_t>(100, done * 100 / total)) : 100);
}

}  // namespace

// --- formats
// ---------------------------------------------------------------------------------------

bool GXReadStylesClipboard(std::span<const std::uint8_t> bytes, const CGXStylesMap* map,
                           std::uint32_t& rows, std::uint32_t& cols,
                           std::vector<std::unique_ptr<CGXStyle>>& styles) {
    styles.clear();
    rows = cols = 0;
    try {
        fw::Archive ar(fw::LoadFrom{bytes});
        fw::Serializable* oldContext =
            ar.SetContext(const_cast<fw::Serializable*>(static_cast<const fw::Serializable*>(map)));
        std::uint32_t r = 0, c = 0;
        ar >> r >> c;
        if (r == 0 || c == 0 || r > GX_MAXCLIPROWCOL || c > GX_MAXCLIPROWCOL ||
            std::uint64_t(r) * c > GX_MAXCLIPCELLS)
            return false;
        // Each element takes at least its two-byte tag.
        const std::size_t n = ar.ReadCount(2);
        if (n != std::uint64_t(r) * c)
            return false;
        std::vector<std::unique_ptr<CGXStyle>> read;
        read.reserve(n);
        for (std::size_t i = 0; i < n; ++i) {
            std::unique_ptr<fw::Serializable> o = ar.ReadObject(CGXStyle::kClass);
            read.emplace_back(static_cast<CGXStyle*>(o.release()));
        }
        ar.SetContext(oldContext);
        rows = r;
        cols = c;
        styles = std::move(read);
        return true;
    } catch (const fw::ArchiveException&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void GXWriteStylesClipboard(std::vector<std::uint8_t>& out, const CGXStylesMap* map,
                            std::uint32_t rows, std::uint32_t cols,
                            const std::vector<std::unique_ptr<CGXStyle>>& styles) {
    fw::Archive ar(fw::StoreTo{out});
    ar.SetContext(const_cast<fw::Serializable*>(static_cast<const fw::Serializable*>(map)));
    ar << rows << cols;
    ar.WriteCount(styles.size());
    for (const auto& s : styles) ar.WriteObject(s.get());
}

std::vector<std::uint8_t> GXDirectCopyMarker(std::uint64_t serial) {
    std::vector<std::uint8_t> out;
    fw::Archive ar(fw::StoreTo{out});
    ar << static_cast<std::uint32_t>(::getpid()) << serial;
    return out;
}

unsigned GXDirectCopyFormat() {
    static unsigned format = 0xFFFF;
    if (format == 0xFFFF)
        format = fw::RegisterClipboardFormat("GX_DIRECTCOPY");
    return format;
}

CGXRangeList GXResolveClipboardRanges(CGXGridCore* grid, const CGXRangeList& list) {
    const unsigned flags = grid->m_nClipboardFlags;
    const ROWCOL top = flags & GX_DNDROWHEADER ? 0 : GXFirstDataRow(grid);
    const ROWCOL left = flags & GX_DNDCOLHEADER ? 0 : GXFirstDataCol(grid);
    const ROWCOL rowCount = grid->GetRowCount(), colCount = grid->GetColCount();
    CGXRangeList out;
    for (const CGXRange& r : list) {
        CGXRange c = r;
        c.ResolveToCells(top, left, rowCount, colCount);
        c.bottom = std::min(c.bottom, rowCount);
        c.right = std::min(c.right, colCount);
        if (c.top <= c.bottom && c.left <= c.right)
            out.AddTail(c);
    }
    return out;
}

// --- text ----------------------------------------------------------------------------------------

std::string CGXGridTextDataExchangeImp::GetCopyTextRowCol(CGXGridCore* grid, ROWCOL row,
                                                          ROWCOL col) {
    const CGXStyle& style = grid->LookupStyleRowCol(row, col);
    std::string text;
    if (CGXControl* c = grid->GetRegisteredControl(style.GetControl()))
        c->GetControlText(text, row, col, nullptr, style);
    else
        text = style.GetValue();
    const bool escape = grid->m_nClipboardFlags & GX_DNDEGDESCAPE;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\t') {
            out += "\\t";
        } else if (ch == '\r' || ch == '\n') {
            if (escape) {
                out += ch == '\r' ? "\\r" : "\\n";
            } else {
                out += ' ';
                if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                    ++i;
            }
        } else {
            out += ch;
        }
    }
    return out;
}

bool CGXGridTextDataExchangeImp::WriteTextToFile(CGXGridCore* grid, std::string& out,
                                                 const CGXRangeList& list) {
    const CGXRangeList cells = GXResolveClipboardRanges(grid, list);
    std::vector<ROWCOL> rows, cols;
    SpanIndices(grid, cells, rows, cols);
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(20147));
    const std::string sep =
        grid->m_sCopySeparator.empty() ? std::string("\t") : grid->m_sCopySeparator;
    bool any = false;
    const std::uint64_t total = std::uint64_t(rows.size()) * cols.size();
    std::uint64_t done = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        for (std::size_t j = 0; j < cols.size(); ++j) {
            if (j > 0)
                out += sep;
            if (!cells.ContainsCell(rows[i], cols[j]))
                continue;
            std::string t = GetCopyTextRowCol(grid, rows[i], cols[j]);
            any = any || !t.empty();
            out += t;
        }
        done += cols.size();
        SetPercent(done, total);
        bool abort = false;
        if (op.CheckProgressCanAbort(abort) && abort)
            return false;
    }
    if (rows.size() > 1 || cols.size() > 1)
        out += "\r\n";
    grid->m_nLastCopyRows = static_cast<ROWCOL>(rows.size());
    grid->m_nLastCopyCols = static_cast<ROWCOL>(cols.size());
    return any;
}

void CGXGridTextDataExchangeImp::CalcTextBufferSize(const char* text, std::size_t size,
                                                    ROWCOL& rows, ROWCOL& cols,
                                                    const std::string& separators) {
    rows = 0;
    cols = 1;
    if (size == 0)
        return;
    rows = 1;
    ROWCOL inLine = 1;
    for (std::size_t i = 0; i < size; ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < size && text[i + 1] == '\n')
                ++i;
            cols = std::max(cols, inLine);
            inLine = 1;
            if (i + 1 < size)
                ++rows;
        } else if (separators.find(ch) != std::string::npos) {
            ++inLine;
        }
    }
    cols = std::max(cols, inLine);
}

bool CGXGridTextDataExchangeImp::StorePastedText(CGXGridCore* grid, ROWCOL row, ROWCOL col,
                                                 const std::string& text) {
    std::unique_ptr<CGXStyle> style = grid->CreateStyle();
    style->SetValue(text);
    const bool ok = grid->StoreStyleRowCol(row, col, style.get(), gxOverride, 0);
    grid->RecycleStyle(std::move(style));
    return ok;
}

bool CGXGridTextDataExchangeImp::PasteTextFromBuffer(CGXGridCore* grid, const char* text,
                                                     std::size_t size, const CGXRange& target) {
    CGXGridParam* param = grid->GetParam();
    if (!param || !text)
        return false;
    const unsigned flags = grid->m_nClipboardFlags;
    const std::string seps = Separators(grid->m_sPasteSeparators);
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(20152));
    grid->TransferCurrentCell(true);
    const std::string name = fw::LoadString(20154);
    // With a transaction open, an abort may take the paste back.
    CGXLongOperation::SetCanRollback(grid->BeginTrans(name.c_str()));

    // Rows and columns are added once, for the whole text, where the flags allow it.
    ROWCOL needRows = 0, needCols = 0;
    CalcTextBufferSize(text, size, needRows, needCols, seps);
    const ROWCOL top = target.top, left = target.left;
    if (needRows > 0) {
        const std::uint64_t lastRow = std::uint64_t(top) + needRows - 1;
        const std::uint64_t lastCol = std::uint64_t(left) + needCols - 1;
        if (!(flags & GX_DNDNOAPPENDROWS) && lastRow > grid->GetRowCount() &&
            GXIsRealRowCol(ROWCOL(std::min<std::uint64_t>(lastRow, GX_INVALID))))
            grid->SetRowCount(ROWCOL(lastRow), 0);
        if (!(flags & GX_DNDNOAPPENDCOLS) && lastCol > grid->GetColCount() &&
            GXIsRealRowCol(ROWCOL(std::min<std::uint64_t>(lastCol, GX_INVALID))))
            grid->SetColCount(ROWCOL(lastCol), 0);
    }
    const ROWCOL rowCount = grid->GetRowCount(), colCount = grid->GetColCount();

    // The old cells of the block go into the transaction before anything is stored, so that a
    // failure or an abort can be rolled back and the paste undone as one step.
    if (needRows > 0 && top <= rowCount && left <= colCount && GXIsRecordingUndo(grid, 0)) {
        CGXRange block;
        block.SetCells(
            top, left, ROWCOL(std::min<std::uint64_t>(rowCount, std::uint64_t(top) + needRows - 1)),
            ROWCOL(std::min<std::uint64_t>(colCount, std::uint64_t(left) + needCols - 1)));
        grid->AddCommand(
            std::make_unique<CGXSetStyleRangeCmd>(block, 0, GXSaveCellStyles(grid, block)), 0);
    }

    bool failed = false, aborted = false;
    ROWCOL row = top, col = left, lastRow = top, lastCol = left;
    {
        DrawLock lock(param);
        GXUndoOff off(param);
        std::unique_ptr<CGXStyle> style = grid->CreateStyle();
        bool skipLine = false, stop = false;
        std::size_t pos = 0;
        std::string cell;
        while (pos < size && !stop) {
            std::size_t end = pos;
            while (end < size && text[end] != '\r' && text[end] != '\n' &&
                   seps.find(text[end]) == std::string::npos)
                ++end;
            if (!skipLine) {
                if (row > rowCount) {
                    stop = true;
                    break;
                }
                if (col > colCount) {
                    skipLine = true;
                } else {
                    cell.assign(text + pos, end - pos);
                    if (flags & GX_DNDEGDESCAPE) {
                        std::string plain;
                        for (std::size_t i = 0; i < cell.size(); ++i) {
                            if (cell[i] == '\\' && i + 1 < cell.size() &&
                                (cell[i + 1] == 'r' || cell[i + 1] == 'n' || cell[i + 1] == 't')) {
                                plain += cell[i + 1] == 'r'   ? '\r'
                                         : cell[i + 1] == 'n' ? '\n'
                                                              : '\t';
                                ++i;
                            } else {
                                plain += cell[i];
                            }
                        }
                        cell = std::move(plain);
                    }
                    if (!StorePastedText(grid, row, col, cell)) {
                        failed = true;
                        break;
                    }
                    lastRow = row;
                    lastCol = std::max(lastCol, col);
                }
            }
            if (end >= size)
                break;
            const char d = text[end];
            if (d == '\r' || d == '\n') {
                std::size_t next = end + 1;
                if (d == '\r' && next < size && text[next] == '\n')
                    ++next;
                if (next >= size)
                    break;
                ++row;
                col = left;
                skipLine = false;
                pos = next;
                SetPercent(pos, size);
                bool abort = false;
                if (op.CheckProgressCanAbort(abort) && abort) {
                    aborted = true;
                    break;
                }
            } else {
                ++col;
                pos = end + 1;
            }
        }
    }
    grid->FreeObjectCache();
    if (failed || aborted) {
        // A store that failed leaves a half paste: it is always taken back. A user abort keeps
        // what was pasted unless the user asked for the roll-back.
        if (failed || CGXLongOperation::GetRollbackConfirmedState())
            grid->Rollback();
        else
            grid->CommitTrans();
    } else {
        grid->CommitTrans();
    }
    grid->RedrawRowCol(CGXRange(top, left, std::max(top, lastRow), std::max(left, lastCol)),
                       GX_INVALIDATE);
    grid->UpdateScrollbars();
    grid->RefreshCurrentCell();
    return !failed && !aborted;
}

// --- styles --------------------------------------------------------------------------------------

std::unique_ptr<CGXStyle> CGXGridStyleDataExchangeImp::GetCopyStyleRowCol(CGXGridCore* grid,
                                                                          ROWCOL row, ROWCOL col) {
    std::unique_ptr<CGXStyle> s = grid->CreateStyle();
    bool found = true;
    if (grid->m_nClipboardFlags & GX_DNDCOMPOSE)
        grid->ComposeStyleRowCol(row, col, s.get());
    else
        found = grid->GetStyleRowCol(row, col, *s, gxCopy, 0);
    if (!found)
        return nullptr;
    // A password never leaves the grid in clear text.
    const CGXControl* c =
        grid->GetRegisteredControl(grid->LookupStyleRowCol(row, col).GetControl());
    if (c && c->IsKindOfControlClass(CGXPasswordControl::kClassInfo))
        s->SetIncludeValue(false);
    return s;
}

bool CGXGridStyleDataExchangeImp::WriteStylesToArchive(CGXGridCore* grid,
                                                       std::vector<std::uint8_t>& out,
                                                       const CGXRangeList& list) {
    const CGXRangeList cells = GXResolveClipboardRanges(grid, list);
    std::vector<ROWCOL> rows, cols;
    SpanIndices(grid, cells, rows, cols);
    if (rows.empty() || cols.empty())
        return false;
    if (rows.size() > GX_MAXCLIPROWCOL || cols.size() > GX_MAXCLIPROWCOL ||
        std::uint64_t(rows.size()) * cols.size() > GX_MAXCLIPCELLS) {
        fw::AppMessageBox(fw::LoadString(20149), fw::MB_OK | fw::MB_ICONEXCLAMATION);
        return false;
    }
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(20148));
    std::vector<std::unique_ptr<CGXStyle>> styles;
    styles.reserve(rows.size() * cols.size());
    const std::uint64_t total = std::uint64_t(rows.size()) * cols.size();
    for (ROWCOL r : rows) {
        for (ROWCOL c : cols)
            styles.push_back(cells.ContainsCell(r, c) ? GetCopyStyleRowCol(grid, r, c) : nullptr);
        SetPercent(styles.size(), total);
        bool abort = false;
        if (op.CheckProgressCanAbort(abort) && abort)
            return false;
    }
    GXWriteStylesClipboard(out, grid->GetStylesMap(), std::uint32_t(rows.size()),
                           std::uint32_t(cols.size()), styles);
    grid->m_nLastCopyRows = static_cast<ROWCOL>(rows.size());
    grid->m_nLastCopyCols = static_cast<ROWCOL>(cols.size());
    return true;
}

bool CGXGridStyleDataExchangeImp::PasteStylesFromArchive(CGXGridCore* grid,
                                                         const std::uint8_t* data, std::size_t size,
                                                         const CGXRange& target) {
    std::uint32_t rows = 0, cols = 0;
    std::vector<std::unique_ptr<CGXStyle>> styles;
    // A malformed archive is a failed paste: nothing is changed.
    if (!data || !GXReadStylesClipboard({data, size}, grid->GetStylesMap(), rows, cols, styles))
        return false;
    const unsigned flags = grid->m_nClipboardFlags;
    if ((flags & GX_DNDDIFFRANGEDLG) && (target.GetHeight() != rows || target.GetWidth() != cols)) {
        auto* cut = dynamic_cast<CGXAbstractGridCutPasteImp*>(grid->GetCutPasteImp());
        if (!cut || !cut->ConfirmPasteSize(grid))
            return false;
    }
    const std::string name = fw::LoadString(20154);
    grid->BeginTrans(name.c_str());
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(20152));
    std::uint64_t lastRow = std::uint64_t(target.top) + rows - 1;
    std::uint64_t lastCol = std::uint64_t(target.left) + cols - 1;
    if (lastRow > grid->GetRowCount() &&
        ((flags & GX_DNDNOAPPENDROWS) ||
         !GXIsRealRowCol(ROWCOL(std::min<std::uint64_t>(lastRow, GX_INVALID))) ||
         !grid->SetRowCount(ROWCOL(lastRow), 0)))
        lastRow = grid->GetRowCount();
    if (lastCol > grid->GetColCount() &&
        ((flags & GX_DNDNOAPPENDCOLS) ||
         !GXIsRealRowCol(ROWCOL(std::min<std::uint64_t>(lastCol, GX_INVALID))) ||
         !grid->SetColCount(ROWCOL(lastCol), 0)))
        lastCol = grid->GetColCount();
    bool ok = false;
    if (lastRow >= target.top && lastCol >= target.left) {
        const ROWCOL useRows = ROWCOL(lastRow - target.top + 1);
        const ROWCOL useCols = ROWCOL(lastCol - target.left + 1);
        // Only the columns that fit are kept, row by row.
        std::vector<std::unique_ptr<CGXStyle>> fit;
        fit.reserve(std::size_t(useRows) * useCols);
        for (ROWCOL r = 0; r < useRows; ++r)
            for (ROWCOL c = 0; c < useCols; ++c)
                fit.push_back(std::move(styles[std::size_t(r) * cols + c]));
        CGXRange block(target.top, target.left, ROWCOL(lastRow), ROWCOL(lastCol));
        ok = GXSetStyleRangeUndoable(grid, block, fit, GX_INVALIDATE, 0);
    }
    if (ok)
        grid->CommitTrans();
    else
        grid->Rollback();
    grid->UpdateScrollbars();
    return ok;
}

// --- the commands
// ----------------------------------------------------------------------------------

bool CGXGridCutPasteImp::CanCopy(CGXGridCore* grid) {
    if (fw::Clipboard::IsOpenedByAnyone() || !grid->GetParam())
        return false;
    ROWCOL r, c;
    return !grid->GetParam()->m_SelRects.IsEmpty() || grid->GetCurrentCell(r, c);
}

bool CGXGridCutPasteImp::Copy(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param)
        return false;
    fw::Clipboard clip;
    if (!clip.IsOpen() || !clip.Empty())
        return false;
    HeldClipboard held(clip);
    CGXRangeList list;
    if (!grid->CopyRangeList(list, true))
        return false;
    const bool ok = CopyRangeList(grid, GXResolveClipboardRanges(grid, list));
    param->m_bCutPending = false;
    grid->Redraw(GX_INVALIDATE);
    return ok;
}

bool CGXGridCutPasteImp::CopyRangeList(CGXGridCore* grid, const CGXRangeList& list) {
    CGXGridParam* param = grid->GetParam();
    bool ok = false;
    if (grid->m_nClipboardFlags & GX_DNDTEXT)
        ok = grid->CopyTextToClipboard(list);
    if (grid->m_nClipboardFlags & GX_DNDSTYLES)
        ok = grid->CopyStylesToClipboard(list) || ok;
    if (param && (param->m_bDirectCopyPaste || param->m_bDirectCutPaste)) {
        param->m_CopiedRanges = list;
        const std::vector<std::uint8_t> marker = GXDirectCopyMarker(param->m_nClipboardSerial);
        WithClipboard(
            [&](fw::Clipboard& clip) { return clip.SetData(GXDirectCopyFormat(), marker); });
    }
    return ok;
}

bool CGXGridCutPasteImp::CopyTextToClipboard(CGXGridCore* grid, const CGXRangeList& list) {
    auto* text = grid->GetTextDataExchangeImp();
    if (!text)
        return false;
    std::string out;
    if (!text->WriteTextToFile(grid, out, list))
        return false;
    return WithClipboard([&](fw::Clipboard& clip) { return clip.SetText(out); });
}

bool CGXGridCutPasteImp::CopyStylesToClipboard(CGXGridCore* grid, const CGXRangeList& list) {
    auto* styles = grid->GetStyleDataExchangeImp();
    const unsigned format = GXGetLibraryState().m_nClipboardFormat;
    if (!styles || !format)
        return false;
    std::vector<std::uint8_t> out;
    if (!styles->WriteStylesToArchive(grid, out, list))
        return false;
    return WithClipboard([&](fw::Clipboard& clip) { return clip.SetData(format, out); });
}

bool CGXGridCutPasteImp::CanCut(CGXGridCore* grid) {
    if (fw::Clipboard::IsOpenedByAnyone() || grid->IsReadOnly())
        return false;
    return CanCopy(grid);
}

bool CGXGridCutPasteImp::Cut(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param || grid->IsReadOnly())
        return false;
    if (param->m_bDirectCutPaste) {
        if (!Copy(grid))
            return false;
        param->m_bCutPending = true;
        grid->Redraw(GX_INVALIDATE);
        return true;
    }
    fw::Clipboard clip;
    if (!clip.IsOpen() || !clip.Empty())
        return false;
    HeldClipboard held(clip);
    CGXRangeList list;
    if (!grid->CopyRangeList(list, true))
        return false;
    return CutRangeList(grid, GXResolveClipboardRanges(grid, list), grid->m_bClearStylesOnCut);
}

bool CGXGridCutPasteImp::CutRangeList(CGXGridCore* grid, const CGXRangeList& list,
                                      bool clearStyles) {
    const std::string name = fw::LoadString(20150);
    grid->BeginTrans(name.c_str());
    bool ok = CopyRangeList(grid, list);
    if (ok)
        ok = grid->ClearCells(list, clearStyles);
    grid->CommitTrans();
    return ok;
}

bool CGXGridCutPasteImp::CanPaste(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param || grid->IsLockReadOnly())
        return false;
    if (!param->m_CopiedRanges.IsEmpty() &&
        (param->m_bCutPending || (param->m_bDirectCopyPaste && !param->m_bCutPending)))
        return true;
    return HasClipboardData(grid);
}

bool CGXGridCutPasteImp::HasClipboardData(CGXGridCore*) {
    return fw::Clipboard::IsFormatAvailable(fw::CF_TEXT) ||
           fw::Clipboard::IsFormatAvailable(fw::CF_OEMTEXT) || IsStylesAvailable();
}

bool CGXGridCutPasteImp::Paste(CGXGridCore* grid) {
    CGXGridParam* param = grid->GetParam();
    if (!param || !CanPaste(grid))
        return false;
    CGXRangeList list;
    if (!grid->CopyRangeList(list, true))
        return false;
    if (list.GetCount() > 1) {
        fw::AppMessageBox(fw::LoadString(20153), fw::MB_OK | fw::MB_ICONEXCLAMATION);
        return false;
    }
    const CGXRangeList cells = GXResolveClipboardRanges(grid, list);
    if (cells.IsEmpty())
        return false;
    const CGXRange target = *cells.begin();
    if (!param->m_CopiedRanges.IsEmpty()) {
        if (param->m_bCutPending)
            return PasteDirect(grid, target);
        if (param->m_bDirectCopyPaste) {
            fw::Clipboard clip;
            if (clip.IsOpen()) {
                auto marker = clip.GetData(GXDirectCopyFormat());
                if (marker && *marker == GXDirectCopyMarker(param->m_nClipboardSerial))
                    return PasteDirect(grid, target);
            }
        }
    }
    // Through the grid, so that a grid that adjusts the clipboard paste is asked.
    return grid->PasteFromClipboard(target);
}

bool CGXGridCutPasteImp::PasteDirect(CGXGridCore* grid, const CGXRange& range) {
    CGXGridParam* param = grid->GetParam();
    const bool move = param->m_bCutPending;
    if (param->m_CopiedRanges.IsEmpty() || !(move || param->m_bDirectCopyPaste))
        return true;
    std::vector<ROWCOL> rf, rl, cf, cl;
    param->m_CopiedRanges.GetRowSpans(grid->GetRowCount(), rf, rl, false);
    param->m_CopiedRanges.GetColSpans(grid->GetColCount(), cf, cl, false);
    const bool many = rf.size() * cf.size() > 1;
    if (many)
        grid->BeginTrans(fw::LoadString(move ? 20179 : 20178).c_str());
    bool ok = true;
    ROWCOL destRow = range.top;
    std::vector<CGXRange> done;
    for (std::size_t i = 0; i < rf.size() && ok; ++i) {
        ROWCOL destCol = range.left;
        for (std::size_t j = 0; j < cf.size() && ok; ++j) {
            const CGXRange src(rf[i], cf[j], rl[i], cl[j]);
            ok = move ? grid->MoveCells(src, destRow, destCol, nullptr, GX_INVALIDATE, 0)
                      : grid->CopyCells(src, destRow, destCol, GX_INVALIDATE);
            done.emplace_back(destRow, destCol, destRow + (rl[i] - rf[i]),
                              destCol + (cl[j] - cf[j]));
            destCol += cl[j] - cf[j] + 1;
        }
        destRow += rl[i] - rf[i] + 1;
    }
    if (many) {
        if (ok)
            grid->CommitTrans();
        else
            grid->Rollback();
    }
    if (move && ok) {
        param->m_bCutPending = false;
        param->m_CopiedRanges.DeleteAll();
    }
    ROWCOL r, c;
    if (grid->GetCurrentCell(r, c))
        for (const CGXRange& d : done)
            if (d.ContainsCell(r, c)) {
                grid->SetCurrentCell(r, c, GX_INVALIDATE);
                break;
            }
    return ok;
}

bool CGXGridCutPasteImp::PasteFromClipboard(CGXGridCore* grid, const CGXRange& range) {
    const unsigned flags = grid->m_nClipboardFlags;
    CGXRange target = range;
    if (!(flags & GX_DNDROWHEADER))
        target.top = std::max(target.top, GXFirstDataRow(grid));
    if (!(flags & GX_DNDCOLHEADER))
        target.left = std::max(target.left, GXFirstDataCol(grid));
    target.bottom = std::max(target.bottom, target.top);
    target.right = std::max(target.right, target.left);
    std::optional<std::vector<std::uint8_t>> bytes;
    {
        fw::Clipboard clip;
        if (!clip.IsOpen())
            return false;
        const unsigned format = GXGetLibraryState().m_nClipboardFormat;
        if ((flags & GX_DNDSTYLES) && format && (bytes = clip.GetData(format))) {
            auto* styles = grid->GetStyleDataExchangeImp();
            return styles &&
                   styles->PasteStylesFromArchive(grid, bytes->data(), bytes->size(), target);
        }
        if (!(flags & GX_DNDTEXT))
            return false;
        bytes = clip.GetData(fw::CF_TEXT);
        if (!bytes)
            bytes = clip.GetData(fw::CF_OEMTEXT);
    }
    if (!bytes)
        return false;
    auto* text = grid->GetTextDataExchangeImp();
    return text && text->PasteTextFromBuffer(grid, reinterpret_cast<const char*>(bytes->data()),
                                             bytes->size(), target);
}

bool CGXGridCutPasteImp::ConfirmPasteSize(CGXGridCore*) {
    return fw::AppMessageBox(fw::LoadString(20175), fw::MB_OKCANCEL | fw::MB_ICONQUESTION) ==
           fw::IDOK;
}

bool GXCheckStylesClipboard(const std::uint8_t* data, std::size_t size, std::uint32_t& rows,
                            std::uint32_t& cols, std::size_t& cells) {
    std::vector<std::unique_ptr<CGXStyle>> styles;
    const bool ok = GXReadStylesClipboard({data, size}, nullptr, rows, cols, styles);
    cells = styles.size();
    return ok;
}
