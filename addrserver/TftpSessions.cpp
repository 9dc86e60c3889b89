#include "addrserver/TftpSessions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "addrserver/BootpResponder.h"

namespace addrserver {
namespace {

// The address server's own tables: they share the TFTP folder with the images (or may,
// when the folder is the current one) and hold every node's address, so nobody fetches them.
bool IsServerTable(const std::string& name) {
    constexpr std::string_view kTables[] = {"bootptab", "bootptab.tmp", "bootptab.bak", "bootp.cfg",
                                            "bootpmac.cfg"};
    return std::any_of(std::begin(kTables), std::end(kTables), [&](std::string_view table) {
        return std::equal(name.begin(), name.end(), table.begin(), table.end(),
                          [](char a, char b) { return std::tolower(uint8_t(a)) == b; });
    });
}

bool IsErrorPacket(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 2 && bytes[0] == 0 && bytes[1] == 5;
}

}  // namespace

TftpSessions::TftpSessions(TftpFiles& files, Reporter& reporter)
    : files_(files), reporter_(reporter), sessions_(kCapacity) {}

TftpSessions::~TftpSessions() {
    Clear();
}

size_t TftpSessions::ActiveCount() const {
    size_t n = 0;
    for (const auto& s : sessions_) n += s.address != 0 ? 1 : 0;
    return n;
}

void TftpSessions::Clear() {
    for (auto& s : sessions_) {
        if (s.address != 0)
            Remove(s);
    }
}

TftpSessions::Session* TftpSessions::Find(uint32_t address, uint16_t port) {
    for (auto& s : sessions_) {
        if (s.address == address && s.port == port)
            return &s;
    }
    return nullptr;
}

TftpSessions::Session* TftpSessions::FreePlace(uint32_t now) {
    for (auto& s : sessions_) {
        if (s.address == 0)
            return &s;
    }
    for (auto& s : sessions_) {
        if (now - s.lastActivity > kIdleReuseMs) {
            Remove(s);
            return &s;
        }
    }
    return nullptr;
}

void TftpSessions::Remove(Session& s) {
    if (displayLevel_ & kDisplayTftpBlocks)
        reporter_.Print(Format("Removing Tftp Session %s\n", DottedText(s.address).c_str()));
    if (s.file >= 0)
        files_.Release(s.file);
    s = Session{};
}

std::vector<uint8_t> TftpSessions::Handle(uint32_t address, uint16_t port,
                                          std::span<const uint8_t> packet, uint32_t now) {
    std::vector<uint8_t> reply = Answer(ParseTftp(packet), address, port, now);
    if (address == ownAddress_ && IsErrorPacket(reply))
        return {};
    return reply;
}

std::vector<uint8_t> TftpSessions::Answer(const TftpPacket& p, uint32_t address, uint16_t port,
                                          uint32_t now) {
    switch (p.kind) {
        case TftpPacketKind::kReadRequest:
            return ReadRequest(address, port, p.fileName, now);
        case TftpPacketKind::kAck:
            return Ack(address, port, p.block, now);
        case TftpPacketKind::kUnterminatedName:
            return BuildTftpError(TftpError::kFileNotFound);
        case TftpPacketKind::kError:
            return {};
        case TftpPacketKind::kBad:
            break;
    }
    return BuildTftpError(TftpError::kInvalidFrame);
}

std::vector<uint8_t> TftpSessions::ReadRequest(uint32_t address, uint16_t port,
                                               const std::string& requested, uint32_t now) {
    const std::string dotted = DottedText(address);
    if (Session* old = Find(address, port)) {
        reporter_.Report(kMsgTftpSession, Format("Restarting Tftp Session %s", dotted.c_str()));
        Remove(*old);
    }
    reporter_.Report(kMsgTftpSession, Format("Creating Tftp Session %s", dotted.c_str()));
    Session* s = FreePlace(now);
    if (s == nullptr)
        return BuildTftpError(TftpError::kMaxSessionsOpen);

    // Only files of the TFTP directory itself are served: the name's last part counts.
    const std::string name = BaseName(requested);
    if (name.empty())
        return BuildTftpError(TftpError::kFileNotFound);
    if (IsServerTable(name)) {
        reporter_.Report(kMsgTftpWarning, Format("Tftp: %s asked for %s, which is not served",
                                                 dotted.c_str(), name.c_str()));
        return BuildTftpError(TftpError::kAccessDenied);
    }
    int record = -1;
    bool isNew = false;
    switch (files_.Acquire(name, now, record, isNew)) {
        case TftpFiles::OpenResult::kOk:
            break;
        case TftpFiles::OpenResult::kNotFound:
            return BuildTftpError(TftpError::kFileNotFound);
        case TftpFiles::OpenResult::kTableFull:
            return BuildTftpError(TftpError::kMaxFilesOpen);
        case TftpFiles::OpenResult::kTooLarge:
            reporter_.Report(kMsgTftpError, Format("Tftp: %s has more than %u blocks", name.c_str(),
                                                   static_cast<unsigned>(kTftpMaxBlocks)));
            return BuildTftpError(TftpError::kTooLarge);
    }
    if (isNew) {
        auto version = files_.VersionOf(name).value_or(ImageVersion{});
        reporter_.Print(Format("%s version %s\n", name.c_str(), version.Text().c_str()));
    }
    *s = Session{address, port, record, 0, now, false};
    return SendBlock(*s, 1, now);
}

std::vector<uint8_t> TftpSessions::SendBlock(Session& s, uint16_t block, uint32_t now) {
    std::array<uint8_t, kTftpBlockSize> data;
    const uint64_t offset = uint64_t{static_cast<uint16_t>(block - 1)} * kTftpBlockSize;
    ssize_t n = files_.Read(s.file, offset, data, now);
    if (n < 0) {
        reporter_.Report(kMsgTftpError,
                         Format("fseek error: %u on file %s", static_cast<unsigned>(offset),
                                files_.Name(s.file).c_str()));
        return {};
    }
    const std::string dotted = DottedText(s.address);
    if (static_cast<size_t>(n) < kTftpBlockSize) {
        s.done = true;
        if (displayLevel_ & kDisplayTftpEnd) {
            reporter_.Print(Format("Tftp Session %s almost done\n", dotted.c_str()));
            reporter_.Print(Format("fseek2: EOF with %u bytes!\n", static_cast<unsigned>(n)));
        }
    }
    s.lastActivity = now;
    return BuildTftpData(block, std::span<const uint8_t>(data.data(), static_cast<size_t>(n)));
}

std::vector<uint8_t> TftpSessions::Ack(uint32_t address, uint16_t port, uint16_t block,
                                       uint32_t now) {
    const std::string dotted = DottedText(address);
    // Sessions are told apart by port too, so an acknowledgement from an unknown port is
    // one of no session: answering it or ending another transfer of the host would be wrong.
    Session* s = Find(address, port);
    if (s == nullptr) {
        reporter_.Report(kMsgTftpError, Format("Unknown Tftp Session Error %s", dotted.c_str()));
        return {};
    }
    if (displayLevel_ & kDisplayTftpBlocks)
        reporter_.Print(Format("TftpS %s Blk:%u\n", dotted.c_str(), block));
    if (s->lastAck >= block) {
        // A repeated acknowledgement: the block after it goes out again.
        s->lastAck = static_cast<uint16_t>(block - 1);
        s->done = false;
    }
    if (block != static_cast<uint16_t>(s->lastAck + 1)) {
        reporter_.Report(kMsgTftpWarning,
                         Format("Future %u ACK for Tftp Session %s", block, dotted.c_str()));
        return {};
    }
    if (s->done) {
        reporter_.Report(kMsgTftpTrace, Format("Tftp Session %s Complete", dotted.c_str()));
        Remove(*s);
        return {};
    }
    s->lastAck = block;
    return SendBlock(*s, static_cast<uint16_t>(block + 1), now);
}

}  // namespace addrserver
