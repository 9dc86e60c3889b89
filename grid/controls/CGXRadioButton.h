// Radio-button cells: one button per non-empty line of the choice list; the value is the chosen
// line's zero-based index ("" for none). CGXRadioButton stores a choice in the grid at once and
// stacks the buttons; CGXRadioButtonEx keeps the choice until the control is stored and lays
// the buttons out vertically or horizontally, the text left or right of each button (user
// attributes "RadioButton: Alignment" and "RadioButton: Text Alignment").
#pragma once

#include "grid/controls/CGXControl.h"
#include "grid/controls/GXPendingValueControl.h"

#include <vector>

class CGXStylesMap;

inline constexpr unsigned GX_IDS_CTRL_RADIOBTN = 52515;
inline constexpr unsigned GX_IDS_CTRL_RADIOBTN3D = 52524;
inline constexpr unsigned GX_IDS_CTRL_RADIOBTN3DEX = 20136;
inline constexpr unsigned GX_IDS_CTRL_RADIOBTNEX = 20137;
inline constexpr std::uint16_t GX_IDS_UA_RADIOBUTTON_ALIGN = 51057;
inline constexpr std::uint16_t GX_IDS_UA_RADIOBUTTONTEXTALIGN = 52568;

// The place of one button and its text in a cell.
struct GXRadioItemRect {
    fw::Rect button;  // the 18-pixel button area (the button is drawn 3 pixels in)
    fw::Rect text;
};

// The non-empty lines of a choice list.
std::vector<std::string> GXRadioItems(const std::string& choiceList);
// Where the buttons and texts of the items go in `rect` with the font selected in `dc`.
std::vector<GXRadioItemRect> GXLayoutRadioButtons(fw::DeviceContext& dc, const fw::Rect& rect,
                                                  const std::vector<std::string>& items,
                                                  bool horizontal, bool textRight);
void GXDrawRadioButton(fw::DeviceContext& dc, int left, int top, int right, int bottom, bool chosen,
                       bool draw3d);
// Draws the group; answers the number of items.
int GXDrawRadioButtons(fw::DeviceContext& dc, const fw::Rect& rect, int value,
                       const std::string& choices, bool draw3d, bool horizontal = false,
                       bool textRight = true);
// The item under the point (on its button or its text), -1 for none.
int GXHitTestRadioButtons(fw::DeviceContext& dc, const fw::Rect& rect, const std::string& choices,
                          fw::Point point, bool horizontal = false, bool textRight = true);

class CGXRadioButton : public CGXControl {
public:
    static const CGXControlClassInfo kClassInfo;
    CGXRadioButton(CGXGridCore* grid, bool draw3d = false) : CGXControl(grid), m_b3d(draw3d) {}
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    fw::Size CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                      bool heightOnly);
    void Draw(fw::DeviceContext& dc, const fw::Rect& rect, ROWCOL row, ROWCOL col,
              const CGXStyle& style, const CGXStyle* standardStyle) override;
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    // Space chooses the next item (the first after the last or when none is chosen).
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;
    int GetItemCount() const { return m_nItemCount; }

protected:
    static int IndexOf(const CGXStyle& style);
    virtual bool Horizontal(const CGXStyle&) const { return false; }
    virtual bool TextRight(const CGXStyle&) const { return true; }
    int HitTest(const CGXStyle& style, fw::Point point);
    bool Writable(const CGXStyle& style);

    bool m_b3d;
    int m_nItemCount = 0;
};

class CGXRadioButtonEx : public GXPendingValueControl<CGXRadioButton> {
public:
    static const CGXControlClassInfo kClassInfo;
    using GXPendingValueControl::GXPendingValueControl;
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    static void AddUserAttributes(CGXStylesMap& map);

    bool HandlesCoveredCellClick() const { return true; }
    fw::Size CalcSize(fw::DeviceContext& dc, ROWCOL row, ROWCOL col, const CGXStyle& style,
                      bool heightOnly);
    bool LButtonUp(unsigned flags, fw::Point point, unsigned hit) override;
    // Space chooses the next item; Delete clears the choice.
    bool ProcessKeys(unsigned message, unsigned key, unsigned repeat, unsigned flags) override;

protected:
    bool Horizontal(const CGXStyle& style) const override;
    bool TextRight(const CGXStyle& style) const override;

private:
    void Choose(const std::string& value);
};
