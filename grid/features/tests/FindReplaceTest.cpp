#include "framework/dialogs/FindReplaceDialog.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/features/CGXGridFindReplaceImp.h"
#include "grid/features/tests/FeatureFixture.h"

namespace {

// A grid that remembers what it was told was not found.
class NotFoundCore : public CGXGridCore {
public:
    using CGXGridCore::CGXGridCore;
    void OnTextNotFound(const std::string& text) override { notFound.push_back(text); }
    std::vector<std::string> notFound;
};

class FindReplaceTest : public FeatureFixtureT<NotFoundCore> {
protected:
    void SetUp() override {
        FeatureFixtureT<NotFoundCore>::SetUp();
        CGXFindReplaceSettings::Get().transaction = true;
        Set(3, 2, "xAby");
        Set(8, 2, "ab");
        Set(12, 2, "AB");
        Set(5, 3, "ab");             // another column: not searched
        Set(15, 2, "\xC3\x84rger");  // Ärger
        Core().SetCurrentCell(1, 2);
    }
    // The current cell as "row,col".
    std::string Current() {
        ROWCOL r = 0, c = 0;
        Core().GetCurrentCell(r, c);
        return std::to_string(r) + "," + std::to_string(c);
    }
};

TEST_F(FindReplaceTest, FindNextGoesDownTheColumnAndStopsAtTheEnd) {
    EXPECT_TRUE(Core().OnFindNext("ab", true, false));
    EXPECT_EQ(Current(), "3,2");  // xAby, without regard to case
    EXPECT_TRUE(Core().OnFindNext("ab", true, false));
    EXPECT_EQ(Current(), "8,2");
    EXPECT_TRUE(Core().OnFindNext("ab", true, false));
    EXPECT_EQ(Current(), "12,2");
    EXPECT_FALSE(Core().OnFindNext("ab", true, false));  // no wrapping around
    EXPECT_EQ(Current(), "12,2");
    EXPECT_EQ(Core().notFound, std::vector<std::string>{"ab"});
    // Back up.
    EXPECT_TRUE(Core().OnFindNext("ab", false, false));
    EXPECT_EQ(Current(), "8,2");
    EXPECT_TRUE(Core().OnFindNext("ab", false, false));
    EXPECT_EQ(Current(), "3,2");
    EXPECT_FALSE(Core().OnFindNext("ab", false, false));
}

TEST_F(FindReplaceTest, MatchCaseAndLettersBeyondAToZ) {
    EXPECT_TRUE(Core().OnFindNext("ab", true, true));
    EXPECT_EQ(Current(), "8,2");                        // not xAby
    EXPECT_FALSE(Core().OnFindNext("ab", true, true));  // not AB
    Core().SetCurrentCell(1, 2);
    EXPECT_TRUE(Core().OnFindNext("\xC3\xA4rg", true, false));  // ärg finds Ärger
    EXPECT_EQ(Current(), "15,2");
    Core().SetCurrentCell(1, 2);
    EXPECT_FALSE(Core().OnFindNext("\xC3\xA4rg", true, true));
}

TEST_F(FindReplaceTest, ReplacingNeverSearchesTheReplacementAgain) {
    Set(4, 2, "aaa");
    Core().SetCurrentCell(4, 2);
    Core().OnReplaceAll("a", "aa", true);
    EXPECT_EQ(Get(4, 2), "aaaaaa");
    EXPECT_EQ(Get(3, 2), "xAby");  // match case: A is no a
    EXPECT_EQ(Get(8, 2), "aab");   // ab: a replaced, b kept
}

TEST_F(FindReplaceTest, ReplaceTakesTheFoundCellAndMovesOn) {
    EXPECT_TRUE(Core().OnFindNext("ab", true, false));
    EXPECT_EQ(Current(), "3,2");
    Core().OnReplaceSel("ab", true, false, "-");
    EXPECT_EQ(Get(3, 2), "x-y");
    EXPECT_EQ(Current(), "8,2");
    Core().OnReplaceSel("ab", true, false, "-");
    EXPECT_EQ(Get(8, 2), "-");
    EXPECT_EQ(Current(), "12,2");
}

TEST_F(FindReplaceTest, ReplaceAllOfAHundredThousandCellsIsOneUndo) {
    SetRows(100000);
    SetCols(1);
    CGXStyle s;
    s.SetValue("cell nr one");
    for (ROWCOL r = 1; r <= 100000; ++r) Param().GetData()->StoreStyleAt(r, 1, &s, gxOverride, 0);
    Param().GetUndoList().clear();
    Core().SetCurrentCell(1, 1);
    Core().OnReplaceAll("NR", "number", false);
    EXPECT_EQ(Get(1, 1), "cell number one");
    EXPECT_EQ(Get(100000, 1), "cell number one");
    EXPECT_EQ(UndoCount(), 1u);
    ASSERT_TRUE(Core().Undo());
    EXPECT_EQ(Core().GetValueRowCol(1, 1), "cell nr one");
    EXPECT_EQ(Core().GetValueRowCol(54321, 1), "cell nr one");
    EXPECT_TRUE(Core().notFound.empty());
}

TEST(FindReplaceDialog, OpensOnceAndItsButtonsReachTheGridWindow) {
    GXTerminateLibrary();
    GXInitWithFeatures();
    auto wnd = std::make_unique<CGXGridWnd>();
    wnd->Create(nullptr, {0, 0, 400, 300}, 0, fw::WS_VISIBLE);
    wnd->Initialize();
    wnd->SetRowCount(20, 0);
    wnd->SetColCount(4, 0);
    wnd->SetValueRange(CGXRange(6, 2), std::string("find me"), gxOverride, 0);
    wnd->SetCurrentCell(1, 2);
    {
        wnd->OnShowFindReplaceDialog(true);
        CGXFindReplaceSettings& s = CGXFindReplaceSettings::Get();
        ASSERT_NE(s.dialog, nullptr);
        fw::FindReplaceDialog* first = s.dialog.get();
        wnd->OnShowFindReplaceDialog(true);  // the open one comes to the front
        EXPECT_EQ(s.dialog.get(), first);
        s.findText = "ME";
        wnd->OnShowFindReplaceDialog(false);  // the other kind replaces it
        ASSERT_NE(s.dialog, nullptr);
        EXPECT_EQ(s.dialog->GetFindString(), "ME");
        s.dialog->PressFindNext();  // the registered message goes to the grid window
        ROWCOL r = 0, c = 0;
        ASSERT_TRUE(wnd->GetCurrentCell(r, c));
        EXPECT_EQ(r, 6u);
        s.dialog->PressReplaceAll();
        EXPECT_EQ(wnd->GetValueRowCol(6, 2), "find ");  // an empty replacement removes "me"
    }
    CGXFindReplaceSettings::Get().dialog.reset();
    wnd.reset();
    GXTerminateLibrary();
}

TEST_F(FindReplaceTest, AGridWithoutRowsOpensNoDialog) {
    CGXFindReplaceSettings::Get().dialog.reset();
    Core().SetRowCount(0, 0);
    Core().OnShowFindReplaceDialog(true);
    EXPECT_EQ(CGXFindReplaceSettings::Get().dialog, nullptr);
}

}  // namespace
