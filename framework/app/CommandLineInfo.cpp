#include "framework/app/CommandLineInfo.h"

#include <QString>

#include <filesystem>
#include <system_error>

namespace fw {
namespace {

bool Is(std::string_view a, const char* b) {
    return QString::fromUtf8(a.data(), static_cast<int>(a.size()))
               .compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

void CommandLineInfo::ParseParam(std::string_view param, bool flag, bool) {
    if (flag) {
        ParseFlag(param);
    } else {
        ParseFile(param);
    }
}

void CommandLineInfo::ParseFlag(std::string_view flag) {
    if (Is(flag, "pt")) {
        shellCommand = FilePrintTo;
        showSplash = false;
        pendingPrintTo_ = 4;  // file, printer, driver, port
    } else if (Is(flag, "p")) {
        shellCommand = FilePrint;
        showSplash = false;
    } else if (Is(flag, "dde")) {
        shellCommand = FileDDE;
        showSplash = false;
    } else if (Is(flag, "Embedding")) {
        runEmbedded = true;
        showSplash = false;
    } else if (Is(flag, "Automation")) {
        runAutomated = true;
        showSplash = false;
    } else if (Is(flag, "Register") || Is(flag, "Regserver")) {
        shellCommand = AppRegister;
    } else if (Is(flag, "Unregister") || Is(flag, "Unregserver")) {
        shellCommand = AppUnregister;
        showSplash = false;
    } else if (Is(flag, "nologo")) {
        showSplash = false;
    }
}

void CommandLineInfo::ParseFile(std::string_view param) {
    if (shellCommand == FilePrintTo && pendingPrintTo_ > 0) {
        switch (pendingPrintTo_--) {
            case 4:
                fileName = std::string(param);
                break;
            case 3:
                printerName = std::string(param);
                break;
            case 2:
                driverName = std::string(param);
                break;
            default:
                portName = std::string(param);
                break;
        }
        return;
    }
    if (!fileName.empty())
        return;  // only the first file counts
    fileName = std::string(param);
    if (shellCommand == FileNew)
        shellCommand = FileOpen;
}

namespace {

// Switches begin with '/' or '-'; so do absolute paths here. An argument with a second '/',
// or that names an existing file, is a path.
bool IsSwitch(std::string_view a) {
    if (a.empty())
        return false;
    if (a.front() == '-')
        return true;
    if (a.front() != '/' || a.find('/', 1) != std::string_view::npos)
        return false;
    std::error_code ec;
    return !std::filesystem::exists(std::filesystem::path(a), ec);
}

}  // namespace

void ParseCommandLine(const std::vector<std::string>& args, CommandLineInfo& info) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        const bool flag = IsSwitch(a);
        if (flag)
            a.remove_prefix(1);
        info.ParseParam(a, flag, i + 1 == args.size());
    }
}

}  // namespace fw
