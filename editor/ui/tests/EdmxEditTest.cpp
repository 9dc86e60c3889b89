// The EDMX address edit: typed digits and "/" stay, every other character is dropped,
// backspace still deletes, and pasted text is left to the dialogs' checks.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include "editor/ui/EdmxEdit.h"
#include "framework/window/Window.h"

#include <gtest/gtest.h>

namespace tessaly::test {
namespace {

class EdmxEdit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.Create(nullptr, {0, 0, 200, 60}, 0, fw::WS_VISIBLE));
        ASSERT_TRUE(
            edit.Create(fw::WS_VISIBLE | fw::ES_AUTOHSCROLL, {10, 10, 110, 30}, &parent, 1040));
        line = qobject_cast<QLineEdit*>(edit.focusProxy());
        ASSERT_NE(line, nullptr);
    }
    fw::Window parent;
    CEdmxEdit edit;
    QLineEdit* line = nullptr;
};

TEST_F(EdmxEdit, KeepsDigitsAndTheSlashOnly) {
    QTest::keyClicks(line, "2/17");
    EXPECT_EQ(edit.GetWindowText(), "2/17");
    QTest::keyClicks(line, "a -B.+,x9");
    EXPECT_EQ(edit.GetWindowText(), "2/179");
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(edit.GetWindowText(), "2/1");
}

TEST_F(EdmxEdit, PastedTextIsNotFiltered) {
    QApplication::clipboard()->setText("1a-2");
    line->paste();
    EXPECT_EQ(edit.GetWindowText(), "1a-2");
}

}  // namespace
}  // namespace tessaly::test
