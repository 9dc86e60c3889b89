#include "editor/document/EditorHost.h"

#include <mutex>
#include <shared_mutex>

#include "rcc/IOMProxy.h"
#include "rcc/XPortRccTransport.h"

namespace {

struct HostState {
    std::mutex lock;
    CXPort* port = nullptr;
    std::unique_ptr<XPortRccTransport> portLink;
    RccTransport* link = nullptr;
    NS2Transport* nodeStatus = nullptr;
    EditorHost::ProxyMaker proxyMaker;

    std::shared_mutex frameLock;
    IMainFrame* frame = nullptr;
};

HostState& State() {
    static HostState state;
    return state;
}

}  // namespace

void EditorHost::SetTransport(CXPort* port) {
    HostState& s = State();
    std::lock_guard lock(s.lock);
    if (port == s.port)
        return;
    s.portLink.reset();
    s.port = port;
    if (port != nullptr)
        s.portLink = std::make_unique<XPortRccTransport>(*port);
}

CXPort* EditorHost::Transport() {
    std::lock_guard lock(State().lock);
    return State().port;
}

RccTransport* EditorHost::RccLink() {
    HostState& s = State();
    std::lock_guard lock(s.lock);
    return s.link != nullptr ? s.link : s.portLink.get();
}

void EditorHost::SetRccLink(RccTransport* link) {
    std::lock_guard lock(State().lock);
    State().link = link;
}

void EditorHost::SetNodeStatusTransport(NS2Transport* transport) {
    std::lock_guard lock(State().lock);
    State().nodeStatus = transport;
}

NS2Transport* EditorHost::NodeStatusTransport() {
    std::lock_guard lock(State().lock);
    return State().nodeStatus;
}

void EditorHost::SetMainFrame(IMainFrame* frame) {
    std::unique_lock lock(State().frameLock);
    State().frame = frame;
}

IMainFrame* EditorHost::MainFrame() {
    std::shared_lock lock(State().frameLock);
    return State().frame;
}

bool EditorHost::PostNodeStatus(uint32_t message, bool online, std::unique_ptr<VavMacAddress> mac) {
    std::shared_lock lock(State().frameLock);
    IMainFrame* frame = State().frame;
    return frame != nullptr && frame->PostNodeStatus(message, online, std::move(mac));
}

void EditorHost::NodeStatusStepped() {
    std::shared_lock lock(State().frameLock);
    if (IMainFrame* frame = State().frame)
        frame->NodeStatusStepped();
}

void EditorHost::SetProxyMaker(ProxyMaker maker) {
    std::lock_guard lock(State().lock);
    State().proxyMaker = std::move(maker);
}

std::unique_ptr<CIOMProxy> EditorHost::MakeProxy() {
    ProxyMaker maker;
    {
        std::lock_guard lock(State().lock);
        maker = State().proxyMaker;
    }
    RccTransport* link = RccLink();
    if (maker)
        return maker(link);
    return std::make_unique<CIOMProxy>(link, RCC_DEFAULT_PORT, RCC_PROTOCOL_ID, 50);
}
