#include "grid/features/CGXGridParamCopyOperatorImp.h"

#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXSpanCellPools.h"

namespace {

void CopyOptions(CGXGridParam& d, const CGXGridParam& s) {
    d.m_wAllowSelection = s.m_wAllowSelection;
    d.m_bAllowMoveCols = s.m_bAllowMoveCols;
    d.m_bAllowMoveRows = s.m_bAllowMoveRows;
    d.m_wAllowTrackRowHeight = s.m_wAllowTrackRowHeight;
    d.m_wAllowTrackColWidth = s.m_wAllowTrackColWidth;
    d.m_wSelectionMode = s.m_wSelectionMode;
    d.m_bUndoEnabled = s.m_bUndoEnabled;
    d.m_bMouseOption = s.m_bMouseOption;
    d.m_bCoreOption = s.m_bCoreOption;
    d.m_bReadOnly = s.m_bReadOnly;
    d.m_bLockReadOnly = s.m_bLockReadOnly;
    d.m_nFrozenRows = s.m_nFrozenRows;
    d.m_nFrozenCols = s.m_nFrozenCols;
    d.m_nHeaderRows = s.m_nHeaderRows;
    d.m_nHeaderCols = s.m_nHeaderCols;
    d.m_bNumberedColHeaders = s.m_bNumberedColHeaders;
    d.m_bNumberedRowHeaders = s.m_bNumberedRowHeaders;
    d.m_bMarkCells = s.m_bMarkCells;
    d.m_bMarkSelectionHeaders = s.m_bMarkSelectionHeaders;
    d.m_bPaintOutside = s.m_bPaintOutside;
    d.m_nGridLineStyle = s.m_nGridLineStyle;
    d.m_nCurrentCellDrawing = s.m_nCurrentCellDrawing;
    d.m_nDefaultRowHeight = s.m_nDefaultRowHeight;
    d.m_nDefaultColWidth = s.m_nDefaultColWidth;
    d.m_bDirectCopyPaste = s.m_bDirectCopyPaste;
    d.m_bDirectCutPaste = s.m_bDirectCutPaste;
    d.m_bKeepSelection = s.m_bKeepSelection;
    d.m_bRestoreCurrentCell = s.m_bRestoreCurrentCell;
    d.m_bSyncCurrentCell = s.m_bSyncCurrentCell;
    d.m_nEnterKeyAction = s.m_nEnterKeyAction;
    d.m_bSetCurrentCellOnRelease = s.m_bSetCurrentCellOnRelease;
    d.m_bRedrawOnCancel = s.m_bRedrawOnCancel;
    d.m_bLockHeaderSize = s.m_bLockHeaderSize;
    d.m_bTrackBodyCells = s.m_bTrackBodyCells;
    d.m_bFocusOnClickInActiveView = s.m_bFocusOnClickInActiveView;
    d.m_bTrackThumb = s.m_bTrackThumb;
    d.m_bExcelLikeFill = s.m_bExcelLikeFill;
    d.m_nActivateCell = s.m_nActivateCell;
    d.m_nEditFormat = s.m_nEditFormat;
    d.m_nHideCurrentCell = s.m_nHideCurrentCell;
    d.m_nOption1 = s.m_nOption1;
    d.m_nOption2 = s.m_nOption2;
    d.m_nDropDownHeight = s.m_nDropDownHeight;
    d.m_nOption3 = s.m_nOption3;
    d.m_wOption4 = s.m_wOption4;
    d.m_wMergeMode = s.m_wMergeMode;
    d.m_wFloatMode = s.m_wFloatMode;
    d.m_sSheetName = s.m_sSheetName;
    d.m_awOptions = s.m_awOptions;
}

void CopyPools(CGXGridParam& d, const CGXGridParam& s) {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    auto* delayedImp = dynamic_cast<CGXDelayedRangePoolImp*>(state.m_pDelayedRangePoolImp);
    auto* spanImp = dynamic_cast<CGXSpanCellPoolImp*>(state.m_pSpanCellPoolImp);
    for (std::size_t i = 0; i < d.m_apDelayedRangePools.size(); ++i) {
        auto* pool = dynamic_cast<CGXDelayedRangePool*>(s.m_apDelayedRangePools[i].get());
        d.m_apDelayedRangePools[i] = pool && delayedImp ? delayedImp->Clone(*pool) : nullptr;
    }
    for (std::size_t i = 0; i < d.m_apSpanCellPools.size(); ++i) {
        auto* pool = dynamic_cast<const CGXSpanCellPool*>(s.m_apSpanCellPools[i].get());
        d.m_apSpanCellPools[i] = pool && spanImp ? spanImp->Clone(*pool) : nullptr;
    }
}

}  // namespace

void CGXGridParamCopyOperatorImp::CopyParam(CGXGridParam& d, const CGXGridParam& s) {
    if (&d == &s)
        return;
    d.SetStylesMap(nullptr);
    d.SetData(nullptr);
    d.SetProperties(nullptr);
    d.SetPrintDevice(nullptr);
    CopyOptions(d, s);
    // Each copy belongs to the target, also where the source only shares its object: an unowned
    // copy would never be deleted.
    if (const CGXStylesMap* map = s.GetStylesMap()) {
        auto copy = std::make_unique<CGXStylesMap>(map->m_pStyleClass);
        *copy = *map;
        d.SetStylesMap(copy.release(), true);
    }
    if (const CGXData* data = s.GetData()) {
        // A cell store of the source's own class: a formula sheet is copied as a formula sheet.
        std::unique_ptr<fw::Serializable> made = data->GetRuntimeClass().CreateObject();
        std::unique_ptr<CGXData> copy(dynamic_cast<CGXData*>(made.get()));
        if (copy)
            made.release();
        else
            copy = std::make_unique<CGXData>();
        copy->CopyFrom(*data);
        d.SetData(copy.release(), true);
    }
    if (const CGXProperties* props = s.GetProperties()) {
        auto copy = std::make_unique<CGXProperties>();
        CopyProperties(*copy, *props);
        d.SetProperties(copy.release(), true);
    }
    if (s.GetPrintDevice())
        d.SetPrintDevice(new CGXPrintDevice(*s.GetPrintDevice()), true);
    d.m_SelRects = s.m_SelRects;
    d.m_CoveredCells = s.m_CoveredCells;
    d.CreateCoveredCellPool();
    d.RebuildCoveredCellPool();
    d.m_RowHeights.CopyFrom(s.m_RowHeights);
    d.m_ColWidths.CopyFrom(s.m_ColWidths);
    d.m_MarkedCells = s.m_MarkedCells;
    d.m_ExtraRanges = s.m_ExtraRanges;
    CopyPools(d, s);
}

void CGXGridParamCopyOperatorImp::CopyStylesMap(CGXStylesMap& d, const CGXStylesMap& s) {
    if (&d == &s)
        return;
    d.RemoveAll();
    d.Resources().clear();
    d.m_pStyleClass = s.m_pStyleClass;
    for (const auto& [id, e] : s.Styles()) {
        CGXStylesMapStyleEntry& t = d.Styles()[id];
        t.id = e.id;
        t.resourceId = e.resourceId;
        t.name = e.name;
        t.system = e.system;
        t.style = e.style ? e.style->Clone() : nullptr;
    }
    d.Names() = s.Names();
    d.Resources() = s.Resources();
    d.NextId() = s.NextId();
    d.ControlNames() = s.GetControlNames();
    for (const auto& [id, e] : s.GetUserAttributeEntries())
        d.UserAttributes()[id] = {e.id, e.name, e.style ? e.style->Clone() : nullptr};
    d.m_strSection = s.m_strSection;
    d.m_wStyleStandard = d.GetStyleIdFromResource(GX_IDS_STYLE_STANDARD);
    d.m_wStyleColHeader = d.GetStyleIdFromResource(GX_IDS_STYLE_COLHEADER);
    d.m_wStyleRowHeader = d.GetStyleIdFromResource(GX_IDS_STYLE_ROWHEADER);
}

void CGXGridParamCopyOperatorImp::CopyProperties(CGXProperties& d, const CGXProperties& s) {
    if (&d == &s)
        return;
    d.m_userProperties.clear();
    d.SetDisplayHorzLines(s.GetDisplayHorzLines());
    d.SetDisplayVertLines(s.GetDisplayVertLines());
    d.Set3dButtons(s.Get3dButtons());
    d.m_bMarkRowHeader = s.m_bMarkRowHeader;
    d.m_bMarkColHeader = s.m_bMarkColHeader;
    d.SetZoom(s.GetZoom());
    d.m_sSection = s.m_sSection;
    d.ColorNames() = s.ColorNames();
    d.Colors() = s.Colors();
    for (const auto& [id, u] : s.m_userProperties)
        d.m_userProperties[id] = {u.name, u.style ? u.style->Clone() : nullptr};
    d.SetBlackWhite(s.GetBlackWhite());
    d.SetPrintHorzLines(s.GetPrintHorzLines());
    d.SetPrintVertLines(s.GetPrintVertLines());
    d.m_bPrintRowHeaders = s.m_bPrintRowHeaders;
    d.m_bPrintColHeaders = s.m_bPrintColHeaders;
    d.m_bPrintFrame = s.m_bPrintFrame;
    d.m_bCenterVertical = s.m_bCenterVertical;
    d.m_bCenterHorizontal = s.m_bCenterHorizontal;
    d.m_nPageOrder = s.m_nPageOrder;
    d.m_nTopMargin = s.m_nTopMargin;
    d.m_nLeftMargin = s.m_nLeftMargin;
    d.m_nBottomMargin = s.m_nBottomMargin;
    d.m_nRightMargin = s.m_nRightMargin;
    d.m_nHeaderDistance = s.m_nHeaderDistance;
    d.m_nFooterDistance = s.m_nFooterDistance;
    d.m_nFirstPage = s.m_nFirstPage;
    d.m_wSetting1 = s.m_wSetting1;
    d.m_wSetting2 = s.m_wSetting2;
    d.m_awColBreaks = s.m_awColBreaks;
    d.m_awRowBreaks = s.m_awRowBreaks;
    d.m_pHeader->CopyFrom(*s.m_pHeader);
    d.m_pFooter->CopyFrom(*s.m_pFooter);
}

void InstallParamCopyOperatorImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (!state.m_pParamCopyOperatorImp)
        state.m_pParamCopyOperatorImp =
            state.AddOwnedObject(std::make_unique<CGXGridParamCopyOperatorImp>());
}
