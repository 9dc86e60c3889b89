// The local-call wire: frames byte-exact, every method round-trips, damaged bodies refused.
#include "multiplexer/TravexRpc.h"

#include <gtest/gtest.h>

#include <vector>

namespace mux {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::span<const std::uint8_t> Body(const Bytes& frame) {
    return {frame.data() + 4, frame.size() - 4};
}

TEST(TravexRpc, CallAndReplyFramesAreByteExact) {
    TravexCall startup{7, TravexMethod::startup, {}};
    startup.in.useWire = 1;
    startup.in.mcqSize = 100;
    startup.in.tcpqSize = 100;
    Bytes frame;
    ASSERT_EQ(EncodeCall(startup, frame), RpcError::None);
    EXPECT_EQ(frame,
              (Bytes{0x12, 0, 0, 0, 7, 0, 0, 0, 2, 0, 1, 0, 0, 0, 0x64, 0, 0, 0, 0x64, 0, 0, 0}));

    TravexCall send{1, TravexMethod::TCPSendBuffer, {}};
    send.in.conn = 0x100000;
    send.in.timeout = 5000;
    send.in.len = 40;
    send.in.name = "TCPSend1000001";
    ASSERT_EQ(EncodeCall(send, frame), RpcError::None);
    Bytes want{0x20, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0x10, 0, 0x88, 0x13, 0, 0, 40, 0, 0, 0, 14};
    for (char c : std::string("TCPSend1000001")) want.push_back(static_cast<std::uint8_t>(c));
    EXPECT_EQ(frame, want);

    TravexReply get{0x01020304, TravexMethod::TCPGetPacket, MUX_E_BUFFER_TOO_SMALL, {}};
    get.out.len = 0x30;
    ASSERT_EQ(EncodeReply(get, frame), RpcError::None);
    EXPECT_EQ(frame, (Bytes{0x11, 0,    0,    0, 4, 3, 2, 1, 10, 0x66, 0,
                            0xE8, 0x83, 0x30, 0, 0, 0, 0, 0, 0,  0}));
}

TEST(TravexRpc, EveryMethodRoundTripsItsOwnFields) {
    TravexValues all;
    all.appid = 130;
    all.appid2 = 9;
    all.addr = 0xC6120002;
    all.port = 36507;
    all.conn = 0x1100002;
    all.timeout = 10000;
    all.len = 32768;
    all.nextLen = 77;
    all.useWire = 1;
    all.mcqSize = 100;
    all.tcpqSize = 50;
    all.name = "MCGet1303";
    for (int id = 1; id <= kTravexMethodCount; ++id) {
        auto method = static_cast<TravexMethod>(id);
        Bytes frame;
        TravexCall call{static_cast<std::uint32_t>(id), method, all};
        ASSERT_EQ(EncodeCall(call, frame), RpcError::None);
        TravexCall back;
        ASSERT_EQ(DecodeCall(Body(frame), back), RpcError::None) << id;
        EXPECT_EQ(back.method, method);
        EXPECT_EQ(back.callId, static_cast<std::uint32_t>(id));

        TravexReply reply{99, method, MUX_S_OK, all};
        ASSERT_EQ(EncodeReply(reply, frame), RpcError::None);
        TravexReply rback;
        ASSERT_EQ(DecodeReply(Body(frame), rback), RpcError::None) << id;
        EXPECT_EQ(rback.status, MUX_S_OK);
    }
    // The fields a method carries survive; the others stay at their defaults.
    TravexCall open{5, TravexMethod::TCPOpen, all}, back;
    Bytes frame;
    EncodeCall(open, frame);
    DecodeCall(Body(frame), back);
    TravexValues want;
    want.appid = 130;
    want.addr = 0xC6120002;
    want.port = 36507;
    want.appid2 = 9;
    want.timeout = 10000;
    EXPECT_EQ(back.in, want);
}

TEST(TravexRpc, DamagedBodiesAreRefusedByName) {
    TravexCall call{3, TravexMethod::MulticastSendTo, {}};
    call.in.name = "MCSend1305";
    Bytes frame;
    EncodeCall(call, frame);
    Bytes body(frame.begin() + 4, frame.end());
    TravexCall out;
    for (std::size_t cut = 0; cut < body.size(); ++cut)
        EXPECT_EQ(DecodeCall(std::span(body.data(), cut), out), RpcError::Truncated) << cut;
    Bytes longer = body;
    longer.push_back(0);
    EXPECT_EQ(DecodeCall(longer, out), RpcError::Trailing);
    for (std::uint8_t bad : {0, 15, 255}) {
        Bytes b = body;
        b[4] = bad;
        EXPECT_EQ(DecodeCall(b, out), RpcError::BadMethod);
    }
    call.in.name.assign(256, 'x');
    EXPECT_EQ(EncodeCall(call, frame), RpcError::NameTooLong);
}

TEST(TravexRpc, FrameReaderSplitsAndJoinsTheStream) {
    Bytes stream;
    for (std::uint32_t id = 1; id <= 3; ++id) {
        Bytes frame;
        EncodeCall({id, TravexMethod::shutdown, {}}, frame);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    RpcFrameReader reader;
    std::vector<std::uint32_t> ids;
    Bytes body;
    for (std::uint8_t byte : stream) {  // one byte at a time
        reader.Feed(std::span(&byte, 1));
        while (reader.Next(body)) {
            TravexCall c;
            ASSERT_EQ(DecodeCall(body, c), RpcError::None);
            ids.push_back(c.callId);
        }
    }
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{1, 2, 3}));

    for (Bytes bad : {Bytes{0, 0, 0, 0}, Bytes{0x01, 0x02, 0, 0}}) {  // 0 and 513
        RpcFrameReader r;
        r.Feed(bad);
        EXPECT_FALSE(r.Next(body));
        EXPECT_EQ(r.Error(), RpcError::BadFrameSize);
        EXPECT_FALSE(r.Feed(stream));
    }
}

}  // namespace
}  // namespace mux
