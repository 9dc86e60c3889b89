// Device-independent bitmaps: a packed block (a 40-byte or longer information header, the colour
// table, the pixel rows) or a bitmap file (a 14-byte file header in front of such a block).
// Blocks come from files and resources a user can replace, so every size in them is checked
// before it is used; a block whose header promises more than the block holds is refused.
//
// Header layout (little-endian): u32 header size, s32 width, s32 height (negative: rows from
// the top), u16 planes (1), u16 bits per pixel (1, 4, 8, 16, 24, 32), u32 compression
// (0 plain, 3 bit fields for 16 and 32 bits), u32 image size (0 allowed for plain), s32, s32
// pixels per metre, u32 colours used, u32 colours important. Rows are padded to 4 bytes.
#pragma once

#include "framework/base/Color.h"

#include <QImage>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace fw {

enum class DibError {
    None,
    TooShort,             // shorter than the headers
    BadFileHeader,        // a bitmap file without "BM" or with an offset outside the file
    BadHeaderSize,        // information header size below 40 or beyond the block
    BadDimensions,        // width not positive, height 0, or more pixels than we accept
    BadPlanes,            // planes not 1
    UnsupportedBitCount,  // not 1, 4, 8, 16, 24 or 32
    UnsupportedCompression,
    BadColorCount,        // more table entries than the bit depth can address
    TruncatedColorTable,  // the colour table runs past the block
    TruncatedBits,        // the pixel rows (or the stated image size) run past the block
};

std::string_view DibErrorText(DibError e);

class Dib {
public:
    struct Result;

    // A packed block (information header first).
    static Result Parse(std::span<const std::uint8_t> block);
    // A bitmap file (file header first).
    static Result ParseFile(std::span<const std::uint8_t> file);

    Dib() = default;
    bool IsNull() const { return block_.empty(); }
    int Width() const { return width_; }
    int Height() const { return height_; }  // always positive
    bool TopDown() const { return topDown_; }
    int BitCount() const { return bitCount_; }
    // Entries of the colour table: colours used, else 2, 16 or 256 for 1, 4 or 8 bits, else 0.
    int ColorCount() const { return static_cast<int>(palette_.size()); }
    ColorRef PaletteColor(int i) const { return palette_.at(static_cast<std::size_t>(i)); }
    // The colour of the pixel in row y from the top; CLR_INVALID outside.
    ColorRef GetPixel(int x, int y) const;
    // The packed block (header, table, rows), as kept and handed around.
    std::span<const std::uint8_t> Block() const { return block_; }
    // The picture as a 32-bit image.
    QImage ToImage() const;

private:
    static Result ParseBlock(std::span<const std::uint8_t> block, std::size_t bitsAt);

    std::vector<std::uint8_t> block_;
    std::vector<ColorRef> palette_;
    std::uint32_t masks_[3] = {0, 0, 0};  // red, green, blue masks for 16 and 32 bits
    std::size_t bitsOffset_ = 0;
    std::size_t stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    int bitCount_ = 0;
    bool topDown_ = false;
};

struct Dib::Result {
    DibError error = DibError::None;
    Dib dib;
    explicit operator bool() const { return error == DibError::None; }
};

// Colour-table entries a header implies: colours used when set, else 2, 16 or 256 for 1, 4 or
// 8 bits per pixel, else 0.
std::uint32_t DibColorCount(std::uint32_t colorsUsed, int bitCount);

}  // namespace fw
