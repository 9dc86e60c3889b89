// What a grid needs to know of the splitter window whose pane it is: how many pane rows and
// columns it has and which window sits in a pane. Panes of one splitter keep their scrolling
// in step (a pane row shares its top row, a pane column its left column) and share the zoom.
#pragma once

namespace fw {
class Window;
}

class CGXSplitterPanes {
public:
    virtual ~CGXSplitterPanes() = default;
    virtual int GetRowCount() const = 0;
    virtual int GetColumnCount() const = 0;
    // The window in a pane, null outside the splitter or for an empty pane.
    virtual fw::Window* GetPane(int row, int col) const = 0;
};
