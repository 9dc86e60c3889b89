#include "addrserver/ServerElection.h"

#include <algorithm>

namespace addrserver {

void ServerElection::Reset(uint32_t ownAddress, uint32_t mode) {
    own_ = ownAddress;
    mode_ = mode;
    role_ = kRoleStopped;
    master_ = 0;
    masterRole_ = kRoleStopped;
    backups_.fill(0);
    Recompute();
}

bool ServerElection::Knows(uint32_t a) const {
    return a != 0 &&
           (a == master_ || std::find(backups_.begin(), backups_.end(), a) != backups_.end());
}

void ServerElection::Recompute() {
    lowest_ = 0xFFFFFFFF;
    highest_ = 0;
    for (uint32_t a : backups_) {
        if (a == 0)
            continue;
        lowest_ = std::min(lowest_, a);
        highest_ = std::max(highest_, a);
    }
}

void ServerElection::AddBackup(uint32_t a) {
    if (a == own_ || std::find(backups_.begin(), backups_.end(), a) != backups_.end())
        return;
    auto free = std::find(backups_.begin(), backups_.end(), 0u);
    if (free != backups_.end()) {
        *free = a;
    } else if (a < highest_) {
        *std::find(backups_.begin(), backups_.end(), highest_) = a;
    }
    Recompute();
}

void ServerElection::DropBackup(uint32_t a) {
    std::replace(backups_.begin(), backups_.end(), a, 0u);
    Recompute();
}

void ServerElection::ForgetMaster(uint32_t a) {
    if (master_ != a)
        return;
    master_ = 0;
    masterRole_ = kRoleStopped;
}

void ServerElection::UpdatePeer(uint32_t a, uint8_t role, bool online) {
    const std::string dotted = DottedText(a);
    if (!online) {
        ForgetMaster(a);
        DropBackup(a);
        return;
    }
    switch (role) {
        case kRoleStopped:
            DropBackup(a);
            if (master_ == a) {
                ForgetMaster(a);
                reporter_.Report(kMsgNotice, Format("Bootp server @ %s stopped", dotted.c_str()));
            }
            break;
        case kRolePrimary:
        case kRoleActive: {
            // A second master beside the one we know is reported and not followed.
            if (masterRole_ == role && master_ != a) {
                const char* text = role == kRolePrimary
                                       ? "Duplicate Primary Bootp server @ %s"
                                       : "Incorrect Active Backup Bootp server @ %s";
                reporter_.Report(kMsgError, Format(text, dotted.c_str()));
                break;
            }
            if (master_ != a) {
                reporter_.Report(kMsgNotice,
                                 Format(role == kRolePrimary ? "Bootp Master server is %s"
                                                             : "Bootp server @ %s is active",
                                        dotted.c_str()));
            }
            DropBackup(a);
            master_ = a;
            masterRole_ = role;
            break;
        }
        case kRoleBackup:
            AddBackup(a);
            if (master_ == a) {
                ForgetMaster(a);
                reporter_.Report(kMsgNotice, Format("Bootp server @ %s is backup", dotted.c_str()));
            }
            break;
    }
}

void ServerElection::Step(bool windowOpen, bool probeAnswered) {
    if (role_ == kRoleActive && master_ != own_)
        role_ = kRoleBackup;
    if (master_ != 0 || windowOpen)
        return;
    if (mode_ == kModeBackup && own_ < lowest_) {
        master_ = own_;
        role_ = kRoleActive;
        reporter_.Report(kMsgNotice, "This host now active bootp server");
    } else if (mode_ == kModePrimary && !probeAnswered) {
        master_ = own_;
        role_ = kRolePrimary;
        reporter_.Report(kMsgNotice, "This host now primary bootp server");
    }
}

}  // namespace addrserver
