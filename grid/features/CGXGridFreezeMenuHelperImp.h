// Freezing the selection: the selected block of whole columns (rows) is moved to the first place
// after the headers and becomes the frozen pane; unfreezing moves it back to where it came from.
// Both run as one undo transaction under the parameter object's update lock and redraw once.
#pragma once

#include "grid/core/CGXAbstractFeatures.h"

class CGXGridFreezeMenuHelperImp : public CGXAbstractGridFreezeMenuHelperImp {
public:
    bool CanFreezeCols(CGXGridCore* grid) override;
    bool IsColsFrozen(CGXGridCore* grid) override;
    bool FreezeCols(CGXGridCore* grid) override;
    bool UnfreezeCols(CGXGridCore* grid) override;
    bool CanFreezeRows(CGXGridCore* grid) override;
    bool IsRowsFrozen(CGXGridCore* grid) override;
    bool FreezeRows(CGXGridCore* grid) override;
    bool UnfreezeRows(CGXGridCore* grid) override;
};
