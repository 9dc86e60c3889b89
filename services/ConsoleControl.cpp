#include "services/ConsoleControl.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<bool> g_stop{false};
int g_pipe[2] = {-1, -1};
std::once_flag g_installed;

void OnSignal(int) {
    g_stop = true;
    const char byte = 1;
    if (g_pipe[1] >= 0) [[maybe_unused]]
        auto n = write(g_pipe[1], &byte, 1);
}

termios g_saved{};
bool g_rawTerminal = false;
bool g_inputEnded = false;

void RestoreTerminal() {
    if (g_rawTerminal)
        tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
}

// A terminal hands over each key at once, without echo, until the program ends.
void PrepareTerminal() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &g_saved) != 0)
            return;
        termios raw = g_saved;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) {
            g_rawTerminal = true;
            std::atexit(RestoreTerminal);
        }
    });
}

}  // namespace

void InstallStopSignals() {
    std::call_once(g_installed, [] {
        if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            g_pipe[0] = g_pipe[1] = -1;
        struct sigaction a {};
        a.sa_handler = OnSignal;
        sigemptyset(&a.sa_mask);
        sigaction(SIGTERM, &a, nullptr);
        sigaction(SIGINT, &a, nullptr);
    });
}

bool StopSignalled() {
    return g_stop;
}

bool WaitForStopSignal(uint32_t ms) {
    if (g_stop)
        return true;
    if (g_pipe[0] < 0) {
        usleep(ms * 1000);
        return g_stop;
    }
    pollfd p{g_pipe[0], POLLIN, 0};
    poll(&p, 1, static_cast<int>(ms));
    return g_stop;
}

bool ConsoleKeyPressed() {
    if (g_inputEnded)
        return false;
    PrepareTerminal();
    pollfd p{STDIN_FILENO, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0)
        return false;
    char byte;
    const ssize_t n = read(STDIN_FILENO, &byte, 1);
    if (n > 0)
        return true;
    // An input that cannot be read (a terminal of another job) counts as ended too: a
    // loop that sleeps until it is readable would otherwise never sleep again.
    const bool unreadable = n < 0 && errno != EINTR && errno != EAGAIN;
    if (n == 0 || unreadable || (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
        g_inputEnded = true;
    return false;
}

bool ConsoleStopRequested() {
    return StopSignalled() || ConsoleKeyPressed();
}

int StopSignalFd() {
    return g_pipe[0];
}

int ConsoleKeyFd() {
    return g_inputEnded ? -1 : STDIN_FILENO;
}
