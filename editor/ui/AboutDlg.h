// The About box: the program's product name, its version as six numbers and its copyright,
// from the version record the build gave the program.
#pragma once

#include "framework/dialogs/AboutBox.h"

namespace tessaly {

enum : unsigned { IDC_ABOUT_VERSION = 1017, IDC_ABOUT_COPYRIGHT = 1018, IDC_ABOUT_PRODUCT = 1019 };

class CAboutDlg : public fw::AboutBox {
public:
    explicit CAboutDlg(fw::Window* parent = nullptr);
};

}  // namespace tessaly
