// The multicast manager's receive thread: waits in poll() on every subscription socket
// and on a wake-up descriptor that is signalled when the subscriptions change.
#include <poll.h>
#include <unistd.h>

#include <vector>

#include "multiplexer/MuxMulticastManager.h"

namespace mux {
namespace {
constexpr int kMulticastIdlePollMs = 100;
constexpr std::uint32_t kBurstPauseMs = 5;
}  // namespace

void MuxMulticastManager::ReceiveLoop() {
    std::vector<std::uint8_t> buffer(kMuxMaxDatagram + 1);
    int burst = 0;
    while (running_) {
        std::vector<pollfd> fds{{wake_, POLLIN, 0}};
        {
            std::shared_lock lock(lock_);
            for (const Record& r : records_) {
                if (r.used && r.socket.Valid())
                    fds.push_back({r.socket.Fd(), POLLIN, 0});
            }
        }
        if (poll(fds.data(), fds.size(), kMulticastIdlePollMs) <= 0)
            continue;
        if (fds[0].revents) {
            std::uint64_t count = 0;
            [[maybe_unused]] ssize_t n = read(wake_, &count, sizeof count);
        }
        for (std::size_t i = 1; i < fds.size() && running_; ++i) {
            if (!fds[i].revents)
                continue;
            if (!ReceiveOne(fds[i].fd, buffer)) {
                std::unique_lock lock(lock_);
                for (Record& r : records_) {
                    if (r.used && r.socket.Fd() == fds[i].fd)
                        FreeLocked(r);
                }
            }
            // Give the clients a moment to fetch after every burst.
            if (++burst >= kBurst) {
                clients_.WaitProcessed(MuxKind::Multicast, kBurstPauseMs);
                burst = 0;
            }
        }
    }
}

}  // namespace mux
