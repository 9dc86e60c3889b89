// Inside the multiplexer client: its process-wide state and the fetching of entries
// through a receive mapping that grows as messages need.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "multiplexer/MuxEntry.h"
#include "multiplexer/MuxSharedQueue.h"
#include "os/SharedMemory.h"
#include "transport/TravexConnection.h"
#include "transport/XPortTypes.h"

namespace xport::detail {

// The guards are this process's own: a name made of its clock and an address could be
// opened by no other process, and a named object would outlive a client that is killed.
using Guard = std::timed_mutex;

// One direction's receive mapping, guarded by its length guard.
struct ReceiveDirection {
    enum class State { None, Ready, Recreate };
    Guard guard;
    os::SharedMemory mapping;
    std::string name;
    std::uint32_t size = 0;
    State state = State::None;
    long counter = 0;
    void Forget() {
        mapping.Close();
        state = State::None;
    }
};

// A client queue mapped here (our own, or a local peer's we push to) without keeping it
// alive: Travex holds it, and marks it closed when it lets the client go.
struct MappedQueue {
    os::SharedMemory memory;
    mux::MuxSharedQueue queue;
    // Maps the queue of that kind and id; false when Travex made none.
    bool Open(mux::MuxKind kind, std::uint8_t appId);
};

struct MuxClientRegistration {
    std::uint8_t appId = 0;
    ReceiveDirection tcp;
    ReceiveDirection mc;
    MappedQueue tcpQueue;
    MappedQueue mcQueue;
    Guard tcpSendGuard;
    Guard mcSendGuard;
    XPortEvents events;
};

// The process's send mappings of one direction, kept from send to send: a send takes an
// idle one (two threads sending at once each have their own) and makes a new one, under
// a new name, only when none is idle or the message does not fit.
struct SendMappings {
    struct Mapping {
        os::SharedMemory memory;
        std::string name;
    };
    std::mutex lock;
    std::vector<std::unique_ptr<Mapping>> idle;
};

// A local client this process pushes to directly: its TCP queue and arrival event, and
// the event every client sets when it consumed packets.
struct LocalPeer {
    MappedQueue tcpQueue;
    std::unique_ptr<mux::MuxEvent> arrived;
    std::shared_ptr<mux::MuxEvent> processed;
};

struct MuxClientProcess {
    std::mutex lock;
    std::map<std::uint8_t, std::shared_ptr<LocalPeer>> peers;
    std::shared_ptr<mux::MuxEvent> tcpProcessed;
    SendMappings tcpSend;
    SendMappings mcSend;
    std::shared_ptr<TravexConnection> travex;
    std::map<std::uint8_t, std::shared_ptr<MuxClientRegistration>> registrations;
    std::filesystem::path program;  // the Travex to start; empty: the usual search
    long tcpSendCounter = 0;
    long mcSendCounter = 0;
};

MuxClientProcess& Process();
std::shared_ptr<MuxClientRegistration> Registration(std::uint8_t appId);
std::shared_ptr<TravexConnection> Connection();

// Sends a message on a local pair straight into the destination's queue and sets its
// events, as Travex would, waiting while the queue is full: MUX_S_OK, or
// MUX_E_TCP_CONNECT_FULL when no room came within timeoutMs (0: no limit). Nothing when
// Travex must send it (not a local pair, the pair not open in the destination's queue,
// a message larger than a slot).
std::optional<XPortStatus> SendDirect(std::uint32_t handle, std::uint32_t timeoutMs,
                                      const XPortBuffer* chain);

// TCPGetPacket / MulticastGetPacket through the direction's mapping (see MuxClient.h).
XPortStatus FetchEntry(mux::MuxKind kind, MuxClientRegistration& registration,
                       TravexConnection& travex, XPortPacket& packet, bool* more);

}  // namespace xport::detail
