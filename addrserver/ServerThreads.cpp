// The address server's socket threads: the BOOTP server, the reply listener that
// hears answers to the start-up probe, and the TFTP server.
#include <array>

#include "addrserver/AddressServerCore.h"
#include "os/Clock.h"

namespace addrserver {
namespace {

constexpr int kWaitMs = 500;
constexpr size_t kDatagramSize = 1500;

}  // namespace

void Server::BootpServerThread() {
    serverRuns_ = true;
    bootpReporter_.Report(kMsgBootpNotice, "Bootp: Server started");
    std::array<uint8_t, kDatagramSize> buffer;
    const int error = serverSocket_.Serve(
        buffer, kWaitMs, [&](const ServerSocket::Datagram& d) { HandleBootp(d.bytes); });
    if (error != VAV_SOCK_OK)
        bootpReporter_.Report(kMsgError, Format("Bootp:Task socket RX Error %u!", error));
    bootpReporter_.Report(kMsgBootpNotice, "Bootp: Server Task stopped");
    serverRuns_ = false;
}

void Server::HandleBootp(std::span<const uint8_t> datagram) {
    BootpMessage request;
    if (const BootpParseError error = ParseBootp(datagram, request);
        error != BootpParseError::kNone) {
        bootpDrops_.Count(error);
        return;
    }
    const uint32_t display = options_.displayLevel;
    if (display & kDisplayBootpFrames)
        Print(BootpResponder::Describe(request));
    auto reply = responder_.Handle(request);
    if (!reply)
        return;
    if (display & kDisplayBootpReplies)
        Print("sending bootp reply\n");
    if (display & kDisplayBootpFrames)
        Print(BootpResponder::Describe(*reply));
    serverSocket_.SendTo(responder_.ReplyDestination(request), settings_.bootpClientPort,
                         BuildBootp(*reply));
}

void Server::ReplyListenerThread() {
    listenerRuns_ = true;
    listenerReady_ = true;
    listenerUp_.Set();
    std::array<uint8_t, kDatagramSize> buffer;
    listenerSocket_.Serve(buffer, kWaitMs, [&](const ServerSocket::Datagram& d) {
        BootpMessage m;
        if (const BootpParseError error = ParseBootp(d.bytes, m); error != BootpParseError::kNone) {
            bootpDrops_.Count(error);
            return;
        }
        // Another server's answer to our start-up probe.
        if (m.op == kBootReply && m.ciaddr == own_ && m.yiaddr == own_ && m.Mac() == kProbeMac) {
            answeringServer_ = m.siaddr;
            probeAnswered_ = true;
            if (options_.displayLevel & kDisplayBootpReplies)
                Print("Got bootp reply frame!\n");
        }
    });
    listenerReady_ = false;
    listenerRuns_ = false;
}

void Server::TftpThread() {
    tftpRuns_ = true;
    tftpReporter_.Report(kMsgTftpNotice, "Tftp: Server started");
    std::array<uint8_t, kDatagramSize> buffer;
    const int error = tftpSocket_.Serve(buffer, kWaitMs, [&](const ServerSocket::Datagram& d) {
        auto reply = sessions_.Handle(d.address, d.port, d.bytes, os::TickCount());
        if (!reply.empty())
            SendTftp(d.address, d.port, reply);
    });
    if (error != VAV_SOCK_OK)
        tftpReporter_.Report(kMsgTftpError, Format("Tftp:Task socket RX Error! %u, Socket %u",
                                                   error, tftpSocket_.Port()));
    tftpReporter_.Report(kMsgTftpNotice, "Tftp: Server Task stopped");
    tftpRuns_ = false;
}

void Server::SendTftp(uint32_t address, uint16_t port, const std::vector<uint8_t>& reply) {
    const uint32_t display = options_.displayLevel;
    if (display & kDisplayTftpBlocks)
        Print("sending tftp reply\n");
    if (reply[0] != 0)
        tftpReporter_.Report(kMsgTftpTrace, "TFTP: reply frame broken!");
    if (tftpSocket_.SendTo(address, port, reply))
        return;
    if ((display & (kDisplayTftpEnd | kDisplayTftpBlocks)) == 0)
        return;
    tftpReporter_.Report(kMsgTftpTrace, Format("Tftp Socket send error %d, sent %d bytes", -1, 0));
    if (!tftpSocket_.SendTo(address, port, reply))
        tftpReporter_.Report(kMsgTftpTrace, Format("rentrant try failed %d, sent %d bytes", -1, 0));
}

}  // namespace addrserver
