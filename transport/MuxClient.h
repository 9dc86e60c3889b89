// The multiplexer client: free functions over the process's one connection to Travex.
// Packet bytes travel through named shared memory, never as call arguments:
//   sending    the chain is copied into a fresh mapping "TCPSend%lx%ld" (connection
//              handle, send counter) or "MCSend%d%ld" (application id, counter), whose
//              name Travex is given; it is closed once the call returns
//   fetching   Travex copies one entry (24-byte descriptor, then the message) into the
//              client's receive mapping "TCPGet%d%ld" / "MCGet%d%ld", which grows (under a
//              new name) when a message does not fit
// Every function returns Travex's status, or the code in its comment when Travex
// cannot be reached.
#pragma once

#include <cstdint>

#include "transport/XPortTypes.h"

// Connects (starting Travex when nobody listens), registers the client and opens its
// events. *appId in: 0 to be given one; out: the id. No Travex gives E_FAIL.
XPortStatus MuxClientOpen(std::uint8_t* appId, int wire, int mcQueueSize, int tcpQueueSize,
                          XPortEvents* events);
// Unregisters and lets go of Travex; E_FAIL when a receive in progress does not end.
XPortStatus MuxClientClose(std::uint8_t appId);
XPortStatus MuxClientSubscribe(std::uint8_t appId, std::uint32_t address,
                               std::uint16_t port);  // 0x83E80057
XPortStatus MuxClientUnsubscribe(std::uint8_t appId, std::uint32_t address,
                                 std::uint16_t port);  // 0x83E80058
XPortStatus MuxClientAllocatePoint(std::uint8_t appId, std::uint16_t port,
                                   std::uint32_t* handle);                       // 0x83E8005D
XPortStatus MuxClientDeallocatePoint(std::uint8_t appId, std::uint32_t handle);  // 0x83E80060
XPortStatus MuxClientGetPort(std::uint8_t appId, std::uint32_t handle,
                             std::uint16_t* port);  // E_FAIL
XPortStatus MuxClientTcpOpen(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                             std::uint8_t remoteAppId, std::uint32_t timeoutMs,
                             std::uint32_t* handle);  // 0x83E8005E
XPortStatus MuxClientTcpSend(std::uint32_t handle, std::uint32_t timeoutMs,
                             const XPortBuffer* chain);  // 0x83E8005A
XPortStatus MuxClientMulticastSend(std::uint8_t appId, std::uint32_t address, std::uint16_t port,
                                   const XPortBuffer* chain);  // 0x83E8005A
// MUX_S_OK with the next packet (*more: whether Travex holds another one for the client);
// MUX_E_QUEUE_EMPTY when none. An entry whose lengths disagree is dropped with the
// failure code.
XPortStatus MuxClientTcpGetPacket(std::uint8_t appId, XPortPacket& packet,
                                  bool* more = nullptr);  // 0x83E80061
XPortStatus MuxClientMulticastGetPacket(std::uint8_t appId, XPortPacket& packet,
                                        bool* more = nullptr);   // 0x83E80064
XPortStatus MuxClientGetLocalIpAddress(std::uint32_t* address);  // 0x83E80065
