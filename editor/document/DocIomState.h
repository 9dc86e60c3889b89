// The state of the document's conversation with one node over IOM, kept for the length
// of one network operation: where the proxy is connected, the current IOM object, the
// batch of property writes not yet sent, and the transactions of a read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/VavMacAddress.h"
#include "rcc/IOMTransaction.h"
#include "rcc/RccValue.h"
#include "xmldom/Node.h"

// Reason 39 of a node's answer counts as success wherever it comes; reason 11 of a
// multi-property write leaves the verdict to the per-property codes.
constexpr uint32_t kIomReasonAccepted = 0x27;
constexpr uint32_t kIomReasonSeeResults = 0x0B;
inline uint32_t IomReason(uint32_t status) {
    return status & 0xFFFF;
}
inline bool IomOk(uint32_t status) {
    return (status & 0x80000000u) == 0 || IomReason(status) == kIomReasonAccepted;
}

// The five passes of a send, in the order they run: hold the outputs, the ordinary
// properties, the channel patches, the channel counts, restore the outputs.
enum DocSendPass : int {
    SEND_PASS_HOLD_OUTPUTS = 0,
    SEND_PASS_RESTORE_OUTPUTS = 1,
    SEND_PASS_PATCHES = 2,
    SEND_PASS_PROPERTIES = 3,
    SEND_PASS_CHANNEL_COUNTS = 4,
};

// Which walk over a node's property tree reads it.
enum class DocReadWalk : uint8_t {
    Gather,   // one transaction per property, channel patches left out
    Patches,  // the channel patches only
    Single,   // property by property
};

// How one node of a walk went. NotSaved: everything was sent, but the node did not save
// it; a failure that has a question of its own.
enum class NodeStep : uint8_t { Done, Skipped, Failed, NotSaved };

// A node of the document as the operations see it.
struct DocNodeInfo {
    std::string name;
    VavMacAddress mac;
    uint32_t ip = 0;  // host order
    xmldom::Node element;
};

struct DocIomState {
    uint32_t nodeAddress = 0;  // where the proxy connects (host order)
    std::string className;
    CRccValue instanceId = CRccValue::ofU32(1);
    // The pending batch: names and values side by side; the per-property codes of the
    // last write that returned them.
    std::vector<std::string> names;
    std::vector<CRccValue> values;
    std::vector<int32_t> setResults;
    int pass = SEND_PASS_HOLD_OUTPUTS;
    DocReadWalk readWalk = DocReadWalk::Gather;
    bool rebootNeeded = false;
    // A read: the transactions and, side by side, the elements they were made for.
    IOMTransactionList transactions;
    std::vector<xmldom::Node> transactionElements;

    // A fresh object ("" and instance 1) and an empty batch.
    void ResetObject() {
        className.clear();
        instanceId = CRccValue::ofU32(1);
        names.clear();
        values.clear();
        setResults.clear();
    }
};
