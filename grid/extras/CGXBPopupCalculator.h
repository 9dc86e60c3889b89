// The calculator as a pop-up beside an anchor rectangle. The currency edit opens it, sets its
// value and receives the result as message 2019 (display text in the second parameter, a
// `const char*` valid during the call) when the user presses Enter or "=".
#pragma once

#include "grid/extras/CGXBCalculator.h"

class CGXBPopupCalculator : public CGXBCalculator {
    Q_OBJECT

public:
    static constexpr fw::UINT kMsgResult = 2019;

    // With `autoDelete` the object deletes itself once its window is destroyed.
    explicit CGXBPopupCalculator(bool autoDelete = false);

    // Opens at the anchor's left and bottom (screen coordinates), above the anchor when it would
    // pass the work area's bottom, ending at the anchor's right when it would pass the right edge;
    // takes the focus. `calcStyle` holds the calculator's own style bits (0x10: close after "=").
    bool CreatePopup(unsigned style, unsigned calcStyle, const fw::Rect& anchor, fw::Window* owner);

    virtual void NotifyOwner();
    bool HandleButton(int id) override;

protected:
    unsigned GetCalcClassStyle() override { return 0x800; }
    bool OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    bool OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override;
    void OnKillFocus(fw::Window* newFocus) override;
    void OnPostNcDestroy() override;

private:
    void AcceptAndClose();
    fw::Window* owner_ = nullptr;
    fw::WindowHandle ownerHandle_{};
    bool autoDelete_ = false;
    bool closing_ = false;
};
