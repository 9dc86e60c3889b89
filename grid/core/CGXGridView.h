// The grid as a document view: a framework view with a grid core as its second base. It routes
// window messages to the core as the grid window does, draws and prints through the core, and
// handles the Edit commands (copy, cut, paste, undo, redo, find, replace, repeat) and printing,
// each with an update handler: a command whose feature the grid lacks shows disabled.
//
// Views of this system are never panes of a splitter window: the splitter queries answer that
// there is none.
#pragma once

#include "framework/docview/View.h"
#include "grid/core/CGXGridCore.h"

class CGXPrintDevice;

// The view side of the printing support: a view that prints through the grid.
class CGXView : public fw::View {
    Q_OBJECT

public:
    CGXView();
    ~CGXView() override;
    // Asks for every page (the grid learns its page count while it prints).
    bool OnPreparePrinting(fw::PrintInfo& info) override;
    // Through the print-device component with the view's print device when it is installed.
    virtual bool PreparePrinting(fw::PrintInfo& info);
    virtual void OnPrinterChanged() {}
    // Print setup (ID_FILE_PRINT_SETUP) on the view's printer through the print-device
    // component; without it the application's printer is set up.
    virtual void OnFilePrintSetup();
    // Printing keeps the printer chosen in the print dialog with the view's device.
    void OnFilePrint(bool direct) override;
    CGXPrintDevice* GetPrintDevice() const { return m_pPrintDevice; }
    void SetPrintDevice(CGXPrintDevice* device, bool mustDelete);

protected:
    CGXPrintDevice* m_pPrintDevice = nullptr;
    std::unique_ptr<CGXPrintDevice> m_pOwnedPrintDevice;  // when the view owns its device
};

class CGXGridView : public CGXView, public CGXGridCore {
    Q_OBJECT

public:
    CGXGridView();
    ~CGXGridView() override;

    // The view's document (the core's is the same once the view is initialised).
    fw::Document* GetDocument() const { return CGXView::GetDocument(); }
    void OnInitialUpdate() override;
    // Grid hints (GX_HINT_GRID) go to the update-hint feature; other updates as a view's.
    void OnUpdate(fw::View* sender, long hint, void* hintObject) override;
    void OnActivateView(bool activate, fw::View* activated, fw::View* deactivated) override;
    void OnDraw(fw::DeviceContext& dc) override;
    void OnPrepareDC(fw::DeviceContext& dc, fw::PrintInfo* info) override;
    bool OnPreparePrinting(fw::PrintInfo& info) override;
    // The pages are paginated and printed by the grid (its print feature).
    void OnBeginPrinting(fw::DeviceContext& dc, fw::PrintInfo& info) override;
    void OnPrint(fw::DeviceContext& dc, fw::PrintInfo& info) override;
    void OnEndPrinting(fw::DeviceContext& dc, fw::PrintInfo& info) override;

    // Undo and redo are possible when the undo feature is installed and has a command.
    virtual bool CanUndo();
    virtual bool CanRedo();
    // No splitter window holds this view: null.
    fw::Window* GetParentDynamicSplitter() const { return nullptr; }

protected:
    fw::LRESULT WindowProc(fw::Message& msg) override;
    void OnPaint() override;
    bool OnEraseBkgnd(fw::PaintContext& dc) override;

private:
    void MapEditCommands();
};
