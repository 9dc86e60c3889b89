// The fourteen methods of ITravexInterface as local calls. When Travex cannot be
// reached each gives the code its caller expects for that case.
#include "transport/TravexConnection.h"

namespace xport {

using namespace mux;

MuxStatus TravexConnection::TCPAllocatePoint(std::uint8_t appid, std::uint16_t ipport,
                                             std::uint32_t* pn2conn) {
    TravexValues in;
    in.appid = appid;
    in.port = ipport;
    TravexReply r = Invoke(TravexMethod::TCPAllocatePoint, in, MUX_E_TCP_POINT);
    *pn2conn = r.out.conn;
    return r.status;
}

MuxStatus TravexConnection::startup(std::uint8_t* appid, std::int32_t use_wire,
                                    std::int32_t nmcqsize, std::int32_t ntcpqsize) {
    TravexValues in;
    in.appid = *appid;
    in.useWire = use_wire;
    in.mcqSize = nmcqsize;
    in.tcpqSize = ntcpqsize;
    TravexReply r = Invoke(TravexMethod::startup, in, E_FAIL);
    if (!MuxFailed(r.status))
        *appid = r.out.appid;
    return r.status;
}

MuxStatus TravexConnection::shutdown(std::uint8_t appid) {
    TravexValues in;
    in.appid = appid;
    return Invoke(TravexMethod::shutdown, in, MUX_S_OK).status;
}

MuxStatus TravexConnection::TCPSendBuffer(std::uint32_t n2conn, std::uint32_t nTimeout,
                                          std::uint32_t nDataLen, std::string_view pvBuffName) {
    TravexValues in;
    in.conn = n2conn;
    in.timeout = nTimeout;
    in.len = nDataLen;
    in.name = pvBuffName;
    return Invoke(TravexMethod::TCPSendBuffer, in, MUX_E_MC_SEND).status;
}

MuxStatus TravexConnection::TCPOpen(std::uint8_t srcappid, std::uint32_t ipaddr,
                                    std::uint16_t ipport, std::uint8_t destappid,
                                    std::uint32_t timeout, std::uint32_t* pn2conn) {
    TravexValues in;
    in.appid = srcappid;
    in.addr = ipaddr;
    in.port = ipport;
    in.appid2 = destappid;
    in.timeout = timeout;
    TravexReply r = Invoke(TravexMethod::TCPOpen, in, MUX_E_TCP_GETPORT);
    *pn2conn = r.out.conn;
    return r.status;
}

MuxStatus TravexConnection::TCPDeallocatePoint(std::uint8_t appid, std::uint32_t n2conn) {
    TravexValues in;
    in.appid = appid;
    in.conn = n2conn;
    return Invoke(TravexMethod::TCPDeallocatePoint, in, MUX_E_TCP_CLOSE).status;
}

MuxStatus TravexConnection::TCPGetPort(std::uint8_t appid, std::uint32_t n2conn,
                                       std::uint16_t* piport) {
    TravexValues in;
    in.appid = appid;
    in.conn = n2conn;
    TravexReply r = Invoke(TravexMethod::TCPGetPort, in, E_FAIL);
    *piport = r.out.port;
    return r.status;
}

MuxStatus TravexConnection::SubscribeToMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                                 std::uint16_t iport) {
    TravexValues in;
    in.appid = appid;
    in.addr = ipaddr;
    in.port = iport;
    return Invoke(TravexMethod::SubscribeToMulticast, in, MUX_E_MC_JOIN).status;
}

MuxStatus TravexConnection::UnsubscribeFromMulticast(std::uint8_t appid, std::uint32_t ipaddr,
                                                     std::uint16_t iport) {
    TravexValues in;
    in.appid = appid;
    in.addr = ipaddr;
    in.port = iport;
    return Invoke(TravexMethod::UnsubscribeFromMulticast, in, MUX_E_MC_UNSUBSCRIBE).status;
}

MuxStatus TravexConnection::TCPGetPacket(std::uint8_t appid, std::uint32_t* pLen,
                                         std::uint32_t* pNextLen, std::string_view pvBuffName) {
    TravexValues in;
    in.appid = appid;
    in.len = *pLen;
    in.name = pvBuffName;
    TravexReply r = Invoke(TravexMethod::TCPGetPacket, in, MUX_E_TCP_COPY);
    *pLen = r.out.len;
    *pNextLen = r.out.nextLen;
    return r.status;
}

MuxStatus TravexConnection::MulticastSendTo(std::uint8_t appid, std::uint32_t ipaddr,
                                            std::uint16_t iport, std::uint32_t nLen,
                                            std::string_view pvBuffName) {
    TravexValues in;
    in.appid = appid;
    in.addr = ipaddr;
    in.port = iport;
    in.len = nLen;
    in.name = pvBuffName;
    return Invoke(TravexMethod::MulticastSendTo, in, MUX_E_MC_SEND).status;
}

MuxStatus TravexConnection::MulticastGetPacket(std::uint8_t appid, std::uint32_t* pLen,
                                               std::uint32_t* pNextLen,
                                               std::string_view pvBuffName) {
    TravexValues in;
    in.appid = appid;
    in.len = *pLen;
    in.name = pvBuffName;
    TravexReply r = Invoke(TravexMethod::MulticastGetPacket, in, MUX_E_MC_COPY);
    *pLen = r.out.len;
    *pNextLen = r.out.nextLen;
    return r.status;
}

MuxStatus TravexConnection::GetLocalIPAddress(std::uint32_t* pipaddr) {
    TravexReply r = Invoke(TravexMethod::GetLocalIPAddress, {}, MUX_E_NO_LOCAL_IP);
    *pipaddr = r.out.addr;
    return r.status;
}

MuxStatus TravexConnection::Spew(std::uint32_t ipaddr, std::uint16_t iport) {
    TravexValues in;
    in.addr = ipaddr;
    in.port = iport;
    return Invoke(TravexMethod::Spew, in, E_FAIL).status;
}

}  // namespace xport
