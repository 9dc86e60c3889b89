#include "multiplexer/MuxTcpFramer.h"

#include <algorithm>
#include <cstring>

namespace mux {

MuxTcpFramer::Status MuxTcpFramer::Feed(std::span<const std::uint8_t>& in) {
    if (state_ == State::Failed)
        return Status::BadLength;
    if (state_ == State::Complete)
        return Status::Message;
    while (!in.empty()) {
        if (state_ == State::Header) {
            std::size_t n = std::min(kXPortHeaderSize - headerFill_, in.size());
            std::memcpy(header_.data() + headerFill_, in.data(), n);
            headerFill_ += n;
            in = in.subspan(n);
            if (headerFill_ < kXPortHeaderSize)
                return Status::NeedMore;
            total_ = XPortHdrGetLength(header_.data());
            // Checked before anything is allocated for it.
            if (total_ < kXPortHeaderSize || total_ > max_) {
                state_ = State::Failed;
                return Status::BadLength;
            }
            entry_.assign(kMuxDescriptorSize + total_, 0);
            std::memcpy(entry_.data() + kMuxDescriptorSize, header_.data(), kXPortHeaderSize);
            fill_ = kXPortHeaderSize;
            state_ = State::Body;
        } else {
            std::size_t n = std::min<std::size_t>(total_ - fill_, in.size());
            std::memcpy(entry_.data() + kMuxDescriptorSize + fill_, in.data(), n);
            fill_ += static_cast<std::uint32_t>(n);
            in = in.subspan(n);
        }
        if (state_ == State::Body && fill_ == total_) {
            state_ = State::Complete;
            return Status::Message;
        }
    }
    return Status::NeedMore;
}

MuxEntry MuxTcpFramer::Take() {
    MuxEntry out = std::move(entry_);
    entry_.clear();
    headerFill_ = 0;
    state_ = State::Header;
    return out;
}

}  // namespace mux
