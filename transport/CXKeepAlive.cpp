#include "transport/CXKeepAlive.h"

#include "transport/CXConn.h"

std::uint32_t XPortElapsed(std::uint32_t now, std::uint32_t then) {
    const auto d = static_cast<std::int32_t>(now - then);
    return static_cast<std::uint32_t>(d < 0 ? -static_cast<std::int64_t>(d) : d);
}

void CXKeepAlive::answered(CXConn& conn) {
    if (conn.getState() == CXConn::kProbing) {
        conn.setState(CXConn::kConnected);
        probesSent_ = 0;
    }
}

void CXKeepAlive::dataHeard(CXConn& conn) {
    answered(conn);
}

CXKeepAlive::Event CXKeepAlive::onControl(CXConn& conn, std::uint8_t type) {
    switch (type) {
        case XPORT_TCP_ACCEPTED:
            conn.setState(CXConn::kConnected);
            return Event::Connected;
        case XPORT_TCP_CLOSE:
            conn.setState(CXConn::kClosed);
            return Event::Disconnected;
        case XPORT_TCP_PROBE:
            ++repliesOwed_;
            answered(conn);
            return Event::None;
        case XPORT_TCP_PROBE_REPLY:
            answered(conn);
            return Event::None;
        default:
            return Event::Unknown;
    }
}

CXKeepAlive::Act CXKeepAlive::step(CXConn& conn, std::uint32_t now, std::uint32_t maxProbes,
                                   bool queueEmpty) {
    const std::uint32_t state = conn.getState();
    if (repliesOwed_ > 0) {
        --repliesOwed_;
        return Act::Reply;
    }
    if (state == CXConn::kConnected && XPortElapsed(now, lastHeard_) > timing_.idleTime &&
        queueEmpty) {
        conn.setState(CXConn::kProbing);
        probesSent_ = 0;
        lastHeard_ = now;
        return Act::Probe;
    }
    if (state == CXConn::kProbing && XPortElapsed(now, lastHeard_) > timing_.probeInterval) {
        lastHeard_ = now;
        return ++probesSent_ > maxProbes ? Act::Close : Act::Probe;
    }
    if (state == CXConn::kConnecting && XPortElapsed(now, connectStart_) > timing_.connectTimeout)
        return Act::Close;
    return Act::None;
}

void CXKeepAlive::replied(CXConn& conn) {
    answered(conn);
}
