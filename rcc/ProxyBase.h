// CProxyBase: the client end of remote calls. It owns one connection to one node, turns
// a call (interface, method, typed arguments) into a request PDU, sends it, waits for the
// matching reply and hands back the outputs and the node's status word.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "os/Event.h"
#include "rcc/IOMTransaction.h"
#include "rcc/RccArg.h"
#include "rcc/RccLink.h"
#include "rcc/RccTypes.h"

class CProxyBase : protected RccConnection::Events {
public:
    // factory may be null; the proxy then has no connection and every call fails.
    CProxyBase(RccTransport* factory, uint16_t defaultPort, uint8_t protocolId,
               uint32_t connectionParameter);
    virtual ~CProxyBase();
    CProxyBase(const CProxyBase&) = delete;
    CProxyBase& operator=(const CProxyBase&) = delete;

    // Starts connecting to a node (host-order address; port 0: the default port), closing
    // a connection that is up. Returns before the connection is up; a call waits for it.
    virtual int32_t connect(uint32_t address, uint8_t appId, uint16_t port);
    // The connected node's address, application id and port; false without a connection.
    virtual bool getConnectionInfo(uint32_t* address, uint8_t* appId, uint16_t* port) const;
    virtual void disconnect();
    virtual bool isConnected() const;
    virtual uint16_t getDefaultPort() const { return defaultPort_; }
    virtual RccTransport* getConnectionFactory() const { return factory_; }
    // The time a call waits for the connection and, again, for the reply.
    virtual void setTimeout(uint32_t ms) { timeoutMs_ = ms; }

    // One call. The inputs are the values inArgs points at, one per input of the method's
    // signature; the outputs are read into the values outArgs points at. For the
    // transaction-list methods `list` is sent and receives the reply's list instead.
    // Returns the reply's status word, or a failure of the library: 0x812C001E when the
    // node cannot be reached, does not answer in time or answers what cannot be read;
    // 0x812C0006 when the request cannot be built; 0x812C0009 while another call runs.
    virtual uint32_t proxyRequest(uint32_t interfaceId, uint32_t methodId, IOMTransactionList* list,
                                  const std::vector<CRccArg>& inArgs = {},
                                  const std::vector<CRccArg>& outArgs = {});

    // True while a call is in progress on this proxy.
    bool isCallInProgress() const { return callSequence_.load() != 0 || inCall_.load(); }

protected:
    void onConnected() override;
    void onDisconnected() override;

private:
    uint32_t call(uint32_t interfaceId, uint32_t methodId, IOMTransactionList* list,
                  const std::vector<CRccArg>& inArgs, const std::vector<CRccArg>& outArgs);
    bool awaitConnection();
    bool awaitReply(std::vector<uint8_t>& reply);
    void closeConnection();

    uint8_t protocolId_;
    os::Event replyEvent_{true, false};
    std::atomic<uint32_t> callSequence_{0};
    std::atomic<bool> inCall_{false};
    uint32_t timeoutMs_ = 300000;
    RccTransport* factory_;
    std::unique_ptr<RccConnection> connection_;
    os::Event connectEvent_{true, false};
    uint16_t defaultPort_;
};
