// The parameter object's span-cell and delayed-range pools as object references of an archive
// (null when the parameter object has no such pool).
//
// Span-cell pool ("CGXSpanCellPool"): the row side, then the column side, each a
// CGXDWordArrayPtrArray record. Delayed-range pool ("CGXDelayedRangePool"): a count, then per
// entry the range, the start-row and end-row DWORD arrays and a BYTE free flag.
#pragma once

#include "grid/core/GXTypes.h"

#include <memory>

namespace fw {
class Archive;
}

enum class GXPoolKind { SpanCell, DelayedRange };

// Stores the pool in `slot` (which must be of the kind) or loads one into it, replacing what
// was there.
void GXArchivePool(fw::Archive& ar, std::unique_ptr<CGXOwnedObject>& slot, GXPoolKind kind);
