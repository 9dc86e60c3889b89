// The process-wide registry of the versions of the components running in the process
// (the program itself, the protocol suite, each remote-call protocol), which node
// status announces. Each of its two maps has a changed flag, set by every store, and a
// listener: the announcer registers itself and, when it builds an announcement, drains
// a changed map into its own copy.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/KoltPVersion.h"
#include "platform/VavVersionInfo.h"

// Component ids in use.
constexpr uint16_t VAV_COMPONENT_PROGRAM = 2;
constexpr uint16_t VAV_COMPONENT_PROTOCOL_SUITE = 11;

class CVersionRegistry {
public:
    virtual ~CVersionRegistry() = default;
};

class VavVersionRegistry : public CVersionRegistry {
public:
    using ProtocolMap = std::map<uint8_t, KoltPVersion>;      // by protocol id (8, 9)
    using ComponentMap = std::map<uint16_t, VavVersionInfo>;  // by component id

    // Store under the id, replacing an earlier entry, and set the map's changed flag.
    void SetProtocolVersion(uint8_t id, const KoltPVersion& version);
    void SetComponentVersion(uint16_t id, const VavVersionInfo& version);

    ProtocolMap GetProtocolVersions() const;
    ComponentMap GetComponentVersions() const;
    bool ProtocolVersionsChanged() const;
    bool ComponentVersionsChanged() const;

    // The object that re-reads the map (null: none).
    void SetProtocolVersionsListener(const void* listener);
    void SetComponentVersionsListener(const void* listener);

    // When the map changed and a listener is registered: clears the flag, writes every
    // entry into `into` (replacing entries of the same id) and answers true.
    bool DrainProtocolVersions(ProtocolMap& into);
    bool DrainComponentVersions(ComponentMap& into);

private:
    mutable std::mutex lock_;
    ProtocolMap protocolVersions_;
    bool protocolVersionsChanged_ = false;
    const void* protocolVersionsListener_ = nullptr;
    ComponentMap componentVersions_;
    bool componentVersionsChanged_ = false;
    const void* componentVersionsListener_ = nullptr;
};

// Made on first use; DeleteVersionRegistry destroys it at program exit.
VavVersionRegistry* GetVersionRegistry();
void DeleteVersionRegistry();

// The protocol suite's own version record: 4.0 Patch 14, stage 0, built 11 August 2006.
VavVersionInfo ProtocolSuiteVersion();
