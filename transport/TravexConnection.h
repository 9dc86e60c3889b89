// The client end of the local calls to Travex: ITravexInterface over one Unix-domain
// connection per process, shared by all of the process's threads.
//
// Activation: when nobody listens, the Travex program is started (the one "RegServer"
// recorded, else "travex" beside this program) and the connection is tried again for a
// bounded time. When the connection breaks, every call fails with its method's code.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "multiplexer/TravexRpc.h"

namespace xport {

class TravexConnection final : public mux::ITravexInterface {
public:
    struct Options {
        std::filesystem::path program;  // empty: the registered one, else beside this program
        std::chrono::milliseconds activation{10000};
    };
    // Connects, starting Travex when needed; null with `error` set when that fails.
    static std::unique_ptr<TravexConnection> Connect(const Options& options, std::string& error);
    ~TravexConnection() override;
    TravexConnection(const TravexConnection&) = delete;
    TravexConnection& operator=(const TravexConnection&) = delete;

    // False once the connection to Travex has broken.
    bool Alive() const;

    mux::MuxStatus TCPAllocatePoint(std::uint8_t appid, std::uint16_t ipport,
                                    std::uint32_t* pn2conn) override;
    mux::MuxStatus startup(std::uint8_t* appid, std::int32_t use_wire, std::int32_t nmcqsize,
                           std::int32_t ntcpqsize) override;
    mux::MuxStatus shutdown(std::uint8_t appid) override;
    mux::MuxStatus TCPSendBuffer(std::uint32_t n2conn, std::uint32_t nTimeout,
                                 std::uint32_t nDataLen, std::string_view pvBuffName) override;
    mux::MuxStatus TCPOpen(std::uint8_t srcappid, std::uint32_t ipaddr, std::uint16_t ipport,
                           std::uint8_t destappid, std::uint32_t timeout,
                           std::uint32_t* pn2conn) override;
    mux::MuxStatus TCPDeallocatePoint(std::uint8_t appid, std::uint32_t n2conn) override;
    mux::MuxStatus TCPGetPort(std::uint8_t appid, std::uint32_t n2conn,
                              std::uint16_t* piport) override;
    mux::MuxStatus SubscribeToMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                        std::uint16_t iport) override;
    mux::MuxStatus UnsubscribeFromMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                            std::uint16_t iport) override;
    mux::MuxStatus TCPGetPacket(std::uint8_t appid, std::uint32_t* pLen, std::uint32_t* pNextLen,
                                std::string_view pvBuffName) override;
    mux::MuxStatus MulticastSendTo(std::uint8_t appid, std::uint32_t ipaddr, std::uint16_t iport,
                                   std::uint32_t nLen, std::string_view pvBuffName) override;
    mux::MuxStatus MulticastGetPacket(std::uint8_t appid, std::uint32_t* pLen,
                                      std::uint32_t* pNextLen,
                                      std::string_view pvBuffName) override;
    mux::MuxStatus GetLocalIPAddress(std::uint32_t* pipaddr) override;
    mux::MuxStatus Spew(std::uint32_t ipaddr, std::uint16_t iport) override;

private:
    explicit TravexConnection(int fd) : fd_(fd) {}
    struct Pending {
        bool done = false;
        mux::TravexReply reply;
    };
    // One call; a broken connection gives a reply with status `lost`.
    mux::TravexReply Invoke(mux::TravexMethod method, const mux::TravexValues& in,
                            mux::MuxStatus lost);
    // Reads once from the socket and hands out the replies that are complete.
    bool ReadReplies();

    int fd_;
    std::mutex writeLock_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::map<std::uint32_t, Pending*> pending_;
    std::uint32_t nextCallId_ = 0;
    bool reading_ = false;  // one caller at a time reads for everybody
    bool broken_ = false;
    mux::RpcFrameReader reader_;
};

}  // namespace xport
