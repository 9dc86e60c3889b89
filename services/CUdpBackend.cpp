#include "services/CUdpBackend.h"

#include "platform/NetAdapter.h"
#include "services/CUdpConnection.h"
#include "services/CUdpSession.h"

XPortStatus CUdpBackend::open(std::uint8_t*, int, int, int, XPortEvents* events) {
    if (events != nullptr)
        *events = {};
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::close(std::uint8_t) {
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::subscribe(std::uint8_t, std::uint32_t, std::uint16_t) {
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::unsubscribe(std::uint8_t, std::uint32_t, std::uint16_t) {
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::allocatePoint(std::uint8_t, std::uint16_t, std::uint32_t*) {
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::deallocatePoint(std::uint8_t, std::uint32_t) {
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::getPort(std::uint8_t, std::uint32_t, std::uint16_t* port) {
    if (port != nullptr)
        *port = 0;
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::tcpOpen(std::uint8_t, std::uint32_t, std::uint16_t, std::uint8_t,
                                 std::uint32_t, std::uint32_t*) {
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::tcpSend(std::uint32_t, std::uint32_t, const XPortBuffer*) {
    return mux::E_FAIL;
}
XPortStatus CUdpBackend::multicastSend(std::uint8_t, std::uint32_t, std::uint16_t,
                                       const XPortBuffer*) {
    return mux::MUX_S_OK;
}
XPortStatus CUdpBackend::tcpGetPacket(std::uint8_t, XPortPacket&, bool& more) {
    more = false;
    return mux::E_FAIL;
}
XPortStatus CUdpBackend::multicastGetPacket(std::uint8_t, XPortPacket&, bool& more) {
    more = false;
    return mux::MUX_E_QUEUE_EMPTY;
}
XPortStatus CUdpBackend::getLocalIpAddress(std::uint32_t* address) {
    *address = GetLocalIpAddress();
    return mux::MUX_S_OK;
}

std::unique_ptr<CXConn> CUdpBackend::makeTcpConnection(CXProtocol& channel,
                                                       std::uint32_t queueLimit) {
    return std::make_unique<CUdpSession>(channel, queueLimit);
}

std::unique_ptr<CXConn> CUdpBackend::makeMulticastConnection(CXProtocol& channel,
                                                             std::uint32_t queueLimit) {
    return std::make_unique<CUdpConnection>(channel, queueLimit);
}
