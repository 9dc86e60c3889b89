// CMainFrame: Tessaly's one top-level window. It carries the toolbar and the five-pane status
// bar (message, spacer with the progress bar, node count, nodes on line, network state), the
// network-level commands (Connect, Disconnect, the address server, Network Addresses, Optimize
// EDMX, help), and it is the window that node status posts to and the error reporter writes
// its message-bar texts to. Node-status messages become refreshes of the node grid view.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "editor/document/EditorHost.h"
#include "editor/ui/ProgressBar.h"
#include "framework/docview/FrameWnd.h"

namespace tessaly {

class CTessalyDocument;
class CTessalyView;

class CMainFrame : public fw::FrameWnd, public IMainFrame {
    Q_OBJECT

public:
    // A burst of node-status messages is drained at most this many at a time, and for at most
    // this long, per message handled; what is left is drained on the next turn, so a steady
    // stream never holds the window.
    static constexpr int kMaxDrainPerTurn = 32;
    static constexpr std::chrono::milliseconds kMaxDrainTime{100};
    // The pause after each message taken, which lets the posting thread queue the rest of
    // its burst.
    static constexpr std::chrono::milliseconds kDrainPause{5};

    CMainFrame();
    ~CMainFrame() override;

    CTessalyView* ActiveTessalyView() const;
    CTessalyDocument* ActiveTessalyDocument() const;

    // IMainFrame: posted from node status's thread; the rest on the user-interface thread.
    bool PostNodeStatus(uint32_t message, bool online, std::unique_ptr<VavMacAddress> mac) override;
    bool TakePendingKeyDown() override;
    void BeginProgress(int range) override;
    void SetProgress(int position) override;
    void EndProgress() override;
    void Invalidate() override;

    // The texts of the three indicators as the panes show them.
    std::string NodesIndicatorText() const;
    std::string OnlineIndicatorText() const;
    std::string NetworkIndicatorText() const;

    // Tests: how the drain pauses (default: the thread sleeps), and the password gate of
    // Network Addresses (default: the password dialog).
    void SetDrainPause(std::function<void(std::chrono::milliseconds)> pause) {
        pause_ = std::move(pause);
    }
    void SetPasswordGate(std::function<bool()> gate) { passwordGate_ = std::move(gate); }
    // The help page the help commands open.
    static std::string HelpPagePath();
    // How the help page and the version tool are opened (tests record instead).
    void SetShellOpen(std::function<void(const std::string&)> open) {
        shellOpen_ = std::move(open);
    }
    const CProgressBar* Progress() const { return progress_.get(); }
    // Progress positions drawn so far, and the highest.
    int ProgressUpdates() const { return progressUpdates_; }
    int HighestProgress() const { return highestProgress_; }
    // Node-status messages taken out of the queue by drains so far.
    int DrainedCount() const { return drained_; }

    // The component versions node status announces: the program's own and the protocol
    // suite's (start-up and every Connect).
    static void RecordComponentVersions();

protected:
    int OnCreate() override;
    void OnDestroy() override;
    fw::LRESULT WindowProc(fw::Message& msg) override;

private:
    void MapHandlers();
    void OnNodeStatusChanged(fw::Message& msg);
    void OnNodeStatusRefresh(fw::Message& msg);
    int DrainNodeStatus();
    void UpdatePanes();
    void OnConnect();
    void OnDisconnect();
    void OnAddressServer();
    void OnNetworkAddresses();
    bool PasswordGate();
    void OnOptimizeEdmx();
    void OnHelp();
    bool ProgressRect(fw::Rect& pane) const;
    void DrawProgress();

    std::unique_ptr<CProgressBar> progress_;
    int progressPos_ = 0;
    int progressUpdates_ = 0;
    int highestProgress_ = 0;
    int drained_ = 0;
    std::function<void(std::chrono::milliseconds)> pause_;
    std::function<bool()> passwordGate_;
    std::function<void(const std::string&)> shellOpen_;
};

}  // namespace tessaly
