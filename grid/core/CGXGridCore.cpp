// The grid core object: construction, feature slots, initialisation, destruction, cell controls,
// and the read-only state.
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridHint.h"

#include "framework/window/SystemMetrics.h"
#include "framework/window/Window.h"
#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXPluginComponent.h"
#include "grid/core/CGXProperties.h"
#include "grid/core/CGXStylesMap.h"
#include "grid/core/CGXToolTipCtrlProxy.h"
#include "grid/core/GXLibraryState.h"

#include <QApplication>

CGXGridCore::CGXGridCore(fw::Window* gridWnd, fw::Document* doc, bool isViewContext)
    : m_pAppData(&GXGetLibraryState()),
      m_pGridWnd(gridWnd),
      m_pDocument(doc),
      m_bIsViewContext(isViewContext) {
    m_styleCache.reserve(257);
    m_nCyBorder = fw::GetSystemMetrics(fw::SM_CYBORDER);
    m_nCxBorder = fw::GetSystemMetrics(fw::SM_CXBORDER);
    m_nCyFrame = fw::GetSystemMetrics(fw::SM_CYFRAME);
    m_nCxFrame = fw::GetSystemMetrics(fw::SM_CXFRAME);
    if (m_pAppData->m_pControlFactory && !m_bInitDone)
        m_pAppData->m_pControlFactory->InstallGridFeatures(*this);
}

CGXGridCore::~CGXGridCore() {
    // Controls first: a control may still reach the grid while it goes.
    m_pActiveControl = nullptr;
    m_pLastControl = nullptr;
    m_pDefaultControl = nullptr;
    m_pCurrentCellControl = nullptr;
    m_controls.clear();
    m_pGridDC.reset();
    m_styleCache.clear();
    m_currentCellStyles.clear();
    m_pCurrentCellStyle.reset();
    // Features and plug-ins are owned here alone, and go before the parameter object they may
    // still reach while they are destroyed.
    m_featureSlots.fill(nullptr);
    m_pAutoScrollPlugin = nullptr;
    m_ownedObjects.clear();
    m_plugins.clear();
    if (m_bOwnParam)
        delete m_pParam;
    m_pParam = nullptr;
    m_pStyleEdit.reset();
    m_pStyleValue.reset();
    m_pStyleGetValue.reset();
    m_freeStyles.clear();
    m_pAppData->RemoveGrid(this);
}

void CGXGridCore::SetGridWnd(fw::Window* wnd, fw::Document* doc, bool isViewContext) {
    m_pGridDC.reset();
    m_pGridWnd = wnd;
    m_pDocument = doc;
    m_bIsViewContext = isViewContext;
}

CGXStylesMap* CGXGridCore::GetStylesMap() const {
    return m_pParam ? m_pParam->GetStylesMap() : nullptr;
}
CGXProperties* CGXGridCore::GetProperties() const {
    return m_pParam ? m_pParam->GetProperties() : nullptr;
}
CGXData* CGXGridCore::GetData() const {
    return m_pParam ? m_pParam->GetData() : nullptr;
}

void CGXGridCore::OnGridInitialUpdate() {
    if (!GXGetClassInfo("GXWND"))
        throw CGXNotSupportedException("the grid library was not started");
    for (auto& plugin : m_plugins) plugin->PlugIn(m_pGridWnd);
    if (!m_pStyleEdit)
        m_pStyleEdit = CreateStyle();
    if (!m_pStyleValue)
        m_pStyleValue = CreateStyle();
    if (!m_pStyleGetValue)
        m_pStyleGetValue = CreateStyle();
    m_pStyleClass = &m_pStyleEdit->GetRuntimeClass();

    if (!m_pParam)
        SetParam(nullptr, true);
    m_pAppData->RegisterGridObject(m_pParam, this);
    FreeObjectCache();

    if (!m_pParam->GetProperties()) {
        m_pParam->SetProperties(new CGXProperties, true);
    }
    m_pAppData->RegisterGridObject(m_pParam->GetProperties(), this);
    if (!m_pParam->GetStylesMap()) {
        auto* map = new CGXStylesMap(m_pStyleClass);
        map->CreateStandardStyles();
        if (m_pAppData->m_pProfileImp)
            map->ReadProfile();
        m_pParam->SetStylesMap(map, true);
    }
    m_pAppData->RegisterGridObject(m_pParam->GetStylesMap(), this);
    ReCacheBaseStyles();
    if (m_pAppData->m_pControlFactory && m_pStyleStandard) {
        const unsigned id = m_pStyleStandard->GetControl();
        if (!m_controls.count(id)) {
            if (auto control = m_pAppData->m_pControlFactory->CreateCellControl(id, *this))
                RegisterControl(id, std::move(control));
        }
    }
    if (!m_pParam->GetData()) {
        auto* data = new CGXData;
        data->InitParam(m_pParam);
        m_pParam->SetData(data, true);
    }
    m_pAppData->RegisterGridObject(m_pParam->GetData(), this);

    m_pParam->m_bInitDone = true;
    UpdateFontMetrics();
    m_bInitDone = true;
    m_nTopRow = std::max(m_nTopRow, GetFrozenRows() + 1);
    m_nLeftCol = std::max(m_nLeftCol, GetFrozenCols() + 1);
    if (CGXTabWndInterface* tab = m_pAppData->GetTabWndInterface())
        tab->OnGridInitialized(m_pGridWnd, m_pParam->m_sSheetName.c_str(),
                               !m_pParam->m_sSheetName.empty());
    if (m_pParam->m_bRestoreCurrentCell && m_pParam->m_nCurrentRow <= GetRowCount() &&
        m_pParam->m_nCurrentCol <= GetColCount())
        SetCurrentCell(m_pParam->m_nCurrentRow, m_pParam->m_nCurrentCol, 0);
    UpdateScrollbars(true, false);
}

void CGXGridCore::SetParam(CGXGridParam* param, bool mustDelete) {
    if (param == m_pParam && param)
        return;
    if (m_bOwnParam)
        delete m_pParam;
    if (!param) {
        param = new CGXGridParam;
        mustDelete = true;
    }
    m_pParam = param;
    m_bOwnParam = mustDelete;
    m_pStyleStandard = m_pStyleRowHeader = m_pStyleColHeader = nullptr;
    FreeObjectCache();
}

CGXOwnedObject* CGXGridCore::AddOwnedObject(std::unique_ptr<CGXOwnedObject> object) {
    m_ownedObjects.push_back(std::move(object));
    return m_ownedObjects.back().get();
}

void CGXGridCore::AddPlugin(std::unique_ptr<CGXPluginComponent> plugin) {
    if (m_bInitDone)
        plugin->PlugIn(m_pGridWnd);
    m_plugins.push_back(std::move(plugin));
}

void CGXGridCore::SetModifiedFlag(bool modified) {
    (void)modified;
    // The document's modified flag comes with the grid as a document view; a window grid has
    // no document.
}

CGXOwnedObject* CGXGridCore::GetFeatureSlot(int slot) const {
    return slot >= 1 && slot <= GX_FEATURE_SLOTS ? m_featureSlots[slot] : nullptr;
}

void CGXGridCore::SetFeatureSlot(int slot, CGXOwnedObject* feature) {
    if (slot >= 1 && slot <= GX_FEATURE_SLOTS) {
        m_featureSlots[slot] = feature;
        m_slotCasts[slot] = {};
    }
}

CGXAbstractGridPrintImp* CGXGridCore::GetPrintImp() const {
    return SlotAs<CGXAbstractGridPrintImp>(2);
}
CGXAbstractGridSortImp* CGXGridCore::GetSortImp() const {
    return SlotAs<CGXAbstractGridSortImp>(3);
}
CGXAbstractCommandFactory* CGXGridCore::GetCommandFactory() const {
    return SlotAs<CGXAbstractCommandFactory>(9);
}
CGXAbstractGridCoveredCellsImp* CGXGridCore::GetCoveredCellsImp() const {
    return SlotAs<CGXAbstractGridCoveredCellsImp>(5);
}
CGXAbstractCalcSizeImp* CGXGridCore::GetCalcSizeImp() const {
    return SlotAs<CGXAbstractCalcSizeImp>(10);
}
CGXAbstractGridOptimizedUpdateImp* CGXGridCore::GetOptimizedUpdateImp() const {
    return SlotAs<CGXAbstractGridOptimizedUpdateImp>(21);
}
CGXAbstractDrawSpannedCellsImp* CGXGridCore::GetDrawSpannedCellsImp() const {
    return SlotAs<CGXAbstractDrawSpannedCellsImp>(6);
}
CGXAbstractGridFloatCellsImp* CGXGridCore::GetFloatCellsImp() const {
    return SlotAs<CGXAbstractGridFloatCellsImp>(7);
}
CGXAbstractGridMergeCellsImp* CGXGridCore::GetMergeCellsImp() const {
    return SlotAs<CGXAbstractGridMergeCellsImp>(8);
}
CGXAbstractGridResizeToFitImp* CGXGridCore::GetResizeToFitImp() const {
    return SlotAs<CGXAbstractGridResizeToFitImp>(12);
}
CGXAbstractGridUpdateHintImp* CGXGridCore::GetUpdateHintImp() const {
    return SlotAs<CGXAbstractGridUpdateHintImp>(11);
}
CGXAbstractGridHideCellsImp* CGXGridCore::GetHideCellsImp() const {
    return SlotAs<CGXAbstractGridHideCellsImp>(13);
}
CGXAbstractGridFindReplaceImp* CGXGridCore::GetFindReplaceImp() const {
    return SlotAs<CGXAbstractGridFindReplaceImp>(14);
}
CGXAbstractGridExcelLikeFillImp* CGXGridCore::GetExcelLikeFillImp() const {
    return SlotAs<CGXAbstractGridExcelLikeFillImp>(17);
}
CGXAbstractGridCutPasteImp* CGXGridCore::GetCutPasteImp() const {
    return SlotAs<CGXAbstractGridCutPasteImp>(27);
}

void CGXGridCore::SetExcelLikeFillImp(CGXAbstractGridExcelLikeFillImp* imp, bool addToOwned) {
    m_featureSlots[17] = imp;
    m_slotCasts[17] = {};
    if (imp && addToOwned)
        m_ownedObjects.emplace_back(imp);
}

// --- forwarders ---------------------------------------------------------------------------------
// An empty slot leaves the grid without the feature: nothing happens and the answer is FALSE.

bool CGXGridCore::Undo() {
    auto* f = GetCommandFactory();
    return f && f->Undo(this);
}
bool CGXGridCore::Redo() {
    auto* f = GetCommandFactory();
    return f && f->Redo(this);
}
bool CGXGridCore::BeginTrans(const char* label) {
    auto* f = GetCommandFactory();
    return f && f->BeginTrans(this, label);
}
void CGXGridCore::CommitTrans() {
    if (auto* f = GetCommandFactory())
        f->CommitTrans(this);
}
void CGXGridCore::Rollback() {
    if (auto* f = GetCommandFactory())
        f->Rollback(this);
}
void CGXGridCore::SendGridHint(CGXGridHint& hint, bool createHint) {
    auto* f = GetUpdateHintImp();
    if (!createHint || !m_bHintsEnabled || !f)
        return;
    hint.target = m_nHintChannel;
    f->SendHint(this, hint);
}
void CGXGridCore::AddCommand(std::unique_ptr<CGXCommand> command, int ctCmd) {
    if (auto* f = GetCommandFactory())
        f->AddCommand(this, std::move(command), ctCmd);
}
void CGXGridCore::DropLastCommand() {
    if (auto* f = GetCommandFactory())
        f->RemoveCommand(this, 0);
}

void CGXGridCore::OnShowFindReplaceDialog(bool findOnly) {
    if (auto* f = GetFindReplaceImp())
        f->ShowDialog(this, findOnly);
}
bool CGXGridCore::OnFindNext(const std::string& text, bool down, bool matchCase) {
    auto* f = GetFindReplaceImp();
    return f && f->Find(this, text, down, matchCase);
}
void CGXGridCore::OnReplaceSel(const std::string& find, bool down, bool matchCase,
                               const std::string& replacement) {
    if (auto* f = GetFindReplaceImp())
        f->Replace(this, find, down, matchCase, replacement);
}
void CGXGridCore::OnReplaceAll(const std::string& find, const std::string& replacement,
                               bool matchCase) {
    if (auto* f = GetFindReplaceImp())
        f->ReplaceAll(this, find, replacement, matchCase);
}
void CGXGridCore::OnFindReplace(void* dialog) {
    if (auto* f = GetFindReplaceImp())
        f->OnDialogNotify(this, dialog);
}
bool CGXGridCore::FindText(bool setCurrentCell) {
    auto* f = GetFindReplaceImp();
    return f && f->FindNext(this, setCurrentCell);
}
bool CGXGridCore::FindTextFrom(ROWCOL row, ROWCOL col, bool setCurrentCell) {
    auto* f = GetFindReplaceImp();
    return f && f->FindFrom(this, row, col, setCurrentCell);
}

bool CGXGridCore::CanCopy() {
    auto* f = GetCutPasteImp();
    return f && f->CanCopy(this);
}
bool CGXGridCore::Copy() {
    auto* f = GetCutPasteImp();
    return f && f->Copy(this);
}
bool CGXGridCore::CopyRange(const CGXRangeList& list) {
    auto* f = GetCutPasteImp();
    return f && f->CopyRangeList(this, list);
}
bool CGXGridCore::CopyRange(const CGXRange& range) {
    CGXRangeList list;
    list.AddTail(range);
    return CopyRange(list);
}
bool CGXGridCore::CopyTextToClipboard(const CGXRangeList& list) {
    auto* f = GetCutPasteImp();
    return f && f->CopyTextToClipboard(this, list);
}
bool CGXGridCore::CopyStylesToClipboard(const CGXRangeList& list) {
    auto* f = GetCutPasteImp();
    return f && f->CopyStylesToClipboard(this, list);
}
bool CGXGridCore::CanCut() {
    auto* f = GetCutPasteImp();
    return f && f->CanCut(this);
}
bool CGXGridCore::Cut() {
    auto* f = GetCutPasteImp();
    return f && f->Cut(this);
}
bool CGXGridCore::CutRange(const CGXRangeList& list, bool clearStyles) {
    auto* f = GetCutPasteImp();
    return f && f->CutRangeList(this, list, clearStyles);
}
bool CGXGridCore::CutRange(const CGXRange& range, bool clearStyles) {
    CGXRangeList list;
    list.AddTail(range);
    return CutRange(list, clearStyles);
}
bool CGXGridCore::CanPaste() {
    auto* f = GetCutPasteImp();
    return f && f->CanPaste(this);
}
bool CGXGridCore::Paste() {
    auto* f = GetCutPasteImp();
    return f && f->Paste(this);
}
bool CGXGridCore::PasteFromClipboard(const CGXRange& range) {
    auto* f = GetCutPasteImp();
    return f && f->PasteFromClipboard(this, range);
}

bool CGXGridCore::HideRows(ROWCOL first, ROWCOL last, bool hide, const bool* values, unsigned flags,
                           int ctCmd) {
    auto* f = GetHideCellsImp();
    return f && f->HideRows(this, first, last, hide, values, flags, ctCmd);
}
bool CGXGridCore::HideCols(ROWCOL first, ROWCOL last, bool hide, const bool* values, unsigned flags,
                           int ctCmd) {
    auto* f = GetHideCellsImp();
    return f && f->HideCols(this, first, last, hide, values, flags, ctCmd);
}
bool CGXGridCore::StoreHideRow(ROWCOL row, bool hide) {
    auto* f = GetHideCellsImp();
    return f && f->StoreHideRow(this, row, hide);
}
bool CGXGridCore::StoreHideCol(ROWCOL col, bool hide) {
    auto* f = GetHideCellsImp();
    return f && f->StoreHideCol(this, col, hide);
}

bool CGXGridCore::ResizeRowHeightsToFit(const CGXRange& range, unsigned flags) {
    auto* f = GetResizeToFitImp();
    return f && f->ResizeRowHeightsToFit(this, range, false, flags);
}
bool CGXGridCore::ResizeColWidthsToFit(const CGXRange& range, unsigned flags) {
    auto* f = GetResizeToFitImp();
    return f && f->ResizeColWidthsToFit(this, range, false, flags);
}

bool CGXGridCore::SetCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                        unsigned flags, int ctCmd) {
    auto* f = GetCoveredCellsImp();
    return f && f->SetCoveredCellsRowCol(this, top, left, bottom, right, flags, ctCmd);
}
CGXRange* CGXGridCore::GetCoveredCellsRowCol(ROWCOL row, ROWCOL col, CGXRange& range) {
    auto* f = GetCoveredCellsImp();
    return f ? f->GetCoveredCellsRowCol(this, row, col, range) : nullptr;
}
bool CGXGridCore::StoreCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                          bool set) {
    auto* f = GetCoveredCellsImp();
    return f && f->StoreCoveredCellsRowCol(this, top, left, bottom, right, set);
}
void CGXGridCore::UpdateCoveredCellsRowCol(ROWCOL top, ROWCOL left, ROWCOL bottom, ROWCOL right,
                                           unsigned flags, bool createHint) {
    if (auto* f = GetCoveredCellsImp())
        f->UpdateCoveredCellsRowCol(this, top, left, bottom, right, flags, createHint);
}
void CGXGridCore::ExpandRangeByCoverings(CGXRange& range) {
    if (auto* f = GetCoveredCellsImp())
        f->ExpandRangeByCoverings(this, range);
}

void CGXGridCore::SetFloatCellsMode(std::uint16_t mode, bool redraw) {
    if (auto* f = GetFloatCellsImp())
        f->SetFloatCellsMode(this, mode, redraw);
}
CGXRange* CGXGridCore::GetFloatedCellRange(ROWCOL row, ROWCOL col, CGXRange& range) {
    auto* f = GetFloatCellsImp();
    return f ? f->GetFloatedCellRange(this, row, col, range) : nullptr;
}

void CGXGridCore::SetMergeCellsMode(std::uint16_t mode, bool redraw) {
    if (auto* f = GetMergeCellsImp())
        f->SetMergeCellsMode(this, mode, redraw);
}
CGXRange* CGXGridCore::GetMergedCellRange(ROWCOL row, ROWCOL col, CGXRange& range, int direction) {
    auto* f = GetMergeCellsImp();
    return f ? f->GetMergedCellRange(this, row, col, range, direction) : nullptr;
}

bool CGXGridCore::SortRows(const CGXRange& range, CGXSortInfoArray& keys, unsigned flags) {
    auto* f = GetSortImp();
    return f && f->SortRows(this, range, keys, flags);
}
bool CGXGridCore::SortCols(const CGXRange& range, CGXSortInfoArray& keys, unsigned flags) {
    auto* f = GetSortImp();
    return f && f->SortCols(this, range, keys, flags);
}
bool CGXGridCore::MoveDataRows(const CGXRange& range, const std::vector<ROWCOL>& order,
                               unsigned flags, int ctCmd) {
    auto* f = GetSortImp();
    return f && f->MoveDataRows(this, range, order, flags, ctCmd);
}
bool CGXGridCore::MoveDataCols(const CGXRange& range, const std::vector<ROWCOL>& order,
                               unsigned flags, int ctCmd) {
    auto* f = GetSortImp();
    return f && f->MoveDataCols(this, range, order, flags, ctCmd);
}

// --- controls ----------------------------------------------------------------------------------

void CGXGridCore::RegisterControl(unsigned id, std::unique_ptr<CGXControl> control,
                                  bool makeDefault, bool registerName) {
    auto it = m_controls.find(id);
    if (it != m_controls.end()) {
        CGXControl* old = it->second.get();
        if (m_pActiveControl == old)
            m_pActiveControl = nullptr;
        if (m_pLastControl == old)
            m_pLastControl = nullptr, m_nLastControlId = 0;
        if (m_pDefaultControl == old)
            m_pDefaultControl = nullptr;
        if (m_pCurrentCellControl == old)
            m_pCurrentCellControl = nullptr;
    }
    CGXControl* raw = control.get();
    m_controls[id] = std::move(control);
    if (registerName && GetStylesMap())
        GetStylesMap()->AddControl(id);
    if (makeDefault || !m_pDefaultControl)
        m_pDefaultControl = raw;
}

CGXControl* CGXGridCore::GetRegisteredControl(unsigned id) {
    if ((id & 0xFFFFu) == 0)
        return m_pDefaultControl;
    if (m_pLastControl && id == m_nLastControlId)
        return m_pLastControl;
    CGXControl* control = nullptr;
    auto it = m_controls.find(id);
    if (it != m_controls.end()) {
        control = it->second.get();
    } else if (m_pAppData->m_pControlFactory) {
        if (auto made = m_pAppData->m_pControlFactory->CreateCellControl(id, *this)) {
            control = made.get();
            RegisterControl(id, std::move(made), false, false);
        }
    }
    if (!control)
        return m_pDefaultControl;
    m_nLastControlId = id;
    m_pLastControl = control;
    return control;
}

bool CGXGridCore::QueryCellControl(ROWCOL row, ROWCOL col, unsigned a, unsigned b,
                                   const CGXStyle* style) {
    std::unique_ptr<CGXStyle> made;
    if (!style) {
        made = CreateStyle();
        ComposeStyleRowCol(row, col, made.get());
        style = made.get();
    }
    CGXControl* control = GetRegisteredControl(style->GetControl());
    const bool answer = control && control->QueryCell(row, col, a, b, style);
    if (made)
        RecycleStyle(std::move(made));
    return answer;
}

// --- read-only ---------------------------------------------------------------------------------

bool CGXGridCore::QueryReadOnly() {
    return m_pParam && m_pParam->m_bReadOnly;
}

bool CGXGridCore::SaveReadOnly(bool readOnly) {
    if (m_pParam)
        m_pParam->m_bReadOnly = readOnly;
    return true;
}

bool CGXGridCore::ChangeReadOnly(bool readOnly) {
    const bool old = QueryReadOnly();
    if (!SaveReadOnly(readOnly))
        return false;
    AfterReadOnlyChange(old);
    return true;
}

void CGXGridCore::AfterReadOnlyChange(bool) {
    ROWCOL row, col;
    if (GetCurrentCell(row, col)) {
        if (CGXControl* control = GetControl(row, col); control && control->IsInitFor(row, col)) {
            control->Reset();
            control->Init(row, col);
        }
    }
}

bool CGXGridCore::IsLockReadOnly() {
    return m_pParam && m_pParam->m_bLockReadOnly && QueryReadOnly();
}

void CGXGridCore::Beep(unsigned) {
    QApplication::beep();
}

// --- grid rectangle ---------------------------------------------------------------------------

fw::Rect CGXGridCore::GetGridRect() {
    fw::Rect r;
    if (m_bPrintInProgress)
        r = m_printRect;
    else if (m_bGridRectSet)
        r = m_gridRect;
    else if (m_pGridWnd)
        r = m_pGridWnd->GetClientRect();
    if (r.right < r.left || r.bottom < r.top)
        r = fw::Rect{r.left, r.top, r.left, r.top};
    return r;
}

void CGXGridCore::SetGridRect(bool set, const fw::Rect& rect) {
    m_bGridRectSet = set;
    m_gridRect = rect;
}

void CGXGridCore::SetPrinting(bool printing, const fw::Rect& printRect) {
    if (printing && !m_bPrintInProgress) {
        TransferCurrentCell(true);
        if (m_pCurrentCellControl)
            m_pCurrentCellControl->SetActive(false);
        m_nPrintTopRow = GetFrozenRows() + 1;
        m_nPrintLeftCol = GetFrozenCols() + 1;
    }
    m_bPrintInProgress = printing;
    m_printRect = printRect;
    if (CGXProperties* props = GetProperties())
        props->SetPrinting(printing);
    FreeObjectCache();
}

bool CGXGridCore::IsTracking(int* mode, ROWCOL* index) const {
    if (mode)
        *mode = m_nTrackingMode;
    if (index)
        *index = m_nTrackingIndex;
    return m_nTrackingMode != 0;
}

bool CGXGridCore::GridWndIsVisible() const {
    return m_pGridWnd && m_pGridWnd->isVisible();
}
