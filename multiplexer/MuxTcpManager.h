// Every TCP socket of the PC's clients: listening points, the connections that arrive
// on them or that clients open, and local points and pairs for traffic inside the PC.
//   point handle       0x10000 + entry    (64 entries)
//   connection handle  0x100000 | entry   (64 entries)
// Two threads do the socket work: one accepts on the points, one reads the connections
// and queues each framed message for its client.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <shared_mutex>
#include <span>
#include <thread>
#include <vector>

#include "multiplexer/MuxClientTable.h"
#include "multiplexer/MuxLocalTcp.h"
#include "multiplexer/MuxTcpConnection.h"

namespace mux {

class MuxTcpManager {
public:
    static constexpr std::uint32_t kPointBase = 0x10000;
    static constexpr std::uint32_t kConnectionBase = 0x100000;
    static constexpr int kEntries = 64;

    // `localAddress` (host order) is the selected card's; `wire` false: no socket at all.
    MuxTcpManager(MuxClientTable& clients, std::uint32_t localAddress, bool wire);
    ~MuxTcpManager();
    MuxTcpManager(const MuxTcpManager&) = delete;
    MuxTcpManager& operator=(const MuxTcpManager&) = delete;

    // Starts the two threads (with the wire only); false when they cannot run.
    bool Start();
    // Stops the threads and closes every connection and point gracefully.
    void Stop();

    MuxStatus AllocatePoint(std::uint8_t id, std::uint16_t port, bool wire, std::uint32_t* handle);
    MuxStatus Deallocate(std::uint8_t id, std::uint32_t handle);
    MuxStatus GetPort(std::uint8_t id, std::uint32_t handle, std::uint16_t* port);
    MuxStatus Open(std::uint8_t src, std::uint32_t address, std::uint16_t port, std::uint8_t dst,
                   std::uint32_t timeoutMs, bool wire, std::uint32_t* handle);
    MuxStatus Send(std::uint32_t handle, std::uint32_t timeoutMs,
                   std::span<const std::uint8_t> data);
    // The same when it can be done at once (a connection inside the PC whose destination
    // has room); nullopt when it would have to wait.
    std::optional<MuxStatus> TrySend(std::uint32_t handle, std::span<const std::uint8_t> data);
    // Frees what a client that is gone held: points, connections, local points and pairs.
    void ReleaseClient(std::uint8_t id);

    int PointCount() const;
    int ConnectionCount() const;

private:
    struct Point {
        MuxSocket socket;
        std::uint16_t port = 0;
        std::set<std::uint8_t> holders;
    };
    using ConnectionPtr = std::shared_ptr<MuxTcpConnection>;

    MuxStatus AllocateNetworkPoint(std::uint8_t id, std::uint16_t port, std::uint32_t* handle);
    MuxStatus OpenLocalPair(std::uint8_t src, std::uint16_t port, std::uint8_t dst,
                            std::uint32_t* handle);
    MuxStatus OpenNetwork(std::uint8_t src, std::uint32_t address, std::uint16_t port,
                          std::uint32_t timeoutMs, std::uint32_t* handle);
    MuxStatus SendLocal(std::uint32_t handle, std::uint32_t timeoutMs,
                        std::span<const std::uint8_t> data);
    // One attempt; nullopt while the destination's queue is full.
    // Tells both sides' queues whether the pair is open (under localLock_).
    void PublishPair(std::uint32_t handle, bool active);
    std::optional<MuxStatus> PushLocal(std::uint32_t handle, std::span<const std::uint8_t> data);
    bool HasPointOn(std::uint16_t port) const;
    // Enters a connection in the first free entry; its handle, or 0 when the table is full.
    std::uint32_t AddConnection(MuxSocket socket, const MuxTcpEndpoints& endpoints,
                                std::uint8_t opener);
    ConnectionPtr FindConnection(std::uint32_t handle) const;
    void CloseConnection(std::uint32_t handle);
    // Closes the connection when the table still holds this very one.
    void CloseIf(const ConnectionPtr& connection);
    std::vector<ConnectionPtr> Connections() const;
    void Wake(int fd);

    void AcceptLoop();
    void AcceptOn(int listeningFd);
    void ReceiveLoop();

    MuxClientTable& clients_;
    const std::uint32_t localAddress_;
    const bool wire_;

    mutable std::mutex localLock_;
    MuxLocalTcp local_;
    mutable std::shared_mutex pointLock_;
    std::array<std::unique_ptr<Point>, kEntries> points_;
    mutable std::shared_mutex connectionLock_;
    std::array<ConnectionPtr, kEntries> connections_;
    // Slots are handed out in turn, so a handle just closed is the last to be given again: a
    // client still holding it then gets "unknown handle" instead of writing into a stranger's
    // connection.
    int nextConnection_ = 0;

    std::atomic<bool> running_{false};
    int wakeAccept_ = -1;
    int wakeReceive_ = -1;
    std::thread acceptThread_;
    std::thread receiveThread_;
};

}  // namespace mux
