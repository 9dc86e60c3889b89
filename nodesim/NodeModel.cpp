#include "nodesim/NodeModel.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/VavVersionRegistry.h"
#include "rcc/RccIPv4.h"
#include "rcc/RccMarshaler.h"

namespace nodesim {

namespace {

constexpr const char* kPatch = "channelPatch";
constexpr const char* kPatchEmpty = "aipPatchIsEmpty";

CRccValue Ip(uint32_t address) {
    CRccValue v;
    *v.makeIPv4() = CRccIPv4(address);
    return v;
}

CRccValue Mac(const VavMacAddress& mac) {
    CRccValue v;
    *v.makeMac() = mac;
    return v;
}

CRccValue Version(const VavVersionInfo& version) {
    CRccValue v;
    *v.makeVerInfo() = CRccVerInfo(version);
    return v;
}

// The state file holds one writable property a line: class, instance, name and the
// value's variant wire form in hexadecimal.
std::string HexVariant(const CRccValue& value) {
    std::vector<uint8_t> bytes(rccwire::SizeOfVariant(value));
    uint8_t* cursor = bytes.data();
    rccwire::WriteVariant(value, cursor);
    std::string hex;
    char pair[3];
    for (uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", b);
        hex += pair;
    }
    return hex;
}

bool ReadHexVariant(const std::string& hex, CRccValue& value) {
    if (hex.size() % 2 != 0)
        return false;
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        unsigned b = 0;
        if (std::sscanf(hex.c_str() + i, "%2x", &b) != 1)
            return false;
        bytes.push_back(static_cast<uint8_t>(b));
    }
    const uint8_t* cursor = bytes.data();
    const uint8_t* end = bytes.data() + bytes.size();
    return rccwire::ReadVariant(value, cursor, end) == RccDecodeError::None && cursor == end;
}

}  // namespace

NodeIdentity NumberedNode(int n, uint16_t type) {
    NodeIdentity id;
    id.type = type;
    id.name = "Node " + std::to_string(n);
    char mac[32];
    std::snprintf(mac, sizeof mac, "02:18:00:00:00:%02x", n);
    id.mac = VavMacAddress(mac);
    id.ip = 0x0A000000u + static_cast<uint32_t>(n);
    id.serial = static_cast<uint32_t>(n);
    return id;
}

int PortCount(uint16_t type) {
    switch (type) {
        case 8581:
            return 1;
        case 8450:
            return 2;
        case 8452:
            return 4;
        case 8456:
            return 8;
        case 8704:
            return 2;
        default:
            return 1;
    }
}

bool HasVideoPort(uint16_t type) {
    return type == 8704;
}

NodeModel::NodeModel(NodeIdentity identity, std::filesystem::path stateFile)
    : identity_(std::move(identity)), stateFile_(std::move(stateFile)) {
    properties_ = Factory();
    std::ifstream in(stateFile_);
    if (!stateFile_.empty() && in) {
        std::stringstream text;
        text << in.rdbuf();
        if (Apply(text.str(), properties_))
            saved_ = text.str();
        else
            properties_ = Factory();
    }
}

NodeModel::Properties NodeModel::Factory() const {
    Properties p;
    auto add = [&p](const char* cls, uint32_t instance, const char* name, CRccValue value,
                    bool writable = true) {
        p[{cls, instance, name}] = Property{std::move(value), writable};
    };
    const NodeIdentity& id = identity_;
    add("Node", 1, "nodeName", CRccValue::ofString(id.name));
    add("Node", 1, "nodeType", CRccValue::ofU16(id.type), false);
    add("Node", 1, "macAddress", Mac(id.mac), false);
    add("Node", 1, "ipAddress", Ip(id.ip));
    add("Node", 1, "subnetMask", Ip(0xFFFFFF00));
    add("Node", 1, "gatewayAddress", Ip((id.ip & 0xFFFFFF00) | 1));
    add("Node", 1, "edmxMulticastAddress", Ip(0xEC010036));  // 236.1.0.54
    add("Node", 1, "location", CRccValue::ofString(""));
    add("Node", 1, "statusInterval", CRccValue::ofU32(1500));
    add("Node", 1, "isPanelLocked", CRccValue::ofBool(false));
    add("Node", 1, "softwareVersion", CRccValue::ofString("4.0.14 sim"), false);
    add("Node", 1, "networkVersion", Version(ProtocolSuiteVersion()), false);
    add("Node", 1, "serialNumber", CRccValue::ofU32(id.serial), false);
    for (uint32_t port = 1; port <= static_cast<uint32_t>(PortCount(id.type)); ++port) {
        uint16_t start = static_cast<uint16_t>((port - 1) * 512 + 1);
        add("DMXPort", port, "isPortEnabled", CRccValue::ofBool(true));
        add("DMXPort", port, "isOutput", CRccValue::ofBool(HasVideoPort(id.type)));
        add("DMXPort", port, "portName", CRccValue::ofString(""));
        add("DMXInputPort", port, "aipEnabled", CRccValue::ofBool(false));
        add("DMXInputPort", port, kPatch,
            CRccValue::of<RCC_ARRAY | RCC_U16>(std::vector<uint16_t>(kPatchChannels, 0)));
        add("DMXInputPort", port, kPatchEmpty, CRccValue::ofBool(true));
        add("DMXInputPort", port, "dmxStart", CRccValue::ofU16(1));
        add("DMXInputPort", port, "edmxStart", CRccValue::ofU16(start));
        add("DMXInputPort", port, "channelCount", CRccValue::ofU16(512));
        add("DMXInputPort", port, "dimmerDoubling", CRccValue::ofBool(false));
        add("DMXInputPort", port, "ddEdmxStart",
            CRccValue::ofU16(static_cast<uint16_t>(start + 256)));
        add("DMXInputPort", port, "holdLastLook", CRccValue::ofBool(true));
        add("DMXInputPort", port, "holdLastLookTime", CRccValue::ofU32(10000));
        add("DMXInputPort", port, "priority", CRccValue::ofU8(100));
        add("DMXInputPort", port, "lineTermination", CRccValue::ofBool(true));
        add("DMXOutputPort", port, "edmxStart", CRccValue::ofU16(start));
        add("DMXOutputPort", port, "channelCount", CRccValue::ofU16(512));
        add("DMXOutputPort", port, "dimmerDoubling", CRccValue::ofBool(false));
        add("DMXOutputPort", port, "ddEdmxStart",
            CRccValue::ofU16(static_cast<uint16_t>(start + 256)));
        add("DMXOutputPort", port, "mergeMode", CRccValue::ofU8(0));
        add("DMXOutputPort", port, "refreshRate", CRccValue::ofU8(40));
        add("DMXOutputPort", port, "lossMode", CRccValue::ofU8(0));
    }
    if (HasVideoPort(id.type)) {
        add("VideoPort", 1, "isLocked", CRccValue::ofBool(false));
        add("VideoPort", 1, "videoStandard", CRccValue::ofU8(0));
        add("VideoPort", 1, "inputSelect", CRccValue::ofU8(1));
        add("VideoPort", 1, "controlEdmxStart", CRccValue::ofU16(1));
    }
    for (const auto& [key, property] : extra_) p[key] = property;
    return p;
}

uint32_t NodeModel::Find(const std::string& cls, const CRccValue& instance, const std::string& name,
                         const Property*& found) const {
    found = nullptr;
    if (instance.getType() != RCC_U32)
        return SIM_E_NO_OBJECT;
    uint32_t id = instance.getScalar<RCC_U32>();
    auto it = properties_.find({cls, id, name});
    if (it != properties_.end()) {
        found = &it->second;
        return SIM_OK;
    }
    auto object = properties_.lower_bound({cls, id, std::string()});
    bool known = object != properties_.end() && std::get<0>(object->first) == cls &&
                 std::get<1>(object->first) == id;
    return known ? SIM_E_NO_PROPERTY : SIM_E_NO_OBJECT;
}

uint32_t NodeModel::Get(const std::string& cls, const CRccValue& instance, const std::string& name,
                        CRccValue& value) const {
    std::lock_guard lock(lock_);
    const Property* p = nullptr;
    uint32_t status = Find(cls, instance, name, p);
    if (p != nullptr)
        value = p->value;
    return status;
}

uint32_t NodeModel::Set(const std::string& cls, const CRccValue& instance, const std::string& name,
                        const CRccValue& value) {
    std::lock_guard lock(lock_);
    return SetLocked(cls, instance, name, value);
}

uint32_t NodeModel::SetLocked(const std::string& cls, const CRccValue& instance,
                              const std::string& name, const CRccValue& value) {
    const Property* found = nullptr;
    uint32_t status = Find(cls, instance, name, found);
    if (found == nullptr)
        return status;
    if (!found->writable)
        return SIM_E_READ_ONLY;
    if (value.getType() != found->value.getType())
        return SIM_E_TYPE;
    const auto* patch = value.get<RCC_ARRAY | RCC_U16>();
    if (name == kPatch && patch != nullptr && patch->size() != kPatchChannels)
        return SIM_E_RANGE;
    Property& p = properties_[{cls, instance.getScalar<RCC_U32>(), name}];
    p.value = value;
    if (name == kPatchEmpty && value.getScalar<RCC_BOOL>()) {
        // An empty patch patches nothing.
        properties_[{cls, instance.getScalar<RCC_U32>(), kPatch}].value =
            CRccValue::of<RCC_ARRAY | RCC_U16>(std::vector<uint16_t>(kPatchChannels, 0));
    }
    return SIM_OK;
}

uint32_t NodeModel::GetArray(const std::string& cls, const CRccValue& instance,
                             const std::string& name, uint32_t start, uint32_t count,
                             CRccValue& values) const {
    std::lock_guard lock(lock_);
    const Property* p = nullptr;
    uint32_t status = Find(cls, instance, name, p);
    if (p == nullptr)
        return status;
    const auto* elements = p->value.get<RCC_ARRAY | RCC_U16>();
    if (elements == nullptr)
        return SIM_E_TYPE;
    if (start < 1 || start - 1 > elements->size() || count > elements->size() - (start - 1))
        return SIM_E_RANGE;
    auto first = elements->begin() + (start - 1);
    *values.makeArray<RCC_U16>() = std::vector<uint16_t>(first, first + count);
    return SIM_OK;
}

uint32_t NodeModel::SetArray(const std::string& cls, const CRccValue& instance,
                             const std::string& name, uint32_t start, uint32_t count,
                             const CRccValue& values) {
    std::lock_guard lock(lock_);
    const Property* p = nullptr;
    uint32_t status = Find(cls, instance, name, p);
    if (p == nullptr)
        return status;
    if (!p->writable)
        return SIM_E_READ_ONLY;
    const auto* update = values.get<RCC_ARRAY | RCC_U16>();
    auto* elements =
        properties_[{cls, instance.getScalar<RCC_U32>(), name}].value.get<RCC_ARRAY | RCC_U16>();
    if (elements == nullptr || update == nullptr)
        return SIM_E_TYPE;
    if (update->size() != count || start < 1 || start - 1 > elements->size() ||
        count > elements->size() - (start - 1))
        return SIM_E_RANGE;
    std::copy(update->begin(), update->end(), elements->begin() + (start - 1));
    if (name == kPatch)
        properties_[{cls, instance.getScalar<RCC_U32>(), kPatchEmpty}].value =
            CRccValue::ofBool(false);
    return SIM_OK;
}

uint32_t NodeModel::Invoke(const std::string& cls, const CRccValue& instance,
                           const std::string& method, const std::vector<CRccValue>& args) {
    std::lock_guard lock(lock_);
    if (cls != "Node" || instance.getType() != RCC_U32 || instance.getScalar<RCC_U32>() != 1)
        return SIM_E_NO_OBJECT;
    if (method == "saveConfiguration") {
        ++counters_.saves;
        return Save();
    }
    if (method == "reboot") {
        bool update =
            args.size() == 1 && args[0].getType() == RCC_U32 && args[0].getScalar<RCC_U32>() == 1;
        ++(update ? counters_.updates : counters_.reboots);
        // What was not saved does not survive a reboot.
        properties_ = Factory();
        Apply(saved_, properties_);
        return SIM_OK;
    }
    if (method == "clearConfiguration") {
        ++counters_.clears;
        properties_ = Factory();
        saved_.clear();
        if (!stateFile_.empty()) {
            std::error_code error;
            std::filesystem::remove(stateFile_, error);
        }
        return SIM_OK;
    }
    return SIM_E_NO_METHOD;
}

std::string NodeModel::Serialize() const {
    std::string text;
    for (const auto& [key, p] : properties_) {
        if (!p.writable)
            continue;
        text += std::get<0>(key) + " " + std::to_string(std::get<1>(key)) + " " + std::get<2>(key) +
                " " + HexVariant(p.value) + "\n";
    }
    return text;
}

uint32_t NodeModel::Save() {
    std::string text = Serialize();
    if (!stateFile_.empty()) {
        std::filesystem::path temporary = stateFile_;
        temporary += ".new";
        std::ofstream out(temporary, std::ios::trunc);
        out << text;
        out.close();
        std::error_code error;
        if (!out || (std::filesystem::rename(temporary, stateFile_, error), error))
            return SIM_E_SAVE;
    }
    saved_ = std::move(text);
    return SIM_OK;
}

bool NodeModel::Apply(const std::string& saved, Properties& into) {
    std::istringstream lines(saved);
    std::string cls, name, hex;
    uint32_t instance = 0;
    while (lines >> cls >> instance >> name >> hex) {
        auto it = into.find({cls, instance, name});
        CRccValue value;
        if (!ReadHexVariant(hex, value))
            return false;
        if (it != into.end() && it->second.writable &&
            value.getType() == it->second.value.getType())
            it->second.value = std::move(value);
    }
    return lines.eof();
}

NodeModel::Counters NodeModel::GetCounters() const {
    std::lock_guard lock(lock_);
    return counters_;
}

std::optional<CRccValue> NodeModel::FactoryValue(const std::string& cls, uint32_t instance,
                                                 const std::string& name) const {
    std::lock_guard lock(lock_);
    Properties factory = Factory();
    auto it = factory.find({cls, instance, name});
    if (it == factory.end())
        return std::nullopt;
    return it->second.value;
}

void NodeModel::AddProperty(const std::string& cls, uint32_t instance, const std::string& name,
                            CRccValue value) {
    std::lock_guard lock(lock_);
    extra_[{cls, instance, name}] = Property{value, true};
    properties_[{cls, instance, name}] = Property{std::move(value), true};
}

}  // namespace nodesim
