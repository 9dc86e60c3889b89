// An edit window with an optional push button at its right (default) or left edge showing a
// bitmap. Clicking the button, F4 or Alt+Down reports a button-clicked event (WM_COMMAND to the
// parent with the control id and code 0). The currency edit opens its calculator from it.
// The framework's windows have no non-client area: the button takes its strip of the window and
// the inner edit the rest. User-interface thread.
#pragma once

#include "framework/controls/Edit.h"
#include "framework/drawing/GdiObjects.h"

#include <string>
#include <string_view>

namespace fw {
class DeviceContext;
}

class CGXBDropEdit : public fw::Edit {
    Q_OBJECT

public:
    using UINT = fw::UINT;
    using LRESULT = fw::LRESULT;

    // Button flags.
    static constexpr unsigned kPressed = 1;
    static constexpr unsigned kTracking = 2;
    static constexpr unsigned kRightEdge = 4;

    CGXBDropEdit();
    ~CGXBDropEdit() override;

    // Shows the bitmap resource on the button (0 or a missing resource: no button).
    bool SetBitmap(unsigned id);
    bool SetBitmap(std::string_view name);
    unsigned GetBitmapId() const { return bitmapId_; }
    bool HasButton() const { return !bitmap_.IsNull(); }
    void SetButtonAtRight(bool right);
    void SetGaps(int left, int right);

    // The button in the window's coordinates (empty without a button).
    const fw::Rect& ButtonRect() const { return buttonRect_; }
    // The area left to the edit text.
    fw::Rect TextArea() const;
    unsigned ButtonFlags() const { return buttonFlags_; }

    // The point in the window's coordinates (`client`) or in screen coordinates.
    virtual bool IsPointOnButton(fw::Point p, bool client) const;
    virtual void OnButtonClicked();
    virtual void DrawButton(fw::DeviceContext& dc, const fw::Rect& r);

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, fw::Point p) override;
    void OnMouseMove(UINT flags, fw::Point p) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnCancelMode() override;
    bool OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    bool OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
    LRESULT WindowProc(fw::Message& msg) override;

    // Places the button and the inner edit after a size or bitmap change.
    virtual void RecalcButton();
    void RepaintButton();
    // Paints the button strip into a context (used by the window's own paint).
    void PaintButtonInto(fw::DeviceContext& dc);

private:
    void LoadBitmap();

    fw::Bitmap bitmap_;
    unsigned bitmapId_ = 0;
    std::string bitmapName_;
    unsigned buttonFlags_ = kRightEdge;
    int leftGap_ = 1;
    int rightGap_ = 1;
    fw::Rect buttonRect_;
};
