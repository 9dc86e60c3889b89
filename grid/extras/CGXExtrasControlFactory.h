// The library's control factory with the stand-alone controls' cells added: the OLE preview
// cell (20132) for a record-browsing grid (one that implements CGXOleBrowsingGrid). Every other
// id, and 20132 in any other grid, is made as CGXControlFactory makes it.
#pragma once

#include "grid/controls/CGXControlFactory.h"

class CGXExtrasControlFactory : public CGXControlFactory {
public:
    std::unique_ptr<CGXControl> CreateCellControl(unsigned controlId, CGXGridCore& grid) override;
};

// Starts the grid library with CGXExtrasControlFactory.
void GXInitWithExtras();
