// Printing and print preview of a view.
//
// A printable view implements Printable. PrintDocument runs the whole job: the printer kept
// with the document is set up, the print dialog asked (unless printing directly), then pages
// are printed one by one into a printer device context:
//
//   StartDoc, OnBeginPrinting
//   for each page from the first asked for: OnPrepareDC (the view may stop by clearing
//   continuePrinting), StartPage, OnPrint, EndPage
//   OnEndPrinting, EndDoc
//
// While it prints, an abort dialog ("Printing" with a Cancel button) is shown; Cancel ends
// the job after the page being printed (the document is then discarded). Print preview runs
// the same steps on the preview's pages.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/printing/PrinterSettings.h"

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QPrinter;
class QPushButton;
class QWidget;

namespace fw {

struct PrintInfo {
    static constexpr unsigned kUnknownPages = 0xFFFF;

    bool preview = false;
    bool directPrint = false;      // no print dialog
    bool printSelection = false;   // the dialog's "selection" choice
    bool continuePrinting = true;  // cleared by the view when there are no more pages
    unsigned minPage = 1;
    unsigned maxPage = kUnknownPages;  // set by the view when it knows (SetMaxPage)
    unsigned fromPage = 1;             // the range asked for
    unsigned toPage = kUnknownPages;
    unsigned currentPage = 1;          // in preview, OnBeginPrinting may set the page shown first
    Rect drawRect;                     // the printable area of the page, in logical units
    std::string pageDesc = "Page %u";  // the text shown for a page in the abort dialog

    void SetMaxPage(unsigned n) {
        maxPage = n;
        if (toPage > n)
            toPage = n;
    }
};

class Printable {
public:
    virtual ~Printable() = default;
    // Before anything is printed; may set the page count (SetMaxPage).
    virtual void OnBeginPrinting(DeviceContext& dc, PrintInfo& info) { (void)dc, (void)info; }
    // Before each page (also used for the screen with info null).
    virtual void OnPrepareDC(DeviceContext& dc, PrintInfo* info) { (void)dc, (void)info; }
    // Prints the page info.currentPage into info.drawRect.
    virtual void OnPrint(DeviceContext& dc, PrintInfo& info) = 0;
    virtual void OnEndPrinting(DeviceContext& dc, PrintInfo& info) { (void)dc, (void)info; }
};

// The dialog shown while a job prints.
class PrintAbortDialog : public QDialog {
public:
    PrintAbortDialog(std::string_view documentName, QWidget* parent = nullptr);
    void SetPage(unsigned page, std::string_view pageDesc);
    bool Cancelled() const { return cancelled_; }
    QPushButton* CancelButton() const { return cancel_; }
    // The abort dialog of the job running now, or null.
    static PrintAbortDialog* Current();

private:
    QLabel* page_;
    QPushButton* cancel_;
    bool cancelled_ = false;
};

struct PrintOptions {
    std::string documentName = "Untitled";
    QWidget* parent = nullptr;
    bool showAbortDialog = true;
};

// Prints the pages into a printer that is set up. True when every page was printed.
bool PrintPages(Printable& view, QPrinter& printer, PrintInfo& info, const PrintOptions& options);

// The print dialog: true on OK, with the printer and the range in info set from it. Tests and
// programs that bring their own dialog replace it with SetPrintDialogHook.
using PrintDialogHook = std::function<bool(QPrinter&, PrintInfo&, QWidget*)>;
bool RunPrintDialog(QPrinter& printer, PrintInfo& info, QWidget* parent);
void SetPrintDialogHook(PrintDialogHook hook);

// The whole job: the document's printer (empty: the default printer, updated with the one the
// dialog chose), the dialog unless info.directPrint, then the pages.
bool PrintDocument(Printable& view, PrinterSettings& settings, PrintInfo& info,
                   const PrintOptions& options);

// Renders the pages for a print preview (the slot of QPrintPreviewWidget::paintRequested);
// returns the page to show first (the current page as OnBeginPrinting left it).
unsigned RenderPreview(Printable& view, QPrinter& printer, PrintInfo info);
// A modal print preview of the view on the document's printer, opened on the page the view
// chose.
void ShowPrintPreview(Printable& view, const PrinterSettings& settings, const PrintInfo& info,
                      QWidget* parent = nullptr);

// Draws a header line centred at the top of the page area and a footer line centred at its
// bottom, in the selected font; returns the area left between them. Empty lines take no room.
Rect DrawHeaderFooter(DeviceContext& dc, const Rect& page, std::string_view header,
                      std::string_view footer);

}  // namespace fw
