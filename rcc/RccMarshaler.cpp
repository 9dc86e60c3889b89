#include "rcc/RccMarshaler.h"

#include <algorithm>
#include <cmath>
#include <new>

const char* RccDecodeErrorText(RccDecodeError error) {
    switch (error) {
        case RccDecodeError::None:
            return "no error";
        case RccDecodeError::Truncated:
            return "a value runs past the end of the data";
        case RccDecodeError::ZeroLength:
            return "a text of length 0";
    }
    return "unknown error";
}

namespace rccwire {

uint32_t FloatToWire(float value) {
    // The truncated integer's low 32 bits; values beyond the integer range saturate and
    // NaN travels as 0 rather than as whatever an undefined conversion would give.
    if (std::isnan(value))
        return 0;
    constexpr float kLimit = 9223372036854775808.0f;  // 2^63
    int64_t whole = value >= kLimit    ? std::numeric_limits<int64_t>::max()
                    : value <= -kLimit ? std::numeric_limits<int64_t>::min()
                                       : static_cast<int64_t>(value);
    return static_cast<uint32_t>(static_cast<uint64_t>(whole));
}

size_t SizeOfVariant(const CRccValue& value) {
    size_t size = 4;
    RccDispatch(value.getType(), [&](auto tag) {
        constexpr RccTypeCode C = decltype(tag)::code;
        if constexpr (RccIsScalar(C)) {
            size += RccSizeOf<C>(value.getScalar<C>());
        } else if constexpr (CRccValue::CanHold(C)) {
            if (const auto* payload = value.get<C>())
                size += RccSizeOf<C>(*payload);
        }
    });
    return size;
}

void WriteVariant(const CRccValue& value, uint8_t*& c) {
    PutU32(c, value.getType());
    RccDispatch(value.getType(), [&](auto tag) {
        constexpr RccTypeCode C = decltype(tag)::code;
        if constexpr (RccIsScalar(C)) {
            RccWrite<C>(value.getScalar<C>(), c);
        } else if constexpr (CRccValue::CanHold(C)) {
            if (const auto* payload = value.get<C>())
                RccWrite<C>(*payload, c);
        }
    });
}

RccDecodeError ReadVariant(CRccValue& value, const uint8_t*& c, const uint8_t* end) {
    uint32_t code = 0;
    RccDecodeError e = GetU32(c, end, code);
    // An empty value, or a code a value cannot carry, travels as the code alone and
    // leaves the target as it was.
    if (e != RccDecodeError::None || code == RCC_EMPTY || !CRccValue::CanHold(code))
        return e;
    CRccValue read;
    RccDispatch(code, [&](auto tag) {
        constexpr RccTypeCode C = decltype(tag)::code;
        if constexpr (RccIsScalar(C)) {
            typename RccTag<C>::type scalar{};
            e = RccRead<C>(scalar, c, end);
            read.setScalar<C>(scalar);
        } else if constexpr (CRccValue::CanHold(C)) {
            e = RccRead<C>(*read.make<C>(), c, end);
        }
    });
    if (e == RccDecodeError::None)
        value = std::move(read);
    return e;
}

RccDecodeError ReadString(std::string& value, const uint8_t*& c, const uint8_t* end) {
    uint32_t n = 0;
    RccDecodeError e = GetU32(c, end, n);
    if (e != RccDecodeError::None)
        return e;
    if (n == 0)
        return RccDecodeError::ZeroLength;
    if (n > Left(c, end))
        return RccDecodeError::Truncated;
    // The last byte is the sender's NUL; it is not examined.
    value.assign(reinterpret_cast<const char*>(c), n - 1);
    c += n;
    return RccDecodeError::None;
}

RccDecodeError ReadBlock(RccBlock& value, const uint8_t*& c, const uint8_t* end) {
    uint32_t n = 0;
    RccDecodeError e = GetU32(c, end, n);
    if (e != RccDecodeError::None)
        return e;
    if (n > Left(c, end))
        return RccDecodeError::Truncated;
    value.bytes.assign(c, c + n);
    c += n;
    return RccDecodeError::None;
}

void WriteFileInfo(const CRccFileInfo& value, uint8_t*& c) {
    const std::string& name = value.getName();
    PutU32(c, value.attributes);
    PutU32(c, value.time);
    PutU32(c, value.size);
    PutU32(c, static_cast<uint32_t>(name.size() + 1));
    PutBytes(c, name.data(), name.size());
    PutU8(c, 0);
}

RccDecodeError ReadFileInfo(CRccFileInfo& value, const uint8_t*& c, const uint8_t* end) {
    if (Left(c, end) < 16)
        return RccDecodeError::Truncated;
    uint32_t n = 0;
    GetU32(c, end, value.attributes);
    GetU32(c, end, value.time);
    GetU32(c, end, value.size);
    GetU32(c, end, n);
    if (n == 0)
        return RccDecodeError::ZeroLength;
    if (n > Left(c, end))
        return RccDecodeError::Truncated;
    // A name longer than the field holds is cut to it.
    value.setName(std::string_view(reinterpret_cast<const char*>(c), n - 1));
    c += n;
    return RccDecodeError::None;
}

}  // namespace rccwire

CRccMarshaler* CRccMarshaler::getInstance() {
    static CRccMarshaler instance;
    return &instance;
}

bool CRccMarshaler::sizeOf(RccTypeCode code, const void* value, size_t& size) const {
    return RccDispatch(code, [&](auto tag) {
        using T = typename decltype(tag)::type;
        size = RccSizeOf<decltype(tag)::code>(*static_cast<const T*>(value));
    });
}

bool CRccMarshaler::marshal(RccTypeCode code, const void* value, uint8_t*& cursor) const {
    return RccDispatch(code, [&](auto tag) {
        using T = typename decltype(tag)::type;
        RccWrite<decltype(tag)::code>(*static_cast<const T*>(value), cursor);
    });
}

RccDecodeError CRccMarshaler::unmarshal(RccTypeCode code, void* value, const uint8_t*& cursor,
                                        const uint8_t* end) const {
    RccDecodeError e = RccDecodeError::None;
    RccDispatch(code, [&](auto tag) {
        using T = typename decltype(tag)::type;
        e = RccRead<decltype(tag)::code>(*static_cast<T*>(value), cursor, end);
    });
    return e;
}

bool CRccMarshaler::append(CRccBuffer& buffer, RccTypeCode code, const void* value) const {
    size_t n = 0;
    if (!sizeOf(code, value, n))
        return false;
    uint8_t* at = buffer.reserve(n);
    if (!at)
        return false;
    marshal(code, value, at);
    buffer.commit(n);
    return true;
}

RccDecodeError CRccMarshaler::take(CRccBuffer& buffer, RccTypeCode code, void* value) const {
    const uint8_t* c = buffer.head();
    RccDecodeError e = unmarshal(code, value, c, buffer.end());
    if (e == RccDecodeError::None)
        buffer.consume(static_cast<size_t>(c - buffer.head()));
    return e;
}
