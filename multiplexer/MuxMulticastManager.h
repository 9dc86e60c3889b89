// Multicast for the PC's clients: one UDP socket per subscribed group and port (64 at
// most), shared by every client subscribed to it; datagrams fan out to each of them.
// A client's send reaches the local subscribers directly and, with the wire, the network.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <shared_mutex>
#include <span>
#include <thread>

#include "multiplexer/MuxClientTable.h"
#include "multiplexer/MuxSocketCalls.h"

namespace mux {

class MuxMulticastManager {
public:
    static constexpr int kRecords = 64;
    static constexpr int kBurst = 10;  // datagrams taken before pausing for the clients

    // `localAddress` (host order) is the selected card's, or 1 when there is none;
    // `wire` false: no socket is opened and nothing is sent on the network.
    MuxMulticastManager(MuxClientTable& clients, std::uint32_t localAddress, bool wire);
    ~MuxMulticastManager();
    MuxMulticastManager(const MuxMulticastManager&) = delete;
    MuxMulticastManager& operator=(const MuxMulticastManager&) = delete;

    bool Start();  // the receive thread, with the wire only
    void Stop();   // ends it and closes every socket

    MuxStatus Subscribe(std::uint8_t id, std::uint32_t group, std::uint16_t port);
    MuxStatus Unsubscribe(std::uint8_t id, std::uint32_t group, std::uint16_t port);
    void ReleaseClient(std::uint8_t id);
    // `wire`: the sending client uses the network.
    MuxStatus Send(std::uint8_t id, std::uint32_t group, std::uint16_t port,
                   std::span<const std::uint8_t> datagram, bool wire);
    int RecordCount() const;

private:
    struct Record {
        bool used = false;
        MuxSocket socket;  // invalid without the wire
        std::uint32_t group = 0;
        std::uint16_t port = 0;
        std::map<std::uint8_t, int> ids;  // subscriber -> count
    };
    Record* FindLocked(std::uint32_t group, std::uint16_t port);
    MuxStatus OpenSocket(Record& record, std::uint32_t group, std::uint16_t port);
    void FreeLocked(Record& record);
    void ReceiveLoop();
    // Reads one datagram from a readable socket; false when the socket failed.
    bool ReceiveOne(int fd, std::span<std::uint8_t> buffer);
    void Wake();

    MuxClientTable& clients_;
    const std::uint32_t localAddress_;
    const bool wire_;
    mutable std::shared_mutex lock_;
    std::array<Record, kRecords> records_;
    std::atomic<bool> running_{false};
    int wake_ = -1;
    std::thread receiveThread_;
};

}  // namespace mux
