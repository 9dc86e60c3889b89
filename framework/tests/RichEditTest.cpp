// The rich-text edit: documents in and out unchanged, typing with real keys (a change by the
// user, told to the parent, limited in characters), formatting the selection or everything,
// measuring for a width, and drawing without being shown.
#include "framework/controls/RichEdit.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/tests/RecordingWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

namespace fw {
namespace {

using test::RecordingWindow;

class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent.only = {WM_COMMAND};
        parent.Create(nullptr, {0, 0, 400, 300}, 0, WS_VISIBLE);
        ASSERT_TRUE(edit.Create(ES_MULTILINE | WS_VISIBLE, {10, 10, 210, 110}, &parent, 7));
    }
    int Changes() const {
        int n = 0;
        for (const auto& s : parent.Of(WM_COMMAND))
            n += LOWORD(s.w) == 7 && HIWORD(s.w) == EN_CHANGE;
        return n;
    }
    void Type(const char* text) {
        edit.Inner()->setFocus();
        // Characters outside ASCII have no key of their own: a key event that carries the text.
        for (QChar c : QString::fromUtf8(text)) {
            if (c.unicode() < 128) {
                QTest::keyClick(edit.Inner(), static_cast<char>(c.unicode()));
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit.Inner(), &press);
            QApplication::sendEvent(edit.Inner(), &release);
        }
        QApplication::processEvents();
    }
    RecordingWindow parent;
    RichEdit edit;
};

TEST_F(RichEditTest, DocumentsGoInAndComeOutUnchanged) {
    RichCharFormat bold;
    bold.bold = true;
    RichCharFormat fancy;
    fancy.italic = fancy.underline = fancy.strikeOut = true;
    fancy.face = "DejaVu Serif";
    fancy.sizeTwips = 280;
    fancy.color = Rgb(200, 0, 0);
    const std::vector<std::vector<RichParagraph>> docs = {
        {{RichAlign::Left, {{"plain", {}}}}},
        {{RichAlign::Center, {{"Kolt ", {}}, {"node", bold}}},
         {RichAlign::Right, {{"two\nlines \xc3\xa9", fancy}}}},
        {{RichAlign::Left, {}}, {RichAlign::Left, {{"after an empty one", {}}}}},
    };
    for (const auto& doc : docs) {
        edit.SetContent(doc);
        EXPECT_EQ(edit.GetContent(), doc);
        EXPECT_FALSE(edit.GetModify());  // set by the program
    }
    EXPECT_EQ(edit.GetWindowText(), "\nafter an empty one") << "paragraphs joined by line ends";
    edit.SetContent(docs[1]);
    EXPECT_EQ(edit.GetWindowText(), "Kolt node\ntwo\nlines \xc3\xa9");
}

TEST_F(RichEditTest, TypingIsAChangeByTheUserAndTheLimitCountsCharacters) {
    edit.SetWindowText("");
    const int before = Changes();
    edit.LimitText(4);
    Type("\xc3\xa9t\xc3\xa9s!");  // five characters, seven bytes
    EXPECT_TRUE(edit.GetModify());
    EXPECT_GT(Changes(), before);
    EXPECT_EQ(edit.GetWindowText(), "\xc3\xa9t\xc3\xa9s");
    EXPECT_EQ(edit.GetTextLength(), 4);
    edit.SetSel(1, 3);
    EXPECT_EQ(edit.GetSelText(), "t\xc3\xa9");
    edit.ReplaceSel("X");
    EXPECT_EQ(edit.GetWindowText(), "\xc3\xa9Xs");
}

TEST_F(RichEditTest, FormatsGoToTheSelectionOrToEverything) {
    edit.SetWindowText("one two");
    edit.SetSel(4, 7);
    RichCharFormat bold;
    bold.bold = true;
    edit.SetCharFormat(bold, CFM_BOLD);
    std::vector<RichParagraph> doc = edit.GetContent();
    ASSERT_EQ(doc.size(), 1u);
    ASSERT_EQ(doc[0].runs.size(), 2u);
    EXPECT_EQ(doc[0].runs[0].text, "one ");
    EXPECT_FALSE(doc[0].runs[0].format.bold);
    EXPECT_TRUE(doc[0].runs[1].format.bold);
    EXPECT_TRUE(edit.GetSelectionCharFormat().bold);

    RichCharFormat red;
    red.color = Rgb(255, 0, 0);
    edit.SetCharFormat(red, CFM_COLOR, true);
    edit.SetAlignment(RichAlign::Right, true);
    doc = edit.GetContent();
    for (const RichRun& run : doc[0].runs) EXPECT_EQ(run.format.color, Rgb(255, 0, 0));
    EXPECT_TRUE(doc[0].runs[1].format.bold);  // only the colour changed
    EXPECT_EQ(doc[0].align, RichAlign::Right);
}

TEST_F(RichEditTest, MeasuresAndDrawsWithoutBeingShown) {
    edit.ShowWindow(SW_HIDE);
    edit.SetWindowText("one line");
    const int one = edit.RequiredHeight(190);
    edit.SetWindowText("one line\nand another\nand a third");
    const int three = edit.RequiredHeight(190);
    EXPECT_GT(one, 8);
    EXPECT_GE(three, 3 * one - 6);
    EXPECT_GT(edit.RequiredHeight(20), three) << "a narrow width wraps the words";

    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::green);
    {
        DeviceContext dc(&image);
        edit.SetBackgroundColor(Rgb(255, 255, 255));
        edit.Render(dc, {10, 10, 110, 70});
        dc.Flush();
    }
    EXPECT_EQ(image.pixel(5, 5), QColor(Qt::green).rgb()) << "nothing outside the rectangle";
    int ink = 0;
    for (int y = 10; y < 70; ++y)
        for (int x = 10; x < 110; ++x) ink += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(ink, 30);
    image.save(QString(QT_TESTCASE_BUILDDIR) + "/framework_richedit_render.png");
}

}  // namespace
}  // namespace fw
