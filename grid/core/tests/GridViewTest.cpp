// The grid as a view in a frame: the Edit and print commands reach the grid through the frame's
// routing, and their items are enabled exactly when the grid can do them.
#include "framework/base/CommandIds.h"
#include "framework/docview/Document.h"
#include "framework/docview/FrameWnd.h"
#include "grid/core/CGXGridView.h"
#include "grid/core/tests/GridFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

class ViewFakeCutPaste : public CGXAbstractGridCutPasteImp {
public:
    bool can = true;
    bool CanCopy(CGXGridCore*) override { return can; }
    bool Copy(CGXGridCore*) override { return Note("copy"); }
    bool CopyRangeList(CGXGridCore*, const CGXRangeList&) override { return true; }
    bool CopyTextToClipboard(CGXGridCore*, const CGXRangeList&) override { return true; }
    bool CopyStylesToClipboard(CGXGridCore*, const CGXRangeList&) override { return true; }
    bool CanCut(CGXGridCore*) override { return can; }
    bool Cut(CGXGridCore*) override { return Note("cut"); }
    bool CutRangeList(CGXGridCore*, const CGXRangeList&, bool) override { return true; }
    bool CanPaste(CGXGridCore*) override { return can; }
    bool HasClipboardData(CGXGridCore*) override { return true; }
    bool Paste(CGXGridCore*) override { return Note("paste"); }
    bool PasteDirect(CGXGridCore*, const CGXRange&) override { return true; }
    bool PasteFromClipboard(CGXGridCore*, const CGXRange&) override { return true; }
    bool ConfirmPasteSize(CGXGridCore*) override { return true; }
    static bool Note(const char* what) {
        g_calls.emplace_back(what);
        return true;
    }
};

class FakeUndo : public CGXAbstractCommandFactory {
public:
    void AddCommand(CGXGridCore*, std::unique_ptr<CGXCommand>, int) override {}
    void RemoveCommand(CGXGridCore*, int) override {}
    bool Undo(CGXGridCore*) override { return ViewFakeCutPaste::Note("undo"); }
    bool Redo(CGXGridCore*) override { return ViewFakeCutPaste::Note("redo"); }
    bool BeginTrans(CGXGridCore*, const char*) override { return true; }
    void CommitTrans(CGXGridCore*) override {}
    void Rollback(CGXGridCore*) override {}
};

class FakeFind : public CGXAbstractGridFindReplaceImp {
public:
    void ShowDialog(CGXGridCore*, bool findOnly) override {
        ViewFakeCutPaste::Note(findOnly ? "find" : "replace");
    }
    bool Find(CGXGridCore*, const std::string&, bool, bool) override { return false; }
    bool FindFrom(CGXGridCore*, ROWCOL, ROWCOL, bool) override { return false; }
    bool FindNext(CGXGridCore*, bool) override {
        ViewFakeCutPaste::Note("repeat");
        return true;
    }
    void Replace(CGXGridCore*, const std::string&, bool, bool, const std::string&) override {}
    void ReplaceAll(CGXGridCore*, const std::string&, const std::string&, bool) override {}
    void OnDialogNotify(CGXGridCore*, void*) override {}
};

class GridViewInFrame : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXInitWithControlFactory();
        g_calls.clear();
        frame_ = std::make_unique<fw::FrameWnd>();
        ASSERT_TRUE(frame_->LoadFrame("Grid", fw::WS_OVERLAPPEDWINDOW));
        view_ = static_cast<CGXGridView*>(frame_->SetView(std::make_unique<CGXGridView>()));
        view_->SetDocument(&doc_);
        frame_->InitialUpdateFrame(&doc_, true);
        view_->SetRowCount(10, 0);
        view_->SetColCount(4, 0);
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        view_->SetDocument(nullptr);
        frame_.reset();
        GXTerminateLibrary();
    }
    bool Enabled(unsigned id) { return frame_->QueryCommandState(id).enabled().value_or(false); }

    fw::Document doc_;
    std::unique_ptr<fw::FrameWnd> frame_;
    CGXGridView* view_ = nullptr;
};

const unsigned kCommands[] = {fw::ID_EDIT_COPY,         fw::ID_EDIT_CUT,    fw::ID_EDIT_PASTE,
                              fw::ID_EDIT_UNDO,         fw::ID_EDIT_REDO,   fw::ID_EDIT_FIND,
                              fw::ID_EDIT_REPLACE,      fw::ID_EDIT_REPEAT, fw::ID_FILE_PRINT,
                              fw::ID_FILE_PRINT_PREVIEW};

TEST_F(GridViewInFrame, CommandsOfAbsentFeaturesAreDisabled) {
    ASSERT_TRUE(view_->IsInitialized());
    EXPECT_EQ(view_->CGXGridCore::GetDocument(), &doc_);
    EXPECT_EQ(view_->GetParentDynamicSplitter(), nullptr);
    for (unsigned id : kCommands) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(Enabled(id));
    }
}

TEST_F(GridViewInFrame, EditCommandsAreRoutedToTheGridWithTheirStates) {
    auto* cutPaste =
        static_cast<ViewFakeCutPaste*>(view_->AddOwnedObject(std::make_unique<ViewFakeCutPaste>()));
    view_->SetFeatureSlot(27, cutPaste);
    view_->SetFeatureSlot(9, view_->AddOwnedObject(std::make_unique<FakeUndo>()));
    view_->SetFeatureSlot(14, view_->AddOwnedObject(std::make_unique<FakeFind>()));
    struct Case {
        unsigned id;
        const char* call;
    };
    for (const Case& c :
         {Case{fw::ID_EDIT_COPY, "copy"}, Case{fw::ID_EDIT_CUT, "cut"},
          Case{fw::ID_EDIT_PASTE, "paste"}, Case{fw::ID_EDIT_FIND, "find"},
          Case{fw::ID_EDIT_REPLACE, "replace"}, Case{fw::ID_EDIT_REPEAT, "repeat"}}) {
        SCOPED_TRACE(c.call);
        EXPECT_TRUE(Enabled(c.id));
        g_calls.clear();
        EXPECT_TRUE(frame_->ExecuteCommand(c.id));
        EXPECT_EQ(g_calls, std::vector<std::string>{c.call});
    }
    // The clipboard feature says what is possible now.
    cutPaste->can = false;
    EXPECT_FALSE(Enabled(fw::ID_EDIT_COPY));
    EXPECT_FALSE(Enabled(fw::ID_EDIT_PASTE));
    // Undo and redo need a command to take back.
    EXPECT_FALSE(Enabled(fw::ID_EDIT_UNDO));
    view_->GetParam()->GetUndoList().push_back(std::make_unique<CGXCommand>());
    EXPECT_TRUE(Enabled(fw::ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(fw::ID_EDIT_REDO));
    g_calls.clear();
    frame_->ExecuteCommand(fw::ID_EDIT_UNDO);
    EXPECT_EQ(g_calls, std::vector<std::string>{"undo"});
}

TEST_F(GridViewInFrame, KeysAndClicksReachTheCoreThroughTheView) {
    const fw::Rect r = view_->CalcRectFromRowCol(3, 2);
    QTest::mouseClick(view_, Qt::LeftButton, Qt::NoModifier,
                      QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    ROWCOL row = 0, col = 0;
    ASSERT_TRUE(view_->GetCurrentCell(row, col));
    EXPECT_EQ(row, 3u);
    EXPECT_EQ(col, 2u);
    QTest::keyClick(view_, Qt::Key_Down);
    QTest::keyClick(view_, Qt::Key_Right);
    view_->GetCurrentCell(row, col);
    EXPECT_EQ(row, 4u);
    EXPECT_EQ(col, 3u);
    // The library messages of the current-cell helpers answer as a view's do.
    EXPECT_EQ(view_->SendMessage(WM_GX_NEEDCHANGETAB), 1);
    EXPECT_EQ(view_->SendMessage(WM_GX_CHANGEDTAB), 0);
}

}  // namespace
