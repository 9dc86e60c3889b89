#include "framework/printing/Printing.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fw {
namespace {

constexpr ColorRef kRed = Rgb(255, 0, 0);
constexpr ColorRef kBlue = Rgb(0, 0, 255);

// Pages with a header, a footer saying which page it is, and a coloured square at (100, 100).
class PagesView : public Printable {
public:
    explicit PagesView(unsigned pages) : pages_(pages) {}
    void OnBeginPrinting(DeviceContext&, PrintInfo& info) override { info.SetMaxPage(pages_); }
    void OnPrint(DeviceContext& dc, PrintInfo& info) override {
        printed.push_back(info.currentPage);
        std::string footer =
            "Page " + std::to_string(info.currentPage) + " of " + std::to_string(pages_);
        DrawHeaderFooter(dc, info.drawRect, "Ixo header", footer);
        dc.FillRect({100, 100, 200, 200}, Brush::Solid(info.currentPage % 2 ? kRed : kBlue));
        if (onPrint)
            onPrint(info);
    }
    void OnEndPrinting(DeviceContext&, PrintInfo&) override { ended = true; }

    std::vector<unsigned> printed;
    bool ended = false;
    std::function<void(PrintInfo&)> onPrint;

private:
    unsigned pages_;
};

class PrintingTest : public testing::Test {
protected:
    void TearDown() override { SetPrintDialogHook(nullptr); }

    void PdfPrinter(QPrinter& printer, const std::string& name) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((dir_ / name).string()));
        printer.setResolution(96);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }

    // Renders a PDF at 96 dots per inch; one image per page.
    std::vector<QImage> Render(const std::string& pdf) {
        QString out = QString::fromStdString((dir_ / "page").string());
        int rc = QProcess::execute(
            "pdftoppm", {"-r", "96", "-png", QString::fromStdString((dir_ / pdf).string()), out});
        EXPECT_EQ(rc, 0) << "pdftoppm failed";
        std::vector<QImage> pages;
        for (int i = 1; i <= 9; ++i) {
            QImage img(out + "-" + QString::number(i) + ".png");
            if (img.isNull())
                break;
            pages.push_back(img);
        }
        return pages;
    }

    std::string TextOfPage(const std::string& pdf, int page) {
        QProcess p;
        p.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page),
                              QString::fromStdString((dir_ / pdf).string()), "-"});
        p.waitForFinished(10000);
        return p.readAllStandardOutput().toStdString();
    }

    ixo::testsupport::TempDir dir_;
};

TEST_F(PrintingTest, TwoPagesPrintToPdf) {
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "two.pdf");
    QPoint origin = printer.pageRect(QPrinter::DevicePixel).toRect().topLeft();
    PagesView view(2);
    PrintInfo info;
    info.directPrint = true;
    PrintOptions options;
    options.documentName = "Two pages";
    ASSERT_TRUE(PrintPages(view, printer, info, options));
    EXPECT_EQ(view.printed, (std::vector<unsigned>{1, 2}));
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(info.drawRect, (Rect{0, 0, printer.width(), printer.height()}));

    std::vector<QImage> pages = Render("two.pdf");
    ASSERT_EQ(pages.size(), 2u);
    QPoint inside = origin + QPoint(150, 150), outside = origin + QPoint(250, 150);
    EXPECT_EQ(FromPixel(pages[0].pixel(inside)), kRed);
    EXPECT_EQ(FromPixel(pages[1].pixel(inside)), kBlue);
    EXPECT_EQ(FromPixel(pages[0].pixel(outside)), Rgb(255, 255, 255));
    std::string first = TextOfPage("two.pdf", 1), second = TextOfPage("two.pdf", 2);
    EXPECT_NE(first.find("Ixo header"), std::string::npos) << first;
    EXPECT_NE(first.find("Page 1 of 2"), std::string::npos) << first;
    EXPECT_NE(second.find("Page 2 of 2"), std::string::npos) << second;
}

TEST_F(PrintingTest, BlackAndWhitePrintsColoursAsGrey) {
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "grey.pdf");
    printer.setColorMode(QPrinter::GrayScale);
    QPoint inside = printer.pageRect(QPrinter::DevicePixel).toRect().topLeft() + QPoint(150, 150);
    PagesView view(1);
    PrintInfo info;
    ASSERT_TRUE(PrintPages(view, printer, info, PrintOptions{}));
    std::vector<QImage> pages = Render("grey.pdf");
    ASSERT_EQ(pages.size(), 1u);
    QColor c = pages[0].pixelColor(inside);
    EXPECT_EQ(c.red(), c.green());
    EXPECT_EQ(c.green(), c.blue());
    EXPECT_LT(c.red(), 200);
}

TEST_F(PrintingTest, CancelInTheAbortDialogStopsTheJob) {
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "abort.pdf");
    PagesView view(3);
    view.onPrint = [](PrintInfo&) {
        PrintAbortDialog* dialog = PrintAbortDialog::Current();
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    };
    PrintInfo info;
    EXPECT_FALSE(PrintPages(view, printer, info, PrintOptions{}));
    EXPECT_EQ(view.printed, (std::vector<unsigned>{1}));
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(PrintAbortDialog::Current(), nullptr);
}

TEST_F(PrintingTest, PreviewShowsEveryPage) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(96);
    PagesView view(2);
    QPrintPreviewWidget preview(&printer);
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                     [&view](QPrinter* p) { RenderPreview(view, *p, PrintInfo{}); });
    preview.updatePreview();
    EXPECT_EQ(preview.pageCount(), 2);
    EXPECT_EQ(view.printed, (std::vector<unsigned>{1, 2}));
}

TEST_F(PrintingTest, PreviewOpensOnThePageTheViewChose) {
    PagesView view(3);
    auto choose = [](DeviceContext&, PrintInfo& info) {
        info.SetMaxPage(3);
        if (info.preview)
            info.currentPage = 2;
    };
    struct ChoosingView : PagesView {
        using PagesView::PagesView;
        std::function<void(DeviceContext&, PrintInfo&)> begin;
        void OnBeginPrinting(DeviceContext& dc, PrintInfo& info) override { begin(dc, info); }
    } chooser(3);
    chooser.begin = choose;
    QPrinter printer(QPrinter::HighResolution);
    PdfPrinter(printer, "preview.pdf");
    EXPECT_EQ(RenderPreview(chooser, printer, PrintInfo{}), 2u);
    EXPECT_EQ(chooser.printed, (std::vector<unsigned>{1, 2, 3}));
    EXPECT_EQ(RenderPreview(view, printer, PrintInfo{}), 1u) << "by default the first page";

    // The dialog sets its page once the preview has laid the pages out; the check runs after.
    int shown = 0;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            EXPECT_NE(dialog, nullptr);
            if (!dialog) {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (qobject_cast<QDialog*>(w))
                        w->close();
                return;
            }
            if (auto* w = dialog->findChild<QPrintPreviewWidget*>())
                shown = w->currentPage();
            dialog->close();
        });
    });
    ShowPrintPreview(chooser, PrinterSettings{}, PrintInfo{});
    EXPECT_EQ(shown, 2);
}

TEST_F(PrintingTest, DocumentKeepsThePrinterChosenInTheDialog) {
    PrinterSettings settings;
    PagesView view(3);
    std::string file = (dir_ / "chosen.pdf").string();
    SetPrintDialogHook([&](QPrinter& printer, PrintInfo& info, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file));
        printer.setResolution(96);
        info.fromPage = info.toPage = 2;
        return true;
    });
    PrintInfo info;
    ASSERT_TRUE(PrintDocument(view, settings, info, PrintOptions{}));
    EXPECT_EQ(view.printed, (std::vector<unsigned>{2}));
    EXPECT_EQ(settings.OutputFileName(), file);
    ASSERT_EQ(Render("chosen.pdf").size(), 1u);

    // Cancelling the dialog prints nothing and keeps the document's printer.
    PrinterSettings before = settings;
    SetPrintDialogHook([](QPrinter& printer, PrintInfo&, QWidget*) {
        printer.setOutputFileName("/nowhere.pdf");
        return false;
    });
    PrintInfo again;
    EXPECT_FALSE(PrintDocument(view, settings, again, PrintOptions{}));
    EXPECT_EQ(settings, before);
}

TEST(PrinterSettings, BlocksHoldThePrinterAndItsSettings) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/tmp/x.pdf");
    printer.setPageSize(QPageSize(QPageSize::A5));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setColorMode(QPrinter::GrayScale);
    printer.setCopyCount(2);
    printer.setResolution(300);
    printer.setCollateCopies(false);
    printer.setDuplex(QPrinter::DuplexNone);
    PrinterSettings s = PrinterSettings::FromPrinter(printer);

    const std::vector<std::uint8_t> names = {'i', 'x', 'o', 0,   0,   '/', 't', 'm',
                                             'p', '/', 'x', '.', 'p', 'd', 'f', 0};
    EXPECT_EQ(s.NamesBlock(), names);
    // clang-format off
    const std::vector<std::uint8_t> mode = {
        28, 0, 1, 0,              // size, version
        2, 1, 2, 0,               // landscape, black and white, 2 copies
        0xC8, 0x05, 0, 0,         // 148.0 mm
        0x34, 0x08, 0, 0,         // 210.0 mm
        0x2C, 0x01, 0, 0,         // 300 dpi, no duplex, no collation
        1, 0,                     // to a PDF file
        static_cast<std::uint8_t>(QPageSize::A5), 0, 0, 0, 0, 0};
    // clang-format on
    EXPECT_EQ(s.ModeBlock(), mode);

    auto back = PrinterSettings::FromBlocks(names, mode);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, s);
    QPrinter other(QPrinter::HighResolution);
    back->ApplyTo(other);
    EXPECT_EQ(PrinterSettings::FromPrinter(other), s);
    PrinterSettings copy = s;
    copy.ApplyTo(other);
    other.setCopyCount(3);
    EXPECT_NE(PrinterSettings::FromPrinter(other), s);

    auto empty = PrinterSettings::FromBlocks({}, {});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_NE(*empty, s);

    auto broken = [&](auto change) {
        std::vector<std::uint8_t> n = names, m = mode;
        change(n, m);
        return !PrinterSettings::FromBlocks(n, m);
    };
    EXPECT_TRUE(broken([](auto&, auto& m) { m.pop_back(); }));
    EXPECT_TRUE(broken([](auto&, auto& m) { m[2] = 2; }));         // unknown version
    EXPECT_TRUE(broken([](auto&, auto& m) { m[4] = 3; }));         // no such orientation
    EXPECT_TRUE(broken([](auto&, auto& m) { m[8] = m[9] = 0; }));  // no paper
    EXPECT_TRUE(broken([](auto& n, auto&) { n.pop_back(); }));     // last text not ended
    EXPECT_TRUE(broken([](auto& n, auto&) { n.push_back(0); }));   // four texts
    EXPECT_TRUE(broken([](auto&, auto& m) { m.clear(); }));
}

}  // namespace
}  // namespace fw
