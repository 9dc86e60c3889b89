// Currency cells: the format a cell's attributes make, every positive and negative pattern with
// and without the user's locale, stored values (never rescaled), and typing into a grid cell
// with real keys: type, flip the sign, store, and cancel.
#define GRID_SOURCE_DIR ""
#define GRID_BUILD_DIR EXTRAS_BUILD_DIR
#include "grid/controls/tests/ControlFixture.h"
#include "grid/extras/CGXBCurrencyEdit.h"
#include "grid/extras/CGXCurrencyEdit.h"
#include "grid/extras/GXExtrasCellControls.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include <QTest>

namespace {

using extras_test::LocaleScope;

CGXStyle Money(const char* value) {
    CGXStyle s;
    s.SetControl(GX_IDS_CTRL_CURRENCY).SetValue(std::string(value));
    return s;
}

TEST(CurrencyCellFormat, EveryPatternInTheCLocaleAndInGerman) {
    const char* positive[] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
    const char* negative[] = {"($1.50)", "-$1.50",  "$-1.50",   "$1.50-",  "(1.50$)", "-1.50$",
                              "1.50-$",  "1.50$-",  "-1.50 $",  "-$ 1.50", "1.50 $-", "$ 1.50-",
                              "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
    LocaleScope c(QLocale::c());
    for (int i = 0; i < 4; ++i) {
        CGXStyle s = Money("1.5");
        s.SetUserAttribute(GX_IDS_UA_CURRENCY_POSITIVE, std::to_string(i))
            .SetUserAttribute(GX_IDS_UA_CURRENCY_SYMBOL, "$")
            .SetUserAttribute(GX_IDS_UA_CURRENCY_FRACTION, "2");
        const CGXBCurrencyFormat f = CGXCurrencyEdit::LoadFormatFromStyle(s);
        EXPECT_EQ(f.FormatValue(1.5, false), positive[i]) << i;
        double v = 0;
        bool neg = true;
        ASSERT_TRUE(f.ParseText(positive[i], v, neg)) << i;
        EXPECT_DOUBLE_EQ(v, 1.5);
        EXPECT_FALSE(neg);
    }
    for (int i = 0; i < 16; ++i) {
        CGXStyle s = Money("-1.5");
        s.SetUserAttribute(GX_IDS_UA_CURRENCY_NEGATIVE, std::to_string(i))
            .SetUserAttribute(GX_IDS_UA_CURRENCY_SYMBOL, "$")
            .SetUserAttribute(GX_IDS_UA_CURRENCY_FRACTION, "2");
        const CGXBCurrencyFormat f = CGXCurrencyEdit::LoadFormatFromStyle(s);
        EXPECT_EQ(f.FormatValue(1.5, true), negative[i]) << i;
        double v = 0;
        bool neg = false;
        ASSERT_TRUE(f.ParseText(negative[i], v, neg)) << i;
        EXPECT_DOUBLE_EQ(v, 1.5);
        EXPECT_TRUE(neg) << i;
    }
    // The German locale gives its own separators and symbol when the cell sets none.
    LocaleScope de(QLocale(QLocale::German, QLocale::Germany));
    const CGXBCurrencyFormat german = CGXCurrencyEdit::LoadFormatFromStyle(Money("1234.5"));
    EXPECT_EQ(german.decimalSeparator, ',');
    EXPECT_EQ(german.thousandsSeparator, '.');
    const std::string shown = german.FormatValue(1234.5, false);
    EXPECT_NE(shown.find("1.234,50"), std::string::npos) << shown;
}

TEST(CurrencyCellFormat, AttributesOnTopOfTheLocale) {
    LocaleScope c(QLocale::c());
    CGXStyle s = Money("1");
    s.SetUserAttribute(GX_IDS_UA_CURRENCY_ATTRIBUTES, "abc")   // not 4 characters: "11 1"
        .SetUserAttribute(GX_IDS_UA_CURRENCY_SEPARATORS, ";")  // not 2 characters: ",."
        .SetUserAttribute(GX_IDS_UA_CURRENCY_SYMBOL, "0EUR");
    CGXBCurrencyFormat f = CGXCurrencyEdit::LoadFormatFromStyle(s);
    EXPECT_TRUE(f.leadingZero);
    EXPECT_EQ(f.paddingChar, ' ');
    EXPECT_EQ(f.thousandsSeparator, ',');
    EXPECT_EQ(f.decimalSeparator, '.');
    EXPECT_EQ(f.symbol, "");
    s.SetUserAttribute(GX_IDS_UA_CURRENCY_SEPARATORS, "0,");
    f = CGXCurrencyEdit::LoadFormatFromStyle(s);
    EXPECT_EQ(f.thousandsSeparator, 0);
    EXPECT_EQ(f.decimalSeparator, ',');
}

TEST(CurrencyCellFormat, StoredValuesKeepTheirIntegerPart) {
    CGXBCurrencyFormat f(false);
    f.fractionDigits = 2;
    f.integerDigits = 3;
    EXPECT_EQ(CGXCurrencyEdit::StoredText(12345.67, f), "12345.67");
    EXPECT_EQ(CGXCurrencyEdit::StoredText(-1234.5, f), "-1234.50");
    EXPECT_FALSE(CGXCurrencyEdit::FitsFormat(12345.67, f));
    EXPECT_TRUE(CGXCurrencyEdit::FitsFormat(999.99, f));
    EXPECT_TRUE(CGXCurrencyEdit::FitsFormat(-0.5, f));
    f.integerDigits = -1;
    EXPECT_TRUE(CGXCurrencyEdit::FitsFormat(1e12, f));
    f.fractionDigits = 0;
    EXPECT_EQ(CGXCurrencyEdit::StoredText(2.5, f), "2");
}

class CurrencyCell : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        GXRegisterExtrasCellControls();
        gxtest::ControlFixture::SetUp();
        Core().SetRowCount(3);
        Core().SetColCount(2);
        Core().SetColWidth(1, 2, 120);
        Core().SetRowHeight(1, 3, 22);
        CGXStyle s = Money("1234.5");
        s.SetUserAttribute(GX_IDS_UA_CURRENCY_SYMBOL, "$")
            .SetUserAttribute(GX_IDS_UA_CURRENCY_FRACTION, "2")
            .SetUserAttribute(GX_IDS_UA_CURRENCY_SEPARATORS, ",.")
            .SetUserAttribute(GX_IDS_UA_CURRENCY_POSITIVE, "0")
            .SetUserAttribute(GX_IDS_UA_CURRENCY_NEGATIVE, "1");
        Core().SetStyleRange(CGXRange(1, 1, 2, 1), &s);
        Paint();
    }
    CGXCurrencyEdit& Control() {
        return static_cast<CGXCurrencyEdit&>(*Core().GetRegisteredControl(GX_IDS_CTRL_CURRENCY));
    }
    LocaleScope c_{QLocale::c()};
};

TEST_F(CurrencyCell, ShowsMoneyAndStoresTheNumber) {
    std::string text;
    Core().SetCurrentCell(2, 2);
    Control().GetControlText(text, 1, 1, nullptr, *Style(1, 1));
    EXPECT_EQ(text, "$1,234.50");
    std::string typed = "($1,000.25)";
    ASSERT_TRUE(Control().ConvertControlTextToValue(typed, 1, 1, nullptr));
    EXPECT_EQ(typed, "-1000.25");
    std::string bad = "abc";
    EXPECT_FALSE(Control().ConvertControlTextToValue(bad, 1, 1, nullptr));
}

TEST_F(CurrencyCell, TypingFlippingTheSignAndStoring) {
    Core().SetCurrentCell(1, 1);
    Paint();
    QTest::keyClick(wnd_.get(), Qt::Key_End);
    EXPECT_TRUE(Control().IsActive());
    ASSERT_TRUE(Control().GetWindow()->IsWindowVisible());
    QTest::keyClick(wnd_.get(), Qt::Key_Space);  // the sign
    QTest::keyClick(wnd_.get(), Qt::Key_Home);
    QTest::keyClicks(wnd_.get(), "7");
    std::string shown;

    Control().GetCurrentText(shown);
    EXPECT_EQ(shown, "-$12,347.50");
    EXPECT_EQ(Value(1, 1), "1234.5");  // not stored yet
    QTest::keyClick(wnd_.get(), Qt::Key_Return);
    EXPECT_EQ(Value(1, 1), "-12347.50");
    EXPECT_FALSE(Control().GetWindow()->IsWindowVisible());
    const QImage img = Paint();
    img.save(QString(EXTRAS_BUILD_DIR) + "/grid_extras_currency_cell.png");

    // Escape leaves the cell's value as it was.
    Core().SetCurrentCell(2, 1);
    QTest::keyClick(wnd_.get(), Qt::Key_End);
    QTest::keyClicks(wnd_.get(), "9");
    QTest::keyClick(wnd_.get(), Qt::Key_Escape);
    Core().SetCurrentCell(3, 2);
    EXPECT_EQ(Value(2, 1), "1234.5");
}

}  // namespace

namespace {

// The rows of dark ink inside a rectangle of an image (first to last, inclusive); 0 when none.
int InkHeight(const QImage& img, const fw::Rect& r) {
    int top = -1, bottom = -1;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (qGray(img.pixel(x, y)) < 100) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

// The edit window types in the cell's font: the amount being edited is as large as the same
// amount in the cell below it.
TEST_F(CurrencyCell, EditsInTheCellsFont) {
    CGXStyle big;
    big.SetFont(CGXFont().SetWeight(fw::FW_BOLD).SetSize(16));
    Core().SetStyleRange(CGXRange(1, 1, 2, 1), &big, gxApplyNew);
    Core().SetRowHeight(1, 2, 34);
    Core().SetColWidth(1, 1, 160);
    Core().SetCurrentCell(1, 1);
    Paint();
    QTest::keyClick(wnd_.get(), Qt::Key_End);
    ASSERT_TRUE(Control().IsActive());
    const fw::LogFont wanted = Style(1, 1)->GetFont().GetLogFontZoomed(Core().GetZoom());
    EXPECT_TRUE(Control().GetWindow()->GetFont() == wanted);
    Paint();
    const QImage shot = wnd_->grab().toImage();
    extras_test::SaveShot(shot, "currency_cell_font");
    const fw::Rect edited = Cell(1, 1);
    const fw::Rect below = Cell(2, 1);
    const int inkEdited =
        InkHeight(shot, {edited.left + 3, edited.top + 3, edited.right - 3, edited.bottom - 3});
    const int inkBelow =
        InkHeight(shot, {below.left + 3, below.top + 3, below.right - 3, below.bottom - 3});
    EXPECT_GT(inkBelow, 12);
    EXPECT_NEAR(inkEdited, inkBelow, 1);
}

}  // namespace
