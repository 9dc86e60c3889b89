#include "os/SharedMemory.h"

namespace os {

OpenResult SharedMemory::Create(std::string_view name, size_t size) {
    if (size == 0 || size > kMaxSharedSize) {
        Close();
        return OpenResult::BadSize;
    }
    const OpenResult result = object_.Open("shm", name, size, 0, nullptr);
    existed_ = result == OpenResult::Opened;
    return result;
}

OpenResult SharedMemory::Open(std::string_view name) {
    const OpenResult result = object_.Open("shm", name, 0, 0, nullptr);
    existed_ = result == OpenResult::Opened;
    return result;
}

}  // namespace os
