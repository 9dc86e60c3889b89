#include "framework/CommandLineInfo.h"

#include <QString>

namespace fw {
namespace {

bool Is(std::string_view a, const char* b) {
    return QString::fromUtf8(a.data(), static_cast<int>(a.size())).compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
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
            case 4: fileName = std::string(param); break;
            case 3: printerName = std::string(param); break;
            case 2: driverName = std::string(param); break;
            default: portName = std::string(param); break;
        }
        return;
    }
    if (!fileName.empty()) return;  // only the first file counts
    fileName = std::string(param);
    if (shellCommand == FileNew) shellCommand = FileOpen;
}

void ParseCommandLine(const std::vector<std::string>& args, CommandLineInfo& info) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        const bool flag = !a.empty() && (a.front() == '/' || a.front() == '-');
        if (flag) a.remove_prefix(1);
        info.ParseParam(a, flag, i + 1 == args.size());
    }
}

}  // namespace fw
