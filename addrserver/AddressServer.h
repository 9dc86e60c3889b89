// The address server as its hosts (the editor, the service host) use it: one per
// process. It hands out node addresses by BOOTP, serves node images by TFTP, learns
// the members of node status, and takes part in the election of the primary and
// backup server, publishing its role in the node-status record.
#pragma once

#include <cstdint>
#include <string>

#include "addrserver/ImageVersion.h"

class CNS2;
class CNS2Node;

constexpr uint32_t ADDRSRV_S_STOPPED = 0x00810000;
constexpr uint32_t ADDRSRV_E_NOT_RUNNING = 0x80810000;
constexpr uint32_t ADDRSRV_E_NO_MEMORY = 0x80810006;
constexpr uint32_t ADDRSRV_E_START = 0x8081000C;
constexpr uint32_t ADDRSRV_E_OTHER_SERVER = 0x80810010;  // another BOOTP server answered
constexpr uint32_t ADDRSRV_E_SOCKET = 0x8081001E;

struct AddressServerSettings {
    uint32_t unused1 = 100;
    uint32_t tftpPriority = 100;  // thread priority; outside the system's range: normal
    uint32_t callbackPriority = 100;
    uint32_t serverMode = 3;  // 0 TFTP only, 2 backup, 3 primary, others BOOTP only
    uint32_t unused2 = 0;
    uint16_t bootpServerPort = 67;
    uint16_t bootpClientPort = 68;
    uint32_t tftpEnabled = 1;
    uint16_t tftpPort = 69;
    std::string hostName;       // at most 64 characters are used
    std::string tftpDirectory;  // also the home of bootptab
    uint32_t messageMask = 0xFFFFFFFF;
    uint8_t versionCheck = 1;  // compare node software with the image files
};

// The host object: receives the server's messages and version findings. Its
// constructor makes it the process's host; its destructor stops the server.
class CAddressServer {
public:
    CAddressServer();
    virtual ~CAddressServer();
    CAddressServer(const CAddressServer&) = delete;
    CAddressServer& operator=(const CAddressServer&) = delete;

    // Writes "<text>, MSG CODE: <code>" to standard output.
    virtual void OnMessage(uint32_t code, const char* text);
    // A node runs other software than the image the server holds for its type.
    virtual void OnServerVersion(uint16_t nodeType, uint32_t ipAddress,
                                 const addrserver::ImageVersion& fileVersion,
                                 const addrserver::ImageVersion& nodeVersion);
};

// 0, or an ADDRSRV_E_ code. A running server is stopped first.
uint32_t AddressServerStart(const AddressServerSettings& settings);
// ADDRSRV_S_STOPPED, or ADDRSRV_E_NOT_RUNNING.
uint32_t AddressServerStop();
// Queues a copy of a node-status member for the server (safe from the engine's callbacks).
void AddressServerAddNode(const CNS2Node& node);
// The engine whose own record carries the server's role; forgotten when the engine goes.
void AddressServerSetNodeStatus(CNS2* engine);
// Server set: a change from 0 opens the BOOTP sockets, a change to 0 stops the server.
// Run state: a change to 1 runs the start step again, to any other value the stop step.
void AddressServerSetMode(uint32_t serverSet, uint32_t runState);
