// A node-status transport over one plain UDP socket, for tests across network
// namespaces: made in the namespace of the thread that attaches it. A watcher thread sets
// the arrival event for every datagram that comes in, as the transport port does.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "nodestatus/NS2Transport.h"
#include "os/Event.h"

class UdpTestTransport : public NS2Transport {
public:
    UdpTestTransport(uint32_t localAddress, uint16_t port, uint8_t appId = 0x80)
        : local_(localAddress), port_(port), appId_(appId) {}
    ~UdpTestTransport() override {
        Detach();
        ::close(stop_);
    }

    bool Attach(uint32_t, os::Event* arrival) override {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0)
            return false;
        int one = 1, zero = 0;
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_LOOP, &zero, sizeof zero);
        in_addr ifa{htonl(local_)};
        ::setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_IF, &ifa, sizeof ifa);
        sockaddr_in any{};
        any.sin_family = AF_INET;
        any.sin_port = htons(port_);
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0)
            return false;
        if (arrival != nullptr)
            watcher_ =
                std::thread([this, arrival, fd = fd_, stop = stop_] { Watch(fd, stop, *arrival); });
        return true;
    }
    void Detach() override {
        if (watcher_.joinable()) {
            const uint64_t one = 1;
            [[maybe_unused]] auto n = ::write(stop_, &one, sizeof one);
            watcher_.join();
            uint64_t taken = 0;
            n = ::read(stop_, &taken, sizeof taken);  // ready for the next Attach
        }
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    uint8_t AppId() const override { return appId_; }
    uint32_t LocalAddress() const override { return local_; }
    bool Join(uint32_t group, uint16_t) override { return Membership(IP_ADD_MEMBERSHIP, group); }
    bool Leave(uint32_t group, uint16_t) override { return Membership(IP_DROP_MEMBERSHIP, group); }
    bool Send(uint32_t address, uint16_t port, std::span<const uint8_t> data) override {
        if (muted)
            return true;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(address);
        return ::sendto(fd_, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&to),
                        sizeof to) == static_cast<ssize_t>(data.size());
    }
    bool Receive(uint32_t& address, uint16_t& port, std::span<uint8_t> buffer,
                 size_t& length) override {
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                               reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < 0)
            return false;
        address = ntohl(from.sin_addr.s_addr);
        port = ntohs(from.sin_port);
        length = static_cast<size_t>(n);
        return true;
    }

    // Waits up to `ms` for a datagram to read; true when one is there.
    bool WaitReadable(int ms) const {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, ms) == 1;
    }

    // Sends nothing while set: the member falls silent without saying goodbye.
    std::atomic<bool> muted{false};

private:
    // Edge-triggered: each datagram that arrives is one event, read or not.
    static void Watch(int fd, int stop, os::Event& arrival) {
        const int ep = ::epoll_create1(EPOLL_CLOEXEC);
        epoll_event in{EPOLLIN | EPOLLET, {.fd = fd}};
        epoll_event end{EPOLLIN, {.fd = stop}};
        ::epoll_ctl(ep, EPOLL_CTL_ADD, fd, &in);
        ::epoll_ctl(ep, EPOLL_CTL_ADD, stop, &end);
        for (bool running = true; running;) {
            epoll_event ready[2];
            const int n = ::epoll_wait(ep, ready, 2, -1);
            for (int i = 0; i < n; ++i) {
                if (ready[i].data.fd == stop)
                    running = false;
                else
                    arrival.Set();
            }
        }
        ::close(ep);
    }

    bool Membership(int option, uint32_t group) {
        ip_mreq m{};
        m.imr_multiaddr.s_addr = htonl(group);
        m.imr_interface.s_addr = htonl(local_);
        return ::setsockopt(fd_, IPPROTO_IP, option, &m, sizeof m) == 0;
    }

    int fd_ = -1;
    int stop_ = ::eventfd(0, EFD_CLOEXEC);
    std::thread watcher_;
    uint32_t local_;
    uint16_t port_;
    uint8_t appId_;
};
