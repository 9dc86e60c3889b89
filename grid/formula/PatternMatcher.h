// A small backtracking matcher for editor-style patterns (characters, classes, closures,
// groups, back references), compiled into an opcode string. One compiled pattern per process:
// an empty pattern means the previous one.
#pragma once

#include <string_view>

namespace formula {

inline constexpr size_t GX_REGEX_MAX = 1024;  // bytes of compiled pattern

// Null on success, else the error text.
const char* RegexCompile(const char* pattern);
// 1 on a match (slot 0 its bounds, slots 1-9 the groups), else 0; 0 when nothing is compiled.
int RegexExecute(const char* subject);
// The bounds of a match slot after RegexExecute: [start, end) offsets into the subject, or
// false when the slot is unset.
bool RegexSlot(int slot, size_t& start, size_t& end);
// Forgets the compiled pattern.
void GXRegexReset();

}  // namespace formula
