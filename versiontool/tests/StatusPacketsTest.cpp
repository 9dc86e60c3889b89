// Both status packets byte by byte: golden buffers worked out by hand, every single-field
// change of them, every datagram that ends early, and the two discovery requests.
#include <gtest/gtest.h>

#include <vector>

#include "versiontool/StatusPackets.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An older-generation long form, layout 1: device type 0x2185, MAC 00:1a:2b:3c:4d:5e,
// 10.1.2.3, session 0x11223344, interval 1500, status words 7, 1, 2, 3, 4; versions
// id 2 = 4.2.7 stage 9 digit 1 build 300 and id 11 = 4.0.14 build 5; service record
// 8 = (3, 1, 2); name "Rack1".
const Bytes kLegacyLayout1 = {
    0x08, 0x01, 0x01, 0x00,                                // protocol, long form, layout 1, byte 3
    0x85, 0x21,                                            // device type
    0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E,                    // MAC
    0x03, 0x02, 0x01, 0x0A,                                // 10.1.2.3, last octet first
    0x44, 0x33, 0x22, 0x11,                                // session
    0xDC, 0x05, 0x00, 0x00,                                // interval 1500
    0x07, 0x00, 0x00, 0x00,                                // status word 0
    0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,        // status words 1, 2
    0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00,        // status words 3, 4
    0x02, 0x01,                                            // 2 versions, 1 service record
    0x02, 0x00, 0x04, 0x02, 0x07, 0x09, 0x01, 0x2C, 0x01,  // id 2
    0x0B, 0x00, 0x04, 0x00, 0x0E, 0x00, 0x00, 0x05, 0x00,  // id 11
    0x08, 0x03, 0x01, 0x02, 0x00,                          // service 8
    0x05, 'R',  'a',  'c',  'k',  '1',
};

// The same device in layout 0: 6-byte versions whose last two bytes are not read, 3-byte
// service records.
const Bytes kLegacyLayout0 = {
    0x08, 0x01, 0x00, 0x00, 0x85, 0x21, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x03, 0x02,
    0x01, 0x0A, 0x44, 0x33, 0x22, 0x11, 0xDC, 0x05, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00,
    0x00, 0x00, 0x02, 0x01, 0x02, 0x00, 0x04, 0x02, 0xEE, 0xEE,  // id 2 = 4.2, two bytes skipped
    0x0B, 0x00, 0x04, 0x00, 0xEE, 0xEE,                          // id 11 = 4.0
    0x08, 0x03, 0x01,                                            // service 8 = (3, 1)
    0x05, 'R',  'a',  'c',  'k',  '1',
};

// A node-status long form of the same device from application 9, protocol 3.1,
// total length 83.
const Bytes kNodeStatus = {
    0x08, 0x01, 0x03, 0x01, 0x09, 0x00, 0x00, 0x00, 0x53, 0x00, 0x00, 0x00,  // header
    0x85, 0x21, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x03, 0x02, 0x01, 0x0A, 0x44, 0x33, 0x22,
    0x11, 0xDC, 0x05, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00,
    0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x02, 0x01, 0x02, 0x00, 0x04,
    0x02, 0x07, 0x09, 0x01, 0x2C, 0x01, 0x0B, 0x00, 0x04, 0x00, 0x0E, 0x00, 0x00, 0x05, 0x00,
    0x08, 0x03, 0x01, 0x02, 0x00, 0x05, 'R',  'a',  'c',  'k',  '1',
};

void ExpectStatusBlock(const StatusReport& s) {
    EXPECT_EQ(s.deviceType, 0x2185);
    EXPECT_EQ(s.mac, (std::array<uint8_t, 6>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(s.ipAddress, 0x0A010203u);
    EXPECT_EQ(s.session, 0x11223344u);
    EXPECT_EQ(s.interval, 1500u);
    EXPECT_EQ(s.statusWords[0], 7u);
}

void ExpectLongPart(const StatusReport& s) {
    EXPECT_TRUE(s.longForm);
    EXPECT_EQ(s.statusWords, (std::array<uint32_t, 5>{7, 1, 2, 3, 4}));
    EXPECT_EQ(s.name, "Rack1");
}

TEST(StatusPacketsTest, LegacyLayout1Golden) {
    StatusReport s;
    ASSERT_EQ(DecodeLegacyStatus(kLegacyLayout1, s), StatusError::None);
    ExpectStatusBlock(s);
    ExpectLongPart(s);
    EXPECT_EQ(s.headerByte2, 1);
    EXPECT_EQ(s.appId, 1);
    ASSERT_EQ(s.versions.size(), 2u);
    EXPECT_EQ(s.versions[0], (DeviceVersion{2, 4, 2, 7, 9, 1, 300}));
    EXPECT_EQ(s.versions[1], (DeviceVersion{11, 4, 0, 14, 0, 0, 5}));
    ASSERT_EQ(s.services.size(), 1u);
    EXPECT_EQ(s.services[0], (ServiceRecord{8, 3, 1, 2}));
}

TEST(StatusPacketsTest, LegacyLayout0ReadsOnlyMajorAndMinor) {
    StatusReport s;
    ASSERT_EQ(DecodeLegacyStatus(kLegacyLayout0, s), StatusError::None);
    ExpectStatusBlock(s);
    ExpectLongPart(s);
    ASSERT_EQ(s.versions.size(), 2u);
    EXPECT_EQ(s.versions[0], (DeviceVersion{2, 4, 2, 0, 0, 0, 0}));
    EXPECT_EQ(s.versions[1], (DeviceVersion{11, 4, 0, 0, 0, 0, 0}));
    ASSERT_EQ(s.services.size(), 1u);
    EXPECT_EQ(s.services[0], (ServiceRecord{8, 3, 1, 0}));
}

// Devices that pad their datagrams, and short forms longer than 36 bytes, are listed.
TEST(StatusPacketsTest, NodeStatusPaddedAndLongShortForms) {
    Bytes padded = kNodeStatus;
    padded.insert(padded.end(), 17, 0x00);  // 100 bytes, the length field still 83
    StatusReport s;
    ASSERT_EQ(DecodeNodeStatus(padded, s), StatusError::None);
    ExpectStatusBlock(s);
    ExpectLongPart(s);

    Bytes shortForm(kNodeStatus.begin(), kNodeStatus.begin() + 44);
    shortForm[1] = 0;     // regular form
    shortForm[8] = 0x2C;  // 44 bytes: eight after the status block
    ASSERT_EQ(DecodeNodeStatus(shortForm, s), StatusError::None);
    ExpectStatusBlock(s);
    EXPECT_FALSE(s.longForm);
    EXPECT_EQ(s.name, "");
}

TEST(StatusPacketsTest, NodeStatusGolden) {
    StatusReport s;
    ASSERT_EQ(DecodeNodeStatus(kNodeStatus, s), StatusError::None);
    ExpectStatusBlock(s);
    ExpectLongPart(s);
    EXPECT_EQ(s.headerByte2, 3);
    EXPECT_EQ(s.headerByte3, 1);
    EXPECT_EQ(s.appId, 9);
    ASSERT_EQ(s.versions.size(), 2u);
    EXPECT_EQ(s.versions[0], (DeviceVersion{2, 4, 2, 7, 9, 1, 300}));
    EXPECT_EQ(s.versions[1], (DeviceVersion{11, 4, 0, 14, 0, 0, 5}));
    ASSERT_EQ(s.services.size(), 1u);
    EXPECT_EQ(s.services[0], (ServiceRecord{8, 3, 1, 2}));
}

struct Mutation {
    const char* what;
    size_t offset;
    uint8_t value;
    StatusError error;  // None: read, then checked by `check`
    void (*check)(const StatusReport&);
};

void RunMutations(const Bytes& golden,
                  StatusError (*decode)(std::span<const uint8_t>, StatusReport&),
                  std::initializer_list<Mutation> mutations) {
    for (const Mutation& m : mutations) {
        Bytes p = golden;
        p.at(m.offset) = m.value;
        StatusReport s;
        EXPECT_EQ(decode(p, s), m.error) << m.what;
        if (m.error == StatusError::None && m.check)
            m.check(s);
    }
}

TEST(StatusPacketsTest, LegacySingleFieldMutations) {
    RunMutations(kLegacyLayout1, DecodeLegacyStatus,
                 {
                     {"protocol", 0, 9, StatusError::WrongProtocol, nullptr},
                     {"form 0 is short", 1, 0, StatusError::None,
                      [](const StatusReport& s) {
                          EXPECT_FALSE(s.longForm);
                          EXPECT_TRUE(s.versions.empty());
                          EXPECT_EQ(s.statusWords[1], 0u);
                          EXPECT_EQ(s.name, "");
                      }},
                     {"form 2 is short", 1, 2, StatusError::None,
                      [](const StatusReport& s) { EXPECT_FALSE(s.longForm); }},
                     {"layout flag 2", 2, 2, StatusError::BadLayoutFlag, nullptr},
                     {"layout flag 0xFF", 2, 0xFF, StatusError::BadLayoutFlag, nullptr},
                     // Layout 0 over 9-byte records: 6-byte versions, 3-byte services, and the name
                     // length comes from inside the records (a 0 at offset 61).
                     {"layout flag 0 on layout-1 records", 2, 0, StatusError::None,
                      [](const StatusReport& s) {
                          EXPECT_EQ(s.versions.at(0), (DeviceVersion{2, 4, 2, 0, 0, 0, 0}));
                          EXPECT_EQ(s.name, "");
                      }},
                     {"byte 3 is kept", 3, 0x42, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.headerByte3, 0x42); }},
                     {"device type", 5, 0x20, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.deviceType, 0x2085); }},
                     {"MAC", 11, 0x5F, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.mac[5], 0x5F); }},
                     {"IP first octet", 15, 192, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.ipAddress, 0xC0010203u); }},
                     {"session", 16, 0x45, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.session, 0x11223345u); }},
                     {"interval", 21, 0x00, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.interval, 0xDCu); }},
                     {"status word 4", 43, 0x80, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.statusWords[4], 0x80000004u); }},
                     {"one version more", 44, 3, StatusError::EndsEarly, nullptr},
                     {"one service more", 45, 2, StatusError::EndsEarly, nullptr},
                     {"build of id 11", 62, 0x06, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.versions[1].build, 6); }},
                     {"name one byte longer", 69, 6, StatusError::EndsEarly, nullptr},
                     {"name one byte shorter", 69, 4, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.name, "Rack"); }},
                     {"name length 0", 69, 0, StatusError::None,
                      [](const StatusReport& s) { EXPECT_EQ(s.name, ""); }},
                 });
}

TEST(StatusPacketsTest, NodeStatusSingleFieldMutations) {
    RunMutations(
        kNodeStatus, DecodeNodeStatus,
        {
            {"protocol", 0, 9, StatusError::WrongProtocol, nullptr},
            {"form 0 is short", 1, 0, StatusError::None,
             [](const StatusReport& s) {
                 EXPECT_FALSE(s.longForm);
                 EXPECT_TRUE(s.versions.empty());
                 EXPECT_EQ(s.name, "");
             }},
            {"form 2 is short", 1, 2, StatusError::None,
             [](const StatusReport& s) { EXPECT_FALSE(s.longForm); }},
            {"a form the protocol does not define is short", 1, 3, StatusError::None,
             [](const StatusReport& s) {
                 EXPECT_FALSE(s.longForm);
                 EXPECT_EQ(s.deviceType, 0x2185);
             }},
            {"version major 2", 2, 2, StatusError::BadVersionMajor, nullptr},
            {"version minor 7 is handled", 3, 7, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.headerByte3, 7); }},
            {"source application", 4, 52, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.appId, 52); }},
            {"destination application is not read", 5, 3, StatusError::None, nullptr},
            {"reserved is not read", 6, 1, StatusError::None, nullptr},
            {"total length longer than the datagram", 8, 0x54, StatusError::BadLength, nullptr},
            {"total length shorter than the datagram", 8, 0x52, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.name, "Rack1"); }},
            {"total length over 16 bits", 10, 0x01, StatusError::BadLength, nullptr},
            {"device type", 13, 0x20, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.deviceType, 0x2085); }},
            {"MAC", 19, 0x5F, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.mac[5], 0x5F); }},
            {"IP first octet", 23, 192, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.ipAddress, 0xC0010203u); }},
            {"session", 24, 0x45, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.session, 0x11223345u); }},
            {"interval", 29, 0x00, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.interval, 0xDCu); }},
            {"status word 0", 32, 0x08, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.statusWords[0], 8u); }},
            {"status word 4", 51, 0x80, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.statusWords[4], 0x80000004u); }},
            {"one version more", 52, 3, StatusError::EndsEarly, nullptr},
            {"one service more", 53, 2, StatusError::EndsEarly, nullptr},
            {"id of the first version", 54, 5, StatusError::None,
             [](const StatusReport& s) { EXPECT_EQ(s.versions[0].id, 5); }},
            {"name one byte longer", 77, 6, StatusError::EndsEarly, nullptr},
        });
}

TEST(StatusPacketsTest, DatagramsThatEndEarlyAreRefused) {
    // Every cut of the long forms; the node-status cuts also carry their own length, so
    // only the counts and the name can run past the end.
    for (size_t n = 0; n < kLegacyLayout1.size(); ++n) {
        StatusReport s;
        EXPECT_EQ(DecodeLegacyStatus(std::span(kLegacyLayout1).first(n), s), StatusError::EndsEarly)
            << n;
    }
    for (size_t n = 0; n < kNodeStatus.size(); ++n) {
        Bytes cut(kNodeStatus.begin(), kNodeStatus.begin() + static_cast<long>(n));
        if (n >= 12)
            cut[8] = static_cast<uint8_t>(n);
        StatusReport s;
        EXPECT_NE(DecodeNodeStatus(cut, s), StatusError::None) << n;
    }
    // A short form needs its 28 (older) or 36 (node status) bytes and no more.
    Bytes shortLegacy(kLegacyLayout1.begin(), kLegacyLayout1.begin() + 28);
    shortLegacy[1] = 0;
    StatusReport s;
    EXPECT_EQ(DecodeLegacyStatus(shortLegacy, s), StatusError::None);
    EXPECT_EQ(DecodeLegacyStatus(std::span(shortLegacy).first(27), s), StatusError::EndsEarly);
    Bytes shortNode(kNodeStatus.begin(), kNodeStatus.begin() + 36);
    shortNode[1] = 0;
    shortNode[8] = 36;
    EXPECT_EQ(DecodeNodeStatus(shortNode, s), StatusError::None);
}

TEST(StatusPacketsTest, ParsingFillsTheRecordOrLeavesItAlone) {
    CDeviceRecord r;
    ParseResult result = ParseNodeStatus(r, kNodeStatus);
    ASSERT_EQ(result.error, StatusError::None);
    EXPECT_TRUE(result.sessionChanged);
    EXPECT_TRUE(r.HasLongForm());
    EXPECT_EQ(r.GetAppId(), 9);
    EXPECT_EQ(r.GetHeaderByte2(), 3);
    EXPECT_EQ(r.GetHeaderByte3(), 1);
    EXPECT_EQ(r.GetDeviceType(), 0x2185);
    EXPECT_EQ(r.GetMac(), VavMacAddress("0:1a:2b:3c:4d:5e"));
    EXPECT_EQ(r.GetStatusWord(4), 4u);
    EXPECT_EQ(r.GetVersions().at(11).patch, 14);
    EXPECT_EQ(r.GetServiceRecords().at(8).third, 2);
    EXPECT_EQ(r.GetName(), "Rack1");

    // The same packet again: same session, nothing changed.
    r.ClearChanged();
    result = ParseNodeStatus(r, kNodeStatus);
    EXPECT_FALSE(result.sessionChanged);
    EXPECT_FALSE(r.IsChanged());

    // A refused packet touches nothing.
    Bytes bad = kNodeStatus;
    bad[77] = 6;
    bad[24] = 0x99;
    EXPECT_EQ(ParseNodeStatus(r, bad).error, StatusError::EndsEarly);
    EXPECT_EQ(r.GetSessionValue(), 0x11223344u);
    EXPECT_FALSE(r.IsChanged());
}

TEST(StatusPacketsTest, EmptyNamesStoreFifteenBlanks) {
    const std::string blanks(15, ' ');
    struct Case {
        const char* what;
        Bytes name;  // length byte and bytes
    };
    const Case cases[] = {
        {"length 0", {0}},
        {"one NUL byte", {1, 0}},
        {"NUL bytes only", {3, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Bytes p(kLegacyLayout1.begin(), kLegacyLayout1.begin() + 69);
        for (uint8_t b : c.name) p.push_back(b);
        CDeviceRecord r;
        ASSERT_EQ(ParseLegacyStatus(r, p).error, StatusError::None) << c.what;
        EXPECT_EQ(r.GetName(), blanks) << c.what;
    }
    // Only the long form carries a name: a short form leaves it empty.
    Bytes shortForm(kLegacyLayout1.begin(), kLegacyLayout1.begin() + 28);
    shortForm[1] = 0;
    CDeviceRecord r;
    ASSERT_EQ(ParseLegacyStatus(r, shortForm).error, StatusError::None);
    EXPECT_EQ(r.GetName(), "");
    EXPECT_FALSE(r.HasLongForm());
}

TEST(StatusPacketsTest, DiscoveryRequests) {
    const uint8_t mac[6] = {0x02, 0x18, 0x00, 0x00, 0x00, 0x01};
    const auto legacy = BuildLegacyRequest(1, mac, 0xC6120001, 0x01020304);
    const Bytes legacyExpected = {
        0x08, 0x00, 0x01, 0x00, 0x41, 0x58, 0x02, 0x18, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00,
        0x12, 0xC6, 0x04, 0x03, 0x02, 0x01, 0xDC, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    EXPECT_EQ(Bytes(legacy.begin(), legacy.end()), legacyExpected);

    const auto node = BuildNodeStatusRequest(mac, 0xC6120001, 0x01020304);
    const Bytes nodeExpected = {
        0x08, 0x02, 0x03, 0x00, 0x34, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00,
        0x41, 0x58, 0x02, 0x18, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, 0x12, 0xC6,
        0x04, 0x03, 0x02, 0x01, 0xDC, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    };
    EXPECT_EQ(Bytes(node.begin(), node.end()), nodeExpected);

    // Each protocol's engine reads its own request back as a short form.
    StatusReport s;
    ASSERT_EQ(DecodeNodeStatus(nodeExpected, s), StatusError::None);
    EXPECT_FALSE(s.longForm);
    EXPECT_EQ(s.deviceType, 0x5841);
    ASSERT_EQ(DecodeLegacyStatus(legacyExpected, s), StatusError::None);
    EXPECT_FALSE(s.longForm);
}

}  // namespace
