// Which address server on the segment is the master: what this server learns of its
// peers from node status, its backup table, and the promotion of this server to
// primary or active when no master is known.
#pragma once

#include <array>
#include <cstdint>

#include "addrserver/Report.h"

namespace addrserver {

enum ServerRole : uint8_t { kRoleStopped = 0, kRolePrimary = 1, kRoleBackup = 2, kRoleActive = 3 };

enum ServerMode : uint32_t { kModeTftpOnly = 0, kModeBackup = 2, kModePrimary = 3 };

class ServerElection {
public:
    static constexpr size_t kBackupCapacity = 10;

    explicit ServerElection(Reporter& reporter) : reporter_(reporter) {}

    // A fresh election for a server at `ownAddress` in `mode`.
    void Reset(uint32_t ownAddress, uint32_t mode);

    // A peer server's state as node status reports it.
    void UpdatePeer(uint32_t address, uint8_t role, bool online);
    // Whether `address` takes part (is the master or in the backup table).
    bool Knows(uint32_t address) const;

    // One promotion step; `windowOpen` while the start-up window runs, `probeAnswered`
    // when another server answered the start-up probe.
    void Step(bool windowOpen, bool probeAnswered);

    void Stop() { role_ = kRoleStopped; }
    uint8_t Role() const { return role_; }
    uint32_t Master() const { return master_; }
    uint8_t MasterRole() const { return masterRole_; }
    uint32_t LowestBackup() const { return lowest_; }

private:
    void AddBackup(uint32_t address);
    void DropBackup(uint32_t address);
    void Recompute();
    void ForgetMaster(uint32_t address);

    Reporter& reporter_;
    uint32_t own_ = 0;
    uint32_t mode_ = 0;
    uint8_t role_ = kRoleStopped;
    uint32_t master_ = 0;
    uint8_t masterRole_ = kRoleStopped;
    std::array<uint32_t, kBackupCapacity> backups_{};  // 0 = free place
    uint32_t lowest_ = 0xFFFFFFFF;
    uint32_t highest_ = 0;
};

}  // namespace addrserver
