// Answers one BOOTP message: the start-up probe of another address server, or a
// node's request for its address and boot file. Pure apart from the tables.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "addrserver/AddressTables.h"
#include "addrserver/BootpMessage.h"
#include "addrserver/MacFilter.h"
#include "addrserver/Report.h"

namespace addrserver {

struct ResponderConfig {
    uint32_t ownAddress = 0;
    uint32_t subnetMask = 0;
    std::string hostName;  // at most 64 characters
    uint32_t displayLevel = 0;
};

// The part of a requested path after its last "/" or "\"; empty for "." and "..".
std::string BaseName(std::string_view requested);

class BootpResponder {
public:
    // fileExists tells whether a base name is a regular file in the TFTP directory.
    BootpResponder(AddressTables& tables, const MacFilter& filter, Reporter& reporter,
                   std::function<bool(const std::string&)> fileExists);

    void Configure(const ResponderConfig& config) { config_ = config; }

    // The reply, or nothing when the message is not answered.
    std::optional<BootpMessage> Handle(const BootpMessage& message);

    // Where a reply to `request` goes (on the client port): the limited broadcast, or
    // with a relay agent the broadcast address of the agent's subnet.
    uint32_t ReplyDestination(const BootpMessage& request) const;

    // The display-bit-0 trace of a message.
    static std::string Describe(const BootpMessage& message);

private:
    std::optional<BootpMessage> AnswerProbe(const BootpMessage& request);
    // The boot file a reply to `request` names (without its leading "\\"), or nothing
    // (reported) when the request is not to be answered for want of one.
    std::optional<std::string> BootFileFor(const BootpMessage& request);
    BootpMessage ReplyTo(const BootpMessage& request, uint32_t assigned) const;

    AddressTables& tables_;
    const MacFilter& filter_;
    Reporter& reporter_;
    std::function<bool(const std::string&)> fileExists_;
    ResponderConfig config_;
};

}  // namespace addrserver
