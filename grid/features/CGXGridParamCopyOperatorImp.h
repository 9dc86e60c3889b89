// Deep copies of a parameter object, a styles map and properties: every owned sub-object is
// cloned (a cell store by its own run-time class, so a formula sheet stays one), shared ones
// are not copied.
#pragma once

#include "grid/core/CGXAbstractComponents.h"

class CGXGridParamCopyOperatorImp : public CGXAbstractGridParamCopyOperatorImp {
public:
    void CopyParam(CGXGridParam& dest, const CGXGridParam& source) override;
    void CopyStylesMap(CGXStylesMap& dest, const CGXStylesMap& source) override;
    void CopyProperties(CGXProperties& dest, const CGXProperties& source) override;
};

void InstallParamCopyOperatorImp();
