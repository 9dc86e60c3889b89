#include "os/SharedMemory.h"

namespace os {

OpenResult SharedMemory::Create(std::string_view name, size_t size) {
    if (size == 0 || size > kMaxSharedSize) {
        Close();
        return OpenResult::BadSize;
    }
    return object_.Open("shm", name, size, 0, 0, nullptr);
}

OpenResult SharedMemory::Open(std::string_view name) {
    return object_.Open("shm", name, 0, 0, 0, nullptr);
}

bool SharedMemory::Remove(std::string_view name) {
    return detail::SharedObject::Remove("shm", name);
}

OpenResult SharedMemory::Watch(std::string_view name) {
    OpenResult result = Open(name);
    if (os::IsOpen(result) && !object_.DropHold()) {
        Close();
        return OpenResult::Failed;
    }
    return result;
}

}  // namespace os
