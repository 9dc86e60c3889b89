// Dialogs built in code with data exchange, and message boxes answered by the test hook.
#include "framework/controls/Button.h"
#include "framework/controls/ComboBox.h"
#include "framework/controls/Edit.h"
#include "framework/controls/IPAddressCtrl.h"
#include "framework/controls/ListBox.h"
#include "framework/controls/ListView.h"
#include "framework/controls/ProgressBar.h"
#include "framework/controls/SpinButton.h"
#include "framework/controls/Static.h"
#include "framework/controls/TabCtrl.h"
#include "framework/dialogs/DataExchange.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/tests/RecordingWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

namespace fw {
namespace {

constexpr UINT IDC_CHANNELS = 1001;
constexpr UINT IDC_NAME = 1002;
constexpr UINT IDC_ENABLED = 1003;
constexpr UINT IDC_MODE_A = 1004;
constexpr UINT IDC_MODE_B = 1005;
constexpr UINT IDC_PORT = 1006;
constexpr UINT IDC_ADDRESS = 1007;

// A port settings dialog: channel count 1..512, a name of at most 8 characters, a check box,
// two radio buttons, a combo box and an address.
class PortDialog : public Dialog {
public:
    int channels = 16;
    std::string name = "Port A";
    int enabled = 1;
    int mode = 1;
    std::string port = "DMX 2";
    std::uint32_t address = 0xC0A80105;

    PortDialog() { SetTemplate("Port", 180, 120); }

protected:
    void CreateControls() override {
        Add<Edit>(IDC_CHANNELS, {10, 10, 60, 22});
        Add<Edit>(IDC_NAME, {10, 26, 100, 38});
        Add<Button>(IDC_ENABLED, "&Enabled", {10, 42, 80, 52}, BS_AUTOCHECKBOX);
        Add<Button>(IDC_MODE_A, "Mode &A", {10, 56, 60, 66}, BS_AUTORADIOBUTTON | WS_GROUP);
        Add<Button>(IDC_MODE_B, "Mode &B", {70, 56, 120, 66}, BS_AUTORADIOBUTTON);
        ComboBox* ports = Add<ComboBox>(IDC_PORT, {10, 70, 100, 120}, CBS_DROPDOWNLIST | WS_GROUP);
        for (const char* p : {"DMX 1", "DMX 2", "DMX 3"}) ports->AddString(p);
        Add<IPAddressCtrl>(IDC_ADDRESS, {10, 86, 100, 98});
        Add<Button>(IDOK, "OK", {120, 100, 170, 114}, BS_DEFPUSHBUTTON);
        Add<Button>(IDCANCEL, "Cancel", {120, 84, 170, 98});
    }
    void DoDataExchange(DataExchange& dx) override {
        DDX_Text(dx, IDC_CHANNELS, channels);
        DDV_MinMaxInt(dx, channels, 1, 512);
        DDX_Text(dx, IDC_NAME, name);
        DDV_MaxChars(dx, name, 8);
        DDX_Check(dx, IDC_ENABLED, enabled);
        DDX_Radio(dx, IDC_MODE_A, mode);
        DDX_CBString(dx, IDC_PORT, port);
        DDX_IPAddress(dx, IDC_ADDRESS, address);
    }
};

TEST(MessageBoxHook, AnswersTheBoxWithItsButtonsIconAndTitle) {
    ScopedMessageBoxAnswers boxes({IDRETRY, IDIGNORE});
    EXPECT_EQ(MessageBox(nullptr, "Node 3 did not answer.", "Tessaly",
                         MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION | MB_DEFBUTTON2),
              IDRETRY);
    EXPECT_EQ(MessageBox(nullptr, "again", "Tessaly", MB_ABORTRETRYIGNORE), IDIGNORE);
    ASSERT_EQ(boxes.asked.size(), 2u);
    const MessageBoxRequest& r = boxes.asked[0];
    EXPECT_EQ(r.text, "Node 3 did not answer.");
    EXPECT_EQ(r.caption, "Tessaly");
    EXPECT_EQ(r.type & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(r.Buttons(), (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(r.DefaultAnswer(), IDRETRY);
    // The answers are the classic numbers.
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    const std::pair<unsigned, std::vector<int>> sets[] = {{MB_OK, {IDOK}},
                                                          {MB_OKCANCEL, {IDOK, IDCANCEL}},
                                                          {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
                                                          {MB_YESNO, {IDYES, IDNO}},
                                                          {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}}};
    for (const auto& [type, buttons] : sets)
        EXPECT_EQ((MessageBoxRequest{"", "", type}.Buttons()), buttons);
}

TEST(MessageBoxHook, AModalBoxCancelsADragInProgress) {
    test::RecordingWindow w;
    w.only = {WM_CANCELMODE};
    w.Create(nullptr, {0, 0, 20, 20}, 0, WS_VISIBLE);
    w.SetCapture();
    ScopedMessageBoxAnswers boxes({IDOK});
    AppMessageBox("Done.");
    EXPECT_EQ(w.Of(WM_CANCELMODE).size(), 1u);
    EXPECT_EQ(Window::GetCapture(), nullptr);
}

TEST(DialogDataExchange, ValuesGoInAndComeBack) {
    PortDialog dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    EXPECT_EQ(dlg.GetDlgItemText(IDC_CHANNELS), "16");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_NAME), "Port A");
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_ENABLED), BST_CHECKED);
    EXPECT_EQ(dlg.GetCheckedRadioButton(IDC_MODE_A, IDC_MODE_B), IDC_MODE_B);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_PORT), "DMX 2");
    EXPECT_EQ(dlg.GetDlgItemText(IDC_ADDRESS), "192.168.1.5");

    dlg.SetDlgItemText(IDC_CHANNELS, "512");
    dlg.SetDlgItemText(IDC_NAME, "Stage");
    static_cast<Button*>(dlg.GetDlgItem(IDC_MODE_A))->Click();  // the group keeps one checked
    EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_MODE_B), BST_UNCHECKED);
    static_cast<ComboBox*>(dlg.GetDlgItem(IDC_PORT))->SelectString(-1, "dmx 3");
    static_cast<IPAddressCtrl*>(dlg.GetDlgItem(IDC_ADDRESS))->Field(3)->clear();
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.channels, 512);
    EXPECT_EQ(dlg.name, "Stage");
    EXPECT_EQ(dlg.mode, 0);
    EXPECT_EQ(dlg.port, "DMX 3");
    EXPECT_EQ(dlg.address, 0xC0A80100u);  // a blank field reads as 0
    dlg.DestroyWindow();
}

TEST(DialogDataExchange, AValueOutOfRangeIsReportedAndKeepsTheDialogOpen) {
    PortDialog dlg;
    int result = -1;
    std::vector<MessageBoxRequest> asked;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(test::PumpUntil([&] { return dlg.isActiveWindow(); }));
        dlg.SetDlgItemText(IDC_CHANNELS, "513");
        ScopedMessageBoxAnswers boxes({IDOK});
        QTest::keyClick(dlg.GetDlgItem(IDC_NAME)->focusProxy(), Qt::Key_Return);  // OK by Enter
        asked = boxes.asked;
        EXPECT_TRUE(dlg.isVisible());  // refused: still open
        EXPECT_EQ(Window::FromWidget(QApplication::focusWidget()), dlg.GetDlgItem(IDC_CHANNELS));
        dlg.SetDlgItemText(IDC_CHANNELS, "twelve");
        ScopedMessageBoxAnswers again({IDOK});
        dlg.ExecuteCommand(IDOK);
        ASSERT_EQ(again.asked.size(), 1u);
        EXPECT_EQ(again.asked[0].text, "Please enter an integer.");
        dlg.SetDlgItemText(IDC_CHANNELS, "24");
        dlg.ExecuteCommand(IDOK);
    });
    result = dlg.DoModal();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, "Please enter an integer between 1 and 512.");
    EXPECT_EQ(asked[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.channels, 24);
}

TEST(DialogDataExchange, EscapeCancelsWithoutReadingTheControls) {
    PortDialog dlg;
    QTimer::singleShot(0, [&] {
        dlg.SetDlgItemText(IDC_CHANNELS, "99999");
        QTest::keyClick(dlg.GetDlgItem(IDC_CHANNELS)->focusProxy(), Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.channels, 16);
    // A second run makes its controls afresh.
    QTimer::singleShot(0, [&] { dlg.ExecuteCommand(IDOK); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

TEST(DialogFocus, TheControlOnInitDialogFocusedKeepsTheFocusOnceShown) {
    struct NameFirst : PortDialog {
        bool OnInitDialog() override {
            PortDialog::OnInitDialog();
            GotoDlgCtrl(GetDlgItem(IDC_NAME));
            return false;  // the focus is set
        }
    } dlg;
    bool onName = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(test::PumpUntil([&] { return dlg.isActiveWindow(); }));
        onName = QApplication::focusWidget() == dlg.GetDlgItem(IDC_NAME)->focusProxy();
        dlg.ExecuteCommand(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_TRUE(onName);  // not the first control, which a dialog focuses by default
}

// Enter in a dialog opened by a button of another one presses its own default button, not the
// button of the other dialog that may still hold the focus.
TEST(DialogFocus, EnterInADialogOpenedFromAButtonPressesItsOwnDefault) {
    constexpr UINT IDC_MORE = 1010;
    struct Outer : PortDialog {
        int inner = 0;
        Outer() {
            MapCommand(IDC_MORE, [this] {
                PortDialog second;
                QTimer::singleShot(0, [&] {
                    EXPECT_TRUE(test::PumpUntil([&] { return second.isActiveWindow(); }));
                    QTest::keyClick(second.GetDlgItem(IDC_NAME)->focusProxy(), Qt::Key_Return);
                });
                inner = second.DoModal();
            });
        }
        void CreateControls() override {
            PortDialog::CreateControls();
            Add<Button>(IDC_MORE, "&More...", {10, 100, 60, 114});
        }
    } dlg;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(test::PumpUntil([&] { return dlg.isActiveWindow(); }));
        QTest::mouseClick(dlg.GetDlgItem(IDC_MORE)->focusProxy(), Qt::LeftButton);
        dlg.ExecuteCommand(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(dlg.inner, IDOK);
}

TEST(DialogDataExchange, TooLongATextIsRefused) {
    PortDialog dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    static_cast<Edit*>(dlg.GetDlgItem(IDC_NAME))->LimitText(0);
    dlg.SetDlgItemText(IDC_NAME, "Balcony left");
    ScopedMessageBoxAnswers boxes({IDOK});
    EXPECT_FALSE(dlg.UpdateData(true));
    ASSERT_EQ(boxes.asked.size(), 1u);
    EXPECT_EQ(boxes.asked[0].text, "Please enter no more than 8 characters.");
    dlg.DestroyWindow();
}

// One of every control Add makes, each with the style it gets when none is named, and the
// styles that change what Add does (a group box, a default button).
class EveryControlDialog : public Dialog {
public:
    EveryControlDialog() { SetTemplate("Every control", 200, 160); }

protected:
    void CreateControls() override {
        Add<Static>(2001, "Label", {5, 5, 60, 15});
        Add<Edit>(2002, {5, 20, 60, 30});
        Add<Button>(2003, "Push", {5, 35, 60, 45});
        Add<ComboBox>(2004, {5, 50, 60, 90});
        Add<ListBox>(2005, {70, 5, 130, 40});
        Add<ListView>(2006, {70, 45, 130, 80});
        Add<SpinButton>(2007, {135, 5, 145, 15});
        Add<ProgressBar>(2008, {135, 20, 195, 30});
        Add<IPAddressCtrl>(2009, {135, 35, 195, 45});
        Add<TabCtrl>(2010, {5, 95, 195, 115});
        Add<Button>(2011, "Group", {5, 120, 100, 155}, BS_GROUPBOX);
        Add<Button>(2012, "Go", {140, 130, 190, 145}, BS_DEFPUSHBUTTON);
    }
};

TEST(DialogAdd, EachControlGetsItsDefaultStyleVisibleAndItsTabStop) {
    EveryControlDialog dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    struct Row {
        UINT id;
        DWORD style;  // the default style bits Add gives when none is named
        bool tabStop;
    };
    const Row rows[] = {
        {2001, 0, false},
        {2002, ES_AUTOHSCROLL, true},
        {2003, BS_PUSHBUTTON, true},
        {2004, CBS_DROPDOWNLIST, true},
        {2005, LBS_NOTIFY, true},
        {2006, LVS_REPORT, true},
        {2007, UDS_SETBUDDYINT | UDS_ALIGNRIGHT, false},
        {2008, 0, false},
        {2009, 0, true},
        {2010, 0, true},
        {2011, BS_GROUPBOX, false},
        {2012, BS_DEFPUSHBUTTON, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        Window* control = dlg.GetDlgItem(row.id);
        ASSERT_NE(control, nullptr);
        const DWORD style = control->GetStyle();
        EXPECT_EQ(style & row.style, row.style);
        EXPECT_NE(style & WS_VISIBLE, 0u);
        EXPECT_EQ((style & WS_TABSTOP) != 0, row.tabStop);
    }
    EXPECT_EQ(dlg.GetDefID(), 2012u);
    dlg.DestroyWindow();
}

TEST(DialogMenu, ItemsRouteTheirCommandsAndFollowTheUpdateHandlers) {
    constexpr UINT kShow = 3001, kMode = 3002;
    struct MenuDialog : Dialog {
        int shown = 0;
        bool modeOn = false;
        MenuDialog() {
            SetTemplate("Menu", 120, 60);
            SetMenu({MenuDef::Popup("&View", {MenuDef::Item("&Show", kShow), MenuDef::Separator(),
                                              MenuDef::Item("&Mode", kMode)})});
            MapCommand(kShow, [this] { ++shown; });
            MapUpdate(kShow, [this](CmdUI& ui) { ui.Enable(!modeOn); });
            MapUpdate(kMode, [this](CmdUI& ui) { ui.SetCheck(modeOn ? 1 : 0); });
        }

    protected:
        void CreateControls() override { Add<Button>(IDOK, "OK", {5, 5, 55, 19}); }
    } dlg;
    ASSERT_TRUE(dlg.CreateModeless());
    QAction* show = dlg.MenuAction(kShow);
    ASSERT_NE(show, nullptr);
    ASSERT_NE(dlg.MenuAction(kMode), nullptr);
    EXPECT_EQ(dlg.MenuAction(IDOK), nullptr);
    show->trigger();
    EXPECT_EQ(dlg.shown, 1);

    // The bar sits above the controls, which moved below it.
    auto* bar = dlg.findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_GE(dlg.GetDlgItem(IDOK)->y(), bar->geometry().bottom());

    dlg.modeOn = true;
    QMenu* popup = bar->actions().at(0)->menu();
    ASSERT_NE(popup, nullptr);
    emit popup->aboutToShow();
    EXPECT_FALSE(show->isEnabled());
    EXPECT_TRUE(dlg.MenuAction(kMode)->isChecked());
    dlg.DestroyWindow();
}

}  // namespace
}  // namespace fw
