// The wire form of every remote-call value: little-endian, unaligned, unpadded. Writers
// write at a cursor that has room (the size is asked first); readers read at a cursor
// up to `end` and refuse any value that runs past it.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

#include "os/ByteOrder.h"
#include "rcc/RccBuffer.h"
#include "rcc/RccValue.h"

// Why received bytes could not be read.
enum class RccDecodeError {
    None,
    Truncated,   // a value, length or count runs past the end of the data
    ZeroLength,  // a text length of 0 (a sender always counts the NUL)
};

const char* RccDecodeErrorText(RccDecodeError error);

namespace rccwire {

inline void PutU8(uint8_t*& c, uint8_t v) {
    *c++ = v;
}
inline void PutU16(uint8_t*& c, uint16_t v) {
    os::PutLe16(c, v);
    c += 2;
}
inline void PutU32(uint8_t*& c, uint32_t v) {
    os::PutLe32(c, v);
    c += 4;
}
inline void PutBytes(uint8_t*& c, const void* data, size_t n) {
    if (n > 0)
        std::memcpy(c, data, n);
    c += n;
}

inline size_t Left(const uint8_t* c, const uint8_t* end) {
    return static_cast<size_t>(end - c);
}

inline RccDecodeError GetU8(const uint8_t*& c, const uint8_t* end, uint8_t& v) {
    if (Left(c, end) < 1)
        return RccDecodeError::Truncated;
    v = *c++;
    return RccDecodeError::None;
}
inline RccDecodeError GetU16(const uint8_t*& c, const uint8_t* end, uint16_t& v) {
    if (Left(c, end) < 2)
        return RccDecodeError::Truncated;
    v = os::GetLe16(c);
    c += 2;
    return RccDecodeError::None;
}
inline RccDecodeError GetU32(const uint8_t*& c, const uint8_t* end, uint32_t& v) {
    if (Left(c, end) < 4)
        return RccDecodeError::Truncated;
    v = os::GetLe32(c);
    c += 4;
    return RccDecodeError::None;
}

// A float travels as an integer: the value truncated toward zero, low 32 bits.
uint32_t FloatToWire(float value);

// Out-of-line forms of the composite values.
size_t SizeOfVariant(const CRccValue& value);
void WriteVariant(const CRccValue& value, uint8_t*& c);
RccDecodeError ReadVariant(CRccValue& value, const uint8_t*& c, const uint8_t* end);
size_t SizeOfVerInfo(const CRccVerInfo& value);
void WriteVerInfo(const CRccVerInfo& value, uint8_t*& c);
RccDecodeError ReadVerInfo(CRccVerInfo& value, const uint8_t*& c, const uint8_t* end);
void WriteFileInfo(const CRccFileInfo& value, uint8_t*& c);
RccDecodeError ReadFileInfo(CRccFileInfo& value, const uint8_t*& c, const uint8_t* end);
RccDecodeError ReadString(std::string& value, const uint8_t*& c, const uint8_t* end);
RccDecodeError ReadBlock(RccBlock& value, const uint8_t*& c, const uint8_t* end);

// The fewest bytes one value of a base code takes on the wire.
constexpr size_t MinWireSize(RccTypeCode base) {
    switch (base) {
        case RCC_U8:
        case RCC_S8:
        case RCC_BOOL:
            return 1;
        case RCC_U16:
        case RCC_S16:
        case RCC_IPPORT:
            return 2;
        case RCC_LT:
            return 7;
        case RCC_DLT:
            return 11;
        case RCC_MAC:
            return 6;
        case RCC_FI:
            return 17;
        case RCC_VERINFO:
            return 9;
        default:
            return 4;
    }
}

// The fixed wire size of a base code, or 0 when its size depends on the value.
constexpr size_t FixedWireSize(RccTypeCode base) {
    switch (base) {
        case RCC_STR:
        case RCC_VARIANT:
        case RCC_RB:
        case RCC_FI:
        case RCC_VERINFO:
            return 0;
        default:
            return MinWireSize(base);
    }
}

}  // namespace rccwire

// Bytes the value of code C takes on the wire.
template <RccTypeCode C>
size_t RccSizeOf(const typename RccTag<C>::type& v) {
    using Tag = RccTag<C>;
    if constexpr (Tag::isArray) {
        constexpr size_t fixed = rccwire::FixedWireSize(Tag::base);
        if constexpr (fixed != 0) {
            return 4 + fixed * v.size();
        } else {
            size_t n = 4;
            for (const auto& element : v) n += RccSizeOf<Tag::base>(element);
            return n;
        }
    } else if constexpr (C == RCC_STR) {
        return 4 + v.size() + 1;
    } else if constexpr (C == RCC_VARIANT) {
        return rccwire::SizeOfVariant(v);
    } else if constexpr (C == RCC_RB) {
        return 4 + v.bytes.size();
    } else if constexpr (C == RCC_FI) {
        return v.marshalledSize();
    } else if constexpr (C == RCC_VERINFO) {
        return rccwire::SizeOfVerInfo(v);
    } else {
        return rccwire::FixedWireSize(C);
    }
}

// Writes the value of code C at c (which has RccSizeOf bytes of room) and advances c.
template <RccTypeCode C>
void RccWrite(const typename RccTag<C>::type& v, uint8_t*& c) {
    using namespace rccwire;
    using Tag = RccTag<C>;
    if constexpr (Tag::isArray) {
        PutU32(c, static_cast<uint32_t>(v.size()));
        for (const auto& element : v) RccWrite<Tag::base>(element, c);
    } else if constexpr (C == RCC_U8 || C == RCC_S8) {
        PutU8(c, static_cast<uint8_t>(v));
    } else if constexpr (C == RCC_BOOL) {
        PutU8(c, v == 1 ? 1 : 0);
    } else if constexpr (C == RCC_U16 || C == RCC_S16) {
        PutU16(c, static_cast<uint16_t>(v));
    } else if constexpr (C == RCC_U32 || C == RCC_S32) {
        PutU32(c, static_cast<uint32_t>(v));
    } else if constexpr (C == RCC_FLOAT) {
        PutU32(c, FloatToWire(v));
    } else if constexpr (C == RCC_STR) {
        PutU32(c, static_cast<uint32_t>(v.size() + 1));
        PutBytes(c, v.data(), v.size());
        PutU8(c, 0);
    } else if constexpr (C == RCC_VARIANT) {
        WriteVariant(v, c);
    } else if constexpr (C == RCC_LT) {
        PutU8(c, v.hour);
        PutU8(c, v.minute);
        PutU8(c, v.second);
        PutU32(c, v.fraction);
    } else if constexpr (C == RCC_D) {
        PutU16(c, v.year);
        PutU8(c, v.month);
        PutU8(c, v.day);
    } else if constexpr (C == RCC_DLT) {
        RccWrite<RCC_D>(v.date, c);
        RccWrite<RCC_LT>(v.time, c);
    } else if constexpr (C == RCC_MAC) {
        uint8_t bytes[6] = {};
        v.GetBytes(bytes, 6);
        PutBytes(c, bytes, 6);
    } else if constexpr (C == RCC_RB) {
        PutU32(c, static_cast<uint32_t>(v.bytes.size()));
        PutBytes(c, v.bytes.data(), v.bytes.size());
    } else if constexpr (C == RCC_FI) {
        WriteFileInfo(v, c);
    } else if constexpr (C == RCC_IPV4) {
        PutU32(c, v.address);
    } else if constexpr (C == RCC_IPPORT) {
        PutU16(c, v.port);
    } else if constexpr (C == RCC_VERINFO) {
        WriteVerInfo(v, c);
    }
}

// Reads a value of code C at c, at most up to end, and advances c past it.
template <RccTypeCode C>
RccDecodeError RccRead(typename RccTag<C>::type& v, const uint8_t*& c, const uint8_t* end) {
    using namespace rccwire;
    using Tag = RccTag<C>;
    RccDecodeError e = RccDecodeError::None;
    if constexpr (Tag::isArray) {
        uint32_t count = 0;
        if ((e = GetU32(c, end, count)) != RccDecodeError::None)
            return e;
        if (count > Left(c, end) / MinWireSize(Tag::base))
            return RccDecodeError::Truncated;
        v.clear();
        v.resize(count);
        for (auto& element : v) {
            if ((e = RccRead<Tag::base>(element, c, end)) != RccDecodeError::None)
                return e;
        }
        return e;
    } else if constexpr (C == RCC_U8 || C == RCC_S8) {
        uint8_t x = 0;
        e = GetU8(c, end, x);
        v = static_cast<typename Tag::type>(x);
    } else if constexpr (C == RCC_BOOL) {
        uint8_t x = 0;
        e = GetU8(c, end, x);
        v = x != 0 ? 1 : 0;
    } else if constexpr (C == RCC_U16 || C == RCC_S16) {
        uint16_t x = 0;
        e = GetU16(c, end, x);
        v = static_cast<typename Tag::type>(x);
    } else if constexpr (C == RCC_U32 || C == RCC_S32) {
        uint32_t x = 0;
        e = GetU32(c, end, x);
        v = static_cast<typename Tag::type>(x);
    } else if constexpr (C == RCC_FLOAT) {
        uint32_t x = 0;
        e = GetU32(c, end, x);
        v = static_cast<float>(x);
    } else if constexpr (C == RCC_STR) {
        return ReadString(v, c, end);
    } else if constexpr (C == RCC_VARIANT) {
        return ReadVariant(v, c, end);
    } else if constexpr (C == RCC_LT) {
        if (Left(c, end) < 7)
            return RccDecodeError::Truncated;
        GetU8(c, end, v.hour);
        GetU8(c, end, v.minute);
        GetU8(c, end, v.second);
        GetU32(c, end, v.fraction);
    } else if constexpr (C == RCC_D) {
        if (Left(c, end) < 4)
            return RccDecodeError::Truncated;
        GetU16(c, end, v.year);
        GetU8(c, end, v.month);
        GetU8(c, end, v.day);
    } else if constexpr (C == RCC_DLT) {
        if (Left(c, end) < 11)
            return RccDecodeError::Truncated;
        RccRead<RCC_D>(v.date, c, end);
        RccRead<RCC_LT>(v.time, c, end);
    } else if constexpr (C == RCC_MAC) {
        if (Left(c, end) < 6)
            return RccDecodeError::Truncated;
        v.SetBytes(c, 6);
        c += 6;
    } else if constexpr (C == RCC_RB) {
        return ReadBlock(v, c, end);
    } else if constexpr (C == RCC_FI) {
        return ReadFileInfo(v, c, end);
    } else if constexpr (C == RCC_IPV4) {
        e = GetU32(c, end, v.address);
    } else if constexpr (C == RCC_IPPORT) {
        e = GetU16(c, end, v.port);
    } else if constexpr (C == RCC_VERINFO) {
        return ReadVerInfo(v, c, end);
    }
    return e;
}

// Appends a value of code C to a buffer; false when the buffer cannot grow.
template <RccTypeCode C>
bool RccAppend(CRccBuffer& buffer, const typename RccTag<C>::type& v) {
    size_t n = RccSizeOf<C>(v);
    uint8_t* at = buffer.reserve(n);
    if (!at)
        return false;
    RccWrite<C>(v, at);
    buffer.commit(n);
    return true;
}

// Reads a value of code C from the buffer's head and consumes it.
template <RccTypeCode C>
RccDecodeError RccTake(CRccBuffer& buffer, typename RccTag<C>::type& v) {
    const uint8_t* c = buffer.head();
    RccDecodeError e = RccRead<C>(v, c, buffer.end());
    if (e == RccDecodeError::None)
        buffer.consume(static_cast<size_t>(c - buffer.head()));
    return e;
}

// The process-wide marshaler. It holds no state; the templates above do the work, and
// the operations here serve values whose code is known only at run time.
class CRccMarshaler {
public:
    static CRccMarshaler* getInstance();

    // For the value of a run-time code (bare or input-flagged; arrays included) that
    // `value` points at, in the form RccTag gives it. False for a code without a form.
    bool sizeOf(RccTypeCode code, const void* value, size_t& size) const;
    bool marshal(RccTypeCode code, const void* value, uint8_t*& cursor) const;
    RccDecodeError unmarshal(RccTypeCode code, void* value, const uint8_t*& cursor,
                             const uint8_t* end) const;
    // Appends or takes one value of a run-time code at a buffer.
    bool append(CRccBuffer& buffer, RccTypeCode code, const void* value) const;
    RccDecodeError take(CRccBuffer& buffer, RccTypeCode code, void* value) const;
};
