// The simulated node's member of node status: it announces the node's type, name and
// hardware address and, as every Kolt node does, its network version (component 11).
#pragma once

#include <cstdint>
#include <optional>

#include "nodesim/NodeModel.h"
#include "nodestatus/CNS2.h"

namespace nodesim {

class SimNodeStatus : public CNS2 {
public:
    // `networkMajor` none: the node announces no network version. The report interval is
    // at least 500 ms.
    SimNodeStatus(const NodeIdentity& identity, uint32_t reportInterval,
                  std::optional<uint16_t> networkMajor);

    void OnNodeOnline(CNS2Node&) override {}
    void OnNodeOffline(CNS2Node&) override {}
    bool GetOwnMacAddress(VavMacAddress& mac) override;

private:
    VavMacAddress mac_;
};

}  // namespace nodesim
