// The pictures of the device list: the four state images (0 current and updatable,
// 1 current, 2 older and updatable, 3 older), the two sort marks of the column headers
// (0 ascending, 1 descending) and the program's icon. Drawn at run time.
#pragma once

#include <QIcon>

#include "framework/drawing/ImageList.h"

namespace quillon {

enum StateImage { kCurrentUpdatable = 0, kCurrent = 1, kOlderUpdatable = 2, kOlder = 3 };

inline int StateImageOf(bool older, bool updatable) {
    if (older)
        return updatable ? kOlderUpdatable : kOlder;
    return updatable ? kCurrentUpdatable : kCurrent;
}

fw::ImageList MakeStateImages();  // 16 x 16
fw::ImageList MakeSortImages();   // 8 x 8
QIcon QuillonIcon();

}  // namespace quillon
