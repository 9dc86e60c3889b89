// varoda: picks the network card that faces the lighting network and writes ixokolt.cfg.
//   varoda [file.cfg] [-checknum]
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "adapterpicker/VarodaApp.h"
#include "os/CommandLine.h"

namespace {

constexpr const char* kUsage =
    "usage: varoda [FILE.cfg] [-checknum]\n"
    "  Lists this PC's network cards; the one ticked is the card that faces the lighting\n"
    "  network, written with its subnet mask and gateway to ixokolt.cfg.\n"
    "  FILE.cfg    the configuration file to open (default: a new one from this PC's cards)\n"
    "  -checknum   end at once, without a window, when the PC has at most one usable card\n";

// A file named on the command line that cannot be read would otherwise be reported in a
// message box, which nobody sees when the program was started from a script.
bool Readable(const std::string& arg) {
    std::error_code ec;
    return std::filesystem::is_regular_file(arg, ec);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (os::IsHelpArgument(arg)) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        // Flags are the program's own business (any flag other than checknum clears it);
        // an absolute path is a file, not a flag.
        const bool flag = arg.starts_with('-') || (arg.starts_with('/') && !Readable(arg));
        if (!flag && !Readable(arg)) {
            std::fprintf(stderr, "varoda: cannot open '%s': no such file\n%s", arg.c_str(), kUsage);
            return 2;
        }
    }
    if (!os::WindowSystemAvailable()) {
        std::fputs(
            "varoda: no display to show a window on (DISPLAY and WAYLAND_DISPLAY are not set)\n",
            stderr);
        return 1;
    }
    QApplication qt(argc, argv);
    varoda::CVarodaApp app;
    return app.Run();
}
