// CTessalyApp: Tessaly's application object. It opens the editor's one transport endpoint,
// starts the framework, the grid library and the editor's singletons in order, makes the
// single-document template (document, main frame, node grid view), opens the document the
// command line names (or a new one), and tears everything down in order at exit.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "framework/app/Application.h"

class CXPort;

namespace tessaly {

class CMainFrame;

class CTessalyApp : public fw::Application {
public:
    // `dataDir`: where the template and the starting configuration are (empty: beside the
    // program). Without a transport (tests that run no multiplexer) pass `openTransport` false.
    explicit CTessalyApp(std::filesystem::path dataDir = {}, bool openTransport = true);
    ~CTessalyApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    CXPort* Transport() const { return transport_.get(); }
    CMainFrame* MainFrame() const;
    // Connect at start-up ("--connect"), for the demo: nodes show on line at once.
    void SetConnectAtStart(bool connect) { connectAtStart_ = connect; }

    // The text File Open proposes: the default data folder, a "/" when it lacks one,
    // then "*.wov".
    static std::string ProposedOpenName(const std::string& defaultDataDir);
    void OnFileOpen();
    void OnAppAbout();

private:
    std::filesystem::path dataDir_;
    bool openTransport_;
    bool connectAtStart_ = false;
    uint8_t appId_ = 0;
    std::unique_ptr<CXPort> transport_;
};

}  // namespace tessaly
