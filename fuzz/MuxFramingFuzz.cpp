// The multiplexer's framing of a TCP byte stream by the application header, and the
// local-call frames between a client and Travex. The first byte picks which; the next
// one the size of the pieces the stream arrives in. However the stream is cut, the same
// messages must come out, each equal to its bytes in the stream.
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "multiplexer/MuxTcpFramer.h"
#include "multiplexer/TravexRpc.h"

namespace {

struct Framed {
    std::vector<std::vector<uint8_t>> messages;
    bool bad = false;
};

// A small maximum lets inputs reach the length check from both sides.
constexpr uint32_t kFuzzMaxMessage = 2048;

Framed FrameMux(std::span<const uint8_t> stream, size_t piece) {
    Framed out;
    mux::MuxTcpFramer framer(kFuzzMaxMessage);
    while (!stream.empty() && !out.bad) {
        std::span<const uint8_t> in = stream.first(std::min(piece, stream.size()));
        const size_t offered = in.size();
        while (!in.empty() || framer.Pending()) {
            const auto status = framer.Feed(in);
            if (status == mux::MuxTcpFramer::Status::BadLength) {
                out.bad = true;
                break;
            }
            if (status == mux::MuxTcpFramer::Status::NeedMore) {
                FUZZ_CHECK(in.empty());
                break;
            }
            mux::MuxEntry entry = framer.Take();
            FUZZ_CHECK(entry.size() >= mux::kMuxDescriptorSize + XPORT_HEADER_LENGTH);
            FUZZ_CHECK(entry.size() <= mux::kMuxDescriptorSize + kFuzzMaxMessage);
            std::vector<uint8_t> message(entry.begin() + mux::kMuxDescriptorSize, entry.end());
            FUZZ_CHECK(XPortHdrGetLength(message.data()) == message.size());
            out.messages.push_back(std::move(message));
        }
        stream = stream.subspan(offered);
    }
    return out;
}

void CheckMux(std::span<const uint8_t> stream, size_t piece) {
    const Framed whole = FrameMux(stream, stream.size() ? stream.size() : 1);
    const Framed cut = FrameMux(stream, piece);
    FUZZ_CHECK(whole.bad == cut.bad);
    FUZZ_CHECK(whole.messages == cut.messages);
    size_t at = 0;
    for (const auto& m : whole.messages) {
        FUZZ_CHECK(std::equal(m.begin(), m.end(), stream.begin() + at));
        at += m.size();
    }
}

bool Same(const mux::TravexCall& a, const mux::TravexCall& b) {
    return a.callId == b.callId && a.method == b.method && a.in == b.in;
}
bool Same(const mux::TravexReply& a, const mux::TravexReply& b) {
    return a.callId == b.callId && a.method == b.method && a.status == b.status && a.out == b.out;
}

// What was read writes back, and reads again as the same values.
template <class T>
void CheckRoundTrip(const std::vector<uint8_t>& body,
                    mux::RpcError (*decode)(std::span<const uint8_t>, T&),
                    mux::RpcError (*encode)(const T&, std::vector<uint8_t>&)) {
    T value;
    if (decode(body, value) != mux::RpcError::None)
        return;
    std::vector<uint8_t> frame;
    FUZZ_CHECK(encode(value, frame) == mux::RpcError::None);
    FUZZ_CHECK(frame.size() >= 4);
    T again;
    FUZZ_CHECK(decode(std::span<const uint8_t>(frame).subspan(4), again) == mux::RpcError::None);
    FUZZ_CHECK(Same(value, again));
}

void CheckRpc(std::span<const uint8_t> stream, size_t piece) {
    mux::RpcFrameReader reader;
    std::vector<std::vector<uint8_t>> bodies;
    std::vector<uint8_t> body;
    bool alive = true;
    for (size_t at = 0; at < stream.size() && alive; at += piece) {
        alive = reader.Feed(stream.subspan(at, std::min(piece, stream.size() - at)));
        while (reader.Next(body)) {
            FUZZ_CHECK(!body.empty() && body.size() <= mux::kRpcMaxBody);
            bodies.push_back(body);
        }
    }
    FUZZ_CHECK(alive || reader.Error() != mux::RpcError::None);
    for (const auto& b : bodies) {
        CheckRoundTrip<mux::TravexCall>(b, mux::DecodeCall, mux::EncodeCall);
        CheckRoundTrip<mux::TravexReply>(b, mux::DecodeReply, mux::EncodeReply);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const bool rpc = input.Byte() & 1;
    const size_t piece = 1 + input.Byte() % 64;
    if (rpc)
        CheckRpc(input.Rest(), piece);
    else
        CheckMux(input.Rest(), piece);
    return 0;
}
