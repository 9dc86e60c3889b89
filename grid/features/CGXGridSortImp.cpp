#include "grid/features/CGXGridSortImp.h"

#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/features/CGXCommandFactory.h"
#include "grid/features/CGXMoveDataCmds.h"
#include "grid/features/GXSortKeyText.h"

#include <algorithm>
#include <new>

namespace {

// Outcome of a key comparison: <0, 0 or >0, reversed for a descending key.
int CompareKey(const CGXSortItems& items, const CGXSortInfo& key, std::size_t k, ROWCOL a,
               ROWCOL b) {
    const std::size_t ia = a * items.keyCount + k, ib = b * items.keyCount + k;
    int result = 0;
    if (key.sortType == gxSortAlphanumeric) {
        result = GXCompareSortText(items.texts[ia], items.texts[ib],
                                   key.extra[gxSortCaseSensitive] != 0);
    } else {
        const double va = items.values[ia], vb = items.values[ib];
        result = va < vb ? -1 : (vb < va ? 1 : 0);
    }
    return key.sortOrder ? -result : result;
}

// The detection flags of an automatic key after one more text.
void DetectKeyType(CGXSortInfo& key, const std::string& text) {
    if (key.sortType != gxSortAutodetect || text.empty())
        return;
    double unused = 0;
    if (key.extra[gxSortAllDates] && !GXParseSortDateTime(text, unused))
        key.extra[gxSortAllDates] = 0;
    if (key.extra[gxSortAllNumeric] && !GXIsSortNumberText(text))
        key.extra[gxSortAllNumeric] = 0;
}

std::vector<ROWCOL> Inverse(const std::vector<ROWCOL>& order) {
    std::vector<ROWCOL> inverse(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) inverse[order[i]] = static_cast<ROWCOL>(i);
    return inverse;
}

}  // namespace

void GXAddLayoutStrings() {
    static constexpr fw::StringEntry kTexts[] = {
        {20166, "Cover Cells"},       {20181, "Sort Rows"}, {20182, "Sort Columns"},
        {20183, "Not enough memory"}, {20184, "Canceled"},
    };
    for (const fw::StringEntry& e : kTexts)
        if (!fw::FindString(e.id))
            fw::SetString(e.id, e.text);
}

void CGXGridSortImp::SortItems(CGXSortItems& items) {
    const CGXSortInfoArray& keys = *items.keys;
    if (items.keyCount == 1 && keys[0].sortType != gxSortAlphanumeric) {
        SortByOneValue(items, keys[0].sortOrder != 0);
        return;
    }
    // The offset decides last, so the order is total and equal keys keep their order.
    std::sort(items.offsets.begin(), items.offsets.end(), [&](ROWCOL a, ROWCOL b) {
        for (std::size_t k = 0; k < items.keyCount; ++k)
            if (const int c = CompareKey(items, keys[k], k, a, b))
                return c < 0;
        return a < b;
    });
}

void CGXGridSortImp::SortByOneValue(CGXSortItems& items, bool descending) {
    // The same order as the general comparison, on contiguous (value, offset) pairs.
    struct Entry {
        double value;
        ROWCOL offset;
    };
    std::vector<Entry> entries(items.offsets.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i] = {items.values[items.offsets[i]], items.offsets[i]};
    auto before = [descending](const Entry& a, const Entry& b) {
        if (a.value < b.value)
            return !descending;
        if (b.value < a.value)
            return descending;
        return a.offset < b.offset;
    };
    std::sort(entries.begin(), entries.end(), before);
    for (std::size_t i = 0; i < entries.size(); ++i) items.offsets[i] = entries[i].offset;
}

bool CGXGridSortImp::SortRows(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys,
                              unsigned flags) {
    return Sort(grid, range, keys, flags, false);
}

bool CGXGridSortImp::SortCols(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys,
                              unsigned flags) {
    return Sort(grid, range, keys, flags, true);
}

bool CGXGridSortImp::CollectKeys(CGXGridCore* grid, CGXSortItems& items, ROWCOL first, bool cols) {
    CGXSortInfoArray& keys = const_cast<CGXSortInfoArray&>(*items.keys);
    CGXLongOperation op;
    op.SetStatusText(fw::LoadString(cols ? 20182 : 20181));
    const std::size_t n = items.offsets.size(), k = items.keyCount;
    for (std::size_t i = 0; i < n; ++i) {
        std::string* texts = &items.texts[i * k];
        if (cols)
            GetColSortKeys(grid, first + static_cast<ROWCOL>(i), keys, texts);
        else
            GetRowSortKeys(grid, first + static_cast<ROWCOL>(i), keys, texts);
        for (std::size_t j = 0; j < k; ++j) DetectKeyType(keys[j], texts[j]);
        bool abort = false;
        if ((i & 0xFF) == 0 && op.CheckProgressCanAbort(abort) && abort) {
            op.SetStatusText(fw::LoadString(20184));
            return false;
        }
    }
    return true;
}

bool CGXGridSortImp::Sort(CGXGridCore* grid, const CGXRange& range, CGXSortInfoArray& keys,
                          unsigned flags, bool cols) {
    const ROWCOL count = cols ? grid->GetColCount() : grid->GetRowCount();
    if (count < 2)
        return false;
    ROWCOL first = 0, last = 0;
    if (range.IsTable()) {
        first = (cols ? grid->GetHeaderCols() : grid->GetHeaderRows()) + 1;
        last = count;
    } else {
        CGXRange r = range;
        r.ResolveToCells(0, 0, grid->GetRowCount(), grid->GetColCount());
        first = cols ? r.left : r.top;
        last = std::min(cols ? r.right : r.bottom, count);
    }
    if (first > last || last - first >= 0x7FFFFFFEu)
        return false;
    grid->MoveCurrentCell(cols ? GX_LEFT : GX_TOP, 1);
    grid->TransferCurrentCell(true);
    const std::size_t n = last - first + 1;
    try {
        CGXSortItems items;
        items.keys = &keys;
        items.keyCount = keys.GetSize();
        items.offsets.resize(n);
        for (std::size_t i = 0; i < n; ++i) items.offsets[i] = static_cast<ROWCOL>(i);
        items.texts.resize(n * items.keyCount);
        for (std::size_t j = 0; j < keys.GetSize(); ++j)
            keys[j].extra[gxSortAllNumeric] = keys[j].extra[gxSortAllDates] = 1;
        if (!CollectKeys(grid, items, first, cols))
            return false;
        for (std::size_t j = 0; j < keys.GetSize(); ++j)
            if (keys[j].sortType == gxSortAutodetect)
                keys[j].sortType = keys[j].extra[gxSortAllDates]     ? gxSortDateTime
                                   : keys[j].extra[gxSortAllNumeric] ? gxSortNumeric
                                                                     : gxSortAlphanumeric;
        items.values.assign(items.texts.size(), 0.0);
        for (std::size_t i = 0; i < items.texts.size(); ++i) {
            const std::uint32_t type = keys[i % items.keyCount].sortType;
            if (type == gxSortAlphanumeric)
                continue;
            items.values[i] = type == gxSortDateTime ? GXSortDateValue(items.texts[i])
                                                     : GXSortNumberValue(items.texts[i]);
            std::string().swap(items.texts[i]);
        }
        SortItems(items);
        if (CGXGridParam* param = grid->GetParam()) {
            const ROWCOL firstKey = keys.GetSize() ? keys[0].nRC : GX_INVALID;
            param->m_nLastSortRow = cols ? firstKey : GX_INVALID;
            param->m_nLastSortCol = cols ? GX_INVALID : firstKey;
            param->m_bLastSortAscending = keys.GetSize() && !keys[0].sortOrder;
        }
        const CGXRange sorted =
            cols ? CGXRange().SetCols(first, last) : CGXRange().SetRows(first, last);
        std::vector<ROWCOL> order = std::move(items.offsets);
        items = CGXSortItems();
        return MoveData(grid, sorted, order, flags, 0, cols);
    } catch (const std::bad_alloc&) {
        fw::AppMessageBox(fw::LoadString(20183), fw::MB_OK | fw::MB_ICONEXCLAMATION);
        return false;
    }
}

void CGXGridSortImp::GetRowSortKeys(CGXGridCore* grid, ROWCOL row, const CGXSortInfoArray& keys,
                                    std::string* texts) {
    std::unique_ptr<CGXStyle> style = grid->CreateStyle();
    for (std::size_t k = 0; k < keys.GetSize(); ++k) {
        style->Free();
        grid->ComposeStyleRowCol(row, keys[k].nRC, style.get());
        texts[k] = style->GetValue();
    }
    grid->RecycleStyle(std::move(style));
}

void CGXGridSortImp::GetColSortKeys(CGXGridCore* grid, ROWCOL col, const CGXSortInfoArray& keys,
                                    std::string* texts) {
    std::unique_ptr<CGXStyle> style = grid->CreateStyle();
    for (std::size_t k = 0; k < keys.GetSize(); ++k) {
        style->Free();
        grid->ComposeStyleRowCol(keys[k].nRC, col, style.get());
        texts[k] = style->GetValue();
    }
    grid->RecycleStyle(std::move(style));
}

bool CGXGridSortImp::MoveDataRows(CGXGridCore* grid, const CGXRange& range,
                                  const std::vector<ROWCOL>& order, unsigned flags, int ctCmd) {
    return MoveData(grid, range, order, flags, ctCmd, false);
}

bool CGXGridSortImp::MoveDataCols(CGXGridCore* grid, const CGXRange& range,
                                  const std::vector<ROWCOL>& order, unsigned flags, int ctCmd) {
    return MoveData(grid, range, order, flags, ctCmd, true);
}

bool CGXGridSortImp::MoveData(CGXGridCore* grid, const CGXRange& range,
                              const std::vector<ROWCOL>& order, unsigned flags, int ctCmd,
                              bool cols) {
    CGXData* data = grid->GetData();
    // A read-only grid keeps its order, as every other store refuses then.
    if (!data || grid->IsLockReadOnly())
        return false;
    if (!(cols ? data->SortMoveCols(range, order) : data->SortMoveRows(range, order)))
        return false;
    grid->SetSelection(nullptr);
    grid->FreeObjectCache();
    grid->RefreshCurrentCell(false);
    if (cols)
        UpdateSortedCols(grid, range, flags);
    else
        UpdateSortedRows(grid, range, flags);
    grid->SetModifiedFlag(true);
    if (GXIsRecordingUndo(grid, ctCmd)) {
        if (cols)
            grid->AddCommand(std::make_unique<CGXMoveDataColsCmd>(Inverse(order), range), ctCmd);
        else
            grid->AddCommand(std::make_unique<CGXMoveDataRowsCmd>(Inverse(order), range), ctCmd);
    }
    return true;
}

void CGXGridSortImp::UpdateSortedRows(CGXGridCore* grid, const CGXRange&, unsigned flags) {
    if (!grid->GetParam() || !grid->GetParam()->m_bLockUpdate)
        grid->Redraw(flags);
}

void CGXGridSortImp::UpdateSortedCols(CGXGridCore* grid, const CGXRange& range, unsigned flags) {
    UpdateSortedRows(grid, range, flags);
}

bool CGXGridSortImp::SortByHeader(CGXGridCore* grid, ROWCOL row, ROWCOL col) {
    CGXGridParam* param = grid->GetParam();
    if (!param)
        return false;
    const bool rows = row == 0 && col != 0 && param->m_bSortRowsByColHeader;
    const bool cols = col == 0 && row != 0 && param->m_bSortColsByRowHeader;
    if (!rows && !cols)
        return false;
    CGXSortInfoArray keys;
    keys.SetSize(1);
    CGXSortInfo& key = keys[0];
    key.nRC = rows ? col : row;
    key.sortType = gxSortAutodetect;
    const ROWCOL last = rows ? param->m_nLastSortCol : param->m_nLastSortRow;
    key.sortOrder = key.nRC == last && param->m_bLastSortAscending;
    const bool sorted = rows ? Sort(grid, CGXRange().SetTable(), keys, GX_UPDATENOW, false)
                             : Sort(grid, CGXRange().SetTable(), keys, GX_UPDATENOW, true);
    grid->MoveCurrentCell(rows ? GX_TOP : GX_LEFT, 1);
    return sorted;
}
