// Rich-text cells in a real grid with real keys: typing into a cell replaces its value with an
// escaped document, editing keeps the formats of the runs and stores on Enter (Escape keeps the
// value), a character ValidateText refuses is dropped, the maximum length counts characters,
// the row grows with AutoSize and shrinks no lower than it began, and inactive cells draw the
// document.
#include "grid/controls/CGXRichEditCtrl.h"
#include "grid/controls/tests/ControlFixture.h"

#include <QTest>

namespace {

using gxtest::ControlFixture;

constexpr const char* kBold = "{\\rtf1{\\b Bold} plain}";

// A cell control that refuses digits.
class NoDigits : public CGXRichEditCtrl {
public:
    using CGXRichEditCtrl::CGXRichEditCtrl;
    bool ValidateText(const std::string& text) override {
        return text.find_first_of("0123456789") == std::string::npos;
    }
    void OnInvalidChar(const std::string& c) override { refused += c; }
    std::string refused;
};
constexpr unsigned kNoDigits = 40001;

class RichCell : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        Core().RegisterControl(kNoDigits, std::make_unique<NoDigits>(&Core()));
        Core().SetRowCount(5);
        Core().SetColCount(2);
        Core().SetColWidth(1, 2, 150);
        Core().SetRowHeight(1, 5, 22);
        Put(1, 1, GX_IDS_CTRL_RICHEDIT, kBold);
        Put(2, 1, GX_IDS_CTRL_RICHEDIT, "");
        Put(3, 1, kNoDigits, "");
        Paint();
    }
    void Put(ROWCOL row, ROWCOL col, unsigned control, const char* value) {
        CGXStyle s;
        s.SetControl(static_cast<std::uint16_t>(control)).SetValue(std::string(value));
        Core().SetStyleRange(CGXRange(row, col), &s);
    }
    CGXRichEditCtrl& Control(unsigned id = GX_IDS_CTRL_RICHEDIT) {
        return static_cast<CGXRichEditCtrl&>(*Core().GetRegisteredControl(id));
    }
};

TEST_F(RichCell, TypingIntoACellReplacesItsValueWithAnEscapedDocument) {
    Core().SetCurrentCell(2, 1);
    Paint();
    Type("a{b}\\c");
    EXPECT_TRUE(Control().IsActive());
    std::string shown;
    Control().GetCurrentText(shown);
    EXPECT_EQ(shown, "a{b}\\c");
    Key(Qt::Key_Return);
    EXPECT_FALSE(Control().IsActive());
    const std::string value = Value(2, 1);
    EXPECT_EQ(GXRichPlainText(value), "a{b}\\c") << value;
    EXPECT_NE(value.find("a\\{b\\}\\\\c"), std::string::npos) << value;
    std::string text;
    EXPECT_TRUE(Control().GetControlText(text, 2, 1, nullptr, *Style(2, 1)));
    EXPECT_EQ(text, "a{b}\\c");
    const std::string empty;
    EXPECT_FALSE(Control().GetControlText(text, 2, 1, &empty, *Style(2, 1)));
    EXPECT_EQ(text, "");
}

TEST_F(RichCell, EditingKeepsTheRunsFormatsAndEscapeKeepsTheValue) {
    Core().SetCurrentCell(1, 1);
    Paint();
    Key(Qt::Key_End);
    ASSERT_TRUE(Control().IsActive());
    Type(" more");
    Key(Qt::Key_Escape);
    EXPECT_EQ(Value(1, 1), kBold);

    Key(Qt::Key_End);
    Type("!");
    Key(Qt::Key_Return);
    const GXRichDocument doc = GXReadRichText(Value(1, 1));
    EXPECT_EQ(doc.PlainText(), "Bold plain!");
    ASSERT_FALSE(doc.paragraphs.empty());
    ASSERT_FALSE(doc.paragraphs[0].runs.empty());
    EXPECT_EQ(doc.paragraphs[0].runs[0].text, "Bold");
    EXPECT_TRUE(doc.paragraphs[0].runs[0].format.bold);
    EXPECT_FALSE(doc.paragraphs[0].runs.back().format.bold);
}

TEST_F(RichCell, ARefusedCharacterIsDroppedAndTold) {
    Core().SetCurrentCell(3, 1);
    Paint();
    Type("ab1c");
    auto& control = static_cast<NoDigits&>(Control(kNoDigits));
    std::string shown;
    control.GetCurrentText(shown);
    EXPECT_EQ(shown, "abc");
    EXPECT_EQ(control.refused, "1");
    Key(Qt::Key_Return);
    EXPECT_EQ(GXRichPlainText(Value(3, 1)), "abc");
}

TEST_F(RichCell, TheMaximumLengthCountsCharacters) {
    CGXStyle limit;
    limit.SetMaxLength(3);
    Core().SetStyleRange(CGXRange(2, 1), &limit, gxApplyNew);
    ASSERT_TRUE(Core().SetControlTextRowCol(2, 1, "\xc3\xa9t\xc3\xa9s", GX_UPDATENOW, nullptr));
    EXPECT_EQ(GXRichPlainText(Value(2, 1)), "\xc3\xa9t\xc3\xa9");
    std::string text = "{}";
    ASSERT_TRUE(Control().ConvertControlTextToValue(text, 2, 1, nullptr));
    EXPECT_EQ(text, GXWrapPlainText("{}"));
}

TEST_F(RichCell, TheRowGrowsWithAutoSizeAndShrinksNoLowerThanItBegan) {
    CGXStyle grow;
    grow.SetAutoSize(true).SetAllowEnter(true);
    Core().SetStyleRange(CGXRange(2, 1), &grow, gxApplyNew);
    Core().SetCurrentCell(2, 1);
    Paint();
    Type("one");
    for (const char* line : {"two", "three", "four"}) {
        Key(Qt::Key_Return);
        Type(line);
    }
    Paint();
    const int grown = Core().GetRowHeight(2);
    EXPECT_GT(grown, 2 * 22);  // four lines need more than two rows
    EXPECT_LE(grown, wnd_->GetClientRect().bottom);
    const QImage shot = wnd_->grab().toImage();
    shot.save(QString(GRID_BUILD_DIR) + "/grid_controls_richedit_grown.png");
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_Delete);
    Type("x");
    EXPECT_EQ(Core().GetRowHeight(2), 22);
    Key(Qt::Key_Return, Qt::ControlModifier);
}

TEST_F(RichCell, InactiveCellsDrawTheDocument) {
    Put(4, 1, GX_IDS_CTRL_RICHEDIT, "{\\rtf1\\qc{\\b\\cf1 Centred} {\\i red}}");
    Put(4, 2, GX_IDS_CTRL_RICHEDIT, "{\\rtf1 x}");
    Core().SetColWidth(2, 2, 1);  // too narrow: only the background
    Core().SetCurrentCell(1, 1);
    Paint();
    Key(Qt::Key_End);
    const QImage shot = RepaintAll();
    wnd_->grab().toImage().save(QString(GRID_BUILD_DIR) + "/grid_controls_richedit.png");
    const auto ink = [&](const fw::Rect& r) {
        int n = 0;
        for (int y = r.top + 1; y < r.bottom - 1; ++y)
            for (int x = r.left + 1; x < r.right - 1; ++x) n += qGray(shot.pixel(x, y)) < 120;
        return n;
    };
    EXPECT_GT(ink(Cell(4, 1)), 20);
    const fw::Rect c = Cell(4, 1);
    const fw::Rect leftHalf{c.left, c.top, c.left + c.Width() / 4, c.bottom};
    EXPECT_EQ(ink(leftHalf), 0) << "the text is centred";
    EXPECT_EQ(ink(Cell(2, 1)), 0) << "an empty value draws nothing";
}

// A font applied to the edited cell formats only the selection; applied to another cell it
// formats the whole document and no font is stored in the cell's style.
TEST_F(RichCell, AFontGoesIntoTheDocumentNotIntoTheStyle) {
    CGXStyle bold;
    bold.SetFont(CGXFont().SetWeight(fw::FW_BOLD)).SetHorizontalAlignment(fw::DT_RIGHT);
    Put(4, 1, GX_IDS_CTRL_RICHEDIT, "{\\rtf1 one two}");
    ASSERT_TRUE(Control().StoreStyleRowCol(4, 1, bold, gxApplyNew));
    GXRichDocument doc = GXReadRichText(Value(4, 1));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].align, GXRichAlign::Right);
    for (const GXRichRun& run : doc.paragraphs[0].runs) EXPECT_TRUE(run.format.bold) << run.text;
    EXPECT_LT(Style(4, 1)->GetFont().GetWeight(), 700);
    EXPECT_NE(Style(4, 1)->GetHorizontalAlignment(), fw::DT_RIGHT);

    Put(4, 1, GX_IDS_CTRL_RICHEDIT, "{\\rtf1 one two}");
    Core().SetCurrentCell(4, 1);
    Paint();
    Key(Qt::Key_End);
    ASSERT_TRUE(Control().IsActive());
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_Left, Qt::ShiftModifier);
    ASSERT_TRUE(Control().StoreStyleRowCol(4, 1, bold, gxApplyNew));
    EXPECT_TRUE(Control().GetModify());
    Key(Qt::Key_Return);
    doc = GXReadRichText(Value(4, 1));
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    ASSERT_EQ(doc.paragraphs[0].runs.size(), 2u);
    EXPECT_FALSE(doc.paragraphs[0].runs[0].format.bold);
    EXPECT_EQ(doc.paragraphs[0].runs[1].text, "two");
    EXPECT_TRUE(doc.paragraphs[0].runs[1].format.bold);
}

}  // namespace
