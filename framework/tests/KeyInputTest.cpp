// Keys arrive as a key-down phase and a character phase with the codes programs expect.
#include "framework/tests/RecordingWindow.h"
#include "framework/window/KeyTranslator.h"

#include <gtest/gtest.h>

#include <QTest>

namespace fw {
namespace {

using test::RecordingWindow;
using test::Seen;

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers mods;
    QString text;
    unsigned vk;
    bool system;
    std::u32string chars;
    bool extended;
};

TEST(KeyTranslator, CodesAndCharacterPhase) {
    const KeyCase cases[] = {
        {"letter", Qt::Key_A, Qt::NoModifier, "a", 'A', false, U"a", false},
        {"shifted letter", Qt::Key_A, Qt::ShiftModifier, "A", 'A', false, U"A", false},
        {"digit", Qt::Key_7, Qt::NoModifier, "7", '7', false, U"7", false},
        {"shifted digit", Qt::Key_Exclam, Qt::ShiftModifier, "!", '1', false, U"!", false},
        {"tab", Qt::Key_Tab, Qt::NoModifier, "\t", VK_TAB, false, U"\t", false},
        {"back tab", Qt::Key_Backtab, Qt::ShiftModifier, "", VK_TAB, false, U"\t", false},
        {"enter", Qt::Key_Return, Qt::NoModifier, "\r", VK_RETURN, false, U"\r", false},
        {"ctrl enter", Qt::Key_Return, Qt::ControlModifier, "", VK_RETURN, false, U"\n", false},
        {"keypad enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", VK_RETURN, false, U"\r", true},
        {"backspace", Qt::Key_Backspace, Qt::NoModifier, "\b", VK_BACK, false, U"\b", false},
        {"escape", Qt::Key_Escape, Qt::NoModifier, "\x1b", VK_ESCAPE, false, U"\x1b", false},
        {"delete has no character", Qt::Key_Delete, Qt::NoModifier, "\x7f", VK_DELETE, false, U"",
         true},
        {"left", Qt::Key_Left, Qt::NoModifier, "", VK_LEFT, false, U"", true},
        {"shift right", Qt::Key_Right, Qt::ShiftModifier, "", VK_RIGHT, false, U"", true},
        {"ctrl down", Qt::Key_Down, Qt::ControlModifier, "", VK_DOWN, false, U"", true},
        {"page down", Qt::Key_PageDown, Qt::NoModifier, "", VK_NEXT, false, U"", true},
        {"f2", Qt::Key_F2, Qt::NoModifier, "", VkFunction(2), false, U"", false},
        {"f10 is a system key", Qt::Key_F10, Qt::NoModifier, "", VkFunction(10), true, U"", false},
        {"ctrl c", Qt::Key_C, Qt::ControlModifier, "\x03", 'C', false, U"\x03", false},
        {"ctrl z without text", Qt::Key_Z, Qt::ControlModifier, "", 'Z', false, U"\x1a", false},
        {"alt x", Qt::Key_X, Qt::AltModifier, "x", 'X', true, U"x", false},
        {"alt backspace", Qt::Key_Backspace, Qt::AltModifier, "", VK_BACK, true, U"\b", false},
        {"keypad 5", Qt::Key_5, Qt::KeypadModifier, "5", VK_NUMPAD0 + 5, false, U"5", false},
        {"umlaut", Qt::Key_Adiaeresis, Qt::NoModifier, QString(QChar(0xE4)), 0, false, U"\u00e4",
         false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const KeyStroke k = TranslateKey({c.key, c.mods, c.text, false, false, 0});
        EXPECT_EQ(k.vk, c.vk);
        EXPECT_EQ(k.system, c.system);
        EXPECT_EQ(k.chars, c.chars);
        EXPECT_EQ((k.lParam >> 24) & 1, c.extended ? 1 : 0);
        EXPECT_EQ(k.lParam & 0xFFFF, 1);
        EXPECT_EQ((k.lParam >> 29) & 1, (c.mods & Qt::AltModifier) ? 1 : 0);
    }
}

TEST(KeyTranslator, RepeatAndReleaseBits) {
    const KeyStroke repeat = TranslateKey({Qt::Key_Down, Qt::NoModifier, "", true, false, 0});
    EXPECT_EQ((repeat.lParam >> 30) & 3, 1);  // was down before, still going down
    const KeyStroke up = TranslateKey({Qt::Key_Down, Qt::NoModifier, "", false, true, 0});
    EXPECT_EQ((up.lParam >> 30) & 3, 3);
    EXPECT_TRUE(up.chars.empty());
    // The scan code of the platform (evdev numbering plus 8) lands in bits 16..23.
    const KeyStroke a = TranslateKey({Qt::Key_A, Qt::NoModifier, "a", false, false, 38});
    EXPECT_EQ((a.lParam >> 16) & 0xFF, 30);
}

class KeyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        w.only = {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR};
        w.dlgCode = DLGC_WANTTAB;
        w.Create(nullptr, {0, 0, 200, 100}, 0, WS_VISIBLE);
    }
    // The key messages of one press without the key-ups and without the modifier keys' own
    // messages (pressing Shift is a WM_KEYDOWN of VK_SHIFT, as it should be).
    std::vector<Seen> Downs() const {
        std::vector<Seen> out;
        for (const Seen& s : w.seen) {
            const bool modifier = (s.id == WM_KEYDOWN || s.id == WM_SYSKEYDOWN) &&
                                  (s.w == VK_SHIFT || s.w == VK_CONTROL || s.w == VK_MENU);
            if (s.id != WM_KEYUP && s.id != WM_SYSKEYUP && !modifier)
                out.push_back(s);
        }
        return out;
    }
    RecordingWindow w;
};

TEST_F(KeyWindowTest, TypedTextComesAsKeyDownThenCharacterThenKeyUp) {
    QTest::keyClicks(&w, "Ab");
    ASSERT_EQ(w.seen.size(), 6u);
    EXPECT_EQ(w.seen[0].id, WM_KEYDOWN);
    EXPECT_EQ(w.seen[0].w, WPARAM('A'));
    EXPECT_EQ(w.seen[1].id, WM_CHAR);
    EXPECT_EQ(w.seen[1].w, WPARAM('A'));
    EXPECT_EQ(w.seen[2].id, WM_KEYUP);
    EXPECT_EQ(w.seen[3].w, WPARAM('B'));
    EXPECT_EQ(w.seen[4].id, WM_CHAR);
    EXPECT_EQ(w.seen[4].w, WPARAM('b'));
}

TEST_F(KeyWindowTest, TabEnterAndArrowsWithShiftAndCtrl) {
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        unsigned vk;
        std::vector<WPARAM> chars;
        bool shift, ctrl;
    };
    const Step steps[] = {
        {Qt::Key_Tab, Qt::NoModifier, VK_TAB, {9}, false, false},
        {Qt::Key_Return, Qt::NoModifier, VK_RETURN, {13}, false, false},
        {Qt::Key_Left, Qt::ShiftModifier, VK_LEFT, {}, true, false},
        {Qt::Key_Right, Qt::ControlModifier, VK_RIGHT, {}, false, true},
        {Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier, VK_DOWN, {}, true, true},
        {Qt::Key_Up, Qt::NoModifier, VK_UP, {}, false, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.vk);
        w.seen.clear();
        bool shiftSeen = false, ctrlSeen = false;
        w.answer = [&](Message& m, LRESULT&) {
            if (m.id == WM_KEYDOWN) {
                shiftSeen = IsKeyDown(VK_SHIFT);
                ctrlSeen = IsKeyDown(VK_CONTROL);
            }
            return false;
        };
        QTest::keyClick(&w, s.key, s.mods);
        const auto downs = Downs();
        ASSERT_EQ(downs.size(), 1 + s.chars.size());
        EXPECT_EQ(downs[0].id, WM_KEYDOWN);
        EXPECT_EQ(downs[0].w, s.vk);
        for (std::size_t i = 0; i < s.chars.size(); ++i) {
            EXPECT_EQ(downs[1 + i].id, WM_CHAR);
            EXPECT_EQ(downs[1 + i].w, s.chars[i]);
        }
        EXPECT_EQ(shiftSeen, s.shift);
        EXPECT_EQ(ctrlSeen, s.ctrl);
    }
}

TEST_F(KeyWindowTest, AltGivesTheSystemVariants) {
    QTest::keyClick(&w, Qt::Key_X, Qt::AltModifier);
    const auto downs = Downs();
    ASSERT_GE(downs.size(), 1u);
    EXPECT_EQ(downs[0].id, WM_SYSKEYDOWN);
    EXPECT_EQ(downs[0].w, WPARAM('X'));
    EXPECT_TRUE(HIWORD(static_cast<std::uintptr_t>(downs[0].l)) & KF_ALTDOWN);
    EXPECT_EQ(w.seen.front().w, WPARAM(VK_MENU));  // Alt itself goes down as a system key
    EXPECT_EQ(w.Of(WM_SYSKEYUP).size(), 2u);
}

TEST_F(KeyWindowTest, KeyDownThatTakesTheKeySuppressesTheCharacter) {
    w.answer = [](Message& m, LRESULT& r) {
        if (m.id == WM_KEYDOWN && m.wParam == 'Q') {
            r = 1;
            return true;
        }
        return false;
    };
    QTest::keyClicks(&w, "qw");
    EXPECT_EQ(w.Of(WM_KEYDOWN).size(), 2u);
    ASSERT_EQ(w.Of(WM_CHAR).size(), 1u);
    EXPECT_EQ(w.Of(WM_CHAR)[0].w, WPARAM('w'));
}

TEST_F(KeyWindowTest, TabIsLeftToFocusNavigationUnlessTheWindowWantsIt) {
    w.dlgCode = 0;
    QTest::keyClick(&w, Qt::Key_Tab);
    EXPECT_TRUE(w.Of(WM_KEYDOWN).empty());
    w.dlgCode = DLGC_WANTALLKEYS;
    QTest::keyClick(&w, Qt::Key_Tab);
    EXPECT_EQ(w.Of(WM_KEYDOWN).size(), 1u);
}

}  // namespace
}  // namespace fw
