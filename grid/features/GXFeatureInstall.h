// The control factory that installs the editing features into every grid and the
// application-wide components they need, in the library's fixed order.
#pragma once

#include "grid/controls/CGXControlFactory.h"

class CGXFeatureControlFactory : public CGXControlFactory {
public:
    void InstallGridFeatures(CGXGridCore& grid) override;
    void InstallApplicationComponents() override;
};

// Starts the library with CGXFeatureControlFactory.
void GXInitWithFeatures();
