// The library's control factory: creates the cell controls by control id and installs what a
// grid and the application need. Controls that are not built yet fall back as the library does
// for an unknown id (see CreateCellControl).
#pragma once

#include "grid/core/CGXAbstractControlFactory.h"

class CGXStylesMap;

// Control ids of the string table used here.
inline constexpr unsigned GX_IDS_CTRL_STATIC = 52513;

class CGXControlFactory : public CGXAbstractControlFactory {
public:
    // 52513 makes the static text control; 52512 and every id without a control of its own
    // make the edit control.
    std::unique_ptr<CGXControl> CreateCellControl(unsigned controlId, CGXGridCore& grid) override;
    // The per-grid features are installed here as they are built; none is yet.
    void InstallGridFeatures(CGXGridCore& grid) override;
    // Number formatting (the other application-wide components sit above this library and are
    // installed by the program).
    void InstallApplicationComponents() override;
    void RegisterControlWindowClasses() override {}
    // Registers the display names of the controls built so far.
    void RegisterControlIds(CGXStylesMap& map);
};

// Starts the grid library with this factory.
void GXInitWithControlFactory();
