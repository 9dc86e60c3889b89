// CAboutDlg: the program's product name, version (three numbers) and copyright, read from
// the version record the build gave the program.
#pragma once

#include "framework/dialogs/Dialog.h"

namespace varoda {

class CAboutDlg : public fw::Dialog {
public:
    explicit CAboutDlg(fw::Window* parent = nullptr);
    bool OnInitDialog() override;

protected:
    void CreateControls() override;
};

}  // namespace varoda
