// A mutex shared between processes by name (see SharedObject.h for names and
// lifetime). Like a Windows mutex it belongs to a thread, which may take it
// again and must release it as often. When its owner thread or process ends
// without releasing it, the next taker gets it with Abandoned: whatever it
// guarded may be half changed.
//
// Over a process-shared, robust, recursive pthread mutex in shared memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "os/SharedObject.h"
#include "os/Wait.h"

namespace os {

enum class LockResult {
    Acquired,
    Abandoned,  // the previous owner died holding it; it is now ours
    Timeout,
    Failed,  // not open, or the system refused
};

class NamedMutex {
public:
    NamedMutex() = default;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Opens the mutex of this name, creating it (free) when no handle to it is
    // open anywhere.
    OpenResult Create(std::string_view name);
    OpenResult Open(std::string_view name);
    void Close() { object_.Close(); }

    bool IsOpen() const { return object_.IsOpen(); }
    bool AlreadyExisted() const { return object_.AlreadyExisted(); }
    const std::string& Error() const { return object_.Error(); }

    // Takes the mutex, waiting up to `ms` (kInfinite: no limit; 0: just try).
    LockResult Lock(uint32_t ms);
    // False when the calling thread does not hold it.
    bool Unlock();

private:
    struct Shared;
    Shared* State() const;

    detail::SharedObject object_;
};

}  // namespace os
