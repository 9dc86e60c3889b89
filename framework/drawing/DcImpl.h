// Internal state of DeviceContext, shared by the files that implement its parts
// (DeviceContext.cpp: state, mapping, clipping; DcShapes.cpp; DcText.cpp; DcBlit.cpp).
#pragma once

#include "framework/drawing/DeviceContext.h"

#include <QPainter>
#include <QPrinter>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fw {

struct DeviceContext::State {
    Pen pen;
    Brush brush = Brush::Solid(0xFFFFFF);
    LogFont font = DefaultGuiFont();
    ColorRef textColor = 0;
    ColorRef bkColor = 0xFFFFFF;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    unsigned textAlign = TA_LEFT | TA_TOP;
    Point brushOrg;
    Point currentPos;
    int mapMode = MM_TEXT;
    Point winOrg;
    Point vpOrg;
    Size winExt{1, 1};
    Size vpExt{1, 1};
    std::optional<QRegion> clip;  // selected clip, device pixels
};

// Hashes text of any string kind alike, so that a string_view finds a string key.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct DeviceContext::Impl {
    enum class Kind { None, Image, Memory, Printer };
    Kind kind = Kind::None;
    QImage* image = nullptr;  // Image: the caller's image; Memory: the selected bitmap's
    Bitmap bitmap;            // Memory: the selected bitmap
    QPrinter* printer = nullptr;
    int dpiX = 96;
    int dpiY = 96;
    bool printerPrinting = false;  // Memory contexts made from a printer context
    bool docStarted = false;
    bool pageOpen = false;
    int pagesStarted = 0;

    State st;
    std::vector<State> saved;

    std::optional<QPainter> painter;
    bool clipApplied = false;  // the painter carries the current clip
    std::optional<QRegion> baseClip;
    QRect dirty;
    std::function<void(const QRect&)> onFlush;

    // A font realized on this device at one scale, with its device metrics and the advances
    // of the texts measured in it, each made when first asked. Measuring many cells switches
    // between the same few fonts over and over: they are realized and shaped once.
    struct RealizedFont {
        LogFont font;
        double scaleX = 1;
        double scaleY = 1;
        bool mono = false;
        QFont qfont;
        std::optional<TextMetrics> metrics;
        int lineHeight = -1;  // ascent + descent, device pixels
        std::unordered_map<std::string, int, TextHash, std::equal_to<>> advances;
    };
    static constexpr std::size_t kRealizedFonts = 8;
    static constexpr std::size_t kAdvancesPerFont = 4096;

    mutable std::optional<QFont> realized;    // cache of the selected font on this device
    mutable std::vector<RealizedFont> fonts;  // the last few realized, oldest first
    mutable std::size_t current = 0;          // fonts[current] is `realized`

    // --- surface ---
    bool HasSurface() const;
    bool IsImage() const { return (kind == Kind::Image || kind == Kind::Memory) && image; }
    bool Mono() const { return kind == Kind::Memory && bitmap.IsMonochrome(); }
    QRect Bounds() const;  // device pixels of the surface
    // The painter, begun on demand; null when there is nothing to draw on.
    QPainter* Painter();
    void EndPainter();
    void MarkDirty(const QRect& deviceRect);

    // --- clipping ---
    QRegion VisibleRegion() const;  // surface ∩ base clip ∩ selected clip
    void ClipChanged() { clipApplied = false; }
    // The painter prepared for a fill: clip applied, composition reset; null when invisible.
    QPainter* PainterForDrawing();

    // --- mapping ---
    Size EffectiveVpExt() const;
    int ToDevX(int x) const;
    int ToDevY(int y) const;
    int ToLogX(int x) const;
    int ToLogY(int y) const;
    QRect ToDevRect(const Rect& r) const;  // normalised, right/bottom exclusive
    int ScaleLenX(int len) const;          // a logical length in device pixels (>= 0)
    int ScaleLenY(int len) const;
    int UnscaleLenX(int len) const;
    int UnscaleLenY(int len) const;

    // --- colours on this surface ---
    ColorRef Surface(ColorRef c) const;  // black or white on a monochrome bitmap

    // --- pixel operations (image surfaces) ---
    // Applies a raster operation to every visible pixel of a device rectangle. pattern gives
    // the pattern pixel for a device position; source the source pixel (offset from the
    // rectangle's top-left), or both may be empty.
    void RopFill(const QRect& deviceRect, std::uint8_t rop3,
                 const std::function<std::uint32_t(int, int)>& pattern,
                 const std::function<std::uint32_t(int, int)>& source);
    // Solid spans with a pen mix mode.
    void Rop2Fill(const QRect& deviceRect, ColorRef color, int rop2);
    // The pattern colour of the selected brush at a device position.
    std::uint32_t BrushPixel(const Brush& b, int x, int y) const;
    // Fills a device rectangle with a brush (clip applied), honouring the background mode
    // for hatches.
    void FillDevice(const QRect& r, const Brush& b);

    // --- fonts ---
    const QFont& Font() const;
    // The realized entry of the selected font (realizing it when needed).
    RealizedFont& CurrentFont() const;
};

// The pixel (0xAARRGGBB) of a colour; an image surface stores colours so.
inline std::uint32_t PixelOf(ColorRef c) {
    return ToPixel(c);
}

// Result of an 8-bit raster operation on three 24-bit colours.
std::uint32_t ApplyRop3(std::uint8_t rop, std::uint32_t p, std::uint32_t s, std::uint32_t d);

// The Qt font a logical font becomes at a device scale (device pixels per logical unit).
QFont RealizeFont(const LogFont& lf, double scaleX, double scaleY);
// The metrics of a realised font in device pixels.
TextMetrics DeviceMetrics(const QFont& f, const LogFont& lf);

}  // namespace fw
