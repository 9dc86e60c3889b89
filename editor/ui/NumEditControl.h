// The node grid's and the vPort table's cell control for whole-number properties: a spin edit
// whose text may hold only "-" and decimal digits. Bounds, wrap and start value come from the
// cell's user attributes as for any spin edit; the numeric range is checked by the grid's
// validation attributes, not here.
#pragma once

#include "grid/controls/CGXSpinEdit.h"

namespace tessaly {

inline constexpr unsigned kNumEditControlId = 61452;

class CNumEditControl : public CGXSpinEdit {
public:
    static const CGXControlClassInfo kClassInfo;

    CNumEditControl(CGXGridCore* grid, unsigned id);
    const CGXControlClassInfo& GetControlClass() const override { return kClassInfo; }

    // True when every character is "-" or a decimal digit (the empty text included).
    bool ValidateText(const std::string& text) override;
};

}  // namespace tessaly
