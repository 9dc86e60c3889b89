// The point-to-point connection's own small protocol, shared by the TCP connection over
// the multiplexer (CXTcpConn) and the service host's UDP session (CUdpSession): the
// packet types carried in the 12-byte header's type byte, and the keep-alive and
// connect time-out rules on the connection's state word.
//
//   CXKeepAlive k(timing);                      // owner holds its own lock around calls
//   k.heard(now);                               // anything arrived from the peer
//   auto e = k.onControl(conn, type);           // a control packet: what to tell the user
//   switch (k.step(conn, now, maxProbes)) ...   // every tick: what to send, or close
//
// Clock readings are milliseconds that wrap at 32 bits; differences are taken as the
// absolute 32-bit difference of two readings, so a clock stepped back is not a time-out
// that never comes. Not thread-safe: the owner serialises the calls.
#pragma once

#include <cstdint>

class CXConn;

enum : std::uint8_t {
    XPORT_TCP_DATA = 0,
    XPORT_TCP_CONNECT = 1,
    XPORT_TCP_ACCEPTED = 2,
    XPORT_TCP_CLOSE = 3,
    XPORT_TCP_PROBE = 4,
    XPORT_TCP_PROBE_REPLY = 5,
};

// The absolute difference of two millisecond readings.
std::uint32_t XPortElapsed(std::uint32_t now, std::uint32_t then);

class CXKeepAlive {
public:
    struct Timing {
        std::uint32_t connectTimeout;  // connecting longer than this closes
        std::uint32_t idleTime;        // silence before the first probe
        std::uint32_t probeInterval;   // wait for an answer before the next probe
    };
    // What a tick asks the owner to do.
    enum class Act { None, Reply, Probe, Close };
    // What a control packet asks the owner to tell its user.
    enum class Event { None, Connected, Disconnected, Unknown };

    explicit CXKeepAlive(const Timing& timing) : timing_(timing) {}

    // Something arrived from the peer at `now`.
    void heard(std::uint32_t now) { lastHeard_ = now; }
    // A connect request went out at `now`.
    void connecting(std::uint32_t now) { connectStart_ = lastHeard_ = now; }
    // Data arrived: a probing connection is answered.
    void dataHeard(CXConn& conn);
    // A packet of a type other than data: sets the state word and says what to tell
    // the user (Unknown: the type is none of the protocol's, the packet is refused).
    Event onControl(CXConn& conn, std::uint8_t type);
    // One step of the rules at `now`; a probing connection closes after `maxProbes`
    // probes without answer. `queueEmpty`: an idle connection with undelivered data
    // is not probed (its user is still busy).
    Act step(CXConn& conn, std::uint32_t now, std::uint32_t maxProbes, bool queueEmpty);
    // After a reply to the peer's probe went out.
    void replied(CXConn& conn);
    // The connection closed: no reply is owed.
    void reset() { repliesOwed_ = 0; }

private:
    void answered(CXConn& conn);

    const Timing timing_;
    std::uint32_t lastHeard_ = 0;
    std::uint32_t connectStart_ = 0;
    std::uint32_t probesSent_ = 0;
    std::uint32_t repliesOwed_ = 0;
};
