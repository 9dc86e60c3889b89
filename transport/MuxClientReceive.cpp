#include "transport/MuxClientReceive.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <vector>

#include "multiplexer/MuxLocalTcp.h"
#include "platform/XPortHeader.h"

#include "multiplexer/TravexEndpoint.h"
#include "os/ByteOrder.h"
#include "transport/MuxClientEntry.h"

namespace xport::detail {

using namespace mux;

namespace {

constexpr std::uint32_t kSlack = 16;           // a mapping is made this much larger than asked
constexpr int kGrowAttempts = 3;               // a message that keeps growing is given up
constexpr std::uint32_t kFullWaitSliceMs = 5;  // a full queue is looked at again this often

std::string ArrivedName(std::uint8_t id) {
    return "TCPPacketArrived" + std::to_string(id);
}

bool Recreate(MuxKind kind, std::uint8_t appId, ReceiveDirection& d) {
    d.mapping.Close();
    d.name = (kind == MuxKind::Tcp ? "TCPGet" : "MCGet") + std::to_string(appId) +
             std::to_string(++d.counter);
    if (d.mapping.Create(MuxObjectName(d.name), d.size) != os::OpenResult::Created ||
        d.mapping.Size() < d.size)
        return false;
    d.state = ReceiveDirection::State::Ready;
    return true;
}

// Takes the oldest entry from the client's own queue. Nothing when the queue is not
// mapped, Travex closed it, or the entry is one Travex keeps (then Travex is asked).
std::optional<XPortStatus> FetchFromQueue(MuxKind kind, MuxClientRegistration& r,
                                          XPortPacket& packet, bool* more) {
    MappedQueue& q = kind == MuxKind::Tcp ? r.tcpQueue : r.mcQueue;
    if (!q.queue.Valid() || q.queue.Closed())
        return std::nullopt;
    MuxSharedQueue::Lock lock(q.queue);
    if (!lock.Held() || q.queue.Closed())
        return std::nullopt;
    if (q.queue.Count() == 0)
        return MUX_E_QUEUE_EMPTY;
    MuxSharedQueue::Slot front = q.queue.Front();
    if (front.kept)
        return std::nullopt;
    MuxEntryError e = ParseMuxEntry(kind, front.bytes, r.appId, packet);
    q.queue.PopFront();
    if (more)
        *more = q.queue.Count() != 0;
    if (e != MuxEntryError::None)
        return kind == MuxKind::Tcp ? MUX_E_TCP_COPY : MUX_E_MC_COPY;
    return MUX_S_OK;
}

}  // namespace

bool MappedQueue::Open(MuxKind kind, std::uint8_t appId) {
    if (!os::IsOpen(memory.Watch(MuxObjectName(QueueMemoryName(kind, appId)))))
        return false;
    queue = MuxSharedQueue(memory.Data(), memory.Size());
    if (queue.Valid())
        return true;
    memory.Close();
    return false;
}

namespace {

// The peer's queue, mapped once and kept while Travex keeps it open.
std::shared_ptr<LocalPeer> Peer(std::uint8_t id) {
    MuxClientProcess& p = Process();
    std::lock_guard g(p.lock);
    auto& peer = p.peers[id];
    if (peer && !peer->tcpQueue.queue.Closed())
        return peer;
    peer.reset();
    auto made = std::make_shared<LocalPeer>();
    made->arrived = OpenMuxNamedEvent(ArrivedName(id));
    if (!made->arrived || !made->tcpQueue.Open(MuxKind::Tcp, id)) {
        p.peers.erase(id);
        return nullptr;
    }
    if (!p.tcpProcessed)
        p.tcpProcessed = OpenMuxNamedEvent("TravexTCPPacketProcessed");
    made->processed = p.tcpProcessed;
    peer = made;
    return peer;
}

enum class DirectPush { Pushed, Full, Travex };

DirectPush PushDirect(std::uint32_t handle, const XPortBuffer* chain) {
    if (!MuxLocalTcp::IsPair(handle))
        return DirectPush::Travex;
    std::uint64_t total = XPortChainLength(chain);
    if (total < XPORT_HEADER_LENGTH || total + kMuxDescriptorSize > MuxSharedQueue::kInlineBytes)
        return DirectPush::Travex;
    std::uint8_t header[XPORT_HEADER_LENGTH];
    std::size_t got = 0;
    for (const XPortBuffer* b = chain; b != nullptr && got < sizeof header; b = b->next) {
        std::size_t n = std::min<std::size_t>(b->length, sizeof header - got);
        std::memcpy(header + got, b->data, n);
        got += n;
    }
    std::shared_ptr<LocalPeer> peer = Peer(header[5]);  // the destination named in the header
    if (!peer)
        return DirectPush::Travex;
    MuxSharedQueue& q = peer->tcpQueue.queue;
    {
        MuxSharedQueue::Lock lock(q);
        std::uint16_t port = 0;
        int index = static_cast<int>((handle - MuxLocalTcp::kPairBase) >> 1);
        if (!lock.Held() || q.Closed() || !q.PairActive(index, &port))
            return DirectPush::Travex;
        if (q.Count() >= q.Capacity())
            return DirectPush::Full;
        std::uint8_t* d = q.Back().data();
        std::memset(d, 0, kMuxDescriptorSize);
        os::PutLe32(d + 0, q.LocalAddress());
        os::PutBe16(d + 4, port);
        os::PutLe32(d + 8, q.LocalAddress());
        os::PutBe16(d + 12, port);
        os::PutLe32(d + 16, handle ^ 1u);  // the partner's side of the pair
        std::uint8_t* out = d + kMuxDescriptorSize;
        for (const XPortBuffer* b = chain; b != nullptr; b = b->next) {
            if (b->length == 0)
                continue;
            std::memcpy(out, b->data, b->length);
            out += b->length;
        }
        q.CommitBack(static_cast<std::uint32_t>(total + kMuxDescriptorSize), false, 0);
    }
    if (peer->processed)
        peer->processed->Reset();
    peer->arrived->Set();
    return DirectPush::Pushed;
}

// Waits up to `ms` for a client to say it consumed packets, as Travex does for a full
// queue; the event is reset once seen.
void WaitProcessed(std::uint32_t ms) {
    std::shared_ptr<MuxEvent> processed;
    {
        MuxClientProcess& p = Process();
        std::lock_guard g(p.lock);
        processed = p.tcpProcessed;
    }
    if (processed && processed->Wait(ms))
        processed->Reset();
}

}  // namespace

std::optional<XPortStatus> SendDirect(std::uint32_t handle, std::uint32_t timeoutMs,
                                      const XPortBuffer* chain) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        switch (PushDirect(handle, chain)) {
            case DirectPush::Pushed:
                return MUX_S_OK;
            case DirectPush::Travex:
                return std::nullopt;
            case DirectPush::Full:
                break;
        }
        if (timeoutMs != 0 &&
            std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(timeoutMs))
            return MUX_E_TCP_CONNECT_FULL;
        WaitProcessed(kFullWaitSliceMs);
    }
}

XPortStatus FetchEntry(MuxKind kind, MuxClientRegistration& r, TravexConnection& travex,
                       XPortPacket& packet, bool* more) {
    ReceiveDirection& d = kind == MuxKind::Tcp ? r.tcp : r.mc;
    const MuxStatus failed = kind == MuxKind::Tcp ? MUX_E_TCP_COPY : MUX_E_MC_COPY;
    std::unique_lock guard(d.guard, std::chrono::milliseconds(5000));
    if (!guard.owns_lock())
        return failed;
    if (auto done = FetchFromQueue(kind, r, packet, more))
        return *done;
    auto get = [&](std::uint32_t* len, std::uint32_t* next, std::string_view name) {
        return kind == MuxKind::Tcp ? travex.TCPGetPacket(r.appId, len, next, name)
                                    : travex.MulticastGetPacket(r.appId, len, next, name);
    };
    // An entry larger than any message can be is never made room for.
    auto grow = [&](std::uint32_t needed) {
        if (needed > MaxMuxEntry(kind))
            return false;
        d.size = needed + kSlack;
        d.state = ReceiveDirection::State::Recreate;
        return true;
    };
    std::uint32_t len = 0, next = 0;
    if (d.state == ReceiveDirection::State::None) {
        MuxStatus s = get(&len, &next, " ");
        if (s != MUX_E_BUFFER_TOO_SMALL)
            return s;
        if (!grow(len))
            return failed;
    }
    for (int attempt = 0; attempt < kGrowAttempts; ++attempt) {
        if (d.state == ReceiveDirection::State::Recreate && !Recreate(kind, r.appId, d)) {
            d.Forget();
            return failed;
        }
        len = d.size;
        MuxStatus s = get(&len, &next, d.name);
        if (s == MUX_E_BUFFER_TOO_SMALL) {
            if (!grow(len))
                return failed;
            continue;
        }
        // The mapping is kept for the next fetch even when the queue ran empty: making a
        // mapping costs more than holding one of a message's size.
        if (s == MUX_E_QUEUE_EMPTY)
            return s;
        if (s != MUX_S_OK || len > d.size)
            return failed;
        if (next > d.size)
            grow(next);
        if (more)
            *more = next != 0;
        std::span<const std::uint8_t> entry(static_cast<const std::uint8_t*>(d.mapping.Data()),
                                            len);
        return ParseMuxEntry(kind, entry, r.appId, packet) == MuxEntryError::None ? MUX_S_OK
                                                                                  : failed;
    }
    return failed;
}

}  // namespace xport::detail
