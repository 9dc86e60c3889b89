#include "framework/app/Application.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/window/Window.h"
#include "grid/core/CGXLongOperation.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/CGXLongOperationImp.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>

#include <string>
#include <vector>

namespace {

// A main window stand-in that keeps the status texts it is sent and the keys that reach it.
class StatusWindow : public fw::Window {
public:
    std::vector<std::string> texts;
    int keys = 0;
    int commands = 0;
    int userMessages = 0;

protected:
    fw::LRESULT WindowProc(fw::Message& m) override {
        if (m.id == fw::WM_SETMESSAGESTRING && m.lParam)
            texts.emplace_back(reinterpret_cast<const char*>(m.lParam));
        if (m.id == fw::WM_KEYDOWN || m.id == fw::WM_CHAR)
            ++keys;
        if (m.id == fw::WM_COMMAND)
            ++commands;
        if (m.id == fw::WM_USER + 5)
            ++userMessages;
        return Window::WindowProc(m);
    }
};

class LongOperationTest : public ::testing::Test {
protected:
    void SetUp() override {
        GXTerminateLibrary();
        GXAddLibraryStrings();
        GXInitLibrary(nullptr);
        InstallLongOperationImp();
        GXLongOperationState& s = GXGetLibraryState().m_longOperation;
        s.tickCount = [this] { return now_; };
        s.pStatusWindow = &window_;
        CGXLongOperation::SetConfirmAbort(false);
    }
    void TearDown() override {
        fw::SetMessageBoxHook({});
        GXTerminateLibrary();
    }
    void Press(int key) {
        QCoreApplication::postEvent(&window_, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        QCoreApplication::postEvent(&window_,
                                    new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
    }
    std::uint64_t now_ = 1000;
    StatusWindow window_;
};

TEST_F(LongOperationTest, ProgressAfterItsDelay) {
    {
        CGXLongOperation op;
        now_ += 500;
        EXPECT_FALSE(op.CheckProgress());
        EXPECT_TRUE(window_.texts.empty());
        EXPECT_FALSE(fw::IsWaitCursorShown());
        now_ += 300;  // 800 ms in: past the first wait of 750
        EXPECT_TRUE(op.CheckProgress());
        EXPECT_TRUE(fw::IsWaitCursorShown());
        ASSERT_EQ(window_.texts.size(), 1u);
        EXPECT_EQ(window_.texts.back(), "Processing...  -");
        CGXLongOperation::SetPercentDone(42);
        now_ += 1000;  // within the update interval of 1500
        EXPECT_FALSE(op.CheckProgress());
        now_ += 500;
        op.SetStatusText("Sorting rows");
        EXPECT_TRUE(op.CheckProgress());
        EXPECT_EQ(window_.texts.back(), "Sorting rows  42%. ");
        now_ += 1500;
        bool abort = true;
        EXPECT_TRUE(op.CheckProgressCanAbort(abort));
        EXPECT_FALSE(abort);
        EXPECT_EQ(window_.texts.back(), "Sorting rows  42%.    Press ESC to cancel");
        {
            CGXLongOperation::SetStatusLevel(1);
            CGXLongOperation inner;  // below the status level: its text is not shown
            inner.SetStatusText("inner");
            now_ += 1500;
            EXPECT_TRUE(inner.CheckProgress());
            EXPECT_EQ(window_.texts.back(), "Sorting rows  42%.    Press ESC to cancel");
        }
    }
    EXPECT_EQ(window_.texts.back(), "Done.");
    EXPECT_FALSE(fw::IsWaitCursorShown());
    EXPECT_EQ(CGXLongOperation::GetLevel(), 0);
}

TEST_F(LongOperationTest, AShortOperationShowsNothing) {
    {
        CGXLongOperation op;
        now_ += 700;
        EXPECT_FALSE(op.CheckProgress());
    }
    EXPECT_TRUE(window_.texts.empty());
    EXPECT_FALSE(fw::IsWaitCursorShown());
}

TEST_F(LongOperationTest, EscapeStopsItAndOtherKeysAreLost) {
    CGXLongOperation op;
    now_ += 800;
    Press(Qt::Key_A);
    Press(Qt::Key_Escape);
    bool abort = false;
    EXPECT_TRUE(op.CheckProgressCanAbort(abort));
    EXPECT_TRUE(abort);
    EXPECT_TRUE(CGXLongOperation::GetAbortConfirmedState());
    QCoreApplication::processEvents();
    EXPECT_EQ(window_.keys, 0);  // dropped, not queued for later
}

TEST_F(LongOperationTest, PostedCommandsAreDroppedWhileOtherMessagesArrive) {
    CGXLongOperation op;
    now_ += 800;
    window_.PostMessage(fw::WM_COMMAND, 100, 0);
    window_.PostMessage(fw::WM_USER + 5, 0, 0);
    EXPECT_TRUE(op.CheckProgress());
    EXPECT_EQ(window_.commands, 0);
    EXPECT_EQ(window_.userMessages, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(window_.commands, 0);  // dropped, not delivered after the operation
}

TEST_F(LongOperationTest, ConfirmedAbortAsksFirst) {
    CGXLongOperation::SetConfirmAbort(true);
    std::vector<unsigned> asked;
    fw::SetMessageBoxHook([&](const fw::MessageBoxRequest& r) -> std::optional<int> {
        asked.push_back(r.type & fw::MB_TYPEMASK);
        return asked.size() == 1 ? fw::IDNO : fw::IDRETRY;
    });
    CGXLongOperation op;
    now_ += 800;
    Press(Qt::Key_Escape);
    bool abort = true;
    op.CheckProgressCanAbort(abort);
    EXPECT_FALSE(abort);  // the user said no
    CGXLongOperation::SetCanRollback(true);
    now_ += 1500;
    Press(Qt::Key_Escape);
    op.CheckProgressCanAbort(abort);
    EXPECT_TRUE(abort);
    EXPECT_TRUE(CGXLongOperation::GetRollbackConfirmedState());  // Retry: abort and roll back
    EXPECT_EQ(asked, (std::vector<unsigned>{fw::MB_YESNO, fw::MB_ABORTRETRYIGNORE}));
}

TEST(LongOperationWithoutComponent, OnlyCountsTheNesting) {
    GXTerminateLibrary();
    CGXLongOperation a;
    {
        CGXLongOperation b;
        EXPECT_EQ(CGXLongOperation::GetLevel(), 2);
        bool abort = true;
        EXPECT_FALSE(b.CheckProgressCanAbort(abort));
        EXPECT_FALSE(abort);
    }
    EXPECT_EQ(CGXLongOperation::GetLevel(), 1);
}

}  // namespace
