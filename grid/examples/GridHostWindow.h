// A framework window that hosts a grid core and hands it the messages the grid draws and
// scrolls by (paint, size, scroll bars). The grid's own window classes (view and child window)
// forward every message; this small host is what tests, the demo and the benchmark need until
// then. `Core` is CGXGridCore or a class derived from it constructible from the window.
#pragma once

#include "framework/PaintContext.h"
#include "framework/Window.h"
#include "grid/core/CGXGridCore.h"

template <class Core = CGXGridCore>
class GridHost : public fw::Window {
public:
    GridHost() : core_(this) {}
    Core& GetCore() { return core_; }

protected:
    void OnPaint() override {
        fw::PaintContext dc(*this);
        core_.OnGridDraw(&dc);
    }
    void OnSize(fw::UINT type, int cx, int cy) override { core_.OnGridSize(type, cx, cy); }
    void OnVScroll(fw::UINT code, fw::UINT pos) override { core_.OnGridVScroll(code, pos); }
    void OnHScroll(fw::UINT code, fw::UINT pos) override { core_.OnGridHScroll(code, pos); }

private:
    Core core_;
};

using GridHostWindow = GridHost<>;
