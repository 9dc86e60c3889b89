// The pictures of the main toolbar's buttons: plain 16 by 15 pixel drawings of a page, a
// folder, a disk, two pages, a clipboard, a printer and a question mark.
#pragma once

#include <QIcon>

namespace tessaly {

// The picture for a toolbar command; an empty icon for a command without one.
QIcon ToolBarPicture(unsigned commandId);

}  // namespace tessaly
