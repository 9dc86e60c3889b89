#include "multiplexer/TravexRpc.h"

#include <algorithm>
#include <initializer_list>

#include "os/ByteOrder.h"

namespace mux {
namespace {

enum class Field {
    AppId,
    AppId2,
    Addr,
    Port,
    Conn,
    Timeout,
    Len,
    NextLen,
    UseWire,
    McQ,
    TcpQ,
    Name
};
using Fields = std::initializer_list<Field>;

struct MethodLayout {
    Fields in;
    Fields out;
};

// Indexed by dispatch id - 1.
const MethodLayout& Layout(TravexMethod method) {
    using F = Field;
    static const MethodLayout layouts[kTravexMethodCount] = {
        {{F::AppId, F::Port}, {F::Conn}},                                  // TCPAllocatePoint
        {{F::AppId, F::UseWire, F::McQ, F::TcpQ}, {F::AppId}},             // startup
        {{F::AppId}, {}},                                                  // shutdown
        {{F::Conn, F::Timeout, F::Len, F::Name}, {}},                      // TCPSendBuffer
        {{F::AppId, F::Addr, F::Port, F::AppId2, F::Timeout}, {F::Conn}},  // TCPOpen
        {{F::AppId, F::Conn}, {}},                                         // TCPDeallocatePoint
        {{F::AppId, F::Conn}, {F::Port}},                                  // TCPGetPort
        {{F::AppId, F::Addr, F::Port}, {}},                                // SubscribeToMulticast
        {{F::AppId, F::Addr, F::Port}, {}},                   // UnsubscribeFromMulticast
        {{F::AppId, F::Len, F::Name}, {F::Len, F::NextLen}},  // TCPGetPacket
        {{F::AppId, F::Addr, F::Port, F::Len, F::Name}, {}},  // MulticastSendTo
        {{F::AppId, F::Len, F::Name}, {F::Len, F::NextLen}},  // MulticastGetPacket
        {{}, {F::Addr}},                                      // GetLocalIPAddress
        {{F::Addr, F::Port}, {}},                             // Spew
    };
    return layouts[static_cast<int>(method) - 1];
}

bool ValidMethod(std::uint8_t id) {
    return id >= 1 && id <= kTravexMethodCount;
}

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
    void U8(std::uint8_t v) { out_.push_back(v); }
    void U16(std::uint16_t v) { Le(v, 2); }
    void U32(std::uint32_t v) { Le(v, 4); }

private:
    void Le(std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    std::vector<std::uint8_t>& out_;
};

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> in) : in_(in) {}
    bool U8(std::uint8_t& v) {
        if (!Have(1))
            return false;
        v = in_[pos_++];
        return true;
    }
    bool U16(std::uint16_t& v) {
        std::uint32_t w = 0;
        if (!Le(w, 2))
            return false;
        v = static_cast<std::uint16_t>(w);
        return true;
    }
    bool U32(std::uint32_t& v) { return Le(v, 4); }
    bool Bytes(std::string& s, std::size_t n) {
        if (!Have(n))
            return false;
        s.assign(reinterpret_cast<const char*>(in_.data() + pos_), n);
        pos_ += n;
        return true;
    }
    bool AtEnd() const { return pos_ == in_.size(); }

private:
    bool Have(std::size_t n) const { return in_.size() - pos_ >= n; }
    bool Le(std::uint32_t& v, int bytes) {
        if (!Have(static_cast<std::size_t>(bytes)))
            return false;
        v = 0;
        for (int i = 0; i < bytes; ++i) v |= std::uint32_t{in_[pos_++]} << (8 * i);
        return true;
    }
    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;
};

void WriteField(Writer& w, Field f, const TravexValues& v) {
    switch (f) {
        case Field::AppId:
            w.U8(v.appid);
            break;
        case Field::AppId2:
            w.U8(v.appid2);
            break;
        case Field::Addr:
            w.U32(v.addr);
            break;
        case Field::Port:
            w.U16(v.port);
            break;
        case Field::Conn:
            w.U32(v.conn);
            break;
        case Field::Timeout:
            w.U32(v.timeout);
            break;
        case Field::Len:
            w.U32(v.len);
            break;
        case Field::NextLen:
            w.U32(v.nextLen);
            break;
        case Field::UseWire:
            w.U32(static_cast<std::uint32_t>(v.useWire));
            break;
        case Field::McQ:
            w.U32(static_cast<std::uint32_t>(v.mcqSize));
            break;
        case Field::TcpQ:
            w.U32(static_cast<std::uint32_t>(v.tcpqSize));
            break;
        case Field::Name:
            w.U8(static_cast<std::uint8_t>(v.name.size()));
            for (char c : v.name) w.U8(static_cast<std::uint8_t>(c));
            break;
    }
}

bool ReadSigned(Reader& r, std::int32_t& v) {
    std::uint32_t u = 0;
    if (!r.U32(u))
        return false;
    v = static_cast<std::int32_t>(u);
    return true;
}

bool ReadField(Reader& r, Field f, TravexValues& v) {
    switch (f) {
        case Field::AppId:
            return r.U8(v.appid);
        case Field::AppId2:
            return r.U8(v.appid2);
        case Field::Addr:
            return r.U32(v.addr);
        case Field::Port:
            return r.U16(v.port);
        case Field::Conn:
            return r.U32(v.conn);
        case Field::Timeout:
            return r.U32(v.timeout);
        case Field::Len:
            return r.U32(v.len);
        case Field::NextLen:
            return r.U32(v.nextLen);
        case Field::UseWire:
            return ReadSigned(r, v.useWire);
        case Field::McQ:
            return ReadSigned(r, v.mcqSize);
        case Field::TcpQ:
            return ReadSigned(r, v.tcpqSize);
        case Field::Name: {
            std::uint8_t n = 0;
            return r.U8(n) && r.Bytes(v.name, n);
        }
    }
    return false;
}

bool NameFits(Fields fields, const TravexValues& v) {
    bool named = std::find(fields.begin(), fields.end(), Field::Name) != fields.end();
    return !named || v.name.size() <= kRpcMaxName;
}

// Writes the frame: a length placeholder, `head`, then the fields; patches the length.
template <typename Head>
void WriteFrame(std::vector<std::uint8_t>& frame, Head head, Fields fields, const TravexValues& v) {
    frame.assign(4, 0);
    Writer w(frame);
    head(w);
    for (Field f : fields) WriteField(w, f, v);
    auto body = static_cast<std::uint32_t>(frame.size() - 4);
    for (int i = 0; i < 4; ++i) frame[i] = static_cast<std::uint8_t>(body >> (8 * i));
}

RpcError ReadFields(Reader& r, Fields fields, TravexValues& v) {
    for (Field f : fields) {
        if (!ReadField(r, f, v))
            return RpcError::Truncated;
    }
    return r.AtEnd() ? RpcError::None : RpcError::Trailing;
}

bool ReadMethod(Reader& r, TravexMethod& method, RpcError& error) {
    std::uint8_t id = 0;
    if (!r.U8(id)) {
        error = RpcError::Truncated;
        return false;
    }
    if (!ValidMethod(id)) {
        error = RpcError::BadMethod;
        return false;
    }
    method = static_cast<TravexMethod>(id);
    return true;
}

}  // namespace

RpcError EncodeCall(const TravexCall& call, std::vector<std::uint8_t>& frame) {
    const MethodLayout& layout = Layout(call.method);
    if (!NameFits(layout.in, call.in))
        return RpcError::NameTooLong;
    WriteFrame(
        frame,
        [&](Writer& w) {
            w.U32(call.callId);
            w.U8(static_cast<std::uint8_t>(call.method));
        },
        layout.in, call.in);
    return RpcError::None;
}

RpcError EncodeReply(const TravexReply& reply, std::vector<std::uint8_t>& frame) {
    WriteFrame(
        frame,
        [&](Writer& w) {
            w.U32(reply.callId);
            w.U8(static_cast<std::uint8_t>(reply.method));
            w.U32(static_cast<std::uint32_t>(reply.status));
        },
        Layout(reply.method).out, reply.out);
    return RpcError::None;
}

RpcError DecodeCall(std::span<const std::uint8_t> body, TravexCall& call) {
    Reader r(body);
    call = TravexCall{};
    RpcError error = RpcError::None;
    if (!r.U32(call.callId))
        return RpcError::Truncated;
    if (!ReadMethod(r, call.method, error))
        return error;
    return ReadFields(r, Layout(call.method).in, call.in);
}

RpcError DecodeReply(std::span<const std::uint8_t> body, TravexReply& reply) {
    Reader r(body);
    reply = TravexReply{};
    RpcError error = RpcError::None;
    if (!r.U32(reply.callId))
        return RpcError::Truncated;
    if (!ReadMethod(r, reply.method, error))
        return error;
    std::uint32_t status = 0;
    if (!r.U32(status))
        return RpcError::Truncated;
    reply.status = static_cast<MuxStatus>(status);
    return ReadFields(r, Layout(reply.method).out, reply.out);
}

bool RpcFrameReader::Feed(std::span<const std::uint8_t> bytes) {
    if (error_ != RpcError::None)
        return false;
    if (start_ > 0 && start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    return true;
}

bool RpcFrameReader::Next(std::vector<std::uint8_t>& body) {
    if (error_ != RpcError::None || buffer_.size() - start_ < 4)
        return false;
    const std::uint8_t* p = buffer_.data() + start_;
    std::uint32_t n = os::GetLe32(p);
    if (n == 0 || n > kRpcMaxBody) {
        error_ = RpcError::BadFrameSize;
        return false;
    }
    if (buffer_.size() - start_ - 4 < n)
        return false;
    body.assign(p + 4, p + 4 + n);
    start_ += 4 + n;
    if (start_ > 4096 && start_ * 2 > buffer_.size()) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
    return true;
}

}  // namespace mux
