// quillon: lists the devices on the lighting network with their network and application
// versions, and sends them the update and discovery commands.
#include <QApplication>
#include <cstdio>
#include <string>

#include "os/CommandLine.h"
#include "versiontool/VersionToolApp.h"

namespace {

constexpr const char* kUsage =
    "usage: quillon\n"
    "  Lists the devices on the lighting network with their network and application\n"
    "  versions, flags those whose network version is too old, and sends them the update\n"
    "  and discovery commands. It takes no arguments.\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (os::IsHelpArgument(argv[i])) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (argc > 1) {
        std::fprintf(stderr, "quillon: unknown argument '%s'\n%s", argv[1], kUsage);
        return 2;
    }
    if (!os::WindowSystemAvailable()) {
        std::fputs(
            "quillon: no display to show a window on (DISPLAY and WAYLAND_DISPLAY are not set)\n",
            stderr);
        return 1;
    }
    QApplication qt(argc, argv);
    quillon::CVersionToolApp app;
    return app.Run();
}
