// The tabbed drop-down list cell: key and text columns, choosing by mouse and by keys in the
// frameless pop-up, Escape and clicks outside, the value the grid stores ("Port" listed after
// "Port A" stays "Port"), titles, widths, typing, and how cell and list look.
#include "framework/drawing/DeviceContext.h"
#include "grid/controls/CGXGridCombo.h"
#include "grid/controls/CGXTabbedComboBoxWnd.h"
#include "grid/controls/GXTabbedRow.h"
#include "grid/controls/tests/TabbedCellFixture.h"

#include <QTest>

namespace {

using TabbedListFixture =
    gxtest::TabbedCellFixture<CGXTabbedComboBoxWnd, GX_IDS_CTRL_TABBED_DROPDOWNLIST>;
using gxtest::kTabbedPorts;

class TabbedList : public TabbedListFixture {
protected:
    void SetUp() override { SetUpRows(6); }
    CGXTabbedComboBoxWnd* Control() { return Ctrl(); }
    void Open(ROWCOL row, ROWCOL col) {
        const fw::Rect c = Cell(row, col);
        Click({c.left + 10, c.top + 5});
        ASSERT_TRUE(Control()->IsDropDownVisible());
    }
    // Clicks line `index` of the open list.
    void ClickLine(int index) {
        CGXComboListBox* list = Control()->GetList();
        const fw::Rect r = list->ItemRect(index);
        QTest::mouseClick(list, Qt::LeftButton, Qt::NoModifier,
                          QPoint(r.left + 10, (r.top + r.bottom) / 2));
        QCoreApplication::processEvents();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(wnd_.get(), key, mods);
        QCoreApplication::processEvents();
    }
};

TEST_F(TabbedList, ShowsTheTextColumnOfTheStoredKey) {
    ExpectKeysAndTexts();
}

TEST_F(TabbedList, ChoosingPortListedAfterPortAStoresPort) {
    Open(1, 1);
    CGXTabbedComboBoxWnd* c = Control();
    EXPECT_EQ(c->GetList()->GetCount(), 3);
    EXPECT_EQ(c->GetList()->GetCurSel(), 2);             // the stored "3"
    EXPECT_EQ(QApplication::focusWidget(), wnd_.get());  // the grid keeps the keys
    ClickLine(1);
    EXPECT_FALSE(c->IsDropDownVisible());
    std::string value;
    ASSERT_TRUE(c->GetValue(value));
    EXPECT_EQ(value, "2");
    Core().SetCurrentCell(2, 1);  // leaving the cell stores the choice
    EXPECT_EQ(Value(1, 1), "2");
    std::string shown;
    c->GetControlText(shown, 1, 1, nullptr, *Style(1, 1));
    EXPECT_EQ(shown, "Port");
}

TEST_F(TabbedList, KeysOpenMoveAndChoose) {
    Core().SetCurrentCell(1, 1);
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Control()->IsDropDownVisible());
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Down);
    Key(Qt::Key_Return);
    EXPECT_FALSE(Control()->IsDropDownVisible());
    Core().SetCurrentCell(2, 1);
    EXPECT_EQ(Value(1, 1), "2");
    // F4 opens as well; closed, the arrows are the grid's.
    Core().SetCurrentCell(1, 1);
    Key(Qt::Key_F4);
    EXPECT_TRUE(Control()->IsDropDownVisible());
    Key(Qt::Key_F4);
    EXPECT_FALSE(Control()->IsDropDownVisible());
    EXPECT_FALSE(Control()->ProcessKeys(fw::WM_KEYDOWN, fw::VK_DOWN, 1, 0));
}

TEST_F(TabbedList, EscapeClosesAndDiscardsTheChoice) {
    Open(1, 1);
    Key(Qt::Key_Home);
    EXPECT_EQ(Control()->GetList()->GetCurSel(), 0);
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Control()->IsDropDownVisible());
    EXPECT_FALSE(Control()->GetModify());
    Core().SetCurrentCell(2, 1);
    EXPECT_EQ(Value(1, 1), "3");
}

TEST_F(TabbedList, AClickOutsideClosesKeepsTheChoiceAndReachesTheGrid) {
    Open(1, 1);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);  // "Port"
    Open(1, 1);
    const fw::Rect other = Cell(4, 2);
    Click({other.left + 5, other.top + 5});
    EXPECT_FALSE(Control()->IsDropDownVisible());
    ROWCOL row, col;
    ASSERT_TRUE(Core().GetCurrentCell(row, col));
    EXPECT_EQ(row, 4u);
    EXPECT_EQ(col, 2u);
    EXPECT_EQ(Value(1, 1), "2");
}

TEST_F(TabbedList, TypingSelectsTheNextLineBeginningWithTheCharacter) {
    Core().SetCurrentCell(1, 1);
    QTest::keyClick(wnd_.get(), 'p');
    EXPECT_EQ(Control()->GetCurSel(), 0);  // after "Universe": from the start
    QTest::keyClick(wnd_.get(), 'p');
    EXPECT_EQ(Control()->GetCurSel(), 1);
    QTest::keyClick(wnd_.get(), '(');  // no line begins with it: nothing changes, no list
    EXPECT_EQ(Control()->GetCurSel(), 1);
    EXPECT_FALSE(Control()->IsDropDownVisible());
    Core().SetCurrentCell(2, 1);
    EXPECT_EQ(Value(1, 1), "2");
}

TEST_F(TabbedList, TitlesWidthsAndHiddenColumns) {
    CGXStyle s;
    s.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1")
        .SetUserAttribute(GX_IDS_UA_TABLIST_COLWIDTHS, "40, 0;80");
    Put(2, 1, "Key\tName\tNote\r\n1\tRed\tx\r\n2\tGreen\ty", "2", s);
    Open(2, 1);
    CGXTabbedComboBoxWnd* c = Control();
    EXPECT_EQ(c->GetList()->GetCount(), 2);  // the title line is no choice
    EXPECT_EQ(c->GetTitleText(), "Key\tName\tNote");
    ASSERT_NE(c->GetDropDown()->GetHeader(), nullptr);
    EXPECT_TRUE(c->GetDropDown()->GetHeader()->IsWindowVisible());
    EXPECT_EQ(c->GetColumnEdges(), (std::vector<int>{40, 40, 120}));
    EXPECT_EQ(c->GetItems()[0], "Red\t1\tRed\tx");
    Key(Qt::Key_Escape);

    CGXStyle hide;
    hide.SetUserAttribute(GX_IDS_UA_TABLIST_SHOWALLCOLS, "0");
    Put(3, 1, kTabbedPorts, "1", hide);
    Open(3, 1);
    const std::vector<int>& edges = c->GetColumnEdges();
    ASSERT_EQ(edges.size(), 3u);
    EXPECT_EQ(edges[0], 0);  // only the text column keeps a width
    EXPECT_GT(edges[1], 0);
    EXPECT_EQ(edges[2], edges[1]);
}

TEST(TabbedRow, EdgesAreCheckedAgainstTheColumnCountAndFieldsFitTheirColumns) {
    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        fw::DeviceContext dc(&image);
        const std::vector<int> edges = {50};  // fewer edges than the columns named
        GXDrawTabbedRow(dc, {0, 0, 200, 20}, "a\tb\tc\td", false, 0, 5, edges, 0x0000FF, 0xFFFFFF,
                        0x000000);
        dc.Flush();
    }
    EXPECT_EQ(image.pixel(48, 10) & 0xFFFFFF, 0xFF0000u);  // the one separator (red)
    int separators = 0;
    for (int x = 0; x < 200; ++x)
        if ((image.pixel(x, 0) & 0xFFFFFF) == 0xFF0000u)
            ++separators;
    EXPECT_EQ(separators, 1);
    // "c" and "d" have no column: nothing is drawn beyond the second one's text.
    int dark = 0;
    for (int x = 100; x < 200; ++x)
        for (int y = 0; y < 20; ++y)
            if (qGray(image.pixel(x, y)) < 128)
                ++dark;
    EXPECT_EQ(dark, 0);
}

TEST_F(TabbedList, GoldenCellAndOpenList) {
    CGXStyle s;
    s.SetUserAttribute(GX_IDS_UA_TABLIST_TITLES, "1");
    Put(2, 1, "Key\tName\tNote\r\n1\tRed\tx\r\n2\tGreen\ty\r\n3\tBlue\tz", "2", s);
    gxtest::ExpectGolden(RepaintAll(), "tabbed_inactive");
    Open(2, 1);
    gxtest::ExpectGolden(Paint(), "tabbed_active_cell");
    Control()->GetDropDown()->UpdateWindow();
    Control()->GetList()->UpdateWindow();
    Control()->GetDropDown()->GetHeader()->UpdateWindow();
    QImage popup(Control()->GetDropDown()->GetWindowRect().Width(),
                 Control()->GetDropDown()->GetWindowRect().Height(), QImage::Format_RGB32);
    popup.fill(Qt::black);
    Control()->GetDropDown()->render(&popup);
    gxtest::ExpectGolden(popup, "tabbed_list");
}

}  // namespace

namespace {

// The pop-up hands the hosted list's commands to its owner unchanged; a title bar without
// column widths shows one title across the whole bar.
TEST(GridCombo, ListCommandsReachTheOwnerAndATitleWithoutWidthsSpansTheBar) {
    class Owner : public fw::Window {
    public:
        fw::WPARAM w = 0;
        fw::LPARAM l = 0;

    protected:
        bool OnCommand(fw::WPARAM wParam, fw::LPARAM lParam) override {
            w = wParam;
            l = lParam;
            return true;
        }
    } owner;
    owner.Create(nullptr, {0, 0, 200, 100}, 0, fw::WS_VISIBLE);
    CGXGridCombo popup;
    ASSERT_TRUE(popup.Create(&owner));
    auto list = std::make_unique<CGXComboListBox>();
    list->Create(&popup, {0, 0, 1, 1}, 77);
    const fw::LPARAM from = static_cast<fw::LPARAM>(list->Handle().value);
    popup.SetListWnd(std::move(list));
    popup.SendMessage(fw::WM_COMMAND, (1u << 16) | 77u, from);
    EXPECT_EQ(owner.w, (1u << 16) | 77u);
    EXPECT_EQ(owner.l, from);

    CGXTabbedLBoxHeader* header = popup.ShowHeader(18);
    header->SetTitles("One\tTwo", 0, {});
    popup.Open({0, 0, 120, 60});
    header->UpdateWindow();
    const QImage image = header->BackingImage().copy();
    int dark = 0;  // the text of "One" lies in the middle, "Two" nowhere
    for (int x = 0; x < image.width(); ++x)
        for (int y = 2; y < image.height() - 2; ++y)
            if (qGray(image.pixel(x, y)) < 90)
                ++dark;
    EXPECT_GT(dark, 0);
    for (int y = 2; y < image.height() - 2; ++y)
        EXPECT_GT(qGray(image.pixel(image.width() - 4, y)), 90);  // no edge of a second cell
    popup.Close();
}

}  // namespace
