#include "versiontool/VersionToolApp.h"

#include "versiontool/QuillonResources.h"
#include "versiontool/VersionToolDlg.h"

namespace quillon {

CVersionToolApp::CVersionToolApp() : fw::Application(kAppName) {}

bool CVersionToolApp::InitInstance() {
    LoadQuillonStrings();
    SetRegistryKey(kRegistryKey);
    CVersionToolDlg dialog;
    SetMainWnd(&dialog);
    dialog.DoModal();
    SetMainWnd(nullptr);
    return false;
}

}  // namespace quillon
