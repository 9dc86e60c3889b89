#include "grid/features/CGXLongOperationImp.h"

#include "framework/app/Application.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/docview/FrameWnd.h"
#include "framework/window/InputPump.h"
#include "grid/core/GXLibraryState.h"

#include <cstdio>

namespace {

GXLongOperationState& State() {
    return GXGetLibraryState().m_longOperation;
}

fw::Window* StatusWindow() {
    GXLongOperationState& s = State();
    if (!s.pStatusWindow) {
        fw::Application* app = fw::GetApp();
        if (auto* frame = app ? dynamic_cast<fw::FrameWnd*>(app->GetMainWnd()) : nullptr)
            s.pStatusWindow = frame;
    }
    return s.pStatusWindow;
}

void SendStatus(const std::string& text) {
    if (fw::Window* w = StatusWindow())
        w->SendMessage(fw::WM_SETMESSAGESTRING, 0, reinterpret_cast<fw::LPARAM>(text.c_str()));
}

}  // namespace

void CGXLongOperationImp::Start(CGXLongOperation& op) {
    GXLongOperationState& s = State();
    GX_LIBRARY_STATE& lib = GXGetLibraryState();
    op.m_nLevel = ++s.nLevel;
    if (op.m_nLevel == 1) {
        s.nPercent = -1;
        s.nStatusLevel = -1;
        s.bAbortRequested = false;
        s.bWaiting = false;
        s.bCanAbort = true;
        s.bCanRollback = false;
        s.outerTexts.clear();
        s.strStatus = lib.m_strProcessing;
        StatusWindow();
    } else {
        s.outerTexts.push_back(s.strStatus);  // a nested operation starts with the outer text
    }
    s.bAborted = false;
    s.bRollback = false;
    op.m_nStartTick = op.m_nLastTick = s.Now();
}

void CGXLongOperationImp::Stop(CGXLongOperation& op) {
    GXLongOperationState& s = State();
    FreeStatusText(op);
    if (s.nLevel > 0)
        --s.nLevel;
    if (!s.outerTexts.empty() && s.nLevel > 0) {
        s.strStatus = s.outerTexts.back();
        s.outerTexts.pop_back();
    }
    if (s.nLevel == 0 && s.bWaiting) {
        s.bWaiting = false;
        fw::EndWaitCursor();
        if (op.m_bMayShowDone)
            SendStatus(GXGetLibraryState().m_strDone);
    }
}

void CGXLongOperationImp::FreeStatusText(CGXLongOperation& op) {
    op.m_strStatus.clear();
    op.m_bOwnStatus = false;
}

void CGXLongOperationImp::SetStatusText(CGXLongOperation& op, std::string_view text, bool copy) {
    GXLongOperationState& s = State();
    FreeStatusText(op);
    if (s.nStatusLevel != -1 && s.nStatusLevel < op.m_nLevel)
        return;
    op.m_strStatus = std::string(text);
    op.m_bOwnStatus = copy;
    s.strStatus = op.m_strStatus;
}

bool CGXLongOperationImp::Due(const CGXLongOperation& op) const {
    const GXLongOperationState& s = State();
    const std::uint64_t now = s.Now();
    if (!s.bWaiting)
        return now - op.m_nStartTick >= s.nFirstWaitMs;
    return now - op.m_nLastTick >= s.nUpdateIntervalMs;
}

void CGXLongOperationImp::Show(CGXLongOperation& op, bool withCancelHint) {
    GXLongOperationState& s = State();
    const bool levelShown = s.nStatusLevel == -1 || op.m_nLevel <= s.nStatusLevel;
    if (op.m_bShowStatus && levelShown && StatusWindow()) {
        std::string text = s.strStatus;
        if (s.nPercent >= 0) {
            char buf[16];
            std::snprintf(buf, sizeof buf, " %3d%%. ", s.nPercent);
            text += buf;
        }
        if (withCancelHint && s.bCanAbort)
            text += "   " + GXGetLibraryState().m_strPressEscape;
        if (s.nPercent < 0) {
            static constexpr const char* kSpinner[] = {"  -", "  \\", "  |", "  /"};
            text += kSpinner[s.nSpinnerStep];
            s.nSpinnerStep = (s.nSpinnerStep + 1) % 4;
        }
        s.strDisplay = text;
        SendStatus(text);
    }
    ProcessPendingInput(op);
    op.m_nLastTick = s.Now();
}

bool CGXLongOperationImp::CheckProgress(CGXLongOperation& op) {
    if (!Due(op))
        return false;
    Show(op, false);
    return true;
}

void CGXLongOperationImp::AskAbort() {
    GXLongOperationState& s = State();
    const std::string& question = GXGetLibraryState().m_strAbortOperation;
    if (s.bConfirmAbort && s.bCanRollback) {
        const int answer = fw::AppMessageBox(question, fw::MB_ABORTRETRYIGNORE);
        s.bAborted = answer == fw::IDABORT || answer == fw::IDRETRY;
        s.bRollback = answer == fw::IDRETRY;
    } else if (s.bConfirmAbort) {
        s.bAborted = fw::AppMessageBox(question, fw::MB_YESNO) == fw::IDYES;
    } else {
        s.bAborted = true;
        s.bRollback = s.bCanRollback;
    }
}

bool CGXLongOperationImp::CheckProgressCanAbort(CGXLongOperation& op, bool& abort) {
    abort = false;
    if (!Due(op))
        return false;
    Show(op, true);
    GXLongOperationState& s = State();
    if (s.bCanAbort && s.bAbortRequested && !s.bAborted)
        AskAbort();
    s.bAbortRequested = false;
    abort = s.bAborted;
    return true;
}

void CGXLongOperationImp::ProcessPendingInput(CGXLongOperation& op) {
    GXLongOperationState& s = State();
    if (!op.m_bPumped) {
        op.m_bPumped = true;
        if (!s.bWaiting) {
            fw::BeginWaitCursor();
            s.bWaiting = true;
        }
    }
    // Escape and Ctrl+Break among the dropped input are a request to cancel.
    if (fw::PumpDroppingInput())
        s.bAbortRequested = true;
    if (fw::Application* app = fw::GetApp())
        app->RunIdle();
}

void InstallLongOperationImp() {
    GX_LIBRARY_STATE& state = GXGetLibraryState();
    if (state.m_pLongOperationImp)
        return;
    state.m_pLongOperationImp = state.AddOwnedObject(std::make_unique<CGXLongOperationImp>());
}
