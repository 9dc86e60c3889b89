// What the editor's application object and main frame lend the document layer: the
// transport endpoint that remote calls and node status go through, and the main frame
// that node status posts to and that long network operations look at (cancel key,
// progress bar, repaint). The application sets them at start-up and clears them before
// it closes the transport or destroys the frame; until then the document runs without
// them (network operations fail, posts are dropped and their payloads freed).
//
//   CXPort port;  port.open(&appId, 1, 6107, 100, 100);
//   EditorHost::SetTransport(&port);  EditorHost::SetMainFrame(&frame);
//   ...
//   EditorHost::SetMainFrame(nullptr);  EditorHost::SetTransport(nullptr);  port.close();
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/VavMacAddress.h"

class CIOMProxy;
class CXPort;
class NS2Transport;
class RccTransport;

// The window messages of the editor's document and node status to its main frame.
enum : uint32_t {
    WM_NODE_STATUS_CHANGED = 0x8400,  // wParam 1 on line, 0 off line; lParam a heap MAC
    WM_SET_MESSAGE_TEXT = 0x8401,     // the message bar's text (IErrorSink::SetMessageText)
    WM_NODE_STATUS_REFRESH = 0x8402,
};

// The main frame as the document layer sees it.
class IMainFrame {
public:
    virtual ~IMainFrame() = default;

    // Queues `message` for the frame's own thread, with wParam `online` and lParam the
    // address, which the frame deletes when it has handled the message. Called on worker
    // threads: it must never wait for the frame's thread. False when the message could
    // not be queued; the address is then freed with the pointer.
    virtual bool PostNodeStatus(uint32_t message, bool online,
                                std::unique_ptr<VavMacAddress> mac) = 0;
    // Removes one pending key-down message of the main window; true when there was one.
    virtual bool TakePendingKeyDown() = 0;
    // The progress bar in the second pane of the status bar, drawn at once (the caller
    // does not pump messages): shown with a range, moved, removed.
    virtual void BeginProgress(int range) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void EndProgress() = 0;
    // Repaints the window (without erasing) so that the grid shows new values.
    virtual void Invalidate() = 0;
    // Node status finished a step of its work: what it heard in the step, posted or not,
    // can be read now. Called on its work thread with no lock of its own held, so it must
    // never wait for the frame's thread; a window has nothing to do here (a test's frame
    // wakes its waits).
    virtual void NodeStatusStepped() {}
};

class EditorHost {
public:
    // The application's transport endpoint (null: none). Remote calls use a link made
    // over it; node status attaches to it.
    static void SetTransport(CXPort* port);
    static CXPort* Transport();
    // The remote-call link over the transport; null without one.
    static RccTransport* RccLink();
    // Replaces the remote-call link and the node-status transport (for tests and tools
    // that run without the multiplexer); null goes back to the ones over the transport.
    static void SetRccLink(RccTransport* link);
    static void SetNodeStatusTransport(NS2Transport* transport);
    static NS2Transport* NodeStatusTransport();

    // The main frame (null: none). Posts take a shared lock, so once SetMainFrame(null)
    // returns no worker thread is inside the old frame.
    static void SetMainFrame(IMainFrame* frame);
    // The frame, for the user-interface thread; null without one.
    static IMainFrame* MainFrame();
    // Posts through the frame; false (the address freed) without one.
    static bool PostNodeStatus(uint32_t message, bool online, std::unique_ptr<VavMacAddress> mac);
    // Tells the frame, if any, that node status finished a step.
    static void NodeStatusStepped();

    // Makes the document's remote-call proxies; by default a plain CIOMProxy over the
    // link (port 36507, protocol 9, connection parameter 50). Null restores it.
    using ProxyMaker = std::function<std::unique_ptr<CIOMProxy>(RccTransport*)>;
    static void SetProxyMaker(ProxyMaker maker);
    static std::unique_ptr<CIOMProxy> MakeProxy();
};
