#include "framework/docview/View.h"

#include "framework/base/CommandIds.h"
#include "framework/docview/Document.h"
#include "framework/docview/FrameWnd.h"
#include "framework/drawing/PaintContext.h"
#include "framework/printing/PrinterSettings.h"

#include <QApplication>

namespace fw {

PrinterSettings& AppPrinterSettings() {
    static PrinterSettings settings;
    return settings;
}

View::View() {
    SetClassStyle(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
    MapCommand(ID_FILE_PRINT, [this] { OnFilePrint(false); });
    MapCommand(ID_FILE_PRINT_DIRECT, [this] { OnFilePrint(true); });
    MapCommand(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

View::~View() {
    if (document_)
        document_->RemoveView(this);
}

void View::SetDocument(Document* document) {
    if (document_ == document)
        return;
    if (document_)
        document_->RemoveView(this);
    document_ = document;
    if (document_)
        document_->AddView(this);
}

FrameWnd* View::GetParentFrame() const {
    for (Window* w = GetParentWindow(); w; w = w->GetParentWindow()) {
        if (auto* f = qobject_cast<FrameWnd*>(w))
            return f;
    }
    return nullptr;
}

void View::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}
void View::OnUpdate(View*, long, void*) {
    Invalidate(true);
}
void View::OnDraw(DeviceContext&) {}
void View::OnPrepareDC(DeviceContext&, PrintInfo*) {}
void View::OnActivateView(bool, View*, View*) {}

bool View::OnPreparePrinting(PrintInfo&) {
    return true;
}
PrinterSettings& View::GetPrinterSettings() {
    return AppPrinterSettings();
}

void View::OnFilePrint(bool direct) {
    PrintInfo info;
    info.directPrint = direct;
    if (!OnPreparePrinting(info))
        return;
    PrintOptions options;
    if (document_)
        options.documentName = document_->GetTitle();
    options.parent = window();
    PrintDocument(*this, GetPrinterSettings(), info, options);
}

void View::OnFilePrintPreview() {
    PrintInfo info;
    info.preview = true;
    if (!OnPreparePrinting(info))
        return;
    ShowPrintPreview(*this, GetPrinterSettings(), info, window());
}
void View::OnBeginPrinting(DeviceContext&, PrintInfo&) {}
void View::OnPrint(DeviceContext& dc, PrintInfo& info) {
    OnPrepareDC(dc, &info);
    OnDraw(dc);
}
void View::OnEndPrinting(DeviceContext&, PrintInfo&) {}

void View::OnPaint() {
    PaintContext dc(*this);
    OnPrepareDC(dc, nullptr);
    OnDraw(dc);
}

int View::OnMouseActivate(Window* topLevel, UINT hitTest, UINT message) {
    const int answer = Window::OnMouseActivate(topLevel, hitTest, message);
    if (answer == MA_NOACTIVATE || answer == 4)
        return answer;
    if (FrameWnd* frame = GetParentFrame()) {
        if (frame->GetActiveView() != this)
            frame->SetActiveView(this);
    }
    if (GetFocus() != this && !isAncestorOf(QApplication::focusWidget()))
        SetFocus();
    return answer;
}

bool View::OnCmdMsg(unsigned id, unsigned code, CmdAction action, CmdUI* ui) {
    if (HandleOwn(id, code, action, ui))
        return true;
    return document_ && document_->OnCmdMsg(id, code, action, ui);
}

}  // namespace fw
