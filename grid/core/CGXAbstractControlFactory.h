// What the library needs of the cell-control factory: creating a cell control from its control
// id, installing the per-grid feature objects into a grid and the application-wide components
// into the library state, and registering the controls' window classes. The library state owns
// the one factory of the process (GXInitLibrary).
#pragma once

#include "grid/controls/CGXControl.h"
#include "grid/core/GXTypes.h"

#include <memory>

class CGXGridCore;

class CGXAbstractControlFactory : public CGXOwnedObject {
public:
    // The control for a control id, bound to the grid; null for an id the factory does not know.
    virtual std::unique_ptr<CGXControl> CreateCellControl(unsigned controlId,
                                                          CGXGridCore& grid) = 0;
    // Creates the per-grid feature objects and stores each in its slot of the grid.
    virtual void InstallGridFeatures(CGXGridCore& grid) = 0;
    // Creates the application-wide components and stores them in the library state.
    virtual void InstallApplicationComponents() = 0;
    // Registers the window classes that the cell controls need.
    virtual void RegisterControlWindowClasses() = 0;
};
