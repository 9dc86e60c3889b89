// Cuts one TCP byte stream into messages by the 12-byte application header, whose
// u32 at offset 8 is the message's total length, header included.
//
// Pure: no socket, no queue. The caller feeds received bytes and, for each complete
// message, takes it (or leaves it pending while its destination has no room).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "multiplexer/MuxEntry.h"
#include "platform/XPortHeader.h"

namespace mux {

inline constexpr std::uint32_t kXPortHeaderSize = XPORT_HEADER_LENGTH;

class MuxTcpFramer {
public:
    enum class Status {
        NeedMore,   // every byte was taken; the message is not complete yet
        Message,    // a message is complete (bytes after it are left in `in`)
        BadLength,  // a header's length is below 12 or above the maximum: drop the connection
    };

    explicit MuxTcpFramer(std::uint32_t maxMessage = kMuxMaxTcpMessage) : max_(maxMessage) {}

    // Takes bytes from the front of `in` until a message completes or `in` is empty.
    // While a message is pending, takes nothing and answers Message again.
    Status Feed(std::span<const std::uint8_t>& in);
    bool Pending() const { return state_ == State::Complete; }
    // The pending message as an entry: 24 bytes of room for the descriptor, then the
    // message. Valid while Pending().
    MuxEntry& PendingEntry() { return entry_; }
    // Gives up the pending message and starts on the next header.
    MuxEntry Take();

private:
    enum class State { Header, Body, Complete, Failed };
    const std::uint32_t max_;
    State state_ = State::Header;
    std::array<std::uint8_t, kXPortHeaderSize> header_{};
    std::size_t headerFill_ = 0;
    std::uint32_t total_ = 0;
    std::uint32_t fill_ = 0;
    MuxEntry entry_;
};

}  // namespace mux
