// Tessaly's main window on the offscreen platform: the frame's indicators and message
// handling, the node grid with nodes on and off line, the write-through of edits with the
// port rules, the save question, recent files, the progress bar and the screenshots.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QTest>
#include <atomic>
#include <filesystem>
#include <fstream>

#include "editor/document/EditorHost.h"
#include "editor/document/KoltInterface.h"
#include "editor/ui/AboutDlg.h"
#include "editor/ui/ProgressBar.h"
#include "editor/ui/Splash.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/tests/TessalyFixture.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/StatusBar.h"
#include "framework/controls/ToolBar.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/PaintContext.h"
#include "framework/persist/RecentFileList.h"
#include "framework/window/SplashWindow.h"
#include "grid/core/CGXData.h"
#include "platform/Logger.h"

namespace tessaly::test {
namespace {

// A payload that counts its own destruction.
struct Counted {
    explicit Counted(std::atomic<int>* c) : count(c) {}
    Counted(Counted&& other) noexcept : count(std::exchange(other.count, nullptr)) {}
    ~Counted() {
        if (count)
            ++*count;
    }
    std::atomic<int>* count;
};

class MainWindow : public TessalyFixture {};

TEST_F(MainWindow, IndicatorsFollowTheNetworkAndTheDocument) {
    Start();
    EXPECT_EQ(Frame().NodesIndicatorText(), "Nodes: 0");
    EXPECT_EQ(Frame().OnlineIndicatorText(), "Nodes Online:");  // no number while disconnected
    EXPECT_EQ(Frame().NetworkIndicatorText(), "Network: Offline");
    // Connect is enabled only while disconnected, the network commands only while connected.
    EXPECT_TRUE(Frame().QueryCommandState(ID_NET_CONNECT).enabled().value_or(false));
    EXPECT_FALSE(Frame().QueryCommandState(ID_NET_SEND_CONFIG).enabled().value_or(true));
    AddSimNode(2);
    AddDocNode(nodes_.back());
    EXPECT_EQ(Frame().NetworkIndicatorText(), "Network: Online");
    EXPECT_EQ(Frame().OnlineIndicatorText(), "Nodes Online: 1");
    EXPECT_EQ(Frame().NodesIndicatorText(), "Nodes: 1");
    EXPECT_FALSE(Frame().QueryCommandState(ID_NET_CONNECT).enabled().value_or(true));
    EXPECT_TRUE(Frame().QueryCommandState(ID_NET_REBOOT).enabled().value_or(false));
    EXPECT_FALSE(Frame().QueryCommandState(ID_NET_ALWAYS_DISABLED).enabled().value_or(true));
}

TEST_F(MainWindow, NodesComeOnLineInTheGridOneOffLine) {
    Start();
    SimNode& a = AddSimNode(2);
    SimNode& b = AddSimNode(3);
    SimNode& c = AddSimNode(4, false);
    AddDocNode(a);
    AddDocNode(b, "Kolt_4_Port_Node");
    AddDocNode(c);
    View().RebuildGrid();
    ASSERT_NE(RowOfNode(2), 0u);
    EXPECT_EQ(Cell(RowOfNode(2), 1), "1");
    EXPECT_EQ(Cell(RowOfNode(2), 2), "010.000.000.002");
    EXPECT_EQ(Cell(RowOfNode(3), 1), "1");
    EXPECT_EQ(Cell(RowOfNode(4), 1), "0");
    EXPECT_EQ(Cell(RowOfNode(4), 2), "0.0.0.0");
    // A 4-port node takes a row per port, every row carrying the node's index.
    const ROWCOL first = RowOfNode(3);
    for (ROWCOL r = first; r < first + 4; ++r) EXPECT_EQ(View().NodeIndexOfRow(r), 1) << r;
    // Its node-level cells are one covered cell over the four rows, its port cells are not.
    const CTessalyView::ColumnEntry* name = View().EntryForPath(".Node_Properties.Name");
    ASSERT_NE(name, nullptr);
    CGXRange block;
    ASSERT_TRUE(View().GetCoveredCellsRowCol(first + 2, name->column, block));
    EXPECT_EQ(block, CGXRange(first, name->column, first + 3, name->column));
    const int start = View().PortColumn(PortRole::EdmxStart, false);
    ASSERT_GT(start, 0);
    EXPECT_FALSE(View().GetCoveredCellsRowCol(first + 2, static_cast<ROWCOL>(start), block));
    // Refreshing the on-line address is status, not a change of the configuration.
    Doc().SetModifiedFlag(false);
    View().RefreshNodeStatus(nullptr, false);
    EXPECT_FALSE(Doc().IsModified());

    // The node that was off line comes on line: its row follows the posted message.
    Announce(c);
    ASSERT_TRUE(PumpUntil([&] { return Cell(RowOfNode(4), 1) == "1"; }));
    EXPECT_EQ(Cell(RowOfNode(4), 2), "010.000.000.004");
    EXPECT_FALSE(Doc().IsModified());

    // Screenshot: the grid with nodes on line and one taken off line.
    View().RefreshNodeStatus(std::make_unique<VavMacAddress>(c.identity.mac), false);
    EXPECT_EQ(Cell(RowOfNode(4), 1), "0");
    Frame().UpdateWindow();
    QApplication::processEvents();
    QImage shot = Screenshot(Frame(), "tessaly-main");
    EXPECT_FALSE(shot.isNull());
}

TEST_F(MainWindow, EveryNodeCellIsEditableAndWhiteOrDisabledAndGrey) {
    // Cells a node leaves empty, and properties that cannot be edited, are grey and disabled;
    // the editable ones are white: on one-port and four-port nodes, in every column.
    Start();
    SimNode& a = AddSimNode(2);
    SimNode& b = AddSimNode(3);
    // More rows than the grid starts with.
    for (int i = 0; i < 6; ++i) {
        AddDocNode(a);
        AddDocNode(b, "Kolt_4_Port_Node");
    }
    View().RebuildGrid();
    ASSERT_GT(View().LastRow(), 30u);
    int editable = 0, grey = 0;
    for (ROWCOL row = View().HeaderRows() + 1; row <= View().LastRow(); ++row) {
        for (ROWCOL col = 1; col <= View().GetColCount(); ++col) {
            CGXStyle cell;
            ASSERT_TRUE(View().GetStyleRowCol(row, col, cell)) << row << "," << col;
            ASSERT_TRUE(cell.GetIncludeEnabled() && cell.GetIncludeInterior()) << row << "," << col;
            const COLORREF colour = cell.GetInterior().GetColor();
            EXPECT_EQ(colour, cell.GetEnabled() ? CTessalyView::kWhite : CTessalyView::kGrey)
                << row << "," << col;
            ++(cell.GetEnabled() ? editable : grey);
        }
    }
    EXPECT_GT(editable, 0);
    EXPECT_GT(grey, 0);
}

TEST_F(MainWindow, ABurstOfStatusMessagesIsOneFullRefreshAndFreesEveryPayload) {
    Start();
    SimNode& a = AddSimNode(2);
    AddDocNode(a);
    View().RebuildGrid();
    // The node's own status message is handled once a message posted after it is.
    std::atomic<int> marker = 0;
    ASSERT_TRUE(fw::PostMessage(Frame().Handle(), WM_NODE_STATUS_CHANGED, 1, 0,
                                fw::Payload::Make(Counted(&marker))));
    ASSERT_TRUE(PumpUntil([&] { return marker == 1; }));
    const int before = View().FullRefreshCount();
    std::atomic<int> freed = 0;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(fw::PostMessage(Frame().Handle(), WM_NODE_STATUS_CHANGED, 1, 0,
                                    fw::Payload::Make(Counted(&freed))));
    const int drained = Frame().DrainedCount();
    PumpUntil([&] { return freed == 10; });
    EXPECT_EQ(freed, 10);
    EXPECT_EQ(Frame().DrainedCount() - drained, 9);  // the first message drained the others
    EXPECT_EQ(View().FullRefreshCount() - before, 1);

    // A steady stream is drained a bounded number at a time: the window keeps turning.
    freed = 0;
    const int many = CMainFrame::kMaxDrainPerTurn * 3;
    for (int i = 0; i < many; ++i)
        fw::PostMessage(Frame().Handle(), WM_NODE_STATUS_CHANGED, 1, 0,
                        fw::Payload::Make(Counted(&freed)));
    const int refreshes = View().FullRefreshCount();
    PumpUntil([&] { return freed == many; });
    EXPECT_EQ(freed, many);
    EXPECT_GE(View().FullRefreshCount() - refreshes, 3);

    // A single message refreshes that node only.
    const int single = View().FullRefreshCount();
    ASSERT_TRUE(Frame().PostNodeStatus(WM_NODE_STATUS_CHANGED, false,
                                       std::make_unique<VavMacAddress>(a.identity.mac)));
    ASSERT_TRUE(PumpUntil([&] { return Cell(RowOfNode(2), 1) == "0"; }));
    EXPECT_EQ(View().FullRefreshCount(), single);
}

TEST_F(MainWindow, MessagesToAWindowThatIsGoneFreeTheirPayloads) {
    Start();
    std::atomic<int> freed = 0;
    const fw::WindowHandle handle = Frame().Handle();
    for (int i = 0; i < 3; ++i)
        fw::PostMessage(handle, WM_NODE_STATUS_CHANGED, 1, 0, fw::Payload::Make(Counted(&freed)));
    Frame().DestroyWindow();
    EXPECT_EQ(freed, 3);  // queued ones go with the window
    EXPECT_FALSE(
        fw::PostMessage(handle, WM_NODE_STATUS_CHANGED, 1, 0, fw::Payload::Make(Counted(&freed))));
    EXPECT_EQ(freed, 4);
    // Node status posting through the host after the frame is gone loses nothing either.
    EXPECT_FALSE(EditorHost::PostNodeStatus(WM_NODE_STATUS_CHANGED, true,
                                            std::make_unique<VavMacAddress>()));
}

TEST_F(MainWindow, MessageTextGoesToTheFirstPaneAndNullChangesNothing) {
    Start();
    fw::StatusBar* bar = Frame().GetStatusBar();
    Frame().SendMessage(WM_SET_MESSAGE_TEXT, 0, 0);
    const std::string before = bar->GetPaneText(0);
    fw::SendMessage(Frame().Handle(), WM_SET_MESSAGE_TEXT, 0, 0,
                    fw::Payload::Make(std::string("bootp server started.")));
    EXPECT_EQ(bar->GetPaneText(0), "bootp server started.");
    fw::Message empty{WM_SET_MESSAGE_TEXT, 0, 0, {}};
    Frame().SendMessage(empty);
    EXPECT_EQ(bar->GetPaneText(0), "bootp server started.");
    (void)before;
}

TEST_F(MainWindow, EditsAreWrittenThroughWithThePortRules) {
    Start();
    SimNode& a = AddSimNode(2);
    xmldom::Node node = AddDocNode(a, "Kolt_1_Port_Node");
    View().RebuildGrid();
    const ROWCOL row = RowOfNode(2);
    ASSERT_NE(row, 0u);
    const int start = View().PortColumn(PortRole::EdmxStart, true);
    const int end = View().PortColumn(PortRole::EdmxEnd, true);
    const int count = View().PortColumn(PortRole::EdmxChannels, true);
    const int vport = View().PortColumn(PortRole::VPort, true);
    ASSERT_GT(start, 0);
    ASSERT_GT(end, 0);
    // Make the port an input, as the colouring and the input rules need.
    const int dir = View().DirectionColumn();
    ASSERT_GT(dir, 0);
    View().SetValueRange(CGXRange(row, dir), "0");
    Doc().SetModifiedFlag(false);
    // An EDMX start near the top: the count shrinks so the end is 32767.
    View().SetValueRange(CGXRange(row, start), "32500");
    EXPECT_EQ(Cell(row, end), "32767");
    EXPECT_EQ(Cell(row, count), "268");
    EXPECT_EQ(Cell(row, vport), "0");
    EXPECT_EQ(DocText(node, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_End"), "32767");
    EXPECT_TRUE(Doc().IsModified());
    // A pasted value out of range is refused: cell and document keep the old value.
    fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
    CGXStyle pasted;
    pasted.SetValue("40000");
    EXPECT_FALSE(View().SetStyleRange(CGXRange(row, start), &pasted, gxCopy));
    EXPECT_EQ(Cell(row, start), "32500");
    EXPECT_EQ(DocText(node, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"), "32500");
    // A node-level value (the name) typed on the node's row reaches the document.
    const CTessalyView::ColumnEntry* name = View().EntryForPath(".Node_Properties.Name");
    ASSERT_NE(name, nullptr);
    View().SetValueRange(CGXRange(row, name->column), "Stage left");
    EXPECT_EQ(DocText(node, ".Node_Properties.Name"), "Stage left");
    // A value the document refuses (longer than any property may be) is not shown as if
    // stored: the cell keeps the old one and the user is told why.
    {
        fw::ScopedMessageBoxAnswers told({fw::IDOK});
        EXPECT_FALSE(View().SetValueRange(CGXRange(row, name->column), std::string(60000, 'x')));
        EXPECT_EQ(told.asked.size(), 1u);
    }
    EXPECT_EQ(Cell(row, name->column), "Stage left");
    EXPECT_EQ(DocText(node, ".Node_Properties.Name"), "Stage left");
    // Seconds shown, milliseconds stored.
    const CTessalyView::ColumnEntry* interval =
        View().EntryForPath(".Node_Properties.Status_Interval");
    ASSERT_NE(interval, nullptr);
    EXPECT_EQ(Cell(row, interval->column), "1");
    View().SetValueRange(CGXRange(row, interval->column), "3");
    EXPECT_EQ(DocText(node, ".Node_Properties.Status_Interval"), "3000");
    // A vPort number fills the port's range from that vPort.
    View().SetValueRange(CGXRange(row, vport), "3");
    EXPECT_EQ(Cell(row, start), "1025");
    EXPECT_EQ(Cell(row, end), "1536");
    EXPECT_EQ(DocText(node, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"), "1025");
}

// A value typed with the keys comes off with Ctrl+Z in the grid and in the document alike, and
// the redo key puts it back in both.
TEST_F(MainWindow, ATypedValueIsUndoneInGridAndDocument) {
    Start();
    SimNode& a = AddSimNode(2);
    xmldom::Node node = AddDocNode(a, "Kolt_1_Port_Node");
    View().RebuildGrid();
    const ROWCOL row = RowOfNode(2);
    ASSERT_NE(row, 0u);
    const CTessalyView::ColumnEntry* name = View().EntryForPath(".Node_Properties.Name");
    ASSERT_NE(name, nullptr);
    const std::string before = DocText(node, ".Node_Properties.Name");
    ASSERT_EQ(Cell(row, name->column), before);
    View().SetFocus();
    View().SetCurrentCell(row, name->column);
    auto focus = [] { return QApplication::focusWidget(); };
    ASSERT_NE(focus(), nullptr);
    // Keys go where the focus is: the grid, then the edit window once it shows.
    for (QChar c : QString("Dock")) {
        QTest::keyClicks(focus(), QString(c));
        QApplication::processEvents();
    }
    QTest::keyClick(focus(), Qt::Key_Return);
    QApplication::processEvents();
    ASSERT_EQ(Cell(row, name->column), "Dock");
    ASSERT_EQ(DocText(node, ".Node_Properties.Name"), "Dock");
    QTest::keyClick(focus(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(Cell(row, name->column), before);
    EXPECT_EQ(DocText(node, ".Node_Properties.Name"), before);
    Screenshot(Frame(), "typed_value_undone");
    QTest::keyClick(focus(), Qt::Key_R, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(Cell(row, name->column), "Dock");
    EXPECT_EQ(DocText(node, ".Node_Properties.Name"), "Dock");
}

// Ctrl+C and Ctrl+V through the clipboard: a value in range is written through with the port
// rules, one out of range is refused and the cell and the document keep what they had.
TEST_F(MainWindow, PastingWithTheKeysMeetsTheSameBoundsAsTyping) {
    Start();
    xmldom::Node node = AddDocNode(AddSimNode(2), "Kolt_1_Port_Node");
    View().RebuildGrid();
    const ROWCOL row = RowOfNode(2);
    const int start = View().PortColumn(PortRole::EdmxStart, true);
    const int end = View().PortColumn(PortRole::EdmxEnd, true);
    ASSERT_GT(start, 0);
    View().SetValueRange(CGXRange(row, static_cast<ROWCOL>(View().DirectionColumn())), "0");
    View().SetValueRange(CGXRange(row, start), "100");
    const std::string endBefore = Cell(row, end);
    View().SetFocus();
    auto pasteInto = [&](const char* text) {
        QApplication::clipboard()->setText(text);
        View().SetCurrentCell(row, static_cast<ROWCOL>(start));
        QTest::keyClick(&View(), Qt::Key_V, Qt::ControlModifier);
        QApplication::processEvents();
    };
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK, fw::IDOK});
        pasteInto("40000");
        EXPECT_FALSE(boxes.asked.empty());  // the user is told why
    }
    EXPECT_EQ(Cell(row, start), "100");
    EXPECT_EQ(Cell(row, end), endBefore);
    EXPECT_EQ(DocText(node, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"), "100");
    pasteInto("2000");
    EXPECT_EQ(Cell(row, start), "2000");
    EXPECT_NE(Cell(row, end), endBefore);  // the end follows the start
    EXPECT_EQ(DocText(node, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"), "2000");
    // Lines past the last node row are dropped: the grid gets no rows that belong to no node.
    const ROWCOL rows = View().GetRowCount();
    pasteInto("3000\n3100\n3200");
    EXPECT_EQ(View().GetRowCount(), rows);
    EXPECT_EQ(Cell(row, start), "3000");
    // Ctrl+Z takes the paste back, in the grid and in the document.
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Cell(row, start), "2000");
    EXPECT_EQ(DocText(node, ".DMX_Port_Properties.DMX_Input_Port_Properties.EDMX_Start"), "2000");
    pasteInto("3000");
    // Copy puts the cell's value on the clipboard.
    QApplication::clipboard()->clear();
    View().SetCurrentCell(row, static_cast<ROWCOL>(start));
    QTest::keyClick(&View(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().trimmed(), "3000");
}

// A template with more properties than the grid's 100 columns: those past the last column get
// none, and the log says so once, however often the grid is rebuilt.
TEST_F(MainWindow, PropertiesPastTheLastColumnAreLeftOutAndLoggedOnce) {
    namespace fs = std::filesystem;
    const fs::path data = dir_.Path() / "data";
    fs::copy(IXO_DATA_DIR, data, fs::copy_options::recursive);
    std::string text;
    {
        std::ifstream in(data / "template.cfg", std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string extra = "<Extra_Properties>";
    for (int i = 0; i < 120; ++i) extra += "<P" + std::to_string(i) + " dt:dt=\"ui1\"/>";
    extra += "</Extra_Properties>";
    const size_t end = text.find("</Properties>");
    ASSERT_NE(end, std::string::npos);
    text.insert(end, extra);
    std::ofstream(data / "template.cfg", std::ios::binary) << text;

    const fs::path log = dir_.Path() / "tessaly.log";
    ASSERT_TRUE(GetLogger()->Open(log.c_str()));
    Start({"/nologo"}, data);
    View().RebuildGrid();
    View().RebuildGrid();
    GetLogger()->Close();
    EXPECT_NE(View().EntryForPath(".Extra_Properties.P0"), nullptr);
    EXPECT_EQ(View().EntryForPath(".Extra_Properties.P119"), nullptr);
    EXPECT_LE(View().GetColCount(), 100u);
    std::ifstream in(log);
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        lines += line.find("are not shown") != std::string::npos;
    EXPECT_EQ(lines, 1);
}

TEST_F(MainWindow, ClosingAModifiedDocumentAsksToSave) {
    Start();
    SimNode& a = AddSimNode(2, false);
    AddDocNode(a);
    View().RebuildGrid();
    ASSERT_TRUE(Doc().IsModified());
    {
        fw::ScopedMessageBoxAnswers answers({fw::IDCANCEL});
        Frame().SendMessage(fw::WM_CLOSE);
        ASSERT_EQ(answers.asked.size(), 1u);
        EXPECT_NE(answers.asked[0].text.find("Save changes"), std::string::npos)
            << answers.asked[0].text;
    }
    EXPECT_TRUE(Frame().IsWindowVisible());  // Cancel keeps the window
    // Saved, it goes on the recent-file list and no longer asks.
    const std::string path = (dir_.Path() / "Show.wov").string();
    ASSERT_TRUE(Frame().ActiveTessalyDocument()->DoSave(path));
    EXPECT_FALSE(Doc().IsModified());
    fw::RecentFileList* recent = App().GetRecentFileList();
    ASSERT_NE(recent, nullptr);
    ASSERT_GE(recent->Size(), 1u);
    EXPECT_EQ((*recent)[0], path);
    fw::ScopedMessageBoxAnswers none({fw::IDCANCEL});
    App().OnFileNew();
    EXPECT_TRUE(none.asked.empty());
    EXPECT_EQ(Doc().GetNodeCount(), 0);
    // Open from the recent list brings the node back.
    App().ExecuteCommand(fw::ID_FILE_MRU_FILE1);
    EXPECT_EQ(Doc().GetNodeCount(), 1);
    EXPECT_NE(RowOfNode(2), 0u);
}

TEST_F(MainWindow, FileOpenProposesTheDataFolder) {
    EXPECT_EQ(CTessalyApp::ProposedOpenName(""), "*.wov");
    EXPECT_EQ(CTessalyApp::ProposedOpenName("/home/light"), "/home/light/*.wov");
    EXPECT_EQ(CTessalyApp::ProposedOpenName("/home/light/"), "/home/light/*.wov");
}

TEST_F(MainWindow, ProgressBarDrawsInTheStatusBarAndSurvivesAPaneOfWidthZero) {
    Start();
    Frame().BeginProgress(4);
    Frame().SetProgress(2);
    ASSERT_NE(Frame().Progress(), nullptr);
    const CProgressBar& progress = *Frame().Progress();
    EXPECT_EQ(progress.FilledWidth(), progress.InnerWidth() * 2 / 4);
    EXPECT_EQ(progress.Percent(), progress.FilledWidth() * 100 / progress.InnerWidth());
    fw::Rect pane;
    ASSERT_TRUE(Frame().GetStatusBar()->GetItemRect(1, pane));
    const QImage bar = Frame().GetStatusBar()->grab().toImage();
    // Left of the middle is the blue fill, right of it the black background.
    const QColor filled = bar.pixelColor(pane.left + 3 + 2, pane.top + pane.Height() / 2);
    const QColor empty = bar.pixelColor(pane.right - 6, pane.top + pane.Height() / 2);
    EXPECT_EQ(filled, QColor(0, 0, 200));
    EXPECT_EQ(empty, QColor(0, 0, 0));
    Frame().EndProgress();

    // Squeezed to nothing, the bar draws nothing and divides by nothing.
    CProgressBar zero(1, 0, 0, true);
    zero.SetRange(10);
    zero.SetPos(5);
    EXPECT_EQ(zero.FilledWidth(), 0);
    EXPECT_EQ(zero.Percent(), 0);
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    fw::DeviceContext dc(&image);
    zero.Draw(dc, 3, 3);
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::white));
}

TEST(ProgressBar, FillsByRangeAndIgnoresOtherKinds) {
    CProgressBar bar(1, 104, 20, true);  // inner width 100
    EXPECT_EQ(bar.FilledWidth(), 1);     // range 0
    bar.SetRange(3);
    bar.SetPos(3);
    EXPECT_EQ(bar.FilledWidth(), 100);
    EXPECT_EQ(bar.Percent(), 100);
    bar.SetPos(1);
    EXPECT_EQ(bar.FilledWidth(), 33);
    CProgressBar other(2, 104, 20, true);
    EXPECT_FALSE(other.SetRange(3));
    EXPECT_FALSE(other.SetPos(1));
}

TEST_F(MainWindow, SplashAndAboutShowTheVersion) {
    Start({});
    fw::SplashWindow* splash = fw::SplashWindow::Current();
    ASSERT_NE(splash, nullptr);
    ASSERT_TRUE(splash->IsWindowVisible());
    QImage shot = Screenshot(*splash, "tessaly-splash");
    EXPECT_EQ(shot.width(), CSplashWnd::kWidth);
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(28, 44, 78));
    // A key press only takes the splash down.
    QTest::keyClick(&Frame(), Qt::Key_A);
    QApplication::processEvents();
    EXPECT_EQ(fw::SplashWindow::Current(), nullptr);

    CAboutDlg about(&Frame());
    EXPECT_EQ(about.Product(), "Tessaly");
    EXPECT_EQ(about.Version(), "4.0.14.0.0.0");
    about.CreateModeless(&Frame());
    about.ShowWindow(fw::SW_SHOW);
    QApplication::processEvents();
    QImage box = Screenshot(about, "tessaly-about");
    EXPECT_FALSE(box.isNull());
    about.DestroyWindow();
}

TEST_F(MainWindow, EveryToolbarButtonHasAPictureAndSendsItsCommand) {
    Start();
    fw::ToolBar* bar = Frame().GetToolBar();
    ASSERT_NE(bar, nullptr);
    for (unsigned id : {fw::ID_FILE_NEW, fw::ID_FILE_OPEN, fw::ID_FILE_SAVE, fw::ID_EDIT_COPY,
                        fw::ID_EDIT_PASTE, fw::ID_FILE_PRINT, fw::ID_APP_ABOUT}) {
        QAction* action = bar->ActionOf(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_FALSE(action->icon().isNull()) << id;
        EXPECT_FALSE(action->toolTip().isEmpty()) << id;
    }
    // The pictures magnified four times, to be looked at.
    QImage shot = Screenshot(*bar, "tessaly-toolbar");
    const int right = bar->widgetForAction(bar->ActionOf(fw::ID_APP_ABOUT))->geometry().right();
    const QImage buttons = shot.copy(0, 0, right + 4, shot.height());
    buttons.scaled(buttons.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(QString(SCREENSHOT_DIR) + "/tessaly-toolbar-x4.png");
    // A button sends its command like the menu item: New empties the document.
    AddDocNode(AddSimNode(2));
    Doc().SetModifiedFlag(false);
    bar->ActionOf(fw::ID_FILE_NEW)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Doc().GetNodeCount(), 0);
}

TEST_F(MainWindow, HelpOpensTheProgramsOwnPage) {
    Start();
    std::string opened;
    Frame().SetShellOpen([&](const std::string& path) { opened = path; });
    Frame().ExecuteCommand(fw::ID_HELP_FINDER);
    EXPECT_TRUE(opened.ends_with("help/Wov_Online_Help.htm")) << opened;
}

// Every row after a rebuild is as high as its tallest shown cell measures on its own through
// its control (a node's merged cells at their last row, less the rows above), whatever the
// fit remembers between cells; the same after a node's name is made long enough to wrap.
TEST_F(MainWindow, RowsAfterARebuildAreAsHighAsTheirCellsMeasureAlone) {
    Start();
    for (int n = 2; n < 8; ++n)
        AddDocNode(AddSimNode(n, n % 3 != 0), n % 2 ? "Kolt_4_Port_Node" : "Kolt_2_Port_Node");
    View().RebuildGrid();
    CTessalyView& view = View();
    const auto measured = [&](ROWCOL row) {
        fw::ClientContext dc(view);
        view.OnGridPrepareDC(&dc);
        int needed = 0;
        for (ROWCOL col = 0; col <= view.GetColCount(); ++col) {
            CGXRange block(row, col);
            const bool covered = view.GetCoveredCellsRowCol(row, col, block);
            if (covered ? (row != block.bottom || col != block.left) : view.GetColWidth(col) <= 0)
                continue;
            const CGXStyle& style = view.LookupStyleRowCol(block.top, block.left);
            CGXControl* control = view.GetRegisteredControl(style.GetControl());
            const int above = row > block.top ? view.CalcSumOfRowHeights(block.top, row - 1) : 0;
            needed = std::max(needed, control->CalcSize(dc, block.top, block.left, style,
                                                        &view.GetStandardStyle(), true)
                                              .cy -
                                          above);
        }
        return needed;
    };
    const auto expectFitted = [&](const char* when) {
        ASSERT_GT(view.GetRowCount(), 10u);
        for (ROWCOL row = 0; row <= view.GetRowCount(); ++row)
            EXPECT_EQ(view.GetRowHeight(row), measured(row)) << when << ", row " << row;
    };
    expectFitted("rebuilt");
    const ROWCOL row = RowOfNode(2);
    ROWCOL nameCol = 0;
    for (ROWCOL col = 1; col <= view.GetColCount() && !nameCol; ++col)
        if (Cell(row, static_cast<int>(col)) == "Node 2")
            nameCol = col;
    ASSERT_NE(nameCol, 0u);
    const int before = view.CalcSumOfRowHeights(0, view.GetRowCount());
    CGXStyle wrapped;
    wrapped.SetWrapText(true);
    view.SetStyleRange(CGXRange().SetCols(nameCol, nameCol), &wrapped, gxOverride, 0, 0);
    view.SetValueRange(CGXRange(row, nameCol), "a name of many words, longer than its column");
    view.ResizeRowHeightsToFit(CGXRange().SetTable(), 0);
    expectFitted("a long name");
    EXPECT_GT(view.CalcSumOfRowHeights(0, view.GetRowCount()), before);
}

// Every style the rebuild stores, as one fingerprint: each cell's attributes as the style
// holds them, its include mask, and the element its item data names. A configuration of every
// node type, with ports turned input and output and AIP on and off, so that the port colouring,
// the merged node columns, the read-only and the editable cells all show in it. The figure was
// taken from the grid fill before its passes were folded into the placing of the cells.
TEST_F(MainWindow, TheRebuiltGridStoresTheSameCellStyles) {
    Start();
    const char* types[] = {"Kolt_1_Port_Node", "Kolt_2_Port_Node", "Kolt_4_Port_Node",
                           "Kolt_8_Port_Node", "Kolt_Video_Node"};
    int n = 2;
    for (const char* type : types) {
        AddDocNode(AddSimNode(n, n % 2 == 0), type);
        ++n;
    }
    CTessalyView& view = View();
    view.RebuildGrid();
    const int dir = view.DirectionColumn();
    ASSERT_GT(dir, 0);
    int aip = -1;
    for (const CTessalyView::ColumnEntry& entry : view.Columns())
        if (entry.inputPort && entry.path.ends_with(".AIP"))
            aip = static_cast<int>(entry.column);
    ASSERT_GT(aip, 0);
    // Port rows alternately input and output, every third one with AIP on.
    int portRows = 0;
    for (ROWCOL row = view.HeaderRows() + 1; row <= view.LastRow(); ++row) {
        if (!view.ElementOfCell(row, static_cast<ROWCOL>(dir)))
            continue;
        view.SetValueRange(CGXRange(row, static_cast<ROWCOL>(dir)), portRows % 2 ? "1" : "0");
        if (view.ElementOfCell(row, static_cast<ROWCOL>(aip)))
            view.SetValueRange(CGXRange(row, static_cast<ROWCOL>(aip)),
                               portRows % 3 == 0 ? "1" : "0");
        ++portRows;
    }
    ASSERT_GT(portRows, 8);
    view.RebuildGrid();

    auto fingerprint = [&] {
        std::uint64_t hash = 1469598103934665603ull;
        auto mix = [&](const void* data, size_t size) {
            for (size_t i = 0; i < size; ++i) {
                hash ^= static_cast<const std::uint8_t*>(data)[i];
                hash *= 1099511628211ull;
            }
        };
        auto mixText = [&](const std::string& text) {
            const size_t size = text.size();
            mix(&size, sizeof size);
            mix(text.data(), size);
        };
        const CGXData* data = view.GetData();
        EXPECT_NE(data, nullptr);
        if (!data)
            return hash;
        int stored = 0, greyed = 0, white = 0, withElement = 0;
        for (ROWCOL row = 0; row <= view.GetRowCount(); ++row) {
            for (ROWCOL col = 0; col <= view.GetColCount(); ++col) {
                const CGXStyle* style = data->StoredCellStyle(row, col);
                const std::uint32_t where[2] = {static_cast<std::uint32_t>(row),
                                                static_cast<std::uint32_t>(col)};
                mix(where, sizeof where);
                if (!style)
                    continue;
                ++stored;
                const std::uint32_t mask = style->GetIncludeMask();
                mix(&mask, sizeof mask);
                // Each attribute the cell holds, by its accessor.
                const std::uint32_t plain[] = {
                    style->GetIncludeHorizontalAlignment() ? style->GetHorizontalAlignment() : 0,
                    style->GetIncludeVerticalAlignment() ? style->GetVerticalAlignment() : 0,
                    style->GetReadOnly(),
                    style->GetControl(),
                    style->GetIncludeTextColor() ? style->GetTextColor() : 0,
                    style->GetWrapText(),
                    style->GetAllowEnter(),
                    style->GetMaxLength(),
                    style->GetTriState(),
                    style->GetDraw3dFrame(),
                    style->GetAutoSize(),
                    style->GetMergeCell(),
                    style->GetFormat(),
                    style->GetPlaces(),
                    style->GetValueType()};
                mix(plain, sizeof plain);
                mixText(style->GetChoiceList());
                for (std::uint16_t id = 10000; id < 10010; ++id) {
                    const std::uint8_t has = style->GetIncludeUserAttribute(id);
                    mix(&has, 1);
                }
                mixText(style->GetValue());
                const std::uint8_t flags[2] = {
                    style->GetEnabled(), style->GetIncludeUserAttribute(GX_IDS_UA_NODE_INDEX)};
                mix(flags, sizeof flags);
                if (style->GetIncludeUserAttribute(GX_IDS_UA_NODE_INDEX))
                    mixText(style->GetUserAttribute(GX_IDS_UA_NODE_INDEX).GetValue());
                if (style->GetIncludeInterior()) {
                    const COLORREF colour = style->GetInterior().GetColor();
                    mix(&colour, sizeof colour);
                    greyed += colour == CTessalyView::kGrey;
                    white += colour == CTessalyView::kWhite;
                }
                if (style->GetIncludeItemDataPtr() && style->GetItemDataPtr()) {
                    ++withElement;
                    const xmldom::Node element =
                        *static_cast<xmldom::Node*>(style->GetItemDataPtr());
                    mixText(std::string(element.Name()));
                    std::string text;
                    Doc().GetNodeText(element, text);
                    mixText(text);
                }
            }
        }
        SCOPED_TRACE(testing::Message() << "stored " << stored << ", grey " << greyed << ", white "
                                        << white << ", with an element " << withElement);
        EXPECT_GT(greyed, 0);
        EXPECT_GT(white, 0);
        return hash;
    };
    EXPECT_EQ(fingerprint(), 0x931692159fd91709ull);
    // A node inserted after the rebuild is placed, coloured and completed the same way.
    const std::vector<std::string>& typeNames = view.NodeTypeNames();
    const auto eight = std::find(typeNames.begin(), typeNames.end(), "Kolt 8 Port Node");
    ASSERT_NE(eight, typeNames.end());
    view.InsertNode(ID_INSERT_FIRST + static_cast<unsigned>(eight - typeNames.begin()));
    EXPECT_EQ(fingerprint(), 0x3c3821a73efecb9dull);
}

TEST_F(MainWindow, RowsWrittenWhenFirstShownHoldTheSameHeightsAndMergesInAnyOrder) {
    Start();
    int n = 2;
    for (const char* type : {"Kolt_8_Port_Node", "Kolt_2_Port_Node", "Kolt_4_Port_Node"})
        AddDocNode(AddSimNode(n++, true), type);
    CTessalyView& view = View();
    view.RebuildGrid();
    // Rows are written when first read, in whatever order: read from the last row up through
    // their heights and merges, they hold the same heights and merges as read in order.
    auto layout = [&](bool backwards) {
        const ROWCOL rows = view.GetRowCount();
        std::vector<std::string> lines(rows + 1);
        for (ROWCOL k = 0; k <= rows; ++k) {
            const ROWCOL row = backwards ? rows - k : k;
            std::string& line = lines[row];
            line = std::to_string(view.GetRowHeight(row));
            for (ROWCOL col = 0; col <= view.GetColCount(); ++col) {
                CGXRange covered;
                if (view.GetCoveredCellsRowCol(row, col, covered))
                    line += " " + std::to_string(covered.top) + "," + std::to_string(covered.left) +
                            ":" + std::to_string(covered.bottom) + "," +
                            std::to_string(covered.right);
            }
        }
        return lines;
    };
    const std::vector<std::string> inOrder = layout(false);
    EXPECT_NE(std::count_if(inOrder.begin(), inOrder.end(),
                            [](const std::string& line) { return line.find(':') != line.npos; }),
              0);
    view.RebuildGrid();
    EXPECT_EQ(layout(true), inOrder);
    // Each row was fitted as it was written: fitting the whole table again changes nothing.
    view.ResizeRowHeightsToFit(CGXRange().SetTable(), 0);
    EXPECT_EQ(layout(false), inOrder);
}

TEST_F(MainWindow, ANodeNotYetShownShowsItsStatusWhenRead) {
    Start();
    // Enough nodes around the one on line that its rows are neither on the first screen nor
    // on the last, and are still unwritten after a rebuild.
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(Doc().AddNodeOfType(8581));
    SimNode& node = AddSimNode(2);
    AddDocNode(node);
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(Doc().AddNodeOfType(8581));
    View().RebuildGrid();
    const ROWCOL row = RowOfNode(2);
    ASSERT_NE(row, 0u);
    ASSERT_TRUE(View().GetData()->IsRowPending(row));
    // The all-nodes refresh of the rebuild stored its address; its cells show it when read.
    EXPECT_EQ(Cell(row, 1), "1");
    EXPECT_EQ(Cell(row, 2), "010.000.000.002");
    // A node's own status message while its rows are unwritten stands over what they are
    // written with.
    View().RebuildGrid();
    ASSERT_TRUE(View().GetData()->IsRowPending(row));
    View().RefreshNodeStatus(std::make_unique<VavMacAddress>(node.identity.mac), false);
    EXPECT_EQ(Cell(row, 1), "0");
    EXPECT_EQ(Cell(row, 2), "010.000.000.002");
}

TEST_F(MainWindow, ANodeGrownSinceTheRebuildKeepsToItsRows) {
    Start();
    // The on-line node ends a block of unwritten nodes; the node after it starts the next.
    for (int i = 0; i < 47; ++i) ASSERT_TRUE(Doc().AddNodeOfType(8581));
    AddDocNode(AddSimNode(2));
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(Doc().AddNodeOfType(8581));
    CTessalyView& view = View();
    view.RebuildGrid();
    const ROWCOL row = RowOfNode(2);
    ASSERT_NE(row, 0u);
    ASSERT_TRUE(view.GetData()->IsRowPending(row));
    const int index = view.NodeIndexOfRow(row);
    ROWCOL next = row;
    while (view.NodeIndexOfRow(next) == index) ++next;
    // Its document grows copies of its first group after the rows were counted: more of
    // that group's properties than the node has rows.
    xmldom::Node node = view.NodeOfRow(row);
    for (ROWCOL copy = 0; copy < next - row; ++copy) node.AppendCopy(node.FirstChildElement());
    std::vector<std::string> after;
    for (ROWCOL col = 0; col <= view.GetColCount(); ++col) after.push_back(Cell(next, col));
    ASSERT_EQ(view.NodeIndexOfRow(next), index + 1);
    // Writing it now fills its own rows and leaves the next node's as they were.
    EXPECT_NE(Cell(row, 1), "");
    EXPECT_EQ(view.NodeIndexOfRow(next), index + 1);
    for (ROWCOL col = 0; col <= view.GetColCount(); ++col)
        EXPECT_EQ(Cell(next, col), after[col]) << col;
}

}  // namespace
}  // namespace tessaly::test
