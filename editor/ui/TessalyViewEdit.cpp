// The node grid's write-through: every stored cell value goes into the document at once, and
// the rules of NodeGridRules keep the row consistent.
#include "editor/document/EditorStrings.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/IPAddress.h"
#include "editor/document/TessalyDoc.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/TessalyView.h"

#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "framework/window/VirtualKeys.h"
#include "grid/controls/CGXControl.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRangeList.h"
#include "grid/core/GXFlagScope.h"
#include "grid/features/CGXGridClipboard.h"

namespace tessaly {
namespace {

std::string Formatted(unsigned id, const std::string& text) {
    std::string pattern = fw::LoadString(id);
    if (size_t at = pattern.find("%s"); at != std::string::npos)
        pattern.replace(at, 2, text);
    return pattern;
}

const char* WhyRefused(CellTextError error) {
    switch (error) {
        case CellTextError::NotANumber:
            return "it is not a whole number";
        case CellTextError::OutOfRange:
            return "it is out of range";
        case CellTextError::BadAddress:
            return "it is not an IP address";
        case CellTextError::TooLong:
            return "it is too long";
        case CellTextError::NotInList:
            return "it is not one of the column's choices";
        case CellTextError::NotAFlag:
            return "it is not 0 or 1";
        case CellTextError::None:
            break;
    }
    return "";
}

}  // namespace

void CTessalyView::ReportInvalid(const std::string& text) {
    CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, __FILE__, __LINE__,
                                             Formatted(IDS_VALUE_INVALID, text));
}

bool CTessalyView::StoreStyleRowCol(ROWCOL row, ROWCOL col, const CGXStyle* style,
                                    GXModifyType type, int styleType) {
    CTessalyDoc* doc = Doc();
    if (!storingEnabled_ || col == 0 || row <= headerRows_ || !doc || !style)
        return CGXGridCore::StoreStyleRowCol(row, col, style, type, styleType);
    const bool pasted = type == gxCopy || (pasting_ && !inDependentUpdate_);
    if (pasted && !pasteWholeRows_ && IsColHidden(col))
        return false;
    CGXStyle current;
    GetStyleRowCol(row, col, current);
    auto* element = static_cast<xmldom::Node*>(current.GetItemDataPtr());
    if (!style->GetIncludeValue() || !element || !*element)
        return CGXGridCore::StoreStyleRowCol(row, col, style, type, styleType);

    const ColumnEntry* entry = EntryForColumn(col);
    std::string text = style->GetValue();
    if (pasted) {
        if (doc->IsReadOnly(*element) || (current.GetIncludeEnabled() && !current.GetEnabled()))
            return false;
        // A pasted value meets the same bounds as a typed one.
        if (entry) {
            const CellTextError error = CheckCellText(entry->rule, text);
            if (error != CellTextError::None) {
                CErrorHandler::GetInstance()->ReportText(
                    CErrorHandler::TYPE_ERROR, __FILE__, __LINE__,
                    "The pasted value (" + text + ") was not stored: " + WhyRefused(error) + ".");
                return false;
            }
            if (!entry->rule.enumItems.empty())
                text = *EnumValueText(entry->rule, text);
        }
    }
    const uint32_t propertyType = entry ? entry->rule.type : 0;
    std::optional<DocumentText> converted = ConvertForDocument(propertyType, text);
    std::string cellText = text;
    if (!converted && propertyType == PROPERTY_IPV4) {
        ReportInvalid(text);
    } else if (converted) {
        if (!doc->SetNodeText(*element, converted->document)) {
            // The document refused the value (it reported why): the cell keeps the old one,
            // so the grid never shows an edit that is not in the configuration.
            return false;
        }
        cellText = converted->cell;
        if (!inDependentUpdate_ && entry) {
            CGXGridParam* param = GetParam();
            const bool undo = param->IsEnableUndo();
            param->EnableUndo(false);
            current.SetValue(cellText);
            CGXGridCore::StoreStyleRowCol(row, col, &current, gxOverride, styleType);
            if (static_cast<int>(col) == directionCol_ ||
                (entry->inputPort && entry->path.ends_with(".AIP")))
                ColourPortRow(row);
            if (entry->inputPort || entry->outputPort) {
                inDependentUpdate_ = true;
                ApplyPortRules(row, col, *entry, cellText);
                FillFromVPort(row, *entry, cellText);
                inDependentUpdate_ = false;
            }
            if (entry->merged)
                CopyToNodeRows(row, col, cellText);
            param->EnableUndo(undo);
        }
    }
    current.SetValue(cellText);
    return CGXGridCore::StoreStyleRowCol(row, col, &current, gxOverride, styleType);
}

void CTessalyView::SetCellText(ROWCOL row, int col, const std::string& text) {
    if (col <= 0)
        return;
    SetValueRange(CGXRange(row, static_cast<ROWCOL>(col)), text, gxOverride, GX_INVALIDATE);
}

void CTessalyView::ApplyPortRules(ROWCOL row, ROWCOL, const ColumnEntry& entry,
                                  const std::string& text) {
    const bool input = entry.inputPort;
    auto read = [&](PortRole role) {
        const int col = PortColumn(role, input);
        return col > 0 ? ReadUnsigned(GetValueRowCol(row, static_cast<ROWCOL>(col))) : 0u;
    };
    PortValues values;
    values.edmxStart = read(PortRole::EdmxStart);
    values.channels = read(PortRole::EdmxChannels);
    const bool hasDmx = input && PortColumn(PortRole::DmxStart, true) > 0;
    values.dmxStart = hasDmx ? read(PortRole::DmxStart) : 0;
    for (const RoleWrite& write : ApplyPortRangeRule(entry.role, text, values, hasDmx))
        SetCellText(row, PortColumn(write.role, input), write.text);
}

void CTessalyView::FillFromVPort(ROWCOL row, const ColumnEntry& entry, const std::string& text) {
    CTessalyDoc* doc = Doc();
    if (entry.role != PortRole::VPort)
        return;
    xmldom::Node vPort = doc->FindVPort(text);
    if (!vPort)
        return;
    const bool input = entry.inputPort;
    if (input)
        SetCellText(row, PortColumn(PortRole::DmxStart, true), "1");
    struct {
        PortRole role;
        bool (CTessalyDoc::*get)(xmldom::Node, std::string&) const;
    } fields[] = {
        {PortRole::EdmxStart, &CTessalyDoc::GetVPortEdmxStart},
        {PortRole::EdmxChannels, &CTessalyDoc::GetVPortEdmxChannels},
        {PortRole::EdmxEnd, &CTessalyDoc::GetVPortEdmxEnd},
        {PortRole::DimmerDoubling, &CTessalyDoc::GetVPortDimmerDoubling},
        {PortRole::DdEdmxStart, &CTessalyDoc::GetVPortDdEdmxStart},
        {PortRole::DdEdmxEnd, &CTessalyDoc::GetVPortDdEdmxEnd},
    };
    for (const auto& field : fields) {
        std::string value;
        if ((doc->*field.get)(vPort, value))
            SetCellText(row, PortColumn(field.role, input), std::to_string(ReadUnsigned(value)));
    }
}

void CTessalyView::CopyToNodeRows(ROWCOL row, ROWCOL col, const std::string& text) {
    const int index = NodeIndexOfRow(row);
    storingEnabled_ = false;
    for (ROWCOL r = headerRows_ + 1; r <= lastRow_; ++r) {
        if (r != row && NodeIndexOfRow(r) == index)
            SetValueRange(CGXRange(r, col), text, gxOverride, GX_INVALIDATE);
    }
    storingEnabled_ = true;
}

// ---- Port colouring ---------------------------------------------------------------------------

void CTessalyView::ColourPortCell(ROWCOL row, int col, PortColumnKind kind, bool output, bool aip) {
    if (col <= 0)
        return;
    xmldom::Node element = ElementOfCell(row, static_cast<ROWCOL>(col));
    // A property the template locks stays grey; a read-only column keeps its own look.
    bool enabled = false;
    if (!element || TemplateEditOfCell(row, static_cast<ROWCOL>(col), element) != "N") {
        const ColumnEntry* entry = EntryForColumn(static_cast<ROWCOL>(col));
        if (entry && entry->readOnly)
            return;
        enabled = PortCellApplies(kind, output, aip);
    }
    SetCellLook(row, static_cast<ROWCOL>(col), enabled ? whiteLook_ : greyLook_);
}

void CTessalyView::ColourPortRow(ROWCOL row) {
    CTessalyDoc* doc = Doc();
    const int aipCol = aipCol_;
    if (directionCol_ <= 0 || aipCol <= 0)
        return;
    xmldom::Node direction = ElementOfCell(row, static_cast<ROWCOL>(directionCol_));
    xmldom::Node aipElement = ElementOfCell(row, static_cast<ROWCOL>(aipCol));
    if (!direction || !aipElement)
        return;
    std::string text;
    doc->GetNodeText(direction, text);
    const bool output = ReadUnsigned(text) != 0;
    doc->GetNodeText(aipElement, text);
    const bool aip = ReadUnsigned(text) != 0;
    for (int col = firstPortCol_[0]; col >= 0 && col <= lastPortCol_[0]; ++col) {
        const ColumnEntry* entry = EntryForColumn(static_cast<ROWCOL>(col));
        PortColumnKind kind = PortColumnKind::OtherInput;
        if (col == aipCol)
            kind = PortColumnKind::AipCell;
        else if (entry && entry->role == PortRole::InputSetting)
            kind = PortColumnKind::InputSetting;
        ColourPortCell(row, col, kind, output, aip);
    }
    for (int col = firstPortCol_[1]; col >= 0 && col <= lastPortCol_[1]; ++col)
        ColourPortCell(row, col, PortColumnKind::Output, output, aip);
    RedrawRowCol(row, 1, row, GetColCount(), GX_INVALIDATE);
}

// ---- Validation, clicks, selection, paste -------------------------------------------------------

bool CTessalyView::OnValidateCell(ROWCOL row, ROWCOL col) {
    const ColumnEntry* entry = EntryForColumn(col);
    if (!entry || entry->rule.type != PROPERTY_IPV4)
        return CGXGridCore::OnValidateCell(row, col);
    CGXControl* control = GetControl(row, col);
    std::string text;
    if (control)
        control->GetCurrentText(text);
    if (control && !CIPAddress().SetText(text)) {
        ReportInvalid(text);
        return false;
    }
    return true;
}

bool CTessalyView::OnCellClicked(ROWCOL row, ROWCOL col, unsigned flags, fw::Point pt) {
    if (col != 0 || NodeIndexOfRow(row) < 0)
        return CGXGridCore::OnCellClicked(row, col, flags, pt);
    SelectNodeRows(row, (flags & fw::MK_CONTROL) != 0);
    return true;
}

void CTessalyView::SelectNodeRows(ROWCOL row, bool add) {
    const int index = NodeIndexOfRow(row);
    if (index < 0)
        return;
    if (!add)
        SetSelection(nullptr);
    GXFlagScope selecting(selectingNode_, true);
    for (ROWCOL r = headerRows_ + 1; r <= lastRow_;) {
        if (NodeIndexOfRow(r) != index) {
            ++r;
            continue;
        }
        ROWCOL end = r;
        while (end + 1 <= lastRow_ && NodeIndexOfRow(end + 1) == index) ++end;
        SelectRange(CGXRange().SetRows(r, end), true, true);
        r = end + 1;
    }
}

bool CTessalyView::OnStartSelection(const CGXRange& range, bool b, unsigned flags) {
    if (range.IsRows() && range.bottom > range.top && !selectingNode_)
        return false;  // nodes are selected one row header at a time
    return CGXGridCore::OnStartSelection(range, b, flags);
}

bool CTessalyView::OnDeleteCell(ROWCOL row, ROWCOL col) {
    std::vector<ROWCOL> rows;
    if (GetSelectedRows(rows, true, false) > 0) {
        ExecuteCommand(ID_EDIT_DELETE_NODE);
        return false;
    }
    return CGXGridCore::OnDeleteCell(row, col);
}

bool CTessalyView::Paste() {
    CGXRangeList ranges;
    if (!CopyRangeList(ranges, true) || ranges.GetCount() == 0)
        return false;
    if (ranges.GetCount() > 1) {
        CErrorHandler::GetInstance()->ReportText(CErrorHandler::TYPE_ERROR, __FILE__, __LINE__,
                                                 fw::LoadString(IDS_PASTE_MULTIPLE));
        return false;
    }
    pasteWholeRows_ = ranges.GetHead().IsRows();
    pasting_ = true;
    const bool result = CGXGridCore::Paste();
    pasting_ = false;
    pasteWholeRows_ = false;
    return result;
}

bool CTessalyView::PasteFromClipboard(const CGXRange& range) {
    // Text only, and never past the grid's last row or column: the rows are the nodes'.
    const unsigned old = m_nClipboardFlags;
    m_nClipboardFlags |= GX_DNDTEXT | GX_DNDNOAPPENDROWS | GX_DNDNOAPPENDCOLS;
    const bool result = CGXGridCore::PasteFromClipboard(range);
    m_nClipboardFlags = old;
    return result;
}

}  // namespace tessaly
