#include "grid/core/CGXLongOperation.h"

#include "grid/core/GXLibraryState.h"

namespace {

GXLongOperationState& State() {
    return GXGetLibraryState().m_longOperation;
}

CGXAbstractLongOperationImp* Imp() {
    return GXGetLibraryState().m_pLongOperationImp;
}

}  // namespace

CGXLongOperation::CGXLongOperation() {
    if (CGXAbstractLongOperationImp* imp = Imp()) {
        imp->Start(*this);
    } else {
        m_nLevel = ++State().nLevel;
    }
}

CGXLongOperation::~CGXLongOperation() {
    if (CGXAbstractLongOperationImp* imp = Imp()) {
        imp->Stop(*this);
    } else if (State().nLevel > 0) {
        --State().nLevel;
    }
}

void CGXLongOperation::FreeStatusText() {
    if (CGXAbstractLongOperationImp* imp = Imp())
        imp->FreeStatusText(*this);
}

void CGXLongOperation::SetStatusText(std::string_view text, bool copy) {
    if (CGXAbstractLongOperationImp* imp = Imp())
        imp->SetStatusText(*this, text, copy);
}

bool CGXLongOperation::CheckProgress() {
    CGXAbstractLongOperationImp* imp = Imp();
    return imp && imp->CheckProgress(*this);
}

bool CGXLongOperation::CheckProgressCanAbort(bool& abort) {
    abort = false;
    CGXAbstractLongOperationImp* imp = Imp();
    return imp && imp->CheckProgressCanAbort(*this, abort);
}

void CGXLongOperation::ProcessPendingInput() {
    if (CGXAbstractLongOperationImp* imp = Imp())
        imp->ProcessPendingInput(*this);
}

void CGXLongOperation::SetPercentDone(int percent) {
    State().nPercent = percent < -1 ? -1 : percent > 100 ? 100 : percent;
}

void CGXLongOperation::SetCanAbort(bool b) {
    State().bCanAbort = b;
}

void CGXLongOperation::SetCanRollback(bool b) {
    State().bCanRollback = b;
}

void CGXLongOperation::SetConfirmAbort(bool b) {
    State().bConfirmAbort = b;
}

void CGXLongOperation::SetStatusLevel(int level) {
    State().nStatusLevel = level;
}

void CGXLongOperation::SetWaitTimes(unsigned firstWaitMs, unsigned intervalMs) {
    State().nFirstWaitMs = firstWaitMs;
    State().nUpdateIntervalMs = intervalMs;
}

int CGXLongOperation::GetLevel() {
    return State().nLevel;
}

bool CGXLongOperation::GetRollbackConfirmedState() {
    return State().bRollback;
}

bool CGXLongOperation::GetAbortConfirmedState() {
    return State().bAborted;
}

void RefreshDateTimeSettings() {
    if (CGXAbstractDateTimeImp* imp = GXGetLibraryState().m_pDateTimeImp)
        imp->RefreshSettings();
}

int GXGetDateFormatInfo(bool& fourDigitYear, std::string& separator) {
    if (CGXAbstractDateTimeImp* imp = GXGetLibraryState().m_pDateTimeImp)
        return imp->GetDateFormatInfo(fourDigitYear, separator);
    return 3;
}

std::string GXGetTimeSeparator(bool refresh) {
    if (CGXAbstractDateTimeImp* imp = GXGetLibraryState().m_pDateTimeImp)
        return imp->GetTimeSeparator(refresh);
    return ":";
}
