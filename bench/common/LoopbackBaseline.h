// What the round-trip benchmarks share: the median of their rounds, and the direct TCP
// connection on 127.0.0.1 that serves as the baseline in the same run.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <vector>

#include "bench/common/Timing.h"

namespace bench {

inline void NoDelay(int socket) {
    int one = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// A TCP connection on 127.0.0.1, both ends without delayed sends. `server` runs
// serve(accepted end) and then closes that end and the listener. Returns the connecting
// end, or -1.
template <typename Serve>
int LoopbackConnection(Serve serve, std::thread& server) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    if (bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length) != 0)
        return -1;
    server = std::thread([listener, serve] {
        int peer = accept(listener, nullptr, nullptr);
        NoDelay(peer);
        serve(peer);
        close(peer);
        close(listener);
    });
    int client = socket(AF_INET, SOCK_STREAM, 0);
    NoDelay(client);
    if (connect(client, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0)
        return -1;
    return client;
}

// The same, with the serving end in a child process of its own, as the far end of a
// connection through Travex is. Call it before the process starts any thread. Returns
// the connecting end (-1 on failure); *child is the serving process, which ends when
// the connecting end is closed (reap it with waitpid).
template <typename Serve>
int LoopbackConnectionToChild(Serve serve, pid_t* child) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof at;
    if (bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
        listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&at), &length) != 0)
        return -1;
    *child = fork();
    if (*child < 0)
        return -1;
    if (*child == 0) {
        int peer = accept(listener, nullptr, nullptr);
        close(listener);
        NoDelay(peer);
        serve(peer);
        _exit(0);
    }
    close(listener);
    int client = socket(AF_INET, SOCK_STREAM, 0);
    NoDelay(client);
    if (connect(client, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0)
        return -1;
    return client;
}

}  // namespace bench
