// Named memory shared between processes (see SharedObject.h for names, mode
// 0600 and lifetime: it lives while any handle in any process is open, and is
// removed when the last one closes). New memory is zero-filled. The handle maps
// the whole object at once; Data() stays valid until Close().
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "os/SharedObject.h"

namespace os {

class SharedMemory {
public:
    SharedMemory() = default;
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // Opens the memory of this name, creating it `size` bytes long when no
    // handle to it is open anywhere. An existing one keeps its own size (see
    // Size()); BadSize for 0 or more than kMaxSharedSize.
    OpenResult Create(std::string_view name, size_t size);
    // Opens existing memory only, at its own size.
    OpenResult Open(std::string_view name);
    // Opens existing memory without keeping it alive: it is mapped here until Close(),
    // but goes (loses its name) when its other handles close, as if this one were not
    // there. For a server that keeps a client's memory mapped between calls.
    OpenResult Watch(std::string_view name);
    // A watching handle: whether the memory still has its name, that is whether the
    // handles that keep it alive are still open.
    bool StillNamed() const { return object_.StillNamed(); }
    // A watching handle: whether any other handle holds the memory. A watcher that
    // closes while nobody holds it removes it (its holders died without closing).
    bool Held() const { return object_.Held(); }
    void Close() { object_.Close(); }
    // Takes the name away from the memory of this name (its handles keep it mapped), so
    // that a Create makes new memory. For a name only one program makes.
    static bool Remove(std::string_view name);

    bool IsOpen() const { return object_.IsOpen(); }
    bool AlreadyExisted() const { return object_.AlreadyExisted(); }
    const std::string& Error() const { return object_.Error(); }

    void* Data() const { return object_.Data(); }
    void* Map() const { return Data(); }
    size_t Size() const { return object_.Size(); }

private:
    detail::SharedObject object_;
};

}  // namespace os
