// CNodeStatus2: the editor's member of node status. It announces the editor (node type
// 0x3041) every 1500 ms, counts the configurable nodes on line and posts every change
// of one to the main frame as WM_NODE_STATUS_CHANGED with a heap copy of its address.
//
// A configurable node: node type 0x2000 to 0x27FF, announcing a network version
// (component 11) with the major number of the editor's own protocol suite. Only those
// are counted, listed and posted.
//
// Threads: OnNodeOnline and OnNodeOffline run on the engine's work thread and only
// post; the list walks run on the user-interface thread under the engine's lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "editor/document/IPAddress.h"
#include "nodestatus/CNS2.h"

class CNodeStatus2 : public CNS2 {
public:
    static constexpr uint16_t kEditorNodeType = 0x3041;
    static constexpr uint32_t kReportInterval = 1500;

    CNodeStatus2(const std::string& name, uint32_t xmitVersion, uint8_t nodeId);
    ~CNodeStatus2() override;

    // Starts the work thread on the editor's transport (EditorHost); false on failure,
    // with the engine's code in *code when given.
    bool Start(uint32_t* code = nullptr);
    bool Stop();

    // The first (with `first`) or next configurable member on line; false at the end.
    bool GetNextOnlineNode(bool first, std::string& name, uint16_t& type, uint32_t& ip,
                           VavMacAddress& mac);
    bool IsNodeOnline(const VavMacAddress& mac) const;
    // The address of the configurable member on line with that hardware address.
    bool GetNodeIp(const VavMacAddress& mac, CIPAddress& ip) const;

    int32_t GetConfigurableCount() const { return configurable_; }
    int32_t GetOtherCount() const { return other_; }

    static bool IsConfigurable(const CNS2Node& node);

protected:
    void OnNodeOnline(CNS2Node& node) override;
    void OnNodeOffline(CNS2Node& node) override;
    // The engine takes the adapter's address.
    bool GetOwnMacAddress(VavMacAddress&) override { return false; }
    // Lets the main frame know that what the step heard can be read.
    void OnWorkStep() override;

    void PostNodeEvent(const VavMacAddress& mac, bool online);
    void PostNodeRefresh(const VavMacAddress& mac, bool online);

private:
    const CNS2Node* FindOnline(const VavMacAddress& mac) const;

    std::atomic<int32_t> configurable_{0};
    std::atomic<int32_t> other_{0};
    CNS2Node* cursor_ = nullptr;  // the next record GetNextOnlineNode looks at
};
