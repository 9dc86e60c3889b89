// An event shared between processes by name (see SharedObject.h for names and
// lifetime): manual reset (stays set until Reset, releases every waiter) or
// auto reset (a wait that sees it set takes it and clears it).
//
// The state is one 32-bit word in shared memory, waited on with a futex, so a
// process that dies while waiting or setting leaves nothing behind. An
// auto-reset Set wakes one waiter; two Sets before anyone takes the first
// count once, as they do when nobody waits yet.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "os/SharedObject.h"
#include "os/Wait.h"

namespace os {

class NamedEvent {
public:
    NamedEvent() = default;
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    // Opens the event of this name, creating it (with these settings) when no
    // handle to it is open anywhere. Created or Opened (settings of the existing
    // event kept) on success.
    OpenResult Create(std::string_view name, bool manualReset, bool initiallySet);
    // Opens an existing event only (NotFound otherwise).
    OpenResult Open(std::string_view name);
    void Close() { object_.Close(); }

    bool IsOpen() const { return object_.IsOpen(); }
    bool AlreadyExisted() const { return object_.AlreadyExisted(); }
    const std::string& Error() const { return object_.Error(); }

    bool Set();
    bool Reset();
    // Waits up to `ms` (kInfinite: no limit). Failed when not open.
    WaitResult Wait(uint32_t ms);

private:
    struct Shared;
    Shared* State() const;

    detail::SharedObject object_;
};

}  // namespace os
