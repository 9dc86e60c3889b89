// The IOM interface (2) of a simulated node, served by a stub dispatcher over its model.
// Every call is recorded as one line (also appended to the record file when given):
//
//   getProp DMXInputPort 1 aipPatchIsEmpty
//   setProp DMXPort 1 isPortEnabled=bool: false
//   getPropMulti Node 1 nodeName,location
//   setPropMulti Node 1 nodeName,location continue=1
//   getPropArray DMXInputPort 1 channelPatch start=1 count=500
//   setPropArray DMXInputPort 1 channelPatch start=1 count=500 continue=0
//   invokeMethod Node 1 reboot U32: 1
//   getPropTransaction transactions=57
//
// For fault tests a chosen call (counted from the next one) can fail with a given status
// or be held unanswered, as a node that fell silent, until Resume; a property can be made
// to answer a chosen per-property code in multi-property writes.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "nodesim/NodeModel.h"
#include "os/Event.h"
#include "rcc/IInterfaceStub.h"

namespace nodesim {

class IomNodeStub : public IInterfaceStub {
public:
    // The longest a held call waits for Resume.
    static constexpr uint32_t kMaxHoldMs = 60000;

    explicit IomNodeStub(NodeModel& model, const std::filesystem::path& recordFile = {});

    void invoke(uint32_t interfaceId, uint32_t methodId, std::vector<CRccArg>& request,
                uint32_t* status, std::vector<CRccArg>& reply, IOMTransactionList* list) override;

    // The nth IOM call from now (1: the next) answers `status` and changes nothing.
    void FailCall(uint32_t nth, uint32_t status);
    // The nth IOM call from now is held until Resume, or for at most `ms`.
    void HoldCall(uint32_t nth, uint32_t ms = kMaxHoldMs);
    void Resume();
    // True while a call is held.
    bool IsHolding() const { return holding_; }
    // Writes of this property in a multi-property write answer `code` for it.
    void FailProperty(const std::string& name, uint32_t code);

    uint32_t CallCount() const { return count_; }
    std::vector<std::string> Calls() const;
    void ClearCalls();
    // True once `done` holds for the calls recorded so far, looked at now and after each
    // call is recorded; false when it does not within `ms` of real time.
    bool AwaitCalls(const std::function<bool(const std::vector<std::string>&)>& done,
                    uint32_t ms = 5000) const;

private:
    static std::string Describe(uint32_t methodId, const std::vector<CRccArg>& request,
                                const IOMTransactionList* list);
    uint32_t Execute(uint32_t methodId, std::vector<CRccArg>& request, std::vector<CRccArg>& reply,
                     IOMTransactionList* list);
    uint32_t SetMulti(std::vector<CRccArg>& request, std::vector<CRccArg>& reply);
    uint32_t Transaction(IOMTransactionList& list, bool write);
    void Record(const std::string& line);

    NodeModel& model_;
    std::atomic<uint32_t> count_{0};
    std::atomic<uint32_t> failAt_{0};
    std::atomic<uint32_t> failStatus_{0};
    std::atomic<uint32_t> holdAt_{0};
    std::atomic<uint32_t> holdMs_{kMaxHoldMs};
    std::atomic<bool> holding_{false};
    os::Event resume_{true, false};
    mutable std::mutex lock_;
    mutable std::condition_variable recorded_;
    std::map<std::string, uint32_t> failingProperties_;
    std::vector<std::string> calls_;
    std::ofstream record_;
};

}  // namespace nodesim
