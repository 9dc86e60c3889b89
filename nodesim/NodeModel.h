// The object model of a simulated Kolt node, as its IOM interface shows it: objects by
// class and instance (U32), each with typed properties, and the node's methods. Writes
// must bring the property's own type; read-only properties refuse writes. The channel
// patch of each DMX input is an array of 8192 U16 channels, indexed from 1, beside its
// "aipPatchIsEmpty" flag.
//
// What "saveConfiguration" stores survives "reboot" (which drops what was not saved)
// and a restart of the program when a state file is given; "clearConfiguration" puts
// the factory values back and forgets what was saved.
//
// Objects: "Node" 1; per DMX port n (1 to the type's port count) "DMXPort" n,
// "DMXInputPort" n and "DMXOutputPort" n; "VideoPort" 1 on a video node.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/VavMacAddress.h"
#include "rcc/RccValue.h"

namespace nodesim {

// The node's answers. The editor reads only reasons 11 (see the per-property results)
// and 39 (accepted); the others are the node's own.
enum : uint32_t {
    SIM_OK = 0x012C0000,
    SIM_E_NO_OBJECT = 0x80A10001,    // no such class or instance
    SIM_E_NO_PROPERTY = 0x80A10002,  // the object has no such property
    SIM_E_TYPE = 0x80A10003,         // the value is not of the property's type
    SIM_E_READ_ONLY = 0x80A10004,
    SIM_E_RANGE = 0x80A10005,  // array indexes outside the property
    SIM_E_NO_METHOD = 0x80A10006,
    SIM_E_SOME_FAILED = 0x80A1000B,  // reason 11: the per-property results tell
    SIM_E_SAVE = 0x80A10007,         // the state file could not be written
};

constexpr uint32_t kPatchChannels = 8192;

struct NodeIdentity {
    uint16_t type = 8450;
    std::string name = "Sim Node";
    VavMacAddress mac;
    uint32_t ip = 0;  // host order
    uint32_t serial = 1;
};

// The n-th node (1-255) of a test network: at 10.0.0.<n>, MAC 02:18:00:00:00:<n> (n in hex),
// named "Node <n>", serial number n.
NodeIdentity NumberedNode(int n, uint16_t type = 8450);

// How many DMX ports a node type has, and whether it has a video port.
int PortCount(uint16_t type);
bool HasVideoPort(uint16_t type);

class NodeModel {
public:
    // The factory configuration of the identity's type; the state file (may be empty:
    // none) holds what was saved, and is read now when it exists.
    NodeModel(NodeIdentity identity, std::filesystem::path stateFile);

    // A copy of the value; SIM_E_NO_OBJECT or SIM_E_NO_PROPERTY.
    uint32_t Get(const std::string& cls, const CRccValue& instance, const std::string& name,
                 CRccValue& value) const;
    uint32_t Set(const std::string& cls, const CRccValue& instance, const std::string& name,
                 const CRccValue& value);
    // Elements start..start+count-1 (from 1) of an array property, as one array value.
    uint32_t GetArray(const std::string& cls, const CRccValue& instance, const std::string& name,
                      uint32_t start, uint32_t count, CRccValue& values) const;
    uint32_t SetArray(const std::string& cls, const CRccValue& instance, const std::string& name,
                      uint32_t start, uint32_t count, const CRccValue& values);
    // "saveConfiguration", "reboot" (optional U32 argument 1: software update) and
    // "clearConfiguration" of "Node" 1.
    uint32_t Invoke(const std::string& cls, const CRccValue& instance, const std::string& method,
                    const std::vector<CRccValue>& args);

    struct Counters {
        int saves = 0;
        int reboots = 0;
        int updates = 0;
        int clears = 0;
    };
    Counters GetCounters() const;
    // The factory value of a property (none when there is no such property).
    std::optional<CRccValue> FactoryValue(const std::string& cls, uint32_t instance,
                                          const std::string& name) const;
    // Adds a writable property to an object (made when missing); for tests of types the
    // node type does not have.
    void AddProperty(const std::string& cls, uint32_t instance, const std::string& name,
                     CRccValue value);

private:
    struct Property {
        CRccValue value;
        bool writable = true;
    };
    using Key = std::tuple<std::string, uint32_t, std::string>;
    using Properties = std::map<Key, Property>;

    uint32_t Find(const std::string& cls, const CRccValue& instance, const std::string& name,
                  const Property*& found) const;
    uint32_t SetLocked(const std::string& cls, const CRccValue& instance, const std::string& name,
                       const CRccValue& value);
    Properties Factory() const;
    uint32_t Save();
    // Writable values of the saved text over `into`; false when the text does not read.
    static bool Apply(const std::string& saved, Properties& into);
    std::string Serialize() const;

    const NodeIdentity identity_;
    const std::filesystem::path stateFile_;
    mutable std::mutex lock_;
    Properties extra_;  // added by AddProperty, part of the factory configuration
    Properties properties_;
    std::string saved_;  // what saveConfiguration stored, in the state file's form
    Counters counters_;
};

}  // namespace nodesim
