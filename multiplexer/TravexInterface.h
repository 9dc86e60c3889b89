// ITravexInterface: the contract between Travex and its client applications on one PC,
// shared by the server (multiplexer/) and the multiplexer client (transport/).
//
// Every method returns a 32-bit status: success has bit 31 clear, failures of
// facility 0x3E8 have it set. Packet bytes never travel as arguments: the sender
// names a shared-memory mapping that it filled, the fetcher names one that Travex
// fills with one queue entry (a 24-byte descriptor, then the message).
#pragma once

#include <cstdint>
#include <string_view>

namespace mux {

using MuxStatus = std::int32_t;

constexpr MuxStatus MuxCode(std::uint32_t code) {
    return static_cast<MuxStatus>(code);
}
constexpr bool MuxFailed(MuxStatus status) {
    return status < 0;
}

inline constexpr MuxStatus MUX_S_OK = MuxCode(0x03E80000);
inline constexpr MuxStatus MUX_E_UNKNOWN_APPID = MuxCode(0x83E8004F);
inline constexpr MuxStatus MUX_E_ENGINE_BUSY = MuxCode(0x83E80050);
inline constexpr MuxStatus MUX_E_MC_TABLE_FULL = MuxCode(0x83E80052);
inline constexpr MuxStatus MUX_E_MC_SUBSCRIBE = MuxCode(0x83E80053);
inline constexpr MuxStatus MUX_E_MC_SOCKOPT = MuxCode(0x83E80054);
inline constexpr MuxStatus MUX_E_MC_BIND = MuxCode(0x83E80055);
inline constexpr MuxStatus MUX_E_CLIENT_SETUP = MuxCode(0x83E80056);
inline constexpr MuxStatus MUX_E_MC_JOIN = MuxCode(0x83E80057);
inline constexpr MuxStatus MUX_E_MC_UNSUBSCRIBE = MuxCode(0x83E80058);
// Three codes share the name: no record for the group (…59), a failed copy, lock or
// socket error (…5A), a socket that stayed unwritable (…5B).
inline constexpr MuxStatus MUX_E_MC_SEND_NO_RECORD = MuxCode(0x83E80059);
inline constexpr MuxStatus MUX_E_MC_SEND = MuxCode(0x83E8005A);
inline constexpr MuxStatus MUX_E_MC_SEND_TIMEOUT = MuxCode(0x83E8005B);
inline constexpr MuxStatus MUX_E_TOO_LONG = MuxCode(0x83E8005C);
inline constexpr MuxStatus MUX_E_TCP_POINT = MuxCode(0x83E8005D);
inline constexpr MuxStatus MUX_E_TCP_GETPORT = MuxCode(0x83E8005E);
inline constexpr MuxStatus MUX_E_TCP_OPEN = MuxCode(0x83E8005F);
inline constexpr MuxStatus MUX_E_TCP_CLOSE = MuxCode(0x83E80060);
inline constexpr MuxStatus MUX_E_TCP_COPY = MuxCode(0x83E80061);
inline constexpr MuxStatus MUX_E_TCP_CONNECT = MuxCode(0x83E80062);
inline constexpr MuxStatus MUX_E_TCP_CONNECT_FULL = MuxCode(0x83E80063);
inline constexpr MuxStatus MUX_E_MC_COPY = MuxCode(0x83E80064);
inline constexpr MuxStatus MUX_E_NO_LOCAL_IP = MuxCode(0x83E80065);
inline constexpr MuxStatus MUX_E_BUFFER_TOO_SMALL = MuxCode(0x83E80066);
inline constexpr MuxStatus MUX_E_QUEUE_EMPTY = MuxCode(0x83E80067);
inline constexpr MuxStatus MUX_E_PORT_IN_USE = MuxCode(0x83E80068);
inline constexpr MuxStatus MUX_E_START_MC = MuxCode(0x83E8006A);
inline constexpr MuxStatus MUX_E_START_MC_INIT = MuxCode(0x83E8006B);
inline constexpr MuxStatus MUX_E_START_TCP = MuxCode(0x83E8006C);
inline constexpr MuxStatus MUX_E_START_TCP_INIT = MuxCode(0x83E8006D);
inline constexpr MuxStatus MUX_E_LOCK = MuxCode(0x83E8006E);
inline constexpr MuxStatus MUX_E_CLIENT_MUTEX_MC = MuxCode(0x83E8006F);
inline constexpr MuxStatus MUX_E_CLIENT_MUTEX_TCP_LEN = MuxCode(0x83E80070);
inline constexpr MuxStatus MUX_E_CLIENT_MUTEX_TCP_SEND = MuxCode(0x83E80071);
inline constexpr MuxStatus MUX_E_APPID_IN_USE = MuxCode(0x83E80072);
inline constexpr MuxStatus MUX_E_CLIENT_THREAD = MuxCode(0x83E84005);
// The generic failure of the system's status family, used where no code above fits.
inline constexpr MuxStatus E_FAIL = MuxCode(0x80004005);

// The dispatch ids, in the order of the interface.
enum class TravexMethod : std::uint8_t {
    TCPAllocatePoint = 1,
    startup = 2,
    shutdown = 3,
    TCPSendBuffer = 4,
    TCPOpen = 5,
    TCPDeallocatePoint = 6,
    TCPGetPort = 7,
    SubscribeToMulticast = 8,
    UnsubscribeFromMulticast = 9,
    TCPGetPacket = 10,
    MulticastSendTo = 11,
    MulticastGetPacket = 12,
    GetLocalIPAddress = 13,
    Spew = 14,
};
inline constexpr int kTravexMethodCount = 14;

// Limits both sides hold to.
inline constexpr std::uint32_t kMuxDescriptorSize = 24;  // in front of every queued message
inline constexpr std::uint32_t kMuxMaxDatagram = 32768;  // MulticastSendTo and received datagrams
inline constexpr std::uint32_t kMuxMaxTcpMessage =
    1u << 20;  // one framed TCP message, header included
inline constexpr int kMuxMaxClients = 64;

// Addresses are IPv4 in host order (first octet in the top byte); ports in host order.
class ITravexInterface {
public:
    virtual ~ITravexInterface() = default;

    // Opens a listening TCP point for the client; ipport 0 lets Travex pick a free port.
    virtual MuxStatus TCPAllocatePoint(std::uint8_t appid, std::uint16_t ipport,
                                       std::uint32_t* pn2conn) = 0;
    // Registers a client; *appid 0 asks Travex to assign one, which is written back.
    virtual MuxStatus startup(std::uint8_t* appid, std::int32_t use_wire, std::int32_t nmcqsize,
                              std::int32_t ntcpqsize) = 0;
    virtual MuxStatus shutdown(std::uint8_t appid) = 0;
    // Sends nDataLen bytes from the named mapping on a connection.
    virtual MuxStatus TCPSendBuffer(std::uint32_t n2conn, std::uint32_t nTimeout,
                                    std::uint32_t nDataLen, std::string_view pvBuffName) = 0;
    virtual MuxStatus TCPOpen(std::uint8_t srcappid, std::uint32_t ipaddr, std::uint16_t ipport,
                              std::uint8_t destappid, std::uint32_t timeout,
                              std::uint32_t* pn2conn) = 0;
    // Closes a point or a connection.
    virtual MuxStatus TCPDeallocatePoint(std::uint8_t appid, std::uint32_t n2conn) = 0;
    virtual MuxStatus TCPGetPort(std::uint8_t appid, std::uint32_t n2conn,
                                 std::uint16_t* piport) = 0;
    virtual MuxStatus SubscribeToMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                           std::uint16_t iport) = 0;
    virtual MuxStatus UnsubscribeFromMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                               std::uint16_t iport) = 0;
    // Copies the client's next TCP entry into the named mapping of *pLen bytes.
    virtual MuxStatus TCPGetPacket(std::uint8_t appid, std::uint32_t* pLen, std::uint32_t* pNextLen,
                                   std::string_view pvBuffName) = 0;
    virtual MuxStatus MulticastSendTo(std::uint8_t appid, std::uint32_t ipaddr, std::uint16_t iport,
                                      std::uint32_t nLen, std::string_view pvBuffName) = 0;
    virtual MuxStatus MulticastGetPacket(std::uint8_t appid, std::uint32_t* pLen,
                                         std::uint32_t* pNextLen, std::string_view pvBuffName) = 0;
    // The selected card's address; 1 when there is none.
    virtual MuxStatus GetLocalIPAddress(std::uint32_t* pipaddr) = 0;
    virtual MuxStatus Spew(std::uint32_t ipaddr, std::uint16_t iport) = 0;
};

}  // namespace mux
