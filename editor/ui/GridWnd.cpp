#include "editor/ui/GridWnd.h"

#include <algorithm>
#include <charconv>

#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

namespace tessaly {
namespace {

// A cell's text as an EDMX number; 0 for anything else.
unsigned Number(const std::string& text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > 0xFFFF)
        return 0;
    return value;
}

}  // namespace

CGridWnd::CGridWnd() = default;
CGridWnd::~CGridWnd() = default;

void CGridWnd::Initialize() {
    CGXGridWnd::Initialize();
    InstallCommandFactory();
    InstallUserSelectRangeImp();
    InstallCoveredCellsImp();
    InstallHideCellsImp();
    InstallResizeToFitImp();
    InstallMergeCellsImp();
}

unsigned CGridWnd::CellNumber(ROWCOL row, ROWCOL col) {
    return Number(GetValueRowCol(row, col));
}

unsigned CGridWnd::VPortNumber(ROWCOL row) {
    return CellNumber(row, kVPortId);
}

xmldom::Node CGridWnd::Leaf(ROWCOL row, ROWCOL col) {
    CGXStyle style;
    if (!GetStyleRowCol(row, col, style) || !style.GetIncludeItemDataPtr() ||
        !style.GetItemDataPtr())
        return {};
    return *static_cast<xmldom::Node*>(style.GetItemDataPtr());
}

xmldom::Node* CGridWnd::Keep(xmldom::Node leaf) {
    leaves_.push_back(leaf);
    return &leaves_.back();
}

void CGridWnd::SetCell(ROWCOL row, ROWCOL col, const std::string& value, bool enabled,
                       COLORREF color) {
    CGXStyle style;
    style.SetValue(value).SetEnabled(enabled).SetInterior(color);
    SetStyleRange(CGXRange(row, col), &style);
}

void CGridWnd::SetNumber(ROWCOL row, ROWCOL col, unsigned value) {
    SetValueRange(CGXRange(row, col), std::to_string(value));
}

void CGridWnd::SetCellState(ROWCOL row, ROWCOL col, bool enabled, COLORREF color) {
    CGXStyle style;
    style.SetEnabled(enabled).SetInterior(color);
    SetStyleRange(CGXRange(row, col), &style);
}

void CGridWnd::UpdateDependentCells(ROWCOL row, ROWCOL col) {
    CGXControl* control = GetControl(row, col);
    if (!control || !IsDataRow(row))
        return;
    std::string text;
    control->GetCurrentText(text);
    const unsigned typed = Number(text);
    if (col == kVPortStart || col == kVPortChannels) {
        const unsigned start = col == kVPortStart ? typed : CellNumber(row, kVPortStart);
        const unsigned wanted = col == kVPortChannels ? typed : CellNumber(row, kVPortChannels);
        // A start out of range is refused when the edit ends; nothing follows it meanwhile.
        if (start < 1 || start > kTopAddress || wanted < 1)
            return;
        const unsigned channels = std::min(wanted, kTopAddress + 1 - start);
        SetNumber(row, kVPortEnd, start + channels - 1);
        if (col == kVPortStart || channels != wanted)
            SetNumber(row, kVPortChannels, channels);
    } else if (col == kVPortDdStart) {
        if (typed >= 1 && typed <= kTopDdStart)
            SetNumber(row, kVPortDdEnd, typed + 255);
    }
}

void CGridWnd::UpdateDimmerDoubling(ROWCOL row) {
    const unsigned vPort = VPortNumber(row);
    const unsigned start = std::max(1u, CellNumber(row, kVPortStart));
    const bool doubling = GetValueRowCol(row, kVPortDd) == "1";
    // The channels stop at the top of the EDMX range, and so does the doubled range.
    const unsigned channels = std::min(doubling ? 256u : 512u, kTopAddress + 1 - start);
    SetCellState(row, kVPortChannels, !doubling,
                 doubling ? DisabledColor(vPort) : EditableColor(vPort));
    SetCellState(row, kVPortDdStart, doubling,
                 doubling ? EditableColor(vPort) : DisabledColor(vPort));
    SetNumber(row, kVPortChannels, channels);
    SetNumber(row, kVPortEnd, start + channels - 1);
    if (doubling) {
        const unsigned ddStart = std::min(start + 256, kTopDdStart);
        SetNumber(row, kVPortDdStart, ddStart);
        SetNumber(row, kVPortDdEnd, ddStart + 255);
    }
}

void CGridWnd::ResetRow(ROWCOL row) {
    const unsigned n = VPortNumber(row);
    if (n >= 1 && n <= kLastFactoryVPort) {
        SetNumber(row, kVPortStart, n * 512 - 511);
        SetNumber(row, kVPortEnd, n * 512);
        SetNumber(row, kVPortChannels, 512);
        SetNumber(row, kVPortDd, 0);
        SetNumber(row, kVPortDdStart, n * 512 - 255);
        SetNumber(row, kVPortDdEnd, n * 512);
    } else {
        for (ROWCOL col = kVPortStart; col <= kVPortAffected; ++col) {
            if (xmldom::Node leaf = Leaf(row, col))
                SetValueRange(CGXRange(row, col), leaf.Text());
        }
    }
    UpdateDimmerDoubling(row);
}

bool CGridWnd::OnStartEditing(ROWCOL row, ROWCOL /*col*/) {
    if (!IsDataRow(row))
        return true;
    m_bInTransaction = true;
    BeginTrans("New Trans");
    return true;
}

bool CGridWnd::OnModifyCell(ROWCOL row, ROWCOL col) {
    if (IsDataRow(row))
        UpdateDependentCells(row, col);
    return true;
}

bool CGridWnd::OnEndEditing(ROWCOL row, ROWCOL col) {
    if (!IsDataRow(row))
        return true;
    CGXControl* control = GetControl(row, col);
    const bool modified = control && control->GetModify();
    if (modified)
        m_bModified = true;
    if (m_bInTransaction) {
        if (modified)
            CommitTrans();
        else
            Rollback();
    }
    m_bInTransaction = false;
    return true;
}

void CGridWnd::OnCanceledEditing(ROWCOL row, ROWCOL col) {
    if (!IsDataRow(row))
        return;
    UpdateDependentCells(row, col);
    if (m_bInTransaction)
        Rollback();
    m_bInTransaction = false;
}

bool CGridWnd::OnCellMouseAction(ROWCOL pressedRow, ROWCOL pressedCol, ROWCOL row, ROWCOL col,
                                 fw::Point pt, unsigned flags, unsigned action) {
    if (IsDataRow(row) && col == kVPortDd) {
        CGXStyle style;
        ComposeStyleRowCol(row, col, &style);
        // A press toggles dimmer doubling, where the vPort allows it to change.
        if ((action & GX_MABUTTONDOWN) && style.GetEnabled()) {
            BeginTrans("OnClickedButtonRowCol");
            SetValueRange(CGXRange(row, col), GetValueRowCol(row, col) == "1" ? "0" : "1");
            OnClickedButtonRowCol(row, kVPortDd);
            CommitTrans();
        }
        return false;
    }
    return CGXGridWnd::OnCellMouseAction(pressedRow, pressedCol, row, col, pt, flags, action);
}

void CGridWnd::OnClickedButtonRowCol(ROWCOL row, ROWCOL col) {
    if (!IsDataRow(row))
        return;
    if (col == kVPortDd) {
        UpdateDimmerDoubling(row);
        m_bModified = true;
    } else if (col == kVPortReset) {
        BeginTrans("Reset");
        ResetRow(row);
        CommitTrans();
        m_bModified = true;
    }
}

}  // namespace tessaly
