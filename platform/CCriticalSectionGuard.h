// Enters a critical section for the life of a scope and leaves it at the end.
#pragma once

#include "os/CriticalSection.h"

class CCriticalSectionGuard {
public:
    explicit CCriticalSectionGuard(os::CriticalSection* section) : section_(section) {
        if (section_ != nullptr)
            section_->Lock();
    }
    ~CCriticalSectionGuard() {
        if (section_ != nullptr)
            section_->Unlock();
    }
    CCriticalSectionGuard(const CCriticalSectionGuard&) = delete;
    CCriticalSectionGuard& operator=(const CCriticalSectionGuard&) = delete;

private:
    os::CriticalSection* section_;
};
