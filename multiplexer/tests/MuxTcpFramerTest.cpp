// Framing a TCP stream by the 12-byte header: split, coalesced, and lying lengths.
#include "multiplexer/MuxTcpFramer.h"

#include <gtest/gtest.h>

#include <vector>

namespace mux {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A message of `total` bytes: header {9, 1, 3, 0, src 7, dst 130, 0, 0, total LE}, then a pattern.
Bytes Message(std::uint32_t total, std::uint8_t seed) {
    Bytes m{9, 1, 3, 0, 7, 130, 0, 0};
    for (int i = 0; i < 4; ++i) m.push_back(static_cast<std::uint8_t>(total >> (8 * i)));
    while (m.size() < total) m.push_back(static_cast<std::uint8_t>(seed + m.size()));
    return m;
}

// Feeds the stream in pieces of `piece` bytes and collects the messages.
std::vector<Bytes> Frame(const Bytes& stream, std::size_t piece) {
    MuxTcpFramer framer;
    std::vector<Bytes> out;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        std::span<const std::uint8_t> in(stream.data() + at, std::min(piece, stream.size() - at));
        while (framer.Feed(in) == MuxTcpFramer::Status::Message) {
            MuxEntry e = framer.Take();
            out.emplace_back(e.begin() + kMuxDescriptorSize, e.end());
        }
        EXPECT_TRUE(in.empty());
    }
    return out;
}

TEST(MuxTcpFramer, MessagesSurviveAnySplitOrCoalescing) {
    std::vector<Bytes> sent{Message(12, 0), Message(13, 1), Message(700, 2), Message(40000, 3)};
    Bytes stream;
    for (const Bytes& m : sent) stream.insert(stream.end(), m.begin(), m.end());
    for (std::size_t piece :
         {std::size_t{1}, std::size_t{5}, std::size_t{12}, std::size_t{4096}, stream.size()}) {
        EXPECT_EQ(Frame(stream, piece), sent) << "piece " << piece;
    }
}

TEST(MuxTcpFramer, PendingMessageHoldsBackTheRestOfTheStream) {
    Bytes stream = Message(20, 0);
    Bytes second = Message(30, 1);
    stream.insert(stream.end(), second.begin(), second.end());
    MuxTcpFramer framer;
    std::span<const std::uint8_t> in(stream);
    ASSERT_EQ(framer.Feed(in), MuxTcpFramer::Status::Message);
    EXPECT_EQ(in.size(), 30u);
    ASSERT_EQ(framer.Feed(in), MuxTcpFramer::Status::Message);  // still the first, nothing taken
    EXPECT_EQ(in.size(), 30u);
    EXPECT_EQ(framer.PendingEntry().size(), kMuxDescriptorSize + 20);
    framer.Take();
    ASSERT_EQ(framer.Feed(in), MuxTcpFramer::Status::Message);
    EXPECT_EQ(framer.Take().size(), kMuxDescriptorSize + 30);
}

TEST(MuxTcpFramer, LengthOutsideTwelveToOneMebibyteIsRefused) {
    struct Case {
        std::uint32_t length;
        bool accepted;
    };
    for (Case c : {Case{0, false}, Case{11, false}, Case{12, true}, Case{1u << 20, true},
                   Case{(1u << 20) + 1, false}, Case{0xFFFFFFFF, false}}) {
        Bytes header = Message(12, 0);
        for (int i = 0; i < 4; ++i) header[8 + i] = static_cast<std::uint8_t>(c.length >> (8 * i));
        MuxTcpFramer framer;
        std::span<const std::uint8_t> in(header);
        auto status = framer.Feed(in);
        EXPECT_EQ(status == MuxTcpFramer::Status::BadLength, !c.accepted) << c.length;
        if (!c.accepted) {  // the stream stays refused
            Bytes good = Message(12, 0);
            std::span<const std::uint8_t> more(good);
            EXPECT_EQ(framer.Feed(more), MuxTcpFramer::Status::BadLength);
        }
    }
}

}  // namespace
}  // namespace mux
