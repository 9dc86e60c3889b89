// TFTP packets and the transfer sessions that serve node images.
#include "addrserver/TftpSessions.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TestReporter.h"
#include "addrserver/BootpResponder.h"

namespace addrserver {
namespace {

namespace fs = std::filesystem;
using test::Ip;
using Bytes = std::vector<uint8_t>;

Bytes ReadRequest(const std::string& name, const std::string& mode = "octet") {
    Bytes b = {0, 1};
    b.insert(b.end(), name.begin(), name.end());
    b.push_back(0);
    b.insert(b.end(), mode.begin(), mode.end());
    b.push_back(0);
    return b;
}

Bytes Ack(uint16_t block) {
    return {0, 4, static_cast<uint8_t>(block >> 8), static_cast<uint8_t>(block)};
}

Bytes Error(uint16_t code, const std::string& text) {
    Bytes b = {0, 5, static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(code)};
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    return b;
}

// DATA header of `block` and the payload's length.
std::pair<uint16_t, size_t> Data(const Bytes& b) {
    EXPECT_GE(b.size(), 4u);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 3);
    return {static_cast<uint16_t>((b[2] << 8) | b[3]), b.size() - 4};
}

TEST(TftpPacketTest, ParsesRequestsAndAcks) {
    auto rrq = ParseTftp(ReadRequest("vidnode.bin"));
    EXPECT_EQ(rrq.kind, TftpPacketKind::kReadRequest);
    EXPECT_EQ(rrq.fileName, "vidnode.bin");
    auto ack = ParseTftp(Ack(0x1234));
    EXPECT_EQ(ack.kind, TftpPacketKind::kAck);
    EXPECT_EQ(ack.block, 0x1234);

    Bytes unterminated = {0, 1, 'a', 'b'};
    EXPECT_EQ(ParseTftp(unterminated).kind, TftpPacketKind::kUnterminatedName);
    EXPECT_EQ(ParseTftp(Error(0, "Invalid frame received")).kind, TftpPacketKind::kError);
    EXPECT_EQ(ParseTftp(Bytes{0, 5}).kind, TftpPacketKind::kError);
    const Bytes bad[] = {
        {},                                  // empty
        {1, 1, 'a', 0},                      // first byte not 0
        {0, 2, 'a', 0, 'o', 0},              // write request
        {0, 4, 0},                           // short acknowledgement
        {0, 4, 0, 1, 0},                     // long acknowledgement
        ReadRequest(std::string(129, 'x')),  // name over 128 characters
    };
    for (const auto& b : bad) EXPECT_EQ(ParseTftp(b).kind, TftpPacketKind::kBad);
}

TEST(TftpPacketTest, BuildsDataAndErrors) {
    const uint8_t payload[] = {0xAA, 0xBB};
    EXPECT_EQ(BuildTftpData(0x0102, payload), (Bytes{0, 3, 1, 2, 0xAA, 0xBB}));
    EXPECT_EQ(BuildTftpError(TftpError::kFileNotFound), Error(1, "File not found"));
    EXPECT_EQ(BuildTftpError(TftpError::kMaxFilesOpen), Error(3, "Server max files open"));
    EXPECT_EQ(BuildTftpError(TftpError::kMaxSessionsOpen), Error(3, "Server max sessions open"));
    EXPECT_EQ(BuildTftpError(TftpError::kInvalidFrame), Error(0, "Invalid frame received"));
    EXPECT_EQ(BuildTftpError(TftpError::kBadImage), Error(0, "File not Ixo tftp file format"));
    EXPECT_EQ(BuildTftpError(TftpError::kUnspecified), Error(0, "Unspecified error"));
    EXPECT_EQ(BuildTftpError(TftpError::kTooLarge), Error(0, "file too large for TFTP"));
    EXPECT_EQ(BuildTftpError(TftpError::kAccessDenied), Error(2, "Access violation"));
}

class TftpSessionsTest : public ::testing::Test {
protected:
    TftpSessionsTest() {
        char tmpl[] = "/tmp/ixo-tftp-XXXXXX";
        dir = mkdtemp(tmpl);
        files.Reset(dir);
    }
    ~TftpSessionsTest() override { fs::remove_all(dir); }
    void MakeFile(const std::string& name, size_t size) {
        std::ofstream out(dir + "/" + name, std::ios::binary);
        for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 7));
    }
    Bytes Send(const Bytes& packet, uint32_t address = kClient, uint16_t port = 5000) {
        return sessions.Handle(address, port, packet, now);
    }

    static constexpr uint32_t kClient = 0x0A653265;
    std::string dir;
    uint32_t now = 1000;
    test::TestReporter reporter;
    TftpFiles files;
    TftpSessions sessions{files, reporter};
};

TEST_F(TftpSessionsTest, FileOfTwoBlocksEndsWithAnEmptyThirdBlock) {
    MakeFile("ionode.bin", 1024);
    EXPECT_EQ(Data(Send(ReadRequest("ionode.bin"))), std::make_pair(uint16_t{1}, size_t{512}));
    EXPECT_EQ(Data(Send(Ack(1))), std::make_pair(uint16_t{2}, size_t{512}));
    EXPECT_EQ(Data(Send(Ack(2))), std::make_pair(uint16_t{3}, size_t{0}));
    EXPECT_TRUE(Send(Ack(3)).empty());
    EXPECT_TRUE(reporter.Has(kMsgTftpTrace, "Tftp Session 10.101.50.101 Complete"));
    EXPECT_EQ(sessions.ActiveCount(), 0u);
    EXPECT_EQ(files.OpenCount(), 0u);
}

TEST_F(TftpSessionsTest, ShortFirstBlockCompletesOnItsAck) {
    MakeFile("small.bin", 100);
    auto first = Send(ReadRequest("small.bin"));
    EXPECT_EQ(Data(first), std::make_pair(uint16_t{1}, size_t{100}));
    EXPECT_EQ(first[4 + 99], static_cast<uint8_t>(99 * 7));
    EXPECT_TRUE(Send(Ack(1)).empty());
    EXPECT_EQ(sessions.ActiveCount(), 0u);
}

TEST_F(TftpSessionsTest, RepeatedAckSendsTheFollowingBlockAgain) {
    MakeFile("ionode.bin", 1100);
    Send(ReadRequest("ionode.bin"));
    auto block2 = Send(Ack(1));
    EXPECT_EQ(Send(Ack(1)), block2);
    auto block3 = Send(Ack(2));
    EXPECT_EQ(Data(block3), std::make_pair(uint16_t{3}, size_t{76}));
    // The final block lost: its predecessor's acknowledgement brings it back, and only
    // the acknowledgement of the final block completes the transfer.
    EXPECT_EQ(Send(Ack(2)), block3);
    EXPECT_EQ(sessions.ActiveCount(), 1u);
    EXPECT_TRUE(Send(Ack(3)).empty());
    EXPECT_EQ(sessions.ActiveCount(), 0u);
}

TEST_F(TftpSessionsTest, AcknowledgementsThatDoNotFit) {
    MakeFile("ionode.bin", 2000);
    EXPECT_TRUE(Send(Ack(1)).empty());  // nobody asked for anything yet
    EXPECT_TRUE(reporter.Has(kMsgTftpError, "Unknown Tftp Session Error 10.101.50.101"));
    Send(ReadRequest("ionode.bin"));
    EXPECT_TRUE(Send(Ack(3)).empty());
    EXPECT_TRUE(reporter.Has(kMsgTftpWarning, "Future 3 ACK for Tftp Session 10.101.50.101"));
    // Another port of the same host is another session: none here, so no answer, and the
    // transfer on port 5000 goes on.
    reporter.messages.clear();
    EXPECT_TRUE(Send(Ack(1), kClient, 5001).empty());
    EXPECT_TRUE(reporter.Has(kMsgTftpError, "Unknown Tftp Session Error 10.101.50.101"));
    EXPECT_EQ(Data(Send(Ack(1))).first, 2);
}

// Two servers that answer whatever they do not understand with an error answer each
// other's errors for ever once one forged datagram starts them off.
TEST_F(TftpSessionsTest, ErrorsAreNeverAnsweredNorSentToTheServerItself) {
    constexpr uint32_t kOwn = 0x0A653201;
    sessions.SetOwnAddress(kOwn);
    const struct {
        const char* what;
        Bytes packet;
        uint32_t from;
        Bytes expected;
    } cases[] = {
        {"error from a client", Error(0, "Invalid frame received"), kClient, {}},
        {"empty error", Bytes{0, 5}, kClient, {}},
        {"error from itself", Error(1, "File not found"), kOwn, {}},
        {"bad packet from itself", Bytes{0, 3, 0, 1}, kOwn, {}},
        {"missing file from itself", ReadRequest("missing.bin"), kOwn, {}},
        {"bad packet from a client", Bytes{0, 3, 0, 1}, kClient,
         Error(0, "Invalid frame received")},
        {"missing file from a client", ReadRequest("missing.bin"), kClient,
         Error(1, "File not found")},
    };
    for (const auto& c : cases) EXPECT_EQ(Send(c.packet, c.from, 69), c.expected) << c.what;
    // Data still goes to a client on the server's own address (a local fetch).
    MakeFile("ionode.bin", 10);
    EXPECT_EQ(Data(Send(ReadRequest("ionode.bin"), kOwn)).second, 10u);
}

TEST_F(TftpSessionsTest, TransfersFromOnePortEachAreKeptApart) {
    MakeFile("a.bin", 1500);
    MakeFile("b.bin", 700);
    const Bytes a1 = Send(ReadRequest("a.bin"), kClient, 5000);
    const Bytes b1 = Send(ReadRequest("b.bin"), kClient, 5001);
    EXPECT_EQ(Data(a1), std::make_pair(uint16_t{1}, size_t{512}));
    EXPECT_EQ(Data(b1), std::make_pair(uint16_t{1}, size_t{512}));
    EXPECT_EQ(sessions.ActiveCount(), 2u);
    const Bytes b2 = Send(Ack(1), kClient, 5001);
    EXPECT_EQ(Data(b2), std::make_pair(uint16_t{2}, size_t{188}));
    EXPECT_EQ(b2[4], static_cast<uint8_t>(512 * 7));  // b.bin's byte 512, not a.bin's
    EXPECT_EQ(Data(Send(Ack(1), kClient, 5000)), std::make_pair(uint16_t{2}, size_t{512}));
    EXPECT_TRUE(Send(Ack(2), kClient, 5001).empty());  // b.bin complete
    EXPECT_EQ(Data(Send(Ack(2), kClient, 5000)), std::make_pair(uint16_t{3}, size_t{476}));
    EXPECT_TRUE(Send(Ack(3), kClient, 5000).empty());
    EXPECT_EQ(sessions.ActiveCount(), 0u);
    // A request again from a port that has a session restarts that session only.
    Send(ReadRequest("a.bin"), kClient, 5000);
    Send(ReadRequest("b.bin"), kClient, 5001);
    EXPECT_EQ(Data(Send(ReadRequest("a.bin"), kClient, 5000)).first, 1);
    EXPECT_EQ(sessions.ActiveCount(), 2u);
}

TEST_F(TftpSessionsTest, TheAddressServersTablesAreNotServed) {
    for (const char* name : {"bootptab", "BOOTPTAB", "bootptab.bak", "bootptab.tmp", "bootp.cfg",
                             "BootpMac.cfg", "dir\\bootptab", "../bootptab"}) {
        MakeFile(BaseName(name), 10);
        EXPECT_EQ(Send(ReadRequest(name)), Error(2, "Access violation")) << name;
    }
    EXPECT_EQ(sessions.ActiveCount(), 0u);
    MakeFile("bootptab.bin", 10);  // a name that merely begins like one
    EXPECT_EQ(Data(Send(ReadRequest("bootptab.bin"))).second, 10u);
}

TEST_F(TftpSessionsTest, OnlyFilesOfTheDirectoryAreServed) {
    MakeFile("vidnode.bin", 10);
    fs::create_directory(dir + "/sub");
    const std::pair<std::string, Bytes> cases[] = {
        {"some\\dir\\vidnode.bin", Bytes{}},  // directory parts are cut away
        {"../../vidnode.bin", Bytes{}},      {"../../etc/passwd", Error(1, "File not found")},
        {"..", Error(1, "File not found")},  {"", Error(1, "File not found")},
        {"sub", Error(1, "File not found")}, {"missing.bin", Error(1, "File not found")},
    };
    for (const auto& [name, expected] : cases) {
        auto reply = Send(ReadRequest(name));
        if (expected.empty())
            EXPECT_EQ(Data(reply).second, 10u) << name;
        else
            EXPECT_EQ(reply, expected) << name;
    }
    EXPECT_EQ(Send({0, 1, 'v', 'i', 'd'}), Error(1, "File not found"));
    EXPECT_EQ(Send({0, 2, 'v', 0, 'o', 0}), Error(0, "Invalid frame received"));
}

TEST_F(TftpSessionsTest, ThirtyThirdClientWaitsForAnIdleSession) {
    MakeFile("ionode.bin", 5000);
    for (uint32_t i = 0; i < 32; ++i)
        ASSERT_EQ(Data(Send(ReadRequest("ionode.bin"), kClient + i)).first, 1);
    const uint32_t late = kClient + 32;
    now += TftpSessions::kIdleReuseMs;
    EXPECT_EQ(Send(ReadRequest("ionode.bin"), late), Error(3, "Server max sessions open"));
    Send(Ack(1), kClient + 5);  // keeps one session busy
    now += 1;
    EXPECT_EQ(Data(Send(ReadRequest("ionode.bin"), late)).first, 1);
    // The session idle longest went; the busy one is still there.
    EXPECT_TRUE(Send(Ack(1), kClient).empty());
    EXPECT_FALSE(Send(Ack(1), kClient + 5).empty());
}

// Block numbers are 16 bits; rather than wrap them (which not every node loader copes with)
// the server says plainly why it refuses.
TEST_F(TftpSessionsTest, ImageOfMoreThan65535BlocksIsRefused) {
    const std::string path = dir + "/huge.bin";
    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_EQ(::ftruncate(fd, 65535 * 512), 0);  // 65536 blocks with the empty last one
    ::close(fd);
    EXPECT_EQ(Send(ReadRequest("huge.bin")), Error(0, "file too large for TFTP"));
    ASSERT_EQ(::truncate(path.c_str(), 65535 * 512 - 1), 0);
    EXPECT_EQ(Data(Send(ReadRequest("huge.bin"))).first, 1);
}

TEST_F(TftpSessionsTest, FileTableReusesRecordsNobodyReads) {
    for (int i = 0; i < 40; ++i) {
        MakeFile("f" + std::to_string(i), 10);
        now += 1;
        ASSERT_EQ(Data(Send(ReadRequest("f" + std::to_string(i)))).second, 10u) << i;
        ASSERT_TRUE(Send(Ack(1)).empty());
    }
    EXPECT_LE(files.OpenCount(), 0u);
}

}  // namespace
}  // namespace addrserver
