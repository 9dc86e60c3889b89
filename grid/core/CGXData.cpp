#include "grid/core/CGXData.h"

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/GXLibraryState.h"

#include <algorithm>

const fw::RuntimeClass CGXData::kClass{"CGXData", 1, &fw::Serializable::kClass,
                                       fw::CreateInstance<CGXData>};

namespace {

// How many of the rows from..to lie within 1..count (row 0 is the header and always stays).
ROWCOL CountWithin(ROWCOL from, ROWCOL to, ROWCOL count) {
    const ROWCOL first = std::max<ROWCOL>(from, 1);
    const ROWCOL last = std::min(to, count);
    return last >= first ? last - first + 1 : 0;
}

// The index before which a block of `count` starting at `from` must stand so that its first
// element ends at `dest`.
std::size_t BeforeIndex(ROWCOL from, ROWCOL count, ROWCOL dest) {
    return dest > from ? static_cast<std::size_t>(dest) + count : dest;
}

}  // namespace

CGXData::CGXData()
    : m_pStyleValue(std::make_unique<CGXStyle>()), m_pStyle2(std::make_unique<CGXStyle>()) {}

CGXData::~CGXData() = default;

void CGXData::Serialize(fw::Archive& ar) {
    SupplyAllRows();
    if (CGXAbstractGridDocSerializeImp* imp = GXGetLibraryState().m_pDocSerializeImp)
        imp->SerializeData(*this, ar);
}

void CGXData::DeleteContents() {
    MarkRowsSupplied(0, GX_MAXROWCOL);
    m_apapCellStyle.RemoveAll();
    m_apRowBaseStyle.RemoveAll();
    m_apColBaseStyle.RemoveAll();
}

void CGXData::CopyFrom(const CGXData& other) {
    if (&other == this)
        return;
    other.SupplyAllRows();
    MarkRowsSupplied(0, GX_MAXROWCOL);
    m_apapCellStyle.CopyFrom(other.m_apapCellStyle);
    m_apRowBaseStyle.CopyFrom(other.m_apRowBaseStyle);
    m_apColBaseStyle.CopyFrom(other.m_apColBaseStyle);
    rowCount_ = other.rowCount_;
    colCount_ = other.colCount_;
}

void CGXData::InitParam(CGXGridParam*) {}

bool CGXData::SetRowCount(ROWCOL n) {
    if (n < rowCount_)
        return RemoveRows(n + 1, rowCount_);
    if (n > rowCount_)
        return InsertRows(rowCount_ + 1, n - rowCount_);
    return true;
}

bool CGXData::SetColCount(ROWCOL n) {
    if (n < colCount_)
        return RemoveCols(n + 1, colCount_);
    if (n > colCount_)
        return InsertCols(colCount_ + 1, n - colCount_);
    return true;
}

bool CGXData::InsertRows(ROWCOL row, ROWCOL count) {
    if (!GXIsRealRowCol(row) || count > GX_MAXROWCOL - 1 - rowCount_)
        return false;  // the count would pass the largest row number
    SupplyRowsFrom(row);
    m_apRowBaseStyle.InsertEmpty(row, count);
    m_apapCellStyle.InsertEmpty(row, count);
    rowCount_ += count;
    return true;
}

bool CGXData::InsertCols(ROWCOL col, ROWCOL count) {
    if (!GXIsRealRowCol(col) || count > GX_MAXROWCOL - 1 - colCount_)
        return false;
    // Columns added at the end renumber none: pending rows are written as they would have been.
    if (col <= colCount_)
        SupplyAllRows();
    m_apColBaseStyle.InsertEmpty(col, count);
    for (std::size_t r = 0; r < m_apapCellStyle.GetSize(); ++r)
        if (CGXStylePtrArray* row = m_apapCellStyle.GetAt(r))
            row->InsertEmpty(col, count);
    colCount_ += count;
    return true;
}

bool CGXData::RemoveRows(ROWCOL from, ROWCOL to) {
    if (from > rowCount_ || from > to)
        return true;
    const ROWCOL last = std::min(to, rowCount_);
    // Removed rows need no styles; the rows after them are renumbered.
    MarkRowsSupplied(from, last);
    SupplyRowsFrom(last + 1);
    m_apRowBaseStyle.RemoveRange(from, static_cast<std::size_t>(last) - from + 1);
    m_apapCellStyle.RemoveRange(from, static_cast<std::size_t>(last) - from + 1);
    // Only the rows that existed are gone: the count never drops below rows that hold data.
    rowCount_ -= CountWithin(from, last, rowCount_);
    return true;
}

bool CGXData::RemoveCols(ROWCOL from, ROWCOL to) {
    if (from > colCount_ || from > to)
        return true;
    const ROWCOL last = std::min(to, colCount_);
    SupplyAllRows();
    m_apColBaseStyle.RemoveRange(from, static_cast<std::size_t>(last) - from + 1);
    for (std::size_t r = 0; r < m_apapCellStyle.GetSize(); ++r)
        if (CGXStylePtrArray* row = m_apapCellStyle.GetAt(r))
            row->RemoveRange(from, static_cast<std::size_t>(last) - from + 1);
    colCount_ -= CountWithin(from, last, colCount_);
    return true;
}

bool CGXData::MoveRows(ROWCOL from, ROWCOL to, ROWCOL dest) {
    if (from > to || !GXIsRealRowCol(to) || !GXIsRealRowCol(dest))
        return false;
    const ROWCOL count = to - from + 1;
    SupplyRowsFrom(std::min(from, dest));
    m_apRowBaseStyle.MoveRange(from, count, BeforeIndex(from, count, dest));
    m_apapCellStyle.MoveRange(from, count, BeforeIndex(from, count, dest));
    return true;
}

bool CGXData::MoveCols(ROWCOL from, ROWCOL to, ROWCOL dest) {
    if (from > to || !GXIsRealRowCol(to) || !GXIsRealRowCol(dest))
        return false;
    const ROWCOL count = to - from + 1;
    SupplyAllRows();
    m_apColBaseStyle.MoveRange(from, count, BeforeIndex(from, count, dest));
    for (std::size_t r = 0; r < m_apapCellStyle.GetSize(); ++r)
        if (CGXStylePtrArray* row = m_apapCellStyle.GetAt(r))
            row->MoveRange(from, count, BeforeIndex(from, count, dest));
    return true;
}

bool CGXData::CopyCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol) {
    SupplyAllRows();
    CGXAbstractDataCopyMoveCellsImp* imp = GXGetLibraryState().m_pDataCopyMoveCellsImp;
    return imp && imp->CopyCells(*this, source, destRow, destCol);
}

bool CGXData::MoveCells(const CGXRange& source, ROWCOL destRow, ROWCOL destCol) {
    SupplyAllRows();
    CGXAbstractDataCopyMoveCellsImp* imp = GXGetLibraryState().m_pDataCopyMoveCellsImp;
    return imp && imp->MoveCells(*this, source, destRow, destCol);
}

std::unique_ptr<CGXStyle>* CGXData::SlotAt(ROWCOL row, ROWCOL col, int storeType) {
    if (storeType == gxRowColStyle) {
        CGXStylePtrArray& a = row > 0 ? m_apRowBaseStyle : m_apColBaseStyle;
        const std::size_t i = row > 0 ? row : col;
        if (a.GetSize() <= i)
            a.SetSize(i + 1);
        return &a.ElementAt(i);
    }
    if (m_apapCellStyle.GetSize() <= row)
        m_apapCellStyle.SetSize(static_cast<std::size_t>(row) + 1);
    std::unique_ptr<CGXStylePtrArray>& r = m_apapCellStyle.ElementAt(row);
    if (!r)
        r = std::make_unique<CGXStylePtrArray>();
    if (r->GetSize() <= col)
        r->SetSize(static_cast<std::size_t>(col) + 1);
    return &r->ElementAt(col);
}

bool CGXData::StoreStyleAt(ROWCOL row, ROWCOL col, const CGXStyle* style, GXModifyType type,
                           int storeType) {
    if (!GXIsRealRowCol(row) || !GXIsRealRowCol(col))
        return false;
    // What is stored lands on top of what the supplier writes.
    SupplyRow(row);
    if (!style) {
        if (storeType == gxRowColStyle) {
            CGXStylePtrArray& a = row > 0 ? m_apRowBaseStyle : m_apColBaseStyle;
            const std::size_t i = row > 0 ? row : col;
            if (i < a.GetSize())
                a.ElementAt(i).reset();
        } else if (CGXStylePtrArray* r = m_apapCellStyle.GetAt(row); r && col < r->GetSize()) {
            r->ElementAt(col).reset();
        }
        rowCount_ = std::max(rowCount_, row);
        colCount_ = std::max(colCount_, col);
        return true;
    }
    rowCount_ = std::max(rowCount_, row);
    colCount_ = std::max(colCount_, col);
    std::unique_ptr<CGXStyle>* slot = SlotAt(row, col, storeType);
    if (*slot)
        (*slot)->ChangeStyle(*style, type);
    else if (type == gxExclude)
        return true;
    else
        *slot = style->Clone();
    RecogniseNumber(**slot, *style, type, storeType);
    return true;
}

bool CGXData::StoreOwnedStyleAt(ROWCOL row, ROWCOL col, std::unique_ptr<CGXStyle> style,
                                GXModifyType type, int storeType) {
    if (!style || type == gxExclude || !GXIsRealRowCol(row) || !GXIsRealRowCol(col))
        return StoreStyleAt(row, col, style.get(), type, storeType);
    SupplyRow(row);
    rowCount_ = std::max(rowCount_, row);
    colCount_ = std::max(colCount_, col);
    std::unique_ptr<CGXStyle>* slot = SlotAt(row, col, storeType);
    if (*slot) {
        (*slot)->ChangeStyle(*style, type);
        RecogniseNumber(**slot, *style, type, storeType);
    } else {
        *slot = std::move(style);
        RecogniseNumber(**slot, **slot, type, storeType);
    }
    return true;
}

void CGXData::RecogniseNumber(CGXStyle& stored, const CGXStyle& given, GXModifyType type,
                              int storeType) {
    if (storeType == gxValueStore && type != gxExclude &&
        GXGetLibraryState().m_pNumberFormattingImp && given.GetIncludeValue() &&
        given.GetValueType() != GX_VT_NUMBER) {
        double d = 0;
        if (CGXDrawingAndFormatting::GetInstance().ParseNumber(stored.GetValue(), &d))
            stored.SetValueType(GX_VT_NUMBER);
    }
}

bool CGXData::GetStyleAt(ROWCOL row, ROWCOL col, CGXStyle& style, GXModifyType type,
                         int storeType) const {
    if (row > rowCount_ || col > colCount_)
        return false;
    if (row > 0)
        SupplyRow(row);
    const CGXStyle* stored = nullptr;
    if (storeType == gxRowColStyle)
        stored = row > 0 ? m_apRowBaseStyle.GetAt(row) : m_apColBaseStyle.GetAt(col);
    else if (const CGXStylePtrArray* r = m_apapCellStyle.GetAt(row))
        stored = r->GetAt(col);
    if (!stored)
        return false;
    if (type == gxCopy)
        style = *stored;
    else
        style.ChangeStyle(*stored, type);
    return true;
}

const CGXStyle* CGXData::StoredCellStyle(ROWCOL row, ROWCOL col) const {
    if (row > rowCount_ || col > colCount_)
        return nullptr;
    SupplyRow(row);
    const CGXStylePtrArray* r = m_apapCellStyle.GetAt(row);
    return r ? r->GetAt(col) : nullptr;
}

bool CGXData::SortMoveRows(const CGXRange& range, const std::vector<ROWCOL>& order) {
    SupplyAllRows();
    CGXAbstractGridSortMoveDataImp* imp = GXGetLibraryState().m_pSortMoveDataImp;
    return imp && imp->SortMoveRows(*this, range, order);
}

bool CGXData::SortMoveCols(const CGXRange& range, const std::vector<ROWCOL>& order) {
    SupplyAllRows();
    CGXAbstractGridSortMoveDataImp* imp = GXGetLibraryState().m_pSortMoveDataImp;
    return imp && imp->SortMoveCols(*this, range, order);
}

bool CGXData::GetUpdateFlag(ROWCOL, ROWCOL) {
    m_pStyleValue->SetIncludeValue(false);
    return false;
}

void CGXData::SetUpdateFlag(ROWCOL, ROWCOL, bool) {}

void CGXData::AddRecalcRange(const CGXRange&) {}

int CGXData::SetRecalcMode(int) {
    return 0;
}

bool CGXData::Recalc(bool) {
    return false;
}

bool CGXData::GetUpdateErrorText(std::string&) {
    return false;
}

void CGXData::ResetUpdateError() {}

bool CGXData::SetUndoSwitch(bool) {
    return false;
}

std::unique_ptr<CGXOwnedObject> CGXData::GetUndoInfo() {
    return nullptr;
}

bool CGXData::UndoEngineCells(CGXOwnedObject*, bool, bool) {
    return false;
}

bool CGXData::MoveCellsUndoable(const CGXRange&, ROWCOL, ROWCOL, std::unique_ptr<CGXOwnedObject>&,
                                bool) {
    return false;
}

bool CGXData::GetExpressionAt(ROWCOL, ROWCOL, std::string&) {
    return false;
}

void CGXData::SetRowSupplier(CGXRowSupplier* supplier) {
    supplier_ = supplier;
    if (!supplier)
        MarkRowsSupplied(0, GX_MAXROWCOL);
}

void CGXData::MarkRowsPending(ROWCOL from, ROWCOL to) {
    if (!supplier_ || from > to || !GXIsRealRowCol(to))
        return;
    if (pending_.size() <= to)
        pending_.resize(static_cast<std::size_t>(to) + 1, 0);
    for (ROWCOL row = std::max<ROWCOL>(from, 1); row <= to; ++row)
        if (!pending_[row]) {
            pending_[row] = 1;
            ++pendingCount_;
        }
}

void CGXData::MarkRowsSupplied(ROWCOL from, ROWCOL to) {
    if (pendingCount_ == 0 || from >= pending_.size() || from > to)
        return;
    const std::size_t end =
        std::min<std::size_t>(static_cast<std::size_t>(to) + 1, pending_.size());
    for (std::size_t row = from; row < end && pendingCount_; ++row)
        if (pending_[row]) {
            pending_[row] = 0;
            --pendingCount_;
        }
    if (pendingCount_ == 0)
        pending_.clear();
}

void CGXData::SupplyPendingRow(ROWCOL row) const {
    // The row is marked written before the supplier runs: its stores into the row must not ask
    // for it again, and a supplier that writes nothing is not asked twice.
    pending_[row] = 0;
    --pendingCount_;
    supplier_->SupplyRows(row);
    if (pendingCount_ == 0)
        pending_.clear();
}

void CGXData::SupplyRowsFrom(ROWCOL from) const {
    // The supplier may write several rows at once: ask again from the start each time.
    for (std::size_t row = from; pendingCount_ && row < pending_.size(); ++row)
        if (pending_[row])
            SupplyPendingRow(static_cast<ROWCOL>(row));
}

CGXGridCore* CGXData::GetBoundGrid() const {
    return GXGetLibraryState().FindGridOfObject(this);
}
