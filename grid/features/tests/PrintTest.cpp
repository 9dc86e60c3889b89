// Printing a grid: pagination by the page's edges, the page order, the header and footer tokens,
// a whole grid printed to PDF (pages and texts checked with poppler's tools, pages rendered to
// PNG) and the print preview.
#include "FeatureFixture.h"

#include "framework/base/CommandIds.h"
#include "framework/docview/Document.h"
#include "framework/docview/FrameWnd.h"
#include "framework/docview/View.h"
#include "framework/printing/PrinterSettings.h"
#include "framework/printing/Printing.h"
#include "grid/core/CGXData.h"
#include "grid/core/CGXGridView.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/CGXProperties.h"
#include "grid/features/CGXGridPrintImp.h"

#include <QPrintPreviewWidget>
#include <QPrinter>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The grid as the framework's printing sees a view.
struct GridPrintable : fw::Printable {
    explicit GridPrintable(CGXGridCore& g) : grid(g) {}
    void OnBeginPrinting(fw::DeviceContext& dc, fw::PrintInfo& info) override {
        began = grid.OnGridBeginPrinting(&dc, &info);
    }
    void OnPrepareDC(fw::DeviceContext& dc, fw::PrintInfo* info) override {
        grid.OnGridPrepareDC(&dc, info != nullptr);
    }
    void OnPrint(fw::DeviceContext& dc, fw::PrintInfo& info) override {
        grid.OnGridPrint(&dc, &info);
        printedTopLeft.emplace_back(grid.GetTopRow(), grid.GetLeftCol());
    }
    void OnEndPrinting(fw::DeviceContext& dc, fw::PrintInfo& info) override {
        grid.OnGridEndPrinting(&dc, &info);
    }
    CGXGridCore& grid;
    bool began = false;
    std::vector<std::pair<ROWCOL, ROWCOL>> printedTopLeft;
};

// US Letter at 300 dots per inch without paper margins: the page is 816 x 1056 of the grid's
// units (96 per inch); less the default margins (1 inch at the sides, 1.5 at top and bottom)
// 624 x 768 remain for the cells.
void SetUpPrinter(QPrinter& printer, const std::string& pdf = {}) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setOutputFileName(QString::fromStdString(
        pdf.empty() ? std::string(GRID_FEATURES_BUILD_DIR "/print-scratch.pdf") : pdf));
}

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

class PrintTest : public FeatureFixture {
protected:
    // Row 0 20 high, column 0 40 wide; the others 25 and 100.
    void Layout(ROWCOL rows, ROWCOL cols, int colWidth = 100, int rowHeight = 25) {
        Core().SetRowCount(rows, 0);
        Core().SetColCount(cols, 0);
        Core().SetRowHeight(0, 0, 20, nullptr, 0);
        Core().SetColWidth(0, 0, 40, nullptr, 0);
        if (rows)
            Core().SetRowHeight(1, rows, rowHeight, nullptr, 0);
        if (cols)
            Core().SetColWidth(1, cols, colWidth, nullptr, 0);
    }
    // Paginates on the test printer and ends printing again.
    fw::PrintInfo Paginate(bool selection = false) {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPrinter(printer);
        fw::DeviceContext dc(&printer);
        fw::PrintInfo info;
        info.printSelection = selection;
        EXPECT_TRUE(Core().OnGridBeginPrinting(&dc, &info));
        Core().OnGridEndPrinting(&dc, &info);
        return info;
    }
    static std::vector<ROWCOL> Breaks(std::initializer_list<ROWCOL> b) { return b; }
};

TEST_F(PrintTest, PagesBreakAtThePageEdgesEachPageHoldingAtLeastOneRowOrColumn) {
    struct Case {
        const char* name;
        ROWCOL rows, cols;
        int colWidth, rowHeight;
        ROWCOL frozenRows;
        std::vector<ROWCOL> colBreaks, rowBreaks;
    };
    const Case cases[] = {
        // 40 + 5 x 100 fit into 624, the sixth column lies under the edge; 20 + 29 x 25 into 768.
        {"200x30",
         200,
         30,
         100,
         25,
         0,
         {1, 6, 11, 16, 21, 26, 31},
         {1, 30, 59, 88, 117, 146, 175, 201}},
        {"fits on one page", 5, 3, 100, 25, 0, {1, 4}, {1, 6}},
        {"columns wider than the page", 3, 3, 2000, 25, 0, {1, 2, 3, 4}, {1, 4}},
        {"an empty table prints its headers", 0, 0, 100, 25, 0, {1, 1}, {1, 1}},
        // Two frozen rows repeat on every page: 20 + 2 x 25 + 28 x 25 = 770 passes the edge.
        {"frozen rows", 100, 2, 100, 25, 2, {1, 3}, {3, 30, 57, 84, 101}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout(c.rows, c.cols, c.colWidth, c.rowHeight);
        Core().SetFrozenRows(c.frozenRows, 0, 0);
        const fw::PrintInfo info = Paginate();
        EXPECT_EQ(Core().m_awColBreaks, c.colBreaks);
        EXPECT_EQ(Core().m_awRowBreaks, c.rowBreaks);
        const unsigned pages = (c.colBreaks.size() - 1) * (c.rowBreaks.size() - 1);
        EXPECT_EQ(info.maxPage, pages);
        EXPECT_EQ(info.pageDesc, "Page %u / " + std::to_string(pages));
        const CGXProperties& props = *Core().GetProperties();
        EXPECT_EQ(props.m_awColBreaks,
                  std::vector<std::uint32_t>(c.colBreaks.begin(), c.colBreaks.end()));
        EXPECT_FALSE(Core().IsPrinting());
    }
}

TEST_F(PrintTest, TheSelectionPrintsTheLastSelectedRangeAndWithoutOneWhatTheScreenShows) {
    Layout(200, 30);
    Param().m_SelRects.AddTail(CGXRange(2, 2, 3, 3));
    Param().m_SelRects.AddTail(CGXRange(40, 12, 100, 14));
    Paginate(true);
    EXPECT_EQ(Core().m_awColBreaks, Breaks({12, 15}));
    EXPECT_EQ(Core().m_awRowBreaks, Breaks({40, 69, 98, 101}));

    // The screen shows rows from 50 and columns from 7: one page of what fits on it.
    Param().m_SelRects.DeleteAll();
    Core().SetTopRow(50, 0);
    Core().SetLeftCol(7, 0);
    const fw::PrintInfo info = Paginate(true);
    EXPECT_EQ(Core().m_awColBreaks, Breaks({7, 12}));
    EXPECT_EQ(Core().m_awRowBreaks, Breaks({50, 79}));
    EXPECT_EQ(info.maxPage, 1u);
    EXPECT_EQ(Core().GetTopRow(), 50u) << "the screen keeps its own top row";
}

TEST_F(PrintTest, PageNumbersMapToPageRowsAndColumnsByThePageOrder) {
    // 2 page columns (columns 1-5, 6-7) by 3 page rows (1-29, 30-58, 59-70).
    Layout(70, 7);
    struct Case {
        int order;
        unsigned page;
        ROWCOL top, left;
    };
    const Case cases[] = {
        {1, 4, 1, 6},   // down first: page 4 is page row 0 of page column 1
        {1, 3, 59, 1},  // page row 2 of page column 0
        {0, 4, 30, 6},  // across first: page 4 is page row 1, page column 1
        {0, 2, 1, 6},  {0, 6, 59, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "order " << c.order << " page " << c.page);
        Core().GetProperties()->m_nPageOrder = c.order;
        QPrinter printer(QPrinter::HighResolution);
        SetUpPrinter(printer);
        fw::DeviceContext dc(&printer);
        dc.StartDoc("grid");
        fw::PrintInfo info;
        ASSERT_TRUE(Core().OnGridBeginPrinting(&dc, &info));
        ASSERT_EQ(info.maxPage, 6u);
        info.currentPage = c.page;
        dc.StartPage();
        Core().OnGridPrint(&dc, &info);
        EXPECT_EQ(Core().GetTopRow(), c.top);
        EXPECT_EQ(Core().GetLeftCol(), c.left);
        EXPECT_EQ(info.continuePrinting, c.page != 6);
        dc.EndPage();
        Core().OnGridEndPrinting(&dc, &info);
        dc.EndDoc();
    }
}

TEST_F(PrintTest, RowsAddedAfterPaginationGetPagesOfTheirOwn) {
    Layout(20, 3);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    fw::DeviceContext dc(&printer);
    dc.StartDoc("grid");
    fw::PrintInfo info;
    ASSERT_TRUE(Core().OnGridBeginPrinting(&dc, &info));
    EXPECT_EQ(info.maxPage, 1u);
    Core().SetRowCount(60, 0);
    Core().SetRowHeight(21, 60, 25, nullptr, 0);
    dc.StartPage();
    Core().OnGridPrint(&dc, &info);
    dc.EndPage();
    EXPECT_EQ(Core().m_awRowBreaks, Breaks({1, 30, 59, 61}));
    EXPECT_EQ(info.maxPage, 3u);
    EXPECT_TRUE(info.continuePrinting);
    Core().OnGridEndPrinting(&dc, &info);
    dc.EndDoc();
}

TEST_F(PrintTest, TokensAreReplacedWithoutRegardToCase) {
    auto* imp = dynamic_cast<CGXGridPrintImp*>(Core().GetPrintImp());
    ASSERT_NE(imp, nullptr);
    CGXProperties& props = *Core().GetProperties();
    for (const auto& [index, value] : {std::pair{GX_TOKEN_FILE, "doc"},
                                       {GX_TOKEN_APP, "app"},
                                       {GX_TOKEN_PAGE, "3"},
                                       {GX_TOKEN_PAGES, "42"},
                                       {GX_TOKEN_REGISTER, "sheet"}})
        props.SetTokenValue(index, value);
    char year[8];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(year, sizeof year, "%Y", &local);
    struct Case {
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        {"$P/$N", "3/42"},
        {"$p of $n in $f by $a ($r)", "3 of 42 in doc by app (sheet)"},
        {"Year $D{%Y}!", std::string("Year ") + year + "!"},
        {"$X costs $5", "$X costs $5"},
        {"$$P", "$3"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(imp->SubstTokenText(&Core(), c.text), c.expected) << c.text;

    // Without its closing brace the argument is no argument: the date in its "%c" form, then
    // the text as it stands.
    const std::string unclosed = imp->SubstTokenText(&Core(), "$D{%Y");
    ASSERT_GT(unclosed.size(), 3u);
    EXPECT_EQ(unclosed.substr(unclosed.size() - 3), "{%Y");
    EXPECT_NE(unclosed.find(year), std::string::npos);
    std::string rest = "{abc";
    EXPECT_EQ(imp->GetTokenArg(&Core(), rest), "");
    EXPECT_EQ(rest, "{abc");
}

TEST_F(PrintTest, HeaderAndFooterNumberPagesFromTheFirstPageNumber) {
    Layout(5, 3);
    CGXProperties& props = *Core().GetProperties();
    auto* imp = dynamic_cast<CGXGridPrintImp*>(Core().GetPrintImp());
    ASSERT_NE(imp, nullptr);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    fw::DeviceContext dc(&printer);
    dc.StartDoc("grid");
    dc.StartPage();
    Core().OnGridPrepareDC(&dc, true);
    struct Case {
        int firstPage;
        unsigned minPage, currentPage;
        const char* expected;
    };
    for (const Case& c : {Case{-1, 3, 3, "3"}, Case{1, 3, 3, "1"}, Case{10, 1, 2, "11"}}) {
        props.m_nFirstPage = c.firstPage;
        fw::PrintInfo info;
        info.minPage = c.minPage;
        info.currentPage = c.currentPage;
        info.maxPage = 7;
        info.drawRect = {96, 144, 720, 912};
        imp->PrintHeaderAndFooter(&Core(), &dc, &info, nullptr, &Param());
        EXPECT_EQ(imp->SubstTokenText(&Core(), "$P/$N"), std::string(c.expected) + "/7");
    }
    dc.EndPage();
    dc.EndDoc();
}

TEST_F(PrintTest, HeaderOrFooterHeightIsTheTallestColumnOfLines) {
    CGXData block;
    block.SetColCount(3);
    block.SetRowCount(10);
    auto put = [&](ROWCOL r, ROWCOL c, const char* text) {
        CGXStyle s;
        s.SetValue(std::string_view(text));
        block.StoreStyleAt(r, c, &s, gxCopy, 0);
    };
    auto* imp = dynamic_cast<CGXGridPrintImp*>(Core().GetPrintImp());
    ASSERT_NE(imp, nullptr);
    QImage image(10, 10, QImage::Format_RGB32);
    fw::DeviceContext dc(&image);
    EXPECT_EQ(imp->CalcHeaderFooterHeight(&Core(), &dc, block), 0);
    put(1, 1, "left");
    put(1, 3, "right one");
    put(2, 3, "right two");
    put(4, 3, "right three");  // an empty line between takes no room
    const CGXStyle& standard = Core().GetStandardStyle();
    Core().SelectZoomedFont(&dc, standard.GetFont());
    const int line = dc.GetTextExtent("X").cy;
    EXPECT_EQ(imp->CalcHeaderFooterHeight(&Core(), &dc, block), 3 * line);
}

// The whole grid on paper: headers, borders and covered cells, 42 pages.
TEST_F(PrintTest, AGridOfTwoHundredRowsAndThirtyColumnsPrintsToPdf) {
    Layout(200, 30);
    for (ROWCOL r = 1; r <= 200; ++r)
        for (ROWCOL c = 1; c <= 30; ++c)
            Set(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
    CGXStyle boxed;
    boxed.SetBorders(gxBorderAll, CGXPen().SetStyle(fw::PS_SOLID).SetWidth(2).SetColor(0xFF0000));
    Core().SetStyleRange(CGXRange(3, 2, 6, 4), &boxed, gxOverride, 0, nullptr, 0);
    Core().SetCoveredCellsRowCol(10, 2, 12, 3, 0);
    Set(10, 2, "covering r10c2");
    CGXStyle title;
    title.SetValue(std::string_view("Nodes $P of $N"));
    Core().GetProperties()->m_pHeader->SetColCount(3);
    Core().GetProperties()->m_pHeader->SetRowCount(10);
    Core().GetProperties()->m_pHeader->StoreStyleAt(1, 2, &title, gxCopy, 0);

    const std::string pdf = GRID_FEATURES_BUILD_DIR "/print-200x30.pdf";
    std::filesystem::remove(pdf);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, pdf);
    GridPrintable view(Core());
    fw::PrintInfo info;
    fw::PrintOptions options;
    options.showAbortDialog = false;
    ASSERT_TRUE(fw::PrintPages(view, printer, info, options));
    EXPECT_TRUE(view.began);
    ASSERT_EQ(view.printedTopLeft.size(), 42u);
    // Across first: pages 1-6 hold rows from 1, page 7 starts the second page row.
    EXPECT_EQ(view.printedTopLeft[0], std::make_pair(ROWCOL{1}, ROWCOL{1}));
    EXPECT_EQ(view.printedTopLeft[5], std::make_pair(ROWCOL{1}, ROWCOL{26}));
    EXPECT_EQ(view.printedTopLeft[6], std::make_pair(ROWCOL{30}, ROWCOL{1}));
    EXPECT_EQ(view.printedTopLeft[41], std::make_pair(ROWCOL{175}, ROWCOL{26}));

    if (Shell("command -v pdfinfo").empty())
        GTEST_SKIP() << "poppler-utils are not installed";
    EXPECT_NE(Shell("pdfinfo '" + pdf + "'").find("Pages:           42"), std::string::npos);
    // Page 1: the header line, the column headers A-E, then rows 1-29 with columns 1-5.
    const std::string page1 = Shell("pdftotext -layout -f 1 -l 1 '" + pdf + "' -");
    EXPECT_NE(page1.find("Nodes 1 of 42"), std::string::npos);
    std::size_t at = 0;
    for (const std::string& want :
         {std::string("A"), std::string("E"), std::string("r1c1"), std::string("r1c5"),
          std::string("r2c1"), std::string("covering r10c2"), std::string("r29c5")}) {
        const std::size_t found = page1.find(want, at);
        ASSERT_NE(found, std::string::npos) << want << " after offset " << at;
        at = found + want.size();
    }
    EXPECT_EQ(page1.find("r30c1"), std::string::npos);
    EXPECT_EQ(page1.find("r1c6"), std::string::npos);
    // The last page: rows 175-200 of columns 26-30 (Z to AD).
    const std::string last = Shell("pdftotext -layout -f 42 -l 42 '" + pdf + "' -");
    EXPECT_NE(last.find("Nodes 42 of 42"), std::string::npos);
    EXPECT_NE(last.find("AD"), std::string::npos);
    EXPECT_LT(last.find("r175c26"), last.find("r200c30"));
    EXPECT_EQ(last.find("r174c26"), std::string::npos);
    // Pages for a look: the first and the last.
    Shell("pdftoppm -png -r 60 -f 1 -l 1 '" + pdf + "' " GRID_FEATURES_BUILD_DIR "/print-page");
    Shell("pdftoppm -png -r 60 -f 42 -l 42 '" + pdf + "' " GRID_FEATURES_BUILD_DIR "/print-page");
}

TEST_F(PrintTest, PrintPreviewOpensOnTheScreensPageAndPages) {
    Layout(200, 30);
    Fill(1, 1, 200, 30);
    Core().SetTopRow(40, 0);
    Core().SetLeftCol(8, 0);
    GridPrintable view(Core());
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer);
    QPrintPreviewWidget preview(&printer);
    unsigned chosen = 0;
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested, &preview,
                     [&](QPrinter* p) { chosen = fw::RenderPreview(view, *p, fw::PrintInfo{}); });
    preview.resize(600, 800);
    preview.show();
    preview.updatePreview();
    EXPECT_EQ(preview.pageCount(), 42);
    // The screen's top-left cell (row 40, column 8) lies on page row 1, page column 1.
    EXPECT_EQ(chosen, 8u);
    preview.setCurrentPage(static_cast<int>(chosen));
    EXPECT_EQ(preview.currentPage(), 8);
    preview.grab().save(GRID_FEATURES_BUILD_DIR "/print-preview.png");
    EXPECT_FALSE(Core().IsPrinting());
    EXPECT_EQ(Core().GetTopRow(), 40u);
}

// A grid view prints through its grid, on the printer its parameter object keeps, with its
// document's title for "$F".
TEST(PrintViewTest, AGridViewPrintsOnItsParameterObjectsPrinterWithItsDocumentsTitle) {
    GXTerminateLibrary();
    GXInitWithFeatures();
    fw::Document doc;
    doc.SetTitle("Nodes.wov");
    auto frame = std::make_unique<fw::FrameWnd>();
    ASSERT_TRUE(frame->LoadFrame("Grid", fw::WS_OVERLAPPEDWINDOW));
    auto* view = static_cast<CGXGridView*>(frame->SetView(std::make_unique<CGXGridView>()));
    view->SetDocument(&doc);
    frame->InitialUpdateFrame(&doc, true);
    ASSERT_NE(view->GetPrintDevice(), nullptr);
    EXPECT_EQ(view->GetPrintDevice(), view->GetParam()->GetPrintDevice());
    SetTestStandardFont(*view);
    view->SetRowCount(3, 0);
    view->SetColCount(2, 0);
    view->SetValueRange(CGXRange(2, 2), std::string("gateway"), gxOverride, 0);
    CGXData& header = *view->GetProperties()->m_pHeader;
    header.SetColCount(3);
    header.SetRowCount(10);
    CGXStyle title;
    title.SetValue(std::string_view("$F"));
    header.StoreStyleAt(1, 1, &title, gxCopy, 0);

    fw::PrintInfo info;
    ASSERT_TRUE(view->OnPreparePrinting(info));
    EXPECT_FALSE(view->GetPrintDevice()->CompareBlocks({}, {})) << "the device took a printer";
    const std::string pdf = GRID_FEATURES_BUILD_DIR "/print-view.pdf";
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, pdf);
    fw::PrintOptions options;
    options.showAbortDialog = false;
    ASSERT_TRUE(fw::PrintPages(*view, printer, info, options));
    EXPECT_EQ(info.maxPage, 1u);
    EXPECT_FALSE(view->IsPrinting());
    if (!Shell("command -v pdftotext").empty()) {
        const std::string text = Shell("pdftotext -layout '" + pdf + "' -");
        EXPECT_NE(text.find("Nodes.wov"), std::string::npos) << text;
        EXPECT_NE(text.find("gateway"), std::string::npos) << text;
    }

    // Print setup and the print command's dialog leave their printer with the view's device.
    QPageLayout::Orientation pick = QPageLayout::Landscape;
    fw::SetPrintDialogHook([&](QPrinter& p, fw::PrintInfo&, QWidget*) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf));
        p.setPageOrientation(pick);
        return true;
    });
    auto deviceOrientation = [&] {
        std::vector<std::uint8_t> names, mode;
        view->GetPrintDevice()->GetDeviceBlocks(names, mode);
        QPrinter q;
        fw::PrinterSettings::FromBlocks(names, mode).value_or(fw::PrinterSettings()).ApplyTo(q);
        return q.pageLayout().orientation();
    };
    EXPECT_TRUE(frame->ExecuteCommand(fw::ID_FILE_PRINT_SETUP));
    EXPECT_EQ(deviceOrientation(), QPageLayout::Landscape);
    pick = QPageLayout::Portrait;
    EXPECT_TRUE(frame->ExecuteCommand(fw::ID_FILE_PRINT));
    EXPECT_EQ(deviceOrientation(), QPageLayout::Portrait);
    fw::SetPrintDialogHook(nullptr);
    fw::AppPrinterSettings() = {};

    view->SetDocument(nullptr);
    frame.reset();
    GXTerminateLibrary();
}

}  // namespace
