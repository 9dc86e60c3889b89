// StubDispatcher: the server side of the remote-call protocol. It listens on a port,
// accepts connections from peers, reads their request PDUs, runs each on the interface
// stub registered for its interface id and sends back the reply. One receive thread
// serves every connection, so the stubs of one dispatcher run one at a time on it.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "os/Event.h"
#include "os/Thread.h"
#include "rcc/IInterfaceStub.h"
#include "rcc/IStandardStub.h"
#include "rcc/KoltPVersion.h"
#include "rcc/RccLink.h"
#include "rcc/RccPdu.h"

class StubDispatcher {
public:
    // Listens on `port` of the factory's protocol channel (no factory: serves nothing)
    // and starts the receive thread ("RCCStubRecv<protocol id>").
    StubDispatcher(RccTransport* factory, uint16_t port, uint8_t protocolId,
                   uint32_t connectionParameter);
    // Stops listening, ends the receive thread and drops the connections.
    ~StubDispatcher();
    StubDispatcher(const StubDispatcher&) = delete;
    StubDispatcher& operator=(const StubDispatcher&) = delete;

    // Registers a stub (owned by the caller) for an interface; false when the id is
    // registered already.
    bool registerStub(uint32_t interfaceId, const std::string& name, IInterfaceStub* stub);
    // Unregisters it; once this returns, the stub is not running and is not called again.
    void unregisterStub(uint32_t interfaceId);

    // IStandard: the registered names in registration order; whether a name (compared
    // exactly) is among them. Both return 0x012D0000.
    uint32_t getInterfaceNames(std::vector<std::string>* names);
    uint32_t isInterfaceSupported(const std::string& name, bool* supported);

    // True when the dispatcher got its port.
    bool isListening() const { return listener_ != nullptr; }
    const KoltPVersion& getVersion() const { return version_; }

private:
    void onAccept(std::unique_ptr<RccConnection> connection);
    void receiveLoop();
    bool servePass();
    void dropClosedConnections();
    void handleRequest(RccConnection& connection, const std::vector<uint8_t>& packet);
    void invokeAndReply(RccConnection& connection, const RccPduHeader& request,
                        IInterfaceStub* stub, CRccBuffer& buffer);
    void sendErrorReplyPdu(RccConnection& connection, const RccPduHeader& replyHeader,
                           uint32_t status);
    void sendPdu(RccConnection& connection, const CRccBuffer& pdu);
    IInterfaceStub* findStub(uint32_t interfaceId);

    uint8_t protocolId_;
    std::atomic<bool> stop_{false};
    os::Event arrival_{true, false};

    uint32_t nextConnectionId_ = 0;
    std::shared_mutex connectionLock_;
    std::map<uint32_t, std::unique_ptr<RccConnection>> connections_;

    std::shared_mutex stubLock_;
    std::vector<std::pair<std::string, uint32_t>> names_;
    std::map<uint32_t, IInterfaceStub*> stubs_;
    // Held by the receive thread from looking a stub up to the end of its invoke, so that
    // unregistering waits for a call in progress.
    std::mutex invokeLock_;
    std::atomic<std::thread::id> receiveThreadId_{};

    IStandardStub standardStub_;
    std::unique_ptr<RccListener> listener_;
    KoltPVersion version_{RCC_VERSION_MAJOR, RCC_VERSION_MINOR, RCC_VERSION_BUILD};
    std::unique_ptr<os::Thread> thread_;
};
