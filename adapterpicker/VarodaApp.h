// CVarodaApp: Varoda's start-up. One document (a configuration file), one frame, one
// view. With the switch "checknum" the program ends at once, without a window, when the PC
// has at most one usable network interface (there is nothing to pick).
#pragma once

#include "framework/app/Application.h"
#include "framework/app/CommandLineInfo.h"

namespace varoda {

// The framework's command line plus `checknum`: every switch sets it to whether the switch
// is "checknum" (any case), so the last switch decides.
class CVarodaCommandLineInfo : public fw::CommandLineInfo {
public:
    void ParseParam(std::string_view param, bool flag, bool last) override;
    bool checknum = false;
};

class CVarodaApp : public fw::Application {
public:
    CVarodaApp();
    // False when the program is to end: the first document could not be made, or
    // "checknum" found nothing to pick.
    bool InitInstance() override;
    static int CountUsableInterfaces();
    // The show command "WndState" asks for: 0 normal, 1 maximised, else minimised.
    int GetStartShowCommand() const;
    void OnAppAbout();
};

}  // namespace varoda
