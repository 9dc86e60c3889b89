// xport_probe: a client program of Travex for the tests, driven by its command line and
// standard input, answering on standard output one line per event.
//   mc-peer GROUP PORT          join; "got <source> <text>" per datagram; stdin "send TEXT"
//   tcp-server PORT             listen; echo every message back; "msg <length> <sum>"
//   tcp-client ADDR PORT APP COUNT SIZE   connect, send COUNT messages, await the echoes
//   hold APPID                  register as APPID with a group and a TCP point, then wait
// Every command first prints "id <application id>"; stdin "quit" (or its end) ends it.
#include <arpa/inet.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

#include "os/Event.h"
#include "platform/XPortHeader.h"
#include "transport/CXPort.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
std::mutex outLock;

void Say(const std::string& line) {
    std::lock_guard g(outLock);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::uint32_t Address(const char* text) {
    in_addr a{};
    inet_pton(AF_INET, text, &a);
    return ntohl(a.s_addr);
}

std::string Text(std::uint32_t address) {
    in_addr a{htonl(address)};
    char buf[INET_ADDRSTRLEN];
    return inet_ntop(AF_INET, &a, buf, sizeof buf);
}

unsigned Sum(const Bytes& b) {
    unsigned s = 0;
    for (auto v : b) s = s * 31 + v;
    return s;
}

void WaitForQuit(const std::function<void(const std::string&)>& onLine = {}) {
    std::string line;
    while (std::getline(std::cin, line) && line != "quit") {
        if (onLine)
            onLine(line);
    }
}

struct McPrinter : CXConnCB {
    void onPacket(void*, XPortPacket& p) override {
        std::string text(p.data.begin() + XPORT_HEADER_LENGTH, p.data.end());
        Say("got " + Text(p.remoteAddress) + " " + text);
    }
    void onConnected(void*) override {}
    void onDisconnected(void*) override { Say("disconnected"); }
};

int McPeer(CXPort& port, std::uint32_t group, std::uint16_t udp) {
    CXProtocol* channel = port.createMulticastProtocol(8, false);
    CXConn* c = channel ? channel->createConnection(100) : nullptr;
    McPrinter printer;
    if (c == nullptr)
        return 2;
    c->setCallback(nullptr, &printer);
    if (!c->join(group, udp))
        return 3;
    Say("ready");
    WaitForQuit([&](const std::string& line) {
        if (line.rfind("send ", 0) != 0)
            return;
        Bytes d(XPORT_HEADER_LENGTH);
        XPortHeader h;
        h.protocol = 8;
        h.srcApp = port.getAppId();
        h.length = static_cast<std::uint32_t>(XPORT_HEADER_LENGTH + line.size() - 5);
        h.Write(d.data());
        d.insert(d.end(), line.begin() + 5, line.end());
        Say("sent " + std::to_string(c->send(group, udp, d.data(), h.length)));
    });
    channel->destroyConnection(c);
    port.releaseProtocol(channel);
    return 0;
}

struct Echo : CXConnCB, CXAcceptor {
    std::mutex lock;
    std::vector<CXConn*> accepted;
    void onPacket(void* ctx, XPortPacket& p) override {
        Say("msg " + std::to_string(p.length()) + " " + std::to_string(Sum(p.data)));
        static_cast<CXConn*>(ctx)->send(p.data.data(), p.length());
    }
    void onConnected(void*) override { Say("accepted"); }
    void onDisconnected(void*) override { Say("closed"); }
    bool onAccept(void*, std::uint32_t address, std::uint16_t, std::uint8_t app, CXConn* c,
                  CXConnCB** cb, void** ctx) override {
        Say("from " + Text(address) + " app " + std::to_string(app));
        *cb = this;
        *ctx = c;
        return true;
    }
};

int TcpServer(CXPort& port, std::uint16_t listen) {
    Echo echo;
    CXProtocol* channel =
        port.createProtocol(9, listen, &echo, nullptr, false, 5000, 5000, 1000, 1000, 100);
    if (channel == nullptr)
        return 2;
    Say("ready " + std::to_string(channel->getLocalPort()));
    WaitForQuit();
    port.releaseProtocol(channel);
    return 0;
}

// Wakes the client on its connection's changes and arrivals.
struct ClientWaiter : CXConnCB {
    os::Event changed{false, false};
    os::Event arrived{false, false};
    void onPacket(void*, XPortPacket&) override {}
    void onConnected(void*) override { changed.Set(); }
    void onDisconnected(void*) override { changed.Set(); }
    // True once `done` holds, looked at again after each signal; false when it does not
    // within `ms`.
    template <typename Done>
    static bool Await(os::Event& signal, int ms, Done done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0 ||
                signal.Wait(static_cast<std::uint32_t>(left.count())) != os::WaitResult::Signaled)
                return done();
        }
        return true;
    }
};

int TcpClient(CXPort& port, std::uint32_t address, std::uint16_t to, std::uint8_t app, int count,
              std::uint32_t size) {
    CXProtocol* channel =
        port.createProtocol(9, 0xFFFF, nullptr, nullptr, true, 5000, 5000, 1000, 1000, 0);
    CXConn* c = channel ? channel->createConnection(0) : nullptr;
    ClientWaiter waiter;
    if (c != nullptr) {
        c->setCallback(nullptr, &waiter);
        c->setNotifyEvent(&waiter.arrived);
    }
    if (c == nullptr || XPortFailed(c->connect(address, to, app)))
        return 2;
    if (!ClientWaiter::Await(waiter.changed, 5000, [&] { return c->isConnected(); }))
        return 3;
    Say("connected");
    for (int i = 0; i < count; ++i) {
        Bytes m(size);
        for (std::uint32_t k = 0; k < size; ++k) m[k] = static_cast<std::uint8_t>(i + k);
        if (XPortFailed(c->send(m.data(), size)))
            return 4;
    }
    int echoed = 0;
    bool outOfOrder = false;
    ClientWaiter::Await(waiter.arrived, 10000, [&] {
        Bytes b;
        while (!outOfOrder && c->receive(b)) {
            outOfOrder = b.size() != size || b[0] != static_cast<std::uint8_t>(echoed);
            ++echoed;
        }
        return outOfOrder || echoed == count;
    });
    if (outOfOrder)
        return 5;
    Say("echoed " + std::to_string(echoed));
    c->setNotifyEvent(nullptr);
    c->setCallback(nullptr, nullptr);
    c->close();
    channel->destroyConnection(c);
    port.releaseProtocol(channel);
    return echoed == count ? 0 : 6;
}

int Hold(CXPort& port) {
    CXProtocol* mc = port.createMulticastProtocol(8, true);
    CXConn* c = mc ? mc->createConnection(10) : nullptr;
    CXProtocol* tcp = port.createProtocol(9, 40000, nullptr, nullptr, true, 1, 1, 1, 1, 1);
    if (c == nullptr || !c->join(0xEC010002, 6107) || tcp == nullptr)
        return 2;
    Say("ready");
    WaitForQuit();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 1;
    std::string command = argv[1];
    std::uint8_t appId =
        command == "hold" && argc > 2 ? static_cast<std::uint8_t>(std::stoi(argv[2])) : 0;
    CXPort port;
    XPortStatus s = port.open(&appId, 1, 6107, 100, 100);
    if (XPortFailed(s)) {
        char code[16];
        std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(s));
        Say(std::string("failed ") + code);
        return 1;
    }
    Say("id " + std::to_string(appId));
    int r = 1;
    if (command == "mc-peer" && argc == 4)
        r = McPeer(port, Address(argv[2]), static_cast<std::uint16_t>(std::stoi(argv[3])));
    else if (command == "tcp-server" && argc == 3)
        r = TcpServer(port, static_cast<std::uint16_t>(std::stoi(argv[2])));
    else if (command == "tcp-client" && argc == 7)
        r = TcpClient(port, Address(argv[2]), static_cast<std::uint16_t>(std::stoi(argv[3])),
                      static_cast<std::uint8_t>(std::stoi(argv[4])), std::stoi(argv[5]),
                      static_cast<std::uint32_t>(std::stoul(argv[6])));
    else if (command == "hold")
        r = Hold(port);
    port.close();
    return r;
}
