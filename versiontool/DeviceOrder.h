// How the device list orders its rows: names and device types by NaturalCompare, versions
// by CompareVersions, addresses and application ids by value.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/VavVersionInfo.h"
#include "versiontool/DeviceEvent.h"

// Letters without regard to case, runs of digits by their value, everything else
// skipped: "node-2" < "Node 9" < "node10". Answers -1, 0 or 1.
int NaturalCompare(std::string_view a, std::string_view b);
// The six numbers in turn, as unsigned values; an empty version is all zero. -1, 0 or 1.
int CompareVersions(const VavVersionInfo& a, const VavVersionInfo& b);

// The sort parameter: the column (0 to 5) in the low word, 1 for ascending in the high word.
inline uintptr_t SortParam(int column, bool ascending) {
    return (ascending ? 0x10000u : 0u) + static_cast<unsigned>(column);
}
// Compares two rows for the list's sort; a missing event sorts first. Columns beyond 5
// compare equal.
int CompareListItems(const DeviceEvent* a, const DeviceEvent* b, uintptr_t param);
