// A multicast connection: joins groups through the back end and receives every datagram
// for them (header included); a full queue drops its oldest datagram.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

#include "transport/CXConn.h"

class CXMcConn : public CXConn {
public:
    CXMcConn(CXProtocol& channel, std::uint32_t queueLimit);
    // Leaves every group it joined.
    ~CXMcConn() override;

    // The first join of a group and port subscribes; a failure calls onDisconnected.
    bool join(std::uint32_t address, std::uint16_t port) override;
    // The last leave of a group and port unsubscribes.
    bool leave(std::uint32_t address, std::uint16_t port) override;
    XPortStatus send(std::uint32_t address, std::uint16_t port, const XPortBuffer* chain) override;
    using CXConn::send;
    bool isSubscribed(std::uint32_t group, std::uint16_t port) override;

private:
    std::pair<std::uint32_t, std::uint16_t> Resolve(std::uint32_t address, std::uint16_t port);

    std::mutex lock_;
    std::map<std::pair<std::uint32_t, std::uint16_t>, int> joins_;
};
