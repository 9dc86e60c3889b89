// The stored form of an OLE object, on an annotated golden buffer: read, written, every
// truncation refused, and one field changed at a time.
#include "grid/extras/GXOleObjectCodec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// "Bitmap Image" / "Paint.Picture" with a five-byte stream, laid out by hand from the form.
const std::vector<std::uint8_t> kGolden = {
    0x15, 0x1C,              // signature 0x1C15
    0x14, 0x00,              // header size 20
    0x02, 0x00, 0x00, 0x00,  // object type 2, embedded
    0x0D, 0x00,              // name length 12 + 1
    0x0E, 0x00,              // class length 13 + 1
    0x14, 0x00,              // name offset 20
    0x21, 0x00,              // class offset 20 + 13 = 33
    0xFF, 0xFF, 0xFF, 0xFF,  // reserved
    'B',  'i',  't',  'm',  'a',  'p', ' ', 'I', 'm', 'a', 'g', 'e', 0x00,        // 20..32
    'P',  'a',  'i',  'n',  't',  '.', 'P', 'i', 'c', 't', 'u', 'r', 'e',  0x00,  // 33..46
    0x01, 0x05, 0x00, 0x00, 0xAA,  // the OLE 1 stream, 47..51
    0x00, 0x00, 0x00, 0x00,        // trailer
};

TEST(OleObjectCodec, ReadsTheGoldenBuffer) {
    const GXOleDecodeResult r = GXDecodeOleObject(kGolden);
    ASSERT_TRUE(r.ok()) << GXOleDecodeErrorName(r.error);
    EXPECT_EQ(r.object.userTypeName, "Bitmap Image");
    EXPECT_EQ(r.object.progId, "Paint.Picture");
    EXPECT_EQ(r.object.objectType, 2u);
    EXPECT_EQ(r.object.objectStream, (std::vector<std::uint8_t>{0x01, 0x05, 0x00, 0x00, 0xAA}));
}

TEST(OleObjectCodec, WritesTheGoldenBuffer) {
    GXOleStoredObject o;
    o.userTypeName = "Bitmap Image";
    o.progId = "Paint.Picture";
    o.objectStream = {0x01, 0x05, 0x00, 0x00, 0xAA};
    EXPECT_EQ(GXEncodeOleObject(o), kGolden);
}

TEST(OleObjectCodec, EveryTruncationIsRefused) {
    // The form has no stream length: a block cut inside the stream or trailer reads as an object
    // with a shorter stream. Every cut before that is refused, each by its own check.
    for (std::size_t n = 0; n < 51; ++n) {
        const std::span<const std::uint8_t> cut(kGolden.data(), n);
        const GXOleDecodeResult r = GXDecodeOleObject(cut);
        EXPECT_FALSE(r.ok()) << n;
        const GXOleDecodeError expected = n < 20   ? GXOleDecodeError::kShortHeader
                                          : n < 33 ? GXOleDecodeError::kNameOutsideBlock
                                          : n < 47 ? GXOleDecodeError::kClassOutsideBlock
                                                   : GXOleDecodeError::kNoTrailer;
        EXPECT_EQ(r.error, expected) << n << " " << GXOleDecodeErrorName(r.error);
    }
    for (std::size_t n = 51; n < kGolden.size(); ++n) {
        const GXOleDecodeResult r =
            GXDecodeOleObject(std::span<const std::uint8_t>(kGolden.data(), n));
        ASSERT_TRUE(r.ok()) << n;
        EXPECT_EQ(r.object.objectStream.size(), n - 51);
    }
    // An empty stream with its trailer is still an object.
    GXOleStoredObject o;
    o.progId = "X";
    const auto bytes = GXEncodeOleObject(o);
    const GXOleDecodeResult r = GXDecodeOleObject(bytes);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.object.objectStream.empty());
}

TEST(OleObjectCodec, OneFieldChangedAtATime) {
    struct Mutation {
        const char* what;
        std::size_t at;
        std::uint8_t value;
        GXOleDecodeError error;
    } cases[] = {
        {"signature", 0, 0x16, GXOleDecodeError::kBadSignature},
        {"name length past the end", 9, 0x01, GXOleDecodeError::kNameOutsideBlock},
        {"name offset past the end", 13, 0x01, GXOleDecodeError::kNameOutsideBlock},
        {"class length past the end", 11, 0x01, GXOleDecodeError::kClassOutsideBlock},
        {"class offset past the end", 15, 0x01, GXOleDecodeError::kClassOutsideBlock},
        {"class length 0", 10, 0x00, GXOleDecodeError::kEmptyClass},
        {"program id without its zero", 46, 'x', GXOleDecodeError::kNoClassTerminator},
        {"class length leaves no trailer", 10, 0x14, GXOleDecodeError::kNoTrailer},
    };
    for (const Mutation& m : cases) {
        std::vector<std::uint8_t> b = kGolden;
        b[m.at] = m.value;
        const GXOleDecodeResult r = GXDecodeOleObject(b);
        EXPECT_EQ(r.error, m.error) << m.what << ": " << GXOleDecodeErrorName(r.error);
    }
    // Fields the reader does not rely on are not checked: header size, object type, reserved.
    for (std::size_t at : {2u, 4u, 16u, 18u}) {
        std::vector<std::uint8_t> b = kGolden;
        b[at] ^= 0x5A;
        EXPECT_TRUE(GXDecodeOleObject(b).ok()) << at;
    }
    // A shorter class length that still holds the zero reads the stream from its own end.
    std::vector<std::uint8_t> b = kGolden;
    EXPECT_FALSE(GXIsOleObjectBlock(std::vector<std::uint8_t>{0x15}));
    EXPECT_TRUE(GXIsOleObjectBlock(b));
}

TEST(OleObjectCodec, ProgramIdIsReadWithinItsFirst128Bytes) {
    GXOleStoredObject o;
    o.progId = std::string(127, 'p');  // with its zero exactly 128 bytes
    auto bytes = GXEncodeOleObject(o);
    ASSERT_TRUE(GXDecodeOleObject(bytes).ok());
    EXPECT_EQ(GXDecodeOleObject(bytes).object.progId.size(), 127u);
    // A longer program id is cut by the writer to what a reader takes.
    o.progId = std::string(300, 'q');
    bytes = GXEncodeOleObject(o);
    EXPECT_EQ(GXDecodeOleObject(bytes).object.progId.size(), 127u);
    // A class field longer than 128 bytes whose zero comes late is refused.
    std::vector<std::uint8_t> hand =
        GXEncodeOleObject(GXOleStoredObject{"", std::string(127, 'r'), {}, 2});
    hand[10] = 200;            // class length 200 ...
    hand[20 + 1 + 127] = 'r';  // ... and no zero in the first 128 bytes
    hand.resize(20 + 1 + 200 + 4, 0);
    EXPECT_EQ(GXDecodeOleObject(hand).error, GXOleDecodeError::kNoClassTerminator);
}

}  // namespace
