// One UDP socket of the address server (BOOTP server, reply listener, TFTP) over the
// platform's socket layer: bound to its port on the selected card, 64 KiB buffers.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "platform/VavSocket.h"

namespace addrserver {

class ServerSocket {
public:
    ServerSocket() = default;
    ~ServerSocket() { Close(); }
    ServerSocket(const ServerSocket&) = delete;
    ServerSocket& operator=(const ServerSocket&) = delete;

    bool Open(uint16_t port, bool broadcast);
    void Close();
    bool IsOpen() const { return socket_ != VAV_INVALID_SOCKET; }
    uint16_t Port() const { return port_; }

    // Marks the socket as closing: its thread leaves at the next wake.
    void MarkClosing() { closing_ = true; }
    bool Closing() const { return closing_; }

    // Waits up to ms for a datagram; true when one is there.
    bool WaitReadable(int ms) const;
    // VAV_SOCK_ result; the sender's address (host order) and port.
    int Receive(std::span<uint8_t> buffer, size_t& received, uint32_t& address,
                uint16_t& port) const;
    bool SendTo(uint32_t address, uint16_t port, std::span<const uint8_t> data) const;

    struct Datagram {
        std::span<const uint8_t> bytes;
        uint32_t address;  // host order
        uint16_t port;
    };
    // Hands each arriving datagram (read into `buffer`) to `handle` until the socket is
    // marked closing, waking every waitMs to look. VAV_SOCK_OK when it ended by closing,
    // else the receive error that ended it.
    int Serve(std::span<uint8_t> buffer, int waitMs,
              const std::function<void(const Datagram&)>& handle) const;

private:
    VavSocket socket_ = VAV_INVALID_SOCKET;
    uint16_t port_ = 0;
    std::atomic<bool> closing_{false};
};

}  // namespace addrserver
