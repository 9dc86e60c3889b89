// Cell styles in the grid core: what a cell shows is its own style over its row's, its column's
// and the table's, with the base styles, header texts and the standard style below them.
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "framework/window/Window.h"
#include "grid/core/CGXAbstractFeatures.h"
#include "grid/core/CGXColumnStyleCache.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXUserAttribute.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>
#include <cstdlib>
#include <new>

bool CGXGridCore::GetStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle& style, GXModifyType type,
                                 int styleType) {
    CGXData* data = GetData();
    return data && data->GetStyleAt(row, col, style, type, styleType);
}

std::string CGXGridCore::GetColumnLetters(ROWCOL col) {
    std::string letters;
    while (col != 0 && letters.size() < 9) {
        letters.push_back(static_cast<char>('A' + (col - 1) % 26));
        col = (col - 1) / 26;
    }
    std::reverse(letters.begin(), letters.end());
    return letters;
}

namespace {

// While a column style cache is open: the column's and the table's styles with the standard
// style, merged once per column, when they can stand for those steps of composing `style` (a
// plain style naming no base style, over column styles naming none either).
const CGXStyle* MergedColumnStyles(CGXGridCore& grid, ROWCOL col, const CGXStyle& style,
                                   const CGXStyle* standard) {
    CGXColumnStyleCache* cache = CGXColumnStyleCache::Of(&grid);
    if (!cache || typeid(style) != typeid(CGXStyle) || style.GetIncludeBaseStyle())
        return nullptr;
    CGXColumnStyleCache::Entry& entry = cache->At(col);
    if (!entry.known) {
        entry.known = true;
        std::unique_ptr<CGXStyle> merged = grid.CreateStyle();
        grid.GetStyleRowCol(0, col, *merged, gxApplyNew, gxRowColStyle);
        grid.GetStyleRowCol(0, 0, *merged, gxApplyNew, gxRowColStyle);
        const CGXStyle& made = *merged;
        if (typeid(made) != typeid(CGXStyle) || made.GetIncludeBaseStyle())
            return nullptr;
        if (standard)
            merged->ChangeStyle(*standard, gxApplyNew);
        entry.style = std::move(merged);
    }
    return entry.style.get();
}

}  // namespace

void CGXGridCore::ComposeStyleRowCol(ROWCOL row, ROWCOL col, CGXStyle* style, bool applyStandard) {
    GetStyleRowCol(row, col, *style, gxCopy, 0);
    if (m_bValueOnly && style->GetIncludeValue())
        return;
    const ROWCOL headerRows = GetHeaderRows(), headerCols = GetHeaderCols();
    // Row 0's "row style" would be the table's; the table's style reaches only the cells
    // beyond the headers (step below), so a header row never shows it.
    if (col > headerCols && row != 0)
        GetStyleRowCol(row, 0, *style, gxApplyNew, gxRowColStyle);
    if (const CGXStyle* merged = row > headerRows && col > headerCols && applyStandard
                                     ? MergedColumnStyles(*this, col, *style, m_pStyleStandard)
                                     : nullptr) {
        // A body cell: no header style or text applies, and with no base style named the
        // remaining steps only fill in what is missing, so the column's steps merged once
        // stand for them.
        style->ChangeStyle(*merged, gxApplyNew);
    } else {
        if (row > headerRows) {
            GetStyleRowCol(0, col, *style, gxApplyNew, gxRowColStyle);
            if (col > headerCols)
                GetStyleRowCol(0, 0, *style, gxApplyNew, gxRowColStyle);
        }
        if (CGXStylesMap* map = GetStylesMap())
            style->LoadBaseStyle(*map);
        if (row <= headerRows && m_pStyleColHeader)
            style->ChangeStyle(*m_pStyleColHeader, gxApplyNew);
        if (col <= headerCols && m_pStyleRowHeader)
            style->ChangeStyle(*m_pStyleRowHeader, gxApplyNew);
        if (!style->GetIncludeValue() && (row == 0) != (col == 0) && m_pParam) {
            if (row == 0 && m_pParam->m_bNumberedColHeaders)
                style->SetValue(GetColumnLetters(col));
            else if (col == 0 && m_pParam->m_bNumberedRowHeaders)
                style->SetValue(static_cast<std::uint32_t>(row));
        }
        if (applyStandard && m_pStyleStandard)
            style->ChangeStyle(*m_pStyleStandard, gxApplyNew);
    }
    if (m_pParam && m_pParam->m_bMarkCells && m_pParam->m_MarkedCells.ContainsCell(row, col))
        style->SetInterior(
            CGXBrush().SetStyle(fw::BS_PATTERN).SetPattern(17).SetColor(fw::Rgb(0xC0, 0xC0, 0xC0)));
    if (IsCurrentCell(row, col) && style->GetIncludeControl()) {
        CGXControl* control = GetRegisteredControl(style->GetControl());
        if (control && control->IsActive())
            return;
    }
    ApplyNegativeColor(*style);
}

// The negative-number colour is kept as the decimal text of a colour word (GX_IDS_UA_NEGATIVE-
// COLOR); a text that is not a number leaves the text colour alone.
void CGXGridCore::ApplyNegativeColor(CGXStyle& style) {
    if (!style.GetIncludeValue() || !style.GetIncludeUserAttribute(GX_IDS_UA_NEGATIVECOLOR))
        return;
    const std::string& value = style.GetValue();
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || !(number < 0))
        return;
    const std::string colorText = style.GetUserAttribute(GX_IDS_UA_NEGATIVECOLOR).GetValue();
    char* colorEnd = nullptr;
    const unsigned long color = std::strtoul(colorText.c_str(), &colorEnd, 10);
    if (colorEnd == colorText.c_str() || *colorEnd != '\0' || color > 0xFFFFFFFFul)
        return;
    style.SetTextColor(static_cast<COLORREF>(color));
}

bool CGXGridCore::StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style, GXModifyType type,
                                   int styleType) {
    if (IsLockReadOnly() || !GetData())
        return false;
    return AfterStore(row, col, styleType,
                      GetData()->StoreStyleAt(row, col, style, type, styleType));
}

bool CGXGridCore::StoreOwnedStyleRowCol(ROWCOL row, ROWCOL col, std::unique_ptr<CGXStyle> style,
                                        GXModifyType type, int styleType) {
    if (IsLockReadOnly() || !GetData())
        return false;
    return AfterStore(row, col, styleType,
                      GetData()->StoreOwnedStyleAt(row, col, std::move(style), type, styleType));
}

bool CGXGridCore::AfterStore(ROWCOL row, ROWCOL col, int styleType, bool stored) {
    if (styleType == gxRowColStyle)
        if (CGXColumnStyleCache* cache = CGXColumnStyleCache::Of(this))
            cache->Clear();
    // Outside a range operation the one cell tells the cell store (and drops its cached
    // composition; a row, column or table style drops every one).
    if (stored && !m_bInStyleChange)
        NotifyCellStoreRange(CGXRange(row, col));
    if (IsCurrentCell(row, col))
        m_pCurrentCellStyle.reset();
    return stored;
}

bool CGXGridCore::IsTooLargeForUndo(const CGXRange& range, ROWCOL rowCount, ROWCOL colCount) {
    CGXRange r = range;
    r.ResolveToCells(0, 0, rowCount, colCount);
    if (r.bottom < r.top || r.right < r.left)
        return false;
    const std::uint64_t rows = static_cast<std::uint64_t>(r.bottom) - r.top + 1;
    const std::uint64_t cols = static_cast<std::uint64_t>(r.right) - r.left + 1;
    return rows > 0x7FFF || cols > 0x7FFF || rows * cols > 0x7FFFFFFEull;
}

std::vector<std::unique_ptr<CGXStyle>> CGXGridCore::CopyStyleRange(const CGXRange& range,
                                                                   int styleType,
                                                                   CGXLongOperation* op,
                                                                   bool* aborted) {
    std::vector<std::unique_ptr<CGXStyle>> out;
    if (aborted)
        *aborted = false;
    CGXRange r = range;
    r.ResolveToCells(0, 0, GetRowCount(), GetColCount());
    for (ROWCOL row = r.top; row <= r.bottom && row != GX_INVALID; ++row) {
        for (ROWCOL col = r.left; col <= r.right && col != GX_INVALID; ++col) {
            std::unique_ptr<CGXStyle> s = CreateStyle();
            if (GetStyleRowCol(row, col, *s, gxCopy, styleType)) {
                out.push_back(std::move(s));
            } else {
                RecycleStyle(std::move(s));
                out.push_back(nullptr);
            }
        }
        bool abort = false;
        if (op && op->CheckProgressCanAbort(abort) && abort) {
            if (aborted)
                *aborted = true;
            out.clear();
            return out;
        }
    }
    return out;
}

void CGXGridCore::UpdateStyleRange(const CGXRange& range, const CGXStyle* style, GXModifyType type,
                                   int styleType, unsigned flags, bool createHint) {
    CGXGridHint hint(17);
    hint.range = range;
    hint.style = style;
    hint.modifyType = static_cast<int>(type);
    hint.value = styleType;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    if (UpdatesLocked() || !GridWndIsVisible())
        return;
    CGXRange r = range;
    r.ResolveToCells(0, 0, GetRowCount(), GetColCount());
    RedrawRowCol(r.top, r.left, r.bottom, r.right, flags, false);
}

namespace {

// Visits the places a range operation stores into, in the order the saved styles keep: one per
// row (column) for whole rows (columns), the table's one place, or every cell row by row.
template <typename Visit, typename RowDone>
void ForEachStorePlace(const CGXRange& range, Visit visit, RowDone rowDone) {
    if (range.IsRows()) {
        for (ROWCOL row = range.top; row <= range.bottom && row != GX_INVALID; ++row)
            visit(row, ROWCOL(0));
    } else if (range.IsCols()) {
        for (ROWCOL col = range.left; col <= range.right && col != GX_INVALID; ++col)
            visit(ROWCOL(0), col);
    } else if (range.IsTable()) {
        visit(ROWCOL(0), ROWCOL(0));
    } else {
        for (ROWCOL row = range.top; row <= range.bottom && row != GX_INVALID; ++row) {
            for (ROWCOL col = range.left; col <= range.right && col != GX_INVALID; ++col)
                visit(row, col);
            if (!rowDone())
                return;
        }
    }
}

bool ConfirmTooLargeForUndo() {
    std::string text = fw::LoadString(20082);
    if (text.empty())
        text = "Operation is too large for the undo buffer. Do you want to continue?";
    return fw::AppMessageBox(text, fw::MB_OKCANCEL | fw::MB_ICONQUESTION) == fw::IDOK;
}

}  // namespace

std::unique_ptr<CGXCommand> CGXAbstractCommandFactory::CreateSetStyleRangeCmd(
    const CGXRange&, int, std::vector<std::unique_ptr<CGXStyle>>) {
    return nullptr;
}

// Saves the stored styles of every place the range operation will store into (null where none);
// FALSE when the user aborts or declines to go on without undo, `record` off when going on
// without it.
bool CGXGridCore::SaveStylesForUndo(const CGXRange& range, int styleType, CGXLongOperation& op,
                                    bool& record, std::vector<std::unique_ptr<CGXStyle>>& saved) {
    if (!record)
        return true;
    if (IsTooLargeForUndo(range, GetRowCount(), GetColCount())) {
        record = false;
        return ConfirmTooLargeForUndo();
    }
    bool aborted = false;
    try {
        ForEachStorePlace(
            range,
            [&](ROWCOL row, ROWCOL col) {
                std::unique_ptr<CGXStyle> s = CreateStyle();
                if (GetStyleRowCol(row, col, *s, gxCopy, styleType)) {
                    saved.push_back(std::move(s));
                } else {
                    RecycleStyle(std::move(s));
                    saved.push_back(nullptr);
                }
            },
            [&] {
                bool abort = false;
                aborted = op.CheckProgressCanAbort(abort) && abort;
                return !aborted;
            });
    } catch (const std::bad_alloc&) {
        saved.clear();
        record = false;
        return ConfirmTooLargeForUndo();
    }
    return !aborted;
}

bool CGXGridCore::SetStyleRange(const CGXRange& range, const CGXStyle* style, GXModifyType type,
                                int styleType, const std::vector<std::unique_ptr<CGXStyle>>* styles,
                                unsigned flags, int ctCmd) {
    if (!range.IsCells() && styleType == 0)
        styleType = gxRowColStyle;
    CGXLongOperation op;
    op.SetStatusText(GXLibraryText(20141));
    bool record = IsRecordingUndo(ctCmd) && !IsLockReadOnly();
    std::vector<std::unique_ptr<CGXStyle>> saved;
    if (!SaveStylesForUndo(range, styleType, op, record, saved))
        return false;
    op.SetStatusText(GXLibraryText(ctCmd == 0 ? 20142 : 20143));
    FreeObjectCache();
    if (!m_bInStyleChange)
        NotifyCellStoreRange(range);
    const bool outer = !m_bInStyleChange;
    m_bInStyleChange = true;
    bool any = false;
    std::size_t index = 0;
    ForEachStorePlace(
        range,
        [&](ROWCOL row, ROWCOL col) {
            const CGXStyle* s = style;
            GXModifyType t = type;
            if (styles) {
                s = index < styles->size() ? (*styles)[index].get() : nullptr;
                t = gxCopy;
            }
            ++index;
            if (StoreStyleRowCol(row, col, s, t, styleType))
                any = true;
        },
        [&] {
            op.CheckProgress();
            return true;
        });
    if (outer)
        m_bInStyleChange = false;
    if (!any)
        return false;
    UpdateStyleRange(range, style, type, styleType, flags, true);
    if (record)
        if (auto cmd =
                GetCommandFactory()->CreateSetStyleRangeCmd(range, styleType, std::move(saved)))
            AddCommand(std::move(cmd), ctCmd);
    return true;
}

bool CGXGridCore::SetValueRange(const CGXRange& range, const std::string& value, GXModifyType type,
                                unsigned flags, int ctCmd) {
    if (!m_pStyleValue)
        m_pStyleValue = CreateStyle();
    m_pStyleValue->Free();
    m_pStyleValue->SetValue(value);
    // Cells take the text as typed input (a computing store reads formulas from it).
    return SetStyleRange(range, m_pStyleValue.get(), type, range.IsCells() ? gxValueStore : 0,
                         nullptr, flags, ctCmd);
}

bool CGXGridCore::SetControlTextRowCol(ROWCOL row, ROWCOL col, const std::string& text,
                                       unsigned flags, const CGXStyle* style) {
    std::unique_ptr<CGXStyle> made;
    if (!style) {
        made = CreateStyle();
        ComposeStyleRowCol(row, col, made.get());
        style = made.get();
    }
    // The cell's control turns the text into the value it stores (and applies its limits).
    CGXControl* control = GetRegisteredControl(style->GetControl());
    const bool result = control && control->SetControlText(row, col, text, flags, style);
    if (made)
        RecycleStyle(std::move(made));
    return result;
}

std::string CGXGridCore::GetValueRowCol(ROWCOL row, ROWCOL col) {
    return LookupStyleRowCol(row, col).GetValue();
}

std::string CGXGridCore::GetStoredValueRowCol(ROWCOL row, ROWCOL col) {
    if (!m_pStyleGetValue)
        m_pStyleGetValue = CreateStyle();
    m_pStyleGetValue->Free();
    GetStyleRowCol(row, col, *m_pStyleGetValue, gxCopy, 0);
    return m_pStyleGetValue->GetValue();
}

void CGXGridCore::ReCacheBaseStyles() {
    m_pStyleStandard = m_pStyleRowHeader = m_pStyleColHeader = nullptr;
    CGXStylesMap* map = GetStylesMap();
    if (!map)
        return;
    const CGXStyle* s = nullptr;
    if (map->LookupStyle(map->m_wStyleStandard, s))
        m_pStyleStandard = s;
    if (map->LookupStyle(map->m_wStyleRowHeader, s))
        m_pStyleRowHeader = s;
    if (map->LookupStyle(map->m_wStyleColHeader, s))
        m_pStyleColHeader = s;
}

const CGXStyle& CGXGridCore::GetStandardStyle() {
    if (!m_pStyleStandard)
        ReCacheBaseStyles();
    if (!m_pStyleStandard)
        throw CGXNotSupportedException("the grid has no styles map");
    return *m_pStyleStandard;
}

bool CGXGridCore::SetStylesMap(const CGXStylesMap& map, unsigned flags, int) {
    if (!m_pParam || IsLockReadOnly())
        return false;
    m_pParam->SetStylesMap(new CGXStylesMap(map), true);
    m_pAppData->RegisterGridObject(m_pParam->GetStylesMap(), this);
    SetModifiedFlag(true);
    UpdateStylesMap(flags, true);
    return true;
}

void CGXGridCore::UpdateStylesMap(unsigned flags, bool createHint) {
    CGXGridHint hint(33);
    hint.flags = flags;
    SendGridHint(hint, createHint);
    ReCacheBaseStyles();
    FreeObjectCache();
    m_bFontMeasured = false;
    Redraw(flags, false);
}

bool CGXGridCore::SetProperties(const CGXProperties& properties, unsigned flags, int) {
    CGXAbstractGridParamCopyOperatorImp* copier = GXGetLibraryState().m_pParamCopyOperatorImp;
    if (!m_pParam || !copier || IsLockReadOnly())
        return false;
    auto copy = std::make_unique<CGXProperties>();
    copier->CopyProperties(*copy, properties);
    m_pParam->SetProperties(copy.release(), true);
    m_pAppData->RegisterGridObject(m_pParam->GetProperties(), this);
    SetModifiedFlag(true);
    UpdateProperties(flags, true);
    return true;
}

// A properties change redraws as a styles-map change does, and tells the other views so.
void CGXGridCore::UpdateProperties(unsigned flags, bool createHint) {
    UpdateStylesMap(flags, createHint);
}

bool CGXGridCore::SetValueRowCol(ROWCOL row, ROWCOL col, const std::string& value, unsigned flags) {
    return SetValueRange(CGXRange(row, col), value, gxOverride, flags);
}

bool CGXGridCore::ChangeBaseStyle(std::uint16_t id, const CGXStyle& style, GXModifyType type,
                                  unsigned flags, int) {
    CGXStylesMap* map = GetStylesMap();
    if (!map || IsLockReadOnly())
        return false;
    CGXStyle* base = map->LookupStyle(id);
    if (!base)
        return false;
    base->ChangeStyle(style, type);
    SetModifiedFlag(true);
    UpdateBaseStyle(id, flags, true);
    return true;
}

void CGXGridCore::UpdateBaseStyle(std::uint16_t id, unsigned flags, bool createHint) {
    CGXGridHint hint(35);
    hint.countOrResult = id;
    hint.flags = flags;
    SendGridHint(hint, createHint);
    ReCacheBaseStyles();
    FreeObjectCache();
    UpdateFontMetrics();
    Redraw(flags, false);
}

bool CGXGridCore::ChangeStandardStyle(const CGXStyle& style, GXModifyType type, unsigned flags,
                                      int ctCmd) {
    CGXStylesMap* map = GetStylesMap();
    if (!map)
        return false;
    return ChangeBaseStyle(map->m_wStyleStandard, style, type, flags, ctCmd);
}
