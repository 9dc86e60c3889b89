// A view: the window that shows a document inside a frame. It draws in OnDraw (the same code
// paints the screen and, through the printing hooks, the printer), learns of changes in
// OnUpdate, and routes commands it does not handle to its document.
#pragma once

#include "framework/printing/Printing.h"
#include "framework/window/Window.h"

namespace fw {

class Document;
class FrameWnd;
class PrinterSettings;

// The program's one printer, which views print on unless they keep their own; ID_FILE_PRINT_SETUP
// of the application changes it.
PrinterSettings& AppPrinterSettings();

class View : public Window, public Printable {
    Q_OBJECT

public:
    View();
    ~View() override;

    Document* GetDocument() const { return document_; }
    // Attaches the view to a document (and detaches it from the one before).
    void SetDocument(Document* document);
    FrameWnd* GetParentFrame() const;

    // Called once after the frame and view exist and the document is loaded; the default calls
    // OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // The document changed; the default repaints the whole view.
    virtual void OnUpdate(View* sender, long hint, void* hintObject);
    // Draws the view (screen or printer).
    virtual void OnDraw(DeviceContext& dc);
    // Sets up a context before OnDraw (mapping for zoom or printing); info is null on screen.
    void OnPrepareDC(DeviceContext& dc, PrintInfo* info) override;
    virtual void OnActivateView(bool activate, View* activated, View* deactivated);

    // Printing (Printing.h runs the job): OnPreparePrinting may set the page count and answer
    // false to print nothing; OnPrint draws a page through OnPrepareDC and OnDraw by default.
    virtual bool OnPreparePrinting(PrintInfo& info);
    void OnBeginPrinting(DeviceContext& dc, PrintInfo& info) override;
    void OnPrint(DeviceContext& dc, PrintInfo& info) override;
    void OnEndPrinting(DeviceContext& dc, PrintInfo& info) override;
    // The printer this view prints on; the default is the program's one printer.
    virtual PrinterSettings& GetPrinterSettings();
    // The commands ID_FILE_PRINT, ID_FILE_PRINT_DIRECT and ID_FILE_PRINT_PREVIEW.
    virtual void OnFilePrint(bool direct);
    virtual void OnFilePrintPreview();

    bool OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) override;

protected:
    void OnPaint() override;
    int OnMouseActivate(Window* topLevel, UINT hitTest, UINT message) override;

private:
    Document* document_ = nullptr;
};

}  // namespace fw
