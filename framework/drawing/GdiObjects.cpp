#include "framework/drawing/GdiObjects.h"

namespace fw {

std::array<std::uint8_t, 8> HatchRows(int hatchStyle) {
    std::array<std::uint8_t, 8> rows{};
    for (int y = 0; y < 8; ++y) {
        std::uint8_t down = static_cast<std::uint8_t>(0x80 >> y);  // from top-left
        std::uint8_t up = static_cast<std::uint8_t>(0x01 << y);    // from bottom-left
        auto& row = rows[static_cast<std::size_t>(y)];
        switch (hatchStyle) {
            case HS_HORIZONTAL:
                row = y == 0 ? 0xFF : 0x00;
                break;
            case HS_VERTICAL:
                row = 0x80;
                break;
            case HS_FDIAGONAL:
                row = down;
                break;
            case HS_BDIAGONAL:
                row = up;
                break;
            case HS_CROSS:
                row = y == 0 ? 0xFF : 0x80;
                break;
            case HS_DIAGCROSS:
                row = static_cast<std::uint8_t>(down | up);
                break;
            default:
                row = 0;
                break;
        }
    }
    return rows;
}

Brush Brush::FromBitmap(const Bitmap& bitmap) {
    std::array<std::uint8_t, 8> rows{};
    for (int y = 0; y < 8; ++y) {
        std::uint8_t row = 0;
        for (int x = 0; x < 8; ++x) {
            ColorRef c =
                bitmap.GetPixel(x % std::max(1, bitmap.Width()), y % std::max(1, bitmap.Height()));
            if (c != CLR_INVALID && (RedOf(c) + GreenOf(c) + BlueOf(c)) >= 384) {
                row = static_cast<std::uint8_t>(row | (0x80 >> x));
            }
        }
        rows[static_cast<std::size_t>(y)] = row;
    }
    return Pattern(rows);
}

LogFont DefaultGuiFont() {
    LogFont f;
    f.height = -11;  // 8 points at 96 pixels per inch
    f.weight = FW_NORMAL;
    f.faceName = "MS Shell Dlg";
    return f;
}

// ---------------------------------------------------------------- Bitmap

Bitmap Bitmap::Create(int width, int height, ColorRef fill) {
    Bitmap b;
    if (width <= 0 || height <= 0)
        return b;
    b.image_ = std::make_shared<QImage>(width, height, QImage::Format_RGB32);
    if (b.image_->isNull()) {
        b.image_.reset();
        return b;
    }
    b.image_->fill(ToPixel(fill));
    return b;
}

Bitmap Bitmap::CreateMono(int width, int height, std::span<const std::uint8_t> bits) {
    Bitmap b = Create(width, height, 0);
    if (b.IsNull())
        return b;
    b.mono_ = true;
    std::size_t stride = static_cast<std::size_t>((width + 15) / 16 * 2);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(b.image_->scanLine(y));
        for (int x = 0; x < width; ++x) {
            std::size_t at = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x / 8);
            bool white = at < bits.size() && (bits[at] & (0x80 >> (x % 8)));
            line[x] = white ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    return b;
}

Bitmap Bitmap::FromImage(const QImage& image) {
    Bitmap b;
    if (image.isNull())
        return b;
    b.image_ = std::make_shared<QImage>(image.convertToFormat(QImage::Format_RGB32));
    return b;
}

ColorRef Bitmap::GetPixel(int x, int y) const {
    if (!image_ || !image_->valid(x, y))
        return CLR_INVALID;
    return FromPixel(image_->pixel(x, y));
}

Bitmap Bitmap::Clone() const {
    Bitmap b;
    if (image_)
        b.image_ = std::make_shared<QImage>(image_->copy());
    b.mono_ = mono_;
    return b;
}

// ---------------------------------------------------------------- Region

Region::Region(const Rect& r) {
    Rect n = r;
    n.Normalize();
    if (!n.IsEmpty())
        region_ = QRegion(n.left, n.top, n.Width(), n.Height());
}

Region Region::Ellipse(const Rect& r) {
    Rect n = r;
    n.Normalize();
    if (n.IsEmpty())
        return Region();
    return Region(QRegion(n.left, n.top, n.Width(), n.Height(), QRegion::Ellipse));
}

int Region::Combine(const Region& a, const Region& b, int mode) {
    switch (mode) {
        case RGN_AND:
            region_ = a.region_ & b.region_;
            break;
        case RGN_OR:
            region_ = a.region_ | b.region_;
            break;
        case RGN_XOR:
            region_ = a.region_ ^ b.region_;
            break;
        case RGN_DIFF:
            region_ = a.region_ - b.region_;
            break;
        case RGN_COPY:
            region_ = a.region_;
            break;
        default:
            return RGN_ERROR;
    }
    return Kind();
}

int Region::Kind() const {
    if (region_.isEmpty())
        return NULLREGION;
    return region_.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

Rect Region::Box() const {
    if (region_.isEmpty())
        return {};
    QRect b = region_.boundingRect();
    return {b.left(), b.top(), b.right() + 1, b.bottom() + 1};
}

}  // namespace fw
