// CKoltInterface: the editor's one way into node status. Connect starts the editor's
// member of node status (CNodeStatus2) on the application's transport; the document's
// network operations ask it which configurable nodes are on line and at which address.
// All of it runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "editor/document/IPAddress.h"
#include "platform/VavMacAddress.h"

class CNodeStatus2;

class CKoltInterface {
public:
    // The singleton, made on first use; DeleteInstance disconnects and deletes it.
    static CKoltInterface* GetInstance();
    static void DeleteInstance();

    CKoltInterface() = default;
    // Disconnects.
    virtual ~CKoltInterface();
    CKoltInterface(const CKoltInterface&) = delete;
    CKoltInterface& operator=(const CKoltInterface&) = delete;

    // Starts node status with the [NodeStatus] settings and announces the editor; true
    // while connected already. A start that fails is reported to the user and leaves the
    // facade disconnected.
    bool Connect();
    // Stops node status (its final packets go out) and deletes the client; true when
    // nothing ran or the stop succeeded.
    bool Disconnect();
    bool IsConnected() const { return client_ != nullptr && connected_; }
    // Configurable nodes on line; 0 while disconnected.
    int GetOnlineNodeCount() const;

    // Forward to the client; false while disconnected.
    bool GetNextOnlineNode(bool first, std::string& name, uint16_t& type, VavMacAddress& mac,
                           uint32_t& ip);
    bool IsNodeOnline(const VavMacAddress& mac) const;
    bool GetNodeIp(const VavMacAddress& mac, CIPAddress& ip) const;

    // The running client, for the address server; null while disconnected.
    CNodeStatus2* GetClient() const { return IsConnected() ? client_.get() : nullptr; }

private:
    bool connected_ = false;
    std::unique_ptr<CNodeStatus2> client_;
};
