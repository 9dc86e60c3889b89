// Cell tips: a small pop-up over a cell that shows the cell's whole text, or its whole "#BMP"
// bitmap, when the cell is too small for it.
//
// The helpers measure where a cell shows its text or bitmap and whether it fits; their answer
// is a flag word (0: it fits):
//   0x01 wider than the space the cell shows it in     0x02 higher than that space
//   0x04 reaches left or right beyond the grid window's client area, 0x08 above or below it
//   0x10 reaches left of 0 or beyond the screen width, 0x20 above 0 or beyond the screen height
//
// CGXCellTipWnd is the tip window (text or bitmap kind; a frameless pop-up that leaves the focus
// with the grid). CGXCellTipStatic is the tip object of the controls that show text or pool
// bitmaps. CGXCellTips shows a control's tip when the mouse has rested on a cell for its delay
// and hides it when the mouse moves to another cell; the grid window hands it its mouse moves.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/Dib.h"
#include "framework/drawing/GdiObjects.h"
#include "framework/window/PopupWindow.h"
#include "grid/core/GXTypes.h"

#include <memory>
#include <string>

class CGXControl;
class CGXGridCore;
class CGXStyle;

inline constexpr unsigned GX_CELLTIP_TEXT = 1;
inline constexpr unsigned GX_CELLTIP_BITMAP = 2;

// --- measuring helpers (all for a control, a cell and the cell's style)
// ---------------------------
std::string GXGetCellDisplayText(CGXControl& control, ROWCOL row, ROWCOL col,
                                 const CGXStyle& style);
// The display text's size in the style's font at the grid's zoom; (0, 0) without a font.
fw::Size GXGetCellTextExtent(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style);
// The cell less its borders, in screen coordinates.
fw::Rect GXGetCellInnerScreenRect(CGXControl& control, ROWCOL row, ROWCOL col,
                                  const CGXStyle& style);
// The control's text rectangle of the cell, in screen coordinates.
fw::Rect GXGetCellTextScreenRect(CGXControl& control, ROWCOL row, ROWCOL col,
                                 const CGXStyle& style);
// Where the text starts on the screen, as the style aligns it (dotted ellipses counted).
fw::Point GXGetCellTextOrigin(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style);
// Where a "#BMP" cell's bitmap starts on the screen; (0, 0) when the pool has no such bitmap.
fw::Point GXGetCellBitmapOrigin(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style);
// Flags 0x04 to 0x20 of a screen rectangle.
unsigned GXGetOffScreenFlags(CGXGridCore& grid, const fw::Rect& screenRect);
unsigned GXCellBitmapNeedsTip(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style);
unsigned GXCellTextNeedsTip(CGXControl& control, ROWCOL row, ROWCOL col, const CGXStyle& style);

// --- the tip window ----------------------------------------------------------------------------
class CGXCellTipWnd : public fw::PopupWindow {
public:
    explicit CGXCellTipWnd(unsigned kind) : kind_(kind) {}
    bool Create(fw::Window* owner);
    unsigned GetKind() const { return kind_; }

    void SetTipFont(const fw::LogFont& font) { font_ = font; }
    const fw::LogFont& GetTipFont() const { return font_; }
    void SetTipText(std::string text);
    const std::string& GetTipText() const { return text_; }
    void SetTextRect(const fw::Rect& rect) { textRect_ = rect; }
    const fw::Rect& GetTextRect() const { return textRect_; }
    void SetTipBitmap(const fw::Dib* bitmap);
    const fw::Dib* GetTipBitmap() const { return bitmap_.IsNull() ? nullptr : &bitmap_; }
    void SetBitmapRect(const fw::Rect& rect) { bitmapRect_ = rect; }
    const fw::Rect& GetBitmapRect() const { return bitmapRect_; }
    // Places and shows the window (screen coordinates) without activating it.
    void MoveTipWindow(const fw::Rect& rect);
    void MoveTipWindowTo(int left, int top, int right, int bottom);

protected:
    void OnPaint() override;
    // A mouse move, a click or a key on the tip puts it away.
    void OnMouseMove(fw::UINT flags, fw::Point p) override;
    void OnLButtonDown(fw::UINT flags, fw::Point p) override;
    void OnRButtonDown(fw::UINT flags, fw::Point p) override;
    void OnMButtonDown(fw::UINT flags, fw::Point p) override;

private:
    unsigned kind_;
    fw::LogFont font_;
    std::string text_;
    fw::Rect textRect_;
    fw::Dib bitmap_;
    fw::Rect bitmapRect_;
};

// --- the tip objects of the controls
// ----------------------------------------------------------------
class CGXCellTipBase {
public:
    virtual ~CGXCellTipBase() = default;
    // The flag word of the helpers; 0 when the content fits.
    virtual unsigned NeedTip(ROWCOL row, ROWCOL col, const CGXStyle& style) = 0;
    // GX_CELLTIP_TEXT or GX_CELLTIP_BITMAP.
    virtual unsigned GetTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) = 0;
    virtual void InitTipWnd(ROWCOL row, ROWCOL col, const CGXStyle& style, CGXCellTipWnd* wnd) = 0;
};

class CGXCellTipStatic : public CGXCellTipBase {
public:
    explicit CGXCellTipStatic(CGXControl* control) : control_(control) {}
    unsigned NeedTip(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
    unsigned GetTipKind(ROWCOL row, ROWCOL col, const CGXStyle& style) override;
    void InitTipWnd(ROWCOL row, ROWCOL col, const CGXStyle& style, CGXCellTipWnd* wnd) override;

private:
    void InitTextTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CGXCellTipWnd& wnd);
    void InitBitmapTip(ROWCOL row, ROWCOL col, const CGXStyle& style, CGXCellTipWnd& wnd);
    CGXControl* control_;
};

// --- showing tips ------------------------------------------------------------------------------
class CGXCellTips {
public:
    static constexpr unsigned kDefaultDelayMs = 500;
    explicit CGXCellTips(CGXGridCore& grid, unsigned delayMs = kDefaultDelayMs);
    ~CGXCellTips();
    // A mouse move in the grid window (client coordinates): a new cell hides the tip and starts
    // the delay; the same cell leaves things as they are.
    void OnGridMouseMove(fw::Point client);
    // The delay has passed: shows the tip of the cell under the mouse when it needs one.
    void OnDelay();
    void Hide();
    // The tip window on show, else null.
    CGXCellTipWnd* GetShownTip() const;

private:
    class Timer;
    CGXGridCore& grid_;
    unsigned delayMs_;
    ROWCOL row_ = GX_INVALID;
    ROWCOL col_ = GX_INVALID;
    std::unique_ptr<Timer> timer_;
    std::unique_ptr<CGXCellTipWnd> textTip_;
    std::unique_ptr<CGXCellTipWnd> bitmapTip_;
    CGXCellTipWnd* shown_ = nullptr;
};
