// Password cells: masked drawing and display texts (one mask character per character), the
// edit window's password echo, storing the clear text, copy and cut leaving the clipboard alone,
// paste working as in the edit control.
#include "framework/persist/Clipboard.h"
#include "grid/controls/CGXPasswordControl.h"
#include "grid/controls/tests/ControlFixture.h"
#include "grid/core/CGXRange.h"

#include <QApplication>
#include <QLineEdit>

namespace {

class Password : public gxtest::ControlFixture {
protected:
    void SetUp() override {
        gxtest::ControlFixture::SetUp();
        Core().SetRowCount(3);
        Core().SetColCount(2);
        Core().SetColWidth(1, 2, 120);
        CGXStyle s;
        s.SetControl(GX_IDS_CTRL_PASSWORD);
        Core().SetStyleRange(CGXRange(1, 1, 3, 1), &s);
        Core().SetValueRange(CGXRange(1, 1), "abc", gxOverride, 0);
        Core().SetValueRange(CGXRange(2, 1), "\xC3\xA9t\xC3\xA9", gxOverride, 0);
        pw_ = dynamic_cast<CGXPasswordControl*>(Core().GetRegisteredControl(GX_IDS_CTRL_PASSWORD));
        Paint();
    }
    CGXPasswordControl* pw_ = nullptr;
};

TEST_F(Password, DisplayTextsAreMaskedPerCharacter) {
    ASSERT_NE(pw_, nullptr);
    std::string text;
    pw_->GetControlText(text, 1, 1, nullptr, *Style(1, 1));
    EXPECT_EQ(text, "***");
    pw_->GetControlText(text, 2, 1, nullptr, *Style(2, 1));
    EXPECT_EQ(text, "***");  // two of the three characters take two bytes each
    pw_->GetControlText(text, 3, 1, nullptr, *Style(3, 1));
    EXPECT_EQ(text, "");
}

TEST_F(Password, EditingShowsTheEchoAndStoresTheClearText) {
    Core().SetCurrentCell(1, 1);
    QTest::keyClick(wnd_.get(), Qt::Key_End);
    QTest::keyClicks(Focus(), "d");
    QLineEdit* line = qobject_cast<QLineEdit*>(Focus());
    if (!line && Focus())
        line = Focus()->findChild<QLineEdit*>();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->echoMode(), QLineEdit::Password);
    // Copy and cut leave the clipboard as it was.
    {
        fw::Clipboard clip;
        ASSERT_TRUE(clip.IsOpen());
        clip.Empty();
        clip.SetText("untouched");
    }
    QTest::keyClick(Focus(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Focus(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(Focus(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(fw::Clipboard().GetText(), "untouched");
    QTest::keyClick(Focus(), Qt::Key_Return);
    const std::string value = Value(1, 1);
    EXPECT_TRUE(value == "abcd") << value;
    const QImage img = Paint();
    img.save(QString(GRID_BUILD_DIR) + "/grid_controls_password.png");
}

}  // namespace
