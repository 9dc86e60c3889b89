// The buttons that cell controls carry inside their cells. CGXButton is pressed by the left
// mouse button or the space bar and clicks its owner when released over itself. The arrow
// buttons step at once when pressed and repeat while held: after 500 ms, then every 150 ms,
// each step 5 ms sooner down to 50 ms; the grid window's timer keeps them stepping while the
// mouse stands still, and moving off the button pauses them. Time comes from the process clock
// (os/Clock.h), so tests step the repeat with a fake clock.
#pragma once

#include "grid/controls/CGXChild.h"
#include "grid/core/GXColor.h"

#include <cstdint>

// The grid-window timer that keeps a held arrow button repeating.
inline constexpr unsigned GX_ARROWBUTTON_TIMER = 0x4A52;
// The user attribute with a push button's face colour (a colour word as decimal text).
inline constexpr unsigned GX_IDS_UA_PUSHBUTTON_FACECOLOR = 52569;

class CGXButton : public CGXChild {
public:
    explicit CGXButton(CGXControl* owner) : CGXChild(owner) {}

    bool MouseMove(unsigned flags, fw::Point point) override;
    bool LButtonDown(unsigned flags, fw::Point point) override;
    bool LButtonUp(unsigned flags, fw::Point point) override;
    bool OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;
    bool OnKeyUp(unsigned key, unsigned repeat, unsigned flags) override;
    void OnCancelMode() override;
    void Draw(fw::DeviceContext& dc, bool focus, const CGXStyle& style) override;
    void DrawButton(fw::DeviceContext& dc, bool focus) override;

    bool IsPressed() const { return m_bPressed; }
    bool IsTracking() const { return m_bTracking; }

    bool m_bPressed = false;
    bool m_bTracking = false;
    bool m_bAutoRefresh = true;

protected:
    // Drawn pressed: the owner draws with focus, this is its active child and it is pressed.
    bool DrawsPressed(bool focus) const;
    // The face and its raised or sunken edge.
    void DrawFrame(fw::DeviceContext& dc, bool pressed, COLORREF face) const;
    void DrawFace(fw::DeviceContext& dc, bool focus, COLORREF face, bool grayText);
};

class CGXArrowButton : public CGXButton {
public:
    explicit CGXArrowButton(CGXControl* owner) : CGXButton(owner) {}
    ~CGXArrowButton() override;

    bool LButtonDown(unsigned flags, fw::Point point) override;
    bool MouseMove(unsigned flags, fw::Point point) override;
    bool LButtonUp(unsigned flags, fw::Point point) override;
    void OnCancelMode() override;
    bool OnTimer(unsigned id) override;

    std::uint32_t m_nLastStep = 0;  // clock time of the last step
    unsigned m_nInterval = 500;     // milliseconds until the next step

protected:
    // Steps once more when the interval has passed, shortening it.
    void RepeatStep();
    void StopTimer();
    bool m_bTimer = false;
};

class CGXUpArrowButton : public CGXArrowButton {
public:
    explicit CGXUpArrowButton(CGXControl* owner) : CGXArrowButton(owner) {}
    void DrawButton(fw::DeviceContext& dc, bool focus) override;
};

class CGXDownArrowButton : public CGXArrowButton {
public:
    explicit CGXDownArrowButton(CGXControl* owner) : CGXArrowButton(owner) {}
    void DrawButton(fw::DeviceContext& dc, bool focus) override;
};

// The drop-down button of the combo boxes: drawn on the current cell, or always when the
// owning combo box says so (ShowsButtonAlways).
class CGXComboBoxButton : public CGXButton {
public:
    explicit CGXComboBoxButton(CGXControl* owner) : CGXButton(owner) {}
    void DrawButton(fw::DeviceContext& dc, bool focus) override;
    // TRUE when the owner wants the button drawn also on cells that are not current; the combo
    // box sets it through SetShowButtonAlways.
    bool m_bShowAlways = false;

protected:
    void DrawArrowButton(fw::DeviceContext& dc, bool focus, bool disabled);
};

// The drop-down button of a combo window: nothing while the owner's own window shows (it has
// a button of its own then); the disabled arrow in a disabled cell.
class CGXComboBoxWndButton : public CGXComboBoxButton {
public:
    explicit CGXComboBoxWndButton(CGXControl* owner) : CGXComboBoxButton(owner) {}
    void Draw(fw::DeviceContext& dc, bool focus, const CGXStyle& style) override;
    void DrawButton(fw::DeviceContext& dc, bool focus) override;
};

// The hot-spot edit's button: a small down arrow under a bar, on the current cell only.
class CGXHotSpotButton : public CGXButton {
public:
    explicit CGXHotSpotButton(CGXControl* owner) : CGXButton(owner) {}
    void DrawButton(fw::DeviceContext& dc, bool focus) override;
};
