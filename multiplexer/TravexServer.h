// Travex's side of the local calls: listens on the Unix-domain socket, serves each
// client process on its own connection, and ends itself when it has had no client for
// the linger time (5 s).
//
// A connection is one client process. The application ids it registers are released
// when it goes, however it goes (shutdown, exit, or killed), so a dead client never
// keeps its slot, queues, subscriptions or TCP points. Calls that may wait run on
// worker threads; the others are answered on the connection's own thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "multiplexer/MuxSocketCalls.h"
#include "multiplexer/TravexRpc.h"
#include "multiplexer/TravexWorkers.h"

namespace mux {

struct TravexServerOptions {
    ITravexInterface* engine = nullptr;
    std::filesystem::path socketPath;
    std::filesystem::path lockPath;
    std::chrono::milliseconds linger{5000};
    // How long a new server waits for one that is ending to let go of the folder.
    std::chrono::milliseconds lockWait{2000};
    // Answers a call that would go to a worker on the connection's own thread when that
    // needs no waiting; false: it goes to a worker after all.
    std::function<bool(const TravexCall&, TravexReply&)> answerAtOnce;
};

class TravexServer {
public:
    explicit TravexServer(TravexServerOptions options);
    ~TravexServer();
    TravexServer(const TravexServer&) = delete;
    TravexServer& operator=(const TravexServer&) = delete;

    enum class OpenResult { Serving, AlreadyServed, Failed };
    // Takes the folder's lock and listens. AlreadyServed: another Travex holds it.
    OpenResult Open(std::string& error);
    // Serves until no client has been connected for the linger time; then stops
    // listening, removes the socket and returns.
    void Run();
    // Ends Run soon, whatever the clients (a stop request).
    void Stop();

private:
    struct Connection {
        MuxSocket socket;
        std::mutex writeLock;
        std::mutex idsLock;
        std::set<std::uint8_t> ids;  // registered through this connection
    };
    using ConnectionPtr = std::shared_ptr<Connection>;

    void AcceptOne();
    void Serve(ConnectionPtr connection);
    void Handle(const ConnectionPtr& connection, const TravexCall& call);
    TravexReply Call(Connection& connection, const TravexCall& call);
    void Reply(Connection& connection, const TravexReply& reply);
    void Release(Connection& connection);
    void MonitorLifetime();
    void ClientGone();

    TravexServerOptions options_;
    MuxSocket listener_;
    int lockFd_ = -1;
    int wake_ = -1;
    TravexWorkers workers_{64};

    std::mutex lifeLock_;
    std::condition_variable lifeChanged_;
    int clients_ = 0;        // live connections
    int readers_ = 0;        // connection threads still running
    bool activity_ = false;  // a release since the monitor last looked
    bool quit_ = false;
};

}  // namespace mux
