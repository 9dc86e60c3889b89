// The version value travels in the platform library's own wire form.
#include "rcc/RccMarshaler.h"

namespace rccwire {

size_t SizeOfVerInfo(const CRccVerInfo& value) {
    return value.GetWireSize();
}

void WriteVerInfo(const CRccVerInfo& value, uint8_t*& c) {
    std::span<uint8_t> room(c, value.GetWireSize());
    value.WriteWire(room);
    c = room.data();
}

RccDecodeError ReadVerInfo(CRccVerInfo& value, const uint8_t*& c, const uint8_t* end) {
    std::span<const uint8_t> cursor(c, Left(c, end));
    if (value.ReadWire(cursor) != VerInfoWireError::None)
        return RccDecodeError::Truncated;
    c = cursor.data();
    return RccDecodeError::None;
}

}  // namespace rccwire
