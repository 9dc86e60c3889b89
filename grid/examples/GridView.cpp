// gridview: a window with the demo grid (a million rows, a hundred columns). With
// "--screenshot FILE" it paints once, writes the window's image and ends.
#include "framework/Window.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/core/GXLibraryState.h"
#include "grid/examples/GridDemo.h"
#include "grid/examples/GridHostWindow.h"

#include <QApplication>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    GXInitWithControlFactory();
    const char* screenshot = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0)
            screenshot = argv[i + 1];
    GridHostWindow window;
    window.Create(nullptr, {100, 100, 900, 600}, 0, fw::WS_OVERLAPPEDWINDOW | fw::WS_VISIBLE);
    window.SetWindowText("Grid: 1,000,000 x 100");
    window.GetCore().OnGridInitialUpdate();
    FillDemoGrid(window.GetCore());
    window.GetCore().SetCurrentCell(3, 2);
    window.GetCore().Redraw(GX_INVALIDATE);
    if (screenshot) {
        // Let the window be shown and sized as the event loop would, then paint.
        app.processEvents();
        window.UpdateWindow();
        app.processEvents();
        return window.grab().save(screenshot) ? 0 : 1;
    }
    return app.exec();
}
