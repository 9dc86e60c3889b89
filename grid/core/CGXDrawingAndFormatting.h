// The application-wide helper through which the grid draws cell texts, frames, patterns and
// bitmaps; it also forwards value formatting and number recognition to the number-formatting
// component. Created on first use and kept by the library state.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/DeviceContext.h"
#include "framework/drawing/GdiObjects.h"
#include "grid/core/GXColor.h"
#include "grid/core/GXTypes.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class CGXControl;
class CGXStyle;

// Ellipsis modes of DrawCellText.
inline constexpr int gxNoEllipse = 0;
inline constexpr int gxDotEllipse = 1;
inline constexpr int gxPoundEllipse = 2;

class CGXDrawingAndFormatting {
public:
    static constexpr int kPatternCount = 41;
    static constexpr int kMaxLines = 32;

    static CGXDrawingAndFormatting& GetInstance();
    CGXDrawingAndFormatting() = default;
    virtual ~CGXDrawingAndFormatting();

    // The 8 x 8 monochrome pattern bitmap of an index (0..40), made once; null out of range.
    virtual fw::Bitmap GetPatternBitmap(int index);
    int GetPatternCount() const { return kPatternCount; }
    // The eight rows of a pattern (top row first, most significant bit leftmost).
    std::array<std::uint8_t, 8> GetPatternRows(int index) const;

    // Draws a cell's text like DrawTextRect (ellipsis mode 0), or ending a cut line in "..."
    // (mode 1) or replacing a single line that does not fit by "#" signs (mode 2, with
    // DT_SINGLELINE). Returns the height used; `lineCount` receives the number of lines.
    virtual int DrawCellText(fw::DeviceContext& dc, std::string_view text, const fw::Rect& rect,
                             unsigned format, int* lineCount, const fw::Rect* clip,
                             int ellipsisMode);
    // Splits the text (SplitTextLines, at most 32 lines) and writes each line aligned in the
    // rectangle; returns the height used.
    virtual int DrawTextRect(fw::DeviceContext& dc, std::string_view text, const fw::Rect& rect,
                             unsigned format, const fw::Rect* clip = nullptr);
    // Through the rotated-text component; FALSE without it.
    virtual bool DrawRotatedText(fw::DeviceContext& dc, std::string_view text, const fw::Rect& rect,
                                 const CGXStyle& style, unsigned format);
    // The byte index of the character under a point in a text laid out in the rectangle, -1 when
    // none; `line` receives the line's index.
    virtual int HitTestText(fw::DeviceContext& dc, std::string_view text, const fw::Rect& rect,
                            unsigned format, fw::Point point, int* line = nullptr);
    // Draws the text's lines as DrawTextRect does (32-line buffer).
    virtual int DrawTextLines(fw::DeviceContext& dc, std::string_view text, const fw::Rect& rect,
                              unsigned format);
    // Breaks a text into lines that fit the rectangle's width + 1 pixels; moves the rectangle's
    // top for vertical alignment; returns the number of lines (at most the buffers' size).
    virtual int SplitTextLines(fw::DeviceContext& dc, std::string_view text, fw::Rect& rect,
                               unsigned format, std::span<int> starts, std::span<int> lengths);
    // Through the number-formatting component; without it the value text (or the style's).
    virtual std::string FormatValue(const CGXStyle& style, const std::string* valueText = nullptr,
                                    unsigned valueType = 0);
    virtual bool ParseNumber(std::string_view text, double* value, unsigned* format = nullptr,
                             unsigned* places = nullptr);
    // `width` nested one-pixel frames: top and left edges in `topLeft`, bottom and right in
    // `bottomRight`.
    virtual void DrawFrame(fw::DeviceContext& dc, int left, int top, int right, int bottom,
                           int width, COLORREF topLeft, COLORREF bottomRight);
    virtual void DrawEdgeFrame(fw::DeviceContext& dc, const fw::Rect& rect, bool outer, bool inner);
    // The text (or "--") centred in the rectangle, with an optional dotted-look frame.
    virtual void DrawFocusText(fw::DeviceContext& dc, const fw::Rect& rect, bool frame,
                               std::string_view text, unsigned format);
    // The text of a static cell control, aligned and wrapped as the style says.
    virtual void DrawControlText(CGXControl& control, fw::DeviceContext& dc, const fw::Rect& rect,
                                 ROWCOL row, ROWCOL col, const CGXStyle& style);

private:
    std::array<fw::Bitmap, kPatternCount> patterns_;
};

// Free text helpers with the same rules (GXFormatText forwards to FormatValue).
std::string GXFormatText(const CGXStyle& style, const std::string* valueText = nullptr,
                         unsigned valueType = 0);
