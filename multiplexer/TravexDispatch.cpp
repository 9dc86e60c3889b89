// The server half of the wire: one decoded call becomes one interface call.
#include "multiplexer/TravexRpc.h"

namespace mux {

TravexReply Dispatch(ITravexInterface& t, const TravexCall& call) {
    TravexReply reply;
    reply.callId = call.callId;
    reply.method = call.method;
    const TravexValues& in = call.in;
    TravexValues& out = reply.out;
    MuxStatus& s = reply.status;
    switch (call.method) {
        case TravexMethod::TCPAllocatePoint:
            s = t.TCPAllocatePoint(in.appid, in.port, &out.conn);
            break;
        case TravexMethod::startup:
            out.appid = in.appid;
            s = t.startup(&out.appid, in.useWire, in.mcqSize, in.tcpqSize);
            break;
        case TravexMethod::shutdown:
            s = t.shutdown(in.appid);
            break;
        case TravexMethod::TCPSendBuffer:
            s = t.TCPSendBuffer(in.conn, in.timeout, in.len, in.name);
            break;
        case TravexMethod::TCPOpen:
            s = t.TCPOpen(in.appid, in.addr, in.port, in.appid2, in.timeout, &out.conn);
            break;
        case TravexMethod::TCPDeallocatePoint:
            s = t.TCPDeallocatePoint(in.appid, in.conn);
            break;
        case TravexMethod::TCPGetPort:
            s = t.TCPGetPort(in.appid, in.conn, &out.port);
            break;
        case TravexMethod::SubscribeToMulticast:
            s = t.SubscribeToMulticast(in.appid, in.addr, in.port);
            break;
        case TravexMethod::UnsubscribeFromMulticast:
            s = t.UnsubscribeFromMulticast(in.appid, in.addr, in.port);
            break;
        case TravexMethod::TCPGetPacket:
            out.len = in.len;
            s = t.TCPGetPacket(in.appid, &out.len, &out.nextLen, in.name);
            break;
        case TravexMethod::MulticastSendTo:
            s = t.MulticastSendTo(in.appid, in.addr, in.port, in.len, in.name);
            break;
        case TravexMethod::MulticastGetPacket:
            out.len = in.len;
            s = t.MulticastGetPacket(in.appid, &out.len, &out.nextLen, in.name);
            break;
        case TravexMethod::GetLocalIPAddress:
            s = t.GetLocalIPAddress(&out.addr);
            break;
        case TravexMethod::Spew:
            s = t.Spew(in.addr, in.port);
            break;
    }
    return reply;
}

}  // namespace mux
