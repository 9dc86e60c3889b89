// The calculator worked by real key and mouse events on its window.
#include "grid/extras/CGXBCalculator.h"
#include "grid/extras/CGXBPopupCalculator.h"
#include "grid/extras/GXExtrasSupport.h"
#include "grid/extras/tests/ExtrasTestSupport.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

using extras_test::Drain;
using extras_test::LocaleScope;
using extras_test::OwnerWindow;

// Types a sequence: '\r' is Enter, '\b' backspace, anything else its character.
void Type(QWidget* w, const std::string& keys) {
    for (char c : keys) {
        if (c == '\r')
            QTest::keyClick(w, Qt::Key_Return);
        else if (c == '\b')
            QTest::keyClick(w, Qt::Key_Backspace);
        else
            QTest::keyClicks(w, QString(QChar(c)));
    }
}

class CalculatorTest : public ::testing::Test {
protected:
    LocaleScope locale{QLocale::c()};
    CGXBCalculator calc;
    void SetUp() override {
        ASSERT_TRUE(calc.Create(0, fw::WS_VISIBLE, CGXBCalculator::kStyleOwnBorder, {10, 10, 0, 0},
                                nullptr, 1));
    }
};

TEST_F(CalculatorTest, KeySequencesAndDisplays) {
    ASSERT_GE(calc.GetDisplayCapacity(), 14) << "the display font is too wide for these cases";
    struct Case {
        const char* keys;
        const char* display;
        unsigned beeps;
    } cases[] = {
        {"", "0.", 0},
        {"2+3=", "5.", 0},
        {"2++", "4.", 0},       // a repeated operator adds the shown number again
        {"200*10%", "20.", 0},  // percent of the accumulator under multiply
        {"200+10%", "0.", 0},   // and nothing under add
        {"200/10%", "20.", 0},
        {"5-8=", "-3.", 0},
        {"7*6=", "42.", 0},
        {"1..5", "1.5", 0},   // a second separator is ignored
        {".5", "0.5", 0},     // a separator on an empty entry gets a 0 first
        {"12=\b", "12.", 0},  // backspace right after "=" does nothing
        {"123\b", "12.", 0},
        {"9\b\b", "0.", 0},
        {"007", "7.", 0},                         // leading zeros add nothing
        {"5+3e2=", "7.", 0},                      // clear entry drops only the entry
        {"5+3c2=", "2.", 0},                      // clear drops the pending sum too
        {"12345678901234", "1234567890123.", 1},  // a fourteenth integer digit is refused
        {"1/0=", "Error ", 0},
        {"1/0=5+", "Error ", 2},  // every key but clear beeps in the error state
        {"1/0=c", "0.", 0},
        {"1/0=e7", "7.", 0},
        {"99999999999*99999=", "Error ", 0},  // too many integer digits for the display
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        QTest::keyClick(&calc, Qt::Key_C);
        const unsigned before = GXExtrasBeepCount();
        Type(&calc, c.keys);
        EXPECT_EQ(calc.GetDisplayText(), c.display);
        EXPECT_EQ(GXExtrasBeepCount() - before, c.beeps);
    }
}

TEST_F(CalculatorTest, OneThirdFillsTheDisplay) {
    Type(&calc, "1/3=");
    const int digits = std::min(calc.GetDisplayCapacity(), 16);
    // "0." and as many threes as the display holds beside the leading zero.
    EXPECT_EQ(calc.GetDisplayText(), "0." + std::string(static_cast<std::size_t>(digits - 1), '3'));
}

TEST_F(CalculatorTest, DecimalsStopAtTheMaximum) {
    Type(&calc, "0.");
    const unsigned before = GXExtrasBeepCount();
    Type(&calc, std::string(static_cast<std::size_t>(calc.GetMaxDecimals()) + 1, '1'));
    EXPECT_EQ(GXExtrasBeepCount() - before, 1u);
}

TEST_F(CalculatorTest, LargeAccumulatorFormatsWithoutOverflow) {
    // Any accumulator is formatted, however many characters the fixed notation needs.
    calc.SetValue(1e300);
    EXPECT_TRUE(calc.IsError());
    calc.SetValue(-123456.25);
    EXPECT_EQ(calc.GetDisplayText(), "-123456.25");
    calc.SetValue(1e-300);
    EXPECT_EQ(calc.GetDisplayText(), "0.");
}

TEST_F(CalculatorTest, MouseClicksPressButtons) {
    auto centre = [&](int id) {
        for (const auto& b : calc.Buttons())
            if (b->id == id)
                return QPoint((b->rect.left + b->rect.right) / 2,
                              (b->rect.top + b->rect.bottom) / 2);
        return QPoint();
    };
    QTest::mouseClick(&calc, Qt::LeftButton, Qt::NoModifier, centre(CGXBCalculator::kIdDigit0 + 4));
    QTest::mouseClick(&calc, Qt::LeftButton, Qt::NoModifier, centre(CGXBCalculator::kIdMultiply));
    QTest::mouseClick(&calc, Qt::LeftButton, Qt::NoModifier, centre(CGXBCalculator::kIdDigit0 + 3));
    // A press released outside its button does nothing.
    QTest::mousePress(&calc, Qt::LeftButton, Qt::NoModifier, centre(CGXBCalculator::kIdDigit0 + 9));
    QTest::mouseMove(&calc, QPoint(1, 1));
    QTest::mouseRelease(&calc, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseClick(&calc, Qt::LeftButton, Qt::NoModifier, centre(CGXBCalculator::kIdEquals));
    EXPECT_EQ(calc.GetDisplayText(), "12.");
}

TEST_F(CalculatorTest, ButtonLayoutFollowsTheTable) {
    const auto& b = calc.Buttons();
    ASSERT_EQ(b.size(), 20u);
    const int ids[] = {7, 8, 20, 5, 16, 17, 18, 4, 13, 14, 15, 1, 10, 11, 12, 3, 9, 19, 2, 6};
    for (std::size_t i = 0; i < b.size(); ++i) EXPECT_EQ(b[i]->id, ids[i]) << i;
    // Rows of four, "0" two columns wide, Enter the whole width.
    EXPECT_EQ(b[16]->rect.Width(), 2 * b[0]->rect.Width());
    EXPECT_EQ(b[19]->rect.Width(), 4 * b[0]->rect.Width());
    EXPECT_EQ(b[19]->rect.right, calc.DisplayRect().right);
    EXPECT_GT(b[4]->rect.top, b[3]->rect.top);
    EXPECT_EQ(b[5]->rect.top, b[4]->rect.top);
    EXPECT_EQ(b[0]->textColor, 0x800000u);
    EXPECT_EQ(b[4]->textColor, 0x000080u);
}

TEST(Calculator, GermanSeparator) {
    LocaleScope german{QLocale(QLocale::German, QLocale::Germany)};
    CGXBCalculator calc;
    ASSERT_TRUE(calc.Create(0, fw::WS_VISIBLE, 0, {0, 0, 0, 0}, nullptr, 1));
    Type(&calc, "1,5*2=");
    EXPECT_EQ(calc.GetDisplayText(), "3,");
    Type(&calc, "c7.");  // the point is not this locale's separator
    EXPECT_EQ(calc.GetDisplayText(), "7,");
}

TEST(PopupCalculator, EnterSendsTheValueToTheOwnerAndCloses) {
    LocaleScope locale{QLocale::c()};
    OwnerWindow owner;
    owner.textMessages = {CGXBPopupCalculator::kMsgResult};
    ASSERT_TRUE(owner.Create(nullptr, {100, 100, 300, 130}, 0, fw::WS_VISIBLE));
    CGXBPopupCalculator popup;
    popup.SetValue(6);
    ASSERT_TRUE(popup.CreatePopup(fw::WS_VISIBLE, 0, {100, 100, 300, 120}, &owner));
    EXPECT_EQ(popup.GetDisplayText(), "6.");
    Type(&popup, "*7\r");
    Drain();
    const auto got = owner.Of(CGXBPopupCalculator::kMsgResult);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].text, "42.");
    EXPECT_FALSE(popup.IsCreated());
}

TEST(PopupCalculator, EqualsClosesOnlyWithItsStyleAndEscapeSendsNothing) {
    LocaleScope locale{QLocale::c()};
    OwnerWindow owner;
    owner.textMessages = {CGXBPopupCalculator::kMsgResult};
    ASSERT_TRUE(owner.Create(nullptr, {100, 100, 300, 130}, 0, fw::WS_VISIBLE));
    {
        CGXBPopupCalculator popup;
        ASSERT_TRUE(popup.CreatePopup(fw::WS_VISIBLE, CGXBCalculator::kStyleCloseOnEquals,
                                      {100, 100, 300, 120}, &owner));
        Type(&popup, "2+2=");
        Drain();
        ASSERT_EQ(owner.Of(CGXBPopupCalculator::kMsgResult).size(), 1u);
        EXPECT_EQ(owner.Of(CGXBPopupCalculator::kMsgResult)[0].text, "4.");
        EXPECT_FALSE(popup.IsCreated());
    }
    {
        CGXBPopupCalculator popup;
        ASSERT_TRUE(popup.CreatePopup(fw::WS_VISIBLE, 0, {100, 100, 300, 120}, &owner));
        Type(&popup, "3=");
        Drain();
        EXPECT_TRUE(popup.IsCreated());
        QTest::keyClick(&popup, Qt::Key_Escape);
        Drain();
        EXPECT_FALSE(popup.IsCreated());
        EXPECT_EQ(owner.Of(CGXBPopupCalculator::kMsgResult).size(), 1u);
    }
}

TEST(PopupCalculator, OpensAboveAnAnchorAtTheBottomOfTheWorkArea) {
    CGXBPopupCalculator popup;
    const fw::Rect work = GXWorkAreaAt({0, 0});
    const fw::Rect anchor{work.right - 20, work.bottom - 10, work.right - 5, work.bottom - 2};
    ASSERT_TRUE(popup.CreatePopup(fw::WS_VISIBLE, 0, anchor, nullptr));
    const fw::Rect r = popup.GetWindowRect();
    EXPECT_EQ(r.bottom, anchor.top);
    EXPECT_EQ(r.right, anchor.right);
}

TEST(CalculatorShot, RendersButtonsAndDisplay) {
    LocaleScope locale{QLocale::c()};
    CGXBCalculator calc;
    ASSERT_TRUE(calc.Create(0, fw::WS_VISIBLE,
                            CGXBCalculator::kStyleOwnBorder | CGXBCalculator::kStyleDisplayLine,
                            {0, 0, 0, 0}, nullptr, 1));
    Type(&calc, "1234.5");
    calc.UpdateWindow();
    const QImage shot = calc.BackingImage().copy();
    ASSERT_TRUE(extras_test::SaveShot(shot, "calculator"));
    // The face is button face, the display window colour.
    const fw::Rect d = calc.DisplayRect();
    EXPECT_EQ(fw::FromPixel(shot.pixel(d.left + 4, d.top + 3)), fw::GetSysColor(fw::COLOR_WINDOW));
}

}  // namespace
