#include "multiplexer/TravexServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <thread>

namespace mux {
namespace {

bool IsSlow(TravexMethod m) {
    return m == TravexMethod::TCPSendBuffer || m == TravexMethod::TCPOpen ||
           m == TravexMethod::TCPDeallocatePoint || m == TravexMethod::shutdown;
}

bool LockWithin(int fd, std::chrono::milliseconds wait) {
    auto until = std::chrono::steady_clock::now() + wait;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

TravexServer::TravexServer(TravexServerOptions options) : options_(std::move(options)) {
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

TravexServer::~TravexServer() {
    if (wake_ >= 0)
        close(wake_);
    if (lockFd_ >= 0)
        close(lockFd_);
}

TravexServer::OpenResult TravexServer::Open(std::string& error) {
    lockFd_ = open(options_.lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        error = "cannot open " + options_.lockPath.string();
        return OpenResult::Failed;
    }
    if (!LockWithin(lockFd_, options_.lockWait))
        return OpenResult::AlreadyServed;
    // The lock file names the serving process.
    std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(lockFd_, 0) != 0 || pwrite(lockFd_, pid.data(), pid.size(), 0) < 0) {
        error = "cannot write " + options_.lockPath.string();
        return OpenResult::Failed;
    }
    // Whatever socket file is there was left by a server that is gone.
    unlink(options_.socketPath.c_str());
    listener_ = MuxSocket(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    options_.socketPath.native().copy(a.sun_path, sizeof a.sun_path - 1);
    if (!listener_.Valid() ||
        bind(listener_.Fd(), reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        chmod(options_.socketPath.c_str(), 0600) != 0 || listen(listener_.Fd(), 64) != 0) {
        error = "cannot listen on " + options_.socketPath.string();
        return OpenResult::Failed;
    }
    return OpenResult::Serving;
}

void TravexServer::Stop() {
    {
        std::lock_guard g(lifeLock_);
        quit_ = true;
    }
    lifeChanged_.notify_all();
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
}

void TravexServer::Run() {
    {
        // Being started counts as a release: a server nobody comes to ends as well.
        std::lock_guard g(lifeLock_);
        activity_ = true;
    }
    std::thread monitor([this] { MonitorLifetime(); });
    for (;;) {
        pollfd fds[2] = {{listener_.Fd(), POLLIN, 0}, {wake_, POLLIN, 0}};
        poll(fds, 2, 1000);
        {
            std::lock_guard g(lifeLock_);
            if (quit_)
                break;
        }
        if (fds[0].revents & POLLIN)
            AcceptOne();
    }
    // Nobody can reach this server any more; a client that comes now starts a new one.
    unlink(options_.socketPath.c_str());
    listener_.Close();
    monitor.join();
    std::unique_lock g(lifeLock_);
    lifeChanged_.wait(g, [this] { return readers_ == 0; });
}

void TravexServer::AcceptOne() {
    int fd = accept4(listener_.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    auto connection = std::make_shared<Connection>();
    connection->socket = MuxSocket(fd);
    {
        std::lock_guard g(lifeLock_);
        if (quit_)
            return;  // ending: the client sees the connection close and starts anew
        ++clients_;
        ++readers_;
    }
    try {
        std::thread([this, connection] { Serve(connection); }).detach();
    } catch (const std::system_error&) {
        ClientGone();
        std::lock_guard g(lifeLock_);
        --readers_;
    }
}

void TravexServer::Serve(ConnectionPtr connection) {
    RpcFrameReader reader;
    std::vector<std::uint8_t> buffer(4096), body;
    for (;;) {
        ssize_t n = recv(connection->socket.Fd(), buffer.data(), buffer.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !reader.Feed(std::span(buffer.data(), static_cast<std::size_t>(n))))
            break;
        bool bad = false;
        while (!bad && reader.Next(body)) {
            TravexCall call;
            bad = DecodeCall(body, call) != RpcError::None;
            if (!bad)
                Handle(connection, call);
        }
        if (bad || reader.Error() != RpcError::None)
            break;  // out of step: drop the client
    }
    shutdown(connection->socket.Fd(), SHUT_RDWR);
    Release(*connection);
    ClientGone();
    std::lock_guard g(lifeLock_);
    --readers_;
    lifeChanged_.notify_all();
}

void TravexServer::Handle(const ConnectionPtr& connection, const TravexCall& call) {
    TravexReply reply{call.callId, call.method, 0, {}};
    if (!IsSlow(call.method)) {
        Reply(*connection, Call(*connection, call));
        return;
    }
    if (options_.answerAtOnce && options_.answerAtOnce(call, reply)) {
        Reply(*connection, reply);
        return;
    }
    workers_.Post([this, connection, call] { Reply(*connection, Call(*connection, call)); });
}

TravexReply TravexServer::Call(Connection& connection, const TravexCall& call) {
    ITravexInterface& engine = *options_.engine;
    if (call.method == TravexMethod::shutdown && call.in.appid != 0) {
        std::lock_guard g(connection.idsLock);
        // Only the process that registered an id may give it up.
        if (connection.ids.erase(call.in.appid) == 0)
            return TravexReply{call.callId, call.method, MUX_S_OK, {}};
    }
    TravexReply reply = Dispatch(engine, call);
    if (call.method == TravexMethod::startup && !MuxFailed(reply.status)) {
        std::lock_guard g(connection.idsLock);
        connection.ids.insert(reply.out.appid);
    }
    return reply;
}

void TravexServer::Reply(Connection& connection, const TravexReply& reply) {
    std::vector<std::uint8_t> frame;
    EncodeReply(reply, frame);
    std::lock_guard g(connection.writeLock);
    std::size_t at = 0;
    while (at < frame.size()) {
        ssize_t n =
            send(connection.socket.Fd(), frame.data() + at, frame.size() - at, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // the client is gone; its reader sees that too
        at += static_cast<std::size_t>(n);
    }
}

void TravexServer::Release(Connection& connection) {
    std::set<std::uint8_t> ids;
    {
        std::lock_guard g(connection.idsLock);
        ids.swap(connection.ids);
    }
    for (std::uint8_t id : ids) options_.engine->shutdown(id);
}

void TravexServer::ClientGone() {
    std::lock_guard g(lifeLock_);
    if (--clients_ == 0) {
        activity_ = true;
        lifeChanged_.notify_all();
    }
}

void TravexServer::MonitorLifetime() {
    std::unique_lock g(lifeLock_);
    while (!quit_) {
        lifeChanged_.wait(g, [this] { return activity_ || quit_; });
        // Quiet for the whole linger time after the last release?
        while (activity_ && !quit_) {
            activity_ = false;
            lifeChanged_.wait_for(g, options_.linger, [this] { return activity_ || quit_; });
        }
        if (clients_ == 0)
            quit_ = true;
    }
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
}

}  // namespace mux
