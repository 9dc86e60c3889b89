// The About box: the program's product name, its version as six numbers and its
// copyright, from the version record the build gave the program.
#pragma once

#include "framework/dialogs/AboutBox.h"

namespace quillon {

class CVersionToolAboutDlg : public fw::AboutBox {
public:
    explicit CVersionToolAboutDlg(fw::Window* parent = nullptr);
};

}  // namespace quillon
