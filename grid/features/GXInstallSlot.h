// The one way the feature installers fill a grid's feature slot: once, with an object the grid
// owns from then on. A second install of the same feature leaves the first object in place.
#pragma once

#include "grid/core/CGXGridCore.h"

#include <memory>

template <class Imp>
void GXInstallSlot(CGXGridCore& grid, int slot) {
    if (grid.GetFeatureSlot(slot))
        return;
    grid.SetFeatureSlot(slot, grid.AddOwnedObject(std::make_unique<Imp>()));
}
