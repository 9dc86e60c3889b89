#include "grid/core/GXDrawHelpers.h"

#include <algorithm>

void GXFillSolidRectXY(fw::DeviceContext& dc, int x, int y, int cx, int cy, COLORREF color) {
    GXFillSolidRect(dc, fw::Rect{x, y, x + cx, y + cy}, color);
}

void GXFillSolidRect(fw::DeviceContext& dc, const fw::Rect& rect, COLORREF color) {
    dc.SetBkColor(GXResolveColor(color) & 0xFFFFFF);
    dc.ExtTextOut(rect.left, rect.top, fw::ETO_OPAQUE, &rect, "");
}

void GXInvertRectClipped(fw::DeviceContext& dc, const fw::Rect& rect, const fw::Rect& clip) {
    if (clip.IsEmpty()) {
        dc.InvertRect(rect);
        return;
    }
    const fw::Rect r = fw::Intersect(rect, clip);
    if (!r.IsEmpty())
        dc.InvertRect(r);
}

void GXDrawEdge(fw::DeviceContext& dc, fw::Rect& rect, unsigned edge, unsigned flags) {
    dc.DrawEdge(rect, edge, flags);
}

void GXDrawTransparentBitmap(fw::DeviceContext& dc, const fw::Bitmap& bitmap, int x, int y,
                             COLORREF transparent) {
    if (bitmap.IsNull())
        return;
    const int w = bitmap.Width(), h = bitmap.Height();
    fw::DeviceContext image;
    image.CreateCompatibleDC(&dc);
    image.SelectBitmap(bitmap.Clone());
    // The mask: white where the bitmap has the transparent colour, black elsewhere.
    fw::DeviceContext mask;
    mask.CreateCompatibleDC(&dc);
    mask.SelectBitmap(fw::Bitmap::CreateMono(w, h));
    image.SetBkColor(transparent & 0xFFFFFF);
    mask.BitBlt(0, 0, w, h, &image, 0, 0, fw::SRCCOPY);
    // The bitmap with its transparent pixels black: the mask's white becomes the background
    // colour (black) and its black the text colour (white) on the way into a colour bitmap.
    image.SetBkColor(fw::Rgb(0, 0, 0));
    image.SetTextColor(fw::Rgb(255, 255, 255));
    image.BitBlt(0, 0, w, h, &mask, 0, 0, fw::SRCAND);
    // The destination black where the bitmap is opaque, then the bitmap laid over it.
    const COLORREF oldBk = dc.SetBkColor(fw::Rgb(255, 255, 255));
    const COLORREF oldText = dc.SetTextColor(fw::Rgb(0, 0, 0));
    dc.BitBlt(x, y, w, h, &mask, 0, 0, fw::SRCAND);
    dc.BitBlt(x, y, w, h, &image, 0, 0, fw::SRCPAINT);
    dc.SetBkColor(oldBk);
    dc.SetTextColor(oldText);
}

namespace {

// Places a length within room by the alignment: 0 start, 1 centre, 2 end.
int Place(int start, int room, int length, int align) {
    if (align == 1)
        return start + (room - length) / 2;
    if (align == 2)
        return start + room - length;
    return start;
}

}  // namespace

void GXDrawDIB(fw::DeviceContext& dc, const fw::Dib& dib, const fw::Rect& rect, int mode,
               unsigned alignment, const fw::Rect* source) {
    if (dib.IsNull() || rect.IsEmpty())
        return;
    fw::Rect src = source ? *source : fw::Rect{0, 0, dib.Width(), dib.Height()};
    const int hAlign = (alignment & fw::DT_CENTER) ? 1 : (alignment & fw::DT_RIGHT) ? 2 : 0;
    const int vAlign = (alignment & fw::DT_VCENTER) ? 1 : (alignment & fw::DT_BOTTOM) ? 2 : 0;
    fw::Rect dest = rect;
    if (mode == gxDibStretch) {
        // the whole rectangle
    } else if (mode == gxDibKeepAspect) {
        const long long sx = 1000LL * rect.Width() / std::max(1, src.Width());
        const long long sy = 1000LL * rect.Height() / std::max(1, src.Height());
        const long long scale = std::min(sx, sy);
        const int w = static_cast<int>(src.Width() * scale / 1000);
        const int h = static_cast<int>(src.Height() * scale / 1000);
        dest.left = Place(rect.left, rect.Width(), w, hAlign);
        dest.top = Place(rect.top, rect.Height(), h, vAlign);
        dest.right = dest.left + w;
        dest.bottom = dest.top + h;
    } else {
        if (src.Width() < rect.Width()) {
            dest.left = Place(rect.left, rect.Width(), src.Width(), hAlign);
            dest.right = dest.left + src.Width();
        } else {
            src.right = src.left + rect.Width();
        }
        if (src.Height() < rect.Height()) {
            dest.top = Place(rect.top, rect.Height(), src.Height(), vAlign);
            dest.bottom = dest.top + src.Height();
        } else if (vAlign == 2) {
            src.top = src.bottom - rect.Height();
        } else {
            src.bottom = src.top + rect.Height();
        }
    }
    dc.StretchDIBits(dest, src, dib, fw::SRCCOPY);
}

unsigned GXGetDIBColorCount(std::span<const std::uint8_t> header) {
    if (header.size() < 40)
        return 0;
    auto u16 = [&](std::size_t o) { return static_cast<unsigned>(header[o] | header[o + 1] << 8); };
    auto u32 = [&](std::size_t o) {
        return static_cast<std::uint32_t>(header[o]) |
               static_cast<std::uint32_t>(header[o + 1]) << 8 |
               static_cast<std::uint32_t>(header[o + 2]) << 16 |
               static_cast<std::uint32_t>(header[o + 3]) << 24;
    };
    return fw::DibColorCount(u32(32), static_cast<int>(u16(14)));
}
