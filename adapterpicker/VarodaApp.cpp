#include "adapterpicker/VarodaApp.h"

#include "adapterpicker/AboutDlg.h"
#include "adapterpicker/AdapterMap.h"
#include "adapterpicker/MainFrame.h"
#include "adapterpicker/VarodaDoc.h"
#include "adapterpicker/VarodaResources.h"
#include "adapterpicker/VarodaView.h"
#include "framework/base/CommandIds.h"
#include "framework/docview/DocTemplate.h"
#include "os/Text.h"

namespace varoda {

void CVarodaCommandLineInfo::ParseParam(std::string_view param, bool flag, bool last) {
    if (flag)
        checknum = os::EqualsNoCase(param, "checknum");
    fw::CommandLineInfo::ParseParam(param, flag, last);
}

CVarodaApp::CVarodaApp() : fw::Application(kAppName) {
    MapCommand(fw::ID_APP_ABOUT, [this] { OnAppAbout(); });
}

bool CVarodaApp::InitInstance() {
    LoadVarodaStrings();
    SetRegistryKey(kRegistryKey);
    LoadStdProfileSettings(kRecentFiles);
    AddDocTemplate(std::make_unique<fw::SingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CVarodaDoc>(); },
        [] { return std::make_unique<CMainFrame>(); },
        [] { return std::make_unique<CVarodaView>(); }));

    CVarodaCommandLineInfo info;
    ParseCommandLine(info);
    SetStartShowCommand(-1);  // shown below, once "checknum" has had its say
    if (!ProcessShellCommand(info) || GetMainWnd() == nullptr)
        return false;
    if (info.checknum && CountUsableInterfaces() <= 1)
        return false;
    auto* frame = static_cast<fw::FrameWnd*>(GetMainWnd());
    frame->ShowWindow(GetStartShowCommand());
    frame->UpdateWindow();
    if (frame->GetActiveView())
        frame->GetActiveView()->SetFocus();
    return true;
}

int CVarodaApp::CountUsableInterfaces() {
    return varoda::CountUsableInterfaces();
}

int CVarodaApp::GetStartShowCommand() const {
    switch (GetProfileInt(kSettings, kWndState, 0)) {
        case 0:
            return fw::SW_SHOWNORMAL;
        case 1:
            return fw::SW_SHOWMAXIMIZED;
        default:
            return fw::SW_SHOWMINIMIZED;
    }
}

void CVarodaApp::OnAppAbout() {
    CAboutDlg dialog(GetMainWnd());
    dialog.DoModal();
}

}  // namespace varoda
