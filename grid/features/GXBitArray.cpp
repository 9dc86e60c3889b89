#include "grid/features/GXBitArray.h"

namespace gxbits {

namespace {
ROWCOL BitCount(const Bytes& bits) {
    return static_cast<ROWCOL>(bits.size() * 8);
}
void Shrink(Bytes& bits) {
    while (!bits.empty() && bits.back() == 0) bits.pop_back();
}
}  // namespace

bool Test(const Bytes& bits, ROWCOL n) {
    const std::size_t byte = n / 8;
    return byte < bits.size() && (bits[byte] >> (n % 8)) & 1u;
}

void Set(Bytes& bits, ROWCOL n, bool value) {
    const std::size_t byte = n / 8;
    if (byte >= bits.size()) {
        if (!value)
            return;
        bits.resize(byte + 1, 0);
    }
    const auto mask = static_cast<std::uint8_t>(1u << (n % 8));
    bits[byte] = value ? (bits[byte] | mask) : (bits[byte] & ~mask);
}

void Insert(Bytes& bits, ROWCOL n, ROWCOL count) {
    if (count == 0 || n >= BitCount(bits))
        return;
    const ROWCOL end = BitCount(bits);
    Bytes out((static_cast<std::size_t>(end) + count + 7) / 8, 0);
    for (ROWCOL i = 0; i < end; ++i)
        if (Test(bits, i))
            Set(out, i < n ? i : i + count, true);
    bits.swap(out);
    Shrink(bits);
}

void Remove(Bytes& bits, ROWCOL first, ROWCOL last) {
    if (last < first || first >= BitCount(bits))
        return;
    const ROWCOL end = BitCount(bits);
    const ROWCOL removed = last - first + 1;
    Bytes out(bits.size(), 0);
    for (ROWCOL i = 0; i < end; ++i) {
        if (!Test(bits, i) || (i >= first && i <= last))
            continue;
        Set(out, i < first ? i : i - removed, true);
    }
    bits.swap(out);
    Shrink(bits);
}

void Move(Bytes& bits, ROWCOL first, ROWCOL last, ROWCOL dest) {
    if (last < first)
        return;
    const ROWCOL count = last - first + 1;
    Insert(bits, dest, count);
    const ROWCOL source = first >= dest ? first + count : first;
    for (ROWCOL i = 0; i < count; ++i)
        if (Test(bits, source + i))
            Set(bits, dest + i, true);
    Remove(bits, source, source + count - 1);
}

}  // namespace gxbits
