// The process-wide state of long operations (CGXLongOperation), kept in the library state and
// read and written by the long-operation component.
#pragma once

#include "framework/window/Window.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct GXLongOperationState {
    int nLevel = 0;               // long operations in progress
    unsigned nFirstWaitMs = 750;  // before the first progress display
    unsigned nUpdateIntervalMs = 1500;
    bool bConfirmAbort = true;
    bool bCanAbort = true;
    bool bCanRollback = true;
    int nStatusLevel = -1;         // deepest level whose text is shown; -1 every level
    int nPercent = -1;             // 0..100, or -1 for a spinner
    bool bWaiting = false;         // the wait cursor is shown
    bool bAbortRequested = false;  // Escape was pressed
    bool bAborted = false;
    bool bRollback = false;
    int nSpinnerStep = 0;
    std::string strStatus;                // text of the current level
    std::vector<std::string> outerTexts;  // texts of the levels around it
    std::string strDisplay;               // the composed status text
    // The window that shows the status text (the application's main frame unless set).
    QPointer<fw::Window> pStatusWindow;
    // The millisecond clock; tests move time through it.
    std::function<std::uint64_t()> tickCount;

    std::uint64_t Now() const;
};
