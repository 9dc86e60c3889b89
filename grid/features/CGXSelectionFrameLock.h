// Locks the grid's selection frame for its lifetime and gives the previous lock state back.
#pragma once

#include "grid/core/CGXGridCore.h"

class CGXSelectionFrameLock {
public:
    explicit CGXSelectionFrameLock(CGXGridCore& grid)
        : grid_(grid), wasLocked_(grid.LockSelectionFrame(true)) {}
    ~CGXSelectionFrameLock() { grid_.LockSelectionFrame(wasLocked_); }
    CGXSelectionFrameLock(const CGXSelectionFrameLock&) = delete;
    CGXSelectionFrameLock& operator=(const CGXSelectionFrameLock&) = delete;

private:
    CGXGridCore& grid_;
    bool wasLocked_;
};
