// Quillon's application object: runs the main dialog modally and ends when it closes.
#pragma once

#include "framework/app/Application.h"

namespace quillon {

class CVersionToolApp : public fw::Application {
public:
    CVersionToolApp();
    // Shows the main dialog until it closes; false, so the program then ends.
    bool InitInstance() override;
};

}  // namespace quillon
