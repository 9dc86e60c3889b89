#include <gtest/gtest.h>

#include "RccTestBytes.h"
#include "rcc/RccBody.h"
#include "rcc/RccCallPdu.h"

namespace {

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes kNode = {0x05, 0, 0, 0, 'N', 'o', 'd', 'e', 0};
const Bytes kU32One = {0x03, 0, 0, 0, 0x01, 0, 0, 0};

RccPduHeader Request(uint32_t interfaceId, uint32_t methodId) {
    RccPduHeader header;
    header.sourceAppId = 9;
    header.destinationAppId = 5;
    header.sequence = 0x01020304;
    header.interfaceId = interfaceId;
    header.methodId = methodId;
    return header;
}

// Header bytes of a request from application 9 to 5 with sequence 0x01020304.
Bytes RequestHeader(uint8_t length, uint8_t interfaceId, uint8_t methodId) {
    return {0x09, 0x01, 0x03, 0x00, 0x09,        0x05, 0x00, 0x00, length,   0, 0, 0,
            0x04, 0x03, 0x02, 0x01, interfaceId, 0,    0,    0,    methodId, 0, 0, 0};
}

Bytes Build(uint32_t interfaceId, uint32_t methodId, const std::vector<CRccArg>& in,
            const IOMTransactionList* list = nullptr) {
    const CMethodSignature* signature = getSignatureRegistry().getSignature(interfaceId, methodId);
    EXPECT_NE(signature, nullptr);
    CRccBuffer buffer;
    EXPECT_EQ(RccBuildRequest(buffer, Request(interfaceId, methodId), *signature, in, list),
              RCC_S_OK);
    return BufferBytes(buffer);
}

TEST(RccRequestTest, RequestsAreByteExact) {
    std::string node = "Node", name = "Name", n = "N", p = "p", reboot = "reboot", f = "f";
    CRccValue one = CRccValue::ofU32(1);
    CRccValue ports = CRccValue::of<RCC_ARRAY | RCC_U16>({7});
    uint32_t subhandle = 1, address = 0xC0A80114, start = 2, count = 3, offset = 0x100;
    uint8_t appId = 129, yes = 1;
    uint16_t port = 36507;
    std::vector<CRccValue> noArgs;

    EXPECT_EQ(
        Build(2, 0, {{0x00800009, &node}, {0x0080000A, &one}, {0x00800009, &name}}),
        Cat({RequestHeader(50, 2, 0), kNode, kU32One, {0x05, 0, 0, 0, 'N', 'a', 'm', 'e', 0}}));
    EXPECT_EQ(
        Build(2, 7,
              {{0x03, &subhandle},
               {0x00800003, &address},
               {0x00800001, &appId},
               {0x00800002, &port}}),
        Cat({RequestHeader(35, 2, 7), {0x01, 0, 0, 0, 0x14, 0x01, 0xA8, 0xC0, 0x81, 0x9B, 0x8E}}));
    EXPECT_EQ(Build(2, 5,
                    {{0x00800009, &n},
                     {0x0080000A, &one},
                     {0x00800009, &p},
                     {0x00800003, &start},
                     {0x00800003, &count},
                     {0x0080000A, &ports},
                     {0x00800008, &yes}}),
              Cat({RequestHeader(63, 2, 5),
                   {0x02, 0, 0, 0, 'N', 0},
                   kU32One,
                   {0x02, 0, 0, 0, 'p', 0},
                   {0x02, 0, 0, 0, 0x03, 0, 0, 0},
                   {0x02, 0, 0, 0x08, 0x01, 0, 0, 0, 0x07, 0},
                   {0x01}}));
    EXPECT_EQ(Build(2, 6,
                    {{0x00800009, &node},
                     {0x0080000A, &one},
                     {0x00800009, &reboot},
                     {0x0880000A, &noArgs}}),
              Cat({RequestHeader(24 + 9 + 8 + 11 + 4, 2, 6),
                   kNode,
                   kU32One,
                   {0x07, 0, 0, 0, 'r', 'e', 'b', 'o', 'o', 't', 0},
                   {0, 0, 0, 0}}));
    // A method without inputs is the header alone.
    EXPECT_EQ(Build(1, 0, {}), RequestHeader(24, 1, 0));
    // The file service's records carry ids 0 and 0; the header carries the call's ids.
    EXPECT_EQ(Build(4, 9, {{0x00800009, &f}, {0x00800003, &offset}}),
              Cat({RequestHeader(34, 4, 9), {0x02, 0, 0, 0, 'f', 0, 0x00, 0x01, 0, 0}}));
}

TEST(RccRequestTest, TransactionListBodyKeepsPropertyOrder) {
    IOMTransactionList list;
    list.listTag = 0x11;
    IOMTransaction& node = list.transactions.emplace_back("Node", CRccValue::ofU32(1));
    node.properties.emplace_back("b", CRccValue::ofU8(5));
    node.properties.emplace_back("a", CRccValue::ofBool(true));
    Bytes body = Cat({{0x11, 0, 0, 0, 0, 0, 0, 0, 0x01, 0},
                      kNode,
                      kU32One,
                      {0x02, 0},
                      {0x02, 0, 0, 0, 'b', 0, 0x01, 0, 0, 0, 0x05},
                      {0x02, 0, 0, 0, 'a', 0, 0x08, 0, 0, 0, 0x01}});
    EXPECT_EQ(Build(2, 10, {}, &list),
              Cat({RequestHeader(static_cast<uint8_t>(24 + body.size()), 2, 10), body}));

    list.flags = 1;
    list.subhandle = 7;
    list.hresult = -2;
    list.missedNotification = true;
    Bytes notified =
        Cat({{0x11, 0, 0, 0, 0x01, 0, 0, 0, 0x07, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0x01},
             Bytes(body.begin() + 8, body.end())});
    EXPECT_EQ(Build(3, 3, {}, &list),
              Cat({RequestHeader(static_cast<uint8_t>(24 + notified.size()), 3, 3), notified}));

    CRccBuffer buffer;
    Fill(buffer, notified);
    IOMTransactionList read;
    ASSERT_EQ(RccReadTransactionList(buffer, read), RccDecodeError::None);
    EXPECT_EQ(read, list);
}

TEST(RccRequestTest, TooLongTransactionListIsRefused) {
    IOMTransactionList list;
    list.transactions.resize(65536);
    CRccBuffer buffer;
    EXPECT_EQ(RccBuildRequest(buffer, Request(2, 9), *getSignatureRegistry().getSignature(2, 9), {},
                              &list),
              RCC_E_OUT_OF_MEMORY);
}

class RccReplyTest : public ::testing::Test {
protected:
    // A reply from 5 to 9 to the getProp request above, with status and body.
    static Bytes Reply(uint32_t status, const Bytes& body) {
        Bytes reply = {0x09,
                       0x02,
                       0x03,
                       0x00,
                       0x05,
                       0x09,
                       0x00,
                       0x00,
                       0,
                       0,
                       0,
                       0,
                       0x04,
                       0x03,
                       0x02,
                       0x01,
                       0x02,
                       0,
                       0,
                       0,
                       0x00,
                       0,
                       0,
                       0,
                       static_cast<uint8_t>(status),
                       static_cast<uint8_t>(status >> 8),
                       static_cast<uint8_t>(status >> 16),
                       static_cast<uint8_t>(status >> 24)};
        reply.insert(reply.end(), body.begin(), body.end());
        reply[8] = static_cast<uint8_t>(reply.size());
        return reply;
    }

    RccReplyError Read(const Bytes& bytes) {
        CRccBuffer buffer;
        Fill(buffer, bytes);
        return RccReadReply(buffer, Request(2, 0), *getSignatureRegistry().getSignature(2, 0),
                            {{0x0A, &value}}, nullptr, status);
    }

    CRccValue value = CRccValue::ofString("untouched");
    uint32_t status = 0;
};

TEST_F(RccReplyTest, ReadsStatusAndOutputs) {
    ASSERT_EQ(Read(Reply(RCC_S_OK, {0x09, 0, 0, 0, 0x02, 0, 0, 0, 'x', 0})), RccReplyError::None);
    EXPECT_EQ(status, RCC_S_OK);
    EXPECT_EQ(value, CRccValue::ofString("x"));
}

TEST_F(RccReplyTest, StatusWithoutBodyLeavesOutputs) {
    Bytes reply = Reply(RCC_E_UNKNOWN_INTERFACE, {});
    EXPECT_EQ(reply.size(), 28u);
    ASSERT_EQ(Read(reply), RccReplyError::None);
    EXPECT_EQ(status, RCC_E_UNKNOWN_INTERFACE);
    EXPECT_EQ(value, CRccValue::ofString("untouched"));
}

TEST_F(RccReplyTest, HeaderChecks) {
    Bytes good = Reply(RCC_S_OK, {});
    struct Case {
        const char* what;
        size_t offset;
        uint8_t byte;
        bool accepted;
    } cases[] = {
        {"minor version 1", 3, 0x01, true},
        {"other source application", 4, 0x77, true},
        {"other destination application", 5, 0x66, true},
        {"reserved word set", 6, 0xFF, true},
        {"protocol id", 0, 0x08, false},
        {"PDU type request", 1, 0x01, false},
        {"major version 2", 2, 0x02, false},
        {"length one too short", 8, 27, false},
        {"length one too long", 8, 29, false},
        {"sequence", 12, 0x05, false},
        {"interface", 16, 0x03, false},
        {"method", 20, 0x01, false},
    };
    for (const Case& c : cases) {
        Bytes bytes = good;
        bytes[c.offset] = c.byte;
        EXPECT_EQ(Read(bytes) == RccReplyError::None, c.accepted) << c.what;
    }
    // A header without its status word is not a reply.
    Bytes noStatus(good.begin(), good.begin() + 24);
    noStatus[8] = 24;
    EXPECT_EQ(Read(noStatus), RccReplyError::HeaderMismatch);
}

TEST_F(RccReplyTest, BodyThatEndsBeforeTheOutputIsAFailure) {
    // The text claims 9 bytes where 2 follow.
    EXPECT_EQ(Read(Reply(RCC_S_OK, {0x09, 0, 0, 0, 0x09, 0, 0, 0, 'x', 0})),
              RccReplyError::BadBody);
    // The variant's type code alone.
    EXPECT_EQ(Read(Reply(RCC_S_OK, {0x09, 0, 0, 0})), RccReplyError::BadBody);
}

TEST_F(RccReplyTest, BytesAfterTheOutputsAreIgnored) {
    // A newer node appends outputs: variant STR "x", then a U32 and a byte the
    // signature does not name. The named output is taken; the status is the node's.
    const Bytes extra = {0x09, 0, 0, 0, 0x02, 0, 0, 0, 'x', 0, 0x78, 0x56, 0x34, 0x12, 0xEE};
    struct Case {
        uint32_t status;
    } cases[] = {{RCC_S_OK}, {0x812C0027}, {RCC_E_UNKNOWN_METHOD}};
    for (const Case& c : cases) {
        value = CRccValue::ofString("untouched");
        ASSERT_EQ(Read(Reply(c.status, extra)), RccReplyError::None) << std::hex << c.status;
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(value, CRccValue::ofString("x"));
    }
}

}  // namespace
