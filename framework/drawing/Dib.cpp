#include "framework/drawing/Dib.h"

#include "framework/drawing/GdiObjects.h"

#include <bit>
#include <limits>

#include "os/ByteOrder.h"

namespace fw {

namespace {

constexpr std::size_t kInfoHeaderMin = 40;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kPlain = 0;
constexpr std::uint32_t kBitFields = 3;
// The largest picture we take from a block: bigger ones are refused, not allocated.
constexpr std::uint64_t kMaxPixels = 64ull * 1024 * 1024;
constexpr std::int64_t kMaxSide = 65536;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return os::GetLe32(b.data() + at);
}
std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return os::GetLe16(b.data() + at);
}
std::int32_t S32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}

int Channel(std::uint32_t v, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    int shift = std::countr_zero(mask);
    std::uint32_t max = mask >> shift;
    return static_cast<int>(((v & mask) >> shift) * 255u / max);
}

}  // namespace

std::string_view DibErrorText(DibError e) {
    switch (e) {
        case DibError::None:
            return "no error";
        case DibError::TooShort:
            return "the bitmap is shorter than its header";
        case DibError::BadFileHeader:
            return "the bitmap file header is not valid";
        case DibError::BadHeaderSize:
            return "the bitmap header size is not valid";
        case DibError::BadDimensions:
            return "the bitmap width or height is not valid";
        case DibError::BadPlanes:
            return "the bitmap has more than one plane";
        case DibError::UnsupportedBitCount:
            return "the bitmap's colour depth is not supported";
        case DibError::UnsupportedCompression:
            return "the bitmap's compression is not supported";
        case DibError::BadColorCount:
            return "the bitmap's colour table is too large";
        case DibError::TruncatedColorTable:
            return "the bitmap's colour table is cut short";
        case DibError::TruncatedBits:
            return "the bitmap's pixels are cut short";
    }
    return "unknown error";
}

std::uint32_t DibColorCount(std::uint32_t colorsUsed, int bitCount) {
    if (colorsUsed)
        return colorsUsed;
    switch (bitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

// Checks a packed block and fills the result's bitmap from it. `bitsAt` is the offset of the
// pixel rows when a file header gave it (0: right after the colour table).
Dib::Result Dib::ParseBlock(std::span<const std::uint8_t> b, std::size_t bitsAt) {
    Result res;
    auto fail = [](DibError e) { return Result{e, Dib()}; };
    if (b.size() < kInfoHeaderMin)
        return fail(DibError::TooShort);
    std::uint32_t headerSize = U32(b, 0);
    if (headerSize < kInfoHeaderMin || headerSize > b.size())
        return fail(DibError::BadHeaderSize);
    std::int64_t w = S32(b, 4), h = S32(b, 8);
    if (w <= 0 || h == 0 || h == std::numeric_limits<std::int32_t>::min())
        return fail(DibError::BadDimensions);
    std::int64_t absH = h < 0 ? -h : h;
    if (w > kMaxSide || absH > kMaxSide || static_cast<std::uint64_t>(w * absH) > kMaxPixels)
        return fail(DibError::BadDimensions);
    if (U16(b, 12) != 1)
        return fail(DibError::BadPlanes);
    int bits = U16(b, 14);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return fail(DibError::UnsupportedBitCount);
    std::uint32_t compression = U32(b, 16);
    bool fields = compression == kBitFields;
    if (compression != kPlain && !(fields && (bits == 16 || bits == 32)))
        return fail(DibError::UnsupportedCompression);
    std::uint32_t sizeImage = U32(b, 20);
    std::uint64_t colors = DibColorCount(U32(b, 32), bits);
    if (colors > 256 || (bits <= 8 && colors > (1u << bits)))
        return fail(DibError::BadColorCount);

    Dib& d = res.dib;
    std::uint64_t tableAt = headerSize;
    if (fields) {
        // Masks sit inside a longer header, or right behind the 40-byte one.
        std::uint64_t maskAt = headerSize >= kInfoHeaderMin + 12 ? kInfoHeaderMin : headerSize;
        if (headerSize == kInfoHeaderMin)
            tableAt += 12;
        if (maskAt + 12 > b.size())
            return fail(DibError::TruncatedColorTable);
        for (std::size_t i = 0; i < 3; ++i)
            d.masks_[i] = U32(b, static_cast<std::size_t>(maskAt) + 4 * i);
    } else if (bits == 16) {
        d.masks_[0] = 0x7C00, d.masks_[1] = 0x03E0, d.masks_[2] = 0x001F;
    } else {
        d.masks_[0] = 0xFF0000, d.masks_[1] = 0x00FF00, d.masks_[2] = 0x0000FF;
    }
    std::uint64_t tableEnd = tableAt + colors * 4;
    if (tableEnd > b.size())
        return fail(DibError::TruncatedColorTable);

    std::uint64_t rowBytes =
        (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
    std::uint64_t imageBytes = rowBytes * static_cast<std::uint64_t>(absH);
    std::uint64_t at = bitsAt ? bitsAt : tableEnd;
    if (at < tableEnd)
        return fail(DibError::TruncatedColorTable);
    if (at > b.size() || at + imageBytes > b.size())
        return fail(DibError::TruncatedBits);
    // A stated image size must agree with the rows and lie inside the block.
    if (sizeImage != 0 && (sizeImage < imageBytes || at + sizeImage > b.size()))
        return fail(DibError::TruncatedBits);

    for (std::uint64_t i = 0; i < colors; ++i) {
        std::size_t e = static_cast<std::size_t>(tableAt + i * 4);
        d.palette_.push_back(Rgb(b[e + 2], b[e + 1], b[e]));
    }
    d.block_.assign(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(at + imageBytes));
    d.bitsOffset_ = static_cast<std::size_t>(at);
    d.stride_ = static_cast<std::size_t>(rowBytes);
    d.width_ = static_cast<int>(w);
    d.height_ = static_cast<int>(absH);
    d.bitCount_ = bits;
    d.topDown_ = h < 0;
    return res;
}

Dib::Result Dib::Parse(std::span<const std::uint8_t> block) {
    return ParseBlock(block, 0);
}

Dib::Result Dib::ParseFile(std::span<const std::uint8_t> file) {
    if (file.size() < kFileHeaderSize + kInfoHeaderMin)
        return {DibError::TooShort, Dib()};
    if (file[0] != 'B' || file[1] != 'M')
        return {DibError::BadFileHeader, Dib()};
    std::uint32_t offBits = U32(file, 10);
    if (offBits < kFileHeaderSize + kInfoHeaderMin || offBits > file.size())
        return {DibError::BadFileHeader, Dib()};
    return ParseBlock(file.subspan(kFileHeaderSize), offBits - kFileHeaderSize);
}

ColorRef Dib::GetPixel(int x, int y) const {
    if (IsNull() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    std::size_t row = static_cast<std::size_t>(topDown_ ? y : height_ - 1 - y);
    const std::uint8_t* p = block_.data() + bitsOffset_ + row * stride_;
    std::size_t ux = static_cast<std::size_t>(x);
    auto indexed = [this](std::size_t i) {
        return i < palette_.size() ? palette_[i] : ColorRef{0};
    };
    switch (bitCount_) {
        case 1:
            return indexed((p[ux / 8] >> (7 - ux % 8)) & 1);
        case 4:
            return indexed((p[ux / 2] >> (ux % 2 ? 0 : 4)) & 0xF);
        case 8:
            return indexed(p[ux]);
        case 16: {
            std::uint32_t v = os::GetLe16(p + ux * 2);
            return Rgb(Channel(v, masks_[0]), Channel(v, masks_[1]), Channel(v, masks_[2]));
        }
        case 24:
            return Rgb(p[ux * 3 + 2], p[ux * 3 + 1], p[ux * 3]);
        case 32: {
            std::uint32_t v = os::GetLe32(p + ux * 4);
            return Rgb(Channel(v, masks_[0]), Channel(v, masks_[1]), Channel(v, masks_[2]));
        }
        default:
            return CLR_INVALID;
    }
}

QImage Dib::ToImage() const {
    if (IsNull())
        return QImage();
    QImage img(width_, height_, QImage::Format_RGB32);
    for (int y = 0; y < height_; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        for (int x = 0; x < width_; ++x) line[x] = ToPixel(GetPixel(x, y));
    }
    return img;
}

}  // namespace fw
