// A long operation (replace all, sorting, a large copy) on the user-interface thread: a stack
// object whose life spans the operation. With the long-operation component installed it shows a
// wait cursor and, after a delay, its progress in the main frame's status bar, keeps the program
// responsive and lets the user cancel with Escape; without it, it only counts the nesting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CGXLongOperation {
public:
    CGXLongOperation();
    ~CGXLongOperation();
    CGXLongOperation(const CGXLongOperation&) = delete;
    CGXLongOperation& operator=(const CGXLongOperation&) = delete;

    void FreeStatusText();
    void SetStatusText(std::string_view text, bool copy = true);
    // TRUE when it is time to show progress again (the display was updated).
    bool CheckProgress();
    // As CheckProgress; `abort` tells whether the user asked to cancel (and confirmed it).
    bool CheckProgressCanAbort(bool& abort);
    void ProcessPendingInput();

    // The process-wide settings of every long operation.
    static void SetPercentDone(int percent);  // 0..100, -1 for a spinner
    static void SetCanAbort(bool b);
    static void SetCanRollback(bool b);
    static void SetConfirmAbort(bool b);
    static void SetStatusLevel(int level);
    static void SetWaitTimes(unsigned firstWaitMs, unsigned intervalMs);
    static int GetLevel();
    static bool GetRollbackConfirmedState();
    static bool GetAbortConfirmedState();

    // Per operation, for the component.
    std::uint64_t m_nStartTick = 0;
    std::uint64_t m_nLastTick = 0;
    std::string m_strStatus;
    bool m_bOwnStatus = false;
    bool m_bShowStatus = true;
    bool m_bMayShowDone = true;
    bool m_bPumped = false;  // input was pumped at least once
    int m_nLevel = 0;        // the nesting level of this operation (1 outermost)
};

// Date order and separators, through the date-time component: 0 day first, 1 month first,
// 2 year first; 3 when no component is installed.
void RefreshDateTimeSettings();
int GXGetDateFormatInfo(bool& fourDigitYear, std::string& separator);
// ":" when no component is installed.
std::string GXGetTimeSeparator(bool refresh = false);
