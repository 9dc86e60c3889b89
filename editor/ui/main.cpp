// tessaly: the configuration editor of a Kolt lighting network. It opens a configuration
// (*.wov; a new one starts from Config.cfg beside the program), shows every node as a row,
// and sends the configuration to the nodes and gets it back.
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "editor/ui/MainFrm.h"
#include "editor/ui/TessalyApp.h"
#include "editor/ui/TessalyView.h"
#include "os/CommandLine.h"

namespace {

constexpr const char* kUsage =
    "usage: tessaly [--connect] [/nologo] [FILE.wov]\n"
    "  The configuration editor: opens FILE (or a new configuration from Config.cfg beside\n"
    "  the program), one row per node.\n"
    "  --connect   connect to the lighting network at once (as Network > Connect does)\n"
    "  --exit-when-online=N  end once N nodes show on line (exit 0), or after\n"
    "              10 s (exit 1): for scripts that check a demonstration network\n"
    "  /nologo     no splash picture at start-up\n";

}  // namespace

int main(int argc, char** argv) {
    bool connect = false;
    int exitWhenOnline = 0;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (os::IsHelpArgument(argv[i])) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--connect") == 0)
            connect = true;
        else if (std::strncmp(argv[i], "--exit-when-online=", 19) == 0)
            exitWhenOnline = std::atoi(argv[i] + 19);
        else
            args.emplace_back(argv[i]);
    }
    if (!os::WindowSystemAvailable()) {
        std::fputs(
            "tessaly: no display to show a window on (DISPLAY and WAYLAND_DISPLAY are not set)\n",
            stderr);
        return 1;
    }
    QApplication qt(argc, argv);
    tessaly::CTessalyApp app;
    bool reached = false;
    QTimer watch;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    if (exitWhenOnline > 0) {
        QObject::connect(&watch, &QTimer::timeout, [&] {
            tessaly::CMainFrame* frame = app.MainFrame();
            tessaly::CTessalyView* view = frame ? frame->ActiveTessalyView() : nullptr;
            int online = 0;  // nodes, not rows: a node has a row per port
            int last = -1;
            for (ROWCOL row = view ? view->HeaderRows() + 1 : 1; view && row <= view->LastRow();
                 ++row) {
                const int node = view->NodeIndexOfRow(row);
                if (node != last && view->GetValueRowCol(row, 1) == "1")
                    ++online;
                last = node;
            }
            reached = online >= exitWhenOnline;
            if (reached)
                std::printf("tessaly: %d nodes on line\n", online);
            if ((reached || std::chrono::steady_clock::now() > deadline) && frame)
                frame->SendMessage(fw::WM_CLOSE);
        });
        watch.start(100);
    }
    app.SetArguments(args);
    app.SetConnectAtStart(connect);
    int code = app.Run();
    return exitWhenOnline > 0 && !reached ? 1 : code;
}
