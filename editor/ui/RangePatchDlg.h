// Asks for a range patch: DMX channels start to end onto consecutive EDMX addresses from a
// start address (0 unpatches the range), and whether to append to the current patch.
#pragma once

#include "framework/dialogs/Dialog.h"

namespace tessaly {

enum : unsigned {
    IDC_RANGE_DMX_START = 1032,
    IDC_RANGE_DMX_END = 1033,
    IDC_RANGE_EDMX = 1034,
    IDC_RANGE_APPEND = 1045,
};

class CRangePatchDlg : public fw::Dialog {
public:
    explicit CRangePatchDlg(fw::Window* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    // The results after IDOK.
    int m_nEdmxStart = 0;
    int m_nDmxStart = 1;
    int m_nDmxEnd = 512;
    bool m_bAppend = true;

protected:
    void CreateControls() override;

private:
    void Refuse(unsigned messageId, unsigned focus, int line);
};

}  // namespace tessaly
