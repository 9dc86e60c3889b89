// The gadgets a date-time control is made of: light objects (not windows) that measure, draw and
// react to keys and the mouse inside the control's window, and report every wanted change to the
// control through OnGadgetNotify (type, id, value). Types: 1/2 step up/down, 3/4 spin up/down by
// a step, 5 button clicked, 6 probe a typed value, 7 commit it, 8/9 smallest/largest value,
// 10 typing on/off, 11 advance to the next field.
#pragma once

#include "framework/base/Geometry.h"
#include "framework/drawing/GdiObjects.h"

#include <string>
#include <vector>

namespace fw {
class DeviceContext;
}

// What a gadget needs of its control.
class CGXBDTGadgetOwner {
public:
    virtual ~CGXBDTGadgetOwner() = default;
    virtual bool OnGadgetNotify(int type, int id, int value) = 0;
    virtual void InvalidateGadget(const class CGXBDTGadget& g) = 0;
    virtual void CaptureGadget(CGXBDTGadget* g) = 0;  // null releases
    virtual void StartGadgetTimer(CGXBDTGadget* g, unsigned ms) = 0;
    virtual void StopGadgetTimer(CGXBDTGadget* g) = 0;
    virtual fw::ColorRef BackColor() const = 0;
    virtual fw::ColorRef TextColor() const = 0;
};

class CGXBDTGadget {
public:
    static constexpr unsigned kEnabled = 1;
    static constexpr unsigned kMouse = 2;
    static constexpr unsigned kFixed = 4;

    explicit CGXBDTGadget(CGXBDTGadgetOwner* owner) : owner_(owner) {}
    virtual ~CGXBDTGadget() = default;

    virtual void CalcSize(fw::DeviceContext& dc);
    virtual void Draw(fw::DeviceContext& dc) = 0;
    // False for a gadget that is not enabled; else sets the selected state (repainting on change).
    virtual bool Activate(bool on);
    virtual bool OnKeyDown(unsigned) { return false; }
    virtual bool OnChar(char32_t) { return false; }
    virtual void OnLButtonDown(unsigned, fw::Point) {}
    virtual void OnLButtonUp(unsigned, fw::Point) {}
    virtual void OnMouseMove(unsigned, fw::Point) {}
    virtual void OnCancelMode() {}
    virtual void OnTimer() {}
    virtual void OnSysColorChange() {}

    fw::Rect rect;
    unsigned flags = kEnabled;
    int id = -1;
    int value = 0;
    bool selected = false;

protected:
    // Colours and format of a field: highlight when selected, else text on the owner's back.
    void DrawField(fw::DeviceContext& dc, const std::string& text) const;
    CGXBDTGadgetOwner* owner_;
};

class CGXBDTNumericGadget : public CGXBDTGadget {
public:
    CGXBDTNumericGadget(CGXBDTGadgetOwner* owner, int minimum, int maximum, bool leadingZero);
    void CalcSize(fw::DeviceContext& dc) override;
    void Draw(fw::DeviceContext& dc) override;
    bool Activate(bool on) override;
    bool OnKeyDown(unsigned vk) override;
    bool OnChar(char32_t ch) override;
    void OnCancelMode() override;
    // Commits typed digits; false when the control refused them.
    bool Commit();
    bool IsTyping() const { return typedCount_ > 0; }
    int DigitCount() const { return digits_; }
    std::string Text() const;

private:
    void StopTyping();
    int min_;
    int max_;
    int digits_;
    bool leadingZero_;
    int typedCount_ = 0;
    int typedValue_ = 0;
};

class CGXBDTListGadget : public CGXBDTGadget {
public:
    CGXBDTListGadget(CGXBDTGadgetOwner* owner, std::vector<std::string> items);
    void CalcSize(fw::DeviceContext& dc) override;
    void Draw(fw::DeviceContext& dc) override;
    bool OnKeyDown(unsigned vk) override;
    bool OnChar(char32_t ch) override;
    void OnTimer() override;
    // The first entry from `start` (wrapping once) that begins with the text and that the control
    // accepts is committed and returned; -1 when none.
    int FindPrefix(const std::u32string& text, int start);
    const std::vector<std::string>& Items() const { return items_; }
    std::string Text() const;

private:
    void StopSearch();
    std::vector<std::string> items_;
    std::u32string search_;
    bool timer_ = false;
};

class CGXBDTStaticGadget : public CGXBDTGadget {
public:
    CGXBDTStaticGadget(CGXBDTGadgetOwner* owner, std::string text);
    void CalcSize(fw::DeviceContext& dc) override;
    void Draw(fw::DeviceContext& dc) override;
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

class CGXBDTSpinGadget : public CGXBDTGadget {
public:
    static constexpr unsigned kUpPressed = 1, kDownPressed = 2, kTrackUp = 4, kTrackDown = 8,
                              kTimer = 0x10, kFirstDelay = 0x20;
    explicit CGXBDTSpinGadget(CGXBDTGadgetOwner* owner);
    void CalcSize(fw::DeviceContext& dc) override;
    void Draw(fw::DeviceContext& dc) override;
    void OnLButtonDown(unsigned flags, fw::Point p) override;
    void OnLButtonUp(unsigned flags, fw::Point p) override;
    void OnMouseMove(unsigned flags, fw::Point p) override;
    void OnCancelMode() override;
    void OnTimer() override;
    unsigned State() const { return state_; }
    // The step of the n-th repeat: 1 for the first 20, 2 up to 50, 5 after.
    static int StepFor(int repeat);

private:
    fw::Rect UpHalf() const;
    fw::Rect DownHalf() const;
    void Release();
    unsigned state_ = 0;
    int repeats_ = 0;
};

class CGXBDTButtonGadget : public CGXBDTGadget {
public:
    CGXBDTButtonGadget(CGXBDTGadgetOwner* owner, fw::Bitmap bitmap);
    void CalcSize(fw::DeviceContext& dc) override;
    void Draw(fw::DeviceContext& dc) override;
    void OnLButtonDown(unsigned flags, fw::Point p) override;
    void OnLButtonUp(unsigned flags, fw::Point p) override;
    void OnMouseMove(unsigned flags, fw::Point p) override;
    void OnCancelMode() override;
    void SetBitmap(fw::Bitmap b) { bitmap_ = std::move(b); }

private:
    fw::Bitmap bitmap_;
    unsigned press_ = 0;  // 1 tracking, 2 pressed
};
