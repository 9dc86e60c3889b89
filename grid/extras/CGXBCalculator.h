// A pocket-calculator window: a number display over a grid of owner-drawn buttons, worked with
// the mouse or the keyboard, computing in double precision with the user's decimal separator.
// The currency edit opens it as a pop-up (CGXBPopupCalculator) and takes its result.
// User-interface thread.
#pragma once

#include "framework/base/Color.h"
#include "framework/base/Geometry.h"
#include "framework/drawing/GdiObjects.h"
#include "framework/window/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace fw {
class DeviceContext;
}

// One button of the calculator.
class CGXBCalcBtn {
public:
    enum Flags : unsigned { kPressed = 1, kNewRow = 2 };

    CGXBCalcBtn(int id, std::string caption, std::string keys, unsigned virtualKey, int columns,
                bool newRow, fw::ColorRef textColor);

    int id;
    std::string caption;
    std::string keys;  // the characters that press it, lower-cased, UTF-8
    unsigned virtualKey = 0;
    int columns = 1;
    fw::Rect rect;
    unsigned flags = 0;
    fw::ColorRef textColor = 0;
    bool hasBitmap = false;

    void Draw(fw::DeviceContext& dc, const fw::LogFont& font, const fw::Bitmap& bitmap) const;
};

class CGXBCalculator : public fw::Window {
    Q_OBJECT

public:
    using UINT = fw::UINT;
    using LRESULT = fw::LRESULT;
    using CGXBCalcBtnArray = std::vector<std::unique_ptr<CGXBCalcBtn>>;

    // The calculator's own style bits.
    static constexpr unsigned kStyleOwnBorder = 1;    // draws its own 3-D border
    static constexpr unsigned kStyleDisplayLine = 2;  // a raised line under the display
    static constexpr unsigned kStyleCloseOnEquals = 0x10;

    // State flags.
    static constexpr unsigned kCaptured = 1;
    static constexpr unsigned kValueBeforeWindow = 4;
    static constexpr unsigned kError = 8;

    // Pending operations, and the ids of the operator buttons (1-6) and the others.
    enum Op { kNone = 0, kMultiply = 1, kAdd = 2, kSubtract = 3, kDivide = 4 };
    enum ButtonId {
        kIdMultiply = 1,
        kIdAdd = 2,
        kIdSubtract = 3,
        kIdDivide = 4,
        kIdPercent = 5,
        kIdEquals = 6,
        kIdClear = 7,
        kIdClearEntry = 8,
        kIdDigit0 = 9,
        kIdDigit9 = 18,
        kIdSeparator = 19,
        kIdBackspace = 20
    };

    CGXBCalculator();
    ~CGXBCalculator() override;

    // Creates the window sized to its buttons at the rectangle's top-left (screen coordinates for
    // a pop-up, the owner's client coordinates for a child). `calcStyle` holds the own style bits.
    bool Create(unsigned exStyle, unsigned style, unsigned calcStyle, const fw::Rect& rect,
                QWidget* owner, unsigned id);
    void SetValue(double value);
    void Reset();

    // The font the buttons and display are made from (default: the framework's GUI font).
    void SetOwnerFont(const fw::LogFont& font) { ownerFont_ = font; }

    double GetValue() const { return accumulator_; }
    bool IsError() const { return (state_ & kError) != 0; }
    // The display text as the user sees it ("Error " in the error state).
    std::string GetDisplayText() const;
    // The text as typed or formatted (without the separator the display adds).
    const std::string& GetRawText() const { return text_; }
    int GetDisplayCapacity() const { return capacity_; }
    int GetMaxDecimals() const { return maxDecimals_; }
    const CGXBCalcBtnArray& Buttons() const { return buttons_; }
    const fw::Rect& DisplayRect() const { return displayRect_; }

    // Performs a button id; true when it was known.
    virtual bool HandleButton(int id);

protected:
    virtual void CreateButtons();
    virtual void CreateFonts();
    virtual std::string GetDecimalSeparator();
    virtual unsigned GetCalcClassStyle() { return 0; }
    virtual void Draw(fw::DeviceContext& dc);

    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDown(UINT flags, fw::Point p) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnMouseMove(UINT flags, fw::Point p) override;
    void OnCancelMode() override;
    UINT OnGetDlgCode() override;
    bool OnChar(UINT ch, UINT repeat, UINT flags) override;
    bool OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    LRESULT WindowProc(fw::Message& msg) override;

    // Presses a button as a key does: drawn pressed, handled, drawn released.
    void PressButton(CGXBCalcBtn& button);
    bool IsPopup() const { return (calcStyle_ & kStyleCloseOnEquals) != 0 || popup_; }
    unsigned CalcStyle() const { return calcStyle_; }
    bool popup_ = false;

private:
    void Layout();
    void FormatDisplay();
    void Digit(int digit);
    void Separator();
    void Backspace();
    void Operator(int id);
    void Clear();
    void ClearEntry();
    CGXBCalcBtn* ButtonAt(fw::Point p);
    void InvalidateButton(const CGXBCalcBtn& b);

    unsigned state_ = 0;
    unsigned calcStyle_ = 0;
    double accumulator_ = 0;
    int pending_ = kNone;
    bool newEntry_ = true;
    int maxDecimals_ = 15;
    int capacity_ = 15;
    fw::Rect displayRect_;
    std::string text_;
    std::string separator_;
    fw::LogFont ownerFont_;
    fw::LogFont buttonFont_;
    fw::LogFont displayFont_;
    int displayHeight_ = 0;
    fw::Bitmap enterBitmap_;
    int buttonWidth_ = 0;
    int buttonHeight_ = 0;
    int marginV_ = 1;
    int marginLeft_ = 4;
    int rowGap_ = 1;
    int columnGap_ = 0;
    int pressed_ = -1;
    fw::Size clientSize_;
    CGXBCalcBtnArray buttons_;
};
