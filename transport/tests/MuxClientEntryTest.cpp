// An entry Travex copied into a receive mapping, read byte by byte into a packet.
#include "transport/MuxClientEntry.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using mux::MuxKind;
using xport::MuxEntryError;
using xport::ParseMuxEntry;

// Descriptor: remote 198.18.0.3 port 36507, local 198.18.0.2 port 49152, handle 0x100001;
// then a 14-byte message from application 7 to 128.
Bytes Entry(bool tcp) {
    Bytes e{0x03, 0x00, 0x12, 0xC6, 0x8E, 0x9B, 0,    0, 0x02, 0x00, 0x12, 0xC6, 0xC0,
            0x00, 0,    0,    0x01, 0x00, 0x10, 0x00, 0, 0,    0,    0,    9,    0,
            3,    0,    7,    128,  0,    0,    14,   0, 0,    0,    0xAA, 0xBB};
    if (!tcp) {  // little-endian ports in multicast entries
        std::swap(e[4], e[5]);
        std::swap(e[12], e[13]);
    }
    return e;
}

TEST(MuxClientEntry, DescriptorAndMessageBecomeThePacket) {
    for (bool tcp : {true, false}) {
        XPortPacket p;
        const Bytes entry = Entry(tcp);
        ASSERT_EQ(ParseMuxEntry(tcp ? MuxKind::Tcp : MuxKind::Multicast, entry, 128, p),
                  MuxEntryError::None);
        EXPECT_EQ(p.remoteAddress, 0xC6120003u);
        EXPECT_EQ(p.remotePort, 36507);
        EXPECT_EQ(p.localAddress, 0xC6120002u);
        EXPECT_EQ(p.localPort, 49152);
        EXPECT_EQ(p.handle, 0x100001u);
        EXPECT_EQ(p.remoteAppId, 7);
        EXPECT_EQ(p.localAppId, 128);
        EXPECT_EQ(p.data, Bytes(entry.begin() + 24, entry.end()));
    }
}

TEST(MuxClientEntry, OnlyALengthBeyondTheEntryIsRefused) {
    XPortPacket p;
    Bytes e = Entry(true);
    EXPECT_EQ(ParseMuxEntry(MuxKind::Tcp, std::span(e).first(35), 128, p), MuxEntryError::Short);
    for (std::uint32_t length : {15u, 0x10000u + 14u, 0xFFFFFFFFu}) {
        Bytes bad = e;
        for (int i = 0; i < 4; ++i) bad[24 + 8 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        EXPECT_EQ(ParseMuxEntry(MuxKind::Tcp, bad, 128, p), MuxEntryError::LengthBeyondEntry)
            << length;
    }
}

TEST(MuxClientEntry, PaddingAfterTheMessageIsLeftOut) {
    struct Case {
        const char* what;
        std::uint8_t length;
        size_t padding;
        size_t packet;
    } cases[] = {
        {"four bytes of padding", 14, 4, 14},
        {"length field of the header alone", 12, 2, 12},
        {"length field below the header: taken whole", 3, 2, 16},
        {"length field 0: taken whole", 0, 0, 14},
    };
    for (const Case& c : cases) {
        Bytes e = Entry(false);
        e[24 + 8] = c.length;
        e.insert(e.end(), c.padding, 0xEE);
        XPortPacket p;
        ASSERT_EQ(ParseMuxEntry(MuxKind::Multicast, e, 128, p), MuxEntryError::None) << c.what;
        EXPECT_EQ(p.data, Bytes(e.begin() + 24, e.begin() + 24 + static_cast<long>(c.packet)))
            << c.what;
        EXPECT_EQ(p.remoteAppId, 7) << c.what;
    }
}

}  // namespace
