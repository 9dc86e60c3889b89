// Helpers of the remote-call tests: bytes of values and buffers.
#pragma once

#include <cstdint>
#include <vector>

#include "rcc/RccMarshaler.h"

using Bytes = std::vector<uint8_t>;

template <RccTypeCode C>
Bytes WireOf(const typename RccTag<C>::type& value) {
    Bytes bytes(RccSizeOf<C>(value));
    uint8_t* cursor = bytes.data();
    RccWrite<C>(value, cursor);
    EXPECT_EQ(cursor, bytes.data() + bytes.size()) << "size and written bytes differ";
    return bytes;
}

inline Bytes BufferBytes(const CRccBuffer& buffer) {
    return Bytes(buffer.head(), buffer.head() + buffer.count());
}

inline void Fill(CRccBuffer& buffer, const Bytes& bytes) {
    buffer.reset();
    ASSERT_TRUE(buffer.append(bytes));
}
