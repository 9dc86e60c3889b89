// Whether one style is a subset of another: every attribute the subset includes is included in
// the style with the same value (text colours compared after resolving system colours, borders
// side by side, fonts attribute by attribute, user attributes position by position).
#pragma once

#include "grid/core/CGXAbstractComponents.h"

class CGXStyleCompareSubsetImp : public CGXAbstractStyleCompareSubsetImp {
public:
    bool IsSubSet(const CGXStyle& style, const CGXStyle& subset) override;
};

// Creates the component once and gives it to the library state.
void InstallStyleCompareSubsetImp();
