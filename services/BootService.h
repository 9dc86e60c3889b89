// The boot service: the address server (BOOTP on 67 and 68, TFTP on 69, its images in
// Stellan.INI's [IxoBootpService] FTPDir) and the host's own node-status member on the
// transport, which tells the server every node that comes or goes. The worker starts
// them and idles until told to stop; the same worker runs in console mode.
#pragma once

#include <cstdint>

#include "nodestatus/CNS2.h"

// The service host's node-status member: device type 0x3041, "IxoKolt Services",
// status bits 19 and 5, node id 0x84, the backup role, a report every 1.5 s.
class CStellanNodeStatus : public CNS2 {
public:
    CStellanNodeStatus();
    // Stops first: the final status goes out.
    ~CStellanNodeStatus() override;
    void OnNodeOnline(CNS2Node& node) override;
    void OnNodeOffline(CNS2Node& node) override;
    bool GetOwnMacAddress(VavMacAddress& mac) override;
};

constexpr uint32_t kDefaultInterfacePosition = 0xFFFFFFFE;
// Where the node images, and the address server's bootptab, are when Stellan.INI names
// no FTPDir: the usual TFTP folder of a Linux system.
constexpr const char* kDefaultTftpDirectory = "/srv/tftp";

// Position in the system's interface table (kDefaultInterfacePosition: the platform's
// own choice) made the selected card; false when there is no such row.
bool SelectInterface(uint32_t position);

// The service's entry, control handler and worker (non-null argument: console mode).
void BootServiceMain(int argc, char** argv);
void BootServiceHandler(uint32_t control);
uint32_t BootServiceWorker(void* console);
// Deletes the node-status member (under the access mutex); console mode calls it after
// the worker.
void DeleteBootNodeStatus();
