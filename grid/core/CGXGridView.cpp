// The grid view: message routing, drawing and the Edit and print commands.
#include "grid/core/CGXGridView.h"

#include "framework/base/CommandIds.h"
#include "framework/drawing/PaintContext.h"
#include "framework/printing/PrinterSettings.h"
#include "grid/core/CGXAbstractComponents.h"
#include "grid/core/CGXGridHint.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/GXGridMessageRouting.h"
#include "grid/core/GXLibraryState.h"

#include <QPrinter>

// --- CGXView -------------------------------------------------------------------------------------

CGXView::CGXView() {
    MapCommand(fw::ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
}
CGXView::~CGXView() = default;

void CGXView::SetPrintDevice(CGXPrintDevice* device, bool mustDelete) {
    if (m_pOwnedPrintDevice.get() == device)
        static_cast<void>(m_pOwnedPrintDevice.release());
    m_pOwnedPrintDevice.reset(mustDelete ? device : nullptr);
    m_pPrintDevice = device;
}

bool CGXView::OnPreparePrinting(fw::PrintInfo& info) {
    info.SetMaxPage(0xFFFF);
    return PreparePrinting(info);
}

bool CGXView::PreparePrinting(fw::PrintInfo& info) {
    CGXAbstractPrintDeviceImp* imp = GXGetLibraryState().m_pPrintDeviceImp;
    if (imp ? !imp->OnPreparePrinting(m_pPrintDevice, *this, info)
            : !fw::View::OnPreparePrinting(info))
        return false;
    OnPrinterChanged();
    return true;
}

void CGXView::OnFilePrintSetup() {
    CGXAbstractPrintDeviceImp* imp = GXGetLibraryState().m_pPrintDeviceImp;
    if (imp && m_pPrintDevice) {
        if (imp->DoPrintSetup(*m_pPrintDevice) == 1)
            OnPrinterChanged();
        return;
    }
    QPrinter printer;
    fw::AppPrinterSettings().ApplyTo(printer);
    fw::PrintInfo info;
    if (fw::RunPrintDialog(printer, info, window()))
        fw::AppPrinterSettings() = fw::PrinterSettings::FromPrinter(printer);
}

void CGXView::OnFilePrint(bool direct) {
    fw::View::OnFilePrint(direct);
    if (!m_pPrintDevice || !GXGetLibraryState().m_pPrintDeviceImp)
        return;
    const fw::PrinterSettings& chosen = fw::AppPrinterSettings();
    if (!m_pPrintDevice->CompareBlocks(chosen.NamesBlock(), chosen.ModeBlock()))
        m_pPrintDevice->CreateDevice(chosen.NamesBlock(), chosen.ModeBlock());
}

// --- CGXGridView ---------------------------------------------------------------------------------

CGXGridView::CGXGridView() : CGXGridCore(nullptr, nullptr, false) {
    SetGridWnd(this, nullptr, false);
    MapEditCommands();
}

CGXGridView::~CGXGridView() = default;

void CGXGridView::MapEditCommands() {
    MapCommand(fw::ID_EDIT_COPY, [this] { Copy(); });
    MapUpdate(fw::ID_EDIT_COPY, [this](fw::CmdUI& ui) { ui.Enable(CanCopy()); });
    MapCommand(fw::ID_EDIT_CUT, [this] { Cut(); });
    MapUpdate(fw::ID_EDIT_CUT, [this](fw::CmdUI& ui) { ui.Enable(CanCut()); });
    MapCommand(fw::ID_EDIT_PASTE, [this] { Paste(); });
    MapUpdate(fw::ID_EDIT_PASTE, [this](fw::CmdUI& ui) { ui.Enable(CanPaste()); });
    MapCommand(fw::ID_EDIT_UNDO, [this] { Undo(); });
    MapUpdate(fw::ID_EDIT_UNDO, [this](fw::CmdUI& ui) { ui.Enable(CanUndo()); });
    MapCommand(fw::ID_EDIT_REDO, [this] { Redo(); });
    MapUpdate(fw::ID_EDIT_REDO, [this](fw::CmdUI& ui) { ui.Enable(CanRedo()); });
    // Find and replace belong to a feature: without it their items are disabled.
    auto findUpdate = [this](fw::CmdUI& ui) { ui.Enable(GetFindReplaceImp() != nullptr); };
    MapCommand(fw::ID_EDIT_FIND, [this] { OnShowFindReplaceDialog(true); });
    MapUpdate(fw::ID_EDIT_FIND, findUpdate);
    MapCommand(fw::ID_EDIT_REPLACE, [this] { OnShowFindReplaceDialog(false); });
    MapUpdate(fw::ID_EDIT_REPLACE, findUpdate);
    MapCommand(fw::ID_EDIT_REPEAT, [this] {
        if (!FindText(true))
            Beep();
    });
    MapUpdate(fw::ID_EDIT_REPEAT, findUpdate);
    // Printing goes through the grid's print feature.
    auto printUpdate = [this](fw::CmdUI& ui) { ui.Enable(GetPrintImp() != nullptr); };
    MapUpdate(fw::ID_FILE_PRINT, printUpdate);
    MapUpdate(fw::ID_FILE_PRINT_DIRECT, printUpdate);
    MapUpdate(fw::ID_FILE_PRINT_PREVIEW, printUpdate);
}

bool CGXGridView::CanUndo() {
    return GetCommandFactory() && GetParam() && !GetParam()->GetUndoList().empty();
}

bool CGXGridView::CanRedo() {
    return GetCommandFactory() && GetParam() && !GetParam()->GetRedoList().empty();
}

void CGXGridView::OnUpdate(fw::View* sender, long hint, void* hintObject) {
    if (hint == GX_HINT_GRID) {
        if (auto* f = GetUpdateHintImp(); f && hintObject)
            f->OnHint(this, static_cast<const CGXGridHint*>(hintObject));
        return;
    }
    fw::View::OnUpdate(sender, hint, hintObject);
}

void CGXGridView::OnInitialUpdate() {
    SetGridWnd(this, CGXView::GetDocument(), true);
    // Bars shown when the grid does not fit, the thumb sized to the page.
    SetScrollBarMode(fw::SB_VERT, gxnAutomatic | gxnEnhanced, false);
    SetScrollBarMode(fw::SB_HORZ, gxnAutomatic | gxnEnhanced, false);
    OnGridInitialUpdate();
    // The view prints on the parameter object's printer, which the first view creates.
    if (!m_pPrintDevice && GetParam()) {
        if (!GetParam()->GetPrintDevice())
            GetParam()->SetPrintDevice(new CGXPrintDevice(), true);
        SetPrintDevice(GetParam()->GetPrintDevice(), false);
    }
    CGXView::OnInitialUpdate();
    UpdateScrollbars(true, false);
}

void CGXGridView::OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) {
    if (activate != m_bGridHasFocus && !GXIsActivationSuppressed())
        OnActivateGrid(activate);
    CGXView::OnActivateView(activate, activated, deactivated);
}

void CGXGridView::OnPrepareDC(fw::DeviceContext& dc, fw::PrintInfo* info) {
    OnGridPrepareDC(&dc, info != nullptr);
}

void CGXGridView::OnDraw(fw::DeviceContext& dc) {
    OnGridDraw(&dc);
}

void CGXGridView::OnPaint() {
    // A view painted before its initial update shows its background only.
    if (!IsInitialized()) {
        fw::PaintContext dc(*this);
        return;
    }
    CGXView::OnPaint();
}

bool CGXGridView::OnEraseBkgnd(fw::PaintContext&) {
    return true;
}

bool CGXGridView::OnPreparePrinting(fw::PrintInfo& info) {
    info.SetMaxPage(0xFFFF);
    return PreparePrinting(info);
}

void CGXGridView::OnBeginPrinting(fw::DeviceContext& dc, fw::PrintInfo& info) {
    OnGridBeginPrinting(&dc, &info);
}

void CGXGridView::OnPrint(fw::DeviceContext& dc, fw::PrintInfo& info) {
    OnGridPrint(&dc, &info);
}

void CGXGridView::OnEndPrinting(fw::DeviceContext& dc, fw::PrintInfo& info) {
    OnGridEndPrinting(&dc, &info);
}

fw::LRESULT CGXGridView::WindowProc(fw::Message& msg) {
    switch (msg.id) {
        case fw::WM_GETDLGCODE:
            return static_cast<fw::LRESULT>(
                OnGridGetDlgCode(static_cast<unsigned>(CGXView::WindowProc(msg))));
        case fw::WM_SETFOCUS: {
            const fw::LRESULT r = CGXView::WindowProc(msg);
            OnGridSetFocus(fw::Window::FromHandle(fw::WindowHandle{msg.wParam}));
            return r;
        }
        case fw::WM_KILLFOCUS: {
            const fw::LRESULT r = CGXView::WindowProc(msg);
            const bool old = m_bInKillFocus;
            m_bInKillFocus = true;
            OnGridKillFocus(fw::Window::FromHandle(fw::WindowHandle{msg.wParam}));
            m_bInKillFocus = old;
            return r;
        }
        case WM_GX_NEEDCHANGETAB:
            return 1;
        case WM_GX_CHANGEDTAB:
            return 0;
        default:
            break;
    }
    fw::LRESULT result = 0;
    if (GXRouteGridMessage(*this, *this, msg, result))
        return result;
    return CGXView::WindowProc(msg);
}
