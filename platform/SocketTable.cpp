#include "platform/SocketTable.h"

#include <algorithm>
#include <vector>

#include "platform/VavRWLock.h"

namespace {

struct Entry {
    VavSocket socket;
    bool readyToSend = false;
    uint32_t pinnedCard = 0;
    uint32_t pinnedAddress = 0;
};

VavRWLock g_tableLock;
std::vector<Entry> g_entries;

// Runs fn under the write side of the table's lock.
template <typename Fn>
auto Locked(Fn fn) {
    g_tableLock.WriteLock(VAV_INFINITE);
    struct Unlock {
        ~Unlock() { g_tableLock.WriteUnlock(); }
    } unlock;
    return fn();
}

Entry* Find(VavSocket socket) {
    auto it = std::find_if(g_entries.begin(), g_entries.end(),
                           [&](const Entry& e) { return e.socket == socket; });
    return it == g_entries.end() ? nullptr : &*it;
}

}  // namespace

bool SocketTableAdd(VavSocket socket) {
    return Locked([&] {
        if (Find(socket) != nullptr)
            return false;
        g_entries.push_back(Entry{socket});
        return true;
    });
}

bool SocketTableRemove(VavSocket socket) {
    return Locked([&] {
        Entry* e = Find(socket);
        if (e == nullptr)
            return false;
        g_entries.erase(g_entries.begin() + (e - g_entries.data()));
        return true;
    });
}

bool SocketTableContains(VavSocket socket) {
    return Locked([&] { return Find(socket) != nullptr; });
}

size_t SocketTableSize() {
    return Locked([&] { return g_entries.size(); });
}

void SocketTableSetReadyToSend(VavSocket socket, bool ready) {
    Locked([&] {
        if (Entry* e = Find(socket))
            e->readyToSend = ready;
    });
}

bool SocketTableGetReadyToSend(VavSocket socket, bool& ready) {
    return Locked([&] {
        Entry* e = Find(socket);
        if (e != nullptr)
            ready = e->readyToSend;
        return e != nullptr;
    });
}

void SocketTableSetPinnedCard(VavSocket socket, uint32_t interfaceIndex, uint32_t address) {
    Locked([&] {
        if (Entry* e = Find(socket)) {
            e->pinnedCard = interfaceIndex;
            e->pinnedAddress = address;
        }
    });
}

uint32_t SocketTableGetPinnedCard(VavSocket socket, uint32_t* address) {
    return Locked([&] {
        Entry* e = Find(socket);
        if (address != nullptr)
            *address = e != nullptr ? e->pinnedAddress : 0u;
        return e != nullptr ? e->pinnedCard : 0u;
    });
}
