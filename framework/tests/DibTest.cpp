#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/Dib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace fw {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

Bytes Header(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t sizeImage,
             std::uint32_t used) {
    Bytes b(40, 0);
    Put32(b, 0, 40);
    Put32(b, 4, static_cast<std::uint32_t>(w));
    Put32(b, 8, static_cast<std::uint32_t>(h));
    Put16(b, 12, 1);
    Put16(b, 14, bits);
    Put32(b, 20, sizeImage);
    Put32(b, 32, used);
    return b;
}

// 2 x 2, 24 bits, rows from the bottom, each row 6 bytes plus 2 of padding.
Bytes TwoByTwo() {
    Bytes b = Header(2, 2, 24, 16, 0);
    const std::uint8_t rows[] = {
        0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0, 0,  // bottom row: blue, green (B, G, R order)
        0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0,  // top row: red, white
    };
    b.insert(b.end(), std::begin(rows), std::end(rows));
    return b;
}

// 8 x 1, 1 bit, top-down, palette black and yellow, pixels 1 0 1 0 0 0 0 1.
Bytes OneBit() {
    Bytes b = Header(8, -1, 1, 0, 2);
    const std::uint8_t rest[] = {0, 0, 0, 0, 0x00, 0xFF, 0xFF, 0, 0xA1, 0, 0, 0};
    b.insert(b.end(), std::begin(rest), std::end(rest));
    return b;
}

TEST(Dib, ReadsPixelsFromHandMadeBlocks) {
    auto two = Dib::Parse(TwoByTwo());
    ASSERT_TRUE(two) << DibErrorText(two.error);
    EXPECT_EQ(two.dib.Width(), 2);
    EXPECT_EQ(two.dib.Height(), 2);
    EXPECT_EQ(two.dib.ColorCount(), 0);
    EXPECT_EQ(two.dib.GetPixel(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(two.dib.GetPixel(1, 0), Rgb(255, 255, 255));
    EXPECT_EQ(two.dib.GetPixel(0, 1), Rgb(0, 0, 255));
    EXPECT_EQ(two.dib.GetPixel(1, 1), Rgb(0, 255, 0));
    EXPECT_EQ(two.dib.GetPixel(2, 0), CLR_INVALID);

    auto one = Dib::Parse(OneBit());
    ASSERT_TRUE(one) << DibErrorText(one.error);
    EXPECT_TRUE(one.dib.TopDown());
    const ColorRef yellow = Rgb(255, 255, 0);
    const ColorRef want[] = {yellow, 0, yellow, 0, 0, 0, 0, yellow};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(one.dib.GetPixel(x, 0), want[x]) << x;

    // The same block behind a 14-byte file header.
    Bytes file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put32(file, 10, 14 + 40);
    Bytes block = TwoByTwo();
    file.insert(file.end(), block.begin(), block.end());
    auto fromFile = Dib::ParseFile(file);
    ASSERT_TRUE(fromFile) << DibErrorText(fromFile.error);
    EXPECT_EQ(fromFile.dib.GetPixel(1, 1), Rgb(0, 255, 0));
}

TEST(Dib, RefusesBlocksWhoseHeadersLie) {
    struct Case {
        const char* name;
        std::function<Bytes()> make;
        DibError error;
    };
    const Case cases[] = {
        {"shorter than a header", [] { return Bytes(10, 0); }, DibError::TooShort},
        {"stated image size beyond the block",
         [] {
             auto b = TwoByTwo();
             Put32(b, 20, 1000);
             return b;
         },
         DibError::TruncatedBits},
        {"rows cut short",
         [] {
             auto b = TwoByTwo();
             b.pop_back();
             return b;
         },
         DibError::TruncatedBits},
        {"header size beyond the block",
         [] {
             auto b = TwoByTwo();
             Put32(b, 0, 1000);
             return b;
         },
         DibError::BadHeaderSize},
        {"core header",
         [] {
             auto b = TwoByTwo();
             Put32(b, 0, 12);
             return b;
         },
         DibError::BadHeaderSize},
        {"width 0",
         [] {
             auto b = TwoByTwo();
             Put32(b, 4, 0);
             return b;
         },
         DibError::BadDimensions},
        {"negative width",
         [] {
             auto b = TwoByTwo();
             Put32(b, 4, 0xFFFFFFFE);
             return b;
         },
         DibError::BadDimensions},
        {"height 0",
         [] {
             auto b = TwoByTwo();
             Put32(b, 8, 0);
             return b;
         },
         DibError::BadDimensions},
        {"huge picture",
         [] {
             auto b = TwoByTwo();
             Put32(b, 4, 60000);
             Put32(b, 8, 60000);
             return b;
         },
         DibError::BadDimensions},
        {"two planes",
         [] {
             auto b = TwoByTwo();
             Put16(b, 12, 2);
             return b;
         },
         DibError::BadPlanes},
        {"3 bits per pixel",
         [] {
             auto b = TwoByTwo();
             Put16(b, 14, 3);
             return b;
         },
         DibError::UnsupportedBitCount},
        {"run-length compressed",
         [] {
             auto b = TwoByTwo();
             Put32(b, 16, 1);
             return b;
         },
         DibError::UnsupportedCompression},
        {"3 colours for 1 bit",
         [] {
             auto b = OneBit();
             Put32(b, 32, 3);
             return b;
         },
         DibError::BadColorCount},
        {"300 colours",
         [] {
             auto b = OneBit();
             Put16(b, 14, 8);
             Put32(b, 32, 300);
             return b;
         },
         DibError::BadColorCount},
        {"colour table cut short",
         [] {
             auto b = OneBit();
             b.resize(44);
             return b;
         },
         DibError::TruncatedColorTable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = Dib::Parse(c.make());
        EXPECT_FALSE(r);
        EXPECT_EQ(r.error, c.error) << DibErrorText(r.error);
        EXPECT_TRUE(r.dib.IsNull());
    }
    Bytes file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Bytes block = TwoByTwo();
    file.insert(file.end(), block.begin(), block.end());
    Put32(file, 10, 5000);  // pixel offset beyond the file
    EXPECT_EQ(Dib::ParseFile(file).error, DibError::BadFileHeader);
    file[0] = 'X';
    EXPECT_EQ(Dib::ParseFile(file).error, DibError::BadFileHeader);
}

TEST(Dib, DamagedBlocksParseOrFailCleanly) {
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    for (const Bytes& good : {TwoByTwo(), OneBit()}) {
        for (int round = 0; round < 2000; ++round) {
            Bytes data = good;
            int changes = 1 + static_cast<int>(rng() % 3);
            for (int i = 0; i < changes; ++i)
                data[rng() % data.size()] = static_cast<std::uint8_t>(rng());
            auto r = Dib::Parse(data);
            if (r)
                r.dib.ToImage();  // every pixel of an accepted block lies inside it
        }
    }
}

TEST(Dib, StretchesOntoAContext) {
    auto two = Dib::Parse(TwoByTwo());
    ASSERT_TRUE(two);
    QImage img(6, 6, QImage::Format_RGB32);
    img.fill(0xFF000000);
    {
        DeviceContext dc(&img);
        EXPECT_EQ(dc.StretchDIBits({1, 1, 5, 5}, {0, 0, 2, 2}, two.dib, SRCCOPY), 4);
    }
    EXPECT_EQ(FromPixel(img.pixel(1, 1)), Rgb(255, 0, 0));
    EXPECT_EQ(FromPixel(img.pixel(2, 2)), Rgb(255, 0, 0));
    EXPECT_EQ(FromPixel(img.pixel(3, 1)), Rgb(255, 255, 255));
    EXPECT_EQ(FromPixel(img.pixel(1, 4)), Rgb(0, 0, 255));
    EXPECT_EQ(FromPixel(img.pixel(4, 4)), Rgb(0, 255, 0));
    EXPECT_EQ(FromPixel(img.pixel(5, 5)), 0u);
}

}  // namespace
}  // namespace fw
