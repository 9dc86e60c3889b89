// The TCP manager's two threads: accepting on the points, and reading the connections.
// Both wait in poll() on their sockets and on a wake-up descriptor that is signalled
// whenever the set of sockets changes, so an arrival is served at once.
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include "multiplexer/MuxTcpManager.h"

namespace mux {
namespace {

constexpr int kIdlePollMs = 50;     // nothing happens: look again this often
constexpr int kBlockedPollMs = 10;  // a message waits for room in its client's queue
constexpr std::size_t kReceiveBuffer = 32768;

void Drain(int eventFd) {
    std::uint64_t count = 0;
    [[maybe_unused]] ssize_t n = read(eventFd, &count, sizeof count);
}

}  // namespace

void MuxTcpManager::AcceptLoop() {
    while (running_) {
        std::vector<pollfd> fds{{wakeAccept_, POLLIN, 0}};
        if (ConnectionCount() < kEntries) {
            std::shared_lock lock(pointLock_);
            for (const auto& p : points_) {
                if (p)
                    fds.push_back({p->socket.Fd(), POLLIN, 0});
            }
        }
        if (poll(fds.data(), fds.size(), kIdlePollMs) <= 0)
            continue;
        if (fds[0].revents)
            Drain(wakeAccept_);
        for (std::size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents)
                AcceptOn(fds[i].fd);
        }
    }
}

void MuxTcpManager::AcceptOn(int listeningFd) {
    std::unique_lock lock(pointLock_);
    for (auto& p : points_) {
        if (!p || p->socket.Fd() != listeningFd)
            continue;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        int fd = -1;
        int r = SocketAccept(listeningFd, reinterpret_cast<sockaddr*>(&from), &len, &fd);
        if (r == 1)
            return;
        if (r != 0) {  // the point itself failed
            p.reset();
            return;
        }
        MuxSocket s(fd);
        linger noLinger{0, 0};
        s.SetInt(IPPROTO_TCP, TCP_NODELAY, 1);
        s.SetInt(SOL_SOCKET, SO_KEEPALIVE, 1);
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
        MuxTcpEndpoints ends{ntohl(from.sin_addr.s_addr), ntohs(from.sin_port), 0, 0};
        sockaddr_in here{};
        len = sizeof here;
        if (SocketGetName(fd, reinterpret_cast<sockaddr*>(&here), &len)) {
            ends.localAddress = ntohl(here.sin_addr.s_addr);
            ends.localPort = ntohs(here.sin_port);
        }
        lock.unlock();
        AddConnection(std::move(s), ends, 0);  // full table: the socket is closed
        return;
    }
}

void MuxTcpManager::ReceiveLoop() {
    std::vector<std::uint8_t> buffer(kReceiveBuffer);
    while (running_) {
        std::vector<ConnectionPtr> connections = Connections();
        std::vector<pollfd> fds{{wakeReceive_, POLLIN, 0}};
        std::vector<std::size_t> polled;  // index into connections for fds[1..]
        bool anyBlocked = false;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            if (connections[i]->Blocked()) {
                anyBlocked = true;
                continue;
            }
            fds.push_back({connections[i]->Fd(), POLLIN, 0});
            polled.push_back(i);
        }
        int ready = poll(fds.data(), fds.size(), anyBlocked ? kBlockedPollMs : kIdlePollMs);
        if (!running_)
            break;
        if (ready > 0 && fds[0].revents)
            Drain(wakeReceive_);
        std::vector<bool> readable(connections.size(), false);
        for (std::size_t k = 0; ready > 0 && k < polled.size(); ++k)
            readable[polled[k]] = fds[k + 1].revents != 0;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            MuxTcpConnection& c = *connections[i];
            auto r = MuxTcpConnection::Result::Ok;
            if (c.Blocked())
                r = c.FlushPending(clients_);
            else if (readable[i])
                r = c.OnReadable(clients_, buffer);
            if (r == MuxTcpConnection::Result::Closed)
                CloseIf(connections[i]);
        }
    }
}

}  // namespace mux
