// The TFTP server's transfer sessions: up to 32, one per client address and port (so
// that one host may fetch several files at once), each sending one image file in
// lock-step 512-byte blocks. Pure apart from file reads; time comes in with every packet.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "addrserver/Report.h"
#include "addrserver/TftpFiles.h"
#include "addrserver/TftpPacket.h"

namespace addrserver {

class TftpSessions {
public:
    static constexpr size_t kCapacity = 32;
    static constexpr uint32_t kIdleReuseMs = 30000;

    TftpSessions(TftpFiles& files, Reporter& reporter);
    ~TftpSessions();

    void SetDisplayLevel(uint32_t level) { displayLevel_ = level; }
    // The server's own address: a datagram that claims to come from it is never answered
    // with an error, which a forged one would otherwise turn into an endless exchange.
    void SetOwnAddress(uint32_t address) { ownAddress_ = address; }

    // Handles one datagram from address:port; returns the reply (empty: none).
    std::vector<uint8_t> Handle(uint32_t address, uint16_t port, std::span<const uint8_t> packet,
                                uint32_t now);

    size_t ActiveCount() const;
    // Ends every session (server stop).
    void Clear();

private:
    struct Session {
        uint32_t address = 0;  // 0 = free
        uint16_t port = 0;
        int file = -1;
        uint16_t lastAck = 0;
        uint32_t lastActivity = 0;
        bool done = false;  // the block sent last was the file's final block
    };

    std::vector<uint8_t> Answer(const TftpPacket& p, uint32_t address, uint16_t port, uint32_t now);
    std::vector<uint8_t> ReadRequest(uint32_t address, uint16_t port, const std::string& name,
                                     uint32_t now);
    std::vector<uint8_t> Ack(uint32_t address, uint16_t port, uint16_t block, uint32_t now);
    std::vector<uint8_t> SendBlock(Session& s, uint16_t block, uint32_t now);
    Session* Find(uint32_t address, uint16_t port);
    Session* FreePlace(uint32_t now);
    void Remove(Session& s);

    TftpFiles& files_;
    Reporter& reporter_;
    uint32_t displayLevel_ = 0;
    uint32_t ownAddress_ = 0;
    std::vector<Session> sessions_;
};

}  // namespace addrserver
