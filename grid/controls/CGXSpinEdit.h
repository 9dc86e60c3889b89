// The spin edit (control id 52519, "Spin Edit"): an edit cell with an up and a down arrow at the
// cell's right edge. A click on an arrow (and each repeat while it is held) steps the cell's
// whole number by one, within the cell's bounds ("SpinBound: Min. Value", "SpinBound: Max.
// Value"), wrapping when "SpinBound: Wrap Value" says so; an empty cell starts at "SpinEdit:
// start value". Numbers are 32-bit: text beyond that range and steps past its ends saturate.
#pragma once

#include "grid/controls/CGXEditControl.h"

#include <cstdint>
#include <optional>

class CGXStylesMap;
class CGXUpArrowButton;
class CGXDownArrowButton;

inline constexpr unsigned GX_IDS_CTRL_SPINEDIT = 52519;
inline constexpr std::uint16_t GX_IDS_UA_SPINBOUND_MIN = 51014;
inline constexpr std::uint16_t GX_IDS_UA_SPINBOUND_MAX = 51015;
inline constexpr std::uint16_t GX_IDS_UA_SPINBOUND_WRAP = 51016;
inline constexpr std::uint16_t GX_IDS_UA_SPINSTART = 51021;

class CGXSpinEdit : public CGXEditControl {
public:
    static const CGXControlClassInfo kClassInfo;
    static constexpr int kButtonWidth = 14;

    CGXSpinEdit(CGXGridCore* grid, unsigned id = GX_IDS_CTRL_SPINEDIT);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }
    // The attributes the spin edit reads, with the controls that edit them.
    static void AddUserAttributes(CGXStylesMap& map);

    void Init(ROWCOL row, ROWCOL col) override;
    // The edit's text rectangle less the button column.
    fw::Rect GetCellRect(ROWCOL row, ROWCOL col, const fw::Rect* rect = nullptr,
                         const CGXStyle* style = nullptr) override;
    fw::Size AddBorders(fw::Size size, const CGXStyle& style) override;
    // The buttons share a column at the cell's right edge, the up arrow in its upper half.
    void OnInitChildren(ROWCOL row, ROWCOL col, const fw::Rect& rect) override;
    bool LButtonDown(unsigned flags, fw::Point point, unsigned hit) override;
    void OnClickedButton(CGXChild* child) override;

    // The next value from `text` for a step up or down, by the bounds read last.
    std::int32_t NextValue(const std::string& text, bool up) const;

    CGXUpArrowButton* m_pUpArrow = nullptr;
    CGXDownArrowButton* m_pDownArrow = nullptr;
    bool m_bWrap = false;
    std::optional<std::int32_t> m_nMin, m_nMax, m_nStart;

protected:
    // Reads wrap flag, bounds and start value from the bound cell's style.
    void LoadBounds();
};
