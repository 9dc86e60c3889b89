// The drawing tools a device context selects: pens, brushes, logical fonts, bitmaps and regions.
// They are plain values; selecting one into a context copies it, so a cache of tools (the grid
// keeps one per style record) holds them without handles to free.
#pragma once

#include "framework/base/Color.h"
#include "framework/base/Geometry.h"

#include <QImage>
#include <QRegion>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace fw {

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

struct Pen {
    int style = PS_SOLID;
    int width = 1;  // in logical units; 0 and 1 give a one-pixel line at any zoom
    ColorRef color = 0;
    bool squareCaps = false;  // wide lines end in square caps instead of round ones
    friend bool operator==(const Pen&, const Pen&) = default;
};

// Brush styles and hatch styles.
inline constexpr int BS_SOLID = 0;
inline constexpr int BS_NULL = 1;
inline constexpr int BS_HOLLOW = BS_NULL;
inline constexpr int BS_HATCHED = 2;
inline constexpr int BS_PATTERN = 3;

inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

class Bitmap;

// A brush. A pattern brush is an 8 x 8 monochrome pattern, one byte per row from the top, the
// most significant bit leftmost; a 0 bit paints in the context's text colour and a 1 bit in its
// background colour. A hatched brush paints its lines in its colour and the gaps in the
// background colour when the background mode is opaque.
struct Brush {
    int style = BS_SOLID;
    ColorRef color = 0xFFFFFF;
    int hatch = HS_HORIZONTAL;
    std::array<std::uint8_t, 8> pattern{};

    static Brush Solid(ColorRef c) { return Brush{BS_SOLID, c, 0, {}}; }
    static Brush Null() { return Brush{BS_NULL, 0, 0, {}}; }
    static Brush Hatched(int hatchStyle, ColorRef c) {
        return Brush{BS_HATCHED, c, hatchStyle, {}};
    }
    static Brush Pattern(const std::array<std::uint8_t, 8>& rows) {
        return Brush{BS_PATTERN, 0, 0, rows};
    }
    // A pattern brush from the top-left 8 x 8 pixels of a bitmap (white pixels are 1 bits).
    static Brush FromBitmap(const Bitmap& bitmap);
    friend bool operator==(const Brush&, const Brush&) = default;
};

// The 8 x 8 cell of a hatch style: bit set where the hatch line runs (rows from the top, most
// significant bit leftmost). An unknown style gives an empty cell.
std::array<std::uint8_t, 8> HatchRows(int hatchStyle);

// Font weights and character sets.
inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr std::uint8_t ANSI_CHARSET = 0;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t FF_DONTCARE = 0x00;
inline constexpr std::uint8_t FF_ROMAN = 0x10;
inline constexpr std::uint8_t FF_SWISS = 0x20;
inline constexpr std::uint8_t FF_MODERN = 0x30;
inline constexpr std::uint8_t FIXED_PITCH = 0x01;
inline constexpr std::uint8_t VARIABLE_PITCH = 0x02;

// A logical font. height < 0 asks for a character (em) height of -height logical units,
// height > 0 for a cell height (ascent + descent) of height units, 0 for the default size.
// escapement is the angle of the text line in tenths of a degree, counter-clockwise.
struct LogFont {
    int height = 0;
    int width = 0;  // average character width, 0 for the font's own
    int escapement = 0;
    int orientation = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charSet = DEFAULT_CHARSET;
    std::uint8_t pitchAndFamily = 0;
    std::string faceName;  // empty: the application's default face
    friend bool operator==(const LogFont&, const LogFont&) = default;
};

// The font dialogs and controls of the framework use this face at this size by default.
LogFont DefaultGuiFont();

// Pitch-and-family bits of measured text metrics.
inline constexpr std::uint8_t TMPF_VARIABLE_PITCH = 0x01;  // set for a proportional font
inline constexpr std::uint8_t TMPF_VECTOR = 0x02;
inline constexpr std::uint8_t TMPF_TRUETYPE = 0x04;

// Metrics of the font selected in a context, in logical units.
struct TextMetrics {
    int height = 0;  // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;  // height minus the character height
    int externalLeading = 0;  // the gap the font designer puts between lines
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underlined = false;
    bool struckOut = false;
    std::uint8_t pitchAndFamily = 0;
    std::uint8_t charSet = DEFAULT_CHARSET;
};

// A bitmap: colour (32 bits per pixel) or monochrome (pixels black or white). Copies share
// the pixels, as two handles of one bitmap do; Clone makes an independent copy.
class Bitmap {
public:
    Bitmap() = default;
    static Bitmap Create(int width, int height, ColorRef fill = 0);
    // A monochrome bitmap; rows of bits (most significant bit leftmost, 1 = white) padded to
    // 16-bit words, as monochrome bitmaps are laid out. Missing bytes give black.
    static Bitmap CreateMono(int width, int height, std::span<const std::uint8_t> bits = {});
    // Takes a copy of an image (converted to 32 bits per pixel).
    static Bitmap FromImage(const QImage& image);

    bool IsNull() const { return !image_; }
    bool IsMonochrome() const { return mono_; }
    int Width() const { return image_ ? image_->width() : 0; }
    int Height() const { return image_ ? image_->height() : 0; }
    Size GetSize() const { return {Width(), Height()}; }
    ColorRef GetPixel(int x, int y) const;  // CLR_INVALID outside
    QImage* Image() const { return image_.get(); }
    Bitmap Clone() const;
    // The same pixels (not equal content).
    bool SameAs(const Bitmap& other) const { return image_ == other.image_; }

private:
    std::shared_ptr<QImage> image_;
    bool mono_ = false;
};

inline constexpr ColorRef CLR_INVALID = 0xFFFFFFFF;

// Region kinds returned by clipping calls.
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

// Combine modes.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// A region in device pixels, as clip regions are kept.
class Region {
public:
    Region() = default;
    explicit Region(const Rect& r);
    explicit Region(const QRegion& r) : region_(r) {}
    static Region Ellipse(const Rect& r);

    int Combine(const Region& a, const Region& b, int mode);  // returns the kind of the result
    int Kind() const;
    bool IsEmpty() const { return region_.isEmpty(); }
    bool Contains(Point p) const { return region_.contains(QPoint(p.x, p.y)); }
    Rect Box() const;
    void Offset(int dx, int dy) { region_.translate(dx, dy); }
    const QRegion& Q() const { return region_; }
    friend bool operator==(const Region& a, const Region& b) { return a.region_ == b.region_; }

private:
    QRegion region_;
};

}  // namespace fw
