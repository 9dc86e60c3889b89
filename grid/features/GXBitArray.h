// A growable bit array kept as bytes: bit n is bit n % 8 of byte n / 8; bits past the end are
// clear. Hidden rows and columns are kept this way in the parameter object.
#pragma once

#include "grid/core/GXTypes.h"

#include <cstdint>
#include <vector>

namespace gxbits {

using Bytes = std::vector<std::uint8_t>;

bool Test(const Bytes& bits, ROWCOL n);
// Setting a bit past the end first grows the array with zero bytes.
void Set(Bytes& bits, ROWCOL n, bool value);
// Inserts `count` clear bits at n; later bits move up.
void Insert(Bytes& bits, ROWCOL n, ROWCOL count);
// Removes bits first..last; later bits move down and the array shrinks to the bytes still used.
void Remove(Bytes& bits, ROWCOL first, ROWCOL last);
// Moves bits first..last before bit `dest` as numbered before the move: room is made at dest,
// the block copied there and the source removed (a block moved down ends at dest - count).
void Move(Bytes& bits, ROWCOL first, ROWCOL last, ROWCOL dest);

}  // namespace gxbits
