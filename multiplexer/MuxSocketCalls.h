// The TCP socket calls Travex needs beside the platform's socket layer (VavSocket.h,
// whose table holds every socket opened here): free functions with the same result codes
//   0 done, 1 would block or interrupted, 2 peer closed, 3 reset or aborted,
//   4 other send (or connect/accept) error, 5 other receive error.
// Sends never raise SIGPIPE. Addresses given as u32 are IPv4 in host order.
#pragma once

#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstddef>
#include <cstdint>

#include "platform/VavSocket.h"

// ioctl on the socket (FIONBIO makes it non-blocking); true on success.
bool SocketIoctl(int s, unsigned long command, int* argument);
bool SocketListen(int s, int backlog);
// 0 connected, 1 in progress or interrupted, 4 any other error.
int SocketConnect(int s, const sockaddr* address, socklen_t length);
// 0 with *newSocket (non-blocking, close-on-exec, entered in the socket table), 1 would
// block, 4 any failure.
int SocketAccept(int s, sockaddr* address, socklen_t* length, int* newSocket);
// 0 with *sent, 1 would block, 3 aborted, reset or not connected, 4 otherwise.
int SocketSend(int s, const void* data, std::size_t length, int flags, std::size_t* sent);
// 0 with *received (> 0), 2 peer closed, 1 would block, 3 reset, 5 otherwise.
int SocketRecv(int s, void* buffer, std::size_t size, int flags, std::size_t* received);
bool SocketGetName(int s, sockaddr* address, socklen_t* length);
bool SocketShutdown(int s, int how);

// IPv4 socket address from host-order values.
sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port);

// Owns one socket of the platform's table; closes it when destroyed.
class MuxSocket {
public:
    MuxSocket() = default;
    explicit MuxSocket(int fd) : fd_(fd) {}
    ~MuxSocket() { Close(); }
    MuxSocket(MuxSocket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    MuxSocket& operator=(MuxSocket&& other) noexcept;
    MuxSocket(const MuxSocket&) = delete;
    MuxSocket& operator=(const MuxSocket&) = delete;

    // A new IPv4 socket of `type` (SOCK_STREAM, SOCK_DGRAM); invalid on failure.
    static MuxSocket Open(int type);
    bool Valid() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();
    // Sets an int-valued option; true on success.
    bool SetInt(int level, int option, int value);

private:
    int fd_ = -1;
};
