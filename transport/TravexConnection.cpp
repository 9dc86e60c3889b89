#include "transport/TravexConnection.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <thread>

#include "multiplexer/TravexEndpoint.h"
#include "multiplexer/TravexRegistration.h"
#include "os/Paths.h"
#include "os/Process.h"

namespace xport {
namespace {

using namespace mux;

int ConnectOnce(const std::filesystem::path& path, int& error) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    path.native().copy(a.sun_path, sizeof a.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0)
        return fd;
    error = errno;
    close(fd);
    return -1;
}

std::filesystem::path ServerProgram(const TravexConnection::Options& options) {
    if (!options.program.empty())
        return options.program;
    std::filesystem::path registered = RegisteredTravex();
    if (!registered.empty())
        return registered;
    return os::ProgramDir() / "travex";
}

// Starts the server detached ("-Embedding": it leaves the process that started it at
// once, so it is never a child to collect), and collects that short-lived starter.
bool StartServer(const std::filesystem::path& program, std::string& error) {
    os::StartResult r = os::StartProgram(program, {"-Embedding"});
    if (!r.Started()) {
        error = "cannot start " + program.string() + ": " + r.Message();
        return false;
    }
    os::WaitForProcess(r.pid, 5000);
    return true;
}

}  // namespace

std::unique_ptr<TravexConnection> TravexConnection::Connect(const Options& options,
                                                            std::string& error) {
    std::error_code ec;
    std::filesystem::path path = TravexSocketPath(ec);
    if (ec) {
        error = "no runtime folder: " + ec.message();
        return nullptr;
    }
    auto deadline = std::chrono::steady_clock::now() + options.activation;
    auto nextStart = std::chrono::steady_clock::now();
    for (;;) {
        int why = 0;
        int fd = ConnectOnce(path, why);
        if (fd >= 0)
            return std::unique_ptr<TravexConnection>(new TravexConnection(fd));
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            error = "Travex did not answer at " + path.string();
            return nullptr;
        }
        // Nobody listens: start a server, and again now and then while none comes up.
        if ((why == ENOENT || why == ECONNREFUSED) && now >= nextStart) {
            if (!StartServer(ServerProgram(options), error))
                return nullptr;
            nextStart = now + std::chrono::seconds(3);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

TravexConnection::~TravexConnection() {
    close(fd_);
}

bool TravexConnection::Alive() const {
    std::lock_guard g(lock_);
    return !broken_;
}

bool TravexConnection::ReadReplies() {
    std::uint8_t buffer[4096];
    ssize_t n;
    do {
        n = recv(fd_, buffer, sizeof buffer, 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0 || !reader_.Feed(std::span(buffer, static_cast<std::size_t>(n))))
        return false;
    std::vector<std::uint8_t> body;
    while (reader_.Next(body)) {
        TravexReply reply;
        if (DecodeReply(body, reply) != RpcError::None)
            return false;
        std::lock_guard g(lock_);
        auto it = pending_.find(reply.callId);
        if (it != pending_.end() && it->second->reply.method == reply.method) {
            it->second->reply = reply;
            it->second->done = true;
        }
    }
    return reader_.Error() == RpcError::None;
}

TravexReply TravexConnection::Invoke(TravexMethod method, const TravexValues& in, MuxStatus lost) {
    Pending p;
    p.reply.method = method;
    TravexCall call{0, method, in};
    std::unique_lock g(lock_);
    if (broken_)
        return TravexReply{0, method, lost, {}};
    call.callId = ++nextCallId_;
    pending_[call.callId] = &p;
    g.unlock();
    std::vector<std::uint8_t> frame;
    bool sent = EncodeCall(call, frame) == RpcError::None;
    if (sent) {
        std::lock_guard w(writeLock_);
        std::size_t at = 0;
        while (sent && at < frame.size()) {
            ssize_t n = send(fd_, frame.data() + at, frame.size() - at, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            sent = n > 0;
            if (sent)
                at += static_cast<std::size_t>(n);
        }
    }
    g.lock();
    if (!sent)
        broken_ = true;
    // Whoever waits and finds nobody reading reads for all until its own reply is in.
    while (!p.done && !broken_) {
        if (reading_) {
            changed_.wait(g);
            continue;
        }
        reading_ = true;
        g.unlock();
        bool ok = ReadReplies();
        g.lock();
        reading_ = false;
        if (!ok)
            broken_ = true;
        changed_.notify_all();
    }
    pending_.erase(call.callId);
    if (!p.done)
        return TravexReply{call.callId, method, lost, {}};
    return p.reply;
}

}  // namespace xport
