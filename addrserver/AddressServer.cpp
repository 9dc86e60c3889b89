#include "addrserver/AddressServer.h"

#include <cstdio>
#include <string_view>

#include "addrserver/AddressServerCore.h"
#include "addrserver/DeviceKinds.h"

using addrserver::ProcessServer;

CAddressServer::CAddressServer() {
    ProcessServer().SetHost(this);
}

CAddressServer::~CAddressServer() {
    ProcessServer().Stop();
    if (ProcessServer().Host() == this)
        ProcessServer().SetHost(nullptr);
}

void CAddressServer::OnMessage(uint32_t code, const char* text) {
    // Some texts end in a line feed of their own; the code belongs on the same line.
    std::string_view line(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    std::printf("%.*s, MSG CODE: %X\n", static_cast<int>(line.size()), line.data(), code);
    std::fflush(stdout);
}

void CAddressServer::OnServerVersion(uint16_t nodeType, uint32_t ip,
                                     const addrserver::ImageVersion& fileVersion,
                                     const addrserver::ImageVersion& nodeVersion) {
    std::printf("%s @ %d.%d.%d.%d, has version %s, this bootp server has %s\n",
                addrserver::DeviceKindName(nodeType).c_str(), ip >> 24, (ip >> 16) & 0xFF,
                (ip >> 8) & 0xFF, ip & 0xFF, nodeVersion.Text().c_str(),
                fileVersion.Text().c_str());
    std::fflush(stdout);
}

uint32_t AddressServerStart(const AddressServerSettings& settings) {
    return ProcessServer().Start(settings, addrserver::ServerEnvironment::FromPlatform());
}

uint32_t AddressServerStop() {
    return ProcessServer().Stop();
}

void AddressServerAddNode(const CNS2Node& node) {
    ProcessServer().AddNode(node);
}

void AddressServerSetNodeStatus(CNS2* engine) {
    ProcessServer().SetNodeStatus(engine);
}

void AddressServerSetMode(uint32_t serverSet, uint32_t runState) {
    ProcessServer().SetMode(serverSet, runState);
}
