// The address server's callback task: it carries queued messages to the host, takes
// in the members that node status reports, sends the start-up probe and runs the
// election's promotion step.
#include <chrono>
#include <thread>

#include "addrserver/AddressServerCore.h"
#include "addrserver/DeviceKinds.h"
#include "os/Clock.h"

namespace addrserver {

void Server::CallbackTask() {
    callbackRuns_ = true;
    Queue(2, kMsgFrameNotice, "Callback Task started");
    if (Host() == nullptr) {
        Queue(2, kMsgError, "callbackTask argList empty!");
        callbackRuns_ = false;
        return;
    }
    int sinceRest = 0;
    while (running_) {
        int handled = DeliverMessages();
        if (auto member = members_.Pop()) {
            HandleMember(*member);
            ++handled;
        }
        const uint32_t now = os::TickCount();
        ProbeStep(now);
        if (windowArmed_) {  // the election runs once the BOOTP side is open
            std::lock_guard lock(electionMutex_);
            const bool windowOpen = !os::TickReached(now, windowDeadline_);
            election_.Step(windowOpen, probeAnswered_);
        }
        PublishRole();
        sinceRest += handled;
        if (handled == 0) {
            os::WaitEvent(wake_, kProbePeriodMs);
        } else if (sinceRest >= 10) {
            sinceRest = 0;
            // A pause for the other threads after a burst, not a time of the protocol:
            // real time, also under a test's clock.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    // What is still queued (the shut-down notice last) reaches the host.
    while (DeliverMessages() > 0) {
    }
    PublishRole();
    for (auto& ring : messages_) ring.Clear();
    members_.Clear();
    callbackRuns_ = false;
}

int Server::DeliverMessages() {
    int handled = 0;
    CAddressServer* host = Host();
    for (auto& ring : messages_) {
        if (auto m = ring.Pop()) {
            if (host != nullptr)
                host->OnMessage(m->code, m->text.c_str());
            ++handled;
        }
    }
    return handled;
}

void Server::HandleMember(const MemberSnapshot& m) {
    if (!IsBootpClientType(m.nodeType)) {
        // A peer server; one we know is followed when its role drops to 0 as well.
        std::lock_guard lock(electionMutex_);
        if (m.role != kRoleStopped || election_.Knows(m.address))
            election_.UpdatePeer(m.address, m.role, m.online);
        return;
    }
    if (!m.online)
        return;
    if (m.address == kNodeDefaultAddress) {
        Queue(2, kMsgError,
              Format("Node with MAC %s is using default IP!", MacText(m.mac.data(), '.').c_str()));
        return;
    }
    if (!tables_.FindByAddress(m.address)) {
        const std::string dotted = DottedText(m.address);
        if (tables_.AddNode(m.address, m.mac))
            Queue(2, kMsgNodeAdded,
                  Format("Added Node IP %s to bootptab from NS2", dotted.c_str()));
        else
            Queue(2, kMsgError,
                  Format(
                      "Failure to add Node IP %s to bootptab!, possible network miss-configuration",
                      dotted.c_str()));
    }
    if (settings_.versionCheck)
        CheckVersion(m);
}

void Server::CheckVersion(const MemberSnapshot& m) {
    std::optional<std::pair<ImageVersion, ImageVersion>> differs;  // file, node
    tables_.WithEntry(m.address, [&](NodeEntry& entry) {
        if (entry.versionChecked)
            return;
        entry.versionChecked = true;
        if (!m.software)
            return;
        entry.nodeVersion = *m.software;
        const std::string image = ImageFileForType(m.nodeType);
        ImageVersion file = files_.VersionOf(image).value_or(ImageVersion{});
        if (file.DiffersFrom(entry.nodeVersion))
            differs = {{file, entry.nodeVersion}};
    });
    if (!differs)
        return;
    if (CAddressServer* host = Host())
        host->OnServerVersion(m.nodeType, m.address, differs->first, differs->second);
}

void Server::ProbeStep(uint32_t now) {
    if (!windowArmed_ || os::TickReached(now, windowDeadline_) || !listenerReady_ ||
        probeAnswered_ || !os::TickReached(now, nextProbe_))
        return;
    nextProbe_ = now + kProbePeriodMs;
    BootpMessage probe;
    probe.op = kBootRequest;
    probe.htype = 1;
    probe.hlen = 6;
    probe.ciaddr = own_;
    std::copy(kProbeMac.begin(), kProbeMac.end(), probe.chaddr.begin());
    auto bytes = BuildBootp(probe);
    listenerSocket_.SendTo(0xFFFFFFFFu, settings_.bootpServerPort, bytes);
}

}  // namespace addrserver
