// Opens a configuration of 2 000 nodes into Tessaly's window (the document, the grid's rows
// and the first paint), and rebuilds the grid as Get Config does afterwards; beside them, the
// document's open alone, in the same run and the same rounds. Prints the medians and what the
// grid adds as a ratio to the document's open (below 1: the grid adds less than the load).
//
//   tessaly_open_bench [nodes] [rounds]
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "bench/common/Timing.h"
#include "editor/document/ConfigData.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/TessalyDoc.h"
#include "editor/ui/MainFrm.h"
#include "editor/ui/TessalyApp.h"
#include "editor/ui/TessalyDocument.h"
#include "editor/ui/TessalyView.h"

namespace fs = std::filesystem;

namespace {

using bench::Median;

double Time(const std::function<bool()>& work) {
    const auto start = std::chrono::steady_clock::now();
    if (!work()) {
        std::fprintf(stderr, "a round failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The frame and then the grid view, each as its own window paints: the frame does not paint
// its children.
void Paint(tessaly::CMainFrame& frame) {
    frame.UpdateWindow();
    if (tessaly::CTessalyView* view = frame.ActiveTessalyView())
        view->UpdateWindow();
}

}  // namespace

int main(int argc, char** argv) {
    const int nodes = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication qt(qtArgc, argv);
    CErrorHandler::SetLogPath(fs::path());
    const fs::path dir =
        fs::temp_directory_path() / ("ixo-tessaly-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    const fs::path file = dir / "network.wov";
    {
        CConfigData::CreateInstance({});
        CTessalyDoc doc(IXO_DATA_DIR);
        if (!doc.OnNewDocument())
            return 1;
        const uint32_t types[] = {8581, 8450, 8452, 8456, 8704};
        for (int i = 0; i < nodes; ++i)
            if (!doc.AddNodeOfType(types[i % 5]))
                return 1;
        if (!doc.OnSaveDocument(file))
            return 1;
    }
    std::printf("configuration: %d nodes, %ju bytes\n", nodes,
                static_cast<uintmax_t>(fs::file_size(file)));

    tessaly::CTessalyApp app(IXO_DATA_DIR, false);
    app.SetArguments({"/nologo"});
    if (!app.InitInstance())
        return 1;
    tessaly::CMainFrame* frame = app.MainFrame();
    frame->MoveWindow({0, 0, 1200, 800});
    QApplication::processEvents();
    CTessalyDoc alone(IXO_DATA_DIR);

    std::vector<double> docOpen, gridOpen, rebuild;
    // A first round warms both the same way (the allocator's pages and thresholds, the fonts)
    // and is not counted.
    for (int i = -1; i < rounds; ++i) {
        if (i == 0) {
            docOpen.clear();
            gridOpen.clear();
            rebuild.clear();
        }
        docOpen.push_back(Time([&] { return alone.OnOpenDocument(file); }));
        gridOpen.push_back(Time([&] {
            if (!app.OpenDocumentFile(file.string()))
                return false;
            Paint(*frame);
            return true;
        }));
        rebuild.push_back(Time([&] {
            frame->ActiveTessalyView()->RebuildGrid();
            Paint(*frame);
            return true;
        }));
        // The next open is of an unmodified document: no save question.
        frame->ActiveTessalyDocument()->Doc().SetModifiedFlag(false);
    }
    const double load = Median(docOpen), open = Median(gridOpen), again = Median(rebuild);
    std::printf("document open alone        %8.1f ms   (baseline)\n", load);
    std::printf("open into grid, 1st paint  %8.1f ms   ratio %.2f\n", open, open / load);
    std::printf("  of which the grid        %8.1f ms   ratio %.2f\n", open - load,
                (open - load) / load);
    std::printf("rebuild after Get Config   %8.1f ms   ratio %.2f\n", again, again / load);
    if (fw::Window* main = app.GetMainWnd())
        main->DestroyWindow();
    app.ExitInstance();
    fs::remove_all(dir);
    return 0;
}
