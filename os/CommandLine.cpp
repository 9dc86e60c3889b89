#include "os/CommandLine.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace os {

bool IsHelpArgument(std::string_view arg) {
    std::size_t dashes = 0;
    if (!arg.empty() && arg[0] == '/')
        dashes = 1;
    else
        while (dashes < arg.size() && dashes < 2 && arg[dashes] == '-') ++dashes;
    if (dashes == 0)
        return false;
    std::string word;
    for (char c : arg.substr(dashes))
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return word == "help" || word == "h" || word == "?";
}

bool WindowSystemAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
}

}  // namespace os
