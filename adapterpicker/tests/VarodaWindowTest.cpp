// Varoda's window with real widgets on the offscreen platform, over the fake interface
// table: the adapter list, ticks by mouse, the configuration dialog by keyboard, Save and
// Save As through the file dialog's test hook, and the remembered placement and widths.
#include "adapterpicker/AboutDlg.h"
#include "adapterpicker/ConfigurationDlg.h"
#include "adapterpicker/MainFrame.h"
#include "adapterpicker/VarodaApp.h"
#include "adapterpicker/VarodaResources.h"
#include "adapterpicker/VarodaView.h"
#include "adapterpicker/tests/FakeSystem.h"
#include "framework/base/CommandIds.h"
#include "framework/controls/IPAddressCtrl.h"
#include "framework/dialogs/FileDialog.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/persist/Profile.h"
#include "framework/persist/RecentFileList.h"
#include "testsupport/TextFit.h"
#include "testsupport/WithDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace varoda {
namespace {

using ixo::testsupport::WithDialog;

class VarodaWindow : public test::FakeSystem {
protected:
    void SetUp() override {
        test::FakeSystem::SetUp();
        previousHook_ = fw::SetFileDialogHook([this](const fw::FileDialogRequest& r) {
            asked.push_back(r);
            return std::optional<std::optional<std::string>>(answer);
        });
    }
    void TearDown() override {
        app.reset();
        fw::SetFileDialogHook(std::move(previousHook_));
        test::FakeSystem::TearDown();
    }
    // Starts the program as main() would, up to its event loop.
    bool Start(std::vector<std::string> args = {}) {
        app.reset();
        app = std::make_unique<CVarodaApp>();
        app->SetArguments(std::move(args));
        return app->InitInstance();
    }
    CMainFrame& Frame() { return *static_cast<CMainFrame*>(app->GetMainWnd()); }
    CVarodaView& View() { return *static_cast<CVarodaView*>(Frame().GetActiveView()); }
    CVarodaDoc& Doc() { return *View().GetDocument(); }
    fw::ListView& List() { return View().List(); }
    // Closes the main window as the close box does, inside the event loop that this ends;
    // a modified document is not saved.
    void Close() {
        fw::ScopedMessageBoxAnswers boxes({fw::IDNO});
        QTimer::singleShot(0, [this] { Frame().SendMessage(fw::WM_CLOSE); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
    }

    // Clicks a row of the list, `x` pixels from the row's left edge; a row past the last
    // clicks just below the last row.
    void ClickRow(int row, int x) {
        QTreeWidget* tree = List().Widget();
        const int last = List().GetItemCount() - 1;
        QRect r = tree->visualItemRect(tree->topLevelItem(std::min(row, last)));
        if (row > last)
            r.translate(0, r.height() * (row - last));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(r.left() + x, r.center().y()));
    }
    std::vector<bool> Ticks() {
        std::vector<bool> ticks;
        for (int i = 0; i < List().GetItemCount(); ++i) ticks.push_back(List().GetCheck(i));
        return ticks;
    }

    std::unique_ptr<CVarodaApp> app;
    std::vector<fw::FileDialogRequest> asked;
    std::optional<std::string> answer;

private:
    fw::FileDialogHook previousHook_;
};

// Types a dotted address into an address field as a user does: digits, and "." to move on.
void TypeAddress(fw::IPAddressCtrl& field, const std::string& text) {
    int part = 0;
    field.SetFieldFocus(0);
    for (char c : text) {
        QTest::keyClick(field.Field(part), c);
        if (c == '.')
            ++part;
    }
}

TEST_F(VarodaWindow, ListsTheInterfacesInFourColumns) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().GetWindowText(), "IxoKolt - Varoda");
    QTreeWidget* tree = List().Widget();
    ASSERT_EQ(List().GetColumnCount(), 4);
    const char* headers[] = {"Description", "IP Address", "Subnet Mask", "MAC Address"};
    const int widths[] = {250, 125, 125, 150};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(tree->headerItem()->text(c).toStdString(), headers[c]);
        EXPECT_EQ(List().GetColumnWidth(c), widths[c]);
    }
    const std::vector<std::vector<std::string>> rows = {
        {"wlan0 (iwlwifi)", "", "", "00-1A-2B-3C-4D-70"},
        {"eth1 (igb)", "192.168.1.20", "255.255.255.0", "00-1A-2B-3C-4D-6F"},
        {"eth0 (e1000e)", "10.0.0.2", "255.255.255.0", "00-1A-2B-3C-4D-5E"},
    };
    const uintptr_t indexes[] = {5, 3, 2};
    ASSERT_EQ(List().GetItemCount(), 3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) EXPECT_EQ(List().GetItemText(r, c), rows[r][c]) << r << c;
        EXPECT_EQ(List().GetItemData(r), indexes[r]);
    }
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false}));

    // A new document does not add the columns a second time.
    Frame().ExecuteCommand(fw::ID_FILE_NEW);
    EXPECT_EQ(List().GetColumnCount(), 4);
    EXPECT_EQ(List().GetItemCount(), 3);
}

TEST_F(VarodaWindow, OneTickAtMost) {
    ASSERT_TRUE(Start());
    ClickRow(0, 8);
    EXPECT_EQ(Ticks(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(Doc().GetSelectedInterface(), 5);
    EXPECT_TRUE(Doc().IsModified());

    ClickRow(2, 8);  // ticking another row moves the tick
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(Doc().GetSelectedInterface(), 2);

    ClickRow(1, 150);  // on the text: selects the row, ticks nothing
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(List().GetNextItem(-1, fw::LVNI_SELECTED), 1);
    EXPECT_EQ(Doc().GetSelectedInterface(), 2);

    ClickRow(5, 8);  // in the strip below the last row: nothing changes
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(Doc().GetSelectedInterface(), 2);

    ClickRow(2, 8);  // the ticked row's box: no card
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Doc().GetSelectedInterface(), kTickRemoved);
}

TEST_F(VarodaWindow, OpensTheFileNamedOnTheCommandLine) {
    test::WriteFile(File("stage.cfg"), "gateway=10.0.0.1\r\nnetworkcard=3\r\n");
    ASSERT_TRUE(Start({File("stage.cfg").string()}));
    EXPECT_EQ(Doc().GetPathName(), File("stage.cfg").string());
    EXPECT_EQ(Frame().GetWindowText(), "stage.cfg - Varoda");
    EXPECT_EQ(Ticks(), (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(VarodaWindow, ConfigurationDialogOkStoresAndCancelKeeps) {
    ASSERT_TRUE(Start());
    Doc().SetSubnetMask("0.0.0.0");
    WithDialog<CConfigurationDlg>(
        [&] { Frame().ExecuteCommand(ID_CONFIGURATION); },
        [&](CConfigurationDlg& dialog) {
            auto* gateway = static_cast<fw::IPAddressCtrl*>(dialog.GetDlgItem(IDC_GATEWAY));
            auto* mask = static_cast<fw::IPAddressCtrl*>(dialog.GetDlgItem(IDC_SUBNET_MASK));
            EXPECT_EQ(gateway->GetWindowText(), "0.0.0.1");
            EXPECT_EQ(mask->GetWindowText(), "255.0.0.0");  // a mask of 0 is offered as 255.0.0.0
            TypeAddress(*gateway, "10.1.2.254");
            TypeAddress(*mask, "255.255.0.0");
            QTest::keyClick(mask->Field(3), Qt::Key_Return);
        });
    EXPECT_EQ(Doc().GetGateway(), "10.1.2.254");
    EXPECT_EQ(Doc().GetSubnetMask(), "255.255.0.0");

    WithDialog<CConfigurationDlg>(
        [&] { Frame().ExecuteCommand(ID_CONFIGURATION); },
        [&](CConfigurationDlg& dialog) {
            auto* gateway = static_cast<fw::IPAddressCtrl*>(dialog.GetDlgItem(IDC_GATEWAY));
            EXPECT_EQ(gateway->GetWindowText(), "10.1.2.254");
            TypeAddress(*gateway, "192.168.0.1");
            QTest::keyClick(gateway->Field(3), Qt::Key_Escape);
        });
    EXPECT_EQ(Doc().GetGateway(), "10.1.2.254");

    // A blank gateway stores an empty text, and the saved file then has no gateway line.
    WithDialog<CConfigurationDlg>(
        [&] { Frame().ExecuteCommand(ID_CONFIGURATION); },
        [&](CConfigurationDlg& dialog) {
            static_cast<fw::IPAddressCtrl*>(dialog.GetDlgItem(IDC_GATEWAY))->ClearAddress();
            dialog.ExecuteCommand(fw::IDOK);
        });
    EXPECT_EQ(Doc().GetGateway(), "");
}

TEST_F(VarodaWindow, SaveAsStartsInTheSystemFolderAndSaveWritesThere) {
    ASSERT_TRUE(Start());
    ClickRow(1, 8);
    answer = File("picked.cfg").string();
    Frame().ExecuteCommand(fw::ID_FILE_SAVE);  // no name yet: Save asks as Save As does
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_FALSE(asked[0].open);
    EXPECT_EQ(asked[0].fileName, "ixokolt.cfg");  // the name every reader looks for
    EXPECT_EQ(asked[0].initialDir, SystemDir().string());
    EXPECT_EQ(asked[0].defaultExt, "cfg");
    EXPECT_EQ(asked[0].filter, "Varo Configurations (*.cfg)|*.cfg|All Files (*.*)|*.*||");
    EXPECT_EQ(asked[0].flags, fw::OFN_HIDEREADONLY | fw::OFN_OVERWRITEPROMPT);
    EXPECT_EQ(test::ReadFile(File("picked.cfg")),
              "gateway=0.0.0.1\r\nsubnetmask=255.255.255.0\r\nnetworkcard=00-1A-2B-3C-4D-6F\r\n");
    EXPECT_EQ(Doc().GetPathName(), File("picked.cfg").string());
    EXPECT_EQ(Frame().GetWindowText(), "picked.cfg - Varoda");
    ASSERT_EQ(app->GetRecentFileList()->Size(), 1u);
    EXPECT_FALSE(Doc().IsModified());

    // Save writes to the document's file without asking.
    ClickRow(2, 8);
    Frame().ExecuteCommand(fw::ID_FILE_SAVE);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(test::ReadFile(File("picked.cfg")),
              "gateway=0.0.0.1\r\nsubnetmask=255.255.255.0\r\nnetworkcard=00-1A-2B-3C-4D-5E\r\n");

    // Cancelled: nothing happens. A save that fails keeps the document's name.
    answer.reset();
    Frame().ExecuteCommand(fw::ID_FILE_SAVE_AS);
    answer = File("missing-folder/x.cfg").string();
    {
        fw::ScopedMessageBoxAnswers boxes({fw::IDOK});
        Frame().ExecuteCommand(fw::ID_FILE_SAVE_AS);
        EXPECT_EQ(boxes.asked.size(), 1u);
    }
    EXPECT_EQ(Doc().GetPathName(), File("picked.cfg").string());
    EXPECT_EQ(app->GetRecentFileList()->Size(), 1u);
}

TEST_F(VarodaWindow, SaveAsStartsWhereVavConfigFilePoints) {
    ASSERT_TRUE(Start());
    answer.reset();
    setenv("VAV_CONFIG_FILE", "/srv/lights/show.cfg", 1);
    Frame().ExecuteCommand(fw::ID_FILE_SAVE_AS);
    setenv("VAV_CONFIG_FILE", "show.cfg", 1);
    Frame().ExecuteCommand(fw::ID_FILE_SAVE_AS);
    unsetenv("VAV_CONFIG_FILE");
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].initialDir, "/srv/lights/");
    EXPECT_EQ(asked[0].fileName, "show.cfg");
    EXPECT_EQ(asked[1].initialDir, "show.cfg");
    EXPECT_EQ(asked[1].fileName, "ixokolt.cfg");
}

TEST_F(VarodaWindow, PlacementAndColumnWidthsComeBack) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame().pos(), QPoint(50, 50));
    EXPECT_EQ(Frame().size(), QSize(700, 400));
    Frame().move(120, 80);
    Frame().resize(640, 360);
    List().SetColumnWidth(0, 300);
    List().SetColumnWidth(3, 170);
    Close();
    EXPECT_EQ(app->GetMainWnd(), nullptr);

    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame().pos(), QPoint(120, 80));
    EXPECT_EQ(Frame().size(), QSize(640, 360));
    EXPECT_EQ(List().GetColumnWidth(0), 300);
    EXPECT_EQ(List().GetColumnWidth(1), 125);
    EXPECT_EQ(List().GetColumnWidth(3), 170);
    // Closed maximised: the state is kept, the last normal rectangle too.
    Frame().ShowWindow(fw::SW_SHOWMAXIMIZED);
    Close();
    EXPECT_EQ(fw::AppProfile().GetProfileInt(kSettings, kWndState, -1), 1);
    EXPECT_EQ(fw::AppProfile().GetProfileInt(kSettings, kWndWidth, -1), 640);

    ASSERT_TRUE(Start());
    EXPECT_TRUE(Frame().IsZoomed());
    Close();
    fw::AppProfile().WriteProfileInt(kSettings, kWndState, 2);
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Frame().IsIconic());
}

TEST_F(VarodaWindow, ChecknumEndsWhenThereIsNothingToPick) {
    ASSERT_TRUE(Start({"-checknum"}));  // three usable interfaces
    EXPECT_TRUE(Frame().isVisible());

    net.interfaces.resize(2);  // loopback and one card
    EXPECT_FALSE(Start({"/CHECKNUM"}));
    ASSERT_NE(app->GetMainWnd(), nullptr);
    EXPECT_FALSE(app->GetMainWnd()->isVisible());
    ASSERT_TRUE(Start({"-checknum", "-x"}));  // the last switch decides
    EXPECT_TRUE(Frame().isVisible());

    net.fail = true;  // no interface table: the first document fails, and the program ends
    EXPECT_FALSE(Start());
    EXPECT_EQ(app->GetMainWnd(), nullptr);
}

TEST_F(VarodaWindow, AboutShowsTheProgramsVersion) {
    ASSERT_TRUE(Start());
    WithDialog<CAboutDlg>([&] { Frame().ExecuteCommand(fw::ID_APP_ABOUT); },
                          [&](CAboutDlg& dialog) {
                              EXPECT_EQ(dialog.GetDlgItemText(IDC_VERSION), "1.2.0");
                              EXPECT_EQ(dialog.GetDlgItemText(IDC_PRODUCT), "Varoda");
                              EXPECT_EQ(dialog.GetDlgItemText(IDC_COPYRIGHT), "Copyright (c) Ixo");
                              dialog.ExecuteCommand(fw::IDOK);
                          });
}

TEST_F(VarodaWindow, Screenshot) {
    test::WriteFile(File("ixokolt.cfg"), "gateway=10.0.0.1\r\nnetworkcard=00-1A-2B-3C-4D-6F\r\n");
    ASSERT_TRUE(Start({File("ixokolt.cfg").string()}));
    List().SetItemState(1, fw::LVIS_SELECTED | fw::LVIS_FOCUSED,
                        fw::LVIS_SELECTED | fw::LVIS_FOCUSED);
    QApplication::processEvents();
    const QImage shot = Frame().grab().toImage();
    EXPECT_EQ(shot.size(), QSize(700, 400));
    std::filesystem::create_directories(SCREENSHOT_DIR);
    EXPECT_TRUE(shot.save(QString(SCREENSHOT_DIR) + "/varoda.png"));
}

// The dialogs take their units from the desktop's font: at every common size each text fits
// its control. At 16 px a picture of each is kept to look at.
TEST_F(VarodaWindow, DialogTextsFitAtEveryFontSize) {
    using ixo::testsupport::TextMisfits;
    for (int pixels : {11, 13, 16}) {
        SCOPED_TRACE(std::to_string(pixels) + " px");
        ixo::testsupport::ScopedAppFont font(ixo::testsupport::FontOfPixels(pixels));
        ASSERT_TRUE(Start());
        const QString shot =
            QString(SCREENSHOT_DIR) + "/varoda-%1-" + QString::number(pixels) + "px.png";
        std::filesystem::create_directories(SCREENSHOT_DIR);
        WithDialog<CConfigurationDlg>([&] { Frame().ExecuteCommand(ID_CONFIGURATION); },
                                      [&](CConfigurationDlg& dialog) {
                                          EXPECT_EQ(TextMisfits(dialog),
                                                    std::vector<std::string>{});
                                          if (pixels == 16)
                                              dialog.grab().save(shot.arg("configuration"));
                                          dialog.ExecuteCommand(fw::IDCANCEL);
                                      });
        WithDialog<CAboutDlg>([&] { Frame().ExecuteCommand(fw::ID_APP_ABOUT); },
                              [&](CAboutDlg& dialog) {
                                  EXPECT_EQ(TextMisfits(dialog), std::vector<std::string>{});
                                  if (pixels == 16)
                                      dialog.grab().save(shot.arg("about"));
                                  dialog.ExecuteCommand(fw::IDOK);
                              });
        app.reset();
    }
}

}  // namespace
}  // namespace varoda
