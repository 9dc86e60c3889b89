#include "framework/printing/Printing.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace fw {

// ---------------------------------------------------------------- abort dialog

namespace {
PrintAbortDialog* g_currentAbort = nullptr;
PrintDialogHook g_dialogHook;

// The page description with its first "%u" (or "%d") replaced by the page number.
std::string PageText(unsigned page, std::string_view desc) {
    std::string out(desc);
    std::size_t at = out.find("%u");
    if (at == std::string::npos)
        at = out.find("%d");
    if (at != std::string::npos)
        out.replace(at, 2, std::to_string(page));
    return out;
}
}  // namespace

PrintAbortDialog::PrintAbortDialog(std::string_view documentName, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Printing"));
    auto* layout = new QVBoxLayout(this);  // owned by the dialog, as Qt parents own children
    layout->addWidget(new QLabel(
        QString::fromUtf8(documentName.data(), static_cast<qsizetype>(documentName.size()))));
    page_ = new QLabel(this);
    layout->addWidget(page_);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    layout->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
}

void PrintAbortDialog::SetPage(unsigned page, std::string_view pageDesc) {
    page_->setText(QString::fromStdString(PageText(page, pageDesc)));
}

PrintAbortDialog* PrintAbortDialog::Current() {
    return g_currentAbort;
}

// ---------------------------------------------------------------- the job

namespace {

// Shows the abort dialog for the length of a job and keeps the window it prints for disabled.
class AbortScope {
public:
    AbortScope(const PrintOptions& options, bool show) : parent_(options.parent) {
        if (!show)
            return;
        dialog_ = std::make_unique<PrintAbortDialog>(options.documentName, options.parent);
        dialog_->show();
        if (parent_)
            parent_->setEnabled(false);
        g_currentAbort = dialog_.get();
    }
    ~AbortScope() {
        if (!dialog_)
            return;
        g_currentAbort = nullptr;
        if (parent_)
            parent_->setEnabled(true);
    }
    // Lets the dialog see its Cancel button; true when the user cancelled.
    bool Poll(unsigned page, std::string_view desc) {
        if (!dialog_)
            return false;
        dialog_->SetPage(page, desc);
        QCoreApplication::processEvents();
        return dialog_->Cancelled();
    }

private:
    QWidget* parent_;
    std::unique_ptr<PrintAbortDialog> dialog_;
};

}  // namespace

bool PrintPages(Printable& view, QPrinter& printer, PrintInfo& info, const PrintOptions& options) {
    DeviceContext dc(&printer);
    if (dc.StartDoc(options.documentName) <= 0)
        return false;
    AbortScope abort(options, options.showAbortDialog && !info.preview);
    view.OnBeginPrinting(dc, info);
    const unsigned chosenPage = info.currentPage;
    unsigned last = std::min(info.toPage, info.maxPage);
    bool completed = true;
    for (unsigned page = std::max(info.fromPage, info.minPage); page <= last; ++page) {
        info.currentPage = page;
        view.OnPrepareDC(dc, &info);
        if (!info.continuePrinting)
            break;
        if (abort.Poll(page, info.pageDesc)) {
            completed = false;
            break;
        }
        dc.StartPage();
        info.drawRect = dc.DPtoLP(Rect{0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES)});
        info.drawRect.Normalize();
        view.OnPrint(dc, info);
        dc.EndPage();
        if (page == PrintInfo::kUnknownPages)
            break;
    }
    if (completed && abort.Poll(info.currentPage, info.pageDesc))
        completed = false;
    view.OnEndPrinting(dc, info);
    if (info.preview)
        info.currentPage = chosenPage;
    if (!completed) {
        dc.AbortDoc();
        return false;
    }
    return dc.EndDoc() > 0;
}

bool RunPrintDialog(QPrinter& printer, PrintInfo& info, QWidget* parent) {
    if (g_dialogHook)
        return g_dialogHook(printer, info, parent);
    QPrintDialog dialog(&printer, parent);
    if (info.maxPage != PrintInfo::kUnknownPages)
        dialog.setMinMax(static_cast<int>(info.minPage), static_cast<int>(info.maxPage));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    info.printSelection = printer.printRange() == QPrinter::Selection;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        info.fromPage = static_cast<unsigned>(printer.fromPage());
        info.toPage = static_cast<unsigned>(std::max(printer.fromPage(), printer.toPage()));
    }
    return true;
}

void SetPrintDialogHook(PrintDialogHook hook) {
    g_dialogHook = std::move(hook);
}

bool PrintDocument(Printable& view, PrinterSettings& settings, PrintInfo& info,
                   const PrintOptions& options) {
    QPrinter printer(QPrinter::HighResolution);
    settings.ApplyTo(printer);
    if (!info.directPrint) {
        if (!RunPrintDialog(printer, info, options.parent))
            return false;
        PrinterSettings chosen = PrinterSettings::FromPrinter(printer);
        if (chosen != settings)
            settings = chosen;
    }
    return PrintPages(view, printer, info, options);
}

unsigned RenderPreview(Printable& view, QPrinter& printer, PrintInfo info) {
    info.preview = true;
    PrintOptions options;
    options.showAbortDialog = false;
    PrintPages(view, printer, info, options);
    return info.currentPage;
}

void ShowPrintPreview(Printable& view, const PrinterSettings& settings, const PrintInfo& info,
                      QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    settings.ApplyTo(printer);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&view, &info, &dialog](QPrinter* p) {
                         const unsigned page = RenderPreview(view, *p, info);
                         // The preview lays its pages out after this slot returns.
                         QTimer::singleShot(0, &dialog, [&dialog, page] {
                             if (auto* w = dialog.findChild<QPrintPreviewWidget*>())
                                 w->setCurrentPage(static_cast<int>(page));
                         });
                     });
    dialog.exec();
}

Rect DrawHeaderFooter(DeviceContext& dc, const Rect& page, std::string_view header,
                      std::string_view footer) {
    const int line = dc.GetTextMetrics().height;
    Rect rest = page;
    if (!header.empty()) {
        Rect r{page.left, page.top, page.right, page.top + line};
        dc.DrawText(header, r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        rest.top += line + line / 2;
    }
    if (!footer.empty()) {
        Rect r{page.left, page.bottom - line, page.right, page.bottom};
        dc.DrawText(footer, r, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
        rest.bottom -= line + line / 2;
    }
    return rest;
}

}  // namespace fw
