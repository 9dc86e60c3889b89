#include "editor/ui/TessalyApp.h"

#include "editor/document/Bootp.h"
#include "editor/document/ConfigData.h"
#include "editor/document/EditorHost.h"
#include "editor/document/ErrorHandler.h"
#include "editor/document/KoltInterface.h"
#include "editor/ui/AboutDlg.h"
#include "editor/ui/GuiErrorSink.h"
#include "editor/ui/MainFrm.h"
#include "editor/ui/Splash.h"
#include "editor/ui/TessalyDocument.h"
#include "editor/ui/TessalyResources.h"
#include "editor/ui/TessalyView.h"
#include "framework/base/CommandIds.h"
#include "framework/dialogs/FileDialog.h"
#include "framework/docview/DocTemplate.h"
#include "grid/controls/CGXControlFactory.h"
#include "grid/core/GXLibraryState.h"
#include "grid/features/GXFeatureInstall.h"
#include "platform/Logger.h"
#include "platform/VavVersionRegistry.h"
#include "transport/CXPort.h"

namespace tessaly {
namespace {

GuiErrorSink& ErrorSink() {
    static GuiErrorSink sink;
    return sink;
}

}  // namespace

CTessalyApp::CTessalyApp(std::filesystem::path dataDir, bool openTransport)
    : fw::Application("Tessaly"),
      dataDir_(std::move(dataDir)),
      openTransport_(openTransport),
      transport_(std::make_unique<CXPort>()) {
    RegisterTessalyStrings();
    MapCommand(fw::ID_FILE_OPEN, [this] { OnFileOpen(); });
    MapCommand(fw::ID_APP_ABOUT, [this] { OnAppAbout(); });
}

CTessalyApp::~CTessalyApp() = default;

CMainFrame* CTessalyApp::MainFrame() const {
    return dynamic_cast<CMainFrame*>(GetMainWnd());
}

bool CTessalyApp::InitInstance() {
    // Without the multiplexer the port exists but hands out no channel: the editor runs and
    // only its network operations fail.
    appId_ = 0;
    if (openTransport_) {
        transport_->open(&appId_, 1, 6107, 100, 100);
        EditorHost::SetTransport(transport_.get());
    }
    fw::CommandLineInfo info;
    ParseCommandLine(info);
    if (info.runEmbedded || info.runAutomated)
        return true;
    CSplashWnd::EnableSplashScreen(info.showSplash);

    LoadStdProfileSettings(4);
    std::filesystem::path dataDir = dataDir_;
    AddDocTemplate(std::make_unique<fw::SingleDocTemplate>(
        IDR_MAINFRAME, [dataDir] { return std::make_unique<CTessalyDocument>(dataDir); },
        [] { return std::make_unique<CMainFrame>(); },
        [] { return std::make_unique<CTessalyView>(); }));

    GXInitWithFeatures();
    GXSetLibrarySettings(1, 2, 1);

    CMainFrame::RecordComponentVersions();
    CConfigData::GetInstance();
    CKoltInterface::GetInstance();
    CErrorHandler::GetInstance()->SetSink(&ErrorSink());

    fw::CommandLineInfo shell;
    ParseCommandLine(shell);
    if (!ProcessShellCommand(shell))
        return false;
    if (connectAtStart_ && MainFrame())
        MainFrame()->ExecuteCommand(ID_NET_CONNECT);
    return true;
}

int CTessalyApp::ExitInstance() {
    // The document outlives this (the templates hold it until the application goes), but its
    // remote-call proxy is a channel of the transport closed below: it goes first.
    for (const auto& t : DocTemplates()) {
        if (auto* doc = dynamic_cast<CTessalyDocument*>(t->GetDocument()))
            doc->Doc().DeleteIomProxy();
    }
    CConfigData::DeleteInstance();
    CKoltInterface::DeleteInstance();
    if (CBootp::GetInstance()->IsRunning())
        CBootp::GetInstance()->Stop();
    CBootp::DeleteInstance();
    if (CErrorHandler* errors = CErrorHandler::GetInstance())
        errors->SetSink(nullptr);
    CErrorHandler::DeleteInstance();
    DeleteLogger();
    EditorHost::SetMainFrame(nullptr);
    EditorHost::SetTransport(nullptr);
    if (openTransport_)
        transport_->close();
    DeleteVersionRegistry();
    return fw::Application::ExitInstance();
}

std::string CTessalyApp::ProposedOpenName(const std::string& defaultDataDir) {
    std::string name = defaultDataDir;
    if (!name.empty() && name.back() != '/')
        name += '/';
    return name + "*.wov";
}

void CTessalyApp::OnFileOpen() {
    std::string name = ProposedOpenName(CConfigData::GetInstance()->GetDefaultDataDir());
    if (!DoPromptFileName(name, IDS_OPEN_TITLE, fw::OFN_HIDEREADONLY | fw::OFN_FILEMUSTEXIST, true,
                          nullptr))
        return;
    for (const auto& t : DocTemplates()) {
        std::string ext;
        if (t->GetDocString(ext, fw::DocTemplate::filterExt) && ext == ".wov") {
            t->OpenDocumentFile(&name, true);
            return;
        }
    }
}

void CTessalyApp::OnAppAbout() {
    CAboutDlg dlg(GetMainWnd());
    dlg.DoModal();
}

}  // namespace tessaly
