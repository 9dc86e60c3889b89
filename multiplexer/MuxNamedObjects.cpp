#include "multiplexer/MuxNamedObjects.h"

namespace mux {

std::string ArrivedEventName(MuxKind kind, std::uint8_t appid) {
    return (kind == MuxKind::Tcp ? "TCPPacketArrived" : "MCPacketArrived") + std::to_string(appid);
}

std::string ProcessedEventName(MuxKind kind) {
    return kind == MuxKind::Tcp ? "TravexTCPPacketProcessed" : "TravexMCPacketProcessed";
}

}  // namespace mux
