// A view: the window that shows a document inside a frame. It draws in OnDraw (the same code
// paints the screen and, through the printing hooks, the printer), learns of changes in
// OnUpdate, and routes commands it does not handle to its document.
#pragma once

#include "framework/Window.h"

namespace fw {

class DeviceContext;
class Document;
class FrameWnd;
struct PrintInfo;

class View : public Window {
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
    virtual void OnPrepareDC(DeviceContext& dc, PrintInfo* info);
    virtual void OnActivateView(bool activate, View* activated, View* deactivated);

    // Printing hooks, called by the framework's printing.
    virtual bool OnPreparePrinting(PrintInfo& info);
    virtual void OnBeginPrinting(DeviceContext& dc, PrintInfo& info);
    virtual void OnPrint(DeviceContext& dc, PrintInfo& info);
    virtual void OnEndPrinting(DeviceContext& dc, PrintInfo& info);

    bool OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) override;

protected:
    void OnPaint() override;
    int OnMouseActivate(Window* topLevel, UINT hitTest, UINT message) override;

private:
    Document* document_ = nullptr;
};

}  // namespace fw
