// Text drawn at the orientation of the style's font, its turned box aligned in a rectangle.
#pragma once

#include "grid/core/CGXAbstractComponents.h"

class CGXDrawRotatedTextImp : public CGXAbstractDrawRotatedTextImp {
public:
    bool DrawRotatedText(fw::DeviceContext& dc, std::string_view text, const fw::Rect& rect,
                         const CGXStyle& style, unsigned format) override;
};

// Installs the rotated-text component unless one is installed already.
void InstallDrawRotatedTextImp();
