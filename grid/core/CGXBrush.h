// The interior of a cell: an 8-byte brush record of two 32-bit words.
//   word 0: bits 0-2 hatch style, bit 3 reserved, bits 4-5 foreground colour kind,
//           bits 6-7 background colour kind, bits 8-31 foreground colour (RGB or system index)
//   word 1: bits 30-31 brush style (0 solid, 1 hollow, 2 hatched, 3 pattern),
//           bits 24-29 pattern index, bits 0-23 background colour
#pragma once

#include "framework/drawing/GdiObjects.h"
#include "grid/core/GXColor.h"

#include <cstdint>

class CGXBrush {
public:
    // Solid, pattern index 63, black foreground, white background.
    CGXBrush() = default;
    CGXBrush(int style, COLORREF color, int hatch) { SetBrush(style, color, hatch); }

    CGXBrush& SetStyle(int style);
    CGXBrush& SetHatch(int hatch);
    CGXBrush& SetPattern(int index);  // 0..63
    CGXBrush& SetColor(COLORREF color);
    CGXBrush& SetBkColor(COLORREF color);
    // Style into bits 30-31 (the rest of word 1 becomes 0x3FFFFFFF), colour as SetColor, hatch.
    CGXBrush& SetBrush(int style, COLORREF color, int hatch);

    int GetStyle() const { return static_cast<int>(word1_ >> 30); }
    int GetHatch() const { return static_cast<int>(word0_ & 7u); }
    int GetPattern() const { return static_cast<int>((word1_ >> 24) & 0x3Fu); }
    // The colour words read back (system colours keep their meaning, see GXColor.h).
    COLORREF GetColor() const { return Foreground().Word(); }
    COLORREF GetBkColor() const { return Background().Word(); }
    COLORREF GetColorResolved() const { return Foreground().Resolve(); }
    COLORREF GetBkColorResolved() const { return Background().Resolve(); }
    GXStoredColor Foreground() const;
    GXStoredColor Background() const;

    // The brush to draw with: style, hatch and the foreground colour resolved. A pattern brush
    // takes the library's pattern of its index (Part of the drawing helpers); an index beyond
    // the patterns there are makes the brush hollow.
    fw::Brush GetLogBrush() const;

    std::uint32_t Word0() const { return word0_; }
    std::uint32_t Word1() const { return word1_; }
    void SetWords(std::uint32_t w0, std::uint32_t w1) {
        word0_ = w0;
        word1_ = w1;
    }
    friend bool operator==(const CGXBrush&, const CGXBrush&) = default;

private:
    std::uint32_t word0_ = 0;
    std::uint32_t word1_ = 0x3FFFFFFFu;
};

// A border or grid-line pen: an 8-byte record.
//   word 0: bits 0-2 pen style (0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 null,
//           7 not set), bits 3-18 width, bits 19-20 colour kind
//   word 1: bits 0-23 colour (RGB or system index)
class CGXPen {
public:
    static constexpr int kNotSet = 7;

    CGXPen() = default;  // style 7 (not set), width 1, black
    CGXPen(int style, int width, COLORREF color) {
        SetStyle(style);
        SetWidth(width);
        SetColor(color);
    }

    CGXPen& SetStyle(int style);
    CGXPen& SetWidth(int width);
    CGXPen& SetColor(COLORREF color);
    // TRUE turns style 7 (not set) into 0 (solid); FALSE sets style 7.
    CGXPen& SetInclude(bool include);

    int GetStyle() const { return static_cast<int>(word0_ & 7u); }
    int GetWidth() const { return static_cast<int>((word0_ >> 3) & 0xFFFFu); }
    bool GetInclude() const { return GetStyle() != kNotSet; }
    COLORREF GetColor() const { return Color().Word(); }
    COLORREF GetColorResolved() const { return Color().Resolve(); }
    GXStoredColor Color() const;

    // The pen to draw with; a pen that is not set draws nothing (a null pen).
    fw::Pen GetLogPen() const;

    // Turns a dashed or null border pen into the brush its line is painted with. Null pen: a copy
    // of the interior. Styles 1-4: a pattern brush (patterns 37-40, or 33-36 when inverted), black
    // on white when monochrome, else the pen colour on the interior's colour. FALSE for any other
    // style (the pen is drawn as a pen).
    bool ConvertPenToBrush(CGXBrush& out, const CGXBrush& interior, bool inverted,
                           bool monochrome) const;

    std::uint32_t Word0() const { return word0_; }
    std::uint32_t Word1() const { return word1_; }
    friend bool operator==(const CGXPen&, const CGXPen&) = default;

private:
    std::uint32_t word0_ = kNotSet | (1u << 3);
    std::uint32_t word1_ = 0;
};
