#include "multiplexer/MuxSocketCalls.h"

#include "platform/SocketTable.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

bool SocketIoctl(int s, unsigned long command, int* argument) {
    return ioctl(s, command, argument) == 0;
}

bool SocketListen(int s, int backlog) {
    return listen(s, backlog) == 0;
}

int SocketConnect(int s, const sockaddr* address, socklen_t length) {
    if (connect(s, address, length) == 0)
        return 0;
    return (errno == EINPROGRESS || errno == EINTR || errno == EALREADY) ? 1 : 4;
}

int SocketAccept(int s, sockaddr* address, socklen_t* length, int* newSocket) {
    int fd = accept4(s, address, length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
        SocketTableAdd(fd);
        *newSocket = fd;
        return 0;
    }
    return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 1 : 4;
}

int SocketSend(int s, const void* data, std::size_t length, int flags, std::size_t* sent) {
    ssize_t n = send(s, data, length, flags | MSG_NOSIGNAL);
    if (n >= 0) {
        *sent = static_cast<std::size_t>(n);
        return 0;
    }
    *sent = 0;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return 1;
    if (errno == ECONNABORTED || errno == ECONNRESET || errno == ENOTCONN || errno == EPIPE)
        return 3;
    return 4;
}

int SocketRecv(int s, void* buffer, std::size_t size, int flags, std::size_t* received) {
    ssize_t n = recv(s, buffer, size, flags);
    *received = n > 0 ? static_cast<std::size_t>(n) : 0;
    if (n > 0)
        return 0;
    if (n == 0)
        return 2;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return 1;
    if (errno == ECONNRESET)
        return 3;
    return 5;
}

bool SocketGetName(int s, sockaddr* address, socklen_t* length) {
    return getsockname(s, address, length) == 0;
}

bool SocketShutdown(int s, int how) {
    return shutdown(s, how) == 0;
}

sockaddr_in SocketAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(address);
    a.sin_port = htons(port);
    return a;
}

MuxSocket& MuxSocket::operator=(MuxSocket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

MuxSocket MuxSocket::Open(int type) {
    return MuxSocket(SocketOpen(AF_INET, type, 0));
}

void MuxSocket::Close() {
    if (fd_ >= 0)
        SocketClose(fd_);
    fd_ = -1;
}

bool MuxSocket::SetInt(int level, int option, int value) {
    return setsockopt(fd_, level, option, &value, sizeof value) == 0;
}
