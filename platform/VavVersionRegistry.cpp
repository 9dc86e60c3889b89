#include "platform/VavVersionRegistry.h"

#include <memory>

namespace {

template <typename Map>
bool Drain(bool& changed, const void* listener, const Map& from, Map& into) {
    if (!changed || listener == nullptr)
        return false;
    changed = false;
    for (const auto& [id, value] : from) into.insert_or_assign(id, value);
    return true;
}

}  // namespace

void VavVersionRegistry::SetProtocolVersion(uint8_t id, const KoltPVersion& version) {
    std::lock_guard guard(lock_);
    protocolVersionsChanged_ = true;
    protocolVersions_.insert_or_assign(id, version);
}

void VavVersionRegistry::SetComponentVersion(uint16_t id, const VavVersionInfo& version) {
    std::lock_guard guard(lock_);
    componentVersionsChanged_ = true;
    componentVersions_.insert_or_assign(id, version);
}

VavVersionRegistry::ProtocolMap VavVersionRegistry::GetProtocolVersions() const {
    std::lock_guard guard(lock_);
    return protocolVersions_;
}

VavVersionRegistry::ComponentMap VavVersionRegistry::GetComponentVersions() const {
    std::lock_guard guard(lock_);
    return componentVersions_;
}

bool VavVersionRegistry::ProtocolVersionsChanged() const {
    std::lock_guard guard(lock_);
    return protocolVersionsChanged_;
}

bool VavVersionRegistry::ComponentVersionsChanged() const {
    std::lock_guard guard(lock_);
    return componentVersionsChanged_;
}

void VavVersionRegistry::SetProtocolVersionsListener(const void* listener) {
    std::lock_guard guard(lock_);
    protocolVersionsListener_ = listener;
}

void VavVersionRegistry::SetComponentVersionsListener(const void* listener) {
    std::lock_guard guard(lock_);
    componentVersionsListener_ = listener;
}

bool VavVersionRegistry::DrainProtocolVersions(ProtocolMap& into) {
    std::lock_guard guard(lock_);
    return Drain(protocolVersionsChanged_, protocolVersionsListener_, protocolVersions_, into);
}

bool VavVersionRegistry::DrainComponentVersions(ComponentMap& into) {
    std::lock_guard guard(lock_);
    return Drain(componentVersionsChanged_, componentVersionsListener_, componentVersions_, into);
}

namespace {
std::mutex g_registryLock;
std::unique_ptr<VavVersionRegistry> g_registry;
}  // namespace

VavVersionRegistry* GetVersionRegistry() {
    std::lock_guard guard(g_registryLock);
    if (!g_registry)
        g_registry = std::make_unique<VavVersionRegistry>();
    return g_registry.get();
}

void DeleteVersionRegistry() {
    std::lock_guard guard(g_registryLock);
    g_registry.reset();
}

VavVersionInfo ProtocolSuiteVersion() {
    VavVersionData data;
    data.major = 4;
    data.minor = 0;
    data.patch = 14;
    data.buildDate = "11 August 2006";
    data.copyright = "Copyright (c) IxoKolt";
    data.productName = "IxoKolt Protocol Suite";
    return VavVersionInfo(data);
}
