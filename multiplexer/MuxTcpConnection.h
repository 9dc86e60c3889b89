// One TCP connection of Travex to the network: its socket, its framer, and the client
// its messages are queued for (named by byte 5 of the first message's header).
// Reading runs on the TCP manager's receive thread only; sends come from the clients'
// call threads and are serialised here.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

#include "multiplexer/MuxClientTable.h"
#include "multiplexer/MuxSocketCalls.h"
#include "multiplexer/MuxTcpFramer.h"

namespace mux {

struct MuxTcpEndpoints {
    std::uint32_t remoteAddress = 0;  // host order
    std::uint16_t remotePort = 0;
    std::uint32_t localAddress = 0;
    std::uint16_t localPort = 0;
};

class MuxTcpConnection {
public:
    // How a destination whose queue is full is waited for while bytes are pending.
    static constexpr int kFullWaits = 50;
    static constexpr std::uint32_t kFullWaitMs = 10;

    MuxTcpConnection(MuxSocket socket, std::uint32_t handle, const MuxTcpEndpoints& endpoints,
                     std::uint8_t opener);
    // Closes gracefully: shuts the sending side down and drains what the peer still sends.
    ~MuxTcpConnection();
    MuxTcpConnection(const MuxTcpConnection&) = delete;
    MuxTcpConnection& operator=(const MuxTcpConnection&) = delete;

    enum class Result {
        Ok,       // everything read was framed and queued
        Blocked,  // a complete message waits for room in its destination's queue
        Closed,   // the peer closed, an error, a bad header or an unknown client: drop me
    };
    // The socket is readable: queues a pending message first, then reads once and frames.
    Result OnReadable(MuxClientTable& clients, std::span<std::uint8_t> buffer);
    // Queues a pending message when its destination has room again.
    Result FlushPending(MuxClientTable& clients);
    bool Blocked() const { return framer_.Pending(); }

    // Sends all of `data`, waiting up to `timeoutMs` for the socket each time it is full.
    // MUX_S_OK; 0x83E8005B not writable in time; 0x83E8005A error; MUX_E_TCP_GETPORT
    // when the peer closed or reset. After a failure the stream is broken: close it.
    MuxStatus Send(std::span<const std::uint8_t> data, std::uint32_t timeoutMs);

    int Fd() const { return socket_.Fd(); }
    std::uint32_t Handle() const { return handle_; }
    std::uint8_t Opener() const { return opener_; }
    std::uint8_t Owner() const { return owner_.load(); }

private:
    enum class Delivery { Queued, NoRoom, Failed };
    Delivery Deliver(MuxClientTable& clients);
    Result Frame(MuxClientTable& clients, std::span<const std::uint8_t> bytes);

    MuxSocket socket_;
    const std::uint32_t handle_;
    const MuxTcpEndpoints endpoints_;
    const std::uint8_t opener_;
    std::atomic<std::uint8_t> owner_{0};
    MuxTcpFramer framer_;
    std::mutex sendLock_;
};

}  // namespace mux
