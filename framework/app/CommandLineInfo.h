// The program's command line as a document program reads it: a file to open, the print
// switches, and the switches that start a program embedded, for automation or to register
// itself (parsed, so a program can stop early, and otherwise ignored here).
//
// Arguments beginning with '/' or '-' are switches, compared without regard to case:
//   /p file            print the file and end
//   /pt file printer [driver [port]]   print the file to that printer
//   /dde               wait for a shell request (nothing to do here)
//   /Embedding, /Automation            started for embedding or automation
//   /Register, /Regserver, /Unregister, /Unregserver
//   /nologo            no splash window
// The first other argument names the file to open. An absolute path is not a switch: an
// argument with a second '/' (or that names an existing file) is a file name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fw {

class CommandLineInfo {
public:
    enum ShellCommand {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1,
    };

    virtual ~CommandLineInfo() = default;
    // Called for each argument: `param` without its '/' or '-' when `flag`; `last` for the last.
    virtual void ParseParam(std::string_view param, bool flag, bool last);

    bool showSplash = true;
    bool runEmbedded = false;
    bool runAutomated = false;
    ShellCommand shellCommand = FileNew;
    std::string fileName;
    std::string printerName;
    std::string driverName;
    std::string portName;

private:
    void ParseFlag(std::string_view flag);
    void ParseFile(std::string_view param);
    int pendingPrintTo_ = 0;  // names still expected after /pt
};

// Feeds the arguments (without the program name) to info.ParseParam.
void ParseCommandLine(const std::vector<std::string>& args, CommandLineInfo& info);

}  // namespace fw
