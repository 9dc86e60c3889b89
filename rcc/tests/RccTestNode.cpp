// A node for the remote-call tests, as a program of its own: it opens the transport,
// serves the test IOM model on a port, and says "ready <application id>". Method
// "notify" of class "Node" sends each subscriber a notification of property "Name".
// Mode "silent" accepts connections but never answers. Ends when its input closes.
//
//   rcc_test_node serve|silent PORT
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "TestIomNode.h"
#include "rcc/ProxyBase.h"
#include "rcc/StubDispatcher.h"
#include "rcc/XPortRccTransport.h"

namespace {

// The test model, plus "notify": one IOMSUBSCRIBE method 0 to every subscriber.
class NotifyingNode : public TestIomNode {
public:
    explicit NotifyingNode(RccTransport& link) : link_(link) {}

    void invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& request,
                uint32_t* status, std::vector<CRccArg>& reply, IOMTransactionList* list) override {
        const std::string* method = methodId == 6 ? request.at(2).as<RCC_STR>() : nullptr;
        if (interfaceId != RCC_IF_IOM || !method || *method != "notify") {
            TestIomNode::invoke(interfaceId, methodId, request, status, reply, list);
            return;
        }
        *status = RCC_S_OK;
        for (const Subscription& s : subscriptions()) {
            uint32_t answer = notify(s);
            reply.at(0).as<RCC_ARRAY | RCC_VARIANT>()->push_back(CRccValue::ofU32(answer));
        }
    }

private:
    uint32_t notify(const Subscription& s) {
        CProxyBase notifier(&link_, s.port, RCC_PROTOCOL_ID, 50);
        notifier.setTimeout(5000);
        notifier.connect(s.address, s.appId, s.port);
        return SendPropertyNotification(notifier, s.handle, "Node", "Name", get("Node", "Name"));
    }

    RccTransport& link_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rcc_test_node serve|silent PORT\n");
        return 2;
    }
    std::string mode = argv[1];
    uint16_t port = static_cast<uint16_t>(std::atoi(argv[2]));
    CXPort transport;
    uint8_t appId = 0;
    if (mux::MuxFailed(transport.open(&appId, 1, 6107, 100, 100))) {
        std::fprintf(stderr, "rcc_test_node: no transport\n");
        return 1;
    }
    {
        XPortRccTransport link(transport);
        NotifyingNode node(link);
        std::vector<std::unique_ptr<RccConnection>> held;
        std::unique_ptr<StubDispatcher> dispatcher;
        std::unique_ptr<RccListener> silent;
        if (mode == "silent") {
            silent = link.listen(RCC_PROTOCOL_ID, port, {}, [&](std::unique_ptr<RccConnection> c) {
                held.push_back(std::move(c));
            });
        } else {
            dispatcher = std::make_unique<StubDispatcher>(&link, port, RCC_PROTOCOL_ID, 50);
            dispatcher->registerStub(RCC_IF_IOM, "IOM", &node);
        }
        if (!(dispatcher ? dispatcher->isListening() : silent != nullptr)) {
            std::fprintf(stderr, "rcc_test_node: cannot listen on port %u\n", port);
            return 1;
        }
        std::printf("ready %u\n", appId);
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        if (dispatcher)
            dispatcher->unregisterStub(RCC_IF_IOM);
    }
    transport.close();
    return 0;
}
