// Check-box cells. CGXCheckBox draws a cell as a box with an optional label (the choice list)
// and toggles the cell's value at once when the box is clicked or Space is pressed: the checked
// text (user attribute 51019, "1" when empty), the unchecked text (51020, "0"), and for a
// tri-state cell the empty text for undetermined. CGXCheckBoxEx toggles a copy held by the
// control and writes it to the grid only when the control is stored.
//
// The boxes come from a strip of five 13 x 13 images (unchecked, checked, unchecked pressed or
// disabled, checked pressed or disabled, undetermined) whose fixed colours (black, red, green,
// light grey) are mapped to the current window colours, and to black and white for printing.
#pragma once

#include "framework/drawing/Dib.h"
#include "grid/controls/CGXControl.h"
#include "grid/controls/GXPendingValueControl.h"

#include <optional>

class CGXStylesMap;
class CGXChild;

inline constexpr unsigned GX_IDS_CTRL_CHECKBOX = 52516;
inline constexpr unsigned GX_IDS_CTRL_CHECKBOX3D = 52523;
inline constexpr unsigned GX_IDS_CTRL_CHECKBOX_EX = 20130;
inline constexpr unsigned GX_IDS_CTRL_CHECKBOX3D_EX = 20131;
inline constexpr std::uint16_t GX_IDS_UA_CHECKBOX_CHECKED = 51019;
inline constexpr std::uint16_t GX_IDS_UA_CHECKBOX_UNCHECKED = 51020;

// State bits of GetState.
inline constexpr unsigned GX_CHECK_FOCUS = 0x1;    // the grid's current cell
inline constexpr unsigned GX_CHECK_PRESSED = 0x2;  // pressed, or disabled
inline constexpr unsigned GX_CHECK_CHECKED = 0x4;
inline constexpr unsigned GX_CHECK_UNCHECKED = 0x8;  // neither: undetermined

// The strips the library carries: the flat box (also used for printing) and two 3-D boxes.
inline constexpr unsigned GX_IDB_CHECKBOX_3D = 20024;
inline constexpr unsigned GX_IDB_CHECKBOX_3D_OLD = 20025;
inline constexpr unsigned GX_IDB_CHECKBOX = 20026;

class CGXCheckBox : public CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;
    // Bitmap ids of 0 take the library's strips for the look.
    CGXCheckBox(CGXGridCore* grid, bool draw3d = false, unsigned bitmapId = 0,
                unsigned printBitmapId = 0);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    static void AddUserAttributes(CGXStylesMap& map);
    // The packed strip the library carries for one of the three ids; empty for other ids.
    static std::vector<std::uint8_t> LibraryStrip(unsigned id);

    virtual unsigned GetState(ROWCOL row, ROWCOL col, const CGXStyle& style);
    virtual void DrawCheckBox(fw::DeviceContext& dc, const fw::Rect& rect, unsigned state,
                              unsigned alignment, const std::string& label);
    virtual fw::Rect CalcBoxRect(fw::DeviceContext& dc, const fw::Rect& rect,
                                 const std::string& label, unsigned alignment);
    virtual COLORREF MapBitmapColor(COLORREF color, bool printing);
    virtual bool LoadBitmaps();

    fw::Size CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                      bool heightOnly);
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool ConvertControlTextToValue(std::string& text, ROWCOL row, ROWCOL col,
                                   const CGXStyle* style) override;
    bool MouseMove(unsigned flags, fw::Point point) override;
    bool LButtonDown(unsigned flags, fw::Point point, unsigned hit) override;
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    bool LButtonDblClk(unsigned flags, fw::Point point) override;
    // WM_CHAR Space toggles.
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    bool OnSysColorChange() override;
    bool OnCancelMode() override;
    // Toggles the value (checked, unchecked, undetermined for tri-state cells) and stores it.
    virtual void OnClickedButton(CGXChild* child = nullptr);

    bool IsPressed() const { return m_bPressed; }
    int GetBoxSize() const { return m_nBoxSize; }

protected:
    // The texts of the style: checked, unchecked, and whether it is tri-state.
    static std::string CheckedText(const CGXStyle& style);
    static std::string UncheckedText(const CGXStyle& style);
    static bool IsTriState(const CGXStyle& style);
    // The value after a toggle of `value`.
    static std::string ToggledValue(const CGXStyle& style, const std::string& value);
    static unsigned AlignmentFlags(const CGXStyle& style);
    // The box rectangle of the bound cell, for hit tests.
    fw::Rect HitRect(const CGXStyle& style);
    bool CanToggle(const CGXStyle& style);

    bool m_b3d;
    unsigned m_nBitmapId;
    unsigned m_nPrintBitmapId;
    std::optional<fw::Dib> m_boxBitmap;
    std::optional<fw::Dib> m_printBitmap;
    int m_nBoxSize = 13;
    bool m_bPressed = false;
    fw::Rect m_rectHit;
};

class CGXCheckBoxEx : public GXPendingValueControl<CGXCheckBox> {
public:
    static const CGXControlClassInfo kClassInfo;
    using GXPendingValueControl::GXPendingValueControl;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    bool LButtonDown(unsigned flags, fw::Point point, unsigned hit) override;
    // As the check box, and Delete on the active control makes the value undetermined.
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    void OnClickedButton(CGXChild* child = nullptr) override;
};
