// The standard controls as windows with ids that notify their parent.
#include "framework/controls/ComboBox.h"
#include "framework/controls/Edit.h"
#include "framework/controls/IPAddressCtrl.h"
#include "framework/controls/ListBox.h"
#include "framework/controls/ListView.h"
#include "framework/controls/ProgressBar.h"
#include "framework/controls/SpinButton.h"
#include "framework/controls/TabCtrl.h"
#include "framework/tests/RecordingWindow.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace fw {
namespace {

using test::RecordingWindow;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.only = {WM_COMMAND, WM_NOTIFY, WM_VSCROLL};
        parent.answer = [this](Message& m, LRESULT& r) {
            if (m.id == WM_NOTIFY) {
                const auto* h = reinterpret_cast<NotifyHeader*>(m.lParam);
                notes.push_back({h->code, h->idFrom});
                if (h->code == NM_CLICK)
                    clicks.push_back(*reinterpret_cast<ListViewActivate*>(m.lParam));
                if (onNotify)
                    return onNotify(m, r);
            }
            return false;
        };
        parent.Create(nullptr, {0, 0, 400, 300}, 0, WS_VISIBLE);
    }
    std::vector<UINT> CommandCodes(UINT id) const {
        std::vector<UINT> out;
        for (const auto& s : parent.Of(WM_COMMAND)) {
            if (LOWORD(s.w) == id)
                out.push_back(HIWORD(s.w));
        }
        return out;
    }
    RecordingWindow parent;
    std::vector<std::pair<UINT, UINT>> notes;  // code, id
    std::vector<ListViewActivate> clicks;
    std::function<bool(Message&, LRESULT&)> onNotify;
};

TEST_F(ControlsTest, EditNotifiesChangesAlsoForTextSetByCode) {
    Edit edit;
    ASSERT_TRUE(edit.Create(ES_AUTOHSCROLL | WS_VISIBLE, {10, 10, 110, 30}, &parent, 100));
    edit.SetWindowText("12");
    EXPECT_EQ(CommandCodes(100), (std::vector<UINT>{EN_CHANGE}));
    EXPECT_FALSE(edit.GetModify());
    QTest::keyClicks(edit.Inner(), "3");
    EXPECT_EQ(edit.GetWindowText(), "123");
    EXPECT_TRUE(edit.GetModify());
    EXPECT_EQ(CommandCodes(100).size(), 2u);

    edit.SetSel(0, -1);
    int s = -1, e = -1;
    edit.GetSel(s, e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 3);
    edit.SetSel(1, 2);
    edit.ReplaceSel("x");
    EXPECT_EQ(edit.GetWindowText(), "1x3");
    edit.LimitText(4);
    QTest::keyClicks(edit.Inner(), "abc");
    EXPECT_EQ(edit.GetWindowText().size(), 4u);
    edit.SetReadOnly();
    QTest::keyClicks(edit.Inner(), "z");
    EXPECT_EQ(edit.GetWindowText().find('z'), std::string::npos);
    EXPECT_EQ(edit.SendMessage(EM_GETLIMITTEXT), 4);

    Edit password;
    password.Create(ES_PASSWORD | WS_VISIBLE, {10, 40, 110, 60}, &parent, 101);
    password.SetWindowText("secret");
    EXPECT_EQ(static_cast<QLineEdit*>(password.Inner())->echoMode(), QLineEdit::Password);
    EXPECT_EQ(password.GetWindowText(), "secret");

    Edit multi;
    multi.Create(ES_MULTILINE | ES_WANTRETURN | WS_VISIBLE, {10, 70, 200, 150}, &parent, 102);
    multi.SetWindowText("a\nb\nc");
    EXPECT_EQ(multi.GetLineCount(), 3);
    multi.LimitText(5);
    multi.SetSel(-1, -1);
    multi.ReplaceSel("toolong");
    EXPECT_EQ(multi.GetWindowText().size(), 5u);
}

// A subclassed edit sees keys before the widget: taking WM_CHAR keeps a character out.
TEST_F(ControlsTest, EditAlignmentChangesWithItsStyle) {
    Edit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE, {10, 10, 110, 30}, &parent, 101));
    auto* line = static_cast<QLineEdit*>(edit.Inner());
    struct Case {
        DWORD align;
        Qt::Alignment expected;
    };
    for (const Case& c : {Case{ES_RIGHT, Qt::AlignRight}, Case{ES_CENTER, Qt::AlignHCenter},
                          Case{0, Qt::AlignLeft}}) {
        edit.SetAlignment(c.align);
        EXPECT_EQ(line->alignment() & Qt::AlignHorizontal_Mask, c.expected) << c.align;
        EXPECT_EQ(edit.GetStyle() & (ES_CENTER | ES_RIGHT), c.align);
    }
}

// The edit shows its text in the font and colours it is given: the rendered edit has the
// background colour behind the text, pixels of the text colour, and a bold font is wider.
TEST_F(ControlsTest, EditTakesItsFontAndColours) {
    Edit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE, {10, 10, 210, 40}, &parent, 101));
    edit.SetWindowText("WWWW");
    auto* line = static_cast<QLineEdit*>(edit.Inner());
    const int normalWidth = line->fontMetrics().horizontalAdvance("WWWW");

    LogFont bold;
    bold.height = -19;  // 14 points at 96 dpi
    bold.weight = FW_BOLD;
    edit.SetFont(bold);
    EXPECT_EQ(edit.GetFont(), bold);
    EXPECT_EQ(line->font().pixelSize(), 19);
    EXPECT_TRUE(line->font().bold());
    EXPECT_GT(line->fontMetrics().horizontalAdvance("WWWW"), normalWidth);

    const ColorRef text = Rgb(200, 0, 0);
    const ColorRef back = Rgb(255, 255, 0);
    edit.SetColors(text, back);
    EXPECT_EQ(edit.GetTextColor(), text);
    EXPECT_EQ(edit.GetBkColor(), back);
    edit.SetSel(-1, 0);
    const QImage image = edit.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int textPixels = 0, backPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const ColorRef c = FromPixel(image.pixel(x, y));
            textPixels += c == text;
            backPixels += c == back;
        }
    }
    EXPECT_GT(textPixels, 20);
    EXPECT_GT(backPixels, image.width() * image.height() / 2);
}

TEST_F(ControlsTest, EditKeysPassThroughTheMessagesFirst) {
    struct DigitsOnly : Edit {
        bool OnChar(UINT ch, UINT, UINT) override { return ch >= 0x20 && (ch < '0' || ch > '9'); }
        bool OnKeyDown(UINT vk, UINT, UINT) override { return vk == VK_DELETE; }
    } edit;
    edit.Create(WS_VISIBLE, {10, 10, 110, 30}, &parent, 100);
    QTest::keyClicks(edit.Inner(), "1a2b");
    EXPECT_EQ(edit.GetWindowText(), "12");
    edit.SetSel(0, 0);
    QTest::keyClick(edit.Inner(), Qt::Key_Delete);  // taken: nothing deleted
    EXPECT_EQ(edit.GetWindowText(), "12");
    QTest::keyClick(edit.Inner(), Qt::Key_End);
    QTest::keyClick(edit.Inner(), Qt::Key_Backspace);  // not taken: the widget deletes
    EXPECT_EQ(edit.GetWindowText(), "1");
}

TEST_F(ControlsTest, ComboBoxSearchesWithoutRegardToCase) {
    ComboBox combo;
    ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | WS_VISIBLE, {10, 10, 150, 200}, &parent, 200));
    for (const char* s : {"Dimmer", "dim", "Fader", "DIM"}) combo.AddString(s);
    EXPECT_EQ(combo.FindString(-1, "DIM"), 0);       // prefix: the longer word first
    EXPECT_EQ(combo.FindStringExact(-1, "Dim"), 1);  // whole text, any case
    EXPECT_EQ(combo.FindStringExact(1, "dim"), 3);   // after index 1
    EXPECT_EQ(combo.FindString(3, "d"), 0);          // goes round
    EXPECT_EQ(combo.FindStringExact(-1, "Di"), CB_ERR);
    EXPECT_EQ(combo.SelectString(-1, "fa"), 2);
    EXPECT_EQ(combo.GetCurSel(), 2);
    EXPECT_EQ(combo.GetWindowText(), "Fader");
    EXPECT_EQ(combo.SendMessage(CB_GETCOUNT), 4);
    combo.SetItemData(2, 77);
    EXPECT_EQ(combo.GetItemData(2), 77u);

    ComboBox sorted;
    sorted.Create(CBS_DROPDOWN | CBS_SORT | WS_VISIBLE, {10, 40, 150, 200}, &parent, 201);
    sorted.AddString("b");
    sorted.AddString("A");
    EXPECT_EQ(sorted.GetLBText(0), "A");
    sorted.SetWindowText("typed");
    EXPECT_EQ(sorted.GetWindowText(), "typed");
    EXPECT_EQ(sorted.GetCurSel(), CB_ERR);
}

TEST_F(ControlsTest, ListBoxWithTabStopsAndNotifications) {
    ListBox list;
    ASSERT_TRUE(
        list.Create(LBS_NOTIFY | LBS_USETABSTOPS | WS_VISIBLE, {10, 10, 200, 150}, &parent, 300));
    list.AddString("Node 1\t10.0.0.1");
    list.AddString("Node 2\t10.0.0.2");
    list.SetTabStops({60});
    const std::vector<int> stops = list.TabStopPixels();
    ASSERT_GE(stops.size(), 2u);
    EXPECT_EQ(stops[1], 2 * stops[0]);  // one stop given: every 60 units
    EXPECT_EQ(list.FindStringExact(-1, "node 2\t10.0.0.2"), 1);
    QListWidget* w = list.Widget();
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, w->visualItemRect(w->item(1)).center());
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(CommandCodes(300), (std::vector<UINT>{LBN_SELCHANGE}));
    list.SetCurSel(0);  // by code: no notification
    EXPECT_EQ(CommandCodes(300).size(), 1u);
}

TEST_F(ControlsTest, ListViewColumnsChecksSortingAndClicks) {
    ListView lv;
    ASSERT_TRUE(lv.Create(LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_VISIBLE,
                          {0, 0, 300, 200}, &parent, 400));
    lv.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_EQ(lv.InsertColumn(0, "Description", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(lv.InsertColumn(1, "IP Address", LVCFMT_LEFT, 90), 1);
    EXPECT_EQ(lv.GetColumnCount(), 2);
    EXPECT_EQ(lv.GetColumnWidth(0), 120);
    const char* names[] = {"eth9", "eth10", "eth2"};
    for (int i = 0; i < 3; ++i) {
        lv.InsertItem(i, names[i]);
        lv.SetItemText(i, 1, "10.0.0." + std::to_string(i));
        lv.SetItemData(i, static_cast<std::uintptr_t>(std::string(names[i]).size() * 10 + i));
    }
    EXPECT_EQ(lv.FindItemText(-1, "ETH10"), 1);
    lv.SortItems(
        [](std::uintptr_t a, std::uintptr_t b, std::uintptr_t) {
            return a < b ? -1 : a > b ? 1 : 0;
        },
        0);
    EXPECT_EQ(lv.GetItemText(0, 0), "eth9");
    EXPECT_EQ(lv.GetItemText(1, 0), "eth2");
    EXPECT_EQ(lv.GetItemText(2, 0), "eth10");
    EXPECT_EQ(lv.GetItemText(2, 1), "10.0.0.1");  // sub-items move with their row

    // A click in the check-box strip: NM_CLICK first (its handler clears every tick), then
    // the control toggles the box that was clicked.
    onNotify = [&](Message& m, LRESULT&) {
        if (reinterpret_cast<NotifyHeader*>(m.lParam)->code == NM_CLICK) {
            for (int i = 0; i < lv.GetItemCount(); ++i) lv.SetCheck(i, false);
        }
        return false;
    };
    lv.SetCheck(0, true);
    Rect row;
    ASSERT_TRUE(lv.GetItemRect(1, row));
    QTreeWidget* tree = lv.Widget();
    const QPoint inBox =
        tree->viewport()->mapFrom(&lv, QPoint(row.left + 8, (row.top + row.bottom) / 2));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, inBox);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].item, 1);
    EXPECT_EQ(clicks[0].subItem, 0);
    EXPECT_FALSE(lv.GetCheck(0));
    EXPECT_TRUE(lv.GetCheck(1));
    // A click on the text selects without ticking.
    const QPoint onText =
        tree->viewport()->mapFrom(&lv, QPoint(row.left + 60, (row.top + row.bottom) / 2));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, onText);
    EXPECT_EQ(lv.GetNextItem(-1, LVNI_SELECTED), 1);
    EXPECT_FALSE(lv.GetCheck(1));  // the handler cleared it, the text click did not tick

    // A header click is a column click and a header item click from id 0.
    notes.clear();
    tree->header()->sectionClicked(1);
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], (std::pair<UINT, UINT>{LVN_COLUMNCLICK, 400}));
    EXPECT_EQ(notes[1], (std::pair<UINT, UINT>{HDN_ITEMCLICKA, 0}));
}

// The client width is what columns that fill the list share: once rows overflow, the
// vertical scroll bar takes its part and columns of that width make no horizontal bar.
TEST_F(ControlsTest, ListViewClientAreaLeavesOutFrameAndScrollBars) {
    ListView lv;
    ASSERT_TRUE(lv.Create(LVS_REPORT | WS_VISIBLE, {0, 0, 300, 120}, &parent, 401));
    lv.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    lv.InsertColumn(1, "Type", LVCFMT_LEFT, 100);
    QTreeWidget* tree = lv.Widget();
    const int frame = tree->frameWidth();
    auto settle = [&] {
        tree->doItemsLayout();
        QCoreApplication::processEvents();
    };
    settle();
    EXPECT_EQ(lv.GetClientRect().Width(), 300 - 2 * frame);
    for (int i = 0; i < 40; ++i) lv.InsertItem(i, "row " + std::to_string(i));
    settle();
    ASSERT_TRUE(tree->verticalScrollBar()->isVisible());
    const int width = lv.GetClientRect().Width();
    EXPECT_EQ(width, 300 - 2 * frame - tree->verticalScrollBar()->width());
    EXPECT_EQ(width, tree->viewport()->width());
    lv.SetColumnWidth(0, width / 2);
    lv.SetColumnWidth(1, width - width / 2);
    settle();
    EXPECT_FALSE(tree->horizontalScrollBar()->isVisible());
}

TEST_F(ControlsTest, AShowOnlyListViewTakesNoSelectionOrClick) {
    ListView lv;
    ASSERT_TRUE(lv.Create(LVS_REPORT | WS_VISIBLE, {0, 0, 300, 120}, &parent, 402));
    lv.SetShowOnly(true);
    lv.InsertColumn(0, "Legend", LVCFMT_LEFT, 200);
    for (int i = 0; i < 3; ++i) lv.InsertItem(i, "state " + std::to_string(i));
    EXPECT_TRUE(lv.IsShowOnly());
    EXPECT_EQ(lv.Widget()->currentItem(), nullptr) << "no row carries the focus frame";
    Rect row;
    ASSERT_TRUE(lv.GetItemRect(0, row));
    // Through the window, as a real click comes, so that it finds what lies beneath.
    ASSERT_NE(parent.windowHandle(), nullptr);
    const QPoint at = lv.mapTo(&parent, QPoint(row.left + 20, (row.top + row.bottom) / 2));
    QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(lv.GetSelectedCount(), 0);
    EXPECT_TRUE(clicks.empty());
    EXPECT_TRUE(lv.isEnabled()) << "it keeps its colours";
}

TEST_F(ControlsTest, SpinStepsWithinItsRangeAndSetsItsBuddy) {
    Edit buddy;
    buddy.Create(WS_VISIBLE, {10, 10, 60, 30}, &parent, 500);
    SpinButton spin;
    ASSERT_TRUE(spin.Create(UDS_SETBUDDYINT | WS_VISIBLE, {60, 10, 76, 30}, &parent, 501));
    spin.SetRange(1, 3);
    spin.SetBuddy(&buddy);
    spin.SetPos(2);
    EXPECT_EQ(buddy.GetWindowText(), "2");
    spin.Step(+1);
    spin.Step(+1);  // stays at the top
    EXPECT_EQ(spin.GetPos(), 3);
    EXPECT_EQ(buddy.GetWindowText(), "3");
    QTest::mouseClick(spin.Inner()->findChild<QToolButton*>("down"), Qt::LeftButton);
    EXPECT_EQ(spin.GetPos(), 2);
    const auto scrolls = parent.Of(WM_VSCROLL);
    ASSERT_FALSE(scrolls.empty());
    EXPECT_EQ(LOWORD(scrolls.back().w), SB_THUMBPOSITION);
    EXPECT_EQ(HIWORD(scrolls.back().w), 2);
    onNotify = [](Message& m, LRESULT& r) {
        r = reinterpret_cast<NotifyHeader*>(m.lParam)->code == UDN_DELTAPOS ? 1 : 0;
        return r != 0;
    };
    spin.Step(-1);  // refused by the parent
    EXPECT_EQ(spin.GetPos(), 2);
}

TEST_F(ControlsTest, ProgressTabsAndAddress) {
    ProgressBar bar;
    bar.Create(WS_VISIBLE, {0, 0, 100, 10}, &parent, 600);
    bar.SetRange(0, 20);
    bar.SetStep(15);
    bar.StepIt();
    EXPECT_EQ(bar.GetPos(), 15);
    EXPECT_EQ(bar.SetPos(50), 15);
    EXPECT_EQ(bar.GetPos(), 20);

    TabCtrl tabs;
    tabs.Create(WS_VISIBLE, {0, 20, 300, 60}, &parent, 601);
    tabs.InsertItem(0, "General");
    tabs.InsertItem(1, "Ports");
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    Rect r;
    ASSERT_TRUE(tabs.GetItemRect(1, r));
    QTest::mouseClick(tabs.Inner(), Qt::LeftButton, {},
                      QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_NE(std::find(notes.begin(), notes.end(), std::pair<UINT, UINT>{TCN_SELCHANGE, 601}),
              notes.end());

    IPAddressCtrl ip;
    ip.Create(WS_VISIBLE, {0, 70, 160, 90}, &parent, 602);
    EXPECT_TRUE(ip.IsBlank());
    ip.SetAddress(0xFF000000);
    std::uint32_t a = 0;
    EXPECT_EQ(ip.GetAddress(a), 4);
    EXPECT_EQ(a, 0xFF000000u);
    ip.ClearAddress();
    QTest::keyClicks(ip.Field(0), "10.");  // the point is not typed: it moves on
    EXPECT_EQ(ip.Field(0)->text(), "10");
    QTest::keyClicks(ip.Field(1), "1");
    EXPECT_EQ(ip.GetAddress(a), 2);
    EXPECT_EQ(a, 0x0A010000u);
    QTest::keyClicks(ip.Field(2), "999");  // beyond 255 is held at 255
    EXPECT_EQ(ip.Field(2)->text(), "255");
    EXPECT_FALSE(CommandCodes(602).empty());
}

}  // namespace
}  // namespace fw
