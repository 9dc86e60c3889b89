// The main dialog with real widgets on the offscreen platform: the list with its columns,
// images and counters, sorting by every column, the command buttons with their
// questions, stopping and starting discovery, the stored layout, the Legend and About
// boxes, and a screenshot.
#include <QAction>

#include "editor/document/NodeCommand.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/Button.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/StringTable.h"
#include "testsupport/TextFit.h"
#include "versiontool/AboutDlg.h"
#include "versiontool/LegendDlg.h"
#include "versiontool/tests/DialogFixture.h"

namespace quillon::test {
namespace {

using Texts = std::vector<std::string>;

class VersionToolDlgTest : public DialogFixture {};

TEST_F(VersionToolDlgTest, ListsDevicesInSixColumnsWithImagesAndCounters) {
    Open();
    EXPECT_EQ(dialog->GetWindowText(), "Quillon and Upgrade Utility");
    EXPECT_TRUE(dialog->IsDiscovering());
    EXPECT_EQ(dialog->GetDlgItemText(IDC_START_STOP), "Stop Discovery");
    ASSERT_EQ(List().GetColumnCount(), 6);
    const Texts headers = {"Name",        "IP Address",  "AppID",
                           "Net Version", "Device Type", "App Version"};
    for (int c = 0; c < 6; ++c) EXPECT_EQ(Tree()->headerItem()->text(c).toStdString(), headers[c]);
    EXPECT_EQ(Line(IDC_STATUS_LINE1), "There are 0 devices on-line.");
    EXPECT_EQ(Line(IDC_STATUS_LINE2), "All devices use the current network version.");

    Found(Device("Gateway A", 0x0A000001, true, true, 9));
    Found(Device("Panel B", 0xC0A80102, true, false));
    Found(Device("Gateway C", 0x0A000003, false, true));
    Found(Device("Panel D", 0x0A000004, false, false));
    ASSERT_EQ(List().GetItemCount(), 4);
    EXPECT_EQ(Column(0), (Texts{"Gateway A", "Gateway C", "Panel B", "Panel D"}));
    EXPECT_EQ(Column(1), (Texts{"10.0.0.1", "10.0.0.3", "192.168.1.2", "10.0.0.4"}));
    EXPECT_EQ(Column(2), (Texts{"9", "1", "1", "1"}));
    EXPECT_EQ(Column(3), (Texts{"4.0.14.0.0.0", "3.9.2.0.0.0", "4.0.14.0.0.0", "3.9.2.0.0.0"}));
    EXPECT_EQ(Column(4)[0], "0x2042 Network node or gateway");
    EXPECT_EQ(Column(5)[0], "2.1.0.0.0.45");
    const int images[] = {0, 2, 1, 3};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(List().GetItemImage(i), images[i]) << i;
    EXPECT_EQ(Line(IDC_STATUS_LINE1), "There are 4 devices on-line.");
    EXPECT_EQ(Line(IDC_STATUS_LINE2),
              "2 devices use an older network version, but 1 of these may be updated by this "
              "program.");

    // The same device found again replaces its entry; a device that became current moves
    // to the current class and the counters follow the entries.
    Found(Device("gateway c", 0x0A000003, true, true));  // letter case aside, the same
    ASSERT_EQ(List().GetItemCount(), 4);
    EXPECT_EQ(dialog->OnlineCount(), 4);
    EXPECT_EQ(dialog->OlderCount(), 1);
    EXPECT_EQ(dialog->UpdatableOlderCount(), 0);
    EXPECT_EQ(Line(IDC_STATUS_LINE2), "1 devices use an older network version.");

    // A lost report removes by the class the entry was counted in, whatever its own says.
    Lost(Device("Panel D", 0x0A000004, true, true));
    Lost(Device("Nobody", 0x0A000009, false, false));  // not listed: nothing changes
    Lost(Device("Panel B", 0x0A000099, true, false));  // another address: not this entry
    EXPECT_EQ(List().GetItemCount(), 3);
    EXPECT_EQ(dialog->OlderCount(), 0);
    EXPECT_EQ(dialog->UpdatableOlderCount(), 0);
    EXPECT_EQ(Line(IDC_STATUS_LINE1), "There are 3 devices on-line.");
    EXPECT_EQ(Line(IDC_STATUS_LINE2), "All devices use the current network version.");
}

TEST_F(VersionToolDlgTest, SortsByEachColumnBothWays) {
    Open();
    DeviceEvent a = Device("node10", 0x0A000002, true, true, 52);
    DeviceEvent b = Device("Node 9", 0xC0A80001, false, false, 9);
    DeviceEvent c = Device("node-2", 0x0A000001, true, false, 200);
    a.appVersion = Version(1, 0, 0), b.appVersion = Version(3, 0, 0),
    c.appVersion = Version(2, 0, 0);
    c.netVersion = Version(5, 0, 0);
    c.typeName = "Diagnostic tool (version tool)";
    for (const DeviceEvent& e : {a, b, c}) Found(e);
    EXPECT_EQ(Column(0), (Texts{"node-2", "Node 9", "node10"})) << "name, ascending at start";

    const std::vector<Texts> ascending = {
        {"node-2", "Node 9", "node10"},  // name
        {"node-2", "node10", "Node 9"},  // address: 10.0.0.1, 10.0.0.2, 192.168.0.1
        {"Node 9", "node10", "node-2"},  // application id: 9, 52, 200
        {"Node 9", "node10", "node-2"},  // network version: 3.9.2, 4.0.14, 5.0.0
        {"Node 9", "node10", "node-2"},  // device type: 0x1882, 0x2042, then letters
        {"node10", "node-2", "Node 9"},  // application version: 1, 2, 3
    };
    for (int column = 0; column < 6; ++column) {
        ClickHeader(column);
        if (column == 0)
            ClickHeader(0);  // column 0 was sorted already: the first click turned it round
        EXPECT_EQ(dialog->SortColumn(), column);
        EXPECT_TRUE(dialog->SortAscending());
        EXPECT_EQ(Column(0), ascending[column]) << "column " << column;
        EXPECT_FALSE(Tree()->headerItem()->icon(column).isNull());
        ClickHeader(column);
        EXPECT_FALSE(dialog->SortAscending());
        EXPECT_EQ(Column(0), (Texts{ascending[column].rbegin(), ascending[column].rend()}))
            << "column " << column << " descending";
        ClickHeader(column);
    }
    EXPECT_TRUE(Tree()->headerItem()->icon(0).isNull()) << "only the sort column is marked";

    // A new device goes to its sorted place.
    ClickHeader(0);
    Found(Device("Node 3", 0x0A000005, true, false));
    EXPECT_EQ(Column(0), (Texts{"node-2", "Node 3", "Node 9", "node10"}));
}

TEST_F(VersionToolDlgTest, CommandsAskFirstAndSendToTheRightPlaces) {
    Open();
    Found(Device("A", 0x0A000001, true, false));
    Found(Device("B", 0x0A000002, false, true));
    Found(Device("C", 0x0A000003, true, false));
    Found(Device("D", 0x0A000004, true, true));
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDYES});
        dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_UPDATE_SELECTED))->Click();
        EXPECT_TRUE(boxes.asked.empty()) << "nothing selected: no question";
    }
    EXPECT_TRUE(sent.empty());

    ClickRow(0);
    ClickRow(1, Qt::ControlModifier);
    ClickRow(2, Qt::ControlModifier);
    ASSERT_EQ(List().GetSelectedCount(), 3);
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDNO});
        dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_UPDATE_SELECTED))->Click();
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text, fw::LoadString(IDS_CONFIRM_UPDATE_SELECTED));
        EXPECT_EQ(boxes.asked[0].type & fw::MB_TYPEMASK, fw::MB_YESNO);
    }
    EXPECT_TRUE(sent.empty()) << "answered No";
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDYES});
        dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_UPDATE_SELECTED))->Click();
    }
    EXPECT_EQ(sent, (std::vector<SentCommand>{{0x0A000002, NODE_COMMAND_UPDATE}}));

    sent.clear();
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDYES});
        dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_UPDATE_ALL))->Click();
        ASSERT_EQ(boxes.asked.size(), 1u);
        EXPECT_EQ(boxes.asked[0].text,
                  "Are you sure you want to update all possible devices on the network?");
        dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_SARN_TO_KOLT))->Click();
        EXPECT_EQ(boxes.asked.size(), 1u) << "the discovery command asks nothing";
    }
    EXPECT_EQ(sent, (std::vector<SentCommand>{{0xEC010025, NODE_COMMAND_UPDATE},
                                              {0xEC010025, NODE_COMMAND_SARN_TO_KOLT}}));
}

TEST_F(VersionToolDlgTest, StoppingKeepsTheListAndStartingEmptiesIt) {
    Open();
    Found(Device("A", 0x0A000001, true, true));
    Found(Device("B", 0x0A000002, false, true));
    IDeviceEngineSink* running = nodeSink;
    auto* button = dynamic_cast<fw::Button*>(dialog->GetDlgItem(IDC_START_STOP));
    QTest::keyClick(dialog.get(), Qt::Key_Return);  // the default button
    EXPECT_FALSE(dialog->IsDiscovering());
    EXPECT_EQ(button->GetWindowText(), "Start Discovery");
    EXPECT_EQ(nodeSink, nullptr) << "the engines were stopped";
    EXPECT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(Line(IDC_STATUS_LINE1),
              "Not currently discovering, but 2 devices were detected on-line.");
    // A report that raced with the stop is dropped.
    EXPECT_FALSE(dialog->OnCurrentDeviceFound(Device("late", 1, true, true)));
    (void)running;

    button->Click();
    EXPECT_TRUE(dialog->IsDiscovering());
    EXPECT_EQ(button->GetWindowText(), "Stop Discovery");
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(Line(IDC_STATUS_LINE1), "There are 0 devices on-line.");
    EXPECT_EQ(Line(IDC_STATUS_LINE2), "All devices use the current network version.");
    Found(Device("A", 0x0A000001, true, true));
    EXPECT_EQ(List().GetItemCount(), 1);
}

TEST_F(VersionToolDlgTest, LayoutIsStoredAndRestored) {
    Open();
    fw::Profile& profile = fw::AppProfile();
    EXPECT_EQ(profile.GetProfileInt(kSettings, kMainBorderWidth, -1), -1) << "a first run";
    // The template's layout: the columns share the list, the application id narrower.
    // c is a sixth of the list's client width as the template places it (5, 34, 350 x 147).
    const int c = (dialog->MapDialogRect({5, 34, 355, 181}).Width() - 2 * Tree()->frameWidth()) / 6;
    const int template_[] = {c + 20, c + 20, c - 43, c, c + 7, c};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(List().GetColumnWidth(i), template_[i]) << i;
    const fw::Rect listBefore = dialog->ScreenToClient(List().GetWindowRect());

    // The user makes the window larger: the list and the columns follow.
    fw::WindowPlacement placement;
    dialog->GetWindowPlacement(placement);
    fw::Rect larger = placement.normal;
    larger.right += 200;
    larger.bottom += 100;
    dialog->setGeometry(larger.left, larger.top, larger.Width(), larger.Height());
    QCoreApplication::processEvents();
    const fw::Rect listAfter = dialog->ScreenToClient(List().GetWindowRect());
    EXPECT_EQ(listAfter.Width(), listBefore.Width() + 200);
    EXPECT_EQ(listAfter.Height(), listBefore.Height() + 100);
    const int m = List().GetClientRect().Width() / 6;
    EXPECT_EQ(List().GetColumnWidth(2), m - 40);
    List().SetColumnWidth(0, 123);  // and widens the names by hand
    dialog->SendMessage(fw::WM_CLOSE);
    EXPECT_FALSE(dialog->isVisible());

    EXPECT_EQ(profile.GetProfileInt(kSettings, kMainBorderWidth, -1), listBefore.left);
    EXPECT_EQ(profile.GetProfileInt(kSettings, kDevTop, -1), listBefore.top);
    EXPECT_EQ(profile.GetProfileInt(kSettings, kWndLeft, -1), larger.left);
    EXPECT_EQ(profile.GetProfileInt(kSettings, kWndRight, -1), larger.right);
    EXPECT_EQ(profile.GetProfileInt(kSettings, kWndBottom, -1), larger.bottom);
    EXPECT_EQ(profile.GetProfileInt(kSettings, "Col0", -1), 123);

    // The next run comes back as it was left.
    Open();
    dialog->GetWindowPlacement(placement);
    EXPECT_EQ(placement.normal.left, larger.left);
    EXPECT_EQ(placement.normal.top, larger.top);
    EXPECT_EQ(placement.normal.Width(), larger.Width());
    EXPECT_EQ(placement.normal.Height(), larger.Height());
    EXPECT_EQ(dialog->ScreenToClient(List().GetWindowRect()), listAfter);
    EXPECT_EQ(List().GetColumnWidth(0), 123);
    EXPECT_EQ(List().GetColumnWidth(2), m - 40);
}

TEST_F(VersionToolDlgTest, ClosingMaximizedKeepsTheWidthsOfTheNormalWindow) {
    Open();
    List().SetColumnWidth(1, 123);
    const int widths[] = {List().GetColumnWidth(0), 123, List().GetColumnWidth(2)};
    dialog->ShowWindow(fw::SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    if (!dialog->IsZoomed())
        GTEST_SKIP() << "this platform does not maximize windows";
    EXPECT_NE(List().GetColumnWidth(1), 123) << "maximized, the columns stretch";
    dialog->SendMessage(fw::WM_CLOSE);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(fw::AppProfile().GetProfileInt(kSettings, kColumnKeys[i], -1), widths[i]) << i;
}

TEST_F(VersionToolDlgTest, LegendByF1AndTheHelpMenu) {
    Open();
    WithDialog<CLegendDlg>([&] { QTest::keyClick(dialog.get(), Qt::Key_F1); },
                           [](CLegendDlg& legend) {
                               EXPECT_EQ(legend.GetWindowText(), "Device List Legend");
                               fw::ListView& list = legend.List();
                               ASSERT_EQ(list.GetItemCount(), 4);
                               EXPECT_TRUE(list.IsShowOnly());
                               for (int i = 0; i < 4; ++i) {
                                   EXPECT_EQ(list.GetItemText(i, 0), fw::LoadString(117 + i));
                                   EXPECT_EQ(list.GetItemImage(i), i);
                               }
                               legend.EndDialog(fw::IDOK);
                           });
    // The Help menu offers the Legend and the About box.
    QAction* items[] = {dialog->MenuAction(IDM_LEGEND), dialog->MenuAction(IDM_ABOUTBOX)};
    ASSERT_NE(items[0], nullptr);
    ASSERT_NE(items[1], nullptr);
    EXPECT_EQ(items[0]->text().toStdString(), "The &Legend to the Device List\tF1");
    EXPECT_EQ(items[1]->text().toStdString(), "&About Quillon...");
    WithDialog<CVersionToolAboutDlg>(
        [&] { items[1]->trigger(); },
        [](CVersionToolAboutDlg& about) {
            EXPECT_EQ(about.GetWindowText(), "About Quillon");
            EXPECT_EQ(about.GetDlgItemText(IDC_ABOUT_VERSION), "4.0.14.0.0.0");
            EXPECT_EQ(about.GetDlgItemText(IDC_ABOUT_PRODUCT), "Quillon");
            EXPECT_EQ(about.GetDlgItemText(IDC_ABOUT_COPYRIGHT), "Copyright (C) Ixo");
            about.EndDialog(fw::IDOK);
        });
    WithDialog<CLegendDlg>([&] { items[0]->trigger(); },
                           [](CLegendDlg& legend) { legend.EndDialog(fw::IDOK); });
}

TEST_F(VersionToolDlgTest, Screenshot) {
    Open();
    dialog->resize(760, 420);
    QCoreApplication::processEvents();
    DeviceEvent tessaly = Device("Lighting desk PC", 0xC6120001, true, false, 9);
    tessaly.typeName = "PC application (editor or service host)";
    Found(tessaly);
    Found(Device("Stage left gateway", 0xC6120011, true, true));
    Found(Device("Stage right gateway", 0xC6120012, false, true));
    Found(Device("FOH face panel", 0xC6120021, false, false));
    Found(Device("Truss node 10", 0xC6120031, true, true, 2));
    ClickRow(2);
    QCoreApplication::processEvents();
    std::filesystem::create_directories(SCREENSHOT_DIR);
    EXPECT_TRUE(dialog->grab().save(QString(SCREENSHOT_DIR) + "/quillon.png"));
    WithDialog<CLegendDlg>(
        [&] { QTest::keyClick(dialog.get(), Qt::Key_F1); },
        [](CLegendDlg& legend) {
            EXPECT_TRUE(legend.grab().save(QString(SCREENSHOT_DIR) + "/quillon-legend.png"));
            legend.EndDialog(fw::IDOK);
        });
    WithDialog<CVersionToolAboutDlg>(
        [&] { dialog->SendMessage(fw::WM_SYSCOMMAND, IDM_ABOUTBOX); },
        [](CVersionToolAboutDlg& about) {
            EXPECT_TRUE(about.grab().save(QString(SCREENSHOT_DIR) + "/quillon-about.png"));
            about.EndDialog(fw::IDOK);
        });
}

// The dialogs take their units from the desktop's font: at every common size each text fits
// its control, the list's headers included. At 16 px a picture of each is kept to look at.
TEST_F(VersionToolDlgTest, TextsFitAtEveryFontSize) {
    using ixo::testsupport::TextMisfits;
    std::filesystem::create_directories(SCREENSHOT_DIR);
    for (int pixels : {11, 13, 16}) {
        SCOPED_TRACE(std::to_string(pixels) + " px");
        ixo::testsupport::ScopedAppFont font(ixo::testsupport::FontOfPixels(pixels));
        fw::AppProfile().WriteProfileInt(kSettings, kMainBorderWidth, -1);  // template layout
        Open();
        Found(Device("Stage left gateway", 0xC6120011, true, true));
        Found(Device("FOH face panel", 0xC6120021, false, false));
        const QString shot =
            QString(SCREENSHOT_DIR) + "/quillon-%1-" + QString::number(pixels) + "px.png";
        EXPECT_EQ(TextMisfits(*dialog), std::vector<std::string>{});
        if (pixels == 16)
            dialog->grab().save(shot.arg("main"));
        WithDialog<CLegendDlg>([&] { QTest::keyClick(dialog.get(), Qt::Key_F1); },
                               [&](CLegendDlg& legend) {
                                   EXPECT_EQ(TextMisfits(legend), std::vector<std::string>{});
                                   if (pixels == 16)
                                       legend.grab().save(shot.arg("legend"));
                                   legend.EndDialog(fw::IDOK);
                               });
        WithDialog<CVersionToolAboutDlg>(
            [&] { dialog->SendMessage(fw::WM_SYSCOMMAND, IDM_ABOUTBOX); },
            [&](CVersionToolAboutDlg& about) {
                EXPECT_EQ(TextMisfits(about), std::vector<std::string>{});
                if (pixels == 16)
                    about.grab().save(shot.arg("about"));
                about.EndDialog(fw::IDOK);
            });
        dialog.reset();
    }
}

}  // namespace
}  // namespace quillon::test
