// tessaly: the configuration editor of a Kolt lighting network. It opens a configuration
// (*.wov; a new one starts from Config.cfg beside the program), shows every node as a row,
// and sends the configuration to the nodes and gets it back.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "editor/ui/TessalyApp.h"
#include "os/CommandLine.h"

namespace {

constexpr const char* kUsage =
    "usage: tessaly [--connect] [/nologo] [FILE.wov]\n"
    "  The configuration editor: opens FILE (or a new configuration from Config.cfg beside\n"
    "  the program), one row per node.\n"
    "  --connect   connect to the lighting network at once (as Network > Connect does)\n"
    "  /nologo     no splash picture at start-up\n";

}  // namespace

int main(int argc, char** argv) {
    bool connect = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (os::IsHelpArgument(argv[i])) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--connect") == 0)
            connect = true;
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
    app.SetArguments(args);
    app.SetConnectAtStart(connect);
    return app.Run();
}
