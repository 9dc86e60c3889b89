// Device context: raster operations on pixels, brush fills, pattern and bit-block transfers.
#include "framework/drawing/DcImpl.h"

#include <cstdlib>

namespace fw {

std::uint32_t ApplyRop3(std::uint8_t rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    std::uint32_t r = 0;
    switch (rop) {
        case 0x00:
            r = 0;
            break;
        case 0xFF:
            r = 0xFFFFFF;
            break;
        case 0xCC:
            r = s;
            break;
        case 0xF0:
            r = p;
            break;
        case 0x55:
            r = ~d;
            break;
        case 0x5A:
            r = p ^ d;
            break;
        case 0x66:
            r = s ^ d;
            break;
        case 0x88:
            r = s & d;
            break;
        case 0xEE:
            r = s | d;
            break;
        default:
            for (unsigned i = 0; i < 8; ++i) {
                if (!(rop & (1u << i)))
                    continue;
                r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
            }
    }
    return (r & 0xFFFFFFu) | 0xFF000000u;
}

namespace {

// The 8-bit raster operation equivalent to a pen mix mode (the pen takes the pattern's place).
std::uint8_t Rop2ToRop3(int rop2) {
    unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
    std::uint8_t rop = 0;
    for (unsigned i = 0; i < 8; ++i) {
        unsigned bit = ((i & 4) ? 2u : 0u) | ((i & 1) ? 1u : 0u);
        if (table & (1u << bit))
            rop = static_cast<std::uint8_t>(rop | (1u << i));
    }
    return rop;
}

bool UsesSource(std::uint8_t rop) {
    return ((rop >> 2) & 0x33) != (rop & 0x33);
}
bool UsesPattern(std::uint8_t rop) {
    return ((rop >> 4) & 0x0F) != (rop & 0x0F);
}

int Mod8(int v) {
    return ((v % 8) + 8) % 8;
}

}  // namespace

std::uint32_t DeviceContext::Impl::BrushPixel(const Brush& b, int x, int y) const {
    auto bit = [&](const std::array<std::uint8_t, 8>& rows) {
        std::uint8_t row = rows[static_cast<std::size_t>(Mod8(y - st.brushOrg.y))];
        return (row & (0x80 >> Mod8(x - st.brushOrg.x))) != 0;
    };
    switch (b.style) {
        case BS_SOLID:
            return PixelOf(Surface(b.color));
        case BS_PATTERN:
            return PixelOf(Surface(bit(b.pattern) ? st.bkColor : st.textColor));
        case BS_HATCHED:
            return PixelOf(Surface(bit(HatchRows(b.hatch)) ? b.color : st.bkColor));
        default:
            return 0xFF000000u;
    }
}

void DeviceContext::Impl::RopFill(const QRect& rect, std::uint8_t rop3,
                                  const std::function<std::uint32_t(int, int)>& pattern,
                                  const std::function<std::uint32_t(int, int)>& source) {
    if (!IsImage() || rect.isEmpty())
        return;
    QRegion visible = VisibleRegion() & rect;
    if (visible.isEmpty())
        return;
    EndPainter();
    for (const QRect& r : visible) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(image->scanLine(y));
            for (int x = r.left(); x <= r.right(); ++x) {
                std::uint32_t p = pattern ? pattern(x, y) : 0;
                std::uint32_t s = source ? source(x - rect.left(), y - rect.top()) : 0;
                line[x] = ApplyRop3(rop3, p, s, line[x]);
            }
        }
    }
    MarkDirty(visible.boundingRect());
}

void DeviceContext::Impl::Rop2Fill(const QRect& rect, ColorRef color, int rop2) {
    if (rect.isEmpty() || rop2 == R2_NOP)
        return;
    if (rop2 == R2_BLACK)
        color = 0, rop2 = R2_COPYPEN;
    if (rop2 == R2_WHITE)
        color = 0xFFFFFF, rop2 = R2_COPYPEN;
    if (rop2 == R2_NOTCOPYPEN)
        color = ~color & 0xFFFFFF, rop2 = R2_COPYPEN;
    if (rop2 == R2_COPYPEN) {
        if (QPainter* p = PainterForDrawing()) {
            p->fillRect(rect, ToQColor(Surface(color)));
            MarkDirty(rect);
        }
        return;
    }
    std::uint32_t pixel = PixelOf(Surface(color));
    RopFill(
        rect, Rop2ToRop3(rop2), [pixel](int, int) { return pixel; }, nullptr);
}

void DeviceContext::Impl::FillDevice(const QRect& r, const Brush& b) {
    if (r.isEmpty() || b.style == BS_NULL)
        return;
    QPainter* p = PainterForDrawing();
    if (!p)
        return;
    if (b.style == BS_SOLID) {
        p->fillRect(r, ToQColor(Surface(b.color)));
    } else {
        bool hatch = b.style == BS_HATCHED;
        auto rows = hatch ? HatchRows(b.hatch) : b.pattern;
        QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                bool set = rows[static_cast<std::size_t>(y)] & (0x80 >> x);
                std::uint32_t px;
                if (hatch)
                    px = set ? PixelOf(Surface(b.color))
                             : (st.bkMode == OPAQUE ? PixelOf(Surface(st.bkColor)) : 0u);
                else
                    px = PixelOf(Surface(set ? st.bkColor : st.textColor));
                tile.setPixel(x, y, px);
            }
        }
        p->setBrushOrigin(st.brushOrg.x, st.brushOrg.y);
        p->fillRect(r, QBrush(tile));
    }
    MarkDirty(r);
}

// ---------------------------------------------------------------- public

void DeviceContext::FillRect(const Rect& r, const Brush& brush) {
    d_->FillDevice(d_->ToDevRect(r), brush);
}

void DeviceContext::FillSolidRect(const Rect& r, ColorRef c) {
    SetBkColor(c);
    d_->FillDevice(d_->ToDevRect(r), Brush::Solid(c));
}

void DeviceContext::InvertRect(const Rect& r) {
    d_->RopFill(d_->ToDevRect(r), 0x55, nullptr, nullptr);
}

bool DeviceContext::PatBlt(int x, int y, int width, int height, std::uint32_t rop) {
    if (!d_->HasSurface())
        return false;
    QRect r = d_->ToDevRect({x, y, x + width, y + height});
    auto rop3 = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    if (rop3 == 0xF0) {
        d_->FillDevice(r, d_->st.brush);
    } else if (d_->IsImage()) {
        const Brush brush = d_->st.brush;
        std::function<std::uint32_t(int, int)> pattern;
        if (UsesPattern(rop3))
            pattern = [this, brush](int px, int py) { return d_->BrushPixel(brush, px, py); };
        d_->RopFill(r, rop3, pattern, nullptr);
    } else if (rop3 == 0x00 || rop3 == 0xFF) {
        d_->FillDevice(r, Brush::Solid(rop3 ? 0xFFFFFF : 0));
    }
    return true;
}

bool DeviceContext::BitBlt(int x, int y, int width, int height, const DeviceContext* source,
                           int xSrc, int ySrc, std::uint32_t rop) {
    int sw = width, sh = height;
    if (source) {
        // The same extent in the source's own logical units.
        sw = source->d_->UnscaleLenX(d_->ScaleLenX(width));
        sh = source->d_->UnscaleLenY(d_->ScaleLenY(height));
        if (width < 0)
            sw = -sw;
        if (height < 0)
            sh = -sh;
    }
    return StretchBlt(x, y, width, height, source, xSrc, ySrc, sw, sh, rop);
}

namespace {

// Converts source pixels for a destination: a monochrome source paints its black in the
// destination's text colour and its white in its background colour; a colour source becomes
// white where it has the source context's background colour when the destination is monochrome.
QImage ConvertSource(const QImage& src, bool srcMono, bool dstMono, ColorRef srcBk,
                     ColorRef dstText, ColorRef dstBk) {
    if (srcMono == dstMono)
        return src;
    QImage out = src.copy();
    std::uint32_t bkPixel = ToPixel(srcBk) & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            std::uint32_t v = line[x] & 0xFFFFFF;
            if (srcMono)
                line[x] = ToPixel(v == 0xFFFFFF ? dstBk : dstText);
            else
                line[x] = v == bkPixel ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    return out;
}

}  // namespace

bool DeviceContext::StretchBlt(int x, int y, int width, int height, const DeviceContext* source,
                               int xSrc, int ySrc, int srcWidth, int srcHeight, std::uint32_t rop) {
    auto rop3 = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
    if (!UsesSource(rop3))
        return PatBlt(x, y, width, height, rop);
    if (!source || !source->d_->IsImage() || !d_->HasSurface())
        return false;
    QRect dst = d_->ToDevRect({x, y, x + width, y + height});
    QRect src = source->d_->ToDevRect({xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight});
    if (dst.isEmpty() || src.isEmpty())
        return true;
    source->d_->EndPainter();
    // A copy, so a blit within one image (scrolling) reads the pixels as they were.
    QImage pixels = source->d_->image->copy(src);
    QRect srcBounds = source->d_->Bounds();
    pixels = ConvertSource(pixels, source->d_->Mono(), d_->Mono(), source->d_->st.bkColor,
                           d_->Surface(d_->st.textColor), d_->Surface(d_->st.bkColor));
    if (!d_->IsImage()) {
        if (QPainter* p = d_->PainterForDrawing())
            p->drawImage(dst, pixels);
        return true;
    }
    const Brush brush = d_->st.brush;
    std::function<std::uint32_t(int, int)> pattern;
    if (UsesPattern(rop3))
        pattern = [this, brush](int px, int py) { return d_->BrushPixel(brush, px, py); };
    // Destination pixels whose source lies outside the source surface stay as they are.
    QRect inside = src.intersected(srcBounds);
    QRect target = dst;
    if (inside != src) {
        int l =
            dst.left() +
            static_cast<int>((static_cast<long long>(inside.left() - src.left()) * dst.width()) /
                             src.width());
        int t = dst.top() +
                static_cast<int>((static_cast<long long>(inside.top() - src.top()) * dst.height()) /
                                 src.height());
        int r = dst.left() +
                static_cast<int>(
                    (static_cast<long long>(inside.right() + 1 - src.left()) * dst.width()) /
                    src.width());
        int b = dst.top() +
                static_cast<int>(
                    (static_cast<long long>(inside.bottom() + 1 - src.top()) * dst.height()) /
                    src.height());
        target = QRect(QPoint(l, t), QPoint(r - 1, b - 1));
    }
    const int dw = dst.width(), dh = dst.height(), sw = src.width(), shh = src.height();
    const int offX = target.left() - dst.left(), offY = target.top() - dst.top();
    auto sample = [&pixels, dw, dh, sw, shh, offX, offY](int ox, int oy) -> std::uint32_t {
        int sx = static_cast<int>(static_cast<long long>(ox + offX) * sw / dw);
        int sy = static_cast<int>(static_cast<long long>(oy + offY) * shh / dh);
        if (sx < 0 || sy < 0 || sx >= pixels.width() || sy >= pixels.height())
            return 0xFF000000u;
        return reinterpret_cast<const std::uint32_t*>(pixels.constScanLine(sy))[sx];
    };
    d_->RopFill(target, rop3, pattern, sample);
    return true;
}

int DeviceContext::StretchDIBits(const Rect& dest, const Rect& src, const Dib& dib,
                                 std::uint32_t rop) {
    if (dib.IsNull() || !d_->HasSurface())
        return 0;
    Rect s = src;
    s.Normalize();
    s = Intersect(s, Rect{0, 0, dib.Width(), dib.Height()});
    if (s.IsEmpty())
        return 0;
    DeviceContext mem;
    mem.CreateCompatibleDC(this);
    mem.SelectBitmap(Bitmap::FromImage(dib.ToImage().copy(s.left, s.top, s.Width(), s.Height())));
    bool ok = StretchBlt(dest.left, dest.top, dest.Width(), dest.Height(), &mem, 0, 0, s.Width(),
                         s.Height(), rop);
    return ok ? std::abs(dest.Height()) : 0;
}

}  // namespace fw
