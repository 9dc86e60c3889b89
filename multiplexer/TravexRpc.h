// The wire of ITravexInterface between a client process and Travex: frames on a
// Unix-domain stream socket, one connection per client process.
//
// Frame: u32 body length (little-endian, 1 to kRpcMaxBody), then the body.
//   call body:  u32 call id, u8 method (dispatch id), the method's inputs
//   reply body: u32 call id, u8 method, s32 status, the method's outputs
// Values are little-endian; a name is u8 length then its bytes (no NUL). Each
// method's inputs and outputs follow the parameter order of the interface.
// A connection may carry many calls at once; replies are matched by call id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "multiplexer/TravexInterface.h"

namespace mux {

inline constexpr std::uint32_t kRpcMaxBody = 512;
inline constexpr std::size_t kRpcMaxName = 255;

// Every argument any method carries; a method uses the ones its table names.
struct TravexValues {
    std::uint8_t appid = 0;   // appid, srcappid; out: the assigned id (startup)
    std::uint8_t appid2 = 0;  // destappid
    std::uint32_t addr = 0;   // ipaddr; out: pipaddr
    std::uint16_t port = 0;   // ipport; out: piport
    std::uint32_t conn = 0;   // n2conn; out: pn2conn
    std::uint32_t timeout = 0;
    std::uint32_t len = 0;  // nDataLen, nLen, pLen
    std::uint32_t nextLen = 0;
    std::int32_t useWire = 0;
    std::int32_t mcqSize = 0;
    std::int32_t tcpqSize = 0;
    std::string name;  // pvBuffName
    bool operator==(const TravexValues&) const = default;
};

struct TravexCall {
    std::uint32_t callId = 0;
    TravexMethod method = TravexMethod::Spew;
    TravexValues in;
};

struct TravexReply {
    std::uint32_t callId = 0;
    TravexMethod method = TravexMethod::Spew;
    MuxStatus status = 0;
    TravexValues out;
};

enum class RpcError {
    None,
    Truncated,     // the body ends inside a value
    Trailing,      // bytes left after the last value
    BadMethod,     // not a dispatch id of the interface
    NameTooLong,   // (encoding) a name longer than kRpcMaxName
    BadFrameSize,  // a frame length of 0 or above kRpcMaxBody
};

// Whole frames, length prefix included. Fails only with NameTooLong.
RpcError EncodeCall(const TravexCall& call, std::vector<std::uint8_t>& frame);
RpcError EncodeReply(const TravexReply& reply, std::vector<std::uint8_t>& frame);
// Bodies, without the length prefix.
RpcError DecodeCall(std::span<const std::uint8_t> body, TravexCall& call);
RpcError DecodeReply(std::span<const std::uint8_t> body, TravexReply& reply);

// Cuts a byte stream into frame bodies. A bad length poisons the stream for good:
// the peer is out of step and the connection must be dropped.
class RpcFrameReader {
public:
    // Appends received bytes; false once the stream is poisoned.
    bool Feed(std::span<const std::uint8_t> bytes);
    // The next complete body, or false when none is complete yet.
    bool Next(std::vector<std::uint8_t>& body);
    RpcError Error() const { return error_; }

private:
    std::vector<std::uint8_t> buffer_;
    std::size_t start_ = 0;
    RpcError error_ = RpcError::None;
};

// Calls the interface for one decoded call and gives the reply to send back.
TravexReply Dispatch(ITravexInterface& target, const TravexCall& call);

}  // namespace mux
