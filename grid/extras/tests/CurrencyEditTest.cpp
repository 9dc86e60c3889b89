// The currency format's reading and writing, and the currency edit typed into with real keys in
// the C locale and in German.
#include "grid/extras/CGXBCurrencyEdit.h"
#include "grid/extras/CGXBPopupCalculator.h"
#include "grid/extras/GXLocaleInfo.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include "framework/persist/Clipboard.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

using extras_test::Drain;
using extras_test::LocaleScope;
using extras_test::OwnerWindow;

TEST(CurrencyFormat, ParseText) {
    const CGXBCurrencyFormat f(false);
    struct Case {
        const char* text;
        bool accepted;
        double value;
        bool negative;
    } cases[] = {
        {"", true, 0, false},           {"(1,234.50)", true, 1234.5, true},
        {"1,234.50)", false, 0, false}, {"(12", false, 0, false},
        {"abc 12", true, 12, false},    {"12 34", true, 34, false},
        {"1.2.3", true, 2.3, false},  // the span stops at the second separator
        {"-$5.25", true, 5.25, true},   {"$5.25-", true, 5.25, true},
        {"  $7  ", true, 7, false},     {"$", false, 0, false},
        {"1,,2", true, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -1;
        bool neg = false;
        EXPECT_EQ(f.ParseText(c.text, v, neg), c.accepted);
        if (c.accepted) {
            EXPECT_DOUBLE_EQ(v, c.value);
            EXPECT_EQ(neg, c.negative);
        }
    }
    int s = 0;
    int e = 0;
    EXPECT_TRUE(f.FindDigitSpan("$1,234.50", s, e));
    EXPECT_EQ(s, 1);
    EXPECT_EQ(e, 8);
    EXPECT_FALSE(f.FindDigitSpan("$", s, e));
    EXPECT_EQ(s, -1);
    EXPECT_EQ(f.FindDecimalSeparator("1.2.3"), 3);
    EXPECT_EQ(f.FindDecimalSeparator("12", '2'), 1);
}

TEST(CurrencyFormat, FormatValueWithTheFixedDefaults) {
    CGXBCurrencyFormat f(false);
    EXPECT_EQ(f.FormatValue(1234.5, false), "$1,234.50");
    EXPECT_EQ(f.FormatValue(1234.5, true), "($1,234.50)");
    EXPECT_EQ(f.FormatValue(1234567.891, false), "$1,234,567.89");
    f.leadingZero = false;
    EXPECT_EQ(f.FormatValue(0.5, false), "$.50");
    f.leadingZero = true;
    f.integerDigits = 3;
    ASSERT_TRUE(f.SetPaddingChar('0'));
    EXPECT_EQ(f.FormatValue(12.5, false), "$012.50");
    EXPECT_EQ(f.FormatValue(123456, false), "$123.00");
    f.integerDigits = 5;
    EXPECT_EQ(f.FormatValue(12.5, false), "$00012.50");  // padding after grouping
    f.padBeforeGrouping = true;
    EXPECT_EQ(f.FormatValue(12.5, false), "$00,012.50");
    EXPECT_FALSE(f.SetPaddingChar('5'));
    CGXBCurrencyFormat g(false);
    for (const char* grouping : {"0;0", "", "-1;0"}) {
        g.grouping = grouping;
        EXPECT_EQ(g.FormatValue(1234567, false), "$1234567.00") << grouping;
    }
    g.grouping = "2;0";
    EXPECT_EQ(g.FormatValue(1234567, false), "$1,23,45,67.00");
    g.thousandsSeparator = 0;
    EXPECT_EQ(g.FormatValue(1234567, false), "$1234567.00");
}

TEST(CurrencyFormat, PatternTables) {
    const char* negative[16] = {"($1.50)", "-$1.50",  "$-1.50",   "$1.50-",  "(1.50$)", "-1.50$",
                                "1.50-$",  "1.50$-",  "-1.50 $",  "-$ 1.50", "1.50 $-", "$ 1.50-",
                                "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
    const char* positive[4] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
    CGXBCurrencyFormat f(false);
    for (int i = 0; i < 16; ++i) {
        f.SetNegativeFormat(i);
        EXPECT_EQ(f.FormatValue(1.5, true), negative[i]) << i;
        double v = 0;
        bool neg = false;
        // Every negative pattern reads back as negative: a '-' or the parentheses.
        EXPECT_TRUE(f.ParseText(negative[i], v, neg));
        EXPECT_TRUE(neg) << i;
        EXPECT_DOUBLE_EQ(v, 1.5);
    }
    for (int i = 0; i < 4; ++i) {
        f.SetPositiveFormat(i);
        EXPECT_EQ(f.FormatValue(1.5, false), positive[i]) << i;
    }
}

TEST(CurrencyFormat, LocaleFlavourNeverCutsTheIntegerPart) {
    {
        LocaleScope c{QLocale::c()};
        const CGXBCurrencyFormat f(true);
        EXPECT_TRUE(f.IsEqual(CGXBCurrencyFormat(false)));
        EXPECT_EQ(f.integerDigits, -1);
        EXPECT_EQ(f.FormatValue(1234.5, false), "$1,234.50");
    }
    {
        LocaleScope german{QLocale(QLocale::German, QLocale::Germany)};
        const CGXBCurrencyFormat f(true);
        EXPECT_EQ(f.symbol, "€");
        EXPECT_EQ(f.decimalSeparator, ',');
        EXPECT_EQ(f.thousandsSeparator, '.');
        EXPECT_EQ(f.integerDigits, -1);
        EXPECT_EQ(f.FormatValue(1234.5, false), "1.234,50 €");
        EXPECT_EQ(f.FormatValue(1234.5, true), "-1.234,50 €");
        double v = 0;
        bool neg = false;
        ASSERT_TRUE(f.ParseText("-1.234,50 €", v, neg));
        EXPECT_DOUBLE_EQ(v, 1234.5);
        EXPECT_TRUE(neg);
    }
    EXPECT_EQ(GXCurrencyPatternIndex(false, "", " %s"), 3);
    EXPECT_EQ(GXCurrencyPatternIndex(true, "-", " %s"), 8);
    EXPECT_EQ(GXCurrencyPatternIndex(true, "?", ""), -1);
}

class CurrencyEditTest : public ::testing::Test {
protected:
    void Make(const QLocale& locale) {
        scope = std::make_unique<LocaleScope>(locale);
        ASSERT_TRUE(owner.Create(nullptr, {0, 0, 300, 60}, 0, fw::WS_VISIBLE));
        edit = std::make_unique<CGXBCurrencyEdit>();
        edit->SetBitmap("GXBCALCBTN");
        ASSERT_TRUE(edit->Create(fw::WS_VISIBLE | fw::WS_CHILD, {10, 10, 210, 34}, &owner, 7));
        ASSERT_TRUE(edit->HasButton());
        edit->SetValue(0);
        edit->SetSel(0, -1);
        owner.seen.clear();
    }
    void Type(const char* s) { QTest::keyClicks(edit.get(), s); }
    void Key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(edit.get(), k, m);
    }
    std::string Text() const { return edit->GetWindowText(); }
    unsigned Changes() const {
        unsigned n = 0;
        for (const auto& r : owner.Of(fw::WM_COMMAND))
            if (fw::HIWORD(r.w) == fw::EN_CHANGE && fw::LOWORD(r.w) == 7)
                ++n;
        return n;
    }

    std::unique_ptr<LocaleScope> scope;
    OwnerWindow owner;
    std::unique_ptr<CGXBCurrencyEdit> edit;
};

TEST_F(CurrencyEditTest, TypingInTheCLocale) {
    Make(QLocale::c());
    EXPECT_EQ(Text(), "$0.00");
    struct Step {
        const char* keys;
        const char* text;
        int caret;
    } steps[] = {
        {"1", "$1.00", 2},  // the whole selection is replaced; caret at the separator
        {"2", "$12.00", 3},
        {"34", "$1,234.00", 6},
        {".5", "$1,234.50", 8},
        {"7", "$1,234.57", 9},
        {"9", "$1,234.57", 9},     // after the last fractional digit nothing
                                   // changes
        {"-", "($1,234.57)", 10},  // the caret keeps its place in the number
        {"-", "$1,234.57", 9},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.keys);
        Type(s.keys);
        EXPECT_EQ(Text(), s.text);
        EXPECT_EQ(edit->GetCaret(), s.caret);
    }
    EXPECT_DOUBLE_EQ(edit->GetValue(), 1234.57);
    EXPECT_EQ(Changes(), 6u);  // sign toggling sends none, the refused digit neither
}

TEST_F(CurrencyEditTest, ShiftInFractionAndOverwrite) {
    Make(QLocale::c());
    edit->SetValue(1.25);
    edit->SetSel(-1, 0);
    Key(Qt::Key_End);
    Key(Qt::Key_Left);  // after the last digit (before nothing: the text has no suffix)
    Key(Qt::Key_Right);
    edit->SetShiftInFraction(true);
    Type("7");
    EXPECT_EQ(Text(), "$1.57");
    Key(Qt::Key_Home);
    Key(Qt::Key_Insert);
    EXPECT_TRUE(edit->IsOverwrite());
    Type("9");  // the caret stood before the symbol: it goes to the separator and steps over it
    EXPECT_EQ(Text(), "$1.97");
}

TEST_F(CurrencyEditTest, BackspaceDeleteUndo) {
    Make(QLocale::c());
    edit->SetValue(1234.5);
    edit->SetSel(-1, 0);
    Key(Qt::Key_Home);
    Key(Qt::Key_Right);  // before the "1"
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "$234.50");
    EXPECT_EQ(edit->GetCaret(), 1);
    Key(Qt::Key_End);
    Key(Qt::Key_Backspace);  // the last fraction digit becomes 0, the caret moves left
    EXPECT_EQ(Text(), "$234.50");
    EXPECT_EQ(edit->GetCaret(), 6);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(Text(), "$234.00");
    EXPECT_EQ(edit->GetCaret(), 5);
    // Undo toggles: twice is back where it was.
    Key(Qt::Key_Z, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Text(), "$234.50");
    Key(Qt::Key_Z, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Text(), "$234.00");
    // Deleting every digit leaves 0 with the caret at the separator.
    edit->SetSel(0, -1);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Text(), "$0.00");
    EXPECT_EQ(edit->GetCaret(), 2);
}

TEST_F(CurrencyEditTest, PasteKeepsDigitsUnlessTheWholeNumberIsSelected) {
    Make(QLocale::c());
    edit->SetValue(12);
    {
        fw::Clipboard clip;
        ASSERT_TRUE(clip.IsOpen());
        clip.Empty();
        clip.SetText("abc 3x4");
    }
    edit->SetSel(-1, 0);
    Key(Qt::Key_Home);
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);  // between 1 and 2
    Key(Qt::Key_V, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Text(), "$1,342.00");
    {
        fw::Clipboard clip;
        clip.Empty();
        clip.SetText("(9.99)");
    }
    edit->SetSel(0, -1);
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(Text(), "($9.99)");
    // The context menu greys what cannot be done.
    edit->SetSel(-1, 0);
    const auto items = edit->CreateContextMenu();
    ASSERT_EQ(items.size(), 8u);
    EXPECT_FALSE(items[0].greyed);  // undo
    EXPECT_TRUE(items[2].greyed);   // cut without a selection
    EXPECT_FALSE(items[4].greyed);  // the clipboard reads as an amount
    edit->SetReadOnly(true);
    EXPECT_TRUE(edit->CreateContextMenu()[4].greyed);
    Type("5");
    EXPECT_EQ(Text(), "($9.99)");
}

TEST_F(CurrencyEditTest, TypingInGerman) {
    Make(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(Text(), "0,00 €");
    Type("1234,5");
    EXPECT_EQ(Text(), "1.234,50 €");
    Type("-");
    EXPECT_EQ(Text(), "-1.234,50 €");
    EXPECT_DOUBLE_EQ(edit->GetValue(), -1234.5);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Drain();
    EXPECT_EQ(Text(), "1.234,50 €");
    edit->SetWindowText("12,5");
    EXPECT_EQ(Text(), "12,50 €");
}

TEST_F(CurrencyEditTest, ButtonAndF2OpenTheCalculatorWithTheAmount) {
    Make(QLocale::c());
    edit->SetValue(-42.5);
    Key(Qt::Key_F2);
    ASSERT_NE(edit->Calculator(), nullptr);
    EXPECT_TRUE(edit->Calculator()->IsCreated());
    EXPECT_EQ(edit->Calculator()->GetDisplayText(), "-42.5");
    edit->Calculator()->DestroyWindow();
    const fw::Rect b = edit->ButtonRect();
    QTest::mouseClick(edit.get(), Qt::LeftButton, Qt::NoModifier,
                      QPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2));
    EXPECT_TRUE(edit->Calculator()->IsCreated());
    edit->Calculator()->DestroyWindow();
}

TEST_F(CurrencyEditTest, Screenshot) {
    Make(QLocale::c());
    CGXBCurrencyFormat f(false);
    f.SetNegativeColor(fw::Rgb(200, 0, 0));
    f.decimalLine = true;
    edit->SetFormat(f);
    edit->SetValue(-98765.43);
    edit->UpdateWindow();
    ASSERT_TRUE(extras_test::SaveShot(edit->BackingImage().copy(), "currencyedit"));
}

}  // namespace
