// Masked-edit cells in a grid: drawn with literals and prompts, typing into an inactive cell
// replaces its value, typed characters skip literals and refused ones are dropped, Backspace
// moves the rest up, the cell stores the typed characters alone, and a cell without a mask is
// free input.
#include "grid/controls/CGXMaskControl.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXRange.h"

#include <QApplication>

namespace {

class MaskEdit : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        gxtest::ControlFixture::SetUp();
        Core().SetRowCount(3);
        Core().SetColCount(2);
        Core().SetColWidth(1, 2, 120);
        CGXStyle s;
        s.SetControl(GX_IDS_CTRL_MASKEDIT).SetUserAttribute(GX_IDS_UA_INPUTMASKVALUE, "###-##");
        Core().SetStyleRange(CGXRange(1, 1, 2, 1), &s);
        Core().SetValueRange(CGXRange(1, 1), "12", gxOverride, 0);
        mask_ = dynamic_cast<CGXMaskControl*>(Core().GetRegisteredControl(GX_IDS_CTRL_MASKEDIT));
        Paint();
    }
    CGXMaskControl* mask_ = nullptr;
};

TEST_F(MaskEdit, DisplayTextsAndConversions) {
    ASSERT_NE(mask_, nullptr);
    std::string text;
    ASSERT_TRUE(mask_->GetControlText(text, 1, 1, nullptr, *Style(1, 1)));
    EXPECT_EQ(text, "12_-__");
    ASSERT_TRUE(mask_->GetControlText(text, 2, 1, nullptr, *Style(2, 1)));
    EXPECT_EQ(text, "");  // an empty value shows no literals
    std::string shown = "123-45";
    ASSERT_TRUE(mask_->ConvertControlTextToValue(shown, 1, 1, nullptr));
    EXPECT_EQ(shown, "12345");
    std::string typed = "678";
    ASSERT_TRUE(mask_->ConvertControlTextToValue(typed, 1, 1, nullptr));
    EXPECT_EQ(typed, "678");
}

TEST_F(MaskEdit, TypingSkipsLiteralsAndStoresTheTypedCharacters) {
    Core().SetCurrentCell(1, 1);
    Paint();
    QTest::keyClicks(wnd_.get(), "9");  // replaces the value
    ASSERT_TRUE(mask_->IsActive());
    std::string shown;
    mask_->GetCurrentText(shown);
    EXPECT_EQ(shown, "9__-__");
    QTest::keyClicks(Focus(), "8x76");  // "x" is refused, "6" goes past the hyphen
    mask_->GetCurrentText(shown);
    EXPECT_EQ(shown, "987-6_");
    QTest::keyClick(Focus(), Qt::Key_Backspace);
    mask_->GetCurrentText(shown);
    EXPECT_EQ(shown, "987-__");
    QTest::keyClicks(Focus(), "54");
    QTest::keyClick(Focus(), Qt::Key_Return);
    EXPECT_EQ(Value(1, 1), "98754");
}

}  // namespace
