// A device context: the drawing state (pen, brush, font, colours, modes, clip region, mapping of
// logical to device coordinates) and the drawing operations, over a QImage (a window's backing
// image or a memory bitmap) or a printer.
//
// Coordinates passed in are logical; the context maps them to device pixels itself and paints
// with QPainter in device pixels, so patterns, hatches and one-pixel lines stay one device pixel
// at any zoom. Rectangles exclude their right and bottom edge; a line excludes its end point.
// Inverting, XOR and the other raster operations work on the image's pixels; on a printer only
// the operations that make sense on paper are carried out (copies and fills).
//
// A context over an image opens its QPainter on the first drawing call and closes it in Flush
// and in the destructor; pixel operations close it first. Do not copy the target image while a
// context draws into it without calling Flush first.
#pragma once

#include "framework/base/Color.h"
#include "framework/base/Geometry.h"
#include "framework/drawing/Dib.h"
#include "framework/drawing/GdiObjects.h"

#include <QFont>
#include <QImage>
#include <QRegion>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPrinter;

namespace fw {

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Mix modes of pens (SetROP2).
inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

// Raster operations of block transfers: bits 16-23 are the truth table over pattern (P),
// source (S) and destination (D); bit (P ? 4 : 0) + (S ? 2 : 0) + (D ? 1 : 0) gives the result.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;
inline constexpr std::uint32_t SRCERASE = 0x00440328;
inline constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
inline constexpr std::uint32_t MERGECOPY = 0x00C000CA;
inline constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
inline constexpr std::uint32_t PATCOPY = 0x00F00021;
inline constexpr std::uint32_t PATPAINT = 0x00FB0A09;
inline constexpr std::uint32_t PATINVERT = 0x005A0049;
inline constexpr std::uint32_t DSTINVERT = 0x00550009;
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;

// Text alignment of TextOut (SetTextAlign).
inline constexpr unsigned TA_LEFT = 0;
inline constexpr unsigned TA_TOP = 0;
inline constexpr unsigned TA_UPDATECP = 1;
inline constexpr unsigned TA_RIGHT = 2;
inline constexpr unsigned TA_CENTER = 6;
inline constexpr unsigned TA_BOTTOM = 8;
inline constexpr unsigned TA_BASELINE = 24;

// ExtTextOut options.
inline constexpr unsigned ETO_OPAQUE = 0x0002;
inline constexpr unsigned ETO_CLIPPED = 0x0004;

// DrawText format flags. With DT_TABSTOP, bits 8-15 hold the tab width in characters.
inline constexpr unsigned DT_TOP = 0x00000;
inline constexpr unsigned DT_LEFT = 0x00000;
inline constexpr unsigned DT_CENTER = 0x00001;
inline constexpr unsigned DT_RIGHT = 0x00002;
inline constexpr unsigned DT_VCENTER = 0x00004;
inline constexpr unsigned DT_BOTTOM = 0x00008;
inline constexpr unsigned DT_WORDBREAK = 0x00010;
inline constexpr unsigned DT_SINGLELINE = 0x00020;
inline constexpr unsigned DT_EXPANDTABS = 0x00040;
inline constexpr unsigned DT_TABSTOP = 0x00080;
inline constexpr unsigned DT_NOCLIP = 0x00100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x00200;
inline constexpr unsigned DT_CALCRECT = 0x00400;
inline constexpr unsigned DT_NOPREFIX = 0x00800;
inline constexpr unsigned DT_END_ELLIPSIS = 0x08000;
inline constexpr unsigned DT_HIDEPREFIX = 0x100000;

// DrawEdge: edges (inner and outer, raised and sunken) and border flags.
inline constexpr unsigned BDR_RAISEDOUTER = 0x1;
inline constexpr unsigned BDR_SUNKENOUTER = 0x2;
inline constexpr unsigned BDR_RAISEDINNER = 0x4;
inline constexpr unsigned BDR_SUNKENINNER = 0x8;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr unsigned BF_LEFT = 0x0001;
inline constexpr unsigned BF_TOP = 0x0002;
inline constexpr unsigned BF_RIGHT = 0x0004;
inline constexpr unsigned BF_BOTTOM = 0x0008;
inline constexpr unsigned BF_RECT = 0x000F;
inline constexpr unsigned BF_MIDDLE = 0x0800;
inline constexpr unsigned BF_SOFT = 0x1000;
inline constexpr unsigned BF_ADJUST = 0x2000;
inline constexpr unsigned BF_FLAT = 0x4000;
inline constexpr unsigned BF_MONO = 0x8000;

// Mapping modes.
inline constexpr int MM_TEXT = 1;
inline constexpr int MM_LOMETRIC = 2;
inline constexpr int MM_HIMETRIC = 3;
inline constexpr int MM_LOENGLISH = 4;
inline constexpr int MM_HIENGLISH = 5;
inline constexpr int MM_TWIPS = 6;
inline constexpr int MM_ISOTROPIC = 7;
inline constexpr int MM_ANISOTROPIC = 8;

// GetDeviceCaps indices.
inline constexpr int TECHNOLOGY = 2;
inline constexpr int HORZSIZE = 4;
inline constexpr int VERTSIZE = 6;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int RASTERCAPS = 38;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int DT_RASPRINTER = 2;

// The resolution of screen contexts in pixels per inch; 96 unless a program sets another.
int ScreenDpi();
void SetScreenDpi(int dpi);

class DeviceContext {
public:
    // A context with nothing to draw on until CreateCompatibleDC; every drawing call does nothing.
    DeviceContext();
    // A screen context over an image (converted to 32 bits per pixel when it is not).
    explicit DeviceContext(QImage* target);
    // A printer context; drawing starts with StartDoc.
    explicit DeviceContext(QPrinter* printer);
    virtual ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Turns this context into a memory context like `reference` (a screen context when null),
    // holding a 1 x 1 monochrome bitmap until another is selected.
    bool CreateCompatibleDC(const DeviceContext* reference);

    bool IsPrinting() const;
    bool IsMemoryDC() const;
    QImage* TargetImage() const;  // the image drawn on, or null for a printer

    // Ends the painter so the target image can be read or copied; reports the changed area.
    void Flush();
    // Called by Flush (and the destructor) with the device rectangle drawn since the last call.
    void SetOnFlush(std::function<void(const QRect&)> onFlush);
    // A clip in device pixels beneath every selected clip region (a paint's update region).
    void SetBaseClip(const QRegion& deviceRegion);

    // Selected tools; each returns the one selected before.
    Pen SelectPen(const Pen& pen);
    Brush SelectBrush(const Brush& brush);
    LogFont SelectFont(const LogFont& font);
    Bitmap SelectBitmap(const Bitmap& bitmap);  // memory contexts only
    const Pen& GetCurrentPen() const;
    const Brush& GetCurrentBrush() const;
    const LogFont& GetCurrentFont() const;
    const Bitmap& GetCurrentBitmap() const;

    ColorRef SetTextColor(ColorRef c);
    ColorRef GetTextColor() const;
    ColorRef SetBkColor(ColorRef c);
    ColorRef GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    int SetROP2(int mode);
    int GetROP2() const;
    unsigned SetTextAlign(unsigned align);
    unsigned GetTextAlign() const;
    Point SetBrushOrg(int x, int y);  // device pixels
    Point GetBrushOrg() const;

    // Saves the whole state; RestoreDC(-1) returns to the last saved one, RestoreDC(n) to the
    // state SaveDC returned n for (dropping the later ones). False for an unknown level.
    int SaveDC();
    bool RestoreDC(int level);

    // Mapping of logical to device coordinates.
    int SetMapMode(int mode);
    int GetMapMode() const;
    Point SetWindowOrg(int x, int y);
    Point OffsetWindowOrg(int dx, int dy);
    Point GetWindowOrg() const;
    Size SetWindowExt(int cx, int cy);
    Size GetWindowExt() const;
    Point SetViewportOrg(int x, int y);
    Point OffsetViewportOrg(int dx, int dy);
    Point GetViewportOrg() const;
    Size SetViewportExt(int cx, int cy);
    Size GetViewportExt() const;
    Point LPtoDP(Point p) const;
    Rect LPtoDP(const Rect& r) const;
    Point DPtoLP(Point p) const;
    Rect DPtoLP(const Rect& r) const;
    int GetDeviceCaps(int index) const;

    // Clipping. Regions are in device pixels; rectangles in logical units.
    int SelectClipRgn(const Region* region);  // null removes the selected clip
    int IntersectClipRect(const Rect& r);
    int ExcludeClipRect(const Rect& r);
    int GetClipBox(Rect& box) const;  // logical; kind of the visible region
    bool PtVisible(Point p) const;
    bool RectVisible(const Rect& r) const;

    // Lines and shapes, outlined with the pen and filled with the brush.
    Point MoveTo(int x, int y);
    bool LineTo(int x, int y);
    Point GetCurrentPosition() const;
    bool Polyline(std::span<const Point> points);
    bool Polygon(std::span<const Point> points);
    bool Rectangle(const Rect& r);
    bool Ellipse(const Rect& r);
    ColorRef SetPixel(int x, int y, ColorRef c);
    ColorRef GetPixel(int x, int y) const;

    // Fills ignore the pen and the mix mode.
    void FillRect(const Rect& r, const Brush& brush);
    void FillSolidRect(const Rect& r, ColorRef c);  // leaves c as the background colour
    void FrameRect(const Rect& r, const Brush& brush);
    void Draw3dRect(const Rect& r, ColorRef topLeft, ColorRef bottomRight);
    void InvertRect(const Rect& r);
    // A dotted frame drawn by XOR: drawing it twice restores what was there.
    void DrawFocusRect(const Rect& r);
    // With BF_ADJUST, r shrinks to the inside of the edge.
    bool DrawEdge(Rect& r, unsigned edge, unsigned flags);

    // Block transfers; x, y, width and height are logical. The pattern is the selected brush.
    bool PatBlt(int x, int y, int width, int height, std::uint32_t rop);
    bool BitBlt(int x, int y, int width, int height, const DeviceContext* source, int xSrc,
                int ySrc, std::uint32_t rop);
    bool StretchBlt(int x, int y, int width, int height, const DeviceContext* source, int xSrc,
                    int ySrc, int srcWidth, int srcHeight, std::uint32_t rop);
    // Draws part of a DIB (source rectangle in DIB pixels from the top-left) stretched over
    // the destination; returns the number of rows drawn (0 on failure).
    int StretchDIBits(const Rect& dest, const Rect& src, const Dib& dib, std::uint32_t rop);

    // Text.
    bool TextOut(int x, int y, std::string_view text);
    bool ExtTextOut(int x, int y, unsigned options, const Rect* rect, std::string_view text);
    // Draws formatted text into r and returns its height; with DT_CALCRECT only measures and
    // sets r's right and bottom edge to the box the text needs.
    int DrawText(std::string_view text, Rect& r, unsigned format);
    Size GetTextExtent(std::string_view text) const;
    TextMetrics GetTextMetrics() const;
    std::string GetTextFace() const;
    // The Qt font the selected logical font becomes on this device (size in device pixels).
    QFont RealizedFont() const;

    // Printing (printer contexts). StartDoc returns a positive job id, or 0 when the printer
    // cannot be opened.
    int StartDoc(std::string_view documentName);
    int StartPage();
    int EndPage();
    int EndDoc();
    int AbortDoc();

    struct State;
    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace fw
