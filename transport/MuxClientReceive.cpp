#include "transport/MuxClientReceive.h"

#include "multiplexer/TravexEndpoint.h"
#include "transport/MuxClientEntry.h"

namespace xport::detail {

using namespace mux;

namespace {

constexpr std::uint32_t kSlack = 16;  // a mapping is made this much larger than asked
constexpr int kGrowAttempts = 3;      // a message that keeps growing is given up

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

}  // namespace

XPortStatus FetchEntry(MuxKind kind, MuxClientRegistration& r, TravexConnection& travex,
                       XPortPacket& packet, bool* more) {
    ReceiveDirection& d = kind == MuxKind::Tcp ? r.tcp : r.mc;
    const MuxStatus failed = kind == MuxKind::Tcp ? MUX_E_TCP_COPY : MUX_E_MC_COPY;
    std::unique_lock guard(d.guard, std::chrono::milliseconds(5000));
    if (!guard.owns_lock())
        return failed;
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
