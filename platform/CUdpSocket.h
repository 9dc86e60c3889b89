// An IPv4 datagram endpoint on the lighting network's card: a broadcast-capable socket
// with 32 KiB buffers that joins and leaves multicast groups on the card, sends to an
// address and port, and takes in one datagram at a time, either into a fresh buffer or
// into the caller's, or a batch at once. No call blocks but ReceiveWaiting, which is a
// server's rest and its next intake (in one system call when no other descriptor may
// end the rest).
//
//   CUdpSocket s;
//   if (UdpFailed(s.Open(123))) ...            // 0: the system picks the port
//   s.JoinGroup(0xE0000101);                   // 224.0.1.1, host order
//   s.SendTo(address, data, length, 123);      // port 0: the socket's own port
//   std::vector<uint8_t> d; uint32_t from; uint16_t port;
//   if (s.ReceiveFrom(&from, &port, d) == UDPSOCK_S_OK) ...   // never blocks
//
// Every operation answers a status of facility 0x3FC; a failure is negative. Addresses
// and ports are in host order. One owner thread per object; the socket table of the
// platform library guards itself. Failures of the system are logged (VAV_LOG).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/VavSocket.h"

using UdpStatus = int32_t;
inline bool UdpFailed(UdpStatus status) {
    return status < 0;
}

constexpr UdpStatus UDPSOCK_S_OK = 0x03FC0000;
constexpr UdpStatus UDPSOCK_E_NO_DATA = static_cast<UdpStatus>(0x83FC0078);   // send without data
constexpr UdpStatus UDPSOCK_E_TOO_LONG = static_cast<UdpStatus>(0x83FC0079);  // over 32768 bytes
constexpr UdpStatus UDPSOCK_E_NO_SOCKET =
    static_cast<UdpStatus>(0x83FC007A);  // none open, open or send failed
constexpr UdpStatus UDPSOCK_E_JOIN =
    static_cast<UdpStatus>(0x83FC007B);  // group membership refused
constexpr UdpStatus UDPSOCK_E_MULTICAST_IF =
    static_cast<UdpStatus>(0x83FC007C);  // outgoing interface refused
constexpr UdpStatus UDPSOCK_E_NO_MEMORY = static_cast<UdpStatus>(0x83FC007D);
constexpr UdpStatus UDPSOCK_E_NOTHING = static_cast<UdpStatus>(0x83FC007E);  // nothing to receive
constexpr UdpStatus UDPSOCK_E_ERROR =
    static_cast<UdpStatus>(0x83FC007F);  // error condition or receive failed

// One datagram's place in a batch: the caller's buffer going in; the sender, the length
// taken (a longer datagram is cut) and how long it waited in the system coming out.
struct UdpDatagram {
    uint8_t* buffer = nullptr;
    uint32_t capacity = 0;
    uint32_t address = 0;
    uint16_t port = 0;
    uint32_t length = 0;
    double waited = 0;
};

// One datagram to send in a batch.
struct UdpOutgoing {
    uint32_t address = 0;
    uint16_t port = 0;  // 0: the socket's own port
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

// What users of a datagram endpoint need of it; tests hand in their own.
class UdpEndpoint {
public:
    static constexpr uint32_t kMaxDatagram = 32768;

    virtual ~UdpEndpoint() = default;
    // Opens once on `port` (0: any); a second call answers success and does nothing.
    virtual UdpStatus Open(uint16_t port) = 0;
    // The card's IPv4 address; 0 when unknown.
    virtual uint32_t GetLocalAddress() = 0;
    // The bound port as the system reports it; 0 when not open.
    virtual uint16_t GetPort() = 0;
    // One datagram of at most kMaxDatagram bytes; port 0 is the socket's own port.
    virtual UdpStatus SendTo(uint32_t address, const uint8_t* data, uint32_t length,
                             uint16_t port) = 0;
    // One waiting datagram into `data` (resized to its length; empty on any failure).
    // UDPSOCK_E_NOTHING at once when none waits.
    virtual UdpStatus ReceiveFrom(uint32_t* address, uint16_t* port,
                                  std::vector<uint8_t>& data) = 0;
    // One waiting datagram into the caller's buffer of *length bytes (a longer one is
    // cut); *length becomes the bytes taken.
    virtual UdpStatus ReceiveInto(uint32_t* address, uint16_t* port, uint8_t* buffer,
                                  uint32_t* length) = 0;
    // ReceiveInto, and how long the datagram waited in the system before it was taken
    // (seconds; 0 where that is not known): a time server stamps its arrival, not the
    // moment its loop came round to it.
    virtual UdpStatus ReceiveStamped(uint32_t* address, uint16_t* port, uint8_t* buffer,
                                     uint32_t* length, double* waited) {
        *waited = 0;
        return ReceiveInto(address, port, buffer, length);
    }
    // SendTo for each datagram of the batch, in order; the first failure, once all were tried.
    virtual UdpStatus SendMany(std::span<const UdpOutgoing> batch) {
        UdpStatus result = UDPSOCK_S_OK;
        for (const UdpOutgoing& d : batch) {
            const UdpStatus s = SendTo(d.address, d.data, d.length, d.port);
            if (UdpFailed(s) && !UdpFailed(result))
                result = s;
        }
        return result;
    }
    // ReceiveStamped for up to batch.size() waiting datagrams at once; *count is how many
    // were taken. UDPSOCK_E_NOTHING when none waits; a failure after some were taken is
    // answered by the next call.
    virtual UdpStatus ReceiveStampedMany(std::span<UdpDatagram> batch, size_t* count) {
        *count = 0;
        for (UdpDatagram& d : batch) {
            d.length = d.capacity;
            const UdpStatus s = ReceiveStamped(&d.address, &d.port, d.buffer, &d.length, &d.waited);
            if (UdpFailed(s))
                return *count > 0 ? UDPSOCK_S_OK : s;
            ++*count;
        }
        return UDPSOCK_S_OK;
    }
    // ReceiveStampedMany, after waiting up to timeoutMs (0: not at all) for the first
    // datagram; it may come back sooner with none. UDPSOCK_E_NOTHING when none came.
    UdpStatus ReceiveWaiting(std::span<UdpDatagram> batch, size_t* count, int timeoutMs) {
        return ReceiveWaiting(batch, count, timeoutMs, {});
    }
    // The same wait, which also ends, with none taken, as soon as one of `wake` (file
    // descriptors; negative ones are left out) is readable: the owner's way to reach a
    // server that sleeps until its next datagram. `wake` is not read.
    virtual UdpStatus ReceiveWaiting(std::span<UdpDatagram> batch, size_t* count, int timeoutMs,
                                     std::span<const int> wake) {
        *count = 0;
        (void)wake;  // an endpoint that cannot watch them waits for its datagram or time-out
        if (timeoutMs > 0 && !WaitReadable(timeoutMs))
            return UDPSOCK_E_NOTHING;
        return ReceiveStampedMany(batch, count);
    }
    virtual UdpStatus JoinGroup(uint32_t group) = 0;
    virtual UdpStatus LeaveGroup(uint32_t group) = 0;
    // Waits up to timeoutMs for a datagram to be waiting; true when one is. A socket that
    // is not open waits the whole time (its owner's loop must not spin).
    virtual bool WaitReadable(int timeoutMs) = 0;
    // Lets the system queue `datagrams` small datagrams before it drops any (the system
    // counts each one's full kernel size, not its payload, against the buffer).
    virtual UdpStatus ReserveDatagrams(uint32_t datagrams) = 0;
};

class CUdpSocket : public UdpEndpoint {
public:
    CUdpSocket() = default;
    // Closes the socket.
    ~CUdpSocket() override;
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    UdpStatus Open(uint16_t port) override;
    uint32_t GetLocalAddress() override;
    uint16_t GetPort() override;
    UdpStatus SendTo(uint32_t address, const uint8_t* data, uint32_t length,
                     uint16_t port) override;
    UdpStatus ReceiveFrom(uint32_t* address, uint16_t* port, std::vector<uint8_t>& data) override;
    UdpStatus ReceiveInto(uint32_t* address, uint16_t* port, uint8_t* buffer,
                          uint32_t* length) override;
    UdpStatus ReceiveStamped(uint32_t* address, uint16_t* port, uint8_t* buffer, uint32_t* length,
                             double* waited) override;
    // One system call for the whole batch, each.
    UdpStatus ReceiveStampedMany(std::span<UdpDatagram> batch, size_t* count) override;
    UdpStatus SendMany(std::span<const UdpOutgoing> batch) override;
    using UdpEndpoint::ReceiveWaiting;
    // Without `wake`: one system call that waits and takes the batch; the wait may end
    // early (by up to half), so that a caller whose deadline draws nearer seldom has to
    // change the socket's time-out. With `wake`: a wait on the socket and on them, then
    // the batch.
    UdpStatus ReceiveWaiting(std::span<UdpDatagram> batch, size_t* count, int timeoutMs,
                             std::span<const int> wake) override;
    UdpStatus JoinGroup(uint32_t group) override;
    UdpStatus LeaveGroup(uint32_t group) override;
    bool WaitReadable(int timeoutMs) override;
    UdpStatus ReserveDatagrams(uint32_t datagrams) override;

    bool IsOpen() const { return open_; }

private:
    // Logs the step that failed with the system's reason, closes the socket.
    UdpStatus FailOpen(const char* step);
    void Close();
    // The batch receive; `flags` say whether it may wait.
    UdpStatus ReceiveBatch(std::span<UdpDatagram> batch, size_t* count, int flags);
    // Makes a waiting receive give up after `ms` (> 0) or somewhat sooner.
    bool SetWaitLimit(int ms);

    VavSocket socket_ = VAV_INVALID_SOCKET;
    uint16_t port_ = 0;
    bool started_ = false;
    bool open_ = false;
    bool stamping_ = false;  // the system stamps each datagram's arrival
    int waitLimitMs_ = 0;    // the socket's receive time-out; 0: none set
};
