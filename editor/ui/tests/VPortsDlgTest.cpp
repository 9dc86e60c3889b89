// The vPort table opened from its command and driven with real clicks and keys: the
// dependent cells while typing, dimmer doubling on a click, adding and deleting vPorts, and
// what OK writes (vPort elements and every port that uses them, then the node grid rebuilt);
// Cancel and an unedited OK leave the document as it was.
#include <QApplication>
#include <QPrinter>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "editor/ui/GridWnd.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/VPorts.h"
#include "editor/ui/tests/TessalyFixture.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/printing/Printing.h"
#include "grid/core/CGXGridParam.h"
#include "grid/core/CGXRange.h"
#include "grid/core/CGXStyle.h"

namespace tessaly::test {
namespace {

// What a shell command prints (empty when it cannot run).
std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::string VPortsFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class VPortTable : public TessalyFixture {
protected:
    void SetUp() override {
        Start();
        node_ = AddDocNode(AddSimNode(2));  // ports 1 and 2 on vPorts 1 and 2
        View().RebuildGrid();
        Doc().SetModifiedFlag(false);
    }
    // Runs the vPorts command; `drive` works the dialog while it is up.
    void RunVPorts(const std::function<void(CVPorts&, CGridWnd&)>& drive) {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            CVPorts* dlg = ShownDialog<CVPorts>();
            ASSERT_NE(dlg, nullptr);
            ASSERT_NE(dlg->Grid(), nullptr);
            drive(*dlg, *dlg->Grid());
            driven = true;
            if (dlg->Result() == 0) {  // not ended by the drive: Cancel, changes dropped
                fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
                QTest::mouseClick(dlg->GetDlgItem(fw::IDCANCEL)->focusProxy(), Qt::LeftButton);
            }
        });
        Frame().ExecuteCommand(ID_EDIT_VPORTS);
        EXPECT_TRUE(driven);
    }
    ROWCOL RowOf(CGridWnd& grid, unsigned vPort) {
        for (ROWCOL row = grid.FirstDataRow(); row <= grid.GetRowCount(); ++row)
            if (grid.VPortNumber(row) == vPort)
                return row;
        ADD_FAILURE() << "no vPort " << vPort;
        return 0;
    }
    void ClickCell(CGridWnd& grid, ROWCOL row, ROWCOL col) {
        const fw::Rect r = grid.CalcRectFromRowCol(row, col);
        QTest::mouseClick(&grid, Qt::LeftButton, Qt::NoModifier,
                          QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        QApplication::processEvents();
    }
    // Types into the current cell where the focus is, then Enter.
    void TypeAndEnter(CGridWnd& grid, const std::string& text) {
        auto focus = [&]() -> QWidget* {
            QWidget* w = QApplication::focusWidget();
            return w ? w : &grid;
        };
        for (char c : text) {
            QTest::keyClicks(focus(), QString(QChar(c)));
            QApplication::processEvents();
        }
        QTest::keyClick(focus(), Qt::Key_Return);
        QApplication::processEvents();
    }
    std::vector<std::string> Row(CGridWnd& grid, ROWCOL row) {
        std::vector<std::string> cells;
        for (ROWCOL col = kVPortStart; col <= kVPortDdEnd; ++col)
            cells.push_back(grid.GetValueRowCol(row, col));
        return cells;
    }
    // A leaf of the node's output port (ports count from 0).
    std::string PortText(int index, const std::string& leaf) {
        xmldom::Node child;
        for (bool more = Doc().GetFirstChild(node_, child); more;
             more = Doc().GetNextSibling(child, child)) {
            std::string name;
            Doc().GetElementName(child, name);
            if (name == "DMX_Port_Properties" && index-- == 0)
                return DocText(child, ".DMX_Output_Port_Properties." + leaf);
        }
        return "(no port)";
    }
    std::string VPortText(const char* id, const char* path) {
        return DocText(Doc().FindVPort(id), path);
    }
    xmldom::Node node_;
};

using Cells = std::vector<std::string>;

TEST_F(VPortTable, EditsFollowTheRulesAndOkWritesVPortsAndPorts) {
    RunVPorts([&](CVPorts& dlg, CGridWnd& grid) {
        EXPECT_EQ(grid.GetValueRowCol(0, kVPortStart), "EDMX Start");
        EXPECT_EQ(grid.GetValueRowCol(0, kVPortDd), "Dimmer Doubling");
        EXPECT_EQ(grid.GetValueRowCol(1, kVPortDdStart), "EDMX Start");
        EXPECT_EQ(grid.GetRowCount(), grid.FirstDataRow() + 63);
        const ROWCOL one = RowOf(grid, 1);
        EXPECT_EQ(Row(grid, one), (Cells{"1", "512", "512", "0", "257", "512"}));

        // Dimmer doubling on and off with a click.
        ClickCell(grid, one, kVPortDd);
        EXPECT_EQ(Row(grid, one), (Cells{"1", "256", "256", "1", "257", "512"}));
        ClickCell(grid, one, kVPortDd);
        EXPECT_EQ(Row(grid, one), (Cells{"1", "512", "512", "0", "257", "512"}));

        // A start near the top clips the channels so the end is 32767.
        const ROWCOL two = RowOf(grid, 2);
        ClickCell(grid, two, kVPortStart);
        TypeAndEnter(grid, "32700");
        EXPECT_EQ(Row(grid, two), (Cells{"32700", "68", "32767", "0", "769", "1024"}));
        // A start with room keeps the count.
        const ROWCOL three = RowOf(grid, 3);
        ClickCell(grid, three, kVPortStart);
        TypeAndEnter(grid, "2000");
        EXPECT_EQ(Row(grid, three), (Cells{"2000", "512", "2511", "0", "1281", "1536"}));

        // Doubling near the top keeps both ranges inside the EDMX addresses.
        const ROWCOL four = RowOf(grid, 4);
        ClickCell(grid, four, kVPortStart);
        TypeAndEnter(grid, "32600");
        ClickCell(grid, four, kVPortDd);
        EXPECT_EQ(Row(grid, four), (Cells{"32600", "168", "32767", "1", "32512", "32767"}));

        // A factory vPort is not deleted.
        ClickCell(grid, RowOf(grid, 5), kVPortId);
        {
            fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
            QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_DELETE)->focusProxy(), Qt::LeftButton);
            ASSERT_EQ(boxes.asked.size(), 1u);
            EXPECT_EQ(boxes.asked[0].text,
                      "A factory vPort 5 cannot be deleted.  Only user-defined vPorts can be "
                      "deleted.");
        }
        EXPECT_FALSE(grid.IsRowHidden(RowOf(grid, 5)));

        // Added: one above the largest, the start cell current.
        QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_ADD)->focusProxy(), Qt::LeftButton);
        const ROWCOL added = grid.GetRowCount();
        EXPECT_EQ(grid.VPortNumber(added), 65u);
        EXPECT_TRUE(grid.IsCurrentCell(added, kVPortStart));
        grid.SetFocus();
        TypeAndEnter(grid, "1000");
        EXPECT_EQ(Row(grid, added), (Cells{"1000", "512", "1511", "0", "257", "512"}));
        grid.SetCurrentCell(one, kVPortStart);  // back to the top for the picture
        Screenshot(dlg, "tessaly-vports");

        // Enter does not close the table; OK does.
        QTest::keyClick(&grid, Qt::Key_Return);
        EXPECT_TRUE(dlg.isVisible());
        QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_SAVE)->focusProxy(), Qt::LeftButton);
        EXPECT_EQ(dlg.Result(), fw::IDOK);
    });
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(VPortText("2", ".EDMX_Start"), "32700");
    EXPECT_EQ(VPortText("2", ".EDMX_Channels"), "68");
    EXPECT_EQ(VPortText("2", ".EDMX_End"), "32767");
    EXPECT_EQ(VPortText("65", ".EDMX_Start"), "1000");
    EXPECT_EQ(VPortText("65", ".EDMX_End"), "1511");
    EXPECT_EQ(VPortText("65", ".Dimmer_Doubling.EDMX_Start"), "257");
    // Port 2 uses vPort 2: its range, ends included, follows.
    auto portText = [&](const char* leaf) { return PortText(1, leaf); };
    EXPECT_EQ(portText("EDMX_Start"), "32700");
    EXPECT_EQ(portText("EDMX_Channels"), "68");
    EXPECT_EQ(portText("EDMX_End"), "32767");

    // The node grid was rebuilt: it shows the new start, and choosing vPort 65 there takes
    // the new vPort's range.
    const ROWCOL row = RowOfNode(2) + 1;
    const int start = View().PortColumn(PortRole::EdmxStart, false);
    const int vPort = View().PortColumn(PortRole::VPort, false);
    ASSERT_GT(start, 0);
    ASSERT_GT(vPort, 0);
    EXPECT_EQ(Cell(row, start), "32700");
    View().SetValueRange(CGXRange(row, static_cast<ROWCOL>(vPort)), "65");
    EXPECT_EQ(Cell(row, start), "1000");
    EXPECT_EQ(portText("EDMX_Start"), "1000");
}

TEST_F(VPortTable, DeletingAUserVPortClearsThePortsThatUseIt) {
    RunVPorts([&](CVPorts& dlg, CGridWnd&) {
        QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_ADD)->focusProxy(), Qt::LeftButton);
        QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_SAVE)->focusProxy(), Qt::LeftButton);
    });
    ASSERT_TRUE(Doc().FindVPort("65"));
    const char* port1 = ".DMX_Port_Properties.DMX_Output_Port_Properties.vPort";
    ASSERT_EQ(PortText(0, "vPort"), "1");
    ASSERT_TRUE(Doc().SetNodeText(Doc().SkipTextNode(Doc().GetProperty(node_, port1)), "65"));
    RunVPorts([&](CVPorts& dlg, CGridWnd& grid) {
        const ROWCOL row = RowOf(grid, 65);
        grid.SetCurrentCell(row, kVPortStart);  // scrolls it into view
        ClickCell(grid, row, kVPortId);
        fw::ScopedMessageBoxAnswers boxes({fw::IDYES});
        QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_DELETE)->focusProxy(), Qt::LeftButton);
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text,
                  "Delete user-defined vPort 65?  This operation cannot be undone.");
        EXPECT_TRUE(grid.IsRowHidden(row));
        QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_SAVE)->focusProxy(), Qt::LeftButton);
    });
    EXPECT_FALSE(Doc().FindVPort("65"));
    EXPECT_EQ(PortText(0, "vPort"), "0");
}

TEST_F(VPortTable, CancelAndAnUneditedOkLeaveTheFileAlone) {
    ASSERT_TRUE(Doc().OnSaveDocument(dir_ / "before.cfg"));
    RunVPorts([&](CVPorts& dlg, CGridWnd& grid) {
        ClickCell(grid, RowOf(grid, 1), kVPortDd);
        {
            fw::ScopedMessageBoxAnswers boxes({fw::IDCANCEL});
            QTest::mouseClick(dlg.GetDlgItem(fw::IDCANCEL)->focusProxy(), Qt::LeftButton);
            ASSERT_EQ(boxes.asked.size(), 1u);
            EXPECT_EQ(boxes.asked[0].text, "Changes to the vPort table will be lost.");
        }
        EXPECT_TRUE(dlg.isVisible());
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        QTest::mouseClick(dlg.GetDlgItem(fw::IDCANCEL)->focusProxy(), Qt::LeftButton);
        EXPECT_EQ(dlg.Result(), fw::IDCANCEL);
    });
    RunVPorts([&](CVPorts& dlg, CGridWnd&) {
        QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_SAVE)->focusProxy(), Qt::LeftButton);
        EXPECT_EQ(dlg.Result(), fw::IDOK);
    });
    EXPECT_FALSE(Doc().IsModified());
    ASSERT_TRUE(Doc().OnSaveDocument(dir_ / "after.cfg"));
    EXPECT_EQ(VPortsFileBytes(dir_ / "after.cfg"), VPortsFileBytes(dir_ / "before.cfg"));
}

TEST_F(VPortTable, ResetButtonsGiveFactoryVPortsTheirDefaults) {
    RunVPorts([&](CVPorts& dlg, CGridWnd& grid) {
        const ROWCOL three = RowOf(grid, 3);
        ClickCell(grid, three, kVPortStart);
        TypeAndEnter(grid, "2000");
        ClickCell(grid, three, kVPortDd);
        ASSERT_EQ(Row(grid, three), (Cells{"2000", "256", "2255", "1", "2256", "2511"}));
        ClickCell(grid, three, kVPortReset);
        EXPECT_EQ(Row(grid, three), (Cells{"1025", "512", "1536", "0", "1281", "1536"}));

        const ROWCOL one = RowOf(grid, 1);
        ClickCell(grid, one, kVPortStart);
        TypeAndEnter(grid, "99");
        {
            fw::ScopedMessageBoxAnswers boxes({fw::IDYES});
            QTest::mouseClick(dlg.GetDlgItem(IDC_VPORT_RESET)->focusProxy(), Qt::LeftButton);
            ASSERT_EQ(boxes.asked.size(), 1u);
            EXPECT_EQ(boxes.asked[0].text, "Reset all factory vPorts to the default values?");
        }
        EXPECT_EQ(Row(grid, one), (Cells{"1", "512", "512", "0", "257", "512"}));
        EXPECT_TRUE(grid.m_bModified);
    });
}

TEST_F(VPortTable, WithoutVPortsNothingCanBeEdited) {
    ASSERT_TRUE(Doc().OnSaveDocument(dir_ / "with.cfg"));
    std::string xml = VPortsFileBytes(dir_ / "with.cfg");
    const size_t from = xml.find("<vPorts>");
    const size_t to = xml.find("</vPorts>");
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    xml.erase(from, to + std::string("</vPorts>").size() - from);
    std::ofstream(dir_ / "without.cfg", std::ios::binary) << xml;
    ASSERT_TRUE(Doc().OnOpenDocument(dir_ / "without.cfg"));
    View().RebuildGrid();
    ASSERT_FALSE(Doc().GetVPortsElement());
    RunVPorts([&](CVPorts& dlg, CGridWnd& grid) {
        for (unsigned id : {IDC_VPORT_ADD, IDC_VPORT_DELETE, IDC_VPORT_SAVE, IDC_VPORT_RESET})
            EXPECT_FALSE(dlg.GetDlgItem(id)->isEnabled()) << id;
        EXPECT_FALSE(grid.isEnabled());
        EXPECT_TRUE(dlg.GetDlgItem(fw::IDCANCEL)->isEnabled());
    });
    EXPECT_FALSE(Doc().IsModified());
}

// Print goes through the grid's printing: the printer the dialog set up gets the table without
// its Reset column, which is back on screen afterwards; a cancelled dialog prints nothing.
TEST_F(VPortTable, PrintWritesTheTableWithoutItsResetColumn) {
    const std::filesystem::path pdf = dir_ / "vports.pdf";
    bool accept = false;
    fw::SetPrintDialogHook([&](QPrinter& printer, fw::PrintInfo&, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return accept;
    });
    RunVPorts([&](CVPorts& dlg, CGridWnd& grid) {
        QWidget* print = dlg.GetDlgItem(IDC_VPORT_PRINT);
        ASSERT_TRUE(print->isEnabled());
        const size_t undoSteps = grid.GetParam()->GetUndoList().size();
        for (bool ok : {false, true}) {
            SCOPED_TRACE(ok);
            accept = ok;
            fw::ScopedMessageBoxAnswers boxes({});
            QTest::mouseClick(print->focusProxy() ? print->focusProxy() : print, Qt::LeftButton);
            EXPECT_TRUE(boxes.asked.empty());
            EXPECT_EQ(std::filesystem::exists(pdf), ok);
            EXPECT_FALSE(grid.IsColHidden(kVPortReset));
            EXPECT_FALSE(grid.IsPrinting());
            EXPECT_EQ(grid.GetParam()->GetUndoList().size(), undoSteps);
        }
    });
    fw::SetPrintDialogHook(nullptr);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_FALSE(Doc().IsModified());
    const std::string text = Capture("pdftotext -layout '" + pdf.string() + "' -");
    if (text.empty())
        GTEST_SKIP() << "poppler-utils are not installed";
    EXPECT_NE(text.find("EDMX Start"), std::string::npos) << text;
    EXPECT_NE(text.find("1025"), std::string::npos) << text;  // vPort 3's factory start
    EXPECT_EQ(text.find("Reset"), std::string::npos) << text;
    Capture("pdftoppm -png -r 50 -f 1 -l 1 '" + pdf.string() + "' " SCREENSHOT_DIR "/vports-print");
}

}  // namespace
}  // namespace tessaly::test
