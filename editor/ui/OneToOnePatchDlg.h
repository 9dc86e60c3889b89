// Asks for the first EDMX address of a one-to-one patch (DMX channel i to address start + i - 1
// for all 512 channels) and whether to append to the current patch. The start must leave room
// for all 512 addresses below 32768.
#pragma once

#include <string>

#include "framework/dialogs/Dialog.h"

namespace tessaly {

enum : unsigned { IDC_ONE_TO_ONE_EDMX = 1031, IDC_ONE_TO_ONE_APPEND = 1043 };

class COneToOnePatchDlg : public fw::Dialog {
public:
    explicit COneToOnePatchDlg(fw::Window* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    // The results after IDOK.
    int m_nEdmxStart = 0;
    bool m_bAppend = false;

protected:
    void CreateControls() override;

private:
    void Refuse(unsigned messageId, int line);
};

}  // namespace tessaly
